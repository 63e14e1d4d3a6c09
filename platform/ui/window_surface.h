#pragma once
// Scrolling and invalidation of a real window: the graphics layer's
// ScrollWindowEx and InvalidateRgn over a window's widget.

#include "platform/base/win_types.h"
#include "platform/gdi/window_dc.h"

class QWidget;
class TRegion;

// A window's client area as the graphics layer's scrolling calls see it.
class TWidgetSurface : public TWindowSurface {
public:
    explicit TWidgetSurface(QWidget& widget) : widget_(widget) {}
    TRect GetClientRect() const override;
    void ScrollPixels(int dx, int dy, const TRect& area) override;
    void Invalidate(const QRegion& region, bool erase) override;

private:
    QWidget& widget_;
};

// As the graphics layer's calls, on a window handle. With SW_SCROLLCHILDREN
// the child windows inside the scrolled area move with the pixels. A handle
// that is no window does nothing (RGN_ERROR, false).
int ScrollWindowEx(HWND hwnd, int dx, int dy, const TRect* scroll, const TRect* clip, TRegion* update,
                   TRect* updateRect, UINT flags);
BOOL InvalidateRgn(HWND hwnd, const TRegion* region, bool erase);
