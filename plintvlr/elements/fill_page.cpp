#include "plintvlr/elements/fill_page.h"

#include "plintvlr/elements/dyn_attributes.h"
#include "plintvlr/elements/element_page_templates.h"
#include "plintvlr/elements/pict_static.h"
#include "plintvlr/elements/tag_combo_box.h"
#include "plintvlr/elements/tag_mask_page.h"
#include "platform/ui/controls/button.h"

#include <algorithm>

const TResponseTable TFillPage::Responses{&TZKPropPage::Responses, {
    OnCommand<&TFillPage::EvModeClicked>(IDC_FILL_MODE_0),
    OnCommand<&TFillPage::EvModeClicked>(IDC_FILL_MODE_0 + 1),
    OnCommand<&TFillPage::EvModeClicked>(IDC_FILL_MODE_0 + 2),
    OnCommand<&TFillPage::EvModeClicked>(IDC_FILL_MODE_0 + 3),
    OnCommand<&TFillPage::EvModeClicked>(IDC_FILL_MODE_0 + 4),
    OnCommand<&TFillPage::EvModeClicked>(IDC_FILL_MODE_0 + 5),
    OnMessage<&TFillPage::EvTagChosen>(kTagChosenMessage),
    OnCommand<&TFillPage::CmClear>(IDC_TAG_CLEAR),
}};

TFillPage::TFillPage(TPropertySheet* sheet, TDynFill& fill, TModule* module)
    : TZKPropPage(sheet, RegisteredPageTemplate(IDD_FILL_PAGE), kFillHelp, module),
      fill_(fill),
      tag_(fill.GetTag()),
      mode_(fill.GetMode())
{
    tagCombo_ = new TTagComboBox(this, IDC_TAG_COMBO, &tag_, TTagComboBox::kAnalogOnly);
    clear_ = new TButton(this, IDC_TAG_CLEAR);
    for (int i = 0; i < kFillModeCount; ++i)
        new TPictStatic(this, IDC_FILL_PICTURE_0 + i, IDC_FILL_PICTURE_0 + i);
}

TFillPage::~TFillPage() = default;

void TFillPage::SetupWindow()
{
    TZKPropPage::SetupWindow();
    // Modes past the last one fill as a horizontal band, as drawing does.
    const int shown = std::clamp(mode_, 0, kFillModeCount - 1);
    CheckDlgButton(IDC_FILL_MODE_0 + shown, BST_CHECKED);
    clear_->EnableWindow(tag_ != 0);
}

void TFillPage::EvModeClicked()
{
    for (int i = 0; i < kFillModeCount; ++i) {
        if (IsDlgButtonChecked(IDC_FILL_MODE_0 + i) == BST_CHECKED) {
            if (i != mode_) {
                mode_ = i;
                Changed();
            }
            return;
        }
    }
}

LRESULT TFillPage::EvTagChosen(WPARAM, LPARAM)
{
    clear_->EnableWindow(tag_ != 0);
    Changed();
    return 0;
}

void TFillPage::CmClear()
{
    tagCombo_->ClearList();
    clear_->EnableWindow(false);
    tagCombo_->SetFocus();
    Changed();
}

int TFillPage::Apply(TNotify& notify)
{
    fill_.SetTag(static_cast<std::uint16_t>(tag_));
    fill_.SetMode(mode_);
    return TZKPropPage::Apply(notify);
}
