#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <cstdint>

class QPainter;
class CGenRandom;

// Small drawing helpers shared by the picture and resource-image painters.
namespace PaintKit {

double Clamp01(double v);
double SmoothStep(double edge0, double edge1, double x);
QColor Mix(const QColor& a, const QColor& b, double t);
QColor Shade(const QColor& c, double factor); // factor < 1 darkens, > 1 lightens
// A colour from a list of (position, colour) stops, position 0..1.
QColor Ramp(std::initializer_list<std::pair<double, QColor>> stops, double t);

// Smooth value noise in [0, 1] and its fractal sum (octaves halve in size).
double Noise(double x, double y, std::uint32_t seed);
double Fbm(double x, double y, int octaves, std::uint32_t seed);

// Direct pixel access for 32-bit images (Format_RGB32 / ARGB32).
inline QRgb* Row(QImage& img, int y)
{
    return reinterpret_cast<QRgb*>(img.scanLine(y));
}
void BlendPixel(QImage& img, int x, int y, const QColor& c, double alpha);

// A smooth soft round blob (radial gradient to transparent).
void Glow(QPainter& p, QPointF centre, double radius, const QColor& inner);
// A five-point star.
void Star(QPainter& p, QPointF centre, double outer, double inner, double rotationDeg);
// A simple flying bird as two arcs.
void Bird(QPainter& p, QPointF at, double span, const QColor& colour);

// Mirrors the rows above `waterline` into the rows below it, mixing with the
// water colour already there; ripples shift each row a little.
void Reflect(QImage& img, int x0, int x1, int waterline, int yEnd, double strength, std::uint32_t seed);

} // namespace PaintKit
