#include "about/CreditsCtrl.h"
#include "about/CreditsCompose.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

using namespace CreditsCompose;

namespace {

const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

QImage Pattern(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 7) & 0xFF, 40 + ((y * 11) & 0x7F), (x + y) & 0xFF));
    return image;
}

// 21 × 10: light grey on the left, red on the right, one blue pixel at (15, 2).
QImage TestBitmap()
{
    QImage image(21, 10, QImage::Format_RGB32);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 21; ++x)
            image.setPixel(x, y, x < 10 ? kLightGrey : kRed);
    image.setPixel(15, 2, kBlue);
    return image;
}

QImage Tile(const QImage& picture, int width, int height)
{
    QImage tiled(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            tiled.setPixel(x, y, picture.pixel(x % picture.width(), y % picture.height()));
    return tiled;
}

QImage Rgb32(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

int Count(const QImage& image, QRgb color, const QRect& area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixel(x, y) == color ? 1 : 0;
    return n;
}

void Ticks(CCreditsCtrl& ctrl, int n)
{
    for (int i = 0; i < n; ++i)
        ctrl.OnTimer(CCreditsCtrl::kScrollTimer);
}

} // namespace

class CreditsCtrlTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString SavePicture(const QString& name, const QImage& image)
    {
        const QString path = m_dir.filePath(name);
        if (!image.save(path, "BMP"))
            return QString();
        return path;
    }

    void SetUp(CCreditsCtrl& ctrl, int width, int height, const char* script)
    {
        ctrl.resize(width, height);
        ctrl.SetColor(0, PackRgb(0, 0, 255));
        ctrl.SetBitmapResolver(
            [](const std::string& name) { return name == "Bmp" ? TestBitmap() : QImage(); });
        ctrl.SetCredits(script, '|');
        QVERIFY(ctrl.StartScrolling());
    }

    // Every screen pixel: the tiled picture outside the column and where the
    // back buffer holds the key colour, the back buffer elsewhere.
    void CheckComposed(CCreditsCtrl& ctrl, const QImage& tiled, QRgb key)
    {
        const QImage back = ctrl.BackBuffer();
        const QImage screen = ctrl.ScreenImage();
        QCOMPARE(screen.size(), ctrl.size());
        const CRect column = ctrl.Sequencer().Column(ctrl.width(), ctrl.height());
        QVERIFY(column.Width() > 0);
        for (int y = 0; y < ctrl.height(); ++y)
            for (int x = 0; x < ctrl.width(); ++x) {
                const bool see = !column.PtInRect(x, y) || back.pixel(x, y) == key;
                const QRgb expected = see ? tiled.pixel(x, y) : back.pixel(x, y);
                if (screen.pixel(x, y) != expected)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
            }
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void fontsComeFromTheMetricSubstitutes()
    {
        CCreditsCtrl ctrl;
        const QFont heading = ctrl.FontFor(CreditsFont{21, 700, false});
        QCOMPARE(QFontInfo(heading).family(), QStringLiteral("Liberation Sans"));
        QVERIFY(QFontInfo(heading).bold());
        for (int h : {21, 19, 17, 15}) {
            const int cell = QFontMetrics(ctrl.FontFor(CreditsFont{h, 700, false})).height();
            QVERIFY2(cell <= h && cell >= h - 2, qPrintable(QString::number(cell)));
        }
    }

    void scrolledTextMatchesTextDrawnOnce()
    {
        CCreditsCtrl ctrl;
        SetUp(ctrl, 200, 100, "Hello World");
        Ticks(ctrl, 29); // in on tick 15, all 15 rows shown after tick 29
        const CRect col = ctrl.Sequencer().Column(200, 100);
        QVERIFY(col.Width() > 40);
        QCOMPARE(ctrl.Sequencer().GetScrolled(), 15);

        QImage expected = MakeBuffer(200, 100, kBlue);
        {
            const QFont font = ctrl.FontFor(CreditsFont{15, 100, false});
            const QFontMetrics fm(font);
            QPainter p(&expected);
            p.setFont(font);
            p.setPen(QColor(kWhite));
            p.setClipRect(QRect(col.left, 85, col.Width(), 15));
            p.drawText(
                QPoint(col.left + (col.Width() - fm.horizontalAdvance("Hello World")) / 2, 85 + fm.ascent()),
                "Hello World");
        }
        QCOMPARE(ctrl.BackBuffer(), expected);
        QVERIFY(Count(ctrl.BackBuffer(), kWhite, QRect(0, 85, 200, 15)) > 40);
        // Without a picture the screen is the back buffer.
        QCOMPARE(ctrl.ScreenImage(), ctrl.BackBuffer());

        // Fifteen ticks later the line has moved up fifteen rows.
        Ticks(ctrl, 15);
        QCOMPARE(ctrl.BackBuffer().copy(0, 70, 200, 15), expected.copy(0, 85, 200, 15));
    }

    void pictureLargerThanTheControlShowsOnceFromTheTopLeft()
    {
        const QImage picture = Pattern(400, 300);
        const QString path = SavePicture("large.bmp", picture);
        CCreditsCtrl ctrl;
        ctrl.SetTransparent(true);
        QVERIFY(ctrl.SetBkImage(path));
        QCOMPARE(ctrl.BkImageWidth(), 400);
        QCOMPARE(ctrl.BkImageHeight(), 300);
        SetUp(ctrl, 120, 80, "Hi there|Bmp^");
        Ticks(ctrl, 40);
        CheckComposed(ctrl, picture.copy(0, 0, 120, 80), kLightGrey);
        // Text in white stays opaque over the picture.
        QVERIFY(Count(ctrl.ScreenImage(), kWhite, QRect(0, 0, 120, 80)) > 10);
        // A paint while scrolling shows the last composed frame.
        QCOMPARE(Rgb32(ctrl.grab().toImage()), ctrl.ScreenImage());
    }

    void pictureSmallerThanTheControlRepeats()
    {
        const QImage picture = Pattern(30, 20);
        CCreditsCtrl ctrl;
        ctrl.SetTransparent(true);
        QVERIFY(ctrl.SetBkImage(SavePicture("small.bmp", picture)));
        SetUp(ctrl, 100, 70, "Some credits text|Bmp^");
        Ticks(ctrl, 33);
        CheckComposed(ctrl, Tile(picture, 100, 70), kLightGrey);
    }

    void transparentWithoutPictureShowsTheBackgroundColour()
    {
        CCreditsCtrl ctrl;
        ctrl.SetTransparent(true);
        SetUp(ctrl, 200, 60, "Bmp^");
        Ticks(ctrl, 24); // in on tick 15, all 10 rows after tick 24
        QVERIFY(!ctrl.Sequencer().IsBitmapLine());
        // Placed at x 90 while the column grew to 89..110: the last bitmap
        // column would fall outside the column and is left out.
        QCOMPARE(ctrl.Sequencer().Column(200, 60), CRect(89, 0, 110, 60));
        const QImage bitmap = TestBitmap();
        const QImage back = ctrl.BackBuffer();
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 200; ++x) {
                QRgb expected = kBlue;
                if (y >= 50 && x >= 90 && x < 110) {
                    const QRgb src = bitmap.pixel(x - 90, y - 50);
                    expected = src == kLightGrey ? kBlue : src;
                }
                if (back.pixel(x, y) != expected)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
            }
        QCOMPARE(ctrl.ScreenImage(), back);
    }

    void transparentWithPictureLetsItThroughTheGrey()
    {
        const QImage picture = Pattern(50, 40);
        CCreditsCtrl ctrl;
        ctrl.SetTransparent(true);
        QVERIFY(ctrl.SetBkImage(SavePicture("tile.bmp", picture)));
        SetUp(ctrl, 200, 60, "Bmp^");
        Ticks(ctrl, 24);
        const QImage bitmap = TestBitmap();
        const QImage screen = ctrl.ScreenImage();
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 200; ++x) {
                QRgb expected = picture.pixel(x % 50, y % 40);
                if (y >= 50 && x >= 90 && x < 110 && bitmap.pixel(x - 90, y - 50) != kLightGrey)
                    expected = bitmap.pixel(x - 90, y - 50);
                if (screen.pixel(x, y) != expected)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
            }
    }

    void withoutTransparentModeTheBackgroundColourIsSeeThrough()
    {
        const QImage picture = Pattern(50, 40);
        CCreditsCtrl ctrl;
        QVERIFY(ctrl.SetBkImage(SavePicture("tile2.bmp", picture)));
        SetUp(ctrl, 200, 60, "Bmp^");
        Ticks(ctrl, 24);
        const QImage bitmap = TestBitmap();
        const QImage screen = ctrl.ScreenImage();
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 200; ++x) {
                QRgb expected = picture.pixel(x % 50, y % 40);
                if (y >= 50 && x >= 90 && x < 110 && bitmap.pixel(x - 90, y - 50) != kBlue)
                    expected = bitmap.pixel(x - 90, y - 50); // light grey stays light grey
                if (screen.pixel(x, y) != expected)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
            }
        CheckComposed(ctrl, Tile(picture, 200, 60), kBlue);
    }

    void textOverAPictureHasADarkEdge()
    {
        const QImage picture = Pattern(60, 40);
        for (const bool transparent : {true, false}) {
            CCreditsCtrl ctrl;
            ctrl.SetTransparent(transparent);
            QVERIFY(ctrl.SetBkImage(SavePicture("edge.bmp", picture)));
            SetUp(ctrl, 200, 60, "Hello World");
            // Without transparent mode the background colour is the see-through
            // one; black as background must not swallow the edge.
            if (!transparent)
                ctrl.SetColor(0, PackRgb(0, 0, 0));
            Ticks(ctrl, 29); // the whole line is in, at rows 45..59
            const QRgb edge = transparent ? CCreditsCtrl::kOutline : CCreditsCtrl::kOutlineAlt;
            const QImage back = ctrl.BackBuffer();
            const QImage screen = ctrl.ScreenImage();
            int letters = 0;
            for (int y = 46; y < 59; ++y)
                for (int x = 1; x < 199; ++x) {
                    if (back.pixel(x, y) != kWhite)
                        continue;
                    ++letters;
                    // Every letter pixel is bordered by letter or edge, never by
                    // the picture showing through.
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx) {
                            const QRgb n = screen.pixel(x + dx, y + dy);
                            if (n != kWhite && n != edge)
                                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x + dx).arg(y + dy)));
                        }
                }
            QVERIFY(letters > 40);
            QVERIFY(Count(screen, edge, QRect(0, 45, 200, 15)) > letters);
        }

        // On the plain background colour the letters stand alone.
        CCreditsCtrl plain;
        SetUp(plain, 200, 60, "Hello World");
        Ticks(plain, 29);
        QCOMPARE(Count(plain.BackBuffer(), CCreditsCtrl::kOutline, plain.BackBuffer().rect()), 0);
    }

    void newPictureShowsAtTheNextTick()
    {
        const QImage first = Pattern(40, 40);
        QImage second(40, 40, QImage::Format_RGB32);
        second.fill(qRgb(10, 200, 30));
        CCreditsCtrl ctrl;
        ctrl.SetTransparent(true);
        QVERIFY(ctrl.SetBkImage(SavePicture("first.bmp", first)));
        SetUp(ctrl, 80, 40, "Text");
        Ticks(ctrl, 20);
        QCOMPARE(ctrl.ScreenImage().pixel(0, 0), first.pixel(0, 0));
        QVERIFY(ctrl.SetBkImage(SavePicture("second.bmp", second)));
        Ticks(ctrl, 1);
        QCOMPARE(ctrl.ScreenImage().pixel(0, 0), qRgb(10, 200, 30));
        QCOMPARE(ctrl.ScreenImage().pixel(79, 0), qRgb(10, 200, 30));

        // A file that does not load leaves no picture: the back buffer shows.
        QVERIFY(!ctrl.SetBkImage(m_dir.filePath("missing.bmp")));
        QVERIFY(ctrl.BkImage().isNull());
        QVERIFY(ctrl.Palette().IsEmpty());
        Ticks(ctrl, 1);
        QCOMPARE(ctrl.ScreenImage(), ctrl.BackBuffer());
    }

    void paletteFollowsTheColourCount()
    {
        QImage sixteen(12, 12, QImage::Format_Indexed8);
        QList<QRgb> table;
        for (int i = 0; i < 16; ++i)
            table.push_back(qRgb(i * 15, 100, 255 - i * 15));
        sixteen.setColorTable(table);
        sixteen.fill(3);
        CCreditsCtrl ctrl;
        // A backslash in the path works as a folder separator.
        QVERIFY(!SavePicture("p16.bmp", sixteen).isEmpty());
        QVERIFY(ctrl.SetBkImage(m_dir.path() + QStringLiteral("\\p16.bmp")));
        QVERIFY(!ctrl.Palette().bHalftone);
        QCOMPARE(ctrl.Palette().entries.size(), std::size_t(16));
        QCOMPARE(ctrl.Palette().entries[5], table[5]);
        QCOMPARE(ctrl.BkImage().pixel(0, 0), table[3]);

        QImage full(12, 12, QImage::Format_Indexed8);
        QList<QRgb> big;
        for (int i = 0; i < 256; ++i)
            big.push_back(qRgb(i, 255 - i, i / 3));
        full.setColorTable(big);
        full.fill(200);
        QVERIFY(ctrl.SetBkImage(SavePicture("p256.bmp", full)));
        QCOMPARE(ctrl.Palette().entries.size(), std::size_t(256));
        QCOMPARE(ctrl.Palette().entries[255], big[255]);

        QVERIFY(ctrl.SetBkImage(SavePicture("p24.bmp", Pattern(12, 12))));
        QVERIFY(ctrl.Palette().bHalftone);
        QCOMPARE(ctrl.Palette().entries.size(), std::size_t(256));
    }

    void stillPageWhenNoTimerRuns()
    {
        CCreditsCtrl ctrl;
        ctrl.resize(200, 100);
        ctrl.SetCredits("Title\t|Body text", '|');
        const QImage page = Rgb32(ctrl.grab().toImage());
        QCOMPARE(ctrl.TimerId(), 0u);
        const int h1 = QFontMetrics(ctrl.FontFor(CreditsFont{21, 700, false})).height();
        QVERIFY(Count(page, kRed, QRect(0, 0, 200, h1)) > 30);
        QCOMPARE(Count(page, kWhite, QRect(0, 0, 200, h1)), 0);
        QVERIFY(Count(page, kWhite, QRect(0, h1, 200, 100 - h1)) > 20);
        // Default background black; every pixel is background or text.
        QCOMPARE(Count(page, qRgb(0, 0, 0), page.rect()) + Count(page, kRed, page.rect()) +
                     Count(page, kWhite, page.rect()),
                 200 * 100);
        // Later paints show the same cached page.
        QCOMPARE(Rgb32(ctrl.grab().toImage()), page);
    }

    void stillPageOverThePicture()
    {
        const QImage picture = Pattern(25, 25);
        CCreditsCtrl ctrl;
        ctrl.resize(100, 60);
        ctrl.SetTransparent(true);
        ctrl.SetBitmapResolver([](const std::string&) { return TestBitmap(); });
        QVERIFY(ctrl.SetBkImage(SavePicture("still.bmp", picture)));
        ctrl.SetCredits("Bmp^", '|');
        const QImage page = Rgb32(ctrl.grab().toImage());
        const QImage bitmap = TestBitmap();
        // The bitmap sits centred at the top: x 100 - 50 - 10 = 40.
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 100; ++x) {
                QRgb expected = picture.pixel(x % 25, y % 25);
                if (y < 10 && x >= 40 && x < 61 && bitmap.pixel(x - 40, y) != kLightGrey)
                    expected = bitmap.pixel(x - 40, y);
                if (page.pixel(x, y) != expected)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
            }
    }

    void speedTableAndTimer()
    {
        CCreditsCtrl ctrl;
        ctrl.resize(100, 60);
        QVERIFY(!ctrl.StartScrolling()); // no lines
        QCOMPARE(ctrl.TimerId(), 0u);
        ctrl.SetCredits("Line", '|');
        QVERIFY(ctrl.StartScrolling());
        QCOMPARE(ctrl.TimerId(), 150u);
        QCOMPARE(ctrl.TimerInterval(), 40);
        ctrl.SetSpeed(0, 55);
        QCOMPARE(ctrl.TimerInterval(), 40); // takes effect at the next start
        ctrl.SetSpeed(7, 5);                // out of range: ignored
        QVERIFY(ctrl.StartScrolling());
        QCOMPARE(ctrl.TimerInterval(), 55);
        ctrl.SetSpeed(2, 0);
        QVERIFY(ctrl.StartScrolling());
        QCOMPARE(ctrl.TimerInterval(), 10);
        // The timer drives the ticks: the first line arrives after 15 of them.
        QTRY_COMPARE_WITH_TIMEOUT(ctrl.Sequencer().GetCurrent(), std::string("Line"), 3000);
    }

    void closingTheDialogEndsTheShowing()
    {
        QWidget dialog;
        dialog.resize(300, 200);
        auto* placeholder = new QLabel(QStringLiteral("Static"), &dialog);
        placeholder->setObjectName(QStringLiteral("1030"));
        placeholder->setGeometry(10, 10, 150, 120);
        CCreditsCtrl ctrl;
        QVERIFY(!ctrl.SubclassDlgItem(1031, &dialog));
        QVERIFY(ctrl.SubclassDlgItem(1030, &dialog));
        QCOMPARE(ctrl.geometry(), QRect(10, 10, 150, 120));
        QVERIFY(placeholder->isHidden());
        ctrl.SetCredits("One|Two", '|');
        QVERIFY(ctrl.StartScrolling());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        Ticks(ctrl, 20);
        dialog.hide();
        QCOMPARE(ctrl.TimerId(), 0u);
        QVERIFY(ctrl.Sequencer().GetLines().empty());
        QVERIFY(!ctrl.StartScrolling());
        // The next showing binds again and resumes the line that was coming in.
        QVERIFY(ctrl.SubclassDlgItem(1030, &dialog));
        ctrl.SetCredits("One|Two", '|');
        QVERIFY(ctrl.StartScrolling());
        QCOMPARE(ctrl.Sequencer().GetCurrent(), std::string("One"));
    }
};

QTEST_MAIN(CreditsCtrlTest)
#include "CreditsCtrlTest.moc"
