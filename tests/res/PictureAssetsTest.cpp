#include "AssetFiles.h"

#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace {

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

TEST(Pictures, EveryTileOfATenByTenBoardIsDistinct)
{
    for (const char* file :
         {"bitmaps/pic1.bmp", "bitmaps/pic2.bmp", "bitmaps/pic3.bmp", "bitmaps/pic4.bmp"}) {
        SCOPED_TRACE(file);
        const QImage img = Board(file);
        ASSERT_FALSE(img.isNull());
        double smallest = std::numeric_limits<double>::max();
        for (int a = 0; a < 100; ++a)
            for (int b = a + 1; b < 100; ++b)
                smallest = std::min(smallest, TileDifference(img, a, b, 10));
        EXPECT_GE(smallest, 10.0);
    }
}
