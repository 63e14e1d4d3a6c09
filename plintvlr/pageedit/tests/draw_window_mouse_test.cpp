// The page canvas used with the mouse and keys through the test driver:
// placing elements with each tool, polylines, rubber bands, pick-up mode,
// the refusals of the data and operator element tools, tool enabling by
// panel type, the relabelled items and the animation timer.

#include "plintvlr/pageedit/tests/draw_window_fixture.h"

#include "plintvlr/dataelements/data_elements.h"
#include "plintvlr/dataelements/touch_grid.h"
#include "plintvlr/elements/bitmap_elem.h"
#include "plintvlr/elements/format_text.h"
#include "plintvlr/elements/lines_elem.h"
#include "plintvlr/elements/point_elem.h"
#include "plintvlr/elements/reg_fig_elem.h"
#include "plintvlr/pageedit/canvas_string_ids.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/frame_commands.h"
#include "platform/ui/command_enabler.h"

#include <gtest/gtest.h>

#include <functional>
#include <typeinfo>

namespace {

class DrawWindowMouseTest : public CanvasFixture {
protected:
    void TearDown() override
    {
        ClearToolElements();
        CanvasFixture::TearDown();
    }

    void Choose(UINT tool) { CanvasWindow().SendMessage(WM_COMMAND, tool, 0); }

    // The enabler of a command as the canvas answers it.
    TCommandEnabler Enabler(UINT id)
    {
        TCommandEnabler ce(id);
        CanvasWindow().EvCommandEnable(ce);
        return ce;
    }

    SizeRect* Last() { return Model().GetElements()[Model().GetElements().Count() - 1]; }

    // Registers stand-ins for the data and operator elements' constructors.
    static void RegisterDataTools()
    {
        RegisterToolElement(CM_ADDTREND,
                            [](const TToolPlacement& p) { return std::make_unique<TrendElem>(p.a, p.b); });
        RegisterToolElement(CM_ADDTOUCHREGION,
                            [](const TToolPlacement& p) { return std::make_unique<TouchElem>(TRect(p.a, p.b)); });
        RegisterToolElement(CM_ADDDRIVEOUT, [](const TToolPlacement& p) {
            return std::make_unique<DriveOutElem>(p.number, p.a, p.b);
        });
    }
};

TEST_F(DrawWindowMouseTest, EachToolPlacesItsElementAndReturnsToSelect)
{
    struct Case {
        UINT tool;
        TPoint from;
        TPoint to;
        std::function<bool(const SizeRect&)> is;
    };
    const auto kind = [](int k) {
        return [k](const SizeRect& e) {
            auto* figure = dynamic_cast<const TRegFigElem*>(&e);
            return figure && figure->GetKind() == k;
        };
    };
    const Case cases[] = {
        {CM_ADDTEXT, {10, 5}, {60, 20}, [](const SizeRect& e) { return typeid(e) == typeid(TFormatText); }},
        {CM_ADDTAGDISPLAY, {70, 5}, {110, 20}, [](const SizeRect& e) { return dynamic_cast<const PointElem*>(&e); }},
        {DrawWindow::kDigitalTagDisplayTool, {120, 5}, {160, 20},
         [](const SizeRect& e) { return dynamic_cast<const PointElem*>(&e); }},
        {CM_ADDFRAME, {10, 25}, {40, 40}, kind(TRegFigElem::kFrame)},
        {CM_ADDCIRCLE, {50, 25}, {80, 40}, kind(TRegFigElem::kCircle)},
        {CM_ADDRECTANGLE, {90, 25}, {120, 40}, kind(TRegFigElem::kRectangle)},
        {CM_ADDBITMAP, {130, 25}, {170, 45}, [](const SizeRect& e) { return typeid(e) == typeid(BitmapElem); }},
    };
    DrawWindow& canvas = OpenCanvas(9, 2);
    for (const Case& c : cases) {
        Choose(c.tool);
        ASSERT_EQ(canvas.GetTool(), c.tool);
        const int before = Model().GetElements().Count();
        driver.Drag(canvas, At(c.from.x, c.from.y), At(c.to.x, c.to.y));
        ASSERT_EQ(Model().GetElements().Count(), before + 1) << c.tool;
        SizeRect* placed = Last();
        EXPECT_TRUE(c.is(*placed)) << c.tool;
        EXPECT_TRUE(placed->IsSelected()) << c.tool;
        EXPECT_EQ(Model().SelectionCount(), 1) << c.tool;
        EXPECT_EQ(canvas.GetTool(), static_cast<UINT>(CM_SELECTGRAPHICS)) << c.tool;
        EXPECT_EQ(OpenSheets(), 1) << c.tool;
        CloseSheets();
    }
    // The rectangle's corners are the drag's, in page units.
    EXPECT_EQ(Model().GetElements()[5]->GetRect(), TRect(90 * 20, 25 * 20, 120 * 20, 40 * 20));
    EXPECT_TRUE(Model().IsModified());
}

TEST_F(DrawWindowMouseTest, ABitmapClickBuildsItFromThePointAlone)
{
    DrawWindow& canvas = OpenCanvas(9);
    Choose(CM_ADDBITMAP);
    driver.ClickAt(canvas, At(30, 20));
    ASSERT_EQ(Model().GetElements().Count(), 1);
    EXPECT_EQ(Last()->GetRect(), BitmapElem(TPoint(30 * 20, 20 * 20)).GetRect());
}

TEST_F(DrawWindowMouseTest, LinesAreDrawnByClicksAndFinishedByADoubleClick)
{
    DrawWindow& canvas = OpenCanvas(9, 2);
    Choose(CM_ADDLINES);
    driver.Drag(canvas, At(10, 10), At(40, 10));
    EXPECT_EQ(canvas.GetTool(), static_cast<UINT>(CM_ADDLINES));
    driver.ClickAt(canvas, At(40, 30));
    EXPECT_EQ(canvas.GetPolyline().size(), 3u);
    EXPECT_EQ(Model().GetElements().Count(), 0);
    driver.DoubleClickAt(canvas, At(80, 30));
    ASSERT_EQ(Model().GetElements().Count(), 1);
    auto* lines = dynamic_cast<LinesElem*>(Last());
    ASSERT_NE(lines, nullptr);
    EXPECT_EQ(lines->GetNodes().Count(), 4);
    EXPECT_TRUE(canvas.GetPolyline().empty());
    EXPECT_EQ(canvas.GetTool(), static_cast<UINT>(CM_SELECTGRAPHICS));
}

TEST_F(DrawWindowMouseTest, TheFortyFirstPointFinishesTheShapeWithForty)
{
    DrawWindow& canvas = OpenCanvas(14);
    Choose(CM_ADDLINES);
    driver.Drag(canvas, At(2, 10), At(6, 10));
    for (int i = 0; i < 38; ++i)
        driver.ClickAt(canvas, At(10 + 4 * i, i % 2 ? 10 : 20));
    EXPECT_EQ(canvas.GetPolyline().size(), 40u);
    EXPECT_EQ(Model().GetElements().Count(), 0);
    driver.ClickAt(canvas, At(200, 40));
    ASSERT_EQ(Model().GetElements().Count(), 1);
    auto* lines = dynamic_cast<LinesElem*>(Last());
    ASSERT_NE(lines, nullptr);
    EXPECT_EQ(lines->GetNodes().Count(), 40);
    EXPECT_EQ(canvas.GetTool(), static_cast<UINT>(CM_SELECTGRAPHICS));
    CloseSheets();
}

TEST_F(DrawWindowMouseTest, ARubberBandSelectsTheElementsWhollyInside)
{
    DrawWindow& canvas = OpenCanvas(9, 2);
    Page(5, {records::kFrame, records::kLine});
    canvas.LoadPage(SizeRectManager::kPageMode, 5);
    ASSERT_EQ(Model().GetElements().Count(), 2);
    SizeRect* frameElement = Model().GetElements()[0];
    SizeRect* lineElement = Model().GetElements()[1];
    const TRect frame = frameElement->GetRect();
    const TRect line = lineElement->GetRect();
    // A band round the frame that cuts the line, drawn from a corner where
    // no element lies.
    const TRect band = frame.Inflate(80, 80);
    ASSERT_FALSE(band.Contains(line));
    driver.Drag(canvas, At(band.right / 20, band.bottom / 20), At(band.left / 20, band.top / 20));
    EXPECT_TRUE(frameElement->IsSelected());
    EXPECT_FALSE(lineElement->IsSelected());
    // The indicator bar shows the selection's left-bottom corner.
    EXPECT_TRUE(EditorFake().objectIsPosition);
    EXPECT_EQ(EditorFake().objectPos, canvas.PageToPanel(TPoint(frame.left, frame.bottom)));
}

TEST_F(DrawWindowMouseTest, TheCursorFieldShowsPanelPixelsFromTheBottom)
{
    DrawWindow& canvas = OpenCanvas(9, 2);
    driver.MouseMove(canvas, At(20, 8));
    driver.MouseMove(canvas, At(30, 8));
    EXPECT_EQ(EditorFake().cursorPos, TPoint(30, canvas.GetScreenSize().cy - 8));
}

TEST_F(DrawWindowMouseTest, ToolsFollowThePanelType)
{
    RegisterDataTools();
    struct Case {
        UINT tool;
        bool on9;
        bool on11;
        bool on14;
        bool on15;
    };
    const Case cases[] = {
        {CM_SELECTGRAPHICS, true, true, true, true},     {CM_ADDTEXT, true, true, true, true},
        {CM_ADDTAGDISPLAY, true, true, true, true},      {CM_ADDLINES, true, true, true, false},
        {CM_ADDDRIVEOUT, true, true, true, false},       {CM_ADDRECTANGLE, true, false, true, false},
        {CM_ADDBITMAP, true, false, true, false},        {CM_ADDTREND, true, false, true, false},
        {CM_ADDTOUCHREGION, false, false, true, false},
        // No constructor registered: no tool.
        {CM_ADDPUSHBUTTON, false, false, false, false},
    };
    for (int type : {9, 11, 14, 15}) {
        DrawWindow& canvas = OpenCanvas(type, 1, "TYPE" + std::to_string(type));
        for (const Case& c : cases) {
            const bool expected = type == 9 ? c.on9 : type == 11 ? c.on11 : type == 14 ? c.on14 : c.on15;
            EXPECT_EQ(canvas.IsToolEnabled(c.tool), expected) << "type " << type << " tool " << c.tool;
            EXPECT_EQ(Enabler(c.tool).IsEnabled(), expected) << "type " << type << " tool " << c.tool;
        }
    }
}

TEST_F(DrawWindowMouseTest, AFifthTrendIsRefusedBeforeAnythingIsBuilt)
{
    int built = 0;
    RegisterToolElement(CM_ADDTREND, [&](const TToolPlacement& p) {
        ++built;
        return std::make_unique<TrendElem>(p.a, p.b);
    });
    DrawWindow& canvas = OpenCanvas(14);
    for (int i = 0; i < 4; ++i)
        Model().AddElement(std::make_unique<TrendElem>(TPoint(i * 400, 0), TPoint(i * 400 + 300, 300)));
    built = 0;
    Model().SetModified(false);
    canvas.SendMessage(WM_COMMAND, CM_ADDTREND, 0);
    prompts_.Answer(IDOK);
    canvas.PlaceElement(TPoint(2000, 2000), TPoint(3000, 3000));
    EXPECT_EQ(built, 0);
    EXPECT_EQ(Model().GetElements().Count(), 4);
    EXPECT_FALSE(Model().IsModified());
    ASSERT_EQ(prompts_.Shown().size(), 1u);
    EXPECT_EQ(prompts_.Shown()[0].text, "Each page allows no more than four trend elemens.");
    EXPECT_EQ(prompts_.Shown()[0].caption, "Application Message");
    EXPECT_EQ(prompts_.Shown()[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
}

TEST_F(DrawWindowMouseTest, ADriveOutOnAFullPageShowsTheLimit)
{
    RegisterDataTools();
    DrawWindow& canvas = OpenCanvas(9);
    for (int n = 1; n <= DriveOutElem::kMaxNumber; ++n)
        Model().AddElement(std::make_unique<DriveOutElem>(n, TPoint(0, 0), TPoint(200, 200)));
    Choose(CM_ADDDRIVEOUT);
    prompts_.Answer(IDOK);
    canvas.PlaceElement(TPoint(400, 400), TPoint(800, 600));
    EXPECT_EQ(Model().GetElements().Count(), DriveOutElem::kMaxNumber);
    ASSERT_EQ(prompts_.Shown().size(), 1u);
    EXPECT_EQ(prompts_.Shown()[0].text, Str(235));
}

TEST_F(DrawWindowMouseTest, TouchRegionsTakeWholeCellsAndNeverOverlap)
{
    RegisterDataTools();
    DrawWindow& canvas = OpenCanvas(14);
    const TouchGrid* grid = canvas.GetTouchGrid();
    ASSERT_NE(grid, nullptr);
    const TRect cell = grid->CellAt(TPoint(100, 900));
    ASSERT_FALSE(cell.IsEmpty());
    const TPoint inside(cell.left + cell.Width() / 2 / 20 * 20, cell.top + cell.Height() / 2 / 20 * 20);

    // A click: the cell under the point.
    Choose(CM_ADDTOUCHREGION);
    canvas.PlaceElement(inside, inside);
    ASSERT_EQ(Model().GetElements().Count(), 1);
    EXPECT_EQ(Last()->GetRect(), cell);
    CloseSheets();

    // A drag onto that cell, and a drag smaller than a cell, place nothing.
    Choose(CM_ADDTOUCHREGION);
    canvas.PlaceElement(TPoint(cell.left - 20 * 20, cell.top), TPoint(cell.right, cell.bottom));
    Choose(CM_ADDTOUCHREGION);
    const TPoint next(cell.right + 20, cell.top + 20);
    canvas.PlaceElement(next, TPoint(next.x + cell.Width() / 2, next.y + cell.Height() / 2));
    EXPECT_EQ(Model().GetElements().Count(), 1);
    EXPECT_EQ(OpenSheets(), 0);
}

TEST_F(DrawWindowMouseTest, TheTouchGridAndAnimationItemsChangeTheirTexts)
{
    DrawWindow& canvas = OpenCanvas(14);
    ASSERT_NE(canvas.GetTouchGrid(), nullptr);
    const bool visible = canvas.GetTouchGrid()->IsVisible();
    EXPECT_EQ(Enabler(CM_TOUCHGRID).GetText(), Str(visible ? kStrTouchGridOff : kStrTouchGridOn));
    canvas.SendMessage(WM_COMMAND, CM_TOUCHGRID, 0);
    EXPECT_EQ(canvas.GetTouchGrid()->IsVisible(), !visible);
    EXPECT_EQ(Enabler(CM_TOUCHGRID).GetText(), Str(visible ? kStrTouchGridOn : kStrTouchGridOff));

    EXPECT_EQ(Enabler(CM_ANIMATION).GetText(), "A&nimation On");
    canvas.SendMessage(WM_COMMAND, CM_ANIMATION, 0);
    EXPECT_EQ(Enabler(CM_ANIMATION).GetText(), "A&nimation Off");
    canvas.SendMessage(WM_COMMAND, CM_ANIMATION, 0);
    EXPECT_EQ(Enabler(CM_ANIMATION).GetText(), "A&nimation On");

    // Panels without touch cells have no touch grid command.
    OpenCanvas(9, 1, "MONO");
    EXPECT_FALSE(Enabler(CM_TOUCHGRID).IsEnabled());
}

TEST_F(DrawWindowMouseTest, AnimationTicksStepTheElementsButNotDuringADrag)
{
    DrawWindow& canvas = OpenCanvas(9);
    Page(5, {records::kLine});
    canvas.LoadPage(SizeRectManager::kPageMode, 5);
    SizeRect* line = Model().GetElements()[0];
    line->GetDynBlink() = TDynBlink(1, 1);
    const int resting = line->GetAnimationStep();

    canvas.SendMessage(WM_COMMAND, CM_ANIMATION, 0);
    ASSERT_TRUE(canvas.IsAnimating());
    driver.AdvanceTime(1000);
    const int stepped = line->GetAnimationStep();
    EXPECT_NE(stepped, resting);

    driver.MouseDown(canvas, At(200, 40));
    driver.AdvanceTime(3000);
    EXPECT_EQ(line->GetAnimationStep(), stepped);
    driver.MouseUp(canvas, At(200, 40));

    canvas.SendMessage(WM_COMMAND, CM_ANIMATION, 0);
    EXPECT_FALSE(canvas.IsAnimating());
    EXPECT_EQ(line->GetAnimationStep(), resting);
    driver.AdvanceTime(2000);
    EXPECT_EQ(line->GetAnimationStep(), resting);
}

}  // namespace
