#pragma once

// The hand cursor (resource 233, res/233.png) points with the tip of its index
// finger; this is the pixel that clicks. In its double-size version
// (res/233@2x.png) the tip is at twice these coordinates.
constexpr int kHandCursorHotSpotX = 8;
constexpr int kHandCursorHotSpotY = 1;
