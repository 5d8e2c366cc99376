#include "about/CreditsPalette.h"

CreditsPalette MakeHalftonePalette()
{
    CreditsPalette palette;
    palette.bHalftone = true;
    palette.entries.reserve(256);
    // A 6 × 6 × 6 colour cube ...
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                palette.entries.push_back(qRgb(r * 51, g * 51, b * 51));
    // ... and 40 greys between its steps.
    for (int i = 0; palette.entries.size() < 256; ++i) {
        const int v = 6 + i * 6;
        palette.entries.push_back(qRgb(v, v, v));
    }
    return palette;
}

CreditsPalette MakeCreditsPalette(const std::vector<QRgb>& colorTable)
{
    if (colorTable.empty() || colorTable.size() > 256)
        return MakeHalftonePalette();
    CreditsPalette palette;
    for (QRgb color : colorTable)
        palette.entries.push_back(color | 0xFF000000u);
    return palette;
}
