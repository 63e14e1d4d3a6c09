// The whole-image check that guards an upload, and the upload target that
// keeps the engineer's file unless a whole image arrived.
#include "qstrans/panel_image.h"
#include "qstrans/upload_target.h"

#include "platform/base/files.h"
#include "plintvlr/db/download_image.h"
#include "plintvlr/db/tests/project_fixture.h"
#include "qstrans/tests/image_bytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool IsWhole(const std::string& bytes)
{
    return IsWholePanelImage({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

const std::vector<ImageRecordSpec> kRecords = {
    {1, 1, "tag one"}, {8, 100, PortRecord(9)}, {1, 2, "tag two"}, {8, 102, ProjectInfoRecord("5.2.0", 14)},
};

using PanelImageTest = ProjectFixture;

TEST_F(PanelImageTest, CompiledAndHandMadeImagesAreWhole)
{
    EXPECT_TRUE(IsWhole(MakeImage(kRecords)));
    EXPECT_TRUE(IsWhole(MakeImage({})));

    CreateAndOpen("LINE1", 14);
    _QSglobals.NewDatabase();
    const std::string image = ProjectPath("LINE1") + "/LINE1.DTB";
    ASSERT_EQ(BuildDownloadImage(image, ProjectPath("LINE1"), 14, {}), 0);
    EXPECT_TRUE(IsWholePanelImageFile(image));
    EXPECT_FALSE(IsWholePanelImageFile(ProjectPath("LINE1") + "/NONE.DTB"));
}

TEST_F(PanelImageTest, EveryDamagedVariantIsRefused)
{
    const ImageLayout good = MakeImageLayout(kRecords);
    const std::size_t tag1 = good.offsets[0];
    const std::size_t port = good.offsets[1];
    const std::size_t tag2 = good.offsets[2];
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::vector<Case> cases;
    auto variant = [&](const char* what, auto change) {
        std::string b = good.bytes;
        change(b);
        cases.push_back({what, b});
    };
    variant("end offset one short", [&](std::string& b) { PatchLe32(b, 0, static_cast<std::uint32_t>(b.size() - 1)); });
    variant("no mark", [](std::string& b) { b[8] = 'X'; });
    variant("cut short", [](std::string& b) {
        b.pop_back();
        PatchLe32(b, 0, static_cast<std::uint32_t>(b.size()));
    });
    variant("a byte more", [](std::string& b) {
        b.push_back('\0');
        PatchLe32(b, 0, static_cast<std::uint32_t>(b.size()));
    });
    variant("header shorter than 128", [](std::string& b) {
        b.resize(100);
        PatchLe32(b, 0, 100);
    });
    variant("record names another table", [&](std::string& b) { b[tag2] = 2; });
    variant("record does not point back", [&](std::string& b) { PatchLe32(b, tag2 + 3, 0); });
    variant("chain loops", [&](std::string& b) { PatchLe32(b, tag2 + 7, static_cast<std::uint32_t>(tag1)); });
    variant("chain leaves the file", [&](std::string& b) { PatchLe32(b, tag2 + 7, 0x7FFFFFFF); });
    variant("record longer than the file", [&](std::string& b) { PatchLe16(b, tag2 + 12, 60000); });
    variant("a record outside every chain", [&](std::string& b) { PatchLe32(b, port + 7, 0); });
    variant("two tables share a record", [&](std::string& b) { PatchLe32(b, 32 + 4 * 2, static_cast<std::uint32_t>(tag1)); });
    variant("table entry inside the header", [](std::string& b) { PatchLe32(b, 32 + 4 * 5, 40); });

    for (const Case& c : cases)
        EXPECT_FALSE(IsWhole(c.bytes)) << c.what;
}

class UploadTargetTest : public ProjectFixture {
protected:
    void SetUp() override
    {
        ProjectFixture::SetUp();
        path_ = program_ + "/LINE1.DTB";
        ASSERT_TRUE(WriteWholeFile(path_, old_));
    }

    std::string Contents() const
    {
        std::string s;
        EXPECT_TRUE(ReadWholeFile(path_, s));
        return s;
    }
    bool NewFileLeft() const { return FileExists(path_ + ".upload"); }

    static void Send(CUploadTarget& target, const std::string& bytes)
    {
        // In blocks, as a route receives them.
        for (std::size_t at = 0; at < bytes.size(); at += 250) {
            const std::string block = bytes.substr(at, 250);
            target.Write(reinterpret_cast<const std::uint8_t*>(block.data()), block.size());
        }
    }

    std::string path_;
    const std::string old_ = "the engineer's own database";
    const std::string whole_ = MakeImage(kRecords);
};

TEST_F(UploadTargetTest, WholeImageReplacesTheFile)
{
    CUploadTarget target(path_);
    ASSERT_TRUE(target.Open());
    Send(target, whole_);
    EXPECT_EQ(target.Position(), whole_.size());
    target.ExpectSize(whole_.size());
    EXPECT_EQ(target.Finish(), CUploadTarget::Result::Replaced);
    EXPECT_EQ(Contents(), whole_);
    EXPECT_FALSE(NewFileLeft());
}

TEST_F(UploadTargetTest, AnythingElseKeepsTheOldFileByteForByte)
{
    struct Case {
        const char* what;
        std::string received;
        std::optional<std::uint64_t> announced;
        bool failWrite;
        CUploadTarget::Result result;
    };
    const Case cases[] = {
        {"not a whole image", whole_.substr(0, whole_.size() - 3), std::nullopt, false,
         CUploadTarget::Result::NotWhole},
        {"fewer bytes than announced", whole_, whole_.size() + 1, false, CUploadTarget::Result::WrongSize},
        {"more bytes than announced", whole_, whole_.size() - 1, false, CUploadTarget::Result::WrongSize},
        {"a write failed", whole_, std::nullopt, true, CUploadTarget::Result::WriteFailed},
    };
    for (const Case& c : cases) {
        CUploadTarget target(path_);
        ASSERT_TRUE(target.Open());
        if (c.failWrite)
            FileFaults::FailWrite(1);
        Send(target, c.received);
        FileFaults::Reset();
        if (c.announced)
            target.ExpectSize(*c.announced);
        EXPECT_EQ(target.Finish(), c.result) << c.what;
        EXPECT_EQ(Contents(), old_) << c.what;
        EXPECT_FALSE(NewFileLeft()) << c.what;
    }
    {
        // Cancelled half way.
        CUploadTarget target(path_);
        ASSERT_TRUE(target.Open());
        Send(target, whole_.substr(0, 100));
    }
    EXPECT_EQ(Contents(), old_);
    EXPECT_FALSE(NewFileLeft());
}

TEST_F(UploadTargetTest, AFolderThatCannotTakeTheFileIsNamedInTheError)
{
    CUploadTarget target(program_ + "/NO_SUCH_FOLDER/LINE1.DTB");
    std::string error;
    EXPECT_FALSE(target.Open(&error));
    EXPECT_EQ(error, program_ + "/NO_SUCH_FOLDER/LINE1.DTB: No such file or directory");
    EXPECT_EQ(target.Finish(), CUploadTarget::Result::NotOpen);
}

}  // namespace
