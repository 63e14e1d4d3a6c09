#pragma once
// The application object of the configuration program, as far as code without
// a user interface needs it. The shell's start-up and windows come on top of
// this class; keep this header free of user-interface headers, so that every
// subsystem can show a message box through it.

#include "platform/base/win_types.h"

class TApp {
public:
    // Shows a message box with that owner, text, caption and flags and returns
    // the button pressed (IDOK, IDYES...). The application argument is carried
    // along for callers that have one; it may be null.
    static int MessageBox(TApp* application, HWND owner, const char* text, const char* caption, UINT flags);
};

// The main frame's window: owner of message boxes and of the clipboard. Null
// before the frame is set up and after it is gone.
HWND GetMainWindowHandle();
void SetMainWindowHandle(HWND window);
