#pragma once

// Picture files of the kinds a player can point the game at: BMP files of any size in four coloured quarters,
// written a row at a time, files of other formats under a .bmp name, and FIFOs.

#include "tests/imaging/BmpBytes.h"
#include "tests/support/RunFolder.h"
#include "tests/support/SpecialFiles.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <array>
#include <cstdio>
#include <string>

namespace support {

// Top-left, top-right, bottom-left, bottom-right.
using Quarters = std::array<QRgb, 4>;
inline constexpr Quarters kQuarters = {0xFFE01010u, 0xFF10C020u, 0xFF2030E0u, 0xFFF0D000u};

// An uncompressed BMP of 24 or 32 bits per pixel in quarters, written row by
// row, so that pictures of any size cost the test little memory. A 32-bit one
// has a 124-byte header with an alpha mask and every alpha byte 0.
inline bool WriteQuartersBmp(const std::string& path, int w, int h, int bits = 24,
                             const Quarters& q = kQuarters)
{
    const std::uint32_t rowBytes = static_cast<std::uint32_t>((w * bits + 31) / 32 * 4);
    BmpSpec spec = Spec(w, h, static_cast<std::uint16_t>(bits), {}, {}, bits == 32 ? 3 : 0); // 3: bit fields
    if (bits == 32) {
        spec.biSize = 124;
        spec.headerMasks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    }
    const std::string header = MakeBmp(spec);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(header.data(), 1, header.size(), f) == header.size();
    std::string row(rowBytes, '\0');
    for (int y = h - 1; ok && y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const QRgb c = q[static_cast<std::size_t>((y < h / 2 ? 0 : 2) + (x < w / 2 ? 0 : 1))];
            char* p = row.data() + x * (bits / 8);
            p[0] = static_cast<char>(qBlue(c));
            p[1] = static_cast<char>(qGreen(c));
            p[2] = static_cast<char>(qRed(c));
        }
        ok = std::fwrite(row.data(), 1, row.size(), f) == row.size();
    }
    return std::fclose(f) == 0 && ok;
}

// A small coloured picture in another format: "png", "svg" or "jpeg in bmp"
// (a BMP header whose compression says JPEG, before a JPEG file).
inline QByteArray ForeignPicture(const std::string& kind)
{
    if (kind == "svg")
        return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"8\" height=\"8\">"
               "<rect width=\"8\" height=\"8\" fill=\"#e01010\"/></svg>\n";
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(kQuarters[0]);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, kind == "png" ? "PNG" : "JPG");
    if (kind == "png")
        return bytes;
    const std::string bmp = MakeBmp(Spec(8, 8, 0, {}, {bytes.begin(), bytes.end()}, 4)); // 4: JPEG
    return QByteArray(bmp.data(), static_cast<qsizetype>(bmp.size()));
}

// A picture file of a kind named for tests that go through them all: "huge"
// (7000 x 5000), "alpha" (40 x 30, 32 bits), "cut short" (64 x 48 ending at
// 2000 bytes), "fifo", or one of ForeignPicture's kinds. It replaces `path`.
inline bool WritePictureFile(const std::string& path, const std::string& kind)
{
    std::remove(path.c_str());
    if (kind == "huge" || kind == "alpha")
        return kind == "huge" ? WriteQuartersBmp(path, 7000, 5000) : WriteQuartersBmp(path, 40, 30, 32);
    if (kind == "cut short")
        return WriteQuartersBmp(path, 64, 48) && ::truncate(path.c_str(), 2000) == 0;
    if (kind == "fifo")
        return MakeFifo(path);
    return WriteFile(path, ForeignPicture(kind).toStdString());
}

} // namespace support
