#include "AssetFiles.h"
#include "res/CursorHotSpot.h"
#include "support/Pictures.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

const auto Load = [](const std::string& name) { return QImage(QString::fromStdString(ResPath(name))); };
const auto IsLightGrey = [](QRgb c) { return qRed(c) == 192 && qGreen(c) == 192 && qBlue(c) == 192; };

using support::CountPixels;

// Relative luminance as the web's accessibility guidelines define it; contrast
// ratios are (lighter + 0.05) / (darker + 0.05).
double Luminance(QRgb c)
{
    const auto linear = [](int v) {
        return v <= 10 ? v / 255.0 / 12.92 : std::pow((v / 255.0 + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(c)) + 0.7152 * linear(qGreen(c)) + 0.0722 * linear(qBlue(c));
}

// The images drawn in windows, which also come at twice their size.
const char* const kAt2x[] = {"250", "246", "247", "248", "249", "251", "237", "253"};

} // namespace

// Black text reads alike on every pixel of the golden background tile: its
// lightest and darkest pixels are close, and even the darkest is light.
TEST(ResourceImages, BackgroundIsCalmGoldUnderBlackText)
{
    for (const char* name : {"250.bmp", "250@2x.bmp"}) {
        const QImage img = Load(name);
        ASSERT_FALSE(img.isNull()) << name;
        double darkest = 1, lightest = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = img.pixel(x, y);
                darkest = std::min(darkest, Luminance(c));
                lightest = std::max(lightest, Luminance(c));
                ASSERT_TRUE(qRed(c) >= qGreen(c) && qGreen(c) > qBlue(c) + 80)
                    << name << " " << x << "," << y;
            }
        EXPECT_LE((lightest + 0.05) / (darkest + 0.05), 1.6) << name;
        EXPECT_GE((darkest + 0.05) / 0.05, 7.0) << name;
    }
}

TEST(ResourceImages, AboutBoxImagesStandOnLightGrey)
{
    for (const char* name : {"237.bmp", "253.bmp", "PLEASE.bmp", "BITMAP1.bmp"}) {
        SCOPED_TRACE(name);
        const QImage img = Load(name);
        ASSERT_FALSE(img.isNull());
        const int w = img.width(), h = img.height();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                EXPECT_TRUE(IsLightGrey(img.pixel(x, y)) || (x % (w - 1) && y % (h - 1))) << x << "," << y;
        // And something is drawn on it.
        EXPECT_GT(CountPixels(img, [](QRgb c) { return !IsLightGrey(c); }), w * h / 10);
    }
}

// Also at twice the size, where the hand has the same outline, doubled.
TEST(ResourceImages, HandCursorPointsWithItsFingerTipAtTheHotSpotAndDoubleSizeVersionsShowTheSamePictures)
{
    const QImage hand = Load("233.png").convertToFormat(QImage::Format_ARGB32);
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        const QImage img = Load(scale == 1 ? "233.png" : "233@2x.png").convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(img.size(), QSize(32, 32) * scale);
        EXPECT_EQ(qAlpha(img.pixel(kHandCursorHotSpotX * scale, kHandCursorHotSpotY * scale)), 255);
        // Nothing of the hand lies above the hot spot: it is the tip.
        for (int y = 0; y < kHandCursorHotSpotY * scale; ++y)
            for (int x = 0; x < img.width(); ++x)
                EXPECT_EQ(qAlpha(img.pixel(x, y)), 0) << x << "," << y;
        EXPECT_GT(CountPixels(img, [](QRgb c) { return qAlpha(c) == 255; }), 100 * scale * scale);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                ASSERT_EQ(qAlpha(img.pixel(x, y)), qAlpha(hand.pixel(x / scale, y / scale))) << x << "," << y;
    }

    // The double-size versions are the same pictures, only finer: shrunk back by
    // averaging each 2 x 2 block, they come close to the originals.
    for (const char* id : kAt2x) {
        SCOPED_TRACE(id);
        const QImage small = Load(std::string(id) + ".bmp").convertToFormat(QImage::Format_RGB32);
        const QImage large = Load(std::string(id) + "@2x.bmp").convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(large.size(), small.size() * 2);
        double difference = 0;
        for (int y = 0; y < small.height(); ++y)
            for (int x = 0; x < small.width(); ++x) {
                const QRgb block[] = {large.pixel(2 * x, 2 * y), large.pixel(2 * x + 1, 2 * y),
                                      large.pixel(2 * x, 2 * y + 1), large.pixel(2 * x + 1, 2 * y + 1)};
                for (int shift : {16, 8, 0}) {
                    int sum = 0;
                    for (QRgb c : block)
                        sum += (c >> shift) & 0xFF;
                    difference += std::abs(sum / 4.0 - ((small.pixel(x, y) >> shift) & 0xFF));
                }
            }
        EXPECT_LT(difference / (3.0 * small.width() * small.height()), 16.0); // of 255
    }
}
