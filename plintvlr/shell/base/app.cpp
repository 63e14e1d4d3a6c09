#include "plintvlr/shell/base/app.h"

#include "platform/base/prompt.h"

namespace {

HWND g_mainWindow = nullptr;

}  // namespace

int TApp::MessageBox(TApp* application, HWND owner, const char* text, const char* caption, UINT flags)
{
    (void)application;
    return ShowMessageBox(owner, text, caption, flags);
}

HWND GetMainWindowHandle()
{
    return g_mainWindow;
}

void SetMainWindowHandle(HWND window)
{
    g_mainWindow = window;
}
