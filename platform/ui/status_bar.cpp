#include "platform/ui/status_bar.h"

#include "platform/ui/text_gadget.h"

TStatusBar::TStatusBar(TWindow* parent, TGadget::TBorderStyle borderStyle, UINT modeIndicators, TModule* module)
    : TMessageBar(parent, module), borderStyle_(borderStyle), modeIndicators_(modeIndicators)
{
    GetMessageGadget()->SetBorderStyle(borderStyle);
}

void TStatusBar::SetPaneText(int id, const char* text)
{
    if (auto* pane = dynamic_cast<TTextGadget*>(GadgetWithId(id)))
        pane->SetText(text);
}

std::string TStatusBar::GetPaneText(int id) const
{
    auto* pane = dynamic_cast<TTextGadget*>(GadgetWithId(id));
    return pane ? pane->GetText() : std::string();
}
