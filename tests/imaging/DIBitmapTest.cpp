#include "imaging/DIBitmap.h"

#include "BmpBytes.h"
#include "support/RunFolder.h"
#include "support/SpecialFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace {

QImage TrueColourPicture(int w, int h, QImage::Format format = QImage::Format_RGB32)
{
    QImage img(w, h, format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 8 & 0xF8, y * 8 & 0xF8, (x + y) * 8 & 0xF8));
    return img;
}

void ExpectSamePixels(const QImage& expected, const QImage& actual)
{
    ASSERT_EQ(expected.size(), actual.size());
    EXPECT_EQ(expected.convertToFormat(QImage::Format_RGB32), actual.convertToFormat(QImage::Format_RGB32));
}

std::string WriteToString(CDIBitmap& dib)
{
    std::ostringstream out;
    EXPECT_TRUE(dib.Write(out));
    return out.str();
}

bool ReadFromString(CDIBitmap& dib, const std::string& bytes)
{
    std::istringstream in(bytes);
    return dib.Read(in);
}

} // namespace

// Depths 1, 4 and 8 keep pixels and colour table; true colour becomes 24 bits without a palette. Odd widths
// pad the rows; 109 x 88 is the tile file layout. Each is also read back from inside a larger stream.
TEST(DIBitmapRoundTrip, EveryDepthKeepsPixelsAndFileLayout)
{
    struct Case {
        int bits, colours, w, h;
        QImage::Format format;
        std::uint32_t offset, row;
    };
    QTemporaryDir dir;
    for (const Case c :
         {Case{1, 2, 13, 7, QImage::Format_Mono, 62, 4}, Case{4, 16, 13, 7, QImage::Format_Indexed8, 118, 8},
          Case{8, 40, 13, 7, QImage::Format_Indexed8, 1078, 16},
          Case{8, 200, 109, 88, QImage::Format_Indexed8, 1078, 112},
          Case{24, 0, 10, 6, QImage::Format_RGB32, 54, 32}, Case{24, 0, 10, 6, QImage::Format_ARGB32, 54, 32},
          Case{24, 0, 10, 6, QImage::Format_RGB16, 54, 32},
          Case{24, 0, 10, 6, QImage::Format_RGB888, 54, 32}}) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, format " << c.format);
        const QImage source =
            c.colours ? IndexedPicture(c.w, c.h, c.colours, c.format) : TrueColourPicture(c.w, c.h, c.format);
        CDIBitmap dib;
        ASSERT_TRUE(dib.CreateFromBitmap(source, c.colours ? c.bits : 0)) << dib.GetLastError();
        EXPECT_EQ(dib.GetBitCount(), c.bits);
        const std::string path = dir.filePath("x.bmp").toStdString();
        ASSERT_TRUE(dib.Save(path));
        const std::string bytes = support::ReadFile(path);
        EXPECT_EQ(bytes.size(), c.offset + c.row * c.h); // (what Qt reads of it: the resource tests)

        CDIBitmap back;
        ASSERT_TRUE(back.Load(path)) << back.GetLastError();
        EXPECT_EQ(back.GetBitsSize(), c.row * c.h);
        ExpectSamePixels(source, back.ToImage());
        // The same image embedded in a larger stream is read from where the stream stands.
        std::istringstream embedded(std::string(37, 'x') + bytes + "trailing bytes");
        embedded.seekg(37);
        CDIBitmap inner;
        ASSERT_TRUE(inner.Read(embedded)) << inner.GetLastError();
        ExpectSamePixels(source, inner.ToImage());
        ASSERT_EQ(back.GetPalette() != nullptr, c.colours > 0);
        if (!c.colours)
            continue;
        EXPECT_EQ(back.GetBitmapInfoSize(), 1064);
        EXPECT_EQ(back.GetPalette()->GetEntryCount(), 1 << c.bits);
        const PaletteEntry first = back.GetPalette()->GetEntries()[1];
        EXPECT_EQ(qRgb(first.peRed, first.peGreen, first.peBlue), source.color(1));
    }
}

TEST(DIBitmapRoundTrip, ColourUsedCountSizesThePaletteAndSixteenAndThirtyTwoBitFilesDecode)
{
    BmpSpec s = Spec(4, 1, 8, GreyTable(16), {0, 5, 15, 200});
    s.clrUsed = 16;
    CDIBitmap dib;
    ASSERT_TRUE(ReadFromString(dib, MakeBmp(s)));
    ASSERT_NE(dib.GetPalette(), nullptr);
    EXPECT_EQ(std::tuple(dib.GetNumColors(), dib.GetPalette()->GetEntryCount(), dib.GetBitmapInfoSize()),
              std::tuple(16, 16, 1064)); // the full table is read whatever the count
    EXPECT_EQ(dib.GetPalette()->GetEntries()[15], (PaletteEntry{255, 255, 255, 0}));
    EXPECT_EQ(std::pair(dib.ToImage().pixel(1, 0), dib.ToImage().pixel(2, 0)),
              std::pair(qRgb(85, 85, 85), qRgb(255, 255, 255)));

    CDIBitmap a; // red, blue (5-5-5)
    ASSERT_TRUE(ReadFromString(a, MakeBmp(Spec(2, 1, 16, {}, {0x00, 0x7C, 0x1F, 0x00}))));
    EXPECT_EQ(std::pair(a.ToImage().pixel(0, 0), a.ToImage().pixel(1, 0)),
              std::pair(qRgb(255, 0, 0), qRgb(0, 0, 255)));

    // Masks: R in the top byte, G, B below; bottom row r = 0x80, top row g = 0x40.
    CDIBitmap b;
    ASSERT_TRUE(ReadFromString(b, MakeBmp(Spec(1, 2, 32, {0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0},
                                               {0, 0, 0, 0x80, 0, 0, 0x40, 0}, CDIBitmap::BI_BITFIELDS))))
        << b.GetLastError();
    EXPECT_EQ(std::pair(b.ToImage().pixel(0, 1), b.ToImage().pixel(0, 0)),
              std::pair(qRgb(0x80, 0, 0), qRgb(0, 0x40, 0)));
    CDIBitmap c; // the masks survive a write
    ASSERT_TRUE(ReadFromString(c, WriteToString(b)));
    EXPECT_EQ(c.ToImage().pixel(0, 1), qRgb(0x80, 0, 0));
}

TEST(DIBitmapRoundTrip, CompressedFileIsKeptAsReadAndDecodedSafely)
{
    // Bottom row: 4 × index 255; end of line; top row: absolute run 1,2,3 (padded), end of picture.
    BmpSpec s = Spec(4, 2, 8, GreyTable(256), {4, 255, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1}, CDIBitmap::BI_RLE8);
    CDIBitmap dib;
    ASSERT_TRUE(ReadFromString(dib, MakeBmp(s))) << dib.GetLastError();
    EXPECT_EQ(dib.GetCompression(), CDIBitmap::BI_RLE8);
    ASSERT_EQ(dib.GetBitsSize(), s.pixels.size());
    EXPECT_TRUE(std::equal(s.pixels.begin(), s.pixels.end(), dib.GetBits()));
    const QImage img = dib.ToImage(); // pixels no run reaches stay index 0
    EXPECT_EQ((std::vector{img.pixel(3, 1), img.pixel(1, 0), img.pixel(3, 0)}),
              (std::vector{qRgb(255, 255, 255), qRgb(2, 2, 2), qRgb(0, 0, 0)}));

    // Written back as it was stored, with its real size in the header.
    const std::string written = WriteToString(dib);
    EXPECT_EQ(written.substr(1078), std::string(s.pixels.begin(), s.pixels.end()));
    EXPECT_EQ(ReadLe(written, 14 + 20, 4), s.pixels.size());

    // Runs that leave the picture and data that stops mid-command are harmless.
    s.pixels = {200, 7, 0, 2, 250, 250, 5, 9, 0, 40, 1};
    CDIBitmap hostile;
    ASSERT_TRUE(ReadFromString(hostile, MakeBmp(s)));
    EXPECT_EQ(hostile.ToImage().size(), QSize(4, 2));
}

TEST(DIBitmapRefusal, HostileHeadersAreRefusedAndLeaveTheImageEmpty)
{
    struct Case {
        const char* expect;
        std::function<void(BmpSpec&)> change;
        std::size_t cut = 0; // bytes removed from the end
    };
    const char* kNotDib = "Error:Unexpected file type, not a DIB\n";
    const char* kOs2 = "Error:OS2 PM BMP Format not supported\n";
    const Case cases[] = {
        {kNotDib, [](BmpSpec& s) { s.type = "MB"; }},
        {kOs2, [](BmpSpec& s) { s.biSize = 12; }},
        {kOs2, [](BmpSpec& s) { s.biSize = 108; }},
        {kOs2, [](BmpSpec& s) { s.biSize = 124; }},
        {"not larger than the pixel offset", [](BmpSpec& s) { s.bfSize = s.bfOffBits = 1078; }},
        {"inside the headers", [](BmpSpec& s) { s.bfOffBits = 20, s.bfSize = 2000; }},
        {"shorter than it declares", [](BmpSpec&) {}, 3},
        {"More colours", [](BmpSpec& s) { s.clrUsed = 257; }},
        {"no width or height", [](BmpSpec& s) { s.width = 0; }},
        {"no width or height", [](BmpSpec& s) { s.height = 0; }},
        {"no width or height", [](BmpSpec& s) { s.width = -3; }},
        {"Top-down", [](BmpSpec& s) { s.height = -2; }},
        {"too small", [](BmpSpec& s) { s.width = s.height = 3000; }},
        {"too large", [](BmpSpec& s) { s.bfSize = 0xFFFFFFF0u; }},
        {"too large", [](BmpSpec& s) { s.compression = CDIBitmap::BI_RLE8, s.width = s.height = 100000; }},
        {"bits per pixel", [](BmpSpec& s) { s.bitCount = 7; }},
    };
    const BmpSpec base = Spec(3, 2, 8, GreyTable(256), std::vector<std::uint8_t>(8, 1));
    CDIBitmap ok; // the base itself is fine, so each refusal comes from its one change
    EXPECT_TRUE(ReadFromString(ok, MakeBmp(base)));

    for (const Case& c : cases) {
        SCOPED_TRACE(c.expect);
        BmpSpec spec = base;
        c.change(spec);
        std::string bytes = MakeBmp(spec);
        bytes.resize(bytes.size() - c.cut);
        CDIBitmap dib;
        ASSERT_TRUE(dib.CreateFromBitmap(IndexedPicture(2, 2, 4)));
        std::istringstream in(bytes);
        EXPECT_FALSE(dib.Read(in));
        EXPECT_NE(dib.GetLastError().find(c.expect), std::string::npos) << dib.GetLastError();
        EXPECT_TRUE(!dib.GetBits() && !dib.GetBitmapInfo() && !dib.GetPalette() && dib.ToImage().isNull());
        EXPECT_FALSE(in.bad()); // the stream stays usable
    }
    CDIBitmap dib;
    EXPECT_FALSE(ReadFromString(dib, "BM"));
    EXPECT_EQ(dib.GetLastError(), kNotDib);
}

// A file that is missing or a FIFO leaves the picture as it was, without
// waiting. (Resources by number: every dialog's pictures.)
TEST(DIBitmapRefusal, MissingFilesAndFifosLeaveThePicture)
{
    QTemporaryDir dir;
    CDIBitmap dib;
    ASSERT_TRUE(dib.CreateFromBitmap(IndexedPicture(6, 5, 8)) && !dib.Load("/nonexistent/dir/x.bmp"));
    ASSERT_TRUE(support::MakeFifo(dir.filePath("fifo.bmp").toStdString()));
    const support::FifoWatchdog fifo({dir.filePath("fifo.bmp").toStdString()});
    EXPECT_FALSE(dib.Load(dir.filePath("fifo.bmp").toStdString()));
    EXPECT_FALSE(fifo.Freed()) << "opening a FIFO waited for a writer";
    ExpectSamePixels(IndexedPicture(6, 5, 8), dib.ToImage());
}
