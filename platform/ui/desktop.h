#pragma once
// The desktop as the programs see it: the desktop window, whose rectangle is
// the screen that windows are kept on; the mouse cursor's place; and the
// user's system settings that the programs ask about.

#include "platform/base/win_types.h"
#include "platform/base/geometry.h"

// The desktop window. GetWindowRect answers its rectangle in screen
// coordinates (GetClientRect the same from 0, 0): the whole virtual screen
// (every monitor), or the one screen of the offscreen platform. It is no window object: the other
// window calls do nothing with it.
HWND GetDesktopWindow();

// For the layer's window calls: whether a handle is the desktop's, and its
// rectangle (empty before the application exists).
bool IsDesktopWindow(HWND hwnd);
TRect DesktopRect();

// Whether the cursor jumps onto a dialog's default button when the dialog
// appears. Off on these desktops unless a program (a test) switches it on.
constexpr UINT SPI_GETSNAPTODEFBUTTON = 95;
constexpr UINT SPI_SETSNAPTODEFBUTTON = 96;

// Reads or sets a system setting. SPI_GETSNAPTODEFBUTTON writes the setting
// into the BOOL at `pvParam`; SPI_SETSNAPTODEFBUTTON takes it from `param`.
// False for any other action, or a get without a place to write to. The
// setting lasts for the process; `winIni` (profile update flags) is ignored.
bool SystemParametersInfo(UINT action, UINT param, void* pvParam, UINT winIni);

// The mouse cursor's place in screen coordinates.
bool GetCursorPos(TPoint* point);
bool SetCursorPos(int x, int y);
