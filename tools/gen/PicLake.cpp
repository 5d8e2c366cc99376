#include "tools/gen/GenRandom.h"
#include "tools/gen/PaintKit.h"
#include "tools/gen/Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <vector>

using namespace PaintKit;

namespace {

// Layout in a 640 x 480 frame.
constexpr double kW = 640, kH = 480;
constexpr int kShore = 300; // the lake's far shore line, where reflections start

void PaintSky(QImage& img)
{
    for (int y = 0; y < kShore; ++y) {
        QRgb* row = Row(img, y);
        for (int x = 0; x < img.width(); ++x) {
            const double t = y / 240.0;
            QColor c = Ramp(
                {{0.0, QColor(40, 110, 200)}, {0.6, QColor(110, 170, 230)}, {1.0, QColor(200, 226, 240)}},
                t + 0.12 * (1.0 - x / kW));
            // Heaped summer clouds: bright tops, grey-blue bellies.
            const double d = Fbm(x / 110.0, y / 48.0, 5, 71);
            const double below = Fbm(x / 110.0, (y + 6) / 48.0, 5, 71);
            const double cover = SmoothStep(0.45, 0.60, d + 0.07 * std::sin(x / 90.0 + y / 70.0));
            const double lit = Clamp01(0.55 + (below - d) * 7.0);
            c = Mix(c, Mix(QColor(150, 166, 196), QColor(255, 255, 255), lit), cover);
            row[x] = c.rgb();
        }
    }
}

// A mountain range: a few peaks with straight flanks, a rough ridge, the left
// flanks in sun and the right ones in shade, gullies and snow on the tops.
struct Peak {
    double x, top, slope;
};

void PaintRange(QImage& img, const std::vector<Peak>& peaks, std::uint32_t seed, const QColor& rock,
                const QColor& haze, double hazeAmount, double snowDepth)
{
    for (int x = 0; x < img.width(); ++x) {
        double ridge = 1e9;
        const Peak* top = nullptr;
        for (const Peak& pk : peaks) {
            const double y = pk.top + std::abs(x - pk.x) * pk.slope;
            if (y < ridge) {
                ridge = y;
                top = &pk;
            }
        }
        ridge += 14 * (Fbm(x / 24.0, 0.5, 4, seed) - 0.5);
        const bool sunSide = x < top->x;
        for (int y = std::max(0, static_cast<int>(ridge)); y < kShore; ++y) {
            const double gully =
                Fbm((x + (sunSide ? 1 : -1) * (y - ridge) * 0.6) / 7.0, y / 40.0, 3, seed + 5);
            const double patch = Fbm(x / 40.0, y / 30.0, 3, seed + 9);
            const double light =
                Clamp01((sunSide ? 0.78 : 0.38) + (gully - 0.5) * 0.55 + (patch - 0.5) * 0.3);
            QColor c = Mix(Shade(rock, 0.55), Shade(rock, 1.4), light);
            const double snowEdge = top->top + snowDepth + 40 * (Fbm(x / 14.0, y / 22.0, 3, seed + 3) - 0.5);
            if (y < snowEdge && (gully > 0.38 || y < snowEdge - 25))
                c = Mix(QColor(150, 170, 210), QColor(255, 255, 255), light);
            const double fade = Clamp01((y - ridge) / 160.0);
            c = Mix(c, haze, hazeAmount + (1 - hazeAmount) * fade * 0.35);
            Row(img, y)[x] = c.rgb();
        }
    }
}

void Pine(QPainter& p, double x, double base, double h, const QColor& col)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 50, 40));
    p.drawRect(QRectF(x - h * 0.04, base - h * 0.15, h * 0.08, h * 0.15));
    const int tiers = 4;
    for (int i = 0; i < tiers; ++i) {
        const double tb = base - h * 0.12 - i * h * 0.2;
        const double w = h * (0.32 - i * 0.06);
        QPolygonF t;
        t << QPointF(x - w, tb) << QPointF(x, tb - h * 0.38) << QPointF(x + w, tb);
        QLinearGradient g(x - w, 0, x + w, 0);
        g.setColorAt(0, Shade(col, 1.3));
        g.setColorAt(1, Shade(col, 0.65));
        p.setBrush(g);
        p.drawPolygon(t);
        if (h > 100) {
            // Needles on the big trees in front.
            CGenRandom rnd(static_cast<std::uint64_t>(x * 31 + i));
            for (int k = 0; k < 160; ++k) {
                const double v = rnd.Unit(), u = rnd.Range(-1, 1) * v;
                const QPointF at(x + u * w, tb - h * 0.38 * (1 - v));
                p.setPen(QPen(rnd.Chance(0.5) ? Shade(col, 1.6) : Shade(col, 0.45), 1.2));
                p.drawLine(at, at + QPointF(u * 5, 3));
            }
            p.setPen(Qt::NoPen);
        }
    }
}

void Balloon(QPainter& p, QPointF c, double r)
{
    const QColor stripes[] = {QColor(230, 50, 50), QColor(250, 200, 40), QColor(40, 140, 220),
                              QColor(250, 250, 250)};
    QPainterPath env;
    env.moveTo(c.x(), c.y() + r * 1.3);
    env.cubicTo(c.x() - r * 1.5, c.y() + r * 0.2, c.x() - r * 1.1, c.y() - r * 1.1, c.x(), c.y() - r);
    env.cubicTo(c.x() + r * 1.1, c.y() - r * 1.1, c.x() + r * 1.5, c.y() + r * 0.2, c.x(), c.y() + r * 1.3);
    p.save();
    p.setClipPath(env);
    for (int i = 0; i < 8; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(stripes[i % 4]);
        p.drawRect(QRectF(c.x() - r * 1.2 + i * r * 0.3, c.y() - r * 1.2, r * 0.3, r * 2.6));
    }
    QRadialGradient g(c - QPointF(r * 0.4, r * 0.4), r * 1.6);
    g.setColorAt(0, QColor(255, 255, 255, 90));
    g.setColorAt(1, QColor(0, 0, 40, 110));
    p.setBrush(g);
    p.drawRect(QRectF(c.x() - r * 1.5, c.y() - r * 1.5, r * 3, r * 3));
    p.restore();
    p.setPen(QPen(QColor(80, 60, 40), 0.8));
    p.drawLine(QPointF(c.x() - r * 0.3, c.y() + r * 1.2), QPointF(c.x() - r * 0.2, c.y() + r * 1.6));
    p.drawLine(QPointF(c.x() + r * 0.3, c.y() + r * 1.2), QPointF(c.x() + r * 0.2, c.y() + r * 1.6));
    p.setBrush(QColor(140, 90, 50));
    p.drawRect(QRectF(c.x() - r * 0.22, c.y() + r * 1.6, r * 0.44, r * 0.35));
}

void Forest(QPainter& p, CGenRandom& rnd, double yTop, double yBottom, int count, double hMin, double hMax)
{
    std::vector<QPointF> spots;
    for (int i = 0; i < count; ++i)
        spots.emplace_back(rnd.Range(-10, kW + 10), rnd.Range(yTop, yBottom));
    std::sort(spots.begin(), spots.end(), [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
    for (const QPointF& s : spots) {
        const double depth = (s.y() - yTop) / std::max(1.0, yBottom - yTop);
        const QColor c =
            Mix(QColor(40, 90, 70), rnd.Chance(0.25) ? QColor(90, 140, 50) : QColor(30, 110, 60), rnd.Unit());
        Pine(p, s.x(), s.y(), hMin + (hMax - hMin) * (0.6 * depth + 0.4 * rnd.Unit()), c);
    }
}

void Meadow(QPainter& p, CGenRandom& rnd)
{
    QPainterPath bank;
    bank.moveTo(0, 392);
    bank.cubicTo(160, 376, 300, 430, 420, 446);
    bank.cubicTo(520, 458, 600, 440, kW, 452);
    bank.lineTo(kW, kH);
    bank.lineTo(0, kH);
    bank.closeSubpath();
    QLinearGradient g(0, 380, 0, kH);
    g.setColorAt(0, QColor(120, 170, 70));
    g.setColorAt(1, QColor(60, 120, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(bank);
    p.save();
    p.setClipPath(bank);
    // Grass blades.
    for (int i = 0; i < 1400; ++i) {
        const double x = rnd.Range(0, kW), y = rnd.Range(380, kH + 4);
        const double h = rnd.Range(4, 12);
        p.setPen(QPen(Mix(QColor(40, 100, 30), QColor(170, 210, 90), rnd.Unit()), 1.1));
        p.drawLine(QPointF(x, y), QPointF(x + rnd.Range(-3, 3), y - h));
    }
    // Flowers.
    const QColor petals[] = {QColor(240, 60, 70), QColor(250, 220, 60), QColor(255, 255, 255),
                             QColor(170, 90, 220), QColor(255, 150, 40)};
    for (int i = 0; i < 240; ++i) {
        const QPointF c(rnd.Range(0, kW), rnd.Range(386, kH));
        const double r = rnd.Range(1.6, 3.4) * (0.6 + (c.y() - 380) / 100.0);
        p.setPen(Qt::NoPen);
        p.setBrush(petals[rnd.Int(0, 4)]);
        for (int k = 0; k < 5; ++k) {
            const double a = k * 2 * M_PI / 5;
            p.drawEllipse(QPointF(c.x() + std::cos(a) * r, c.y() + std::sin(a) * r), r * 0.7, r * 0.7);
        }
        p.setBrush(QColor(250, 200, 40));
        p.drawEllipse(c, r * 0.5, r * 0.5);
    }
    // Stones.
    for (int i = 0; i < 12; ++i) {
        const QPointF c(rnd.Range(0, kW), rnd.Range(420, kH));
        QRadialGradient sg(c - QPointF(4, 4), 16);
        sg.setColorAt(0, QColor(200, 196, 186));
        sg.setColorAt(1, QColor(110, 104, 100));
        p.setBrush(sg);
        p.drawEllipse(c, rnd.Range(8, 16), rnd.Range(5, 9));
    }
    p.restore();
}

void Cabin(QPainter& p)
{
    // A little red cabin with a jetty on the far shore.
    const QRectF wall(470, 268, 46, 30);
    p.setPen(QPen(QColor(80, 20, 20), 1));
    p.setBrush(QColor(180, 40, 40));
    p.drawRect(wall);
    p.setPen(QPen(QColor(120, 30, 30), 0.8));
    for (double y = wall.top() + 4; y < wall.bottom(); y += 4)
        p.drawLine(QPointF(wall.left(), y), QPointF(wall.right(), y));
    p.setPen(QPen(QColor(40, 30, 30), 1));
    p.setBrush(QColor(60, 60, 70));
    p.drawPolygon(QPolygonF() << QPointF(464, 268) << QPointF(493, 248) << QPointF(522, 268));
    p.setBrush(QColor(255, 240, 200));
    p.drawRect(QRectF(478, 276, 8, 8));
    p.drawRect(QRectF(500, 276, 8, 8));
    p.setBrush(QColor(90, 60, 40));
    p.drawRect(QRectF(489, 286, 8, 12));
    p.setBrush(QColor(140, 100, 60));
    p.drawRect(QRectF(516, 295, 40, 4));
    for (double x = 518; x < 556; x += 9)
        p.drawRect(QRectF(x, 298, 2, 6));
}

void Boat(QPainter& p, double x, double y)
{
    QPainterPath hull;
    hull.moveTo(x, y);
    hull.lineTo(x + 60, y);
    hull.quadTo(x + 52, y + 12, x + 44, y + 12);
    hull.lineTo(x + 12, y + 12);
    hull.quadTo(x + 5, y + 10, x, y);
    p.setPen(QPen(QColor(60, 30, 20), 1));
    p.setBrush(QColor(170, 100, 50));
    p.drawPath(hull);
    p.setPen(QPen(QColor(230, 220, 200), 1.5));
    p.drawLine(QPointF(x + 2, y + 3), QPointF(x + 58, y + 3));
    p.setPen(QPen(QColor(90, 60, 30), 2));
    p.drawLine(QPointF(x + 20, y - 2), QPointF(x + 46, y - 10));
    // A fisher in a yellow coat.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 200, 40));
    p.drawRoundedRect(QRectF(x + 24, y - 16, 10, 16), 3, 3);
    p.setBrush(QColor(240, 200, 170));
    p.drawEllipse(QPointF(x + 29, y - 20), 4, 4);
    p.setPen(QPen(QColor(60, 60, 60), 0.8));
    p.drawLine(QPointF(x + 33, y - 12), QPointF(x + 70, y - 40));
    p.drawLine(QPointF(x + 70, y - 40), QPointF(x + 76, y + 4));
}

} // namespace

namespace Pictures {

QImage MountainLake(int width, int height)
{
    QImage img(static_cast<int>(kW), static_cast<int>(kH), QImage::Format_RGB32);
    CGenRandom rnd(3003);
    PaintSky(img);
    PaintRange(img, {{90, 120, 0.7}, {300, 70, 0.62}, {470, 110, 0.8}, {600, 96, 0.7}}, 81,
               QColor(110, 120, 170), QColor(170, 196, 230), 0.45, 60);
    PaintRange(img, {{-20, 150, 0.8}, {170, 150, 0.9}, {390, 160, 0.75}, {560, 190, 0.8}, {690, 140, 0.8}},
               83, QColor(130, 112, 100), QColor(160, 190, 220), 0.12, 38);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        Glow(p, QPointF(200, 70), 150, QColor(255, 250, 210, 170));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 252, 230));
        p.drawEllipse(QPointF(200, 70), 20, 20);
        Balloon(p, QPointF(420, 46), 16);
        Balloon(p, QPointF(90, 150), 9);
        for (int i = 0; i < 7; ++i)
            Bird(p, QPointF(rnd.Range(260, 460), rnd.Range(30, 110)), rnd.Range(3, 6), QColor(50, 50, 70));
        // Forested slopes down to the shore.
        QPainterPath slope;
        slope.moveTo(0, kShore);
        slope.cubicTo(80, 220, 180, 250, 260, kShore);
        slope.moveTo(360, kShore);
        slope.cubicTo(460, 240, 560, 230, kW, 210);
        slope.lineTo(kW, kShore);
        slope.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(50, 100, 60));
        p.drawPath(slope);
        Forest(p, rnd, 232, 300, 160, 18, 40);
        Cabin(p);
    }
    // The lake mirrors the mountains; a little darker and bluer.
    for (int y = kShore; y < static_cast<int>(kH); ++y) {
        QRgb* row = Row(img, y);
        for (int x = 0; x < img.width(); ++x) {
            const double depth = (y - kShore) / (kH - kShore);
            row[x] = Mix(QColor(40, 90, 130), QColor(20, 60, 100), depth).rgb();
        }
    }
    Reflect(img, 0, static_cast<int>(kW), kShore, static_cast<int>(kH), 0.82, 91);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        // Ripples and glints on the water.
        for (int i = 0; i < 900; ++i) {
            const double y = rnd.Range(kShore + 2, kH);
            const double depth = (y - kShore) / (kH - kShore);
            const double x = rnd.Range(-10, kW), len = 4 + depth * rnd.Range(6, 22);
            p.setPen(QPen(rnd.Chance(0.5) ? QColor(230, 245, 255, 150) : QColor(10, 40, 70, 120),
                          0.7 + depth * 1.4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(x, y), QPointF(x + len, y));
        }
        // Water lilies.
        for (int i = 0; i < 34; ++i) {
            const QPointF c(rnd.Range(20, 620), rnd.Range(306, 400));
            const double r = 3 + (c.y() - 300) * 0.07 * rnd.Range(0.8, 1.2);
            p.setPen(QPen(QColor(30, 80, 30), 0.8));
            p.setBrush(Mix(QColor(60, 140, 50), QColor(120, 180, 70), rnd.Unit()));
            const double gap = rnd.Range(0, 300);
            p.drawPie(QRectF(c.x() - r * 1.4, c.y() - r * 0.6, r * 2.8, r * 1.2), static_cast<int>(gap * 16),
                      300 * 16);
            if (rnd.Chance(0.4)) {
                p.setPen(Qt::NoPen);
                p.setBrush(rnd.Chance(0.5) ? QColor(255, 190, 220) : QColor(255, 255, 250));
                p.drawEllipse(c + QPointF(0, -r * 0.3), r * 0.5, r * 0.35);
                p.setBrush(QColor(250, 220, 60));
                p.drawEllipse(c + QPointF(0, -r * 0.4), r * 0.18, r * 0.14);
            }
        }
        // Ducks
        for (int i = 0; i < 3; ++i) {
            const QPointF c(150 + i * 26, 350 + i * 6);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(120, 90, 60));
            p.drawEllipse(c, 8, 4);
            p.setBrush(QColor(30, 110, 60));
            p.drawEllipse(c + QPointF(6, -5), 3, 3);
            p.setBrush(QColor(250, 190, 40));
            p.drawEllipse(c + QPointF(9.5, -5), 2, 1.2);
        }
        Boat(p, 330, 372);
        Meadow(p, rnd);
        // Big trees at the front edges frame the view.
        Pine(p, 24, 470, 180, QColor(30, 90, 50));
        Pine(p, 612, 480, 200, QColor(40, 100, 50));
        Pine(p, 570, 476, 120, QColor(50, 110, 60));
    }
    return img.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace Pictures
