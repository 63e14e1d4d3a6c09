#pragma once
// WM_NOTIFY: common controls and property sheets tell their parents (and
// pages) of events with a header naming the sender and the event code; the
// answer is the message's result.

#include "platform/base/win_types.h"

struct NMHDR {
    HWND hwndFrom = nullptr;
    UINT idFrom = 0;
    UINT code = 0;
};

// Notification codes are small negative numbers, carried as unsigned.
constexpr UINT NotifyCode(int code)
{
    return static_cast<UINT>(code);
}
