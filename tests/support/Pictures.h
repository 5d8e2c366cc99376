#pragma once

// Pictures for tests, drawn in code.

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QString>

namespace support {

// A picture whose neighbouring pixels all differ, never white or black.
inline QImage Pattern(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(
                x, y, qRgb((x * 7 + y * 3) & 0xFF, 40 + ((x + y * 11) & 0x7F), (x * 3 + y * 5 + 90) & 0xFF));
    return img;
}

// One-pixel columns, black and white by turns: detail that only a picture
// drawn at full resolution shows (averaged in pairs it is an even grey).
inline QImage Stripes(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, x % 2 == 0 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    return img;
}

inline QImage Solid(int w, int h, QRgb colour)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

// Saves `image` as a BMP at `path` (relative to the current folder or absolute), creating its folder.
inline bool SaveBmp(const QImage& image, const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    return image.save(path, "BMP");
}

} // namespace support
