#pragma once
// TDockableControlBar: a tool bar that a harbor docks along an edge of its
// frame or floats in a palette window of its own. Docked at the top or the
// bottom it lays its gadgets out in a row, at the left or the right in a
// column; floating it uses the rectangular layout. A press on the bar where
// there is no button starts a drag; let go near an edge of the frame, the bar
// docks there, anywhere else it floats (or its palette moves).

#include "platform/ui/gadget_window.h"

class THarbor;

class TDockableControlBar : public TControlBar {
public:
    explicit TDockableControlBar(TWindow* parent = nullptr, TTileDirection direction = Horizontal,
                                 TModule* module = nullptr);

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    // Takes the direction that suits `location` and lays the gadgets out.
    virtual void Layout(TAbsLocation location);
    // The same, for a bar that is to take about `size` there: floating, it
    // puts as many gadgets in a row as the width holds (at least one; all in
    // one row when the width is 0). Along an edge the edge decides the size.
    void Layout(TAbsLocation location, const TSize& size);
    // The edge it is docked at; alNone when it floats or is not shown.
    TAbsLocation GetLocation() const;
    bool IsFloating() const;
    THarbor* GetHarbor() const { return harbor_; }
    void SetHarbor(THarbor* harbor) { harbor_ = harbor; }

protected:
    void EvLButtonDown(UINT keys, const TPoint& point);
    void EvMouseMove(UINT keys, const TPoint& point);
    void EvLButtonUp(UINT keys, const TPoint& point);

private:
    THarbor* harbor_ = nullptr;
    bool pressed_ = false;   // the button went down where a drag can start
    bool dragging_ = false;  // and the mouse has moved far enough since
    TPoint grab_;            // where, in client coordinates
};
