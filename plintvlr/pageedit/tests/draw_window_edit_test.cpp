// Editing on the page canvas through the test driver: the XOR outline of a
// drag, moves and resizes of the selection on the graphics grid, the
// editing keys, double clicks, the pop-up menu, node edits of a lines
// element with their undo, point pick-up and the command texts.

#include "plintvlr/pageedit/tests/draw_window_fixture.h"

#include "plintvlr/elements/combo_elem.h"
#include "plintvlr/elements/lines_elem.h"
#include "plintvlr/elements/pt_pickup_dlg.h"
#include "plintvlr/elements/reg_fig_elem.h"
#include "plintvlr/shell/frame_commands.h"
#include "platform/ui/backing_image.h"
#include "platform/ui/command_enabler.h"
#include "platform/ui/resources.h"
#include "platform/ui/ui_handle.h"

#include <gtest/gtest.h>

namespace {

class DrawWindowEditTest : public CanvasFixture {
protected:
    void Command(UINT id) { CanvasWindow().SendMessage(WM_COMMAND, id, 0); }
    TCommandEnabler Enabler(UINT id)
    {
        TCommandEnabler ce(id);
        CanvasWindow().EvCommandEnable(ce);
        return ce;
    }

    // A rectangle element at pixels (x, y) of size w x h, selected alone.
    SizeRect* AddRectangle(int x, int y, int w, int h, bool select = true)
    {
        auto figure = std::make_unique<TRegFigElem>(TRegFigElem::kRectangle, TPoint(x * 20, y * 20),
                                                    TPoint((x + w) * 20, (y + h) * 20));
        SizeRect* added = figure.get();
        Model().AddElement(std::move(figure));
        if (select)
            added->Select(true);
        return added;
    }

    // Three nodes whose nodes may be edited, selected alone.
    LinesElem* AddUnfrozenLines()
    {
        auto made = std::make_unique<LinesElem>(std::vector<TPoint>{{400, 400}, {1200, 400}, {1200, 1200}});
        LinesElem* lines = made.get();
        lines->SetNodesFrozen(false);
        Model().AddElement(std::move(made));
        lines->Select(true);
        return lines;
    }

    void SetGrid(int unit)
    {
        GraphGridState& grid = CanvasWindow().GetGrid();
        grid.grid.unitX = grid.grid.unitY = unit;
    }

    // The canvas's image as the screen shows it.
    QImage Backing()
    {
        CanvasWindow().UpdateWindow();
        return GetBackingImage(CanvasWindow())->Image().copy();
    }

    // A point (page units) on the selection handle `where` of the selection.
    TPoint HandlePoint(int where)
    {
        const TRect r = Model().SelectionRect();
        for (int y = r.top - 200; y <= r.bottom + 200; y += 20) {
            for (int x = r.left - 200; x <= r.right + 200; x += 20) {
                if (Model().HitTestSelectionHandles(TPoint(x, y)) == where)
                    return {x, y};
            }
        }
        ADD_FAILURE() << "no point on handle " << where;
        return {};
    }
    TPoint Device(const TPoint& page) { return CanvasWindow().LogicalToDeviceRect(TRect(page, page)).TopLeft(); }
};

TEST_F(DrawWindowEditTest, FiftyMovesOfADragLeaveTheImageAsItWas)
{
    DrawWindow& canvas = OpenCanvas(14);
    AddRectangle(20, 20, 40, 30, false);
    const QImage before = Backing();
    driver.MouseDown(canvas, At(100, 100));
    for (int i = 1; i <= 50; ++i) {
        driver.MouseMove(canvas, At(100 + 2 * i, 100 + i));
        if (i == 25) {
            EXPECT_NE(GetBackingImage(canvas)->Image(), before);  // the outline shows
        }
    }
    driver.MouseUp(canvas, At(200, 150));
    EXPECT_EQ(GetBackingImage(canvas)->Image(), before);
    EXPECT_EQ(Model().SelectionCount(), 0);
    SaveScreenshot(driver.Grab(Frame()), "page_canvas");
}

TEST_F(DrawWindowEditTest, ADragMovesTheSelectionOntoTheGrid)
{
    DrawWindow& canvas = OpenCanvas(14, 2);
    SetGrid(4);
    SizeRect* rect = AddRectangle(10, 21, 20, 10);
    const int h = canvas.GetScreenSize().cy;
    driver.Drag(canvas, At(20, 25), At(27, 28));
    EXPECT_EQ(rect->left % 80, 0) << rect->left;
    EXPECT_EQ((h * 20 - rect->bottom) % 80, 0) << rect->bottom;
    EXPECT_GT(rect->left, 10 * 20);
    EXPECT_EQ(Model().UndoCount(), 1);
    // The indicator bar shows the moved corner in panel pixels.
    EXPECT_TRUE(EditorFake().objectIsPosition);
    EXPECT_EQ(EditorFake().objectPos, canvas.PageToPanel(TPoint(rect->left, rect->bottom)));
}

TEST_F(DrawWindowEditTest, ACornerHandleResizes)
{
    DrawWindow& canvas = OpenCanvas(14);
    SizeRect* rect = AddRectangle(20, 20, 40, 30);
    const TRect before = rect->GetRect();
    const TPoint corner = HandlePoint(TUIHandle::BottomRight);
    driver.Drag(canvas, Device(corner), Device(TPoint(corner.x + 200, corner.y + 100)));
    EXPECT_EQ(rect->TopLeft(), before.TopLeft());
    EXPECT_EQ(rect->right, before.right + 200);
    EXPECT_EQ(rect->bottom, before.bottom + 100);
    EXPECT_FALSE(EditorFake().objectIsPosition);
    EXPECT_EQ(EditorFake().objectPos, TPoint(50, 35));
}

TEST_F(DrawWindowEditTest, ArrowKeysMoveAndResizeByTheGridStep)
{
    DrawWindow& canvas = OpenCanvas(14);
    SizeRect* rect = AddRectangle(40, 40, 40, 40);
    canvas.SetFocus();
    struct Case {
        int grid;
        UINT key;
        UINT keys;
        TRect change;  // left, top, right, bottom
    };
    // The grid's cases first, while the corner lies on the grid.
    const Case cases[] = {
        {4, VK_UP, 0, {0, -80, 0, -80}},
        {4, VK_LEFT, MK_CONTROL, {0, 0, -80, 0}},
        {1, VK_LEFT, MK_CONTROL, {0, 0, -20, 0}},
        {1, VK_LEFT, MK_CONTROL | MK_SHIFT, {0, 0, -100, 0}},
        {1, VK_RIGHT, MK_CONTROL, {0, 0, 20, 0}},
        {1, VK_RIGHT, 0, {20, 0, 20, 0}},
        {1, VK_DOWN, MK_SHIFT, {0, 100, 0, 100}},
        {1, VK_UP, MK_CONTROL, {0, -20, 0, 0}},
    };
    for (const Case& c : cases) {
        SetGrid(c.grid);
        const TRect before = rect->GetRect();
        driver.PressKey(c.key, c.keys);
        const TRect after = rect->GetRect();
        EXPECT_EQ(TRect(after.left - before.left, after.top - before.top, after.right - before.right,
                        after.bottom - before.bottom),
                  c.change)
            << "key " << c.key << " keys " << c.keys << " grid " << c.grid;
    }
    // A move that would leave the screen is not made.
    SetGrid(1);
    rect->Select(false);
    SizeRect* edge = AddRectangle(0, 10, 20, 10);
    const TRect atEdge = edge->GetRect();
    driver.PressKey(VK_LEFT);
    EXPECT_EQ(edge->GetRect(), atEdge);
    driver.PressKey(VK_RIGHT);
    EXPECT_EQ(edge->left, atEdge.left + 20);
}

TEST_F(DrawWindowEditTest, DeleteTabAndEnterAndADoubleClick)
{
    DrawWindow& canvas = OpenCanvas(14, 2);
    SizeRect* first = AddRectangle(10, 10, 20, 20, false);
    SizeRect* second = AddRectangle(50, 10, 20, 20, false);
    SizeRect* third = AddRectangle(90, 10, 20, 20);
    canvas.SetFocus();
    driver.PressKey(VK_DELETE);
    ASSERT_EQ(Model().GetElements().Count(), 2);
    EXPECT_EQ(Model().SelectionCount(), 0);

    first->Select(true);
    driver.PressKey(VK_TAB);
    EXPECT_FALSE(first->IsSelected());
    EXPECT_TRUE(second->IsSelected());

    driver.PressKey(VK_RETURN);
    EXPECT_EQ(OpenSheets(), 1);
    CloseSheets();

    Model().DeselectAll();
    driver.DoubleClickAt(canvas, At(15, 15));
    EXPECT_TRUE(first->IsSelected());
    EXPECT_EQ(OpenSheets(), 1);
    CloseSheets();
    (void)third;
}

TEST_F(DrawWindowEditTest, ThePopupMenuAlignsGroupsAndUndoes)
{
    DrawWindow& canvas = OpenCanvas(14, 2);
    SizeRect* first = AddRectangle(10, 10, 20, 20);
    SizeRect* second = AddRectangle(50, 14, 20, 20);
    first->Select(true);
    driver.AnswerPopupMenu({"Align to", "Left"});
    driver.RightClickAt(canvas, At(15, 15));
    EXPECT_EQ(first->left, second->left);
    driver.AnswerPopupMenu(CM_UNDO);
    driver.RightClickAt(canvas, At(15, 15));
    ASSERT_EQ(Model().GetElements().Count(), 2);
    EXPECT_NE(Model().GetElements()[0]->left, Model().GetElements()[1]->left);

    Model().SelectAll();
    driver.AnswerPopupMenu(CM_GROUP);
    driver.RightClickAt(canvas, At(15, 15));
    ASSERT_EQ(Model().GetElements().Count(), 1);
    EXPECT_NE(dynamic_cast<ComboElem*>(Model().GetElements()[0]), nullptr);
    driver.AnswerPopupMenu(CM_UNDO);
    driver.RightClickAt(canvas, At(150, 100));
    EXPECT_EQ(Model().GetElements().Count(), 2);
}

TEST_F(DrawWindowEditTest, NodesOfAnUnfrozenLinesElementAreDraggedInsertedAndDeleted)
{
    DrawWindow& canvas = OpenCanvas(14, 2);
    LinesElem* lines = AddUnfrozenLines();
    const auto nodes = [&] {
        std::vector<TPoint> points;
        for (int i = 0; i < lines->GetNodes().Count(); ++i)
            points.push_back(lines->GetNodes()[i].Point());
        return points;
    };
    const std::vector<TPoint> original = nodes();
    ASSERT_EQ(original.size(), 3u);
    const TPoint n0 = original[0];
    const TPoint n2 = original[2];

    // The middle node dragged.
    const TPoint moved(1600, 600);
    driver.Drag(canvas, Device(original[1]), Device(moved));
    const std::vector<TPoint> afterMove{n0, moved, n2};
    EXPECT_EQ(nodes(), afterMove);
    // A node put into the first segment, in the middle of it.
    const TPoint middle((n0.x + moved.x) / 2, (n0.y + moved.y) / 2);
    const TPoint inserted(800, 200);
    driver.Drag(canvas, Device(middle), Device(inserted));
    const std::vector<TPoint> afterInsert{n0, inserted, moved, n2};
    EXPECT_EQ(nodes(), afterInsert);
    // The new node, selected by the insert, deleted with the key.
    canvas.SetFocus();
    driver.PressKey(VK_DELETE);
    EXPECT_EQ(nodes(), afterMove);
    EXPECT_EQ(Model().UndoCount(), 3);

    // Each is undone, newest first.
    for (const auto& expected : {afterInsert, afterMove, original}) {
        Command(CM_UNDO);
        ASSERT_EQ(Model().GetElements().Count(), 1);
        lines = dynamic_cast<LinesElem*>(Model().GetElements()[0]);
        ASSERT_NE(lines, nullptr);
        EXPECT_EQ(nodes(), expected);
    }
}

TEST_F(DrawWindowEditTest, APickUpClickSendsThePanelPoint)
{
    DrawWindow& canvas = OpenCanvas(14, 2);
    auto* dialog = new PtPickupDlg(EditorFake().client, 0, TPoint(0, 0), nullptr, TPoint(0, 0), false);
    ASSERT_TRUE(dialog->Create());
    ASSERT_TRUE(canvas.IsPickupMode());
    AddRectangle(10, 10, 20, 20, false);
    driver.MouseMove(canvas, At(15, 12));
    driver.ClickAt(canvas, At(15, 12));
    EXPECT_EQ(dialog->GetPoint(), TPoint(15, canvas.GetScreenSize().cy - 12));
    // Nothing else happens in pick-up mode.
    EXPECT_EQ(Model().SelectionCount(), 0);
    EXPECT_EQ(EditorFake().cursorPos, TPoint(15, canvas.GetScreenSize().cy - 12));
    dialog->CmCancel();
    driver.ProcessEvents();
}

TEST_F(DrawWindowEditTest, TheCursorFollowsWhatIsUnderTheMouse)
{
    DrawWindow& canvas = OpenCanvas(14, 2);
    LinesElem* lines = AddUnfrozenLines();
    const TPoint node = lines->GetNodes()[1].Point();
    const TPoint first = lines->GetNodes()[0].Point();
    struct Case {
        TPoint page;
        const char* cursor;
    };
    const Case cases[] = {
        {node, "arrowcro"},
        {TPoint((first.x + node.x) / 2 / 20 * 20, node.y / 20 * 20), "diamond"},
        {TPoint(4000, 2000), nullptr},
    };
    for (const Case& c : cases) {
        driver.MouseMove(canvas, Device(c.page));
        if (c.cursor) {
            EXPECT_STREQ(canvas.GetCursorName(), c.cursor) << c.page.x << "," << c.page.y;
            EXPECT_EQ(CursorResource(GetCursor()), TResId(c.cursor));
        } else {
            EXPECT_EQ(canvas.GetCursorName(), nullptr);
        }
    }
    // The selection's body of other elements, and a tool's own cursor.
    lines->Select(false);
    SizeRect* rect = AddRectangle(100, 20, 40, 30);
    driver.MouseMove(canvas, Device(TPoint(rect->left + 400, rect->top + 300)));
    EXPECT_STREQ(canvas.GetCursorName(), "move");
    Command(CM_ADDTEXT);
    driver.MouseMove(canvas, Device(TPoint(4000, 2000)));
    EXPECT_STREQ(canvas.GetCursorName(), "text");
}

TEST_F(DrawWindowEditTest, TheUndoItemCountsSnapshots)
{
    DrawWindow& canvas = OpenCanvas(14);
    TCommandEnabler empty = Enabler(CM_UNDO);
    EXPECT_EQ(empty.GetText(), "&Undo (0)");
    EXPECT_FALSE(empty.IsEnabled());
    AddRectangle(40, 40, 40, 40);
    canvas.SetFocus();
    driver.PressKey(VK_RIGHT);
    driver.PressKey(VK_DOWN);
    TCommandEnabler two = Enabler(CM_UNDO);
    EXPECT_EQ(two.GetText(), "&Undo (2)");
    EXPECT_TRUE(two.IsEnabled());
}

TEST_F(DrawWindowEditTest, ATextPanelSnapsToItsCellsAndKeepsTheGraphicCommandsOff)
{
    DrawWindow& canvas = OpenCanvas(15);
    const GraphGridState& grid = canvas.GetGrid();
    EXPECT_TRUE(grid.grid.IsOn());
    EXPECT_TRUE(grid.linesShown);
    SizeRect* first = AddRectangle(1, 1, 4, 4);
    AddRectangle(20, 1, 4, 4);
    first->Select(true);
    for (UINT id : {CM_GROUP, CM_ALIGNTOP, CM_ALIGNBOTTOM, CM_ALIGNHCENTER, CM_ALIGNVCENTER, CM_TURN, CM_SETGRID,
                    CM_GRIDON, CM_HIDEGRIDLINES})
        EXPECT_FALSE(Enabler(id).IsEnabled()) << id;
    EXPECT_TRUE(Enabler(CM_ALIGNLEFT).IsEnabled());
}

TEST_F(DrawWindowEditTest, GridLinesArePaintedUntilTheGridGoesOff)
{
    DrawWindow& canvas = OpenCanvas(9);
    GraphGridState& grid = canvas.GetGrid();
    grid.storedUnitX = grid.storedUnitY = 10;
    Command(CM_GRIDON);
    Command(CM_HIDEGRIDLINES);
    ASSERT_TRUE(grid.linesShown);
    const TColor back = canvas.GetWindowBackground();
    const QRgb background = qRgb(back.Red(), back.Green(), back.Blue());
    const auto lined = [&] {
        const QImage image = Backing();
        int count = 0;
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, image.height() - 10) != background;
        return count;
    };
    EXPECT_GT(lined(), 0);
    Command(CM_GRIDON);
    EXPECT_FALSE(grid.linesShown);
    EXPECT_EQ(lined(), 0);
}

}  // namespace
