// Element geometry: dragging and edge resizing, keeping on screen, align
// offsets, the correction after loading, handles, group extents and the
// element id counter. The panel is type 9: 240 x 48 pixels (4800 x 960 page
// units), handles 2 pixels (40 units).

#include "plintvlr/elements/tests/element_test_util.h"

#include "plintvlr/elements/size_rect.h"
#include "plintvlr/elements/size_rect_array.h"

namespace {

SizeRect At(const TRect& rect)
{
    SizeRect element;
    static_cast<TRect&>(element) = rect;
    return element;
}

// Steps of the elements that place themselves on character cells.
class SteppedElement : public SizeRect {
public:
    using SizeRect::SizeRect;
    TSize GetMoveStep(bool dragged) const override { return dragged ? TSize(40, 60) : TSize(100, 100); }
    TSize GetSizeStep(bool) const override { return {120, 160}; }
    int GetVerticalMargin() const override { return margin; }
    int margin = 0;
};

}  // namespace

TEST(Geometry, DraggingHandlesResizesWithinTheSizeLimits)
{
    PanelScope panel(kMonoPanel);
    const SizeRect element = At({1000, 100, 1200, 300});
    const struct {
        int handle;
        TSize offset;
        TRect expected;
    } cases[] = {
        {3, {500, 0}, {1120, 100, 1200, 300}},        // left edge past the right: 80 units stay
        {5, {-500, 0}, {1000, 100, 1080, 300}},       // right edge past the left
        {1, {0, 400}, {1000, 220, 1200, 300}},        // top past the bottom
        {7, {0, -400}, {1000, 100, 1200, 180}},       // bottom past the top
        {0, {-100, -60}, {900, 40, 1200, 300}},       // top-left corner
        {8, {20, 40}, {1000, 100, 1220, 340}},        // bottom-right corner
        {2, {40, -20}, {1000, 80, 1240, 300}},
        {6, {-20, 20}, {980, 100, 1200, 320}},
        {3, {-5000, 0}, {-3600, 100, 1200, 300}},     // held at the screen width
        {kDragMove, {30, -10}, {1030, 90, 1230, 290}},
        {kProgramMove, {30, -10}, {1030, 90, 1230, 290}},
        {4, {100, 100}, {1000, 100, 1200, 300}},      // inside: no change
    };
    for (const auto& c : cases)
        EXPECT_EQ(element.DragHandle(c.handle, c.offset), c.expected) << "handle " << c.handle;
}

TEST(Geometry, SnapOffsetRoundsToTheNearestStepHalvesAwayFromZero)
{
    const struct {
        TSize offset;
        TSize step;
        TSize expected;
    } cases[] = {
        {{30, -30}, {20, 20}, {40, -40}}, {{10, -10}, {20, 20}, {20, -20}}, {{9, -9}, {20, 20}, {0, 0}},
        {{59, 61}, {40, 40}, {40, 80}},   {{25, 7}, {0, 20}, {25, 0}},      {{-60, 60}, {20, 30}, {-60, 60}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SnapOffset(c.offset, c.step), c.expected) << c.offset.cx << "," << c.offset.cy;
}

TEST(Geometry, SnapToGridUsesTheElementsStepsThenKeepsItOnScreen)
{
    PanelScope panel(kMonoPanel);
    SteppedElement element;
    static_cast<TRect&>(element) = TRect(400, 200, 640, 360);
    element.SnapToGrid(kDragMove, {30, 50});  // drag step 40 x 60
    EXPECT_EQ(element.GetRect(), TRect(440, 260, 680, 420));
    element.SnapToGrid(kProgramMove, {-60, 0});  // program step 100 x 100
    EXPECT_EQ(element.GetRect(), TRect(340, 260, 580, 420));
    element.SnapToGrid(8, {70, 70});  // size step 120 x 160
    EXPECT_EQ(element.GetRect(), TRect(340, 260, 700, 420));
    const TRect repaint = element.SnapToGrid(kDragMove, {-1000, 0});
    EXPECT_EQ(element.GetRect(), TRect(0, 260, 360, 420));
    EXPECT_EQ(repaint, TRect(-40, 220, 400, 460));
}

TEST(Geometry, KeepRectOnScreenCutsWhatIsTooLargeAndMovesTheRest)
{
    PanelScope panel(kMonoPanel);
    const struct {
        const char* name;
        TRect rect;
        int margin;
        TRect expected;
    } cases[] = {
        {"10 pixels taller than the screen at top -5 pixels: cut", {100, -100, 300, 1060}, 0, {100, 0, 300, 960}},
        {"exactly as high at top -5 pixels: moved", {100, -100, 300, 860}, 0, {100, 0, 300, 960}},
        {"below the bottom: moved up", {100, 900, 300, 1000}, 0, {100, 860, 300, 960}},
        {"wider than the screen: cut", {-100, 100, 4900, 200}, 0, {0, 100, 4800, 200}},
        {"exactly as wide past the right: moved", {100, 100, 4900, 200}, 0, {0, 100, 4800, 200}},
        {"past the left: moved", {-60, 100, 40, 200}, 0, {0, 100, 100, 200}},
        {"on screen: unchanged", {100, 100, 300, 200}, 0, {100, 100, 300, 200}},
        {"margins keep the top free", {100, 10, 300, 110}, 40, {100, 40, 300, 140}},
        {"margins keep the bottom free", {100, 900, 300, 950}, 40, {100, 870, 300, 920}},
        {"taller than the usable height", {100, 0, 300, 960}, 40, {100, 40, 300, 920}},
    };
    for (const auto& c : cases) {
        SteppedElement element;
        static_cast<TRect&>(element) = c.rect;
        element.margin = c.margin;
        EXPECT_EQ(element.KeepRectOnScreen(), c.expected) << c.name;
    }
}

TEST(Geometry, AlignOffsetsForEachCombinationOfUsedSides)
{
    PanelScope panel(kMonoPanel);
    const SizeRect element = At({100, 100, 200, 200});
    constexpr int u = kAlignUnused;
    const struct {
        TRect reference;
        TSize expected;
    } cases[] = {
        {{0, u, 297, u}, {-1, 0}},   // centring difference -3
        {{0, u, 303, u}, {1, 0}},    // centring difference 3
        {{50, u, u, u}, {-50, 0}},   {{u, u, 260, u}, {60, 0}},
        {{u, 0, u, 297}, {0, -1}},   {{u, 0, u, 303}, {0, 1}},
        {{u, 40, u, u}, {0, -60}},   {{u, u, u, 250}, {0, 50}},
        {{50, 40, u, u}, {-50, 0}},  // a horizontal side wins
        {{u, u, u, u}, {0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(element.GetAlignOffset(c.reference), c.expected)
            << c.reference.left << " " << c.reference.top << " " << c.reference.right << " " << c.reference.bottom;
}

TEST(Geometry, NormalizePlacementBringsALoadedElementOntoTheScreen)
{
    PanelScope panel(kMonoPanel);
    const struct {
        TRect rect;
        bool changed;
        TRect expected;
    } cases[] = {
        {{100, 100, 300, 200}, false, {100, 100, 300, 200}},
        {{4700, 100, 4900, 300}, true, {4600, 100, 4800, 300}},
        {{100, -100, 300, 1060}, true, {100, 0, 300, 960}},
        {{-200, -200, 5000, 1200}, true, {0, 0, 4800, 960}},
    };
    for (const auto& c : cases) {
        SizeRect element = At(c.rect);
        EXPECT_EQ(element.NormalizePlacement(), c.changed);
        EXPECT_EQ(element.GetRect(), c.expected);
    }
}

TEST(Geometry, AFullWidthElementKeepsItsHandlesInsideTheWindow)
{
    PanelScope panel(kMonoPanel);
    ASSERT_EQ(SizeRect::GetHandleSize(), 40);
    SizeRect element = At({0, 200, 4800, 400});
    EXPECT_EQ(element.HitTestHandles({20, 300}), -1);  // not selected
    EXPECT_EQ(element.Select(true), TRect(-40, 160, 4840, 440));
    const struct {
        TPoint point;
        int where;
    } cases[] = {
        {{20, 300}, 3},      // the left handle, pulled in
        {{4770, 300}, 5},    // the right handle, pulled in
        {{20, 170}, 0},      {{4770, 410}, 8},
        {{2400, 170}, 1},    {{2400, 300}, 4},
        {{-20, 300}, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(element.HitTestHandles(c.point), c.where) << c.point.x << "," << c.point.y;

    SizeRect full = At({0, 0, 4800, 960});
    full.Select(true);
    EXPECT_EQ(full.HitTestHandles({20, 20}), 0);
    EXPECT_EQ(full.HitTestHandles({4770, 930}), 8);
}

TEST(Geometry, SelectionFollowsTheSelectableFlag)
{
    PanelScope panel(kMonoPanel);
    SizeRect element = At({100, 100, 200, 200});
    element.SetSelectable(false);
    EXPECT_TRUE(element.Select(true).IsEmpty());
    EXPECT_FALSE(element.IsSelected());
    element.SetSelectable(true);
    EXPECT_FALSE(element.Select(true).IsEmpty());
    EXPECT_TRUE(element.Select(true).IsEmpty());  // no change
    element.SetSelectable(false);
    EXPECT_EQ(element.Select(false), TRect(60, 60, 240, 240));  // deselecting is always allowed
}

TEST(Geometry, GroupExtentsOfPositionAndRotation)
{
    PanelScope panel(kMonoPanel);
    SizeRect element = At({200, 300, 600, 500});  // 10, 15 .. 30, 25 pixels
    EXPECT_EQ(element.GetPositionExtent(), TRect(10, 15, 30, 25));
    element.GetDynPosition() = TDynPosition(1, 2, {10, 5});
    EXPECT_EQ(element.GetPositionExtent(), TRect(10, 10, 40, 25));
    element.GetDynPosition() = TDynPosition(0, 2, {10, 5});  // the X offset counts only with an X tag
    EXPECT_EQ(element.GetPositionExtent(), TRect(10, 10, 30, 25));

    EXPECT_EQ(element.GetRotationExtent(), TRect(10, 15, 30, 25));
    element.GetDynRotation() = TDynRotation(3, {20, 28});  // centre (20, 20) from the top
    EXPECT_EQ(element.GetRotationExtent(), TRect(9, 9, 31, 31));  // radius sqrt(125) = 11.18
}

TEST(Geometry, ToggleOrientationKeepsTheLeftAndBottomEdges)
{
    PanelScope panel(kMonoPanel);
    SizeRect element = At({100, 500, 500, 700});
    element.ToggleOrientation();
    EXPECT_EQ(element.GetRect(), TRect(100, 300, 300, 700));
    element.MoveBy({-200, 0});
    EXPECT_EQ(element.GetRect(), TRect(-100, 300, 100, 700));  // no screen check
}

TEST(ElementIds, OneCounterForNewAndDuplicatedElements)
{
    PanelScope panel(kMonoPanel);
    ResetElementIdCounter();
    SizeRect first;
    EXPECT_EQ(first.GetId(), 0);
    SizeRect second({40, 40}, {0, 0});
    EXPECT_EQ(second.GetId(), 1);
    EXPECT_EQ(second.GetRect(), TRect(0, 0, 40, 40));
    const SizeRect copy(second);
    EXPECT_EQ(copy.GetId(), 1);
    EXPECT_EQ(second.Clone()->GetId(), 1);
    EXPECT_EQ(GetElementIdCounter(), 2);

    SizeRect offScreen = At({-100, 100, 100, 200});
    offScreen.GetDynPosition().SaveRect(offScreen);
    const std::unique_ptr<SizeRect> pasted = offScreen.Duplicate();
    EXPECT_EQ(pasted->GetId(), 3);
    EXPECT_EQ(pasted->GetRect(), TRect(0, 100, 200, 200));
    EXPECT_FALSE(pasted->GetDynPosition().HasSavedRect());
    EXPECT_EQ(GetElementIdCounter(), 4);
    ResetElementIdCounter();
    EXPECT_EQ(SizeRect().GetId(), 0);
}

TEST(ElementArray, OwnsItsElementsAndMovesThemWithoutCopies)
{
    SizeRectArray page;
    SizeRectArray selection;
    SizeRect* a = page.Add(std::make_unique<SizeRect>());
    SizeRect* b = page.Add(std::make_unique<SizeRect>());
    SizeRect* c = page.AddAt(std::make_unique<SizeRect>(), 0);
    EXPECT_EQ(page.Count(), 3);
    EXPECT_EQ(page[0], c);
    EXPECT_EQ(page.Find(b), 2);
    EXPECT_TRUE(page.MoveTo(page.Find(a), selection));
    EXPECT_EQ(selection[0], a);  // the same object
    EXPECT_EQ(page.Find(a), -1);
    page.MoveAllTo(selection);
    EXPECT_TRUE(page.IsEmpty());
    EXPECT_EQ(selection.Count(), 3);
    EXPECT_EQ(selection[1], c);
    EXPECT_EQ(selection[2], b);
    std::unique_ptr<SizeRect> detached = selection.Detach(b);
    EXPECT_EQ(detached.get(), b);
    EXPECT_FALSE(selection.MoveTo(5, page));
    EXPECT_TRUE(selection.Destroy(0));
    EXPECT_EQ(selection.At(0), c);
    EXPECT_EQ(selection.At(1), nullptr);
}

TEST(PanelQueries, TheActiveEditorsPanelOrNone)
{
    ASSERT_EQ(GetActivePageEditor(), nullptr);
    _QSglobals.GetDatabase().SetPanelType(14);
    EXPECT_FALSE(IsColorPanel());
    EXPECT_EQ(GetTouchCellSize(), TSize(40, 16));  // the open project's panel
    InvalidatePageRect(TRect(0, 0, 20, 20));        // nothing to repaint: no effect
    {
        PanelScope panel(kColorPanel);
        EXPECT_TRUE(IsColorPanel());
        EXPECT_TRUE(IsEditorLargeDisplay());
        EXPECT_EQ(GetTouchCellSize(), TSize(1, 1));
        EXPECT_EQ(GetScreenSize(), TSize(320, 224));
        EXPECT_EQ(GetScreenYOrigin(), 20);
        EXPECT_EQ(SizeRect::GetHandleSize(), 80);
        EXPECT_EQ(GetFontName(3), "ANSI Zobrel 8x14");  // no project fonts: the panel's own
        InvalidatePageRect(TRect(0, 0, 20, 20));
        InvalidatePageRect(TRect());
        EXPECT_EQ(panel.Editor().invalidated, std::vector<TRect>({TRect(0, 0, 20, 20)}));
    }
    for (int type : {8, 10, 13}) {
        PanelScope panel(type);
        EXPECT_TRUE(IsColorPanel()) << type;
    }
    for (int type : {9, 11, 14, 20}) {
        PanelScope panel(type);
        EXPECT_FALSE(IsColorPanel()) << type;
    }
    EXPECT_FALSE(IsColorPanel());
}

TEST(PanelQueries, WithoutAGridPointsSnapToWholePixels)
{
    ASSERT_EQ(GetActivePageEditor(), nullptr);
    // x truncates; y goes to the nearest pixel, a half pixel upwards.
    const struct {
        TPoint in, out;
    } cases[] = {
        {{0, 0}, {0, 0}},     {{39, 9}, {20, 0}},    {{40, 10}, {40, 0}},
        {{41, 11}, {40, 20}}, {{19, 29}, {0, 20}},   {{20, 30}, {20, 20}},
        {{5, 31}, {0, 40}},   {{-5, -10}, {0, -20}}, {{0, -11}, {0, -20}},
    };
    for (const auto& c : cases) {
        TPoint p = c.in;
        SnapToPageGrid(p);
        EXPECT_EQ(p, c.out) << c.in.x << "," << c.in.y;
    }
    EXPECT_FALSE(IsPageAnimating());
    EXPECT_EQ(GetPageTouchGrid(), nullptr);
    RefreshFunctionKeyBar(3);  // no editor: no effect
}
