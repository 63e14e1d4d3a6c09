#pragma once
// The graphics grid of a graphic page: new, moved and resized elements land
// on multiples of a grid unit, and every few units a grid line can be
// painted. GraphGrid is the snapping and painting raster itself;
// GraphGridState is what the page canvas keeps beside it (the units the
// profile carries and "Grid On" switches to, whether lines are painted) with
// the logic of the three grid commands, their enablers and the profile
// section that carries the grid from one run to the next.
//
// Coordinates are page units of 1/20 pixel; grid positions count from the
// screen's left edge in x and from its bottom edge in y, the panel's origin.

#include "plintvlr/shell/frame_commands.h"  // the grid commands CM_GRIDON, CM_HIDEGRIDLINES, CM_SETGRID
#include "platform/base/color.h"
#include "platform/base/geometry.h"

class TCommandEnabler;
class TDC;

class GraphGrid {
public:
    // The ranges the grid dialog offers; stored values outside them are not used.
    static constexpr int kMaxUnit = 40;
    static constexpr int kMaxMultiple = 10;

    int unitX = 1;      // horizontal unit in panel pixels (1: no horizontal snapping)
    int unitY = 1;      // vertical unit in panel pixels
    int multiple = 1;   // a line is painted every multiple-th unit
    TColor lineColor = TColor::LtGray;

    // The point (page units) moved to the nearest grid position; a point
    // halfway goes to the larger distance from the edge.
    void Snap(TPoint& point, int screenHeight) const;
    // The grid lines over the whole screen (W x H pixels) into a context in
    // the page mapping, in the line colour.
    void Paint(TDC& dc, const TSize& screen) const;
    // The grid is on exactly when it snaps to more than whole pixels.
    bool IsOn() const { return unitX != 1 || unitY != 1; }
};

class GraphGridState {
public:
    GraphGrid grid;        // the active grid
    int storedUnitX = 1;   // what the profile carries and "Grid On" switches to
    int storedUnitY = 1;
    bool linesShown = false;

    GraphGridState() = default;
    // A grid dialog open on this grid closes with it.
    ~GraphGridState();
    GraphGridState(const GraphGridState&) = delete;
    GraphGridState& operator=(const GraphGridState&) = delete;

    // Reads the profile section: stored units and the multiple. A value
    // outside the dialog's range, empty or not a number reads as 1.
    void LoadProfile();
    // Writes the stored units and the active multiple back.
    void SaveProfile() const;

    // A text panel snaps to the character cell and shows its lines.
    void SetUpTextPanel(const TSize& cellPixels);

    // The grid commands. Each answers whether the page must be painted again.
    bool GridOn();
    bool ToggleLines();
    // Line colour for the page background colour index (grey on 9).
    void SetLineColor(int backgroundIndex);

    // Enablers and texts of the grid commands ("Set Grid" also serves
    // "Add Template").
    void EnableGridOn(TCommandEnabler& enabler, bool textPanel, bool pickup) const;
    void EnableHideLines(TCommandEnabler& enabler, bool textPanel, bool pickup) const;
    static void EnableSetGrid(TCommandEnabler& enabler, bool textPanel, bool pickup);
};
