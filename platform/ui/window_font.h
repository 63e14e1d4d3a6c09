#pragma once
// The font a window draws its text with (a control's label, a dialog's
// static text). A window made from a dialog template starts with the
// template's font.

#include "platform/gdi/font.h"

#include "platform/base/win_types.h"

// Gives the window `font`: its face (mapped to an installed face), weight,
// italic, and height (0 keeps the window's present height; a negative height
// is the characters' height in pixels, a positive one the cell's). False for
// a stale handle.
bool SetWindowFont(HWND hwnd, const TFont& font);
// The window's font as it draws it: the installed face's name, the height in
// pixels (negative), weight and italic. The default font for a stale handle.
TFont GetWindowFont(HWND hwnd);
