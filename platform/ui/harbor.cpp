#include "platform/ui/harbor.h"

#include "platform/ui/decorated_frame.h"
#include "platform/ui/dockable_control_bar.h"
#include "platform/ui/edge_slip.h"
#include "platform/ui/floating_slip.h"

#include <algorithm>

namespace {

// How close to an edge of the frame's client area a bar must be let go to dock there.
constexpr int kDockZone = 24;

}  // namespace

THarbor::THarbor(TDecoratedFrame& frame) : TWindow(&frame), frame_(frame)
{
    Attr.Style = WS_CHILD;  // never shown
    Attr.X = Attr.Y = Attr.W = Attr.H = 0;
}

THarbor::~THarbor()
{
    if (IsWindow())
        Destroy(0);
}

TEdgeSlip* THarbor::GetEdgeSlip(TAbsLocation location) const
{
    for (TWindow* w : frame_.GetChildren()) {
        if (auto* slip = dynamic_cast<TEdgeSlip*>(w); slip && slip->GetLocation() == location)
            return slip;
    }
    return nullptr;
}

TEdgeSlip* THarbor::CreateEdgeSlip(TDecoratedFrame& frame, TAbsLocation location)
{
    return new TEdgeSlip(frame, location);
}

TFloatingSlip* THarbor::CreateFloatingSlip(TDecoratedFrame& frame, int x, int y, TWindow* dockableWindow)
{
    return new TFloatingSlip(&frame, x, y, dockableWindow);
}

void THarbor::Detach(TDockableControlBar& bar)
{
    TWindow* parent = bar.GetParentO();
    if (auto* edge = dynamic_cast<TEdgeSlip*>(parent)) {
        bar.SetParent(this);
        edge->Undock(bar);
    } else if (auto* floating = dynamic_cast<TFloatingSlip*>(parent)) {
        // The bar leaves first, so that it outlives its palette.
        floating->SetClientWindow(nullptr);
        bar.SetParent(this);
        floating->Destroy(0);
        delete floating;
    } else if (parent != this) {
        bar.SetParent(this);
    }
}

TWindow* THarbor::Insert(TDockableControlBar& bar, TAbsLocation location, const TPoint* where)
{
    bar.SetHarbor(this);
    if (location == alNone) {
        if (auto* floating = dynamic_cast<TFloatingSlip*>(bar.GetParentO())) {
            if (where)
                floating->MoveTo(*where);
            return floating;
        }
        Detach(bar);
        TPoint at = where ? *where : frame_.ClientToScreen({40, 40});
        bar.Layout(alNone);
        bar.Attr.Style |= WS_VISIBLE;
        TFloatingSlip* slip = CreateFloatingSlip(frame_, at.x, at.y, &bar);
        if (frame_.IsWindow()) {
            slip->Create();
            slip->ShowWindow(SW_SHOWNA);
            if (bar.IsWindow())
                bar.ShowWindow(SW_SHOW);
        }
        return slip;
    }
    Detach(bar);
    TEdgeSlip* slip = GetEdgeSlip(location);
    if (!slip) {
        slip = CreateEdgeSlip(frame_, location);
        frame_.Insert(*slip, static_cast<TDecoratedFrame::TLocation>(location));
    }
    slip->Dock(bar, where);
    return slip;
}

void THarbor::Remove(TDockableControlBar& bar)
{
    Detach(bar);
    bar.ShowWindow(SW_HIDE);
}

TAbsLocation THarbor::DockingEdge(const TPoint& point) const
{
    if (!frame_.IsWindow())
        return alNone;
    const TRect client = frame_.GetClientRect();
    const TPoint origin = frame_.ClientToScreen({0, 0});
    const TRect area(origin.x, origin.y, origin.x + client.Width(), origin.y + client.Height());
    if (!area.Contains(point))
        return alNone;
    // On a slip's own strip the bar docks at that slip's edge.
    for (TAbsLocation edge : {alTop, alBottom, alLeft, alRight}) {
        TEdgeSlip* slip = GetEdgeSlip(edge);
        if (slip && slip->IsWindow() && slip->GetWindowRect().Contains(point) && !slip->GetWindowRect().IsEmpty())
            return edge;
    }
    const std::pair<int, TAbsLocation> distances[] = {
        {point.y - area.top, alTop},
        {area.bottom - 1 - point.y, alBottom},
        {point.x - area.left, alLeft},
        {area.right - 1 - point.x, alRight},
    };
    const auto nearest = *std::min_element(std::begin(distances), std::end(distances));
    return nearest.first <= kDockZone ? nearest.second : alNone;
}

void THarbor::DragEnded(TDockableControlBar& bar, const TPoint& mouse, const TPoint& topLeft)
{
    const TAbsLocation edge = DockingEdge(mouse);
    TPoint at = topLeft;
    if (auto* floating = dynamic_cast<TFloatingSlip*>(bar.GetParentO()); floating && edge == alNone) {
        // The palette moves with the bar it carries.
        const TRect palette = floating->GetWindowRect();
        const TPoint barOrigin = bar.ClientToScreen({0, 0});
        at = {topLeft.x + palette.left - barOrigin.x, topLeft.y + palette.top - barOrigin.y};
    }
    Insert(bar, edge, &at);
}
