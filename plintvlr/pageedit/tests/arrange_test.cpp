// Arranging the elements of a page: the array moves, drive-out numbers, the
// touch-region overlap rule, the drawing-order commands, locking, Select All,
// Tab, the z-order moves and the align commands.

#include "plintvlr/pageedit/tests/page_test_util.h"

#include "plintvlr/dataelements/data_elements.h"
#include "plintvlr/elements/combo_elem.h"

#include <gtest/gtest.h>

namespace {

SizeRect* AddBox(SizeRectManager& model, const TRect& rect, bool selected = false)
{
    SizeRect* box = model.GetElements().Add(std::make_unique<SizeRect>(rect.TopLeft(), rect.BottomRight()));
    box->Select(selected);
    return box;
}

template <class T>
T* AddTo(SizeRectManager& model, std::unique_ptr<T> element, bool selected = false)
{
    T* added = element.get();
    model.GetElements().Add(std::move(element));
    added->Select(selected);
    return added;
}

DriveOutElem* AddDriveOut(SizeRectManager& model, int number)
{
    return AddTo(model, std::make_unique<DriveOutElem>(number, TPoint{200, 200}, TPoint{600, 400}));
}

std::vector<const SizeRect*> Order(const SizeRectArray& array)
{
    std::vector<const SizeRect*> order;
    for (const auto& element : array)
        order.push_back(element.get());
    return order;
}

std::vector<const SizeRect*> Order(const SizeRectManager& model)
{
    return Order(model.GetElements());
}

std::vector<bool> Selected(const SizeRectManager& model)
{
    std::vector<bool> flags;
    for (const auto& element : model.GetElements())
        flags.push_back(element->IsSelected());
    return flags;
}

// A group of copies of the boxes; the group's members in member order.
ComboElem* AddGroup(SizeRectManager& model, std::initializer_list<TRect> rects, bool selected = false)
{
    SizeRectArray parts;
    for (const TRect& r : rects)
        parts.Add(std::make_unique<SizeRect>(r.TopLeft(), r.BottomRight()));
    return AddTo(model, std::make_unique<ComboElem>(parts), selected);
}

class ArrangeTest : public PageFixture {
protected:
    void SetUp() override
    {
        PageFixture::SetUp();
        Open(14);
    }
};

// --- Array moves ------------------------------------------------------------

TEST_F(ArrangeTest, TakingOutAndPuttingBackMovesTheElementObjectsInOrder)
{
    SizeRectManager model(nullptr, true);
    SizeRect* a = AddBox(model, {0, 0, 100, 100}, true);
    SizeRect* b = AddBox(model, {200, 0, 300, 100});
    ComboElem* g = AddGroup(model, {{400, 0, 500, 100}, {600, 0, 700, 100}}, true);
    SizeRect* c = AddBox(model, {800, 0, 900, 100}, true);

    SizeRectArray groups;
    model.TakeOutSelection(groups, true);
    EXPECT_EQ(Order(groups), (std::vector<const SizeRect*>{g}));
    EXPECT_EQ(Order(model), (std::vector<const SizeRect*>{a, b, c}));

    SizeRectArray taken;
    model.TakeOutSelection(taken);
    EXPECT_EQ(Order(taken), (std::vector<const SizeRect*>{a, c}));
    EXPECT_EQ(Order(model), (std::vector<const SizeRect*>{b}));

    EXPECT_EQ(model.InsertElements(groups, false), 0);
    const TRect area = SizeRectManager::AppendAll(model.GetElements(), taken);
    EXPECT_TRUE(groups.IsEmpty());
    EXPECT_TRUE(taken.IsEmpty());
    EXPECT_EQ(Order(model), (std::vector<const SizeRect*>{b, g, a, c}));
    EXPECT_EQ(area, a->GetRepaintRect() | c->GetRepaintRect());
    // Still selected as they were, with their ids.
    EXPECT_EQ(Selected(model), (std::vector<bool>{false, true, true, true}));
    EXPECT_EQ(Canvas().invalidated.back(), g->GetRepaintRect());
}

TEST_F(ArrangeTest, CollectingGivesCopiesOfTheSelectionInPageOrderOrFrontFirst)
{
    SizeRectManager model(nullptr, true);
    SizeRect* a = AddBox(model, {0, 0, 100, 100}, true);
    AddBox(model, {200, 0, 300, 100});
    SizeRect* c = AddBox(model, {800, 0, 900, 100}, true);

    SizeRectArray inOrder;
    SizeRectArray frontFirst;
    model.CollectSelected(inOrder);
    model.CollectSelectedTopFirst(frontFirst);
    ASSERT_EQ(inOrder.Count(), 2);
    ASSERT_EQ(frontFirst.Count(), 2);
    EXPECT_NE(inOrder[0], a);
    EXPECT_EQ(inOrder[0]->GetId(), a->GetId());
    EXPECT_EQ(inOrder[1]->GetId(), c->GetId());
    EXPECT_EQ(frontFirst[0]->GetId(), c->GetId());
    EXPECT_EQ(frontFirst[1]->GetId(), a->GetId());
    EXPECT_EQ(model.GetElements().Count(), 3);

    EXPECT_EQ(model.FirstSelectedGroup(), nullptr);
    ComboElem* g = AddGroup(model, {{400, 0, 500, 100}}, true);
    AddGroup(model, {{600, 0, 700, 100}}, true);
    EXPECT_EQ(model.FirstSelectedGroup(), g);
}

// --- Drive-out numbers ------------------------------------------------------

TEST_F(ArrangeTest, TheFreeDriveOutNumberIsTheLowestUnused)
{
    const struct {
        std::vector<int> used;
        int free;
    } cases[] = {
        {{}, 1},
        {{1, 2, 4}, 3},
        {{2, 3}, 1},
        {{0, 100, 1}, 2},  // numbers outside 1..99 take nothing
    };
    for (const auto& c : cases) {
        SizeRectManager model(nullptr, true);
        for (int n : c.used)
            AddDriveOut(model, n);
        EXPECT_EQ(model.FreeDriveOutNumber(), c.free) << c.used.size();
    }
    SizeRectManager full(nullptr, true);
    for (int n = 1; n <= DriveOutElem::kMaxNumber; ++n)
        AddDriveOut(full, n);
    EXPECT_EQ(full.FreeDriveOutNumber(), 0);
}

TEST_F(ArrangeTest, InsertedDriveOutsTakeFreeNumbersOneAfterTheOther)
{
    SizeRectManager model(nullptr, true);
    for (int n : {1, 2, 4})
        AddDriveOut(model, n);
    SizeRectArray pasted;
    for (int i = 0; i < 3; ++i)
        pasted.Add(std::make_unique<DriveOutElem>(1, TPoint{0, 0}, TPoint{400, 200}));
    EXPECT_EQ(model.InsertElements(pasted, true), 0);

    std::vector<std::string> texts;
    for (int i = 3; i < model.GetElements().Count(); ++i)
        texts.push_back(static_cast<DriveOutElem*>(model.GetElements()[i])->GetText());
    EXPECT_EQ(texts, (std::vector<std::string>{"03", "05", "06"}));

    // Without renumbering a drive-out keeps its number.
    SizeRectArray undone;
    undone.Add(std::make_unique<DriveOutElem>(2, TPoint{0, 0}, TPoint{400, 200}));
    model.InsertElements(undone, false);
    EXPECT_EQ(static_cast<DriveOutElem*>(model.GetElements()[6])->GetNumber(), 2);
}

TEST_F(ArrangeTest, ADriveOutForWhichNoNumberIsFreeIsLeftOut)
{
    SizeRectManager model(nullptr, true);
    for (int n = 1; n < DriveOutElem::kMaxNumber; ++n)
        AddDriveOut(model, n);
    SizeRectArray pasted;
    pasted.Add(std::make_unique<DriveOutElem>(5, TPoint{0, 0}, TPoint{400, 200}));
    SizeRect* box = pasted.Add(std::make_unique<SizeRect>(TPoint{0, 0}, TPoint{100, 100}));
    pasted.Add(std::make_unique<DriveOutElem>(6, TPoint{0, 0}, TPoint{400, 200}));

    EXPECT_EQ(model.InsertElements(pasted, true), 1);
    EXPECT_TRUE(pasted.IsEmpty());
    ASSERT_EQ(model.GetElements().Count(), DriveOutElem::kMaxNumber + 1);
    EXPECT_EQ(static_cast<DriveOutElem*>(model.GetElements()[98])->GetText(), "99");
    EXPECT_EQ(model.GetElements()[99], box);
    for (const auto& element : model.GetElements()) {
        if (const auto* driveOut = dynamic_cast<const DriveOutElem*>(element.get())) {
            EXPECT_NE(driveOut->GetNumber(), 0);
        }
    }
}

TEST_F(ArrangeTest, TrendsAreCounted)
{
    SizeRectManager model(nullptr, true);
    EXPECT_EQ(model.CountTrends(), 0);
    AddTo(model, std::make_unique<TrendElem>(TPoint{0, 0}, TPoint{400, 400}));
    AddBox(model, {0, 0, 100, 100});
    AddTo(model, std::make_unique<TrendElem>(TPoint{0, 400}, TPoint{400, 800}));
    EXPECT_EQ(model.CountTrends(), 2);
}

// --- Touch regions ----------------------------------------------------------

TEST_F(ArrangeTest, TouchRegionsMayShareEdgesButNotOverlap)
{
    SizeRectManager model(nullptr, true);
    TouchElem* touch = AddTo(model, std::make_unique<TouchElem>(TRect{1000, 1000, 2000, 2000}));
    AddBox(model, {3000, 3000, 4000, 4000});  // not a touch region
    const struct {
        TRect rect;
        bool overlaps;
    } cases[] = {
        {{2000, 1000, 3000, 2000}, false},  // right edge shared
        {{0, 0, 1000, 1000}, false},        // corner shared
        {{1999, 1999, 2500, 2500}, true},
        {{0, 1500, 1001, 1600}, true},
        {{3500, 3500, 3600, 3600}, false},  // inside a drawn box only
    };
    for (const auto& c : cases)
        EXPECT_EQ(model.OverlapsTouchRegion(c.rect), c.overlaps) << c.rect.left << "," << c.rect.top;

    // A touch region never overlaps itself; moved onto another it does.
    EXPECT_FALSE(model.TouchRegionWouldOverlap(*touch, kProgramMove, {500, 0}));
    TouchElem* other = AddTo(model, std::make_unique<TouchElem>(TRect{2000, 1000, 3000, 2000}));
    EXPECT_FALSE(model.TouchRegionWouldOverlap(*touch, kProgramMove, {0, 0}));
    EXPECT_TRUE(model.TouchRegionWouldOverlap(*touch, kProgramMove, {20, 0}));
    EXPECT_TRUE(model.TouchRegionWouldOverlap(*other, 3, {-20, 0}));  // left edge dragged
    EXPECT_FALSE(model.TouchRegionWouldOverlap(*other, 5, {20, 0}));
}

TEST_F(ArrangeTest, TouchRegionsInsideGroupsCountAsWell)
{
    SizeRectManager model(nullptr, true);
    SizeRectArray parts;
    parts.Add(std::make_unique<TouchElem>(TRect{0, 0, 1000, 1000}));
    parts.Add(std::make_unique<SizeRect>(TPoint{1000, 0}, TPoint{5000, 1000}));
    ComboElem* group = AddTo(model, std::make_unique<ComboElem>(parts));
    TouchElem* touch = AddTo(model, std::make_unique<TouchElem>(TRect{1000, 2000, 2000, 3000}));

    EXPECT_TRUE(model.OverlapsTouchRegion({500, 500, 600, 600}));
    EXPECT_FALSE(model.OverlapsTouchRegion({2000, 500, 2600, 600}));  // the drawn member only
    EXPECT_TRUE(model.TouchRegionWouldOverlap(*touch, kProgramMove, {-500, -2500}));
    // The group's own touch member does not count against itself.
    EXPECT_FALSE(model.GroupWouldOverlapTouch(*group, kProgramMove, {100, 0}));
    // Its touch member moved onto the page's touch region.
    EXPECT_TRUE(model.GroupWouldOverlapTouch(*group, kProgramMove, {1500, 1500}));
    EXPECT_FALSE(model.GroupWouldOverlapTouch(*group, kProgramMove, {1000, 1000}));  // corner only

    // Another group's touch member counts, the touch region of a group not on
    // the page (a pasted one) is checked against all.
    SizeRectArray more;
    more.Add(std::make_unique<TouchElem>(TRect{4000, 4000, 5000, 5000}));
    AddTo(model, std::make_unique<ComboElem>(more));
    EXPECT_TRUE(model.GroupWouldOverlapTouch(*group, kProgramMove, {4500, 4500}));
    const ComboElem pasted(parts);
    EXPECT_TRUE(model.GroupWouldOverlapTouch(pasted, kDragMove, {0, 0}));
    EXPECT_FALSE(model.GroupWouldOverlapTouch(pasted, kDragMove, {0, 1000}));
}

// --- Reference rectangle ----------------------------------------------------

TEST_F(ArrangeTest, TheReferenceIsTheUnionOfTheSelectionAsDragged)
{
    SizeRectManager model(nullptr, true);
    EXPECT_EQ(model.ReferenceRect(kProgramMove, {0, 0}), TRect(0, 0, 0, 0));
    AddBox(model, {100, 200, 300, 400}, true);
    AddBox(model, {0, 0, 5000, 5000});  // not selected
    AddBox(model, {500, 100, 500, 300}, true);  // no width: still counts
    EXPECT_EQ(model.ReferenceRect(kProgramMove, {0, 0}), TRect(100, 100, 500, 400));
    EXPECT_EQ(model.ReferenceRect(kDragMove, {20, -40}), TRect(120, 60, 520, 360));
}

// --- Drawing order ----------------------------------------------------------

TEST_F(ArrangeTest, ShuffleBringsTheSelectedElementsToTheFrontInTurn)
{
    SizeRectManager model(nullptr, true);
    SizeRect* e1 = AddBox(model, {0, 0, 100, 100}, true);
    SizeRect* other = AddBox(model, {0, 0, 100, 100});
    SizeRect* e2 = AddBox(model, {0, 0, 100, 100}, true);
    SizeRect* e3 = AddBox(model, {0, 0, 100, 100}, true);
    for (const SizeRect* front : {e1, e2, e3, e1}) {
        model.ShuffleOverlayed();
        EXPECT_EQ(model.GetElements()[3], front);
    }
    EXPECT_EQ(model.SelectionCount(), 3);
    EXPECT_EQ(model.GetElements()[0], other);
    EXPECT_FALSE(model.IsModified());

    SizeRectManager none(nullptr, true);
    SizeRect* only = AddBox(none, {0, 0, 100, 100});
    AddBox(none, {0, 0, 100, 100});
    none.ShuffleOverlayed();
    EXPECT_EQ(none.GetElements()[0], only);
}

TEST_F(ArrangeTest, SendToBackKeepsTheOrderOfBothPartsAndDeselects)
{
    SizeRectManager model(nullptr, true);
    SizeRect* a = AddBox(model, {0, 0, 100, 100});
    SizeRect* b = AddBox(model, {0, 0, 100, 100}, true);
    SizeRect* c = AddBox(model, {0, 0, 100, 100});
    SizeRect* d = AddBox(model, {0, 0, 100, 100}, true);
    model.SendToBack();
    EXPECT_EQ(Order(model), (std::vector<const SizeRect*>{b, d, a, c}));
    EXPECT_EQ(model.SelectionCount(), 0);
    EXPECT_TRUE(model.IsModified());
}

TEST_F(ArrangeTest, LockedElementsStayBehindAndCannotBeSelectedUntilUnlocked)
{
    SizeRectManager model(nullptr, true);
    SizeRect* a = AddBox(model, {0, 0, 1000, 1000});
    SizeRect* b = AddBox(model, {2000, 0, 3000, 1000}, true);
    SizeRect* c = AddBox(model, {4000, 0, 5000, 1000}, true);
    EXPECT_FALSE(model.HasLockedElements());
    model.LockSelection();
    EXPECT_TRUE(model.HasLockedElements());
    EXPECT_EQ(Order(model), (std::vector<const SizeRect*>{b, c, a}));
    EXPECT_EQ(model.SelectionCount(), 0);

    EXPECT_FALSE(model.SelectAt(0, {2500, 500}));  // a click on b
    model.SelectAll();
    EXPECT_EQ(Selected(model), (std::vector<bool>{false, false, true}));
    model.SelectInRect({0, 0, 6000, 2000});
    EXPECT_FALSE(b->IsSelected());
    EXPECT_FALSE(c->IsSelected());

    model.SetModified(false);
    model.UnlockAll();
    EXPECT_FALSE(model.HasLockedElements());
    EXPECT_EQ(Order(model), (std::vector<const SizeRect*>{a, b, c}));
    EXPECT_EQ(Selected(model), (std::vector<bool>{false, true, true}));
    EXPECT_TRUE(model.IsModified());
    EXPECT_TRUE(model.SelectAt(0, {2500, 500}));
}

TEST_F(ArrangeTest, SelectAllRepaintsOnceAndDoesNotMarkThePage)
{
    SizeRectManager model(nullptr, true);
    SizeRect* a = AddBox(model, {0, 0, 100, 100});
    SizeRect* b = AddBox(model, {1000, 1000, 1100, 1100});
    Canvas().invalidated.clear();
    model.SelectAll();
    EXPECT_EQ(model.SelectionCount(), 2);
    EXPECT_EQ(Canvas().invalidated, (std::vector<TRect>{a->GetRepaintRect() | b->GetRepaintRect()}));
    EXPECT_FALSE(model.IsModified());
}

TEST_F(ArrangeTest, TabCyclesThroughTheElementsAndSkipsFunctionKeys)
{
    SizeRectManager model(nullptr, true);
    SizeRect* a = AddBox(model, {0, 0, 100, 100});
    AddTo(model, std::make_unique<EFKeyElem>(1, false));
    SizeRect* b = AddBox(model, {200, 0, 300, 100});
    SizeRect* c = AddBox(model, {400, 0, 500, 100});

    // Nothing selected: the first element; then always the one after the
    // selected one, which goes to the front.
    std::vector<const SizeRect*> visited;
    for (int i = 0; i < 4; ++i) {
        model.SelectNext();
        ASSERT_EQ(model.SelectionCount(), 1);
        visited.push_back(model.FirstSelected());
        EXPECT_EQ(model.GetElements()[3], model.FirstSelected());
    }
    EXPECT_EQ(visited, (std::vector<const SizeRect*>{a, b, c, a}));

    SizeRectManager keys(nullptr, true);
    AddTo(keys, std::make_unique<EFKeyElem>(1, false));
    AddTo(keys, std::make_unique<EFKeyElem>(2, false));
    const auto before = Order(keys);
    keys.SelectNext();
    EXPECT_EQ(Order(keys), before);
    EXPECT_EQ(keys.SelectionCount(), 0);
}

// --- Z-order moves ----------------------------------------------------------

TEST_F(ArrangeTest, ZOrderMovesReorderTheSelectionAndPutItInFront)
{
    SizeRectManager model(nullptr, true);
    SizeRect* s0 = AddBox(model, {0, 0, 100, 100}, true);
    SizeRect* between = AddBox(model, {0, 0, 100, 100});
    SizeRect* s1 = AddBox(model, {0, 0, 100, 100}, true);
    SizeRect* s2 = AddBox(model, {0, 0, 100, 100}, true);
    SizeRect* above = AddBox(model, {0, 0, 100, 100});

    // The rearmost of the selection (position 0) to the front (drop 3).
    const int rearmost[] = {0};
    const SizeRectManager::MovedBlock block = model.MoveElements(1, rearmost, 3);
    EXPECT_EQ(block.first, 2);
    EXPECT_EQ(block.last, 2);
    EXPECT_EQ(Order(model), (std::vector<const SizeRect*>{between, above, s1, s2, s0}));
    EXPECT_TRUE(model.IsModified());

    // Two positions to the back; positions outside the selection are ignored.
    const int two[] = {1, 2, 7, -1};
    const SizeRectManager::MovedBlock back = model.MoveElements(4, two, 0);
    EXPECT_EQ(back.first, 0);
    EXPECT_EQ(back.last, 1);
    EXPECT_EQ(Order(model), (std::vector<const SizeRect*>{between, above, s2, s0, s1}));
    EXPECT_EQ(model.SelectionCount(), 3);

    SizeRectManager empty(nullptr, true);
    AddBox(empty, {0, 0, 100, 100});
    empty.MoveElements(1, rearmost, 0);
    EXPECT_FALSE(empty.IsModified());
}

TEST_F(ArrangeTest, ZOrderMovesOfOneGroupReorderItsMembers)
{
    SizeRectManager model(nullptr, true);
    ComboElem* group = AddGroup(model, {{0, 0, 100, 100}, {200, 0, 300, 100}, {400, 0, 500, 100}}, true);
    SizeRect* other = AddBox(model, {0, 0, 1000, 1000});
    std::vector<const SizeRect*> members = Order(group->GetMembers());
    const TRect rect = group->GetRect();

    const int last[] = {2};
    const SizeRectManager::MovedBlock block = model.MoveElements(1, last, 0);
    EXPECT_EQ(block.first, 0);
    EXPECT_EQ(block.last, 0);
    EXPECT_EQ(Order(group->GetMembers()), (std::vector<const SizeRect*>{members[2], members[0], members[1]}));
    EXPECT_EQ(Order(model), (std::vector<const SizeRect*>{other, group}));
    EXPECT_EQ(group->GetRect(), rect);
}

// --- Animation --------------------------------------------------------------

TEST_F(ArrangeTest, AnimationStepsRepaintWhatTheElementsReturn)
{
    StorePage(2, Join({"02 00", records::kLine, "00"}));
    SizeRectManager model(nullptr, true);
    SizeRect* box = AddBox(model, {0, 0, 100, 100});
    box->GetDynBlink() = TDynBlink(1, 1);
    model.SetTemplatePage(2);
    ASSERT_EQ(model.GetTemplateElements()->Count(), 1);
    SizeRect* underneath = (*model.GetTemplateElements())[0];
    underneath->GetDynBlink() = TDynBlink(1, 1);

    model.StartAnimation();
    Canvas().invalidated.clear();
    model.AnimateStep();
    EXPECT_EQ(Canvas().invalidated, (std::vector<TRect>{box->GetRepaintRect(), underneath->GetRepaintRect()}));
    Canvas().invalidated.clear();
    model.StopAnimation();
    EXPECT_FALSE(Canvas().invalidated.empty());
}

// --- Align commands ---------------------------------------------------------

TEST_F(ArrangeTest, EachAlignCommandLinesUpOneEdgeOfTheSelection)
{
    using Align = void (SizeRectManager::*)();
    const struct {
        Align align;
        const char* name;
        std::vector<TRect> after;
    } cases[] = {
        {&SizeRectManager::AlignLeft, "left", {{100, 100, 300, 200}, {100, 400, 500, 600}, {100, 700, 200, 800}}},
        {&SizeRectManager::AlignRight, "right", {{500, 100, 700, 200}, {300, 400, 700, 600}, {600, 700, 700, 800}}},
        {&SizeRectManager::AlignTop, "top", {{100, 100, 300, 200}, {200, 100, 600, 300}, {600, 100, 700, 200}}},
        {&SizeRectManager::AlignBottom, "bottom", {{100, 700, 300, 800}, {200, 600, 600, 800}, {600, 700, 700, 800}}},
        {&SizeRectManager::CenterHorizontally, "horizontal centre",
         {{300, 100, 500, 200}, {200, 400, 600, 600}, {350, 700, 450, 800}}},
        {&SizeRectManager::CenterVertically, "vertical centre",
         {{100, 400, 300, 500}, {200, 350, 600, 550}, {600, 400, 700, 500}}},
    };
    for (const auto& c : cases) {
        SizeRectManager model(nullptr, true);
        SizeRect* a = AddBox(model, {100, 100, 300, 200}, true);
        SizeRect* b = AddBox(model, {200, 400, 600, 600}, true);
        SizeRect* d = AddBox(model, {600, 700, 700, 800}, true);
        SizeRect* other = AddBox(model, {1000, 1000, 1100, 1100});
        (model.*c.align)();
        EXPECT_EQ((std::vector<TRect>{a->GetRect(), b->GetRect(), d->GetRect()}), c.after) << c.name;
        EXPECT_EQ(other->GetRect(), TRect(1000, 1000, 1100, 1100)) << c.name;
        EXPECT_TRUE(model.IsModified()) << c.name;
        EXPECT_EQ(model.UndoCount(), 1) << c.name;
    }
}

TEST_F(ArrangeTest, CentringHalvesTowardZeroAndAnAlignedSelectionStillPushesItsSnapshot)
{
    SizeRectManager model(nullptr, true);
    AddBox(model, {0, 0, 400, 100}, true);
    SizeRect* left = AddBox(model, {100, 200, 303, 300}, true);   // 3 units right of the centre
    SizeRect* right = AddBox(model, {100, 400, 297, 500}, true);  // 3 units left of it
    model.CenterHorizontally();
    EXPECT_EQ(left->left, 99);
    EXPECT_EQ(right->left, 101);

    SizeRectManager aligned(nullptr, true);
    AddBox(aligned, {0, 0, 100, 100}, true);
    AddBox(aligned, {0, 200, 300, 300}, true);
    aligned.AlignLeft();
    EXPECT_EQ(aligned.UndoCount(), 1);
    EXPECT_TRUE(aligned.IsModified());
}

TEST_F(ArrangeTest, ATouchRegionThatAnAlignWouldPushOntoAnotherStays)
{
    SizeRectManager model(nullptr, true);
    SizeRect* anchor = AddBox(model, {0, 2000, 200, 2200}, true);
    AddTo(model, std::make_unique<TouchElem>(TRect{200, 0, 600, 200}));
    TouchElem* blocked = AddTo(model, std::make_unique<TouchElem>(TRect{1000, 0, 1400, 200}), true);
    AddTo(model, std::make_unique<TouchElem>(TRect{400, 400, 800, 600}));
    TouchElem* touching = AddTo(model, std::make_unique<TouchElem>(TRect{1000, 400, 1400, 600}), true);
    SizeRect* box = AddBox(model, {500, 800, 700, 900}, true);

    model.AlignLeft();
    EXPECT_EQ(blocked->GetRect(), TRect(1000, 0, 1400, 200));
    EXPECT_EQ(touching->GetRect(), TRect(0, 400, 400, 600)) << "sharing an edge is allowed";
    EXPECT_EQ(box->left, 0);
    EXPECT_EQ(anchor->left, 0);
    EXPECT_EQ(model.UndoCount(), 1);
}

}  // namespace
