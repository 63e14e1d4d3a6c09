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

// The checks before a download, as a table: what the panel answers (or
// not), the file chosen, and what the engineer is told.
TEST_F(SerialDownloadTest, ChecksBeforeADownload)
{
    struct Case {
        const char* what;
        std::vector<std::string> panel;
        int dbType;
        const char* dbVersion;
        int radio;
        const char* systemName;     // set when not null
        const char* protocol2Name;  // set when not null
        const char* message;        // nullptr: no message, the file goes down
        int answer;                 // to the message
        int storedKind;             // what the panel has then (0: nothing)
    };
    const char* noResponse = "No Response from Quellstor.";
    const Case cases[] = {
        {"a silent panel still takes a protocol", {"fault answer-nth 4"}, 9, "5.2.0", IDC_DOWNLOAD_PROTOCOL,
         nullptr, nullptr, nullptr, 0, kProtocol1},
        {"but not a PCG protocol", {"fault answer-nth 4"}, 15, "5.2.0", IDC_DOWNLOAD_PROTOCOL, nullptr, nullptr,
         noResponse, IDOK, 0},
        {"a silent panel takes a database of a type below 15", {"fault answer-nth 4"}, 9, "5.2.0",
         IDC_DOWNLOAD_DATABASE, nullptr, nullptr, nullptr, 0, kDatabase},
        {"but not one of 15 to 26", {"fault answer-nth 4"}, 15, "5.2.0", IDC_DOWNLOAD_DATABASE, nullptr, nullptr,
         noResponse, IDOK, 0},
        {"a reply to the third request is not used", {"set type 20", "fault answer-nth 3"}, 20, "5.2.0",
         IDC_DOWNLOAD_DATABASE, nullptr, nullptr, noResponse, IDOK, 0},
        {"9 on a panel reporting 25", {"set type 25"}, 9, "5.2.0", IDC_DOWNLOAD_DATABASE, nullptr, nullptr, nullptr,
         0, kDatabase},
        {"14 on a panel reporting 26", {"set type 26"}, 14, "5.2.0", IDC_DOWNLOAD_DATABASE, nullptr, nullptr,
         nullptr, 0, kDatabase},
        {"a database of another type", {}, 11, "5.2.0", IDC_DOWNLOAD_DATABASE, nullptr, nullptr,
         "Database Type(QSRTA) does not match Quellstor Type(QSRTB)", IDOK, 0},
        {"panel V2.1.0, database 2.1.0", {"set version V2.1.0"}, 9, "2.1.0", IDC_DOWNLOAD_DATABASE, nullptr,
         nullptr, nullptr, 0, kDatabase},
        {"panel V2.1.0, database 2.2.0: Cancel", {"set version V2.1.0"}, 9, "2.2.0", IDC_DOWNLOAD_DATABASE,
         nullptr, nullptr,
         "Plintorvaler Database(2.2.0) newer than Quellstor Cmd File(2.1.0)\n\nYou may experience runtime "
         "problems.\nClick Ok to continue,  Cancel to abort",
         IDCANCEL, 0},
        {"panel V2.1.0, database 2.2.0: OK", {"set version V2.1.0"}, 9, "2.2.0", IDC_DOWNLOAD_DATABASE, nullptr,
         nullptr, nullptr, IDOK, kDatabase},
        {"a version text of 255 bytes", {"set version V2.1.0" + std::string(249, '.')}, 9, "2.1.0",
         IDC_DOWNLOAD_DATABASE, nullptr, nullptr, nullptr, 0, kDatabase},
        {"a version reply in two pieces", {"set version V2.1.0", "fault late out 3 600 6"}, 9, "2.2.0",
         IDC_DOWNLOAD_DATABASE, nullptr, nullptr, "Plintorvaler Database(2.2.0) newer than Quellstor Cmd File(2.1.0)",
         IDCANCEL, 0},
        {"a type reply in two pieces", {"set type 20", "fault late out 2 300 3"}, 20, "5.2.0", IDC_DOWNLOAD_DATABASE,
         nullptr, nullptr, nullptr, 0, kDatabase},
        {"a type reply cut across the tick", {"set type 20", "fault late out 2 700 3"}, 20, "5.2.0",
         IDC_DOWNLOAD_DATABASE, nullptr, nullptr, nullptr, 0, kDatabase},
        {"a version text cut short reads 0 where it ends", {"set version V2."}, 9, "2.1.0", IDC_DOWNLOAD_DATABASE,
         nullptr, nullptr, "Plintorvaler Database(2.1.0) newer than Quellstor Cmd File(2.0.0)", IDCANCEL, 0},
        {"a protocol of another type", {}, 11, "5.2.0", IDC_DOWNLOAD_PROTOCOL, nullptr, nullptr,
         "Protocol Type does not match Quellstor Type(QSRTB)", IDOK, 0},
        {"system software of another panel", {}, 9, "5.2.0", IDC_DOWNLOAD_SYSTEM, "AQSK.cmd", nullptr,
         "System Software File Type(QSK) does not match Quellstor Type(QSRTB)", IDOK, 0},
        {"a system software name too short", {}, 9, "5.2.0", IDC_DOWNLOAD_SYSTEM, "QE.cmd", nullptr,
         "System Software File Type(QE) does not match Quellstor Type(QSRTB)", IDOK, 0},
        {"system software of the panel", {}, 9, "5.2.0", IDC_DOWNLOAD_SYSTEM, "KQSE.cmd", nullptr, nullptr, 0,
         kSystemSoftware},
        {"a Comm 2 protocol of another type", {}, 9, "5.2.0", IDC_DOWNLOAD_PROTOCOL, nullptr, "08.pcd",
         "Protocol2 Type does not match Quellstor Type(QSRTB)", IDOK, kProtocol1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ErasePanelFolder();
        MakePanel({});
        for (const std::string& command : c.panel)
            Command(command);
        const std::string image = WriteImage(c.dbType, c.dbVersion);
        WriteHandOff();
        CQuellstorTransDlg& dialog = OpenOnPanel();
        const std::string protocol(80, 'p');
        ASSERT_TRUE(WriteWholeFile(Folder("PROTOCOL") + app_.protocolName1, protocol));
        if (c.systemName) {
            app_.systemName = c.systemName;
            ASSERT_TRUE(WriteWholeFile(Folder("CMD") + c.systemName, "system"));
        }
        if (c.protocol2Name) {
            app_.protocolName2 = c.protocol2Name;
            ASSERT_TRUE(WriteWholeFile(Folder("PROTOCOL") + c.protocol2Name, "second"));
        }
        const std::size_t boxes = driver.MessageBoxes().size();
        if (c.answer)
            driver.AnswerMessageBox(c.answer);
        Start({c.radio});
        ASSERT_TRUE(RunToEnd());
        if (c.message) {
            ASSERT_EQ(driver.MessageBoxes().size(), boxes + 1);
            EXPECT_EQ(LastMessage().substr(0, std::string(c.message).size()), c.message);
            EXPECT_EQ(driver.MessageBoxes().back().caption, "Version/Hardware Verification Problem");
            EXPECT_TRUE(dialog.Progress().IsFailed()) << "the chain was stopped";
        } else {
            EXPECT_EQ(driver.MessageBoxes().size(), boxes + (c.answer ? 1 : 0)) << LastMessage();
            EXPECT_FALSE(dialog.Progress().IsFailed());
        }
        for (int kind : {kProtocol1, kDatabase, kSystemSoftware})
            EXPECT_EQ(Stored(kind) != "<none>", kind == c.storedKind) << "kind " << kind;
        if (c.storedKind == kDatabase) {
            EXPECT_TRUE(SameBytes(Stored(kDatabase), image));
        }
        ExpectStopped();
        Close();
    }
}

// Faults on the line during the blocks of a download: those a frame can
// survive are recovered from and the image arrives whole; the others end
// the transfer within the block period, with the panel's old image kept,
// and the next Start Transfer goes through.
TEST_F(SerialDownloadTest, FaultsDuringTheBlocks)
{
    struct Case {
        const char* what;
        const char* fault;  // frames count from the start: in 5 and out 5 are the first block's
        const char* message;  // nullptr: recovered
    };
    const Case cases[] = {
        {"a late acknowledgement", "fault late out 6 1000", nullptr},
        {"a late byte of a frame", "fault late in 6 1 5", nullptr},
        {"a repeated acknowledgement byte", "fault repeat out 6", nullptr},
        {"a repeated byte of a frame", "fault repeat in 6 5", nullptr},
        {"a corrupted byte of a frame", "fault corrupt in 6 9", nullptr},
        {"a refused block", "fault refuse 2 2", nullptr},
        {"a lost byte of a frame", "fault lose in 6 5", "No Response from Quellstor."},
        {"a lost acknowledgement", "fault ack-lost 2", "No Response from Quellstor."},
        {"a silent panel", "fault silent 6", "No Response from Quellstor."},
        {"a block refused again and again", "fault refuse 2 0", "The panel refused the same block 6 times running. The transfer was stopped."},
    };
    const std::string old = DatabaseImage(9, "5.2.0", 100);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteWholeFile(panelFolder_.Path() + "/" + qs_panel_sim::SerialPanel::StoredName(kDatabase), old));
        MakePanel({c.fault});
        const std::string image = WriteImage(9, "5.2.0", 1200);
        WriteHandOff();
        CQuellstorTransDlg& dialog = OpenOnPanel();
        const std::size_t boxes = driver.MessageBoxes().size();
        if (c.message)
            driver.AnswerMessageBox(IDOK);
        const long started = TimerTesting::VirtualNow();
        Start({IDC_DOWNLOAD_DATABASE});
        ASSERT_TRUE(RunToEnd());
        const long took = TimerTesting::VirtualNow() - started;
        ExpectStopped();
        if (!c.message) {
            EXPECT_EQ(driver.MessageBoxes().size(), boxes) << LastMessage();
            EXPECT_TRUE(SameBytes(Stored(kDatabase), image));
            EXPECT_FALSE(dialog.Progress().IsFailed());
            Close();
            continue;
        }
        ASSERT_EQ(driver.MessageBoxes().size(), boxes + 1);
        EXPECT_EQ(LastMessage(), c.message);
        EXPECT_EQ(driver.MessageBoxes().back().flags & MB_ICONMASK, MB_ICONSTOP);
        EXPECT_TRUE(dialog.Progress().IsFailed());
        EXPECT_LT(took, 7000) << "within the block period of 5 seconds";
        EXPECT_TRUE(SameBytes(Stored(kDatabase), old)) << "the panel keeps its old image";
        const std::size_t frames = std::count(panelLog.begin(), panelLog.end(), "frame 2 250 good");
        EXPECT_LE(frames, 2u) << "nothing went on after the failing frame";

        Command("fault none");
        Start({IDC_DOWNLOAD_DATABASE});
        ASSERT_TRUE(RunToEnd());
        EXPECT_TRUE(SameBytes(Stored(kDatabase), image)) << "the next Start Transfer goes through";
        EXPECT_FALSE(dialog.Progress().IsFailed());
        Close();
    }
}

// A stray byte before an answer hides nothing: not the echo of the
// download request, and not a block's acknowledgement, which read as a
// refusal would have the block resent and stored twice.
TEST_F(SerialDownloadTest, NoiseBeforeAnAnswerHidesNothing)
{
    struct Case {
        const char* what;
        std::function<bool(const PanelBytes&)> when;
        PanelBytes noise;
    };
    const Case cases[] = {
        {"before the echo", [](const PanelBytes& sent) { return sent == PanelBytes{0x10, 0x02}; }, {0x55}},
        {"before every acknowledgement", [](const PanelBytes& sent) { return sent.size() > 2 && sent[0] == 0x10; },
         {0x55}},
        {"the kind byte before every acknowledgement",
         [](const PanelBytes& sent) { return sent.size() > 2 && sent[0] == 0x10; }, {0x02}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ErasePanelFolder();
        MakePanel();
        const std::string image = WriteImage(9, "5.2.0", 1200);
        WriteHandOff();
        OpenOnPanel();
        line_->noise = c.noise;
        line_->noiseWhen = c.when;
        Start({IDC_DOWNLOAD_DATABASE});
        ASSERT_TRUE(RunToEnd(10000));
        EXPECT_TRUE(driver.MessageBoxes().empty()) << LastMessage();
        EXPECT_TRUE(SameBytes(Stored(kDatabase), image));
        const auto requests = std::count(line_->sends.begin(), line_->sends.end(), PanelBytes{0x10, 0x02});
        EXPECT_EQ(requests, 1) << "the echo was seen the first time";
        const auto frames = std::count_if(line_->sends.begin(), line_->sends.end(),
                                          [](const PanelBytes& sent) { return sent.size() == 253; });
        EXPECT_EQ(static_cast<std::size_t>(frames), image.size() / 250) << "no block went twice";
        Close();
    }
}

}  // namespace
