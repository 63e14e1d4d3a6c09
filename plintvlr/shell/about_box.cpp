#include "plintvlr/shell/about_box.h"

#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/places_string_ids.h"
#include "plintvlr/shell/win_positioner.h"
#include "platform/gdi/font.h"
#include "platform/ui/controls/static.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/window_font.h"

namespace {

constexpr int kNoId = -1;

}  // namespace

void RegisterAboutBoxTemplate()
{
    RegisterDialogTemplate(IDD_ABOUTBOX, {Str(kStrAboutCaption), 0, 0, 210, 112,
        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, "MS Sans Serif", 8, {
        CText(Str(kStrAboutProgramName), IDC_ABOUT_PROGRAM, 10, 8, 190, 12),
        Control("", kNoId, "STATIC", SS_ETCHEDFRAME, 10, 26, 190, 56),
        CText(Str(kStrAboutLine1), kNoId, 14, 32, 182, 9),
        CText(Str(kStrAboutLine2), kNoId, 14, 44, 182, 9),
        CText(Str(kStrAboutLine3), kNoId, 14, 56, 182, 9),
        CText(Str(kStrAboutLine4), kNoId, 14, 68, 182, 9),
        DefPushButton(Str(kStrAboutOk), IDOK, 80, 90, 50, 14),
    }});
}

aboutboxDlg::aboutboxDlg(TWindow* parent, TResId resId, TModule* module)
    : TDialog(parent, resId, module), programName_(new TStatic(this, IDC_ABOUT_PROGRAM))
{
    if (resId == TResId(IDD_ABOUTBOX) && !FindDialogTemplate(IDD_ABOUTBOX))
        RegisterAboutBoxTemplate();
}

void aboutboxDlg::SetupWindow()
{
    TDialog::SetupWindow();
    // Height 0: the template font's own height, only heavier.
    SetWindowFont(programName_->GetHandle(), TFont("MS Sans Serif", 0, 0, 0, 0, FW_BOLD));
    CenterWindowOver(GetHandle(), GetMainWindowHandle());
}
