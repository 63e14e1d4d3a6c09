#pragma once
// A command enabler asks the windows on a command's route whether the
// command may run now: before a menu opens, each of its items is offered as
// an enabler; tool bar buttons are offered while the program is idle. A
// handler greys, checks or relabels the item through it.

#include "platform/base/win_types.h"

#include <string>

class TCommandEnabler {
public:
    enum { Unchecked = 0, Checked = 1, Indeterminate = 2 };

    explicit TCommandEnabler(UINT id, HWND receiver = nullptr) : id_(id), receiver_(receiver) {}
    virtual ~TCommandEnabler() = default;

    UINT GetId() const { return id_; }
    HWND GetReceiver() const { return receiver_; }

    virtual void Enable(bool enable = true) { enabled_ = enable; handled_ = true; }
    virtual void SetCheck(int state) { check_ = state; handled_ = true; }
    virtual void SetText(const char* text) { text_ = text ? text : ""; textSet_ = true; handled_ = true; }

    bool GetHandled() const { return handled_; }
    bool IsEnabled() const { return enabled_; }
    int GetCheck() const { return check_; }
    bool TextWasSet() const { return textSet_; }
    const std::string& GetText() const { return text_; }

private:
    UINT id_;
    HWND receiver_;
    bool handled_ = false;
    bool enabled_ = true;
    int check_ = Unchecked;
    bool textSet_ = false;
    std::string text_;
};
