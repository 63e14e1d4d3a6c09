#include "plintvlr/db/adatabase.h"

#include "platform/base/files.h"
#include "platform/base/profile.h"
#include "platform/base/prompt.h"
#include "plintvlr/db/id_counter.h"
#include "plintvlr/db/keyed_record_file.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/tests/project_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Text into a zero-filled field of the given width.
void Field(Bytes& out, const std::string& text, std::size_t width)
{
    for (std::size_t i = 0; i < width; ++i)
        out.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
}

Bytes ProjectInfoRecord(const std::string& name, const std::string& version, const std::string& protocol,
                        std::uint8_t type)
{
    Bytes r = {0x66, 0x00};
    Field(r, name, 16);
    Field(r, version, 10);
    Field(r, "5.1.0", 10);
    Field(r, protocol, 32);
    r.push_back(type);
    return r;
}

class AdatabaseTest : public ProjectFixture {};

TEST_F(AdatabaseTest, NewProjectHoldsTheDefaultSystemRecords)
{
    adatabase& db = CreateAndOpen("LINE1", 14);

    const Bytes port = {0x64, 0x00, 8, 1, 1, 3, 8, 1, 1, 3, 0xFF, 0xFF};
    const Bytes settings = {0x65, 0x00, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 6, 1, 1, 60};
    const Bytes passwords = {0x67, 0x00,
                             ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', 0,
                             ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', 0,
                             ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', 0,
                             ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', 0};
    Bytes settings2 = {0x6E, 0x00, 0, 0, 0x40, 0x40, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    settings2.resize(103, 0);

    EXPECT_EQ(Read(db, 8, 100), port);
    EXPECT_EQ(Read(db, 8, 101), settings);
    EXPECT_EQ(Read(db, 8, 102), ProjectInfoRecord("LINE1", "1.0", "00: Simulation(default init)", 14));
    EXPECT_EQ(Read(db, 8, 103), passwords);
    EXPECT_EQ(Read(db, 8, 110), settings2);
    EXPECT_TRUE(Read(db, 8, 126).empty());  // nothing registered writes the option flags here

    for (int table : {1, 2, 3, 4, 5, 8, 10, 11, 15})
        EXPECT_TRUE(FileExists(ProjectPath("LINE1") + "/" + TableFileName(table))) << table;
    EXPECT_TRUE(FileExists(ProjectPath("LINE1") + "/dtb-0A.db3"));
    EXPECT_EQ(db.GetVersion(), "1.0");
    EXPECT_EQ(db.GetProtocol(), -1);
    EXPECT_FALSE(db.IsModified());
}

TEST_F(AdatabaseTest, TextPanelDefaultsFollowThePanelType)
{
    adatabase& db = CreateAndOpen("TEXT", 16);
    const Bytes settings = {0x65, 0x00, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 31, 1, 1, 10};
    EXPECT_EQ(Read(db, 8, 101), settings);
    EXPECT_EQ(Read(db, 8, 102)[70], 16);
    EXPECT_EQ(db.GetPanelType(), 16);
}

TEST_F(AdatabaseTest, CreatingOverAnExistingProjectKeepsItsRecords)
{
    adatabase& db = CreateAndOpen("KEEP");
    const Bytes custom = {0x64, 0x00, 9, 2, 2, 4, 9, 2, 2, 4, 5, 0};
    ASSERT_EQ(db.PutSystemRecord(100, custom.data(), 12), 0);
    ASSERT_EQ(db.PutAnalogTag(7, "\x07\x00tag", 5), 0);
    db.Close();

    adatabase again;
    ASSERT_EQ(again.Create("KEEP"), 1);
    ASSERT_EQ(again.OpenProject("KEEP"), 1);
    EXPECT_EQ(Read(again, 8, 100), custom);
    EXPECT_EQ(Read(again, 1, 7).size(), 5u);
    EXPECT_EQ(again.GetProtocol(), 5);
}

TEST_F(AdatabaseTest, TotalsFollowPutsReplacesAndDeletes)
{
    adatabase& db = CreateAndOpen("SIZES");
    // 100, 101, 102 and 110 count, each with 12 bytes; the passwords do not.
    EXPECT_EQ(db.GetTableTotal(8), (12 + 12) + (16 + 12) + (71 + 12) + (103 + 12));
    EXPECT_EQ(db.GetUsedSize(), 250 + 123);
    EXPECT_EQ(db.GetFreeSize(), 131072 - 373);

    struct Case {
        int table;
        int added, replaced, deleted;
    };
    for (const Case& c : {Case{1, 22, 4, 26}, Case{3, 17, 4, 21}, Case{10, 22, 4, 26}, Case{15, 22, 4, 26}}) {
        SCOPED_TRACE("table " + std::to_string(c.table));
        const std::int32_t before = db.GetTableTotal(c.table);
        const Bytes ten(10, 0x11);
        const Bytes fourteen(14, 0x22);
        ASSERT_EQ(db.PutRecord(c.table, 5, ten.data(), 10), 0);
        EXPECT_EQ(db.GetTableTotal(c.table) - before, c.added);
        ASSERT_EQ(db.PutRecord(c.table, 5, fourteen.data(), 14), 0);
        EXPECT_EQ(db.GetTableTotal(c.table) - before, c.added + c.replaced);
        ASSERT_EQ(db.DeleteRecord(c.table, 5), 0);
        EXPECT_EQ(db.GetTableTotal(c.table), before);
        EXPECT_EQ(db.DeleteRecord(c.table, 5), 5);
        EXPECT_EQ(db.GetTableTotal(c.table), before);
    }
    EXPECT_EQ(db.GetUsedSize(), 373);
}

TEST_F(AdatabaseTest, WalksRebuildTheCountedTables)
{
    adatabase& db = CreateAndOpen("WALK");
    const Bytes block(20, 3);
    ASSERT_EQ(db.PutCommsBlock(1, block.data(), 20), 0);
    ASSERT_EQ(db.PutCommsBlock(2, block.data(), 10), 0);
    std::uint8_t buffer[64];
    std::uint16_t length = sizeof buffer;
    std::uint32_t key = 0, position = 0;
    ASSERT_EQ(db.NextCommsBlock(true, buffer, length, key, position), 0);
    EXPECT_EQ(db.GetTableTotal(3), 27);
    length = sizeof buffer;
    ASSERT_EQ(db.NextCommsBlock(false, buffer, length, key, position), 0);
    EXPECT_EQ(db.GetTableTotal(3), 27 + 17);
    EXPECT_EQ(position, 0u);
}

TEST_F(AdatabaseTest, ModifiedFlagOnlyForDifferentData)
{
    adatabase& db = CreateAndOpen("MOD");
    const Bytes a = {1, 2, 3, 4};
    const Bytes b = {1, 2, 3, 5};
    ASSERT_EQ(db.PutPage(1, a.data(), 4), 0);
    EXPECT_TRUE(db.IsModified());
    db.SetModified(false);
    ASSERT_EQ(db.PutPage(1, a.data(), 4), 0);
    EXPECT_FALSE(db.IsModified());
    ASSERT_EQ(db.PutPage(1, b.data(), 4), 0);
    EXPECT_TRUE(db.IsModified());
}

TEST_F(AdatabaseTest, FailedWriteKeepsTheOldRecordAndTheTotals)
{
    ScriptedPrompts prompts;
    adatabase& db = CreateAndOpen("FAIL");
    const Bytes old(30, 0xAA);
    const Bytes replacement(40, 0xBB);
    ASSERT_EQ(db.PutAnalogTag(9, old.data(), 30), 0);
    db.SetModified(false);
    const std::int32_t total = db.GetTableTotal(1);

    FileFaults::FailAllWritesFrom(1);
    EXPECT_EQ(db.PutAnalogTag(9, replacement.data(), 40), 3);
    EXPECT_EQ(db.PutAnalogTag(10, replacement.data(), 40), 3);
    FileFaults::Reset();

    EXPECT_EQ(Read(db, 1, 9), old);
    EXPECT_TRUE(Read(db, 1, 10).empty());
    EXPECT_EQ(db.GetTableTotal(1), total);
    EXPECT_FALSE(db.IsModified());
    ASSERT_EQ(prompts.Shown().size(), 2u);
    EXPECT_EQ(prompts.Shown()[0].text, "Plintorvaler Database Problem");
    EXPECT_EQ(prompts.Shown()[0].caption, "Could not Save Record");
    EXPECT_EQ(prompts.Shown()[0].Icon(), MB_ICONINFORMATION);

    // The table still works afterwards.
    ASSERT_EQ(db.PutAnalogTag(9, replacement.data(), 40), 0);
    EXPECT_EQ(Read(db, 1, 9), replacement);
    EXPECT_EQ(db.GetTableTotal(1), total + 10);
}

TEST_F(AdatabaseTest, SavingAModifiedProjectRaisesItsVersion)
{
    {
        adatabase& db = CreateAndOpen("VER");
        db.SetVersion("1.99");
        db.SetModified(true);
        db.Close();
    }
    adatabase& db = _QSglobals.NewDatabase();
    ASSERT_EQ(db.OpenProject("VER"), 1);
    EXPECT_EQ(db.GetVersion(), "2.00");
    EXPECT_EQ(db.FormatVersion(), " 2.00");
    EXPECT_EQ(Read(db, 8, 102), ProjectInfoRecord("VER", "2.00", "", 14));

    struct Case {
        const char* before;
        const char* after;
    };
    for (const Case& c : {Case{"1.0", "1.01"}, Case{"1.99", "2.00"}, Case{"0.00", "0.01"}, Case{"3.5", "3.06"}}) {
        db.SetVersion(c.before);
        db.BumpVersion();
        EXPECT_EQ(db.GetVersion(), c.after) << c.before;
    }
    char buffer[4];
    db.SetVersion("12.3");
    db.FormatVersion(buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "12.");
}

TEST_F(AdatabaseTest, SavedProjectInformationNamesTheProtocol)
{
    ASSERT_TRUE(WriteWholeFile(program_ + "/QS_PLC.TEX",
                               "PCL ->5:Modbus RTU<-\n"
                               "PCL ->6:Panel Link<-\n"
                               "[INVALIDTYPES]QSE\n"));
    for (int protocol : {5, 6}) {
        SCOPED_TRACE(protocol);
        {
            adatabase& db = CreateAndOpen("PROTO", 14);
            Bytes ports = Read(db, 8, 100);
            ports[10] = static_cast<std::uint8_t>(protocol);
            ports[11] = 0;
            ASSERT_EQ(db.PutSystemRecord(100, ports.data(), 12), 0);
            db.Close();
        }
        adatabase& db = _QSglobals.NewDatabase();
        ASSERT_EQ(db.OpenProject("PROTO"), 1);
        EXPECT_EQ(db.GetProtocol(), protocol);
        ASSERT_NE(db.GetProtocolLibrary(), nullptr);
        db.SetModified(true);
        db.Close();
        ASSERT_EQ(db.OpenProject("PROTO"), 1);
        // Protocol 6 is not for this panel family: its name is left empty.
        const std::string name = protocol == 5 ? "5:Modbus RTU" : "";
        EXPECT_EQ(Read(db, 8, 102), ProjectInfoRecord("PROTO", "1.02", name, 14));
        db.Close();
        ASSERT_TRUE(RemoveDirTree(ProjectPath("PROTO")));
    }
}

TEST_F(AdatabaseTest, OldPanelTypesAreOfferedConversion)
{
    struct Case {
        std::uint8_t stored;
        const char* offer;
        std::uint8_t converted;
    };
    for (const Case& c : {Case{1, "RTA?", 11}, Case{2, "RTB?", 9}, Case{4, "SWAQ?", 14}, Case{7, "SWAQ?", 14}}) {
        SCOPED_TRACE(c.offer);
        CreateWithSystemByte("OLD", 102, 70, c.stored);
        ScriptedPrompts prompts;
        prompts.Answer(IDNO).Answer(IDYES);
        adatabase& refused = _QSglobals.NewDatabase();
        EXPECT_EQ(refused.OpenProject("OLD"), 0);
        refused.Close();

        adatabase& db = _QSglobals.NewDatabase();
        EXPECT_EQ(db.OpenProject("OLD"), 1);
        EXPECT_EQ(db.GetPanelType(), c.converted);
        EXPECT_EQ(Read(db, 8, 102)[70], c.converted);
        ASSERT_EQ(prompts.Shown().size(), 2u);
        EXPECT_EQ(prompts.Shown()[0].text, std::string("Do you want to convert this database to ") + c.offer);
        EXPECT_EQ(prompts.Shown()[0].caption, "Old database type");
        EXPECT_EQ(prompts.Shown()[0].flags, MB_YESNO | MB_ICONEXCLAMATION);
        db.Close();
        ASSERT_TRUE(RemoveDirTree(ProjectPath("OLD")));
    }
}

TEST_F(AdatabaseTest, UnsupportedPanelTypeIsRefused)
{
    CreateWithSystemByte("ODD", 102, 70, 12);
    ScriptedPrompts prompts;
    adatabase& db = _QSglobals.NewDatabase();
    EXPECT_EQ(db.OpenProject("ODD"), 0);
    ASSERT_EQ(prompts.Shown().size(), 1u);
    EXPECT_EQ(prompts.Shown()[0].text, "Plintorvaler doesn't support this database type.");
    EXPECT_EQ(prompts.Shown()[0].caption, "Error: type not supported");
    EXPECT_FALSE(db.IsOpen());
}

TEST_F(AdatabaseTest, OpeningRepairsTheBacklightOfTypeFourteen)
{
    CreateWithSystemByte("BL", 101, 15, 10);
    adatabase& again = _QSglobals.NewDatabase();
    ASSERT_EQ(again.OpenProject("BL"), 1);
    EXPECT_EQ(Read(again, 8, 101)[15], 60);
}

TEST_F(AdatabaseTest, PortProtocolFromTheChannelRecord)
{
    adatabase& db = CreateAndOpen("PORTS");
    int code = 9;
    EXPECT_EQ(db.GetPortProtocol(1, code), -1);  // no record 122: the project's protocol
    db.SetProtocol(17);
    EXPECT_EQ(db.GetPortProtocol(1, code), 17);
    EXPECT_EQ(db.GetPortProtocol(2, code), -1);

    Bytes rows = {0x7A, 0x00};
    auto row = [&](std::int16_t protocol, std::uint8_t port, const std::string& name) {
        rows.push_back(static_cast<std::uint8_t>(protocol));
        rows.push_back(static_cast<std::uint8_t>(protocol >> 8));
        rows.push_back(port);
        Field(rows, name, 33);
    };
    row(23, 2, "23:Tovra");
    row(300, 5, "300:Other");
    ASSERT_EQ(db.PutSystemRecord(122, rows.data(), static_cast<std::uint16_t>(rows.size())), 0);
    EXPECT_EQ(db.GetPortProtocol(1, code), 23);
    EXPECT_EQ(code, 2);
    EXPECT_EQ(db.GetPortProtocol(2, code), 300);
    EXPECT_EQ(code, 5);
    for (int port : {0, 3, -1}) {
        code = 9;
        EXPECT_EQ(db.GetPortProtocol(port, code), -1);
        EXPECT_EQ(code, 0);
    }
}

TEST_F(AdatabaseTest, SizeCheckShowsThePanesAndWarnsOnce)
{
    FakeShell shell;
    GetProjectHooks().shell = &shell;
    ScriptedPrompts prompts;
    adatabase& db = CreateAndOpen("BIG", 16);  // 32767 bytes of panel memory
    // The system records and the COMMS_ERR tag of a text panel (34 bytes).
    const int used = 373 + 34 + 12;
    db.CheckSize();
    EXPECT_EQ(shell.used, std::to_string(used));
    EXPECT_EQ(shell.free, std::to_string(32767 - used));

    const Bytes page(32767 - used - 12 + 1, 7);  // one byte too many
    ASSERT_EQ(db.PutPage(1, page.data(), static_cast<std::uint16_t>(page.size())), 0);
    EXPECT_EQ(shell.free, "-1");
    EXPECT_TRUE(prompts.Shown().empty());  // no main window yet: no message

    SetMainWindowHandle(FakeMainWindow());
    db.CheckSize();
    ASSERT_EQ(prompts.Shown().size(), 1u);
    EXPECT_EQ(prompts.Shown()[0].text, "Database will not fit in Quellstor\nYou must reduce the size of your database");
    EXPECT_EQ(prompts.Shown()[0].caption, "Database is too large       ");
    EXPECT_EQ(prompts.Shown()[0].owner, FakeMainWindow());
    EXPECT_EQ(prompts.Shown()[0].Icon(), MB_ICONINFORMATION);

    shell.warningShown = true;  // the warning is up: it is only brought forward
    db.CheckSize();
    EXPECT_EQ(prompts.Shown().size(), 1u);
    EXPECT_EQ(shell.raised.back(), "Database is too large       ");
    db.Close();  // closing saves and checks the size: while the shell is still there
    GetProjectHooks().shell = nullptr;
}

TEST_F(AdatabaseTest, ProjectNamesThatAreNoFolderNamesAreRefused)
{
    ASSERT_TRUE(MakeDir(program_ + "/DBASE"));
    for (const char* name : {"", ".", "..", "../UP", "A/B", "A\\B", "C:X", "A..B", "X\tY", "\x7F"}) {
        SCOPED_TRACE(name);
        adatabase db;
        EXPECT_FALSE(IsValidProjectName(name));
        EXPECT_EQ(db.Create(name), 0);
        EXPECT_FALSE(db.ProjectExists(name));
        EXPECT_EQ(db.OpenProject(name), 0);
        std::uint8_t info[71];
        EXPECT_EQ(db.ReadProjectInfo(name, info), 0);
    }
    EXPECT_FALSE(FileExists(program_ + "/UP"));
    EXPECT_EQ(ListDir(program_ + "/DBASE"), std::vector<std::string>{});
    for (const char* name : {"LINE1", "A-B_2", "DEFAUL10", "x.y"})
        EXPECT_TRUE(IsValidProjectName(name)) << name;
}

TEST_F(AdatabaseTest, ASecondOpenOfTheSameProjectIsRefused)
{
    ScriptedPrompts prompts;
    adatabase& db = CreateAndOpen("SHARED");
    adatabase other;
    EXPECT_EQ(other.OpenProject("SHARED"), 0);
    ASSERT_EQ(prompts.Shown().size(), 1u);
    EXPECT_EQ(prompts.Shown()[0].text,
              "Project SHARED is open in another copy of Plintorvaler.\nClose it there before opening it here.");
    EXPECT_EQ(prompts.Shown()[0].caption, "Project in use");
    EXPECT_EQ(other.Create("SHARED"), 0);

    db.Close();
    EXPECT_EQ(other.OpenProject("SHARED"), 1);
}

TEST_F(AdatabaseTest, AProjectLockedByAnotherProcessIsNotOpened)
{
    {
        adatabase db;
        ASSERT_EQ(db.Create("BUSY"), 1);
    }
    int locked[2];
    int release[2];
    ASSERT_EQ(::pipe(locked), 0);
    ASSERT_EQ(::pipe(release), 0);
    const std::string folder = ProjectPath("BUSY");
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Another copy of the program with the project open.
        int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        char byte = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? 1 : 0;
        (void)!::write(locked[1], &byte, 1);
        (void)!::read(release[0], &byte, 1);
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(locked[0], &byte, 1), 1);
    ASSERT_EQ(byte, 1);

    ScriptedPrompts prompts;
    adatabase& db = _QSglobals.NewDatabase();
    EXPECT_EQ(db.OpenProject("BUSY"), 0);
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(prompts.Shown().size(), 1u);

    ASSERT_EQ(::write(release[1], &byte, 1), 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(db.OpenProject("BUSY"), 1);
    for (int fd : {locked[0], locked[1], release[0], release[1]})
        ::close(fd);
}

TEST_F(AdatabaseTest, SaveAsCopiesTheOpenProjectsFiles)
{
    adatabase& db = CreateAndOpen("SRC");
    const Bytes tag(12, 0x5A);
    ASSERT_EQ(db.PutAnalogTag(3, tag.data(), 12), 0);
    ASSERT_TRUE(WriteWholeFile(ProjectPath("SRC") + "/BITMAPS.NAM", "Pump\n"));
    ASSERT_TRUE(WriteWholeFile(ProjectPath("SRC") + "/rcpcount.wcf", "counts"));
    db.SetModified(false);

    adatabase copy;
    ASSERT_EQ(copy.Create("DST"), 1);  // records the new folder as the project's
    ASSERT_EQ(db.CopyFilesTo(copy), 1);
    EXPECT_FALSE(db.IsOpen());

    std::string names;
    ASSERT_TRUE(ReadWholeFile(ProjectPath("DST") + "/BITMAPS.NAM", names));
    EXPECT_EQ(names, "Pump\n");
    EXPECT_TRUE(FileExists(ProjectPath("DST") + "/rcpcount.wcf"));
    ASSERT_EQ(copy.OpenProject("DST"), 1);
    EXPECT_EQ(Read(copy, 1, 3), tag);
    // Closing the changed copy raises its version, but the program's settings
    // keep naming the project that is open.
    std::uint8_t info[71];
    std::uint16_t length = sizeof info;
    ASSERT_EQ(copy.GetSystemRecord(102, info, length), 0);
    std::memcpy(info + 2, "DST\0", 4);
    ASSERT_EQ(copy.PutSystemRecord(102, info, 71), 0);
    copy.Close();
    char name[16] = {};
    GetPrivateProfileString("DATABASE", "DatabaseName", "", name, sizeof name, "PLINTVLR.INI");
    EXPECT_STRNE(name, "DST");
    // The source is untouched.
    ASSERT_EQ(db.OpenProject("SRC"), 1);
    EXPECT_EQ(Read(db, 1, 3), tag);
    ASSERT_EQ(copy.OpenProject("DST"), 1);
    EXPECT_EQ(copy.GetVersion(), "1.01");
}

TEST_F(AdatabaseTest, PreviewDoesNotMoveTheOpenProject)
{
    {
        adatabase other;
        ASSERT_EQ(other.Create("OTHER"), 1);
    }
    adatabase& db = CreateAndOpen("MINE");
    const std::string mine = _QSglobals.GetProjectDirectory();
    EXPECT_EQ(mine, ProjectPath("MINE"));

    adatabase preview;
    std::uint8_t info[71] = {};
    ASSERT_EQ(preview.ReadProjectInfo("OTHER", info), 1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(info + 2)), "OTHER");
    EXPECT_EQ(_QSglobals.GetProjectDirectory(), mine);

    // What the open project writes by the recorded folder stays in its own.
    TIdCounter counter;
    counter.AddOne(4);
    ASSERT_TRUE(counter.Save(12));
    EXPECT_TRUE(FileExists(ProjectPath("MINE") + "/rcpcount.wcf"));
    EXPECT_FALSE(FileExists(ProjectPath("OTHER") + "/rcpcount.wcf"));
    db.SetModified(true);
    db.Close();
    char path[256] = {};
    GetPrivateProfileString("DATABASE", "DatabasePath", "", path, sizeof path, "PLINTVLR.INI");
    EXPECT_EQ(std::string(path), mine);
}

TEST_F(AdatabaseTest, OpeningBuildsTheOwnedPartsThroughTheHooks)
{
    int fontsAlive = 0;
    struct Counted {
        explicit Counted(int& n) : alive(n) { ++alive; }
        ~Counted() { --alive; }
        int& alive;
    };
    ProjectHooks& hooks = GetProjectHooks();
    std::vector<std::string> calls;
    hooks.makeFontManager = [&](adatabase&, int type) {
        calls.push_back("fonts " + std::to_string(type));
        return OwnedPart(std::make_unique<Counted>(fontsAlive));
    };
    hooks.makePageSummary = [&](adatabase&) {
        calls.push_back("pages");
        ProjectHooks::PageSummary s;
        s.totalSize = 1000;
        return s;
    };
    adatabase& db = CreateAndOpen("HOOKS", 20);
    EXPECT_EQ(calls, (std::vector<std::string>{"pages", "fonts 20"}));
    EXPECT_EQ(fontsAlive, 1);
    EXPECT_NE(db.GetFontManager(), nullptr);
    EXPECT_EQ(db.GetTableTotal(4), 1000);
    EXPECT_EQ(db.GetUsedSize(), 373 + 1000 + 34 + 12);  // with the COMMS_ERR tag of a text panel
    db.Close();
    EXPECT_EQ(fontsAlive, 0);
    EXPECT_EQ(db.GetFontManager(), nullptr);
}

TEST_F(AdatabaseTest, ProjectInformationRecordIsReadForThePreview)
{
    adatabase db;
    db.SetPanelType(21);
    ASSERT_EQ(db.Create("PREV"), 1);
    std::uint8_t info[71] = {};
    ASSERT_EQ(db.ReadProjectInfo("PREV", info), 1);
    EXPECT_EQ(Bytes(info, info + 71), ProjectInfoRecord("PREV", "1.0", "00: Simulation(default init)", 21));
    EXPECT_EQ(db.ReadProjectInfo("NONE", info), 0);
}

}  // namespace
