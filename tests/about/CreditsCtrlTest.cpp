#include "about/CreditsCtrl.h"
#include "about/CreditsCompose.h"
#include "support/Pictures.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

using namespace CreditsCompose;

using support::Pattern;

namespace {

const QRgb kBlue = qRgb(0, 0, 255), kRed = qRgb(255, 0, 0), kWhite = qRgb(255, 255, 255);

// 21 × 10: light grey on the left, red on the right, one blue pixel at (15, 2).
QImage TestBitmap()
{
    QImage image(21, 10, QImage::Format_RGB32);
    image.fill(kRed);
    QPainter(&image).fillRect(0, 0, 10, 10, QColor(kLightGrey));
    image.setPixel(15, 2, kBlue);
    return image;
}

// Pixels of one colour.
int Count(const QImage& image, QRgb color, const QRect& area = {})
{
    return support::CountPixels(
        image, [color](QRgb c) { return c == color; }, area);
}

void Ticks(CCreditsCtrl& ctrl, int n)
{
    for (int i = 0; i < n; ++i)
        ctrl.OnTimer(CCreditsCtrl::kScrollTimer);
}

} // namespace

class CreditsCtrlTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString SavePicture(const QString& name, const QImage& image)
    {
        const QString path = m_dir.filePath(name);
        return image.save(path, "BMP") ? path : QString();
    }

    // Blue background, "Bmp" names the test bitmap; scrolling started.
    void SetUp(CCreditsCtrl& ctrl, int width, int height, const char* script)
    {
        ctrl.resize(width, height);
        ctrl.SetColor(0, PackRgb(0, 0, 255));
        ctrl.SetBitmapResolver(
            [](const std::string& name) { return name == "Bmp" ? TestBitmap() : QImage(); });
        ctrl.SetCredits(script, '|');
        QVERIFY(ctrl.StartScrolling());
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void scrolledTextMatchesTextDrawnOnce()
    {
        CCreditsCtrl ctrl;
        SetUp(ctrl, 200, 100, "Hello World");
        Ticks(ctrl, 29); // in on tick 15, all 15 rows shown after tick 29
        const CRect col = ctrl.Sequencer().Column(200, 100);
        QVERIFY(col.Width() > 40);

        QImage expected = MakeBuffer(200, 100, kBlue);
        const QFont font = ctrl.FontFor(CreditsFont{15, 100, false});
        const QFontMetrics fm(font);
        QPainter p(&expected);
        p.setFont(font);
        p.setPen(QColor(kWhite));
        p.setClipRect(QRect(col.left, 85, col.Width(), 15));
        p.drawText(
            QPoint(col.left + (col.Width() - fm.horizontalAdvance("Hello World")) / 2, 85 + fm.ascent()),
            "Hello World");
        p.end();
        QVERIFY(Count(expected, kWhite, QRect(0, 85, 200, 15)) > 40 && ctrl.BackBuffer() == expected);
        QCOMPARE(ctrl.ScreenImage(), ctrl.BackBuffer()); // without a picture the screen is the back buffer
        Ticks(ctrl, 15); // fifteen ticks later the line has moved up fifteen rows
        QCOMPARE(ctrl.BackBuffer().copy(0, 70, 200, 15), expected.copy(0, 85, 200, 15));
    }

    // The about box's control sees through light grey: to the background colour,
    // or to its picture, repeated when smaller, once from the top left when larger.
    void seeThroughColour_data()
    {
        QTest::addColumn<QSize>("pictureSize"); // empty: no picture
        QTest::newRow("no picture") << QSize();
        QTest::newRow("smaller picture") << QSize(50, 40);
        QTest::newRow("larger picture") << QSize(400, 300);
    }

    void seeThroughColour()
    {
        QFETCH(QSize, pictureSize);
        const bool withPicture = !pictureSize.isEmpty();
        const QImage picture = Pattern(pictureSize.width(), pictureSize.height());
        CCreditsCtrl ctrl;
        ctrl.SetTransparent(true);
        if (withPicture)
            QVERIFY(ctrl.SetBkImage(SavePicture("tile.bmp", picture)));
        SetUp(ctrl, 200, 60, "Bmp^");
        Ticks(ctrl, 24); // in on tick 15, all 10 rows after tick 24
        // Placed at x 90 while the column grew to 89..110: the last bitmap
        // column would fall outside the column and is left out.
        QCOMPARE(ctrl.Sequencer().Column(200, 60), CRect(89, 0, 110, 60));
        const QImage bitmap = TestBitmap(), screen = ctrl.ScreenImage();
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 200; ++x) {
                QRgb expected =
                    withPicture ? picture.pixel(x % picture.width(), y % picture.height()) : kBlue;
                if (y >= 50 && x >= 90 && x < 110 && bitmap.pixel(x - 90, y - 50) != kLightGrey)
                    expected = bitmap.pixel(x - 90, y - 50);
                if (screen.pixel(x, y) != expected)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
            }
        if (!withPicture)
            QCOMPARE(screen, ctrl.BackBuffer());
        // A paint while scrolling shows the last composed frame.
        QCOMPARE(ctrl.grab().toImage().convertToFormat(QImage::Format_RGB32), screen);
    }

    void textOverAPictureHasADarkEdgeAndIndexedPicturesLoadByABackslashPath()
    {
        CCreditsCtrl ctrl;
        ctrl.SetTransparent(true);
        QVERIFY(ctrl.SetBkImage(SavePicture("edge.bmp", Pattern(60, 40))));
        SetUp(ctrl, 200, 60, "Hello World");
        Ticks(ctrl, 29); // the whole line is in, at rows 45..59
        const QImage back = ctrl.BackBuffer(), screen = ctrl.ScreenImage();
        int letters = 0;
        for (int y = 46; y < 59; ++y)
            for (int x = 1; x < 199; ++x) {
                if (back.pixel(x, y) != kWhite)
                    continue;
                ++letters; // bordered by letter or edge, never by the picture
                for (int d = 0; d < 9; ++d) {
                    const QRgb n = screen.pixel(x + d % 3 - 1, y + d / 3 - 1);
                    if (n != kWhite && n != CCreditsCtrl::kOutline)
                        QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
                }
            }
        QVERIFY(letters > 40);
        CCreditsCtrl plain; // on the plain background colour the letters stand alone
        SetUp(plain, 200, 60, "Hello World");
        Ticks(plain, 29);
        QCOMPARE(Count(plain.BackBuffer(), CCreditsCtrl::kOutline), 0);

        // A picture with a colour table, named with a backslash between folders. (New
        // and missing pictures: through the about box.)
        QImage sixteen(12, 12, QImage::Format_Indexed8);
        sixteen.setColorTable({qRgb(0, 0, 0), qRgb(10, 20, 30)});
        sixteen.fill(1);
        QVERIFY(!SavePicture("p16.bmp", sixteen).isEmpty());
        QVERIFY(plain.SetBkImage(m_dir.path() + QStringLiteral("\\p16.bmp")));
        QCOMPARE(plain.BkImage().pixel(0, 0), qRgb(10, 20, 30));
    }
};

QTEST_MAIN(CreditsCtrlTest)
#include "CreditsCtrlTest.moc"
