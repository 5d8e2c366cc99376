#include "imaging/DIBPalette.h"

#include "imaging/DIBitmap.h"

#include <algorithm>

CDIBPalette::CDIBPalette(const CDIBitmap& dib)
{
    const std::uint8_t* table = dib.GetColorTable();
    if (!table) {
        return;
    }
    // The number of colours never exceeds what the colour table can hold: the
    // reader refuses larger counts and a converted bitmap has a full table.
    const int count = std::min(dib.GetNumColors(), dib.GetColorTableCapacity());
    m_entries.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::uint8_t* quad = table + 4 * i; // blue, green, red, reserved
        m_entries.push_back(PaletteEntry{quad[2], quad[1], quad[0], 0});
    }
}
