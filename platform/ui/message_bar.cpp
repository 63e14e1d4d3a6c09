#include "platform/ui/message_bar.h"

#include "platform/ui/text_gadget.h"

TMessageBar::TMessageBar(TWindow* parent, TModule* module)
    : TGadgetWindow(parent, Horizontal, module), message_(new TTextGadget(IDG_MESSAGE, TGadget::None, TTextGadget::Left, 10))
{
    message_->WideAsPossible = true;
    Insert(*message_);
    SetMargins({2, 2, 2, 2});
}

void TMessageBar::SetText(const char* text)
{
    text_ = text ? text : "";
    Show();
}

void TMessageBar::SetHintText(const char* hint)
{
    hasHint_ = hint != nullptr;
    hint_ = hint ? hint : "";
    Show();
}

std::string TMessageBar::GetShownText() const
{
    return hasHint_ ? hint_ : text_;
}

void TMessageBar::Show()
{
    message_->SetText(GetShownText().c_str());
}
