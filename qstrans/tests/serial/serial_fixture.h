#pragma once
// The main dialog with its serial route, against a simulated panel in the
// test's own process: the route's line is the panel's end of a serial line
// on the window timers' virtual clock, so a test runs seconds of a transfer
// in moments, paced at the line's real byte rate or not at all.

#include "platform/ui/timer.h"
#include "qstrans/serial_port_route.h"
#include "qstrans/tests/ui/transfer_fixture.h"
#include "qstrans/transfer_settings.h"
#include "tools/qs_panel_sim/serial_panel.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

using PanelBytes = std::vector<std::uint8_t>;

// Byte-for-byte equality, told by sizes and the first difference.
inline ::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected)
{
    if (actual == expected)
        return ::testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    return ::testing::AssertionFailure() << actual.size() << " bytes against " << expected.size()
                                         << ", first difference at " << at
                                         << (actual == "<none>" ? " (nothing stored)" : "");
}

inline PanelBytes ToBytes(const std::string& text)
{
    return PanelBytes(text.begin(), text.end());
}

// The PC's end of the line to the simulated panel.
class SimulatedLine : public CSerialLine {
public:
    explicit SimulatedLine(qs_panel_sim::SerialPanel& panel) : panel_(panel) {}

    static qs_panel_sim::Time Now() { return std::chrono::milliseconds(TimerTesting::VirtualNow()); }

    bool Open(int number, std::string& error) override
    {
        if (!openable) {
            error = "Com " + std::to_string(number) + " (/dev/simulated: No such file or directory)";
            return false;
        }
        openedOn = number;
        open_ = true;
        return true;
    }
    bool IsOpen() const override { return open_; }
    void Close() override
    {
        open_ = false;
        waiting_.clear();
    }
    void SetReceiveThreshold(int bytes) override { threshold_ = bytes; }
    void Discard() override { waiting_.clear(); }
    bool Send(const std::uint8_t* data, std::size_t count) override
    {
        if (!open_)
            return false;
        sends.emplace_back(data, data + count);
        panel_.Write(data, count, Now());
        // Noise that reaches the PC before the panel's answer.
        const PanelBytes& sent = sends.back();
        if (!noiseWhen || noiseWhen(sent)) {
            waiting_.insert(waiting_.end(), noise.begin(), noise.end());
            if (!noiseWhen)
                noise.clear();
        }
        return true;
    }
    std::vector<std::uint8_t> Receive() override
    {
        PanelBytes out;
        out.swap(waiting_);
        return out;
    }

    // Moves what the panel has sent by now onto the line; true when that
    // raised the receive event.
    bool Pump()
    {
        const PanelBytes bytes = panel_.Read(Now());
        if (!open_)
            return false;
        waiting_.insert(waiting_.end(), bytes.begin(), bytes.end());
        if (threshold_ <= 0 || waiting_.size() < static_cast<std::size_t>(threshold_) || !onReceive)
            return false;
        onReceive();
        return true;
    }

    // Everything the PC sent, one entry per write.
    std::vector<PanelBytes> sends;
    std::size_t SentCount() const { return sends.size(); }
    // Noise before the answer to the next write, or to every write `noiseWhen` picks.
    PanelBytes noise;
    std::function<bool(const PanelBytes&)> noiseWhen;
    bool openable = true;
    int openedOn = 0;
    std::function<void()> onReceive;

private:
    qs_panel_sim::SerialPanel& panel_;
    PanelBytes waiting_;
    bool open_ = false;
    int threshold_ = 0;
};

class SerialFixture : public TransferFixture {
protected:
    SerialFixture() { TransferSettings().WriteInt("", "Port", 0); }

    // The panel as it starts; `commands` as the simulator takes them ("set type 20").
    void MakePanel(std::initializer_list<std::string> commands = {}, bool pacing = false)
    {
        panelLog.clear();
        qs_panel_sim::PanelSettings settings;
        settings.pacing = pacing;
        settings.folder = panelFolder_.Path();
        panel_ = std::make_unique<qs_panel_sim::SerialPanel>(settings, [this](const std::string& line) {
            if (!line.empty())
                panelLog.push_back(line);
        });
        for (const std::string& c : commands)
            Command(c);
    }
    // The panel's memory emptied, for the next panel made.
    void ErasePanelFolder()
    {
        for (int kind : {qs_panel_sim::kProtocol1, qs_panel_sim::kDatabase, qs_panel_sim::kSystemSoftware,
                         qs_panel_sim::kProtocol2})
            FileDelete(panelFolder_.Path() + "/" + qs_panel_sim::SerialPanel::StoredName(kind));
    }
    void Command(const std::string& line)
    {
        std::string error;
        EXPECT_TRUE(panel_->Command(line, SimulatedLine::Now(), &error)) << line << ": " << error;
    }
    // Opens the dialog with the serial route on the simulated panel.
    CQuellstorTransDlg& OpenOnPanel()
    {
        if (!panel_)
            MakePanel();
        CQuellstorTransDlg& dialog = Open();
        auto line = std::make_unique<SimulatedLine>(*panel_);
        line_ = line.get();
        auto route = std::make_unique<CSerialPortRoute>(dialog, std::move(line));
        route_ = route.get();
        line_->onReceive = [this] { route_->OnReceive(); };
        dialog.SetSerialRoute(std::move(route));
        return dialog;
    }

    // A database image of the panel type, with `extra` bytes of records beyond the system records.
    std::string DatabaseImage(int panelType, const std::string& version = "5.2.0", std::size_t extra = 0,
                              std::uint16_t comm1 = 7, std::uint16_t comm2 = 255)
    {
        std::vector<ImageRecordSpec> records{
            {8, 100, PortRecord(9)},
            {8, 102, ProjectInfoRecord(version, panelType)},
            {8, 122, ChannelTableRecord(comm1, 0, comm2, comm2 == 255 ? 255 : 1)},
        };
        std::uint16_t key = 1;
        for (std::size_t left = extra; left > 0; ++key) {
            const std::size_t n = std::min<std::size_t>(left, 1000);
            std::string data(n, '\0');
            for (std::size_t i = 0; i < n; ++i)
                data[i] = static_cast<char>((key * 31 + i * 7) & 0xFF);
            records.push_back({1, key, data});
            left -= n;
        }
        return MakeImage(records);
    }
    std::string WriteImage(int panelType, const std::string& version = "5.2.0", std::size_t extra = 0,
                           std::uint16_t comm1 = 7, std::uint16_t comm2 = 255)
    {
        const std::string bytes = DatabaseImage(panelType, version, extra, comm1, comm2);
        EXPECT_TRUE(WriteWholeFile(Db() + "LINE1.DTB", bytes));
        return bytes;
    }

    // Runs the posted steps and the line until nothing moves at this moment.
    void Settle()
    {
        for (int round = 0; round < 100000; ++round) {
            driver.ProcessEvents();
            if (!line_ || !line_->Pump())
                break;
        }
    }
    // Runs the virtual clock until `done` holds or `limitMs` have passed;
    // `each` runs at every moment. True when `done` held.
    bool RunUntil(const std::function<bool()>& done, long limitMs, const std::function<void()>& each = {})
    {
        const long end = TimerTesting::VirtualNow() + limitMs;
        for (;;) {
            Settle();
            if (each)
                each();
            if (done())
                return true;
            const long now = TimerTesting::VirtualNow();
            if (now >= end)
                return false;
            long step = 10;
            const qs_panel_sim::Time next = panel_->NextEvent();
            if (next != qs_panel_sim::kNever) {
                const auto ms = std::chrono::ceil<std::chrono::milliseconds>(next).count();
                step = std::clamp<long>(static_cast<long>(ms) - now, 1, 10);
            }
            driver.AdvanceTime(std::min(step, end - now));
        }
    }
    void RunFor(long ms)
    {
        RunUntil([] { return false; }, ms);
    }
    // Runs until the transfer has ended and its last bytes have crossed the line.
    bool RunToEnd(long limitMs = 60000)
    {
        const bool ended = RunUntil([this] { return dialog_->pending == 0; }, limitMs);
        RunFor(20);
        return ended;
    }

    // Starts a transfer as the engineer does: the choices, then Start Transfer.
    void Start(std::initializer_list<int> radios)
    {
        for (int id : {IDC_DOWNLOAD_DATABASE, IDC_DOWNLOAD_PROTOCOL, IDC_DOWNLOAD_SYSTEM, IDC_UPLOAD_DATABASE})
            dialog_->CheckDlgButton(id, BST_UNCHECKED);
        for (int id : radios)
            dialog_->CheckDlgButton(id, BST_CHECKED);
        driver.Click(*dialog_, IDC_START_TRANSFER);
    }

    std::string Stored(int kind) const
    {
        const PanelBytes* bytes = panel_->Stored(kind);
        return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<none>");
    }
    bool PanelSaid(const std::string& prefix) const
    {
        return std::any_of(panelLog.begin(), panelLog.end(),
                           [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
    }
    std::string LastMessage() const
    {
        return driver.MessageBoxes().empty() ? std::string() : driver.MessageBoxes().back().text;
    }
    // The controls are back and nothing runs.
    void ExpectStopped()
    {
        EXPECT_EQ(dialog_->pending, 0);
        EXPECT_EQ(dialog_->kind, CSerialTransferState::kNone);
        EXPECT_TRUE(Enabled(IDC_START_TRANSFER));
        EXPECT_TRUE(Enabled(IDC_EXIT_PROGRAM));
        EXPECT_FALSE(line_->IsOpen()) << "the port is closed";
        EXPECT_EQ(Field(IDC_STATUS), "");
    }

    TempFolder panelFolder_;
    std::unique_ptr<qs_panel_sim::SerialPanel> panel_;
    std::vector<std::string> panelLog;
    SimulatedLine* line_ = nullptr;
    CSerialPortRoute* route_ = nullptr;
};
