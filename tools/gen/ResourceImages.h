#pragma once

#include <QImage>
#include <QPoint>
#include <QString>

// The program's own bitmaps, icon and cursor. Indexed results carry their
// colour table; the caller stores them at the depth named beside each.
// Those with a scale are also drawn at twice their size for screens of
// device pixel ratio 2 (the same picture, finer): the 8-bit background stays
// 8 bits, the about-box pictures come in true colour.
namespace ResourceImages {

// 109 x 88, 8 bits: golden square spirals, calm enough for black text, tiles seamlessly.
QImage Background250(int scale = 1);
// 130 x 44, 24 bits: black text on an orange plate.
QImage Button(const QString& text, bool pressed, int scale = 1);
QImage Congratulation251(int scale = 1); // 150 x 183, 24 bits
QImage MailLink237(int scale = 1);       // 56 x 27, 4 bits, light grey
QImage ArrowUp253(int scale = 1);        // 48 x 61, 4 bits, light grey
QImage Please();                         // 109 x 50, 4 bits, light grey
QImage Bitmap1();                        // 100 x 100, 8 bits, light grey
QImage Icon(int size);                   // ARGB; 16 and 32 come as 16-colour indexed images
// 32 x 32 ARGB, the finger tip at the hot spot of res/CursorHotSpot.h (both
// times scale).
QImage HandCursor(int scale = 1);

} // namespace ResourceImages
