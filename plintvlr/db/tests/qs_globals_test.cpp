#include "plintvlr/db/qs_globals.h"

#include "platform/base/files.h"
#include "platform/base/profile.h"
#include "platform/base/prompt.h"
#include "plintvlr/db/cb_class.h"
#include "plintvlr/db/keyed_record_file.h"
#include "plintvlr/db/ov_class.h"
#include "plintvlr/db/tests/project_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class QsGlobalsTest : public ProjectFixture {
protected:
    static std::string Profile(const char* section, const char* key)
    {
        char value[256] = {};
        GetPrivateProfileString(section, key, "", value, sizeof value, "PLINTVLR.INI");
        return value;
    }
    static void SetProfile(const char* section, const char* key, const char* value)
    {
        ASSERT_TRUE(WritePrivateProfileString(section, key, value, "PLINTVLR.INI"));
    }
    void MakeProjectFolder(const std::string& name)
    {
        ASSERT_TRUE(MakeDir(ProjectPath(name)));
        ASSERT_EQ(DfCreate(ProjectPath(name) + "/dtb-08.db3"), 0);
    }
    static std::vector<int> Transfer()
    {
        BYTE b[5];
        _QSglobals.GetTransferSettings(b[0], b[1], b[2], b[3], b[4]);
        return {b[0], b[1], b[2], b[3], b[4]};
    }
};

TEST_F(QsGlobalsTest, TransferSettingsAreReadWithoutALastProject)
{
    _QSglobals.SetTransferSettings(0, 0, 0, 0, 0);
    EXPECT_EQ(_QSglobals.LoadSettings(), 0);
    EXPECT_EQ(Transfer(), (std::vector<int>{8, 1, 1, 3, 1}));

    SetProfile("TRANSFER", "Baud", "6");
    SetProfile("TRANSFER", "Parity", "2");
    SetProfile("TRANSFER", "StopBits", "2");
    SetProfile("TRANSFER", "CharBits", "2");
    SetProfile("TRANSFER", "Port", "4");
    EXPECT_EQ(_QSglobals.LoadSettings(), 0);
    EXPECT_FALSE(Db().IsOpen());
    EXPECT_EQ(Transfer(), (std::vector<int>{6, 2, 2, 2, 4}));

    // A project saved later writes the engineer's settings back, not zeros.
    CreateAndOpen("LATER");
    _QSglobals.WriteSettings();
    EXPECT_EQ(Profile("TRANSFER", "Baud"), "6");
    EXPECT_EQ(Profile("TRANSFER", "Parity"), "2");
    EXPECT_EQ(Profile("TRANSFER", "StopBits"), "2");
    EXPECT_EQ(Profile("TRANSFER", "CharBits"), "2");
    EXPECT_EQ(Profile("TRANSFER", "Port"), "4");
    EXPECT_EQ(Profile("DATABASE", "DatabaseName"), "LATER");
    EXPECT_EQ(Profile("DATABASE", "DatabasePath"), ProjectPath("LATER"));
}

TEST_F(QsGlobalsTest, ReopensTheLastProject)
{
    {
        adatabase db;
        db.SetPanelType(9);
        ASSERT_EQ(db.Create("LINE1"), 1);
    }
    SetProfile("DATABASE", "DatabaseName", "LINE1");
    EXPECT_EQ(_QSglobals.LoadSettings(), 1);
    EXPECT_TRUE(Db().IsOpen());
    EXPECT_EQ(Db().GetName(), "LINE1");
    EXPECT_EQ(Db().GetPanelType(), 9);
    EXPECT_EQ(_QSglobals.GetProjectDirectory(), ProjectPath("LINE1"));
}

TEST_F(QsGlobalsTest, AMissingOrUnsafeLastProjectOpensNothing)
{
    for (const char* name : {"GONE", "../GONE", "A/B"}) {
        SCOPED_TRACE(name);
        SetProfile("DATABASE", "DatabaseName", name);
        EXPECT_EQ(_QSglobals.LoadSettings(), 0);
        EXPECT_FALSE(Db().IsOpen());
    }
    EXPECT_FALSE(DirExists(program_ + "/GONE"));
    EXPECT_FALSE(DirExists(program_ + "/DBASE/GONE"));
}

TEST_F(QsGlobalsTest, FallbackNamesSkipProjectsThatExist)
{
    adatabase db;
    EXPECT_EQ(FirstFreeDefaultName(db), "DEFAULT0");
    for (int n = 0; n < 10; ++n)
        MakeProjectFolder("DEFAULT" + std::to_string(n));
    EXPECT_EQ(FirstFreeDefaultName(db), "DEFAUL10");
    for (int n = 10; n < 100; ++n)
        MakeProjectFolder("DEFAUL" + std::to_string(n));
    EXPECT_EQ(FirstFreeDefaultName(db), "DEFAU100");
}

TEST_F(QsGlobalsTest, ALastProjectThatCannotBeOpenedIsReplacedAtStartUp)
{
    for (int n = 0; n < 10; ++n)
        MakeProjectFolder("DEFAULT" + std::to_string(n));
    CreateWithSystemByte("BROKEN", 102, 70, 3);  // a panel type no longer supported
    SetProfile("DATABASE", "DatabaseName", "BROKEN");
    ScriptedPrompts prompts;

    // Once the main window exists, the failure is the caller's to handle.
    SetMainWindowHandle(FakeMainWindow());
    EXPECT_EQ(_QSglobals.LoadSettings(), 0);
    EXPECT_FALSE(DirExists(ProjectPath("DEFAUL10")));

    SetMainWindowHandle(nullptr);
    EXPECT_EQ(_QSglobals.LoadSettings(), 1);
    EXPECT_EQ(Db().GetName(), "DEFAUL10");
    EXPECT_TRUE(Db().IsOpen());
    EXPECT_TRUE(FileExists(ProjectPath("DEFAUL10") + "/dtb-08.db3"));
    EXPECT_EQ(prompts.Shown().size(), 2u);  // "type not supported", once per attempt
}

class FakeBitmaps : public ProjectBitmapLibrary {
public:
    void ClearAll() override { calls.push_back("clear"); }
    void Load() override { calls.push_back("load"); }
    void WriteNameFile() override { calls.push_back("names"); }
    int AddStyleFromFiles(const std::string (&files)[4]) override
    {
        if (static_cast<int>(styles.size()) >= room)
            return -2;
        styles.push_back({files[0], files[1], files[2], files[3]});
        points.emplace_back();
        return static_cast<int>(styles.size()) - 1;
    }
    void SetStylePoints(int style, PanelPoint a, PanelPoint b) override { points[style] = {a, b}; }

    int room = 20;
    std::vector<std::string> calls;
    std::vector<std::vector<std::string>> styles;
    std::vector<std::pair<PanelPoint, PanelPoint>> points;
};

TEST_F(QsGlobalsTest, StylesAreReadFromTheButtonStylesProfile)
{
    FakeBitmaps bitmaps;
    GetProjectHooks().bitmapLibrary = &bitmaps;
    const std::string cfg = program_ + "/styles.cfg";
    ASSERT_TRUE(WriteWholeFile(cfg,
                               "[BW_BUTTONS]\n"
                               "S0Bmps=a0.bmp, a1.bmp,\ta2.bmp,a3.bmp\n"
                               "S3Bmps=styles\\b0.bmp,/abs/b1.bmp,b2.bmp,b3.bmp\n"
                               "S3Centers=10,20,11,21\n"
                               "S5Bmps=c0.bmp,c1.bmp,c2.bmp,c3.bmp\n"));
    _QSglobals.LoadStyleBitmaps(cfg.c_str(), 'S');
    ASSERT_EQ(bitmaps.styles.size(), 3u);
    EXPECT_EQ(bitmaps.styles[0],
              (std::vector<std::string>{program_ + "/a0.bmp", program_ + "/a1.bmp", program_ + "/a2.bmp",
                                        program_ + "/a3.bmp"}));
    EXPECT_EQ(bitmaps.styles[1][0], program_ + "/styles/b0.bmp");
    EXPECT_EQ(bitmaps.styles[1][1], "/abs/b1.bmp");
    EXPECT_EQ(bitmaps.points[0], (std::pair<PanelPoint, PanelPoint>{{50, 50}, {50, 50}}));
    EXPECT_EQ(bitmaps.points[1], (std::pair<PanelPoint, PanelPoint>{{10, 20}, {11, 21}}));

    // A library that refuses a style ends the loading.
    FakeBitmaps full;
    full.room = 1;
    GetProjectHooks().bitmapLibrary = &full;
    _QSglobals.LoadStyleBitmaps(cfg.c_str(), 'S');
    EXPECT_EQ(full.styles.size(), 1u);
}

TEST_F(QsGlobalsTest, ReloadingProjectDataLoadsListsRecipesAndBitmaps)
{
    FakeBitmaps bitmaps;
    std::vector<std::string> calls;
    ProjectHooks& hooks = GetProjectHooks();
    hooks.reloadRecipeGroups = [&](adatabase&) { calls.push_back("recipes"); };

    adatabase& db = CreateAndOpen("SWAQ", 14);
    ASSERT_EQ(cbClass(3).Write(db), 0);
    ASSERT_EQ(ovClass(2).Save(db), 0);
    ASSERT_EQ(ovClass(5).Save(db), 0);
    GetCbList().Add(cbClass(40));  // left from an earlier project
    _QSglobals.NewDatabase();
    adatabase& again = _QSglobals.GetDatabase();
    ASSERT_EQ(again.OpenProject("SWAQ"), 1);
    hooks.bitmapLibrary = &bitmaps;
    _QSglobals.ReloadProjectData();
    EXPECT_TRUE(calls.empty());  // no main window: no recipe groups
    EXPECT_EQ(GetCbList().Count(), 1u);
    EXPECT_TRUE(GetCbList().Contains(3));
    EXPECT_EQ(GetOvList().Count(), 2u);
    EXPECT_EQ(again.GetTableTotal(kTableCommsBlocks), 14 + 7);
    EXPECT_EQ(again.GetTableTotal(kTableOverviewGroups), 2 * (47 + 12));
    EXPECT_EQ(bitmaps.calls, (std::vector<std::string>{"clear", "load"}));
    ASSERT_EQ(bitmaps.styles.size(), 1u);
    EXPECT_EQ(bitmaps.styles[0][3], program_ + "/styles/bw00_3.bmp");
    EXPECT_EQ(bitmaps.points[0], (std::pair<PanelPoint, PanelPoint>{{50, 50}, {50, 50}}));

    SetMainWindowHandle(FakeMainWindow());
    FakeBitmaps graphic;
    hooks.bitmapLibrary = &graphic;
    CreateAndOpen("RTB", 9);
    _QSglobals.ReloadProjectData();
    EXPECT_EQ(calls, (std::vector<std::string>{"recipes"}));
    EXPECT_EQ(GetCbList().Count(), 0u);  // the new project's lists
    EXPECT_EQ(GetOvList().Count(), 0u);
    EXPECT_TRUE(graphic.styles.empty());
}

TEST_F(QsGlobalsTest, StartupFlagIsSystemRecord108)
{
    adatabase& db = CreateAndOpen("FLAG");
    EXPECT_EQ(_QSglobals.GetStartupFlag(), -1);
    ASSERT_EQ(_QSglobals.SetStartupFlag(1), 0);
    EXPECT_EQ(_QSglobals.GetStartupFlag(), 1);
    std::uint8_t record[8];
    std::uint16_t length = sizeof record;
    ASSERT_EQ(db.GetSystemRecord(108, record, length), 0);
    EXPECT_EQ(std::vector<std::uint8_t>(record, record + length), (std::vector<std::uint8_t>{0x6C, 0x00, 0x01}));
    EXPECT_EQ(db.GetTableTotal(8), 250 + 15);
}

TEST_F(QsGlobalsTest, CurrentSelectionsStartAtOne)
{
    qsGlobals globals;
    EXPECT_EQ(globals.GetCurrentCommsBlock(), 1);
    EXPECT_EQ(globals.GetCurrentPage(), 1);
    EXPECT_EQ(globals.GetCurrentOverviewGroup(), 1);
    EXPECT_EQ(globals.GetProjectDirectory(), "");
}

}  // namespace
