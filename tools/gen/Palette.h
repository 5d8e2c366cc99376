#pragma once

#include <QImage>
#include <QList>

// Colour reduction for the pictures and images stored with a colour table.
namespace Palette {

// The sixteen colours of the classic 4-bit display: black, the dark and the
// bright primaries and mixes, grey 128 and light grey 192, white.
QList<QRgb> Classic16();

// A palette of at most `count` colours for the image by median cut. The
// `fixed` colours come first and are always kept as they are.
QList<QRgb> MedianCut(const QImage& image, int count, const QList<QRgb>& fixed = {});

// The image as Format_Indexed8 over `palette`: nearest colour, with
// Floyd-Steinberg error diffusion when `dither` is set. Pixels that equal a
// palette colour keep it exactly when `dither` is off.
QImage ToIndexed(const QImage& image, const QList<QRgb>& palette, bool dither);

} // namespace Palette
