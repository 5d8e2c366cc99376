#include "tools/gen/GenRandom.h"
#include "tools/gen/PaintKit.h"
#include "tools/gen/Pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

using namespace PaintKit;

namespace {

// Layout in a 1024 x 768 frame.
constexpr double kW = 1024, kH = 768;

enum class Kind { Orange, RedApple, GreenApple, Lemon, Plum, Pear, Strawberry, Grapes, Cherry, Peach };

QColor BaseColour(Kind k, CGenRandom& rnd)
{
    const double v = rnd.Unit();
    switch (k) {
    case Kind::Orange:
        return Mix(QColor(255, 140, 20), QColor(255, 170, 40), v);
    case Kind::RedApple:
        return Mix(QColor(200, 20, 30), QColor(230, 70, 40), v);
    case Kind::GreenApple:
        return Mix(QColor(140, 200, 60), QColor(190, 220, 80), v);
    case Kind::Lemon:
        return Mix(QColor(250, 220, 40), QColor(255, 240, 90), v);
    case Kind::Plum:
        return Mix(QColor(90, 30, 100), QColor(130, 40, 110), v);
    case Kind::Pear:
        return Mix(QColor(200, 200, 70), QColor(220, 180, 70), v);
    case Kind::Strawberry:
        return Mix(QColor(220, 20, 40), QColor(240, 40, 50), v);
    case Kind::Grapes:
        return Mix(QColor(110, 50, 140), QColor(80, 30, 100), v);
    case Kind::Cherry:
        return Mix(QColor(170, 10, 30), QColor(200, 20, 40), v);
    case Kind::Peach:
        return Mix(QColor(255, 170, 110), QColor(240, 110, 80), v);
    }
    return Qt::gray;
}

void ShadedEllipse(QPainter& p, QPointF c, double rx, double ry, const QColor& col)
{
    QRadialGradient g(c - QPointF(rx * 0.35, ry * 0.4), std::max(rx, ry) * 1.35);
    g.setColorAt(0, Shade(col, 1.45));
    g.setColorAt(0.45, col);
    g.setColorAt(1, Shade(col, 0.55));
    p.setPen(QPen(Shade(col, 0.45), 1));
    p.setBrush(g);
    p.drawEllipse(c, rx, ry);
}

void Leaf(QPainter& p, QPointF at, double size, double angleDeg)
{
    p.save();
    p.translate(at);
    p.rotate(angleDeg);
    QPainterPath leaf;
    leaf.moveTo(0, 0);
    leaf.quadTo(size * 0.5, -size * 0.45, size, 0);
    leaf.quadTo(size * 0.5, size * 0.45, 0, 0);
    p.setPen(QPen(QColor(30, 90, 30), 1));
    p.setBrush(QColor(70, 150, 50));
    p.drawPath(leaf);
    p.drawLine(QPointF(0, 0), QPointF(size * 0.9, 0));
    p.restore();
}

void Fruit(QPainter& p, CGenRandom& rnd, Kind k, QPointF c, double r)
{
    const QColor col = BaseColour(k, rnd);
    switch (k) {
    case Kind::Orange:
    case Kind::Peach:
        ShadedEllipse(p, c, r, r * 0.96, col);
        p.setPen(Qt::NoPen);
        p.setBrush(Shade(col, 0.8));
        for (int i = 0; i < 10; ++i)
            p.drawEllipse(c + QPointF(rnd.Range(-0.6, 0.6) * r, rnd.Range(-0.6, 0.6) * r), 0.9, 0.9);
        if (k == Kind::Peach) {
            p.setPen(QPen(Shade(col, 0.7), 1.2));
            p.drawArc(QRectF(c.x() - r * 0.2, c.y() - r, r * 0.5, r * 1.8), 90 * 16, 120 * 16);
        } else {
            p.setBrush(QColor(90, 110, 40));
            p.drawEllipse(c + QPointF(r * 0.1, -r * 0.75), r * 0.12, r * 0.08);
        }
        break;
    case Kind::RedApple:
    case Kind::GreenApple:
        ShadedEllipse(p, c, r * 1.04, r * 0.94, col);
        if (k == Kind::RedApple) {
            p.setPen(QPen(QColor(250, 200, 60, 90), 1.4));
            for (int i = 0; i < 4; ++i)
                p.drawLine(c + QPointF(-r * 0.6 + i * r * 0.3, r * 0.3),
                           c + QPointF(-r * 0.5 + i * r * 0.32, r * 0.7));
        }
        p.setPen(QPen(QColor(80, 50, 30), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c + QPointF(0, -r * 0.7), c + QPointF(r * 0.15, -r * 1.1));
        if (rnd.Chance(0.4))
            Leaf(p, c + QPointF(r * 0.12, -r * 0.95), r * 0.7, rnd.Range(-40, 10));
        break;
    case Kind::Lemon: {
        p.save();
        p.translate(c);
        p.rotate(rnd.Range(-30, 30));
        QPainterPath lemon;
        lemon.moveTo(-r * 1.25, 0);
        lemon.cubicTo(-r, -r * 1.0, r, -r * 1.0, r * 1.25, 0);
        lemon.cubicTo(r, r * 1.0, -r, r * 1.0, -r * 1.25, 0);
        QRadialGradient g(QPointF(-r * 0.3, -r * 0.35), r * 1.5);
        g.setColorAt(0, Shade(col, 1.5));
        g.setColorAt(0.5, col);
        g.setColorAt(1, Shade(col, 0.6));
        p.setPen(QPen(Shade(col, 0.5), 1));
        p.setBrush(g);
        p.drawPath(lemon);
        p.restore();
        break;
    }
    case Kind::Plum:
        ShadedEllipse(p, c, r * 0.9, r, col);
        p.setPen(QPen(Shade(col, 0.6), 1.2));
        p.drawArc(QRectF(c.x() - r * 0.3, c.y() - r, r * 0.6, r * 2), 90 * 16, 150 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 200, 255, 70));
        p.drawEllipse(c + QPointF(-r * 0.3, -r * 0.3), r * 0.35, r * 0.25);
        break;
    case Kind::Pear: {
        ShadedEllipse(p, c + QPointF(0, r * 0.25), r, r * 0.85, col);
        ShadedEllipse(p, c + QPointF(r * 0.05, -r * 0.55), r * 0.6, r * 0.6, col);
        p.setPen(QPen(QColor(90, 60, 30), 2));
        p.drawLine(c + QPointF(r * 0.05, -r * 1.1), c + QPointF(r * 0.25, -r * 1.45));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(150, 110, 60, 120));
        for (int i = 0; i < 8; ++i)
            p.drawEllipse(c + QPointF(rnd.Range(-0.6, 0.6) * r, rnd.Range(-0.5, 0.8) * r), 1.2, 1.2);
        break;
    }
    case Kind::Strawberry: {
        QPainterPath berry;
        berry.moveTo(c.x(), c.y() + r * 1.1);
        berry.cubicTo(c.x() - r * 1.3, c.y() + r * 0.2, c.x() - r * 1.0, c.y() - r * 0.8, c.x(),
                      c.y() - r * 0.6);
        berry.cubicTo(c.x() + r * 1.0, c.y() - r * 0.8, c.x() + r * 1.3, c.y() + r * 0.2, c.x(),
                      c.y() + r * 1.1);
        QRadialGradient g(c - QPointF(r * 0.3, r * 0.2), r * 1.4);
        g.setColorAt(0, Shade(col, 1.4));
        g.setColorAt(1, Shade(col, 0.6));
        p.setPen(QPen(Shade(col, 0.5), 1));
        p.setBrush(g);
        p.drawPath(berry);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 230, 120));
        for (int i = 0; i < 12; ++i)
            p.drawEllipse(c + QPointF(rnd.Range(-0.6, 0.6) * r, rnd.Range(-0.3, 0.8) * r), 0.9, 1.3);
        p.setBrush(QColor(40, 140, 40));
        Star(p, c + QPointF(0, -r * 0.65), r * 0.6, r * 0.2, rnd.Range(0, 70));
        break;
    }
    case Kind::Grapes: {
        for (int row = 0; row < 6; ++row)
            for (int i = 0; i <= 5 - row; ++i) {
                const QPointF g(c.x() + (i - (5 - row) / 2.0) * r * 0.38 + rnd.Range(-1.5, 1.5),
                                c.y() - r * 0.8 + row * r * 0.34);
                ShadedEllipse(p, g, r * 0.22, r * 0.22,
                              Mix(col, QColor(60, 160, 60), k == Kind::Grapes ? 0 : 1));
            }
        p.setPen(QPen(QColor(90, 70, 40), 2));
        p.drawLine(c + QPointF(0, -r * 0.95), c + QPointF(r * 0.2, -r * 1.2));
        break;
    }
    case Kind::Cherry:
        ShadedEllipse(p, c + QPointF(-r * 0.45, r * 0.3), r * 0.5, r * 0.5, col);
        ShadedEllipse(p, c + QPointF(r * 0.45, r * 0.35), r * 0.5, r * 0.5, col);
        p.setPen(QPen(QColor(70, 110, 40), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawLine(c + QPointF(-r * 0.45, -r * 0.1), c + QPointF(0, -r * 0.9));
        p.drawLine(c + QPointF(r * 0.45, -r * 0.05), c + QPointF(0, -r * 0.9));
        break;
    }
}

void Planks(QPainter& p, CGenRandom& rnd, const QRectF& r, const QColor& wood, bool vertical, double plank)
{
    p.save();
    p.setClipRect(r);
    p.setPen(Qt::NoPen);
    const double extent = vertical ? r.width() : r.height();
    for (double o = 0; o < extent; o += plank) {
        const QRectF b = vertical ? QRectF(r.left() + o, r.top(), plank, r.height())
                                  : QRectF(r.left(), r.top() + o, r.width(), plank);
        const QColor c = Shade(wood, rnd.Range(0.82, 1.12));
        QLinearGradient g(b.topLeft(), vertical ? b.topRight() : b.bottomLeft());
        g.setColorAt(0, Shade(c, 1.1));
        g.setColorAt(1, Shade(c, 0.8));
        p.setBrush(g);
        p.drawRect(b);
        // Grain lines and knots.
        p.setPen(QPen(Shade(c, 0.7), 0.8));
        for (int i = 0; i < 4; ++i) {
            const double t = rnd.Range(0.15, 0.85);
            if (vertical)
                p.drawLine(QPointF(b.left() + t * plank, b.top()),
                           QPointF(b.left() + t * plank + rnd.Range(-3, 3), b.bottom()));
            else
                p.drawLine(QPointF(b.left(), b.top() + t * plank),
                           QPointF(b.right(), b.top() + t * plank + rnd.Range(-3, 3)));
        }
        if (rnd.Chance(0.5)) {
            p.setBrush(Shade(c, 0.6));
            const QPointF k = vertical ? QPointF(b.center().x(), rnd.Range(b.top(), b.bottom()))
                                       : QPointF(rnd.Range(b.left(), b.right()), b.center().y());
            p.drawEllipse(k, 3, 2);
        }
        p.setPen(QPen(Shade(wood, 0.45), 1.2));
        if (vertical)
            p.drawLine(b.topLeft(), b.bottomLeft());
        else
            p.drawLine(b.topLeft(), b.topRight());
        p.setPen(Qt::NoPen);
    }
    p.restore();
}

void PriceTag(QPainter& p, QPointF at, const QString& text, double angle)
{
    p.save();
    p.translate(at);
    p.rotate(angle);
    p.setPen(QPen(QColor(150, 110, 60), 3));
    p.setBrush(QColor(40, 44, 40));
    p.drawRoundedRect(QRectF(-38, -18, 76, 36), 4, 4);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(20);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(250, 250, 240));
    p.drawText(QRectF(-38, -18, 76, 36), Qt::AlignCenter, text);
    p.restore();
}

void Crate(QPainter& p, CGenRandom& rnd, const QRectF& box, Kind kind, double fruitR, const QString& price)
{
    // Dark inside, then the fruit heaped up, then the front boards.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 40, 25));
    p.drawRect(QRectF(box.left() + 6, box.top() - 10, box.width() - 12, 30));
    const double front = box.top() + box.height() * 0.35;
    for (double y = box.top() - fruitR * 0.9; y < front + fruitR; y += fruitR * 1.15) {
        const double hump = std::sin(M_PI * 0.5) * 0;
        (void)hump;
        for (double x = box.left() + fruitR * 0.9 + rnd.Range(-4, 4); x < box.right() - fruitR * 0.6;
             x += fruitR * rnd.Range(1.5, 1.9)) {
            const double arch = std::sin(M_PI * (x - box.left()) / box.width()) * fruitR * 1.4;
            Fruit(p, rnd, kind, QPointF(x + rnd.Range(-3, 3), y - arch + rnd.Range(-3, 3)),
                  fruitR * rnd.Range(0.9, 1.1));
        }
    }
    const QRectF boards(box.left(), front, box.width(), box.bottom() - front);
    Planks(p, rnd, boards, QColor(190, 140, 80), false, boards.height() / 3);
    p.setPen(QPen(QColor(80, 50, 30), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(boards);
    p.setBrush(QColor(150, 100, 60));
    p.drawRect(QRectF(box.left(), front, 12, boards.height()));
    p.drawRect(QRectF(box.right() - 12, front, 12, boards.height()));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 90, 100));
    for (double ny : {front + 8, box.bottom() - 8}) {
        p.drawEllipse(QPointF(box.left() + 6, ny), 2, 2);
        p.drawEllipse(QPointF(box.right() - 6, ny), 2, 2);
    }
    PriceTag(p, QPointF(box.center().x() + rnd.Range(-40, 40), front + boards.height() * 0.5), price,
             rnd.Range(-6, 6));
}

void Awning(QPainter& p)
{
    QPainterPath cloth;
    cloth.moveTo(0, 0);
    cloth.lineTo(kW, 0);
    cloth.lineTo(kW, 118);
    const int n = 16;
    for (int i = n; i > 0; --i) {
        const double x1 = kW * (i - 1) / n;
        cloth.quadTo(QPointF((kW * i / n + x1) / 2, 150), QPointF(x1, 118));
    }
    cloth.closeSubpath();
    p.save();
    p.setClipPath(cloth);
    for (int i = 0; i < n; ++i) {
        QLinearGradient g(0, 0, 0, 150);
        const QColor c = i % 2 ? QColor(250, 244, 230) : QColor(210, 40, 50);
        g.setColorAt(0, Shade(c, 0.7));
        g.setColorAt(0.7, c);
        g.setColorAt(1, Shade(c, 0.85));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRect(QRectF(kW * i / n, 0, kW / n + 1, 160));
    }
    // Folds and wrinkles of the cloth.
    CGenRandom rnd(77);
    for (int i = 0; i < 6 * n; ++i) {
        const double x = rnd.Range(0, kW);
        p.setPen(QPen(rnd.Chance(0.5) ? QColor(0, 0, 0, 40) : QColor(255, 255, 255, 50), rnd.Range(1.5, 5)));
        p.drawLine(QPointF(x, rnd.Range(0, 40)), QPointF(x + rnd.Range(-10, 10), rnd.Range(90, 150)));
    }
    p.restore();
    p.setPen(QPen(QColor(120, 20, 30), 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(cloth);
    // Sign on the awning.
    QFont f(QStringLiteral("DejaVu Serif"));
    f.setPixelSize(44);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QPen(QColor(90, 50, 20), 3));
    p.setBrush(QColor(250, 220, 140));
    p.drawRoundedRect(QRectF(330, 22, 364, 64), 12, 12);
    p.setPen(QColor(140, 30, 30));
    p.drawText(QRectF(330, 22, 364, 64), Qt::AlignCenter, QStringLiteral("Fresh Fruit"));
}

void Bunting(QPainter& p, CGenRandom& rnd, double y, double sag)
{
    const QColor flags[] = {QColor(240, 70, 60), QColor(250, 200, 40), QColor(60, 160, 220),
                            QColor(120, 200, 90), QColor(240, 130, 200)};
    p.setPen(QPen(QColor(80, 60, 50), 1.5));
    p.setBrush(Qt::NoBrush);
    QPainterPath line;
    line.moveTo(0, y);
    line.quadTo(kW / 2, y + 2 * sag, kW, y);
    p.drawPath(line);
    for (int i = 0; i < 22; ++i) {
        const double t = (i + 0.5) / 22;
        const QPointF at = line.pointAtPercent(t);
        p.setBrush(flags[rnd.Int(0, 4)]);
        p.setPen(QPen(QColor(60, 40, 40), 0.8));
        p.drawPolygon(QPolygonF() << at + QPointF(-14, 0) << at + QPointF(14, 0) << at + QPointF(0, 30));
    }
}

void Jar(QPainter& p, CGenRandom& rnd, QPointF base, double w, double h, const QColor& jam)
{
    const QRectF body(base.x() - w / 2, base.y() - h, w, h);
    QLinearGradient g(body.topLeft(), body.topRight());
    g.setColorAt(0, Shade(jam, 1.3));
    g.setColorAt(0.3, jam);
    g.setColorAt(1, Shade(jam, 0.5));
    p.setPen(QPen(Shade(jam, 0.4), 1));
    p.setBrush(g);
    p.drawRoundedRect(body, 6, 6);
    p.setBrush(QColor(255, 255, 255, 90));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(body.left() + 4, body.top() + 6, 5, h - 14), 2, 2);
    // Cloth lid tied with a string.
    const QColor cloth = rnd.Chance(0.5) ? QColor(220, 50, 50) : QColor(60, 120, 200);
    p.setBrush(cloth);
    p.setPen(QPen(Shade(cloth, 0.5), 1));
    QPainterPath lid;
    lid.moveTo(body.left() - 5, body.top() + 10);
    lid.quadTo(body.center().x(), body.top() - 14, body.right() + 5, body.top() + 10);
    lid.lineTo(body.left() - 5, body.top() + 10);
    p.drawPath(lid);
    p.setBrush(QColor(255, 255, 255, 160));
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(body.left() + 4 + i * (w / 4), body.top() + 3), 2, 2);
    // Label.
    p.setBrush(QColor(250, 240, 210));
    p.setPen(QPen(QColor(120, 100, 60), 0.8));
    p.drawRect(QRectF(body.left() + 5, body.center().y(), w - 10, h * 0.28));
}

void Bananas(QPainter& p, QPointF top, double s)
{
    p.setPen(QPen(QColor(90, 70, 30), 3));
    p.drawLine(top, top + QPointF(0, s * 0.4));
    for (int i = 0; i < 6; ++i) {
        p.save();
        p.translate(top + QPointF(0, s * 0.35));
        p.rotate(-40 + i * 16);
        QPainterPath b;
        b.moveTo(0, 0);
        b.quadTo(s * 0.2, s * 0.55, s * 0.05, s * 1.0);
        b.quadTo(-s * 0.05, s * 0.55, -s * 0.08, 0);
        b.closeSubpath();
        QLinearGradient g(-s * 0.1, 0, s * 0.2, 0);
        g.setColorAt(0, QColor(255, 230, 80));
        g.setColorAt(1, QColor(210, 170, 30));
        p.setPen(QPen(QColor(140, 110, 20), 1));
        p.setBrush(g);
        p.drawPath(b);
        p.setBrush(QColor(80, 60, 20));
        p.drawEllipse(QPointF(s * 0.05, s * 1.0), 2.5, 2.5);
        p.restore();
    }
}

void Melon(QPainter& p, QPointF c, double r)
{
    QRadialGradient g(c - QPointF(r * 0.3, r * 0.3), r * 1.4);
    g.setColorAt(0, QColor(120, 190, 80));
    g.setColorAt(1, QColor(30, 90, 30));
    p.setPen(QPen(QColor(20, 60, 20), 1));
    p.setBrush(g);
    p.drawEllipse(c, r * 1.15, r);
    p.setPen(QPen(QColor(20, 70, 20, 200), 3));
    for (int i = -2; i <= 2; ++i)
        p.drawArc(QRectF(c.x() - r * 0.3 * std::abs(i) - 4, c.y() - r, r * 0.6 * std::abs(i) + 8, 2 * r),
                  i < 0 ? 90 * 16 : -90 * 16, 180 * 16);
}

void MelonSlice(QPainter& p, QPointF c, double r, double angle)
{
    p.save();
    p.translate(c);
    p.rotate(angle);
    p.setPen(QPen(QColor(30, 90, 30), 1));
    p.setBrush(QColor(40, 130, 50));
    p.drawChord(QRectF(-r, -r, 2 * r, 2 * r), 180 * 16, 180 * 16);
    p.setBrush(QColor(230, 250, 200));
    p.drawChord(QRectF(-r * 0.92, -r * 0.92, 1.84 * r, 1.84 * r), 180 * 16, 180 * 16);
    p.setBrush(QColor(240, 60, 70));
    p.setPen(Qt::NoPen);
    p.drawChord(QRectF(-r * 0.84, -r * 0.84, 1.68 * r, 1.68 * r), 180 * 16, 180 * 16);
    p.setBrush(QColor(30, 20, 20));
    for (int i = 0; i < 7; ++i) {
        const double a = M_PI * (0.15 + 0.7 * i / 6.0);
        p.drawEllipse(QPointF(std::cos(a) * r * 0.5, std::sin(a) * r * 0.5), 2, 3);
    }
    p.restore();
}

void Basket(QPainter& p, CGenRandom& rnd, const QRectF& b, Kind kind, double r)
{
    for (double x = b.left() + r; x < b.right() - r * 0.5; x += r * 1.5)
        Fruit(p, rnd, kind, QPointF(x + rnd.Range(-2, 2), b.top() - r * 0.2 + rnd.Range(-5, 3)), r);
    p.setPen(QPen(QColor(110, 70, 30), 1));
    p.setBrush(QColor(200, 150, 80));
    p.drawRoundedRect(b, 8, 8);
    p.setPen(QPen(QColor(140, 90, 40), 2));
    for (double wx = b.left() + 6; wx < b.right(); wx += 9)
        p.drawLine(QPointF(wx, b.top() + 2), QPointF(wx + 4, b.bottom() - 2));
    for (double wy = b.top() + 10; wy < b.bottom(); wy += 12)
        p.drawLine(QPointF(b.left() + 2, wy), QPointF(b.right() - 2, wy));
}

void Pineapple(QPainter& p, QPointF base, double h)
{
    // Crown of leaves.
    for (int i = -4; i <= 4; ++i) {
        QPainterPath leaf;
        const QPointF root = base + QPointF(0, -h * 1.25);
        const QPointF tip = root + QPointF(i * h * 0.12, -h * (0.9 - std::abs(i) * 0.12));
        leaf.moveTo(root + QPointF(-4, 0));
        leaf.quadTo(root + QPointF(i * h * 0.02, -h * 0.4), tip);
        leaf.quadTo(root + QPointF(i * h * 0.05 + 4, -h * 0.3), root + QPointF(4, 0));
        p.setPen(QPen(QColor(30, 90, 40), 1));
        p.setBrush(std::abs(i) % 2 ? QColor(60, 140, 60) : QColor(90, 170, 70));
        p.drawPath(leaf);
    }
    const QRectF body(base.x() - h * 0.42, base.y() - h * 1.3, h * 0.84, h * 1.3);
    QRadialGradient g(body.center() - QPointF(h * 0.15, h * 0.2), h * 0.8);
    g.setColorAt(0, QColor(250, 200, 80));
    g.setColorAt(1, QColor(170, 110, 30));
    p.setPen(QPen(QColor(110, 70, 20), 1));
    p.setBrush(g);
    p.drawEllipse(body);
    p.save();
    QPainterPath clip;
    clip.addEllipse(body);
    p.setClipPath(clip);
    p.setPen(QPen(QColor(120, 80, 20), 1.4));
    for (double d = -h * 1.6; d < h * 1.6; d += h * 0.16) {
        p.drawLine(QPointF(body.left() + d, body.top()), QPointF(body.left() + d + h * 1.3, body.bottom()));
        p.drawLine(QPointF(body.right() - d, body.top()), QPointF(body.right() - d - h * 1.3, body.bottom()));
    }
    p.restore();
}

// Warm light from the left, a little uneven, over the whole stall.
void Daylight(QImage& img)
{
    for (int y = 0; y < img.height(); ++y) {
        QRgb* row = Row(img, y);
        for (int x = 0; x < img.width(); ++x) {
            const double f = 1.12 - 0.30 * x / kW + 0.30 * (Fbm(x / 150.0, y / 150.0, 3, 401) - 0.5);
            const QColor c = Shade(QColor::fromRgb(row[x]), std::clamp(f, 0.6, 1.3));
            row[x] = c.rgb();
        }
    }
}

} // namespace

namespace Pictures {

QImage Market(int width, int height)
{
    QImage img(static_cast<int>(kW), static_cast<int>(kH), QImage::Format_RGB32);
    img.fill(QColor(70, 45, 28)); // the shadow under the crates
    CGenRandom rnd(4004);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // Back wall of the stall.
    Planks(p, rnd, QRectF(0, 0, kW, 470), QColor(120, 80, 50), true, 46);
    // Two shelves.
    const double shelf1 = 300, shelf2 = 450;
    for (double sy : {shelf1, shelf2}) {
        p.setPen(QPen(QColor(60, 35, 20), 1));
        p.setBrush(QColor(160, 110, 60));
        p.drawRect(QRectF(0, sy, kW, 14));
        p.setBrush(QColor(90, 60, 35));
        p.drawRect(QRectF(0, sy + 14, kW, 6));
    }
    const QColor jams[] = {QColor(170, 20, 40), QColor(240, 150, 20), QColor(110, 30, 90),
                           QColor(230, 90, 60), QColor(200, 170, 40), QColor(70, 20, 60)};
    for (int i = 0; i < 11; ++i) {
        const double x = 60 + i * 88 + rnd.Range(-8, 8);
        Jar(p, rnd, QPointF(x, shelf1), rnd.Range(46, 60), rnd.Range(60, 80), jams[i % 6]);
    }
    // Lower shelf: baskets, melons and a pineapple.
    Basket(p, rnd, QRectF(30, shelf2 - 50, 130, 50), Kind::Cherry, 16);
    Melon(p, QPointF(250, shelf2 - 44), 42);
    MelonSlice(p, QPointF(336, shelf2 - 2), 40, 0);
    Basket(p, rnd, QRectF(400, shelf2 - 46, 150, 46), Kind::Peach, 20);
    Pineapple(p, QPointF(620, shelf2 - 4), 50);
    Basket(p, rnd, QRectF(690, shelf2 - 50, 120, 50), Kind::Plum, 15);
    Melon(p, QPointF(900, shelf2 - 40), 38);
    MelonSlice(p, QPointF(980, shelf2 - 2), 34, 0);
    Awning(p);
    Bunting(p, rnd, 150, 30);
    Bananas(p, QPointF(60, 150), 120);
    Bananas(p, QPointF(960, 150), 110);
    // Crates of fruit in two rows, the front row lower and bigger.
    const struct {
        Kind kind;
        const char* price;
        double r;
    } back[] = {{Kind::Plum, "2.10", 20},
                {Kind::Lemon, "1.20", 21},
                {Kind::Grapes, "3.40", 40},
                {Kind::Pear, "2.60", 22}},
      frontRow[] = {{Kind::Orange, "1.90", 28},
                    {Kind::RedApple, "2.30", 27},
                    {Kind::Strawberry, "4.50", 22},
                    {Kind::GreenApple, "2.20", 27}};
    for (int i = 0; i < 4; ++i)
        Crate(p, rnd, QRectF(8 + i * 254, 500, 246, 140), back[i].kind, back[i].r,
              QString::fromLatin1(back[i].price));
    for (int i = 0; i < 4; ++i)
        Crate(p, rnd, QRectF(-20 + i * 266, 620, 262, 160), frontRow[i].kind, frontRow[i].r,
              QString::fromLatin1(frontRow[i].price));
    p.end();
    Daylight(img);
    return img.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace Pictures
