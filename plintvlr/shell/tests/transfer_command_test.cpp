// The Transfer command: the refusal of a project too large for its panel,
// the hand-off file and the start of the transfer program, the compiled file
// and its limits, and what a failed compile leaves.

#include "shell_fixture.h"
#include "stand_in_editors.h"

#include "plintvlr/db/download_image.h"
#include "plintvlr/db/image_file.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/transfer_command.h"
#include "platform/base/profile.h"
#include "platform/ui/single_instance.h"
#include "platform/ui/window_api.h"

#include <signal.h>
#include <sys/wait.h>

#include <QCoreApplication>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

class TransferCommandTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        // A previous test's frame ended the application's loop on its way
        // out; until a loop runs again every modal loop would end at once.
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
        log_ = program_ + "/standin.log";
        ::setenv("QSTRANS_STANDIN_LOG", log_.c_str(), 1);
        ::unsetenv("QSTRANS_STANDIN_STAY");
    }

    void TearDown() override
    {
        ::unsetenv("QSTRANS_STANDIN_LOG");
        ShellTest::TearDown();
    }

    MDIFrame& StartOn(const std::string& name, int type)
    {
        standIns.RegisterAll();
        RegisterTransferCommand();
        MakeLastProject(name, type);
        return Start();
    }

    void InstallStandIn()
    {
        std::filesystem::copy_file(QSTRANS_STANDIN_PATH, program_ + "/qstrans",
                                   std::filesystem::copy_options::overwrite_existing);
    }

    // The stand-in's log lines, waiting a while for `count` of them.
    std::vector<std::string> LogLines(std::size_t count)
    {
        std::vector<std::string> lines;
        for (int i = 0; i < 100; ++i) {
            lines.clear();
            std::ifstream in(log_);
            for (std::string line; std::getline(in, line);)
                lines.push_back(line);
            if (lines.size() >= count)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return lines;
    }

    std::string HandOff(const char* section, const char* key)
    {
        char value[1024] = {};
        GetPrivateProfileString(section, key, "", value, sizeof value, "qstrans.ini");
        return value;
    }

    std::string Image(const std::string& name) { return program_ + "/DBASE/" + name + "/" + name + ".DTB"; }

    adatabase& Db() { return _QSglobals.GetDatabase(); }

    StandIns standIns;
    std::string log_;
};

TEST_F(TransferCommandTest, HandOffPathsAndLimits)
{
    const THandOff handOff = HandOffFor("LINE1", 14);
    EXPECT_EQ(handOff.databasePath, program_ + "/DBASE/LINE1/");
    EXPECT_EQ(handOff.databaseName, "LINE1.DTB");
    EXPECT_EQ(handOff.protocolPath, program_ + "/PROTOCOL/");
    EXPECT_EQ(handOff.systemPath, program_ + "/CMD/");
    EXPECT_EQ(handOff.quellstorType, "QSE");
    EXPECT_EQ(HandOffFor("X", 16).quellstorType, "QSG");

    for (int type : {14, 13, 16}) {
        const Quellstor model(type);
        const std::array<std::uint32_t, 16> limits = TransferLimits(type);
        EXPECT_EQ(limits[0], static_cast<std::uint32_t>(model.GetMaxAnalogTags())) << type;
        EXPECT_EQ(limits[3], static_cast<std::uint32_t>(model.GetMaxPages())) << type;
        EXPECT_EQ(limits[4], 0u) << type;  // message tables run to 1499 whatever the panel
        EXPECT_EQ(limits[9], static_cast<std::uint32_t>(model.GetMaxOverviewGroups())) << type;
    }
}

TEST_F(TransferCommandTest, AProjectTooLargeIsRefusedAndNothingIsWritten)
{
    standIns.RegisterAll();
    RegisterTransferCommand();
    {
        adatabase db;
        db.SetPanelType(16);
        ASSERT_EQ(db.Create("BIG"), 1);
        ASSERT_EQ(db.OpenProject("BIG"), 1);
        // One byte over the panel's memory.
        const std::vector<std::uint8_t> text(static_cast<std::size_t>(db.GetFreeSize() - 11), 7);
        ASSERT_EQ(db.PutMessage(1, text.data(), static_cast<std::uint16_t>(text.size())), 0);
        ASSERT_EQ(db.GetFreeSize(), -1);
        db.Close();
    }
    SetProfile("DATABASE", "DatabaseName", "BIG");
    driver.AnswerMessageBox(IDOK);  // the size check at start
    MDIFrame& frame = Start();
    ASSERT_EQ(Db().GetFreeSize(), -1);
    driver.AnswerMessageBox(IDOK);
    ASSERT_TRUE(driver.ChooseMenuItem(frame, CM_TRANSFER));
    ASSERT_EQ(driver.MessageBoxes().size(), 2u);
    EXPECT_EQ(driver.MessageBoxes()[1].caption, "Database is too large       ");
    EXPECT_EQ(driver.MessageBoxes()[1].text,
              "Database will not fit in Quellstor\nYou must reduce the size of your database\n\nTransfer Aborted");
    EXPECT_FALSE(std::filesystem::exists(profile_ + "/QSTRANS.INI"));
    EXPECT_FALSE(std::filesystem::exists(Image("BIG")));
}

TEST_F(TransferCommandTest, WritesTheHandOffAndStartsTheTransferProgram)
{
    MDIFrame& frame = StartOn("LINE1", 14);
    // Message tables above the most overview groups are compiled too.
    const std::string table = "table";
    ASSERT_EQ(Db().PutMessage(1200, table.data(), static_cast<std::uint16_t>(table.size())), 0);
    InstallStandIn();
    ASSERT_TRUE(driver.ChooseMenuItem(frame, CM_TRANSFER));
    EXPECT_TRUE(driver.MessageBoxes().empty());
    const std::vector<std::string> lines = LogLines(1);
    ASSERT_EQ(lines.size(), 1u);
    const std::string expected = program_ + "|" + program_ + "/DBASE/LINE1/|LINE1.DTB|" + program_ + "/PROTOCOL/|" +
                                 program_ + "/CMD/|QSE";
    EXPECT_NE(lines[0].find(expected), std::string::npos) << lines[0];
    EXPECT_EQ(HandOff("File Locations", "DatabaseName"), "LINE1.DTB");
    EXPECT_TRUE(Db().IsOpen());

    ASSERT_EQ(ImageOpen(Image("LINE1")), 0);
    char record[64] = {};
    std::uint16_t length = sizeof record;
    EXPECT_EQ(ImageFindRecord(kTableMessages, record, 1200, length), 0);
    ImageClose();
}

TEST_F(TransferCommandTest, WithoutATransferProgramTheHandOffIsStillWritten)
{
    MDIFrame& frame = StartOn("LINE1", 14);
    driver.AnswerMessageBox(IDOK);
    ASSERT_TRUE(driver.ChooseMenuItem(frame, CM_TRANSFER));
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text, "Unable to execute transfer application");
    EXPECT_EQ(driver.MessageBoxes()[0].caption, "QSTRANS.EXE");
    EXPECT_EQ(HandOff("Quellstor Type", "QuellstorType"), "QSE");
    EXPECT_TRUE(std::filesystem::exists(Image("LINE1")));
}

TEST_F(TransferCommandTest, AFailedCompileLeavesNoFileAndStillHandsOff)
{
    MDIFrame& frame = StartOn("LINE1", 14);
    std::ofstream(Image("LINE1")) << "an older compiled file";
    // A communications block too short for its table.
    const std::string block = "ab";
    ASSERT_EQ(Db().PutCommsBlock(1, block.data(), static_cast<std::uint16_t>(block.size())), 0);
    InstallStandIn();
    driver.AnswerMessageBox(IDOK);
    ASSERT_TRUE(driver.ChooseMenuItem(frame, CM_TRANSFER));
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].caption, "Application Message");
    EXPECT_NE(driver.MessageBoxes()[0].text.find("database file was not made"), std::string::npos)
        << driver.MessageBoxes()[0].text;
    EXPECT_FALSE(std::filesystem::exists(Image("LINE1")));
    EXPECT_EQ(LogLines(1).size(), 1u);
    EXPECT_TRUE(Db().IsOpen());
}

TEST_F(TransferCommandTest, ASecondTransferFindsTheRunningTransferProgram)
{
    MDIFrame& frame = StartOn("LINE1", 14);
    InstallStandIn();
    ::setenv("QSTRANS_STANDIN_STAY", "1", 1);
    ASSERT_TRUE(driver.ChooseMenuItem(frame, CM_TRANSFER));
    const std::vector<std::string> lines = LogLines(1);
    ASSERT_EQ(lines.size(), 1u);
    const pid_t standIn = std::stoi(lines[0].substr(lines[0].find('|') + 1));
    for (int i = 0; i < 100 && !IsProgramRunning("QSTRANS"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(IsProgramRunning("QSTRANS"));

    // Started again, the program answers that it runs: its window gets the focus.
    ASSERT_TRUE(driver.ChooseMenuItem(frame, CM_TRANSFER));
    EXPECT_TRUE(driver.MessageBoxes().empty());
    EXPECT_EQ(LogLines(1).size(), 1u);
    EXPECT_NE(FindWindow(nullptr, "Quellstor Transfer Utility"), nullptr);
    ::kill(standIn, SIGTERM);
    ::waitpid(standIn, nullptr, 0);
    ::unsetenv("QSTRANS_STANDIN_STAY");
}

}  // namespace
