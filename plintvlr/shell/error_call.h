#pragma once
// errorcall: the message holder through which the message table editor shows
// its message boxes. In quiet mode it shows nothing: it keeps the text of the
// last message and answers as a person declining would, so a batch of work
// (an import) runs through without questions and the caller can still tell
// what went wrong.

#include "platform/base/win_types.h"

#include <memory>
#include <string>

class errorcall {
public:
    errorcall() = default;
    virtual ~errorcall();
    errorcall(const errorcall&) = delete;
    errorcall& operator=(const errorcall&) = delete;

    // Loud: shows the message box and answers the button pressed. Quiet:
    // keeps a copy of the text and answers IDNO for exactly MB_YESNOCANCEL
    // (no icon or other bits), IDOK for every other box.
    int MessageBox(HWND owner, const char* text, const char* caption, UINT flags);

    // Sets the mode; either way the kept text is dropped.
    void SetQuiet(bool quiet);
    // Quiet mode off; the kept text stays for the caller to read.
    void SetLoud() { quiet_ = false; }
    bool IsQuiet() const { return quiet_; }

    // The last text kept in quiet mode; null when there is none.
    const char* GetLastText() const { return lastText_ ? lastText_->c_str() : nullptr; }
    void ClearLastText() { lastText_.reset(); }

private:
    bool quiet_ = false;
    std::unique_ptr<std::string> lastText_;
};
