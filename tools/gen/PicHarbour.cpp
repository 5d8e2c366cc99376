#include "tools/gen/GenRandom.h"
#include "tools/gen/PaintKit.h"
#include "tools/gen/Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

using namespace PaintKit;

namespace {

// Layout in a 640 x 480 frame; the painter scales it to the asked size.
constexpr double kW = 640, kH = 480;
constexpr double kHorizon = 236;
constexpr double kQuayTop = 300, kQuayWater = 322, kQuayEnd = 372;
const QPointF kSun(452, 212);

QColor SkyAt(double x, double y)
{
    const double t = y / kHorizon;
    QColor c = Ramp({{0.0, QColor(34, 24, 78)},
                     {0.30, QColor(92, 44, 120)},
                     {0.55, QColor(196, 74, 112)},
                     {0.78, QColor(246, 138, 72)},
                     {1.0, QColor(255, 206, 120)}},
                    t);
    const double d = std::hypot(x - kSun.x(), (y - kSun.y()) * 1.6);
    return Mix(c, QColor(255, 236, 170), 0.75 * std::exp(-d / 70.0));
}

void PaintSky(QImage& img)
{
    for (int y = 0; y < static_cast<int>(kHorizon) + 1; ++y) {
        QRgb* row = Row(img, y);
        for (int x = 0; x < img.width(); ++x) {
            QColor c = SkyAt(x, y);
            // Long sunset clouds, lit from below.
            const double d = Fbm(x / 150.0, y / 26.0, 5, 11);
            const double below = Fbm(x / 150.0, (y + 5) / 26.0, 5, 11);
            const double band = 0.5 + 0.5 * std::sin(y / 19.0);
            const double cover = SmoothStep(0.47 - 0.08 * band, 0.63, d);
            const double lit = Clamp01(0.5 + (d - below) * 9.0);
            const double nearSun = std::exp(-std::abs(x - kSun.x()) / 220.0);
            QColor shade = Mix(QColor(58, 30, 92), QColor(130, 52, 104), y / kHorizon);
            QColor light = Mix(Mix(QColor(190, 96, 160), QColor(255, 140, 110), y / kHorizon),
                               QColor(255, 214, 150), nearSun);
            c = Mix(c, Mix(shade, light, lit), cover * 0.92);
            row[x] = c.rgb();
        }
    }
}

void PaintWaterBase(QImage& img)
{
    for (int y = static_cast<int>(kHorizon); y < img.height(); ++y) {
        QRgb* row = Row(img, y);
        const double depth = (y - kHorizon) / (kH - kHorizon);
        for (int x = 0; x < img.width(); ++x) {
            const double mirrorY = std::max(0.0, 2 * kHorizon - y);
            QColor c = Shade(SkyAt(x, mirrorY), 0.78);
            c = Mix(c, QColor(30, 26, 80), depth * 0.75);
            // Swell: long soft bands that get wider towards the viewer.
            const double w = Fbm(x / (40.0 + 90 * depth), y / (3.0 + 10 * depth), 4, 23);
            c = Shade(c, 0.80 + 0.42 * w);
            row[x] = c.rgb();
        }
    }
}

void House(QPainter& p, CGenRandom& rnd, double x, double base, double w, double h)
{
    static const QColor facades[] = {QColor(232, 178, 92),  QColor(206, 98, 70),   QColor(88, 160, 166),
                                     QColor(240, 216, 170), QColor(224, 136, 150), QColor(150, 170, 90),
                                     QColor(200, 140, 200), QColor(246, 200, 80)};
    const QColor facade = facades[rnd.Int(0, 7)];
    const QRectF wall(x, base - h, w, h);
    QLinearGradient g(wall.topLeft(), wall.topRight());
    g.setColorAt(0, Shade(facade, 1.08));
    g.setColorAt(1, Shade(facade, 0.70));
    p.setPen(QPen(Shade(facade, 0.45), 0.8));
    p.setBrush(g);
    p.drawRect(wall);
    // Roof
    const QColor roof = Mix(QColor(168, 58, 40), QColor(110, 44, 50), rnd.Unit());
    const double rh = h * rnd.Range(0.30, 0.55);
    QPolygonF r;
    if (rnd.Chance(0.6))
        r << QPointF(x - 3, base - h) << QPointF(x + w / 2, base - h - rh) << QPointF(x + w + 3, base - h);
    else
        r << QPointF(x - 3, base - h) << QPointF(x + w * 0.2, base - h - rh * 0.7)
          << QPointF(x + w * 0.8, base - h - rh * 0.7) << QPointF(x + w + 3, base - h);
    p.setBrush(roof);
    p.setPen(QPen(Shade(roof, 0.5), 0.8));
    p.drawPolygon(r);
    p.setPen(QPen(Shade(roof, 0.75), 0.6));
    for (double ly = base - h - 3; ly > base - h - rh * 0.7; ly -= 3.2)
        p.drawLine(QPointF(x + 2, ly), QPointF(x + w - 2, ly));
    if (rnd.Chance(0.45)) {
        p.setBrush(Shade(roof, 0.8));
        p.drawRect(QRectF(x + w * 0.7, base - h - rh * 0.9, 4, rh * 0.5));
    }
    // Windows: warm light in many of them.
    const int cols = std::max(1, static_cast<int>(w / 11));
    const int rows = std::max(1, static_cast<int>(h / 14));
    for (int rr = 0; rr < rows; ++rr)
        for (int cc = 0; cc < cols; ++cc) {
            const double wx = x + (cc + 0.5) * w / cols - 2.6;
            const double wy = base - h + 4 + rr * (h - 6) / rows;
            const bool lit = rnd.Chance(0.55);
            p.setPen(QPen(Shade(facade, 0.4), 0.7));
            p.setBrush(lit ? Mix(QColor(255, 224, 120), QColor(255, 170, 70), rnd.Unit())
                           : QColor(52, 44, 70));
            p.drawRect(QRectF(wx, wy, 5.2, 7));
            if (rnd.Chance(0.3)) {
                p.setBrush(rnd.Chance(0.5) ? QColor(210, 60, 60) : QColor(250, 250, 250));
                p.drawRect(QRectF(wx - 0.8, wy + 7, 6.8, 2)); // flower box
            }
        }
    if (rnd.Chance(0.7)) {
        p.setBrush(Mix(QColor(90, 50, 30), QColor(40, 70, 110), rnd.Unit()));
        p.drawRoundedRect(QRectF(x + w * 0.5 - 3.5, base - 10, 7, 10), 2, 2);
    }
}

void Town(QPainter& p, CGenRandom& rnd)
{
    // The hill the town stands on.
    QPainterPath hill;
    hill.moveTo(0, kQuayTop);
    hill.lineTo(0, 118);
    hill.cubicTo(90, 104, 200, 130, 290, 196);
    hill.cubicTo(330, 226, 360, 262, 392, kQuayTop);
    hill.closeSubpath();
    QLinearGradient hg(0, 110, 0, kQuayTop);
    hg.setColorAt(0, QColor(96, 70, 86));
    hg.setColorAt(1, QColor(60, 50, 70));
    p.setPen(Qt::NoPen);
    p.setBrush(hg);
    p.drawPath(hill);
    // Trees and bushes on the hill.
    for (int i = 0; i < 90; ++i) {
        const double tx = rnd.Range(0, 360);
        const double top = 118 + tx * 0.5 - 20 + (tx > 260 ? (tx - 260) * 0.9 : 0);
        const double ty = rnd.Range(top, kQuayTop - 10);
        p.setBrush(Mix(QColor(50, 86, 60), QColor(120, 110, 60), rnd.Unit()));
        p.drawEllipse(QPointF(tx, ty), rnd.Range(3, 7), rnd.Range(3, 6));
    }
    // Church on the top of the hill.
    p.setPen(QPen(QColor(70, 50, 60), 0.8));
    p.setBrush(QColor(236, 210, 176));
    p.drawRect(QRectF(60, 70, 26, 60));
    p.setBrush(QColor(84, 120, 120));
    p.drawPolygon(QPolygonF() << QPointF(56, 70) << QPointF(73, 30) << QPointF(90, 70));
    p.setBrush(QColor(255, 244, 220));
    p.drawEllipse(QPointF(73, 84), 6, 6);
    p.setPen(QPen(QColor(60, 40, 40), 1));
    p.drawLine(QPointF(73, 84), QPointF(73, 80));
    p.drawLine(QPointF(73, 84), QPointF(76, 85));
    p.drawLine(QPointF(73, 30), QPointF(73, 22));
    p.drawLine(QPointF(69, 26), QPointF(77, 26));
    // Rows of houses from the top of the hill down to the quay.
    const double rowsBase[] = {146, 180, 214, 250, 286, kQuayTop};
    const double rowsEnd[] = {200, 262, 306, 340, 372, 372};
    for (int r = 0; r < 6; ++r) {
        double x = -6 + rnd.Range(0, 10) + (r == 0 ? 86 : 0);
        while (x < rowsEnd[r] - 20) {
            const double w = rnd.Range(24, 40);
            const double h = rnd.Range(28, 46) + (r == 5 ? 10 : 0);
            House(p, rnd, x, rowsBase[r] + rnd.Range(-3, 3), w, h);
            x += w + rnd.Range(1, 6);
        }
    }
    // Quay wall of stone blocks.
    const QRectF quay(0, kQuayTop, kQuayEnd, kQuayWater - kQuayTop);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 96, 96));
    p.drawRect(quay);
    for (int row = 0; row < 4; ++row)
        for (double bx = (row % 2) * -8.0; bx < kQuayEnd; bx += 16) {
            const double by = kQuayTop + row * 5.5;
            p.setPen(QPen(QColor(70, 54, 62), 0.8));
            p.setBrush(Mix(QColor(150, 118, 110), QColor(104, 84, 92), rnd.Unit()));
            p.drawRect(QRectF(bx, by, 16, 5.5));
        }
    // Lamp posts and bollards along the quay.
    for (double lx = 30; lx < kQuayEnd - 10; lx += 70) {
        p.setPen(QPen(QColor(40, 30, 40), 1.6));
        p.drawLine(QPointF(lx, kQuayTop), QPointF(lx, kQuayTop - 26));
        Glow(p, QPointF(lx, kQuayTop - 28), 12, QColor(255, 220, 120, 200));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 246, 200));
        p.drawEllipse(QPointF(lx, kQuayTop - 28), 2.6, 2.6);
    }
}

void Lighthouse(QPainter& p, CGenRandom& rnd)
{
    // Rocks
    QPolygonF rocks;
    rocks << QPointF(500, 306) << QPointF(512, 282) << QPointF(536, 270) << QPointF(566, 262)
          << QPointF(598, 266) << QPointF(626, 280) << QPointF(640, 292) << QPointF(640, 310);
    p.setPen(QPen(QColor(40, 26, 40), 1));
    p.setBrush(QColor(74, 52, 66));
    p.drawPolygon(rocks);
    for (int i = 0; i < 26; ++i) {
        const QPointF c(rnd.Range(510, 636), rnd.Range(276, 304));
        p.setBrush(Mix(QColor(110, 76, 84), QColor(160, 100, 90), rnd.Unit()));
        p.drawEllipse(c, rnd.Range(3, 8), rnd.Range(2, 5));
    }
    // Beam across the sky.
    QPolygonF beam;
    beam << QPointF(568, 150) << QPointF(340, 110) << QPointF(345, 150);
    QLinearGradient bg(568, 150, 340, 130);
    bg.setColorAt(0, QColor(255, 250, 210, 150));
    bg.setColorAt(1, QColor(255, 250, 210, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(bg);
    p.drawPolygon(beam);
    // Tower with red bands.
    const double top = 156, base = 268;
    for (int band = 0; band < 6; ++band) {
        const double y0 = top + (base - top) * band / 6, y1 = top + (base - top) * (band + 1) / 6;
        const double w0 = 9 + 6 * (y0 - top) / (base - top), w1 = 9 + 6 * (y1 - top) / (base - top);
        QPolygonF seg;
        seg << QPointF(568 - w0, y0) << QPointF(568 + w0, y0) << QPointF(568 + w1, y1)
            << QPointF(568 - w1, y1);
        QLinearGradient tg(553, 0, 583, 0);
        const QColor c = band % 2 ? QColor(250, 240, 230) : QColor(210, 40, 50);
        tg.setColorAt(0, Shade(c, 1.05));
        tg.setColorAt(1, Shade(c, 0.6));
        p.setBrush(tg);
        p.setPen(QPen(QColor(60, 30, 40), 0.7));
        p.drawPolygon(seg);
    }
    p.setBrush(QColor(40, 34, 50));
    p.drawRect(QRectF(555, 150, 26, 6));
    Glow(p, QPointF(568, 142), 26, QColor(255, 250, 200, 230));
    p.setBrush(QColor(255, 250, 210));
    p.drawRect(QRectF(561, 136, 14, 14));
    p.setBrush(QColor(180, 40, 50));
    p.drawPolygon(QPolygonF() << QPointF(557, 136) << QPointF(568, 124) << QPointF(579, 136));
}

void Boat(QPainter& p, double x, double water, double len, const QColor& hull, const QColor& sail,
          bool sailUp)
{
    QPainterPath h;
    h.moveTo(x, water - len * 0.16);
    h.lineTo(x + len, water - len * 0.16);
    h.quadTo(x + len * 0.92, water + len * 0.05, x + len * 0.78, water + len * 0.05);
    h.lineTo(x + len * 0.16, water + len * 0.05);
    h.quadTo(x + len * 0.04, water, x, water - len * 0.16);
    QLinearGradient g(0, water - len * 0.16, 0, water + len * 0.05);
    g.setColorAt(0, Shade(hull, 1.15));
    g.setColorAt(1, Shade(hull, 0.55));
    p.setPen(QPen(Shade(hull, 0.35), 0.9));
    p.setBrush(g);
    p.drawPath(h);
    p.setPen(QPen(QColor(250, 240, 220), 1.1));
    p.drawLine(QPointF(x + len * 0.05, water - len * 0.12), QPointF(x + len * 0.96, water - len * 0.12));
    const double mast = x + len * 0.45;
    p.setPen(QPen(QColor(70, 50, 40), 1.3));
    p.drawLine(QPointF(mast, water - len * 0.16), QPointF(mast, water - len * 1.1));
    p.setPen(QPen(Shade(sail, 0.6), 0.8));
    p.setBrush(sail);
    if (sailUp) {
        p.drawPolygon(QPolygonF() << QPointF(mast + 1.5, water - len * 1.05)
                                  << QPointF(mast + 1.5, water - len * 0.22)
                                  << QPointF(x + len * 0.95, water - len * 0.22));
        p.setBrush(Shade(sail, 0.85));
        p.drawPolygon(QPolygonF() << QPointF(mast - 1.5, water - len * 0.95)
                                  << QPointF(mast - 1.5, water - len * 0.24)
                                  << QPointF(x + len * 0.08, water - len * 0.24));
    } else {
        p.drawRoundedRect(QRectF(mast - 2, water - len * 0.45, len * 0.45, 4), 2, 2);
        p.setBrush(Shade(hull, 0.9));
        p.drawRect(QRectF(x + len * 0.6, water - len * 0.34, len * 0.2, len * 0.18));
    }
}

void BoatWithReflection(QPainter& p, double x, double water, double len, const QColor& hull,
                        const QColor& sail, bool sailUp)
{
    p.save();
    p.translate(0, 2 * water + len * 0.08);
    p.scale(1, -1);
    p.setOpacity(0.32);
    Boat(p, x, water, len, hull, sail, sailUp);
    p.restore();
    Boat(p, x, water, len, hull, sail, sailUp);
}

void Waves(QPainter& p, CGenRandom& rnd)
{
    for (int i = 0; i < 1500; ++i) {
        const double y = kHorizon + 2 + std::pow(rnd.Unit(), 1.3) * (kH - kHorizon);
        const double x = rnd.Range(-10, kW);
        const double depth = (y - kHorizon) / (kH - kHorizon);
        const double len = 3 + depth * rnd.Range(8, 26);
        const double nearSun = std::exp(-std::abs(x - kSun.x()) / (30 + 120 * depth));
        QColor c;
        if (rnd.Chance(0.35 + 0.5 * nearSun))
            c = Mix(QColor(255, 190, 120, 170), QColor(255, 240, 190, 230), nearSun);
        else
            c = QColor(24, 18, 60, 110);
        p.setPen(QPen(c, 0.6 + depth * 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(x, y), QPointF(x + len, y + rnd.Range(-0.4, 0.4)));
    }
}

} // namespace

namespace Pictures {

QImage Harbour(int width, int height)
{
    // Paint at the frame size, then scale the finished picture once.
    QImage img(static_cast<int>(kW), static_cast<int>(kH), QImage::Format_RGB32);
    CGenRandom rnd(1001);
    PaintSky(img);
    PaintWaterBase(img);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        // Stars in the high sky where the clouds leave room.
        for (int i = 0; i < 220; ++i) {
            const double x = rnd.Range(0, kW), y = std::pow(rnd.Unit(), 1.6) * 120;
            const int a = static_cast<int>(230 * (1 - y / 130));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 250, 230, a));
            const double r = rnd.Range(0.5, 1.4);
            if (r > 1.25)
                Star(p, QPointF(x, y), r * 2.4, r * 0.8, rnd.Range(0, 40));
            else
                p.drawEllipse(QPointF(x, y), r, r);
        }
        // A young moon high up in the east.
        Glow(p, QPointF(596, 44), 40, QColor(255, 240, 220, 90));
        QPainterPath moon;
        moon.addEllipse(QPointF(596, 44), 17, 17);
        QPainterPath bite;
        bite.addEllipse(QPointF(604, 38), 15, 15);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 246, 214));
        p.drawPath(moon.subtracted(bite));
        // The sun sinking behind the sea.
        Glow(p, kSun, 90, QColor(255, 220, 150, 160));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 232, 160));
        p.save();
        p.setClipRect(QRectF(0, 0, kW, kHorizon));
        p.drawEllipse(kSun, 30, 30);
        p.restore();
        // Far coast on the horizon.
        QPainterPath coast;
        coast.moveTo(360, kHorizon);
        for (double x = 360; x <= kW; x += 8)
            coast.lineTo(x, kHorizon - 4 - 10 * Fbm(x / 60.0, 0.5, 3, 5) * (1 - std::exp(-(x - 360) / 40)));
        coast.lineTo(kW, kHorizon);
        coast.closeSubpath();
        p.setBrush(QColor(110, 60, 110));
        p.drawPath(coast);
        for (int i = 0; i < 11; ++i)
            Bird(p, QPointF(rnd.Range(150, 600), rnd.Range(40, 170)), rnd.Range(3.5, 7), QColor(40, 22, 50));
        Town(p, rnd);
        Lighthouse(p, rnd);
    }
    Reflect(img, 0, static_cast<int>(kQuayEnd), static_cast<int>(kQuayWater), static_cast<int>(kH), 0.55, 31);
    Reflect(img, 500, static_cast<int>(kW), 304, static_cast<int>(kH), 0.45, 37);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        // The sun's path on the water.
        for (int i = 0; i < 260; ++i) {
            const double y = kHorizon + 2 + std::pow(rnd.Unit(), 1.6) * (kH - kHorizon);
            const double depth = (y - kHorizon) / (kH - kHorizon);
            const double x = kSun.x() + rnd.Range(-1, 1) * (12 + 90 * depth) * rnd.Unit();
            p.setPen(QPen(QColor(255, 236, 170, 210), 0.8 + 2.2 * depth, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(x, y), QPointF(x + rnd.Range(4, 10 + 30 * depth), y));
        }
        Waves(p, rnd);
        BoatWithReflection(p, 480, 246, 26, QColor(240, 236, 230), QColor(255, 214, 180), true);
        BoatWithReflection(p, 250, 256, 20, QColor(60, 80, 140), QColor(255, 200, 170), true);
        BoatWithReflection(p, 30, 352, 70, QColor(200, 50, 50), QColor(240, 230, 210), false);
        BoatWithReflection(p, 150, 344, 58, QColor(40, 120, 150), QColor(240, 230, 210), false);
        BoatWithReflection(p, 250, 362, 64, QColor(236, 190, 60), QColor(240, 230, 210), false);
        BoatWithReflection(p, 380, 420, 120, QColor(240, 240, 236), QColor(255, 236, 214), true);
        // Gulls over the water.
        for (int i = 0; i < 5; ++i)
            Bird(p, QPointF(rnd.Range(420, 620), rnd.Range(300, 400)), rnd.Range(6, 10),
                 QColor(250, 240, 230));
    }
    return img.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace Pictures
