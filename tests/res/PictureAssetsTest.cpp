#include "AssetFiles.h"

#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

struct PictureSpec {
    const char* file;
    int width, height, bits;
};
const PictureSpec kPictures[] = {{"bitmaps/pic1.bmp", 640, 480, 24},
                                 {"bitmaps/pic2.bmp", 800, 800, 24},
                                 {"bitmaps/pic3.bmp", 512, 384, 8},
                                 {"bitmaps/pic4.bmp", 1024, 768, 32}};

QImage Board(const char* file)
{
    // As the game shows it: scaled to the 300 x 300 board.
    return QImage(QString::fromStdString(RunPath(file)))
        .convertToFormat(QImage::Format_RGB32)
        .scaled(300, 300, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

double TileDifference(const QImage& img, int a, int b, int cuts)
{
    const int t = 300 / cuts;
    long sum = 0;
    for (int y = 0; y < t; ++y) {
        const QRgb* ra =
            reinterpret_cast<const QRgb*>(img.constScanLine((a / cuts) * t + y)) + (a % cuts) * t;
        const QRgb* rb =
            reinterpret_cast<const QRgb*>(img.constScanLine((b / cuts) * t + y)) + (b % cuts) * t;
        for (int x = 0; x < t; ++x)
            sum += std::abs(qRed(ra[x]) - qRed(rb[x])) + std::abs(qGreen(ra[x]) - qGreen(rb[x])) +
                   std::abs(qBlue(ra[x]) - qBlue(rb[x]));
    }
    return sum / (3.0 * t * t);
}

} // namespace

TEST(Pictures, HaveTheirSizesAndDepths)
{
    for (const PictureSpec& p : kPictures) {
        SCOPED_TRACE(p.file);
        const BmpInfo info = ReadBmpInfo(RunPath(p.file));
        ASSERT_TRUE(info.valid);
        EXPECT_EQ(info.width, p.width);
        EXPECT_EQ(info.height, p.height);
        EXPECT_EQ(info.bitCount, p.bits);
        EXPECT_EQ(info.compression, 0u);
        if (p.bits == 8) {
            // A real colour table, not a few flat colours.
            EXPECT_GT(info.paletteEntries, 128);
            EXPECT_LE(info.paletteEntries, 256);
        } else {
            EXPECT_EQ(info.paletteEntries, 0);
        }
        EXPECT_EQ(QImage(QString::fromStdString(RunPath(p.file))).size(), QSize(p.width, p.height));
    }
}

TEST(Pictures, EveryTileOfATenByTenBoardIsDistinct)
{
    for (const PictureSpec& p : kPictures) {
        SCOPED_TRACE(p.file);
        const QImage img = Board(p.file);
        ASSERT_FALSE(img.isNull());
        double smallest = std::numeric_limits<double>::max();
        for (int a = 0; a < 100; ++a)
            for (int b = a + 1; b < 100; ++b)
                smallest = std::min(smallest, TileDifference(img, a, b, 10));
        EXPECT_GE(smallest, 10.0);
    }
}
