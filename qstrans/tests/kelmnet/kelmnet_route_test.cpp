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
#include <memory>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

class KelmnetRouteTest : public TransferFixture {
protected:
    void StartNode()
    {
        ASSERT_NE(Library().port, 0);
        panelDb_ = panel_.Path() + "/PANEL.DTB";
        ASSERT_TRUE(WriteWholeFile(panelDb_, Database(3000, 'p')));
        std::vector<std::string> argv{KELMNET_NODE_SIM, "--address", "127.0.0." + std::to_string(kNode), "--port",
                                      std::to_string(Library().port), "--channel", "1", "--database", panelDb_};
        // The node is a PC of its own: it must not attach to this process's segment.
        ScopedEnv segment("VARNHT32_SEGMENT", nullptr);
        ScopedEnv settings("VARNHT32_SETTINGS_DIR", nullptr);
        ScopedEnv address("VARNHT32_UDP_ADDRESS", nullptr);
        ScopedEnv port("VARNHT32_UDP_PORT", nullptr);
        node_ = std::make_unique<sim_console::Program>(argv);
        ASSERT_NE(node_->WaitFor("ready"), "");
    }
    ~KelmnetRouteTest() override
    {
        Close();
        if (node_) {
            node_->Say("quit");
            node_->Wait();
        }
    }

    static constexpr int kNode = 12;
    TempFolder panel_;
    std::string panelDb_;
    std::unique_ptr<sim_console::Program> node_;
};

TEST_F(KelmnetRouteTest, StartTransferInFieldbusModeDownloadsTheDatabaseToTheNode)
{
    StartNode();
    WriteDatabase(9, 141, 255, "3.3.0");
    WriteHandOff();
    TransferSettings().WriteInt("", "Port", 1);
    CQuellstorTransDlg& dialog = Open();
    auto owned = std::make_unique<CKelmnetRoute>(dialog);
    CKelmnetRoute* route = owned.get();
    dialog.SetFieldbusRoute(std::move(owned));
    driver.OpenMenuPopup(dialog, kSpecialMenu);
    ASSERT_TRUE(driver.ChooseMenuItem(dialog, ID_KELMNET_DATABASE_TRANSFER));
    ASSERT_TRUE(dialog.IsFieldbusMode());

    driver.OnNextDialog([&](TDialog& d) {
        driver.Type(d, IDC_NODE_ID, std::to_string(kNode));
        driver.Click(d, IDOK);
    });
    driver.Click(dialog, IDC_START_TRANSFER);
    EXPECT_FALSE(Enabled(IDC_START_TRANSFER)) << "the controls rest while the transfer runs";
    EXPECT_EQ(Field(IDC_STATUS), "Downloading Database ....");

    const auto until = Clock::now() + std::chrono::seconds(60);
    while (route->IsTransferring() && Clock::now() < until) {
        driver.AdvanceTime(100);
        driver.ProcessEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_FALSE(route->IsTransferring()) << "the transfer did not end";
    EXPECT_TRUE(driver.MessageBoxes().empty()) << driver.MessageBoxes().back().text;
    EXPECT_NE(node_->WaitFor("download complete"), "");
    const std::string file = Contents(Db() + "LINE1.DTB");
    EXPECT_TRUE(Contents(panelDb_) == file) << "the panel's database is the file";
    EXPECT_TRUE(Enabled(IDC_START_TRANSFER));
}

}  // namespace
