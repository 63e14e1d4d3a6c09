// Downloads through the main dialog's serial route to a simulated panel:
// the whole chain of checks, what goes on the line frame by frame, the
// chains of files, the panel families that frame differently, and the
// faults a line and a panel bring.
#include "qstrans/tests/serial/serial_fixture.h"

#include "qstrans/transfer_resources.h"

#include <set>

namespace {

using SerialDownloadTest = SerialFixture;
using qs_panel_sim::kDatabase;
using qs_panel_sim::kProtocol1;
using qs_panel_sim::kProtocol2;
using qs_panel_sim::kSystemSoftware;

TEST_F(SerialDownloadTest, ADatabaseGoesThroughEveryCheckAndArrivesWhole)
{
    MakePanel({}, /*pacing=*/true);
    const std::string image = WriteImage(9, "5.2.0", 1500);
    WriteHandOff();
    CQuellstorTransDlg& dialog = OpenOnPanel();
    Start({IDC_DOWNLOAD_DATABASE});
    EXPECT_FALSE(Enabled(IDC_START_TRANSFER)) << "the controls rest while the transfer runs";
    EXPECT_EQ(Field(IDC_STATUS), "Checking for System Software ...");

    std::set<int> positions;
    ASSERT_TRUE(RunUntil([&] { return dialog.pending == 0; }, 20000, [&] {
        if (dialog.pending == CSerialTransfer::kStepSendBlock)
            positions.insert(dialog.Progress().GetPos());
    }));
    RunFor(20);
    EXPECT_TRUE(SameBytes(Stored(kDatabase), image));
    EXPECT_GE(positions.size(), 4u) << "the bar moves during the blocks";
    EXPECT_TRUE(std::all_of(positions.begin(), positions.end(), [](int p) { return p >= 0 && p <= 100; }));
    EXPECT_EQ(dialog.Progress().GetPos(), 100);
    EXPECT_FALSE(dialog.Progress().IsFailed());
    EXPECT_TRUE(driver.MessageBoxes().empty()) << LastMessage();
    ExpectStopped();
    for (const char* step : {"request system software", "request panel type", "request version", "download 2"})
        EXPECT_TRUE(PanelSaid(step)) << step;
    EXPECT_EQ(line_->openedOn, 1) << "\"Port\" 0 is Com 1";
}

// What goes on the line after the download request's echo.
TEST_F(SerialDownloadTest, FramesOfAFileAndTheEndFrame)
{
    struct Case {
        const char* what;
        std::size_t size;
        std::vector<std::size_t> frames;  // lengths of the frames as sent
    };
    const Case cases[] = {
        {"an empty file: the end frame alone", 0, {3}},
        {"250 bytes: one block of 250 and the end frame", 250, {253, 3}},
        {"251 bytes: two blocks", 251, {253, 4, 3}},
    };
    MakePanel();
    WriteImage(9);
    WriteHandOff();
    OpenOnPanel();
    for (const Case& c : cases) {
        std::string file(c.size, '\0');
        for (std::size_t i = 0; i < c.size; ++i)
            file[i] = static_cast<char>(i * 13 + 5);
        ASSERT_TRUE(WriteWholeFile(Folder("PROTOCOL") + "07.p1e", file));
        line_->sends.clear();
        Start({IDC_DOWNLOAD_PROTOCOL});
        ASSERT_TRUE(RunToEnd()) << c.what;
        EXPECT_EQ(Stored(kProtocol1), file) << c.what;
        const auto request = std::find(line_->sends.begin(), line_->sends.end(), PanelBytes{0x10, 0x01});
        ASSERT_NE(request, line_->sends.end()) << c.what;
        std::vector<std::size_t> lengths;
        for (auto it = request + 1; it != line_->sends.end(); ++it)
            lengths.push_back(it->size());
        EXPECT_EQ(lengths, c.frames) << c.what;
        EXPECT_EQ(line_->sends.back(), (PanelBytes{0x10, 0x00, 0x00})) << c.what;
        EXPECT_EQ(dialog_->Progress().GetPos(), 100) << c.what << ": an empty file is complete too";
        EXPECT_FALSE(dialog_->Progress().IsFailed()) << c.what;
    }
}

TEST_F(SerialDownloadTest, ProtocolForComm1GoesOnWithComm2)
{
    MakePanel();
    WriteImage(9, "5.2.0", 0, 7, 8);
    WriteHandOff();
    ASSERT_TRUE(WriteWholeFile(Folder("PROTOCOL") + "07.p1e", std::string(600, 'a')));
    ASSERT_TRUE(WriteWholeFile(Folder("PROTOCOL") + "08.p2e", std::string(300, 'b')));
    OpenOnPanel();
    EXPECT_EQ(Field(IDC_PROTOCOL2_NAME), "08.p2e");
    Start({IDC_DOWNLOAD_PROTOCOL});
    ASSERT_TRUE(RunToEnd());
    EXPECT_TRUE(SameBytes(Stored(kProtocol1), std::string(600, 'a')));
    EXPECT_TRUE(SameBytes(Stored(kProtocol2), std::string(300, 'b')));
    EXPECT_EQ(Stored(kDatabase), "<none>") << "the database was not chosen";
    EXPECT_TRUE(driver.MessageBoxes().empty()) << LastMessage();
}

TEST_F(SerialDownloadTest, DatabaseAndProtocolGoTogether)
{
    MakePanel();
    const std::string image = WriteImage(9);
    WriteHandOff();
    ASSERT_TRUE(WriteWholeFile(Folder("PROTOCOL") + "07.p1e", std::string(40, 'p')));
    OpenOnPanel();
    Start({IDC_DOWNLOAD_DATABASE, IDC_DOWNLOAD_PROTOCOL});
    ASSERT_TRUE(RunToEnd());
    EXPECT_TRUE(SameBytes(Stored(kDatabase), image));
    EXPECT_TRUE(SameBytes(Stored(kProtocol1), std::string(40, 'p')));
}

TEST_F(SerialDownloadTest, APanelWithoutSystemSoftwareGetsItBeforeTheDatabase)
{
    MakePanel({"set system-software off", "set hardware 9"});
    const std::string image = WriteImage(9);
    WriteHandOff();
    for (const char* name : {"AQSK.cmd", "KQSE.cmd"})
        ASSERT_TRUE(WriteWholeFile(Folder("CMD") + name, std::string(700, name[0])));
    OpenOnPanel();
    driver.AnswerMessageBox(IDOK);
    driver.AnswerFileDialog("KQSE.cmd");
    Start({IDC_DOWNLOAD_DATABASE});
    ASSERT_TRUE(RunToEnd());
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text,
              "No System Software was detected. Please select the System Software file to download.");
    EXPECT_EQ(driver.MessageBoxes()[0].caption, "No System Found !");
    ASSERT_EQ(driver.FileDialogs().size(), 1u);
    EXPECT_EQ(driver.FileDialogs()[0].name, "KQSE.cmd") << "the choice starts at the panel's command file";
    EXPECT_EQ(Field(IDC_SYSTEM_NAME), "KQSE.cmd");
    EXPECT_TRUE(SameBytes(Stored(kSystemSoftware), std::string(700, 'K')));
    EXPECT_EQ(Stored(kDatabase), image) << "the database follows the system software";
    EXPECT_FALSE(dialog_->Progress().IsFailed());
}

// The families whose line differs: small frames with a short first frame of
// protocol and system software (15-18), and an answered end frame (19-24).
TEST_F(SerialDownloadTest, PanelFamiliesFrameTheirOwnWay)
{
    struct Case {
        int type;
        int radio;
        const char* file;  // under the folder of its kind
        int kind;
        std::size_t firstFrame;  // length of the first frame as sent
    };
    const Case cases[] = {
        {16, IDC_DOWNLOAD_SYSTEM, "CMD/XQSG.cmd", kSystemSoftware, 4},
        {17, IDC_DOWNLOAD_PROTOCOL, "PROTOCOL/07.pcg", kProtocol1, 4},
        {15, IDC_DOWNLOAD_DATABASE, "DBASE/LINE1/LINE1.DTB", kDatabase, 131},
        {20, IDC_DOWNLOAD_DATABASE, "DBASE/LINE1/LINE1.DTB", kDatabase, 253},
        {24, IDC_DOWNLOAD_PROTOCOL, "PROTOCOL/07.pcr", kProtocol1, 253},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        MakePanel({"set type " + std::to_string(c.type)});
        std::string file = WriteImage(c.type, "5.2.0", 900);
        if (c.kind != kDatabase) {
            file = std::string(900, 'z');
            ASSERT_TRUE(WriteWholeFile(program_.Path() + "/" + c.file, file));
        }
        WriteHandOff();
        CQuellstorTransDlg& dialog = OpenOnPanel();
        if (c.kind == kSystemSoftware) {
            app_.systemName = "XQSG.cmd";
            dialog.ShowFileLocations();
        }
        Start({c.radio});
        ASSERT_TRUE(RunToEnd());
        EXPECT_TRUE(SameBytes(Stored(c.kind), file));
        EXPECT_TRUE(driver.MessageBoxes().empty()) << LastMessage();
        const auto request = std::find(line_->sends.begin(), line_->sends.end(),
                                       PanelBytes{0x10, static_cast<std::uint8_t>(c.kind)});
        ASSERT_NE(request, line_->sends.end());
        ASSERT_NE(request + 1, line_->sends.end());
        EXPECT_EQ(request[1].size(), c.firstFrame);
        EXPECT_TRUE(PanelSaid("frame " + std::to_string(c.kind) + " end"));
        Close();
    }
}

}  // namespace
