// The fieldbus back-end as the main dialog runs it: this process is the PC,
// with the program's library on UDP loopback (a segment and settings folder
// of its own, the TCP/IP channel as channel 1, short library time-outs), and
// the node simulator is the panel, a program of its own at an address of its
// own for each test. Timer 1027 runs on the virtual clock; between ticks the
// node is given real time to answer.

#include "qstrans/kelmnet_transfer.h"

#include "platform/base/profile.h"
#include "plintvlr/db/download_image.h"
#include "plintvlr/db/tests/project_fixture.h"
#include "qstrans/file_locations.h"
#include "qstrans/panel_file.h"

#include "platform/base/files.h"
#include "platform/tests/scoped_env.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window.h"
#include "qstrans/fieldbus_transfer_host.h"
#include "qstrans/kelmnet_thunk_transfer.h"
#include "qstrans/tests/kelmnet/kelmnet_fixture.h"
#include "tools/sim_console/tests/child_program.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using sim_console::Program;
using Clock = std::chrono::steady_clock;

class KelmnetTransferTest : public ProjectFixture {
protected:
    void SetUp() override
    {
        ProjectFixture::SetUp();
        ASSERT_NE(Library().port, 0);
        static int nextNode = 10;
        nodeHost_ = nextNode++;
        panelDb_ = folder_.Path() + "/PANEL.DTB";
        pcDb_ = folder_.Path() + "/LINE1.DTB";
        panelOld_ = Database(3000, 'p');
        ASSERT_TRUE(WriteWholeFile(panelDb_, panelOld_));
        ASSERT_TRUE(host_.Create());
        host_.database = pcDb_;
        host_.node = nodeHost_;
        transfer_ = std::make_unique<CKelmnetTransfer>(host_, 2);
        host_.transfer = transfer_.get();
        ASSERT_EQ(transfer_->GetOpenState(), CKelmnetTransfer::kReady);
    }
    void TearDown() override
    {
        host_.transfer = nullptr;
        transfer_.reset();
        if (node_) {
            node_->Say("quit");
            node_->Wait();
        }
        ProjectFixture::TearDown();
    }

    void StartNode(std::vector<std::string> extra = {})
    {
        std::vector<std::string> argv{KELMNET_NODE_SIM, "--address", "127.0.0." + std::to_string(nodeHost_),
                                      "--port", std::to_string(Library().port), "--channel", "1",
                                      "--database", panelDb_};
        argv.insert(argv.end(), extra.begin(), extra.end());
        // The node is a PC of its own: it must not attach to this process's segment.
        ScopedEnv segment("VARNHT32_SEGMENT", nullptr);
        ScopedEnv settings("VARNHT32_SETTINGS_DIR", nullptr);
        ScopedEnv address("VARNHT32_UDP_ADDRESS", nullptr);
        ScopedEnv port("VARNHT32_UDP_PORT", nullptr);
        node_ = std::make_unique<Program>(argv);
        ASSERT_NE(node_->WaitFor("ready"), "");
    }

    // Ticks until the transfer ends; `each` runs between ticks.
    void Run(const std::function<void()>& each = {}, int limitMs = 60000)
    {
        const auto until = Clock::now() + std::chrono::milliseconds(limitMs);
        while (transfer_->IsTransferring() && Clock::now() < until) {
            driver_.AdvanceTime(CKelmnetTransfer::kPollMs);
            driver_.ProcessEvents();
            if (each)
                each();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        EXPECT_FALSE(transfer_->IsTransferring()) << "the transfer did not end";
    }

    std::string LastMessage() const
    {
        return driver_.MessageBoxes().empty() ? "" : driver_.MessageBoxes().back().text;
    }

    TTestDriver driver_;
    TempFolder folder_;
    std::string panelDb_;
    std::string pcDb_;
    std::string panelOld_;
    int nodeHost_ = 0;
    TestHost host_;
    std::unique_ptr<CKelmnetTransfer> transfer_;
    std::unique_ptr<Program> node_;
};

TEST_F(KelmnetTransferTest, ADatabaseGoesDownAndComesBackUpWithTheProgressBarMoving)
{
    StartNode();
    const std::string image = Database(200000, 'a');
    ASSERT_TRUE(WriteWholeFile(pcDb_, image));

    transfer_->DownloadDatabase();
    EXPECT_FALSE(host_.controlsEnabled);
    EXPECT_EQ(host_.status.back(), "Downloading Database ....");
    Run();
    EXPECT_TRUE(driver_.MessageBoxes().empty()) << LastMessage();
    EXPECT_EQ(node_->WaitFor("download complete"), "download complete 200000 bytes");
    EXPECT_TRUE(Contents(panelDb_) == image) << "the panel's database is the file";
    EXPECT_GT(host_.progress.size(), 50u) << "the bar follows the blocks";
    EXPECT_EQ(host_.progress.back(), 100);
    EXPECT_FALSE(host_.progressFailed);
    EXPECT_TRUE(host_.controlsEnabled);
    EXPECT_EQ(host_.status.back(), "");
    EXPECT_EQ(host_.asked, std::vector<bool>{false}) << "a download asks no background";

    // Up again, over an engineer's file that differs.
    ASSERT_TRUE(WriteWholeFile(pcDb_, Database(5000, 'z')));
    host_.progress.clear();
    transfer_->UploadDatabase();
    EXPECT_EQ(host_.status.back(), "Uploading Database ....");
    Run();
    EXPECT_TRUE(driver_.MessageBoxes().empty()) << LastMessage();
    EXPECT_EQ(node_->WaitFor("upload complete"), "upload complete 200000 bytes");
    EXPECT_TRUE(Contents(pcDb_) == image) << "the uploaded file is the panel's database";
    EXPECT_GT(host_.progress.size(), 50u);
    EXPECT_EQ(host_.progress.back(), 100);
    EXPECT_FALSE(host_.progressFailed);
    EXPECT_FALSE(FileExists(pcDb_ + ".upload"));
}

TEST_F(KelmnetTransferTest, CancelTransferClosesTheStreamAndThePanelKeepsItsDatabase)
{
    StartNode();
    ASSERT_TRUE(WriteWholeFile(pcDb_, Database(50000, 'c')));
    transfer_->DownloadDatabase();
    Run([&] {
        if (!host_.progress.empty() && host_.progress.back() >= 10 && transfer_->IsTransferring())
            host_.OnCancelTransfer();
    });
    EXPECT_NE(node_->WaitFor("download incomplete"), "");
    EXPECT_EQ(node_->WaitFor("closed"), "closed");
    EXPECT_TRUE(Contents(panelDb_) == panelOld_);
    EXPECT_TRUE(host_.progressFailed);
    EXPECT_TRUE(host_.controlsEnabled);
    EXPECT_TRUE(driver_.MessageBoxes().empty()) << "a cancel needs no message: " << LastMessage();
}

// The panel answers a frame with two datagrams, the stream's answer and its
// own frame, and the library reads one of them a poll: the tick that finds
// both in takes both, and the next frame leaves in it. The node is given
// ample time to answer between ticks, so each tick carries a block.
TEST_F(KelmnetTransferTest, EachTickCarriesABlockOnceThePanelHasAnswered)
{
    StartNode();
    const std::string image = Database(10000, 'k');  // 40 blocks
    for (bool upload : {false, true}) {
        SCOPED_TRACE(upload ? "upload" : "download");
        ASSERT_TRUE(WriteWholeFile(pcDb_, upload ? Database(3000, 'z') : image));
        if (upload)
            transfer_->UploadDatabase();
        else
            transfer_->DownloadDatabase();
        int ticks = 0;
        Run([&] {
            ++ticks;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        });
        EXPECT_TRUE(driver_.MessageBoxes().empty()) << LastMessage();
        EXPECT_TRUE(Contents(upload ? pcDb_ : panelDb_) == image);
        // The blocks, and a few ticks for the connection, the stream and the
        // close; two ticks a block would be more than 80.
        EXPECT_LT(ticks, 65);
    }
}

// Every fault ends the transfer as failed, with the red bar and a message
// that names it; the panel's database and the engineer's file stay whole.
TEST_F(KelmnetTransferTest, FaultsEndTheTransferAsFailedAndLoseNothing)
{
    const std::string image = Database(6000, 'f');
    ASSERT_TRUE(WriteWholeFile(panelDb_, image));
    panelOld_ = image;
    struct Case {
        const char* what;
        bool upload;
        std::vector<std::string> faults;
        std::vector<std::string> expected;  // any of these in the message
    };
    const std::vector<Case> cases = {
        {"download closed at frame 3", false, {"close-after 3"}, {"closed the stream"}},
        {"upload closed at frame 3", true, {"close-after 3"}, {"closed the stream"}},
        {"download node lost at frame 4", false, {"exit-after 4"}, {"lost", "did not answer", "closed the stream", "not delivered"}},
        {"upload node lost at frame 4", true, {"exit-after 4"}, {"lost", "did not answer", "closed the stream", "not delivered"}},
        {"announced size larger", true, {"size 6250"}, {"did not answer"}},
        // The panel goes on sending past the size it announced; whether its
        // next frame arrives before the image check runs depends on timing.
        {"announced size smaller on a block boundary", true, {"size 5000"},
         {"not a whole panel database", "sent a frame out of turn"}},
        {"first byte of block 1 flipped", true, {"corrupt 1"}, {"not a whole panel database"}},
        {"first byte of a record header flipped", true, {"corrupt 5"}, {"not a whole panel database"}},
        {"announced size beyond any database", true, {"size 100000000"}, {"more than any panel holds"}},
        {"silent node", false, {"silent"}, {"did not answer for 5 seconds"}},
    };
    const std::string engineers = Database(4000, 'e');
    const std::string download = Database(3000, 'd');
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        nodeHost_ = host_.node = nodeHost_ + 1;
        std::vector<std::string> extra;
        for (const std::string& f : c.faults) {
            extra.push_back("--fault");
            extra.push_back(f);
        }
        node_.reset();
        StartNode(extra);
        ASSERT_TRUE(WriteWholeFile(pcDb_, c.upload ? engineers : download));
        host_.progressFailed = false;
        driver_.AnswerMessageBox(IDOK);
        if (c.upload)
            transfer_->UploadDatabase();
        else
            transfer_->DownloadDatabase();
        Run();
        EXPECT_TRUE(host_.progressFailed);
        EXPECT_TRUE(host_.controlsEnabled);
        const std::string message = LastMessage();
        bool named = false;
        for (const std::string& e : c.expected)
            named = named || message.find(e) != std::string::npos;
        EXPECT_TRUE(named) << message;
        EXPECT_EQ(message.rfind("The transfer was broken off.", 0), 0u) << message;
        EXPECT_TRUE(Contents(panelDb_) == image) << "the panel's database is whole";
        EXPECT_TRUE(Contents(pcDb_) == (c.upload ? engineers : download)) << "the engineer's file is unchanged";
        EXPECT_FALSE(FileExists(pcDb_ + ".upload"));
        // A node that was lost has ended already.
        if (c.faults[0].rfind("exit-after", 0) != 0) {
            node_->Say("quit");
            node_->Wait();
        }
        node_.reset();
    }
}

// Frames a panel should never send, scripted in the node's manual mode.
TEST_F(KelmnetTransferTest, AFrameTooLongOrAShortSizeFrameIsRefusedUnread)
{
    const std::string engineers = Database(4000, 'e');
    struct Case {
        const char* what;
        std::string answer;
        const char* expected;
    };
    std::string longFrame = "send";
    for (int i = 0; i < 255; ++i)
        longFrame += " 5a";
    const Case cases[] = {
        {"255-byte frame", longFrame, "frame of 255 bytes"},
        {"3-byte size frame", "send 10 00 00", "size frame has 3 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        nodeHost_ = host_.node = nodeHost_ + 1;
        node_.reset();
        StartNode();
        node_->Say("manual");
        ASSERT_TRUE(WriteWholeFile(pcDb_, engineers));
        driver_.AnswerMessageBox(IDOK);
        transfer_->UploadDatabase();
        bool answered = false;
        Run([&] {
            if (!answered && node_->WaitFor("frame", 5) != "") {
                node_->Say(c.answer);
                answered = true;
            }
        });
        EXPECT_TRUE(host_.progressFailed);
        EXPECT_NE(LastMessage().find(c.expected), std::string::npos) << LastMessage();
        EXPECT_TRUE(Contents(pcDb_) == engineers);
        node_->Say("quit");
        node_->Wait();
        node_.reset();
    }
}

TEST_F(KelmnetTransferTest, ConnectionFailuresShowTheirStrings)
{
    // No node at the address: the library gives up on the connection.
    ASSERT_TRUE(WriteWholeFile(pcDb_, Database(3000, 'n')));
    driver_.AnswerMessageBox(IDOK);
    const auto start = Clock::now();
    transfer_->DownloadDatabase();
    Run();
    EXPECT_LT(Clock::now() - start, CKelmnetTransfer::kConnectBound);
    EXPECT_EQ(LastMessage(), "Unable to Open Connection to Node");
    EXPECT_EQ(transfer_->GetConnectionResult(), CKelmnetTransfer::kConnectionFailed);
    EXPECT_TRUE(host_.progressFailed);
    EXPECT_TRUE(host_.controlsEnabled);

    // The panel refuses the stream.
    nodeHost_ = host_.node = nodeHost_ + 1;
    StartNode({"--fault", "refuse-streams"});
    driver_.AnswerMessageBox(IDOK);
    transfer_->DownloadDatabase();
    Run();
    EXPECT_EQ(node_->WaitFor("refused"), "refused STREM");
    EXPECT_EQ(LastMessage(), "Unable to Open Stream to Node");
    EXPECT_EQ(transfer_->GetConnectionResult(), CKelmnetTransfer::kStreamFailed);
}

TEST_F(KelmnetTransferTest, ACancelledNodeDialogSendsNothingAndAnEmptyFileGoesDownComplete)
{
    StartNode();
    host_.node = 0;
    ASSERT_TRUE(WriteWholeFile(pcDb_, ""));
    transfer_->DownloadDatabase();
    EXPECT_FALSE(transfer_->IsTransferring());
    EXPECT_TRUE(driver_.MessageBoxes().empty());
    EXPECT_TRUE(host_.progress.empty());
    // An upload cancelled there leaves no new file behind either.
    transfer_->UploadDatabase();
    EXPECT_FALSE(FileExists(pcDb_ + ".upload"));
    EXPECT_EQ(Contents(pcDb_), "");

    host_.node = nodeHost_;
    transfer_->DownloadDatabase();
    Run();
    EXPECT_TRUE(driver_.MessageBoxes().empty()) << LastMessage();
    EXPECT_EQ(node_->WaitFor("open"), "open STREM") << "the first stream is this one";
    EXPECT_EQ(node_->WaitFor("download"), "download started");
    EXPECT_EQ(host_.progress.back(), 100);
    EXPECT_FALSE(host_.progressFailed);
    EXPECT_TRUE(Contents(panelDb_) == panelOld_);
}

TEST_F(KelmnetTransferTest, VersionConfigurationAndTheBackEndsThatAreNotReady)
{
    driver_.AnswerMessageBox(IDOK);
    transfer_->ShowVersion();
    EXPECT_EQ(LastMessage(), "Varnholt Net 32-bit DLL Version: 2.10");

    driver_.OnNextDialog([&](TDialog& d) {
        EXPECT_EQ(d.GetWindowText(), "Kelmnet settings");
        driver_.Click(d, IDCANCEL);
    });
    driver_.AnswerMessageBox(IDOK);
    transfer_->ShowConfiguration();
    EXPECT_EQ(LastMessage(), "For changes to take effect this program must be re-started");

    // Off the NT family the library is never opened.
    CKelmnetTransfer other(host_, 1);
    EXPECT_EQ(other.GetOpenState(), CKelmnetTransfer::kWrongPlatform);
    driver_.AnswerMessageBox(IDOK);
    other.UploadDatabase();
    EXPECT_EQ(LastMessage(), "Wrong Operating System");
    EXPECT_FALSE(FileExists(pcDb_ + ".upload"));

    // The thunk back-end is for Windows 9x: here it never becomes ready.
    CKelmnetThunkTransfer thunk(host_);
    EXPECT_EQ(thunk.GetOpenState(), 0);
    thunk.Cancel();
    driver_.AnswerMessageBox(IDOK);
    thunk.DownloadDatabase();
    EXPECT_EQ(LastMessage(), "Wrong Operating System");
    EXPECT_EQ(driver_.PendingAnswers(), 0);
}

// A project whose channel A runs protocol 141 (the fieldbus panels'),
// compiled by the builder and handed off as the Transfer command does: its
// database goes down to the panel whole.
TEST_F(KelmnetTransferTest, ACompiledProjectOnTheFieldbusProtocolGoesDownWhole)
{
    StartNode();
    const std::string name = "LINE141";
    adatabase& db = CreateAndOpen(name, 9);
    std::uint8_t channels[74] = {};
    PutLe16(channels, 122);
    PutLe16(channels + 2, 141);
    channels[4] = 0;
    PutLe16(channels + 38, 0xFFFF);
    channels[40] = 255;
    ASSERT_EQ(db.PutSystemRecord(122, channels, sizeof channels), 0);
    _QSglobals.NewDatabase();
    const std::string folder = ProjectPath(name);
    ASSERT_EQ(BuildDownloadImage(folder + "/" + name + ".DTB", folder, 9, {}), 0);
    ASSERT_TRUE(WritePrivateProfileString("File Locations", "DatabasePath", folder.c_str(), "QSTRANS.INI"));
    ASSERT_TRUE(WritePrivateProfileString("File Locations", "DatabaseName", (name + ".DTB").c_str(), "QSTRANS.INI"));

    const CFileLocations where = ReadHandOffFile();
    host_.database = where.databasePath + "/" + where.databaseName;
    std::uint16_t comm1 = 0, comm2 = 0;
    CPanelFile(host_.database).ReadChannelProtocols(comm1, comm2);
    EXPECT_EQ(comm1, 141) << "the main dialog offers the fieldbus for this database";

    transfer_->DownloadDatabase();
    Run();
    EXPECT_TRUE(driver_.MessageBoxes().empty()) << LastMessage();
    EXPECT_NE(node_->WaitFor("download complete"), "");
    EXPECT_TRUE(Contents(panelDb_) == Contents(host_.database));
}

TEST(KelmnetErrorStringTest, OpenStatesAndConnectionResults)
{
    struct Case {
        int openState;
        int connection;
        int id;
    } cases[] = {
        {0, 2, 36}, {1, 2, 41}, {2, 2, 40}, {3, 2, 39}, {4, 2, 38}, {5, 2, 37},
        {6, 0, 42}, {6, 1, 43}, {6, 2, 0},  {7, 2, 35}, {-1, 0, 35},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KelmnetErrorString(c.openState, c.connection), c.id) << c.openState << "/" << c.connection;
}

}  // namespace
