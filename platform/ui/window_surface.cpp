#include "platform/ui/window_surface.h"

#include "platform/gdi/gdi_types.h"
#include "platform/ui/backing_image.h"
#include "platform/ui/window.h"

#include <QRegion>
#include <QWidget>

TRect TWidgetSurface::GetClientRect() const
{
    return TRect(0, 0, widget_.width(), widget_.height());
}

void TWidgetSurface::ScrollPixels(int dx, int dy, const TRect& area)
{
    // QWidget::scroll also moves children; they are moved here only when the
    // caller asks, so only the pixels of `area` are scrolled this way.
    widget_.scroll(dx, dy, QRect(area.left, area.top, area.Width(), area.Height()));
}

void TWidgetSurface::Invalidate(const QRegion& region, bool /*erase*/)
{
    // A window's background is always painted before Paint runs.
    widget_.update(region);
}

namespace {

// What a window paints on and what its children lie in: for a frame (a
// main window, an MDI child) that is the client area, not the frame around it.
QWidget* ClientWidgetOf(HWND hwnd)
{
    TWindow* window = GetWindowPtr(hwnd);
    return window ? window->GetClientWidget() : nullptr;
}

}  // namespace

int ScrollWindowEx(HWND hwnd, int dx, int dy, const TRect* scroll, const TRect* clip, TRegion* update,
                   TRect* updateRect, UINT flags)
{
    QWidget* widget = ClientWidgetOf(hwnd);
    if (!widget)
        return RGN_ERROR;
    TWidgetSurface widgetSurface(*widget);
    TBackingImage* backing = GetBackingImage(*GetWindowPtr(hwnd));
    TWindowSurface& surface = backing ? static_cast<TWindowSurface&>(*backing) : widgetSurface;
    const TRect area = scroll ? *scroll : surface.GetClientRect();
    if (flags & SW_SCROLLCHILDREN) {
        for (QObject* object : widget->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child && child->isWindow() == false &&
                area.Touches(TRect(child->x(), child->y(), child->x() + child->width(), child->y() + child->height())))
                child->move(child->x() + dx, child->y() + dy);
        }
    }
    return ScrollWindowEx(surface, dx, dy, scroll, clip, update, updateRect, flags);
}

BOOL InvalidateRgn(HWND hwnd, const TRegion* region, bool erase)
{
    QWidget* widget = ClientWidgetOf(hwnd);
    if (!widget)
        return false;
    if (TBackingImage* backing = GetBackingImage(*GetWindowPtr(hwnd)))
        return InvalidateRgn(*backing, region, erase);
    TWidgetSurface surface(*widget);
    return InvalidateRgn(surface, region, erase);
}
