#pragma once
// Pop-up (context) menus tracked at a point. Before the menu shows, its items
// are offered to the owner's command route as command enablers (greyed,
// checked, relabelled); choosing an item sends WM_COMMAND with its id to the
// owner, or, with TPM_RETURNCMD, returns the id instead.

#include "platform/base/geometry.h"
#include "platform/ui/menu.h"

#include <functional>

constexpr UINT TPM_LEFTBUTTON = 0x0000;
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_TOPALIGN = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;
constexpr UINT TPM_VCENTERALIGN = 0x0010;
constexpr UINT TPM_BOTTOMALIGN = 0x0020;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;

class TPopupMenu : public TMenu {
public:
    TPopupMenu() = default;
    // The pop-up at `position` of menu resource `id` (its items copied).
    TPopupMenu(TResId id, int position);

    // Shows the menu with its corner at screen point (x, y) (TPM_* say which
    // corner) and waits for a choice. Answers the chosen id with TPM_RETURNCMD,
    // else true when an item was chosen (its command sent to `owner`).
    int TrackPopupMenu(UINT flags, int x, int y, HWND owner);
    int TrackPopupMenu(UINT flags, const TPoint& point, HWND owner) { return TrackPopupMenu(flags, point.x, point.y, owner); }
};

// For tests: runs once a tracked pop-up menu shows; it must choose an item
// or close the menu.
using TPopupMenuHook = std::function<void(TMenu& menu)>;
void SetPopupMenuHook(TPopupMenuHook hook);
