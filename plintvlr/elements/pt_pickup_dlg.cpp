#include "plintvlr/elements/pt_pickup_dlg.h"

#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/element_page_templates.h"
#include "plintvlr/elements/element_pages_string_ids.h"
#include "plintvlr/elements/tags_point_page.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/controls/num_edit.h"
#include "plintvlr/shell/mdi_hosts.h"
#include "platform/ui/property_sheet.h"
#include "platform/ui/window_api.h"

#include <algorithm>

namespace {

PtPickupDlg* openDialog = nullptr;

constexpr int kPickupLimit = 32000;

TResId TemplateOf(TResId resId)
{
    return RegisteredPageTemplate(resId.IsNull() ? TResId(IDD_POINT_PICKUP) : resId);
}

}  // namespace

PtPickupDlg* GetOpenPickupDialog()
{
    return openDialog;
}

const TResponseTable PtPickupDlg::Responses{&TMDIDialog::Responses, {
    OnMessage<&PtPickupDlg::EvPointPicked>(kPointPickedMessage),
    OnCommand<&PtPickupDlg::CmClose>(IDC_PICKUP_CLOSE),
}};

PtPickupDlg::PtPickupDlg(TMDIClient* client, TResId resId, const TPoint& point, TTagsPointPage* page,
                         const TPoint& anchor, bool rotation, TModule* module)
    : TMDIDialog(client, TemplateOf(resId), 0, 0, TResId(), false, module),
      point_(point),
      page_(page),
      anchor_(anchor),
      rotation_(rotation),
      x_(new TNumEdit(this, IDC_POINT_X)),
      y_(new TNumEdit(this, IDC_POINT_Y))
{
    if (rotation)
        SetCaption(Str(kStrRotationCenter));
    if (page_ && page_->GetSheet())
        page_->GetSheet()->EnableWindow(false);
    if (ActivePageEditor* editor = GetActivePageEditor())
        editor->SetPickupMode(true);
}

PtPickupDlg::~PtPickupDlg()
{
    Leave();
}

void PtPickupDlg::SetupWindow()
{
    TMDIDialog::SetupWindow();
    // A dialog the user may only close with its own buttons.
    TWindow* frame = GetHost() ? static_cast<TWindow*>(GetHost()) : this;
    frame->ModifyStyle(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0);
    frame->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    for (TNumEdit* edit : {x_, y_})
        edit->SetRange(kPickupLimit, -kPickupLimit);
    x_->SetValue(point_.x);
    y_->SetValue(point_.y);
    if (rotation_)
        SetDlgItemText(IDC_PICKUP_TEXT, Str(kStrPickupDrawingArea));
    openDialog = this;
}

void PtPickupDlg::CleanupWindow()
{
    Leave();
    TMDIDialog::CleanupWindow();
}

void PtPickupDlg::Leave()
{
    if (left_)
        return;
    left_ = true;
    if (ActivePageEditor* editor = GetActivePageEditor())
        editor->SetPickupMode(false);
    if (TTagsPointPage* page = GetOpenTagsPointPage(); page && page->GetSheet() && page->GetSheet()->IsWindow()) {
        page->GetSheet()->EnableWindow(true);
        page->GetSheet()->SetFocus();
    }
    if (openDialog == this)
        openDialog = nullptr;
}

LRESULT PtPickupDlg::EvPointPicked(WPARAM, LPARAM point)
{
    const auto packed = static_cast<std::uintptr_t>(point);
    point_ = TPoint(static_cast<std::int16_t>(LOWORD(packed)), static_cast<std::int16_t>(HIWORD(packed)));
    if (!rotation_)
        point_ = TPoint(std::max(0, point_.x - anchor_.x), std::max(0, point_.y - anchor_.y));
    x_->SetValue(point_.x);
    y_->SetValue(point_.y);
    if (GetHost())
        GetHost()->BringWindowToTop();
    else
        BringWindowToTop();
    return 0;
}

void PtPickupDlg::ReleaseSheet()
{
    if (!page_ || !page_->GetSheet())
        return;
    page_->GetSheet()->EnableWindow(true);
    page_->GetSheet()->BringWindowToTop();
}

void PtPickupDlg::CmClose()
{
    if (page_ && page_->IsWindow())
        page_->SendMessage(kPointPickedMessage, 0,
                           MAKELPARAM(static_cast<WORD>(point_.x), static_cast<WORD>(point_.y)));
    ReleaseSheet();
    CloseWindow(IDOK);
}

void PtPickupDlg::CmCancel()
{
    ReleaseSheet();
    TMDIDialog::CmCancel();
}
