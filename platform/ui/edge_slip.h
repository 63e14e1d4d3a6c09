#pragma once
// TEdgeSlip: the strip along one edge of a decorated frame that holds the
// tool bars docked there, in rows (top and bottom edges) or columns (left and
// right). A bar docked at a screen point goes into the row under that point
// (a new row above or below the others when the point is outside them), at
// that offset along the row unless a bar before it is in the way.

#include "platform/ui/decoration.h"
#include "platform/ui/window.h"

#include <vector>

class TDecoratedFrame;
class TDockableControlBar;

class TEdgeSlip : public TWindow, public TDecorationSize, public TDecorationHost {
public:
    TEdgeSlip(TDecoratedFrame& parent, TAbsLocation location, TModule* module = nullptr);
    ~TEdgeSlip() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    TAbsLocation GetLocation() const { return location_; }
    // Docks the bar with its top-left at screen point `where`; without a
    // point it goes at the end of the last row.
    void Dock(TDockableControlBar& bar, const TPoint* where);
    // Takes the bar out of the layout (the harbor moves its window elsewhere).
    void Undock(TDockableControlBar& bar);
    // The bars docked here, row by row.
    std::vector<TDockableControlBar*> GetBars() const;

    TSize DesiredDecorationSize(TAbsLocation location, const TSize& room) override;
    bool DecorationChangedSize(TWindow& decoration) override;
    // Places the bars again and lets the frame lay out for the slip's new thickness.
    void LayoutBars();

protected:
    void EvSize(UINT sizeType, const TSize& size);

private:
    struct Place {
        TDockableControlBar* bar;
        int row;
        int offset;  // along the row, in client coordinates
    };

    bool Horizontal() const { return location_ == alTop || location_ == alBottom; }
    // The places row by row, each row from its start.
    std::vector<Place> PlacesInOrder() const;
    TSize BarSize(TDockableControlBar& bar) const;
    std::vector<int> RowThicknesses() const;
    void PlaceBars();
    void ForgetGone();

    TAbsLocation location_;
    std::vector<Place> places_;
};

