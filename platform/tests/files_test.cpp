#include "platform/base/files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace {

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/plv-files-XXXXXX";
        dir_ = ::mkdtemp(tmpl);
    }
    void TearDown() override
    {
        FileFaults::Reset();
        std::filesystem::remove_all(dir_);
    }
    std::string dir_;
};

TEST_F(FilesTest, NamesMatchWithoutRegardToCaseAndBackslashes)
{
    ASSERT_TRUE(MakeDir(dir_ + "/DBASE/Proj1"));
    ASSERT_TRUE(WriteWholeFile(dir_ + "/DBASE/Proj1/dtb-0A.db3", "x"));

    EXPECT_TRUE(FileExists(dir_ + "\\dbase\\PROJ1\\DTB-0a.DB3"));
    EXPECT_EQ(ResolvePath(dir_ + "\\dbase\\proj1\\dtb-0a.db3"), dir_ + "/DBASE/Proj1/dtb-0A.db3");
    // A missing last component keeps its spelling under the real parent.
    EXPECT_EQ(ResolvePath(dir_ + "/dbase/new.db3"), dir_ + "/DBASE/new.db3");
    EXPECT_EQ(ListDir(dir_ + "/dbase/proj1", "DTB-*.DB3"), std::vector<std::string>{"dtb-0A.db3"});
    // Doubled and closing slashes come back in the plain form, existing or not.
    EXPECT_EQ(ResolvePath(dir_ + "//DBASE/Proj1/"), dir_ + "/DBASE/Proj1");
    EXPECT_EQ(ResolvePath(dir_ + "//dbase/proj1/"), dir_ + "/DBASE/Proj1");
    // In a folder written as it exists, only the last name is matched.
    EXPECT_EQ(ResolvePath(dir_ + "/DBASE/Proj1/DTB-0a.DB3"), dir_ + "/DBASE/Proj1/dtb-0A.db3");
    EXPECT_EQ(ResolvePath(dir_ + "/DBASE/Proj1/New.db3"), dir_ + "/DBASE/Proj1/New.db3");
    EXPECT_EQ(ResolvePath(dir_ + "/DBASE/Proj1/dtb-0A.db3/x"), dir_ + "/DBASE/Proj1/dtb-0A.db3/x");
    // The exact spelling wins over another case of the same name.
    // (made past the layer, which would find the first file under the name)
    std::FILE* other = std::fopen((dir_ + "/DBASE/Proj1/DTB-0A.db3").c_str(), "w");
    ASSERT_NE(other, nullptr);
    std::fclose(other);
    EXPECT_EQ(ResolvePath(dir_ + "/DBASE/Proj1/DTB-0A.db3"), dir_ + "/DBASE/Proj1/DTB-0A.db3");
    EXPECT_EQ(ResolvePath(dir_ + "/DBASE/Proj1/dtb-0A.db3"), dir_ + "/DBASE/Proj1/dtb-0A.db3");
}

TEST_F(FilesTest, AFolderReadOnceAnswersAsResolvingEachName)
{
    ASSERT_TRUE(MakeDir(dir_ + "/DBASE/Proj1"));
    ASSERT_TRUE(WriteWholeFile(dir_ + "/DBASE/Proj1/dtb-0A.db3", "x"));
    ASSERT_TRUE(WriteWholeFile(dir_ + "/DBASE/Proj1/Dtb-01.DBS", "x"));
    // Two spellings of one name (made past the layer).
    for (const char* name : {"/DBASE/Proj1/TWO.dat", "/DBASE/Proj1/two.DAT"}) {
        std::FILE* f = std::fopen((dir_ + name).c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }

    const FolderNames names(dir_ + "\\dbase\\proj1");
    for (const char* name : {"dtb-0A.db3", "DTB-0a.DB3", "dtb-01.dbs", "TWO.dat", "two.DAT", "Two.Dat", "dtb-02.dbs",
                             "", "."}) {
        const std::string resolved = ResolvePath(dir_ + "/dbase/proj1/" + name);
        const std::string expected = FileExists(resolved) ? resolved : "";
        EXPECT_EQ(names.Find(name), expected) << name;
    }
    EXPECT_EQ(FolderNames(dir_ + "/missing").Find("dtb-01.dbs"), "");
}

TEST_F(FilesTest, NewFilesAreOwnerOnly)
{
    int h = FileCreate(dir_ + "/new.bin");
    ASSERT_GE(h, 0);
    FileClose(h);
    struct stat st;
    ASSERT_EQ(::stat((dir_ + "/new.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(FilesTest, FaultInjectorSpoilsTheChosenWrite)
{
    int h = FileCreate(dir_ + "/f.bin");
    ASSERT_GE(h, 0);
    FileFaults::FailWrite(2);
    EXPECT_EQ(FileWriteAt(h, "abcd", 4, 0), 4);
    EXPECT_EQ(FileWriteAt(h, "efgh", 4, 4), -1);
    EXPECT_EQ(FileWriteAt(h, "ijkl", 4, 4), 4);
    FileFaults::ShortWrite(1, 2);
    EXPECT_EQ(FileWriteAt(h, "mnop", 4, 8), 2);
    EXPECT_EQ(FileLength(h), 10);
    FileClose(h);
}

TEST_F(FilesTest, AFailedReplaceLeavesTheOldFileWhole)
{
    ASSERT_TRUE(WriteWholeFile(dir_ + "/Pump.cfg", "old contents"));
    FileFaults::ShortWrite(1, 3);
    EXPECT_FALSE(ReplaceWholeFile(dir_ + "/pump.CFG", "new contents"));
    FileFaults::Reset();
    std::string text;
    ASSERT_TRUE(ReadWholeFile(dir_ + "/Pump.cfg", text));
    EXPECT_EQ(text, "old contents");
    EXPECT_EQ(ListDir(dir_), std::vector<std::string>{"Pump.cfg"});

    // A good replace keeps the spelling the file has on disk.
    EXPECT_TRUE(ReplaceWholeFile(dir_ + "/pump.CFG", "new contents"));
    ASSERT_TRUE(ReadWholeFile(dir_ + "/Pump.cfg", text));
    EXPECT_EQ(text, "new contents");
    EXPECT_EQ(ListDir(dir_), std::vector<std::string>{"Pump.cfg"});
}

TEST(Wildcard, Matches)
{
    struct Case { const char* pattern; const char* text; bool match; };
    const Case cases[] = {
        {"*", "anything", true},   {"*.FNT", "small.fnt", true}, {"dtb-??.db3", "DTB-0A.DB3", true},
        {"dtb-??.db3", "dtb-0.db3", false}, {"a*b*c", "aXbYc", true}, {"a*b", "ac", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WildcardMatch(c.pattern, c.text), c.match) << c.pattern << " " << c.text;
}

}  // namespace
