#include "plintvlr/elements/tags_point_page.h"

#include "plintvlr/elements/dyn_attributes.h"
#include "plintvlr/elements/element_page_templates.h"
#include "plintvlr/elements/panel_queries.h"
#include "plintvlr/elements/pt_pickup_dlg.h"
#include "plintvlr/elements/tag_combo_box.h"
#include "plintvlr/elements/tag_mask_page.h"
#include "plintvlr/shell/controls/num_edit.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/up_down.h"
#include "platform/ui/mdi_client.h"
#include "platform/ui/property_sheet.h"

namespace {

TTagsPointPage* openPage = nullptr;

}  // namespace

TTagsPointPage* GetOpenTagsPointPage()
{
    return openPage;
}

const TResponseTable TTagsPointPage::Responses{&TZKPropPage::Responses, {
    OnNotify<&TTagsPointPage::EvPointChange>(IDC_POINT_X, EN_CHANGE),
    OnNotify<&TTagsPointPage::EvPointChange>(IDC_POINT_Y, EN_CHANGE),
    OnMessage<&TTagsPointPage::EvTagChosen>(kTagChosenMessage),
    OnCommand<&TTagsPointPage::CmClear>(IDC_TAG_CLEAR),
    OnCommand<&TTagsPointPage::CmDraw>(IDC_POINT_DRAW),
    OnMessage<&TTagsPointPage::EvPointPicked>(kPointPickedMessage),
}};

TTagsPointPage::TTagsPointPage(TPropertySheet* sheet, TResId resId, int helpContext, TTagsPoint& attribute,
                               const TPoint& anchor, bool rotation, TModule* module)
    : TZKPropPage(sheet, RegisteredPageTemplate(resId), helpContext, module),
      attribute_(attribute),
      tag_(attribute.GetFirstTag()),
      point_(attribute.GetPoint()),
      anchor_(anchor),
      rotation_(rotation)
{
    tagCombo_ = new TTagComboBox(this, IDC_TAG_COMBO, &tag_, TTagComboBox::kAnalogOnly);
    clear_ = new TButton(this, IDC_TAG_CLEAR);
    x_ = new TNumEdit(this, IDC_POINT_X);
    y_ = new TNumEdit(this, IDC_POINT_Y);
    xUpDown_ = new TUpDown(this, IDC_POINT_X_UPDOWN);
    yUpDown_ = new TUpDown(this, IDC_POINT_Y_UPDOWN);
}

TTagsPointPage::~TTagsPointPage()
{
    if (openPage == this)
        openPage = nullptr;
}

void TTagsPointPage::SetupWindow()
{
    TZKPropPage::SetupWindow();
    // The edits tell of every text set here; none of it is the user's.
    settingUp_ = true;
    const TSize screen = GetScreenSize();
    x_->SetRange(screen.cx - 1, 0);
    y_->SetRange(screen.cy - 1, 0);
    xUpDown_->SetBuddy(x_->GetHandle());
    yUpDown_->SetBuddy(y_->GetHandle());
    xUpDown_->SetRange(0, screen.cx - 1);
    yUpDown_->SetRange(0, screen.cy - 1);
    x_->SetValue(point_.x);
    y_->SetValue(point_.y);
    settingUp_ = false;
    UpdateClearButtons();
    openPage = this;
}

void TTagsPointPage::CleanupWindow()
{
    // A pick-up dialog still open for this page goes with it.
    if (PtPickupDlg* pickup = GetOpenPickupDialog(); pickup && pickup->GetPage() == this)
        pickup->Destroy(IDCANCEL);
    if (openPage == this)
        openPage = nullptr;
    TZKPropPage::CleanupWindow();
}

void TTagsPointPage::UpdateClearButtons()
{
    clear_->EnableWindow(tag_ != 0);
}

void TTagsPointPage::EvPointChange()
{
    if (settingUp_)
        return;
    const TPoint point(x_->GetValue(), y_->GetValue());
    if (point == point_)
        return;
    point_ = point;
    Changed();
}

LRESULT TTagsPointPage::EvTagChosen(WPARAM, LPARAM)
{
    UpdateClearButtons();
    Changed();
    return 0;
}

void TTagsPointPage::CmClear()
{
    tagCombo_->ClearList();
    UpdateClearButtons();
    tagCombo_->SetFocus();
    Changed();
}

void TTagsPointPage::CmDraw()
{
    if (PtPickupDlg* open = GetOpenPickupDialog()) {
        open->BringWindowToTop();
        return;
    }
    // The client the sheet's host lives in.
    TMDIClient* client = nullptr;
    for (TWindow* w = GetSheet(); w && !client; w = w->GetParentO())
        client = dynamic_cast<TMDIClient*>(w);
    auto* pickup = new PtPickupDlg(client, 0, TPoint(x_->GetValue(), y_->GetValue()), this, anchor_, rotation_);
    pickup->Create();
}

LRESULT TTagsPointPage::EvPointPicked(WPARAM, LPARAM point)
{
    const auto packed = static_cast<std::uintptr_t>(point);
    x_->SetValue(static_cast<std::int16_t>(LOWORD(packed)));
    y_->SetValue(static_cast<std::int16_t>(HIWORD(packed)));
    return 0;
}

int TTagsPointPage::Apply(TNotify& notify)
{
    attribute_.SetFirstTag(static_cast<std::uint16_t>(tag_));
    attribute_.SetPoint(point_);
    return TZKPropPage::Apply(notify);
}

// ---------------------------------------------------------------- TRotationPage

TRotationPage::TRotationPage(TPropertySheet* sheet, TTagsPoint& rotation, const TPoint& anchor, TModule* module)
    : TTagsPointPage(sheet, IDD_ROTATION_PAGE, kRotationHelp, rotation, anchor, true, module)
{
}

// ---------------------------------------------------------------- TPositionPage

const TResponseTable TPositionPage::Responses{&TTagsPointPage::Responses, {
    OnCommand<&TPositionPage::CmClearY>(IDC_POSITION_Y_CLEAR),
}};

TPositionPage::TPositionPage(TPropertySheet* sheet, TTagsPoint& position, const TPoint& anchor, TModule* module)
    : TTagsPointPage(sheet, IDD_POSITION_PAGE, kPositionHelp, position, anchor, false, module),
      yTag_(position.GetSecondTag())
{
    yTagCombo_ = new TTagComboBox(this, IDC_POSITION_Y_TAG, &yTag_, TTagComboBox::kAnalogOnly);
    yClear_ = new TButton(this, IDC_POSITION_Y_CLEAR);
}

TPositionPage::~TPositionPage() = default;

void TPositionPage::UpdateClearButtons()
{
    TTagsPointPage::UpdateClearButtons();
    yClear_->EnableWindow(yTag_ != 0);
}

void TPositionPage::CmClearY()
{
    yTagCombo_->ClearList();
    UpdateClearButtons();
    yTagCombo_->SetFocus();
    Changed();
}

int TPositionPage::Apply(TNotify& notify)
{
    attribute_.SetSecondTag(static_cast<std::uint16_t>(yTag_));
    return TTagsPointPage::Apply(notify);
}
