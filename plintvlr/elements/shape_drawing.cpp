#include "plintvlr/elements/shape_drawing.h"

#include "platform/gdi/dc.h"
#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/lines_elem.h"
#include "plintvlr/elements/palette.h"

#include <algorithm>

TColor ShapeColor(const SizeRect& element, const TDC& dc)
{
    const int index = element.GetDynBlink().GetColorIndex(element.GetColors(), element.GetAnimationStep());
    if (dc.IsPrinter() && PaletteIndex(index) == kWhite)
        return PaletteColor(kBlack);
    return PaletteColor(index);
}

void DescribeColorOrShowHide(const ColorPoint& colors, const DynamicData& showHide, ReportLines& lines)
{
    if (IsColorPanel())
        colors.Describe(true, lines);
    else
        showHide.Describe(lines);
}

bool IsCanvasAnimating()
{
    const ActivePageEditor* editor = GetActivePageEditor();
    return editor && editor->IsAnimating();
}

bool SegmentReaches(const TPoint& a, const TPoint& b, int reach, const TRect& area)
{
    const TRect r = area.Normalized().Inflate(reach, reach);
    if (std::max(a.x, b.x) < r.left || std::min(a.x, b.x) > r.right || std::max(a.y, b.y) < r.top ||
        std::min(a.y, b.y) > r.bottom)
        return false;
    // With the boxes overlapping, the segment misses the rectangle only when
    // every corner lies strictly on one side of its line.
    const long long dx = static_cast<long long>(b.x) - a.x;
    const long long dy = static_cast<long long>(b.y) - a.y;
    const auto side = [&](int x, int y) {
        const long long cross = dx * (static_cast<long long>(y) - a.y) - dy * (static_cast<long long>(x) - a.x);
        return (cross > 0) - (cross < 0);
    };
    const int first = side(r.left, r.top);
    return first == 0 || side(r.right, r.top) != first || side(r.left, r.bottom) != first ||
           side(r.right, r.bottom) != first;
}

bool PolygonReaches(const std::vector<Node>& corners, int reach, const TRect& area)
{
    const std::size_t n = corners.size();
    if (n == 0)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        if (SegmentReaches(corners[i].Point(), corners[(i + 1) % n].Point(), reach, area))
            return true;
    }
    // No edge comes near: the area lies wholly inside or wholly outside, as
    // its centre does (twice the coordinates, so the centre is whole).
    const TRect r = area.Normalized();
    const long long cx = static_cast<long long>(r.left) + r.right;
    const long long cy = static_cast<long long>(r.top) + r.bottom;
    bool inside = false;
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const long long xi = 2LL * corners[i].x, yi = 2LL * corners[i].y;
        const long long xj = 2LL * corners[j].x, yj = 2LL * corners[j].y;
        if ((yi > cy) == (yj > cy))
            continue;
        // Whether the centre lies left of where the edge crosses its row.
        const long long lhs = (cx - xi) * (yj - yi);
        const long long rhs = (cy - yi) * (xj - xi);
        if (yj > yi ? lhs < rhs : lhs > rhs)
            inside = !inside;
    }
    return inside;
}

bool EllipseBandReaches(const TRect& box, int band, int reach, const TRect& area)
{
    const TRect b = box.Normalized();
    const TRect r = area.Normalized();
    const double cx = (b.left + b.right) / 2.0;
    const double cy = (b.top + b.bottom) / 2.0;
    const auto within = [&](double x, double y, double rx, double ry) {
        const double u = (x - cx) / rx;
        const double v = (y - cy) / ry;
        return u * u + v * v < 1.0;
    };
    // Outside the ellipse widened by the reach: its point nearest the
    // centre (in the ellipse's own scale) is outside.
    const double outerX = b.Width() / 2.0 + reach;
    const double outerY = b.Height() / 2.0 + reach;
    if (!within(std::clamp(cx, double(r.left), double(r.right)), std::clamp(cy, double(r.top), double(r.bottom)),
                outerX, outerY))
        return false;
    // Inside the hole the band leaves: every corner is (the hole is convex).
    const double innerX = b.Width() / 2.0 - static_cast<double>(band) - reach;
    const double innerY = b.Height() / 2.0 - static_cast<double>(band) - reach;
    if (innerX > 0 && innerY > 0 && within(r.left, r.top, innerX, innerY) && within(r.right, r.top, innerX, innerY) &&
        within(r.left, r.bottom, innerX, innerY) && within(r.right, r.bottom, innerX, innerY))
        return false;
    return true;
}

std::uint8_t* PackLineCode(bool closed, int width, const TDynFill& fill, std::uint8_t* at)
{
    if (closed) {
        if (!fill.IsActive()) {
            *at++ = kShapeNoFillCode;
            return at;
        }
        *at++ = kShapeCode;
        *at++ = static_cast<std::uint8_t>(fill.GetMode());
    } else if (width == 1) {
        *at++ = kLinesWidth1Code;
    } else {
        *at++ = kLinesCode;
        *at++ = static_cast<std::uint8_t>(std::clamp(width, 1, 255));
    }
    return at;
}

bool UnpackLineCode(RecordReader& in, std::uint8_t& code, int& width)
{
    if (!in.ReadByte(code))
        return false;
    switch (code) {
    case kLinesCode: {
        std::uint8_t stored = 0;
        if (!in.ReadByte(stored))
            return false;
        width = std::max<int>(stored, 1);
        return true;
    }
    case kShapeCode:
        // The fill mode stands again in the fill attribute's data.
        return in.Skip(1);
    case kLinesWidth1Code:
    case kShapeNoFillCode:
        return true;
    default:
        in.Fail();
        return false;
    }
}

void AnimateNodes(NodeArray& nodes, const SizeRect& element)
{
    if (element.GetDynPosition().IsActive()) {
        nodes.SetOffset(element.GetDynPosition().GetOffsetUnits());
        nodes.PositionStep();
    }
    if (element.GetDynRotation().IsActive()) {
        nodes.SetCentre(element.GetDynRotation().GetCentre());
        nodes.RotateStep();
    } else {
        nodes.UndoRotation();
    }
}
