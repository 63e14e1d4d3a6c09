#pragma once
// A region: a set of pixels made of rectangles, ellipses and polygons and
// their combinations. Its coordinates are those it was made in: FillRgn maps
// them from logical units like any shape; SelectClipRgn and window
// invalidation take them as device units. Shapes follow the pixel rules of
// the drawing calls (right and bottom edges outside).

#include "platform/gdi/gdi_types.h"

#include <QRegion>

class TRegion {
public:
    enum TEllipse { Ellipse };

    TRegion() = default;  // empty
    explicit TRegion(const TRect& rect);
    TRegion(const TRect& box, TEllipse);
    // fillMode ALTERNATE or WINDING; fewer than 3 points give an empty region.
    TRegion(const TPoint* points, int count, int fillMode);
    explicit TRegion(const QRegion& region) : region_(region) {}

    bool IsEmpty() const { return region_.isEmpty(); }
    // NULLREGION, SIMPLEREGION (one rectangle) or COMPLEXREGION.
    int Kind() const;
    // The bounding box; the null rectangle for an empty region. The answer is Kind().
    int GetRgnBox(TRect& box) const;
    TRect GetRgnBox() const;
    bool Contains(const TPoint& point) const { return region_.contains(QPoint(point.x, point.y)); }
    bool Touches(const TRect& rect) const;

    TRegion& operator&=(const TRegion& r) { region_ &= r.region_; return *this; }
    TRegion& operator|=(const TRegion& r) { region_ |= r.region_; return *this; }
    TRegion& operator^=(const TRegion& r) { region_ ^= r.region_; return *this; }
    TRegion& operator-=(const TRegion& r) { region_ -= r.region_; return *this; }
    TRegion& operator+=(const TSize& offset) { region_.translate(offset.cx, offset.cy); return *this; }
    TRegion operator&(const TRegion& r) const { return TRegion(region_ & r.region_); }
    TRegion operator|(const TRegion& r) const { return TRegion(region_ | r.region_); }
    TRegion operator^(const TRegion& r) const { return TRegion(region_ ^ r.region_); }
    TRegion operator-(const TRegion& r) const { return TRegion(region_ - r.region_); }
    bool operator==(const TRegion& r) const { return region_ == r.region_; }

    const QRegion& GetQRegion() const { return region_; }

private:
    QRegion region_;
};

// dest = a (mode) b with RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF or RGN_COPY (a
// alone); the answer is the kind of the result, RGN_ERROR for another mode.
int CombineRgn(TRegion& dest, const TRegion& a, const TRegion& b, int mode);
