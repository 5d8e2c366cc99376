#pragma once

#include <QImage>
#include <QPoint>
#include <QString>

// The program's own bitmaps, icon and cursor. Indexed results carry their
// colour table; the caller stores them at the depth named beside each.
namespace ResourceImages {

QImage Background250();                           // 109 x 88, 8 bits: golden square spirals, tiles seamlessly
QImage Button(const QString& text, bool pressed); // 130 x 44, 24 bits: black text on an orange plate
QImage Congratulation251();                       // 150 x 183, 24 bits
QImage MailLink237();                             // 56 x 27, 4 bits, light grey
QImage ArrowUp253();                              // 48 x 61, 4 bits, light grey
QImage Please();                                  // 109 x 50, 4 bits, light grey
QImage Bitmap1();                                 // 100 x 100, 8 bits, light grey
QImage Icon(int size);                            // ARGB; 16 and 32 come as 16-colour indexed images
QImage HandCursor(); // 32 x 32 ARGB, finger tip at the hot spot of res/CursorHotSpot.h

} // namespace ResourceImages
