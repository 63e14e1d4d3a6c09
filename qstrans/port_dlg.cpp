#include "qstrans/port_dlg.h"

#include "qstrans/transfer_resources.h"
#include "qstrans/transfer_settings.h"

const TResponseTable CPortDlg::Responses{&TDialog::Responses, {}};

CPortDlg::CPortDlg(TWindow* parent) : TDialog(parent, IDD_PORT_DIALOG)
{
    const int port = ReadPortSetting();
    selection_ = port == kPortNeverChosen ? 0 : port;
}

void CPortDlg::SetupWindow()
{
    TDialog::SetupWindow();
    CheckRadioButton(IDC_COM1, IDC_COM1 + 3, IDC_COM1 + selection_);
}

void CPortDlg::CmOk()
{
    for (int i = 0; i < 4; ++i) {
        if (IsDlgButtonChecked(IDC_COM1 + i))
            selection_ = i;
    }
    TransferSettings().WriteInt("", "Port", selection_);
    TDialog::CmOk();
}
