#include "AssetFiles.h"
#include "res/CursorHotSpot.h"

#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

#include <cmath>

namespace {

QImage Load(const std::string& name)
{
    return QImage(QString::fromStdString(ResPath(name)));
}

bool IsLightGrey(QRgb c)
{
    return qRed(c) == 192 && qGreen(c) == 192 && qBlue(c) == 192;
}

// Counts the pixels of the image for which `pred` holds.
template <typename Pred> int Count(const QImage& img, Pred pred)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += pred(img.pixel(x, y)) ? 1 : 0;
    return n;
}

struct ImageSpec {
    const char* name;
    int width, height, bits, maxColours;
};

} // namespace

TEST(ResourceImages, HaveTheirSizesDepthsAndColourTables)
{
    const ImageSpec specs[] = {
        {"250.bmp", 109, 88, 8, 256},      {"246.bmp", 130, 44, 24, 0},    {"247.bmp", 130, 44, 24, 0},
        {"248.bmp", 130, 44, 24, 0},       {"249.bmp", 130, 44, 24, 0},    {"251.bmp", 150, 183, 24, 0},
        {"237.bmp", 56, 27, 4, 16},        {"253.bmp", 48, 61, 4, 16},     {"PLEASE.bmp", 109, 50, 4, 16},
        {"BITMAP1.bmp", 100, 100, 8, 256}, {"icon-16.bmp", 16, 16, 4, 16}, {"icon-32.bmp", 32, 32, 4, 16}};
    for (const ImageSpec& s : specs) {
        SCOPED_TRACE(s.name);
        const BmpInfo info = ReadBmpInfo(ResPath(s.name));
        ASSERT_TRUE(info.valid);
        EXPECT_EQ(info.width, s.width);
        EXPECT_EQ(info.height, s.height);
        EXPECT_EQ(info.bitCount, s.bits);
        EXPECT_LE(info.paletteEntries, s.maxColours);
        if (s.bits <= 8) {
            EXPECT_GT(info.paletteEntries, 0);
        }
        const QImage img = Load(s.name);
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(img.size(), QSize(s.width, s.height));
    }
}

TEST(ResourceImages, AboutBoxImagesStandOnLightGrey)
{
    for (const char* name : {"237.bmp", "253.bmp", "PLEASE.bmp", "BITMAP1.bmp"}) {
        SCOPED_TRACE(name);
        const QImage img = Load(name);
        ASSERT_FALSE(img.isNull());
        const int w = img.width(), h = img.height();
        for (int x = 0; x < w; ++x) {
            EXPECT_TRUE(IsLightGrey(img.pixel(x, h - 1))) << "bottom x=" << x;
            EXPECT_TRUE(IsLightGrey(img.pixel(x, 0))) << "top x=" << x;
        }
        for (int y = 0; y < h; ++y) {
            EXPECT_TRUE(IsLightGrey(img.pixel(0, y))) << "left y=" << y;
            EXPECT_TRUE(IsLightGrey(img.pixel(w - 1, y))) << "right y=" << y;
        }
        // And something is drawn on it.
        EXPECT_GT(Count(img, [](QRgb c) { return !IsLightGrey(c); }), w * h / 10);
    }
}

TEST(ResourceImages, ArrowIsRedAndPointsUp)
{
    const QImage img = Load("253.bmp");
    ASSERT_FALSE(img.isNull());
    const auto redInRows = [&img](int y0, int y1) {
        int widest = 0;
        for (int y = y0; y < y1; ++y) {
            int n = 0;
            for (int x = 0; x < img.width(); ++x)
                n += (qRed(img.pixel(x, y)) > 200 && qGreen(img.pixel(x, y)) < 60) ? 1 : 0;
            widest = std::max(widest, n);
        }
        return widest;
    };
    // The head (upper part) is much wider than the shaft (lower part), and the very top is a point.
    EXPECT_GT(redInRows(15, 28), 2 * redInRows(40, 55));
    EXPECT_LT(redInRows(0, 5), redInRows(15, 28) / 3);
}

TEST(ResourceImages, JigsawHasFourColouredPieces)
{
    const QImage img = Load("BITMAP1.bmp");
    ASSERT_FALSE(img.isNull());
    const auto hue = [&img](int lo, int hi) {
        return Count(img, [lo, hi](QRgb c) {
            const QColor q = QColor::fromRgb(c);
            return q.saturation() > 120 && q.value() > 90 && q.hue() >= lo && q.hue() <= hi;
        });
    };
    // Red, yellow, green, blue: each a good share of the picture.
    EXPECT_GT(hue(0, 15) + hue(345, 359), 600);
    EXPECT_GT(hue(40, 65), 600);
    EXPECT_GT(hue(100, 150), 600);
    EXPECT_GT(hue(210, 250), 600);
    EXPECT_GT(img.colorCount() > 0 ? img.colorCount() : 256, 16); // a 256-colour picture, not 16
}

TEST(ResourceImages, BackgroundIsGoldenAndTilesSeamlessly)
{
    const QImage img = Load("250.bmp").convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(img.isNull());
    long r = 0, g = 0, b = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            r += qRed(img.pixel(x, y));
            g += qGreen(img.pixel(x, y));
            b += qBlue(img.pixel(x, y));
        }
    const long n = img.width() * img.height();
    EXPECT_GT(r / n, 190);
    EXPECT_GT(g / n, 140);
    EXPECT_LT(b / n, 90);
    // Across the wrap-around seams the picture changes no more than it does
    // between neighbouring columns (rows) inside.
    const auto colDiff = [&img](int a, int c) {
        long s = 0;
        for (int y = 0; y < img.height(); ++y)
            s += std::abs(qGray(img.pixel(a, y)) - qGray(img.pixel(c, y)));
        return s;
    };
    const auto rowDiff = [&img](int a, int c) {
        long s = 0;
        for (int x = 0; x < img.width(); ++x)
            s += std::abs(qGray(img.pixel(x, a)) - qGray(img.pixel(x, c)));
        return s;
    };
    long maxCol = 0, maxRow = 0;
    for (int x = 0; x + 1 < img.width(); ++x)
        maxCol = std::max(maxCol, colDiff(x, x + 1));
    for (int y = 0; y + 1 < img.height(); ++y)
        maxRow = std::max(maxRow, rowDiff(y, y + 1));
    EXPECT_LE(colDiff(img.width() - 1, 0), maxCol);
    EXPECT_LE(rowDiff(img.height() - 1, 0), maxRow);
    // The spirals make a real pattern.
    EXPECT_GT(maxCol, 0);
}

TEST(ResourceImages, ButtonsShowBlackTextOnOrangeAndThePressedOnesDiffer)
{
    for (const auto& [normal, pressed] : {std::pair{"249.bmp", "247.bmp"}, std::pair{"248.bmp", "246.bmp"}}) {
        SCOPED_TRACE(normal);
        const QImage a = Load(normal).convertToFormat(QImage::Format_RGB32);
        const QImage b = Load(pressed).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(a.isNull());
        ASSERT_FALSE(b.isNull());
        const QImage face = a.copy(12, 12, 106, 20);
        const int orange = Count(
            face, [](QRgb c) { return qRed(c) > 200 && qGreen(c) > 80 && qGreen(c) < 200 && qBlue(c) < 90; });
        const int black = Count(face, [](QRgb c) { return qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) < 60; });
        EXPECT_GT(orange, face.width() * face.height() / 3);
        EXPECT_GT(black, 40);
        EXPECT_NE(a, b);
    }
    // "Start" and "standart settings" are different words.
    EXPECT_NE(Load("249.bmp"), Load("248.bmp"));
}

TEST(ResourceImages, IconsComeInEverySizeWithTransparentCorners)
{
    for (int size : {16, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const QImage img = Load("icon-" + std::to_string(size) + ".png");
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(img.size(), QSize(size, size));
        EXPECT_TRUE(img.hasAlphaChannel());
        EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(img.pixel(size - 1, size - 1)), 0);
        EXPECT_EQ(qAlpha(img.pixel(size / 2, size / 2)), 255);
        if (size <= 32) {
            EXPECT_EQ(img.format(), QImage::Format_Indexed8);
            EXPECT_LE(img.colorCount(), 16);
            EXPECT_GE(img.colorCount(), 8);
        }
    }
}

TEST(ResourceImages, HandCursorPointsWithItsFingerTipAtTheHotSpot)
{
    const QImage img = Load("233.png").convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(img.pixel(kHandCursorHotSpotX, kHandCursorHotSpotY)), 255);
    // Nothing of the hand lies above the hot spot: it is the tip.
    for (int y = 0; y < kHandCursorHotSpotY; ++y)
        for (int x = 0; x < 32; ++x)
            EXPECT_EQ(qAlpha(img.pixel(x, y)), 0) << x << "," << y;
    // A white hand with a black outline, transparent around it.
    EXPECT_GT(Count(img, [](QRgb c) { return qAlpha(c) == 255 && qRed(c) == 255 && qGreen(c) == 255; }), 100);
    EXPECT_GT(Count(img, [](QRgb c) { return qAlpha(c) == 255 && qRed(c) == 0; }), 50);
    EXPECT_GT(Count(img, [](QRgb c) { return qAlpha(c) == 0; }), 32 * 32 / 2);
}

TEST(ResourceImages, AreCompiledIntoTheProgramUnderRes)
{
    for (const char* name :
         {"250.bmp", "246.bmp", "247.bmp", "248.bmp", "249.bmp", "251.bmp", "253.bmp", "237.bmp",
          "PLEASE.bmp", "BITMAP1.bmp", "233.png", "icon-32.png", "icon-256.png"}) {
        const QString path = QStringLiteral(":/res/") + QString::fromLatin1(name);
        SCOPED_TRACE(name);
        ASSERT_TRUE(QFile::exists(path));
        const QImage fromResource(path);
        const QImage fromFile = Load(name);
        ASSERT_FALSE(fromResource.isNull());
        EXPECT_EQ(fromResource, fromFile);
    }
}
