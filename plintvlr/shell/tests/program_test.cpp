// The built program as a child process: the start-up checks that end it
// before any window, and the one instance per user.

#include "platform/ui/single_instance.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/plv-program-XXXXXX";
        folder_ = ::mkdtemp(pattern);
        program_ = folder_ / "program";
        fs::create_directories(program_);
        fs::create_directories(folder_ / "profile");
        session_ = "program-test-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name();
    }
    void TearDown() override { fs::remove_all(folder_); }

    // The program folder as the program ships it.
    void ShipProgramFiles()
    {
        const fs::path data = fs::path(PLV_PLINTVLR).parent_path();
        fs::copy(data / "QS_PLC.TEX", program_ / "QS_PLC.TEX");
        fs::copy(data / "styles", program_ / "styles", fs::copy_options::recursive);
        fs::copy(data / "styles.cfg", program_ / "styles.cfg");
    }

    void Launch(QProcess& process)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("PLV_HEADLESS_PROMPTS", "1");
        env.insert("PLV_PROGRAM_DIR", QString::fromStdString(program_.string()));
        env.insert("PLV_PROFILE_DIR", QString::fromStdString((folder_ / "profile").string()));
        env.insert("PLV_DESKTOP_SESSION", QString::fromStdString(session_));
        env.remove("QT_QPA_PLATFORMTHEME");
        process.setProcessEnvironment(env);
        // Started from elsewhere: the program finds its files in its own folder.
        process.setWorkingDirectory(QString::fromStdString(folder_.string()));
        process.start(QStringLiteral(PLV_PLINTVLR), {});
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    fs::path folder_;
    fs::path program_;
    std::string session_;
};

TEST_F(ProgramTest, ProtocolFileFailuresEndTheStartWithTheirMessage)
{
    struct Case {
        const char* name;
        const char* contents;  // null: no file
        const char* text;
    };
    const Case cases[] = {
        {"missing", nullptr, "Protocol information file (QS_PLC.TEX) is missing."},
        {"empty", "", "Protocol information file (QS_PLC.TEX) is too small."},
        {"bad protocol", "PCL ->A:Name<-\n", "Protocol information file (QS_PLC.TEX) contains bad protocol formats."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(program_ / "QS_PLC.TEX");
        if (c.contents)
            std::ofstream(program_ / "QS_PLC.TEX") << c.contents;
        QProcess process;
        Launch(process);
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
        const std::string log = process.readAllStandardError().toStdString();
        EXPECT_NE(log.find(std::string("[message] Application Message: ") + c.text), std::string::npos) << log;
        EXPECT_FALSE(fs::exists(folder_ / "profile" / "PLINTVLR.INI")) << "no frame was made to save its place";
    }
}

TEST_F(ProgramTest, ASecondStartBringsTheFirstForwardAndEnds)
{
    ShipProgramFiles();
    ::setenv("PLV_DESKTOP_SESSION", session_.c_str(), 1);
    QProcess first;
    Launch(first);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!IsProgramRunning("PLINTVLR") && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(IsProgramRunning("PLINTVLR"));

    QProcess second;
    Launch(second);
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_NE(second.readAllStandardError().toStdString().find(
                  "[message] System Message: Configuration utility is already running"),
              std::string::npos);

    std::string log;
    first.setReadChannel(QProcess::StandardError);
    while (log.find("brought to the front") == std::string::npos && first.waitForReadyRead(10000))
        log += first.readAllStandardError().toStdString();
    EXPECT_NE(log.find("[plintvlr] brought to the front"), std::string::npos) << log;

    ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
    ASSERT_TRUE(first.waitForFinished(10000));
    ::unsetenv("PLV_DESKTOP_SESSION");
}

}  // namespace
