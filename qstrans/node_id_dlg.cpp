#include "qstrans/node_id_dlg.h"

#include "platform/ui/window_api.h"
#include "qstrans/transfer_resources.h"

#include <string>

const TResponseTable CNodeIdDlg::Responses{&TDialog::Responses, {}};

CNodeIdDlg::CNodeIdDlg(TWindow* parent, int* nodeId, int* background, bool showBackground)
    : TDialog(parent, IDD_NODE_DIALOG), nodeId_(nodeId), background_(background), showBackground_(showBackground)
{
}

int CNodeIdDlg::ParseNodeId(const std::string& text)
{
    if (text.empty() || text.size() > 3)
        return -1;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value >= kLowestNode && value <= kHighestNode ? value : -1;
}

void CNodeIdDlg::SetupWindow()
{
    TDialog::SetupWindow();
    if (!showBackground_)
        ::ShowWindow(GetDlgItem(IDC_BACKGROUND), SW_HIDE);
}

void CNodeIdDlg::CmOk()
{
    const int node = ParseNodeId(GetDlgItemText(IDC_NODE_ID));
    if (node < 0) {
        SetDlgItemText(IDC_NODE_ID, "");
        ::SetFocus(GetDlgItem(IDC_NODE_ID));
        return;
    }
    if (nodeId_)
        *nodeId_ = node;
    if (background_)
        *background_ = IsDlgButtonChecked(IDC_BACKGROUND) ? 1 : 0;
    TDialog::CmOk();
}
