#pragma once
// TZKHarbor: the main frame's harbor with its two tool bars, the main bar
// and the graphics bar. It docks them where they were left in the last run
// (a first run puts both at the top, the main bar first), hides and shows
// them for the View menu, and makes slips that record their bars' places
// when they go away, so that each bar holds its final place at the end of
// the run. A bar without any button is left out.

#include "platform/ui/edge_slip.h"
#include "platform/ui/floating_slip.h"
#include "platform/ui/harbor.h"

class TDecToolBar;
class TGraphToolBar;
class TMainToolBar;

class TZKHarbor : public THarbor {
public:
    explicit TZKHarbor(TDecoratedFrame& frame);
    ~TZKHarbor() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    TMainToolBar& GetMainBar() const { return *mainBar_; }
    TGraphToolBar& GetGraphBar() const { return *graphBar_; }

    // Hides a shown bar, or shows a hidden one where it was.
    void ToggleBar(TDecToolBar& bar);
    // Whether the bar is docked or floating (not taken away).
    bool IsBarShown(const TDecToolBar& bar) const;

protected:
    void SetupWindow() override;
    TEdgeSlip* CreateEdgeSlip(TDecoratedFrame& frame, TAbsLocation location) override;
    TFloatingSlip* CreateFloatingSlip(TDecoratedFrame& frame, int x, int y, TWindow* dockableWindow) override;

private:
    // Lays the bars out for their recorded places and docks them there.
    void DockBars();
    LRESULT EvDockBars(WPARAM, LPARAM);
    // Docks or floats the bar at its recorded place.
    void InsertAtRecordedPlace(TDecToolBar& bar);
    static bool HasButtons(const TDecToolBar& bar);

    TMainToolBar* mainBar_;
    TGraphToolBar* graphBar_;
};

// The slip along one edge: records the places of its bars when it goes.
class TZKEdgeSlip : public TEdgeSlip {
public:
    using TEdgeSlip::TEdgeSlip;
    ~TZKEdgeSlip() override;

protected:
    void CleanupWindow() override;
};

// The palette of one floating bar: records the bar's place (floating, the
// palette's rectangle) when it goes.
class TZKFloatingSlip : public TFloatingSlip {
public:
    TZKFloatingSlip(TWindow* parent, int x, int y, TWindow* clientWnd);
    ~TZKFloatingSlip() override;

protected:
    void CleanupWindow() override;

private:
    TDecToolBar* bar_;  // null when the palette carries no such bar
};

// Registers the View items "&Main Toolbar" and "&Graphics Toolbar", shown
// when their bar has buttons, checked while it is shown.
void RegisterToolBarCommands();
