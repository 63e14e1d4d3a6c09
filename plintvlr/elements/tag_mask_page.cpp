#include "plintvlr/elements/tag_mask_page.h"

#include "plintvlr/db/tag_reference.h"
#include "plintvlr/elements/element_page_templates.h"
#include "plintvlr/elements/element_string_ids.h"
#include "plintvlr/elements/tag_combo_box.h"
#include "plintvlr/elements/tag_mask.h"
#include "plintvlr/shell/base/str.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/check_box.h"
#include "platform/ui/controls/combo_box.h"

namespace {

constexpr int kValueTypes = 3;  // "Value", "Alarm", "Unack": every tag
constexpr int kAllTypes = 5;    // and "Low", "High": analog tags

bool IsDigital(int tag)
{
    return (tag & kTagRefDigital) != 0;
}

}  // namespace

const TResponseTable TTagMaskPage::Responses{&TZKPropPage::Responses, {
    OnCommand<&TTagMaskPage::EvStateClicked>(IDC_STATE_00),
    OnCommand<&TTagMaskPage::EvStateClicked>(IDC_STATE_00 + 1),
    OnCommand<&TTagMaskPage::EvStateClicked>(IDC_STATE_00 + 2),
    OnCommand<&TTagMaskPage::EvStateClicked>(IDC_STATE_00 + 3),
    OnNotify<&TTagMaskPage::EvDataTypeChange>(IDC_DATATYPE_COMBO, CBN_SELCHANGE),
    OnMessage<&TTagMaskPage::EvTagChosen>(kTagChosenMessage),
    OnCommand<&TTagMaskPage::CmClear>(IDC_TAG_CLEAR),
}};

TTagMaskPage::TTagMaskPage(TPropertySheet* sheet, TResId resId, int helpContext, TTagMask& attribute,
                           TModule* module)
    : TZKPropPage(sheet, RegisteredPageTemplate(resId), helpContext, module), attribute_(attribute)
{
    std::uint16_t tag = 0;
    attribute.GetTag(tag, dataType_);
    tag_ = tag;
    mask_ = attribute.GetMask();
    tagCombo_ = new TTagComboBox(this, IDC_TAG_COMBO, &tag_);
    dataTypes_ = new TComboBox(this, IDC_DATATYPE_COMBO);
    clear_ = new TButton(this, IDC_TAG_CLEAR);
    for (int i = 0; i < kStateCount; ++i)
        states_[i] = new TCheckBox(this, IDC_STATE_00 + i);
}

TTagMaskPage::~TTagMaskPage() = default;

void TTagMaskPage::SetupWindow()
{
    TZKPropPage::SetupWindow();
    for (int i = 0; i < kStateCount; ++i)
        states_[i]->SetCheck((mask_ & (1 << i)) ? BST_CHECKED : BST_UNCHECKED);
    clear_->EnableWindow(tag_ != 0);
    FillDataTypes();
    UpdateUpperStates();
}

void TTagMaskPage::FillDataTypes()
{
    if (dataTypes_->GetCount() == 0) {
        for (int id : {kStrDataTypeValue, kStrDataTypeAlarm, kStrDataTypeUnack})
            dataTypes_->AddString(Str(id));
    }
    if (dataTypes_->GetCount() == kValueTypes && !IsDigital(tag_)) {
        dataTypes_->AddString(Str(kStrDataTypeLow));
        dataTypes_->AddString(Str(kStrDataTypeHigh));
    }
    if (dataTypes_->GetCount() == kAllTypes && IsDigital(tag_)) {
        dataTypes_->DeleteString(4);
        dataTypes_->DeleteString(3);
    }
    if (dataType_ < 0 || dataType_ >= dataTypes_->GetCount())
        dataType_ = 0;
    dataTypes_->SetSelIndex(dataType_);
}

bool TTagMaskPage::HasFourStates() const
{
    return TagRefHasSecondInput(static_cast<std::uint16_t>(tag_));
}

void TTagMaskPage::UpdateUpperStates()
{
    const bool four = HasFourStates() && dataType_ == 0;
    for (int i = 2; i < kStateCount; ++i) {
        states_[i]->EnableWindow(four);
        if (!four) {
            states_[i]->SetCheck(BST_UNCHECKED);
            mask_ = static_cast<std::uint8_t>(mask_ & ~(1 << i));
        }
    }
}

void TTagMaskPage::EvStateClicked()
{
    std::uint8_t mask = 0;
    for (int i = 0; i < kStateCount; ++i) {
        if (states_[i]->GetCheck() == BST_CHECKED)
            mask = static_cast<std::uint8_t>(mask | (1 << i));
    }
    if (mask == mask_)
        return;
    mask_ = mask;
    Changed();
}

void TTagMaskPage::EvDataTypeChange()
{
    dataType_ = dataTypes_->GetSelIndex();
    if (dataType_ < 0)
        dataType_ = 0;
    UpdateUpperStates();
    Changed();
}

LRESULT TTagMaskPage::EvTagChosen(WPARAM, LPARAM kindChanged)
{
    if (tag_ != 0) {
        if (kindChanged)
            FillDataTypes();
        UpdateUpperStates();
        clear_->EnableWindow(true);
    }
    Changed();
    return 0;
}

void TTagMaskPage::ClearTag()
{
    tagCombo_->ClearList();
    clear_->EnableWindow(false);
}

void TTagMaskPage::CmClear()
{
    ClearTag();
    tagCombo_->SetFocus();
    Changed();
}

int TTagMaskPage::Apply(TNotify& notify)
{
    attribute_.SetTag(static_cast<std::uint16_t>(tag_), dataType_);
    attribute_.SetMask(mask_);
    return TZKPropPage::Apply(notify);
}

// ---------------------------------------------------------------- TColorPage

TColorPage::TColorPage(TPropertySheet* sheet, DynamicData& showHide, bool analogTwoStates, TModule* module)
    : TTagMaskPage(sheet, IDD_SHOWHIDE_PAGE, kShowHideHelp, showHide, module), analogTwoStates_(analogTwoStates)
{
}

bool TColorPage::HasFourStates() const
{
    if (analogTwoStates_ && tag_ != 0 && !IsDigital(tag_))
        return false;
    return TTagMaskPage::HasFourStates();
}
