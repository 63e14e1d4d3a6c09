#include "plintvlr/shell/win_positioner.h"

#include "plintvlr/shell/base/shell_string_ids.h"
#include "plintvlr/shell/base/str.h"
#include "platform/ui/desktop.h"
#include "platform/ui/dialog.h"
#include "platform/ui/messages.h"
#include "platform/ui/styles.h"
#include "platform/ui/window.h"
#include "platform/ui/window_api.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr UINT kShowUnsized = SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW;

TRect WindowRectOf(HWND hwnd)
{
    TRect rect;
    GetWindowRect(hwnd, &rect);
    return rect;
}

TRect DesktopBounds()
{
    return WindowRectOf(GetDesktopWindow());
}

// The edge of a window placed `offset` from `base`. The sum is taken in a
// wide type (a hand-edited offset may lie near the integer limits) and then
// limited to one pixel past the desktop on either side: keeping the window
// on the desktop ends it on the same place as it would from the true sum.
int EdgeAt(int base, int offset, int boundsLow, int boundsHigh)
{
    const std::int64_t edge = std::int64_t{base} + offset;
    return static_cast<int>(std::clamp<std::int64_t>(edge, std::int64_t{boundsLow} - 1, boundsHigh));
}

HWND DefaultButton(HWND window)
{
    if (dynamic_cast<TDialog*>(GetWindowPtr(window))) {
        const LRESULT answer = SendMessage(window, DM_GETDEFID);
        if (HIWORD(static_cast<std::uintptr_t>(answer)) == DC_HASDEFID) {
            if (HWND button = GetDlgItem(window, LOWORD(static_cast<std::uintptr_t>(answer))))
                return button;
        }
    }
    if (HWND ok = GetDlgItem(window, IDOK))
        return ok;
    return GetDlgItem(window, IDCLOSE);
}

void ShowAt(HWND window, const TPoint& topLeft)
{
    SetWindowPos(window, nullptr, topLeft.x, topLeft.y, 0, 0, kShowUnsized);
}

}  // namespace

TWinPositioner::TWinPositioner(int positionId)
    : key_(std::to_string(positionId)), profile_("POSITIONS", Str(kStrProfileFileName))
{
}

void TWinPositioner::Save(HWND reference, HWND window)
{
    WriteOffsets(reference, WindowRectOf(window));
}

void TWinPositioner::WriteOffsets(HWND reference, const TRect& rect)
{
    const TRect r = WindowRectOf(reference);
    // A failed write only costs the place: the window opens centred next time.
    profile_.WriteInt((key_ + "X").c_str(), rect.left - r.left);
    profile_.WriteInt((key_ + "Y").c_str(), rect.top - r.top);
}

void TWinPositioner::Restore(HWND reference, HWND window, bool child)
{
    const int x = profile_.GetInt((key_ + "X").c_str(), NoOffset);
    const int y = profile_.GetInt((key_ + "Y").c_str(), NoOffset);
    const TRect r = WindowRectOf(reference);
    const TRect desktop = DesktopBounds();
    TRect w = WindowRectOf(window);

    if (x < NoOffset && y < NoOffset) {
        const int left = EdgeAt(r.left, x, desktop.left, desktop.right);
        const int top = EdgeAt(r.top, y, desktop.top, desktop.bottom);
        w = TRect(TPoint{left, top}, w.Size());
    } else {
        CenterRect(w, r);
    }
    KeepRectInside(w, desktop);

    TPoint topLeft = w.TopLeft();
    if (child) {
        if (TWindow* parent = GetWindowPtr(reference))
            topLeft = parent->ScreenToClient(topLeft);
    }
    ShowAt(window, topLeft);
    MoveCursorToDefaultButton(window);
}

void KeepRectInside(TRect& rect, const TRect& bounds)
{
    if (rect.right > bounds.right)
        rect = rect.Offset(bounds.right - rect.right, 0);
    if (rect.bottom > bounds.bottom)
        rect = rect.Offset(0, bounds.bottom - rect.bottom);
    if (rect.left < bounds.left)
        rect = rect.Offset(bounds.left - rect.left, 0);
    if (rect.top < bounds.top)
        rect = rect.Offset(0, bounds.top - rect.top);
}

void CenterRectHorizontally(TRect& rect, const TRect& reference)
{
    rect = rect.Offset((reference.left + reference.Width() / 2) - (rect.left + rect.Width() / 2), 0);
}

void CenterRectVertically(TRect& rect, const TRect& reference)
{
    rect = rect.Offset(0, (reference.top + reference.Height() / 2) - (rect.top + rect.Height() / 2));
}

void CenterRect(TRect& rect, const TRect& reference)
{
    CenterRectHorizontally(rect, reference);
    CenterRectVertically(rect, reference);
}

void MoveCursorToDefaultButton(HWND window)
{
    BOOL snap = 0;
    if (!SystemParametersInfo(SPI_GETSNAPTODEFBUTTON, 0, &snap, 0) || !snap)
        return;
    HWND button = DefaultButton(window);
    if (!button)
        return;
    const TRect r = WindowRectOf(button);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void CenterWindowOver(HWND window, HWND reference)
{
    const TRect desktop = DesktopBounds();
    TRect w = WindowRectOf(window);
    CenterRect(w, IsWindow(reference) ? WindowRectOf(reference) : desktop);
    KeepRectInside(w, desktop);
    ShowAt(window, w.TopLeft());
    MoveCursorToDefaultButton(window);
}
