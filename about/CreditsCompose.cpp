#include "about/CreditsCompose.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace CreditsCompose {

static CRect Intersect(const CRect& a, const CRect& b)
{
    CRect r(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom));
    if (r.IsRectEmpty())
        return CRect();
    return r;
}

static CRect Bounds(const QImage& image)
{
    return CRect(0, 0, image.width(), image.height());
}

QImage MakeBuffer(int width, int height, QRgb fill)
{
    QImage image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    if (!image.isNull())
        image.fill(fill);
    return image;
}

void FillRect(QImage& image, const CRect& rc, QRgb color)
{
    const CRect r = Intersect(rc, Bounds(image));
    for (int y = r.top; y < r.bottom; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(row + r.left, row + r.right, color);
    }
}

void ScrollColumn(QImage& image, const CRect& column, int dy)
{
    const CRect c = Intersect(CRect(column.left, 0, column.right, image.height()), Bounds(image));
    if (c.IsRectEmpty() || dy == 0 || std::abs(dy) >= image.height())
        return;
    const std::size_t bytes = static_cast<std::size_t>(c.Width()) * sizeof(QRgb);
    const int h = image.height();
    if (dy < 0) {
        for (int y = 0; y < h + dy; ++y)
            std::memmove(image.scanLine(y) + c.left * sizeof(QRgb),
                         image.constScanLine(y - dy) + c.left * sizeof(QRgb), bytes);
    } else {
        for (int y = h - 1; y >= dy; --y)
            std::memmove(image.scanLine(y) + c.left * sizeof(QRgb),
                         image.constScanLine(y - dy) + c.left * sizeof(QRgb), bytes);
    }
}

QImage TileBackground(const QImage& picture, int width, int height)
{
    QImage tiled(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    if (tiled.isNull() || picture.isNull())
        return tiled;
    const QImage pic =
        picture.format() == QImage::Format_RGB32 ? picture : picture.convertToFormat(QImage::Format_RGB32);
    const int pw = pic.width();
    const int ph = pic.height();
    for (int y = 0; y < height; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(pic.constScanLine(y % ph));
        auto* dst = reinterpret_cast<QRgb*>(tiled.scanLine(y));
        for (int x = 0; x < width; x += pw)
            std::memcpy(dst + x, src, static_cast<std::size_t>(std::min(pw, width - x)) * sizeof(QRgb));
    }
    return tiled;
}

void ComposeOutside(QImage& screen, const QImage& tiled, const CRect& column)
{
    const CRect all = Bounds(screen);
    const CRect c = Intersect(column, all);
    for (int y = 0; y < all.bottom && y < tiled.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(tiled.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(screen.scanLine(y));
        const int width = std::min(all.right, tiled.width());
        if (c.IsRectEmpty() || y < c.top || y >= c.bottom) {
            std::copy(src, src + width, dst);
            continue;
        }
        std::copy(src, src + std::min(c.left, width), dst);
        if (c.right < width)
            std::copy(src + c.right, src + width, dst + c.right);
    }
}

void ComposeColumn(QImage& screen, const QImage& back, const QImage& tiled, const CRect& column, QRgb key)
{
    const CRect c = Intersect(Intersect(Intersect(column, Bounds(screen)), Bounds(back)), Bounds(tiled));
    key |= 0xFF000000u;
    for (int y = c.top; y < c.bottom; ++y) {
        const auto* b = reinterpret_cast<const QRgb*>(back.constScanLine(y));
        const auto* t = reinterpret_cast<const QRgb*>(tiled.constScanLine(y));
        auto* d = reinterpret_cast<QRgb*>(screen.scanLine(y));
        for (int x = c.left; x < c.right; ++x)
            d[x] = b[x] == key ? t[x] : b[x];
    }
}

void DrawLineBitmap(QImage& target, const QImage& bitmap, const CRect& dest, const CRect& clip, bool keyed,
                    QRgb key)
{
    const CRect r = Intersect(Intersect(dest, clip), Bounds(target));
    if (r.IsRectEmpty() || bitmap.isNull())
        return;
    const QImage bmp =
        bitmap.format() == QImage::Format_RGB32 ? bitmap : bitmap.convertToFormat(QImage::Format_RGB32);
    key |= 0xFF000000u;
    for (int y = r.top; y < r.bottom; ++y) {
        const int sy = y - dest.top;
        if (sy < 0 || sy >= bmp.height())
            continue;
        const auto* s = reinterpret_cast<const QRgb*>(bmp.constScanLine(sy));
        auto* d = reinterpret_cast<QRgb*>(target.scanLine(y));
        for (int x = r.left; x < r.right; ++x) {
            const int sx = x - dest.left;
            if (sx < 0 || sx >= bmp.width())
                continue;
            if (!keyed || s[sx] != key)
                d[x] = s[sx];
        }
    }
}

} // namespace CreditsCompose
