// The editing model: hit test and selection, turning, the element factory,
// function keys, element ids and recipe use counts.

#include "plintvlr/pageedit/tests/page_test_util.h"

#include "plintvlr/dataelements/data_elements.h"
#include "plintvlr/db/id_counter.h"
#include "plintvlr/elements/bitmap_elem.h"
#include "plintvlr/elements/combo_elem.h"
#include "plintvlr/elements/format_text.h"
#include "plintvlr/elements/lines_elem.h"
#include "plintvlr/elements/point_elem.h"
#include "plintvlr/elements/reg_fig_elem.h"
#include "plintvlr/tables/recipe_groups.h"

#include <gtest/gtest.h>

#include <set>
#include <typeinfo>

namespace {

using namespace records;

constexpr int kPage = SizeRectManager::kPageMode;
constexpr unsigned kCtrl = 8;

SizeRect* AddBox(SizeRectManager& model, const TRect& rect)
{
    return model.GetElements().Add(std::make_unique<SizeRect>(rect.TopLeft(), rect.BottomRight()));
}

std::vector<const SizeRect*> Order(const SizeRectManager& model)
{
    std::vector<const SizeRect*> order;
    for (const auto& element : model.GetElements())
        order.push_back(element.get());
    return order;
}

// The bytes of the last walk.
Bytes g_walked;

SizeRectManager::WalkResult Walk(SizeRectArray& elements, const std::string& hex, int count = 0,
                                 SizeRectArray* keys = nullptr, ECBElem* blocks = nullptr)
{
    Bytes& bytes = g_walked;
    bytes = Parse(hex);
    return SizeRectManager::ReadElements(elements, blocks, keys, nullptr, nullptr, bytes.data(), bytes.size(), count,
                                         false);
}

class ModelTest : public PageFixture {};

TEST_F(ModelTest, AClickHitsOneRowAboveAndThreeBelowThePoint)
{
    Open(9);
    const TPoint click{1000, 500};
    const struct {
        TRect rect;
        bool hit;
    } cases[] = {
        {{900, 300, 1100, 481}, true},   // bottom at y - 19
        {{900, 300, 1100, 480}, false},  // bottom at y - 20
        {{900, 559, 1100, 700}, true},   // top at y + 59
        {{900, 560, 1100, 700}, false},  // top at y + 60
        {{0, 400, 961, 600}, true},      // right at x - 39
        {{0, 400, 960, 600}, false},     // right at x - 40
    };
    for (const auto& c : cases) {
        SizeRectManager model(nullptr, true);
        SizeRect* box = AddBox(model, c.rect);
        EXPECT_EQ(model.SelectAt(0, click), c.hit) << c.rect.top << " " << c.rect.bottom << " " << c.rect.right;
        EXPECT_EQ(box->IsSelected(), c.hit);
    }
    SizeRectManager empty(nullptr, true);
    EXPECT_FALSE(empty.SelectAt(0, click));
    EXPECT_EQ(empty.FirstSelected(), nullptr);
    EXPECT_FALSE(empty.CanTurnSelection());
}

TEST_F(ModelTest, AClickSelectsTheTopElementAndRaisesTheSelection)
{
    Open(9);
    SizeRectManager model(nullptr, true);
    SizeRect* a = AddBox(model, {0, 0, 400, 400});
    SizeRect* b = AddBox(model, {200, 200, 600, 600});
    SizeRect* c = AddBox(model, {2000, 0, 2400, 400});
    SizeRect* d = AddBox(model, {3000, 0, 3400, 400});

    EXPECT_TRUE(model.SelectAt(0, {300, 300}));
    EXPECT_TRUE(b->IsSelected());
    EXPECT_FALSE(a->IsSelected());
    EXPECT_EQ(Order(model), (std::vector<const SizeRect*>{a, c, d, b}));

    // Ctrl adds an unselected element; the selection moves up in its order.
    EXPECT_TRUE(model.SelectAt(kCtrl, {100, 100}));
    EXPECT_EQ(Order(model), (std::vector<const SizeRect*>{c, d, a, b}));
    EXPECT_EQ(model.SelectionCount(), 2);
    EXPECT_TRUE(model.SelectAt(kCtrl, {2100, 100}));
    EXPECT_EQ(Order(model), (std::vector<const SizeRect*>{d, c, a, b}));
    // Ctrl on a selected one takes it out of the selection.
    EXPECT_FALSE(model.SelectAt(kCtrl, {2100, 100}));
    EXPECT_FALSE(c->IsSelected());
    EXPECT_EQ(model.SelectionCount(), 2);
    EXPECT_FALSE(model.IsModified());

    // A plain click starts over; a rectangle adds what lies wholly inside.
    model.SelectAt(0, {3100, 100});
    EXPECT_EQ(model.SelectionCount(), 1);
    model.SelectInRect({1900, -100, 2500, 500});
    EXPECT_EQ(model.SelectionCount(), 2);
    EXPECT_EQ(Order(model), (std::vector<const SizeRect*>{a, b, c, d}));
    EXPECT_EQ(model.FirstSelected(), c);
}

TEST_F(ModelTest, TurningPutsARowAlongTheTopEdgeIntoAColumnAlongTheLeftEdge)
{
    Open(9);  // 240 x 48 pixels
    SizeRectManager model(nullptr, true);
    // Three 5 x 2 pixel boxes left to right along the top of their reference.
    SizeRect* boxes[3];
    for (int i = 0; i < 3; ++i)
        boxes[i] = AddBox(model, {1000 + i * 200, 600, 1100 + i * 200, 640});
    for (SizeRect* box : boxes)
        box->Select(true);
    ASSERT_TRUE(model.CanTurnSelection());
    model.TurnSelection();
    EXPECT_TRUE(model.IsModified());
    // The reference is (1000, 600)-(1500, 640): each box 2 x 5 pixels with
    // its left on the reference's left, its bottom 200 higher than the last.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(boxes[i]->GetRect(), TRect(1000, 540 - 200 * i, 1040, 640 - 200 * i)) << i;
    EXPECT_EQ(model.GetElements().Count(), 3);
}

TEST_F(ModelTest, TheFactoryMakesEachElementByItsCode)
{
    Open(14);
    SizeRectArray elements;
    const std::string group = "1F 8C 05 0C 01 00 00 00 00 00 00 00 00 00 00 00 0C " + std::string(kLine);
    const auto walk = Walk(elements, Join({"08 03 00 10 01 00 0A 1F 10 00 32 2A 00", kLine,
                                           "4C 00 10 01 00 0A 1F 10 00 32 2A 10 00 0A 2A 00",
                                           "1F 95 05 01 01 10 48 00 10 01 00 0A 1D 20 00 0A 1D 10 00 0A 1D 00",
                                           kFrame, group, kBitmap, "00"}));
    EXPECT_EQ(walk.end, SizeRectManager::WalkEnd::EndByte);
    ASSERT_EQ(elements.Count(), 7);
    for (int i : {0, 1, 2})
        EXPECT_NE(dynamic_cast<LinesElem*>(elements[i]), nullptr) << i;
    EXPECT_EQ(static_cast<TRegFigElem*>(elements[3])->GetKind(), TRegFigElem::kCircle);
    EXPECT_EQ(static_cast<TRegFigElem*>(elements[4])->GetKind(), TRegFigElem::kFrame);
    auto* read = dynamic_cast<ComboElem*>(elements[5]);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetMembers().Count(), 1);
    EXPECT_NE(dynamic_cast<BitmapElem*>(elements[6]), nullptr);
}

// Texts and tag displays read back as what they were written from, each
// to the same record bytes; a tag display is anything the tables don't know.
TEST_F(ModelTest, TheFactoryMakesTextsAndTagDisplaysAndGroupsLockTheirDisplays)
{
    Open(14);
    SizeRectArray written;
    written.Add(std::make_unique<TFormatText>(TRect(0, 0, 800, 200), "AB", true));
    for (bool digital : {false, true}) {
        auto display = NewPointElem({1000, digital ? 800 : 400}, {1800, digital ? 1000 : 600}, digital);
        display->SetEditable(true);
        written.Add(std::move(display));
    }
    Bytes bytes(4096);
    std::uint8_t* at = bytes.data();
    std::vector<Bytes> records;
    for (const auto& element : written) {
        std::uint8_t* end = element->WriteRecord(at);
        ASSERT_NE(end, nullptr);
        records.emplace_back(at, end);
        at = end;
    }
    *at++ = 0;
    bytes.resize(static_cast<std::size_t>(at - bytes.data()));
    EXPECT_EQ(records[0][0] & 0xBF, TFormatText::kCode);

    SizeRectArray elements;
    const auto walk = SizeRectManager::ReadElements(elements, nullptr, nullptr, nullptr, nullptr, bytes.data(),
                                                    bytes.size(), 0, false);
    EXPECT_EQ(walk.end, SizeRectManager::WalkEnd::EndByte);
    ASSERT_EQ(elements.Count(), 3);
    EXPECT_EQ(typeid(*elements[0]), typeid(TFormatText));
    for (int i : {1, 2}) {
        auto* display = dynamic_cast<PointElem*>(elements[i]);
        ASSERT_NE(display, nullptr) << i;
        EXPECT_TRUE(display->GetEditable()) << i;
    }
    for (int i = 0; i < 3; ++i) {
        Bytes again(4096);
        std::uint8_t* end = elements[i]->WriteRecord(again.data());
        ASSERT_NE(end, nullptr);
        EXPECT_EQ(Bytes(again.data(), end), records[static_cast<std::size_t>(i)]) << i;
    }

    // A tag display taken into a group is no longer edited on the page.
    ComboElem group(elements);
    for (int i : {1, 2})
        EXPECT_FALSE(static_cast<const PointElem*>(group.GetMembers()[i])->GetEditable()) << i;
}

TEST_F(ModelTest, TheFactoryDropsKeysBeyondThePanelAndNumbersDriveOutsInReadingOrder)
{
    Open(9);  // six function keys
    std::string keys;
    for (int key = 1; key <= 8; ++key)
        keys += " 0D 00 0" + std::to_string(key) + " 4B 20 20 20 20 20 20 20 20 00";
    SizeRectArray elements;
    SizeRectArray keyArray;
    Walk(elements, keys + " 00", 0, &keyArray);
    EXPECT_EQ(elements.Count(), 0);
    ASSERT_EQ(keyArray.Count(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(static_cast<EFKeyElem*>(keyArray[i])->GetKeyNumber(), i + 1);

    // Without a key array the keys go among the elements.
    SizeRectArray withKeys;
    Walk(withKeys, keys + " 00");
    EXPECT_EQ(withKeys.Count(), 6);

    SizeRectArray page;
    Walk(page, Join({kDriveOut3, kLine, kDriveOut1, kFrame, kDriveOut2, "00"}));
    std::vector<std::pair<int, std::uint16_t>> numbers;
    for (const auto& element : page) {
        if (auto* driveOut = dynamic_cast<DriveOutElem*>(element.get()))
            numbers.emplace_back(driveOut->GetNumber(), driveOut->GetTag());
    }
    EXPECT_EQ(numbers, (std::vector<std::pair<int, std::uint16_t>>{{1, 3}, {2, 1}, {3, 2}}));
    EXPECT_EQ(static_cast<DriveOutElem*>(page[0])->GetText(), "01");
}

TEST_F(ModelTest, ACountedWalkStopsAfterItsElementsAndLeavesTheRecipeCountsAlone)
{
    Open(14);
    TRecipeArray recipes;
    TRecipeGroup group("MIX");
    ASSERT_EQ(recipes.Add(group), 1);
    SetProjectRecipeList(&recipes);
    TIdCounter saved;
    saved.AddOne(1);
    saved.AddOne(1);
    ASSERT_TRUE(saved.Save(4));

    const std::string five = Join({kLine, kLine2, kFrame, kLine, kLine2, "00"});
    SizeRectArray elements;
    const auto counted = Walk(elements, five, 2);
    EXPECT_EQ(counted.end, SizeRectManager::WalkEnd::Count);
    EXPECT_EQ(elements.Count(), 2);
    EXPECT_EQ(counted.position - g_walked.data(), 24);
    EXPECT_EQ(recipes.FindByNumber(1)->GetUseCount(), 0);

    SizeRectArray all;
    EXPECT_EQ(Walk(all, five).end, SizeRectManager::WalkEnd::EndByte);
    EXPECT_EQ(all.Count(), 5);
    EXPECT_EQ(recipes.FindByNumber(1)->GetUseCount(), 2);

    // A model going away sets the counts again from what is saved.
    recipes.FindByNumber(1)->SetUseCount(9);
    { SizeRectManager model(nullptr, true); }
    EXPECT_EQ(recipes.FindByNumber(1)->GetUseCount(), 2);
    SetProjectRecipeList(nullptr);
}

TEST_F(ModelTest, AWalkNeverLoopsOrReadsPastItsRecord)
{
    Open(9);
    const struct {
        const char* name;
        std::string hex;
        SizeRectManager::WalkEnd end;
        int elements;
    } cases[] = {
        {"nothing", "", SizeRectManager::WalkEnd::RecordEnd, 0},
        {"end byte", "00", SizeRectManager::WalkEnd::EndByte, 0},
        {"comms entry cut", "12 07", SizeRectManager::WalkEnd::Damaged, 0},
        {"colour entry cut", Join({kLine, "3A 00"}), SizeRectManager::WalkEnd::Damaged, 1},
        {"field record cut", "1F 9E 01 05 01", SizeRectManager::WalkEnd::Damaged, 0},
        {"template record cut", "1F 8B 01 04 05", SizeRectManager::WalkEnd::Damaged, 0},
        {"no end byte", kLine, SizeRectManager::WalkEnd::RecordEnd, 1},
    };
    for (const auto& c : cases) {
        SizeRectArray elements;
        EXPECT_EQ(Walk(elements, c.hex).end, c.end) << c.name;
        EXPECT_EQ(elements.Count(), c.elements) << c.name;
    }
    // Entries beyond the eighth comms block are read and dropped.
    ECBElem blocks;
    SizeRectArray none;
    std::string entries;
    for (int i = 1; i <= 10; ++i)
        entries += "12 0" + std::to_string(i - 1) + " 01 ";
    EXPECT_EQ(Walk(none, entries + "00", 0, nullptr, &blocks).end, SizeRectManager::WalkEnd::EndByte);
    EXPECT_EQ(blocks.GetBlock(0), 0x100);
    EXPECT_EQ(blocks.GetBlock(7), 0x107);
    EXPECT_EQ(blocks.GetCount(), 8);
}

TEST_F(ModelTest, IdsStayUniqueWhenAnotherModelIsClearedOrDestroyed)
{
    Open(9);
    ResetElementIdCounter();
    StorePage(1, Join({"01 00", kLine, kLine2, kFrame, "00"}));
    SizeRectManager page(nullptr, true);
    page.LoadPage(kPage, 1);
    {
        // The function-key dialog's models come and go while a page is open.
        SizeRectManager keys(nullptr, false);
        keys.LoadPage(SizeRectManager::kKeySetMode, 111);
        keys.Clear();
    }
    page.AddElement(std::make_unique<LinesElem>());
    std::set<int> ids;
    for (const auto& element : page.GetElements())
        ids.insert(element->GetId());
    EXPECT_EQ(ids.size(), 4u);
}

TEST_F(ModelTest, FunctionKeysAreFoundMadeAndRemovedByNumber)
{
    Open(9);
    SizeRectManager model(nullptr, true);
    model.SelectFunctionKey(3);
    EXPECT_EQ(model.GetCurrentKey(), 3);
    EXPECT_EQ(model.CurrentFunctionKey(), nullptr);
    model.EditFunctionKey(3, false);
    ASSERT_NE(model.FindFunctionKey(3), nullptr);
    EXPECT_EQ(model.CurrentFunctionKey(), model.FindFunctionKey(3));
    EXPECT_EQ(model.FindFunctionKey(3)->GetRect(), TRect(-400, -400, -400, -400));
    EXPECT_FALSE(model.IsModified());
    // A key is never selected, and selecting elements forgets the current key.
    EXPECT_TRUE(model.FindFunctionKey(3)->Select(true).IsEmpty());
    model.SelectAt(0, {100, 100});
    EXPECT_EQ(model.GetCurrentKey(), 0);
    model.RemoveFunctionKey(3);
    EXPECT_EQ(model.FindFunctionKey(3), nullptr);
    EXPECT_EQ(Canvas().legendUpdates, std::vector<int>{3});
}

}  // namespace
