#pragma once
// A pen: how lines and outlines are drawn. The width is in logical units of
// the context the pen is used in; 0 or anything that maps to one device pixel
// or less draws one pixel wide. Dashed and dotted styles apply to pens one
// pixel wide; wider ones draw solid.

#include "platform/gdi/gdi_types.h"

class TPen {
public:
    TPen() = default;  // black, solid, one pixel
    explicit TPen(TColor color, int width = 1, int style = PS_SOLID) : color_(color), width_(width), style_(style) {}

    // WHITE_PEN, BLACK_PEN or NULL_PEN; anything else gives the black pen.
    static TPen Stock(int id)
    {
        if (id == WHITE_PEN)
            return TPen(TColor::White);
        if (id == NULL_PEN)
            return TPen(TColor::Black, 0, PS_NULL);
        return TPen();
    }

    TColor GetColor() const { return color_; }
    int GetWidth() const { return width_; }
    int GetStyle() const { return style_; }
    bool IsNull() const { return style_ == PS_NULL; }

    bool operator==(const TPen&) const = default;

private:
    TColor color_ = TColor::Black;
    int width_ = 1;
    int style_ = PS_SOLID;
};
