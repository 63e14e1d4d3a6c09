// The transfer program as the configuration program starts it: one instance
// per user; a second start brings the first forward and ends, and the
// platform's program start answers 16.
#include "platform/tests/scoped_env.h"
#include "platform/ui/program_start.h"
#include "platform/ui/single_instance.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window_api.h"

#include <QElapsedTimer>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

namespace {

// Waits for another program, which runs on its own clock.
template <class Condition>
bool WaitUntil(TTestDriver& driver, Condition condition)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > 15000)
            return false;
        driver.ProcessEvents();
        ::usleep(10000);
    }
    return true;
}

TEST(TransferProgramTest, RunsOncePerUser)
{
    TTestDriver driver;
    TempFolder profile;
    ScopedEnv profileDir("PLV_PROFILE_DIR", profile.Path().c_str());
    ScopedEnv session("PLV_DESKTOP_SESSION", ("qstrans-instance-" + std::to_string(::getpid())).c_str());
    ScopedEnv platform("QT_QPA_PLATFORM", "offscreen");
    const char* caption = "Quellstor Transfer Utility";

    long long pid = 0;
    ASSERT_EQ(WinExec(QSTRANS_PROGRAM, SW_SHOWNORMAL, &pid), kWinExecStarted);
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(WaitUntil(driver, [&] { return FindWindow(nullptr, caption) != nullptr; }))
        << "the main dialog comes up";
    EXPECT_TRUE(IsProgramRunning("QSTRANS"));

    // Started again as the configuration program starts it: code 16.
    EXPECT_EQ(WinExec(QSTRANS_PROGRAM, SW_SHOWNORMAL), 16u);
    // Started again by hand: it brings the first forward and ends at once.
    QProcess second;
    second.start(QStringLiteral(QSTRANS_PROGRAM), {});
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(::kill(static_cast<pid_t>(pid), 0), 0) << "the first still runs";

    ASSERT_EQ(::kill(static_cast<pid_t>(pid), SIGTERM), 0);
    EXPECT_TRUE(WaitUntil(driver, [&] { return FindWindow(nullptr, caption) == nullptr; }))
        << "its window went with it";
}

}  // namespace
