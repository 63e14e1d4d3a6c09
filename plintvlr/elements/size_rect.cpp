#include "plintvlr/elements/size_rect.h"

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/pen.h"
#include "platform/ui/resources.h"
#include "platform/ui/ui_handle.h"
#include "plintvlr/db/tqs_bitmaps.h"
#include "plintvlr/elements/element_string_ids.h"
#include "plintvlr/shell/controls/control_pictures.h"
#include "plintvlr/shell/base/str.h"

#include <algorithm>
#include <cmath>

namespace {

std::int32_t g_idCounter = 0;

std::int32_t TakeId()
{
    return g_idCounter++;
}

constexpr TSize kUnitStep{kUnitsPerPixel, kUnitsPerPixel};
constexpr unsigned kBaseHandleStyle = 0x59;

// Moves an edge, then moves it back so that its distance from the opposite
// edge stays between the limits. side: -1 for the left or top edge, 1 for
// the right or bottom one.
void MoveEdge(int& edge, int opposite, int side, int delta, int minSize, int maxSize)
{
    edge += delta;
    const int size = side * (edge - opposite);
    if (size < minSize)
        edge = opposite + side * minSize;
    if (side * (edge - opposite) > maxSize)
        edge = opposite + side * maxSize;
}

int SnapAxis(int offset, int step)
{
    if (step <= 0 || offset % step == 0)
        return offset;
    const int magnitude = std::abs(offset);
    const int rounded = (magnitude + step / 2) / step * step;
    return offset < 0 ? -rounded : rounded;
}

}  // namespace

int GetElementIdCounter()
{
    return g_idCounter;
}

void ResetElementIdCounter()
{
    g_idCounter = 0;
}

TSize SnapOffset(const TSize& offset, const TSize& step)
{
    return {SnapAxis(offset.cx, step.cx), SnapAxis(offset.cy, step.cy)};
}

// --- Construction -----------------------------------------------------------

SizeRect::SizeRect() : id_(TakeId()) {}

SizeRect::SizeRect(const TPoint& a, const TPoint& b) : TRect(TRect(a, b).Normalized()), id_(TakeId()) {}

SizeRect::SizeRect(const SizeRect& other)
    : TRect(other),
      selected_(other.selected_),
      animationStep_(other.animationStep_),
      notSelectable_(other.notSelectable_),
      id_(other.id_),
      fontNumber_(0),  // classes that carry a font copy it themselves
      colors_(other.colors_),
      position_(other.position_),
      rotation_(other.rotation_),
      fill_(other.fill_),
      blink_(other.blink_)
{
}

SizeRect::~SizeRect() = default;

// --- Selection and handles --------------------------------------------------

int SizeRect::GetHandleSize()
{
    return GetPanelHandleSize() * kUnitsPerPixel;
}

TRect SizeRect::GetRepaintRect() const
{
    const int h = GetHandleSize();
    return Inflate(h, h);
}

TRect SizeRect::Select(bool select)
{
    if ((!notSelectable_ || !select) && selected_ != select) {
        selected_ = select;
        return GetRepaintRect();
    }
    return {};
}

unsigned SizeRect::GetHandleStyle() const
{
    return kBaseHandleStyle;
}

TRect SizeRect::GetHandleFrame() const
{
    const TSize screen = GetScreenSize();
    const int h = GetHandleSize();
    TRect frame = *this;
    if (left == 0 && right == screen.cx * kUnitsPerPixel) {
        frame.left += h;
        frame.right -= h;
    }
    if (top == 0 && bottom == screen.cy * kUnitsPerPixel) {
        frame.top += h;
        frame.bottom -= h;
    }
    return frame;
}

int SizeRect::HitTestHandles(const TPoint& point) const
{
    if (!selected_)
        return -1;
    return TUIHandle(GetHandleFrame(), GetHandleStyle(), GetHandleSize()).HitTest(point);
}

bool SizeRect::DrawsInto(const TRect&) const
{
    return true;
}

void SizeRect::DrawSelected(TDC& dc)
{
    Draw(dc);
    if (selected_ && !dc.IsPrinter())
        TUIHandle(GetHandleFrame(), GetHandleStyle(), GetHandleSize()).Paint(dc);
}

void SizeRect::DrawOutline(TDC& dc)
{
    DrawSelected(dc);
    dc.SaveDC();
    dc.SelectObject(TPen(IsColorPanel() ? colors_.GetColor(0) : TColor::Black, 0, PS_DOT));
    dc.SelectObject(TBrush::Hollow());
    dc.SetBkMode(TRANSPARENT);
    dc.Rectangle(*this);
    dc.RestoreDC();
}

// --- Geometry ---------------------------------------------------------------

void SizeRect::ResizeLeft(TRect& rect, int dx) const
{
    MoveEdge(rect.left, rect.right, -1, dx, GetMinSize().cx, GetMaxSize().cx);
}

void SizeRect::ResizeTop(TRect& rect, int dy) const
{
    MoveEdge(rect.top, rect.bottom, -1, dy, GetMinSize().cy, GetMaxSize().cy);
}

void SizeRect::ResizeRight(TRect& rect, int dx) const
{
    MoveEdge(rect.right, rect.left, 1, dx, GetMinSize().cx, GetMaxSize().cx);
}

void SizeRect::ResizeBottom(TRect& rect, int dy) const
{
    MoveEdge(rect.bottom, rect.top, 1, dy, GetMinSize().cy, GetMaxSize().cy);
}

TSize SizeRect::GetMinSize() const
{
    return {80, 80};
}

TSize SizeRect::GetMaxSize() const
{
    const TSize screen = GetScreenSize();
    return {screen.cx * kUnitsPerPixel, screen.cy * kUnitsPerPixel};
}

int SizeRect::GetVerticalMargin() const
{
    return 0;
}

TSize SizeRect::GetSizeStep(bool) const
{
    return kUnitStep;
}

TSize SizeRect::GetMoveStep(bool) const
{
    return kUnitStep;
}

TRect SizeRect::DragHandle(int handle, const TSize& offset) const
{
    TRect r = *this;
    switch (handle) {
    case kDragMove:
    case kProgramMove:
        return r + offset;
    case 0:
        ResizeTop(r, offset.cy);
        ResizeLeft(r, offset.cx);
        break;
    case 1:
        ResizeTop(r, offset.cy);
        break;
    case 2:
        ResizeTop(r, offset.cy);
        ResizeRight(r, offset.cx);
        break;
    case 3:
        ResizeLeft(r, offset.cx);
        break;
    case 5:
        ResizeRight(r, offset.cx);
        break;
    case 6:
        ResizeBottom(r, offset.cy);
        ResizeLeft(r, offset.cx);
        break;
    case 7:
        ResizeBottom(r, offset.cy);
        break;
    case 8:
        ResizeBottom(r, offset.cy);
        ResizeRight(r, offset.cx);
        break;
    default:
        break;
    }
    return r;
}

TRect SizeRect::SnapToGrid(int handle, const TSize& offset)
{
    TSize snapped = offset;
    if (handle == kDragMove || handle == kProgramMove) {
        const TSize step = GetMoveStep(handle == kDragMove);
        if (step != kUnitStep)
            snapped = SnapOffset(offset, step);
    } else {
        const TSize step = GetSizeStep(true);
        if (step != kUnitStep)
            snapped = SnapOffset(offset, step);
    }
    SetRect(DragHandle(handle, snapped));
    KeepOnScreen();
    animationStep_ = 0;
    position_.ResetAnimation();
    return GetRepaintRect();
}

TRect SizeRect::KeepRectOnScreen() const
{
    const TSize screen = GetScreenSize();
    const int w = screen.cx * kUnitsPerPixel;
    const int m = GetVerticalMargin();
    const int a = screen.cy * kUnitsPerPixel - 2 * m;
    const int width = Width();
    const int height = Height();
    TRect r = *this;
    // Each test looks at the rectangle as it was, not at r.
    if (top < m) {
        if (height > a)
            r.top = m, r.bottom = m + a;
        else
            r = r.Offset(0, m - top);
    }
    if (right > w) {
        if (width > w)
            r.left = 0, r.right = w;
        else
            r = r.Offset(w - right, 0);
    }
    if (bottom > m + a) {
        if (height > a)
            r.top = m, r.bottom = m + a;
        else
            r = r.Offset(0, m + a - bottom);
    }
    if (left < 0) {
        if (width > w)
            r.left = 0, r.right = w;
        else
            r = r.Offset(-left, 0);
    }
    return r;
}

TRect SizeRect::KeepOnScreen()
{
    SetRect(KeepRectOnScreen());
    return GetRepaintRect();
}

bool SizeRect::CanToggleOrientation() const
{
    return true;
}

TRect SizeRect::ToggleOrientation()
{
    const TRect before = GetRepaintRect();
    const int width = Width();
    const int height = Height();
    SetRect(TRect(left, bottom - width, left + height, bottom));
    KeepOnScreen();
    return before | GetRepaintRect();
}

TRect SizeRect::MoveBy(const TSize& offset)
{
    SetRect(*this + offset);
    return GetRepaintRect();
}

TSize SizeRect::GetAlignOffset(const TRect& ref) const
{
    const bool useLeft = ref.left != kAlignUnused;
    const bool useRight = ref.right != kAlignUnused;
    if (useLeft && useRight)
        return {(ref.left + ref.right - left - right) / 2, 0};
    if (useLeft)
        return {ref.left - left, 0};
    if (useRight)
        return {ref.right - right, 0};
    const bool useTop = ref.top != kAlignUnused;
    const bool useBottom = ref.bottom != kAlignUnused;
    if (useTop && useBottom)
        return {0, (ref.top + ref.bottom - top - bottom) / 2};
    if (useTop)
        return {0, ref.top - top};
    if (useBottom)
        return {0, ref.bottom - bottom};
    return {};
}

bool SizeRect::NormalizePlacement()
{
    const TRect r = KeepRectOnScreen();
    if (r == GetRect())
        return false;
    if (r.left != left || r.bottom != bottom)
        SnapToGrid(kProgramMove, {r.left - left, r.bottom - bottom});
    // Handle 2 moves the top and right edges.
    if (r.right != right || r.top != top)
        SnapToGrid(2, {r.right - right, r.top - top});
    return true;
}

TPoint SizeRect::GetAnchorPoint() const
{
    return {left / kUnitsPerPixel, GetScreenSize().cy - bottom / kUnitsPerPixel};
}

TRect SizeRect::GetPositionExtent() const
{
    const int l = left / kUnitsPerPixel;
    const int b = bottom / kUnitsPerPixel;
    const int w = Width() / kUnitsPerPixel;
    const int h = Height() / kUnitsPerPixel;
    const TPoint offset = position_.GetOffset();
    return {l, b - h - offset.y, l + w + offset.x, b};
}

TRect SizeRect::GetRotationExtent() const
{
    const TRect pixels(left / kUnitsPerPixel, top / kUnitsPerPixel, right / kUnitsPerPixel, bottom / kUnitsPerPixel);
    if (!rotation_.IsActive())
        return pixels;
    const TPoint stored = rotation_.GetPoint();
    const int cx = stored.x;
    const int cy = GetScreenSize().cy - stored.y;
    double largest = 0;
    for (const TPoint& corner : {pixels.TopLeft(), pixels.TopRight(), pixels.BottomLeft(), pixels.BottomRight()})
        largest = std::max(largest, std::hypot(double(corner.x - cx), double(corner.y - cy)));
    const int r = static_cast<int>(largest);
    return {cx - r, cy - r, cx + r, cy + r};
}

// --- Drawing and animation --------------------------------------------------

void SizeRect::Draw(TDC& dc)
{
    dc.Rectangle(*this);
}

bool SizeRect::HasDynamics() const
{
    return blink_.IsUnconditional() || blink_.IsActive() || colors_.GetCount() >= 2 || position_.IsActive() ||
           fill_.IsActive() || rotation_.IsActive();
}

void SizeRect::StartAnimation()
{
    animationStep_ = 0;
    position_.SaveRect(*this);
}

TRect SizeRect::AnimateStep()
{
    position_.SaveRect(*this);
    if (!HasDynamics())
        return {};
    ++animationStep_;
    TRect repaint = GetRepaintRect();
    if (position_.IsActive()) {
        TRect moved = *this;
        position_.AnimateStep(moved);
        SetRect(moved);
        repaint |= GetRepaintRect();
    }
    return repaint;
}

TRect SizeRect::StopAnimation()
{
    animationStep_ = 0;
    TRect repaint;
    if (position_.HasSavedRect() && (HasDynamics() || GetRect() != position_.GetSavedRect())) {
        repaint = GetRepaintRect();
        SetRect(position_.GetSavedRect());
        repaint |= GetRepaintRect();
    }
    position_.ResetAnimation();
    return repaint;
}

// --- Copies -----------------------------------------------------------------

std::unique_ptr<SizeRect> SizeRect::Clone() const
{
    return std::make_unique<SizeRect>(*this);
}

std::unique_ptr<SizeRect> SizeRect::Duplicate() const
{
    std::unique_ptr<SizeRect> copy = Clone();
    if (!copy)
        return nullptr;
    copy->id_ = TakeId();
    copy->KeepOnScreen();
    copy->position_.ResetAnimation();
    return copy;
}

// --- Records, report and the other slots ------------------------------------

bool SizeRect::ReadRecord(RecordReader& in)
{
    return !in.Failed();
}

std::uint8_t* SizeRect::WriteRecord(std::uint8_t* at) const
{
    return at;
}

void SizeRect::Edit(TWindow*) {}

void SizeRect::Describe(int, ReportLines& lines, int) const
{
    blink_.Describe(lines);
    fill_.Describe(lines);
    position_.Describe(lines);
    rotation_.Describe(lines);
}

bool SizeRect::IsAllowedOnPanel() const
{
    return true;
}

std::uint16_t SizeRect::GetTag() const
{
    return 0;
}

std::uint16_t SizeRect::GetColorTag() const
{
    return colors_.GetTag();
}

std::uint16_t SizeRect::GetExtraTag() const
{
    return 0;
}

std::uint16_t SizeRect::GetShowHideTag() const
{
    return 0;
}

void SizeRect::SetShowHideTag(std::uint16_t) {}

void SizeRect::SetTag(std::uint16_t) {}

void SizeRect::SetColorTag(std::uint16_t tag)
{
    colors_.SetTag(tag);
}

TRect SizeRect::RecalcLayout()
{
    return {};
}

std::string SizeRect::GetPositionText() const
{
    const TPoint anchor = GetAnchorPoint();
    return FormatText(Str(kStrPositionText), anchor.x, anchor.y, Width() / kUnitsPerPixel,
                      Height() / kUnitsPerPixel);
}

std::string SizeRect::GetTypeName() const
{
    return Str(kStrTypeSquare);
}

bool SizeRect::SetFont(int)
{
    return false;
}

void SizeRect::SetRecipeInUse(bool) {}

void SizeRect::CountRecipeUse(TIdCounter&) const {}

std::uint32_t SizeRect::GetEditTag() const
{
    return GetTag();
}

void SizeRect::SetEditTag(std::uint32_t tag)
{
    SetTag(static_cast<std::uint16_t>(tag));
}

// --- Free functions ---------------------------------------------------------

std::uint8_t* PackDynamics(const SizeRect& element, std::uint8_t* at, std::uint8_t& flags)
{
    at = element.GetDynPosition().Pack(at, flags);
    at = element.GetDynBlink().Pack(at, flags);
    at = element.GetDynRotation().Pack(at, flags);
    return element.GetDynFill().Pack(at, flags);
}

bool UnpackDynamics(SizeRect& element, RecordReader& in, std::uint8_t flags)
{
    return element.GetDynPosition().Unpack(in, flags) && element.GetDynBlink().Unpack(in, flags) &&
           element.GetDynRotation().Unpack(in, flags) && element.GetDynFill().Unpack(in, flags);
}

std::uint8_t* PackColorOrShowHide(const ColorPoint& colors, const DynamicData& showHide, std::uint8_t* at)
{
    return IsColorPanel() ? colors.Pack(at) : showHide.PackShowHide(at);
}

bool UnpackColorOrShowHide(ColorPoint& colors, DynamicData& showHide, RecordReader& in)
{
    return IsColorPanel() ? colors.Unpack(in) : showHide.UnpackShowHide(in);
}

void AddDescriptionLine(const TRect& rect, int number, ReportLines& lines, int subnumber, const std::string& typeText)
{
    std::string numberText = std::to_string(number);
    if (subnumber != 0)
        numberText += "." + std::to_string(subnumber);
    lines.push_back(FormatText(Str(kStrElementLine), numberText.c_str(), typeText.c_str(), rect.left / kUnitsPerPixel,
                               GetScreenSize().cy - rect.bottom / kUnitsPerPixel, rect.Width() / kUnitsPerPixel,
                               rect.Height() / kUnitsPerPixel));
}

void DrawLibraryBitmap(const TRect& rect, TDC& dc, int slot)
{
    const TQSBitmaps& library = GetBitmapLibrary();
    const TDib* dib = library.HasBitmap(slot) ? library.GetDib(slot) : nullptr;
    const TDib picture = dib ? *dib : LoadDibResource(nullptr, kNoBitmapPicture);
    if (picture.IsOK())
        dc.StretchDIBits(rect, TRect(0, 0, picture.Width(), picture.Height()), picture, SRCCOPY);
}
