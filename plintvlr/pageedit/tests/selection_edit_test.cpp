// Editing the selection as a whole: the bounded undo stack, delete, drags
// and align moves on the graphics grid, group and ungroup, undo, the font of
// the selection, and copy, cut and paste over the element clipboard. The
// panel is type 14 (240 x 112 pixels, touch cells of 40 x 16 pixels) and the
// canvas's graphics grid unit is 4 pixels.

#include "plintvlr/pageedit/tests/page_test_util.h"

#include "plintvlr/dataelements/data_elements.h"
#include "plintvlr/dataelements/touch_grid.h"
#include "plintvlr/db/bitmap_paster.h"
#include "plintvlr/db/tqs_bitmaps.h"
#include "plintvlr/elements/bitmap_elem.h"
#include "plintvlr/elements/combo_elem.h"
#include "plintvlr/pageedit/limited_stack.h"
#include "plintvlr/pageedit/page_clipboard_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kPanel = 14;
constexpr int kScreenHeight = 112 * kUnitsPerPixel;
constexpr int kGridUnit = 4;

// The canvas of the page editor with a graphics grid of 4 x 4 pixels and the
// panel's touch cells.
class GridCanvas : public CanvasFake {
public:
    GridCanvas() : CanvasFake(kPanel), touchGrid_(MakeTouchGrid(Quellstor(kPanel))) {}
    void SnapToGraphicsGrid(TPoint& p) const override
    {
        const int u = kGridUnit;
        p.x = ((p.x / 20 + u / 2) / u) * u * 20;
        p.y = kScreenHeight - ((((kScreenHeight - p.y) + (u * 20) / 2) / 20) / u) * u * 20;
    }
    const TouchGrid* GetTouchGrid() const override { return touchGrid_.get(); }
    void InvalidateBars() override { ++barRepaints; }
    bool IsAnimating() const override { return animating; }

    int barRepaints = 0;
    bool animating = false;

private:
    std::unique_ptr<TouchGrid> touchGrid_;
};

// An element that moves in steps of 100 units, as text on character cells does.
class SteppedBox : public SizeRect {
public:
    SteppedBox(const TPoint& a, const TPoint& b) : SizeRect(a, b) {}
    SteppedBox(const SteppedBox&) = default;
    TSize GetMoveStep(bool) const override { return {100, 100}; }
    std::unique_ptr<SizeRect> Clone() const override { return std::make_unique<SteppedBox>(*this); }
};

// A touch region made in the editor (it has no kept record, so it pastes).
class NewTouch : public TouchElem {
public:
    explicit NewTouch(const TRect& rect) : TouchElem(rect) {}
    NewTouch(const NewTouch&) = default;
    std::unique_ptr<SizeRect> Clone() const override { return std::make_unique<NewTouch>(*this); }
};

// An element whose preview shows it displaced from where it rests.
class PreviewedBox : public SizeRect {
public:
    PreviewedBox(const TRect& resting, const TSize& shift)
        : SizeRect(resting.TopLeft(), resting.BottomRight()), resting_(resting)
    {
        static_cast<TRect&>(*this) = resting.Offset(shift.cx, shift.cy);
    }
    PreviewedBox(const PreviewedBox&) = default;
    TRect StopAnimation() override
    {
        static_cast<TRect&>(*this) = resting_;
        return GetRepaintRect();
    }
    std::unique_ptr<SizeRect> Clone() const override { return std::make_unique<PreviewedBox>(*this); }

private:
    TRect resting_;
};

// A font taker: accepts fonts 1 to 3.
class FontBox : public SizeRect {
public:
    FontBox(const TPoint& a, const TPoint& b) : SizeRect(a, b) {}
    bool SetFont(int fontNumber) override
    {
        if (fontNumber < 1 || fontNumber > 3)
            return false;
        SetFontNumber(fontNumber);
        return true;
    }
};

template <class T>
T* Put(SizeRectManager& model, std::unique_ptr<T> element, bool selected = false)
{
    T* added = element.get();
    model.GetElements().Add(std::move(element));
    added->Select(selected);
    return added;
}

SizeRect* PutBox(SizeRectManager& model, const TRect& rect, bool selected = false)
{
    return Put(model, std::make_unique<SizeRect>(rect.TopLeft(), rect.BottomRight()), selected);
}

ComboElem* PutGroup(SizeRectManager& model, std::initializer_list<TRect> rects, bool selected = false)
{
    SizeRectArray parts;
    for (const TRect& r : rects)
        parts.Add(std::make_unique<SizeRect>(r.TopLeft(), r.BottomRight()));
    return Put(model, std::make_unique<ComboElem>(parts), selected);
}

std::vector<std::int32_t> Ids(const SizeRectArray& array)
{
    std::vector<std::int32_t> ids;
    for (const auto& element : array)
        ids.push_back(element->GetId());
    return ids;
}

std::vector<std::int32_t> Ids(const SizeRectManager& model)
{
    return Ids(model.GetElements());
}

std::vector<TRect> Rects(const SizeRectManager& model)
{
    std::vector<TRect> rects;
    for (const auto& element : model.GetElements())
        rects.push_back(element->GetRect());
    return rects;
}

std::vector<bool> Selected(const SizeRectManager& model)
{
    std::vector<bool> flags;
    for (const auto& element : model.GetElements())
        flags.push_back(element->IsSelected());
    return flags;
}

class SelectionEditTest : public PageFixture {
protected:
    void SetUp() override
    {
        PageFixture::SetUp();
        Open(kPanel);
        SetActivePageEditor(&canvas_);
    }

    SizeRectManager model_{nullptr, true};
    GridCanvas canvas_;
    SizeRectArray clipboard_;
    BitmapPaster bitmaps_;
    ElementClipboard Clipboard() { return {clipboard_, bitmaps_}; }
};

}  // namespace

// --- The bounded stack --------------------------------------------------------

TEST(LimitedStack, HoldsOneLessThanItsSlotsAndDropsTheOldest)
{
    TILimitedStack<int, 21> stack;
    EXPECT_EQ(stack.Count(), 0);
    EXPECT_EQ(stack.Pop(), nullptr);
    EXPECT_EQ(stack.DropOldest(), nullptr);
    stack.Push(nullptr);
    EXPECT_TRUE(stack.IsEmpty());
    // Past the ring's end and round again: the count stays true throughout.
    for (int i = 1; i <= 45; ++i) {
        stack.Push(std::make_unique<int>(i));
        EXPECT_EQ(stack.Count(), std::min(i, 20)) << i;
        EXPECT_EQ(*stack.Top(), i);
    }
    EXPECT_TRUE(stack.IsFull());
    EXPECT_EQ(*stack.DropOldest(), 26);
    for (int i = 45; i >= 27; --i)
        EXPECT_EQ(*stack.Pop(), i);
    EXPECT_TRUE(stack.IsEmpty());
    EXPECT_EQ(stack.Pop(), nullptr);

    stack.Push(std::make_unique<int>(7));
    stack.Clear();
    EXPECT_EQ(stack.Count(), 0);
    EXPECT_EQ(stack.Top(), nullptr);
}

// --- Undo -------------------------------------------------------------------

TEST_F(SelectionEditTest, TwentyOneMovesLeaveTwentySnapshotsAndTheFirstIsLost)
{
    SizeRect* box = PutBox(model_, {0, 0, 400, 400}, true);
    const std::int32_t id = box->GetId();
    for (int i = 0; i < 21; ++i)
        model_.MoveSelection(kDragMove, {160, 0});
    EXPECT_EQ(model_.UndoCount(), 20);
    EXPECT_EQ(model_.GetElements()[0]->left, 21 * 160);
    for (int i = 0; i < 25; ++i)
        model_.Undo();
    EXPECT_EQ(model_.UndoCount(), 0);
    ASSERT_EQ(Ids(model_), std::vector<std::int32_t>{id});
    // Back to where the second move started, not to the start.
    EXPECT_EQ(model_.GetElements()[0]->GetRect(), TRect(160, 0, 560, 400));
}

TEST_F(SelectionEditTest, UndoingADeletePutsTheElementsBackOnTopSelectedAsTheyWere)
{
    SizeRect* a = PutBox(model_, {0, 0, 400, 400}, true);
    SizeRect* b = PutBox(model_, {800, 0, 1200, 400});
    SizeRect* c = PutBox(model_, {1600, 0, 2000, 400}, true);
    const std::vector<std::int32_t> ids{a->GetId(), b->GetId(), c->GetId()};
    model_.DeleteSelection();
    EXPECT_EQ(Ids(model_), std::vector<std::int32_t>{ids[1]});
    EXPECT_EQ(model_.UndoCount(), 1);
    EXPECT_TRUE(model_.IsModified());

    model_.SetModified(false);
    model_.Undo();
    EXPECT_EQ(Ids(model_), (std::vector<std::int32_t>{ids[1], ids[0], ids[2]}));
    EXPECT_EQ(Selected(model_), (std::vector<bool>{false, true, true}));
    EXPECT_TRUE(model_.IsModified());
}

TEST_F(SelectionEditTest, UndoingAMoveReplacesOnlyTheMovedElements)
{
    SizeRect* a = PutBox(model_, {0, 0, 400, 400}, true);
    SizeRect* b = PutBox(model_, {800, 0, 1200, 400});
    const std::int32_t aId = a->GetId();
    const std::int32_t bId = b->GetId();
    model_.MoveSelection(kDragMove, {160, 320});
    EXPECT_EQ(a->GetRect(), TRect(160, 320, 560, 720));
    // An element added since stays; the unmoved one stays where it is.
    const std::int32_t addedId = [&] {
        auto added = std::make_unique<SizeRect>(TPoint(0, 1000), TPoint(400, 1400));
        const std::int32_t id = added->GetId();
        model_.AddElement(std::move(added));
        return id;
    }();
    model_.Undo();
    EXPECT_EQ(Ids(model_), (std::vector<std::int32_t>{bId, addedId, aId}));
    EXPECT_EQ(Rects(model_), (std::vector<TRect>{{800, 0, 1200, 400}, {0, 1000, 400, 1400}, {0, 0, 400, 400}}));
}

TEST_F(SelectionEditTest, GroupingAGroupWithTwoElementsMakesOneFlatGroupUndoneInTwoSteps)
{
    ComboElem* old = PutGroup(model_, {{0, 0, 400, 400}, {800, 0, 1200, 400}}, true);
    const std::vector<std::int32_t> memberIds = Ids(old->GetMembers());
    const std::int32_t oldId = old->GetId();
    SizeRect* x = PutBox(model_, {0, 800, 400, 1200}, true);
    SizeRect* y = PutBox(model_, {800, 800, 1200, 1200}, true);
    const std::int32_t xId = x->GetId();
    const std::int32_t yId = y->GetId();
    PutBox(model_, {2000, 0, 2400, 400});

    model_.GroupSelection();
    EXPECT_EQ(model_.UndoCount(), 2);
    ASSERT_EQ(model_.GetElements().Count(), 2);
    const auto* group = dynamic_cast<const ComboElem*>(model_.GetElements()[1]);
    ASSERT_NE(group, nullptr);
    EXPECT_TRUE(group->IsSelected());
    EXPECT_EQ(Ids(group->GetMembers()), (std::vector<std::int32_t>{xId, yId, memberIds[0], memberIds[1]}));
    EXPECT_EQ(group->GetRect(), TRect(0, 0, 1200, 1200));

    model_.Undo();  // the group goes, its elements come back loose
    EXPECT_EQ(model_.GetElements().Count(), 5);
    model_.Undo();  // the loose members go, the first group comes back
    ASSERT_EQ(model_.GetElements().Count(), 4);
    const auto* back = dynamic_cast<const ComboElem*>(model_.GetElements()[3]);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetId(), oldId);
    EXPECT_EQ(Ids(back->GetMembers()), memberIds);
    EXPECT_EQ(model_.UndoCount(), 0);
}

TEST_F(SelectionEditTest, UngroupPutsTheMembersOnTopSelectedAndWithoutAGroupDoesNothing)
{
    SizeRect* single = PutBox(model_, {0, 800, 400, 1200}, true);
    PutBox(model_, {800, 800, 1200, 1200});
    const std::vector<std::int32_t> before = Ids(model_);
    model_.UngroupSelection();
    EXPECT_EQ(Ids(model_), before);
    EXPECT_EQ(model_.UndoCount(), 0);
    EXPECT_FALSE(model_.IsModified());
    EXPECT_TRUE(single->IsSelected());

    ComboElem* group = PutGroup(model_, {{0, 0, 400, 400}, {800, 0, 1200, 400}}, true);
    const std::vector<std::int32_t> members = Ids(group->GetMembers());
    model_.UngroupSelection();
    EXPECT_EQ(model_.UndoCount(), 1);
    EXPECT_TRUE(model_.IsModified());
    EXPECT_EQ(Ids(model_), (std::vector<std::int32_t>{before[0], before[1], members[0], members[1]}));
    EXPECT_EQ(Selected(model_), (std::vector<bool>{true, false, true, true}));
}

TEST_F(SelectionEditTest, DeletingAndCuttingTheCurrentFunctionKey)
{
    // Nothing selected and no current key: nothing at all.
    PutBox(model_, {0, 0, 400, 400});
    model_.DeleteSelection();
    EXPECT_EQ(model_.GetElements().Count(), 1);
    EXPECT_EQ(model_.UndoCount(), 0);
    EXPECT_FALSE(model_.IsModified());

    // Delete of the current key can be undone, and refreshes the key bar.
    Put(model_, std::make_unique<EFKeyElem>(3, false));
    model_.SelectFunctionKey(3);
    model_.DeleteSelection();
    EXPECT_EQ(model_.FindFunctionKey(3), nullptr);
    EXPECT_EQ(model_.UndoCount(), 1);
    EXPECT_EQ(canvas_.legendUpdates, std::vector<int>{3});
    EXPECT_EQ(canvas_.barRepaints, 1);
    model_.Undo();
    EXPECT_NE(model_.FindFunctionKey(3), nullptr);
    EXPECT_EQ(canvas_.legendUpdates, (std::vector<int>{3, 3}));

    // Cut of it cannot: the key is in the clipboard, nothing on the stack.
    model_.SetModified(false);
    EditCut(model_, Clipboard());
    EXPECT_EQ(model_.FindFunctionKey(3), nullptr);
    EXPECT_EQ(model_.UndoCount(), 0);
    EXPECT_TRUE(model_.IsModified());
    ASSERT_EQ(clipboard_.Count(), 1);
    EXPECT_NE(dynamic_cast<EFKeyElem*>(clipboard_[0]), nullptr);
}

TEST_F(SelectionEditTest, UndoFindsAnElementLockedSinceItsSnapshot)
{
    PutBox(model_, {0, 0, 400, 400}, true);
    model_.MoveSelection(kDragMove, {160, 0});
    model_.LockSelection();
    model_.Undo();
    ASSERT_EQ(model_.GetElements().Count(), 1);
    EXPECT_EQ(model_.GetElements()[0]->GetRect(), TRect(0, 0, 400, 400));
}

// --- Drags and align moves --------------------------------------------------

TEST_F(SelectionEditTest, ANullDragDoesNothingAndAnAlignAlwaysStoresTheUnrefused)
{
    PutBox(model_, {0, 0, 400, 400}, true);
    PutBox(model_, {0, 800, 400, 1200}, true);
    model_.MoveSelection(kDragMove, {0, 0});
    EXPECT_EQ(model_.UndoCount(), 0);
    EXPECT_FALSE(model_.IsModified());

    // Both already share the left edge: nothing moves, one snapshot of both.
    model_.ApplyRectToSelection(TRect(0, kAlignUnused, kAlignUnused, kAlignUnused));
    ASSERT_EQ(model_.UndoCount(), 1);
    EXPECT_EQ(model_.GetUndoStack().Top()->Count(), 2);
    EXPECT_TRUE(model_.IsModified());

    // With nothing selected no snapshot, but the page is still marked.
    model_.DeselectAll();
    model_.SetModified(false);
    model_.ApplyRectToSelection(TRect(0, kAlignUnused, kAlignUnused, kAlignUnused));
    EXPECT_EQ(model_.UndoCount(), 1);
    EXPECT_TRUE(model_.IsModified());
}

TEST_F(SelectionEditTest, MovedElementsLandWithTheirLeftBottomCornerOnTheGrid)
{
    PutBox(model_, {20, 40, 420, 460}, true);
    PutBox(model_, {1000, 1000, 1260, 1300}, true);
    PutGroup(model_, {{2000, 100, 2200, 300}, {2400, 100, 2600, 300}}, true);
    for (const TSize offset : {TSize(30, 50), TSize(-120, 260), TSize(400, -20)}) {
        model_.MoveSelection(kDragMove, offset);
        for (const auto& element : model_.GetElements()) {
            EXPECT_EQ(element->left % (kGridUnit * 20), 0) << element->left;
            EXPECT_EQ((kScreenHeight - element->bottom) % (kGridUnit * 20), 0) << element->bottom;
        }
    }
    // A resize is no move: its edges follow the offset, off the grid.
    model_.MoveSelection(2, {60, 0});
    EXPECT_NE(model_.GetElements()[0]->right % (kGridUnit * 20), 0);
}

TEST_F(SelectionEditTest, AnOffsetRoundedByOneElementMovesTheElementsAfterIt)
{
    SetActivePageEditor(&Canvas());  // whole pixels, no grid
    const struct {
        bool steppedFirst;
        int steppedMove, boxMove;
    } cases[] = {{true, 100, 100}, {false, 100, 140}};
    for (const auto& c : cases) {
        SizeRectManager model(nullptr, true);
        auto putStepped = [&] { return Put(model, std::make_unique<SteppedBox>(TPoint(0, 0), TPoint(400, 400)), true); };
        SizeRect* stepped = c.steppedFirst ? putStepped() : nullptr;
        SizeRect* box = PutBox(model, {0, 1000, 400, 1400}, true);
        if (!stepped)
            stepped = putStepped();
        model.MoveSelection(kProgramMove, {140, 0});
        EXPECT_EQ(stepped->left, c.steppedMove) << c.steppedFirst;
        EXPECT_EQ(box->left, c.boxMove) << c.steppedFirst;
    }
}

TEST_F(SelectionEditTest, WhileThePreviewRunsUndoPutsBackTheRestingPlace)
{
    const TRect resting(160, 160, 560, 560);
    Put(model_, std::make_unique<PreviewedBox>(resting, TSize(320, 0)), true);
    canvas_.animating = true;
    model_.MoveSelection(kDragMove, {160, 0});
    EXPECT_EQ(model_.GetElements()[0]->left, 640);
    model_.Undo();
    EXPECT_EQ(model_.GetElements()[0]->GetRect(), resting);
}

TEST_F(SelectionEditTest, ATouchRegionThatWouldOverlapAnotherStaysWhileTheRestMove)
{
    Put(model_, std::make_unique<NewTouch>(TRect(800, 0, 1200, 400)));
    SizeRect* touch = Put(model_, std::make_unique<NewTouch>(TRect(0, 0, 400, 400)), true);
    ComboElem* group = PutGroup(model_, {{0, 1000, 400, 1400}}, true);
    group->GetMembers().Add(std::make_unique<NewTouch>(TRect(0, 1600, 400, 2000)));
    SizeRect* box = PutBox(model_, {0, 600, 400, 800}, true);

    // Right by 600: the region would cover the other; the group would not.
    model_.MoveSelection(kDragMove, {640, 0});
    EXPECT_EQ(touch->GetRect(), TRect(0, 0, 400, 400));
    EXPECT_EQ(box->left, 640);
    EXPECT_EQ(model_.GetUndoStack().Top()->Count(), 2);

    // Up to the edge: contact is allowed.
    model_.ApplyRectToSelection(TRect(kAlignUnused, kAlignUnused, 800, kAlignUnused));
    EXPECT_EQ(touch->GetRect(), TRect(400, 0, 800, 400));
}

// --- Paste ------------------------------------------------------------------

TEST_F(SelectionEditTest, PasteIsNotUndoneAndArrivesSelectedOnTop)
{
    SizeRect* a = PutBox(model_, {0, 0, 400, 400}, true);
    EditCopy(model_, Clipboard());
    EXPECT_FALSE(model_.IsModified());  // copy changes nothing
    model_.MoveSelection(kDragMove, {160, 0});
    EditPaste(model_, Clipboard());
    ASSERT_EQ(model_.GetElements().Count(), 2);
    EXPECT_NE(model_.GetElements()[1]->GetId(), a->GetId());
    EXPECT_EQ(Selected(model_), (std::vector<bool>{false, true}));
    model_.Undo();  // undoes the move; the pasted copy stays
    EXPECT_EQ(Rects(model_), (std::vector<TRect>{{0, 0, 400, 400}, {0, 0, 400, 400}}));
    EXPECT_EQ(model_.UndoCount(), 0);
}

TEST_F(SelectionEditTest, APasteOfRefusedElementsStillDeselectsAndAnEmptyOneDoesNothing)
{
    SizeRect* box = PutBox(model_, {0, 0, 400, 400}, true);
    EditPaste(model_, Clipboard());
    EXPECT_TRUE(box->IsSelected());
    EXPECT_FALSE(model_.IsModified());

    Put(model_, std::make_unique<NewTouch>(TRect(0, 160, 800, 480)));
    clipboard_.Add(std::make_unique<NewTouch>(TRect(0, 160, 800, 480)));
    EditPaste(model_, Clipboard());
    EXPECT_EQ(model_.GetElements().Count(), 2);
    EXPECT_FALSE(box->IsSelected());
    EXPECT_TRUE(model_.IsModified());
}

TEST_F(SelectionEditTest, TouchRegionsPasteOntoTheTouchCellsUnlessTheyWouldOverlapOne)
{
    Put(model_, std::make_unique<NewTouch>(TRect(0, 160, 800, 480)));
    // Onto the page's region: refused with its message; the rest is pasted.
    clipboard_.Add(std::make_unique<NewTouch>(TRect(100, 200, 700, 400)));
    clipboard_.Add(std::make_unique<SizeRect>(TPoint(0, 1000), TPoint(400, 1400)));
    // Beside it: its rectangle becomes the cells wholly inside it.
    clipboard_.Add(std::make_unique<NewTouch>(TRect(790, 150, 1700, 500)));
    // Smaller than a cell: the cell it stands in.
    clipboard_.Add(std::make_unique<NewTouch>(TRect(2500, 1000, 2600, 1100)));
    // A group whose touch member would lie on the page's region.
    SizeRectArray parts;
    parts.Add(std::make_unique<NewTouch>(TRect(0, 160, 400, 480)));
    clipboard_.Add(std::make_unique<ComboElem>(parts));
    EditPaste(model_, Clipboard());

    ASSERT_EQ(prompts_.Shown().size(), 2u);
    EXPECT_EQ(prompts_.Shown()[0].text,
              "A touch region cannot be pasted onto an existing one.\nPlease move the existing one away and paste again.");
    EXPECT_EQ(prompts_.Shown()[0].caption, "Plintvlr 5.1.0a");
    EXPECT_EQ(prompts_.Shown()[0].Buttons(), UINT(MB_OK));
    EXPECT_EQ(Rects(model_), (std::vector<TRect>{{0, 160, 800, 480},
                                                 {0, 1000, 400, 1400},
                                                 {800, 160, 1600, 480},
                                                 {2400, 800, 3200, 1120}}));
}

TEST_F(SelectionEditTest, AFunctionKeyPastesOntoTheCurrentKeyAndOnlyThen)
{
    EFKeyElem copied(5, false);
    clipboard_.Add(copied.Clone());

    // No key picked: skipped with a hint, the rest of the paste goes on.
    clipboard_.Add(std::make_unique<SizeRect>(TPoint(0, 0), TPoint(400, 400)));
    EditPaste(model_, Clipboard());
    ASSERT_EQ(prompts_.Shown().size(), 1u);
    EXPECT_EQ(prompts_.Shown()[0].text, "Click the function key to paste onto in the key bar, then paste again.");
    EXPECT_EQ(model_.GetElements().Count(), 1);
    EXPECT_EQ(model_.FindFunctionKey(0), nullptr);
    clipboard_.Destroy(1);

    // Key 2 is picked and free: the pasted key becomes key 2.
    model_.SelectFunctionKey(2);
    EditPaste(model_, Clipboard());
    EFKeyElem* first = model_.FindFunctionKey(2);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(model_.FindFunctionKey(5), nullptr);
    EXPECT_EQ(canvas_.legendUpdates, std::vector<int>{2});

    // Key 2 again: asked; No keeps the page's key, Yes replaces it.
    prompts_.Answer(IDNO).Answer(IDYES);
    EditPaste(model_, Clipboard());
    EXPECT_EQ(model_.FindFunctionKey(2), first);
    EditPaste(model_, Clipboard());
    ASSERT_EQ(prompts_.Shown().size(), 3u);
    EXPECT_EQ(prompts_.Shown()[1].text, "Remove current key?");
    EXPECT_EQ(prompts_.Shown()[1].caption, "Application Message");
    EXPECT_EQ(prompts_.Shown()[1].flags, UINT(MB_YESNO | MB_ICONQUESTION));
    EXPECT_NE(model_.FindFunctionKey(2), nullptr);
    int keys = 0;
    for (const auto& element : model_.GetElements())
        keys += dynamic_cast<EFKeyElem*>(element.get()) != nullptr;
    EXPECT_EQ(keys, 1);
}

TEST_F(SelectionEditTest, PastedDriveOutsTakeTheFreeNumbersOrAreLeftOut)
{
    for (int n : {1, 2, 4})
        Put(model_, std::make_unique<DriveOutElem>(n, TPoint(0, 0), TPoint(400, 400)));
    for (int n : {1, 1, 2})
        clipboard_.Add(std::make_unique<DriveOutElem>(n, TPoint(0, 600), TPoint(400, 1000)));
    EditPaste(model_, Clipboard());
    std::vector<std::string> texts;
    for (int i = 3; i < model_.GetElements().Count(); ++i)
        texts.push_back(static_cast<DriveOutElem*>(model_.GetElements()[i])->GetText());
    EXPECT_EQ(texts, (std::vector<std::string>{"03", "05", "06"}));
    EXPECT_TRUE(prompts_.Shown().empty());

    // The page uses all 99: each is left out, one message for the paste,
    // and the other elements are pasted.
    for (int n = 7; n <= DriveOutElem::kMaxNumber; ++n)
        Put(model_, std::make_unique<DriveOutElem>(n, TPoint(0, 0), TPoint(400, 400)));
    clipboard_.Add(std::make_unique<SizeRect>(TPoint(0, 1000), TPoint(400, 1400)));
    const int before = model_.GetElements().Count();
    EditPaste(model_, Clipboard());
    EXPECT_EQ(model_.GetElements().Count(), before + 1);
    ASSERT_EQ(prompts_.Shown().size(), 1u);
    EXPECT_EQ(prompts_.Shown()[0].text,
              "No more operator writes may be configured on this graphic page.  Try deleting one.");
}

TEST_F(SelectionEditTest, PastedBitmapsJoinAnotherProjectButNotTheirOwn)
{
    TQSBitmaps& library = GetBitmapLibrary();
    library.ClearAll();
    TDib picture(8, 8, 1);
    picture.SetPixelIndex(1, 1, 1);
    ASSERT_EQ(library.SetSlot(6, picture, "P"), 1);
    BitmapElem* bitmap = Put(model_, std::make_unique<BitmapElem>(TPoint(200, 840)), true);
    bitmap->SetInitialBitmap(7);
    EditCopy(model_, Clipboard());
    ASSERT_EQ(bitmaps_.Entries().size(), 1u);
    EXPECT_EQ(bitmaps_.GetText(), "PAGES");

    EditPaste(model_, Clipboard());
    EXPECT_EQ(static_cast<BitmapElem*>(model_.GetElements()[1])->GetInitialBitmap(), 7);
    EXPECT_EQ(library.FindFreeSlot(), 0);

    // Another project, whose library holds one picture already.
    SizeRectManager other(nullptr, true);
    Open(kPanel, "OTHER");
    SetActivePageEditor(&canvas_);
    library.ClearAll();
    ASSERT_EQ(library.AddBitmap(TDib(4, 4, 1)), 1);
    EditPaste(other, Clipboard());
    ASSERT_EQ(other.GetElements().Count(), 1);
    EXPECT_EQ(static_cast<BitmapElem*>(other.GetElements()[0])->GetInitialBitmap(), 2);
    ASSERT_NE(library.GetDib(1), nullptr);  // slots count from 0
    EXPECT_TRUE(library.GetDib(1)->SameImage(picture));
    library.ClearAll();
}

TEST_F(SelectionEditTest, CopyKeepsTheProjectNameToFortyCharactersAndAKeyKeepsThePictures)
{
    EXPECT_EQ(SizeRectManager::ClipboardProjectName(std::string(50, 'N')), std::string(40, 'N'));
    bitmaps_.SetText("EARLIER");
    Put(model_, std::make_unique<EFKeyElem>(4, false));
    model_.SelectFunctionKey(4);
    EditCopy(model_, Clipboard());
    EXPECT_EQ(clipboard_.Count(), 1);
    EXPECT_EQ(bitmaps_.GetText(), "EARLIER");

    // Copying with nothing selected and no key leaves the clipboard alone.
    model_.SelectAt(0, {4000, 2000});
    EditCopy(model_, Clipboard());
    EXPECT_EQ(clipboard_.Count(), 1);
}

TEST_F(SelectionEditTest, PasteIsOfferedOutsidePickUpForElementsThePanelAllows)
{
    EXPECT_FALSE(CanEditPaste(Clipboard(), false));
    clipboard_.Add(std::make_unique<TrendElem>(TPoint(0, 0), TPoint(400, 400)));
    EXPECT_EQ(CanEditPaste(Clipboard(), false), TrendElem().IsAllowedOnPanel());
    clipboard_.Add(std::make_unique<SizeRect>(TPoint(0, 0), TPoint(400, 400)));
    EXPECT_TRUE(CanEditPaste(Clipboard(), false));
    EXPECT_FALSE(CanEditPaste(Clipboard(), true));
    // Without the shell's main frame there is no clipboard at all.
    EXPECT_FALSE(CanEditPaste(false));
}

// --- Font -------------------------------------------------------------------

TEST_F(SelectionEditTest, AFontGoesToTheSelectedElementsThatTakeIt)
{
    FontBox* taker = Put(model_, std::make_unique<FontBox>(TPoint(0, 0), TPoint(400, 400)), true);
    SizeRect* other = PutBox(model_, {800, 0, 1200, 400}, true);
    model_.SetFontOfSelection(7);
    EXPECT_TRUE(taker->IsSelected());
    EXPECT_FALSE(model_.IsModified());

    model_.SetFontOfSelection(2);
    EXPECT_EQ(taker->GetFontNumber(), 2);
    EXPECT_EQ(other->GetFontNumber(), 0);
    EXPECT_EQ(model_.SelectionCount(), 0);
    EXPECT_TRUE(model_.IsModified());
    EXPECT_EQ(model_.UndoCount(), 0);
}
