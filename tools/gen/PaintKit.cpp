#include "tools/gen/PaintKit.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace PaintKit {

double Clamp01(double v)
{
    return std::clamp(v, 0.0, 1.0);
}

double SmoothStep(double edge0, double edge1, double x)
{
    const double t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

QColor Mix(const QColor& a, const QColor& b, double t)
{
    t = Clamp01(t);
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t),
                            static_cast<float>(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QColor Shade(const QColor& c, double factor)
{
    if (factor < 1.0)
        return Mix(QColor(0, 0, 0, c.alpha()), c, factor);
    return Mix(c, QColor(255, 255, 255, c.alpha()), factor - 1.0);
}

QColor Ramp(std::initializer_list<std::pair<double, QColor>> stops, double t)
{
    const auto* prev = stops.begin();
    if (t <= prev->first)
        return prev->second;
    for (const auto* it = stops.begin() + 1; it != stops.end(); ++it) {
        if (t <= it->first)
            return Mix(prev->second, it->second, (t - prev->first) / (it->first - prev->first));
        prev = it;
    }
    return prev->second;
}

namespace {
double Hash(int x, int y, std::uint32_t seed)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u +
                      static_cast<std::uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / double(0xFFFFFF);
}
} // namespace

double Noise(double x, double y, std::uint32_t seed)
{
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    double tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    const double a = Hash(ix, iy, seed), b = Hash(ix + 1, iy, seed);
    const double c = Hash(ix, iy + 1, seed), d = Hash(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

double Fbm(double x, double y, int octaves, std::uint32_t seed)
{
    double sum = 0, amp = 0.5, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * Noise(x, y, seed + static_cast<std::uint32_t>(i) * 101u);
        norm += amp;
        x = x * 2.03 + 17.1;
        y = y * 2.03 + 9.7;
        amp *= 0.5;
    }
    return sum / norm;
}

void BlendPixel(QImage& img, int x, int y, const QColor& c, double alpha)
{
    if (x < 0 || y < 0 || x >= img.width() || y >= img.height())
        return;
    QRgb& px = Row(img, y)[x];
    const QColor old = QColor::fromRgb(px);
    px = Mix(old, c, alpha).rgb();
}

void Glow(QPainter& p, QPointF centre, double radius, const QColor& inner)
{
    QRadialGradient g(centre, radius);
    QColor outer = inner;
    outer.setAlpha(0);
    g.setColorAt(0, inner);
    g.setColorAt(1, outer);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(centre, radius, radius);
    p.restore();
}

void Star(QPainter& p, QPointF centre, double outer, double inner, double rotationDeg)
{
    QPolygonF poly;
    for (int i = 0; i < 10; ++i) {
        const double r = (i % 2 == 0) ? outer : inner;
        const double a = (rotationDeg - 90.0 + i * 36.0) * M_PI / 180.0;
        poly << QPointF(centre.x() + r * std::cos(a), centre.y() + r * std::sin(a));
    }
    p.drawPolygon(poly);
}

void Bird(QPainter& p, QPointF at, double span, const QColor& colour)
{
    QPainterPath path;
    path.moveTo(at.x() - span, at.y() - span * 0.2);
    path.quadTo(at.x() - span * 0.5, at.y() - span * 0.55, at.x(), at.y());
    path.quadTo(at.x() + span * 0.5, at.y() - span * 0.55, at.x() + span, at.y() - span * 0.2);
    p.save();
    p.setPen(QPen(colour, std::max(1.0, span * 0.22), Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.restore();
}

void Reflect(QImage& img, int x0, int x1, int waterline, int yEnd, double strength, std::uint32_t seed)
{
    x0 = std::max(x0, 0);
    x1 = std::min(x1, img.width());
    yEnd = std::min(yEnd, img.height());
    for (int y = waterline; y < yEnd; ++y) {
        const int src = 2 * waterline - y - 1;
        if (src < 0)
            break;
        const double depth = double(y - waterline) / std::max(1, yEnd - waterline);
        const int shift =
            static_cast<int>(std::lround((Noise(0.0, y * 0.35, seed) - 0.5) * (3.0 + 14.0 * depth)));
        QRgb* row = Row(img, y);
        const QRgb* srcRow = Row(img, src);
        const double a = strength * (1.0 - 0.55 * depth);
        for (int x = x0; x < x1; ++x) {
            const int sx = std::clamp(x + shift, x0, x1 - 1);
            const QRgb s = srcRow[sx];
            const QRgb d = row[x];
            const auto mixc = [a](int sc, int dc) { return static_cast<int>(dc + (sc * 0.82 - dc) * a); };
            row[x] = qRgb(mixc(qRed(s), qRed(d)), mixc(qGreen(s), qGreen(d)), mixc(qBlue(s), qBlue(d)));
        }
    }
}

} // namespace PaintKit
