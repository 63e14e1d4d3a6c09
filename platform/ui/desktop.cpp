#include "platform/ui/desktop.h"

#include "platform/ui/window.h"
#include "platform/ui/window_bridge.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace {

// The handle only names the desktop; no window object or widget stands behind it.
TWindowHandle desktopHandle;

bool snapToDefaultButton = false;

}  // namespace

HWND GetDesktopWindow()
{
    return &desktopHandle;
}

bool IsDesktopWindow(HWND hwnd)
{
    return hwnd && hwnd == &desktopHandle;
}

TRect DesktopRect()
{
    const QScreen* screen = qGuiApp ? QGuiApplication::primaryScreen() : nullptr;
    if (!screen)
        return {};
    const QRect r = screen->virtualGeometry();
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

bool SystemParametersInfo(UINT action, UINT param, void* pvParam, UINT /*winIni*/)
{
    switch (action) {
    case SPI_GETSNAPTODEFBUTTON:
        if (!pvParam)
            return false;
        *static_cast<BOOL*>(pvParam) = snapToDefaultButton ? 1 : 0;
        return true;
    case SPI_SETSNAPTODEFBUTTON:
        snapToDefaultButton = param != 0;
        return true;
    default:
        return false;
    }
}

bool SetCursorPos(int x, int y)
{
    if (!qGuiApp)
        return false;
    QCursor::setPos(x, y);
    // GetCursorPos answers from the mouse input the windows saw last; a
    // moved cursor is where the next input will come from.
    TWindowBridge::SetCursorPos({x, y});
    return true;
}
