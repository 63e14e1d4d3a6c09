#include "platform/gdi/region.h"

#include "platform/gdi/scan_convert.h"

TRegion::TRegion(const TRect& rect)
{
    const TRect r = rect.Normalized();
    if (!r.IsEmpty())
        region_ = QRegion(r.left, r.top, r.Width(), r.Height());
}

TRegion::TRegion(const TRect& box, TEllipse) : region_(EllipseRegion(box))
{
}

TRegion::TRegion(const TPoint* points, int count, int fillMode)
{
    if (!points || count < 3)
        return;
    TRuns runs;
    PolygonRuns(points, count, fillMode == WINDING, runs);
    region_ = RunsToRegion(runs);
}

int TRegion::Kind() const
{
    if (region_.isEmpty())
        return NULLREGION;
    return region_.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int TRegion::GetRgnBox(TRect& box) const
{
    box = GetRgnBox();
    return Kind();
}

TRect TRegion::GetRgnBox() const
{
    if (region_.isEmpty())
        return TRect();
    const QRect b = region_.boundingRect();
    return TRect(b.left(), b.top(), b.left() + b.width(), b.top() + b.height());
}

bool TRegion::Touches(const TRect& rect) const
{
    const TRect r = rect.Normalized();
    return !r.IsEmpty() && region_.intersects(QRect(r.left, r.top, r.Width(), r.Height()));
}

int CombineRgn(TRegion& dest, const TRegion& a, const TRegion& b, int mode)
{
    switch (mode) {
    case RGN_AND:
        dest = a & b;
        break;
    case RGN_OR:
        dest = a | b;
        break;
    case RGN_XOR:
        dest = a ^ b;
        break;
    case RGN_DIFF:
        dest = a - b;
        break;
    case RGN_COPY:
        dest = a;
        break;
    default:
        return RGN_ERROR;
    }
    return dest.Kind();
}
