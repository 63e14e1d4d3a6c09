// The serial route's commands as the engineer meets them: the port asked
// for first, Erase Flash, Goto Transfer, Cancel Transfer at every step, a
// port that cannot be opened, and the dialog during a download.
#include "qstrans/tests/serial/serial_fixture.h"

#include "qstrans/transfer_resources.h"

namespace {

using SerialCommandsTest = SerialFixture;

std::size_t CountSent(const std::vector<PanelBytes>& sends, const std::string& text)
{
    return static_cast<std::size_t>(std::count(sends.begin(), sends.end(), ToBytes(text)));
}

TEST_F(SerialCommandsTest, APortNeverChosenIsAskedForBeforeAnythingIsSent)
{
    WriteImage(9);
    WriteHandOff();
    CQuellstorTransDlg& dialog = OpenOnPanel();
    const std::function<void()> commands[] = {
        [&] { Start({IDC_DOWNLOAD_DATABASE}); },
        [&] { driver.ChooseMenuItem(dialog, ID_SPECIAL_ERASE_FLASH); },
        [&] { driver.ChooseMenuItem(dialog, ID_SPECIAL_GOTO_TRANSFER); },
    };
    int asked = 0;
    for (int i = 0; i < 3; ++i) {
        TransferSettings().WriteInt("", "Port", kPortNeverChosen);
        line_->sends.clear();
        driver.OnNextDialog([&](TDialog& d) {
            ++asked;
            EXPECT_EQ(d.GetCaption(), "Comm Port Selection");
            EXPECT_TRUE(line_->sends.empty()) << "nothing is sent before the port is chosen";
            driver.Click(d, IDC_COM1 + 1);
            driver.Click(d, IDOK);
        });
        if (i == 1)
            driver.AnswerMessageBox(IDOK);  // Erase Flash asks
        commands[i]();
        EXPECT_FALSE(line_->sends.empty());
        EXPECT_EQ(line_->openedOn, 2) << "Com 2 as chosen";
        driver.Click(dialog, IDC_CANCEL_TRANSFER);
        RunFor(10);
    }
    EXPECT_EQ(asked, 3);
}

TEST_F(SerialCommandsTest, EraseFlashAsksThenErasesUntilCancel)
{
    ASSERT_TRUE(WriteWholeFile(panelFolder_.Path() + "/" + qs_panel_sim::SerialPanel::StoredName(qs_panel_sim::kDatabase),
                               DatabaseImage(9)));
    MakePanel();
    ASSERT_NE(Stored(qs_panel_sim::kDatabase), "<none>");
    WriteHandOff();
    CQuellstorTransDlg& dialog = OpenOnPanel();

    // Cancel at the question sends nothing.
    driver.AnswerMessageBox(IDCANCEL);
    ASSERT_TRUE(driver.ChooseMenuItem(dialog, ID_SPECIAL_ERASE_FLASH));
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text,
              "This action will erase the Flash Memory in the Quellstor.\nDo you wish to continue?");
    EXPECT_EQ(driver.MessageBoxes()[0].caption, "Erase Flash Now!");
    EXPECT_EQ(driver.MessageBoxes()[0].flags & MB_ICONMASK, MB_ICONQUESTION);
    EXPECT_TRUE(line_->sends.empty());

    driver.AnswerMessageBox(IDOK);
    ASSERT_TRUE(driver.ChooseMenuItem(dialog, ID_SPECIAL_ERASE_FLASH));
    EXPECT_EQ(Field(IDC_STATUS), "Sending FLASH ERASE Message ....");
    EXPECT_FALSE(Enabled(IDC_START_TRANSFER));
    RunFor(1990);
    EXPECT_EQ(CountSent(line_->sends, "EFN"), 5u) << "at once and every 400 ms";
    EXPECT_EQ(line_->sends.size(), 5u);
    EXPECT_EQ(Stored(qs_panel_sim::kDatabase), "<none>") << "the panel has erased";
    EXPECT_EQ(dialog.pending, CSerialTransfer::kStepEraseFlash) << "it goes on until Cancel";
    driver.Click(dialog, IDC_CANCEL_TRANSFER);
    ExpectStopped();
    EXPECT_FALSE(dialog.Progress().IsFailed());
}

TEST_F(SerialCommandsTest, GotoTransferEndsOnTheAnswerAlsoAfterNoise)
{
    WriteHandOff();
    for (bool noisy : {false, true}) {
        SCOPED_TRACE(noisy);
        MakePanel();
        CQuellstorTransDlg& dialog = OpenOnPanel();
        if (noisy)
            line_->noise = {0x55};
        ASSERT_TRUE(driver.ChooseMenuItem(dialog, ID_SPECIAL_GOTO_TRANSFER));
        EXPECT_EQ(Field(IDC_STATUS), "Sending Message ....");
        ASSERT_TRUE(RunUntil([&] { return dialog.pending == 0; }, 2000));
        EXPECT_EQ(line_->sends, std::vector<PanelBytes>{ToBytes("GXFER")}) << "one request was enough";
        EXPECT_FALSE(dialog.Progress().IsFailed());
        ExpectStopped();
        Close();
    }

    // A panel that does not answer is asked every 300 ms until Cancel.
    MakePanel({"fault silent 1"});
    CQuellstorTransDlg& dialog = OpenOnPanel();
    ASSERT_TRUE(driver.ChooseMenuItem(dialog, ID_SPECIAL_GOTO_TRANSFER));
    RunFor(1000);
    EXPECT_EQ(CountSent(line_->sends, "GXFER"), 4u);
    driver.Click(dialog, IDC_CANCEL_TRANSFER);
    ExpectStopped();
}

// Cancel Transfer stops at once at every step: the bar red when a transfer
// kind was set, the controls back, the port closed, and nothing sent after.
TEST_F(SerialCommandsTest, CancelStopsEveryStepAtOnce)
{
    struct Case {
        int step;
        const char* fault;
        int command;  // a radio for Start Transfer, or a menu command
        bool failed;
    };
    const Case cases[] = {
        {CSerialTransfer::kStepSystemSoftware, "fault silent 1", IDC_DOWNLOAD_DATABASE, true},
        {CSerialTransfer::kStepPanelType, "fault silent 2", IDC_DOWNLOAD_DATABASE, true},
        {CSerialTransfer::kStepVersionRequest, "fault silent 3", IDC_DOWNLOAD_DATABASE, true},
        {CSerialTransfer::kStepDownloadAck, "fault silent 4", IDC_DOWNLOAD_DATABASE, true},
        {CSerialTransfer::kStepSendBlock, "fault silent 6", IDC_DOWNLOAD_DATABASE, true},
        {CSerialTransfer::kStepUploadAck, "fault silent 3", IDC_UPLOAD_DATABASE, true},
        {CSerialTransfer::kStepUploadWait, "fault silent 4", IDC_UPLOAD_DATABASE, true},
        {CSerialTransfer::kStepEraseFlash, "fault none", ID_SPECIAL_ERASE_FLASH, false},
        {CSerialTransfer::kStepHandshake, "fault silent 1", ID_SPECIAL_GOTO_TRANSFER, false},
    };
    const std::string panelImage = DatabaseImage(9, "5.2.0", 2000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        ErasePanelFolder();
        ASSERT_TRUE(WriteWholeFile(panelFolder_.Path() + "/" +
                                       qs_panel_sim::SerialPanel::StoredName(qs_panel_sim::kDatabase),
                                   panelImage));
        MakePanel({c.fault});
        const std::string old = WriteImage(9, "5.2.0", 1200);
        WriteHandOff();
        CQuellstorTransDlg& dialog = OpenOnPanel();
        const std::size_t boxes = driver.MessageBoxes().size();
        if (c.command == ID_SPECIAL_ERASE_FLASH) {
            driver.AnswerMessageBox(IDOK);
            ASSERT_TRUE(driver.ChooseMenuItem(dialog, ID_SPECIAL_ERASE_FLASH));
        } else if (c.command == ID_SPECIAL_GOTO_TRANSFER) {
            ASSERT_TRUE(driver.ChooseMenuItem(dialog, ID_SPECIAL_GOTO_TRANSFER));
        } else {
            Start({c.command});
        }
        ASSERT_TRUE(RunUntil([&] { return dialog.pending == c.step; }, 3000));
        RunFor(50);
        ASSERT_EQ(dialog.pending, c.step) << "the step waits";
        driver.Click(dialog, IDC_CANCEL_TRANSFER);
        ExpectStopped();
        EXPECT_EQ(dialog.Progress().IsFailed(), c.failed);
        const std::size_t sent = line_->sends.size();
        RunFor(6000);
        EXPECT_EQ(line_->sends.size(), sent) << "nothing is sent after Cancel";
        EXPECT_EQ(driver.MessageBoxes().size(), boxes + (c.command == ID_SPECIAL_ERASE_FLASH ? 1 : 0));
        std::string file;
        ReadWholeFile(Db() + "LINE1.DTB", file);
        EXPECT_TRUE(SameBytes(file, old)) << "an upload cancelled leaves the file";
        Close();
    }
}

TEST_F(SerialCommandsTest, APortThatCannotBeOpenedIsNamedAndNothingStarts)
{
    WriteImage(9);
    WriteHandOff();
    // The program's own route, on the dialog's serial port control.
    ASSERT_TRUE(WriteWholeFile(profile_.Path() + "/SERIAL.INI", "[Ports]\nCOM1=" + program_.Path() + "/no-tty\n"));
    CQuellstorTransDlg& dialog = Open();
    dialog.SetSerialRoute(std::make_unique<CSerialPortRoute>(dialog));
    const std::function<void()> commands[] = {
        [&] { Start({IDC_DOWNLOAD_DATABASE}); },
        [&] { driver.ChooseMenuItem(dialog, ID_SPECIAL_GOTO_TRANSFER); },
    };
    for (const auto& command : commands) {
        driver.AnswerMessageBox(IDOK);
        command();
        ASSERT_FALSE(driver.MessageBoxes().empty());
        const auto& box = driver.MessageBoxes().back();
        EXPECT_NE(box.text.find("Com 1"), std::string::npos) << box.text;
        EXPECT_NE(box.text.find(program_.Path() + "/no-tty"), std::string::npos) << box.text;
        EXPECT_NE(box.text.find("No such file or directory"), std::string::npos) << box.text;
        EXPECT_EQ(box.flags & MB_ICONMASK, MB_ICONSTOP);
        EXPECT_EQ(dialog.pending, 0);
        EXPECT_EQ(dialog.kind, CSerialTransferState::kNone);
        EXPECT_TRUE(Enabled(IDC_START_TRANSFER)) << "the controls stay enabled";
        EXPECT_EQ(Field(IDC_STATUS), "");
        EXPECT_FALSE(dialog.CommPort().GetPortOpen());
    }
}

TEST_F(SerialCommandsTest, TheDialogDuringADownload)
{
    MakePanel({}, /*pacing=*/true);
    WriteImage(9, "5.2.0", 4000);
    WriteHandOff();
    CQuellstorTransDlg& dialog = OpenOnPanel();
    Start({IDC_DOWNLOAD_DATABASE});
    ASSERT_TRUE(RunUntil([&] { return dialog.Progress().GetPos() >= 40; }, 10000));
    EXPECT_LT(dialog.Progress().GetPos(), 100);
    EXPECT_EQ(Field(IDC_STATUS), "Downloading Database ....");
    EXPECT_FALSE(Enabled(IDC_START_TRANSFER));
    EXPECT_TRUE(Enabled(IDC_CANCEL_TRANSFER));
    SaveScreenshot(driver.Grab(dialog), "qstrans_serial_download.png");
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(dialog.Progress().GetPos(), 100);
}

}  // namespace
