#include "qstrans/kelmnet_route.h"

#include "platform/base/user_settings.h"
#include "qstrans/kelmnet_thunk_transfer.h"
#include "qstrans/kelmnet_transfer.h"
#include "qstrans/node_id_dlg.h"
#include "qstrans/quellstor_trans_app.h"
#include "qstrans/quellstor_trans_dlg.h"
#include "qstrans/transfer_resources.h"

CKelmnetRoute::CKelmnetRoute(CQuellstorTransDlg& dialog) : dialog_(dialog)
{
    const unsigned long platform = GetPlatformId();
    if (platform == VER_PLATFORM_WIN32_NT)
        kelmnet_ = std::make_unique<CKelmnetTransfer>(*this, platform);
    else
        thunk_ = std::make_unique<CKelmnetThunkTransfer>(*this);
}

CKelmnetRoute::~CKelmnetRoute() = default;

void CKelmnetRoute::UploadDatabase()
{
    if (kelmnet_)
        kelmnet_->UploadDatabase();
    else
        thunk_->UploadDatabase();
}

void CKelmnetRoute::DownloadDatabase()
{
    if (kelmnet_)
        kelmnet_->DownloadDatabase();
    else
        thunk_->DownloadDatabase();
}

void CKelmnetRoute::Cancel()
{
    const bool running = IsTransferring();
    if (kelmnet_)
        kelmnet_->Cancel();
    else
        thunk_->Cancel();
    // A transfer broken off did not get through: the bar says so.
    if (running) {
        SetProgressFailed(true);
        EnableControls();
    }
}

void CKelmnetRoute::ShowConfiguration()
{
    if (kelmnet_)
        kelmnet_->ShowConfiguration();
    else
        thunk_->ShowConfiguration();
}

void CKelmnetRoute::ShowVersion()
{
    if (kelmnet_)
        kelmnet_->ShowVersion();
    else
        thunk_->ShowVersion();
}

void CKelmnetRoute::OnPollTimer()
{
    if (kelmnet_)
        kelmnet_->OnPollTimer();
}

void CKelmnetRoute::OnTimerStep()
{
    if (kelmnet_)
        kelmnet_->OnTimerStep();
}

bool CKelmnetRoute::IsTransferring() const
{
    return kelmnet_ && kelmnet_->IsTransferring();
}

HWND CKelmnetRoute::GetTransferWindow()
{
    return dialog_.IsWindow() ? dialog_.GetHandle() : nullptr;
}

bool CKelmnetRoute::AskNodeId(bool askBackground, int& nodeId, int& background)
{
    CNodeIdDlg ask(&dialog_, &nodeId, askBackground ? &background : nullptr, askBackground);
    return ask.Execute() == IDOK;
}

void CKelmnetRoute::SetProgressPos(int percent)
{
    dialog_.Progress().SetPos(percent);
}

void CKelmnetRoute::SetProgressActive(bool active)
{
    dialog_.Progress().SetActive(active);
}

void CKelmnetRoute::SetProgressFailed(bool failed)
{
    dialog_.Progress().SetFailed(failed);
}

void CKelmnetRoute::DisableControls()
{
    dialog_.DisableControls();
}

void CKelmnetRoute::EnableControls()
{
    dialog_.EnableControls();
}

void CKelmnetRoute::SetStatusText(const std::string& text)
{
    dialog_.SetDlgItemText(IDC_STATUS, text.c_str());
}

std::string CKelmnetRoute::DatabaseFile()
{
    return dialog_.App().databasePath + dialog_.App().databaseName;
}
