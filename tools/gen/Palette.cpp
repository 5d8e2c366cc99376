#include "tools/gen/Palette.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace Palette {

QList<QRgb> Classic16()
{
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

namespace {
using Colour = std::array<int, 3>;

Colour Of(QRgb c)
{
    return {qRed(c), qGreen(c), qBlue(c)};
}

struct Box {
    std::vector<Colour> colours;
    int Widest(int& range) const
    {
        int best = 0;
        range = -1;
        for (int ch = 0; ch < 3; ++ch) {
            int lo = 255, hi = 0;
            for (const Colour& c : colours) {
                lo = std::min(lo, c[ch]);
                hi = std::max(hi, c[ch]);
            }
            if (hi - lo > range) {
                range = hi - lo;
                best = ch;
            }
        }
        return best;
    }
};
} // namespace

QList<QRgb> MedianCut(const QImage& image, int count, const QList<QRgb>& fixed)
{
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    QList<QRgb> palette = fixed;
    const int wanted = count - static_cast<int>(fixed.size());
    if (wanted <= 0)
        return palette;
    std::vector<Box> boxes(1);
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (!fixed.contains(row[x] | 0xFF000000u))
                boxes[0].colours.push_back(Of(row[x]));
    }
    if (boxes[0].colours.empty())
        return palette;
    while (static_cast<int>(boxes.size()) < wanted) {
        // Split the box with the widest spread, weighted by its size.
        int pick = -1;
        long bestScore = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            int range = 0;
            boxes[i].Widest(range);
            const long score = static_cast<long>(range) *
                               static_cast<long>(std::min<std::size_t>(boxes[i].colours.size(), 1u << 20));
            if (range > 0 && score > bestScore) {
                bestScore = score;
                pick = static_cast<int>(i);
            }
        }
        if (pick < 0)
            break;
        int range = 0;
        Box& b = boxes[static_cast<std::size_t>(pick)];
        const int ch = b.Widest(range);
        std::sort(b.colours.begin(), b.colours.end(),
                  [ch](const Colour& a, const Colour& c) { return a[ch] != c[ch] ? a[ch] < c[ch] : a < c; });
        Box upper;
        const std::size_t mid = b.colours.size() / 2;
        upper.colours.assign(b.colours.begin() + static_cast<std::ptrdiff_t>(mid), b.colours.end());
        b.colours.resize(mid);
        boxes.push_back(std::move(upper));
    }
    for (const Box& b : boxes) {
        long sum[3] = {0, 0, 0};
        for (const Colour& c : b.colours)
            for (int ch = 0; ch < 3; ++ch)
                sum[ch] += c[ch];
        const long n = static_cast<long>(b.colours.size());
        palette.push_back(qRgb(static_cast<int>((sum[0] + n / 2) / n), static_cast<int>((sum[1] + n / 2) / n),
                               static_cast<int>((sum[2] + n / 2) / n)));
    }
    return palette;
}

QImage ToIndexed(const QImage& image, const QList<QRgb>& palette, bool dither)
{
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    const int w = img.width(), h = img.height();
    QImage out(w, h, QImage::Format_Indexed8);
    out.setColorTable(palette);
    std::unordered_map<std::uint32_t, int> cache;
    const auto nearest = [&](int r, int g, int b) {
        const std::uint32_t key = (static_cast<std::uint32_t>(r) << 16) | (g << 8) | b;
        const auto it = cache.find(key);
        if (it != cache.end())
            return it->second;
        int best = 0;
        long bestD = -1;
        for (int i = 0; i < static_cast<int>(palette.size()); ++i) {
            const long dr = r - qRed(palette[i]), dg = g - qGreen(palette[i]), db = b - qBlue(palette[i]);
            const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
            if (bestD < 0 || d < bestD) {
                bestD = d;
                best = i;
            }
        }
        cache.emplace(key, best);
        return best;
    };
    // Error rows for the diffusion (current and next), one int per channel.
    std::vector<std::array<int, 3>> err(static_cast<std::size_t>(w + 2)),
        next(static_cast<std::size_t>(w + 2));
    for (int y = 0; y < h; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        uchar* dst = out.scanLine(y);
        std::fill(next.begin(), next.end(), std::array<int, 3>{0, 0, 0});
        for (int x = 0; x < w; ++x) {
            int c[3] = {qRed(row[x]), qGreen(row[x]), qBlue(row[x])};
            if (dither)
                for (int ch = 0; ch < 3; ++ch)
                    c[ch] = std::clamp(
                        c[ch] + err[static_cast<std::size_t>(x + 1)][static_cast<std::size_t>(ch)] / 16, 0,
                        255);
            const int idx = nearest(c[0], c[1], c[2]);
            dst[x] = static_cast<uchar>(idx);
            if (!dither)
                continue;
            const int q[3] = {qRed(palette[idx]), qGreen(palette[idx]), qBlue(palette[idx])};
            for (std::size_t ch = 0; ch < 3; ++ch) {
                const int e = c[ch] - q[ch];
                err[static_cast<std::size_t>(x + 2)][ch] += e * 7;
                next[static_cast<std::size_t>(x)][ch] += e * 3;
                next[static_cast<std::size_t>(x + 1)][ch] += e * 5;
                next[static_cast<std::size_t>(x + 2)][ch] += e * 1;
            }
        }
        std::swap(err, next);
    }
    return out;
}

} // namespace Palette
