#include "varnht32/dialog/comm_info_dlg.h"

#include <string>

#include "platform/ui/messages.h"
#include "platform/ui/window_api.h"

namespace {

constexpr int kNodeEdits[4] = {IDC_NODE1, IDC_NODE2, IDC_NODE3, IDC_NODE4};
constexpr UINT kNodeAddressLimit = 19;
constexpr UINT kNetworkLimit = 255;
constexpr UINT kTimeoutLimit = 19;

TDialogTemplate MakeTemplate()
{
    TDialogTemplate t{"Kelmnet settings", 0, 0, 236, 184,
                      WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER,
                      "MS Sans Serif", 8, {}};
    auto& items = t.items;
    const char* channels[4] = {"Channel 1", "Channel 2", "Channel 3", "Channel 4"};
    for (int i = 0; i < 4; ++i) {
        const int y = 10 + i * 16;
        items.push_back(AutoCheckBox(channels[i], IDC_CHANNEL1 + i, 10, y, 60, 10,
                                     WS_TABSTOP | (i == 0 ? WS_GROUP : 0)));
        items.push_back(LText("Node address:", -1, 80, y + 1, 50, 8));
        items.push_back(EditText(kNodeEdits[i], 132, y - 1, 40, 12, ES_AUTOHSCROLL | WS_TABSTOP));
    }
    items.push_back(GroupBox("Kelmnet TCP/IP settings", -1, 6, 74, 224, 58));
    items.push_back(AutoCheckBox("Channel XXXX", IDC_TCPIP, 12, 86, 80, 10, WS_TABSTOP));
    items.push_back(LText("My IP Address:", -1, 12, 101, 90, 8));
    items.push_back(LText("", IDC_OWN_ADDRESS, 104, 101, 100, 8));
    items.push_back(LText("Default TCP/IP Network:", -1, 12, 116, 90, 8));
    items.push_back(EditText(IDC_NETWORK, 104, 114, 100, 12, ES_AUTOHSCROLL | WS_TABSTOP));
    items.push_back(LText("Transmission Timeout (ms):", -1, 10, 142, 100, 8));
    items.push_back(EditText(IDC_TIMEOUT, 112, 140, 50, 12, ES_AUTOHSCROLL | WS_TABSTOP));
    items.push_back(DefPushButton("&OK", IDOK, 20, 162, 50, 14, WS_TABSTOP));
    items.push_back(PushButton("&Cancel", IDCANCEL, 93, 162, 50, 14, WS_TABSTOP));
    items.push_back(PushButton("&Help", IDC_COMMINFO_HELP, 166, 162, 50, 14, WS_TABSTOP));
    return t;
}

}  // namespace

const TDialogTemplate& CommInfoTemplate()
{
    static const TDialogTemplate t = MakeTemplate();
    return t;
}

TCommInfoDlg::TCommInfoDlg(TWindow* parent, VNHCommInfoForm& form, const uint8_t* cardPresent)
    : TDialog(parent, CommInfoTemplate()), form_(form)
{
    for (int i = 0; i < 4; ++i)
        cardPresent_[i] = cardPresent[i] != 0;
}

void TCommInfoDlg::SetupWindow()
{
    TDialog::SetupWindow();
    for (int i = 0; i < 4; ++i) {
        CheckDlgButton(IDC_CHANNEL1 + i, form_.enable[i] ? BST_CHECKED : BST_UNCHECKED);
        SendDlgItemMessage(kNodeEdits[i], EM_LIMITTEXT, kNodeAddressLimit);
        SetDlgItemText(kNodeEdits[i], form_.node_address[i]);
    }
    CheckDlgButton(IDC_TCPIP, form_.enable[4] ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemText(IDC_TCPIP, form_.tcpip_caption);
    SetDlgItemText(IDC_OWN_ADDRESS, form_.own_address);
    SendDlgItemMessage(IDC_NETWORK, EM_LIMITTEXT, kNetworkLimit);
    SetDlgItemText(IDC_NETWORK, std::string(vnh::FormText(form_.network)).c_str());
    SendDlgItemMessage(IDC_TIMEOUT, EM_LIMITTEXT, kTimeoutLimit);
    SetDlgItemText(IDC_TIMEOUT, form_.timeout);
    UpdateEnables();
}

// A channel's texts can be edited while its box is checked; a card's box can
// be checked only when the card is there (a checked one can always be cleared).
void TCommInfoDlg::UpdateEnables()
{
    for (int i = 0; i < 4; ++i) {
        const bool on = IsDlgButtonChecked(IDC_CHANNEL1 + i) == BST_CHECKED;
        ::EnableWindow(GetDlgItem(kNodeEdits[i]), on);
        ::EnableWindow(GetDlgItem(IDC_CHANNEL1 + i), on || cardPresent_[i]);
    }
    const bool tcpip = IsDlgButtonChecked(IDC_TCPIP) == BST_CHECKED;
    ::EnableWindow(GetDlgItem(IDC_OWN_ADDRESS), tcpip);
    ::EnableWindow(GetDlgItem(IDC_NETWORK), tcpip);
}

LRESULT TCommInfoDlg::EvCommand(UINT id, HWND hWndCtl, UINT notifyCode)
{
    if (id == IDC_COMMINFO_HELP && notifyCode == BN_CLICKED) {
        CmHelp();
        return 0;
    }
    const LRESULT result = TDialog::EvCommand(id, hWndCtl, notifyCode);
    if (id != IDOK && id != IDCANCEL && IsWindow())
        UpdateEnables();
    return result;
}

void TCommInfoDlg::CmOk()
{
    for (int i = 0; i < 4; ++i) {
        form_.enable[i] = IsDlgButtonChecked(IDC_CHANNEL1 + i) == BST_CHECKED ? 1 : 0;
        vnh::SetFormText(form_.node_address[i], GetDlgItemText(kNodeEdits[i]));
    }
    form_.enable[4] = IsDlgButtonChecked(IDC_TCPIP) == BST_CHECKED ? 1 : 0;
    vnh::SetFormText(form_.timeout, GetDlgItemText(IDC_TIMEOUT));
    vnh::SetFormText(form_.network, GetDlgItemText(IDC_NETWORK));
    form_.network_length = static_cast<uint32_t>(vnh::FormText(form_.network).size());
    CloseHelp();
    TDialog::CmOk();
}

void TCommInfoDlg::CmCancel()
{
    CloseHelp();
    TDialog::CmCancel();
}

// There is no viewer for the library's help file ("varnht32.hlp") here; the
// dialog keeps only the state that OK and Cancel close.
void TCommInfoDlg::CmHelp()
{
    helpOpen_ = true;
}

void TCommInfoDlg::CloseHelp()
{
    helpOpen_ = false;
}
