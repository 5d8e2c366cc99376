#pragma once

#include <QImage>
#include <QString>

// Stores an image as a BMP file of the given bits per pixel: 4 and 8 need an
// indexed image whose colour table fits; 24 and 32 take any image.
bool SaveBmp(const QImage& image, int bitsPerPixel, const QString& path);
