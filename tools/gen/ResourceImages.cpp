#include "tools/gen/ResourceImages.h"

#include "res/CursorHotSpot.h"
#include "tools/gen/GenRandom.h"
#include "tools/gen/PaintKit.h"
#include "tools/gen/Palette.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

using namespace PaintKit;

namespace {

const QColor kLightGrey(192, 192, 192);
const QColor kGold(244, 202, 46);

QFont Font(const char* family, int pixelSize, bool bold, bool smooth)
{
    QFont f(QString::fromLatin1(family));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(smooth ? QFont::PreferAntialias : QFont::NoAntialias);
    return f;
}

QImage Blank(int w, int h, const QColor& fill)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

// One square spiral turning inwards from its lower-left corner: sides of
// length L, L, L - s, L - s, L - 2s, ... so the turns lie s apart.
QPolygonF SquareSpiral(QPointF centre, double size, double step, bool mirror)
{
    QPointF at(centre.x() - size / 2, centre.y() + size / 2);
    QPolygonF poly;
    poly << at;
    const QPointF dirs[] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    for (int side = 0;; ++side) {
        const double len = size - step * (side / 2);
        if (len < step)
            break;
        at += dirs[side % 4] * len;
        poly << at;
    }
    if (mirror)
        for (QPointF& p : poly)
            p.setX(2 * centre.x() - p.x());
    return poly;
}

} // namespace

namespace ResourceImages {

QImage Background250(int scale)
{
    const int w = 109, h = 88;
    QImage img = Blank(w * scale, h * scale, kGold);
    QPainter p(&img);
    if (scale != 1)
        p.scale(scale, scale);
    // Spirals on a staggered grid, engraved into the gold with a shade just a
    // little darker and a glint just a little lighter, so that black text
    // reads the same on every part of the pattern. Each spiral is painted
    // again one tile over in every direction so that the edges meet when the
    // bitmap is tiled. The lines are one device pixel wide, so the larger
    // version is engraved finer.
    const double line = 1.0 / scale;
    const QColor groove(220, 175, 40), glint(250, 218, 96), diamond(234, 190, 42);
    const struct {
        QPointF c;
        bool mirror;
    } spirals[] = {{{27, 22}, false}, {{81, 22}, true}, {{0, 66}, true}, {{54, 66}, false}};
    const auto segments = [&p, line](const QPolygonF& poly, const QColor& colour) {
        for (int i = 0; i + 1 < poly.size(); ++i) {
            const QRectF r = QRectF(poly[i], poly[i + 1]).normalized();
            p.fillRect(QRectF(r.topLeft(), r.size() + QSizeF(line, line)), colour);
        }
    };
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            for (const auto& s : spirals) {
                const QPointF c = s.c + QPointF(dx * w, dy * h);
                const QPolygonF spiral = SquareSpiral(c, 32, 6, s.mirror);
                segments(spiral.translated(line, line), glint);
                segments(spiral, groove);
                // A small diamond between the spirals.
                const QPointF m = c + QPointF(27, 22);
                p.setPen(Qt::NoPen);
                p.setBrush(diamond);
                p.drawPolygon(QPolygonF() << m + QPointF(0, -3) << m + QPointF(3, 0) << m + QPointF(0, 3)
                                          << m + QPointF(-3, 0));
            }
    p.end();
    return Palette::ToIndexed(img, Palette::MedianCut(img, 16), false);
}

QImage Button(const QString& text, bool pressed, int scale)
{
    const int w = 130, h = 44;
    QImage img = Blank(w * scale, h * scale, QColor(120, 60, 10));
    QPainter p(&img);
    if (scale != 1)
        p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    // Border: a band of little gold diamonds on dark brown.
    for (int x = 0; x < w; x += 6)
        for (int y : {1, h - 5}) {
            p.setPen(Qt::NoPen);
            p.setBrush(kGold);
            p.drawPolygon(QPolygonF() << QPointF(x + 3, y) << QPointF(x + 5.5, y + 2) << QPointF(x + 3, y + 4)
                                      << QPointF(x + 0.5, y + 2));
        }
    for (int y = 6; y < h - 6; y += 6)
        for (int x : {1, w - 5}) {
            p.setBrush(kGold);
            p.drawPolygon(QPolygonF() << QPointF(x + 2, y) << QPointF(x + 4, y + 3) << QPointF(x + 2, y + 6)
                                      << QPointF(x, y + 3));
        }
    // The plate with its bevel: raised normally, sunk in when pressed.
    const QRectF plate(7, 7, w - 14, h - 14);
    const QColor light(255, 226, 160), dark(110, 50, 0);
    p.setPen(Qt::NoPen);
    p.setBrush(pressed ? dark : light);
    p.drawPolygon(QPolygonF() << plate.bottomLeft() << plate.topLeft() << plate.topRight()
                              << plate.topRight() + QPointF(-3, 3) << plate.topLeft() + QPointF(3, 3)
                              << plate.bottomLeft() + QPointF(3, -3));
    p.setBrush(pressed ? light : dark);
    p.drawPolygon(QPolygonF() << plate.topRight() << plate.bottomRight() << plate.bottomLeft()
                              << plate.bottomLeft() + QPointF(3, -3) << plate.bottomRight() + QPointF(-3, -3)
                              << plate.topRight() + QPointF(-3, 3));
    const QRectF face = plate.adjusted(3, 3, -3, -3);
    QLinearGradient g(face.topLeft(), face.bottomLeft());
    g.setColorAt(0, pressed ? QColor(220, 110, 10) : QColor(255, 170, 50));
    g.setColorAt(1, pressed ? QColor(250, 150, 40) : QColor(236, 120, 10));
    p.setBrush(g);
    p.drawRect(face);
    // The largest text size that fits the face.
    int size = 20;
    QFont f = Font("Liberation Sans", size, true, true);
    while (size > 8 && QFontMetricsF(f).horizontalAdvance(text) > face.width() - 8)
        f = Font("Liberation Sans", --size, true, true);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(face.translated(pressed ? 1 : 0, pressed ? 1 : 0), Qt::AlignCenter, text);
    p.end();
    return img;
}

QImage Congratulation251(int scale)
{
    const int w = 150, h = 183;
    QImage img = Blank(w * scale, h * scale, QColor(255, 220, 90));
    CGenRandom rnd(251);
    QPainter p(&img);
    if (scale != 1)
        p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    // Sunburst.
    const QPointF c(75, 84);
    for (int i = 0; i < 24; ++i) {
        const double a0 = i * 2 * M_PI / 24, a1 = (i + 0.5) * 2 * M_PI / 24;
        p.setPen(Qt::NoPen);
        p.setBrush(i % 2 ? QColor(255, 180, 60) : QColor(255, 200, 80));
        p.drawPolygon(QPolygonF() << c << c + QPointF(std::cos(a0) * 200, std::sin(a0) * 200)
                                  << c + QPointF(std::cos(a1) * 200, std::sin(a1) * 200));
    }
    Glow(p, c, 70, QColor(255, 255, 220, 220));
    // Balloons on strings.
    const struct {
        QPointF at;
        QColor col;
    } balloons[] = {
        {{22, 30}, QColor(230, 40, 60)}, {{128, 26}, QColor(40, 130, 230)}, {{112, 56}, QColor(80, 190, 70)}};
    for (const auto& b : balloons) {
        p.setPen(QPen(QColor(90, 70, 60), 1));
        p.drawLine(b.at + QPointF(0, 16), b.at + QPointF(4, 56));
        QRadialGradient g(b.at - QPointF(4, 5), 16);
        g.setColorAt(0, Shade(b.col, 1.6));
        g.setColorAt(1, b.col);
        p.setPen(QPen(Shade(b.col, 0.6), 1));
        p.setBrush(g);
        p.drawEllipse(b.at, 11, 14);
    }
    // Trophy cup.
    QLinearGradient gold(45, 0, 105, 0);
    gold.setColorAt(0, QColor(255, 240, 150));
    gold.setColorAt(0.4, QColor(250, 200, 40));
    gold.setColorAt(1, QColor(170, 110, 10));
    p.setPen(QPen(QColor(120, 70, 0), 1.5));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(200, 140, 20), 5));
    p.drawArc(QRectF(33, 52, 26, 30), 90 * 16, 180 * 16);
    p.drawArc(QRectF(91, 52, 26, 30), -90 * 16, 180 * 16);
    p.setPen(QPen(QColor(120, 70, 0), 1.5));
    p.setBrush(gold);
    QPainterPath cup;
    cup.moveTo(44, 50);
    cup.lineTo(106, 50);
    cup.cubicTo(106, 90, 92, 104, 75, 106);
    cup.cubicTo(58, 104, 44, 90, 44, 50);
    p.drawPath(cup);
    p.drawRect(QRectF(70, 106, 10, 16));
    p.drawRoundedRect(QRectF(54, 122, 42, 10), 3, 3);
    p.drawRect(QRectF(48, 132, 54, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255));
    Star(p, QPointF(75, 74), 14, 6, 0);
    // Confetti.
    const QColor confetti[] = {QColor(230, 40, 60), QColor(40, 130, 230), QColor(80, 190, 70),
                               QColor(160, 60, 200), QColor(255, 255, 255)};
    for (int i = 0; i < 70; ++i) {
        const QPointF at(rnd.Range(0, w), rnd.Range(0, 150));
        if (std::hypot(at.x() - 75, at.y() - 90) < 42)
            continue;
        p.save();
        p.translate(at);
        p.rotate(rnd.Range(0, 180));
        p.setBrush(confetti[rnd.Int(0, 4)]);
        p.drawRect(QRectF(-2.5, -1.2, 5, 2.4));
        p.restore();
    }
    // Ribbon banner with a cheer.
    p.setPen(QPen(QColor(120, 0, 20), 1));
    p.setBrush(QColor(200, 20, 40));
    p.drawPolygon(QPolygonF() << QPointF(2, 152) << QPointF(16, 152) << QPointF(16, 176) << QPointF(2, 176)
                              << QPointF(8, 164));
    p.drawPolygon(QPolygonF() << QPointF(148, 152) << QPointF(134, 152) << QPointF(134, 176)
                              << QPointF(148, 176) << QPointF(142, 164));
    p.setBrush(QColor(230, 40, 60));
    p.drawRect(QRectF(12, 148, 126, 26));
    p.setFont(Font("DejaVu Sans", 17, true, true));
    p.setPen(Qt::white);
    p.drawText(QRectF(12, 148, 126, 26), Qt::AlignCenter, QStringLiteral("Well done!"));
    p.end();
    return img;
}

namespace {
// The small pictures of the about box are drawn crisp, pixel for pixel, in
// sixteen colours; their larger versions are drawn smooth in true colour.
QImage Classic(const QImage& drawn, int scale)
{
    return scale == 1 ? Palette::ToIndexed(drawn, Palette::Classic16(), false) : drawn;
}

// Draws the crisp picture smooth at a larger scale. A crisp one-pixel line at
// x covers the pixel from x to x + 1; half a pixel over, the smooth line does too.
void Smooth(QPainter& p, int scale)
{
    p.scale(scale, scale);
    p.translate(0.5, 0.5);
    p.setRenderHint(QPainter::Antialiasing);
}
} // namespace

QImage MailLink237(int scale)
{
    QImage img = Blank(56 * scale, 27 * scale, kLightGrey);
    QPainter p(&img);
    if (scale != 1)
        Smooth(p, scale);
    // Envelope with a red seal.
    const QRect env(16, 1, 24, 15);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(env);
    p.drawLine(env.topLeft(), QPoint(28, 10));
    p.drawLine(QPoint(28, 10), env.topRight());
    p.drawLine(env.bottomLeft(), QPoint(25, 9));
    p.drawLine(env.bottomRight(), QPoint(31, 9));
    p.setPen(QColor(128, 0, 0));
    p.setBrush(QColor(255, 0, 0));
    p.drawRect(QRect(26, 9, 4, 3));
    p.setFont(Font("DejaVu Sans", 9, true, scale != 1));
    p.setPen(QColor(0, 0, 128));
    p.drawText(QRect(0, 16, 56, 11), Qt::AlignCenter, QStringLiteral("Mail me!"));
    p.end();
    return Classic(img, scale);
}

QImage ArrowUp253(int scale)
{
    QImage img = Blank(48 * scale, 61 * scale, kLightGrey);
    QPainter p(&img);
    if (scale != 1)
        Smooth(p, scale);
    QPolygon arrow;
    arrow << QPoint(24, 2) << QPoint(45, 26) << QPoint(32, 26) << QPoint(32, 58) << QPoint(16, 58)
          << QPoint(16, 26) << QPoint(3, 26);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(128, 128, 128));
    p.drawPolygon(arrow.translated(2, 2)); // shadow
    p.setPen(QColor(128, 0, 0));
    p.setBrush(QColor(255, 0, 0));
    p.drawPolygon(arrow);
    p.setPen(QColor(255, 255, 255));
    p.drawLine(QPoint(18, 28), QPoint(18, 55));
    p.drawLine(QPoint(8, 25), QPoint(23, 8));
    p.end();
    return Classic(img, scale);
}

namespace {
// Text with a one-pixel white halo, so that it stays readable where the light
// grey around it lets a busy picture show through.
void HaloText(QPainter& p, const QRect& r, const QString& text, const QColor& colour)
{
    const int flags = Qt::AlignLeft | Qt::AlignVCenter;
    p.setPen(Qt::white);
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (dx != 0 || dy != 0)
                p.drawText(r.translated(dx, dy), flags, text);
        }
    }
    p.setPen(colour);
    p.drawText(r, flags, text);
}
} // namespace

QImage Please()
{
    QImage img = Blank(109, 50, kLightGrey);
    QPainter p(&img);
    p.setFont(Font("DejaVu Sans", 11, true, false));
    HaloText(p, QRect(2, 1, 82, 16), QStringLiteral("Please"), QColor(0, 0, 128));
    p.setFont(Font("DejaVu Sans", 9, false, false));
    HaloText(p, QRect(2, 17, 84, 12), QStringLiteral("click the link"), Qt::black);
    HaloText(p, QRect(2, 28, 84, 12), QStringLiteral("and send me"), Qt::black);
    HaloText(p, QRect(2, 37, 84, 12), QStringLiteral("a mail!"), QColor(128, 0, 0));
    // Arrow to the right.
    QPolygon arrow;
    arrow << QPoint(84, 18) << QPoint(95, 18) << QPoint(95, 11) << QPoint(107, 25) << QPoint(95, 39)
          << QPoint(95, 32) << QPoint(84, 32);
    p.setPen(QColor(128, 0, 0));
    p.setBrush(QColor(255, 0, 0));
    p.drawPolygon(arrow);
    p.end();
    return Palette::ToIndexed(img, Palette::Classic16(), false);
}

namespace {
// One side of a jigsaw piece from a to b, with a knob bulging to the left of
// the direction of travel when `knob` is +1, to the right when -1, none at 0.
QPolygonF JigsawEdge(QPointF a, QPointF b, int knob)
{
    if (knob == 0)
        return QPolygonF() << a << b;
    const QPointF d = b - a;
    const QPointF n = QPointF(d.y(), -d.x()) * knob; // left of travel in screen coordinates
    const auto at = [&](double t, double k) { return a + d * t + n * k; };
    QPainterPath path;
    path.moveTo(a);
    path.lineTo(at(0.38, 0));
    path.cubicTo(at(0.44, 0.02), at(0.40, 0.12), at(0.37, 0.17));
    path.cubicTo(at(0.33, 0.26), at(0.42, 0.31), at(0.50, 0.31));
    path.cubicTo(at(0.58, 0.31), at(0.67, 0.26), at(0.63, 0.17));
    path.cubicTo(at(0.60, 0.12), at(0.56, 0.02), at(0.62, 0));
    path.lineTo(b);
    return path.toSubpathPolygons().value(0);
}
} // namespace

QImage Bitmap1()
{
    QImage img = Blank(100, 100, kLightGrey);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(50, 50);
    p.rotate(-14);
    const double s = 33; // half the square
    // Corner points of the 2 x 2 grid.
    const auto P = [s](int i, int j) { return QPointF(-s + i * s, -s + j * s); };
    // Knob direction of the inner edges, seen from the edge's own direction.
    const struct {
        QColor col;
        int i, j;
        int right, bottom, left, top; // inner sides only
    } pieces[] = {{QColor(220, 30, 40), 0, 0, +1, +1, 0, 0},
                  {QColor(40, 80, 220), 1, 0, 0, -1, -1, 0},
                  {QColor(250, 210, 30), 0, 1, -1, 0, 0, -1},
                  {QColor(40, 170, 60), 1, 1, 0, 0, +1, +1}};
    for (const auto& pc : pieces) {
        QPolygonF poly;
        const QPointF tl = P(pc.i, pc.j), tr = P(pc.i + 1, pc.j), br = P(pc.i + 1, pc.j + 1),
                      bl = P(pc.i, pc.j + 1);
        // Clockwise: top, right, bottom, left. "Left of travel" on a clockwise
        // walk points out of the piece, so +1 is a knob, -1 a hole.
        poly << JigsawEdge(tl, tr, pc.top) << JigsawEdge(tr, br, pc.right) << JigsawEdge(br, bl, pc.bottom)
             << JigsawEdge(bl, tl, pc.left);
        QLinearGradient g(tl, br);
        g.setColorAt(0, Shade(pc.col, 1.35));
        g.setColorAt(1, Shade(pc.col, 0.7));
        p.setPen(QPen(Shade(pc.col, 0.45), 1.2));
        p.setBrush(g);
        p.drawPolygon(poly);
    }
    p.end();
    return Palette::ToIndexed(img, Palette::MedianCut(img, 256, {kLightGrey.rgb()}), false);
}

namespace {
// The icon drawn large: a framed 3 x 3 puzzle of a sunset over the sea with
// the last tile missing and one tile sliding towards the gap.
QImage IconArt(int size)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    // Small icons are drawn crisp, pixel for pixel; large ones smooth.
    p.setRenderHint(QPainter::Antialiasing, size > 32);
    p.setRenderHint(QPainter::SmoothPixmapTransform, size > 32);
    p.scale(size / 256.0, size / 256.0);
    p.setPen(QPen(QColor(20, 30, 70), 6));
    p.setBrush(QColor(30, 50, 110));
    p.drawRoundedRect(QRectF(6, 6, 244, 244), 30, 30);
    const QRectF board(26, 26, 204, 204);
    // The picture: sky, sun, sea.
    QImage pic(204, 204, QImage::Format_ARGB32);
    {
        QPainter q(&pic);
        q.setRenderHint(QPainter::Antialiasing);
        QLinearGradient sky(0, 0, 0, 120);
        sky.setColorAt(0, QColor(120, 60, 160));
        sky.setColorAt(1, QColor(255, 150, 60));
        q.fillRect(QRectF(0, 0, 204, 124), sky);
        q.setPen(Qt::NoPen);
        q.setBrush(QColor(255, 230, 90));
        q.drawEllipse(QPointF(102, 118), 46, 46);
        QLinearGradient sea(0, 124, 0, 204);
        sea.setColorAt(0, QColor(40, 120, 200));
        sea.setColorAt(1, QColor(20, 50, 130));
        q.fillRect(QRectF(0, 124, 204, 80), sea);
        q.setBrush(QColor(255, 240, 150));
        for (int i = 0; i < 4; ++i)
            q.drawRect(QRectF(70 + i * 6, 134 + i * 16, 64 - i * 12, 6));
    }
    const double t = 204.0 / 3;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            if (r == 2 && c == 2)
                continue;
            // The tile left of the gap is on its way into it.
            const double shift = (r == 2 && c == 1) ? t * 0.3 : 0;
            const QRectF dst(board.left() + c * t + 3 + shift, board.top() + r * t + 3, t - 6, t - 6);
            p.drawImage(dst, pic, QRectF(c * t + 3, r * t + 3, t - 6, t - 6));
            p.setPen(QPen(QColor(255, 255, 255, 200), 4));
            p.setBrush(Qt::NoBrush);
            p.drawRect(dst);
        }
    p.end();
    return img;
}

QImage ToSixteenColours(const QImage& art)
{
    // Transparent stays transparent (index 0); the rest gets 15 colours.
    QImage opaque = art.convertToFormat(QImage::Format_ARGB32);
    QImage flat(opaque.size(), QImage::Format_RGB32);
    for (int y = 0; y < opaque.height(); ++y)
        for (int x = 0; x < opaque.width(); ++x) {
            const QRgb c = opaque.pixel(x, y);
            flat.setPixel(x, y, qAlpha(c) < 128 ? qRgb(255, 0, 255) : (c | 0xFF000000u));
        }
    QList<QRgb> palette = Palette::MedianCut(flat, 16, {qRgb(255, 0, 255)});
    QImage indexed = Palette::ToIndexed(flat, palette, false);
    palette[0] = qRgba(0, 0, 0, 0);
    indexed.setColorTable(palette);
    return indexed;
}
} // namespace

QImage Icon(int size)
{
    if (size <= 32)
        return ToSixteenColours(IconArt(size));
    return IconArt(size);
}

QImage HandCursor(int scale)
{
    // Pixel art: X black outline, o white, . transparent. The finger tip is
    // the top of the index finger (column 5, row 0 of the art).
    static const char* const art[] = {
        ".....XX..........", "....XooX.........", "....XooX.........", "....XooX.........",
        "....XooX.........", "....XooXXX.......", "....XooXooXXX....", "....XooXooXooXXX.",
        "....XooXooXooXooX", "XX..XooXooXooXooX", "XoX.XoooooooooooX", "XooXXoooooooooooX",
        ".XooXoooooooooooX", "..XoooooooooooooX", "..XoooooooooooooX", "...XooooooooooooX",
        "...XoooooooooooX.", "....XooooooooooX.", "....XooooooooooX.", ".....XooooooooX..",
        ".....XooooooooX..", ".....XXXXXXXXXX.."};
    constexpr int rows = static_cast<int>(sizeof(art) / sizeof(art[0]));
    constexpr int cols = 17;
    const auto at = [](int c, int r) { return r < 0 || r >= rows || c < 0 || c >= cols ? '.' : art[r][c]; };
    QImage img(32 * scale, 32 * scale, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    const int ox = kHandCursorHotSpotX - 5, oy = kHandCursorHotSpotY;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            if (at(c, r) == '.')
                continue;
            for (int dy = 0; dy < scale; ++dy)
                for (int dx = 0; dx < scale; ++dx) {
                    bool white = at(c, r) == 'o';
                    if (!white && scale > 1) {
                        // Larger, the outline stays one pixel thin: the half of
                        // an edge pixel that faces the inside of the hand is white.
                        const int sx = dx < scale / 2 ? -1 : 1, sy = dy < scale / 2 ? -1 : 1;
                        white = (at(c + sx, r) == 'o' && at(c - sx, r) == '.') ||
                                (at(c, r + sy) == 'o' && at(c, r - sy) == '.');
                    }
                    img.setPixel((ox + c) * scale + dx, (oy + r) * scale + dy,
                                 white ? qRgba(255, 255, 255, 255) : qRgba(0, 0, 0, 255));
                }
        }
    // ... but white never touches the outside, not even at a corner.
    const QImage thinned = img;
    const auto outside = [&thinned](int x, int y) {
        return !thinned.valid(x, y) || qAlpha(thinned.pixel(x, y)) == 0;
    };
    for (int y = 0; y < img.height() && scale > 1; ++y)
        for (int x = 0; x < img.width(); ++x)
            for (int n = 0; n < 9 && img.pixel(x, y) == qRgba(255, 255, 255, 255); ++n)
                if (outside(x + n % 3 - 1, y + n / 3 - 1))
                    img.setPixel(x, y, qRgba(0, 0, 0, 255));
    return img;
}

} // namespace ResourceImages
