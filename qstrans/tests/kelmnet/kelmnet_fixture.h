#pragma once
// What the fieldbus back-end's tests and benchmark share: this process's
// library on UDP loopback, a window that stands in for the main dialog, and
// panel databases of a chosen size.

#include "platform/base/files.h"
#include "platform/tests/scoped_env.h"
#include "platform/ui/window.h"
#include "qstrans/fieldbus_transfer_host.h"
#include "qstrans/kelmnet_transfer.h"
#include "qstrans/tests/image_bytes.h"

#include <netinet/in.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

inline constexpr int kPcHost = 2;

// A file's bytes, or "(missing)".
inline std::string Contents(const std::string& path)
{
    std::string text;
    return ReadWholeFile(path, text) ? text : "(missing)";
}

// A UDP port free on the PC's loopback host and the nodes' hosts.
inline int FreePort()
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        int fd = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(0x7F000000u | kPcHost);
        socklen_t length = sizeof a;
        bool ok = bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
                  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) == 0;
        close(fd);
        if (!ok)
            continue;
        bool free = true;
        for (int host = 10; free && host < 40; ++host) {
            int other = socket(AF_INET, SOCK_DGRAM, 0);
            sockaddr_in b = a;
            b.sin_addr.s_addr = htonl(0x7F000000u | static_cast<std::uint32_t>(host));
            free = bind(other, reinterpret_cast<sockaddr*>(&b), sizeof b) == 0;
            close(other);
        }
        if (free)
            return ntohs(a.sin_port);
    }
    return 0;
}

// The process's library: one segment, settings folder, address and port for
// all its tests (a process stays attached to the library once it started it).
struct PcLibrary {
    PcLibrary()
    {
        // A node that was lost leaves its command pipe closed.
        signal(SIGPIPE, SIG_IGN);
        segment = "/qstrans_kelmnet_test." + std::to_string(getpid());
        shm_unlink(segment.c_str());
        port = FreePort();
        settings = folder.Path();
        WriteWholeFile(settings + "/openfb.inf",
                       "EnableKelmnetTCPIP\nB true\nKelmnetTCPIPChannel\nI 1\n"
                       "KelmnetTransTimeOut\nI 3000\nKelmnetReconnTimeOut\nI 3000\n");
        setenv("VARNHT32_SEGMENT", segment.c_str(), 1);
        setenv("VARNHT32_SETTINGS_DIR", settings.c_str(), 1);
        setenv("VARNHT32_UDP_ADDRESS", ("127.0.0." + std::to_string(kPcHost)).c_str(), 1);
        setenv("VARNHT32_UDP_PORT", std::to_string(port).c_str(), 1);
    }
    ~PcLibrary() { shm_unlink(segment.c_str()); }
    TempFolder folder;
    std::string segment;
    std::string settings;
    int port = 0;
};

inline PcLibrary& Library()
{
    static PcLibrary library;
    return library;
}

// The main dialog as the back-end sees it: its window routes the poll timer
// and the posted steps, and what the back-end shows is recorded.
class TestHost : public TWindow, public CFieldbusTransferHost {
public:
    TestHost() : TWindow(nullptr, "Quellstor Transfer Utility") {}
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    HWND GetTransferWindow() override { return GetHandle(); }
    bool AskNodeId(bool askBackground, int& nodeId, int& background) override
    {
        asked.push_back(askBackground);
        if (node == 0)
            return false;
        nodeId = node;
        background = 1;
        return true;
    }
    void SetProgressPos(int percent) override
    {
        if (progress.empty() || progress.back() != percent)
            progress.push_back(percent);
    }
    void SetProgressActive(bool active) override { progressActive = active; }
    void SetProgressFailed(bool failed) override { progressFailed = failed; }
    void DisableControls() override { controlsEnabled = false; }
    void EnableControls() override { controlsEnabled = true; }
    void SetStatusText(const std::string& text) override { status.push_back(text); }
    std::string DatabaseFile() override { return database; }

    // What the dialog's Cancel Transfer does for the fieldbus.
    void OnCancelTransfer()
    {
        progressFailed = true;
        transfer->Cancel();
        EnableControls();
        SetStatusText("");
    }

    CKelmnetTransfer* transfer = nullptr;
    int node = 0;
    std::string database;
    std::vector<bool> asked;
    std::vector<int> progress;
    bool progressActive = false;
    bool progressFailed = false;
    bool controlsEnabled = true;
    std::vector<std::string> status;

private:
    void EvTimer(UINT id)
    {
        if (id == CKelmnetTransfer::kPollTimer && transfer)
            transfer->OnPollTimer();
    }
    LRESULT EvStep(WPARAM, LPARAM)
    {
        if (transfer)
            transfer->OnTimerStep();
        return 0;
    }
};

inline const TResponseTable TestHost::Responses{&TWindow::Responses, {
    OnMessage<&TestHost::EvTimer>(WM_TIMER),
    OnMessage<&TestHost::EvStep>(CKelmnetTransfer::kStepMessage),
}};

// A panel database of `size` bytes whose records each take 1,000 bytes, so
// that every fourth block of 250 bytes starts on a record header.
inline std::string Database(std::size_t size, char fill)
{
    std::vector<ImageRecordSpec> records;
    std::size_t used = 128;
    std::uint16_t key = 0;
    while (used < size) {
        const std::size_t room = size - used;
        std::size_t total = used == 128 ? 1000 - 128 : 1000;
        if (room < total + 14 + 1)
            total = room;
        std::string data(total - 14, fill);
        for (std::size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<char>(fill + i * 13 + key);
        records.push_back({1 + key % 5, static_cast<std::uint16_t>(100 + key), data});
        used += total;
        ++key;
    }
    return MakeImage(records);
}

