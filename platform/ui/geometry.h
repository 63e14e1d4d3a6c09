#pragma once
// Points, sizes and rectangles in pixels. A rectangle is left/top inclusive
// and right/bottom exclusive, as every window and painting call uses it.

#include <algorithm>

struct TPoint {
    int x = 0;
    int y = 0;

    constexpr TPoint() = default;
    constexpr TPoint(int x_, int y_) : x(x_), y(y_) {}
    constexpr bool operator==(const TPoint&) const = default;
    constexpr TPoint Offset(int dx, int dy) const { return {x + dx, y + dy}; }
};

struct TSize {
    int cx = 0;
    int cy = 0;

    constexpr TSize() = default;
    constexpr TSize(int cx_, int cy_) : cx(cx_), cy(cy_) {}
    constexpr bool operator==(const TSize&) const = default;
};

struct TRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr TRect() = default;
    constexpr TRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    constexpr TRect(const TPoint& origin, const TSize& extent)
        : left(origin.x), top(origin.y), right(origin.x + extent.cx), bottom(origin.y + extent.cy)
    {
    }
    constexpr bool operator==(const TRect&) const = default;

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr TSize Size() const { return {Width(), Height()}; }
    constexpr TPoint TopLeft() const { return {left, top}; }
    constexpr TPoint BottomRight() const { return {right, bottom}; }
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    constexpr bool IsNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    constexpr bool Contains(const TPoint& p) const
    {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    constexpr bool Touches(const TRect& r) const
    {
        return left < r.right && r.left < right && top < r.bottom && r.top < bottom;
    }
    constexpr TRect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    constexpr TRect Inflate(int dx, int dy) const { return {left - dx, top - dy, right + dx, bottom + dy}; }
    constexpr TRect Normalized() const
    {
        return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    }
    constexpr TRect Intersection(const TRect& r) const
    {
        return {std::max(left, r.left), std::max(top, r.top), std::min(right, r.right), std::min(bottom, r.bottom)};
    }
};
