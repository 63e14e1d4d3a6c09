#include "qstrans/serial_transfer.h"

#include "platform/base/file_error.h"
#include "platform/base/files.h"
#include "platform/base/win_types.h"
#include "qstrans/panel_family.h"
#include "qstrans/panel_file.h"
#include "qstrans/qstrans_strings.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <limits>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kStart = 0x10;
constexpr std::uint8_t kGood = 'B';
constexpr std::uint8_t kBad = 'A';
constexpr std::uint8_t kSystemSoftwareRequest = 0x08;
constexpr std::uint8_t kPanelTypeRequest = 0x05;
constexpr std::uint8_t kVersionRequest = 0x06;
constexpr std::uint8_t kUploadRequest = 0x03;
constexpr std::size_t kFrameData = 250;
constexpr std::size_t kSmallFrameData = 128;
constexpr std::size_t kShortFrameData = 3;
constexpr int kRequestsAsked = 3;
constexpr unsigned kBlockPeriodMs = 5000;
// Between steps, while the machine decides (and may ask the engineer):
// nothing that arrives or ticks runs a step then.
constexpr int kStepDeciding = 0x100;

constexpr std::size_t kNotFound = std::numeric_limits<std::size_t>::max();

std::size_t Find(const Bytes& bytes, std::initializer_list<std::uint8_t> pattern)
{
    const auto at = std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end());
    return at == bytes.end() ? kNotFound : static_cast<std::size_t>(at - bytes.begin());
}

// A download frame refused: its kind byte and a letter other than 'B'. Any
// other pair is noise, and is never taken for a refusal: a refusal resends
// the frame, and a frame resent on noise would be stored twice.
bool FindRefusal(const Bytes& bytes, std::uint8_t kind)
{
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
        if (bytes[i] == kind && bytes[i + 1] >= 'A' && bytes[i + 1] <= 'Z' && bytes[i + 1] != kGood)
            return true;
    }
    return false;
}

int Percent(std::uint64_t position, std::uint64_t total)
{
    if (total == 0)
        return 100;
    return static_cast<int>(std::min<std::uint64_t>(100, position * 100 / total));
}

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The up to three characters after the last '.', in upper case.
std::string ExtensionOf(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : Upper(name.substr(dot + 1, 3));
}

// The three characters just before the last '.' (fewer when the name is
// shorter), in upper case: the command file's panel code.
std::string CodeOf(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return {};
    const std::size_t from = dot >= 3 ? dot - 3 : 0;
    return Upper(name.substr(from, dot - from));
}

// A digit of the version text at `at`, or 0 past the text or for anything else.
unsigned VersionDigit(const Bytes& text, std::size_t at)
{
    if (at >= text.size() || !std::isdigit(text[at]))
        return 0;
    return static_cast<unsigned>(text[at] - '0');
}

}  // namespace

// ------------------------------------------------------------ files on disk

CDiskTransferFiles::~CDiskTransferFiles()
{
    CloseSource();
}

bool CDiskTransferFiles::OpenSource(const std::string& path, std::uint32_t& length, std::string& error)
{
    CloseSource();
    errno = 0;
    source_ = FileOpen(path, FileMode::ReadOnly);
    if (source_ < 0) {
        error = FileErrorText(path, errno);
        return false;
    }
    const std::int64_t size = FileLength(source_);
    if (size < 0 || size > std::numeric_limits<std::uint32_t>::max()) {
        error = FileErrorText(path, size < 0 ? errno : EFBIG);
        CloseSource();
        return false;
    }
    length = static_cast<std::uint32_t>(size);
    return true;
}

long CDiskTransferFiles::ReadSource(std::uint8_t* buffer, std::size_t count)
{
    return source_ < 0 ? -1 : FileRead(source_, buffer, count);
}

void CDiskTransferFiles::CloseSource()
{
    if (source_ >= 0)
        FileClose(source_);
    source_ = -1;
}

bool CDiskTransferFiles::CreateTarget(const std::string& path, std::string& error)
{
    target_ = std::make_unique<CUploadTarget>(path);
    if (target_->Open(&error))
        return true;
    target_.reset();
    return false;
}

bool CDiskTransferFiles::WriteTarget(const std::uint8_t* data, std::size_t count, std::string& error)
{
    return target_ && target_->Write(data, count, &error);
}

std::uint64_t CDiskTransferFiles::TargetPosition() const
{
    return target_ ? target_->Position() : 0;
}

CUploadTarget::Result CDiskTransferFiles::FinishTarget()
{
    if (!target_)
        return CUploadTarget::Result::NotOpen;
    const CUploadTarget::Result result = target_->Finish();
    target_.reset();
    return result;
}

void CDiskTransferFiles::AbandonTarget()
{
    target_.reset();
}

int CDiskTransferFiles::DatabasePanelType(const std::string& path)
{
    return CPanelFile(path).ReadPanelType();
}

void CDiskTransferFiles::DatabaseVersion(const std::string& path, unsigned& major, unsigned& minor,
                                         unsigned& revision)
{
    CPanelFile(path).ReadVersion(major, minor, revision);
}

// ------------------------------------------------------------ the machine

CSerialTransfer::CSerialTransfer(CSerialTransferState& state, CSerialTransferHost& host, CSerialLine& line,
                                 CTransferFiles& files)
    : state_(state), host_(host), line_(line), files_(files)
{
}

CSerialTransfer::~CSerialTransfer()
{
    Cancel();
}

void CSerialTransfer::Cancel()
{
    if (sourceOpen_)
        files_.CloseSource();
    if (targetOpen_)
        files_.AbandonTarget();
    sourceOpen_ = false;
    targetOpen_ = false;
    if (line_.IsOpen())
        line_.Close();
}

bool CSerialTransfer::OpenCommPort()
{
    std::string error;
    if (!line_.Open(host_.PortNumber(), error)) {
        // A chain that has begun ends as any stop does; a first step starts nothing.
        if (state_.pending != 0)
            host_.Stop();
        host_.MessageBox(QsFormat(kStrPortCannotOpen, error.c_str()), QsString(kStrCaption), MB_OK | MB_ICONSTOP);
        return false;
    }
    line_.Discard();
    host_.SetProgressFailed(false);
    return true;
}

bool CSerialTransfer::StartStep(const StepStart& start)
{
    if (!OpenCommPort())
        return false;
    if (!host_.SetStepTimer(start.periodMs)) {
        if (state_.pending != 0)
            host_.Stop();
        else
            line_.Close();
        host_.MessageBox(QsString(kStrNoSystemTimer), QsString(kStrCaption), MB_OK | MB_ICONSTOP);
        return false;
    }
    line_.SetReceiveThreshold(start.threshold);
    ClearReceived();
    host_.DisableControls();
    host_.SetStatusText(QsString(start.statusString));
    state_.pending = start.step;
    host_.PostStep(start.step, StepCause::Posted);
    return true;
}

void CSerialTransfer::StartFileStep(const StepStart& start)
{
    if (!StartStep(start)) {
        Cancel();
        return;
    }
    host_.SetProgressActive(true);
    host_.SetProgressPos(0);
}

void CSerialTransfer::Fail(const std::string& text, const std::string& caption)
{
    host_.Stop();
    host_.MessageBox(text, caption, MB_OK | MB_ICONSTOP);
}

void CSerialTransfer::FailUpload(const std::string& why)
{
    Fail(QsFormat(kStrFileKept, why.c_str()), QsString(kStrCaption));
}

void CSerialTransfer::ClearReceived()
{
    // What arrives from here on answers what goes out next.
    state_.receiveBytes.clear();
    line_.Discard();
}

void CSerialTransfer::Await(int bytes)
{
    line_.SetReceiveThreshold(std::max(1, bytes));
}

void CSerialTransfer::Send(std::initializer_list<std::uint8_t> bytes)
{
    line_.Send(bytes.begin(), bytes.size());
}

void CSerialTransfer::Send(std::string_view text)
{
    line_.Send(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

void CSerialTransfer::SendBytes(const Bytes& bytes)
{
    line_.Send(bytes.data(), bytes.size());
}

// ------------------------------------------------------------ events

bool CSerialTransfer::TakeReceived()
{
    if (!line_.IsOpen())
        return false;
    const Bytes bytes = line_.Receive();
    if (state_.pending == 0 || bytes.empty())
        return false;
    Bytes& received = state_.receiveBytes;
    received.insert(received.end(), bytes.begin(), bytes.end());
    if (received.size() > kMostReceived)
        received.erase(received.begin(), received.end() - static_cast<std::ptrdiff_t>(kMostReceived));
    return true;
}

void CSerialTransfer::OnReceive()
{
    if (TakeReceived())
        OnReceived();
}

void CSerialTransfer::OnReceived()
{
    switch (state_.pending) {
    case kStepVersionRequest:
    case kStepVersionData:
        CollectPanelData();
        break;
    case kStepUploadAck:
        // The first block follows the size reply at once: the reply is taken
        // as it comes, before anything else can read the line.
        OnUploadAck(StepCause::Received);
        break;
    case kStepUploadWait:
        CollectUploadData();
        break;
    case kStepUploadBlock:
    case kStepDeciding:
        break;
    default:
        host_.PostStep(state_.pending, StepCause::Received);
        break;
    }
}

void CSerialTransfer::OnTimer()
{
    if (state_.pending == 0) {
        host_.KillStepTimer();
        return;
    }
    // Bytes that came without reaching the receive threshold count as
    // arrived: a reply cut at the tick waits one more period for its rest
    // rather than being asked for again or taken for silence.
    if (TakeReceived()) {
        OnReceived();
        return;
    }
    OnStep(state_.pending, StepCause::Timer);
}

void CSerialTransfer::OnStep(int step, StepCause cause)
{
    // A step posted before a stop, or before the step moved on, is stale.
    if (step == 0 || step != state_.pending)
        return;
    switch (step) {
    case kStepSendBlock:
        OnSendBlock(cause);
        break;
    case kStepDownloadAck:
        OnDownloadAck(cause);
        break;
    case kStepEraseFlash:
        OnEraseFlashStep();
        break;
    case kStepHandshake:
        OnHandshake(cause);
        break;
    case kStepDownloadDone:
        OnDownloadDone();
        break;
    case kStepPanelType:
        OnPanelTypeReply(cause);
        break;
    case kStepVersionRequest:
    case kStepVersionData:
        OnPanelVersionReply(cause);
        break;
    case kStepUploadAck:
        OnUploadAck(cause);
        break;
    case kStepUploadWait:
    case kStepUploadBlock:
        // A block that does not come within the block period: the panel is gone.
        if (cause == StepCause::Timer)
            FailUpload(QsString(kStrNoResponse));
        else if (step == kStepUploadBlock)
            OnUploadBlock();
        break;
    case kStepSystemSoftware:
        OnSystemSoftwareReply(cause);
        break;
    default:
        break;
    }
}

// ------------------------------------------------------------ service commands

void CSerialTransfer::StartEraseFlash()
{
    host_.SetProgressActive(false);
    if (host_.MessageBox(QsString(kStrEraseFlashQuestion), QsString(kStrEraseFlashCaption),
                         MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    StartStep({400, kStrSendingFlashErase, kStepEraseFlash, 1});
}

void CSerialTransfer::OnEraseFlashStep()
{
    // The panel answers nothing: what arrives is let go.
    ClearReceived();
    Send("EFN");
}

void CSerialTransfer::StartGotoTransfer()
{
    host_.SetProgressActive(false);
    StartStep({300, kStrSendingMessage, kStepHandshake, 5});
}

void CSerialTransfer::OnHandshake(StepCause cause)
{
    if (Find(state_.receiveBytes, {'A', 'X', 'F', 'E', 'R'}) != kNotFound) {
        host_.Stop();
        return;
    }
    if (cause == StepCause::Received) {
        Await(1);
        return;
    }
    ClearReceived();
    Send("GXFER");
}

// ------------------------------------------------------------ the checks

void CSerialTransfer::StartTransfer(int kind)
{
    systemSoftwareSent_ = false;
    if (StartChain())
        state_.kind = kind;
}

bool CSerialTransfer::StartChain()
{
    state_.noSystemSoftware = 0;
    state_.hardwareIndex = 0;
    state_.retryCount = 0;
    return StartStep({500, kStrCheckingSystemSoftware, kStepSystemSoftware, 3});
}

bool CSerialTransfer::ThreeByteReply(StepCause cause, std::uint8_t request, bool& replied, std::uint8_t& value)
{
    const Bytes& received = state_.receiveBytes;
    const std::size_t have = received.size();
    // The reply repeats the request before its value; a byte before it is
    // noise. A panel that begins its reply otherwise is read from the start.
    const std::size_t at = Find(received, {kStart, request});
    const bool whole = at != kNotFound ? at + 2 < have : have >= 3;
    if (whole) {
        value = received[at != kNotFound ? at + 2 : 2];
        // A reply to the last request that could be asked comes too late to be used.
        replied = state_.retryCount < kRequestsAsked;
        return true;
    }
    if (cause == StepCause::Received) {
        Await(at != kNotFound ? 1 : static_cast<int>(3 - have));
        return false;
    }
    if (state_.retryCount < kRequestsAsked) {
        ++state_.retryCount;
        ClearReceived();
        Send({kStart, request});
        Await(3);
        return false;
    }
    replied = false;
    return true;
}

void CSerialTransfer::EndStep()
{
    host_.KillStepTimer();
    host_.SetStatusText("");
    state_.pending = kStepDeciding;
}

void CSerialTransfer::OnSystemSoftwareReply(StepCause cause)
{
    bool replied = false;
    std::uint8_t state = 0;
    if (!ThreeByteReply(cause, kSystemSoftwareRequest, replied, state))
        return;
    EndStep();
    if (replied) {
        if (state & 0x80) {
            state_.noSystemSoftware = 1;
            state_.hardwareIndex = state & 0x7F;
        }
    }
    state_.retryCount = 0;
    StartStep({500, kStrRequestingPanelType, kStepPanelType, 3});
}

void CSerialTransfer::OnPanelTypeReply(StepCause cause)
{
    bool replied = false;
    std::uint8_t reported = 0;
    if (!ThreeByteReply(cause, kPanelTypeRequest, replied, reported))
        return;
    EndStep();
    int type = 0;
    if (replied) {
        type = reported;
    } else if (state_.noSystemSoftware) {
        // The hardware index stands for a type the panel could not tell.
        type = state_.hardwareIndex;
        state_.retryCount = 0;
        replied = true;
    }
    if (type == 6)
        type = 8;
    if (type < 0 || type >= kPanelTypeCount)
        type = 0;
    state_.panelType = type;
    CheckPanelType(replied);
}

void CSerialTransfer::CheckPanelType(bool replied)
{
    const int type = state_.panelType;
    const std::string model = PanelModelName(type);
    const std::string caption = QsString(kStrVerificationProblem);
    int kind = state_.kind;
    // Without system software the panel can take nothing else; once it has
    // been sent, the chain goes on with what was chosen, whatever the panel
    // says, so a panel that never learns it has some cannot loop the chain.
    if (state_.noSystemSoftware && !systemSoftwareSent_)
        kind = CSerialTransferState::kSystemSoftware;
    state_.kind = kind;
    const CProtocolExtensions extensions = ProtocolExtensions(type);
    switch (kind) {
    case CSerialTransferState::kProtocol1: {
        const std::string extension = ExtensionOf(host_.FileName(kind));
        if (extension == extensions.comm1First || extension == extensions.comm1Second ||
            (!replied && extension != "PCG")) {
            StartDownload(kind);
        } else {
            Fail(replied ? QsFormat(kStrProtocolTypeMismatch, model.c_str()) : QsString(kStrNoResponse), caption);
        }
        break;
    }
    case CSerialTransferState::kDatabase: {
        int fileType = files_.DatabasePanelType(host_.FileFolder(kind) + host_.FileName(kind));
        // The second revisions run the first one's databases.
        if (type == 25 && fileType == 9)
            fileType = 25;
        if (type == 26 && fileType == 14)
            fileType = 26;
        if (fileType == type || (!replied && (fileType < 15 || fileType > 26))) {
            StartPanelVersion();
        } else {
            const std::string fileModel = PanelModelName(fileType);
            Fail(replied ? QsFormat(kStrDatabaseTypeMismatch, fileModel.c_str(), model.c_str())
                         : QsString(kStrNoResponse),
                 caption);
        }
        break;
    }
    case CSerialTransferState::kUpload:
        StartUpload();
        break;
    case CSerialTransferState::kSystemSoftware: {
        if (state_.noSystemSoftware && host_.FileName(kind).empty()) {
            host_.MessageBox(QsString(kStrNoSystemSoftware), QsString(kStrNoSystemFound), MB_OK);
            host_.ChooseSystemSoftware(type);
            if (state_.pending != kStepDeciding)
                return;  // stopped meanwhile
        }
        const std::string code = CodeOf(host_.FileName(kind));
        if (!code.empty() && (code == CommandFilePrefix(type) || !replied))
            StartDownload(kind);
        else if (replied)
            Fail(QsFormat(kStrSystemTypeMismatch, code.c_str(), model.c_str()), caption);
        else
            Fail(QsString(kStrNoResponse), caption);
        break;
    }
    case CSerialTransferState::kProtocol2: {
        const std::string extension = ExtensionOf(host_.FileName(kind));
        if (replied && extension != extensions.comm2)
            Fail(QsFormat(kStrProtocol2TypeMismatch, model.c_str()), caption);
        else
            StartDownload(kind);
        break;
    }
    default:
        host_.Stop();
        break;
    }
}

void CSerialTransfer::StartPanelVersion()
{
    state_.retryCount = 0;
    StartStep({1000, kStrRequestingPanelVersion, kStepVersionRequest, 3});
}

void CSerialTransfer::CollectPanelData()
{
    const Bytes& received = state_.receiveBytes;
    if (received.size() < 3) {
        Await(static_cast<int>(3 - received.size()));
        return;
    }
    state_.pending = kStepVersionData;
    const std::size_t whole = 3u + received[2];
    if (received.size() < whole) {
        Await(static_cast<int>(whole - received.size()));
        return;
    }
    host_.PostStep(kStepVersionData, StepCause::Received);
}

void CSerialTransfer::OnPanelVersionReply(StepCause cause)
{
    const Bytes& received = state_.receiveBytes;
    const bool whole = received.size() >= 3 && received.size() >= 3u + received[2];
    if (whole) {
        CheckPanelVersion(true);
        return;
    }
    if (cause == StepCause::Received)
        return;
    if (state_.retryCount < kRequestsAsked) {
        ++state_.retryCount;
        ClearReceived();
        state_.pending = kStepVersionRequest;
        Send({kStart, kVersionRequest});
        Await(3);
        return;
    }
    CheckPanelVersion(false);
}

void CSerialTransfer::CheckPanelVersion(bool replied)
{
    EndStep();
    unsigned major = 0, minor = 0, revision = 0;
    const int kind = state_.kind;
    files_.DatabaseVersion(host_.FileFolder(kind) + host_.FileName(kind), major, minor, revision);
    unsigned panelMajor = 0, panelMinor = 0, panelRevision = 0;
    const bool answeredFirst = state_.retryCount < 2;
    if (replied && answeredFirst) {
        const Bytes& received = state_.receiveBytes;
        const Bytes text(received.begin() + 3, received.begin() + 3 + received[2]);
        const auto digit = std::find_if(text.begin(), text.end(), [](std::uint8_t c) { return std::isdigit(c); });
        if (digit != text.end()) {
            const auto at = static_cast<std::size_t>(digit - text.begin());
            panelMajor = VersionDigit(text, at);
            panelMinor = VersionDigit(text, at + 2);
            panelRevision = VersionDigit(text, at + 4);
        }
    }
    const bool older = major < panelMajor || (major == panelMajor && minor < panelMinor) ||
                       (major == panelMajor && minor == panelMinor && panelRevision >= revision);
    if (older || !answeredFirst) {
        StartDownload(kind);
        return;
    }
    const std::string text = QsFormat(kStrDatabaseNewer, static_cast<int>(major), static_cast<int>(minor),
                                      static_cast<int>(revision), static_cast<int>(panelMajor),
                                      static_cast<int>(panelMinor), static_cast<int>(panelRevision));
    if (host_.MessageBox(text, QsString(kStrVerificationProblem), MB_OKCANCEL | MB_ICONQUESTION) == IDOK &&
        state_.pending == kStepDeciding)
        StartDownload(kind);
    else
        host_.Stop();
}

// ------------------------------------------------------------ download

void CSerialTransfer::StartDownload(int kind)
{
    int status = kStrDownloadingDatabase;
    switch (kind) {
    case CSerialTransferState::kProtocol1:
        status = kStrDownloadingProtocol;
        break;
    case CSerialTransferState::kSystemSoftware:
        status = kStrDownloadingSystem;
        break;
    case CSerialTransferState::kProtocol2:
        status = kStrDownloadingProtocol2;
        break;
    default:
        break;
    }
    const std::string path = host_.FileFolder(kind) + host_.FileName(kind);
    std::string error;
    std::uint32_t length = 0;
    if (!files_.OpenSource(path, length, error)) {
        host_.Stop();
        host_.MessageBox(error, QsString(kStrCaption), MB_OK | MB_ICONSTOP);
        return;
    }
    sourceOpen_ = true;
    sourcePath_ = path;
    position_ = 0;
    refusals_ = 0;
    state_.fileLength = length;
    state_.kind = kind;
    StartFileStep({1000, status, kStepDownloadAck, 2});
}

void CSerialTransfer::OnDownloadAck(StepCause cause)
{
    const auto kind = static_cast<std::uint8_t>(state_.kind);
    if (Find(state_.receiveBytes, {kStart, kind}) != kNotFound) {
        // The echo: the panel takes frames now; the first goes as if acknowledged.
        host_.SetStepTimer(kBlockPeriodMs);
        line_.SetReceiveThreshold(2);
        state_.receiveBytes = {kind, kGood};
        state_.pending = kStepSendBlock;
        host_.PostStep(kStepSendBlock, StepCause::Posted);
        return;
    }
    if (cause == StepCause::Received) {
        Await(1);
        return;
    }
    ClearReceived();
    Send({kStart, kind});
    line_.SetReceiveThreshold(2);
}

void CSerialTransfer::OnSendBlock(StepCause cause)
{
    const auto kind = static_cast<std::uint8_t>(state_.kind);
    const Bytes& received = state_.receiveBytes;
    if (Find(received, {kind, kGood}) == kNotFound) {
        if (FindRefusal(received, kind)) {
            if (++refusals_ > kMostRefusals) {
                Fail(QsFormat(kStrRefusedTooOften, refusals_), QsString(kStrCaption));
                return;
            }
            host_.SetStepTimer(kBlockPeriodMs);
            ClearReceived();
            SendBytes(state_.sendBytes);
            return;
        }
        // No answer within the block period. The frame is not sent again:
        // the panel may have stored it and lost only its acknowledgement.
        if (cause == StepCause::Timer)
            Fail(QsString(kStrNoResponse), QsString(kStrCaption));
        else
            Await(1);
        return;
    }
    host_.SetStepTimer(kBlockPeriodMs);
    refusals_ = 0;
    host_.SetProgressPos(Percent(position_, state_.fileLength));
    if (!sourceOpen_)
        return;

    const int type = state_.panelType;
    const bool shortFirst = HasSmallFrames(type) && position_ == 0 &&
                            (kind == CSerialTransferState::kProtocol1 || kind == CSerialTransferState::kSystemSoftware);
    const std::size_t most = shortFirst ? kShortFrameData : HasSmallFrames(type) ? kSmallFrameData : kFrameData;
    std::uint8_t data[kFrameData];
    const long read = files_.ReadSource(data, most);
    if (read < 0) {
        Fail(QsFormat(kStrSourceUnreadable, sourcePath_.c_str()), QsString(kStrCaption));
        return;
    }
    const auto count = static_cast<std::size_t>(read);
    position_ += static_cast<std::uint32_t>(count);
    Bytes& frame = state_.sendBytes;
    frame.assign(1, kStart);
    if (shortFirst) {
        // Count and check go without: the panel knows the first frame's length.
        frame.insert(frame.end(), data, data + count);
    } else {
        std::uint8_t check = 0;
        for (std::size_t i = 0; i < count; ++i)
            check ^= data[i];
        frame.push_back(static_cast<std::uint8_t>(count));
        frame.insert(frame.end(), data, data + count);
        frame.push_back(check);
    }
    ClearReceived();
    Await(2);
    SendBytes(frame);
    if (!shortFirst && count == 0) {
        files_.CloseSource();
        sourceOpen_ = false;
        state_.pending = kStepDownloadDone;
        // Panels that answer the end frame are done when they do (or at the tick).
        if (!AnswersEndFrame(type))
            host_.PostStep(kStepDownloadDone, StepCause::Posted);
    }
}

void CSerialTransfer::OnDownloadDone()
{
    EndStep();
    if (sourceOpen_)
        files_.CloseSource();
    sourceOpen_ = false;
    const int kind = state_.kind;
    if (kind == CSerialTransferState::kSystemSoftware)
        systemSoftwareSent_ = true;
    int next = CSerialTransferState::kNone;
    if (kind == CSerialTransferState::kDatabase && host_.IsChosen(CSerialTransferState::kProtocol1))
        next = CSerialTransferState::kProtocol1;
    else if (kind == CSerialTransferState::kProtocol1 && !host_.FileName(CSerialTransferState::kProtocol2).empty())
        next = CSerialTransferState::kProtocol2;
    else if (kind == CSerialTransferState::kSystemSoftware && host_.IsChosen(CSerialTransferState::kDatabase))
        next = CSerialTransferState::kDatabase;
    else if (kind == CSerialTransferState::kSystemSoftware && host_.IsChosen(CSerialTransferState::kProtocol1))
        next = CSerialTransferState::kProtocol1;
    state_.kind = next;
    if (next == CSerialTransferState::kNone)
        host_.Stop();
    else
        StartChain();
}

// ------------------------------------------------------------ upload

void CSerialTransfer::StartUpload()
{
    const int kind = CSerialTransferState::kUpload;
    std::string error;
    // The old file stays until a whole database has come; one that cannot
    // be made stops the upload before anything is sent.
    if (!files_.CreateTarget(host_.FileFolder(kind) + host_.FileName(kind), error)) {
        host_.Stop();
        host_.MessageBox(error, QsString(kStrCaption), MB_OK | MB_ICONSTOP);
        return;
    }
    targetOpen_ = true;
    refusals_ = 0;
    state_.fileLength = 0;
    const int replyLength = HasLargeUpload(state_.panelType) ? 6 : 4;
    StartFileStep({1000, kStrUploadingDatabase, kStepUploadAck, replyLength});
}

void CSerialTransfer::OnUploadAck(StepCause cause)
{
    const bool large = HasLargeUpload(state_.panelType);
    const std::size_t replyLength = large ? 6 : 4;
    Bytes& received = state_.receiveBytes;
    const std::size_t at = Find(received, {kStart, kUploadRequest});
    if (at != kNotFound && received.size() - at >= replyLength) {
        // The size drives the bar only: whether the upload is whole is told
        // by its end block and by the image itself. The third byte counts
        // 65535s, as the panels' firmware was read to count them.
        std::uint32_t size = received[at + 2] + received[at + 3] * 256u;
        if (large)
            size += received[at + 4] * 65535u;
        state_.fileLength = size;
        received.erase(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(at + replyLength));
        host_.SetStepTimer(kBlockPeriodMs);
        state_.pending = kStepUploadWait;
        CollectUploadData();
        return;
    }
    if (cause != StepCause::Timer && cause != StepCause::Posted) {
        Await(at == kNotFound ? 1 : static_cast<int>(replyLength - (received.size() - at)));
        return;
    }
    ClearReceived();
    Send({kStart, kUploadRequest});
    Await(static_cast<int>(replyLength));
}

void CSerialTransfer::CollectUploadData()
{
    const Bytes& received = state_.receiveBytes;
    if (received.size() < 2) {
        Await(static_cast<int>(2 - received.size()));
        return;
    }
    const std::size_t count = received[1];
    if (count == 0) {
        EndUpload();
        return;
    }
    const std::size_t whole = 2 + count + 1;
    if (received.size() < whole) {
        Await(static_cast<int>(whole - received.size()));
        return;
    }
    state_.pending = kStepUploadBlock;
    host_.PostStep(kStepUploadBlock, StepCause::Posted);
}

void CSerialTransfer::OnUploadBlock()
{
    const Bytes& received = state_.receiveBytes;
    if (received.size() < 2 || received.size() < 3u + received[1])
        return;
    const std::size_t count = received[1];
    const std::uint8_t* data = received.data() + 2;
    std::uint8_t check = 0;
    for (std::size_t i = 0; i < count; ++i)
        check ^= data[i];
    if (check == data[count]) {
        std::string error;
        if (!files_.WriteTarget(data, count, error)) {
            FailUpload(QsFormat(kStrUploadWriteFailed, error.c_str()));
            return;
        }
        refusals_ = 0;
        host_.SetProgressPos(Percent(files_.TargetPosition(), state_.fileLength));
        ClearReceived();
        Send({kUploadRequest, kGood});
    } else {
        if (++refusals_ > kMostRefusals) {
            FailUpload(QsFormat(kStrRefusedTooOften, refusals_));
            return;
        }
        ClearReceived();
        Send({kUploadRequest, kBad});
    }
    host_.SetStepTimer(kBlockPeriodMs);
    Await(2);
    state_.pending = kStepUploadWait;
}

void CSerialTransfer::EndUpload()
{
    targetOpen_ = false;
    const std::string path = host_.FileFolder(CSerialTransferState::kUpload) +
                             host_.FileName(CSerialTransferState::kUpload);
    switch (files_.FinishTarget()) {
    case CUploadTarget::Result::Replaced:
        host_.SetProgressPos(100);
        state_.pending = kStepDownloadDone;
        host_.PostStep(kStepDownloadDone, StepCause::Posted);
        break;
    case CUploadTarget::Result::NotWhole:
    case CUploadTarget::Result::WrongSize:
        FailUpload(QsString(kStrUploadNotWhole));
        break;
    default:
        FailUpload(QsFormat(kStrUploadWriteFailed, FileErrorText(path, EIO).c_str()));
        break;
    }
}
