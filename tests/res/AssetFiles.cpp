#include "AssetFiles.h"

#include <fstream>
#include <iterator>

std::string RunPath(const std::string& relative)
{
    return std::string(ZANDOR_TEST_RUN_DIR) + "/" + relative;
}

std::string ResPath(const std::string& name)
{
    return std::string(ZANDOR_TEST_RES_DIR) + "/" + name;
}

std::vector<std::uint8_t> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

namespace {
std::uint32_t Le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | b[at + static_cast<std::size_t>(i)];
    return v;
}
} // namespace

BmpInfo ReadBmpInfo(const std::string& path)
{
    const auto b = ReadAll(path);
    BmpInfo info;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M')
        return info;
    const std::uint32_t offBits = Le(b, 10, 4), headerSize = Le(b, 14, 4);
    info.width = static_cast<int>(Le(b, 18, 4));
    info.height = static_cast<int>(Le(b, 22, 4));
    info.bitCount = static_cast<int>(Le(b, 28, 2));
    info.compression = Le(b, 30, 4);
    info.colorsUsed = Le(b, 46, 4);
    info.paletteEntries = static_cast<int>((offBits - 14 - headerSize) / 4);
    // The pixel rows, each filled out to 32 bits, must all be in the file.
    const std::uint64_t row =
        (static_cast<std::uint64_t>(info.width) * static_cast<std::uint64_t>(info.bitCount) + 31) / 32 * 4;
    info.valid = headerSize >= 40 && offBits >= 14 + headerSize &&
                 b.size() >= offBits + row * static_cast<std::uint64_t>(info.height);
    return info;
}
