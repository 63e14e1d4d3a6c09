#pragma once
// The bar at the top of the page editor: the page number, the mouse
// position and the selected element's position or size, in panel pixels.

#include "platform/ui/gadget_window.h"
#include "platform/ui/text_gadget.h"

class TIndicatorBar : public TGadgetWindow {
public:
    TIndicatorBar(TWindow* parent, int panelType);

    void SetPage(int page);
    void SetCursorPos(const TPoint& point);
    // `position`: the point is the element's position, else its width and height.
    void SetObjectPos(const TPoint& point, bool position);

    // The gadgets, 1 to 6 from the left.
    TTextGadget& Gadget(int number) const { return *gadgets_[number - 1]; }

private:
    TTextGadget* gadgets_[6] = {};
};
