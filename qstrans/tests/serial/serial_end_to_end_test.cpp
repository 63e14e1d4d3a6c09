// From a project to the panel: the configuration program's builder
// compiles a project, the hand-off file says where it lies as the Transfer
// command writes it, and the transfer program's dialog, with the route and
// serial port control the program runs, downloads it to the panel
// simulator program on a pseudo-terminal.
#include "platform/base/paths.h"
#include "platform/base/profile.h"
#include "platform/ui/timer.h"
#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/download_image.h"
#include "plintvlr/db/qs_globals.h"
#include "qstrans/serial_port_route.h"
#include "qstrans/tests/ui/transfer_fixture.h"
#include "qstrans/transfer_settings.h"
#include "tools/sim_console/tests/child_program.h"

#include <chrono>
#include <thread>

namespace {

class SerialEndToEndTest : public TransferFixture {
protected:
    SerialEndToEndTest()
    {
        _QSglobals.SetProgramDirectory(program_.Path());
        _QSglobals.SetProjectDirectory("");
        _QSglobals.NewDatabase();
    }
    ~SerialEndToEndTest() override { _QSglobals.NewDatabase(); }

    // Compiles a new project of the panel type as Transfer does, and hands it off.
    std::string CompileAndHandOff(const std::string& name, int panelType)
    {
        adatabase& db = _QSglobals.NewDatabase();
        db.SetPanelType(panelType);
        EXPECT_EQ(db.Create(name), 1);
        EXPECT_EQ(db.OpenProject(name), 1);
        db.EnsureSystemSettingsRecord();
        const std::string folder = adatabase::ProjectFolderFor(name);
        const std::string image = JoinPath(folder, name + ".DTB");
        db.CloseFiles();
        EXPECT_EQ(BuildDownloadImage(image, folder, panelType, {}), 0);
        _QSglobals.NewDatabase();
        // The hand-off file as the configuration program writes it, with its own separators.
        const char* file = "qstrans.ini";
        WritePrivateProfileString("File Locations", "DatabasePath",
                                  ProgramPath("\\DBASE\\" + name + "\\").c_str(), file);
        WritePrivateProfileString("File Locations", "DatabaseName", (name + ".DTB").c_str(), file);
        WritePrivateProfileString("File Locations", "ProtocolPath", ProgramPath("\\PROTOCOL\\").c_str(), file);
        WritePrivateProfileString("File Locations", "SystemPath", ProgramPath("\\CMD\\").c_str(), file);
        WritePrivateProfileString("Quellstor Type", "QuellstorType", "QSE", file);
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(image, bytes));
        return bytes;
    }
};

TEST_F(SerialEndToEndTest, ACompiledProjectReachesThePanelWhole)
{
    const std::string image = CompileAndHandOff("LINE1", 9);
    ASSERT_GT(image.size(), 128u);

    TempFolder panel;
    const std::string link = program_.Path() + "/ttyPANEL";
    sim_console::Program simulator({QS_PANEL_SIM, "--link", link, "--store", panel.Path(), "--no-pacing"});
    ASSERT_NE(simulator.WaitFor("ready"), "");
    ASSERT_TRUE(WriteWholeFile(profile_.Path() + "/SERIAL.INI", "[Ports]\nCOM1=" + link + "\n"));
    TransferSettings().WriteInt("", "Port", 0);

    CQuellstorTransDlg& dialog = Open();
    dialog.SetSerialRoute(std::make_unique<CSerialPortRoute>(dialog));
    EXPECT_EQ(Field(IDC_DATABASE_NAME), "LINE1.DTB");
    driver.Click(dialog, IDC_START_TRANSFER);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    // The step timer runs on the virtual clock, never ahead of the real one.
    while (dialog.pending != 0 && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        driver.AdvanceTime(1);
    }
    EXPECT_EQ(dialog.pending, 0);
    EXPECT_TRUE(driver.MessageBoxes().empty()) << driver.MessageBoxes().back().text;
    EXPECT_EQ(dialog.Progress().GetPos(), 100);
    EXPECT_FALSE(dialog.Progress().IsFailed());
    ASSERT_NE(simulator.WaitFor("stored database.dtb"), "");
    std::string stored;
    ASSERT_TRUE(ReadWholeFile(panel.Path() + "/database.dtb", stored));
    EXPECT_EQ(stored.size(), image.size());
    EXPECT_TRUE(stored == image) << "the panel's database is the compiled file byte for byte";
    simulator.Say("quit");
    simulator.Wait();
}

}  // namespace
