#pragma once

// Builds BMP streams byte by byte so tests can hand the reader exactly the
// headers they mean, broken ones included; and indexed pictures to write.

#include <QImage>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct BmpSpec {
    std::uint32_t bfSize = 0, bfOffBits = 0; // 0: computed
    std::uint32_t biSize = 40;
    std::int32_t width = 2, height = 2;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0, clrUsed = 0;
    std::vector<std::uint8_t> colorTable; // raw bytes after the header
    std::vector<std::uint8_t> pixels;     // raw pixel block
    std::string type = "BM";
    std::vector<std::uint32_t> headerMasks{}; // red, green, blue, alpha masks of a longer header
};

inline BmpSpec Spec(int w, int h, std::uint16_t bits, std::vector<std::uint8_t> table,
                    std::vector<std::uint8_t> pixels, std::uint32_t compression = 0)
{
    return {.width = w,
            .height = h,
            .bitCount = bits,
            .compression = compression,
            .colorTable = std::move(table),
            .pixels = std::move(pixels)};
}

inline std::string MakeBmp(const BmpSpec& s)
{
    const auto off =
        s.bfOffBits ? s.bfOffBits : 14 + s.biSize + static_cast<std::uint32_t>(s.colorTable.size());
    std::string out = s.type.substr(0, 2);
    auto put = [&out](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out += static_cast<char>(v >> (8 * i));
    };
    put(s.bfSize ? s.bfSize : off + static_cast<std::uint32_t>(s.pixels.size()), 4);
    put(0, 4);
    put(off, 4);
    put(s.biSize, 4);
    if (s.biSize >= 40) {
        // Width, height, planes, bits, compression, image size, resolution, colours, important colours.
        const auto w = static_cast<std::uint32_t>(s.width), h = static_cast<std::uint32_t>(s.height);
        const std::uint32_t fields[] = {w, h, 1, s.bitCount, s.compression, 0, 2835, 2835, s.clrUsed, 0};
        for (std::size_t i = 0; i < std::size(fields); ++i)
            put(fields[i], i == 2 || i == 3 ? 2 : 4);
        for (std::uint32_t mask : s.headerMasks)
            put(mask, 4);
    }
    out.resize(14 + s.biSize, '\0');
    out.append(s.colorTable.begin(), s.colorTable.end());
    if (out.size() < off)
        out.resize(off, '\0');
    out.append(s.pixels.begin(), s.pixels.end());
    return out;
}

// A grey ramp colour table of n entries (blue, green, red, reserved).
inline std::vector<std::uint8_t> GreyTable(int n)
{
    std::vector<std::uint8_t> t;
    for (int i = 0; i < n; ++i) {
        const auto v = static_cast<std::uint8_t>(i * 255 / (n > 1 ? n - 1 : 1));
        t.insert(t.end(), {v, v, v, 0});
    }
    return t;
}

inline std::uint32_t ReadLe(const std::string& s, std::size_t at, int bytes)
{
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + i])) << (8 * i);
    return v;
}

// An indexed picture whose pixel (x, y) has index (x * 3 + y * 5) % colours.
inline QImage IndexedPicture(int w, int h, int colours, QImage::Format format = QImage::Format_Indexed8)
{
    QImage img(w, h, format);
    QList<QRgb> table;
    for (int i = 0; i < colours; ++i)
        table.append(qRgb((i * 37) & 0xFF, (i * 91) & 0xFF, (255 - i * 13) & 0xFF));
    img.setColorTable(table);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, static_cast<uint>((x * 3 + y * 5) % colours));
    return img;
}
