#pragma once
// CKelmnetTransfer: the panel database moved between this PC and a panel on
// the Kelmnet fieldbus through the fieldbus library: a connection from the
// local channel "1" to the panel's node, the stream "STREM" on it, and the
// frames of CKelmnetExchange over the stream.
//
// The library works only inside our polls, so everything runs from the poll
// timer (1027, 100 ms) on the main dialog and the steps posted to it: the
// library's callbacks only record what happened and post WM_USER+12. The
// waits for the connection, the stream and each frame are bounded and never
// block the window; only Cancel (and the dialog's end) waits for the close,
// for a few seconds at most.
//
// An upload writes into a new file beside the engineer's database, which is
// replaced only by a whole database of exactly the announced size.

#include "platform/base/win_types.h"
#include "qstrans/kelmnet_exchange.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "varnht32/include/varnht32.h"

class CFieldbusTransferHost;
class CUploadTarget;

class CKelmnetTransfer {
public:
    static constexpr UINT kPollTimer = 1027;
    static constexpr UINT kPollMs = 100;
    static constexpr UINT kStepMessage = 0x0400 + 12;  // WM_USER+12
    // The most polls of the library in one tick of the poll timer.
    static constexpr int kPollsPerTick = 8;

    // Open states: what start-up reached. Ready only at 6.
    enum OpenState : int {
        kWrongPlatform = 0,
        kNoLibrary = 1,
        kNoIdentity = 2,
        kNoStreamCallbacks = 3,
        kNoActionCallback = 4,
        kNoCommunication = 5,
        kReady = 6,
    };
    // How the last connection attempt ended.
    enum ConnectionResult : int { kConnectionFailed = 0, kStreamFailed = 1, kOpenOrCancelled = 2 };

    // Bounds of the waits. The connection's is the library's own default
    // reconnection time-out (20 s) with a margin.
    static constexpr std::chrono::milliseconds kConnectBound{25000};
    static constexpr std::chrono::milliseconds kStreamBound{5000};
    static constexpr std::chrono::milliseconds kFrameBound{5000};
    static constexpr std::chrono::milliseconds kCloseBound{5000};

    // Opens the library (on the NT family, platform id 2; elsewhere the
    // open state stays 0). One back-end per process: the library's
    // callbacks are process-wide.
    CKelmnetTransfer(CFieldbusTransferHost& host, unsigned long platformId);
    ~CKelmnetTransfer();
    CKelmnetTransfer(const CKelmnetTransfer&) = delete;
    CKelmnetTransfer& operator=(const CKelmnetTransfer&) = delete;

    void UploadDatabase();
    void DownloadDatabase();
    // Timer 1027: lets the library work.
    void OnPollTimer();
    // WM_USER+12: acts on what the library reported.
    void OnTimerStep();
    // Ends a transfer that runs: closes the stream (waiting a few seconds at
    // most for the panel's answer) and releases the connection.
    void Stop();
    // The Cancel Transfer button and the dialog's end: Stop, and the file
    // of the transfer goes.
    void Cancel();
    void ShowError();
    void ShowVersion();
    void ShowConfiguration();

    int GetOpenState() const { return openState_; }
    int GetConnectionResult() const { return connectionResult_; }
    bool IsTransferring() const { return phase_ != Phase::Idle; }

private:
    enum class Phase { Idle, Connecting, Opening, Transferring, Closing };
    class Port;

    void Open();
    // A window, no transfer running, and a library that is ready (else its error is shown).
    bool ReadyToStart();
    // The node dialog and the connection; the file of the transfer is open.
    void StartTransfer(bool upload);
    // The node dialog and the connection; false when it cannot start.
    bool Connect(bool askBackground);
    void BeginTransfer(bool upload, int statusId);
    void StepConnecting();
    void StepOpening();
    void StepTransferring();
    void StepClosing();
    // The exchange ended (well or not): the stream is closed, then Finish.
    void BeginClose();
    // Asks the library to close the stream; true when the close is on its way.
    bool RequestClose();
    void FailConnect(int connectionResult);
    void Fail(std::string text);
    // Ends the transfer and tells the engineer how it went.
    void Finish();
    void ReleaseConnection();
    void EndTransfer();
    void Deadline(std::chrono::milliseconds bound);
    bool PastDeadline() const;
    int Message(const std::string& text, const char* caption, UINT type);

    CFieldbusTransferHost& host_;
    const bool ntFamily_;
    HWND window_ = nullptr;
    int openState_ = kWrongPlatform;
    int connectionResult_ = kOpenOrCancelled;
    int background_ = 0;

    Phase phase_ = Phase::Idle;
    bool upload_ = false;
    VNHHandle connection_ = 0;
    VNHHandle stream_ = 0;
    bool connectionDefined_ = false;
    bool streamOpen_ = false;
    std::chrono::steady_clock::time_point deadline_;
    std::unique_ptr<Port> port_;
    std::unique_ptr<CKelmnetExchange> exchange_;
    std::unique_ptr<CUploadTarget> target_;
    int download_ = -1;  // the database file being sent
    bool failed_ = false;
    std::string failure_;
};

// The string that tells why a fieldbus back-end cannot transfer: by its open
// state and, when it is ready, the last connection result; 0 for none (the
// node dialog was cancelled).
int KelmnetErrorString(int openState, int connectionResult);
