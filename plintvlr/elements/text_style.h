#pragma once
// The style of a text element as the text style page edits it: orientation,
// character size multipliers and justification. The setters return the
// rectangle to repaint, empty when nothing changed.

#include "platform/base/geometry.h"

class TTextStyle {
public:
    virtual bool GetHorizontal() const = 0;
    virtual TRect SetHorizontal(bool horizontal) = 0;
    // (x, y) multipliers.
    virtual TSize GetTextSize() const = 0;
    virtual TRect SetTextSize(int x, int y) = 0;
    // 0 left, 1 centre, 2 right.
    virtual int GetJustify() const = 0;
    virtual TRect SetJustify(int justify) = 0;
    virtual ~TTextStyle() = default;
};
