#pragma once
// CQuellstorTransDlg: the transfer program's main dialog: what to transfer
// (database, protocol, system software down, database up), the files for
// it, the status line and progress bar, and the menu of settings, service
// commands and help. A transfer is handed to the route of the mode: the
// serial route, or the fieldbus route when "Kelmnet Database Transfer" is on.

#include "platform/ui/controls/comm_port.h"
#include "platform/ui/dialog.h"
#include "qstrans/serial_transfer.h"
#include "qstrans/transfer_progress_ctrl.h"
#include "qstrans/transfer_route.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CQuellstorTransApp;
class TBrush;
class TDC;

// The state of a transfer (its kind, the pending step, the bytes) is the
// dialog's, which the serial route's step machine works on.
class CQuellstorTransDlg : public TDialog, public CSerialTransferState {
public:
    // What SelectFile chooses.
    enum : int { kItemDatabase = 1, kItemProtocol1 = 2, kItemProtocol2 = 3, kItemSystem = 4 };

    explicit CQuellstorTransDlg(CQuellstorTransApp& app, TWindow* parent = nullptr);
    ~CQuellstorTransDlg() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    // The routes plug in here (the dialog owns them).
    void SetSerialRoute(std::unique_ptr<CSerialRoute> route);
    void SetFieldbusRoute(std::unique_ptr<CFieldbusRoute> route);

    void OnStartTransfer();
    // Runs the file dialog for an item; `hardwareIndex` (a panel type, or -1)
    // starts the system software choice at that panel's command file.
    void SelectFile(int item, int hardwareIndex = -1);
    void DeriveProtocolNames();
    void ShowFileLocations();
    void DisableControls();
    void EnableControls();
    // Stops whatever runs; the dialog stays open.
    void OnCancel();
    bool IsFieldbusMode() const;

    CTransferProgressCtrl& Progress() { return *progress_; }
    TCommPort& CommPort() { return *commPort_; }
    CQuellstorTransApp& App() { return app_; }

protected:
    void SetupWindow() override;

private:
    void OnRadio(int id);
    void OnSelectDatabase() { OnSelectButton(kItemDatabase); }
    void OnSelectProtocol1() { OnSelectButton(kItemProtocol1); }
    void OnSelectProtocol2() { OnSelectButton(kItemProtocol2); }
    void OnSelectSystem() { OnSelectButton(kItemSystem); }
    void OnSelectButton(int item);
    void OnDownloadDatabase() { OnRadio(1001); }
    void OnDownloadProtocol() { OnRadio(1002); }
    void OnDownloadSystem() { OnRadio(1003); }
    void OnUploadDatabase() { OnRadio(1004); }
    void OnOK();
    void OnClose();
    void OnPort();
    void OnEraseFlash();
    void OnGotoTransfer();
    void OnFieldbusMode();
    void OnFieldbusConfiguration();
    void OnFieldbusVersion();
    void OnTimer(WPARAM id, LPARAM);
    void OnFieldbusStep(WPARAM, LPARAM);
    void OnSerialStep(WPARAM step, LPARAM cause);
    void OnCommEvent();
    // Runs the port dialog when no port was ever chosen.
    void AskPortFirst();
    void OnAbout();
    void OnHelp();
    void OnInitMenuPopup(WPARAM popup, LPARAM index);
    void OnActivateApp(WPARAM active, LPARAM);
    const TBrush* OnCtlColor(TDC& dc, HWND control);

    void StoreWindowPlace();
    // Greys what no route can do (in the mode in use).
    void GreyWithoutRoute();
    // True when the database file opens; else tells the engineer plainly.
    bool DatabaseImageReady();
    std::string DatabaseFile() const;
    CFieldbusRoute* FieldbusRoute() const;

    CQuellstorTransApp& app_;
    CTransferProgressCtrl* progress_;
    TCommPort* commPort_;
    std::unique_ptr<CSerialRoute> serialRoute_;
    std::unique_ptr<CFieldbusRoute> fieldbusRoute_;
};
