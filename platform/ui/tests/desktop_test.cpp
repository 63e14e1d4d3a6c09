// Desktop services across processes: a single-instance program brought to
// the front by a second start, found and focused by its caption from another
// program, and the result codes of starting programs.

#include "platform/base/files.h"
#include "platform/tests/scoped_env.h"
#include "platform/ui/program_start.h"
#include "platform/ui/single_instance.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window_api.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>

#include <unistd.h>

#include <string>

namespace {

const char* const kCaption = "Instance Helper Window";
const char* const kHelperName = "PLV_INSTANCE_HELPER";

// The next line the program writes, or "" when it writes none in time.
std::string ReadLine(QProcess& process)
{
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(10000))
            return {};
    }
    return process.readLine().trimmed().toStdString();
}

class DesktopTest : public ::testing::Test {
protected:
    TTestDriver driver;
    // This test's programs see only each other.
    ScopedEnv session{"PLV_DESKTOP_SESSION", ("desktop-test-" + std::to_string(::getpid())).c_str()};
};

TEST_F(DesktopTest, SecondStartBringsTheFirstToTheFrontAndReports16)
{
    const QString helper = QStringLiteral(PLV_INSTANCE_HELPER);
    EXPECT_FALSE(IsProgramRunning(kHelperName));
    QProcess first;
    first.start(helper, {});
    ASSERT_TRUE(first.waitForStarted(10000));
    ASSERT_EQ(ReadLine(first), "READY");
    EXPECT_TRUE(IsProgramRunning(kHelperName));

    // Started again by hand: it finds the first, brings it forward and ends.
    QProcess second;
    second.start(helper, {});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(second.readAllStandardOutput().trimmed().toStdString(), "SECOND");
    EXPECT_EQ(ReadLine(first), "ACTIVATED");

    // Started by another program: not started again, code 16.
    EXPECT_EQ(WinExec(helper.toStdString().c_str(), SW_SHOWNORMAL), 16u);

    // That program finds the window by its caption and gives it the focus.
    const HWND found = FindWindow(nullptr, kCaption);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(GetWindowText(found), kCaption);
    SetFocus(found);
    EXPECT_EQ(ReadLine(first), "ACTIVATED");
    EXPECT_EQ(FindWindow(nullptr, "Quellstor Transfer Utility"), nullptr);

    first.closeWriteChannel();
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_FALSE(IsProgramRunning(kHelperName));
    EXPECT_EQ(FindWindow(nullptr, kCaption), nullptr) << "the window went with its program";
}

TEST_F(DesktopTest, StartingAProgramTellsTheProcessItStarted)
{
    long long pid = -1;
    ASSERT_EQ(WinExec("sleep 30", SW_SHOWNORMAL, &pid), kWinExecStarted);
    ASSERT_GT(pid, 0);
    EXPECT_EQ(::kill(static_cast<pid_t>(pid), 0), 0) << "the process runs";
    EXPECT_EQ(::kill(static_cast<pid_t>(pid), SIGTERM), 0);

    pid = -1;
    EXPECT_EQ(WinExec("NO_SUCH_PROGRAM.EXE", SW_SHOWNORMAL, &pid), 2u);
    EXPECT_EQ(pid, 0);
}

TEST_F(DesktopTest, StartingAProgramAnswersThePlatformsCodes)
{
    TempFolder folder;
    WriteWholeFile(folder.Path() + "/QS_PLC.TEX", "not a program");
    struct Case {
        std::string commandLine;
        UINT code;
    };
    const Case cases[] = {
        {"", 2},
        {"NOSUCHPROGRAM.EXE", 2},
        {"/no/such/folder/QSTRANS.EXE", 3},
        {folder.Path() + "/qs_plc.tex", 11},
        // ".EXE" and letter case as the programs write them.
        {"TRUE.EXE", kWinExecStarted},
        {"\"" + folder.Path() + "/..\"/../bin/true --version", kWinExecStarted},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WinExec(c.commandLine.c_str(), SW_SHOWNORMAL), c.code) << c.commandLine;
}

}  // namespace
