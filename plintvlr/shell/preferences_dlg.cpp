#include "plintvlr/shell/preferences_dlg.h"

#include "plintvlr/shell/base/shell_string_ids.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/command_registry.h"
#include "plintvlr/shell/editor_bases_string_ids.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/frame_string_ids.h"
#include "plintvlr/shell/main_frame.h"
#include "plintvlr/shell/mdi_dialog.h"
#include "platform/base/profile.h"
#include "platform/ui/controls/check_box.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/styles.h"

#include <cstring>

namespace {

// The value is read into room for 9 characters.
constexpr int kValueRoom = 10;

void WriteBitToTags(bool on)
{
    WritePrivateProfileString(Str(kStrSectionApp), Str(kStrPrefsKey), Str(on ? kStrPrefsOn : kStrPrefsOff),
                              Str(kStrProfileFileName));
}

}  // namespace

bool BitToTagsOn()
{
    char value[kValueRoom] = {};
    GetPrivateProfileString(Str(kStrSectionApp), Str(kStrPrefsKey), Str(kStrPrefsOff), value, sizeof value,
                            Str(kStrProfileFileName));
    return std::strcmp(value, Str(kStrPrefsOn)) == 0;
}

void RegisterPreferencesTemplate()
{
    RegisterDialogTemplate(IDD_PREFERENCES, {Str(kStrPrefsCaption), 0, 0, 164, 39,
        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, "MS Sans Serif", 8, {
        AutoCheckBox(Str(kStrPrefsBitToTag), IDC_PREFS_BITTOTAG, 8, 6, 148, 10, WS_TABSTOP),
        DefPushButton(Str(kStrPrefsOk), IDOK, 8, 20, 44, 14, WS_TABSTOP),
        PushButton(Str(kStrPrefsCancel), IDCANCEL, 60, 20, 44, 14, WS_TABSTOP),
        PushButton(Str(kStrPrefsHelp), IDC_PREFS_HELP, 112, 20, 44, 14, WS_TABSTOP),
    }});
}

void RegisterPreferencesCommand()
{
    RegisterFrameCommand(CM_PREFERENCES, {[](MDIFrame& frame) {
                                              if (frame.CloseEditorsFirst(true))
                                                  prefsDlg(&frame).Execute();
                                          },
                                          nullptr});
}

const TResponseTable prefsDlg::Responses{&TPosDialog::Responses, {
    OnCommand<&prefsDlg::CmHelp>(IDC_PREFS_HELP),
}};

prefsDlg::prefsDlg(TWindow* parent, TModule* module)
    : TPosDialog(parent, IDD_PREFERENCES, IDD_PREFERENCES, module),
      bitToTag_(new TCheckBox(this, IDC_PREFS_BITTOTAG))
{
    if (!FindDialogTemplate(IDD_PREFERENCES))
        RegisterPreferencesTemplate();
}

prefsDlg::~prefsDlg() = default;

void prefsDlg::SetupWindow()
{
    TPosDialog::SetupWindow();
    bitToTag_->SetCheck(BitToTagsOn() ? BST_CHECKED : BST_UNCHECKED);
}

void prefsDlg::CmOk()
{
    WriteBitToTags(bitToTag_->GetCheck() == BST_CHECKED);
    TPosDialog::CmOk();
}

void prefsDlg::CmHelp()
{
    ShowHelpTopic(GetHandle(), kPrefsHelpContext);
}
