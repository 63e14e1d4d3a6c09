// Uploads of the panel's database through the main dialog's serial route:
// the engineer's file is replaced only by a whole database, whatever the
// panel announces and however the upload ends.
#include "qstrans/tests/serial/serial_fixture.h"

#include "platform/base/files.h"

namespace {

class SerialUploadTest : public SerialFixture {
protected:
    // The panel holds `image`; the engineer's file holds an older database.
    void Prepare(const std::string& image, std::initializer_list<std::string> panel = {}, bool pacing = false)
    {
        ErasePanelFolder();
        ASSERT_TRUE(WriteWholeFile(panelFolder_.Path() + "/" +
                                       qs_panel_sim::SerialPanel::StoredName(qs_panel_sim::kDatabase),
                                   image));
        MakePanel(panel, pacing);
        old_ = WriteImage(9, "4.0.0", 300);
        WriteHandOff();
        OpenOnPanel();
    }
    std::string Engineers() const
    {
        std::string bytes;
        ReadWholeFile(Db() + "LINE1.DTB", bytes);
        return bytes;
    }
    std::size_t Sent(const PanelBytes& bytes) const
    {
        return static_cast<std::size_t>(std::count(line_->sends.begin(), line_->sends.end(), bytes));
    }

    std::string old_;
};

TEST_F(SerialUploadTest, ComesBackWholeThroughARefusedBlock)
{
    const std::string image = DatabaseImage(9, "5.2.0", 2000);
    // Out frames: the two replies, the size, then the blocks: 5 is the second block.
    Prepare(image, {"fault corrupt out 5 10"});
    Start({IDC_UPLOAD_DATABASE});
    ASSERT_TRUE(RunToEnd());
    EXPECT_TRUE(driver.MessageBoxes().empty()) << LastMessage();
    EXPECT_TRUE(SameBytes(Engineers(), image));
    EXPECT_EQ(Sent({0x03, 'A'}), 1u) << "the bad block was asked for again";
    EXPECT_TRUE(PanelSaid("block 2 again"));
    EXPECT_EQ(dialog_->Progress().GetPos(), 100);
    EXPECT_FALSE(dialog_->Progress().IsFailed());
    EXPECT_FALSE(FileExists(Db() + "LINE1.DTB.upload"));
    ExpectStopped();
}

TEST_F(SerialUploadTest, ALargePanelAnnouncesItsSizeInSixBytes)
{
    // Type 14 counts its size's third byte in 65535s; an image beyond 65,535 bytes needs it.
    const std::string image = DatabaseImage(14, "5.2.0", 70000);
    Prepare(image, {"set type 14"});
    Start({IDC_UPLOAD_DATABASE});
    ASSERT_TRUE(RunToEnd());
    EXPECT_TRUE(driver.MessageBoxes().empty()) << LastMessage();
    EXPECT_EQ(dialog_->fileLength, image.size());
    EXPECT_TRUE(SameBytes(Engineers(), image));
}

TEST_F(SerialUploadTest, AWrongAnnouncedSizeMovesOnlyTheBar)
{
    const std::string image = DatabaseImage(9, "5.2.0", 3000);
    for (const char* size : {"100", "0", "65535"}) {
        SCOPED_TRACE(size);
        Prepare(image, {std::string("fault size ") + size});
        int lowest = 100, highest = 0;
        Start({IDC_UPLOAD_DATABASE});
        ASSERT_TRUE(RunUntil([this] { return dialog_->pending == 0; }, 30000, [&] {
            lowest = std::min(lowest, dialog_->Progress().GetPos());
            highest = std::max(highest, dialog_->Progress().GetPos());
        }));
        EXPECT_GE(lowest, 0);
        EXPECT_LE(highest, 100);
        EXPECT_TRUE(driver.MessageBoxes().empty()) << LastMessage();
        EXPECT_TRUE(SameBytes(Engineers(), image));
        EXPECT_EQ(dialog_->Progress().GetPos(), 100);
        Close();
    }
}

// However an upload fails, the engineer's file is the old one byte for byte.
TEST_F(SerialUploadTest, AFailedUploadLeavesTheOldFile)
{
    const std::string kept = "\n\nThe database file on this PC was not changed.";
    struct Case {
        const char* what;
        std::string panelImage;
        const char* fault;
        int failWrite;  // the Nth file write fails (0: none)
        bool cancel;    // Cancel Transfer during the blocks
        std::string message;  // "": none
    };
    const std::string image = DatabaseImage(9, "5.2.0", 3000);
    const Case cases[] = {
        {"a failed write", image, "fault none", 2, false, "The database could not be written: "},
        {"a time-out", image, "fault silent 5", 0, false, "No Response from Quellstor." + kept},
        {"Cancel", image, "fault none", 0, true, ""},
        {"an image that is not whole", std::string(3000, 'x'), "fault none", 0, false,
         "What the panel sent is not a whole panel database." + kept},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Prepare(c.panelImage, {c.fault}, /*pacing=*/c.cancel);
        const std::size_t boxes = driver.MessageBoxes().size();
        if (!c.message.empty())
            driver.AnswerMessageBox(IDOK);
        if (c.failWrite)
            FileFaults::FailWrite(c.failWrite);
        Start({IDC_UPLOAD_DATABASE});
        if (c.cancel) {
            ASSERT_TRUE(RunUntil([this] { return dialog_->Progress().GetPos() >= 20; }, 10000));
            driver.Click(*dialog_, IDC_CANCEL_TRANSFER);
        }
        ASSERT_TRUE(RunToEnd());
        FileFaults::Reset();
        if (!c.message.empty()) {
            ASSERT_EQ(driver.MessageBoxes().size(), boxes + 1);
            EXPECT_EQ(LastMessage().substr(0, c.message.size()), c.message);
            EXPECT_NE(LastMessage().find(kept), std::string::npos) << LastMessage();
        }
        EXPECT_TRUE(dialog_->Progress().IsFailed());
        EXPECT_TRUE(SameBytes(Engineers(), old_)) << "the engineer's file is unchanged";
        EXPECT_FALSE(FileExists(Db() + "LINE1.DTB.upload"));
        ExpectStopped();
        Close();
    }
}

TEST_F(SerialUploadTest, BlocksRefusedAgainAndAgainEndTheUpload)
{
    Prepare(DatabaseImage(9, "5.2.0", 3000));
    // Every block from the second on comes corrupted.
    for (int frame = 5; frame < 12; ++frame)
        Command("fault corrupt out " + std::to_string(frame) + " 10");
    driver.AnswerMessageBox(IDOK);
    Start({IDC_UPLOAD_DATABASE});
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(LastMessage(), "The panel refused the same block 6 times running. The transfer was stopped.\n\n"
                             "The database file on this PC was not changed.");
    EXPECT_EQ(Sent({0x03, 'A'}), 5u);
    EXPECT_TRUE(SameBytes(Engineers(), old_));
}

TEST_F(SerialUploadTest, AFileThatCannotBeMadeStopsBeforeTheUploadIsAsked)
{
    Prepare(DatabaseImage(9));
    app_.databasePath = Db() + "MISSING/";
    driver.AnswerMessageBox(IDOK);
    Start({IDC_UPLOAD_DATABASE});
    ASSERT_TRUE(RunToEnd());
    EXPECT_NE(LastMessage().find("MISSING/LINE1.DTB"), std::string::npos) << LastMessage();
    EXPECT_EQ(Sent({0x10, 0x03}), 0u);
    ExpectStopped();
}

}  // namespace
