#include "tools/gen/GenRandom.h"
#include "tools/gen/PaintKit.h"
#include "tools/gen/Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

using namespace PaintKit;

namespace {

// Layout in an 800 x 800 frame.
constexpr double kS = 800;
constexpr double kSandTop = 620;

void PaintWater(QImage& img)
{
    for (int y = 0; y < img.height(); ++y) {
        QRgb* row = Row(img, y);
        const double t = y / kS;
        for (int x = 0; x < img.width(); ++x) {
            QColor c = Ramp({{0.0, QColor(110, 226, 236)},
                             {0.25, QColor(34, 166, 206)},
                             {0.6, QColor(18, 92, 168)},
                             {1.0, QColor(8, 40, 110)}},
                            t + 0.08 * (x / kS - 0.5));
            // Caustic light network: bright where the noise crosses its middle.
            const double n = Fbm(x / 70.0, y / 55.0, 4, 3);
            const double m = Fbm(x / 31.0 + 4.0, y / 26.0, 3, 9);
            const double net =
                std::exp(-std::abs(n - 0.5) * 28.0) + 0.6 * std::exp(-std::abs(m - 0.5) * 30.0);
            c = Mix(c, QColor(220, 252, 255), net * (0.70 - 0.50 * t));
            // Soft darker patches deeper down.
            c = Shade(c, 0.86 + 0.28 * Fbm(x / 120.0, y / 120.0, 3, 5));
            row[x] = c.rgb();
        }
    }
}

void LightRays(QPainter& p, CGenRandom& rnd)
{
    for (int i = 0; i < 9; ++i) {
        const double x = rnd.Range(-100, 760), w = rnd.Range(20, 70), slant = rnd.Range(120, 260);
        QPolygonF ray;
        ray << QPointF(x, 0) << QPointF(x + w, 0) << QPointF(x + w + slant + w, 700)
            << QPointF(x + slant, 700);
        QLinearGradient g(0, 0, 0, 700);
        g.setColorAt(0, QColor(255, 255, 240, 70));
        g.setColorAt(1, QColor(255, 255, 240, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawPolygon(ray);
    }
}

void Sand(QPainter& p, CGenRandom& rnd)
{
    QPainterPath floor;
    floor.moveTo(0, kSandTop + 20);
    for (double x = 0; x <= kS; x += 20)
        floor.lineTo(x, kSandTop + 30 * std::sin(x / 130.0) + 14 * std::sin(x / 47.0 + 1));
    floor.lineTo(kS, kS);
    floor.lineTo(0, kS);
    floor.closeSubpath();
    QLinearGradient g(0, kSandTop - 40, 0, kS);
    g.setColorAt(0, QColor(160, 170, 150));
    g.setColorAt(1, QColor(238, 214, 160));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(floor);
    // Ripples in the sand.
    for (int i = 0; i < 170; ++i) {
        const double x = rnd.Range(-20, kS), y = rnd.Range(kSandTop + 30, kS);
        QPainterPath r;
        r.moveTo(x, y);
        r.quadTo(x + 18, y - 5, x + 36 + rnd.Range(0, 20), y);
        p.setPen(QPen(rnd.Chance(0.5) ? QColor(200, 170, 120, 150) : QColor(255, 240, 200, 160), 2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(r);
    }
    // Pebbles and shells.
    for (int i = 0; i < 60; ++i) {
        const QPointF c(rnd.Range(0, kS), rnd.Range(kSandTop + 40, kS));
        p.setPen(QPen(QColor(120, 100, 80), 0.8));
        p.setBrush(Mix(QColor(190, 170, 150), QColor(130, 120, 130), rnd.Unit()));
        p.drawEllipse(c, rnd.Range(3, 9), rnd.Range(2, 6));
    }
    for (int i = 0; i < 8; ++i) {
        const QPointF c(rnd.Range(20, kS - 20), rnd.Range(kSandTop + 60, kS - 20));
        p.save();
        p.translate(c);
        p.rotate(rnd.Range(-40, 40));
        p.setPen(QPen(QColor(170, 90, 80), 1));
        p.setBrush(QColor(250, 200, 180));
        QPainterPath shell;
        shell.moveTo(0, 8);
        shell.cubicTo(-16, -4, -8, -14, 0, -14);
        shell.cubicTo(8, -14, 16, -4, 0, 8);
        p.drawPath(shell);
        for (int k = -2; k <= 2; ++k)
            p.drawLine(QPointF(0, 7), QPointF(k * 4.5, -12));
        p.restore();
    }
}

void Starfish(QPainter& p, QPointF c, double r, const QColor& col, double rot)
{
    p.setPen(QPen(Shade(col, 0.6), 1.2));
    p.setBrush(col);
    Star(p, c, r, r * 0.42, rot);
    p.setPen(Qt::NoPen);
    p.setBrush(Shade(col, 1.3));
    for (int i = 0; i < 5; ++i) {
        const double a = (rot - 90 + i * 72) * M_PI / 180;
        for (double k = 0.25; k < 0.9; k += 0.2)
            p.drawEllipse(QPointF(c.x() + std::cos(a) * r * k, c.y() + std::sin(a) * r * k), 1.6, 1.6);
    }
}

void BranchCoral(QPainter& p, CGenRandom& rnd, QPointF base, double angle, double len, double width,
                 const QColor& col, int depth)
{
    const double a = angle * M_PI / 180;
    const QPointF tip(base.x() + std::cos(a) * len, base.y() + std::sin(a) * len);
    p.setPen(QPen(Mix(Shade(col, 0.7), col, 1.0 - depth / 6.0), width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(base, tip);
    if (depth <= 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(Shade(col, 1.35));
        p.drawEllipse(tip, width * 0.7, width * 0.7);
        return;
    }
    const int n = rnd.Chance(0.3) ? 3 : 2;
    for (int i = 0; i < n; ++i)
        BranchCoral(p, rnd, tip, angle + rnd.Range(-38, 38), len * rnd.Range(0.62, 0.85), width * 0.74, col,
                    depth - 1);
}

void BrainCoral(QPainter& p, CGenRandom& rnd, QPointF c, double rx, double ry, const QColor& col)
{
    QRadialGradient g(c - QPointF(rx * 0.3, ry * 0.4), rx * 1.3);
    g.setColorAt(0, Shade(col, 1.3));
    g.setColorAt(1, Shade(col, 0.6));
    p.setPen(QPen(Shade(col, 0.5), 1.2));
    p.setBrush(g);
    QPainterPath dome;
    dome.moveTo(c.x() - rx, c.y());
    dome.cubicTo(c.x() - rx, c.y() - ry * 1.3, c.x() + rx, c.y() - ry * 1.3, c.x() + rx, c.y());
    dome.closeSubpath();
    p.drawPath(dome);
    p.save();
    p.setClipPath(dome);
    p.setPen(QPen(Shade(col, 0.55), 1.6));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 14; ++i) {
        QPainterPath w;
        double y = c.y() - ry + i * ry / 12.0;
        w.moveTo(c.x() - rx, y);
        for (double x = c.x() - rx; x < c.x() + rx; x += 8)
            w.quadTo(x + 4, y + rnd.Range(-6, 6), x + 8, y);
        p.drawPath(w);
    }
    p.restore();
}

void FanCoral(QPainter& p, CGenRandom& rnd, QPointF base, double r, const QColor& col)
{
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 26; ++i) {
        const double a = (-160 + i * 140.0 / 25) * M_PI / 180;
        QPainterPath s;
        s.moveTo(base);
        const QPointF tip(base.x() + std::cos(a) * r * rnd.Range(0.8, 1.0), base.y() + std::sin(a) * r);
        s.quadTo(QPointF((base.x() + tip.x()) / 2 + rnd.Range(-10, 10), (base.y() + tip.y()) / 2), tip);
        p.setPen(QPen(Mix(col, Shade(col, 1.4), rnd.Unit()), 1.8));
        p.drawPath(s);
    }
    // Cross threads of the net.
    for (double k = 0.3; k < 1.0; k += 0.12) {
        p.setPen(QPen(Shade(col, 0.8), 1));
        p.drawArc(QRectF(base.x() - r * k, base.y() - r * k, 2 * r * k, 2 * r * k), 20 * 16, 140 * 16);
    }
}

void Anemone(QPainter& p, CGenRandom& rnd, QPointF base, double r, const QColor& col)
{
    for (int i = 0; i < 34; ++i) {
        const double a = (-170 + i * 160.0 / 33) * M_PI / 180;
        QPainterPath t;
        t.moveTo(base);
        const QPointF tip(base.x() + std::cos(a) * r, base.y() + std::sin(a) * r * 1.1);
        t.cubicTo(base + QPointF(std::cos(a) * r * 0.4 + 8, std::sin(a) * r * 0.4),
                  tip + QPointF(rnd.Range(-12, 12), 10), tip);
        p.setPen(QPen(Mix(col, Shade(col, 1.5), rnd.Unit()), 4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(t);
        p.setPen(Qt::NoPen);
        p.setBrush(Shade(col, 1.6));
        p.drawEllipse(tip, 2.6, 2.6);
    }
}

void Kelp(QPainter& p, CGenRandom& rnd, double x, double base, double h, const QColor& col)
{
    QPainterPath k;
    const double phase = rnd.Range(0, 6);
    k.moveTo(x - 5, base);
    for (double y = 0; y <= h; y += 10)
        k.lineTo(x + 14 * std::sin(y / 40.0 + phase) - 5, base - y);
    for (double y = h; y >= 0; y -= 10)
        k.lineTo(x + 14 * std::sin(y / 40.0 + phase + 0.3) + 6, base - y);
    k.closeSubpath();
    QLinearGradient g(x - 10, 0, x + 10, 0);
    g.setColorAt(0, Shade(col, 0.7));
    g.setColorAt(1, Shade(col, 1.25));
    p.setPen(QPen(Shade(col, 0.5), 1));
    p.setBrush(g);
    p.drawPath(k);
    // Leaves along the stem.
    for (double y = 30; y < h; y += rnd.Range(22, 40)) {
        const double sx = x + 14 * std::sin(y / 40.0 + phase);
        const double side = rnd.Chance(0.5) ? 1 : -1;
        QPainterPath leaf;
        leaf.moveTo(sx, base - y);
        leaf.quadTo(sx + side * 22, base - y - 18, sx + side * 30, base - y - 4);
        leaf.quadTo(sx + side * 16, base - y + 2, sx, base - y);
        p.setBrush(Shade(col, rnd.Range(0.9, 1.3)));
        p.drawPath(leaf);
    }
}

void Fish(QPainter& p, CGenRandom& rnd, QPointF c, double len, const QColor& body, const QColor& stripe,
          bool faceLeft, int stripes)
{
    p.save();
    p.translate(c);
    if (faceLeft)
        p.scale(-1, 1);
    p.rotate(rnd.Range(-8, 8));
    const double h = len * 0.42;
    QPainterPath tail;
    tail.moveTo(-len * 0.42, 0);
    tail.lineTo(-len * 0.7, -h * 0.55);
    tail.quadTo(-len * 0.6, 0, -len * 0.7, h * 0.55);
    tail.closeSubpath();
    p.setPen(QPen(Shade(body, 0.5), 1));
    p.setBrush(Shade(body, 0.85));
    p.drawPath(tail);
    QPainterPath fin;
    fin.moveTo(-len * 0.2, -h * 0.4);
    fin.quadTo(0, -h * 0.95, len * 0.15, -h * 0.42);
    p.drawPath(fin);
    QPainterPath b;
    b.addEllipse(QPointF(0, 0), len * 0.5, h * 0.5);
    QLinearGradient g(0, -h * 0.5, 0, h * 0.5);
    g.setColorAt(0, Shade(body, 1.2));
    g.setColorAt(1, Shade(body, 0.75));
    p.setBrush(g);
    p.drawPath(b);
    p.save();
    p.setClipPath(b);
    p.setPen(QPen(stripe, len * 0.07));
    for (int i = 0; i < stripes; ++i) {
        const double sx = len * (0.25 - i * 0.22);
        p.drawLine(QPointF(sx, -h), QPointF(sx - len * 0.05, h));
    }
    p.restore();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(len * 0.3, -h * 0.08), len * 0.07, len * 0.07);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(len * 0.32, -h * 0.08), len * 0.04, len * 0.04);
    p.restore();
}

void Turtle(QPainter& p, QPointF c, double s)
{
    p.save();
    p.translate(c);
    p.rotate(-12);
    const QColor skin(120, 150, 90), shell(110, 90, 50);
    p.setPen(QPen(Shade(skin, 0.5), 1.2));
    p.setBrush(skin);
    for (int k : {-1, 1}) {
        QPainterPath flip;
        flip.moveTo(s * 0.2, k * s * 0.2);
        flip.quadTo(s * 0.5, k * s * 0.9, s * 0.05, k * s * 0.75);
        flip.closeSubpath();
        p.drawPath(flip);
        p.drawEllipse(QPointF(-s * 0.45, k * s * 0.32), s * 0.18, s * 0.08);
    }
    p.drawEllipse(QPointF(s * 0.62, 0), s * 0.2, s * 0.15);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(s * 0.7, -s * 0.05), 2.2, 2.2);
    QRadialGradient g(QPointF(-s * 0.1, -s * 0.1), s * 0.6);
    g.setColorAt(0, Shade(shell, 1.5));
    g.setColorAt(1, Shade(shell, 0.8));
    p.setBrush(g);
    p.setPen(QPen(QColor(60, 40, 20), 1.5));
    p.drawEllipse(QPointF(0, 0), s * 0.5, s * 0.38);
    for (int i = 0; i < 6; ++i) {
        const double a = i * M_PI / 3;
        p.drawLine(QPointF(std::cos(a) * s * 0.16, std::sin(a) * s * 0.12),
                   QPointF(std::cos(a) * s * 0.48, std::sin(a) * s * 0.36));
    }
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(0, 0), s * 0.18, s * 0.13);
    p.restore();
}

void Jellyfish(QPainter& p, CGenRandom& rnd, QPointF c, double r)
{
    p.setPen(QPen(QColor(255, 190, 230, 150), 2));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 7; ++i) {
        QPainterPath t;
        const double x = c.x() - r * 0.8 + i * r * 0.27;
        t.moveTo(x, c.y());
        for (double y = 0; y < r * 2.6; y += 12)
            t.lineTo(x + 5 * std::sin(y / 10.0 + i + rnd.Range(0, 0.3)), c.y() + y);
        p.drawPath(t);
    }
    QRadialGradient g(c - QPointF(0, r * 0.3), r);
    g.setColorAt(0, QColor(255, 220, 245, 220));
    g.setColorAt(1, QColor(230, 120, 200, 150));
    p.setPen(QPen(QColor(200, 90, 180, 200), 1.2));
    p.setBrush(g);
    p.drawChord(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 0, 180 * 16);
}

void Bubbles(QPainter& p, CGenRandom& rnd, double x, double y0, int n)
{
    double y = y0;
    for (int i = 0; i < n; ++i) {
        const double r = rnd.Range(2.5, 7) * (1 + 0.3 * i / n);
        x += rnd.Range(-6, 6);
        p.setPen(QPen(QColor(230, 255, 255, 200), 1.2));
        p.setBrush(QColor(200, 240, 255, 60));
        p.drawEllipse(QPointF(x, y), r, r);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 220));
        p.drawEllipse(QPointF(x - r * 0.35, y - r * 0.35), r * 0.3, r * 0.3);
        y -= r * 2 + rnd.Range(6, 22);
    }
}

} // namespace

namespace Pictures {

QImage Reef(int width, int height)
{
    QImage img(static_cast<int>(kS), static_cast<int>(kS), QImage::Format_RGB32);
    CGenRandom rnd(2002);
    PaintWater(img);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    LightRays(p, rnd);
    // Distant reef, hazy blue.
    for (int layer = 0; layer < 2; ++layer) {
        QPainterPath far;
        const double top = 470 + layer * 70;
        far.moveTo(0, kS);
        for (double x = 0; x <= kS; x += 10)
            far.lineTo(x, top - 90 * Fbm(x / 90.0, layer * 3.0, 4, 40 + layer));
        far.lineTo(kS, kS);
        far.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(layer == 0 ? QColor(30, 100, 150) : QColor(40, 110, 130));
        p.drawPath(far);
        for (int i = 0; i < 220; ++i) {
            const double x = rnd.Range(0, kS);
            const double y = rnd.Range(top - 60, kSandTop + 40);
            p.setBrush(rnd.Chance(0.5) ? (layer == 0 ? QColor(70, 160, 200, 150) : QColor(110, 170, 150, 170))
                                       : (layer == 0 ? QColor(20, 70, 120, 150) : QColor(30, 80, 100, 170)));
            p.drawEllipse(QPointF(x, y), rnd.Range(4, 14), rnd.Range(3, 9));
        }
        // Small hazy corals on the far reef.
        for (int i = 0; i < 14; ++i) {
            const double x = rnd.Range(0, kS);
            const QColor c = layer == 0 ? QColor(120, 110, 190) : QColor(190, 120, 150);
            BranchCoral(p, rnd, QPointF(x, top + 40 - 60 * Fbm(x / 90.0, layer * 3.0, 4, 40 + layer)),
                        -90 + rnd.Range(-20, 20), 22, 5, c, 3);
        }
    }
    Sand(p, rnd);
    // A school of small silver fish high up.
    for (int i = 0; i < 46; ++i) {
        const double a = rnd.Range(0, 2 * M_PI), d = std::sqrt(rnd.Unit());
        const QPointF c(250 + std::cos(a) * 190 * d, 170 + std::sin(a) * 80 * d);
        Fish(p, rnd, c, rnd.Range(14, 20), QColor(190, 210, 230), QColor(90, 120, 170), false, 1);
    }
    for (int i = 0; i < 30; ++i) {
        const double a = rnd.Range(0, 2 * M_PI), d = std::sqrt(rnd.Unit());
        const QPointF c(440 + std::cos(a) * 120 * d, 540 + std::sin(a) * 60 * d);
        Fish(p, rnd, c, rnd.Range(12, 17), QColor(250, 210, 60), QColor(60, 90, 160), true, 1);
    }
    Jellyfish(p, rnd, QPointF(640, 150), 34);
    Jellyfish(p, rnd, QPointF(720, 330), 22);
    Turtle(p, QPointF(560, 300), 120);
    for (double kx : {40.0, 90.0, 700.0, 760.0, 330.0})
        Kelp(p, rnd, kx + rnd.Range(-10, 10), 700, rnd.Range(260, 420), QColor(60, 150, 70));
    FanCoral(p, rnd, QPointF(150, 640), 130, QColor(170, 70, 170));
    FanCoral(p, rnd, QPointF(620, 630), 100, QColor(230, 110, 80));
    BrainCoral(p, rnd, QPointF(470, 690), 80, 60, QColor(200, 170, 80));
    BrainCoral(p, rnd, QPointF(80, 770), 70, 50, QColor(160, 200, 120));
    p.setBrush(Qt::NoBrush);
    BranchCoral(p, rnd, QPointF(300, 720), -90, 90, 14, QColor(250, 120, 140), 5);
    BranchCoral(p, rnd, QPointF(720, 740), -100, 80, 13, QColor(255, 170, 60), 5);
    BranchCoral(p, rnd, QPointF(560, 760), -80, 60, 11, QColor(120, 200, 230), 4);
    Anemone(p, rnd, QPointF(380, 790), 90, QColor(240, 150, 190));
    Anemone(p, rnd, QPointF(220, 800), 60, QColor(170, 230, 120));
    Starfish(p, QPointF(660, 780), 26, QColor(240, 80, 60), 12);
    Starfish(p, QPointF(130, 700), 18, QColor(250, 170, 40), -20);
    // Bright reef fish.
    const struct {
        QPointF at;
        double len;
        QColor body, stripe;
        bool left;
        int stripes;
    } fish[] = {
        {{380, 690}, 48, QColor(255, 120, 30), QColor(255, 255, 255), true, 3},
        {{430, 730}, 40, QColor(255, 120, 30), QColor(255, 255, 255), false, 3},
        {{180, 420}, 70, QColor(250, 220, 40), QColor(40, 40, 80), false, 2},
        {{610, 470}, 80, QColor(60, 90, 220), QColor(250, 230, 60), true, 2},
        {{120, 300}, 56, QColor(230, 60, 120), QColor(255, 210, 230), false, 3},
        {{720, 560}, 50, QColor(120, 230, 120), QColor(30, 90, 60), true, 2},
        {{300, 520}, 60, QColor(250, 150, 200), QColor(140, 40, 120), false, 3},
        {{460, 400}, 44, QColor(90, 220, 230), QColor(20, 60, 120), true, 3},
        {{710, 80}, 40, QColor(255, 200, 80), QColor(220, 80, 40), true, 2},
        {{60, 520}, 46, QColor(255, 90, 70), QColor(255, 230, 120), false, 2},
    };
    for (const auto& f : fish)
        Fish(p, rnd, f.at, f.len, f.body, f.stripe, f.left, f.stripes);
    for (int i = 0; i < 8; ++i)
        Bubbles(p, rnd, rnd.Range(20, 780), rnd.Range(500, 780), rnd.Int(5, 12));
    p.end();
    return img.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace Pictures
