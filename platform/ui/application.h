#pragma once
// TApplication: the program's application object. Run initialises the
// instance (InitInstance, which makes the main window through
// InitMainWindow, creates and shows it), runs the event loop until the main
// window is destroyed or PostQuitMessage is called, and answers the exit
// status. While the loop has nothing to do, IdleAction runs (tool bars ask
// their command enablers then).

#include "platform/ui/window.h"

#include <memory>
#include <string>

class QApplication;

// Qt's Fusion style, the platform's fonts and the message box as the prompt
// service; the application object calls it, and so does the main() of the UI tests.
void InitPlatformUi();

// The program became the active one on the desktop, or stopped being it:
// every top-level window hears WM_ACTIVATEAPP (wParam TRUE or FALSE) when
// that changes. The desktop's switches call it; tests call it for another
// program taking the desktop.
void SetProgramActive(bool active);

class TApplication {
public:
    explicit TApplication(const char* name = nullptr);
    virtual ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // The one application object, or null.
    static TApplication* Current();

    virtual int Run();
    const std::string& GetName() const { return name_; }

    TWindow* GetMainWindow() const { return mainWindow_; }
    // The application owns its main window; the previous one is deleted.
    void SetMainWindow(TWindow* window);

    // How the main window is first shown (SW_...).
    int nCmdShow = SW_SHOWNORMAL;

    virtual bool IdleAction(long idleCount);
    // Three-dimensional dialog controls: the style always draws them so.
    void EnableCtl3d(bool /*enable*/ = true) {}

protected:
    virtual void InitApplication() {}
    virtual void InitInstance();
    virtual void InitMainWindow();
    virtual int TermInstance(int status) { return status; }
    virtual int MessageLoop();

private:
    std::string name_;
    TWindow* mainWindow_ = nullptr;
    std::unique_ptr<QApplication> ownQt_;
};
