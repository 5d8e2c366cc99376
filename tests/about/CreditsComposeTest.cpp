#include "about/CreditsCompose.h"
#include "about/CreditsBitmaps.h"
#include "about/CreditsPalette.h"

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
const QRgb kRed = qRgb(255, 0, 0);

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

TEST(CreditsCompose, KeyColourInsideTheColumnShowsThePicture)
{
    const QImage tiled = Pattern(16, 8);
    QImage back = MakeBuffer(16, 8, kLightGrey);
    back.setPixel(6, 3, kRed);
    back.setPixel(1, 1, kRed); // outside the column
    back.setPixel(7, 4, kBlue);
    QImage screen = MakeBuffer(16, 8, 0);
    const CRect column(4, 0, 10, 8);
    ComposeOutside(screen, tiled, column);
    ComposeColumn(screen, back, tiled, column, kLightGrey);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            QRgb expected = tiled.pixel(x, y);
            if ((x == 6 && y == 3) || (x == 7 && y == 4))
                expected = back.pixel(x, y);
            ASSERT_EQ(screen.pixel(x, y), expected) << x << "," << y;
        }

    // With the background colour as key, light grey stays.
    ComposeColumn(screen, back, tiled, column, kBlue);
    EXPECT_EQ(screen.pixel(5, 5), kLightGrey);
    EXPECT_EQ(screen.pixel(7, 4), tiled.pixel(7, 4));
}

TEST(CreditsCompose, LineBitmapDrawsTopRowsThroughTheKey)
{
    QImage bitmap(4, 3, QImage::Format_RGB32);
    bitmap.fill(kRed);
    bitmap.setPixel(1, 0, kLightGrey);
    bitmap.setPixel(2, 1, kLightGrey);

    QImage target = MakeBuffer(10, 10, kBlue);
    // The top two rows, ending at row 8, clipped at x = 5.
    DrawLineBitmap(target, bitmap, CRect(2, 6, 6, 8), CRect(0, 0, 5, 10), true, kLightGrey);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            QRgb expected = kBlue;
            if (x >= 2 && x < 5 && y >= 6 && y < 8) {
                const QRgb src = bitmap.pixel(x - 2, y - 6);
                expected = src == kLightGrey ? kBlue : src;
            }
            ASSERT_EQ(target.pixel(x, y), expected) << x << "," << y;
        }

    // Without the key every pixel is copied.
    DrawLineBitmap(target, bitmap, CRect(2, 6, 6, 8), CRect(0, 0, 10, 10), false, kLightGrey);
    EXPECT_EQ(target.pixel(3, 6), kLightGrey);
    EXPECT_EQ(target.pixel(5, 7), kRed);
}

TEST(CreditsPalette, IndexedPicturesKeepTheirColourTable)
{
    QImage sixteen(8, 8, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 16; ++i)
        table.push_back(qRgb(i * 16, 255 - i * 16, i));
    sixteen.setColorTable(table);
    const CreditsPalette p16 = MakeCreditsPalette(sixteen);
    EXPECT_FALSE(p16.bHalftone);
    EXPECT_EQ(p16.nVersion, 0x300);
    ASSERT_EQ(p16.entries.size(), 16u);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(p16.entries[static_cast<std::size_t>(i)], table[i]);

    QImage full(8, 8, QImage::Format_Indexed8);
    QList<QRgb> big;
    for (int i = 0; i < 256; ++i)
        big.push_back(qRgb(i, i / 2, 255 - i));
    full.setColorTable(big);
    const CreditsPalette p256 = MakeCreditsPalette(full);
    ASSERT_EQ(p256.entries.size(), 256u);
    EXPECT_EQ(p256.entries[200], big[200]);
}

TEST(CreditsPalette, TrueColourPicturesGetTheHalftonePalette)
{
    const CreditsPalette p = MakeCreditsPalette(Pattern(4, 4));
    EXPECT_TRUE(p.bHalftone);
    EXPECT_EQ(p.entries.size(), 256u);
    EXPECT_EQ(p.entries.front(), qRgb(0, 0, 0));
    EXPECT_TRUE(MakeCreditsPalette(QImage()).IsEmpty());
}

TEST(CreditsBitmaps, NamesMatchWithoutRegardToCase)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(Pattern(100, 100).save(dir.filePath("Bitmap1.bmp"), "BMP"));
    ASSERT_TRUE(Pattern(109, 50).save(dir.filePath("PLEASE.bmp"), "BMP"));

    const QImage bitmap1 = CCreditsBitmaps::FromFolder(dir.path(), "BITMAP1");
    ASSERT_FALSE(bitmap1.isNull());
    EXPECT_EQ(bitmap1.size(), QSize(100, 100));
    EXPECT_EQ(CCreditsBitmaps::FromFolder(dir.path(), "please").size(), QSize(109, 50));
    EXPECT_TRUE(CCreditsBitmaps::FromFolder(dir.path(), "missing").isNull());
    EXPECT_TRUE(CCreditsBitmaps::FromFolder(dir.path(), "").isNull());
    // Names cannot reach out of the resource folder.
    QDir(dir.path()).mkdir("sub");
    ASSERT_TRUE(Pattern(3, 3).save(dir.filePath("sub/x.bmp"), "BMP"));
    EXPECT_TRUE(CCreditsBitmaps::FromFolder(dir.path(), "sub/x").isNull());
}
