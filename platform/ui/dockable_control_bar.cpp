#include "platform/ui/dockable_control_bar.h"

#include "platform/ui/edge_slip.h"
#include "platform/ui/floating_slip.h"
#include "platform/ui/harbor.h"
#include "platform/ui/window_api.h"

#include <cstdlib>

namespace {

// How far the mouse moves before a press on the bar becomes a drag.
constexpr int kDragDistance = 4;

}  // namespace

const TResponseTable TDockableControlBar::Responses{&TControlBar::Responses, {
    OnMessage<&TDockableControlBar::EvLButtonDown>(WM_LBUTTONDOWN),
    OnMessage<&TDockableControlBar::EvMouseMove>(WM_MOUSEMOVE),
    OnMessage<&TDockableControlBar::EvLButtonUp>(WM_LBUTTONUP),
}};

TDockableControlBar::TDockableControlBar(TWindow* parent, TTileDirection direction, TModule* module)
    : TControlBar(parent, direction, module)
{
}

void TDockableControlBar::Layout(TAbsLocation location)
{
    SetDirection(location == alTop || location == alBottom   ? Horizontal
                 : location == alLeft || location == alRight ? Vertical
                                                             : Rectangular);
    LayoutSession();
}

void TDockableControlBar::Layout(TAbsLocation location, const TSize& size)
{
    Layout(location);
    if (location != alNone)
        return;
    int columns = 0;
    if (size.cx > 0) {
        columns = 1;
        for (int c = GadgetCount(); c > 1; --c) {
            if (MeasureLayout(Rectangular, c).cx <= size.cx) {
                columns = c;
                break;
            }
        }
    }
    SetRectangularColumns(columns);
}

TAbsLocation TDockableControlBar::GetLocation() const
{
    auto* slip = dynamic_cast<TEdgeSlip*>(GetParentO());
    return slip && IsWindowVisible() ? slip->GetLocation() : alNone;
}

bool TDockableControlBar::IsFloating() const
{
    return dynamic_cast<TFloatingSlip*>(GetParentO()) != nullptr && IsWindowVisible();
}

void TDockableControlBar::EvLButtonDown(UINT keys, const TPoint& point)
{
    TGadget* gadget = GadgetFromPoint(point);
    if ((gadget && gadget->WantsMouse()) || !harbor_) {
        TGadgetWindow::EvLButtonDown(keys, point);
        return;
    }
    pressed_ = true;
    dragging_ = false;
    grab_ = point;
    SetCapture();
}

void TDockableControlBar::EvMouseMove(UINT keys, const TPoint& point)
{
    if (!pressed_) {
        TGadgetWindow::EvMouseMove(keys, point);
        return;
    }
    if (!dragging_ && std::abs(point.x - grab_.x) + std::abs(point.y - grab_.y) >= kDragDistance)
        dragging_ = true;
}

void TDockableControlBar::EvLButtonUp(UINT keys, const TPoint& point)
{
    if (!pressed_) {
        TGadgetWindow::EvLButtonUp(keys, point);
        return;
    }
    pressed_ = false;
    if (GetCapture() == GetHandle())
        ReleaseCapture();
    if (!dragging_ || !harbor_)
        return;
    dragging_ = false;
    const TPoint mouse = ClientToScreen(point);
    const TPoint topLeft = ClientToScreen({point.x - grab_.x, point.y - grab_.y});
    harbor_->DragEnded(*this, mouse, topLeft);
}
