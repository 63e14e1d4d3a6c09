// The page canvas's mouse and keyboard: hover cursors, drags with their XOR
// outline (rubber bands, placement rectangles, moves and resizes of the
// selection, node drags of a lines element), polylines, double clicks, the
// pop-up menu, point pick-up, the editing keys and the animation timer.

#include "plintvlr/pageedit/draw_window.h"

#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/lines_elem.h"
#include "plintvlr/elements/pt_pickup_dlg.h"
#include "plintvlr/pageedit/size_rect_manager.h"
#include "plintvlr/shell/frame_commands.h"
#include "platform/gdi/dc.h"
#include "platform/ui/popup_menu.h"
#include "platform/ui/resources.h"
#include "platform/ui/ui_handle.h"
#include "platform/ui/window_api.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The message that hands the pick-up dialog a clicked point.
constexpr UINT kPointPickedMessage = 0x591;

bool IsBody(int handle)
{
    return handle == DrawWindow::kBodyHandle || handle == TUIHandle::Inside;
}

// The elements take a drag of the selection's body as a mouse move.
int ModelHandle(int handle)
{
    return IsBody(handle) ? kDragMove : handle;
}

}  // namespace

// --- Helpers -------------------------------------------------------------------

LinesElem* DrawWindow::SingleSelectedLines() const
{
    if (model_->SelectionCount() != 1)
        return nullptr;
    return dynamic_cast<LinesElem*>(model_->FirstSelected());
}

TPoint DrawWindow::ClampTrackingPoint(TPoint point) const
{
    const TRect area(0, 0, screen_.cx * kPixel, screen_.cy * kPixel);
    if (!moving_) {
        point.x = std::clamp(point.x, area.left, area.right);
        point.y = std::clamp(point.y, area.top, area.bottom);
        return point;
    }
    // The dragged rectangle stays inside the screen on every side.
    const int dx = std::clamp(point.x - anchor_.x, area.left - tracking_.left,
                              std::max(area.left - tracking_.left, area.right - tracking_.right));
    const int dy = std::clamp(point.y - anchor_.y, area.top - tracking_.top,
                              std::max(area.top - tracking_.top, area.bottom - tracking_.bottom));
    return {anchor_.x + dx, anchor_.y + dy};
}

void DrawWindow::DrawOutline(TDC& dc, const TPoint& at) const
{
    SetPageMapping(dc);
    dc.SelectObject(TPen(GetTrackingColor(), 1, PS_DOT));
    dc.SelectObject(TBrush::Hollow());
    const int oldRop = dc.SetROP2(R2_XORPEN);
    if (nodeDrag_) {
        dc.MoveTo(at);
        dc.LineTo(nodeNeighbours_[0]);
        if (nodeMode_ == kHitInnerNode || nodeMode_ == kHitSegment) {
            dc.MoveTo(at);
            dc.LineTo(nodeNeighbours_[1]);
        }
    } else if (moving_) {
        model_->DrawDragOutlines(dc, ModelHandle(handle_), TSize(at.x - anchor_.x, at.y - anchor_.y));
    } else if (polylineFlag_) {
        dc.MoveTo(anchor_);
        dc.LineTo(at);
    } else {
        dc.Rectangle(TRect(anchor_, at).Normalized());
    }
    dc.SetROP2(oldRop);
    dc.RestorePen();
    dc.RestoreBrush();
}

void DrawWindow::DrawTracking(const TPoint& at)
{
    WithClientDC([&](TDC& dc) { DrawOutline(dc, at); });
}

void DrawWindow::TrackStep(const TPoint& point)
{
    current_ = ClampTrackingPoint(point);
    if (current_ == previous_)
        return;
    DrawTracking(previous_);
    DrawTracking(current_);
    previous_ = current_;
}

// --- Indicator fields ------------------------------------------------------------

void DrawWindow::ShowCursorField(const TPoint& page) const
{
    if (ActivePageEditor* editor = GetActivePageEditor())
        editor->SetCursorPos(PageToPanel(page));
}

void DrawWindow::ShowSelectionPosition(const TSize& delta) const
{
    ActivePageEditor* editor = GetActivePageEditor();
    if (!editor)
        return;
    if (model_->SelectionCount() == 0) {
        editor->SetObjectPos(TPoint(screen_.cx, screen_.cy), true);
        return;
    }
    const TRect reference = model_->SelectionRect();
    if (handle_ == -1 || IsBody(handle_)) {
        const TRect moved = reference.Offset(delta.cx, delta.cy);
        editor->SetObjectPos(PageToPanel(TPoint(moved.left, moved.bottom)), true);
        return;
    }
    TRect sized = SizeRect(reference.TopLeft(), reference.BottomRight()).DragHandle(handle_, delta).Normalized();
    const TSize pixels = PageSizeToPixels(sized.Size());
    editor->SetObjectPos(TPoint(pixels.cx, pixels.cy), false);
}

void DrawWindow::ShowDragObject() const
{
    if (moving_) {
        ShowSelectionPosition(TSize(current_.x - anchor_.x, current_.y - anchor_.y));
        return;
    }
    if (ActivePageEditor* editor = GetActivePageEditor()) {
        const TSize size = PageSizeToPixels(TSize(std::abs(current_.x - anchor_.x), std::abs(current_.y - anchor_.y)));
        editor->SetObjectPos(TPoint(size.cx, size.cy), false);
    }
}

// --- Hover ------------------------------------------------------------------------

void DrawWindow::Hover(UINT keys, const TPoint& page)
{
    handle_ = model_->HitTestSelectionHandles(page);
    if (tool_ != CM_SELECTGRAPHICS) {
        ShowCursor(ToolCursor(tool_));
        return;
    }
    if (handle_ == -1) {
        ShowCursor(nullptr);
        return;
    }
    if (IsBody(handle_)) {
        if (LinesElem* lines = SingleSelectedLines()) {
            int index = -1;
            const int mode = lines->HitTestNode(page, index);
            ShowCursor(mode == kHitSegment ? "diamond" : mode != kHitNothing ? "arrowcro" : "move");
            return;
        }
        ShowCursor((keys & MK_CONTROL) ? nullptr : "move");
        return;
    }
    cursor_ = nullptr;
    shownCursor_ = TResId(TUIHandle::GetCursorId(handle_, TUIHandle::MoveCursor));
    ::SetCursor(LoadCursor(nullptr, shownCursor_));
}

void DrawWindow::ShowCursor(const char* name)
{
    cursor_ = name;
    shownCursor_ = name ? TResId(name) : TResId(IDC_ARROW);
    ::SetCursor(name ? LoadCursor(GetModule(), shownCursor_) : nullptr);
}

bool DrawWindow::EvSetCursor(HWND, UINT hitTest, UINT)
{
    if (hitTest != HTCLIENT || shownCursor_ == TResId(IDC_ARROW))
        return false;
    ::SetCursor(LoadCursor(cursor_ ? GetModule() : nullptr, shownCursor_));
    return true;
}

void DrawWindow::HoverAtMouse(UINT keys)
{
    if (!IsWindow())
        return;
    TPoint mouse;
    GetCursorPos(&mouse);
    const TPoint client = ScreenToClient(mouse);
    if (GetClientRect().Contains(client))
        Hover(keys, DeviceToPagePoint(client));
}

// --- Buttons ----------------------------------------------------------------------

void DrawWindow::EvMouseMove(UINT keys, const TPoint& point)
{
    const TPoint page = DeviceToPagePoint(point);
    ShowCursorField(page);
    if (pickup_)
        return;
    if (!buttonDown_) {
        Hover(keys, page);
        return;
    }
    if (tool_ == CM_ADDLINES && !polylineFlag_) {
        // The first drag step of a polyline: the rectangle drawn so far goes.
        DrawTracking(previous_);
        polylineFlag_ = true;
        DrawTracking(previous_);
    }
    TrackStep(page);
    ShowDragObject();
}

void DrawWindow::EvLButtonDown(UINT keys, const TPoint& point)
{
    const TPoint page = DeviceToPagePoint(point);
    if (pickup_) {
        SendPickedPoint(page);
        return;
    }
    SetCapture();
    buttonDown_ = true;
    if (!polylineFlag_)
        anchor_ = previous_ = current_ = ClampTrackingPoint(page);
    if (tool_ == CM_SELECTGRAPHICS) {
        if (handle_ == -1 || (keys & MK_CONTROL)) {
            if (model_->SelectAt(keys, page)) {
                handle_ = kBodyHandle;
                Hover(keys, page);
                if (handle_ == -1)
                    handle_ = kBodyHandle;
                moving_ = true;
            }
        } else {
            StartSelectionDrag(page);
        }
        tracking_ = model_->SelectionRect();
        ShowSelectionPosition(TSize());
    }
    DrawTracking(current_);
}

void DrawWindow::StartSelectionDrag(const TPoint& page)
{
    LinesElem* lines = SingleSelectedLines();
    if (!lines || !IsBody(handle_)) {
        moving_ = true;
        return;
    }
    int index = -1;
    const int mode = lines->HitTestNode(page, index);
    if (mode == kHitNothing) {
        InvalidateLogicalRect(lines->DeselectNode());
        moving_ = true;
        return;
    }
    const NodeArray& nodes = lines->GetNodes();
    const int last = nodes.Count() - 1;
    nodeIndex_ = index;
    nodeMode_ = mode;
    nodeDrag_ = true;
    bool wasFirst = false;
    if (lines->IsFilled() && (mode == kHitFirstNode || mode == kHitLastNode)) {
        wasFirst = mode == kHitFirstNode;
        nodeMode_ = kHitInnerNode;
    }
    const auto point = [&](int i) { return nodes[std::clamp(i, 0, last)].Point(); };
    switch (nodeMode_) {
    case kHitFirstNode:
        nodeNeighbours_[0] = point(index + 1);
        break;
    case kHitLastNode:
        nodeNeighbours_[0] = point(index - 1);
        break;
    case kHitInnerNode:
        nodeNeighbours_[0] = point(wasFirst ? last : index - 1);
        nodeNeighbours_[1] = point(index == last ? 0 : index + 1);
        break;
    default:
        nodeNeighbours_[0] = point(index);
        nodeNeighbours_[1] = point(index == last ? 0 : index + 1);
        break;
    }
}

void DrawWindow::EvLButtonUp(UINT, const TPoint& point)
{
    if (pickup_ || !buttonDown_)
        return;
    DrawTracking(previous_);
    ReleaseCapture();
    current_ = ClampTrackingPoint(DeviceToPagePoint(point));
    const TSize delta(current_.x - anchor_.x, current_.y - anchor_.y);
    if (tool_ == CM_SELECTGRAPHICS) {
        if (!moving_) {
            const TRect band = TRect(anchor_, current_).Normalized();
            if (band.Width() > 0 && band.Height() > 0)
                model_->SelectInRect(band);
        }
        if (nodeDrag_)
            FinishNodeDrag();
        else if (handle_ != -1 && moving_ && (delta.cx != 0 || delta.cy != 0))
            ApplyDrag(ModelHandle(handle_), delta);
        ShowSelectionPosition(TSize());
    } else if (tool_ == CM_ADDLINES && polylineFlag_) {
        AddPolylinePoint();
    } else {
        PlaceElement();
    }
    buttonDown_ = false;
    moving_ = false;
    nodeDrag_ = false;
    if (tool_ != CM_ADDLINES)
        SetTool(CM_SELECTGRAPHICS);
}

void DrawWindow::FinishNodeDrag()
{
    LinesElem* lines = SingleSelectedLines();
    if (!lines)
        return;
    PushNodeSnapshot(*lines);
    InvalidateLogicalRect(lines->GetRepaintRect());
    if (nodeMode_ == kHitFirstNode || nodeMode_ == kHitInnerNode || nodeMode_ == kHitLastNode)
        lines->MoveNode(nodeIndex_, current_);
    else if (nodeMode_ == kHitSegment)
        lines->InsertNode(nodeIndex_ + 1, Node{current_.x, current_.y, 0});
    InvalidateLogicalRect(lines->GetRepaintRect());
    model_->SetModified();
}

void DrawWindow::AddPolylinePoint()
{
    if (polyline_.empty())
        polyline_.push_back(anchor_);
    const TPoint last = polyline_.back();
    if (std::abs(current_.x - last.x) > kPixel || std::abs(current_.y - last.y) > kPixel) {
        if (static_cast<int>(polyline_.size()) < kMaxPolylinePoints) {
            polyline_.push_back(current_);
            InvalidateLogicalRect(TRect(last, current_).Normalized().Inflate(kPixel, kPixel));
        } else {
            FinishPolyline();
            return;
        }
    }
    anchor_ = previous_ = current_;
}

void DrawWindow::FinishPolyline()
{
    PlacePolyline();
    polylineFlag_ = false;
    buttonDown_ = false;
    tool_ = CM_SELECTGRAPHICS;
    HoverAtMouse(0);
}

void DrawWindow::EvLButtonDblClk(UINT keys, const TPoint& point)
{
    if (pickup_)
        return;
    const TPoint page = DeviceToPagePoint(point);
    if (tool_ == CM_SELECTGRAPHICS) {
        if (model_->SelectAt(keys, page))
            model_->ConfigureSelection();
    } else if (tool_ == CM_ADDLINES) {
        FinishPolyline();
    }
}

void DrawWindow::EvRButtonDown(UINT, const TPoint& point)
{
    if (pickup_ || buttonDown_)
        return;
    TPopupMenu menu(TResId(kCanvasMenu), 0);
    const TPoint screen = ClientToScreen(point);
    menu.TrackPopupMenu(TPM_RIGHTBUTTON, screen, GetHandle());
}

void DrawWindow::SendPickedPoint(const TPoint& page) const
{
    PtPickupDlg* dialog = GetOpenPickupDialog();
    if (!dialog || !dialog->IsWindow())
        return;
    const TPoint panel = PageToPanel(page);
    ::SendMessage(dialog->GetHandle(), kPointPickedMessage, 0,
                  MAKELPARAM(static_cast<WORD>(panel.x), static_cast<WORD>(panel.y)));
}

// --- Keys -------------------------------------------------------------------------

void DrawWindow::EvKeyDown(UINT key, UINT, UINT)
{
    if (pickup_)
        return;
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const TSize step = GridStep();
    const int factor = shift ? 5 : 1;
    switch (key) {
    case 'Z':
        if (control && UndoCount() > 0)
            UndoOnce();
        break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: {
        const int sign = key == VK_LEFT || key == VK_UP ? -1 : 1;
        const bool horizontal = key == VK_LEFT || key == VK_RIGHT;
        const TSize delta = horizontal ? TSize(sign * step.cx * factor, 0) : TSize(0, sign * step.cy * factor);
        KeyMove(delta, control, horizontal);
        break;
    }
    case VK_BACK:
    case VK_DELETE:
        DeleteKey();
        break;
    case VK_TAB:
        model_->SelectNext();
        break;
    case VK_RETURN:
        model_->ConfigureSelection();
        break;
    case VK_CLEAR:
        if (!IsTextPanel() && model_->CanTurnSelection())
            model_->TurnSelection();
        break;
    default:
        if (key >= VK_F1 && key <= VK_F1 + 7) {
            const int n = static_cast<int>(key - VK_F1) + 1;
            if (panel_.functionKeyCount >= n) {
                model_->SelectFunctionKey(n);
                if (ActivePageEditor* editor = GetActivePageEditor())
                    editor->InvalidateBars();
            }
        }
        break;
    }
    HoverAtMouse(control ? MK_CONTROL : 0);
}

void DrawWindow::KeyMove(const TSize& delta, bool resize, bool horizontal)
{
    if (model_->SelectionCount() == 0)
        return;
    if (resize) {
        handle_ = horizontal ? TUIHandle::Right : TUIHandle::Top;
        ApplyDrag(handle_, delta);
        ShowSelectionPosition(TSize());
        return;
    }
    const TRect moved = model_->SelectionRect().Offset(delta.cx, delta.cy);
    if (moved.left < 0 || moved.top < 0 || moved.right > screen_.cx * kPixel || moved.bottom > screen_.cy * kPixel)
        return;
    handle_ = kProgramMove;
    ApplyDrag(handle_, delta);
    ShowSelectionPosition(TSize());
}

void DrawWindow::DeleteKey()
{
    LinesElem* lines = SingleSelectedLines();
    if (!lines || lines->GetSelectedNode() < 0) {
        DeleteSelected();
        return;
    }
    PushNodeSnapshot(*lines);
    InvalidateLogicalRect(lines->GetRepaintRect());
    InvalidateLogicalRect(lines->DeleteNode());
    InvalidateLogicalRect(lines->GetRepaintRect());
    model_->SetModified();
}

// --- Animation --------------------------------------------------------------------

void DrawWindow::EvTimer(UINT id)
{
    if (id == kAnimationTimer && animating_ && !buttonDown_)
        model_->AnimateStep();
}
