// The entry points of the settings dialog's window library, which the
// fieldbus library loads the first time a program asks for the dialog. A
// program without windows of its own gets an application object here.

#include <QApplication>

#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "platform/ui/window.h"
#include "varnht32/dialog/comm_info_dlg.h"

namespace {

// False when the program runs a Qt application without widgets, where no
// window can be shown.
bool EnsureApplication()
{
    if (QCoreApplication::instance())
        return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
    static int argc = 1;
    static char name[] = "varnht32";
    static char* argv[] = {name, nullptr};
    // Kept for the life of the process: the program may ask again.
    new QApplication(argc, argv);
    InitPlatformUi();
    return true;
}

TWindow* OwnerWindow(void* owner)
{
    return owner ? GetWindowPtr(static_cast<HWND>(owner)) : nullptr;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int32_t VNHRunCommInfoDialog(void* owner, VNHCommInfoForm* form,
                                                                   const uint8_t* cardPresent)
{
    if (!form || !cardPresent || !EnsureApplication())
        return kCommInfoFailed;
    TCommInfoDlg dialog(OwnerWindow(owner), *form, cardPresent);
    switch (dialog.Execute()) {
    case IDOK:
        return kCommInfoOk;
    case IDCANCEL:
        return kCommInfoCancel;
    default:
        return kCommInfoFailed;
    }
}

__attribute__((visibility("default"))) void VNHShowCommInfoError(void* owner, const char* text,
                                                                const char* caption)
{
    if (!EnsureApplication())
        return;
    TWindow* window = OwnerWindow(owner);
    MessageBoxDialog(window ? window->GetHandle() : nullptr, text, caption, MB_OK | MB_ICONEXCLAMATION);
}

}  // extern "C"
