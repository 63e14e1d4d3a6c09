#include "plintvlr/elements/blink_page.h"

#include "plintvlr/elements/dyn_attributes.h"
#include "plintvlr/elements/tag_combo_box.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/check_box.h"
#include "platform/ui/controls/combo_box.h"

const TResponseTable TBlinkPage::Responses{&TTagMaskPage::Responses, {
    OnCommand<&TBlinkPage::EvUnconditionalClicked>(IDC_UNCONDITIONAL_BLINK),
}};

TBlinkPage::TBlinkPage(TPropertySheet* sheet, TDynBlink& blink, TModule* module)
    : TTagMaskPage(sheet, IDD_BLINK_PAGE, kBlinkHelp, blink, module),
      blink_(blink),
      unconditional_(blink.IsUnconditional()),
      unconditionalBox_(new TCheckBox(this, IDC_UNCONDITIONAL_BLINK))
{
}

TBlinkPage::~TBlinkPage() = default;

void TBlinkPage::SetupWindow()
{
    TTagMaskPage::SetupWindow();
    if (unconditional_) {
        unconditionalBox_->SetCheck(BST_CHECKED);
        EnableTagControls(false);
    }
}

void TBlinkPage::EvUnconditionalClicked()
{
    unconditional_ = unconditionalBox_->GetCheck() == BST_CHECKED;
    EnableTagControls(!unconditional_);
    Changed();
}

void TBlinkPage::EnableTagControls(bool enable)
{
    if (!enable) {
        ClearTag();
        dataType_ = 0;
        dataTypes_->SetSelIndex(0);
        for (TCheckBox* box : states_)
            box->SetCheck(BST_UNCHECKED);
        mask_ = 0;
    }
    for (int id : {IDC_TAG_LABEL, IDC_DATATYPE_LABEL, IDC_STATES_GROUP}) {
        if (TWindow* control = ChildWithId(id))
            control->EnableWindow(enable);
    }
    tagCombo_->EnableWindow(enable);
    dataTypes_->EnableWindow(enable);
    clear_->EnableWindow(enable && tag_ != 0);
    for (TCheckBox* box : states_)
        box->EnableWindow(enable);
    if (enable)
        UpdateUpperStates();
}

int TBlinkPage::Apply(TNotify& notify)
{
    if (!unconditional_)
        return TTagMaskPage::Apply(notify);
    // Blinking always keeps whatever tag the attribute had.
    blink_.SetMask(TDynBlink::kAlways);
    return TZKPropPage::Apply(notify);
}
