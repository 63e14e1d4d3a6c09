#pragma once
// Selection handles on a rectangle: eight small squares of the handle
// thickness just outside its corners and the middles of its sides, which a
// window paints over a selected object and hit-tests under the mouse. The
// rectangle and the thickness are in the logical units of the context the
// handles are painted in (and of the points tested).
//
// Positions, as HitTest answers them:
//     0 1 2
//     3 4 5      4 is inside the rectangle, -1 outside everything.
//     6 7 8

#include "platform/base/geometry.h"

class TDC;

class TUIHandle {
public:
    // Style bits. Callers store and pass them on; the look here is the
    // eight squares whatever the bits, and only MoveCursor changes an answer.
    enum : unsigned {
        Framed = 0x01,
        HatchBorder = 0x08,
        HatchRect = 0x10,
        MoveCursor = 0x40,
    };
    enum Where {
        Outside = -1,
        TopLeft = 0,
        Top = 1,
        TopRight = 2,
        Left = 3,
        Inside = 4,
        Right = 5,
        BottomLeft = 6,
        Bottom = 7,
        BottomRight = 8,
    };

    TUIHandle(const TRect& rect, unsigned style, int thickness);

    const TRect& GetRect() const { return rect_; }
    unsigned GetStyle() const { return style_; }
    int GetThickness() const { return thickness_; }

    // The square of one of the eight handle positions (empty for 4 and others).
    TRect HandleRect(int where) const;
    // The rectangle grown by the thickness: everything Paint may touch.
    TRect GetBoundingRect() const { return rect_.Inflate(thickness_, thickness_); }

    // Inverts the eight squares, so they show on any colour (painting twice
    // takes them away again).
    void Paint(TDC& dc) const;
    // Handles win over the inside where they overlap it.
    int HitTest(const TPoint& point) const;

    // The standard cursor (IDC_*) for a position: the diagonal, vertical and
    // horizontal size cursors for the handles, the move cursor inside with
    // MoveCursor, the arrow otherwise.
    static int GetCursorId(int where, unsigned style);

private:
    TRect rect_;
    unsigned style_;
    int thickness_;
};
