// The fieldbus route's speed: a 200 kB panel database down to the node
// simulator over UDP loopback and back up, through the transfer program's
// own back-end on the real 100 ms poll timer. The route moves one frame of
// at most 250 bytes per tick, so 2,500 bytes per second is its ceiling; the
// figures are given as a fraction of it (the goal is 0.9 each way).

#include "bench/headless_ui.h"
#include "platform/ui/application.h"
#include "qstrans/tests/kelmnet/kelmnet_fixture.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace {

constexpr double kCeiling = 2500.0;
constexpr int kNodeHost = 30;


// The node as its own program, without this process's library settings.
pid_t StartNode(const std::string& database, int port)
{
    std::vector<std::string> args{KELMNET_NODE_SIM, "--address", "127.0.0." + std::to_string(kNodeHost),
                                  "--port", std::to_string(port), "--channel", "1", "--database", database};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<char*> env;
    for (char** e = environ; *e; ++e) {
        if (std::string(*e).rfind("VARNHT32_", 0) != 0)
            env.push_back(*e);
    }
    env.push_back(nullptr);
    pid_t pid = 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env.data()) != 0)
        pid = 0;
    posix_spawn_file_actions_destroy(&actions);
    // The node needs a moment to open its channel.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    return pid;
}

// Runs the program's event loop, with its real timers, until the transfer ends.
double Seconds(CKelmnetTransfer& transfer, void (CKelmnetTransfer::*start)())
{
    const auto t0 = std::chrono::steady_clock::now();
    (transfer.*start)();
    // Sleeps between events: with a time limit the loop would spin and take
    // the processor from the node.
    while (transfer.IsTransferring())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void BM_KelmnetTransfer200k(benchmark::State& state)
{
    StartHeadlessUi("kelmnet_transfer_bench");
    PcLibrary& library = Library();
    TempFolder folder;
    const std::string panel = folder.Path() + "/PANEL.DTB";
    const std::string pc = folder.Path() + "/LINE1.DTB";
    const std::string image = Database(200000, 'b');
    WriteWholeFile(pc, image);
    WriteWholeFile(panel, Database(3000, 'p'));
    const pid_t node = StartNode(panel, library.port);

    TestHost host;
    host.Create();
    host.database = pc;
    host.node = kNodeHost;
    CKelmnetTransfer transfer(host, 2);
    host.transfer = &transfer;
    double down = 0, up = 0;
    bool whole = false;
    for (auto _ : state) {
        down = Seconds(transfer, &CKelmnetTransfer::DownloadDatabase);
        std::string got;
        whole = ReadWholeFile(panel, got) && got == image;
        WriteWholeFile(pc, Database(3000, 'z'));
        up = Seconds(transfer, &CKelmnetTransfer::UploadDatabase);
        whole = whole && ReadWholeFile(pc, got) && got == image;
    }
    host.transfer = nullptr;
    if (node > 0) {
        kill(node, SIGTERM);
        waitpid(node, nullptr, 0);
    }
    if (!whole)
        state.SkipWithError("the database did not arrive whole");
    state.counters["down_bytes_per_s"] = image.size() / down;
    state.counters["up_bytes_per_s"] = image.size() / up;
    state.counters["down_of_ceiling"] = image.size() / down / kCeiling;
    state.counters["up_of_ceiling"] = image.size() / up / kCeiling;
}

BENCHMARK(BM_KelmnetTransfer200k)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
