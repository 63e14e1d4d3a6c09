#include "platform/base/profile.h"

#include "platform/base/files.h"
#include "platform/tests/scoped_env.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace {

class ProfileTest : public ::testing::Test {
protected:
    ProfileTest()
        : profileEnv_("PLV_PROFILE_DIR", (tmp_.Path() + "/windows").c_str()),
          programEnv_("PLV_PROGRAM_DIR", (tmp_.Path() + "/program").c_str())
    {
        MakeDir(ProfileDir());
        MakeDir(ProgramDir());
    }
    ~ProfileTest() override { FileFaults::Reset(); }

    std::string ProfileDir() const { return tmp_.Path() + "/windows"; }
    std::string ProgramDir() const { return tmp_.Path() + "/program"; }
    std::string Contents(const std::string& path) const
    {
        std::string text;
        EXPECT_TRUE(ReadWholeFile(path, text)) << path;
        return text;
    }

    TempFolder tmp_;
    ScopedEnv profileEnv_;
    ScopedEnv programEnv_;
};

// A file as a person leaves it: comments, odd spacing, mixed case, a second
// section of the same name, and a value line without '='.
const char kSettings[] =
    "; settings of the configuration program\n"
    "[APP]\n"
    "FrameX = 120\n"
    "  framey=-1\n"
    "Name=  spaced value  \n"
    "Quoted=\"  kept blanks  \"\n"
    "Long=ABCDEFGHIJKLMNOP\n"
    "Junk=abc\n"
    "Partial=12abc\n"
    "Plus= +5\n"
    "Big=99999999999\n"
    "Small=-99999999999\n"
    "Empty=\n"
    "Dash=-\n"
    "NoEquals\n"
    ";Commented=1\n"
    "[ Positions ]\n"
    "100X=5\n"
    "[app]\n"
    "Second=dup\n";

TEST_F(ProfileTest, ReadsStringsAsTheSystemDoes)
{
    ASSERT_TRUE(WriteWholeFile(ProfileDir() + "/PLINTVLR.INI", kSettings));
    struct Case {
        const char* file;
        const char* section;
        const char* key;
        const char* defaultText;
        int size;
        const char* text;
    };
    const Case cases[] = {
        {"PLINTVLR.INI", "APP", "FrameX", "", 80, "120"},
        {"plintvlr.ini", "app", "FRAMEY", "", 80, "-1"},
        {"PLINTVLR.INI", "APP", "Name", "", 80, "spaced value"},
        {"PLINTVLR.INI", "APP", "Quoted", "", 80, "  kept blanks  "},
        {"PLINTVLR.INI", "APP", "Long", "", 3, "AB"},
        {"PLINTVLR.INI", "APP", "Long", "", 10, "ABCDEFGHI"},
        {"PLINTVLR.INI", "APP", "Long", "", 1, ""},
        {"PLINTVLR.INI", "APP", "Empty", "OFF", 10, ""},
        {"PLINTVLR.INI", "APP", "BitToTags", "OFF", 10, "OFF"},
        {"PLINTVLR.INI", "APP", "BitToTags", "DEFAULT", 3, "DE"},
        {"PLINTVLR.INI", "APP", "BitToTags", nullptr, 10, ""},
        {"PLINTVLR.INI", "APP", "NoEquals", "x", 10, "x"},
        {"PLINTVLR.INI", "APP", "Commented", "x", 10, "x"},
        {"PLINTVLR.INI", "positions", "100x", "", 10, "5"},
        {"PLINTVLR.INI", "APP", "Second", "", 10, "dup"},
        {"PLINTVLR.INI", "TRANSFER", "Baud", "8", 5, "8"},
        {"MISSING.INI", "APP", "FrameX", "none", 10, "none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key + " size " + std::to_string(c.size));
        char buffer[100];
        std::memset(buffer, '#', sizeof buffer);
        int n = GetPrivateProfileString(c.section, c.key, c.defaultText, buffer, c.size, c.file);
        EXPECT_STREQ(buffer, c.text);
        EXPECT_EQ(n, static_cast<int>(std::strlen(c.text)));
        EXPECT_EQ(buffer[c.size], '#') << "wrote past the caller's size";
        // A snapshot of the file answers the same.
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(ProfileSnapshot(c.file).GetString(c.section, c.key, c.defaultText, buffer, c.size), n);
        EXPECT_STREQ(buffer, c.text);
        EXPECT_EQ(buffer[c.size], '#') << "the snapshot wrote past the caller's size";
    }
    char untouched[4] = "abc";
    EXPECT_EQ(GetPrivateProfileString("APP", "FrameX", "", untouched, 0, "PLINTVLR.INI"), 0);
    EXPECT_STREQ(untouched, "abc");
}

TEST_F(ProfileTest, ReadsIntegersAsTheSystemDoes)
{
    ASSERT_TRUE(WriteWholeFile(ProfileDir() + "/PLINTVLR.INI", kSettings));
    struct Case {
        const char* key;
        int defaultValue;
        int value;
    };
    const Case cases[] = {
        {"FrameX", 0, 120},          {"FrameY", 0, -1},          {"Partial", 0, 12},
        {"Plus", 0, 5},              {"Big", 0, INT_MAX},        {"Small", 0, INT_MIN},
        {"Junk", 7, 7},              {"Empty", 7, 7},            {"Dash", 7, 7},
        {"Long", 7, 7},              {"FrameZ", INT_MAX, INT_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(GetPrivateProfileInt("APP", c.key, c.defaultValue, "PLINTVLR.INI"), c.value);
        EXPECT_EQ(ProfileSnapshot("PLINTVLR.INI").GetInt("APP", c.key, c.defaultValue), c.value);
    }
    EXPECT_EQ(GetPrivateProfileInt("APP", "FrameX", 3, "MISSING.INI"), 3);
}

TEST_F(ProfileTest, WritingCreatesFileSectionAndKey)
{
    EXPECT_TRUE(WritePrivateProfileString("APP", "FrameX", "10", "PLINTVLR.INI"));
    EXPECT_TRUE(WritePrivateProfileString("APP", "FrameY", "20", "PLINTVLR.INI"));
    EXPECT_TRUE(WritePrivateProfileString("DATABASE", "DatabaseName", "LINE1", "PLINTVLR.INI"));
    EXPECT_TRUE(WritePrivateProfileString("app", "framex", "-1", "PLINTVLR.INI"));
    EXPECT_EQ(Contents(ProfileDir() + "/PLINTVLR.INI"),
              "[APP]\n"
              "FrameX=-1\n"
              "FrameY=20\n"
              "\n"
              "[DATABASE]\n"
              "DatabaseName=LINE1\n");
    EXPECT_EQ(GetPrivateProfileInt("APP", "FrameX", 0, "PLINTVLR.INI"), -1);
    EXPECT_FALSE(FileExists(ProgramDir() + "/PLINTVLR.INI"));
}

TEST_F(ProfileTest, EditsKeepWhatAPersonWrote)
{
    // CR LF line ends, a comment inside a section, blanks, and no end on the
    // last line.
    ASSERT_TRUE(WriteWholeFile(ProfileDir() + "/plintvlr.ini",
                               "; my notes\r\n"
                               "[App]\r\n"
                               "  FrameX = 5   ; left\r\n"
                               "; keep me\r\n"
                               "FrameY=6\r\n"
                               "\r\n"
                               "[Old]\r\n"
                               "A=1\r\n"
                               "; about B\r\n"
                               "B=2\r\n"
                               "[Last]\r\n"
                               "Z=9"));
    EXPECT_TRUE(WritePrivateProfileString("APP", "FRAMEX", "7", "PLINTVLR.INI"));
    EXPECT_TRUE(WritePrivateProfileString("APP", "FrameW", "640", "PLINTVLR.INI"));
    EXPECT_TRUE(WritePrivateProfileString("old", "b", nullptr, "PLINTVLR.INI"));
    EXPECT_TRUE(WritePrivateProfileString("LAST", "Y", "8", "PLINTVLR.INI"));
    EXPECT_TRUE(WritePrivateProfileString("TRANSFER", "Port", "1", "PLINTVLR.INI"));
    // The file keeps its own name; no second file is made in another case.
    EXPECT_EQ(ListDir(ProfileDir()), std::vector<std::string>{"plintvlr.ini"});
    EXPECT_EQ(Contents(ProfileDir() + "/plintvlr.ini"),
              "; my notes\r\n"
              "[App]\r\n"
              "FrameX=7\r\n"
              "; keep me\r\n"
              "FrameY=6\r\n"
              "FrameW=640\r\n"
              "\r\n"
              "[Old]\r\n"
              "A=1\r\n"
              "; about B\r\n"
              "[Last]\r\n"
              "Z=9\r\n"
              "Y=8\r\n"
              "\r\n"
              "[TRANSFER]\r\n"
              "Port=1\r\n");

    EXPECT_TRUE(WritePrivateProfileString("Old", nullptr, nullptr, "PLINTVLR.INI"));
    EXPECT_EQ(Contents(ProfileDir() + "/plintvlr.ini"),
              "; my notes\r\n"
              "[App]\r\n"
              "FrameX=7\r\n"
              "; keep me\r\n"
              "FrameY=6\r\n"
              "FrameW=640\r\n"
              "\r\n"
              "[Last]\r\n"
              "Z=9\r\n"
              "Y=8\r\n"
              "\r\n"
              "[TRANSFER]\r\n"
              "Port=1\r\n");
}

TEST_F(ProfileTest, DeletingRemovesEveryOccurrenceAndCreatesNothing)
{
    ASSERT_TRUE(WriteWholeFile(ProfileDir() + "/PLINTVLR.INI", kSettings));
    EXPECT_TRUE(WritePrivateProfileString("APP", "Second", nullptr, "PLINTVLR.INI"));
    EXPECT_EQ(GetPrivateProfileInt("APP", "Second", 4, "PLINTVLR.INI"), 4);
    EXPECT_TRUE(WritePrivateProfileString("APP", nullptr, nullptr, "PLINTVLR.INI"));
    EXPECT_EQ(GetPrivateProfileInt("APP", "FrameX", 4, "PLINTVLR.INI"), 4);
    EXPECT_EQ(GetPrivateProfileInt("Positions", "100X", 0, "PLINTVLR.INI"), 5);

    EXPECT_TRUE(WritePrivateProfileString("APP", "FrameX", nullptr, "NEW.INI"));
    EXPECT_TRUE(WritePrivateProfileString("APP", nullptr, nullptr, "NEW.INI"));
    EXPECT_FALSE(FileExists(ProfileDir() + "/NEW.INI"));
}

TEST_F(ProfileTest, ShippedDefaultsAreReadFromTheProgramFolderAndCopiedOnWrite)
{
    const std::string shipped =
        "[BW_BUTTONS]\n"
        "S0Bmps=a.bmp, b.bmp,c.bmp,d.bmp\n"
        "S0Centers=10,20,11,21\n";
    ASSERT_TRUE(WriteWholeFile(ProgramDir() + "/styles.cfg", shipped));
    char buffer[320];
    GetPrivateProfileString("BW_BUTTONS", "S0Centers", "", buffer, sizeof buffer, "STYLES.CFG");
    EXPECT_STREQ(buffer, "10,20,11,21");

    EXPECT_TRUE(WritePrivateProfileString("BW_BUTTONS", "S1Bmps", "e.bmp,f.bmp,g.bmp,h.bmp", "styles.cfg"));
    EXPECT_EQ(Contents(ProgramDir() + "/styles.cfg"), shipped);
    EXPECT_EQ(Contents(ProfileDir() + "/styles.cfg"), shipped + "S1Bmps=e.bmp,f.bmp,g.bmp,h.bmp\n");
    GetPrivateProfileString("BW_BUTTONS", "S0Bmps", "", buffer, sizeof buffer, "styles.cfg");
    EXPECT_STREQ(buffer, "a.bmp, b.bmp,c.bmp,d.bmp");

    // The profile folder's own copy wins from then on.
    EXPECT_TRUE(WritePrivateProfileString("BW_BUTTONS", "S0Centers", nullptr, "styles.cfg"));
    EXPECT_EQ(GetPrivateProfileString("BW_BUTTONS", "S0Centers", "", buffer, sizeof buffer, "styles.cfg"), 0);
}

TEST_F(ProfileTest, AFileGivenByPathIsUsedAsGiven)
{
    ASSERT_TRUE(MakeDir(tmp_.Path() + "/Hand"));
    ASSERT_TRUE(WriteWholeFile(ProgramDir() + "/QSTRANS.INI", "[File Locations]\nDatabaseName=WRONG\n"));
    const std::string path = tmp_.Path() + "\\hand\\QSTRANS.INI";
    char buffer[80];
    EXPECT_EQ(GetPrivateProfileString("File Locations", "DatabaseName", " ", buffer, sizeof buffer, path.c_str()), 1);
    EXPECT_TRUE(WritePrivateProfileString("File Locations", "DatabaseName", "LINE1", path.c_str()));
    EXPECT_EQ(Contents(tmp_.Path() + "/Hand/QSTRANS.INI"), "[File Locations]\nDatabaseName=LINE1\n");
    EXPECT_FALSE(FileExists(ProfileDir() + "/QSTRANS.INI"));
}

TEST_F(ProfileTest, AFailedWriteLeavesTheFileAsItWas)
{
    ASSERT_TRUE(WriteWholeFile(ProfileDir() + "/PLINTVLR.INI", kSettings));
    FileFaults::FailWrite(1);
    EXPECT_FALSE(WritePrivateProfileString("APP", "FrameX", "1", "PLINTVLR.INI"));
    FileFaults::Reset();
    FileFaults::ShortWrite(1, 10);
    EXPECT_FALSE(WritePrivateProfileString("APP", "FrameX", "1", "PLINTVLR.INI"));
    FileFaults::Reset();
    EXPECT_EQ(Contents(ProfileDir() + "/PLINTVLR.INI"), kSettings);
    EXPECT_EQ(ListDir(ProfileDir()), std::vector<std::string>{"PLINTVLR.INI"});
}

TEST_F(ProfileTest, NamesTheSyntaxCannotHoldAreRefusedAndValuesStayOnTheirLine)
{
    ASSERT_TRUE(WriteWholeFile(ProfileDir() + "/PLINTVLR.INI", "[APP]\nA=1\n"));
    EXPECT_FALSE(WritePrivateProfileString("APP", "B=C", "1", "PLINTVLR.INI"));
    EXPECT_FALSE(WritePrivateProfileString("APP", "B\nC", "1", "PLINTVLR.INI"));
    EXPECT_FALSE(WritePrivateProfileString("APP", ";B", "1", "PLINTVLR.INI"));
    EXPECT_FALSE(WritePrivateProfileString("APP", "", "1", "PLINTVLR.INI"));
    EXPECT_FALSE(WritePrivateProfileString("A]P", "B", "1", "PLINTVLR.INI"));
    EXPECT_FALSE(WritePrivateProfileString("", "B", "1", "PLINTVLR.INI"));
    EXPECT_FALSE(WritePrivateProfileString("APP", "B", "1", ""));
    EXPECT_FALSE(WritePrivateProfileString("APP", "B", "1", nullptr));
    EXPECT_EQ(Contents(ProfileDir() + "/PLINTVLR.INI"), "[APP]\nA=1\n");

    // A line break in a value must not make a key of its own.
    EXPECT_TRUE(WritePrivateProfileString("APP", "B", "x\r\nA=2", "PLINTVLR.INI"));
    EXPECT_EQ(GetPrivateProfileInt("APP", "A", 0, "PLINTVLR.INI"), 1);
    char buffer[20];
    GetPrivateProfileString("APP", "B", "", buffer, sizeof buffer, "PLINTVLR.INI");
    EXPECT_STREQ(buffer, "x  A=2");
}

TEST_F(ProfileTest, JunkInTheFileIsHarmless)
{
    std::string junk = "\xEF\xBB\xBF[APP]\nFrameX=3\n";
    junk += std::string("\0\x01\xFF[\n=\n==\n\r\r\n", 13);
    junk += std::string(100000, 'k') + "=long\n";
    junk += "[APP\nFrameY=4";
    ASSERT_TRUE(WriteWholeFile(ProfileDir() + "/PLINTVLR.INI", junk));
    EXPECT_EQ(GetPrivateProfileInt("APP", "FrameX", 0, "PLINTVLR.INI"), 3);
    // "[APP" without ']' starts no section, so FrameY is still in [APP].
    EXPECT_EQ(GetPrivateProfileInt("APP", "FrameY", 0, "PLINTVLR.INI"), 4);
    char buffer[5];
    EXPECT_EQ(GetPrivateProfileString("APP", std::string(100000, 'K').c_str(), "", buffer, sizeof buffer,
                                      "PLINTVLR.INI"),
              4);
    EXPECT_STREQ(buffer, "long");
    EXPECT_TRUE(WritePrivateProfileString("APP", "FrameW", "5", "PLINTVLR.INI"));
    EXPECT_EQ(Contents(ProfileDir() + "/PLINTVLR.INI"), junk + "\nFrameW=5\n");
}

TEST_F(ProfileTest, ASnapshotAnswersFromTheFileAsItWasRead)
{
    ASSERT_TRUE(WriteWholeFile(ProgramDir() + "/styles.cfg", "[BW_BUTTONS]\nS0Bmps=a.bmp\n"));
    const ProfileSnapshot shipped("styles.cfg");
    ASSERT_TRUE(WriteWholeFile(ProfileDir() + "/PLINTVLR.INI", "[TRANSFER]\nBaud=5\n"));
    const ProfileSnapshot before("PLINTVLR.INI");
    ASSERT_TRUE(WritePrivateProfileString("TRANSFER", "Baud", "7", "PLINTVLR.INI"));
    ASSERT_TRUE(FileDelete(ProgramDir() + "/styles.cfg"));

    EXPECT_EQ(before.GetInt("TRANSFER", "Baud", 0), 5);
    EXPECT_EQ(ProfileSnapshot("PLINTVLR.INI").GetInt("TRANSFER", "Baud", 0), 7);
    char buffer[16];
    EXPECT_EQ(shipped.GetString("BW_BUTTONS", "S0Bmps", "", buffer, sizeof buffer), 5);
    EXPECT_STREQ(buffer, "a.bmp");
    EXPECT_EQ(ProfileSnapshot("styles.cfg").GetString("BW_BUTTONS", "S0Bmps", "none", buffer, sizeof buffer), 4);
    EXPECT_EQ(ProfileSnapshot(nullptr).GetInt("TRANSFER", "Baud", 3), 3);
    EXPECT_EQ(before.GetInt(nullptr, "Baud", 3), 3);
}

TEST_F(ProfileTest, TProfileReadsAndWritesOneSection)
{
    TProfile profile("POSITIONS", "PLINTVLR.INI");
    EXPECT_EQ(profile.GetInt("100X", 0x7FFFFFFF), 0x7FFFFFFF);
    EXPECT_TRUE(profile.WriteInt("100X", -20));
    EXPECT_TRUE(profile.WriteString("Name", "left"));
    EXPECT_EQ(profile.GetInt("100x"), -20);
    char buffer[3];
    EXPECT_TRUE(profile.GetString("name", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "le");
    EXPECT_FALSE(profile.GetString("none", buffer, sizeof buffer));
    EXPECT_EQ(Contents(ProfileDir() + "/PLINTVLR.INI"), "[POSITIONS]\n100X=-20\nName=left\n");
}

}  // namespace
