#include "qstrans/serial_port_route.h"

#include "platform/ui/controls/comm_port.h"
#include "platform/ui/message_box.h"
#include "platform/ui/window_api.h"
#include "qstrans/quellstor_trans_app.h"
#include "qstrans/quellstor_trans_dlg.h"
#include "qstrans/transfer_resources.h"
#include "qstrans/transfer_settings.h"

// ------------------------------------------------------------ the port control

bool CCommPortLine::Open(int number, std::string& error)
{
    if (port_.GetPortOpen() && port_.GetCommPort() != number)
        port_.SetPortOpen(false);
    if (!port_.GetPortOpen()) {
        port_.SetCommPort(static_cast<short>(number));
        if (!port_.SetPortOpen(true)) {
            error = port_.GetErrorText();
            return false;
        }
    }
    // Every step reads all that waits and finds its answer in it.
    port_.SetInputLen(0);
    return true;
}

bool CCommPortLine::IsOpen() const
{
    return port_.GetPortOpen();
}

void CCommPortLine::Close()
{
    if (port_.GetPortOpen())
        port_.SetPortOpen(false);
}

void CCommPortLine::SetReceiveThreshold(int bytes)
{
    port_.SetRThreshold(static_cast<short>(bytes));
}

void CCommPortLine::Discard()
{
    port_.SetInBufferCount(0);
}

bool CCommPortLine::Send(const std::uint8_t* data, std::size_t count)
{
    return port_.SetOutput(std::vector<std::uint8_t>(data, data + count));
}

std::vector<std::uint8_t> CCommPortLine::Receive()
{
    return port_.GetInput();
}

// ------------------------------------------------------------ the route

CSerialPortRoute::CSerialPortRoute(CQuellstorTransDlg& dialog, std::unique_ptr<CSerialLine> line,
                                   std::unique_ptr<CTransferFiles> files)
    : dialog_(dialog),
      line_(line ? std::move(line) : std::make_unique<CCommPortLine>(dialog.CommPort())),
      files_(files ? std::move(files) : std::make_unique<CDiskTransferFiles>()),
      machine_(dialog, *this, *line_, *files_)
{
}

CSerialPortRoute::~CSerialPortRoute() = default;

void CSerialPortRoute::StartTransfer(int kind)
{
    machine_.StartTransfer(kind);
}

void CSerialPortRoute::StartEraseFlash()
{
    machine_.StartEraseFlash();
}

void CSerialPortRoute::StartGotoTransfer()
{
    machine_.StartGotoTransfer();
}

void CSerialPortRoute::Cancel()
{
    machine_.Cancel();
}

void CSerialPortRoute::OnStepTimer()
{
    machine_.OnTimer();
}

void CSerialPortRoute::OnStep(int step, int cause)
{
    machine_.OnStep(step, static_cast<StepCause>(cause));
}

void CSerialPortRoute::OnReceive()
{
    machine_.OnReceive();
}

int CSerialPortRoute::PortNumber()
{
    // A port never chosen (the engineer closed the port dialog) is the dialog's first.
    const int port = ReadPortSetting();
    return port == kPortNeverChosen ? 1 : port + 1;
}

bool CSerialPortRoute::SetStepTimer(unsigned periodMs)
{
    return dialog_.IsWindow() && dialog_.SetTimer(kStepTimer, periodMs) != 0;
}

void CSerialPortRoute::KillStepTimer()
{
    if (dialog_.IsWindow())
        dialog_.KillTimer(kStepTimer);
}

void CSerialPortRoute::PostStep(int step, StepCause cause)
{
    if (dialog_.IsWindow())
        PostMessage(dialog_.GetHandle(), kSerialStepMessage, static_cast<WPARAM>(step),
                    static_cast<LPARAM>(cause));
}

void CSerialPortRoute::SetStatusText(const std::string& text)
{
    dialog_.SetDlgItemText(IDC_STATUS, text.c_str());
}

void CSerialPortRoute::SetProgressPos(int percent)
{
    dialog_.Progress().SetPos(percent);
}

void CSerialPortRoute::SetProgressActive(bool active)
{
    dialog_.Progress().SetActive(active);
}

void CSerialPortRoute::SetProgressFailed(bool failed)
{
    dialog_.Progress().SetFailed(failed);
}

void CSerialPortRoute::DisableControls()
{
    dialog_.DisableControls();
}

int CSerialPortRoute::MessageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    return MessageBoxDialog(dialog_.GetHandle(), text.c_str(), caption.c_str(), flags);
}

void CSerialPortRoute::ChooseSystemSoftware(int hardwareIndex)
{
    dialog_.SelectFile(CQuellstorTransDlg::kItemSystem, hardwareIndex);
}

bool CSerialPortRoute::IsChosen(int kind)
{
    switch (kind) {
    case CSerialTransferState::kDatabase:
        return dialog_.IsDlgButtonChecked(IDC_DOWNLOAD_DATABASE) != 0;
    case CSerialTransferState::kProtocol1:
        return dialog_.IsDlgButtonChecked(IDC_DOWNLOAD_PROTOCOL) != 0;
    default:
        return false;
    }
}

std::string CSerialPortRoute::FileFolder(int kind)
{
    const CQuellstorTransApp& app = dialog_.App();
    switch (kind) {
    case CSerialTransferState::kProtocol1:
        return app.protocolPath1;
    case CSerialTransferState::kProtocol2:
        return app.protocolPath2;
    case CSerialTransferState::kSystemSoftware:
        return app.systemPath;
    default:
        return app.databasePath;
    }
}

std::string CSerialPortRoute::FileName(int kind)
{
    const CQuellstorTransApp& app = dialog_.App();
    switch (kind) {
    case CSerialTransferState::kProtocol1:
        return app.protocolName1;
    case CSerialTransferState::kProtocol2:
        return app.protocolName2;
    case CSerialTransferState::kSystemSoftware:
        return app.systemName;
    default:
        return app.databaseName;
    }
}

void CSerialPortRoute::Stop()
{
    dialog_.OnCancel();
}
