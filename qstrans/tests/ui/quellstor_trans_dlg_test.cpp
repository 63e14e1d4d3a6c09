// The main dialog as the engineer uses it: the hand-off file's files and the
// protocol names derived from the database, the four choices and the file
// buttons, the start of a transfer (handed to its route, or refused plainly
// without a database), the menu and its fieldbus items, and the place the
// dialog keeps between runs.
#include "qstrans/tests/ui/transfer_fixture.h"

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/ui/help.h"
#include "platform/ui/message_box.h"
#include "platform/ui/window_api.h"
#include "qstrans/transfer_settings.h"

#include <QWidget>

namespace {

using MainDialogTest = TransferFixture;

// The descriptions a file dialog listed, without the patterns the dialog adds.
std::vector<std::string> Descriptions(const TTestDriver::ShownFileDialog& shown)
{
    std::vector<std::string> out;
    for (const std::string& f : shown.filters)
        out.push_back(f.substr(0, f.rfind(" (")));
    return out;
}

TEST_F(MainDialogTest, ShowsTheHandOffFilesAndTheDerivedProtocolNames)
{
    WriteDatabase(9, 141, 7, "3.3.0");
    WriteHandOff();
    CQuellstorTransDlg& dialog = Open();
    EXPECT_EQ(dialog.GetCaption(), "Quellstor Transfer Utility");
    EXPECT_EQ(Field(IDC_DATABASE_NAME), "LINE1.DTB");
    EXPECT_EQ(Field(IDC_PROTOCOL1_NAME), "141.p1e");
    EXPECT_EQ(Field(IDC_PROTOCOL2_NAME), "07.p2e");
    EXPECT_EQ(Field(IDC_SYSTEM_NAME), "");
    EXPECT_TRUE(Checked(IDC_DOWNLOAD_DATABASE));
    EXPECT_FALSE(dialog.Progress().IsActive());
    const QImage shot = driver.Grab(dialog);
    SaveScreenshot(shot, "qstrans_main_dialog.png");

    // The file name fields read on white; the status line keeps the dialog's colour.
    for (int id : {IDC_DATABASE_NAME, IDC_PROTOCOL1_NAME, IDC_PROTOCOL2_NAME, IDC_SYSTEM_NAME}) {
        TWindow* field = dialog.ChildWithId(id);
        const QImage pixels = driver.Grab(*field);
        EXPECT_EQ(pixels.pixel(pixels.width() - 4, pixels.height() / 2) & 0xFFFFFFu, 0xFFFFFFu) << id;
        QImage canvas(4, 4, QImage::Format_RGB32);
        TDC dc(canvas);
        const auto* brush = reinterpret_cast<const TBrush*>(
            dialog.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(&dc), HandleToLParam(field->GetHandle())));
        ASSERT_NE(brush, nullptr) << id;
        EXPECT_EQ(brush->GetColor(), TColor::White);
    }
    QImage canvas(4, 4, QImage::Format_RGB32);
    TDC dc(canvas);
    EXPECT_EQ(dialog.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(&dc),
                                 HandleToLParam(dialog.GetDlgItem(IDC_STATUS))),
              0);

    // No route yet: what would need one is greyed, and the fieldbus items stay away.
    EXPECT_FALSE(Enabled(IDC_START_TRANSFER));
    EXPECT_EQ(driver.OpenMenuItem(dialog, ID_SPECIAL_ERASE_FLASH), MF_GRAYED);
    EXPECT_EQ(driver.OpenMenuItem(dialog, ID_SPECIAL_GOTO_TRANSFER), MF_GRAYED);
    EXPECT_EQ(driver.OpenMenuPopup(dialog, kSpecialMenu)->GetMenuItemCount(), 2);
}

TEST_F(MainDialogTest, WithoutAHandOffFileTheFieldsShowABlank)
{
    RouteLog log;
    CQuellstorTransDlg& dialog = Open();
    EXPECT_EQ(Field(IDC_DATABASE_NAME), " ");
    EXPECT_EQ(Field(IDC_PROTOCOL1_NAME), "");
    EXPECT_EQ(Field(IDC_PROTOCOL2_NAME), "");

    // Start Transfer says that no file was chosen, not a blank name's file error.
    dialog.SetSerialRoute(std::make_unique<FakeSerialRoute>(log));
    driver.OnNextDialog([&](TDialog& d) { driver.Click(d, IDOK); });
    driver.AnswerMessageBox(IDOK);
    driver.Click(dialog, IDC_START_TRANSFER);
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    const std::string& text = driver.MessageBoxes()[0].text;
    EXPECT_NE(text.find("No database file has been chosen"), std::string::npos) << text;
    EXPECT_EQ(text.find(": No such file"), std::string::npos) << text;
    EXPECT_TRUE(log.calls.empty());
}

TEST_F(MainDialogTest, ChoicesUncheckTheOnesThatCannotGoWithThem)
{
    WriteHandOff();
    CQuellstorTransDlg& dialog = Open();
    dialog.Progress().SetActive(true);
    driver.Click(dialog, IDC_DOWNLOAD_PROTOCOL);
    EXPECT_TRUE(Checked(IDC_DOWNLOAD_DATABASE));
    EXPECT_TRUE(Checked(IDC_DOWNLOAD_PROTOCOL));
    EXPECT_FALSE(dialog.Progress().IsActive());
    driver.Click(dialog, IDC_DOWNLOAD_SYSTEM);
    EXPECT_FALSE(Checked(IDC_DOWNLOAD_DATABASE));
    EXPECT_FALSE(Checked(IDC_DOWNLOAD_PROTOCOL));
    EXPECT_TRUE(Checked(IDC_DOWNLOAD_SYSTEM));
    driver.Click(dialog, IDC_DOWNLOAD_DATABASE);
    EXPECT_FALSE(Checked(IDC_DOWNLOAD_SYSTEM));
    driver.Click(dialog, IDC_UPLOAD_DATABASE);
    EXPECT_FALSE(Checked(IDC_DOWNLOAD_DATABASE));
    EXPECT_TRUE(Checked(IDC_UPLOAD_DATABASE));
}

TEST_F(MainDialogTest, FileButtonsOfferTheFilesOfThePanel)
{
    struct Case {
        int panelType;
        int protocolFilterIndex;
    };
    const Case cases[] = {{11, 2}, {9, 1}, {14, 1}, {25, 1}, {26, 1}, {19, 4}, {24, 4}, {15, 3}, {12, 3}};
    WriteHandOff();
    for (const Case& c : cases) {
        WriteDatabase(c.panelType);
        CQuellstorTransDlg& dialog = Open();
        driver.CancelFileDialog();
        driver.Click(dialog, IDC_SELECT_PROTOCOL1);
        ASSERT_FALSE(driver.FileDialogs().empty());
        const auto& shown = driver.FileDialogs().back();
        EXPECT_EQ(shown.title, "Select Protocol File");
        EXPECT_EQ(shown.filters.size(), 4u);
        EXPECT_EQ(shown.filterIndex, c.protocolFilterIndex) << "panel type " << c.panelType;
        EXPECT_FALSE(shown.save);
        EXPECT_EQ(Field(IDC_PROTOCOL1_NAME), "07." + std::string(c.panelType == 11   ? "pcd"
                                                                : c.panelType >= 19 && c.panelType <= 24 ? "pcr"
                                                                : c.panelType == 15 ? "pcg"
                                                                : c.panelType == 12 ? "???"
                                                                                    : "p1e"))
            << "a cancelled choice changes nothing";
        Close();
    }

    // Each button: its title and filter; a chosen file shows in its field.
    WriteDatabase(9);
    ASSERT_TRUE(WriteWholeFile(Folder("PROTOCOL") + "07.p2e", "driver"));
    CQuellstorTransDlg& dialog = Open();
    driver.AnswerFileDialog("07.p2e");
    driver.Click(dialog, IDC_SELECT_PROTOCOL2);
    EXPECT_EQ(Descriptions(driver.FileDialogs().back()), std::vector<std::string>{"QSRTB/SWAQ(*.p2e)"});
    EXPECT_EQ(Field(IDC_PROTOCOL2_NAME), "07.p2e");
    EXPECT_EQ(app_.protocolPath2, Folder("PROTOCOL"));

    driver.CancelFileDialog();
    driver.Click(dialog, IDC_SELECT_SYSTEM);
    EXPECT_EQ(driver.FileDialogs().back().title, "Select System Software File");
    EXPECT_EQ(Descriptions(driver.FileDialogs().back()), std::vector<std::string>{"Command Files(*.cmd)"});

    // Another database: its protocol names follow it.
    WriteDatabase(11, 3, 255, "5.2.0", "OTHER.DTB");
    driver.AnswerFileDialog("OTHER.DTB");
    driver.Click(dialog, IDC_SELECT_DATABASE);
    EXPECT_EQ(driver.FileDialogs().back().title, "Select Database File");
    EXPECT_FALSE(driver.FileDialogs().back().save);
    EXPECT_EQ(Field(IDC_DATABASE_NAME), "OTHER.DTB");
    EXPECT_EQ(Field(IDC_PROTOCOL1_NAME), "03.pcd");
    EXPECT_EQ(Field(IDC_PROTOCOL2_NAME), "");

    // An upload names a new file: a save dialog that offers to create it.
    driver.Click(dialog, IDC_UPLOAD_DATABASE);
    driver.AnswerFileDialog("FROMPANEL.DTB");
    driver.AnswerMessageBox(IDYES);
    driver.Click(dialog, IDC_SELECT_DATABASE);
    EXPECT_TRUE(driver.FileDialogs().back().save);
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_NE(driver.MessageBoxes()[0].text.find("create"), std::string::npos) << driver.MessageBoxes()[0].text;
    EXPECT_EQ(Field(IDC_DATABASE_NAME), "FROMPANEL.DTB");
    EXPECT_EQ(app_.databasePath, Db());
}

TEST_F(MainDialogTest, SystemSoftwareOfAPanelStartsAtItsCommandFile)
{
    WriteHandOff();
    for (const char* name : {"KQSE.cmd", "BQSE.cmd", "AQSK.cmd"})
        ASSERT_TRUE(WriteWholeFile(Folder("CMD") + name, "cmd"));
    CQuellstorTransDlg& dialog = Open();
    driver.AnswerFileDialog("KQSE.cmd");
    dialog.SelectFile(CQuellstorTransDlg::kItemSystem, 14);
    const auto& shown = driver.FileDialogs().back();
    ASSERT_EQ(shown.filters.size(), 1u);
    EXPECT_EQ(Descriptions(shown), std::vector<std::string>{"Command Files"});
    EXPECT_NE(shown.filters[0].find("[qQ][sS][eE]"), std::string::npos) << shown.filters[0];
    EXPECT_EQ(shown.name, "BQSE.cmd");
    EXPECT_EQ(Field(IDC_SYSTEM_NAME), "KQSE.cmd");
    EXPECT_EQ(app_.systemPath, Folder("CMD"));
}

TEST_F(MainDialogTest, StartHandsTheKindToTheRouteOrSaysThereIsNoDatabase)
{
    RouteLog log;
    WriteHandOff("MISSING.DTB");
    CQuellstorTransDlg& dialog = Open();
    dialog.SetSerialRoute(std::make_unique<FakeSerialRoute>(log));
    EXPECT_TRUE(Enabled(IDC_START_TRANSFER));

    // "Port" never chosen: the port dialog comes first.
    driver.OnNextDialog([&](TDialog& d) {
        EXPECT_EQ(d.GetCaption(), "Comm Port Selection");
        driver.Click(d, IDOK);
    });
    driver.AnswerMessageBox(IDOK);
    driver.Click(dialog, IDC_START_TRANSFER);
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    const std::string& text = driver.MessageBoxes()[0].text;
    EXPECT_NE(text.find(Db() + "MISSING.DTB: No such file or directory"), std::string::npos) << text;
    EXPECT_NE(text.find("Transfer command"), std::string::npos) << text;
    EXPECT_EQ(driver.MessageBoxes()[0].flags & MB_ICONMASK, MB_ICONSTOP);
    EXPECT_TRUE(log.calls.empty()) << "nothing is sent";
    EXPECT_EQ(ReadPortSetting(), 0);

    // With the database there, each choice goes to the route as its kind.
    WriteDatabase(9, 7, 255, "5.2.0", "MISSING.DTB");
    const std::pair<int, std::string> kinds[] = {{IDC_DOWNLOAD_DATABASE, "serial 2"},
                                                 {IDC_DOWNLOAD_SYSTEM, "serial 4"},
                                                 {IDC_UPLOAD_DATABASE, "serial 3"}};
    for (const auto& [radio, call] : kinds) {
        driver.Click(dialog, radio);
        driver.Click(dialog, IDC_START_TRANSFER);
        ASSERT_FALSE(log.calls.empty());
        EXPECT_EQ(log.calls.back(), call);
    }
    dialog.CheckDlgButton(IDC_UPLOAD_DATABASE, BST_UNCHECKED);
    dialog.CheckDlgButton(IDC_DOWNLOAD_PROTOCOL, BST_CHECKED);
    driver.Click(dialog, IDC_START_TRANSFER);
    EXPECT_EQ(log.calls.back(), "serial 1");

    EXPECT_TRUE(driver.ChooseMenuItem(dialog, ID_SPECIAL_ERASE_FLASH));
    EXPECT_TRUE(driver.ChooseMenuItem(dialog, ID_SPECIAL_GOTO_TRANSFER));
    EXPECT_EQ(log.calls.back(), "goto transfer");
    EXPECT_EQ(driver.MessageBoxes().size(), 1u);
}

TEST_F(MainDialogTest, ARunningTransferGreysTheControlsAndCancelMarksItFailed)
{
    RouteLog log;
    WriteDatabase(9);
    WriteHandOff();
    CQuellstorTransDlg& dialog = Open();
    dialog.SetSerialRoute(std::make_unique<FakeSerialRoute>(log));
    dialog.DisableControls();
    for (int id : {IDC_START_TRANSFER, IDC_EXIT_PROGRAM, IDC_SELECT_DATABASE, IDC_SELECT_SYSTEM, IDC_UPLOAD_DATABASE})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_TRUE(Enabled(IDC_CANCEL_TRANSFER));
    EXPECT_EQ(driver.OpenMenuItem(dialog, ID_SETTINGS_PORT), MF_GRAYED);
    EXPECT_EQ(driver.OpenMenuItem(dialog, ID_FILE_EXIT), MF_GRAYED);

    dialog.kind = CQuellstorTransDlg::kDatabase;
    dialog.Progress().SetActive(true);
    dialog.SetDlgItemText(IDC_STATUS, "Downloading Database ....");
    driver.Click(dialog, IDC_CANCEL_TRANSFER);
    EXPECT_TRUE(dialog.IsWindow()) << "the dialog stays open";
    EXPECT_TRUE(dialog.Progress().IsFailed());
    EXPECT_EQ(dialog.kind, CQuellstorTransDlg::kNone);
    EXPECT_EQ(Field(IDC_STATUS), "");
    EXPECT_EQ(log.calls.back(), "serial cancel");
    for (int id : {IDC_START_TRANSFER, IDC_EXIT_PROGRAM, IDC_SELECT_DATABASE, IDC_DOWNLOAD_PROTOCOL})
        EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_EQ(driver.OpenMenuItem(dialog, ID_SETTINGS_PORT), 0u);
    EXPECT_TRUE(dialog.GetExStyle() & WS_EX_TOPMOST) << "after a transfer the dialog comes on top";
    SetProgramActive(false);
    EXPECT_FALSE(dialog.GetExStyle() & WS_EX_TOPMOST);
    SetProgramActive(true);
}

TEST_F(MainDialogTest, FieldbusItemsFollowTheProtocolAndTheModeChangesWhatCanBeChosen)
{
    RouteLog log;
    WriteDatabase(9, 141, 255, "3.3.0");
    WriteHandOff();
    CQuellstorTransDlg& dialog = Open();
    dialog.SetFieldbusRoute(std::make_unique<FakeFieldbusRoute>(log));
    TMenu* special = driver.OpenMenuPopup(dialog, kSpecialMenu);
    ASSERT_EQ(special->GetMenuItemCount(), 5);
    EXPECT_EQ(driver.MenuItemText(dialog, ID_KELMNET_DATABASE_TRANSFER), "Kelmnet &Database Transfer");
    EXPECT_EQ(driver.OpenMenuPopup(dialog, kSpecialMenu)->GetMenuItemCount(), 5) << "added once";

    EXPECT_TRUE(driver.ChooseMenuItem(dialog, ID_KELMNET_DATABASE_TRANSFER));
    EXPECT_TRUE(dialog.IsFieldbusMode());
    EXPECT_EQ(driver.OpenMenuItem(dialog, ID_KELMNET_DATABASE_TRANSFER), MF_CHECKED);
    EXPECT_FALSE(Enabled(IDC_DOWNLOAD_PROTOCOL));
    EXPECT_FALSE(Enabled(IDC_DOWNLOAD_SYSTEM));
    EXPECT_EQ(driver.OpenMenuItem(dialog, ID_SETTINGS_PORT), MF_GRAYED);
    EXPECT_TRUE(Enabled(IDC_START_TRANSFER));

    TransferSettings().WriteInt("", "Port", 1);
    driver.Click(dialog, IDC_START_TRANSFER);
    driver.Click(dialog, IDC_UPLOAD_DATABASE);
    driver.Click(dialog, IDC_START_TRANSFER);
    EXPECT_TRUE(driver.ChooseMenuItem(dialog, ID_KELMNET_CONFIGURATION));
    EXPECT_TRUE(driver.ChooseMenuItem(dialog, ID_VARNHOLT_NET_VERSION));
    EXPECT_EQ(log.calls, (std::vector<std::string>{"fieldbus download", "fieldbus upload", "fieldbus configuration",
                                                   "fieldbus version"}));

    // Back to the serial mode.
    EXPECT_TRUE(driver.ChooseMenuItem(dialog, ID_KELMNET_DATABASE_TRANSFER));
    EXPECT_FALSE(dialog.IsFieldbusMode());
    EXPECT_TRUE(Enabled(IDC_DOWNLOAD_PROTOCOL));
    EXPECT_FALSE(Enabled(IDC_START_TRANSFER)) << "no serial route yet";

    // A database whose Comm 1 protocol is another: the items go.
    WriteDatabase(9, 7, 255, "3.3.0", "OTHER.DTB");
    driver.Click(dialog, IDC_DOWNLOAD_DATABASE);
    driver.AnswerFileDialog("OTHER.DTB");
    driver.Click(dialog, IDC_SELECT_DATABASE);
    EXPECT_EQ(driver.OpenMenuPopup(dialog, kSpecialMenu)->GetMenuItemCount(), 2);
}

TEST_F(MainDialogTest, AboutAndHelp)
{
    CQuellstorTransDlg& dialog = Open();
    driver.AnswerMessageBox(IDOK);
    EXPECT_TRUE(driver.ChooseMenuItem(dialog, ID_APP_ABOUT));
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].caption, "About Quellstor Transfer Utility");
    EXPECT_NE(driver.MessageBoxes()[0].text.find("Ver 5.2"), std::string::npos);
    EXPECT_EQ(driver.MessageBoxes()[0].flags & MB_ICONMASK, MB_ICONINFORMATION);

    driver.AnswerMessageBox(IDOK);  // no help is installed here
    EXPECT_TRUE(driver.ChooseMenuItem(dialog, ID_HELP_CONTENTS));
    ASSERT_FALSE(HelpRequests().empty());
    EXPECT_EQ(HelpRequests().back().file, program_.Path() + "/HELP/PLINTVLR.HLP");
    EXPECT_EQ(HelpRequests().back().command, HELP_CONTEXT);
    EXPECT_EQ(HelpRequests().back().data, 131174u);
}

TEST_F(MainDialogTest, ThePlaceIsKeptBetweenRunsAndAPlaceOffTheDesktopStartsAtZero)
{
    WriteHandOff();
    // Exit Program stores the place.
    driver.OnNextDialog([&](TDialog& d) {
        d.SetWindowPos(nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        driver.Click(d, IDC_EXIT_PROGRAM);
    });
    app_.ReadFileLocations();
    EXPECT_EQ(app_.RunMainDialog(), IDOK);
    EXPECT_EQ(TransferSettings().GetInt("", "x", -1), 40);
    EXPECT_EQ(TransferSettings().GetInt("", "y", -1), 30);

    // The next run starts there; the close box stores it too.
    driver.OnNextDialog([&](TDialog& d) {
        EXPECT_EQ(d.GetWindowRect().left, 40);
        EXPECT_EQ(d.GetWindowRect().top, 30);
        d.SetWindowPos(nullptr, 70, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        driver.CloseBox(d);
    });
    app_.ReadFileLocations();
    app_.RunMainDialog();
    EXPECT_EQ(TransferSettings().GetInt("", "x", -1), 70);

    // Off the desktop, or mistyped by hand: 0.
    for (const char* place : {"x=100000\ny=60\n", "x=-5\ny=99999\n", "x=7abc\ny=\n"}) {
        ASSERT_TRUE(WriteWholeFile(TransferSettings().GetFilePath(), std::string("[QSTRANS]\n") + place));
        driver.OnNextDialog([&](TDialog& d) {
            const std::string p = place;
            EXPECT_EQ(d.GetWindowRect().left, 0) << p;
            EXPECT_EQ(d.GetWindowRect().top, p == "x=100000\ny=60\n" ? 60 : 0) << p;
            driver.Click(d, IDC_EXIT_PROGRAM);
        });
        app_.ReadFileLocations();
        app_.RunMainDialog();
    }
}

TEST_F(MainDialogTest, AHandOffValueTooLongIsRefusedPlainlyNotUsedCut)
{
    ASSERT_TRUE(WriteWholeFile(profile_.Path() + "/QSTRANS.INI",
                               "[File Locations]\nDatabasePath=/" + std::string(5000, 'd') +
                                   "/\nDatabaseName=LINE1.DTB\n"));
    driver.AnswerMessageBox(IDOK);
    driver.OnNextDialog([&](TDialog& d) {
        EXPECT_EQ(d.GetDlgItemText(IDC_DATABASE_NAME), "LINE1.DTB");
        driver.Click(d, IDC_EXIT_PROGRAM);
    });
    EXPECT_EQ(app_.Run(), 0);
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_NE(driver.MessageBoxes()[0].text.find("DatabasePath"), std::string::npos);
    EXPECT_EQ(app_.databasePath, " ");
    EXPECT_EQ(app_.helpFilePath, program_.Path() + "/HELP/PLINTVLR.HLP");
}

TEST_F(MainDialogTest, EscapeStopsButKeepsTheDialogOpen)
{
    CQuellstorTransDlg& dialog = Open();
    driver.Focus(dialog, IDC_DOWNLOAD_DATABASE);
    driver.PressKey(VK_ESCAPE);
    EXPECT_TRUE(dialog.IsWindow());
}

}  // namespace
