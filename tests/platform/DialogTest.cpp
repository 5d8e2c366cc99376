#include "imaging/BitmapDialog.h"
#include "platform/BitmapButton.h"
#include "platform/DataExchange.h"
#include "platform/MessageBox.h"
#include "res/ResourceFinder.h"
#include "res/ResourceIds.h"
#include "support/Pictures.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using support::Pattern;

namespace {

// Quarters: red, green (right), blue (bottom), yellow (bottom right).
QImage Indexed(int w, int h)
{
    QImage img(w, h, QImage::Format_Indexed8);
    img.setColorTable({qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, static_cast<uint>((x >= w / 2 ? 1 : 0) + (y >= h / 2 ? 2 : 0)));
    return img;
}

const auto Grab = [](QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); };

// A picture dialog that records its timer ticks.
struct RecordingDialog : CBitmapDialog {
    explicit RecordingDialog(int id = 0) : CBitmapDialog(id) {}
    std::vector<int> ticks;
    void OnTimer(int nIDEvent) override { ticks.push_back(nIDEvent); }
};

} // namespace

class DialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::vector<std::pair<QString, unsigned>> m_messages;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const std::tuple<const char*, QImage, int> pictures[] = {
            {"9001", Pattern(109, 88), 0},    {"237", Pattern(56, 27), 0},
            {"9010", Pattern(130, 44), 0},    {"9011", Indexed(130, 44), 8},
            {"9010@2x", Pattern(260, 88), 0}, {"9011@2x", Pattern(100, 100), 0}};
        for (const auto& [name, img, bits] : pictures) {
            CDIBitmap dib;
            QVERIFY(dib.CreateFromBitmap(img, bits) &&
                    dib.Save(m_dir.filePath(QString(name) + ".bmp").toStdString()));
        }
        CResourceFinder::AddSearchPath(m_dir.path());
        CMessageBox::SetTestHook([this](const QString& text, unsigned type) {
            m_messages.emplace_back(text, type);
            return IDOK;
        });
    }
    void init() { m_messages.clear(); }
    void cleanupTestCase()
    {
        CMessageBox::SetTestHook({});
        CResourceFinder::ClearSearchPaths();
    }

    void unknownModesTileZeroHeightAndMissingPictures()
    {
        // No window centres or stretches its picture; other modes tile, and only the low 16 bits name the
        // resource. (The tiles pixel for pixel: the setup dialog's look.)
        RecordingDialog dlg;
        QVERIFY(dlg.SetBitmap(9001 | 0x70000, 7));
        dlg.resize(250, 200);
        QCOMPARE(Grab(dlg).pixel(109, 88), Pattern(109, 88).pixel(0, 0));

        // Zero height draws nothing but reports the background erased.
        dlg.resize(250, 0);
        QCOMPARE(dlg.GetClientRect().height(), 0);
        QImage canvas(250, 10, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        QPainter p(&canvas);
        QVERIFY(dlg.OnEraseBkgnd(&p));
        p.end();
        QCOMPARE(canvas, support::Solid(250, 10, qRgb(0, 0, 0)));

        RecordingDialog plain;
        QVERIFY(!plain.SetBitmap(4242, CBitmapDialog::BITMAP_TILE));
        plain.resize(50, 50);
        QCOMPARE(Grab(plain).pixel(25, 25), plain.palette().window().color().rgb());
    }

    void controlsShowThePictureExceptEditableEditsAndSitAtTheirDialogUnitRectangles()
    {
        RecordingDialog dlg(IDD_PUZZLE_DIALOG);
        auto* editable = new QLineEdit(&dlg);
        editable->setProperty(CDialogBuilder::kIdProperty, 5001);
        QWidget* label = dlg.Controls()[5].widget; // "Needed moves:"
        CtlColorContext dc;
        QVERIFY(!dlg.OnCtlColor(dc, label, CTLCOLOR_STATIC).has_value()); // no picture: ordinary

        QVERIFY(dlg.SetBitmap(9001, 0));
        for (QWidget* w : {label, dlg.GetDlgItem(IDC_SCRAMBLE), dlg.GetDlgItem(IDC_SHOW_GRID),
                           dlg.GetDlgItem(IDC_MOVES)}) { // read-only edits ask as statics
            CtlColorContext ctx;
            const std::optional<QBrush> brush = dlg.OnCtlColor(ctx, w, CDialog::CtlColorType(w));
            QVERIFY(brush.has_value() && brush->style() == Qt::NoBrush && ctx.nBkMode == int(TRANSPARENT));
        }
        QVERIFY(!dlg.OnCtlColor(dc, editable, CDialog::CtlColorType(editable)).has_value());
        dlg.UpdateControlColors();
        QCOMPARE(QPoint(editable->palette().base().color().alpha(),
                        dlg.GetDlgItemAs<QLineEdit>(IDC_MOVES)->palette().base().color().alpha()),
                 QPoint(255, 0));
        // A label over the picture shows the picture around its text.
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const QPoint corner = label->geometry().bottomRight() - QPoint(1, 1);
        QCOMPARE(Grab(dlg).pixel(corner), Pattern(109, 88).pixel(corner.x() % 109, corner.y() % 88));

        // Dialog units become pixels by the dialog's font; every control is made.
        CDialog game(IDD_PUZZLE_DIALOG), setup(IDD_SETUP);
        QCOMPARE(game.Controls().size(), game.GetTemplate()->items.size());
        QCOMPARE(
            (QList{game.rect(), game.GetDlgItem(IDC_SCRAMBLE)->geometry(), setup.rect(),
                   setup.GetDlgItem(IDC_START)->geometry(), setup.GetDlgItem(IDC_DIFFICULT)->geometry()}),
            (QList{QRect(0, 0, 482, 334), QRect(338, 58, 118, 52), QRect(0, 0, 422, 374),
                   QRect(281, 317, 131, 46), QRect(15, 270, 66, 28)}));

        // The edit box lies above the later group box that surrounds it.
        QWidget* edit = setup.GetDlgItem(IDC_FIELDX);
        QCOMPARE(setup.childAt(edit->geometry().center()), edit);

        CDialog about(IDD_ABOUTBOX); // an unknown control is not replaced
        QVERIFY(!about.ReplaceDlgItem(4711, new QWidget(&about)));
    }

    void timersRestartStopAndTickUnderAModalDialog()
    {
        RecordingDialog owner;
        owner.SetTimer(1, 5000);
        owner.SetTimer(1, 20); // restarts with the new interval
        QCOMPARE(owner.Timers().GetInterval(1), 20);
        owner.SetTimer(2, 50);
        QVERIFY(owner.KillTimer(2) && !owner.KillTimer(2));

        // The owner's timer ticks on while a modal dialog runs its own loop.
        RecordingDialog modal;
        QTimer poll;
        connect(&poll, &QTimer::timeout, &modal, [&] {
            if (std::count(owner.ticks.begin(), owner.ticks.end(), 1) >= 5)
                modal.EndDialog(IDOK);
        });
        poll.start(5);
        QTimer::singleShot(5000, &modal, [&] { modal.EndDialog(IDCANCEL); });
        QVERIFY(modal.DoModal() == IDOK && std::count(owner.ticks.begin(), owner.ticks.end(), 2) == 0);
    }

    void integerTextIsReadLikeTheFramework()
    {
        const std::pair<const char*, int> good[] = {
            {"42", 42}, {"  -7 ", -7}, {"+8", 8}, {"99999999999999", INT_MAX}, {"-99999999999999", INT_MIN}};
        int v = 0;
        for (const auto& [text, expected] : good)
            QVERIFY2(CDataExchange::ParseInt(text, v) && v == expected, text);
        for (QString bad : {"", " ", "-", "12abc", "abc", "1 2", "0x10"})
            QVERIFY2(!CDataExchange::ParseInt(bad, v), qPrintable(bad));
        // Only the first 31 characters count.
        QVERIFY(CDataExchange::ParseInt(QString(30, u' ') + "5x", v) && v == 5);
        QVERIFY(!CDataExchange::ParseInt(QString(29, u' ') + QStringLiteral("5x"), v));
    }

    void bitmapButtonShowsItsPicturesAndDoubleSizeOnlyWhenTwiceTheSize()
    {
        CBitmapButton button;
        QVERIFY(button.LoadBitmaps(9010, 9011, 9010));
        button.SizeToContent();
        QCOMPARE(button.size(), QSize(130, 44));
        button.setDown(true);
        QCOMPARE(Grab(button).pixel(120, 40), qRgb(255, 255, 0));
        button.setDown(false);
        QCOMPARE(Grab(button).pixel(7, 9), Pattern(130, 44).pixel(7, 9));
        QVERIFY(!CBitmapButton().LoadBitmaps(4711));

        // A double-size version is used only when it is exactly twice the size.
        // (Drawn pixel for pixel at ratio 2: the setup dialog's look.)
        CDIBitmap dib, odd;
        QVERIFY(dib.LoadResourceBitmap(9010) && odd.LoadResourceBitmap(9011));
        QCOMPARE(std::pair(dib.ToImage(2.0).deviceIndependentSize(), dib.ToImage(2.0).size()),
                 std::pair(QSizeF(130, 44), QSize(260, 88)));
        QCOMPARE(odd.ToImage(2.0), odd.ToImage());
    }
};

QTEST_MAIN(DialogTest)
#include "DialogTest.moc"
