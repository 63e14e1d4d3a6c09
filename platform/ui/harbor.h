#pragma once
// THarbor: the docking service of a decorated frame. It docks tool bars
// (TDockableControlBar) in edge slips along the frame's edges, floats them
// in palette windows, takes them away (hidden) and puts them back. The slips
// come from two factories a program may replace, to keep track of where its
// bars were when their slips go away.
//
// The harbor itself is a hidden child window of the frame; bars made with
// the harbor as parent wait there until they are inserted, and go back there
// when they are removed.

#include "platform/ui/decoration.h"
#include "platform/ui/window.h"

class TDecoratedFrame;
class TDockableControlBar;
class TEdgeSlip;
class TFloatingSlip;

class THarbor : public TWindow {
public:
    explicit THarbor(TDecoratedFrame& frame);
    ~THarbor() override;

    // Docks `bar` along `location`, or floats it for alNone, with its
    // top-left at screen point `where` (null: the harbor places it). A bar
    // that is docked or floating elsewhere moves. Answers the slip.
    TWindow* Insert(TDockableControlBar& bar, TAbsLocation location, const TPoint* where = nullptr);
    // Takes the bar off its slip and hides it; its window stays.
    void Remove(TDockableControlBar& bar);
    void Move(TDockableControlBar& bar, TAbsLocation location, const TPoint* where = nullptr)
    {
        Insert(bar, location, where);
    }
    TEdgeSlip* GetEdgeSlip(TAbsLocation location) const;
    TDecoratedFrame& GetFrame() const { return frame_; }

    // The edge a bar let go at screen point `point` docks to; alNone when
    // the point is not near an edge of the frame's client area.
    TAbsLocation DockingEdge(const TPoint& point) const;
    // A bar was dragged and let go: the mouse at `mouse`, the bar's top-left
    // would be at `topLeft` (both screen points).
    void DragEnded(TDockableControlBar& bar, const TPoint& mouse, const TPoint& topLeft);

protected:
    // Called when a bar docks at an edge that has no slip yet.
    virtual TEdgeSlip* CreateEdgeSlip(TDecoratedFrame& frame, TAbsLocation location);
    // Called when a bar is floated, with the palette's screen place.
    virtual TFloatingSlip* CreateFloatingSlip(TDecoratedFrame& frame, int x, int y, TWindow* dockableWindow);

private:
    // Takes the bar from where it is (slip or palette) back under the harbor.
    void Detach(TDockableControlBar& bar);

    TDecoratedFrame& frame_;
};
