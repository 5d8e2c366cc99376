#pragma once

// Builds BMP streams byte by byte so tests can hand the reader exactly the
// headers they mean, broken ones included.

#include <cstdint>
#include <string>
#include <vector>

struct BmpSpec {
    std::uint32_t bfSize = 0;    // 0: computed
    std::uint32_t bfOffBits = 0; // 0: computed
    std::uint32_t biSize = 40;
    std::int32_t width = 2;
    std::int32_t height = 2;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t clrUsed = 0;
    std::vector<std::uint8_t> colorTable; // raw bytes after the header
    std::vector<std::uint8_t> pixels;     // raw pixel block
    std::string type = "BM";
};

inline void PutLe(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

inline std::string MakeBmp(const BmpSpec& s)
{
    std::vector<std::uint8_t> out;
    const std::uint32_t headerBytes = 14 + s.biSize + static_cast<std::uint32_t>(s.colorTable.size());
    const std::uint32_t off = s.bfOffBits ? s.bfOffBits : headerBytes;
    const std::uint32_t size = s.bfSize ? s.bfSize : off + static_cast<std::uint32_t>(s.pixels.size());
    out.push_back(static_cast<std::uint8_t>(s.type[0]));
    out.push_back(static_cast<std::uint8_t>(s.type[1]));
    PutLe(out, size, 4);
    PutLe(out, 0, 4);
    PutLe(out, off, 4);
    PutLe(out, s.biSize, 4);
    if (s.biSize >= 40) {
        PutLe(out, static_cast<std::uint32_t>(s.width), 4);
        PutLe(out, static_cast<std::uint32_t>(s.height), 4);
        PutLe(out, 1, 2);
        PutLe(out, s.bitCount, 2);
        PutLe(out, s.compression, 4);
        PutLe(out, 0, 4);
        PutLe(out, 2835, 4);
        PutLe(out, 2835, 4);
        PutLe(out, s.clrUsed, 4);
        PutLe(out, 0, 4);
        for (std::uint32_t i = 40; i < s.biSize; ++i) {
            out.push_back(0);
        }
    } else {
        for (std::uint32_t i = 4; i < s.biSize; ++i) {
            out.push_back(0);
        }
    }
    out.insert(out.end(), s.colorTable.begin(), s.colorTable.end());
    while (out.size() < off) {
        out.push_back(0);
    }
    out.insert(out.end(), s.pixels.begin(), s.pixels.end());
    return std::string(out.begin(), out.end());
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
    for (int i = 0; i < bytes; ++i) {
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + i])) << (8 * i);
    }
    return v;
}
