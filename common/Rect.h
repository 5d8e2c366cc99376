#pragma once

// A rectangle in client pixels: left and top are inside, right and bottom are not.
struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    constexpr bool PtInRect(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    constexpr bool operator==(const CRect&) const = default;
};
