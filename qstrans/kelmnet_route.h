#pragma once
// CKelmnetRoute: the fieldbus route of the main dialog on the Kelmnet
// back-ends. It hands the dialog's commands to the back-end of this platform
// family, and lends the back-end what it needs of the dialog: its window,
// the node dialog, the progress bar, the controls, the status line and the
// database file.

#include "qstrans/fieldbus_transfer_host.h"
#include "qstrans/transfer_route.h"

#include <memory>
#include <string>

class CKelmnetThunkTransfer;
class CKelmnetTransfer;
class CQuellstorTransDlg;

class CKelmnetRoute : public CFieldbusRoute, public CFieldbusTransferHost {
public:
    explicit CKelmnetRoute(CQuellstorTransDlg& dialog);
    ~CKelmnetRoute() override;

    // CFieldbusRoute
    void UploadDatabase() override;
    void DownloadDatabase() override;
    void Cancel() override;
    void ShowConfiguration() override;
    void ShowVersion() override;
    void OnPollTimer() override;
    void OnTimerStep() override;

    // CFieldbusTransferHost
    HWND GetTransferWindow() override;
    bool AskNodeId(bool askBackground, int& nodeId, int& background) override;
    void SetProgressPos(int percent) override;
    void SetProgressActive(bool active) override;
    void SetProgressFailed(bool failed) override;
    void DisableControls() override;
    void EnableControls() override;
    void SetStatusText(const std::string& text) override;
    std::string DatabaseFile() override;

    bool IsTransferring() const;

private:
    CQuellstorTransDlg& dialog_;
    // One of the two, by the platform family.
    std::unique_ptr<CKelmnetTransfer> kelmnet_;
    std::unique_ptr<CKelmnetThunkTransfer> thunk_;
};
