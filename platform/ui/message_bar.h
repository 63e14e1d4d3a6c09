#pragma once
// TMessageBar: a bar whose first gadget, the message area, takes what room
// the other gadgets leave. It shows the program's message text, or a hint
// (a menu item's or a tool bar button's) while there is one.

#include "platform/ui/gadget_window.h"

#include <string>

class TTextGadget;

// The id of the message area.
constexpr int IDG_MESSAGE = 0xFFFF;

class TMessageBar : public TGadgetWindow {
public:
    explicit TMessageBar(TWindow* parent = nullptr, TModule* module = nullptr);

    void SetText(const char* text);
    const std::string& GetText() const { return text_; }
    // A hint shown instead of the text; null takes it away.
    void SetHintText(const char* hint);
    bool HasHint() const { return hasHint_; }
    // What the message area shows now.
    std::string GetShownText() const;
    TTextGadget* GetMessageGadget() const { return message_; }

private:
    void Show();

    TTextGadget* message_;
    std::string text_;
    std::string hint_;
    bool hasHint_ = false;
};
