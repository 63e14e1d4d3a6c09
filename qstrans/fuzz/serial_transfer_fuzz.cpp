// Whatever a panel sends on the serial line, split anywhere and with time
// passing between the pieces, into each kind of serial transfer: the checks,
// a download of each kind, an upload, Erase Flash and Goto Transfer. The
// step machine reads nothing past what arrived, keeps what it holds
// bounded, sends no frame longer than a frame, keeps the bar within 0 to
// 100, and once stopped stays stopped.
//
// Input: byte 0 picks the command (bits 0-2: 0 database, 1 protocol, 2
// system software, 3 upload, 4 Erase Flash, 5 Goto Transfer; bit 3: the
// protocol download is chosen too; bit 4: the database download is chosen
// too; bit 7: questions are answered Cancel); byte 1 the length of the file
// to send (times 7). Then events, each a byte e:
//   e & 3 == 0 or 1: e >> 2 bytes (0 to 63) that follow arrive from the panel
//   e & 3 == 2:      (e >> 2) * 50 ms pass
//   e & 3 == 3:      Cancel Transfer when e >> 2 is 0, else (e >> 2) ms pass
// After every event the steps posted meanwhile run.
#include "platform/base/win_types.h"
#include "qstrans/panel_image.h"
#include "qstrans/serial_transfer.h"

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::size_t kLongestFrame = 253;

class MemoryLine : public CSerialLine {
public:
    bool Open(int, std::string&) override
    {
        open = true;
        return true;
    }
    bool IsOpen() const override { return open; }
    void Close() override
    {
        open = false;
        waiting.clear();
    }
    void SetReceiveThreshold(int bytes) override { threshold = bytes; }
    void Discard() override { waiting.clear(); }
    bool Send(const std::uint8_t*, std::size_t count) override
    {
        if (!open || count > kLongestFrame)
            std::abort();
        return true;
    }
    std::vector<std::uint8_t> Receive() override
    {
        std::vector<std::uint8_t> out;
        out.swap(waiting);
        return out;
    }

    bool open = false;
    int threshold = 0;
    std::vector<std::uint8_t> waiting;
};

class MemoryFiles : public CTransferFiles {
public:
    bool OpenSource(const std::string&, std::uint32_t& length, std::string&) override
    {
        at = 0;
        sourceOpen = true;
        length = static_cast<std::uint32_t>(source.size());
        return true;
    }
    long ReadSource(std::uint8_t* buffer, std::size_t count) override
    {
        if (!sourceOpen)
            std::abort();
        std::size_t n = 0;
        for (; n < count && at < source.size(); ++n)
            buffer[n] = source[at++];
        return static_cast<long>(n);
    }
    void CloseSource() override { sourceOpen = false; }
    bool CreateTarget(const std::string&, std::string&) override
    {
        target.clear();
        targetOpen = true;
        return true;
    }
    bool WriteTarget(const std::uint8_t* data, std::size_t count, std::string&) override
    {
        if (!targetOpen || count > 255)
            std::abort();
        target.insert(target.end(), data, data + count);
        return true;
    }
    std::uint64_t TargetPosition() const override { return target.size(); }
    CUploadTarget::Result FinishTarget() override
    {
        targetOpen = false;
        return IsWholePanelImage(target) ? CUploadTarget::Result::Replaced : CUploadTarget::Result::NotWhole;
    }
    void AbandonTarget() override { targetOpen = false; }
    int DatabasePanelType(const std::string&) override { return 9; }
    void DatabaseVersion(const std::string&, unsigned& major, unsigned& minor, unsigned& revision) override
    {
        major = 5;
        minor = 2;
        revision = 0;
    }

    std::vector<std::uint8_t> source;
    std::size_t at = 0;
    bool sourceOpen = false;
    std::vector<std::uint8_t> target;
    bool targetOpen = false;
};

class FuzzHost : public CSerialTransferHost {
public:
    FuzzHost(CSerialTransferState& state, MemoryLine& line, MemoryFiles& files, std::uint8_t command)
        : state_(state), command_(command), machine(state, *this, line, files)
    {
    }

    int PortNumber() override { return 1; }
    bool SetStepTimer(unsigned periodMs) override
    {
        period = periodMs;
        due = now + periodMs;
        return true;
    }
    void KillStepTimer() override { period = 0; }
    void PostStep(int step, StepCause cause) override { posted.emplace_back(step, cause); }
    void SetStatusText(const std::string&) override {}
    void SetProgressPos(int percent) override
    {
        if (percent < 0 || percent > 100)
            std::abort();
    }
    void SetProgressActive(bool) override {}
    void SetProgressFailed(bool) override {}
    void DisableControls() override {}
    int MessageBox(const std::string&, const std::string&, unsigned) override
    {
        return (command_ & 0x80) ? IDCANCEL : IDOK;
    }
    void ChooseSystemSoftware(int) override { systemName = "XQSE.cmd"; }
    bool IsChosen(int kind) override
    {
        if (kind == CSerialTransferState::kProtocol1)
            return (command_ & 0x08) != 0;
        return kind == CSerialTransferState::kDatabase && (command_ & 0x10) != 0;
    }
    std::string FileFolder(int) override { return "/panel/"; }
    std::string FileName(int kind) override
    {
        switch (kind) {
        case CSerialTransferState::kProtocol1:
            return "07.p1e";
        case CSerialTransferState::kProtocol2:
            return "08.p2e";
        case CSerialTransferState::kSystemSoftware:
            return systemName;
        default:
            return "LINE1.DTB";
        }
    }
    void Stop() override
    {
        period = 0;
        machine.Cancel();
        state_.pending = 0;
        state_.kind = 0;
        stops++;
    }

    // Runs what was posted (a bounded number: every step posts at most a few).
    void RunPosted()
    {
        for (int i = 0; i < 256 && !posted.empty(); ++i) {
            const auto [step, cause] = posted.front();
            posted.pop_front();
            machine.OnStep(step, cause);
            Check();
        }
    }
    void Pass(long ms)
    {
        const long until = now + ms;
        while (period != 0 && due <= until) {
            now = due;
            due += period;
            machine.OnTimer();
            Check();
            RunPosted();
        }
        now = until;
    }
    void Check() const
    {
        if (state_.receiveBytes.size() > CSerialTransfer::kMostReceived || state_.sendBytes.size() > kLongestFrame)
            std::abort();
    }

    CSerialTransferState& state_;
    std::uint8_t command_;
    CSerialTransfer machine;
    std::deque<std::pair<int, StepCause>> posted;
    std::string systemName;
    long now = 0;
    long due = 0;
    unsigned period = 0;
    int stops = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    CSerialTransferState state;
    MemoryLine line;
    MemoryFiles files;
    files.source.resize(static_cast<std::size_t>(data[1]) * 7);
    for (std::size_t i = 0; i < files.source.size(); ++i)
        files.source[i] = static_cast<std::uint8_t>(i * 31 + 7);
    FuzzHost host(state, line, files, data[0]);
    switch (data[0] & 7) {
    case 0:
        host.machine.StartTransfer(CSerialTransferState::kDatabase);
        break;
    case 1:
        host.machine.StartTransfer(CSerialTransferState::kProtocol1);
        break;
    case 2:
        host.machine.StartTransfer(CSerialTransferState::kSystemSoftware);
        break;
    case 3:
        host.machine.StartTransfer(CSerialTransferState::kUpload);
        break;
    case 4:
        host.machine.StartEraseFlash();
        break;
    default:
        host.machine.StartGotoTransfer();
        break;
    }
    host.RunPosted();
    std::size_t at = 2;
    while (at < size) {
        const std::uint8_t event = data[at++];
        const unsigned arg = event >> 2;
        switch (event & 3) {
        case 0:
        case 1: {
            const std::size_t n = std::min<std::size_t>(arg, size - at);
            if (line.open) {
                line.waiting.insert(line.waiting.end(), data + at, data + at + n);
                if (line.threshold > 0 && line.waiting.size() >= static_cast<std::size_t>(line.threshold))
                    host.machine.OnReceive();
            }
            at += n;
            break;
        }
        case 2:
            host.Pass(static_cast<long>(arg) * 50);
            break;
        default:
            if (arg == 0)
                host.Stop();
            else
                host.Pass(static_cast<long>(arg));
            break;
        }
        host.Check();
        host.RunPosted();
        // Once stopped, nothing runs on.
        if (host.stops > 0 && state.pending == 0 && (host.period != 0 || line.open || !host.posted.empty()))
            std::abort();
    }
    return 0;
}
