// The page record: its layout, what a save stores and refuses, loading,
// damaged and cut records, and the key sets of mode 5.

#include "plintvlr/pageedit/tests/page_test_util.h"

#include "plintvlr/dataelements/data_elements.h"
#include "plintvlr/db/id_counter.h"
#include "plintvlr/elements/combo_elem.h"
#include "plintvlr/elements/lines_elem.h"
#include "plintvlr/tables/recipe_groups.h"

#include <gtest/gtest.h>

namespace {

using namespace records;

constexpr int kPage = SizeRectManager::kPageMode;
constexpr int kKeys = SizeRectManager::kKeySetMode;

// An unknown field record of sub-type 30 with `data` bytes (below 128): 4 + data bytes.
std::string Filler(int data)
{
    std::string text = "1F 9E 01 " + Hex({static_cast<std::uint8_t>(data)});
    for (int i = 0; i < data; ++i)
        text += " 55";
    return text;
}

// Unknown records making up `bytes` bytes (at least 5).
std::string FillerOf(int bytes)
{
    std::string text;
    for (; bytes > 131; bytes -= 104)
        text += Filler(100) + " ";
    return text + Filler(bytes - 4);
}

std::unique_ptr<SizeRect> ReadElement(std::unique_ptr<SizeRect> element, const std::string& hex)
{
    const Bytes bytes = Parse(hex);
    RecordReader in(bytes.data(), bytes.size());
    EXPECT_TRUE(element->ReadRecord(in)) << hex;
    return element;
}

class PageRecordTest : public PageFixture {};

TEST_F(PageRecordTest, TheRecordHoldsTheKeyTheTemplateTheColourAndTheCommsBlocksInPlace)
{
    {
        Open(9);
        SizeRectManager model(nullptr, true);
        model.LoadPage(kPage, 5);
        ASSERT_TRUE(model.SavePage(kPage, 5));
        EXPECT_EQ(StoredPage(5), "05 00 00");

        model.LoadPage(kPage, 7);
        model.SetTemplatePage(5);
        ASSERT_TRUE(model.SavePage(kPage, 7));
        EXPECT_EQ(StoredPage(7), "07 00 1F 8B 01 01 05 00");

        // A monochrome panel stores no colour, whatever the index.
        model.LoadPage(kPage, 8);
        Canvas().background = 4;
        ASSERT_TRUE(model.SavePage(kPage, 8));
        EXPECT_EQ(StoredPage(8), "08 00 00");

        // Comms blocks only with elements: 0, 7, 0, 300 as two entries.
        for (int slot : {1, 3})
            model.GetCommsBlocks().SetBlock(slot, slot == 1 ? 7 : 300);
        ASSERT_TRUE(model.SavePage(kPage, 8));
        EXPECT_EQ(StoredPage(8), "08 00 00");
        model.AddElement(ReadElement(std::make_unique<LinesElem>(), kLine));
        ASSERT_TRUE(model.SavePage(kPage, 8));
        EXPECT_EQ(StoredPage(8), Join({"08 00 12 07 00 12 2C 01", kLine, "00"}));
        Db().Close();
    }
    Open(5, "COLOUR");
    SizeRectManager model(nullptr, true);
    model.LoadPage(kPage, 3);
    Canvas().background = 11;
    ASSERT_TRUE(model.SavePage(kPage, 3));
    EXPECT_EQ(StoredPage(3), "03 00 3A 00 0B 00");
    // Loading gives the colour back to the canvas; its index is taken modulo 16.
    StorePage(4, "04 00 3A 00 1B 00");
    Canvas().background = 0;
    model.LoadPage(kPage, 4);
    EXPECT_EQ(Canvas().background, 11);
    // Another owner than the canvas writes no colour.
    SizeRectManager keyDialog(nullptr, false);
    keyDialog.LoadPage(kPage, 3);
    ASSERT_TRUE(keyDialog.SavePage(kPage, 3));
    EXPECT_EQ(StoredPage(3), "03 00 00");
}

TEST_F(PageRecordTest, DriveOutsGoLastInNumberOrderAndEveryOneIsWritten)
{
    Open(9);
    SizeRectManager model(nullptr, true);
    const char* driveOuts[] = {kDriveOut1, kDriveOut2, kDriveOut3};
    // Numbers 3, 1, 2 in the array, a line between them.
    for (int i = 0; i < 3; ++i) {
        auto element = ReadElement(std::make_unique<DriveOutElem>(), driveOuts[i]);
        static_cast<DriveOutElem&>(*element).SetNumber(i == 0 ? 3 : i);
        model.GetElements().Add(std::move(element));
        if (i == 0)
            model.GetElements().Add(ReadElement(std::make_unique<LinesElem>(), kLine));
    }
    model.SetModified();
    ASSERT_TRUE(model.SavePage(kPage, 2));
    EXPECT_EQ(StoredPage(2), Join({"02 00", kLine, kDriveOut2, kDriveOut3, kDriveOut1, "00"}));

    model.LoadPage(kPage, 2);
    std::vector<std::pair<int, std::uint16_t>> read;
    for (const auto& element : model.GetElements()) {
        if (auto* driveOut = dynamic_cast<DriveOutElem*>(element.get()))
            read.emplace_back(driveOut->GetNumber(), driveOut->GetTag());
    }
    EXPECT_EQ(read, (std::vector<std::pair<int, std::uint16_t>>{{1, 2}, {2, 3}, {3, 1}}));

    // Two drive-outs numbered 3 (an undone delete after a new one took the
    // number): the second takes the lowest free number and both are written.
    for (const auto& element : model.GetElements()) {
        if (auto* driveOut = dynamic_cast<DriveOutElem*>(element.get()))
            driveOut->SetNumber(driveOut->GetTag() == 2 ? 3 : driveOut->GetTag() == 3 ? 3 : 7);
    }
    ASSERT_TRUE(model.SavePage(kPage, 2));
    EXPECT_EQ(StoredPage(2), Join({"02 00", kLine, kDriveOut3, kDriveOut2, kDriveOut1, "00"}));
    EXPECT_TRUE(prompts_.Shown().empty());
}

TEST_F(PageRecordTest, ASaveWithoutAFreeDriveOutNumberIsRefused)
{
    Open(9);
    SizeRectManager model(nullptr, true);
    for (int i = 0; i < 100; ++i)
        model.GetElements().Add(ReadElement(std::make_unique<DriveOutElem>(), kDriveOut1));
    model.SetModified();
    EXPECT_FALSE(model.SavePage(kPage, 2));
    ASSERT_EQ(prompts_.Shown().size(), 1u);
    EXPECT_EQ(prompts_.Shown()[0].text,
              "No more operator writes may be configured on this graphic page.  Try deleting one.");
    EXPECT_EQ(StoredPage(2), "(none)");
    EXPECT_TRUE(model.IsModified());
}

TEST_F(PageRecordTest, TheSizeLimitDependsOnThePanelAndTheTemplate)
{
    {
        Open(6);
        SizeRectManager model(nullptr, true);
        const std::string page = Join({"01 00", FillerOf(4997), "00"});
        ASSERT_EQ(Parse(page).size(), 5000u);
        EXPECT_EQ(RoundTrip(model, 1, page), page);
        EXPECT_FALSE(model.WasReadInPart());

        model.SetTemplatePage(2);
        EXPECT_FALSE(model.SavePage(kPage, 1));
        ASSERT_EQ(prompts_.Shown().size(), 1u);
        EXPECT_EQ(prompts_.Shown()[0].text, "Cannot save this page!\nIts size exceeds the maximum size (4000).");
        EXPECT_EQ(prompts_.Shown()[0].caption, "Page is too large");
        EXPECT_EQ(prompts_.Shown()[0].Icon(), static_cast<UINT>(MB_ICONSTOP));
        EXPECT_EQ(StoredPage(1), page);
        EXPECT_TRUE(model.IsModified());
        Db().Close();
    }
    Open(5, "LARGE");
    SizeRectManager model(nullptr, true);
    const std::string fits = Join({"01 00", FillerOf(9997), "00"});
    EXPECT_EQ(RoundTrip(model, 1, fits), fits);
    model.GetElements().Add(ReadElement(std::make_unique<UnknownFieldRecord>(), "1F 9E 01 01 55"));
    EXPECT_FALSE(model.SavePage(kPage, 1));
    ASSERT_EQ(prompts_.Shown().size(), 2u);
    EXPECT_EQ(prompts_.Shown()[1].text, "Cannot save this page!\nIts size exceeds the maximum size (10000).");
}

TEST_F(PageRecordTest, AGroupTooLargeForThePageRefusesTheSave)
{
    Open(9);  // largest page 4000 bytes
    SizeRectManager model(nullptr, true);
    SizeRectArray members;
    for (int i = 0; i < 40; ++i)
        members.Add(ReadElement(std::make_unique<UnknownFieldRecord>(), Filler(100)));
    model.AddElement(std::make_unique<ComboElem>(members));
    EXPECT_FALSE(model.SavePage(kPage, 1));
    ASSERT_EQ(prompts_.Shown().size(), 1u);
    EXPECT_EQ(prompts_.Shown()[0].text, "Cannot save this page!\nIts size exceeds the maximum size (4000).");
    EXPECT_EQ(StoredPage(1), "(none)");
}

TEST_F(PageRecordTest, AFailedStoreLeavesThePageModifiedAndTheSummaryAndUsageAsTheyWere)
{
    Open(9);
    TRecipeArray recipes;
    SetProjectRecipeList(&recipes);
    SizeRectManager model(nullptr, true);
    StorePage(1, Join({"01 00", kLine, "00"}));
    Db().GetPageSummary()->SetSize(1, 15);
    model.LoadPage(kPage, 1);
    // A touch region loading recipe group 4.
    model.GetElements().Add(
        ReadElement(std::make_unique<TouchElem>(), "09 00 00 01 01 00 00 0A 22 00 31 13 1C 26 04 00 00 00"));
    model.SetModified();

    FileFaults::FailAllWritesFrom(1);
    EXPECT_FALSE(model.SavePage(kPage, 1));
    FileFaults::Reset();
    EXPECT_TRUE(model.IsModified());
    EXPECT_EQ(Db().GetPageSummary()->GetSize(1), 15);
    TIdCounter usage;
    usage.LoadAll();
    EXPECT_TRUE(usage.Empty());

    ASSERT_TRUE(model.SavePage(kPage, 1));
    EXPECT_FALSE(model.IsModified());
    EXPECT_EQ(Db().GetPageSummary()->GetSize(1), 2 + 12 + 18 + 1);
    usage.LoadAll();
    EXPECT_EQ(usage.Pairs().size(), 1u);
    EXPECT_EQ(usage.Pairs()[0].id, 4);
    SetProjectRecipeList(nullptr);
}

TEST_F(PageRecordTest, AKeySetIsStoredWithoutCommsBlocksItsUsageUnderTheKeyPlus10000)
{
    Open(5);
    SizeRectManager keys(nullptr, false);
    keys.LoadPage(kKeys, 111);
    EXPECT_FALSE(keys.IsModified());
    // Key 2 "RUN" loading recipe group 6.
    keys.GetElements().Add(ReadElement(std::make_unique<EFKeyElem>(0, true),
                                       "0D 00 02 52 55 4E 20 20 20 20 20 20 1C 26 06 00 00 00"));
    keys.GetCommsBlocks().SetBlock(0, 9);
    keys.SetModified();
    ASSERT_TRUE(keys.SavePage(kKeys, 111));
    EXPECT_EQ(StoredSystem(111), "6F 00 0D 00 02 52 55 4E 20 20 20 20 20 20 1C 26 06 00 00 00 00");
    EXPECT_FALSE(Db().GetPageSummary()->IsStored(111));
    TIdCounter usage;
    EXPECT_TRUE(usage.RemovePage(10111));
    EXPECT_FALSE(usage.RemovePage(111));

    // Loading the set keeps its keys among the elements.
    SizeRectManager again(nullptr, false);
    EXPECT_EQ(again.LoadPage(kKeys, 111), 111);
    ASSERT_EQ(again.GetElements().Count(), 1);
    EXPECT_EQ(again.FindFunctionKey(2)->GetLegend(), "RUN");
    EXPECT_TRUE(again.FindFunctionKey(2)->IsKeySet());
}

TEST_F(PageRecordTest, LoadingMarksAPageNeverStoredAsModifiedAndFetchesTemplateAndGraphicKeys)
{
    Open(9);
    StorePage(3, Join({"03 00", kFrame, "0D 00 01 54 45 4D 50 20 20 20 20 20 00", "00"}));
    StorePage(4, Join({"04 00 1F 8B 01 01 03", kLine, "00"}));
    StoreSystem(112, "70 00 0D 00 01 41 4C 4C 20 20 20 20 20 20 00 0D 00 02 41 4C 4C 32 20 20 20 20 20 00 00");
    Db().GetPageSummary()->SetSize(4, 20);

    SizeRectManager model(nullptr, true);
    EXPECT_EQ(model.LoadPage(kPage, 4), 4);
    EXPECT_FALSE(model.IsModified());
    EXPECT_EQ(model.GetTemplatePage(), 3);
    ASSERT_NE(model.GetTemplateElements(), nullptr);
    EXPECT_EQ(model.GetTemplateElements()->Count(), 1);
    EXPECT_EQ(model.GetGraphicPageKeys().Count(), 2);
    // Legends: the template's key 1 before the graphic pages' key 1.
    EXPECT_EQ(model.GetFunctionKeyLegend(1), "TEMP");
    EXPECT_EQ(model.GetFunctionKeyLegend(2), "ALL2");
    EXPECT_EQ(model.GetFunctionKeyLegend(3), "");

    EXPECT_EQ(model.LoadPage(kPage, 9), 0);
    EXPECT_TRUE(model.IsModified());
    EXPECT_EQ(model.GetElements().Count(), 0);

    // A template reference outside the panel's pages, or to the page itself, is ignored.
    StorePage(5, "05 00 1F 8B 01 02 E8 03 00");
    model.LoadPage(kPage, 5);
    EXPECT_EQ(model.GetTemplatePage(), 0);
    StorePage(6, "06 00 1F 8B 01 01 06 00");
    model.LoadPage(kPage, 6);
    EXPECT_EQ(model.GetTemplatePage(), 0);
}

TEST_F(PageRecordTest, DrawnElementsOfEveryKindComeBackByteForByte)
{
    Open(9);
    SizeRectManager model(nullptr, true);
    const std::string page = Join({"01 00", kLine, "4C 00 10 01 00 0A 1F 10 00 32 2A 10 00 0A 2A 00", kFrame, kBitmap,
                                   "1F 95 05 01 03 18 48 00 10 01 00 0A 13 10 00 0A 27 10 00 1E 27 10 00 1E 13 10 00 0A 13 00",
                                   "00"});
    EXPECT_EQ(RoundTrip(model, 1, page), page);
    EXPECT_EQ(model.GetElements().Count(), 5);
    EXPECT_FALSE(model.WasReadInPart());
}

TEST_F(PageRecordTest, WhatTheScreenCutsSettlesWhereItStaysAtTheFirstLoad)
{
    // The load brings each element onto the screen and cuts what is too
    // large; what it then writes must read back where it stood, so that a
    // second load and save change nothing.
    const struct {
        const char* what;
        int panel;
        bool placed;  // brought onto the screen
        const char* page;
    } cases[] = {
        // A vertical tag display 117 pixels thick and 30 long far off a
        // 120 x 18 screen.
        {"text", 16, true, "1D 19 1D 1D FA 1D 1D 1D 05 1D 1D 44 55 08 74 01 38 00 07 00 00 00 00 00 00 00 45 55 08 FA 00 3B 50"},
        // A group whose drive-out stands above a 320 x 224 screen: a member
        // that keeps its record is never moved, so the group is left where
        // it is (bringing it on moved its other members at every load).
        {"group", 5, false,
         "45 3D 1F 8C 44 30 10 FF 5D BE CA 7F 00 00 00 30 30 30 5F 31 00 09 80 00 00 00 00 29 01 0A 01 91 80 0A 0A 0A "
         "0A 0A 0A 0A 26 00 00 FF FF FF F2 11 29 33 00 14 10 00 00 65 63"},
        // A group holding a text longer than a 240 x 64 screen can hold:
        // fitted, it cuts the text, which lays itself out at full length
        // again when read, so the group never settles and is left where it
        // is.
        {"group of a text", 9, false, "01 00 1F 8C 05 00 00 10 05 0C 60 00 AF AF 01 AF AF AF AF AF AF AF AF"},
    };
    int project = 0;
    for (const auto& c : cases) {
        Open(c.panel, "CUT" + std::to_string(++project));
        SizeRectManager model(nullptr, true);
        const std::string once = RoundTrip(model, 1, c.page);
        ASSERT_FALSE(model.GetElements().IsEmpty()) << c.what;
        const SizeRect& first = *model.GetElements()[0];
        EXPECT_EQ(first.left >= 0 && first.right <= GetScreenSize().cx * kUnitsPerPixel, c.placed) << c.what;
        EXPECT_EQ(RoundTrip(model, 1, once), once) << c.what;
    }
}

TEST_F(PageRecordTest, ADamagedRecordKeepsWhatItCannotReadAndSavesItBack)
{
    Open(9);
    SizeRectManager model(nullptr, true);
    // The third element is a drive-out cut before its point word.
    const std::string damaged = Join({"01 00", kLine, kLine2, "50 00 10 01 00 14", "00"});
    EXPECT_EQ(RoundTrip(model, 1, damaged), damaged);
    EXPECT_EQ(model.GetElements().Count(), 2);
    EXPECT_TRUE(model.WasReadInPart());

    // A record cut short loads what it can and is saved with its end byte.
    const std::string cut = Join({"01 00", kLine, kLine2});
    EXPECT_EQ(RoundTrip(model, 1, cut), Join({cut, "00"}));
    EXPECT_EQ(model.GetElements().Count(), 2);
    EXPECT_TRUE(model.WasReadInPart());

    // The kept part comes after new elements, and is gone after a clean load.
    StorePage(1, damaged);
    model.LoadPage(kPage, 1);
    model.AddElement(ReadElement(std::make_unique<LinesElem>(), kLine));
    ASSERT_TRUE(model.SavePage(kPage, 1));
    EXPECT_EQ(StoredPage(1), Join({"01 00", kLine, kLine2, kLine, "50 00 10 01 00 14", "00"}));
    StorePage(2, "02 00 00");
    model.LoadPage(kPage, 2);
    EXPECT_FALSE(model.WasReadInPart());
    EXPECT_TRUE(model.GetUnreadTail().empty());
}

TEST_F(PageRecordTest, KeptRecordsOfTheOperatorElementsComeBackByteForByte)
{
    Open(14);  // touch cells of 40 x 16 pixels, monochrome
    SizeRectManager model(nullptr, true);
    const std::string page = Join({
        "01 00",
        // Touch regions: a function string, a Load and a Load-and-Transfer recipe operation.
        "09 00 00 01 01 00 00 0A 22 00 31 13 1C 1D 44 30 30 30 31 00",
        "09 80 00 01 02 00 00 0A 22 00 31 13 1C 26 05 00 02 00 AA BB",
        "09 20 00 01 00 00 00 0A 22 00 31 13 1C 28 05 00 00 00 00 00 00 00 01 00 07",
        "0D 00 03 53 54 41 52 54 20 20 20 20 1C 29 35 00",
        "14 80 10 01 00 0A 25 00 28 0A 05 00 01 00",
        "1F 89 01 02 AB CD",                             // message display
        "1F 8D 01 0A 09 00 00 01 01 00 00 0A 22 00",      // push button (cut touch record)
        "1F 91 01 01 07",                                // meter
        "1F 93 01 01 07",                                // trend recorder
        "1F 9E 01 03 01 02 03",                          // sub-type 30: unknown
        "1F 8A 01 01 09",                                // sub-type 10 at the top level
        kDriveOut1,
        "00",
    });
    EXPECT_EQ(RoundTrip(model, 1, page), page);
    EXPECT_FALSE(model.WasReadInPart());
    EXPECT_EQ(model.GetElements().Count(), 12);
    EXPECT_FALSE(model.IsModified());

    // Kept records keep their place and cannot be selected or moved.
    SizeRect* touch = model.GetElements()[0];
    EXPECT_TRUE(touch->IsTouchRegion());
    EXPECT_EQ(touch->GetRect(), TRect(200, 160, 1000, 480));
    EXPECT_FALSE(model.SelectAt(0, {600, 300}));
    EXPECT_TRUE(touch->SnapToGrid(kDragMove, {400, 0}).IsEmpty());
    EXPECT_EQ(touch->GetRect(), TRect(200, 160, 1000, 480));
    EXPECT_EQ(touch->Duplicate(), nullptr);
    EXPECT_EQ(model.FindFunctionKey(3)->GetLegend(), "START");
}

TEST_F(PageRecordTest, AKeptDriveOutAnswersAndRewritesOnlyItsPointWord)
{
    Open(9);
    auto element = ReadElement(std::make_unique<DriveOutElem>(), "10 11 00 10 01 00 14 1F 05 40");
    auto& driveOut = static_cast<DriveOutElem&>(*element);
    EXPECT_EQ(driveOut.GetTag(), 0x4005);
    const struct {
        std::uint16_t tag;
        const char* written;
    } cases[] = {
        {0x0007, "10 11 00 10 01 00 14 1F 07 00"},  // analog tag 7
        {0x8009, "10 11 00 10 01 00 14 1F 09 80"},  // digital tag 9
        {0x4003, "10 11 00 10 01 00 14 1F 03 80"},  // another kind keeps the stored one
    };
    for (const auto& c : cases) {
        driveOut.SetTag(c.tag);
        Bytes out(64);
        EXPECT_EQ(Written(out.data(), driveOut.WriteRecord(out.data())), c.written) << c.tag;
    }
}

}  // namespace
