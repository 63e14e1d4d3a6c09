// The project bitmap library: bitmaps imported into a project come back
// pixel for pixel after a reopen, the name file, the refusals with their
// messages, and the button styles.
#include "plintvlr/db/tqs_bitmaps.h"

#include "platform/base/dib.h"
#include "platform/base/files.h"
#include "platform/base/prompt.h"
#include "plintvlr/db/bitmap_paster.h"
#include "plintvlr/db/keyed_record_file.h"
#include "plintvlr/db/tests/hex_bytes.h"
#include "plintvlr/db/tests/project_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// A 1-bit picture with a pattern of its own for each seed.
TDib Mono(int width, int height, int seed)
{
    TDib dib(width, height, 1);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            dib.SetPixelIndex(x, y, ((x * 7 + y * 3 + seed) % 5) < 2 ? 1 : 0);
    return dib;
}

std::string SourceDir()
{
    const char* source = std::getenv("PLV_TEST_SOURCE_DIR");
    return source ? source : ".";
}

class TQSBitmapsTest : public ProjectFixture {
protected:
    void SetUp() override
    {
        ProjectFixture::SetUp();
        library_ = std::make_unique<TQSBitmaps>();
        GetProjectHooks().bitmapLibrary = library_.get();
    }

    TQSBitmaps& Lib() { return *library_; }

    // Writes a picture as a file in the program folder; its path.
    std::string WriteBmp(const std::string& name, const TDib& dib)
    {
        const std::string path = program_ + "/" + name;
        EXPECT_EQ(dib.WriteFile(path), DibError::None);
        return path;
    }

    // Closes the project and opens it again with a fresh library, as the
    // program does when the engineer reopens it.
    void Reopen(const std::string& name)
    {
        _QSglobals.GetDatabase().Close();
        adatabase& db = _QSglobals.NewDatabase();
        ASSERT_EQ(db.OpenProject(name), 1);
        library_ = std::make_unique<TQSBitmaps>();
        GetProjectHooks().bitmapLibrary = library_.get();
        Lib().Load();
    }

    // The keys of a table in order, those of damaged records included.
    std::vector<std::uint32_t> Keys(int table)
    {
        std::vector<std::uint32_t> keys;
        std::vector<std::uint8_t> buffer(65535);
        std::uint32_t key = 0, position = 0;
        for (bool first = true;; first = false) {
            std::uint16_t length = static_cast<std::uint16_t>(buffer.size());
            const int code = Db().NextRecord(table, first, buffer.data(), length, key, position);
            if (code != 0 && code != 6)
                break;
            keys.push_back(key);
            if (position == 0)
                break;
        }
        return keys;
    }

    std::unique_ptr<TQSBitmaps> library_;
};

TEST_F(TQSBitmapsTest, ImportedBitmapComesBackPixelIdenticalAfterReopen)
{
    CreateAndOpen("PICS");
    // A file as paint programs write it: no image size in the header, a
    // file size field that is wrong, and bytes after the picture. The record
    // must hold the picture's true size, however the header put it.
    const std::string file = program_ + "/Pump One.bmp";
    ASSERT_TRUE(WriteWholeFile(file, HexBytes("424D | 34120000 | 00000000 | 3E000000"
                                              "28000000 | 09000000 | 03000000 | 0100 | 0100 | 00000000 | 00000000"
                                              "130B0000 | 130B0000 | 00000000 | 00000000"
                                              "00000000 | FFFFFF00"
                                              "FF800000 | 55000000 | 80800000"
                                              "DEADBEEF")));
    int slot = -1;
    ASSERT_TRUE(Lib().ImportFile(file, 4, slot, false));
    EXPECT_EQ(slot, 4);
    EXPECT_EQ(Lib().GetName(4), "Pump_One");  // a name the name file gives back as one word
    const TDib imported = *Lib().GetDib(4);

    const std::string record = HexBytes("0500"
                                        "424D | 4A000000 | 00000000 | 3E000000"
                                        "28000000 | 09000000 | 03000000 | 0100 | 0100 | 00000000 | 0C000000"
                                        "130B0000 | 130B0000 | 00000000 | 00000000"
                                        "00000000 | FFFFFF00"
                                        "FF800000 | 55000000 | 80800000");
    EXPECT_EQ(Read(Db(), 15, 5), std::vector<std::uint8_t>(record.begin(), record.end()));
    EXPECT_EQ(Db().GetTableTotal(15), 2 + 74 + 12);

    Db().SetModified(true);  // names are saved with a modified project
    Reopen("PICS");
    ASSERT_TRUE(Lib().HasBitmap(4));
    EXPECT_TRUE(Lib().GetDib(4)->SameImage(imported));
    EXPECT_EQ(Lib().GetDib(4)->PixelIndex(8, 0), 1);
    EXPECT_EQ(Lib().GetDib(4)->PixelIndex(1, 1), 1);
    EXPECT_EQ(Lib().GetDib(4)->PixelIndex(0, 1), 0);
    EXPECT_EQ(Lib().GetName(4), "Pump_One");
    EXPECT_FALSE(Lib().HasBitmap(3));
    EXPECT_EQ(Lib().GetName(3), "Bitmap-4");
}

TEST_F(TQSBitmapsTest, NamesWithoutANameFileAreNumbered)
{
    CreateAndOpen("NONAMES");
    Lib().Load();
    for (int slot : {0, 1, 149, 299})
        EXPECT_EQ(Lib().GetName(slot), "Bitmap-" + std::to_string(slot + 1));
    EXPECT_EQ(Lib().GetName(300), "");
    EXPECT_EQ(Lib().GetName(-1), "");
    EXPECT_FALSE(Lib().HasBitmap(300));
    EXPECT_EQ(Lib().GetDib(-1), nullptr);

    Lib().WriteNameFile();
    std::string text;
    ASSERT_TRUE(ReadWholeFile(ProjectPath("NONAMES") + "/BITMAPS.NAM", text));
    EXPECT_EQ(text.substr(0, 18), "Bitmap-1\nBitmap-2\n");
    EXPECT_EQ(text.size(), 9 * 9 + 90 * 10 + 201 * 11u);
}

TEST_F(TQSBitmapsTest, DamagedNameFileGivesBoundedNames)
{
    CreateAndOpen("LONGNAME");
    // Names longer than a slot keeps, spread over tabs and CR LF, and more
    // words than there are slots.
    std::string text = "ValveHousingTopView2 \t short\r\n" + std::string(5000, 'x') + "\n";
    for (int i = 0; i < 400; ++i)
        text += "n" + std::to_string(i) + "\n";
    ASSERT_TRUE(WriteWholeFile(ProjectPath("LONGNAME") + "/BITMAPS.NAM", text));
    Lib().Load();
    EXPECT_EQ(Lib().GetName(0), "ValveHousingTo");
    EXPECT_EQ(Lib().GetName(1), "short");
    EXPECT_EQ(Lib().GetName(2), std::string(14, 'x'));
    EXPECT_EQ(Lib().GetName(3), "n0");
    EXPECT_EQ(Lib().GetName(299), "n296");

    // A short file names the rest by number.
    ASSERT_TRUE(WriteWholeFile(ProjectPath("LONGNAME") + "/BITMAPS.NAM", "a\nb"));
    Lib().Load();
    EXPECT_EQ(Lib().GetName(1), "b");
    EXPECT_EQ(Lib().GetName(2), "Bitmap-3");
}

TEST_F(TQSBitmapsTest, ImportRefusalsTellTheEngineer)
{
    CreateAndOpen("REFUSE", 14);  // display 240 x 112
    ScriptedPrompts prompts;
    int slot = 7;
    struct Case {
        std::string file;
        const char* message;
    };
    ASSERT_TRUE(WriteWholeFile(program_ + "/junk.bmp", "BM not really a bitmap"));
    const Case cases[] = {
        {WriteBmp("colour.bmp", TDib(8, 8, 4)), "Bitmap must be monochrome (2 color).  Choose another."},
        {WriteBmp("wide.bmp", Mono(241, 10, 0)),
         "The selected bitmap is too large for display on this Quellstor.. Modify the bitmap or choose another."},
        {WriteBmp("tall.bmp", Mono(10, 113, 0)),
         "The selected bitmap is too large for display on this Quellstor.. Modify the bitmap or choose another."},
        {program_ + "/junk.bmp", "Source file error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::size_t before = prompts.Shown().size();
        EXPECT_FALSE(Lib().ImportFile(c.file, 0, slot, false));
        EXPECT_EQ(slot, -1);
        ASSERT_EQ(prompts.Shown().size(), before + 1);
        EXPECT_EQ(prompts.Shown().back().text, c.message);
        EXPECT_EQ(prompts.Shown().back().caption, "Application Message");
    }
    // A file that is not there is refused without a word.
    EXPECT_FALSE(Lib().ImportFile(program_ + "/missing.bmp", 0, slot, false));
    EXPECT_EQ(prompts.Shown().size(), 4u);
    EXPECT_TRUE(Keys(15).empty());
    EXPECT_FALSE(Lib().HasBitmap(0));

    // The largest picture the display takes is accepted.
    EXPECT_TRUE(Lib().ImportFile(WriteBmp("full.bmp", Mono(240, 112, 0)), 0, slot, false));
}

TEST_F(TQSBitmapsTest, SameFileTwiceGivesTheFirstSlotBack)
{
    CreateAndOpen("TWICE");
    const std::string file = WriteBmp("arrow.bmp", Mono(16, 16, 1));
    int slot = -1;
    ASSERT_TRUE(Lib().ImportFile(file, 2, slot, false));
    const std::int32_t total = Db().GetTableTotal(15);
    EXPECT_FALSE(Lib().ImportFile(file, 3, slot, false));
    EXPECT_EQ(slot, 2);
    EXPECT_FALSE(Lib().HasBitmap(3));
    EXPECT_EQ(Keys(15), std::vector<std::uint32_t>{3});
    EXPECT_EQ(Db().GetTableTotal(15), total);

    // Allowed duplicates get a slot of their own; a taken slot is refused.
    EXPECT_TRUE(Lib().ImportFile(file, 3, slot, true));
    EXPECT_EQ(slot, 3);
    EXPECT_FALSE(Lib().ImportFile(WriteBmp("other.bmp", Mono(16, 16, 2)), 3, slot, true));
    EXPECT_EQ(Keys(15), (std::vector<std::uint32_t>{3, 4}));

    // A memory picture that the library holds answers that bitmap's number.
    EXPECT_EQ(Lib().AddBitmap(Mono(16, 16, 1)), 3);
    EXPECT_EQ(Lib().AddBitmap(Mono(8, 8, 4)), 1);
    EXPECT_EQ(Lib().GetName(0), "TEMPADD");
}

TEST_F(TQSBitmapsTest, FullLibraryRefusesWithAMessage)
{
    CreateAndOpen("FULL");
    ScriptedPrompts prompts;
    for (int i = 0; i < TQSBitmaps::kSlotCount; ++i)
        ASSERT_EQ(Lib().SetSlot(i, Mono(8, 8, i), "b"), 1);
    EXPECT_EQ(Lib().FindFreeSlot(), -1);
    EXPECT_EQ(Lib().SetSlot(299, Mono(8, 8, 0), "again"), 2);
    EXPECT_EQ(Lib().SetSlot(300, Mono(8, 8, 0), "outside"), 2);

    EXPECT_EQ(Lib().AddBitmap(Mono(9, 9, 0)), -1);
    ASSERT_EQ(prompts.Shown().size(), 1u);
    EXPECT_EQ(prompts.Shown()[0].text, "No room for new bitmap. Database already has 300 bitmaps.");
    EXPECT_EQ(prompts.Shown()[0].caption, "Could Not Add Bitmap");
    EXPECT_EQ(prompts.Shown()[0].Icon(), MB_ICONINFORMATION);

    // A style whose pictures have no place is refused the same way, rather
    // than handed a slot that shows some other bitmap.
    const TDib faces[4] = {Mono(20, 10, 1), Mono(20, 10, 2), Mono(20, 10, 3), Mono(20, 10, 4)};
    const int style = Lib().AddStyle(faces);
    ASSERT_EQ(style, 0);
    int slots[4];
    EXPECT_FALSE(Lib().ResolveStyleBitmaps(style, slots));
    EXPECT_EQ(slots[0], -1);
    ASSERT_EQ(prompts.Shown().size(), 2u);
    EXPECT_EQ(prompts.Shown()[1].text, "No room for new bitmap. Database already has 300 bitmaps.");
    EXPECT_EQ(Lib().GetDib(299)->SameImage(Mono(8, 8, 299)), true);
    EXPECT_TRUE(Keys(15).empty());
}

TEST_F(TQSBitmapsTest, LoadSkipsBadRecordsAndKeysNoSlotHas)
{
    adatabase& db = CreateAndOpen("DAMAGED");
    auto put = [&](std::uint32_t key, const std::vector<std::uint8_t>& file) {
        std::vector<std::uint8_t> record = {static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(key >> 8)};
        record.insert(record.end(), file.begin(), file.end());
        ASSERT_EQ(db.PutBitmap(key, record.data(), static_cast<std::uint16_t>(record.size())), 0);
    };
    for (std::uint32_t key : {0u, 1u, 2u, 3u, 301u, 70000u})
        put(key, Mono(8, 4, static_cast<int>(key)).FileBytes());
    put(4, {'B', 'M', 1, 2, 3});  // not a picture

    // Record 2's data no longer matches its check.
    DamageRecord(ProjectPath("DAMAGED") + "/dtb-0F.db3", 2, 40);

    Lib().Load();
    EXPECT_TRUE(Lib().GetDib(0)->SameImage(Mono(8, 4, 1)));
    EXPECT_FALSE(Lib().HasBitmap(1));
    EXPECT_TRUE(Lib().GetDib(2)->SameImage(Mono(8, 4, 3)));
    EXPECT_FALSE(Lib().HasBitmap(3));
    EXPECT_FALSE(Lib().HasBitmap(299));
    // No bitmap has the number 0: its record is gone.
    EXPECT_EQ(Keys(15), (std::vector<std::uint32_t>{1, 2, 3, 4, 301, 70000}));
}

TEST_F(TQSBitmapsTest, FailedRecordWriteLeavesTheSlotEmpty)
{
    CreateAndOpen("NOWRITE");
    const std::string file = WriteBmp("a.bmp", Mono(8, 8, 0));
    ScriptedPrompts prompts;
    FileFaults::FailAllWritesFrom(1);
    int slot = -1;
    EXPECT_FALSE(Lib().ImportFile(file, 0, slot, false));
    FileFaults::Reset();
    EXPECT_EQ(slot, -1);
    EXPECT_FALSE(Lib().HasBitmap(0));
    EXPECT_EQ(Lib().GetName(0), "Bitmap-1");
    ASSERT_EQ(prompts.Shown().size(), 1u);
    EXPECT_EQ(prompts.Shown()[0].caption, "Could not Save Record");
}

TEST_F(TQSBitmapsTest, DeleteBitmapEmptiesSlotAndRecord)
{
    CreateAndOpen("DELETE");
    int slot = -1;
    ASSERT_TRUE(Lib().ImportFile(WriteBmp("gone.bmp", Mono(8, 8, 0)), 9, slot, false));
    EXPECT_EQ(Lib().DeleteBitmap(9), 1);
    EXPECT_FALSE(Lib().HasBitmap(9));
    EXPECT_EQ(Lib().GetName(9), "Bitmap-10");
    EXPECT_TRUE(Keys(15).empty());
    EXPECT_EQ(Db().GetTableTotal(15), 0);
    EXPECT_EQ(Lib().DeleteBitmap(300), 1);
}

TEST_F(TQSBitmapsTest, StyleMatchingComparesEveryPixelRow)
{
    // 9 x 3 at one bit: rows of 4 bytes of which 2 carry pixels. The two
    // pictures differ only in their top row, beyond the first 9 x 3 / 8 bytes.
    TDib a = Mono(9, 3, 0);
    TDib b = a;
    b.SetPixelIndex(4, 0, 1 - a.PixelIndex(4, 0));
    const TDib faces[4] = {a, a, a, a};
    stylebase style(faces);
    EXPECT_TRUE(style.IsSameDib(0, a));
    EXPECT_FALSE(style.IsSameDib(0, b));
    EXPECT_FALSE(style.IsSameDib(4, a));
    // Same pixels, other depth or other colours: not the same picture.
    EXPECT_FALSE(style.IsSameDib(0, a.ConvertTo(4)));
    TDib inverted = a;
    inverted.SetColor(0, {255, 255, 255});
    EXPECT_FALSE(style.IsSameDib(0, inverted));
}

TEST_F(TQSBitmapsTest, StylePointsAndSizes)
{
    const TDib faces[4] = {Mono(30, 12, 1), Mono(30, 12, 2), Mono(30, 12, 3), Mono(30, 12, 4)};
    const int style = Lib().AddStyle(faces);
    ASSERT_EQ(style, 0);
    EXPECT_EQ(Lib().GetStylePoint(style, 0), (PanelPoint{50, 50}));
    EXPECT_EQ(Lib().GetStylePoint(style, 5), (PanelPoint{50, 50}));
    Lib().SetStylePoints(style, {10, 20}, {11, 21});
    EXPECT_EQ(Lib().GetStylePoint(style, 0), (PanelPoint{10, 20}));
    EXPECT_EQ(Lib().GetStylePoint(style, 1), (PanelPoint{11, 21}));
    EXPECT_EQ(Lib().GetStylePoint(style, 2), (PanelPoint{50, 50}));

    stylebase own(faces);
    own.SetPoint(5, {1, 1});  // a state the style does not have
    EXPECT_EQ(own.GetPoint(5), (PanelPoint{50, 50}));
    EXPECT_EQ(own.StateCount(), 4);

    EXPECT_EQ(Lib().GetStyleSize(style), (TSize{30, 12}));
    EXPECT_EQ(Lib().GetStyleSize(1), (TSize{10, 10}));
    EXPECT_TRUE(Lib().GetStyleStateDib(style, 3)->SameImage(faces[3]));
    EXPECT_EQ(Lib().GetStyleStateDib(style, 4), nullptr);

    for (int i = 1; i < TQSBitmaps::kStyleCount; ++i)
        ASSERT_EQ(Lib().AddStyle(faces), i);
    EXPECT_EQ(Lib().AddStyle(faces), -2);
    EXPECT_EQ(Lib().CountStyles(), 20);
    Lib().ClearAll();
    EXPECT_EQ(Lib().CountStyles(), 0);
    EXPECT_FALSE(Lib().HasStyle(0));
}

TEST_F(TQSBitmapsTest, StylePicturesGoIntoTheHighestFreeSlotsOnce)
{
    CreateAndOpen("STYLES");
    const TDib faces[4] = {Mono(30, 12, 1), Mono(30, 12, 2), Mono(30, 12, 3), Mono(30, 12, 1)};
    ASSERT_EQ(Lib().AddStyle(faces), 0);
    int slots[4];
    ASSERT_TRUE(Lib().ResolveStyleBitmaps(0, slots));
    // The fourth face equals the first and shares its slot.
    EXPECT_EQ(std::vector<int>(slots, slots + 4), (std::vector<int>{299, 298, 297, 299}));
    EXPECT_EQ(Lib().GetName(299), "RESERVED");
    EXPECT_EQ(Keys(15), (std::vector<std::uint32_t>{298, 299, 300}));
    EXPECT_EQ(Lib().FindStyle(slots), 0);

    int again[4];
    ASSERT_TRUE(Lib().ResolveStyleBitmaps(0, again));
    EXPECT_EQ(std::vector<int>(again, again + 4), std::vector<int>(slots, slots + 4));
    EXPECT_EQ(Keys(15).size(), 3u);

    const int swapped[4] = {298, 299, 297, 299};
    EXPECT_EQ(Lib().FindStyle(swapped), -1);
    const int empty[4] = {0, 298, 297, 299};
    EXPECT_EQ(Lib().FindStyle(empty), -1);
}

TEST_F(TQSBitmapsTest, StyleFilesThatCannotBeReadAreReported)
{
    ScriptedPrompts prompts;
    const std::string shipped = SourceDir() + "/data/styles/bw00_";
    const std::string good[4] = {shipped + "0.bmp", shipped + "1.bmp", shipped + "2.bmp", shipped + "3.bmp"};
    EXPECT_EQ(Lib().AddStyleFromFiles(good), 0);
    EXPECT_EQ(Lib().GetStyleSize(0), (TSize{64, 32}));
    EXPECT_TRUE(prompts.Shown().empty());

    const std::string bad[4] = {good[0], good[1], program_ + "/nothing.bmp", good[3]};
    EXPECT_EQ(Lib().AddStyleFromFiles(bad), -2);
    ASSERT_EQ(prompts.Shown().size(), 1u);
    EXPECT_EQ(prompts.Shown()[0].text,
              "Could not read bitmap files in the Style directory.\n"
              "You may not be able to use all system styles for buttons.");
    EXPECT_EQ(prompts.Shown()[0].caption, "Error reading files");
    EXPECT_EQ(prompts.Shown()[0].Icon(), MB_ICONWARNING);
    EXPECT_EQ(Lib().CountStyles(), 1);
}

TEST_F(TQSBitmapsTest, DefaultPanelOpensWithItsStylesOnAFreshMachine)
{
    // The program folder as installed: the style faces and "styles.cfg";
    // the settings folder is empty.
    ASSERT_TRUE(MakeDir(program_ + "/styles"));
    for (int i = 0; i < 4; ++i) {
        const std::string face = "/styles/bw00_" + std::to_string(i) + ".bmp";
        ASSERT_TRUE(FileCopy(SourceDir() + "/data" + face, program_ + face));
    }
    ASSERT_TRUE(FileCopy(SourceDir() + "/data/styles.cfg", program_ + "/styles.cfg"));
    ScriptedPrompts prompts;
    CreateAndOpen("FRESH", 14);
    _QSglobals.ReloadProjectData();
    EXPECT_TRUE(prompts.Shown().empty());
    EXPECT_EQ(Lib().CountStyles(), 1);
    EXPECT_EQ(Lib().GetStylePoint(0, 1), (PanelPoint{50, 50}));

    // A style set of the engineer's own, in the settings folder's copy.
    ASSERT_TRUE(MakeDir(program_ + "/profile"));
    ASSERT_TRUE(WriteWholeFile(program_ + "/profile/styles.cfg",
                               "[BW_BUTTONS]\n"
                               "S2Bmps=styles\\bw00_1.bmp, styles\\bw00_0.bmp,\tstyles\\bw00_3.bmp,styles\\bw00_2.bmp\n"
                               "S2Centers=40,45,60,55\n"));
    _QSglobals.ReloadProjectData();
    EXPECT_TRUE(prompts.Shown().empty());
    ASSERT_EQ(Lib().CountStyles(), 2);
    EXPECT_TRUE(Lib().GetStyleStateDib(1, 0)->SameImage(*Lib().GetStyleStateDib(0, 1)));
    EXPECT_EQ(Lib().GetStylePoint(1, 0), (PanelPoint{40, 45}));
    EXPECT_EQ(Lib().GetStylePoint(1, 1), (PanelPoint{60, 55}));
}

TEST_F(TQSBitmapsTest, ProgramLibrarySavesNamesAtCloseAndReloadsAtOpen)
{
    // The hooks as the program starts: its own library.
    GetProjectHooks() = ProjectHooks{};
    TQSBitmaps& program = GetBitmapLibrary();
    ASSERT_EQ(GetProjectHooks().bitmapLibrary, &program);
    program.ClearAll();

    CreateAndOpen("WIRED", 9);
    int slot = -1;
    ASSERT_TRUE(program.ImportFile(WriteBmp("motor.bmp", Mono(12, 12, 3)), 0, slot, false));
    _QSglobals.GetDatabase().Close();
    std::string names;
    ASSERT_TRUE(ReadWholeFile(ProjectPath("WIRED") + "/BITMAPS.NAM", names));
    EXPECT_EQ(names.substr(0, 15), "motor\nBitmap-2\n");

    program.ClearAll();
    ASSERT_EQ(_QSglobals.NewDatabase().OpenProject("WIRED"), 1);
    _QSglobals.ReloadProjectData();
    EXPECT_EQ(program.GetName(0), "motor");
    ASSERT_TRUE(program.HasBitmap(0));
    EXPECT_TRUE(program.GetDib(0)->SameImage(Mono(12, 12, 3)));
    EXPECT_EQ(Db().GetTableTotal(15), 2 + 62 + 12 * 4 + 12);
    _QSglobals.GetDatabase().Close();
    program.ClearAll();
}

TEST_F(TQSBitmapsTest, PasterKeepsCopiesOfLibraryBitmaps)
{
    ASSERT_EQ(Lib().SetSlot(4, Mono(8, 8, 1), "valve"), 1);
    BitmapPaster paster(&Lib());
    paster.AddNumber(5);
    paster.AddNumber(5);
    paster.AddNumber(0);
    paster.AddNumber(6);  // an empty slot
    ASSERT_EQ(paster.Entries().size(), 1u);
    const BitmapPaster::NamedDib* copy = paster.FindNumber(5);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->name, "valve");
    Lib().ClearSlot(4);
    EXPECT_TRUE(copy->dib.SameImage(Mono(8, 8, 1)));
    EXPECT_EQ(paster.FindNumber(6), nullptr);
}

}  // namespace
