#pragma once
// Points, sizes and rectangles in integer device or logical units.
//
// A rectangle covers the pixels from (left, top) up to but not including
// (right, bottom): its width is right - left, and a point on the right or
// bottom edge is outside it. A rectangle whose right is not greater than its
// left (or bottom not greater than top) is empty. No Qt here: the record
// codecs use these types too.
//
// Offset, MovedTo, Inflate, Normalized and Intersection give a new value and
// leave the old one as it is (the compiler warns when the result is
// dropped); Normalize and the compound operators (+=, &=, |=) change it.

#include <algorithm>

struct TSize {
    int cx = 0;
    int cy = 0;

    constexpr TSize() = default;
    constexpr TSize(int dx, int dy) : cx(dx), cy(dy) {}

    constexpr bool operator==(const TSize&) const = default;
    constexpr TSize operator+(const TSize& s) const { return {cx + s.cx, cy + s.cy}; }
    constexpr TSize operator-(const TSize& s) const { return {cx - s.cx, cy - s.cy}; }
    constexpr TSize operator-() const { return {-cx, -cy}; }
};

struct TPoint {
    int x = 0;
    int y = 0;

    constexpr TPoint() = default;
    constexpr TPoint(int px, int py) : x(px), y(py) {}

    constexpr bool operator==(const TPoint&) const = default;
    [[nodiscard]] constexpr TPoint Offset(int dx, int dy) const { return {x + dx, y + dy}; }
    constexpr TPoint operator+(const TSize& s) const { return {x + s.cx, y + s.cy}; }
    constexpr TPoint operator-(const TSize& s) const { return {x - s.cx, y - s.cy}; }
    constexpr TSize operator-(const TPoint& p) const { return {x - p.x, y - p.y}; }
    constexpr TPoint operator-() const { return {-x, -y}; }
    constexpr TPoint& operator+=(const TSize& s) { return *this = *this + s; }
    constexpr TPoint& operator-=(const TSize& s) { return *this = *this - s; }
};

struct TRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr TRect() = default;
    constexpr TRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    constexpr TRect(const TPoint& topLeft, const TPoint& bottomRight)
        : left(topLeft.x), top(topLeft.y), right(bottomRight.x), bottom(bottomRight.y)
    {
    }
    constexpr TRect(const TPoint& origin, const TSize& extent)
        : left(origin.x), top(origin.y), right(origin.x + extent.cx), bottom(origin.y + extent.cy)
    {
    }

    constexpr bool operator==(const TRect&) const = default;

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr TSize Size() const { return {Width(), Height()}; }
    constexpr TPoint TopLeft() const { return {left, top}; }
    constexpr TPoint TopRight() const { return {right, top}; }
    constexpr TPoint BottomLeft() const { return {left, bottom}; }
    constexpr TPoint BottomRight() const { return {right, bottom}; }

    // Empty: covers no pixel (zero or negative width or height).
    constexpr bool IsEmpty() const { return left >= right || top >= bottom; }
    // Null: all four coordinates zero.
    constexpr bool IsNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }

    constexpr void Set(int l, int t, int r, int b) { *this = TRect(l, t, r, b); }
    constexpr void SetEmpty() { *this = TRect(); }

    // Left not greater than right and top not greater than bottom, by swapping.
    constexpr TRect& Normalize()
    {
        if (left > right)
            std::swap(left, right);
        if (top > bottom)
            std::swap(top, bottom);
        return *this;
    }
    [[nodiscard]] constexpr TRect Normalized() const
    {
        TRect r = *this;
        return r.Normalize();
    }

    constexpr bool Contains(const TPoint& p) const
    {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    // Whether r lies wholly inside.
    constexpr bool Contains(const TRect& r) const
    {
        return r.left >= left && r.right <= right && r.top >= top && r.bottom <= bottom;
    }
    // Whether the two share at least one pixel.
    constexpr bool Touches(const TRect& r) const
    {
        return !IsEmpty() && !r.IsEmpty() && r.left < right && left < r.right && r.top < bottom &&
               top < r.bottom;
    }

    [[nodiscard]] constexpr TRect Offset(int dx, int dy) const
    {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    [[nodiscard]] constexpr TRect MovedTo(int x, int y) const { return Offset(x - left, y - top); }
    // Each side moved outwards by (dx, dy); negative values shrink.
    [[nodiscard]] constexpr TRect Inflate(int dx, int dy) const
    {
        return {left - dx, top - dy, right + dx, bottom + dy};
    }
    [[nodiscard]] constexpr TRect Inflate(const TSize& s) const { return Inflate(s.cx, s.cy); }

    // The overlap; the null rectangle when they share no pixel.
    [[nodiscard]] constexpr TRect Intersection(const TRect& r) const
    {
        const TRect x(std::max(left, r.left), std::max(top, r.top), std::min(right, r.right),
                      std::min(bottom, r.bottom));
        return x.IsEmpty() ? TRect() : x;
    }
    // The smallest rectangle holding both; an empty one adds nothing.
    [[nodiscard]] constexpr TRect Union(const TRect& r) const
    {
        if (r.IsEmpty())
            return *this;
        if (IsEmpty())
            return r;
        return {std::min(left, r.left), std::min(top, r.top), std::max(right, r.right),
                std::max(bottom, r.bottom)};
    }

    constexpr TRect operator&(const TRect& r) const { return Intersection(r); }
    constexpr TRect operator|(const TRect& r) const { return Union(r); }
    constexpr TRect& operator&=(const TRect& r) { return *this = Intersection(r); }
    constexpr TRect& operator|=(const TRect& r) { return *this = Union(r); }
    constexpr TRect operator+(const TSize& s) const { return Offset(s.cx, s.cy); }
    constexpr TRect operator-(const TSize& s) const { return Offset(-s.cx, -s.cy); }
    constexpr TRect& operator+=(const TSize& s) { return *this = Offset(s.cx, s.cy); }
    constexpr TRect& operator-=(const TSize& s) { return *this = Offset(-s.cx, -s.cy); }
};
