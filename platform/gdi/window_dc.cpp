#include "platform/gdi/window_dc.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

TScreenDC::TScreenDC()
{
    DeviceInfo info;
    info.width = 1024;
    info.height = 768;
    if (const QScreen* screen = qGuiApp ? QGuiApplication::primaryScreen() : nullptr) {
        info.width = screen->geometry().width();
        info.height = screen->geometry().height();
        info.dpiX = static_cast<int>(screen->logicalDotsPerInchX() + 0.5);
        info.dpiY = static_cast<int>(screen->logicalDotsPerInchY() + 0.5);
    }
    SetInformationOnly(info);
}

namespace {
TClientAreaAccess g_clientAccess;
}  // namespace

void SetClientAreaAccess(const TClientAreaAccess& access)
{
    g_clientAccess = access;
}

TClientDC::TClientDC(HWND window)
{
    if (QImage* image = g_clientAccess.image ? g_clientAccess.image(window) : nullptr) {
        AttachImage(image, false);
        window_ = window;
        return;
    }
    const TScreenDC screen;
    DeviceInfo info;
    info.dpiX = screen.GetDeviceCaps(LOGPIXELSX);
    info.dpiY = screen.GetDeviceCaps(LOGPIXELSY);
    const TSize size = g_clientAccess.size ? g_clientAccess.size(window) : TSize(0, 0);
    info.width = size.cx;
    info.height = size.cy;
    SetInformationOnly(info);
}

TClientDC::~TClientDC()
{
    // The window may have gone while the context lived; the access checks.
    if (window_ && g_clientAccess.changed)
        g_clientAccess.changed(window_);
}

TPaintDC::TPaintDC(QPainter& painter, const TRect& paintRect, bool erase)
    : TDC(painter), paintRect_(paintRect), erase_(erase)
{
    SetSystemClip(&TRegion(paintRect).GetQRegion());
}

TPaintDC::TPaintDC(QImage& surface, const TRect& paintRect, bool erase)
    : TDC(surface), paintRect_(paintRect), erase_(erase)
{
    SetSystemClip(&TRegion(paintRect).GetQRegion());
}

void PaintWithPainter(QPainter& painter, const std::function<void(TDC&)>& use)
{
    TDC dc(painter);
    use(dc);
}

void TImageSurface::ScrollPixels(int dx, int dy, const TRect& area)
{
    const TRect a = area.Normalized().Intersection(GetClientRect());
    if (a.IsEmpty())
        return;
    const QImage before = image_.copy(a.left, a.top, a.Width(), a.Height());
    QPainter p(&image_);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.setClipRect(a.left, a.top, a.Width(), a.Height());
    p.drawImage(a.left + dx, a.top + dy, before);
}

void TImageSurface::Invalidate(const QRegion& region, bool erase)
{
    invalid_ += region;
    erase_ = erase_ || erase;
}

int ScrollWindowEx(TWindowSurface& window, int dx, int dy, const TRect* scroll, const TRect* clip,
                   TRegion* update, TRect* updateRect, UINT flags)
{
    const TRect client = window.GetClientRect();
    const QRegion area =
        (TRegion(scroll ? *scroll : client) & TRegion(clip ? *clip : client) & TRegion(client)).GetQRegion();
    // What lands inside the area comes from inside it; the rest of the area
    // has nothing to show and must be painted.
    const QRegion uncovered = area - area.translated(dx, dy);
    if (!area.isEmpty() && (dx != 0 || dy != 0))
        window.ScrollPixels(dx, dy, TRegion(area).GetRgnBox());
    const TRegion result(uncovered);
    if (update)
        *update = result;
    if (updateRect)
        *updateRect = result.GetRgnBox();
    if ((flags & SW_INVALIDATE) && !uncovered.isEmpty())
        window.Invalidate(uncovered, (flags & SW_ERASE) != 0);
    return result.Kind();
}

BOOL InvalidateRgn(TWindowSurface& window, const TRegion* region, bool erase)
{
    window.Invalidate(region ? region->GetQRegion() : TRegion(window.GetClientRect()).GetQRegion(), erase);
    return true;
}
