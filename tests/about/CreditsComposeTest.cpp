#include "about/CreditsCompose.h"
#include "about/CreditsBitmaps.h"
#include "about/CreditsPalette.h"
#include "imaging/ResourceFinder.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace CreditsCompose;

namespace {

// A picture whose every pixel differs from its neighbours.
QImage Pattern(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 7) & 0xFF, (y * 11) & 0xFF, (x + y) & 0xFF));
    return image;
}

const QRgb kBlue = qRgb(0, 0, 255);

} // namespace

TEST(CreditsCompose, PackedColoursHaveRedInTheLowestByte)
{
    EXPECT_EQ(PackRgb(0, 0, 255), 0x00FF0000u);
    EXPECT_EQ(ToQRgb(PackRgb(0, 0, 255)), kBlue);
    EXPECT_EQ(ToQRgb(PackRgb(12, 34, 56)), qRgb(12, 34, 56));
    EXPECT_EQ(kLightGrey, qRgb(192, 192, 192));
}

TEST(CreditsCompose, ScrollMovesOnlyTheColumnUp)
{
    QImage image = Pattern(20, 10);
    const QImage before = image.copy();
    const CRect column(5, 0, 12, 10);
    ScrollColumn(image, column, -1);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            QRgb expected = before.pixel(x, y);
            if (column.PtInRect(x, y) && y < 9)
                expected = before.pixel(x, y + 1);
            ASSERT_EQ(image.pixel(x, y), expected) << x << "," << y;
        }
}

TEST(CreditsCompose, TilingRepeatsSmallPicturesAndCropsLargeOnes)
{
    const QImage small = Pattern(7, 5);
    const QImage tiled = TileBackground(small, 30, 12);
    ASSERT_EQ(tiled.size(), QSize(30, 12));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(tiled.pixel(x, y), small.pixel(x % 7, y % 5)) << x << "," << y;

    const QImage large = Pattern(50, 40);
    const QImage cropped = TileBackground(large, 30, 12);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(cropped.pixel(x, y), large.pixel(x, y));
}

TEST(CreditsPalette, TrueColourPicturesGetTheHalftonePalette)
{
    const CreditsPalette p = MakeCreditsPalette(Pattern(4, 4));
    EXPECT_TRUE(p.bHalftone);
    EXPECT_EQ(p.entries.size(), 256u);
    EXPECT_EQ(p.entries.front(), qRgb(0, 0, 0));
    EXPECT_TRUE(MakeCreditsPalette(QImage()).IsEmpty());
}

TEST(CreditsBitmaps, FoundThroughTheResourceLookupWithoutRegardToCase)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(Pattern(100, 100).save(dir.filePath("CreditsPicA.bmp"), "BMP"));
    ASSERT_TRUE(Pattern(109, 50).save(dir.filePath("CREDITSPICB.BMP"), "BMP"));
    QDir(dir.path()).mkdir("sub");
    ASSERT_TRUE(Pattern(3, 3).save(dir.filePath("sub/x.bmp"), "BMP"));
    ASSERT_TRUE(Pattern(4, 4).save(dir.filePath("sub\\y.bmp"), "BMP"));
    CResourceFinder::AddSearchPath(dir.path());

    const QImage a = CCreditsBitmaps::FromResources("CREDITSPICA");
    ASSERT_FALSE(a.isNull());
    EXPECT_EQ(a.size(), QSize(100, 100));
    EXPECT_EQ(CCreditsBitmaps::FromResources("creditspicb").size(), QSize(109, 50));
    EXPECT_TRUE(CCreditsBitmaps::FromResources("missing").isNull());
    EXPECT_TRUE(CCreditsBitmaps::FromResources("").isNull());
    // Names cannot reach into folders, whichever separator they use.
    EXPECT_TRUE(CCreditsBitmaps::FromResources("sub/x").isNull());
    EXPECT_TRUE(CCreditsBitmaps::FromResources("sub\\y").isNull());
    EXPECT_TRUE(
        CCreditsBitmaps::FromResources("../" + QDir(dir.path()).dirName().toStdString() + "/CreditsPicA")
            .isNull());
    CResourceFinder::ClearSearchPaths();
    EXPECT_TRUE(CCreditsBitmaps::FromResources("CreditsPicA").isNull());
}
