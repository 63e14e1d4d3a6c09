#pragma once
// The window calls on handles that the programs make without a window
// object at hand. Every call accepts a stale or null handle and then does
// nothing (answering 0, false or null).

#include "platform/base/win_types.h"
#include "platform/base/geometry.h"
#include "platform/ui/messages.h"
#include "platform/ui/res_id.h"

#include <string>

// Sent to every top-level window (SendMessage) or posted to each (PostMessage).
inline const HWND HWND_BROADCAST = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0xFFFF));
// Z-order places for SetWindowPos.
inline const HWND HWND_TOP = nullptr;
inline const HWND HWND_BOTTOM = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(1));
// A top-level window placed HWND_TOPMOST stays above the other windows (its
// extended style gets WS_EX_TOPMOST) until placed HWND_NOTOPMOST.
inline const HWND HWND_TOPMOST = reinterpret_cast<HWND>(~static_cast<std::uintptr_t>(0));
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(~static_cast<std::uintptr_t>(1));

bool IsWindow(HWND hwnd);
// Calls the window's dispatch at once and returns its result.
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
// Queues the message; the event loop delivers posted messages in the order
// they were posted. Messages to a window that is destroyed meanwhile are dropped.
bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
// Ends the event loop with `exitCode` once the messages posted before it are handled.
void PostQuitMessage(int exitCode);

HWND GetParent(HWND hwnd);
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND hwnd);
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND GetActiveWindow();
bool EnableWindow(HWND hwnd, bool enable);
bool IsWindowEnabled(HWND hwnd);
bool IsWindowVisible(HWND hwnd);
bool ShowWindow(HWND hwnd, int cmdShow);
bool SetWindowText(HWND hwnd, const char* text);
int GetWindowText(HWND hwnd, char* buffer, int size);
std::string GetWindowText(HWND hwnd);
bool DestroyWindow(HWND hwnd);
bool MoveWindow(HWND hwnd, int x, int y, int w, int h, bool repaint);
bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
bool GetClientRect(HWND hwnd, TRect* rect);
bool GetWindowRect(HWND hwnd, TRect* rect);
bool InvalidateRect(HWND hwnd, const TRect* rect, bool erase);
bool SetForegroundWindow(HWND hwnd);
bool BringWindowToTop(HWND hwnd);

// The first top-level window whose caption is exactly `caption`; else the
// main window another program of the user published under it
// (single_instance.h), which SetFocus, SetForegroundWindow, BringWindowToTop
// and ShowWindow bring to the front.
HWND FindWindow(const char* className, const char* caption);

// Mouse capture: while a window holds it, every mouse message goes to it.
HWND SetCapture(HWND hwnd);
bool ReleaseCapture();
HWND GetCapture();
// Where the mouse is on the screen, as of the mouse input being handled (or
// the last one).
bool GetCursorPos(TPoint* point);

// The key state as of the message being handled: the high bit (the value is
// negative) while the key is down. Knows VK_SHIFT, VK_CONTROL, VK_MENU and the mouse buttons.
short GetKeyState(int virtualKey);

// Window metrics the programs lay out with.
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CXDLGFRAME = 7;
constexpr int SM_CYDLGFRAME = 8;
constexpr int SM_CYVTHUMB = 9;
constexpr int SM_CXHTHUMB = 10;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CYMENU = 15;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
int GetSystemMetrics(int index);
// The base units of the system font: average character width in the low
// word, height in the high word.
long GetDialogBaseUnits();
int MulDiv(int number, int numerator, int denominator);
