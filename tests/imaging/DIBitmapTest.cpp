#include "imaging/DIBitmap.h"
#include "imaging/ResourceFinder.h"

#include "BmpBytes.h"

#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

const char* kNotDib = "Error:Unexpected file type, not a DIB\n";
const char* kOs2 = "Error:OS2 PM BMP Format not supported\n";

// An indexed picture whose pixel (x, y) has index (x * 3 + y * 5) % colours.
QImage IndexedPicture(int w, int h, int colours, QImage::Format format = QImage::Format_Indexed8)
{
    QImage img(w, h, format);
    QList<QRgb> table;
    for (int i = 0; i < colours; ++i) {
        table.append(qRgb((i * 37) & 0xFF, (i * 91) & 0xFF, (255 - i * 13) & 0xFF));
    }
    img.setColorTable(table);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            img.setPixel(x, y, static_cast<uint>((x * 3 + y * 5) % colours));
        }
    }
    return img;
}

QImage TrueColourPicture(int w, int h, QImage::Format format = QImage::Format_RGB32)
{
    QImage img(w, h, format);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            img.setPixel(x, y, qRgb(x * 8 & 0xF8, y * 8 & 0xF8, (x + y) * 8 & 0xF8));
        }
    }
    return img;
}

void ExpectSamePixels(const QImage& expected, const QImage& actual)
{
    ASSERT_FALSE(actual.isNull());
    ASSERT_EQ(expected.size(), actual.size());
    const QImage a = expected.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            ASSERT_EQ(a.pixel(x, y), actual.pixel(x, y)) << "at " << x << "," << y;
        }
    }
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

// --- round trips -----------------------------------------------------------

TEST(DIBitmapRoundTrip, IndexedDepthsKeepPixelsAndColourTables)
{
    struct Case {
        int bits;
        int colours;
        QImage::Format format;
    };
    for (const Case c : {Case{1, 2, QImage::Format_Mono}, Case{4, 16, QImage::Format_Indexed8},
                         Case{8, 256, QImage::Format_Indexed8}, Case{8, 40, QImage::Format_Indexed8}}) {
        SCOPED_TRACE(c.bits);
        // Odd widths exercise the padding of rows to 32 bits.
        const QImage source = IndexedPicture(13, 7, c.colours, c.format);
        CDIBitmap dib;
        ASSERT_TRUE(dib.CreateFromBitmap(source, c.bits)) << dib.GetLastError();
        EXPECT_EQ(dib.GetBitCount(), c.bits);
        EXPECT_EQ(dib.GetBitmapInfoSize(), 40 + 4 * CDIBitmap::DepthColorCount(c.bits));
        const std::string bytes = WriteToString(dib);

        const std::uint32_t tableBytes = 4u * CDIBitmap::DepthColorCount(c.bits);
        const std::uint32_t row = (13u * c.bits + 31) / 32 * 4;
        EXPECT_EQ(ReadLe(bytes, 0, 2), 0x4D42u);
        EXPECT_EQ(ReadLe(bytes, 10, 4), 54 + tableBytes);
        EXPECT_EQ(ReadLe(bytes, 2, 4), 54 + tableBytes + row * 7);
        EXPECT_EQ(bytes.size(), 54 + tableBytes + row * 7);

        CDIBitmap back;
        ASSERT_TRUE(ReadFromString(back, bytes)) << back.GetLastError();
        EXPECT_EQ(back.GetBitmapInfoSize(), 1064);
        EXPECT_EQ(back.GetWidth(), 13);
        EXPECT_EQ(back.GetHeight(), 7);
        ExpectSamePixels(source, back.ToImage());
        ASSERT_NE(back.GetPalette(), nullptr);
        EXPECT_EQ(back.GetPalette()->GetEntryCount(), 1 << c.bits);
        EXPECT_EQ(back.GetPalette()->GetVersion(), 0x300);
        const PaletteEntry first = back.GetPalette()->GetEntries()[1];
        EXPECT_EQ(first.peRed, qRed(source.color(1)));
        EXPECT_EQ(first.peGreen, qGreen(source.color(1)));
        EXPECT_EQ(first.peBlue, qBlue(source.color(1)));
    }
}

TEST(DIBitmapRoundTrip, TrueColourBecomes24BitWithoutPalette)
{
    for (QImage::Format format :
         {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_RGB16, QImage::Format_RGB888}) {
        SCOPED_TRACE(format);
        const QImage source = TrueColourPicture(10, 6, format);
        CDIBitmap dib;
        ASSERT_TRUE(dib.CreateFromBitmap(source));
        EXPECT_EQ(dib.GetBitCount(), 24);
        EXPECT_EQ(dib.GetBitmapInfoSize(), 40);
        EXPECT_EQ(dib.GetPalette(), nullptr);
        const std::string bytes = WriteToString(dib);
        EXPECT_EQ(ReadLe(bytes, 10, 4), 54u);
        EXPECT_EQ(bytes.size(), 54u + 32u * 6u); // 10 * 3 = 30, filled out to 32

        CDIBitmap back;
        ASSERT_TRUE(ReadFromString(back, bytes));
        EXPECT_EQ(back.GetPalette(), nullptr);
        ExpectSamePixels(source, back.ToImage());
    }
}

TEST(DIBitmapRoundTrip, EightBit109x88FileLayout)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("tile.bmp").toStdString();
    CDIBitmap dib;
    ASSERT_TRUE(dib.CreateFromBitmap(IndexedPicture(109, 88, 200)));
    ASSERT_TRUE(dib.Save(path));

    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(ReadLe(bytes, 10, 4), 1078u);
    EXPECT_EQ(ReadLe(bytes, 2, 4), 1078u + 112u * 88u);
    EXPECT_EQ(bytes.size(), 1078u + 112u * 88u);
    EXPECT_EQ(ReadLe(bytes, 14 + 20, 4), 0u) << "biSizeImage is written as 0";

    CDIBitmap back;
    ASSERT_TRUE(back.Load(path));
    EXPECT_EQ(back.GetBitsSize(), 112u * 88u);
    ExpectSamePixels(IndexedPicture(109, 88, 200), back.ToImage());
}

TEST(DIBitmapRoundTrip, ImageEmbeddedInLargerStream)
{
    CDIBitmap dib;
    const QImage source = IndexedPicture(5, 4, 16);
    ASSERT_TRUE(dib.CreateFromBitmap(source, 4));
    const std::string bmp = WriteToString(dib);
    const std::string junk(37, 'x');
    std::istringstream in(junk + bmp + "trailing bytes");
    in.seekg(static_cast<std::streamoff>(junk.size()));

    CDIBitmap back;
    ASSERT_TRUE(back.Read(in)) << back.GetLastError();
    ExpectSamePixels(source, back.ToImage());
}

TEST(DIBitmapRoundTrip, ColourUsedCountSizesThePalette)
{
    BmpSpec s;
    s.width = 4;
    s.height = 1;
    s.bitCount = 8;
    s.clrUsed = 16;
    s.colorTable = GreyTable(16);
    s.pixels = {0, 5, 15, 200};
    CDIBitmap dib;
    ASSERT_TRUE(ReadFromString(dib, MakeBmp(s)));
    ASSERT_NE(dib.GetPalette(), nullptr);
    EXPECT_EQ(dib.GetNumColors(), 16);
    EXPECT_EQ(dib.GetPalette()->GetEntryCount(), 16);
    EXPECT_EQ(dib.GetPalette()->GetEntries()[15], (PaletteEntry{255, 255, 255, 0}));
    // 1024 bytes were read into the table whatever the count.
    EXPECT_EQ(dib.GetBitmapInfoSize(), 1064);
    const QImage img = dib.ToImage();
    EXPECT_EQ(img.pixel(1, 0), qRgb(85, 85, 85));
    EXPECT_EQ(img.pixel(2, 0), qRgb(255, 255, 255));
}

TEST(DIBitmapRoundTrip, SixteenAndThirtyTwoBitFilesDecode)
{
    BmpSpec s16;
    s16.width = 2;
    s16.height = 1;
    s16.bitCount = 16;
    s16.pixels = {0x00, 0x7C, 0x1F, 0x00}; // red, blue (5-5-5)
    CDIBitmap a;
    ASSERT_TRUE(ReadFromString(a, MakeBmp(s16)));
    EXPECT_EQ(a.ToImage().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(a.ToImage().pixel(1, 0), qRgb(0, 0, 255));

    BmpSpec s32;
    s32.width = 1;
    s32.height = 2;
    s32.bitCount = 32;
    s32.compression = CDIBitmap::BI_BITFIELDS;
    s32.colorTable = {0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0}; // R in the top byte, G, B below
    s32.pixels = {0, 0, 0, 0x80, 0, 0, 0x40, 0};                    // bottom row: r=0x80; top row: g=0x40
    CDIBitmap b;
    ASSERT_TRUE(ReadFromString(b, MakeBmp(s32))) << b.GetLastError();
    EXPECT_EQ(b.ToImage().pixel(0, 1), qRgb(0x80, 0, 0));
    EXPECT_EQ(b.ToImage().pixel(0, 0), qRgb(0, 0x40, 0));
    // The masks survive a write.
    CDIBitmap c;
    ASSERT_TRUE(ReadFromString(c, WriteToString(b)));
    EXPECT_EQ(c.ToImage().pixel(0, 1), qRgb(0x80, 0, 0));
}

TEST(DIBitmapRoundTrip, CompressedFileIsKeptAsReadAndDecodedSafely)
{
    BmpSpec s;
    s.width = 4;
    s.height = 2;
    s.bitCount = 8;
    s.compression = CDIBitmap::BI_RLE8;
    s.colorTable = GreyTable(256);
    // Bottom row: 4 × index 255; end of line; top row: absolute run 1,2,3 (padded), end of picture.
    s.pixels = {4, 255, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1};
    const std::string bytes = MakeBmp(s);
    CDIBitmap dib;
    ASSERT_TRUE(ReadFromString(dib, bytes)) << dib.GetLastError();
    EXPECT_EQ(dib.GetCompression(), CDIBitmap::BI_RLE8);
    ASSERT_EQ(dib.GetBitsSize(), s.pixels.size());
    EXPECT_TRUE(std::equal(s.pixels.begin(), s.pixels.end(), dib.GetBits()));
    const QImage img = dib.ToImage();
    EXPECT_EQ(img.pixel(3, 1), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(1, 0), qRgb(2, 2, 2));
    EXPECT_EQ(img.pixel(3, 0), qRgb(0, 0, 0)) << "pixels no run reaches stay index 0";

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

// --- refusals ----------------------------------------------------------------

TEST(DIBitmapRefusal, WrongSignatureAndOtherHeaderSizes)
{
    CDIBitmap dib;
    BmpSpec s;
    s.pixels.assign(16, 0);
    s.type = "MB";
    EXPECT_FALSE(ReadFromString(dib, MakeBmp(s)));
    EXPECT_EQ(dib.GetLastError(), kNotDib);
    EXPECT_FALSE(ReadFromString(dib, "BM"));
    EXPECT_EQ(dib.GetLastError(), kNotDib);

    for (std::uint32_t size : {12u, 108u, 124u}) {
        SCOPED_TRACE(size);
        s.type = "BM";
        s.biSize = size;
        EXPECT_FALSE(ReadFromString(dib, MakeBmp(s)));
        EXPECT_EQ(dib.GetLastError(), kOs2);
        EXPECT_EQ(dib.GetBits(), nullptr);
    }
}

TEST(DIBitmapRefusal, HostileHeadersAreRefusedAndLeaveTheImageEmpty)
{
    auto base = [] {
        BmpSpec s;
        s.width = 3;
        s.height = 2;
        s.bitCount = 8;
        s.colorTable = GreyTable(256);
        s.pixels.assign(8, 1);
        return s;
    };
    struct Case {
        const char* name;
        BmpSpec spec;
        std::size_t cut = 0; // bytes removed from the end
        const char* expect = "";
    };
    std::vector<Case> cases;
    {
        Case c{"size not above offset", base()};
        c.spec.bfSize = 1078;
        c.spec.bfOffBits = 1078;
        c.expect = "not larger than the pixel offset";
        cases.push_back(c);
    }
    {
        Case c{"offset inside headers", base()};
        c.spec.bfOffBits = 20;
        c.spec.bfSize = 2000;
        c.expect = "inside the headers";
        cases.push_back(c);
    }
    {
        Case c{"shorter than declared", base(), 3};
        c.expect = "shorter than it declares";
        cases.push_back(c);
    }
    {
        Case c{"257 colours used", base()};
        c.spec.clrUsed = 257;
        c.expect = "More colours";
        cases.push_back(c);
    }
    for (auto [w, h] : {std::pair{0, 2}, {3, 0}, {-3, 2}, {3, -2}}) {
        Case c{"zero or negative size", base()};
        c.spec.width = w;
        c.spec.height = h;
        c.expect = h < 0 ? "Top-down" : "no width or height";
        cases.push_back(c);
    }
    {
        Case c{"rows do not fit the pixel block", base()};
        c.spec.width = 3000;
        c.spec.height = 3000;
        c.expect = "too small";
        cases.push_back(c);
    }
    {
        Case c{"pixel block over the cap", base()};
        c.spec.bfSize = 0xFFFFFFF0u;
        c.expect = "too large";
        cases.push_back(c);
    }
    {
        Case c{"too many pixels for a compressed picture", base()};
        c.spec.compression = CDIBitmap::BI_RLE8;
        c.spec.width = 100000;
        c.spec.height = 100000;
        c.expect = "too large";
        cases.push_back(c);
    }
    {
        Case c{"unknown bit count", base()};
        c.spec.bitCount = 7;
        c.expect = "bits per pixel";
        cases.push_back(c);
    }

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDIBitmap dib;
        ASSERT_TRUE(dib.CreateFromBitmap(IndexedPicture(2, 2, 4)));
        std::string bytes = MakeBmp(c.spec);
        bytes.resize(bytes.size() - c.cut);
        std::istringstream in(bytes);
        EXPECT_FALSE(dib.Read(in));
        EXPECT_FALSE(dib.GetLastError().empty());
        EXPECT_NE(dib.GetLastError().find(c.expect), std::string::npos) << dib.GetLastError();
        EXPECT_EQ(dib.GetBits(), nullptr);
        EXPECT_EQ(dib.GetBitmapInfo(), nullptr);
        EXPECT_EQ(dib.GetPalette(), nullptr);
        EXPECT_TRUE(dib.ToImage().isNull());
        // The stream stays usable.
        EXPECT_FALSE(in.bad());
    }
    // The base itself is fine, so each refusal above comes from its one change.
    CDIBitmap ok;
    EXPECT_TRUE(ReadFromString(ok, MakeBmp(base())));
}

TEST(DIBitmapRefusal, CreateFromBitmapChecksTheAskedDepth)
{
    CDIBitmap dib;
    EXPECT_FALSE(dib.CreateFromBitmap(QImage()));
    EXPECT_FALSE(dib.CreateFromBitmap(IndexedPicture(4, 4, 17), 4)) << "17 colours do not fit 4 bits";
    EXPECT_FALSE(dib.CreateFromBitmap(TrueColourPicture(4, 4), 8)) << "true colour is not indexed";
    QImage wide = IndexedPicture(4, 4, 2);
    wide.setPixel(0, 0, 1);
    wide.setColorCount(2);
    EXPECT_TRUE(dib.CreateFromBitmap(wide, 1));
    EXPECT_EQ(dib.GetBitCount(), 1);
}

TEST(DIBitmapRefusal, FilesThatDoNotOpen)
{
    CDIBitmap dib;
    ASSERT_TRUE(dib.CreateFromBitmap(IndexedPicture(3, 3, 4)));
    EXPECT_FALSE(dib.Load("/nonexistent/dir/x.bmp"));
    EXPECT_EQ(dib.GetWidth(), 3) << "a file that does not open leaves the picture";
    EXPECT_FALSE(dib.Save("/nonexistent/dir/x.bmp"));
    CDIBitmap empty;
    std::ostringstream out;
    EXPECT_FALSE(empty.Write(out));
    EXPECT_TRUE(out.str().empty());
}

// --- resources ---------------------------------------------------------------

TEST(DIBitmapResource, FoundByNameOrNumberWithoutRegardToCase)
{
    QTemporaryDir dir;
    CDIBitmap pic;
    ASSERT_TRUE(pic.CreateFromBitmap(IndexedPicture(6, 5, 8)));
    ASSERT_TRUE(pic.Save(dir.filePath("please.Bmp").toStdString()));
    ASSERT_TRUE(pic.Save(dir.filePath("901.bmp").toStdString()));
    CResourceFinder::AddSearchPath(dir.path());

    CDIBitmap dib;
    EXPECT_TRUE(dib.LoadResourceBitmap(QStringLiteral("PLEASE")));
    EXPECT_EQ(dib.GetWidth(), 6);
    EXPECT_EQ(dib.GetBitCount(), 8);
    EXPECT_EQ(dib.GetBitmapInfoSize(), 40 + 1024);
    ExpectSamePixels(IndexedPicture(6, 5, 8), dib.ToImage());

    CDIBitmap byId;
    EXPECT_TRUE(byId.LoadResourceBitmap(901));
    EXPECT_EQ(byId.GetHeight(), 5);

    // A missing resource leaves the previous picture.
    EXPECT_FALSE(dib.LoadResourceBitmap(902));
    EXPECT_FALSE(dib.LoadResourceBitmap(QStringLiteral("NOPE")));
    EXPECT_EQ(dib.GetWidth(), 6);
    ASSERT_NE(dib.GetBits(), nullptr);
    CResourceFinder::ClearSearchPaths();
    EXPECT_FALSE(byId.LoadResourceBitmap(901));
    EXPECT_EQ(byId.GetHeight(), 5);
}

// --- drawing -----------------------------------------------------------------

TEST(DIBitmapDrawing, PaintCopiesTheAskedPartAndEmptyDrawsNothing)
{
    CDIBitmap dib;
    const QImage source = TrueColourPicture(20, 10);
    ASSERT_TRUE(dib.CreateFromBitmap(source));

    QImage canvas(30, 30, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    {
        QPainter p(&canvas);
        const CRect dc(2, 3, 7, 7);     // 5 × 4
        const CRect part(10, 4, 15, 8); // rows 4..7, columns 10..14
        EXPECT_EQ(dib.Paint(&p, &dc, &part), 10);
    }
    EXPECT_EQ(canvas.pixel(2, 3), source.pixel(10, 4));
    EXPECT_EQ(canvas.pixel(6, 6), source.pixel(14, 7));
    EXPECT_EQ(canvas.pixel(7, 3), qRgb(0, 0, 0));
    EXPECT_EQ(canvas.pixel(2, 7), qRgb(0, 0, 0));

    CDIBitmap empty;
    QImage blank(10, 10, QImage::Format_RGB32);
    blank.fill(Qt::black);
    QPainter p(&blank);
    const CRect r(0, 0, 10, 10);
    EXPECT_EQ(empty.Paint(&p, &r, &r), 0);
    empty.StretchDraw(&p, 0, 0, 10, 10);
    empty.Draw(&p, 0, 0);
    p.end();
    EXPECT_EQ(blank.pixel(5, 5), qRgb(0, 0, 0));
}

TEST(DIBitmapDrawing, StretchAndPaletteStretchMode)
{
    CDIBitmap trueColour;
    ASSERT_TRUE(trueColour.CreateFromBitmap(TrueColourPicture(2, 2)));
    QImage canvas(40, 40, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    trueColour.StretchDraw(&p, 0, 0, 20, 20);
    EXPECT_TRUE(p.testRenderHint(QPainter::SmoothPixmapTransform)) << "no palette: mode untouched";

    CDIBitmap indexed;
    ASSERT_TRUE(indexed.CreateFromBitmap(IndexedPicture(2, 2, 4)));
    indexed.StretchDraw(&p, 20, 20, 20, 20);
    EXPECT_FALSE(p.testRenderHint(QPainter::SmoothPixmapTransform)) << "palette: colour-on-colour";
    p.end();
    const QImage src = IndexedPicture(2, 2, 4).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(canvas.pixel(25, 25), src.pixel(0, 0));
    EXPECT_EQ(canvas.pixel(35, 35), src.pixel(1, 1));
    EXPECT_EQ(canvas.pixel(1, 1), TrueColourPicture(2, 2).pixel(0, 0));
}
