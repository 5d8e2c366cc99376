#pragma once

#include <QColor>

// The golden face behind the game window's move counter and clock and behind
// the group-box captions of "Player Setup".
constexpr QRgb kGoldenFace = qRgb(244, 202, 46);

// The thin border of a window without a caption (the pattern preview).
constexpr QRgb kWindowFrame = qRgb(0, 0, 0);

// The band of extra lines at the foot of "Congratulation": a light cream that
// lets the golden pattern show faintly through, and its top edge.
constexpr QRgb kCongratsStrip = qRgba(255, 250, 232, 225);
constexpr QRgb kCongratsStripEdge = qRgb(150, 110, 20);

// The frame that marks the tile a hint names: bright dashes running round the
// tile over a dark band, so that it reads on light and dark pictures alike.
constexpr QRgb kHintFrame = qRgb(255, 230, 0);
constexpr QRgb kHintFrameShadow = qRgb(40, 20, 90);
