// The main dialog with its fieldbus route on the Kelmnet back-end, against
// the node simulator as the panel: what the engineer does in the dialog
// reaches the panel.

#include "qstrans/kelmnet_route.h"

#include "qstrans/tests/kelmnet/kelmnet_fixture.h"
#include "qstrans/tests/ui/transfer_fixture.h"
#include "qstrans/transfer_settings.h"
#include "tools/sim_console/tests/child_program.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// A database for a panel on the fieldbus (its Comm 1 runs protocol 141),
// `records` kilobytes of data after its settings.
std::string FieldbusDatabase(int records, char fill)
{
    std::vector<ImageRecordSpec> spec{
        {8, 100, PortRecord(9)},
        {8, 102, ProjectInfoRecord("3.3.0", 9)},
        {8, 122, ChannelTableRecord(141, 0, 255, 255)},
    };
    for (int k = 0; k < records; ++k) {
        std::string data(986, '\0');
        for (std::size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<char>(fill + i * 7 + k);
        spec.push_back({1 + k % 5, static_cast<std::uint16_t>(200 + k), data});
    }
    return MakeImage(spec);
}

class KelmnetRouteTest : public TransferFixture {
protected:
    // The node at 127.0.0.`host`: each run gets a host of its own, since the
    // library remembers the numbering of the nodes it talked to.
    void StartNode(int host, const std::vector<std::string>& extra = {})
    {
        ASSERT_NE(Library().port, 0);
        node_.reset();
        nodeHost_ = host;
        std::vector<std::string> argv{KELMNET_NODE_SIM, "--address", "127.0.0." + std::to_string(host), "--port",
                                      std::to_string(Library().port), "--channel", "1", "--database", panelDb_};
        argv.insert(argv.end(), extra.begin(), extra.end());
        // The node is a PC of its own: it must not attach to this process's segment.
        ScopedEnv segment("VARNHT32_SEGMENT", nullptr);
        ScopedEnv settings("VARNHT32_SETTINGS_DIR", nullptr);
        ScopedEnv address("VARNHT32_UDP_ADDRESS", nullptr);
        ScopedEnv port("VARNHT32_UDP_PORT", nullptr);
        node_ = std::make_unique<sim_console::Program>(argv);
        ASSERT_NE(node_->WaitFor("ready"), "");
    }
    void StopNode()
    {
        if (!node_)
            return;
        node_->Say("quit");
        node_->Wait();
        node_.reset();
    }

    // The dialog on a fieldbus panel's database, its route the Kelmnet one,
    // in fieldbus mode.
    CQuellstorTransDlg& OpenInFieldbusMode()
    {
        // The library's settings and segment are in place before it opens.
        EXPECT_NE(Library().port, 0);
        WriteDatabase(9, 141, 255, "3.3.0");
        WriteHandOff();
        TransferSettings().WriteInt("", "Port", 1);
        CQuellstorTransDlg& dialog = Open();
        auto owned = std::make_unique<CKelmnetRoute>(dialog);
        route_ = owned.get();
        dialog.SetFieldbusRoute(std::move(owned));
        driver.OpenMenuPopup(dialog, kSpecialMenu);
        EXPECT_TRUE(driver.ChooseMenuItem(dialog, ID_KELMNET_DATABASE_TRANSFER));
        EXPECT_TRUE(dialog.IsFieldbusMode());
        return dialog;
    }

    // Start Transfer for the chosen radio button, the node dialog answered
    // with the node.
    void Start(CQuellstorTransDlg& dialog, int radio)
    {
        driver.Click(dialog, radio);
        driver.OnNextDialog([&](TDialog& d) {
            driver.Type(d, IDC_NODE_ID, std::to_string(nodeHost_));
            driver.Click(d, IDOK);
        });
        driver.Click(dialog, IDC_START_TRANSFER);
        EXPECT_TRUE(route_->IsTransferring());
    }

    // Ticks the poll timer until the transfer ends; `each` runs between ticks.
    void Run(const std::function<void()>& each = {})
    {
        const auto until = Clock::now() + std::chrono::seconds(60);
        while (route_ && route_->IsTransferring() && Clock::now() < until) {
            driver.AdvanceTime(100);
            driver.ProcessEvents();
            if (each)
                each();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ASSERT_FALSE(route_ && route_->IsTransferring()) << "the transfer did not end";
    }

    std::string LastMessage() const
    {
        return driver.MessageBoxes().empty() ? "" : driver.MessageBoxes().back().text;
    }

    // After a transfer in fieldbus mode: the controls are back, except the
    // two downloads the fieldbus cannot carry.
    void ExpectControlsBackInFieldbusMode()
    {
        for (int id : {IDC_START_TRANSFER, IDC_EXIT_PROGRAM, IDC_DOWNLOAD_DATABASE, IDC_UPLOAD_DATABASE,
                       IDC_SELECT_DATABASE})
            EXPECT_TRUE(Enabled(id)) << id;
        EXPECT_FALSE(Enabled(IDC_DOWNLOAD_PROTOCOL));
        EXPECT_FALSE(Enabled(IDC_DOWNLOAD_SYSTEM));
        EXPECT_EQ(driver.OpenMenuItem(*dialog_, ID_SETTINGS_PORT), MF_GRAYED);
        EXPECT_TRUE(dialog_->IsFieldbusMode());
        EXPECT_EQ(Field(IDC_STATUS), "");
    }

    ~KelmnetRouteTest() override
    {
        Close();
        StopNode();
    }

    TempFolder panel_;
    std::string panelDb_ = panel_.Path() + "/PANEL.DTB";
    int nodeHost_ = 0;
    CKelmnetRoute* route_ = nullptr;
    std::unique_ptr<sim_console::Program> node_;
};

TEST_F(KelmnetRouteTest, StartTransferInFieldbusModeMovesTheDatabaseDownAndBackUp)
{
    ASSERT_TRUE(WriteWholeFile(panelDb_, Database(3000, 'p')));
    StartNode(12);
    CQuellstorTransDlg& dialog = OpenInFieldbusMode();
    const std::string file = Db() + "LINE1.DTB";
    const std::string image = FieldbusDatabase(40, 'a');
    ASSERT_TRUE(WriteWholeFile(file, image));

    Start(dialog, IDC_DOWNLOAD_DATABASE);
    EXPECT_FALSE(Enabled(IDC_START_TRANSFER)) << "the controls rest while the transfer runs";
    EXPECT_EQ(Field(IDC_STATUS), "Downloading Database ....");
    std::set<int> seen;
    Run([&] { seen.insert(dialog.Progress().GetPos()); });
    EXPECT_TRUE(driver.MessageBoxes().empty()) << LastMessage();
    EXPECT_EQ(node_->WaitFor("download complete"), "download complete " + std::to_string(image.size()) + " bytes");
    EXPECT_TRUE(Contents(panelDb_) == image) << "the panel's database is the file";
    EXPECT_GT(seen.size(), 10u) << "the bar follows the blocks";
    EXPECT_EQ(dialog.Progress().GetPos(), 100) << "Complete";
    EXPECT_FALSE(dialog.Progress().IsFailed());
    ExpectControlsBackInFieldbusMode();

    // Up again, over an engineer's file that differs: the file becomes the panel's database.
    ASSERT_TRUE(WriteWholeFile(file, FieldbusDatabase(2, 'z')));
    seen.clear();
    Start(dialog, IDC_UPLOAD_DATABASE);
    EXPECT_EQ(Field(IDC_STATUS), "Uploading Database ....");
    Run([&] { seen.insert(dialog.Progress().GetPos()); });
    EXPECT_TRUE(driver.MessageBoxes().empty()) << LastMessage();
    EXPECT_EQ(node_->WaitFor("upload complete"), "upload complete " + std::to_string(image.size()) + " bytes");
    EXPECT_TRUE(Contents(file) == image) << "the uploaded file is the panel's database, byte for byte";
    EXPECT_FALSE(FileExists(file + ".upload"));
    EXPECT_GT(seen.size(), 10u);
    EXPECT_EQ(dialog.Progress().GetPos(), 100);
    EXPECT_TRUE(dialog.Progress().IsActive());
    EXPECT_FALSE(dialog.Progress().IsFailed());
    ExpectControlsBackInFieldbusMode();
    SaveScreenshot(driver.Grab(dialog), "qstrans_fieldbus_upload_complete.png");
}

// However a download is stopped, the panel hears the stream close and keeps
// the database it had; the dialog shows the red bar and gives the controls
// back as fieldbus mode has them.
TEST_F(KelmnetRouteTest, AStoppedDownloadClosesTheStreamAndThePanelKeepsItsDatabase)
{
    const std::string old = Database(3000, 'p');
    CQuellstorTransDlg& dialog = OpenInFieldbusMode();
    ASSERT_TRUE(WriteWholeFile(Db() + "LINE1.DTB", FieldbusDatabase(50, 'c')));
    struct Case {
        const char* what;
        std::vector<std::string> fault;
        std::function<void()> stop;  // empty: the panel ends it
        const char* message;         // the message the engineer gets, if any
    };
    const Case cases[] = {
        {"Cancel Transfer", {}, [&] { driver.Click(dialog, IDC_CANCEL_TRANSFER); }, nullptr},
        {"Escape",
         {},
         [&] {
             driver.Focus(dialog, IDC_CANCEL_TRANSFER);
             driver.PressKey(VK_ESCAPE);
         },
         nullptr},
        {"the panel closes the stream", {"--fault", "close-after 3"}, {}, "closed the stream"},
    };
    int host = 13;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteWholeFile(panelDb_, old));
        StartNode(host++, c.fault);
        Start(dialog, IDC_DOWNLOAD_DATABASE);
        if (c.message)
            driver.AnswerMessageBox(IDOK);
        Run([&] {
            if (c.stop && route_->IsTransferring() && dialog.Progress().GetPos() >= 10)
                c.stop();
        });
        EXPECT_NE(node_->WaitFor("download incomplete"), "");
        EXPECT_EQ(node_->WaitFor("closed"), "closed");
        EXPECT_TRUE(Contents(panelDb_) == old) << "the panel keeps its database";
        EXPECT_TRUE(dialog.IsWindow()) << "the dialog stays open";
        EXPECT_TRUE(dialog.Progress().IsFailed()) << "the bar is red";
        ExpectControlsBackInFieldbusMode();
        if (c.message) {
            EXPECT_NE(LastMessage().find(c.message), std::string::npos) << LastMessage();
        } else {
            EXPECT_TRUE(driver.MessageBoxes().empty()) << "a cancel needs no message: " << LastMessage();
        }
        StopNode();
    }

    // Closing the dialog during a download stops it as Cancel does before the dialog ends.
    ASSERT_TRUE(WriteWholeFile(panelDb_, old));
    StartNode(host++);
    Start(dialog, IDC_DOWNLOAD_DATABASE);
    Run([&] {
        if (route_ && dialog.Progress().GetPos() >= 10) {
            route_ = nullptr;
            driver.CloseBox(dialog);
        }
    });
    EXPECT_FALSE(dialog_->IsWindow());
    EXPECT_NE(node_->WaitFor("download incomplete"), "");
    EXPECT_EQ(node_->WaitFor("closed"), "closed");
    EXPECT_TRUE(Contents(panelDb_) == old);
}

TEST_F(KelmnetRouteTest, TheFieldbusMenuItemsReachTheLibrary)
{
    RouteLog log;
    CQuellstorTransDlg& dialog = OpenInFieldbusMode();

    driver.AnswerMessageBox(IDOK);
    EXPECT_TRUE(driver.ChooseMenuItem(dialog, ID_VARNHOLT_NET_VERSION));
    EXPECT_EQ(LastMessage(), "Varnholt Net 32-bit DLL Version: 2.10");

    bool settingsShown = false;
    driver.OnNextDialog([&](TDialog& d) {
        settingsShown = d.GetWindowText() == "Kelmnet settings";
        driver.Click(d, IDCANCEL);
    });
    driver.AnswerMessageBox(IDOK);
    EXPECT_TRUE(driver.ChooseMenuItem(dialog, ID_KELMNET_CONFIGURATION));
    EXPECT_TRUE(settingsShown) << "the library's settings dialog";
    EXPECT_EQ(LastMessage(), "For changes to take effect this program must be re-started");
    EXPECT_EQ(driver.PendingAnswers(), 0);

    // With a serial route there, the mode holds back what only the serial
    // line can do, and gives it back when it goes off.
    dialog.SetSerialRoute(std::make_unique<FakeSerialRoute>(log));
    EXPECT_TRUE(driver.ChooseMenuItem(dialog, ID_KELMNET_DATABASE_TRANSFER));
    ASSERT_FALSE(dialog.IsFieldbusMode());
    const unsigned serialItems[] = {ID_SETTINGS_PORT, ID_SPECIAL_ERASE_FLASH, ID_SPECIAL_GOTO_TRANSFER};
    for (bool fieldbus : {true, false}) {
        SCOPED_TRACE(fieldbus ? "fieldbus mode" : "serial mode");
        EXPECT_TRUE(driver.ChooseMenuItem(dialog, ID_KELMNET_DATABASE_TRANSFER));
        EXPECT_EQ(dialog.IsFieldbusMode(), fieldbus);
        EXPECT_EQ(Enabled(IDC_DOWNLOAD_PROTOCOL), !fieldbus);
        EXPECT_EQ(Enabled(IDC_DOWNLOAD_SYSTEM), !fieldbus);
        for (unsigned id : serialItems)
            EXPECT_EQ(driver.OpenMenuItem(dialog, id), fieldbus ? MF_GRAYED : 0u) << id;
        EXPECT_TRUE(Enabled(IDC_START_TRANSFER));
    }
}

}  // namespace
