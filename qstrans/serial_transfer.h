#pragma once
// CSerialTransfer: the transfer program's conversation with a panel on a
// serial line, as a machine of steps. A transfer is a chain: the system
// software check, the panel type (and, for a database, the panel version),
// then the download of one file in checked frames or the upload of the
// panel's database in checked blocks, then the next file of the chain. Erase
// Flash and Goto Transfer are steps of their own.
//
// Each step is driven by three things: the step posted to the dialog (once
// at its start and whenever bytes arrive), the one step timer re-armed with
// the step's period, and the line's receive event. The machine reaches the
// dialog, the port, the files and the message boxes only through the seams
// below, so tests and the fuzz target run it against a simulated panel on a
// virtual clock, and the program runs the same code against a real port.
//
// Every wait is bounded where an unanswered wait would hang: a download
// frame or upload block without an answer within the block period ends the
// transfer as failed, and a frame or block refused again and again too.
// Nothing is sent twice after a silence: frames carry no sequence number, so
// a frame resent because its acknowledgement was lost would be stored twice.
// What arrived is searched for the answer since the request went out, so a
// noise byte before an answer does not hide it, and replies count only once
// they are whole.

#include "qstrans/upload_target.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The state of a transfer, which the dialog shows and stops by.
struct CSerialTransferState {
    // Transfer kinds.
    enum : int {
        kNone = 0,
        kProtocol1 = 1,
        kDatabase = 2,
        kUpload = 3,
        kSystemSoftware = 4,
        kProtocol2 = 7,
    };

    int panelType = 0;
    int retryCount = 0;
    int kind = kNone;
    // The file's length of a download; the size the panel announced of an upload.
    std::uint32_t fileLength = 0;
    // The step the timer and the receive event drive; 0 between transfers.
    int pending = 0;
    int noSystemSoftware = 0;
    int hardwareIndex = 0;
    // What arrived for the current step (bounded), and the last frame sent.
    std::vector<std::uint8_t> receiveBytes;
    std::vector<std::uint8_t> sendBytes;
};

// The serial port: "Com n", opened raw at 19200 baud 8N1.
class CSerialLine {
public:
    virtual ~CSerialLine() = default;
    // Opens the line on port `number`, closing it first when open on
    // another. False with the reason (naming the port, its device and the
    // system's reason) when it cannot be opened.
    virtual bool Open(int number, std::string& error) = 0;
    virtual bool IsOpen() const = 0;
    virtual void Close() = 0;
    // The count of waiting bytes that raises the receive event.
    virtual void SetReceiveThreshold(int bytes) = 0;
    // Drops what has arrived and not been taken.
    virtual void Discard() = 0;
    virtual bool Send(const std::uint8_t* data, std::size_t count) = 0;
    // Takes every byte waiting.
    virtual std::vector<std::uint8_t> Receive() = 0;
};

// The files of a transfer: the file a download sends, the upload's target
// and what a database file says of itself.
class CTransferFiles {
public:
    virtual ~CTransferFiles() = default;
    // Opens the file to send; false with the platform's text when it cannot.
    virtual bool OpenSource(const std::string& path, std::uint32_t& length, std::string& error) = 0;
    // Reads the next bytes; fewer at the end, -1 on a read error.
    virtual long ReadSource(std::uint8_t* buffer, std::size_t count) = 0;
    virtual void CloseSource() = 0;
    // Creates where an upload goes; false with the platform's text.
    virtual bool CreateTarget(const std::string& path, std::string& error) = 0;
    virtual bool WriteTarget(const std::uint8_t* data, std::size_t count, std::string& error) = 0;
    virtual std::uint64_t TargetPosition() const = 0;
    // Puts a whole upload in place of the old file, or leaves the old one.
    virtual CUploadTarget::Result FinishTarget() = 0;
    virtual void AbandonTarget() = 0;
    // The panel type and the builder's version a database file gives
    // (-1 and 0.0.0 when it does not).
    virtual int DatabasePanelType(const std::string& path) = 0;
    virtual void DatabaseVersion(const std::string& path, unsigned& major, unsigned& minor, unsigned& revision) = 0;
};

// Files on disk, uploads received through CUploadTarget.
class CDiskTransferFiles : public CTransferFiles {
public:
    ~CDiskTransferFiles() override;
    bool OpenSource(const std::string& path, std::uint32_t& length, std::string& error) override;
    long ReadSource(std::uint8_t* buffer, std::size_t count) override;
    void CloseSource() override;
    bool CreateTarget(const std::string& path, std::string& error) override;
    bool WriteTarget(const std::uint8_t* data, std::size_t count, std::string& error) override;
    std::uint64_t TargetPosition() const override;
    CUploadTarget::Result FinishTarget() override;
    void AbandonTarget() override;
    int DatabasePanelType(const std::string& path) override;
    void DatabaseVersion(const std::string& path, unsigned& major, unsigned& minor, unsigned& revision) override;

private:
    int source_ = -1;
    std::unique_ptr<CUploadTarget> target_;
};

// Why a step runs.
enum class StepCause : int {
    Posted = 0,    // its start, or a step posting the next
    Received = 1,  // bytes arrived
    Timer = 2,     // the step timer ticked
};

// What the machine needs of the dialog.
class CSerialTransferHost {
public:
    virtual ~CSerialTransferHost() = default;
    // The port chosen ("Com 1" is 1).
    virtual int PortNumber() = 0;
    // The step timer; false when no timer can be had.
    virtual bool SetStepTimer(unsigned periodMs) = 0;
    virtual void KillStepTimer() = 0;
    // Posts a step to the dialog, which hands it back to OnStep.
    virtual void PostStep(int step, StepCause cause) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void SetProgressPos(int percent) = 0;
    virtual void SetProgressActive(bool active) = 0;
    virtual void SetProgressFailed(bool failed) = 0;
    virtual void DisableControls() = 0;
    // A message box; the button pressed.
    virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
    // Lets the engineer choose the system software file of a panel type.
    virtual void ChooseSystemSoftware(int hardwareIndex) = 0;
    // Whether the download of `kind` (database or protocol) is chosen.
    virtual bool IsChosen(int kind) = 0;
    // The folder and the name of the file of a kind (the database's for 2 and 3).
    virtual std::string FileFolder(int kind) = 0;
    virtual std::string FileName(int kind) = 0;
    // Stops what runs as Cancel Transfer does: the bar red when a kind is
    // set, the timer killed, the controls back, the status line cleared,
    // CSerialTransfer::Cancel called, pending and kind 0.
    virtual void Stop() = 0;
};

class CSerialTransfer {
public:
    // The steps.
    enum : int {
        kStepSendBlock = 1,
        kStepDownloadAck = 2,
        kStepEraseFlash = 3,
        kStepHandshake = 4,
        kStepDownloadDone = 5,
        kStepPanelType = 6,
        kStepVersionRequest = 7,
        kStepVersionData = 8,
        kStepUploadAck = 9,
        kStepUploadWait = 10,
        kStepUploadBlock = 11,
        kStepSystemSoftware = 14,
    };
    // A frame or block refused this many times running ends the transfer.
    static constexpr int kMostRefusals = 5;
    // Received bytes kept for a step: more than any whole reply.
    static constexpr std::size_t kMostReceived = 1024;

    CSerialTransfer(CSerialTransferState& state, CSerialTransferHost& host, CSerialLine& line, CTransferFiles& files);
    ~CSerialTransfer();
    CSerialTransfer(const CSerialTransfer&) = delete;
    CSerialTransfer& operator=(const CSerialTransfer&) = delete;

    // Start Transfer of `kind`: the chain from the system software check.
    void StartTransfer(int kind);
    // Asks first; then "EFN" every 400 ms until Cancel.
    void StartEraseFlash();
    // "GXFER" every 300 ms until the panel answers "AXFER".
    void StartGotoTransfer();

    // A posted step, the step timer and the line's receive event.
    void OnStep(int step, StepCause cause);
    void OnTimer();
    void OnReceive();

    // Lets the file, the upload and the line go (the host's Stop calls it).
    void Cancel();

private:
    struct StepStart {
        unsigned periodMs;
        int statusString;
        int step;
        int threshold;
    };

    // OpenCommPort: false (and said) when the port cannot be opened.
    bool OpenCommPort();
    bool StartStep(const StepStart& start);
    // The first step of a download or an upload: the bar starts at 0; the
    // file goes again when the step cannot start.
    void StartFileStep(const StepStart& start);
    // The end of a step: its timer and status go, and nothing runs it again.
    void EndStep();
    // Stops, then tells why, with a stop icon.
    void Fail(const std::string& text, const std::string& caption);
    // The same for an upload, saying that the engineer's file is unchanged.
    void FailUpload(const std::string& why);
    void Send(std::initializer_list<std::uint8_t> bytes);
    void Send(std::string_view text);
    void SendBytes(const std::vector<std::uint8_t>& bytes);
    // Forgets what arrived, so what arrives next answers what goes out next.
    void ClearReceived();
    // Raises the receive event once `bytes` more have arrived.
    void Await(int bytes);

    // The steps.
    void OnEraseFlashStep();
    void OnHandshake(StepCause cause);
    bool StartChain();
    void OnSystemSoftwareReply(StepCause cause);
    void OnPanelTypeReply(StepCause cause);
    void CheckPanelType(bool replied);
    void StartPanelVersion();
    void CollectPanelData();
    void OnPanelVersionReply(StepCause cause);
    void CheckPanelVersion(bool replied);
    void StartDownload(int kind);
    void OnDownloadAck(StepCause cause);
    void OnSendBlock(StepCause cause);
    void OnDownloadDone();
    void StartUpload();
    void OnUploadAck(StepCause cause);
    void CollectUploadData();
    void OnUploadBlock();
    void EndUpload();
    // A request answered by a 3-byte reply, asked at most three times:
    // true when the step is over, with `replied` telling whether its reply
    // counts and `value` its third byte.
    bool ThreeByteReply(StepCause cause, std::uint8_t request, bool& replied, std::uint8_t& value);
    // Takes what waits on the line into the received bytes; false when nothing came.
    bool TakeReceived();
    // Hands what was received to the step pending.
    void OnReceived();

    CSerialTransferState& state_;
    CSerialTransferHost& host_;
    CSerialLine& line_;
    CTransferFiles& files_;
    // The system software went down in this chain: the panel has it now.
    bool systemSoftwareSent_ = false;
    bool sourceOpen_ = false;
    std::string sourcePath_;
    bool targetOpen_ = false;
    std::uint32_t position_ = 0;
    int refusals_ = 0;
};
