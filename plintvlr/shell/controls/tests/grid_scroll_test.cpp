// A grid of five columns and forty rows whose column borders can be dragged:
// scrolling by rows and pixels, the scroll bars, column widths and
// collapsed rows.

#include "grid_host.h"

#include "platform/ui/resources.h"
#include "platform/ui/window_api.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPixmap>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

constexpr int kTemplate = 9201;
constexpr int kRows = 40;

class TWideHost : public TGridHost {
public:
    TWideHost() : TGridHost(kTemplate, 5, 0x893F | GS_RESIZECOLUMNS)
    {
        RegisterTemplate(kTemplate, 240, 190, 150, 150);
        for (int i = 0; i < kRows; ++i) {
            const int id = kGridFirstRowId + i;
            grid->AddRow(new TGUShortEdit(this, id, 1, 0, 0, 60, 12, 11, 0, 9999),
                         ("Word " + std::to_string(i + 1)).c_str(), DT_RIGHT);
            for (int c = 0; c < 5; ++c)
                grid->values[{c, id}] = static_cast<std::uint16_t>(100 * c + i);
        }
    }
};

class GridScrollTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.Create());
        driver.Show(host);
        grid = host.grid;
    }
    void TearDown() override { driver.ProcessEvents(); }

    TTestDriver driver;
    TWideHost host;
    TTableGrid* grid = nullptr;
};

TEST_F(GridScrollTest, PartsAreLaidOutAroundWholeRows)
{
    ASSERT_TRUE(grid->IsLaidOut());
    EXPECT_GT(grid->GetPageRows(), 0);
    EXPECT_LT(grid->GetPageRows(), kRows);
    EXPECT_EQ(grid->GetClientHeight(), grid->GetPageRows() * grid->GetRowHeight());
    EXPECT_FALSE(grid->IsVScrollBarHidden());
    EXPECT_TRUE(grid->GetVScroll()->IsWindowVisible());
    // Five columns do not fit: the horizontal scroll bar shows.
    EXPECT_GT(grid->GetColumnsWidth(), grid->GetClientWidth());
    EXPECT_TRUE(grid->GetHScroll()->IsWindowVisible());
    const TRect client = grid->GetClient()->GetClientRect();
    EXPECT_EQ(client.Width(), grid->GetClientWidth());
}

TEST_F(GridScrollTest, VerticalScrollBarScalesRowsAbove32767)
{
    TGridVScroll& bar = *grid->GetVScroll();
    bar.SetRange(0, 40000);
    EXPECT_EQ(bar.GetScale(), 2);
    int min = -1;
    int max = -1;
    bar.GetRange(min, max);
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 20000);
    bar.SetRange(0, kRows - grid->GetPageRows());
    EXPECT_EQ(bar.GetScale(), 1);
}

TEST_F(GridScrollTest, ScrollBarNotificationsMoveTheRows)
{
    TGridVScroll& bar = *grid->GetVScroll();
    const HWND handle = bar.GetHandle();
    grid->SendMessage(WM_VSCROLL, SB_LINEDOWN, HandleToLParam(handle));
    EXPECT_EQ(grid->GetTopRow(), 1);
    grid->SendMessage(WM_VSCROLL, SB_PAGEDOWN, HandleToLParam(handle));
    EXPECT_EQ(grid->GetTopRow(), 1 + grid->GetPageRows());
    EXPECT_EQ(bar.GetPosition(), grid->GetTopRow());
    grid->SendMessage(WM_VSCROLL, SB_BOTTOM, HandleToLParam(handle));
    EXPECT_EQ(grid->GetTopRow(), kRows - grid->GetPageRows());
    grid->SendMessage(WM_VSCROLL, SB_TOP, HandleToLParam(handle));
    EXPECT_EQ(grid->GetTopRow(), 0);
    grid->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5), HandleToLParam(handle));
    EXPECT_EQ(grid->GetTopRow(), 5);
}

TEST_F(GridScrollTest, TheCurrentCellComesIntoViewAndScrollsWithItsRow)
{
    ASSERT_TRUE(grid->FindRow(kGridFirstRowId)->Activate());
    // Down past the last visible row scrolls it into view.
    for (int i = 0; i < grid->GetPageRows(); ++i)
        driver.PressKey(VK_DOWN);
    TGridRow* row = grid->GetCurrentRow();
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->GetIndex(), grid->GetPageRows());
    EXPECT_EQ(grid->GetTopRow(), 1);
    EXPECT_EQ(row->GetControl()->Attr.Y, (row->GetIndex() - grid->GetTopRow()) * grid->GetRowHeight());
    EXPECT_EQ(GetFocus(), row->GetControl()->GetHandle());
}

TEST_F(GridScrollTest, AnInvalidCellStopsTheScrolling)
{
    grid->values[{0, kGridFirstRowId + 1}] = 12000;
    ASSERT_TRUE(grid->FindRow(kGridFirstRowId + 1)->Activate());
    driver.AnswerMessageBox(IDOK);
    grid->ScrollRows(3);
    EXPECT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(grid->GetTopRow(), 0);
    EXPECT_EQ(grid->GetCurrentRow()->GetId(), kGridFirstRowId + 1);
}

TEST_F(GridScrollTest, HorizontalScrollingMovesTheColumnsAndTheCell)
{
    ASSERT_TRUE(grid->FindRow(kGridFirstRowId)->Activate());
    TControl* cell = grid->GetCurrentRow()->GetControl();
    const int cellX = cell->GetWidget()->x();
    const int left1 = grid->GetColumnLeft(1);
    grid->ScrollHorizontally(10);
    EXPECT_EQ(grid->GetHorizontalOffset(), 10);
    EXPECT_EQ(grid->GetColumnLeft(1), left1 - 10);
    EXPECT_EQ(cell->GetWidget()->x(), cellX - 10);
    EXPECT_EQ(grid->GetHScroll()->GetPosition(), 10);
    grid->ScrollToX(0);
    EXPECT_EQ(grid->GetHorizontalOffset(), 0);
    grid->ScrollHorizontally(-5);
    EXPECT_EQ(grid->GetHorizontalOffset(), 0);
    // Not past the end of the last column, which ends at the client's last pixel.
    grid->ScrollHorizontally(100000);
    EXPECT_EQ(grid->GetColumnLeft(4) + grid->GetColumnWidth(4), grid->GetClientWidth() - 1);
}

TEST_F(GridScrollTest, DraggingAColumnBorderResizesItButNotBelowEightPixels)
{
    TGridTitle& title = *grid->GetTitle();
    const int border = grid->GetColumnLeft(0) + grid->GetColumnWidth(0) - 1;
    const int width = grid->GetColumnWidth(0);
    const int left2 = grid->GetColumnLeft(2);
    // The resize cursor over the border, the arrow elsewhere.
    driver.MouseMove(title, {border, 4});
    EXPECT_EQ(CursorResource(GetCursor()), TResId(kGridResizeCursor));
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->pixmap().width(), 16);  // the grid's own picture
    driver.MouseMove(title, {width / 2, 4});
    EXPECT_EQ(CursorResource(GetCursor()), TResId(IDC_ARROW));
    driver.Drag(title, {border, 4}, {border + 20, 4});
    EXPECT_EQ(grid->GetColumnWidth(0), width + 20);
    EXPECT_EQ(grid->GetColumnLeft(2), left2 + 20);
    driver.Drag(title, {border + 20, 4}, {-200, 4});
    EXPECT_EQ(grid->GetColumnWidth(0), 8);
    EXPECT_EQ(grid->GetColumnLeft(1), grid->GetColumnLeft(0) + 8);
    EXPECT_FALSE(title.IsDragging());
}

TEST_F(GridScrollTest, CollapsingRowsUntilTheyFitHidesTheVerticalScrollBar)
{
    EXPECT_FALSE(grid->IsVScrollBarHidden());
    const int height = grid->Attr.H;
    for (int i = 0; i < kRows - 3; ++i)
        grid->FindRow(kGridFirstRowId + 3 + i)->Show(false);
    EXPECT_EQ(grid->ShownRows(), 3);
    EXPECT_TRUE(grid->IsVScrollBarHidden());
    EXPECT_FALSE(grid->GetVScroll()->IsWindowVisible());
    EXPECT_LT(grid->Attr.H, height);
    EXPECT_EQ(grid->FindRow(kGridFirstRowId + 10)->GetIndex(), -1);
    // Restored rows take their places again in list order.
    grid->FindRow(kGridFirstRowId + 10)->Show(true);
    grid->FindRow(kGridFirstRowId + 5)->Show(true);
    EXPECT_EQ(grid->FindRow(kGridFirstRowId + 5)->GetIndex(), 3);
    EXPECT_EQ(grid->FindRow(kGridFirstRowId + 10)->GetIndex(), 4);
    for (int i = 0; i < kRows; ++i)
        grid->FindRow(kGridFirstRowId + i)->Show(true);
    EXPECT_EQ(grid->ShownRows(), kRows);
    EXPECT_FALSE(grid->IsVScrollBarHidden());
}

TEST_F(GridScrollTest, ScreenshotScrolledWithAResizedColumn)
{
    ASSERT_TRUE(grid->FindRow(kGridFirstRowId + 2)->Activate());
    grid->ScrollRows(5);
    grid->ResizeColumn(1, 30, 8);
    grid->ScrollHorizontally(25);
    driver.ProcessEvents();
    driver.Grab(host).save(QString::fromStdString(ScreenshotPath("grid_scrolled.png")));
}

}  // namespace
