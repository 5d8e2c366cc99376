#include "imaging/DIBitmap.h"

#include "common/RegularFile.h"
#include "res/ResourceFinder.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <fstream>
#include <istream>
#include <new>
#include <ostream>
#include <sstream>

namespace {

// A failed step of an operation; caught by the same operation.
struct DibError {
    const char* text;
};

// Offsets in the file header and the info header.
constexpr int bfType = 0, bfSize = 2, bfOffBits = 10;
constexpr int biSize = 0, biWidth = 4, biHeight = 8, biPlanes = 12, biBitCount = 14, biCompression = 16,
              biSizeImage = 20, biClrUsed = 32;

std::uint16_t Get16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t Get32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void Put16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v)
{
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

// Bytes of one row of pixels, filled out to a multiple of 32 bits.
std::int64_t RowBytes(std::int64_t width, int bits)
{
    return (width * bits + 31) / 32 * 4;
}

bool ReadExact(std::istream& in, std::uint8_t* dst, std::streamsize n)
{
    in.read(reinterpret_cast<char*>(dst), n);
    return in.gcount() == n;
}

bool IsKnownDepth(int bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// One colour channel of a 16- or 32-bit pixel, scaled to 8 bits.
int Channel(std::uint32_t value, std::uint32_t mask)
{
    if (mask == 0) {
        return 0;
    }
    const int shift = std::countr_zero(mask);
    const std::uint64_t max = mask >> shift;
    const std::uint64_t v = (value & mask) >> shift;
    return static_cast<int>(v * 255 / max);
}

// Expands run-length encoded 8- or 4-bit data into one colour index per pixel,
// top row first. Runs that leave the picture are dropped; the data is never
// read past its end.
std::vector<std::uint8_t> DecodeRle(const std::vector<std::uint8_t>& data, int width, int height, bool rle8)
{
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    const std::size_t n = data.size();
    std::int64_t x = 0;
    std::int64_t y = 0; // counted from the bottom row
    auto put = [&](std::uint8_t index) {
        if (x >= 0 && x < width && y >= 0 && y < height) {
            out[static_cast<std::size_t>((height - 1 - y) * width + x)] = index;
        }
        ++x;
    };
    std::size_t p = 0;
    while (p + 1 < n && y < height) {
        const std::uint8_t count = data[p];
        const std::uint8_t value = data[p + 1];
        p += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) {
                put(rle8 ? value : static_cast<std::uint8_t>(i % 2 == 0 ? value >> 4 : value & 0x0F));
            }
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of picture
            break;
        } else if (value == 2) { // delta
            if (p + 1 >= n) {
                break;
            }
            x += data[p];
            y += data[p + 1];
            p += 2;
        } else { // absolute run of value pixels, padded to 16 bits
            const std::size_t bytes = rle8 ? value : (value + 1u) / 2u;
            for (int i = 0; i < value; ++i) {
                const std::size_t at =
                    p + (rle8 ? static_cast<std::size_t>(i) : static_cast<std::size_t>(i / 2));
                if (at >= n) {
                    break;
                }
                const std::uint8_t b = data[at];
                put(rle8 ? b : static_cast<std::uint8_t>(i % 2 == 0 ? b >> 4 : b & 0x0F));
            }
            p += (bytes + 1) & ~std::size_t{1};
        }
    }
    return out;
}

} // namespace

CDIBitmap::CDIBitmap() = default;

CDIBitmap::~CDIBitmap() = default;

void CDIBitmap::Free()
{
    m_info.clear();
    m_info.shrink_to_fit();
    m_bits.clear();
    m_bits.shrink_to_fit();
    // An empty picture has no palette either.
    m_pPalette.reset();
    m_cache = QImage();
    m_bCacheValid = false;
    m_imageAt2x = QImage();
}

int CDIBitmap::GetWidth() const
{
    return m_info.empty() ? 0 : static_cast<std::int32_t>(Get32(m_info.data() + biWidth));
}

int CDIBitmap::GetHeight() const
{
    return m_info.empty() ? 0 : static_cast<std::int32_t>(Get32(m_info.data() + biHeight));
}

int CDIBitmap::GetBitCount() const
{
    return m_info.empty() ? 0 : Get16(m_info.data() + biBitCount);
}

std::uint32_t CDIBitmap::GetCompression() const
{
    return m_info.empty() ? 0 : Get32(m_info.data() + biCompression);
}

int CDIBitmap::GetNumColors() const
{
    return m_info.empty() ? 0 : NumColors(m_info.data());
}

int CDIBitmap::GetDepthColorCount() const
{
    return DepthColorCount(GetBitCount());
}

int CDIBitmap::NumColors(const std::uint8_t* infoHeader)
{
    const std::uint32_t used = Get32(infoHeader + biClrUsed);
    if (used != 0) {
        return static_cast<int>(std::min<std::uint32_t>(used, 0x7FFFFFFF));
    }
    const int bits = Get16(infoHeader + biBitCount);
    return bits < 31 ? 1 << bits : 0x7FFFFFFF;
}

std::uint16_t CDIBitmap::DepthColorCount(int bitCount)
{
    switch (bitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

bool CDIBitmap::BuildPalette()
{
    m_pPalette.reset();
    if (GetBitCount() <= 8) {
        m_pPalette = std::make_unique<CDIBPalette>(*this);
    }
    return m_pPalette != nullptr;
}

bool CDIBitmap::Read(std::istream& file)
{
    Free();
    try {
        file.clear();
        const std::streamoff start = file.tellg();
        if (start < 0) {
            throw DibError{"Error:Unexpected file type, not a DIB\n"};
        }
        file.seekg(0, std::ios::end);
        const std::streamoff available = static_cast<std::streamoff>(file.tellg()) - start;
        file.seekg(start);

        std::array<std::uint8_t, kFileHeaderSize> fh{};
        if (!ReadExact(file, fh.data(), kFileHeaderSize) || Get16(fh.data() + bfType) != 0x4D42) {
            throw DibError{"Error:Unexpected file type, not a DIB\n"};
        }
        std::array<std::uint8_t, kInfoHeaderSize> ih{};
        if (!ReadExact(file, ih.data(), 4)) {
            throw DibError{"Error:File is shorter than it declares\n"};
        }
        if (Get32(ih.data() + biSize) != kInfoHeaderSize) {
            throw DibError{"Error:OS2 PM BMP Format not supported\n"};
        }
        if (!ReadExact(file, ih.data() + 4, kInfoHeaderSize - 4)) {
            throw DibError{"Error:File is shorter than it declares\n"};
        }

        const std::uint32_t size = Get32(fh.data() + bfSize);
        const std::uint32_t offBits = Get32(fh.data() + bfOffBits);
        const std::int32_t width = static_cast<std::int32_t>(Get32(ih.data() + biWidth));
        const std::int32_t height = static_cast<std::int32_t>(Get32(ih.data() + biHeight));
        const int bits = Get16(ih.data() + biBitCount);
        const std::uint32_t compression = Get32(ih.data() + biCompression);

        if (size <= offBits) {
            throw DibError{"Error:File size is not larger than the pixel offset\n"};
        }
        if (offBits < kFileHeaderSize + kInfoHeaderSize) {
            throw DibError{"Error:Pixel offset lies inside the headers\n"};
        }
        if (width <= 0 || height == 0) {
            throw DibError{"Error:Picture has no width or height\n"};
        }
        if (height < 0) {
            throw DibError{"Error:Top-down BMP not supported\n"};
        }
        if (!IsKnownDepth(bits)) {
            throw DibError{"Error:Unsupported number of bits per pixel\n"};
        }
        if (bits <= 8 && Get32(ih.data() + biClrUsed) > 256) {
            throw DibError{"Error:More colours than the colour table holds\n"};
        }
        const std::uint32_t pixelBytes = size - offBits;
        if (pixelBytes > kMaxPixelBlock || std::int64_t{width} * height > kMaxPixels) {
            throw DibError{"Error:Picture too large\n"};
        }
        if ((compression == BI_RGB || compression == BI_BITFIELDS) &&
            RowBytes(width, bits) * height > std::int64_t{pixelBytes}) {
            throw DibError{"Error:Pixel block too small for the picture\n"};
        }
        if (std::int64_t{size} > available) {
            throw DibError{"Error:File is shorter than it declares\n"};
        }

        m_info.assign(kInfoBlockSize, 0);
        std::memcpy(m_info.data(), ih.data(), kInfoHeaderSize);
        // Whatever the depth, the next 1024 bytes fill the colour table as far as they go.
        file.read(reinterpret_cast<char*>(m_info.data() + kInfoHeaderSize), kColorTableSize);
        file.clear();

        m_bits.resize(pixelBytes);
        file.seekg(start + static_cast<std::streamoff>(offBits));
        if (!ReadExact(file, m_bits.data(), static_cast<std::streamsize>(pixelBytes))) {
            throw DibError{"Error:File is shorter than it declares\n"};
        }
    } catch (const DibError& e) {
        m_strLastError = e.text;
        Free();
        file.clear();
        return false;
    } catch (const std::bad_alloc&) {
        m_strLastError = "could not allocate data storage\n";
        Free();
        file.clear();
        return false;
    }
    m_strLastError.clear();
    BuildPalette();
    return true;
}

bool CDIBitmap::Write(std::ostream& file)
{
    if (m_info.empty() || m_bits.empty()) {
        m_strLastError = "Error:No picture to write\n";
        return false;
    }
    const int bits = GetBitCount();
    const std::uint32_t compression = GetCompression();
    const bool compressed = compression != BI_RGB && compression != BI_BITFIELDS;

    // Pictures kept compressed are written as stored; uncompressed rows as the
    // header describes them.
    const std::int64_t imageSize =
        compressed ? static_cast<std::int64_t>(m_bits.size()) : RowBytes(GetWidth(), bits) * GetHeight();
    if (imageSize > static_cast<std::int64_t>(m_bits.size())) {
        m_strLastError = "Error:Pixel block too small for the picture\n";
        return false;
    }
    Put32(m_info.data() + biSizeImage, compressed ? static_cast<std::uint32_t>(imageSize) : 0);

    // Sixteen- and 32-bit pictures with bit fields carry their three masks after the header.
    const int masks = (compression == BI_BITFIELDS && (bits == 16 || bits == 32)) ? 12 : 0;
    const int tableBytes = std::min(4 * DepthColorCount(bits) + masks, GetBitmapInfoSize() - kInfoHeaderSize);
    const std::uint32_t offBits = kFileHeaderSize + kInfoHeaderSize + static_cast<std::uint32_t>(tableBytes);

    std::array<std::uint8_t, kFileHeaderSize> fh{};
    Put16(fh.data() + bfType, 0x4D42);
    Put32(fh.data() + bfSize, offBits + static_cast<std::uint32_t>(imageSize));
    Put32(fh.data() + bfOffBits, offBits);

    file.write(reinterpret_cast<const char*>(fh.data()), kFileHeaderSize);
    file.write(reinterpret_cast<const char*>(m_info.data()), kInfoHeaderSize + tableBytes);
    file.write(reinterpret_cast<const char*>(m_bits.data()), static_cast<std::streamsize>(imageSize));
    if (!file.good()) {
        m_strLastError = "Error:Could not write the file\n";
        return false;
    }
    m_strLastError.clear();
    return true;
}

bool CDIBitmap::Load(const std::string& strPath)
{
    // Only a regular file: opening a FIFO would wait for a writer.
    std::string bytes;
    const CRegularFile::Status status =
        CRegularFile::Read(strPath, kFileHeaderSize + kInfoBlockSize + kMaxPixelBlock, bytes);
    if (status != CRegularFile::Status::Ok) {
        m_strLastError =
            std::string("Error:Could not open the file (") + CRegularFile::Describe(status) + ")\n";
        return false;
    }
    std::istringstream file(std::move(bytes));
    return Read(file);
}

bool CDIBitmap::Save(const std::string& strPath)
{
    if (m_info.empty()) {
        m_strLastError = "Error:No picture to write\n";
        return false;
    }
    std::ofstream file(strPath, std::ios::binary | std::ios::trunc);
    if (!file.is_open()) {
        m_strLastError = "Error:Could not open the file\n";
        return false;
    }
    return Write(file) && file.flush().good();
}

bool CDIBitmap::CreateFromBitmap(const QImage& image, int nBitCount)
{
    Free();
    try {
        if (image.isNull()) {
            throw DibError{"Error:Source bitmap is empty\n"};
        }
        const int width = image.width();
        const int height = image.height();
        if (std::int64_t{width} * height > kMaxPixels) {
            throw DibError{"could not allocate data storage\n"};
        }
        const bool indexed = image.format() == QImage::Format_Mono ||
                             image.format() == QImage::Format_MonoLSB ||
                             image.format() == QImage::Format_Indexed8;
        int bits = 24;
        if (nBitCount == 0) {
            bits = !indexed ? 24 : (image.depth() == 1 ? 1 : 8);
        } else if (nBitCount == 1 || nBitCount == 4 || nBitCount == 8) {
            if (!indexed || image.colorCount() > (1 << nBitCount)) {
                throw DibError{"Error:Source bitmap does not fit the asked depth\n"};
            }
            bits = nBitCount;
        } else if (nBitCount != 16 && nBitCount != 24 && nBitCount != 32) {
            throw DibError{"Error:Unsupported number of bits per pixel\n"};
        }

        const std::int64_t row = RowBytes(width, bits);
        try {
            m_bits.assign(static_cast<std::size_t>(row * height), 0);
        } catch (const std::bad_alloc&) {
            throw DibError{"could not allocate data storage\n"};
        }
        const int colors = DepthColorCount(bits);
        try {
            m_info.assign(static_cast<std::size_t>(kInfoHeaderSize + 4 * colors), 0);
        } catch (const std::bad_alloc&) {
            throw DibError{"could not allocate BITMAPINFO struct\n"};
        }

        std::uint8_t* ih = m_info.data();
        Put32(ih + biSize, kInfoHeaderSize);
        Put32(ih + biWidth, static_cast<std::uint32_t>(width));
        Put32(ih + biHeight, static_cast<std::uint32_t>(height));
        Put16(ih + biPlanes, 1);
        Put16(ih + biBitCount, static_cast<std::uint32_t>(bits));
        Put32(ih + biCompression, BI_RGB);
        Put32(ih + biSizeImage, static_cast<std::uint32_t>(row * height));

        if (bits <= 8) {
            for (int i = 0; i < colors; ++i) {
                QRgb c = 0;
                if (i < image.colorCount()) {
                    c = image.color(i);
                } else if (image.colorCount() == 0 && image.depth() == 1 && i == 1) {
                    c = qRgb(255, 255, 255);
                }
                std::uint8_t* quad = ih + kInfoHeaderSize + 4 * i;
                quad[0] = static_cast<std::uint8_t>(qBlue(c));
                quad[1] = static_cast<std::uint8_t>(qGreen(c));
                quad[2] = static_cast<std::uint8_t>(qRed(c));
            }
            const int limit = 1 << bits;
            for (int y = 0; y < height; ++y) {
                std::uint8_t* dst = m_bits.data() + (height - 1 - y) * row;
                for (int x = 0; x < width; ++x) {
                    const int index = image.pixelIndex(x, y);
                    if (index >= limit) {
                        throw DibError{"Error:Source bitmap does not fit the asked depth\n"};
                    }
                    switch (bits) {
                    case 8:
                        dst[x] = static_cast<std::uint8_t>(index);
                        break;
                    case 4:
                        dst[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
                        break;
                    default:
                        dst[x / 8] |= static_cast<std::uint8_t>(index << (7 - x % 8));
                        break;
                    }
                }
            }
        } else {
            const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
            if (rgb.isNull()) {
                throw DibError{"could not allocate data storage\n"};
            }
            for (int y = 0; y < height; ++y) {
                const QRgb* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
                std::uint8_t* dst = m_bits.data() + (height - 1 - y) * row;
                for (int x = 0; x < width; ++x) {
                    dst[3 * x] = static_cast<std::uint8_t>(qBlue(src[x]));
                    dst[3 * x + 1] = static_cast<std::uint8_t>(qGreen(src[x]));
                    dst[3 * x + 2] = static_cast<std::uint8_t>(qRed(src[x]));
                }
            }
        }
    } catch (const DibError& e) {
        m_strLastError = e.text;
        Free();
        return false;
    }
    m_strLastError.clear();
    BuildPalette();
    return true;
}

bool CDIBitmap::LoadResourceBitmap(const QString& lpszResourceName)
{
    const QString path = CResourceFinder::Find(lpszResourceName, {QStringLiteral("bmp")});
    if (path.isEmpty()) {
        m_strLastError = "Error:Bitmap resource not found\n";
        return false;
    }
    const QImage image(path);
    if (image.isNull()) {
        m_strLastError = "Error:Bitmap resource could not be read\n";
        return false;
    }
    if (!CreateFromBitmap(image)) {
        return false;
    }
    // The double-size version is used only when it is exactly that.
    const QString pathAt2x = CResourceFinder::FindAt2x(lpszResourceName, {QStringLiteral("bmp")});
    QImage at2x = pathAt2x.isEmpty() ? QImage() : QImage(pathAt2x);
    if (!at2x.isNull() && at2x.size() == image.size() * 2) {
        at2x = at2x.convertToFormat(QImage::Format_RGB32);
        at2x.setDevicePixelRatio(2);
        m_imageAt2x = at2x;
    }
    return true;
}

bool CDIBitmap::LoadResourceBitmap(int nIDResource)
{
    return LoadResourceBitmap(QString::number(nIDResource));
}

QImage CDIBitmap::ToImage() const
{
    if (!m_bCacheValid) {
        m_cache = Convert();
        m_bCacheValid = true;
    }
    return m_cache;
}

QImage CDIBitmap::ToImage(qreal devicePixelRatio) const
{
    if (devicePixelRatio > 1 && !m_imageAt2x.isNull()) {
        return m_imageAt2x;
    }
    return ToImage();
}

QImage CDIBitmap::Convert() const
{
    if (m_info.empty() || m_bits.empty()) {
        return {};
    }
    const int width = GetWidth();
    const int height = GetHeight();
    const int bits = GetBitCount();
    const std::uint32_t compression = GetCompression();
    if (width <= 0 || height <= 0 || std::int64_t{width} * height > kMaxPixels) {
        return {};
    }

    // Colours of the indices; entries the table has no room for stay black.
    std::array<QRgb, 256> lut{};
    lut.fill(qRgb(0, 0, 0));
    const std::uint8_t* table = GetColorTable();
    const int entries = std::min(GetColorTableCapacity(), 256);
    for (int i = 0; i < entries; ++i) {
        lut[static_cast<std::size_t>(i)] = qRgb(table[4 * i + 2], table[4 * i + 1], table[4 * i]);
    }

    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
        return {};
    }

    if ((compression == BI_RLE8 && bits == 8) || (compression == BI_RLE4 && bits == 4)) {
        const std::vector<std::uint8_t> indices = DecodeRle(m_bits, width, height, bits == 8);
        for (int y = 0; y < height; ++y) {
            QRgb* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
            const std::uint8_t* src = indices.data() + static_cast<std::size_t>(y) * width;
            for (int x = 0; x < width; ++x) {
                dst[x] = lut[src[x]];
            }
        }
        return image;
    }

    const bool plain = compression == BI_RGB || (compression == BI_BITFIELDS && (bits == 16 || bits == 32));
    const std::int64_t row = RowBytes(width, bits);
    if (!plain || row * height > static_cast<std::int64_t>(m_bits.size())) {
        return {};
    }
    std::uint32_t masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
    if (bits == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }
    if (compression == BI_BITFIELDS && GetColorTableCapacity() >= 3) {
        for (int i = 0; i < 3; ++i) {
            masks[i] = Get32(table + 4 * i);
        }
    }

    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = m_bits.data() + (height - 1 - y) * row;
        QRgb* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            switch (bits) {
            case 1:
                dst[x] = lut[(src[x / 8] >> (7 - x % 8)) & 1];
                break;
            case 4:
                dst[x] = lut[(src[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F];
                break;
            case 8:
                dst[x] = lut[src[x]];
                break;
            case 24:
                dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                break;
            case 16:
            case 32: {
                const std::uint32_t v = bits == 16 ? Get16(src + 2 * x) : Get32(src + 4 * x);
                dst[x] = qRgb(Channel(v, masks[0]), Channel(v, masks[1]), Channel(v, masks[2]));
                break;
            }
            default:
                return {};
            }
        }
    }
    return image;
}

int CDIBitmap::Paint(QPainter* pDC, const CRect* lpDCRect, const CRect* lpDIBRect)
{
    if (!pDC || !lpDCRect || !lpDIBRect || m_info.empty()) {
        return 0;
    }
    if (m_pPalette) {
        pDC->setRenderHint(QPainter::SmoothPixmapTransform, false);
    }
    const QImage image = ToImage();
    if (image.isNull()) {
        return 0;
    }
    // The source rectangle is given top-down; the destination's size decides how much is copied.
    const int w = lpDCRect->Width();
    const int h = lpDCRect->Height();
    QRect source(lpDIBRect->left, lpDIBRect->bottom - h, w, h);
    const QRect clipped = source.intersected(image.rect());
    if (clipped.isEmpty()) {
        return GetHeight();
    }
    const QPoint target(lpDCRect->left + (clipped.left() - source.left()),
                        lpDCRect->top + (clipped.top() - source.top()));
    pDC->drawImage(target, image, clipped);
    return GetHeight();
}

void CDIBitmap::StretchDraw(QPainter* pDC, int x, int y, int cx, int cy)
{
    if (!pDC) {
        return;
    }
    if (m_pPalette) {
        pDC->setRenderHint(QPainter::SmoothPixmapTransform, false);
    }
    if (m_info.empty()) {
        return;
    }
    const QImage image = ToImage(pDC->device() ? pDC->device()->devicePixelRatioF() : 1.0);
    if (image.isNull() || cx == 0 || cy == 0) {
        return;
    }
    if (QSizeF(cx, cy) == image.deviceIndependentSize()) {
        pDC->drawImage(QPoint(x, y), image);
    } else {
        // A negative width or height mirrors the picture, as a stretched block transfer does.
        const QImage mirrored = (cx < 0 || cy < 0) ? image.mirrored(cx < 0, cy < 0) : image;
        pDC->drawImage(QRect(cx < 0 ? x + cx : x, cy < 0 ? y + cy : y, std::abs(cx), std::abs(cy)), mirrored);
    }
}

void CDIBitmap::Draw(QPainter* pDC, int x, int y)
{
    if (m_info.empty()) {
        return;
    }
    StretchDraw(pDC, x, y, GetWidth(), GetHeight());
}
