#pragma once

#include <cstdint>
#include <vector>

class CDIBitmap;

// One entry of a logical palette: red, green, blue and the entry's flags.
struct PaletteEntry {
    std::uint8_t peRed = 0;
    std::uint8_t peGreen = 0;
    std::uint8_t peBlue = 0;
    std::uint8_t peFlags = 0;
    bool operator==(const PaletteEntry&) const = default;
};

// The logical palette of a picture of 8 bits per pixel or less, copied from its
// colour table in table order. On a true-colour display realizing it changes
// nothing; the entries are kept so the picture's colours can be inspected.
class CDIBPalette {
public:
    static constexpr std::uint16_t kVersion = 0x300;

    explicit CDIBPalette(const CDIBitmap& dib);

    std::uint16_t GetVersion() const { return kVersion; }
    int GetEntryCount() const { return static_cast<int>(m_entries.size()); }
    const std::vector<PaletteEntry>& GetEntries() const { return m_entries; }

    // Realizing maps the entries into the display; a true-colour display takes
    // them all. The result is the number of entries mapped, as on palette displays.
    int RealizePalette() const { return GetEntryCount(); }

private:
    std::vector<PaletteEntry> m_entries;
};
