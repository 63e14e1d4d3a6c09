#pragma once
// The message box: a modal dialog with an icon, a text and the buttons the
// flags ask for (MB_OK, MB_OKCANCEL, MB_YESNO, MB_YESNOCANCEL,
// MB_RETRYCANCEL, MB_ABORTRETRYIGNORE), the default button MB_DEFBUTTONn,
// answering the id of the button pressed (IDOK 1, IDCANCEL 2, IDABORT 3,
// IDRETRY 4, IDIGNORE 5, IDYES 6, IDNO 7). Escape and the close box answer
// IDCANCEL when there is a Cancel button (IDOK for a lone OK) and do nothing
// otherwise. Typing a button's underlined letter presses it.

#include "platform/ui/dialog.h"

#include <string>
#include <vector>

class TMessageBox : public TDialog {
public:
    TMessageBox(TWindow* owner, const char* text, const char* caption, UINT flags);

    const std::string& GetText() const { return text_; }
    const std::string& GetBoxCaption() const { return caption_; }
    UINT GetFlags() const { return flags_; }
    // The button ids, left to right.
    const std::vector<int>& GetButtons() const { return buttons_; }

protected:
    void SetupWindow() override;
    // The default button has the focus.
    TWindow* FirstFocus() override;
    LRESULT EvCommand(UINT id, HWND hWndCtl, UINT notifyCode) override;

private:
    std::string text_;
    std::string caption_;
    UINT flags_;
    std::vector<int> buttons_;
};

// Shows a message box owned by `owner` (null: none) and answers the button pressed.
int MessageBoxDialog(HWND owner, const char* text, const char* caption, UINT flags);

// The system sound for `type` (MB_OK, MB_ICONEXCLAMATION...): what
// MessageBeep of the prompt service plays once the message box is installed.
void PlayAlertSound(UINT type);
// Test support: the type of every alert sound so far, oldest first.
const std::vector<UINT>& MessageBeepHistory();
void ClearMessageBeepHistory();

// Makes this dialog the program's prompt service (ShowMessageBox).
void InstallMessageBoxPrompts();
