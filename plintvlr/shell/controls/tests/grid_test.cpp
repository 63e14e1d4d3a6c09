// The grid as an engineer uses it: a dialog whose template names the grid,
// rows of all six cell kinds over an in-memory table, keys, clicks, the
// commit of edited values and the painting.

#include "grid_host.h"

#include "platform/gdi/sys_colors.h"
#include "platform/ui/window_api.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kTemplate = 9101;
enum : int { kName = 200, kKind, kMode, kCount, kOctal, kHex, kLocked, kRange };

// One or two columns; every kind of cell, a static and a disabled edit among them.
class TKindsHost : public TGridHost {
public:
    // The grid's width in dialog units picks its own template.
    explicit TKindsHost(int columns, int gridCx = 250) : TGridHost(kTemplate + gridCx, columns, 0x893F)
    {
        RegisterTemplate(kTemplate + gridCx, 260, 200, gridCx, 160);
        auto* mode = new TGComboBox(this, kMode, 0, 0, 90, 78, CBS_DROPDOWNLIST, 0);
        auto* locked = new TGEdit(this, kLocked, "", 0, 0, 90, 12, 20);
        locked->Attr.Style |= WS_DISABLED;
        grid->AddRow(new TGEdit(this, kName, "", 0, 0, 90, 12, 20), "Name", DT_LEFT);
        grid->AddRow(new TGStatic(this, kKind, "", 0, 0, 90, 12, 20), "Kind", DT_LEFT);
        grid->AddRow(mode, "Mode", DT_LEFT);
        grid->AddRow(new TGUShortEdit(this, kCount, 1, 0, 0, 90, 12, 11, 0, 9999), "Count", DT_RIGHT);
        grid->AddRow(new TGOctalUShortEdit(this, kOctal, 1, 0, 0, 90, 12, 11, 0, 511), "Octal", DT_RIGHT);
        grid->AddRow(new TGHexUShortEdit(this, kHex, 1, 0, 0, 90, 12, 11, 0, 255), "Hex", DT_RIGHT);
        grid->AddRow(locked, "Locked", DT_LEFT);
        grid->AddRow(new TGUShortEdit(this, kRange, 1, 0, 0, 90, 12, 11, 10, 200), "Range", DT_RIGHT);
        for (int c = 0; c < columns; ++c) {
            grid->texts[{c, kName}] = c ? "Pump 2" : "Pump 1";
            grid->texts[{c, kKind}] = "Analog";
            grid->texts[{c, kMode}] = "Read";
            grid->values[{c, kCount}] = 100;
            grid->values[{c, kOctal}] = 8;
            grid->values[{c, kHex}] = 0x1f;
            grid->texts[{c, kLocked}] = "fixed";
            grid->values[{c, kRange}] = 50;
        }
    }

protected:
    void SetupWindow() override
    {
        TGridHost::SetupWindow();
        auto* mode = static_cast<TGComboBox*>(grid->FindRow(kMode)->GetControl());
        for (const char* entry : {"Read", "Write", "Both"})
            mode->AddString(entry);
    }
};

class GridTest : public ::testing::Test {
protected:
    void Open(int columns = 1, int gridCx = 250, int columnCount = -1,
              const std::function<void(TTableGrid&)>& beforeCreate = nullptr)
    {
        host = std::make_unique<TKindsHost>(columns, gridCx);
        if (columnCount >= 0)
            host->grid->SetColumnCount(columnCount);
        if (beforeCreate)
            beforeCreate(*host->grid);
        ASSERT_TRUE(host->Create());
        driver.Show(*host);
        grid = host->grid;
    }
    void TearDown() override
    {
        host.reset();
        driver.ProcessEvents();
    }
    int CurrentId() const { return grid->GetCurrentRow() ? grid->GetCurrentRow()->GetId() : 0; }
    void Activate(int id)
    {
        ASSERT_TRUE(grid->FindRow(id)->Activate());
        driver.ProcessEvents();
    }
    TWindow& Cell(int id) { return *grid->FindRow(id)->GetControl(); }

    TTestDriver driver;
    std::unique_ptr<TKindsHost> host;
    TTableGrid* grid = nullptr;
};

TEST_F(GridTest, TemplateGridIsLaidOutWithEveryCellHiddenButTheCurrentOne)
{
    Open();
    ASSERT_TRUE(grid->IsLaidOut());
    EXPECT_EQ(grid->GetRowCount(), 8);
    EXPECT_EQ(grid->GetStyle(), 0x5401000Bu);
    EXPECT_EQ(grid->FindRow(kHex)->GetKind(), gkHex);
    EXPECT_EQ(grid->FindRow(kOctal)->GetKind(), gkOctal);
    EXPECT_EQ(grid->FindRow(kCount)->GetKind(), gkUShort);
    EXPECT_EQ(grid->FindRow(kKind)->GetKind(), gkStatic);
    EXPECT_EQ(grid->FindRow(kMode)->GetKind(), gkCombo);
    EXPECT_EQ(grid->FindRow(kName)->GetKind(), gkEdit);
    int visible = 0;
    for (TGridRow* row = grid->GetFirstRow(); row; row = row->Next()) {
        EXPECT_EQ(row->GetControl()->GetParentO(), grid->GetClient());
        visible += row->GetControl()->IsWindowVisible() ? 1 : 0;
    }
    EXPECT_LE(visible, 1);
    // The header is asked with row id 0.
    driver.Grab(*host);
    EXPECT_NE(std::find(grid->asked.begin(), grid->asked.end(), std::make_pair(0, 0)), grid->asked.end());
    driver.Grab(*host).save(QString::fromStdString(ScreenshotPath("grid_kinds.png")));
}

struct KeyCase {
    const char* name;
    int columns;
    int startRow;
    UINT key;
    UINT keys;
    int endRow;
    int endColumn;
};

TEST_F(GridTest, KeysMoveBetweenRowsAndColumns)
{
    const KeyCase cases[] = {
        {"down on the last row", 1, kRange, VK_DOWN, 0, kRange, 0},
        {"up on the first row", 1, kName, VK_UP, 0, kName, 0},
        {"enter skips the static", 1, kName, VK_RETURN, 0, kMode, 0},
        {"down skips the disabled edit", 1, kHex, VK_DOWN, 0, kRange, 0},
        {"up skips the disabled edit", 1, kRange, VK_UP, 0, kHex, 0},
        {"ctrl+enter is passed on", 1, kName, VK_RETURN, MK_CONTROL, kName, 0},
        {"tab in one column keeps the cell", 1, kCount, VK_TAB, 0, kCount, 0},
        {"tab moves to the next column", 2, kCount, VK_TAB, 0, kCount, 1},
        {"tab in a combo cell", 2, kMode, VK_TAB, 0, kMode, 1},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        Open(c.columns);
        Activate(c.startRow);
        driver.PressKey(c.key, c.keys);
        EXPECT_EQ(CurrentId(), c.endRow);
        EXPECT_EQ(grid->GetCurrentColumn(), c.endColumn);
        EXPECT_TRUE(grid->FindRow(c.endRow)->GetControl()->IsWindowVisible());
        EXPECT_EQ(GetFocus(), grid->FindRow(c.endRow)->GetControl()->GetHandle());
        host.reset();
        driver.ProcessEvents();
    }
    Open(2);
    Activate(kCount);
    driver.PressKey(VK_TAB);
    driver.PressKey(VK_TAB, MK_SHIFT);
    EXPECT_EQ(grid->GetCurrentColumn(), 0);
    EXPECT_FALSE(grid->EnterKey(true, false, 1));
}

TEST_F(GridTest, TabEnterAndEscapeNeverReachAnEditCell)
{
    Open();
    Activate(kName);
    driver.PressKey(VK_END);
    driver.PressKey(VK_TAB);
    driver.PressKey(VK_ESCAPE);
    EXPECT_EQ(Cell(kName).GetWindowText(), "Pump 1");
    EXPECT_TRUE(host->IsWindow());  // Escape did not cancel the dialog
    EXPECT_EQ(CurrentId(), kName);
}

TEST_F(GridTest, EditedValueIsStoredWhenTheCellIsLeft)
{
    Open();
    Activate(kName);
    driver.TypeKeys("Valve");
    driver.PressKey(VK_RETURN);
    EXPECT_EQ(CurrentId(), kMode);
    ASSERT_EQ(grid->stored.size(), 1u);
    EXPECT_EQ(grid->stored[0], std::make_tuple(0, static_cast<int>(kName), std::string("Valve")));
    EXPECT_TRUE(grid->IsModified());
    // An unchanged cell stores nothing; closing commits nothing more.
    driver.PressKey(VK_DOWN);
    EXPECT_TRUE(grid->CanClose());
    EXPECT_EQ(grid->stored.size(), 1u);
}

TEST_F(GridTest, RefusedCommitKeepsTheEditModifiedAndTheDialogOpen)
{
    Open();
    Activate(kName);
    driver.TypeKeys("X");
    grid->refuseCommit = true;
    EXPECT_FALSE(grid->CanClose());
    EXPECT_TRUE(Cell(kName).SendMessage(EM_GETMODIFY));
    EXPECT_TRUE(grid->stored.empty());
    grid->refuseCommit = false;
    EXPECT_TRUE(grid->CanClose());
    ASSERT_EQ(grid->stored.size(), 1u);
}

TEST_F(GridTest, NumericCellsClampWhatIsTyped)
{
    Open();
    Activate(kCount);
    driver.TypeKeys("99999");
    EXPECT_EQ(Cell(kCount).GetWindowText(), "9999");
    Activate(kRange);
    driver.PressKey(VK_END);
    for (int i = 0; i < 4; ++i)
        driver.PressKey(VK_BACK);
    EXPECT_EQ(Cell(kRange).GetWindowText(), "10");
    driver.PressKey(VK_UP);
    EXPECT_EQ(grid->values[std::make_pair(0, static_cast<int>(kRange))], 10);
    EXPECT_EQ(grid->values[std::make_pair(0, static_cast<int>(kCount))], 9999);
}

TEST_F(GridTest, RangeMessagesNameTheBoundsInTheKindsFormat)
{
    Open();
    const std::pair<int, const char*> cases[] = {
        {kCount, "Value must be between 0 and 9999"},
        {kOctal, "Value must be between 0 and (octal)777"},
        {kHex, "Value must be between 0 and 0xff"},
        {kRange, "Value must be between 10 and 200"},
    };
    for (const auto& [row, message] : cases) {
        auto* edit = static_cast<TGNumericEdit*>(&Cell(row));
        EXPECT_EQ(static_cast<TGNumberValidator*>(edit->GetValidator())->RangeText(), message);
    }
}

TEST_F(GridTest, AnInvalidCellIsReportedAndStaysCurrent)
{
    // Stored values outside the cells' ranges: no key made them.
    const std::pair<int, std::uint16_t> cases[] = {{kOctal, 600}, {kHex, 300}, {kRange, 5}};
    for (const auto& [row, stored] : cases) {
        Open(2);
        SCOPED_TRACE(row);
        grid->values[{0, row}] = stored;
        Activate(row);
        const std::size_t before = driver.MessageBoxes().size();
        // Tab, Enter, a click on another cell, a column change, closing: each refused with the message.
        for (int i = 0; i < 5; ++i)
            driver.AnswerMessageBox(IDOK);
        driver.PressKey(VK_TAB);
        driver.PressKey(VK_RETURN);
        const int y = (grid->FindRow(kName)->GetIndex() - grid->GetTopRow()) * grid->GetRowHeight() + 3;
        driver.ClickAt(*grid->GetClient(), {grid->GetColumnLeft(1) + 5, y});
        grid->SetCurrentColumn(1, true);
        EXPECT_FALSE(grid->CanClose());
        driver.ProcessEvents();
        ASSERT_EQ(driver.MessageBoxes().size(), before + 5);
        const auto& box = driver.MessageBoxes().back();
        EXPECT_EQ(box.text, static_cast<TGNumberValidator*>(static_cast<TGNumericEdit*>(&Cell(row))->GetValidator())
                                ->RangeText());
        EXPECT_EQ(box.caption, "Invalid range");
        EXPECT_EQ(box.flags, MB_ICONEXCLAMATION | MB_TASKMODAL);
        EXPECT_EQ(CurrentId(), row);
        EXPECT_EQ(grid->GetCurrentColumn(), 0);
        EXPECT_TRUE(grid->stored.empty());
        host.reset();
        driver.ProcessEvents();
    }
}

TEST_F(GridTest, DropDownStoresOnlyAChangedChoiceOnce)
{
    Open();
    Activate(kMode);
    driver.OpenAndCancelCombo(*grid->GetClient(), kMode);
    EXPECT_TRUE(grid->stored.empty());
    EXPECT_FALSE(grid->IsModified());
    driver.SelectComboItem(*grid->GetClient(), kMode, "Write");
    ASSERT_EQ(grid->stored.size(), 1u);
    EXPECT_EQ(std::get<2>(grid->stored[0]), "Write");
    EXPECT_TRUE(grid->IsModified());
    driver.PressKey(VK_DOWN);
    EXPECT_EQ(grid->stored.size(), 1u);
}

TEST_F(GridTest, UpAndDownInAnOpenListMoveTheListNotTheRow)
{
    Open();
    Activate(kMode);
    auto* mode = static_cast<TGComboBox*>(&Cell(kMode));
    mode->ShowList();
    driver.ProcessEvents();
    ASSERT_TRUE(mode->GetDroppedState());
    driver.PressKey(VK_DOWN);
    EXPECT_EQ(CurrentId(), kMode);
    mode->HideList();
    driver.ProcessEvents();
}

TEST_F(GridTest, ClickSelectsTheCellUnderTheMouse)
{
    Open(2);
    Activate(kName);
    const TGridRow* hex = grid->FindRow(kHex);
    const int y = (hex->GetIndex() - grid->GetTopRow()) * grid->GetRowHeight() + 4;
    // Exactly on the border between the columns: the right-hand one.
    driver.ClickAt(*grid->GetClient(), {grid->GetColumnLeft(1), y});
    EXPECT_EQ(CurrentId(), kHex);
    EXPECT_EQ(grid->GetCurrentColumn(), 1);
    // A static is painted but never current.
    const int ys = (grid->FindRow(kKind)->GetIndex() - grid->GetTopRow()) * grid->GetRowHeight() + 4;
    driver.ClickAt(*grid->GetClient(), {5, ys});
    EXPECT_EQ(CurrentId(), kHex);
    EXPECT_FALSE(Cell(kKind).IsWindowVisible());
}

TEST_F(GridTest, HidingAColumnNarrowsAndCentresTheGridShowingItRestoresIt)
{
    Open(2, 110);  // two columns are wider than the grid's place
    const TRect initial = grid->GetInitialRect();
    EXPECT_EQ(grid->Attr.X, initial.left);
    EXPECT_EQ(grid->Attr.W, initial.Width());
    grid->HideColumn(1);
    EXPECT_LT(grid->Attr.W, initial.Width());
    EXPECT_EQ(grid->Attr.X, initial.left + (initial.Width() - grid->Attr.W) / 2);
    EXPECT_EQ(grid->GetColumnWidth(1), 0);
    grid->SetCurrentColumn(1, true);
    EXPECT_EQ(grid->GetCurrentColumn(), 0);  // a hidden column is skipped
    grid->ShowColumn(1);
    EXPECT_EQ(grid->Attr.X, initial.left);
    EXPECT_EQ(grid->Attr.W, initial.Width());
    EXPECT_GT(grid->GetColumnWidth(1), 0);
}

TEST_F(GridTest, EditTextDropsTrailingBlanksOnly)
{
    Open();
    auto* name = static_cast<TGEdit*>(&Cell(kName));
    name->SetText("  abc   ");
    EXPECT_EQ(name->GetText(), "  abc");
}

TEST_F(GridTest, AColumnCountOfZeroPlacesNoControlAndPaintsNoCell)
{
    Open(1, 250, 0);
    grid->SetFocus();
    driver.ProcessEvents();
    for (TGridRow* row = grid->GetFirstRow(); row; row = row->Next())
        EXPECT_FALSE(row->GetControl()->IsWindowVisible());
    driver.Grab(*host);
    for (const auto& [column, row] : grid->asked)
        EXPECT_EQ(row, 0) << "cell " << column << "," << row << " painted";
}

TEST_F(GridTest, LongTextsArePaintedInsideTheirCell)
{
    Open(2);
    grid->texts[{0, kName}] = std::string(300, 'W');
    grid->texts[{1, kName}] = "";
    ASSERT_TRUE(grid->FindRow(kMode)->Activate());  // the name cells are painted, not edited
    grid->GetClient()->Invalidate();
    const QImage image = driver.Grab(*grid->GetClient());
    const int top = (grid->FindRow(kName)->GetIndex() - grid->GetTopRow()) * grid->GetRowHeight();
    const int left = grid->GetColumnLeft(1);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const QColor blank(GetRValue(window), GetGValue(window), GetBValue(window));
    // The second column's cell, inside its grid lines: nothing but the window colour.
    for (int y = top + 1; y < top + grid->GetRowHeight() - 2; ++y) {
        for (int x = left + 1; x < left + grid->GetColumnWidth(1) - 2; ++x)
            ASSERT_EQ(image.pixelColor(x, y), blank) << x << "," << y;
    }
}

TEST_F(GridTest, TheCurrentCellTakesItsColoursFromItsRow)
{
    Open();
    auto* name = static_cast<TGEdit*>(&Cell(kName));
    name->SetColors(TColor(0, 0, 255), TColor(255, 255, 0));
    Activate(kName);
    driver.Grab(*name);
    const QImage image = driver.Grab(*name);
    EXPECT_EQ(image.pixelColor(image.width() - 5, image.height() / 2), QColor(255, 255, 0));
}

TEST_F(GridTest, TitleFontAndBarWidthAreSetBeforeTheWindowExists)
{
    Open();
    const int plainTitle = grid->GetTitleHeight();
    const int plainBar = grid->GetBarWidth();
    grid->SetTitleFont("Arial", 30, FW_BOLD, false);  // too late: no change
    grid->FindRow(kName)->SetFont("Courier New", 20, FW_NORMAL, true);
    const TFont* rowFont = grid->GetRowFont(kName);
    ASSERT_NE(rowFont, nullptr);
    EXPECT_EQ(rowFont->GetObject().lfHeight, 20);
    EXPECT_EQ(grid->GetRowFont(kHex), grid->GetGridFont());
    host.reset();
    driver.ProcessEvents();

    Open(1, 250, -1, [](TTableGrid& g) {
        g.SetTitleFont(nullptr, 30, FW_BOLD, false);
        g.GetVerticalBar()->SetCharCount(12);
    });
    EXPECT_GT(grid->GetTitleHeight(), plainTitle + 10);
    EXPECT_GT(grid->GetBarWidth(), plainBar);
    driver.Grab(*host).save(QString::fromStdString(ScreenshotPath("grid_title_font.png")));
}

// A grid of statics only: the focus goes on to its scroll bar.
class TStaticsHost : public TGridHost {
public:
    TStaticsHost() : TGridHost(9102, 1, 0x893F & ~GS_HIDEVSCROLL)
    {
        RegisterTemplate(9102, 200, 120, 190, 60);
        for (int i = 0; i < 6; ++i)
            grid->AddRow(new TGStatic(this, 200 + i, "", 0, 0, 80, 12), "Row", DT_LEFT);
    }
};

TEST(GridFocusTest, AGridOfStaticsGivesTheFocusToItsScrollBar)
{
    TTestDriver driver;
    TStaticsHost host;
    ASSERT_TRUE(host.Create());
    driver.Show(host);
    host.grid->SetFocus();
    driver.ProcessEvents();
    EXPECT_EQ(GetFocus(), host.grid->GetVScroll()->GetHandle());
}

// A grid without rows.
class TEmptyHost : public TGridHost {
public:
    TEmptyHost() : TGridHost(9103, 1, 0x893F) { RegisterTemplate(9103, 200, 120, 190, 60); }
};

TEST(GridPaintTest, AGridWithoutRowsPaintsTheWindowColourAndIsNotArranged)
{
    TTestDriver driver;
    TEmptyHost host;
    ASSERT_TRUE(host.Create());
    driver.Show(host);
    EXPECT_FALSE(host.grid->Arrange());
    host.grid->GetClient()->MoveWindow(2, 2, 50, 30);
    const QImage image = driver.Grab(*host.grid->GetClient());
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(image.pixelColor(10, 10), QColor(GetRValue(window), GetGValue(window), GetBValue(window)));
}

}  // namespace
