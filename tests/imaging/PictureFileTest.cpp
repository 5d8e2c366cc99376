// The picture loader: every BMP the DIB image reads gives the same pixels, scaled pictures average their
// pixels as Qt's smooth scaling does, and everything that is not a readable BMP file is refused at once.

#include "imaging/PictureFile.h"
#include "imaging/DIBitmap.h"

#include "support/PictureFiles.h"
#include "support/SpecialFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

namespace {

using Status = CPictureFile::Status;

class PictureFileTest : public ::testing::Test {
protected:
    std::string Path(const char* name) const
    {
        return m_dir.filePath(QString::fromLatin1(name)).toStdString();
    }

    std::string Write(const char* name, const std::string& bytes) const
    {
        EXPECT_TRUE(support::WriteFile(Path(name), bytes));
        return Path(name);
    }

    QTemporaryDir m_dir;
};

std::string FileOf(const QImage& image, int bits)
{
    CDIBitmap dib;
    EXPECT_TRUE(dib.CreateFromBitmap(image, bits)) << dib.GetLastError();
    std::ostringstream out;
    EXPECT_TRUE(dib.Write(out));
    return out.str();
}

// Little-endian bytes of 32-bit values.
std::vector<std::uint8_t> Le32(std::initializer_list<std::uint32_t> values)
{
    std::vector<std::uint8_t> out;
    for (std::uint32_t v : values)
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    return out;
}

} // namespace

TEST_F(PictureFileTest, EveryBmpTheDibImageReadsGivesTheSamePixels)
{
    const QImage truecolour = IndexedPicture(10, 6, 60).convertToFormat(QImage::Format_RGB32);
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"1 bit", FileOf(IndexedPicture(13, 7, 2), 1)},
        {"4 bits", FileOf(IndexedPicture(13, 7, 16), 4)},
        {"8 bits", FileOf(IndexedPicture(109, 88, 200), 8)},
        {"24 bits", FileOf(truecolour, 0)},
        // Runs, a delta, an absolute run, a run past the right edge, an early end.
        {"RLE8",
         MakeBmp(Spec(6, 4, 8, GreyTable(256), {3, 9, 0, 3, 1, 2, 3, 0, 0, 0, 2, 1, 1, 9, 4, 0, 1}, 1))},
        {"RLE4",
         MakeBmp(Spec(6, 3, 4, GreyTable(16), {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 2, 2, 1, 3, 0xAB}, 2))},
        {"16 bits 5-5-5", MakeBmp(Spec(2, 2, 16, {}, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F}))},
        {"16 bits fields 5-6-5", MakeBmp(Spec(2, 2, 16, Le32({0xF800, 0x07E0, 0x1F}),
                                              {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0x12, 0x34}, 3))},
        {"32 bits", MakeBmp(Spec(2, 1, 32, {}, {1, 2, 3, 0, 200, 100, 50, 255}))},
        {"32 bits fields 10-10-10", MakeBmp(Spec(2, 1, 32, Le32({0x3FF00000, 0x000FFC00, 0x000003FF}),
                                                 Le32({0x3FF00000, 0x000FFC01}), 3))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDIBitmap dib;
        std::istringstream in(c.bytes);
        ASSERT_TRUE(dib.Read(in)) << dib.GetLastError();
        const QImage expected = dib.ToImage();
        ASSERT_FALSE(expected.isNull());
        const std::string path = Write("x.bmp", c.bytes);
        Status status = Status::Missing;
        EXPECT_EQ(CPictureFile::LoadNatural(path, QSize(4096, 4096), nullptr, &status), expected);
        EXPECT_EQ(status, Status::Ok);
        EXPECT_EQ(CPictureFile::Load(path, expected.size()), expected);
    }
}

// Rows stored top-down, the longer info headers, and the OS/2 core header with its 3-byte colour entries.
TEST_F(PictureFileTest, OtherHeadersAndRowOrdersGiveTheSamePicture)
{
    const std::string bottomUp = FileOf(IndexedPicture(7, 5, 50).convertToFormat(QImage::Format_RGB32), 0);
    const QImage expected = CPictureFile::LoadNatural(Write("a.bmp", bottomUp), QSize(64, 64));
    ASSERT_EQ(expected.size(), QSize(7, 5));

    BmpSpec topDown = Spec(7, -5, 24, {}, {});
    for (int y = 0; y < 5; ++y) { // first row in the file is the top one
        const std::size_t at = 54 + static_cast<std::size_t>((4 - y) * 24);
        topDown.pixels.insert(topDown.pixels.end(), bottomUp.begin() + static_cast<std::ptrdiff_t>(at),
                              bottomUp.begin() + static_cast<std::ptrdiff_t>(at + 24));
    }
    EXPECT_EQ(CPictureFile::LoadNatural(Write("b.bmp", MakeBmp(topDown)), QSize(64, 64)), expected);

    BmpSpec v5 = Spec(7, 5, 24, {}, std::vector<std::uint8_t>(bottomUp.begin() + 54, bottomUp.end()));
    v5.biSize = 124;
    v5.headerMasks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    EXPECT_EQ(CPictureFile::LoadNatural(Write("c.bmp", MakeBmp(v5)), QSize(64, 64)), expected);

    // Core header: 16-bit sizes, 3-byte colour entries; a 2 x 2 of 1 bit.
    std::string core = "BM";
    for (std::uint32_t v : {14u + 12 + 6 + 8, 0u, 14u + 12 + 6, 12u})
        core.append(reinterpret_cast<const char*>(Le32({v}).data()), 4);
    core += std::string("\x02\x00\x02\x00\x01\x00\x01\x00", 8); // width, height, planes, bits
    core += std::string("\x10\x20\x30\xF0\xE0\xD0", 6);         // blue, green, red of 0 and 1
    core += std::string("\x80\x00\x00\x00\x40\x00\x00\x00", 8); // bottom row 1 0, top row 0 1
    const QImage fromCore = CPictureFile::LoadNatural(Write("e.bmp", core), QSize(64, 64));
    ASSERT_EQ(fromCore.size(), QSize(2, 2));
    const QRgb c0 = qRgb(0x30, 0x20, 0x10), c1 = qRgb(0xD0, 0xE0, 0xF0);
    EXPECT_EQ((std::vector<QRgb>{fromCore.pixel(0, 0), fromCore.pixel(1, 0), fromCore.pixel(0, 1)}),
              (std::vector<QRgb>{c0, c1, c1}));
}

// Large pictures are averaged block by block while they stream in; a gradient
// comes out as Qt's smooth scaling of the whole picture makes it.
TEST_F(PictureFileTest, ScaledPicturesMatchSmoothScaling)
{
    QImage gradient(1234, 987, QImage::Format_RGB32);
    for (int y = 0; y < gradient.height(); ++y)
        for (int x = 0; x < gradient.width(); ++x)
            gradient.setPixel(x, y, qRgb(x * 255 / 1233, y * 255 / 986, (x + y) % 256 < 128 ? 40 : 200));
    const std::string path = Write("g.bmp", FileOf(gradient, 0));
    for (const QSize size : {QSize(300, 300), QSize(100, 100), QSize(1500, 120)}) {
        const QImage ours = CPictureFile::Load(path, size);
        const QImage qts = gradient.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        ASSERT_EQ(ours.size(), size);
        int worst = 0;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const QRgb a = ours.pixel(x, y), b = qts.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b))});
            }
        EXPECT_LE(worst, 3) << size.width() << " x " << size.height();
    }
    // One reading gives several sizes, each as its own load gives it.
    const std::vector<QSize> sizes{QSize(300, 300), QSize(), QSize(600, 600), QSize(1500, 120)};
    const std::vector<QImage> all = CPictureFile::LoadSizes(path, sizes);
    ASSERT_EQ(all.size(), sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i)
        EXPECT_EQ(all[i], CPictureFile::Load(path, sizes[i])) << i;
    EXPECT_TRUE(all[1].isNull());
}

TEST_F(PictureFileTest, AnythingButAReadableBmpFileIsRefusedAtOnce)
{
    const auto huge = [](std::int32_t w, std::int32_t h) {
        return MakeBmp(Spec(w, h, 24, {}, {0, 0, 0, 0}));
    };
    BmpSpec manyColours = Spec(2, 1, 8, GreyTable(2), {0, 1, 0, 0});
    manyColours.clrUsed = 300;
    BmpSpec os2v2 = Spec(1, 1, 24, {}, {1, 2, 3, 0});
    os2v2.biSize = 64;
    BmpSpec inHeader = Spec(1, 1, 24, {}, {1, 2, 3, 0});
    inHeader.bfOffBits = 40;
    std::string cutShort = FileOf(IndexedPicture(40, 30, 16), 4);
    cutShort.resize(cutShort.size() - 1);

    const struct {
        const char* name;
        std::string bytes; // written to x.bmp
        Status status;
    } cases[] = {
        {"png", support::ForeignPicture("png").toStdString(), Status::NotBmp},
        {"svg", support::ForeignPicture("svg").toStdString(), Status::NotBmp},
        {"empty", "", Status::NotBmp},
        {"JPEG inside", support::ForeignPicture("jpeg in bmp").toStdString(), Status::Unsupported},
        {"OS/2 2.x header", MakeBmp(os2v2), Status::Unsupported},
        {"300 colours", MakeBmp(manyColours), Status::Unsupported},
        {"RLE8 of 24 bits", MakeBmp(Spec(1, 1, 24, {}, {0, 1}, 1)), Status::Unsupported},
        {"cut short", cutShort, Status::Damaged},
        {"header only", MakeBmp(Spec(2, 2, 24, {}, {})).substr(0, 30), Status::Damaged},
        {"no width", huge(0, 5), Status::Damaged},
        {"top-down RLE", MakeBmp(Spec(2, -2, 8, GreyTable(256), {0, 1}, 1)), Status::Damaged},
        {"pixels inside the header", MakeBmp(inHeader), Status::Damaged},
        {"2^30 x 2^30", huge(1 << 30, 1 << 30), Status::TooLarge},
        {"300000 wide", huge(300000, 1), Status::TooLarge},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Write("x.bmp", c.bytes);
        Status status = Status::Ok;
        EXPECT_TRUE(CPictureFile::Load(path, QSize(300, 300), &status).isNull());
        EXPECT_EQ(status, c.status);
        EXPECT_TRUE(CPictureFile::LoadNatural(path, QSize(300, 300)).isNull());
        for (const QImage& image : CPictureFile::LoadSizes(path, {QSize(300, 300), QSize(600, 600)}))
            EXPECT_TRUE(image.isNull());
    }

    ASSERT_TRUE(QDir(m_dir.path()).mkdir("folder.bmp") && support::MakeFifo(Path("fifo.bmp")));
    const support::FifoWatchdog fifo({Path("fifo.bmp")});
    for (const auto& [name, expected] : {std::pair{"none.bmp", Status::Missing},
                                         {"folder.bmp", Status::NotRegular},
                                         {"fifo.bmp", Status::NotRegular}}) {
        Status status = Status::Ok;
        EXPECT_TRUE(CPictureFile::Load(Path(name), QSize(300, 300), &status).isNull()) << name;
        EXPECT_EQ(status, expected) << name;
    }
    EXPECT_FALSE(fifo.Freed());
}
