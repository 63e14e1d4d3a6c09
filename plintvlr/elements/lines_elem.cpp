#include "plintvlr/elements/lines_elem.h"

#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/dyn_fill_sheet.h"
#include "plintvlr/elements/element_page_templates.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/region.h"
#include "plintvlr/elements/shape_drawing.h"
#include "plintvlr/elements/shape_string_ids.h"
#include "plintvlr/shell/base/str.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kPixel = kUnitsPerPixel;

int Distance(const TPoint& a, const TPoint& b)
{
    const double dx = static_cast<double>(a.x) - b.x;
    const double dy = static_cast<double>(a.y) - b.y;
    return static_cast<int>(std::sqrt(dx * dx + dy * dy));
}

// Whole pixels counted downwards, also above the screen's top edge, so that
// a node there reads back where it was written (truncating towards zero
// would move it a pixel down on every save).
int PixelOf(int e)
{
    return e >= 0 ? e / kPixel : -((-e + kPixel - 1) / kPixel);
}

int RoundToPixel(int e)
{
    return PixelOf(e + kPixel / 2) * kPixel;
}

int CutToPixel(int e)
{
    return PixelOf(e) * kPixel;
}

// Where the nodes go inside the pen: the rectangle pulled in by half the pen
// width. On an axis where the pen is wider than the rectangle (a wide pen on
// an element the screen edge cut), pulling in would invert it and mirror the
// nodes; there they keep their extent instead, centred in the rectangle, but
// no more than the rectangle's: a node outside it could stand beyond what a
// record can place, and be written somewhere else.
TRect InsidePen(const TRect& outer, int halfPen, const TRect& nodes)
{
    TRect inner = outer.Inflate(-halfPen, -halfPen);
    if (inner.left > inner.right) {
        const int w = std::min(nodes.Width(), outer.Width());
        inner.left = (outer.left + outer.right) / 2 - w / 2;
        inner.right = inner.left + w;
    }
    if (inner.top > inner.bottom) {
        const int h = std::min(nodes.Height(), outer.Height());
        inner.top = (outer.top + outer.bottom) / 2 - h / 2;
        inner.bottom = inner.top + h;
    }
    return inner;
}

}  // namespace

LinesElem::LinesElem()
{
    SetAnimationStep(kRestingStep);
}

LinesElem::LinesElem(const std::vector<TPoint>& points)
{
    SetAnimationStep(kRestingStep);
    for (const TPoint& p : points)
        nodes_.Add({p.x, p.y, 0});
    const int h = HalfPen();
    nodes_.Fit(nodes_.Bounds().Inflate(-h, -h));
    RecalcBounds();
}

LinesElem::LinesElem(const LinesElem& other)
    : SizeRect(other),
      TLineStyle(other),
      nodes_(other.nodes_),
      selectedNode_(other.selectedNode_),
      width_(other.width_),
      freezeNodes_(other.freezeNodes_),
      closed_(other.closed_),
      showHide_(other.showHide_)
{
}

// --- Geometry ---------------------------------------------------------------

TRect LinesElem::RecalcBounds()
{
    TRect b = nodes_.Bounds();
    const int h = HalfPen();
    b = TRect(b.left - h, b.top - h, b.right + h, b.bottom + h);
    b = TRect(RoundToPixel(b.left), RoundToPixel(b.top), RoundToPixel(b.right), RoundToPixel(b.bottom));
    const TSize m = GetMinSize();
    if (b.Width() < m.cx)
        b = TRect(b.left - m.cx / 2, b.top, b.right + m.cx / 2, b.bottom);
    if (b.Height() < m.cy)
        b = TRect(b.left, b.top - m.cy / 2, b.right, b.bottom + m.cy / 2);
    SetRect(b);
    return GetRepaintRect();
}

TSize LinesElem::GetMinSize() const
{
    return {width_ * kPixel, width_ * kPixel};
}

TRect LinesElem::Select(bool select)
{
    selectedNode_ = -1;
    return SizeRect::Select(select);
}

TRect LinesElem::SnapToGrid(int handle, const TSize& offset)
{
    if (std::abs(offset.cx) < kPixel && std::abs(offset.cy) < kPixel)
        return {};
    const bool wasSaved = GetDynPosition().HasSavedRect();
    const TRect saved = GetDynPosition().GetSavedRect();
    TRect repaint = GetRepaintRect() | SizeRect::SnapToGrid(handle, offset);
    if (!IsCanvasAnimating()) {
        SetAnimationStep(kRestingStep);
    } else {
        if (GetDynRotation().IsActive())
            nodes_.UndoRotation();
        if ((handle == kDragMove || handle == kProgramMove) && wasSaved)
            SetRect(saved.Offset(left - saved.left, bottom - saved.bottom));
    }
    SetRect(TRect(CutToPixel(left), CutToPixel(top), CutToPixel(right), CutToPixel(bottom)));
    nodes_.Fit(InsidePen(*this, HalfPen(), nodes_.Bounds()));
    return repaint | GetRepaintRect();
}

TRect LinesElem::ToggleOrientation()
{
    const TRect before = *this;
    const TRect repaint = SizeRect::ToggleOrientation();
    nodes_.Map(before, *this, true);
    return repaint;
}

TRect LinesElem::MoveBy(const TSize& offset)
{
    const TRect repaint = SizeRect::MoveBy(offset);
    nodes_.Translate(offset);
    return repaint;
}

std::unique_ptr<SizeRect> LinesElem::Duplicate() const
{
    std::unique_ptr<SizeRect> copy = SizeRect::Duplicate();
    if (auto* lines = dynamic_cast<LinesElem*>(copy.get()))
        lines->nodes_.Map(*this, *lines, false);
    return copy;
}

void LinesElem::SetFilled(bool filled)
{
    closed_ = filled;
    if (filled)
        width_ = 1;
    RecalcBounds();
}

void LinesElem::SetLineWidth(int width)
{
    width_ = width;
    RecalcBounds();
}

// --- Node editing -----------------------------------------------------------

NodeHit LinesElem::HitTestNode(const TPoint& p, int& index) const
{
    if (freezeNodes_ || IsCanvasAnimating())
        return kHitNothing;
    const int t = GetHandleSize();
    const int n = nodes_.Count();
    for (int i = 0; i < n; ++i) {
        const Node& node = nodes_[i];
        const int di = Distance(node.Point(), p);
        if (di < t) {
            index = i;
            return i == 0 ? kHitFirstNode : i == n - 1 ? kHitLastNode : kHitInnerNode;
        }
        if (!closed_ && i == n - 1)
            continue;
        const Node& next = nodes_[i + 1 < n ? i + 1 : 0];
        const int dn = Distance(next.Point(), p);
        const int length = Distance(node.Point(), next.Point());
        const long long cross = static_cast<long long>(p.x) * node.y + static_cast<long long>(node.x) * next.y +
                                static_cast<long long>(next.x) * p.y - static_cast<long long>(p.y) * node.x -
                                static_cast<long long>(node.y) * next.x - static_cast<long long>(next.y) * p.x;
        const long long hd = cross / (length + 1);
        if (node.flag == 0 && t < dn && di + dn < length + 1 + t && std::llabs(hd) < t) {
            index = i;
            return kHitSegment;
        }
    }
    return kHitNothing;
}

void LinesElem::MoveNode(int index, const TPoint& point)
{
    if (index < 0 || index >= nodes_.Count())
        return;
    Node node = nodes_[index];
    node.x = point.x;
    node.y = point.y;
    nodes_.Set(index, node);
    SelectNode(index);
    RecalcBounds();
}

void LinesElem::InsertNode(int index, const Node& node)
{
    if (nodes_.Count() >= kMaxInsertedNodes)
        return;
    nodes_.Insert(index, node);
    SelectNode(std::clamp(index, 0, nodes_.Count() - 1));
    RecalcBounds();
}

void LinesElem::SelectNode(int index)
{
    selectedNode_ = nodes_.Count() > 2 && index >= 0 && index < nodes_.Count() ? index : -1;
}

TRect LinesElem::DeleteNode()
{
    if (selectedNode_ < 0 || nodes_.Count() <= 2)
        return {};
    const TRect before = GetRepaintRect();
    const int removed = selectedNode_;
    nodes_.Remove(removed);
    SelectNode(removed == 0 ? 0 : removed - 1);
    return before | RecalcBounds();
}

TRect LinesElem::GetNodeMarkRect() const
{
    if (selectedNode_ < 0 || selectedNode_ >= nodes_.Count())
        return {};
    const int s = std::max(GetHandleSize() * 3 / 2, width_ * kPixel / 2);
    const int k = s / 2;
    const Node& node = nodes_[selectedNode_];
    return {node.x - k, node.y - k, node.x - k + s, node.y - k + s};
}

TRect LinesElem::DeselectNode()
{
    const TRect mark = GetNodeMarkRect();
    selectedNode_ = -1;
    return mark;
}

// --- Drawing and animation --------------------------------------------------

void LinesElem::Draw(TDC& dc)
{
    const TColor color = ShapeColor(*this, dc);
    const std::vector<TPoint> points = nodes_.ShownPoints();
    dc.SaveDC();
    dc.SelectObject(TPen(color, closed_ ? kPixel / 2 : width_ * kPixel));
    if (!points.empty())
        dc.Polyline(points.data(), static_cast<int>(points.size()));
    if (closed_ && !points.empty()) {
        dc.MoveTo(points.front());
        dc.LineTo(points.back());
        dc.FillPolygonRgn(points.data(), static_cast<int>(points.size()), ALTERNATE,
                          GetDynFill().GetFillRect(*this, GetAnimationStep()), TBrush(color));
    }
    dc.RestoreDC();
    if (IsSelected() && selectedNode_ >= 0 && !dc.IsPrinter())
        DrawNodeMarker(dc);
}

bool LinesElem::DrawsInto(const TRect& area) const
{
    const std::vector<Node>& nodes = nodes_.Shown();
    if (nodes.size() < 2)
        return true;
    // Half the pen and two pixels for the rounding of the mapping.
    const long long pen = closed_ ? kPixel / 2 : static_cast<long long>(std::max(width_, 1)) * kPixel;
    const int reach = static_cast<int>(std::min<long long>(pen / 2 + 2 * kPixel, 1 << 24));
    if (closed_)
        return PolygonReaches(nodes, reach, area);
    for (std::size_t i = 0; i + 1 < nodes.size(); ++i) {
        if (SegmentReaches(nodes[i].Point(), nodes[i + 1].Point(), reach, area))
            return true;
    }
    return false;
}

void LinesElem::DrawNodeMarker(TDC& dc) const
{
    if (selectedNode_ < 0)
        return;
    dc.SaveDC();
    dc.SetROP2(R2_XORPEN);
    dc.SelectObject(TPen(TColor::White, 1, PS_INSIDEFRAME));
    dc.SelectObject(TBrush::Hollow());
    dc.Rectangle(GetNodeMarkRect());
    dc.RestoreDC();
}

TRect LinesElem::AnimateStep()
{
    TRect repaint = GetRepaintRect() | SizeRect::AnimateStep();
    AnimateNodes(nodes_, *this);
    return repaint | RecalcBounds();
}

TRect LinesElem::StopAnimation()
{
    TRect repaint = GetRepaintRect() | SizeRect::StopAnimation();
    SetAnimationStep(kRestingStep);
    nodes_.UndoMove();
    nodes_.UndoRotation();
    return repaint | RecalcBounds();
}

std::unique_ptr<SizeRect> LinesElem::Clone() const
{
    return std::make_unique<LinesElem>(*this);
}

std::uint16_t LinesElem::GetTag() const
{
    return 0;
}

std::uint16_t LinesElem::GetShowHideTag() const
{
    return showHide_.GetActiveTag();
}

void LinesElem::SetShowHideTag(std::uint16_t tag)
{
    if (showHide_.IsActive())
        showHide_.SetReference(tag);
}

std::string LinesElem::GetTypeName() const
{
    return "tllines";
}

// --- Record -----------------------------------------------------------------

std::uint8_t* LinesElem::WriteRecord(std::uint8_t* at) const
{
    at = PackLineCode(closed_, width_, GetDynFill(), at);
    std::uint8_t* flags = at++;
    *flags = 0;
    at = PackColorOrShowHide(GetColors(), showHide_, at);
    const int screenHeight = GetScreenSize().cy;
    const std::vector<Node>& shown = nodes_.Shown();
    const TPoint first = shown.empty() ? TPoint(left, bottom) : shown.front().Point();
    at = PackPoint(PixelOf(first.x), screenHeight - PixelOf(first.y), at);
    at = PackDynamics(*this, at, *flags);
    for (std::size_t i = 1; i < shown.size(); ++i) {
        *at++ = kNodeMarker;
        at = PackPoint(PixelOf(shown[i].x), screenHeight - PixelOf(shown[i].y), at);
    }
    *at++ = 0;
    return at;
}

bool LinesElem::ReadRecord(RecordReader& in)
{
    std::uint8_t code = 0;
    int width = width_;
    if (!UnpackLineCode(in, code, width))
        return false;
    closed_ = code == kShapeCode || code == kShapeNoFillCode;
    if (code == kLinesCode)
        width_ = width;
    else if (code == kLinesWidth1Code)
        width_ = 1;
    std::uint8_t flags = 0;
    int x = 0;
    int y = 0;
    if (!in.ReadByte(flags) || !UnpackColorOrShowHide(GetColors(), showHide_, in) || !UnpackPoint(x, y, in) ||
        !UnpackDynamics(*this, in, flags))
        return false;
    const int screenHeight = GetScreenSize().cy;
    nodes_.Clear();
    selectedNode_ = -1;
    nodes_.Add({x * kPixel, (screenHeight - y) * kPixel, 0});
    // The record bounds the list: a list cut off before its 0 byte fails.
    for (;;) {
        std::uint8_t marker = 0;
        if (!in.ReadByte(marker))
            return false;
        if (marker == 0)
            break;
        if (!UnpackPoint(x, y, in))
            return false;
        nodes_.Add({x * kPixel, (screenHeight - y) * kPixel, 0});
    }
    RecalcBounds();
    nodes_.Fit(InsidePen(*this, HalfPen(), nodes_.Bounds()));
    return true;
}

// --- Report -----------------------------------------------------------------

void LinesElem::Describe(int number, ReportLines& lines, int subnumber) const
{
    AddDescriptionLine(*this, number, lines, subnumber, Str(closed_ ? kStrShapeType : kStrLinesType));
    if (!closed_)
        lines.push_back(FormatText(Str(kStrWidthLine), width_));
    DescribeColorOrShowHide(GetColors(), showHide_, lines);
    lines.push_back(Str(kStrNodeListLine));
    std::string line;
    for (int i = 0; i < nodes_.Count(); ++i) {
        line += FormatText("(%d, %d) ", nodes_[i].x / kPixel, nodes_[i].y / kPixel);
        if ((i + 1) % 10 == 0) {
            lines.push_back(line);
            line.clear();
        }
    }
    if (!line.empty())
        lines.push_back(line);
    SizeRect::Describe(number, lines, subnumber);
    lines.emplace_back();
}

void LinesElem::Edit(TWindow* parent)
{
    ActivePageEditor* editor = GetActivePageEditor();
    (new TEditLinesDlg(SheetClient(parent, editor), *this, editor))->Create();
}
