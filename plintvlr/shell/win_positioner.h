#pragma once
// Window places: editors, sheets and dialogs reopen where the engineer left
// them. TWinPositioner keeps one window's place in the section "POSITIONS"
// of the program's profile under a numeric position id, as the offset of the
// window's top-left corner from its reference window's (the MDI client for an
// editor, the parent for a dialog); both are outer window rectangles in
// screen pixels. A window without a saved place opens centred on its
// reference; every place is held on the desktop.

#include "platform/base/geometry.h"
#include "platform/base/profile.h"
#include "platform/base/win_types.h"

#include <string>

class TWinPositioner {
public:
    // The value a missing key reads as: no place is saved.
    static constexpr int NoOffset = 0x7FFFFFFF;

    explicit TWinPositioner(int positionId);

    // Writes the window's place relative to the reference window.
    void Save(HWND reference, HWND window);
    // Writes the offset of `rect`'s top-left corner (screen coordinates) from
    // the reference window's top-left corner.
    void WriteOffsets(HWND reference, const TRect& rect);
    // Moves the window to its saved place (centred on the reference when
    // there is none), keeps it on the desktop, shows it without changing its
    // size or z-order, and puts the cursor on its default button when the
    // system asks for that. `child` is true when the window is a child of the
    // reference (an editor's host in the MDI client).
    void Restore(HWND reference, HWND window, bool child);

private:
    std::string key_;
    TProfile profile_;
};

// Moves `rect`, without resizing it, into `bounds`: a rectangle larger than
// the bounds ends with its left and top on theirs.
void KeepRectInside(TRect& rect, const TRect& bounds);
// Move `rect` so that its centre matches the reference's in x, in y, or in
// both; each half-size is truncated toward zero.
void CenterRectHorizontally(TRect& rect, const TRect& reference);
void CenterRectVertically(TRect& rect, const TRect& reference);
void CenterRect(TRect& rect, const TRect& reference);

// Puts the mouse cursor on the window's default button when the system's
// snap-to-default-button setting is on: a dialog's default push button, else
// its OK button, else its Close button.
void MoveCursorToDefaultButton(HWND window);

// Centres a top-level window over the reference's window rectangle, keeps it
// on the desktop, shows it without changing its size or z-order, then puts
// the cursor on its default button as above. With no reference window it is
// centred on the desktop.
void CenterWindowOver(HWND window, HWND reference);
