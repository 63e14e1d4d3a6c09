#include "plintvlr/shell/zk_harbor.h"

#include "plintvlr/shell/command_registry.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/graph_tool_bar.h"
#include "plintvlr/shell/main_frame.h"
#include "plintvlr/shell/main_tool_bar.h"
#include "plintvlr/shell/win_positioner.h"
#include "platform/ui/command_enabler.h"
#include "platform/ui/desktop.h"

#include <algorithm>

namespace {

// Posted to the harbor: the frame is shown, dock the bars.
constexpr UINT WM_DOCKBARS = WM_USER + 0x100;

// The place a floating bar reopens at: the profile is hand-editable and the
// desktop may have shrunk since, so a palette is cut to the desktop and
// pulled onto it, where the engineer can reach it.
TRect OnDesktop(TRect rect)
{
    const TRect desktop = DesktopRect();
    if (desktop.IsEmpty())
        return rect;
    rect.right = rect.left + std::min(rect.Width(), desktop.Width());
    rect.bottom = rect.top + std::min(rect.Height(), desktop.Height());
    KeepRectInside(rect, desktop);
    return rect;
}

// The place the bar is laid out and inserted for.
TRect PlaceToUse(const TDecToolBar& bar)
{
    const TRect& rect = bar.GetRecordedRect();
    return bar.GetRecordedLocation() == alNone ? OnDesktop(rect) : rect;
}

}  // namespace

const TResponseTable TZKHarbor::Responses{&THarbor::Responses, {
    OnMessage<&TZKHarbor::EvDockBars>(WM_DOCKBARS),
}};

TZKHarbor::TZKHarbor(TDecoratedFrame& frame)
    : THarbor(frame), mainBar_(new TMainToolBar(this)), graphBar_(new TGraphToolBar(this))
{
}

// The bars are windows of the frame's tree and go with it.
TZKHarbor::~TZKHarbor() = default;

bool TZKHarbor::HasButtons(const TDecToolBar& bar)
{
    return bar.GetBarNumber() == 0 ? TMainToolBar::HasButtons() : TGraphToolBar::HasButtons();
}

void TZKHarbor::SetupWindow()
{
    THarbor::SetupWindow();
    // The recorded places are screen points, which mean the same as in the
    // last run only once the frame is shown with its menu bar and border.
    if (GetFrame().IsWindowVisible())
        DockBars();
    else
        PostMessage(WM_DOCKBARS);
}

LRESULT TZKHarbor::EvDockBars(WPARAM, LPARAM)
{
    DockBars();
    return 0;
}

void TZKHarbor::DockBars()
{
    // A bar the View menu has shown meanwhile stays where it is.
    auto waiting = [this](TDecToolBar* bar) { return HasButtons(*bar) && !IsBarShown(*bar); };
    for (TDecToolBar* bar : {static_cast<TDecToolBar*>(mainBar_), static_cast<TDecToolBar*>(graphBar_)}) {
        if (!waiting(bar))
            continue;
        const TRect rect = PlaceToUse(*bar);
        bar->Layout(bar->GetRecordedLocation(), TSize(rect.Width(), rect.Height()));
    }
    // Two bars in rows at the top go back in the order of their rows.
    const bool graphicsAbove = mainBar_->GetRecordedLocation() == alTop &&
                               graphBar_->GetRecordedLocation() == alTop && mainBar_->HasRecordedRect() &&
                               graphBar_->HasRecordedRect() &&
                               graphBar_->GetRecordedRect().top < mainBar_->GetRecordedRect().top;
    TDecToolBar* first = graphicsAbove ? static_cast<TDecToolBar*>(graphBar_) : mainBar_;
    TDecToolBar* second = graphicsAbove ? static_cast<TDecToolBar*>(mainBar_) : graphBar_;
    for (TDecToolBar* bar : {first, second}) {
        if (waiting(bar))
            InsertAtRecordedPlace(*bar);
    }
}

void TZKHarbor::InsertAtRecordedPlace(TDecToolBar& bar)
{
    if (!bar.HasRecordedRect()) {
        Insert(bar, bar.GetRecordedLocation());
        return;
    }
    const TRect rect = PlaceToUse(bar);
    const TPoint at(rect.left, rect.top);
    Insert(bar, bar.GetRecordedLocation(), &at);
}

bool TZKHarbor::IsBarShown(const TDecToolBar& bar) const
{
    return bar.GetParentO() != this && bar.IsWindowVisible();
}

void TZKHarbor::ToggleBar(TDecToolBar& bar)
{
    if (!IsBarShown(bar)) {
        InsertAtRecordedPlace(bar);
        return;
    }
    // A floating bar's palette records its place as it goes.
    if (auto* slip = dynamic_cast<TEdgeSlip*>(bar.GetParentO()))
        bar.RecordPlace(slip->GetLocation(), bar.GetWindowRect());
    Remove(bar);
}

TEdgeSlip* TZKHarbor::CreateEdgeSlip(TDecoratedFrame& frame, TAbsLocation location)
{
    return new TZKEdgeSlip(frame, location);
}

TFloatingSlip* TZKHarbor::CreateFloatingSlip(TDecoratedFrame& frame, int x, int y, TWindow* dockableWindow)
{
    return new TZKFloatingSlip(&frame, x, y, dockableWindow);
}

TZKEdgeSlip::~TZKEdgeSlip()
{
    // CleanupWindow runs only while this class is still whole.
    if (IsWindow())
        Destroy(0);
}

void TZKEdgeSlip::CleanupWindow()
{
    for (TWindow* child : GetChildren()) {
        if (auto* bar = dynamic_cast<TDecToolBar*>(child))
            bar->RecordPlace(GetLocation(), bar->GetWindowRect());
    }
    TEdgeSlip::CleanupWindow();
}

TZKFloatingSlip::TZKFloatingSlip(TWindow* parent, int x, int y, TWindow* clientWnd)
    : TFloatingSlip(parent, x, y, clientWnd), bar_(dynamic_cast<TDecToolBar*>(clientWnd))
{
}

TZKFloatingSlip::~TZKFloatingSlip()
{
    if (IsWindow())
        Destroy(0);
}

void TZKFloatingSlip::CleanupWindow()
{
    if (bar_)
        bar_->RecordPlace(alNone, GetWindowRect());
    TFloatingSlip::CleanupWindow();
}

void RegisterToolBarCommands()
{
    struct BarItem {
        UINT command;
        TDecToolBar& (*bar)(TZKHarbor&);
        bool (*hasButtons)();
    };
    static const BarItem kItems[] = {
        {CM_MAINTOOLBAR, [](TZKHarbor& h) -> TDecToolBar& { return h.GetMainBar(); }, &TMainToolBar::HasButtons},
        {CM_GRAPHICSTOOLBAR, [](TZKHarbor& h) -> TDecToolBar& { return h.GetGraphBar(); },
         &TGraphToolBar::HasButtons},
    };
    for (const BarItem& item : kItems) {
        RegisterFrameCommand(
            item.command,
            {[&item](MDIFrame& frame) {
                 if (TZKHarbor* harbor = frame.GetHarbor())
                     harbor->ToggleBar(item.bar(*harbor));
             },
             [&item](MDIFrame& frame, TCommandEnabler& enabler) {
                 TZKHarbor* harbor = frame.GetHarbor();
                 const bool shown = harbor && harbor->IsBarShown(item.bar(*harbor));
                 enabler.SetCheck(shown ? TCommandEnabler::Checked : TCommandEnabler::Unchecked);
             }},
            item.hasButtons);
    }
}
