#include "tools/gen/ContactSheet.h"

#include <QFont>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

namespace ContactSheet {

QImage Compose(const std::vector<Item>& items, int width, int cell)
{
    struct Placed {
        const Item* item;
        QImage shown;
        int x, y;
    };
    std::vector<Placed> placed;
    int x = 10, y = 10, rowH = 0;
    for (const Item& it : items) {
        QImage shown = it.image.convertToFormat(QImage::Format_ARGB32);
        if (shown.height() > cell)
            shown = shown.scaledToHeight(cell, Qt::SmoothTransformation);
        else if (shown.height() * 2 <= cell)
            shown = shown.scaled(shown.size() * std::max(1, cell / 2 / shown.height()), Qt::IgnoreAspectRatio,
                                 Qt::FastTransformation);
        if (x + shown.width() + 10 > width && x > 10) {
            x = 10;
            y += rowH + 30;
            rowH = 0;
        }
        placed.push_back({&it, shown, x, y});
        x += shown.width() + 14;
        rowH = std::max(rowH, shown.height());
    }
    QImage sheet(width, y + rowH + 40, QImage::Format_RGB32);
    sheet.fill(QColor(90, 90, 100));
    QPainter p(&sheet);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    p.setFont(f);
    for (const Placed& pl : placed) {
        // Checkerboard behind transparent images.
        for (int cy = 0; cy < pl.shown.height(); cy += 8)
            for (int cx = 0; cx < pl.shown.width(); cx += 8)
                p.fillRect(pl.x + cx, pl.y + cy, std::min(8, pl.shown.width() - cx),
                           std::min(8, pl.shown.height() - cy),
                           ((cx + cy) / 8) % 2 ? QColor(200, 200, 200) : QColor(150, 150, 150));
        p.drawImage(pl.x, pl.y, pl.shown);
        p.setPen(Qt::white);
        p.drawText(pl.x, pl.y + pl.shown.height() + 15, pl.item->label);
    }
    return sheet;
}

double SmallestTileDifference(const QImage& picture, int cuts)
{
    const QImage img = picture.convertToFormat(QImage::Format_RGB32)
                           .scaled(300, 300, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const int t = 300 / cuts;
    double best = std::numeric_limits<double>::max();
    for (int a = 0; a < cuts * cuts; ++a)
        for (int b = a + 1; b < cuts * cuts; ++b) {
            long sum = 0;
            for (int y = 0; y < t; ++y) {
                const QRgb* ra =
                    reinterpret_cast<const QRgb*>(img.constScanLine((a / cuts) * t + y)) + (a % cuts) * t;
                const QRgb* rb =
                    reinterpret_cast<const QRgb*>(img.constScanLine((b / cuts) * t + y)) + (b % cuts) * t;
                for (int x = 0; x < t; ++x)
                    sum += std::abs(qRed(ra[x]) - qRed(rb[x])) + std::abs(qGreen(ra[x]) - qGreen(rb[x])) +
                           std::abs(qBlue(ra[x]) - qBlue(rb[x]));
            }
            best = std::min(best, sum / (3.0 * t * t));
        }
    return best;
}

} // namespace ContactSheet
