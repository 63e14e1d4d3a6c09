#include "platform/base/paths.h"

#include "platform/base/files.h"
#include "platform/tests/scoped_env.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

TEST(PathsTest, NamesAsTheProgramsWriteThem)
{
    struct Case {
        const char* name;
        const char* posix;
        bool absolute;
        bool bare;
    };
    const Case cases[] = {
        {"PLINTVLR.INI", "PLINTVLR.INI", false, true},
        {"styles\\bw00_0.bmp", "styles/bw00_0.bmp", false, false},
        {"\\DBASE\\LINE1\\dtb-0a.db3", "/DBASE/LINE1/dtb-0a.db3", true, false},
        {"/opt/qs\\DBASE\\LINE1\\", "/opt/qs/DBASE/LINE1/", true, false},
        {"C:\\bitmaps\\pump.bmp", "/bitmaps/pump.bmp", true, false},
        {"c:/bitmaps/pump.bmp", "/bitmaps/pump.bmp", true, false},
        {"C:\\", "/", true, false},
        {"C:", "/", true, false},
        {"C:pump.bmp", "pump.bmp", true, false},
        {"1:x", "1:x", false, true},
        {"", "", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ToPosixPath(c.name), c.posix);
        EXPECT_EQ(IsAbsolutePath(c.name), c.absolute);
        EXPECT_EQ(IsBareName(c.name), c.bare);
    }
}

TEST(PathsTest, JoinsGetOneSeparatorEvenAtARoot)
{
    struct Case {
        const char* folder;
        const char* tail;
        const char* joined;
    };
    const Case cases[] = {
        {"/opt/qs", "\\DBASE\\LINE1", "/opt/qs/DBASE/LINE1"},
        {"/opt/qs/", "\\HELP\\PLINTVLR.HLP", "/opt/qs/HELP/PLINTVLR.HLP"},
        {"/opt/qs", "\\CMD\\", "/opt/qs/CMD/"},
        {"/opt/qs", "DBASE", "/opt/qs/DBASE"},
        // A three-character folder that is not a root keeps its last character.
        {"/qs", "\\CMD\\", "/qs/CMD/"},
        {"/", "\\CMD\\", "/CMD/"},
        {"/", "\\DBASE\\LINE1\\", "/DBASE/LINE1/"},
        {"C:\\", "\\HELP\\PLINTVLR.HLP", "/HELP/PLINTVLR.HLP"},
        {"DBASE", "\\LINE1", "DBASE/LINE1"},
        {"", "\\DBASE", "/DBASE"},
        {"/opt/qs", "", "/opt/qs"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.folder) + " + " + c.tail);
        EXPECT_EQ(JoinPath(c.folder, c.tail), c.joined);
    }
    EXPECT_EQ(ShortenDriveRoot("C:\\"), "C:");
    EXPECT_EQ(ShortenDriveRoot("/"), "");
    EXPECT_EQ(ShortenDriveRoot("/qs"), "/qs");
    EXPECT_EQ(ShortenDriveRoot("/opt/qs/"), "/opt/qs");
}

TEST(PathsTest, ProgramFolderIsTheExecutablesUnlessOverridden)
{
    {
        ScopedEnv unset("PLV_PROGRAM_DIR", nullptr);
        char exe[4096] = {};
        ASSERT_GT(::readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
        std::string expected(exe);
        expected.resize(expected.rfind('/'));
        EXPECT_EQ(ProgramFolder(), expected);
    }
    ScopedEnv set("PLV_PROGRAM_DIR", "/opt/plintvlr/");
    EXPECT_EQ(ProgramFolder(), "/opt/plintvlr");
    EXPECT_EQ(ProgramPath("\\DBASE\\"), "/opt/plintvlr/DBASE/");
}

TEST(PathsTest, ProfileFolderFollowsTheEnvironmentAndIsCreated)
{
    TempFolder tmp;
    {
        ScopedEnv profile("PLV_PROFILE_DIR", (tmp.Path() + "/profiles").c_str());
        EXPECT_EQ(ProfileFolder(), tmp.Path() + "/profiles");
        EXPECT_TRUE(DirExists(tmp.Path() + "/profiles"));
    }
    ScopedEnv profile("PLV_PROFILE_DIR", nullptr);
    {
        ScopedEnv config("XDG_CONFIG_HOME", (tmp.Path() + "/config").c_str());
        EXPECT_EQ(ProfileFolder(), tmp.Path() + "/config/plintvlr");
        EXPECT_TRUE(DirExists(tmp.Path() + "/config/plintvlr"));
    }
    ScopedEnv config("XDG_CONFIG_HOME", nullptr);
    ScopedEnv home("HOME", (tmp.Path() + "/home").c_str());
    EXPECT_EQ(ProfileFolder(), tmp.Path() + "/home/.config/plintvlr");
    EXPECT_TRUE(DirExists(tmp.Path() + "/home/.config/plintvlr"));
}

}  // namespace
