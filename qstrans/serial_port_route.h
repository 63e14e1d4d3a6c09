#pragma once
// CSerialPortRoute: the serial route of the main dialog. It runs the step
// machine (serial_transfer.h) on the dialog: the steps are posted to the
// dialog as its private step message, the step timer is the dialog's timer
// 1017, the line is the dialog's serial port control, the message boxes
// and the file choice are the dialog's, and a stop is the dialog's Cancel
// Transfer. Tests give it another line (a simulated panel) or other files.

#include "qstrans/serial_transfer.h"
#include "qstrans/transfer_route.h"

#include <memory>
#include <string>

class CQuellstorTransDlg;
class TCommPort;

// The line over the dialog's serial port control.
class CCommPortLine : public CSerialLine {
public:
    explicit CCommPortLine(TCommPort& port) : port_(port) {}
    bool Open(int number, std::string& error) override;
    bool IsOpen() const override;
    void Close() override;
    void SetReceiveThreshold(int bytes) override;
    void Discard() override;
    bool Send(const std::uint8_t* data, std::size_t count) override;
    std::vector<std::uint8_t> Receive() override;

private:
    TCommPort& port_;
};

class CSerialPortRoute : public CSerialRoute, public CSerialTransferHost {
public:
    // Without a line: the dialog's serial port; without files: the disk.
    explicit CSerialPortRoute(CQuellstorTransDlg& dialog, std::unique_ptr<CSerialLine> line = nullptr,
                              std::unique_ptr<CTransferFiles> files = nullptr);
    ~CSerialPortRoute() override;

    // CSerialRoute
    void StartTransfer(int kind) override;
    void StartEraseFlash() override;
    void StartGotoTransfer() override;
    void Cancel() override;
    void OnStepTimer() override;
    void OnStep(int step, int cause) override;
    void OnReceive() override;

    // CSerialTransferHost
    int PortNumber() override;
    bool SetStepTimer(unsigned periodMs) override;
    void KillStepTimer() override;
    void PostStep(int step, StepCause cause) override;
    void SetStatusText(const std::string& text) override;
    void SetProgressPos(int percent) override;
    void SetProgressActive(bool active) override;
    void SetProgressFailed(bool failed) override;
    void DisableControls() override;
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    void ChooseSystemSoftware(int hardwareIndex) override;
    bool IsChosen(int kind) override;
    std::string FileFolder(int kind) override;
    std::string FileName(int kind) override;
    void Stop() override;

    CSerialLine& Line() { return *line_; }

private:
    CQuellstorTransDlg& dialog_;
    std::unique_ptr<CSerialLine> line_;
    std::unique_ptr<CTransferFiles> files_;
    CSerialTransfer machine_;
};
