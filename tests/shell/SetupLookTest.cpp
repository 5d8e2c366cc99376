// What "Player Setup" looks like, checked on the pixels it shows. The same program runs twice: at device
// pixel ratio 1 and at QT_SCALE_FACTOR=2, where the dialog must draw the double-size versions of its images.

#include "imaging/DIBitmap.h"
#include "platform/BitmapButton.h"
#include "platform/GroupBox.h"
#include "platform/PictureButton.h"
#include "res/Colors.h"
#include "res/ResourceIds.h"
#include "shell/SetupDlg.h"
#include "support/Pictures.h"
#include "support/RunFolder.h"

#include <QLabel>
#include <QTest>

namespace {

// A picture with a colour table whose pixels alternate black and white: scaled
// smoothly it turns grey, picked pixel by pixel it stays black or white.
QImage Checkerboard()
{
    QImage image(300, 300, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, static_cast<uint>((x + y) % 2));
    return image;
}

// What a control covers of its dialog: the text of a label (its box may reach
// further), the whole of any other control; the lines and caption of a frame.
QRegion Drawn(const QWidget* w)
{
    if (const auto* box = qobject_cast<const CGroupBox*>(w)) {
        const QRect lines = box->FrameRect();
        return (QRegion(lines) - QRegion(lines.adjusted(2, 2, -2, -2)) + box->CaptionRect())
            .translated(w->pos());
    }
    if (const auto* label = qobject_cast<const QLabel*>(w); label && label->pixmap().isNull()) {
        const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        return label->fontMetrics()
            .boundingRect(label->contentsRect(), flags, label->text())
            .translated(w->pos());
    }
    return w->geometry();
}

} // namespace

class SetupLookTest : public QObject {
    Q_OBJECT

    support::RunFolder m_run; // the current folder for the whole run

private slots:
    void initTestCase()
    {
        for (int n = 2; n <= 4; ++n)
            QVERIFY(support::SaveBmp(Checkerboard(), QStringLiteral("bitmaps/pic%1.bmp").arg(n)));
        // The first picture has exactly the pixels its button has on the screen.
        const int side = qRound(100 * qApp->devicePixelRatio());
        QVERIFY(support::SaveBmp(support::Stripes(side, side), QStringLiteral("bitmaps/pic1.bmp")));
    }

    void drawsItsImagesForTheScreensPixelRatioAndFramesCrossNoControl()
    {
        CSetupDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const qreal ratio = dlg.devicePixelRatioF();
        const QString at = ratio > 1 ? QStringLiteral("@2x") : QString();
        const QImage shot = dlg.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot.size(), dlg.size() * ratio);

        // Wherever no control lies, the tiled background shows pixel for pixel.
        const QImage tile(QStringLiteral(":/res/250%1.bmp").arg(at));
        QCOMPARE(tile.size(), QSize(109, 88) * ratio);
        QRegion controls;
        for (const auto& control : dlg.Controls())
            if (control.widget->isVisible())
                controls += Drawn(control.widget);
        int background = 0;
        for (int y = 1; y < dlg.height(); y += 7)
            for (int x = 1; x < dlg.width(); x += 7) {
                if (controls.contains(QPoint(x, y)))
                    continue;
                const QPoint device = QPoint(x, y) * ratio;
                QCOMPARE(shot.pixel(device),
                         tile.pixel(device.x() % tile.width(), device.y() % tile.height()));
                ++background;
            }
        QVERIFY(background > 100);

        // The bitmap buttons keep their logical size and show their finer images.
        for (CBitmapButton* button : {dlg.m_btnStart, dlg.m_btnStandard}) {
            QCOMPARE(button->size(), QSize(130, 44));
            QCOMPARE(button->CurrentBitmap().size(), QSize(130, 44) * ratio);
        }
        QCOMPARE(dlg.m_btnStart->CurrentBitmap(),
                 QImage(QStringLiteral(":/res/249%1.bmp").arg(at)).convertToFormat(QImage::Format_RGB32));

        // Pictures with a colour table are scaled smoothly, at the screen's resolution.
        auto* picture = dlg.GetDlgItemAs<CPictureButton>(IDC_PIC2);
        QVERIFY(picture);
        const QImage shown = picture->icon().pixmap(QSize(100, 100), ratio).toImage();
        QCOMPARE(shown.size(), QSize(100, 100) * ratio);
        const QRgb middle = shown.pixel(shown.width() / 2, shown.height() / 2);
        QVERIFY2(qGray(middle) > 90 && qGray(middle) < 170, qPrintable(QString::number(qGray(middle))));

        // ... and show every pixel of a picture of their size in device pixels:
        // one-pixel columns alternate along a row inside the frames.
        auto* first = dlg.GetDlgItemAs<CPictureButton>(IDC_PIC1);
        const QRect inner = first->PictureRect().adjusted(8, 8, -8, -8).translated(first->pos());
        const int row = qRound(inner.center().y() * ratio);
        for (int x = qRound(inner.left() * ratio); x < qRound(inner.right() * ratio); ++x)
            QVERIFY2(shot.pixel(x, row) != shot.pixel(x + 1, row), qPrintable(QString::number(x)));

        // The congratulation's trophy too.
        CDialog congrats(IDD_CONGRATS);
        auto* trophy = qobject_cast<QLabel*>(congrats.Controls()[0].widget);
        QVERIFY(trophy);
        QCOMPARE(trophy->size(), QSize(150, 183));
        QCOMPARE(trophy->pixmap().size(), QSize(150, 183) * ratio);

        // The frames show and cross no control.
        const auto pixel = [&](QPoint logical) { return shot.pixel(logical * ratio); };

        int frames = 0;
        for (const auto& frame : dlg.Controls()) {
            auto* box = qobject_cast<CGroupBox*>(frame.widget);
            if (!box)
                continue;
            ++frames;
            const QRect lines = box->FrameRect().translated(box->pos());
            // A frame line crosses a control that lies neither inside nor outside it.
            for (const auto& control : dlg.Controls()) {
                QWidget* w = control.widget;
                if (w == box || !w->isVisible() || qobject_cast<CGroupBox*>(w) || !Drawn(w).intersects(lines))
                    continue;
                QVERIFY2(QRegion(lines.adjusted(2, 2, -2, -2)).contains(Drawn(w).boundingRect()),
                         qPrintable(QStringLiteral("%1 crosses the frame of %2")
                                        .arg(QString::fromUtf8(control.item->text))
                                        .arg(QString::fromUtf8(frame.item->text))));
            }
            // The frame shows against the background it stands on.
            const QRgb shadow = pixel(lines.topLeft() + QPoint(0, lines.height() / 2));
            QCOMPARE(shadow, box->ShadowColor().rgb());
            QVERIFY(qGray(pixel(lines.topLeft() + QPoint(3, lines.height() / 2))) - qGray(shadow) > 60);
            // A caption stands on a golden box, and the frame stops short of it.
            const QRect caption = box->CaptionRect().translated(box->pos());
            if (caption.isEmpty())
                continue;
            QCOMPARE(pixel(QPoint(caption.left() - 3, lines.top())), shadow);
            QVERIFY(pixel(QPoint(caption.left() - 1, lines.top())) != shadow);
            QVERIFY(pixel(QPoint(caption.right() + 1, lines.top())) != shadow);
            int golden = 0;
            for (int y = caption.top(); y <= caption.bottom(); ++y)
                for (int x = caption.left(); x <= caption.right(); ++x)
                    golden += pixel(QPoint(x, y)) == kGoldenFace ? 1 : 0;
            QVERIFY(golden > caption.width() * caption.height() / 2);
        }
        QCOMPARE(frames, 3); // the picture area and the two groups

        // Around a picture the background shows, not a button face; the checked
        // picture wears its frame along the picture's edge.
        for (int id = IDC_PIC1; id <= IDC_PIC4; ++id) {
            auto* button = dlg.GetDlgItemAs<CPictureButton>(id);
            const QRect area = button->PictureRect().translated(button->pos());
            const QPoint beside(button->x(), button->y() + button->height() / 2);
            QVERIFY(!area.isEmpty() && !area.contains(beside) && dlg.childAt(beside) == button);
            button->hide();
            const QRgb behind = dlg.grab().toImage().pixel(beside * ratio);
            button->show();
            QCOMPARE(pixel(beside), behind);
            const QRgb edge = pixel(area.topLeft() + QPoint(0, area.height() / 2));
            QCOMPARE(edge == qRgb(60, 25, 0), button->isChecked());
        }
    }
};

QTEST_MAIN(SetupLookTest)
#include "SetupLookTest.moc"
