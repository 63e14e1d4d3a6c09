#include "plintvlr/shell/mdi_prop_sheet.h"

#include "plintvlr/shell/mdi_dialog.h"
#include "plintvlr/shell/mdi_hosts.h"
#include "plintvlr/shell/page_editor_lock.h"
#include "plintvlr/shell/win_positioner.h"
#include "platform/ui/mdi_client.h"
#include "platform/ui/messages.h"
#include "platform/ui/window_api.h"

// ---------------------------------------------------------------- TMDIPropSheet

const TResponseTable TMDIPropSheet::Responses{&TFitPropSheet::Responses, {
    OnMessage<&TMDIPropSheet::EvSysCommand>(WM_SYSCOMMAND),
}};

TMDIPropSheet::TMDIPropSheet(TMDIClient* client, const char* title, TResId hostIcon, int startPage, int positionId,
                             bool wizard, DWORD flags, TModule* module)
    // The host keeps the place, not the sheet inside it.
    : TFitPropSheet(client, title, startPage, 0, wizard, flags, module),
      client_(client),
      hostIcon_(hostIcon),
      positionId_(positionId)
{
}

TMDIPropSheet::~TMDIPropSheet()
{
    if (IsWindow())
        TMDIPropSheet::Destroy(IDCANCEL);
    EndHost();
}

void TMDIPropSheet::SetupWindow()
{
    TFitPropSheet::SetupWindow();
    if (client_ && !host_)
        MakeEditorHost(*client_, *this, hostIcon_, positionId_, GetModule(), host_);
    MoveCursorToDefaultButton(GetHandle());
}

void TMDIPropSheet::CleanupWindow()
{
    if (client_)
        SaveEditorHostPlace(*client_, host_, positionId_);
    TFitPropSheet::CleanupWindow();
}

void TMDIPropSheet::Destroy(int retVal)
{
    const bool modeless = !IsModal();
    TFitPropSheet::Destroy(retVal);
    if (modeless && !IsWindow())
        EndHost();
}

void TMDIPropSheet::EndHost()
{
    SheetEnded();
    DestroyEditorHost(host_);
}

bool TMDIPropSheet::EnableWindow(bool enable)
{
    if (!host_ || !host_->IsWindow())
        return TFitPropSheet::EnableWindow(enable);
    const bool result = host_->EnableWindow(enable);
    host_->BringWindowToTop();
    return result;
}

HWND TMDIPropSheet::GetHostHandle() const
{
    return host_ && host_->IsWindow() ? host_->GetHandle() : nullptr;
}

void TMDIPropSheet::EvSysCommand(UINT command, const TPoint& point)
{
    if (!ForwardSysCommand(command, point))
        DefaultProcessing();
}

// ---------------------------------------------------------------- TGraphEditSheet

const TResponseTable TGraphEditSheet::Responses{&TMDIPropSheet::Responses, {
    OnMessage<&TGraphEditSheet::EvClose>(WM_CLOSE),
}};

TGraphEditSheet::TGraphEditSheet(TMDIClient* client, const char* title, TResId hostIcon, int startPage,
                                 int positionId, bool wizard, DWORD flags, TModule* module)
    : TMDIPropSheet(client, title, hostIcon, startPage, positionId, wizard, flags, module)
{
    HoldPageEditor(client);
    holdsEditor_ = true;
}

TGraphEditSheet::~TGraphEditSheet()
{
    if (IsWindow())
        TMDIPropSheet::Destroy(IDCANCEL);
    Release();
}

void TGraphEditSheet::SheetEnded()
{
    Release();
}

void TGraphEditSheet::Release()
{
    if (!holdsEditor_)
        return;
    holdsEditor_ = false;
    if (GetClient() && GetClient()->IsWindow())
        ReleasePageEditor(GetClient());
}

void TGraphEditSheet::EvClose()
{
    SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), HandleToLParam(GetDlgItem(IDCANCEL)));
}
