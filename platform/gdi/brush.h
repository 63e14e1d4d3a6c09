#pragma once
// A brush: how areas are filled. Solid in one colour (a system colour is
// looked up when the brush is used, so it follows the desktop), or hollow
// (null): areas are left as they are.

#include "platform/gdi/gdi_types.h"

class TBrush {
public:
    TBrush() = default;  // solid white
    explicit TBrush(TColor color) : color_(color) {}

    static TBrush Hollow()
    {
        TBrush b;
        b.style_ = BS_NULL;
        return b;
    }
    // WHITE_BRUSH, LTGRAY_BRUSH, GRAY_BRUSH, DKGRAY_BRUSH, BLACK_BRUSH or
    // NULL_BRUSH; anything else gives the white brush.
    static TBrush Stock(int id)
    {
        switch (id) {
        case LTGRAY_BRUSH:
            return TBrush(TColor::LtGray);
        case GRAY_BRUSH:
            return TBrush(TColor::Gray);
        case DKGRAY_BRUSH:
            return TBrush(TColor(64, 64, 64));
        case BLACK_BRUSH:
            return TBrush(TColor::Black);
        case NULL_BRUSH:
            return Hollow();
        default:
            return TBrush(TColor::White);
        }
    }

    TColor GetColor() const { return color_; }
    int GetStyle() const { return style_; }
    bool IsNull() const { return style_ == BS_NULL; }

    bool operator==(const TBrush&) const = default;

private:
    TColor color_ = TColor::White;
    int style_ = BS_SOLID;
};
