#pragma once

#include "common/Rect.h"

#include <QImage>
#include <cstdint>

// Pixel work of the credits scroller on 32-bit images (QImage::Format_RGB32):
// scrolling the back buffer inside the text column, tiling the background
// picture and laying the back buffer over it through a key colour.
namespace CreditsCompose {

// Light grey, the see-through colour of transparent mode.
inline constexpr QRgb kLightGrey = 0xFFC0C0C0u;

// A packed colour (red in the lowest byte, blue in bits 16 to 23) as a QRgb.
constexpr QRgb ToQRgb(std::uint32_t color)
{
    return 0xFF000000u | ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}

// Packs red, green and blue into one colour, red in the lowest byte.
constexpr std::uint32_t PackRgb(int red, int green, int blue)
{
    return static_cast<std::uint32_t>(red & 0xFF) | (static_cast<std::uint32_t>(green & 0xFF) << 8) |
           (static_cast<std::uint32_t>(blue & 0xFF) << 16);
}

// A client-sized RGB32 image filled with one colour.
QImage MakeBuffer(int width, int height, QRgb fill);
// Solid fill of a rectangle, clipped to the image.
void FillRect(QImage& image, const CRect& rc, QRgb color);
// Moves the pixels inside the column by dy rows (negative: up), taking the
// whole image height as the scrolled area; rows uncovered keep their pixels.
void ScrollColumn(QImage& image, const CRect& column, int dy);
// The picture repeated from the top-left corner over width × height.
QImage TileBackground(const QImage& picture, int width, int height);
// Outside the column: the tiled picture.
void ComposeOutside(QImage& screen, const QImage& tiled, const CRect& column);
// Inside the column: each back-buffer pixel of the key colour shows the tiled
// picture, every other pixel shows itself.
void ComposeColumn(QImage& screen, const QImage& back, const QImage& tiled, const CRect& column, QRgb key);
// Copies the top rows of a bitmap to dest (dest's height = rows), clipped to
// clip. With keyed set, bitmap pixels of the key colour leave the target as it was.
void DrawLineBitmap(QImage& target, const QImage& bitmap, const CRect& dest, const CRect& clip, bool keyed,
                    QRgb key);

} // namespace CreditsCompose
