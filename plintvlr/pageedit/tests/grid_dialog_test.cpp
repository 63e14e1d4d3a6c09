// "Set Graphics Grid" driven as the engineer uses it, over a stand-in page
// editor whose canvas paints the grid: the grid changes live, OK keeps the
// units, Cancel and the close box put the grid back, and the page editor is
// disabled while the dialog is open.

#include "plintvlr/pageedit/grid_dialog.h"

#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/mdi_hosts.h"
#include "plintvlr/shell/tests/shell_fixture.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/ui/backing_image.h"
#include "platform/ui/controls/radio_button.h"
#include "platform/ui/mdi_child.h"

#include <string>

namespace {

const TSize kScreen(240, 112);

// The page canvas as far as the grid goes: white, with the grid lines when
// they are shown, in the page mapping.
class TGridCanvas : public TWindow {
public:
    TGridCanvas(TWindow* parent, GraphGridState& grid) : TWindow(parent), grid_(grid)
    {
        KeepBackingImage(*this);
    }
    int paints = 0;

    void Paint(TDC& dc, bool, TRect&) override
    {
        ++paints;
        const TRect client = GetClientRect();
        dc.FillRect(client, TBrush(TColor::White));
        if (!grid_.linesShown)
            return;
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(TSize(kScreen.cx * 20, kScreen.cy * 20));
        dc.SetViewportExt(TSize(client.Width(), client.Height()));
        grid_.grid.Paint(dc, kScreen);
    }

private:
    GraphGridState& grid_;
};

class GridDialogTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        RegisterEditorFactory(TEditorKind::GraphicPages, [this](TMDIClientWin& client, const TEditorRequest&) {
            auto* host = new TMDIChild(client, "Graphic Page Editor");
            canvas = new TGridCanvas(host, grid);
            host->SetClientWindow(canvas);
            host->Create();
            host->ShowWindow(SW_SHOW);
            host->MoveWindow(0, 0, 260, 160);
            editor = host;
            return TEditorWindows{host, host};
        });
        MakeLastProject("GRID", 14);
        Start();
        ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_GRAPHICPAGES));
        ASSERT_NE(canvas, nullptr);
    }

    GridDialog& Open()
    {
        GridDialog* dialog = OpenGridDialog(&Client(), grid, canvas);
        driver.ProcessEvents();
        return *dialog;
    }

    // Replaces a field's text by typing over it, as a person does.
    void Retype(TWindow& dialog, int id, const std::string& text)
    {
        driver.Focus(dialog, id);
        driver.PressKey(VK_HOME);
        driver.PressKey(VK_END, MK_SHIFT);
        driver.TypeKeys(text);
        driver.ProcessEvents();
    }

    bool Checked(TWindow& dialog, int id)
    {
        return dialog.IsDlgButtonChecked(id) == BST_CHECKED;
    }

    // Grid-line pixels in a row of the canvas, away from any horizontal line.
    int LineColumnsShown()
    {
        const QImage image = driver.Grab(*canvas);
        int count = 0;
        const int row = image.height() - 2;
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, row) != qRgb(255, 255, 255) ? 1 : 0;
        return count;
    }

    GraphGridState grid;
    TGridCanvas* canvas = nullptr;
    TWindow* editor = nullptr;
};

TEST_F(GridDialogTest, OpeningWithoutStoredUnitsTurnsTheGridOnAtTwoUntilCancel)
{
    GridDialog& dialog = Open();
    EXPECT_EQ(dialog.GetDlgItemText(IDC_GRID_UNITX), "2");
    EXPECT_EQ(dialog.GetDlgItemText(IDC_GRID_UNITY), "2");
    EXPECT_EQ(dialog.GetDlgItemText(IDC_GRID_MULTIPLE), "1");
    EXPECT_TRUE(Checked(dialog, IDC_GRID_HIDE));
    EXPECT_FALSE(Checked(dialog, IDC_GRID_SHOW));
    EXPECT_EQ(grid.grid.unitX, 2);
    EXPECT_EQ(grid.grid.unitY, 2);
    EXPECT_TRUE(grid.grid.IsOn());
    EXPECT_FALSE(editor->IsWindowEnabled()) << "the page editor waits for the dialog";
    EXPECT_EQ(dialog.GetCaption(), "Set Graphics Grid");
    EXPECT_TRUE(Screenshot(Frame(), "grid_dialog"));

    // A second Set Grid brings the open dialog forward rather than making another.
    EXPECT_EQ(OpenGridDialog(&Client(), grid, canvas), &dialog);

    driver.Click(dialog, IDCANCEL);
    driver.ProcessEvents();
    EXPECT_FALSE(grid.grid.IsOn());
    EXPECT_EQ(grid.storedUnitX, 1);
    EXPECT_EQ(grid.storedUnitY, 1);
    EXPECT_TRUE(editor->IsWindowEnabled());
}

TEST_F(GridDialogTest, TheGridChangesAsItIsTypedAndOkKeepsTheUnits)
{
    GridDialog& dialog = Open();
    EXPECT_EQ(LineColumnsShown(), 0);
    driver.Click(dialog, IDC_GRID_SHOW);
    EXPECT_TRUE(grid.linesShown);
    EXPECT_GT(LineColumnsShown(), 0) << "the canvas shows the lines at once";

    Retype(dialog, IDC_GRID_UNITX, "5");
    Retype(dialog, IDC_GRID_UNITY, "3");
    Retype(dialog, IDC_GRID_MULTIPLE, "2");
    EXPECT_EQ(grid.grid.unitX, 5);
    EXPECT_EQ(grid.grid.unitY, 3);
    EXPECT_EQ(grid.grid.multiple, 2);
    // A line every 10 pixels of a 240-pixel screen, none on the edges.
    const int columns = LineColumnsShown();
    EXPECT_EQ(columns % 23, 0) << columns;
    EXPECT_TRUE(Screenshot(Frame(), "grid_dialog_lines"));

    driver.Click(dialog, IDC_GRID_OK);
    driver.ProcessEvents();
    EXPECT_FALSE(dialog.IsWindow());
    EXPECT_EQ(grid.storedUnitX, 5);
    EXPECT_EQ(grid.storedUnitY, 3);
    EXPECT_EQ(grid.grid.unitX, 5);
    EXPECT_EQ(grid.grid.multiple, 2);
    EXPECT_TRUE(grid.linesShown);
    EXPECT_TRUE(editor->IsWindowEnabled());
}

TEST_F(GridDialogTest, UnitsOfOnePixelHideTheLinesAndShowCannotBringThemBack)
{
    GridDialog& dialog = Open();
    driver.Click(dialog, IDC_GRID_SHOW);
    ASSERT_TRUE(grid.linesShown);
    Retype(dialog, IDC_GRID_UNITX, "1");
    EXPECT_TRUE(grid.linesShown) << "1 x 2 still has lines to paint";
    Retype(dialog, IDC_GRID_UNITY, "1");
    EXPECT_FALSE(grid.linesShown);
    driver.Click(dialog, IDC_GRID_HIDE);
    driver.Click(dialog, IDC_GRID_SHOW);
    EXPECT_FALSE(grid.linesShown);
    Retype(dialog, IDC_GRID_UNITY, "4");
    EXPECT_TRUE(grid.linesShown) << "Show is checked and there is a grid again";
    driver.Click(dialog, IDCANCEL);
    driver.ProcessEvents();
}

TEST_F(GridDialogTest, CancelAndTheCloseBoxPutTheGridBack)
{
    struct Case {
        const char* what;
        bool closeBox;
        bool gridWasOn;
    };
    const Case cases[] = {
        {"Cancel, grid on with lines", false, true},
        {"close box, grid on with lines", true, true},
        {"Cancel, grid off", false, false},
        {"close box, grid off", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        grid.storedUnitX = 4;
        grid.storedUnitY = 6;
        grid.grid = GraphGrid();
        grid.grid.multiple = 3;
        grid.linesShown = false;
        if (c.gridWasOn) {
            grid.GridOn();
            grid.ToggleLines();
        }
        GridDialog& dialog = Open();
        EXPECT_EQ(dialog.GetDlgItemText(IDC_GRID_UNITX), "4");
        driver.Click(dialog, IDC_GRID_SHOW);
        Retype(dialog, IDC_GRID_UNITX, "8");
        Retype(dialog, IDC_GRID_MULTIPLE, "5");
        ASSERT_TRUE(grid.linesShown);
        ASSERT_EQ(grid.grid.unitX, 8);
        const int paints = canvas->paints;
        if (c.closeBox) {
            ASSERT_NE(dialog.GetHost(), nullptr);
            EXPECT_TRUE(driver.ChooseSystemMenuItem(*dialog.GetHost(), SC_CLOSE));
        } else {
            driver.Click(dialog, IDCANCEL);
        }
        driver.ProcessEvents();
        EXPECT_EQ(grid.grid.unitX, c.gridWasOn ? 4 : 1);
        EXPECT_EQ(grid.grid.unitY, c.gridWasOn ? 6 : 1);
        EXPECT_EQ(grid.grid.multiple, 3);
        EXPECT_EQ(grid.storedUnitX, 4) << "only OK changes the stored units";
        EXPECT_EQ(grid.linesShown, c.gridWasOn) << "no lines over a grid that is off";
        EXPECT_GT(canvas->paints, paints) << "the page shows the grid as it is again";
        EXPECT_TRUE(editor->IsWindowEnabled());
    }
}

TEST_F(GridDialogTest, AGridThatGoesWithItsCanvasClosesItsDialog)
{
    auto gone = std::make_unique<GraphGridState>();
    GridDialog* dialog = OpenGridDialog(&Client(), *gone, nullptr);
    driver.ProcessEvents();
    ASSERT_TRUE(dialog->IsWindow());
    gone.reset();
    driver.ProcessEvents();
    EXPECT_TRUE(editor->IsWindowEnabled());
    // Set Grid on the next canvas opens a dialog of its own.
    GridDialog& next = Open();
    EXPECT_TRUE(next.IsWindow());
    EXPECT_EQ(grid.grid.unitX, 2);
    driver.Click(next, IDCANCEL);
    driver.ProcessEvents();
}

}  // namespace
