#include "AssetFiles.h"
#include "res/CursorHotSpot.h"

#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

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

} // namespace

TEST(ResourceImages, EachButtonStateIsAPictureOfItsOwn)
{
    EXPECT_NE(Load("249.bmp"), Load("247.bmp"));
    EXPECT_NE(Load("248.bmp"), Load("246.bmp"));
    EXPECT_NE(Load("249.bmp"), Load("248.bmp"));
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

TEST(ResourceImages, IconsComeInEverySizeWithTransparentCorners)
{
    for (int size : {16, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const QImage img = Load("icon-" + std::to_string(size) + ".png");
        ASSERT_EQ(img.size(), QSize(size, size));
        EXPECT_TRUE(img.hasAlphaChannel());
        EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(img.pixel(size - 1, size - 1)), 0);
        EXPECT_EQ(qAlpha(img.pixel(size / 2, size / 2)), 255);
        if (size <= 32) {
            EXPECT_EQ(img.format(), QImage::Format_Indexed8);
            EXPECT_LE(img.colorCount(), 16);
        }
    }
}

TEST(ResourceImages, HandCursorPointsWithItsFingerTipAtTheHotSpot)
{
    const QImage img = Load("233.png").convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(img.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(img.pixel(kHandCursorHotSpotX, kHandCursorHotSpotY)), 255);
    // Nothing of the hand lies above the hot spot: it is the tip.
    for (int y = 0; y < kHandCursorHotSpotY; ++y)
        for (int x = 0; x < 32; ++x)
            EXPECT_EQ(qAlpha(img.pixel(x, y)), 0) << x << "," << y;
    EXPECT_GT(Count(img, [](QRgb c) { return qAlpha(c) == 255; }), 100);
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
        ASSERT_FALSE(fromResource.isNull());
        EXPECT_EQ(fromResource, Load(name));
    }
}
