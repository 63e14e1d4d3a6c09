// The serial route's speed: a 200 kB panel database (a type with 250-byte
// frames) from Start Transfer to the end frame, through the transfer
// program's main dialog, its serial route and port control, to the panel
// simulator on a pseudo-terminal, paced at 19200 baud 8N1 (1920 bytes a
// second). A frame of 250 bytes is 253 on the line and its acknowledgement
// 2 back, so the protocol's own bound is 250 / 255 x 1920 = 1882 bytes a
// second; the figures are given as fractions of it and of the line (the
// goal is 0.95 of the bound).

#include "platform/base/files.h"
#include "platform/base/profile.h"
#include "platform/tests/scoped_env.h"
#include "bench/headless_ui.h"
#include "platform/ui/application.h"
#include "qstrans/quellstor_trans_app.h"
#include "qstrans/quellstor_trans_dlg.h"
#include "qstrans/serial_port_route.h"
#include "qstrans/tests/image_bytes.h"
#include "qstrans/transfer_settings.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

constexpr double kLine = 1920.0;
constexpr double kBound = 250.0 / 255.0 * kLine;
constexpr std::size_t kImageSize = 200000;


// A whole database of type 9 of about `size` bytes.
std::string Image(std::size_t size)
{
    std::vector<ImageRecordSpec> records{{8, 100, PortRecord(9)},
                                         {8, 102, ProjectInfoRecord("5.2.0", 9)},
                                         {8, 122, ChannelTableRecord(7, 0, 255, 255)}};
    std::uint16_t key = 1;
    for (std::size_t total = 400; total < size; total += 1014, ++key) {
        std::string data(1000, '\0');
        for (std::size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<char>((key * 131 + i * 17) & 0xFF);
        records.push_back({1, key, data});
    }
    return MakeImage(records);
}

// The simulator program, paced, its line linked at `link`.
pid_t StartPanel(const std::string& link, const std::string& store)
{
    std::vector<std::string> args{QS_PANEL_SIM, "--link", link, "--store", store};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = 0;
    posix_spawn_file_actions_destroy(&actions);
    for (int i = 0; i < 200 && !FileExists(link); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return pid;
}

void BM_SerialDownload200k(benchmark::State& state)
{
    TempFolder program;
    TempFolder profile;
    TempFolder panel;
    ScopedEnv programDir("PLV_PROGRAM_DIR", program.Path().c_str());
    ScopedEnv profileDir("PLV_PROFILE_DIR", profile.Path().c_str());
    ScopedEnv session("PLV_DESKTOP_SESSION", "serial-transfer-bench");
    StartHeadlessUi("serial_transfer_bench");
    const std::string image = Image(kImageSize);
    const std::string folder = program.Path() + "/DBASE/LINE1/";
    MakeDir(folder);
    WriteWholeFile(folder + "LINE1.DTB", image);
    WriteWholeFile(profile.Path() + "/QSTRANS.INI",
                   "[File Locations]\nDatabasePath=" + folder + "\nDatabaseName=LINE1.DTB\nProtocolPath=" +
                       program.Path() + "/\nSystemPath=" + program.Path() + "/\n");
    const std::string link = program.Path() + "/ttyPANEL";
    WriteWholeFile(profile.Path() + "/SERIAL.INI", "[Ports]\nCOM1=" + link + "\n");
    TransferSettings().WriteInt("", "Port", 0);
    const pid_t simulator = StartPanel(link, panel.Path());

    CQuellstorTransApp app;
    app.ReadFileLocations();
    CQuellstorTransDlg dialog(app);
    dialog.SetSerialRoute(std::make_unique<CSerialPortRoute>(dialog));
    dialog.Create();
    double seconds = 0;
    bool whole = false;
    const std::string stored = panel.Path() + "/database.dtb";
    for (auto _ : state) {
        FileDelete(stored);
        const auto t0 = std::chrono::steady_clock::now();
        dialog.OnStartTransfer();
        QCoreApplication::processEvents();
        // As the dialog's own loop: asleep until the port, a timer or a posted step wakes it.
        while (dialog.pending != 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        // The end frame crosses the line after the port has closed.
        std::string got;
        for (int i = 0; i < 300 && !whole; ++i) {
            whole = ReadWholeFile(stored, got) && got == image;
            if (!whole)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    dialog.Destroy(IDCANCEL);
    if (simulator > 0) {
        kill(simulator, SIGTERM);
        waitpid(simulator, nullptr, 0);
    }
    if (!whole)
        state.SkipWithError("the database did not arrive whole");
    const double rate = image.size() / seconds;
    state.counters["bytes_per_s"] = rate;
    state.counters["fraction_of_bound"] = rate / kBound;
    state.counters["fraction_of_line"] = rate / kLine;
}

BENCHMARK(BM_SerialDownload200k)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
