#include "qstrans/kelmnet_transfer.h"

#include "platform/base/file_error.h"
#include "platform/base/files.h"
#include "platform/ui/message_box.h"
#include "platform/ui/timer.h"
#include "platform/ui/window_api.h"
#include "qstrans/fieldbus_transfer_host.h"
#include "qstrans/qstrans_strings.h"
#include "qstrans/upload_target.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <thread>

namespace {

constexpr unsigned long kNtFamily = 2;
// The platform's value for a stream callback that will not give what it was asked for.
constexpr std::int32_t kRefuseStream = VNH_TIMEOUT;

// What the callbacks share with the handler. The library calls them on this
// thread, inside VNHPollCommunication.
CKelmnetEvents g_events;
CKelmnetFrame g_outgoing;
HWND g_stepWindow = nullptr;  // set while a transfer runs
// Counts the callbacks that reported something, so a poll can tell whether it brought news.
unsigned g_reports = 0;

VNHIdentifier Counted(std::string_view text)
{
    VNHIdentifier id{};
    id.length = static_cast<std::uint32_t>(std::min(text.size(), sizeof id.text));
    std::memcpy(id.text, text.data(), id.length);
    return id;
}

void PostStep()
{
    ++g_reports;
    if (g_stepWindow)
        PostMessage(g_stepWindow, CKelmnetTransfer::kStepMessage);
}

// The panel never opens a stream to us.
void VNH_CALL OnStreamRequest(const VNHIdentifier*, VNHHandle*, std::uint32_t*, std::int32_t* status)
{
    *status = kRefuseStream;
}

void VNH_CALL OnStreamReceived(std::uint32_t*, std::uint32_t* length, std::uint8_t* data, std::int32_t* status)
{
    g_events.FrameReceived(data, *length);
    *status = VNH_SUCCESS;
    PostStep();
}

// The library asks for the frame to send, at most `length` bytes (the
// panel's credit). A frame is never split: one that does not fit is not sent.
void VNH_CALL OnStreamSend(std::uint32_t*, std::uint32_t* length, std::uint8_t* buffer, std::int32_t* status)
{
    if (g_outgoing.length > *length) {
        *length = 0;
        *status = VNH_LENGTH_MISMATCH;
        return;
    }
    std::memcpy(buffer, g_outgoing.data, g_outgoing.length);
    *length = g_outgoing.length;
    *status = VNH_SUCCESS;
}

void VNH_CALL OnStreamClosed(std::uint32_t*, std::int32_t* status)
{
    g_events.StreamClosed();
    *status = VNH_SUCCESS;
    PostStep();
}

void VNH_CALL OnActionDone(std::uint32_t* userValue, const VNHActionResult* action)
{
    g_events.ActionDone(*userValue, action->status);
    PostStep();
}

}  // namespace

// The exchange's frames go to the stream, its bytes to and from the files.
class CKelmnetTransfer::Port : public CKelmnetExchange::Port {
public:
    explicit Port(CKelmnetTransfer& owner) : owner_(owner) {}

    bool Send(const CKelmnetFrame& frame, std::uint32_t userValue, std::int32_t* status) override
    {
        g_outgoing = frame;
        VNHHandle action = userValue;
        *status = 0;
        VNHStreamSendData(&owner_.stream_, &action, status);
        if (*status != VNH_SUCCESS)
            return false;
        // The frame leaves in this tick rather than at the next poll.
        VNHPollCommunication();
        return true;
    }

    bool Read(std::uint64_t offset, std::uint8_t* buffer, std::size_t count, std::string* error) override
    {
        const long got = FileReadAt(owner_.download_, buffer, count, static_cast<std::int64_t>(offset));
        if (got == static_cast<long>(count))
            return true;
        // A short read: the file is shorter than when the transfer began.
        *error = FileErrorText(owner_.host_.DatabaseFile(), got < 0 ? errno : ENODATA);
        return false;
    }

    bool Write(const std::uint8_t* data, std::size_t count, std::string* error) override
    {
        return owner_.target_ && owner_.target_->Write(data, count, error);
    }

private:
    CKelmnetTransfer& owner_;
};

CKelmnetTransfer::CKelmnetTransfer(CFieldbusTransferHost& host, unsigned long platformId)
    : host_(host), ntFamily_(platformId == kNtFamily)
{
    Open();
}

CKelmnetTransfer::~CKelmnetTransfer()
{
    Stop();
    if (ntFamily_) {
        VNHCloseCommunication();
        CloseVarnholtnet();
    }
}

void CKelmnetTransfer::Open()
{
    openState_ = kWrongPlatform;
    if (!ntFamily_)
        return;
    openState_ = kNoLibrary;
    if (InitVarnholtnet() != VNH_SUCCESS)
        return;
    VNHDisableServerEntity();
    openState_ = kNoIdentity;
    const VNHIdentifier identity = Counted("AFETX");
    const std::uint32_t option = 16;
    std::int32_t status = 0;
    VNHConfigIdentity(&identity, &option, &status);
    if (status != VNH_SUCCESS)
        return;
    openState_ = kNoStreamCallbacks;
    status = 0;
    VNHSetStreamCallBacks(OnStreamRequest, OnStreamReceived, OnStreamSend, OnStreamClosed, &status);
    if (status != VNH_SUCCESS)
        return;
    openState_ = kNoActionCallback;
    status = 0;
    VNHSetAsyncActionCallBack(OnActionDone, &status);
    if (status != VNH_SUCCESS)
        return;
    openState_ = kNoCommunication;
    status = 0;
    VNHInitCommunication(&status);
    if (status != VNH_SUCCESS)
        return;
    // The library settles its channels before the first connection.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    openState_ = kReady;
}

bool CKelmnetTransfer::ReadyToStart()
{
    window_ = host_.GetTransferWindow();
    if (!window_ || phase_ != Phase::Idle)
        return false;
    if (openState_ != kReady) {
        ShowError();
        return false;
    }
    return true;
}

void CKelmnetTransfer::UploadDatabase()
{
    if (!ReadyToStart())
        return;
    // The engineer's file stays as it is until a whole database has arrived.
    target_ = std::make_unique<CUploadTarget>(host_.DatabaseFile());
    std::string error;
    if (!target_->Open(&error)) {
        target_.reset();
        Message(error, "", MB_OK | MB_ICONSTOP);
        return;
    }
    StartTransfer(true);
}

void CKelmnetTransfer::DownloadDatabase()
{
    if (!ReadyToStart())
        return;
    const std::string path = host_.DatabaseFile();
    download_ = FileOpen(path, FileMode::ReadOnly);
    if (download_ < 0) {
        Message(FileErrorText(path, errno), "", MB_OK | MB_ICONSTOP);
        return;
    }
    StartTransfer(false);
}

void CKelmnetTransfer::StartTransfer(bool upload)
{
    if (!Connect(upload)) {
        EndTransfer();
        ShowError();
        return;
    }
    BeginTransfer(upload, upload ? kStrUploadingDatabase : kStrDownloadingDatabase);
}

bool CKelmnetTransfer::Connect(bool askBackground)
{
    connectionResult_ = kOpenOrCancelled;
    int node = 0;
    int background = 0;
    if (!host_.AskNodeId(askBackground, node, background))
        return false;
    background_ = askBackground ? background : 0;
    // The local channel "1"; which medium that is, is the library's settings' business.
    const VNHIdentifier local = Counted("1");
    const VNHIdentifier remote = Counted(std::to_string(node));
    connection_ = 0;
    std::int32_t status = 0;
    VNHDefineConnection(&local, &remote, &connection_, &status);
    if (status != VNH_SUCCESS) {
        connectionResult_ = kConnectionFailed;
        return false;
    }
    connectionDefined_ = true;
    return true;
}

void CKelmnetTransfer::BeginTransfer(bool upload, int statusId)
{
    upload_ = upload;
    failed_ = false;
    failure_.clear();
    g_events.Clear();
    g_stepWindow = window_;
    host_.SetProgressActive(true);
    host_.SetProgressFailed(false);
    host_.SetProgressPos(0);
    host_.DisableControls();
    host_.SetStatusText(QsString(statusId));
    phase_ = Phase::Connecting;
    Deadline(kConnectBound);
    SetTimer(window_, kPollTimer, kPollMs);
}

void CKelmnetTransfer::OnPollTimer()
{
    if (phase_ == Phase::Idle)
        return;
    // The library reads no further than the first datagram with data in a
    // poll, and the panel answers a frame with two: the stream's own answer,
    // which completes our send, and its frame. Polling again while a poll
    // brings news takes both in this tick, so the next frame can leave in it
    // too instead of one tick later.
    for (int poll = 0; poll < kPollsPerTick; ++poll) {
        const unsigned before = g_reports;
        VNHPollCommunication();
        if (g_reports == before)
            break;
    }
    // The connection has no callback, and a silent panel sends none: the
    // handler looks at both.
    if (phase_ == Phase::Connecting || PastDeadline())
        PostMessage(window_, kStepMessage);
}

void CKelmnetTransfer::OnTimerStep()
{
    switch (phase_) {
    case Phase::Idle:
        break;
    case Phase::Connecting:
        StepConnecting();
        break;
    case Phase::Opening:
        StepOpening();
        break;
    case Phase::Transferring:
        StepTransferring();
        break;
    case Phase::Closing:
        StepClosing();
        break;
    }
}

void CKelmnetTransfer::StepConnecting()
{
    const std::int32_t up = VNHConnectionStatus(&connection_);
    if (up == 0) {
        if (PastDeadline())
            FailConnect(kConnectionFailed);
        return;
    }
    if (up != VNH_SUCCESS) {
        FailConnect(kConnectionFailed);
        return;
    }
    const VNHIdentifier name = Counted("STREM");
    const std::uint32_t streamUser = 5555;
    stream_ = 123456789;  // the library puts the real handle here
    VNHHandle action = CKelmnetEvents::kOpenAction;
    std::int32_t status = 0;
    VNHStreamRequest(&connection_, &streamUser, &name, &stream_, &action, &status);
    if (status != VNH_SUCCESS) {
        FailConnect(kStreamFailed);
        return;
    }
    phase_ = Phase::Opening;
    Deadline(kStreamBound);
}

void CKelmnetTransfer::StepOpening()
{
    if (!g_events.openDone) {
        if (PastDeadline())
            FailConnect(kStreamFailed);
        return;
    }
    // A stream that did not open is freed by the library: there is nothing to close.
    if (g_events.openResult != VNH_SUCCESS) {
        FailConnect(kStreamFailed);
        return;
    }
    streamOpen_ = true;
    connectionResult_ = kOpenOrCancelled;
    port_ = std::make_unique<Port>(*this);
    exchange_ = std::make_unique<CKelmnetExchange>(*port_);
    phase_ = Phase::Transferring;
    Deadline(kFrameBound);
    if (upload_) {
        exchange_->StartUpload(background_ != 0);
    } else {
        const std::int64_t length = FileLength(download_);
        exchange_->StartDownload(length > 0 ? static_cast<std::uint64_t>(length) : 0);
    }
    if (exchange_->GetResult() == CKelmnetExchange::Result::Failed)
        Fail(exchange_->Failure());
}

void CKelmnetTransfer::StepTransferring()
{
    if (g_events.streamClosed) {
        streamOpen_ = false;
        if (VNHConnectionStatus(&connection_) != VNH_SUCCESS)
            g_events.nodeLost = true;
    }
    const bool heard = g_events.sendDone || g_events.frameWaiting;
    const CKelmnetExchange::Result result = exchange_->Step(g_events);
    if (heard)
        Deadline(kFrameBound);
    host_.SetProgressPos(exchange_->Percent());
    switch (result) {
    case CKelmnetExchange::Result::Failed:
        Fail(exchange_->Failure());
        break;
    case CKelmnetExchange::Result::Done:
        if (upload_) {
            switch (target_->Finish()) {
            case CUploadTarget::Result::Replaced:
                break;
            case CUploadTarget::Result::NotWhole:
                Fail(QsString(kStrUploadNotWhole));
                return;
            case CUploadTarget::Result::WrongSize:
                Fail(QsFormat(kStrUploadWrongSize, static_cast<unsigned>(target_->Position()),
                              static_cast<unsigned>(exchange_->Size())));
                return;
            case CUploadTarget::Result::WriteFailed:
            case CUploadTarget::Result::NotOpen:
                Fail(QsFormat(kStrUploadWriteFailed, FileErrorText(target_->GetPath(), EIO).c_str()));
                return;
            }
        }
        BeginClose();
        break;
    case CKelmnetExchange::Result::Running:
        if (PastDeadline())
            Fail(QsFormat(kStrPanelSilent, static_cast<int>(kFrameBound.count() / 1000)));
        break;
    }
}

void CKelmnetTransfer::Fail(std::string text)
{
    failed_ = true;
    failure_ = std::move(text);
    host_.SetProgressFailed(true);
    BeginClose();
}

void CKelmnetTransfer::BeginClose()
{
    if (!RequestClose())
        Finish();
}

bool CKelmnetTransfer::RequestClose()
{
    if (streamOpen_ && !g_events.streamClosed) {
        g_events.closeDone = false;
        VNHHandle action = CKelmnetEvents::kCloseAction;
        std::int32_t status = 0;
        VNHStreamClose(&stream_, &action, &status);
        if (status == VNH_SUCCESS) {
            phase_ = Phase::Closing;
            Deadline(kCloseBound);
            return true;
        }
    }
    streamOpen_ = false;
    return false;
}

void CKelmnetTransfer::StepClosing()
{
    const bool closed = g_events.closeDone && g_events.closeResult == VNH_SUCCESS;
    if (!g_events.closeDone && !g_events.streamClosed && !PastDeadline())
        return;
    streamOpen_ = false;
    // A download is whole on the panel only once the panel has taken the end of the stream.
    if (!failed_ && !upload_ && !closed) {
        failed_ = true;
        failure_ = g_events.closeDone ? QsFormat(kStrCloseFailed, static_cast<int>(g_events.closeResult))
                                      : QsString(kStrPanelClosedStream);
        host_.SetProgressFailed(true);
    }
    Finish();
}

void CKelmnetTransfer::FailConnect(int connectionResult)
{
    connectionResult_ = connectionResult;
    failed_ = true;
    host_.SetProgressFailed(true);
    EndTransfer();
    host_.EnableControls();
    host_.SetStatusText("");
    ShowError();
}

void CKelmnetTransfer::Finish()
{
    EndTransfer();
    if (!failed_)
        host_.SetProgressPos(100);
    host_.EnableControls();
    host_.SetStatusText("");
    if (failed_) {
        const std::string text = QsFormat(kStrTransferBrokenOff, failure_.c_str());
        Message(upload_ ? QsFormat(kStrFileKept, text.c_str()) : text, QsString(kStrCaption), MB_OK | MB_ICONSTOP);
    }
}

void CKelmnetTransfer::ReleaseConnection()
{
    if (!connectionDefined_)
        return;
    std::int32_t status = 0;
    VNHReleaseConnection(&connection_, &status);
    connectionDefined_ = false;
}

void CKelmnetTransfer::EndTransfer()
{
    if (window_)
        KillTimer(window_, kPollTimer);
    phase_ = Phase::Idle;
    g_stepWindow = nullptr;
    streamOpen_ = false;
    ReleaseConnection();
    exchange_.reset();
    port_.reset();
    // An upload that did not finish leaves the engineer's file as it was.
    target_.reset();
    if (download_ >= 0) {
        FileClose(download_);
        download_ = -1;
    }
}

void CKelmnetTransfer::Stop()
{
    if (window_)
        KillTimer(window_, kPollTimer);
    if (phase_ == Phase::Idle)
        return;
    if (phase_ == Phase::Transferring)
        RequestClose();
    if (phase_ == Phase::Closing) {
        const auto until = std::chrono::steady_clock::now() + kCloseBound;
        while (!g_events.closeDone && !g_events.streamClosed && std::chrono::steady_clock::now() < until) {
            VNHPollCommunication();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    EndTransfer();
}

void CKelmnetTransfer::Cancel()
{
    if (openState_ != kReady)
        return;
    Stop();
}

int KelmnetErrorString(int openState, int connectionResult)
{
    switch (openState) {
    case CKelmnetTransfer::kWrongPlatform:
        return kStrWrongOperatingSystem;
    case CKelmnetTransfer::kNoLibrary:
        return kStrUnableToOpenCard;
    case CKelmnetTransfer::kNoIdentity:
        return kStrUnableToRegisterIdentity;
    case CKelmnetTransfer::kNoStreamCallbacks:
        return kStrUnableToRegisterStream;
    case CKelmnetTransfer::kNoActionCallback:
        return kStrUnableToRegisterAsync;
    case CKelmnetTransfer::kNoCommunication:
        return kStrUnableToOpenChannel;
    case CKelmnetTransfer::kReady:
        if (connectionResult == CKelmnetTransfer::kConnectionFailed)
            return kStrUnableToOpenConnection;
        if (connectionResult == CKelmnetTransfer::kStreamFailed)
            return kStrUnableToOpenStream;
        return 0;
    default:
        return kStrKelmnetInitError;
    }
}

void CKelmnetTransfer::ShowError()
{
    if (const int id = KelmnetErrorString(openState_, connectionResult_))
        Message(QsString(id), "", MB_OK | MB_ICONSTOP);
}

void CKelmnetTransfer::ShowVersion()
{
    const auto v = static_cast<unsigned>(VNHVersion());
    Message(QsFormat(kStrDllVersion32, v / 256, v & 0xFF), QsString(kStrCaption), MB_OK | MB_ICONINFORMATION);
}

void CKelmnetTransfer::ShowConfiguration()
{
    if (openState_ != kReady) {
        ShowError();
        return;
    }
    VNHShowCommInfoDialog(host_.GetTransferWindow());
    Message(QsString(kStrRestartForChanges), QsString(kStrCaption), MB_OK | MB_ICONINFORMATION);
}

void CKelmnetTransfer::Deadline(std::chrono::milliseconds bound)
{
    deadline_ = std::chrono::steady_clock::now() + bound;
}

bool CKelmnetTransfer::PastDeadline() const
{
    return std::chrono::steady_clock::now() >= deadline_;
}

int CKelmnetTransfer::Message(const std::string& text, const char* caption, UINT type)
{
    return MessageBoxDialog(host_.GetTransferWindow(), text.c_str(), caption, type);
}
