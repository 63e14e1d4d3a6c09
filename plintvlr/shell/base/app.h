#pragma once
// The application object of the configuration program. Every subsystem shows
// its message boxes through TApp::MessageBox, which is defined in this
// library and needs no window: code without a user interface links it
// without the window layer (the header only declares the layer's
// TApplication, which pulls in no Qt header). The object itself, its
// start-up and its main window are the shell's (plintvlr/shell/app.cpp).

#include "platform/base/win_types.h"
#include "platform/ui/application.h"

class TApp : public TApplication {
public:
    TApp();
    ~TApp() override;

    // Shows a message box with that owner, text, caption and flags and returns
    // the button pressed (IDOK, IDYES...). The application argument is carried
    // along for callers that have one; it may be null.
    static int MessageBox(TApp* application, HWND owner, const char* text, const char* caption, UINT flags);

    // The one application object; null before it is made and after it is gone.
    static TApp* Current();

protected:
    // The start-up checks (a program already running, the protocol
    // information file), the program font, then the layer's start-up, which
    // makes the main window and shows it. A failed check ends the start
    // with TStartupEnd.
    void InitInstance() override;
    // Makes the MDI client and the main frame, places the frame where it was
    // left, and creates it.
    void InitMainWindow() override;
};

// Thrown by the start-up when the program is to end before its message loop
// runs; OwlMain returns the code.
struct TStartupEnd {
    int exitCode = 0;
};

// The program's entry: makes the application object and runs it. An
// exception out of the run is reported ("Application Error") and ends the
// program with code 1.
int OwlMain(int argc, char* argv[]);

// The main frame's window: owner of message boxes and of the clipboard. Null
// before the frame is set up and after it is gone.
HWND GetMainWindowHandle();
void SetMainWindowHandle(HWND window);
