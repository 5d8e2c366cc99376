#pragma once

#include <QImage>

// The four puzzle pictures, painted from code. Each is a finished 32-bit
// image; the caller stores it at the depth it wants.
namespace Pictures {

QImage Harbour(int width, int height);      // a harbour town at sunset
QImage Reef(int width, int height);         // a coral reef under water
QImage MountainLake(int width, int height); // a mountain lake with forest
QImage Market(int width, int height);       // a fruit market stall

} // namespace Pictures
