#pragma once
// The settings dialog of the fieldbus library ("Kelmnet settings", the
// library's dialog 101): check boxes for the four adapter-card channels and
// the TCP/IP channel, their node addresses, the default TCP/IP network and
// the transmission time-out. It edits the library's copy of the settings;
// the library assigns and saves what changed after OK.

#include "platform/ui/dialog.h"
#include "varnht32/src/comm_info_form.h"

// Control ids of the dialog.
enum : int {
  IDC_CHANNEL1 = 1001,  // .. IDC_CHANNEL1 + 3: "Channel 1" to "Channel 4"
  IDC_NODE1 = 1005,
  IDC_NODE2 = 1006,
  IDC_NODE4 = 1007,
  IDC_NODE3 = 1008,
  IDC_TCPIP = 1009,
  IDC_OWN_ADDRESS = 1011,
  IDC_NETWORK = 1012,
  IDC_TIMEOUT = 1014,
  IDC_COMMINFO_HELP = 1016,
};

constexpr int kCommInfoDialogId = 101;

// The dialog's template: the library's own, so it is not registered in the
// program's table, where 101 may name a dialog of the program.
const TDialogTemplate& CommInfoTemplate();

class TCommInfoDlg : public TDialog {
public:
    // `cardPresent[n]`: card n+1 can be opened.
    TCommInfoDlg(TWindow* parent, VNHCommInfoForm& form, const uint8_t* cardPresent);

    bool HelpOpened() const { return helpOpen_; }

protected:
    void SetupWindow() override;
    void CmOk() override;
    void CmCancel() override;
    LRESULT EvCommand(UINT id, HWND hWndCtl, UINT notifyCode) override;

private:
    void UpdateEnables();
    void CmHelp();
    void CloseHelp();

    VNHCommInfoForm& form_;
    bool cardPresent_[4];
    bool helpOpen_ = false;
};
