#pragma once

#include <QImage>
#include <QRgb>
#include <cstdint>
#include <vector>

// The logical palette kept for a background picture: the picture's own colour
// table when it has at most 256 colours, a fixed halftone palette otherwise.
// On true-colour displays it is kept but never needed for drawing.
struct CreditsPalette {
    std::uint16_t nVersion = 0x300;
    bool bHalftone = false;
    std::vector<QRgb> entries; // red, green, blue of each entry; flags are 0

    bool IsEmpty() const { return entries.empty(); }
};

// The palette for a picture with the colour table its file holds (its used
// colours; empty for more than 8 bits per pixel): those colours in table
// order, or the halftone palette for pictures of more than 256 colours.
CreditsPalette MakeCreditsPalette(const std::vector<QRgb>& colorTable);
// 256 fixed colours spread over the colour cube.
CreditsPalette MakeHalftonePalette();
