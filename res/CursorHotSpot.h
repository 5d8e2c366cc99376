#pragma once

// The hand cursor (resource 233, res/233.png) points with the tip of its index
// finger; this is the pixel that clicks.
constexpr int kHandCursorHotSpotX = 8;
constexpr int kHandCursorHotSpotY = 1;
