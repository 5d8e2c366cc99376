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

// How many pixels of `img` in `area` (the whole picture when empty) `pred` holds for.
template <typename Pred> int CountPixels(const QImage& img, Pred pred, QRect area = {})
{
    area = area.isEmpty() ? img.rect() : area;
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += pred(img.pixel(x, y)) ? 1 : 0;
    return n;
}

// Saves `image` as a BMP at `path` (relative to the current folder or absolute), creating its folder.
inline bool SaveBmp(const QImage& image, const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    return image.save(path, "BMP");
}

} // namespace support
