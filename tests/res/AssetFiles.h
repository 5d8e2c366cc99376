#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Where the build put the generated files, and small readers for them.
std::string RunPath(const std::string& relative); // in the run folder
std::string ResPath(const std::string& name);     // in the resource build
std::vector<std::uint8_t> ReadAll(const std::string& path);

// The header fields of a BMP file that the tests look at.
struct BmpInfo {
    bool valid = false;
    int width = 0, height = 0, bitCount = 0;
    std::uint32_t compression = 0, colorsUsed = 0;
    int paletteEntries = 0; // colour-table entries actually present in the file
};
BmpInfo ReadBmpInfo(const std::string& path);
