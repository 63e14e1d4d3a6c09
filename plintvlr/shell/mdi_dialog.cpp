#include "plintvlr/shell/mdi_dialog.h"

#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/frame_string_ids.h"
#include "plintvlr/shell/mdi_hosts.h"
#include "plintvlr/shell/page_editor_lock.h"
#include "plintvlr/shell/win_positioner.h"
#include "platform/base/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/help.h"
#include "platform/ui/mdi_client.h"
#include "platform/ui/messages.h"
#include "platform/ui/styles.h"
#include "platform/ui/window_api.h"

#include <string>

void ShowHelpTopic(HWND owner, DWORD context)
{
    const std::string file = ProgramPath(Str(kStrHelpFile));
    WinHelp(owner, file.c_str(), HELP_CONTEXT, context);
}

bool ForwardSysCommand(UINT command, const TPoint& point)
{
    TApplication* app = TApplication::Current();
    TWindow* main = app ? app->GetMainWindow() : nullptr;
    if (!main || !main->IsWindow())
        return false;
    main->SendMessage(WM_SYSCOMMAND, command,
                      MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y)));
    return true;
}

void MakeEditorHost(TMDIClient& client, TWindow& hosted, TResId icon, int positionId, TModule* module,
                    TInnerMDIChild*& host)
{
    // Known before its window is made: moving the editor into the host sets
    // the editor up again, and that must not make a second host.
    host = new TInnerMDIChild(client, &hosted, icon, module);
    // A host with a kept place shows itself only once it stands there.
    if (positionId != 0)
        host->Attr.Style &= ~WS_VISIBLE;
    if (!host->Create()) {
        // The editor stays a plain child of the client.
        hosted.SetParent(&client);
        delete host;
        host = nullptr;
        return;
    }
    client.PostMessage(WM_MDIREFRESHMENU);
    if (positionId != 0)
        TWinPositioner(positionId).Restore(client.GetHandle(), host->GetHandle(), true);
}

void SaveEditorHostPlace(TMDIClient& client, TInnerMDIChild* host, int positionId)
{
    if (positionId != 0 && host && host->IsWindow())
        TWinPositioner(positionId).Save(client.GetHandle(), host->GetHandle());
}

void DestroyEditorHost(TInnerMDIChild*& host)
{
    TInnerMDIChild* going = host;
    host = nullptr;
    if (going && going->IsWindow() && !going->IsGoing())
        going->Destroy(0);
}

const TResponseTable TMDIDialog::Responses{&TDialog::Responses, {
    OnCommand<&TMDIDialog::CmHelp>(CM_CURRENTTOPIC),
    OnMessage<&TMDIDialog::EvSysCommand>(WM_SYSCOMMAND),
    OnMessage<&TMDIDialog::EvClose>(WM_CLOSE),
}};

TMDIDialog::TMDIDialog(TMDIClient* client, TResId resId, int positionId, int helpId, TResId hostIcon,
                       bool disableEditor, TModule* module)
    : TDialog(client, resId, module),
      client_(client),
      hostIcon_(hostIcon),
      positionId_(positionId),
      helpId_(helpId),
      disableEditor_(disableEditor)
{
    if (disableEditor_) {
        HoldPageEditor(client_);
        holdsEditor_ = true;
    }
}

TMDIDialog::~TMDIDialog()
{
    if (IsWindow())
        Destroy(IDCANCEL);
    EndHost();
}

void TMDIDialog::SetupWindow()
{
    TDialog::SetupWindow();
    if (client_ && !host_)
        MakeEditorHost(*client_, *this, hostIcon_, positionId_, GetModule(), host_);
    SetAcceleratorTable(IDM_MAINFRAME);
    MoveCursorToDefaultButton(GetHandle());
}

void TMDIDialog::CleanupWindow()
{
    if (client_)
        SaveEditorHostPlace(*client_, host_, positionId_);
    TDialog::CleanupWindow();
}

void TMDIDialog::Destroy(int retVal)
{
    const bool modeless = !IsModal();
    TDialog::Destroy(retVal);
    if (modeless && !IsWindow())
        EndHost();
}

void TMDIDialog::EndHost()
{
    // The editor's end: the page editor is free again from it, and the host
    // that carried it goes.
    if (holdsEditor_) {
        holdsEditor_ = false;
        if (client_ && client_->IsWindow())
            ReleasePageEditor(client_);
    }
    DestroyEditorHost(host_);
}

bool TMDIDialog::EnableWindow(bool enable)
{
    if (host_ && host_->IsWindow())
        return host_->EnableWindow(enable);
    return TDialog::EnableWindow(enable);
}

HWND TMDIDialog::GetHostHandle() const
{
    return host_ && host_->IsWindow() ? host_->GetHandle() : nullptr;
}

void TMDIDialog::CmHelp()
{
    if (helpId_ != 0)
        ShowHelpTopic(GetHandle(), static_cast<DWORD>(helpId_));
}

void TMDIDialog::EvSysCommand(UINT command, const TPoint& point)
{
    if (!ForwardSysCommand(command, point))
        DefaultProcessing();
}

void TMDIDialog::EvClose()
{
    TDialog::EvClose();
}
