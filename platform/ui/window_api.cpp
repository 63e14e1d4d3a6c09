#include "platform/ui/window_api.h"

#include "platform/ui/desktop.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/foreign_window.h"
#include "platform/ui/message_queue.h"
#include "platform/ui/window.h"
#include "platform/ui/window_bridge.h"
#include "platform/ui/window_registry.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <cstring>

namespace {

std::vector<HWND> TopLevelHandles()
{
    std::vector<HWND> result;
    for (HWND h : LiveHandles()) {
        TWindow* w = GetWindowPtr(h);
        if (w && !(w->GetStyle() & WS_CHILD))
            result.push_back(h);
    }
    return result;
}

}  // namespace

bool IsWindow(HWND hwnd)
{
    return GetWindowPtr(hwnd) != nullptr;
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (hwnd == HWND_BROADCAST) {
        for (HWND h : TopLevelHandles()) {
            if (TWindow* w = GetWindowPtr(h))
                w->HandleMessage(msg, wParam, lParam);
        }
        return 0;
    }
    TWindow* w = GetWindowPtr(hwnd);
    return w ? w->HandleMessage(msg, wParam, lParam) : 0;
}

bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (hwnd == HWND_BROADCAST) {
        for (HWND h : TopLevelHandles())
            QueueMessage(h, msg, wParam, lParam);
        return true;
    }
    return QueueMessage(hwnd, msg, wParam, lParam);
}

void PostQuitMessage(int exitCode)
{
    QueueQuit(exitCode);
}

HWND GetParent(HWND hwnd)
{
    TWindow* w = GetWindowPtr(hwnd);
    return w ? w->GetParent() : nullptr;
}

HWND GetDlgItem(HWND dialog, int id)
{
    TWindow* w = GetWindowPtr(dialog);
    return w ? w->GetDlgItem(id) : nullptr;
}

int GetDlgCtrlID(HWND hwnd)
{
    TWindow* w = GetWindowPtr(hwnd);
    return w ? w->GetId() : 0;
}

HWND SetFocus(HWND hwnd)
{
    HWND previous = GetFocus();
    if (TWindow* w = GetWindowPtr(hwnd))
        w->SetFocus();
    else if (IsForeignWindow(hwnd))
        ActivateForeignWindow(hwnd);
    return previous;
}

HWND GetFocus()
{
    TWindow* w = TWindowBridge::WindowFor(QApplication::focusWidget());
    return w ? w->GetHandle() : nullptr;
}

HWND GetActiveWindow()
{
    TWindow* w = TWindowBridge::WindowFor(QApplication::activeWindow());
    return w ? w->GetTopLevel()->GetHandle() : nullptr;
}

bool EnableWindow(HWND hwnd, bool enable)
{
    TWindow* w = GetWindowPtr(hwnd);
    return w ? w->EnableWindow(enable) : false;
}

bool IsWindowEnabled(HWND hwnd)
{
    TWindow* w = GetWindowPtr(hwnd);
    return w && w->IsWindowEnabled();
}

bool IsWindowVisible(HWND hwnd)
{
    TWindow* w = GetWindowPtr(hwnd);
    return w && w->IsWindowVisible();
}

bool ShowWindow(HWND hwnd, int cmdShow)
{
    if (IsForeignWindow(hwnd))
        return cmdShow != SW_HIDE && ActivateForeignWindow(hwnd);
    TWindow* w = GetWindowPtr(hwnd);
    return w ? w->ShowWindow(cmdShow) : false;
}

bool SetWindowText(HWND hwnd, const char* text)
{
    TWindow* w = GetWindowPtr(hwnd);
    if (!w)
        return false;
    w->SetWindowText(text);
    return true;
}

int GetWindowText(HWND hwnd, char* buffer, int size)
{
    TWindow* w = GetWindowPtr(hwnd);
    if (!w && IsForeignWindow(hwnd) && buffer && size > 0) {
        const std::string caption = ForeignWindowCaption(hwnd);
        const std::size_t n = std::min(caption.size(), static_cast<std::size_t>(size - 1));
        std::memcpy(buffer, caption.data(), n);
        buffer[n] = '\0';
        return static_cast<int>(n);
    }
    if (!w) {
        if (buffer && size > 0)
            buffer[0] = '\0';
        return 0;
    }
    return w->GetWindowText(buffer, size);
}

std::string GetWindowText(HWND hwnd)
{
    if (IsForeignWindow(hwnd))
        return ForeignWindowCaption(hwnd);
    TWindow* w = GetWindowPtr(hwnd);
    return w ? w->GetWindowText() : std::string();
}

bool DestroyWindow(HWND hwnd)
{
    TWindow* w = GetWindowPtr(hwnd);
    if (!w)
        return false;
    w->Destroy(0);
    return true;
}

bool MoveWindow(HWND hwnd, int x, int y, int w, int h, bool repaint)
{
    TWindow* window = GetWindowPtr(hwnd);
    return window && window->MoveWindow(x, y, w, h, repaint);
}

bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    TWindow* w = GetWindowPtr(hwnd);
    return w && w->SetWindowPos(insertAfter, x, y, cx, cy, flags);
}

bool GetClientRect(HWND hwnd, TRect* rect)
{
    if (IsDesktopWindow(hwnd) && rect) {
        const TRect desktop = DesktopRect();
        *rect = {0, 0, desktop.Width(), desktop.Height()};
        return true;
    }
    TWindow* w = GetWindowPtr(hwnd);
    if (!w || !rect)
        return false;
    *rect = w->GetClientRect();
    return true;
}

bool GetWindowRect(HWND hwnd, TRect* rect)
{
    if (IsDesktopWindow(hwnd) && rect) {
        *rect = DesktopRect();
        return true;
    }
    TWindow* w = GetWindowPtr(hwnd);
    if (!w || !rect)
        return false;
    *rect = w->GetWindowRect();
    return true;
}

bool InvalidateRect(HWND hwnd, const TRect* rect, bool erase)
{
    TWindow* w = GetWindowPtr(hwnd);
    if (!w)
        return false;
    if (rect)
        w->InvalidateRect(*rect, erase);
    else
        w->Invalidate(erase);
    return true;
}

bool SetForegroundWindow(HWND hwnd)
{
    if (IsForeignWindow(hwnd))
        return ActivateForeignWindow(hwnd);
    TWindow* w = GetWindowPtr(hwnd);
    if (!w)
        return false;
    w->GetTopLevel()->BringWindowToTop();
    return true;
}

bool BringWindowToTop(HWND hwnd)
{
    if (IsForeignWindow(hwnd))
        return ActivateForeignWindow(hwnd);
    TWindow* w = GetWindowPtr(hwnd);
    if (!w)
        return false;
    w->BringWindowToTop();
    return true;
}

HWND FindWindow(const char* /*className*/, const char* caption)
{
    if (!caption)
        return nullptr;
    for (HWND h : TopLevelHandles()) {
        TWindow* w = GetWindowPtr(h);
        if (w && w->GetCaption() == caption)
            return h;
    }
    // A main window another program published (single_instance.h).
    return FindForeignWindow(caption);
}

HWND SetCapture(HWND hwnd)
{
    HWND previous = TWindowBridge::Capture();
    TWindowBridge::SetCapture(IsWindow(hwnd) ? hwnd : nullptr);
    return previous;
}

bool ReleaseCapture()
{
    TWindowBridge::SetCapture(nullptr);
    return true;
}

HWND GetCapture()
{
    return TWindowBridge::Capture();
}

bool GetCursorPos(TPoint* point)
{
    if (!point)
        return false;
    *point = TWindowBridge::CursorPos();
    return true;
}

short GetKeyState(int virtualKey)
{
    const Qt::KeyboardModifiers mods = TWindowBridge::CurrentModifiers();
    const Qt::MouseButtons buttons = TWindowBridge::CurrentButtons();
    bool down = false;
    switch (static_cast<UINT>(virtualKey)) {
    case VK_SHIFT:
        down = mods & Qt::ShiftModifier;
        break;
    case VK_CONTROL:
        down = mods & Qt::ControlModifier;
        break;
    case VK_MENU:
        down = mods & Qt::AltModifier;
        break;
    case VK_LBUTTON:
        down = buttons & Qt::LeftButton;
        break;
    case VK_RBUTTON:
        down = buttons & Qt::RightButton;
        break;
    case VK_MBUTTON:
        down = buttons & Qt::MiddleButton;
        break;
    default:
        break;
    }
    return down ? static_cast<short>(0x8000) : 0;
}

int GetSystemMetrics(int index)
{
    QStyle* style = QApplication::style();
    const QScreen* screen = QGuiApplication::primaryScreen();
    switch (index) {
    case SM_CXSCREEN:
        return screen ? screen->geometry().width() : 0;
    case SM_CYSCREEN:
        return screen ? screen->geometry().height() : 0;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
        return style ? style->pixelMetric(QStyle::PM_ScrollBarExtent) : 16;
    case SM_CYCAPTION:
        return style ? style->pixelMetric(QStyle::PM_TitleBarHeight) : 20;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    case SM_CYMENU:
        return QFontMetrics(QApplication::font()).height() + 8;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return 4;
    default:
        return 0;
    }
}

long GetDialogBaseUnits()
{
    const TDialogUnits units = DialogUnitsOf(QApplication::font());
    return static_cast<long>(MAKELONG(static_cast<WORD>(units.baseX), static_cast<WORD>(units.baseY)));
}

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    // Rounded half away from zero, as the system's MulDiv rounds.
    const long long p = static_cast<long long>(number) * numerator;
    const long long d = denominator;
    const bool negative = (p < 0) != (d < 0);
    const long long ap = p < 0 ? -p : p;
    const long long ad = d < 0 ? -d : d;
    const long long q = (ap + ad / 2) / ad;
    return static_cast<int>(negative ? -q : q);
}
