#pragma once
// Window timers: SetTimer makes the window receive WM_TIMER with the timer's
// id every `elapseMs` milliseconds until KillTimer or until the window is
// destroyed. Setting an id again restarts it with the new period.
//
// Tests run the timers on a virtual clock: after UseVirtualTimers, time
// stands still until AdvanceVirtualTime moves it, and every tick that falls
// due meanwhile is delivered, in time order, from inside that call.

#include "platform/base/win_types.h"

UINT SetTimer(HWND hwnd, UINT id, UINT elapseMs);
bool KillTimer(HWND hwnd, UINT id);

namespace TimerTesting {
void UseVirtualTimers();
bool UsingVirtualTimers();
// Moves the virtual clock on by `ms` and delivers the ticks that fall due.
void AdvanceVirtualTime(long ms);
long VirtualNow();
int ActiveTimerCount();
}  // namespace TimerTesting

// Internal: the window is going; its timers stop.
void KillAllTimers(HWND hwnd);
