#include "plintvlr/shell/dangling_elements_dlg.h"

#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/editor_bases_string_ids.h"
#include "platform/ui/controls/edit.h"
#include "platform/ui/controls/list_box.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/styles.h"

#include <cstdio>

namespace {

constexpr UINT kMessageLimit = 500;

}  // namespace

std::string DanglingMessage(int channel)
{
    const char removed = channel == 1 ? 'A' : 'B';
    const char other = channel == 1 ? 'B' : 'A';
    char first[256];
    char second[256];
    std::snprintf(first, sizeof first, Str(kStrDangleMessage1), removed, removed);
    std::snprintf(second, sizeof second, Str(kStrDangleMessage2), removed, other);
    return std::string(first) + second;
}

void RegisterDanglingTemplate()
{
    RegisterDialogTemplate(IDD_DANGLING, {Str(kStrDangleCaption), 0, 0, 225, 123,
        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, "MS Sans Serif", 8, {
        // The message is read, not visited: the focus starts on the list.
        Control("", IDC_DANGLE_MESSAGE, "EDIT", ES_LEFT | ES_MULTILINE | ES_READONLY | WS_BORDER, 9, 5, 209, 36),
        ListBox(IDC_DANGLE_LIST, 9, 47, 208, 53, WS_BORDER | WS_VSCROLL | WS_TABSTOP),
        DefPushButton(Str(kStrDangleChangeAll), IDOK, 9, 103, 50, 15, WS_TABSTOP),
        PushButton(Str(kStrDangleCancel), IDCANCEL, 71, 103, 50, 15, WS_TABSTOP),
    }});
}

dangleDlg::dangleDlg(TWindow* parent, TResId resId, TModule* module, const std::vector<std::string>* items,
                     int channel)
    : TPosDialog(parent, resId.IsNull() ? TResId(IDD_DANGLING) : resId, IDD_DANGLING, module),
      message_(new TEdit(this, IDC_DANGLE_MESSAGE, kMessageLimit)),
      list_(new TListBox(this, IDC_DANGLE_LIST)),
      items_(items),
      channel_(channel)
{
    if (!FindDialogTemplate(IDD_DANGLING))
        RegisterDanglingTemplate();
}

dangleDlg::~dangleDlg() = default;

void dangleDlg::SetupWindow()
{
    TPosDialog::SetupWindow();
    message_->SetWindowText(DanglingMessage(channel_).c_str());
    if (items_) {
        for (const std::string& item : *items_)
            list_->AddString(item.c_str());
    }
}
