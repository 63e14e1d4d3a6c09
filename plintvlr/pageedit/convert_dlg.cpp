#include "plintvlr/pageedit/convert_dlg.h"

#include "plintvlr/pageedit/convert_string_ids.h"
#include "plintvlr/pageedit/draw_window.h"
#include "plintvlr/pageedit/size_rect_manager.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/base/shell_string_ids.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/mdi_hosts.h"
#include "plintvlr/shell/preferences_dlg.h"
#include "platform/ui/controls/list_box.h"
#include "platform/ui/mdi_client.h"
#include "platform/ui/window_api.h"

#include <cstdio>

namespace {

constexpr DWORD kCounterStyle = SS_LEFT;
static_assert(DrawWindow::kConvertToTagsMessage == kConvertTagsStart);

}  // namespace

void RegisterConvertTagsTemplate()
{
    RegisterDialogTemplate(IDD_CONVERT_TAGS, {Str(kStrConvertCaption), 0, 0, 206, 136, WS_CHILD | WS_CAPTION,
                                              "MS Sans Serif", 8, {
        LText(Str(kStrConvertFound), -1, 7, 6, 90, 8),
        ListBox(IDC_CONVERT_LIST, 7, 17, 90, 112, LBS_SORT | WS_VSCROLL | WS_BORDER | WS_TABSTOP),
        GroupBox(Str(kStrConvertItems), -1, 105, 4, 94, 38),
        LText(Str(kStrConvertAnalogs), -1, 112, 15, 40, 8),
        LText("0", IDC_CONVERT_ANALOGS, 156, 15, 36, 8, kCounterStyle),
        LText(Str(kStrConvertDigitals), -1, 112, 27, 40, 8),
        LText("0", IDC_CONVERT_DIGITALS, 156, 27, 36, 8, kCounterStyle),
        GroupBox(Str(kStrConvertAvailable), -1, 105, 46, 94, 38),
        LText(Str(kStrConvertAnalogs), -1, 112, 57, 40, 8),
        LText("", IDC_FREE_ANALOGS, 156, 57, 36, 8, kCounterStyle),
        LText(Str(kStrConvertDigitals), -1, 112, 69, 40, 8),
        LText("", IDC_FREE_DIGITALS, 156, 69, 36, 8, kCounterStyle),
        DefPushButton(Str(kStrConvertConfirm), IDC_CONVERT_CONFIRM, 105, 96, 94, 14, WS_TABSTOP),
        PushButton(Str(kStrConvertCancel), IDC_CONVERT_CANCEL, 105, 115, 94, 14, WS_TABSTOP),
    }});
}

// --- The dialog -------------------------------------------------------------

const TResponseTable tgconvDlg::Responses{&TMDIDialog::Responses, {
    OnCommand<&tgconvDlg::CmConvert>(IDC_CONVERT_CONFIRM),
    OnCommand<&tgconvDlg::CmCancelConversion>(IDC_CONVERT_CANCEL),
}};

tgconvDlg::tgconvDlg(TMDIClient* client, HWND canvas, TModule* module)
    : TMDIDialog(client, IDD_CONVERT_TAGS, 0, 0, TResId(), false, module),
      list_(new TListBox(this, IDC_CONVERT_LIST)),
      canvas_(canvas)
{
    if (!FindDialogTemplate(IDD_CONVERT_TAGS))
        RegisterConvertTagsTemplate();
}

tgconvDlg::~tgconvDlg() = default;

void tgconvDlg::SetupWindow()
{
    TMDIDialog::SetupWindow();
    SetDlgItemInt(IDC_FREE_ANALOGS, static_cast<UINT>(AvailableAnalogTags()));
    SetDlgItemInt(IDC_FREE_DIGITALS, static_cast<UINT>(AvailableDigitalTags()));
    ShowAddresses();
}

TWindow& tgconvDlg::GetFrame()
{
    return GetHost() ? static_cast<TWindow&>(*GetHost()) : *this;
}

void tgconvDlg::ShowAddresses()
{
    if (!IsWindow())
        return;
    list_->ClearList();
    for (const DirectAddressEntry& entry : addresses_.Entries()) {
        const int at = list_->AddString(entry.name.c_str());
        list_->SetItemData(at, entry.reference);
    }
    SetDlgItemInt(IDC_CONVERT_ANALOGS, static_cast<UINT>(addresses_.FoundAnalogs()));
    SetDlgItemInt(IDC_CONVERT_DIGITALS, static_cast<UINT>(addresses_.FoundDigitals()));
}

void tgconvDlg::CmConvert()
{
    if (CanvasGone())
        return;
    ::PostMessage(canvas_, kConvertTagsConvert, 0, 0);
    GetFrame().ShowWindow(SW_HIDE);
}

void tgconvDlg::CmCancelConversion()
{
    if (!CanvasGone())
        ::PostMessage(canvas_, kConvertTagsFinish, 0, 0);
}

bool tgconvDlg::CanvasGone()
{
    // Nobody is left to finish the conversion: the dialog ends itself.
    if (::IsWindow(canvas_))
        return false;
    Destroy(IDCANCEL);
    return true;
}

void tgconvDlg::CmCancel()
{
    CmCancelConversion();
}

// --- The steps --------------------------------------------------------------

TTagConversion::~TTagConversion()
{
    Finish();
}

tgconvDlg* TTagConversion::GetDialog() const
{
    return dialog_ ? dynamic_cast<tgconvDlg*>(GetWindowPtr(dialog_)) : nullptr;
}

void TTagConversion::Start(SizeRectManager& model, TWindow& canvas, TWindow* editor, TMDIClient* client)
{
    if (!BitToTagsOn() || GetDialog())
        return;
    auto* dialog = new tgconvDlg(client, canvas.GetHandle());
    if (!dialog->Create()) {
        delete dialog;
        return;
    }
    dialog_ = dialog->GetHandle();
    canvas_ = canvas.GetHandle();
    dialog->GetFrame().ShowWindow(SW_HIDE);
    if (editor && editor->IsWindow()) {
        editor_ = editor->GetHandle();
        editor->EnableWindow(false);
    }
    if (model.CollectDirectAddresses(dialog->GetAddresses()) == 0) {
        ::PostMessage(canvas_, kConvertTagsFinish, 0, 0);
        return;
    }
    dialog->ShowAddresses();
    dialog->GetFrame().ShowWindow(SW_SHOW);
    dialog->GetFrame().BringWindowToTop();
}

void TTagConversion::Convert(SizeRectManager& model)
{
    tgconvDlg* dialog = GetDialog();
    if (!dialog)
        return;
    DirectAddressList& addresses = dialog->GetAddresses();
    const int notMade = SizeRectManager::CreateTagsForAddresses(addresses);
    dialog->ShowAddresses();
    model.ReplaceAddressesByTags(addresses);
    if (notMade > 0) {
        char text[256];
        std::snprintf(text, sizeof text, Str(kStrConvertTablesFull), notMade);
        TApp::MessageBox(nullptr, GetMainWindowHandle(), text, Str(kStrApplicationMessage),
                         MB_OK | MB_ICONEXCLAMATION);
    }
    ::PostMessage(canvas_, kConvertTagsFinish, 0, 0);
}

void TTagConversion::Finish()
{
    if (tgconvDlg* dialog = GetDialog())
        dialog->Destroy(IDCANCEL);
    dialog_ = nullptr;
    const HWND editor = editor_;
    editor_ = nullptr;
    if (TWindow* window = editor ? GetWindowPtr(editor) : nullptr; window && window->IsWindow()) {
        window->EnableWindow(true);
        PostMessage(editor, WM_SETFOCUS, 0, 0);
    }
}

// --- The canvas's handlers of the steps ---------------------------------------

void DrawWindow::EvConvertToTagsStart()
{
    // The dialog lives in the client that holds the page editor, whose window
    // is the canvas's parent.
    TMDIClient* client = nullptr;
    for (TWindow* w = GetParentO(); w && !client; w = w->GetParentO())
        client = dynamic_cast<TMDIClient*>(w);
    if (!conversion_)
        conversion_ = std::make_unique<TTagConversion>();
    conversion_->Start(*model_, *this, GetParentO(), client);
}

void DrawWindow::EvConvertToTagsConvert()
{
    if (conversion_)
        conversion_->Convert(*model_);
}

void DrawWindow::EvConvertToTagsFinish()
{
    if (conversion_)
        conversion_->Finish();
}
