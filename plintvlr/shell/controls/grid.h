#pragma once
// TrmtGrid: the scrolling table on which every tabular editor is built. Its
// rows are the fields of one record (a title at the left and one cell
// control of a fixed kind, grid_cells.h), its columns (at most five) the
// values a derived grid supplies; a header row sits on top. One cell, the
// current one, is edited at a time: its row's control is shown over it,
// every other cell is painted as text by its row's control.
//
// A derived grid overrides only its destructor, GetCellText (column from 0,
// row id; row id 0 asks for the column's header) and SetCellText (column,
// row id, data). Row ids are the window ids of the cell controls, 200
// upward in row order. The numeric cells exchange a pointer to one 16-bit
// value, the others NUL-terminated text.
//
// The grid is made of parts, each a child window with id -1: the cell area
// (TGridClient), the header row (TGridTitle), the row titles
// (TGridVerticalBar) and two scroll bars (TGridVScroll, TGridHScroll).

#include "platform/gdi/brush.h"
#include "platform/gdi/font.h"
#include "platform/ui/control.h"
#include "platform/ui/controls/scroll_bar.h"

#include <memory>
#include <string>
#include <vector>

class TDC;
class TGridCell;
class TrmtGrid;

// Style word of a grid (the editors pass 0x893F).
constexpr UINT GS_VSCROLL = 0x0001;
constexpr UINT GS_HSCROLL = 0x0002;
constexpr UINT GS_TITLE = 0x0004;
constexpr UINT GS_ROWTITLES = 0x0008;
constexpr UINT GS_HIDEHSCROLL = 0x0010;
constexpr UINT GS_HIDEVSCROLL = 0x0020;
constexpr UINT GS_DISABLEHSCROLL = 0x0040;
constexpr UINT GS_DISABLEVSCROLL = 0x0080;
constexpr UINT GS_RESIZECOLUMNS = 0x0400;
constexpr UINT GS_FITWIDTH = 0x0800;
constexpr UINT GS_FITHEIGHT = 0x8000;

// The column-resize cursor (the program's cursor resource).
constexpr int kGridResizeCursor = 500;
constexpr int kGridMaxColumns = 5;
constexpr int kGridFirstRowId = 200;

// Cell kinds, decided once when a row is added.
enum TGridCellKind { gkEdit = 0, gkStatic = 1, gkCombo = 2, gkUShort = 3, gkOctal = 4, gkHex = 5 };

class TGridRow {
public:
    TGridRow(TrmtGrid* grid, TControl* control, const char* title, int alignment = 2);

    TControl* GetControl() const { return control_; }
    TGridCell* GetCell() const { return cell_; }
    int GetId() const;
    int GetIndex() const { return index_; }
    int GetKind() const { return kind_; }
    int GetAlignment() const { return alignment_; }
    bool IsHidden() const { return hidden_; }
    const std::string& GetTitle() const { return title_; }
    TGridRow* Next() const { return next_; }
    TGridRow* Previous() const { return previous_; }
    const TFont* GetFont() const { return font_.get(); }

    // Makes the row current: places its control over the current column and focuses it.
    bool Activate();
    // Collapses (false) or restores (true) the row.
    void Show(bool show);
    void SetTitle(const char* title);
    // The row's own font: the grid's default description with these changes
    // (no face and height 0: no change).
    void SetFont(const char* face, int height, int weight, bool italic);

private:
    friend class TrmtGrid;
    friend class TGridClient;
    friend class TGridTitle;
    friend class TGridVerticalBar;
    TrmtGrid* grid_;
    TControl* control_;
    TGridCell* cell_ = nullptr;
    TGridRow* next_ = nullptr;
    TGridRow* previous_ = nullptr;
    int index_ = 0;
    int alignment_;
    int kind_ = gkEdit;
    std::string title_;
    std::unique_ptr<TFont> font_;
    bool hidden_ = false;
};

// A part of the grid: a child window of id -1 that tells the grid when its
// window exists.
class TGridPart : public TControl {
public:
    explicit TGridPart(TrmtGrid* grid);
    bool Create() override;
    TrmtGrid* Grid() const { return grid_; }

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void StyleChanged(DWORD oldStyle) override;

private:
    TrmtGrid* grid_;
};

class TGridClient : public TGridPart {
public:
    explicit TGridClient(TrmtGrid* grid);
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Paint(TDC& dc, bool erase, TRect& rect) override;

private:
    void EvLButtonDown(UINT keys, const TPoint& point) { ToGrid(WM_LBUTTONDOWN, keys, point); }
    void EvLButtonUp(UINT keys, const TPoint& point) { ToGrid(WM_LBUTTONUP, keys, point); }
    void EvLButtonDblClk(UINT keys, const TPoint& point) { ToGrid(WM_LBUTTONDBLCLK, keys, point); }
    void ToGrid(UINT msg, UINT keys, const TPoint& point);
    void EvKillFocus(HWND gaining);
    const TBrush* EvCtlColor(TDC& dc, HWND control);
};

class TGridTitle : public TGridPart {
public:
    TGridTitle(TrmtGrid* grid, bool showTitle);
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }
    void Paint(TDC& dc, bool erase, TRect& rect) override;
    bool IsDragging() const { return dragging_; }
    // Whether `x` lies on a column's right border; the column is remembered for a drag.
    bool HitColumnBorder(int x);

private:
    bool EvSetCursor(HWND under, UINT hitTest, UINT mouseMessage);
    void EvLButtonDown(UINT keys, const TPoint& point);
    void EvMouseMove(UINT keys, const TPoint& point);
    void EvLButtonUp(UINT keys, const TPoint& point);

    bool showTitle_;
    bool dragging_ = false;
    bool controlHidden_ = false;
    int dragColumn_ = 0;
    int lastX_ = 0;
};

class TGridVerticalBar : public TGridPart {
public:
    explicit TGridVerticalBar(TrmtGrid* grid) : TGridPart(grid) {}
    void Paint(TDC& dc, bool erase, TRect& rect) override;
    // Before the window exists: the bar is `count` characters "W" wide (0: as wide as the longest title).
    void SetCharCount(int count) { charCount_ = count; }
    int GetCharCount() const { return charCount_; }

private:
    int charCount_ = 0;
};

// The grid's scroll bars take no focus from the cell being edited when clicked.
class TGridScrollBar : public TScrollBar {
public:
    TGridScrollBar(TrmtGrid* grid, bool horizontal);

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    TrmtGrid* grid_;
};

class TGridVScroll : public TGridScrollBar {
public:
    explicit TGridVScroll(TrmtGrid* grid) : TGridScrollBar(grid, false) {}
    // Rows above 32767 are counted in units of `scale` rows.
    void SetRange(int min, int max, bool redraw = true);
    void SetPosition(int row);
    int GetScale() const { return scale_; }
    int GetMin() const { return min_; }
    int GetMax() const { return max_; }

    void SBLineUp() override;
    void SBLineDown() override;
    void SBPageUp() override;
    void SBPageDown() override;
    void SBThumbPosition(int position) override;
    void SBThumbTrack(int position) override;
    void SBTop() override;
    void SBBottom() override;

private:
    int min_ = 0;
    int max_ = 100;
    int scale_ = 1;
};

class TGridHScroll : public TGridScrollBar {
public:
    explicit TGridHScroll(TrmtGrid* grid) : TGridScrollBar(grid, true) {}
    void SBLineUp() override;
    void SBLineDown() override;
    void SBPageUp() override;
    void SBPageDown() override;
    void SBThumbPosition(int position) override;
    void SBThumbTrack(int position) override;
    void SBTop() override;
    void SBBottom() override;
};

class TrmtGrid : public TControl {
public:
    // From a dialog resource (the window class "TrmtGrid32").
    TrmtGrid(TWindow* parent, int resourceId, int columns, UINT style, TModule* module = nullptr);
    TrmtGrid(TWindow* parent, int id, int x, int y, int w, int h, int columns, UINT style, TModule* module = nullptr);
    ~TrmtGrid() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    bool Create() override;

    // ------------------------------------------------------------ for derived grids
    virtual void AddRow(TControl* control, const char* title, int alignment);
    virtual const void* GetCellText(int column, int rowId) = 0;
    virtual void SetCellText(int column, int rowId, const void* data) = 0;
    TGridRow* FindRow(int rowId) const;
    TGridRow* FindRowByControl(const TWindow* control) const;
    TGridRow* FindRowByWindow(HWND window) const;
    virtual void SetRowTitle(int rowId, const char* title);
    void HideColumn(int column);
    void ShowColumn(int column);
    virtual void SetTitleFont(const char* face, int height, int weight, bool italic);
    bool CanClose() override;
    virtual void SetColumnCount(int count);
    virtual void SetColumnWidth(int column, int width);
    virtual void SetRowHeight(int height);

    // ------------------------------------------------------------ what a derived grid may see
    virtual void ResizeColumn(int column, int delta, int minimum);
    virtual int RowFromY(int y);
    virtual TColor GetColor(int kind);
    virtual void SetCurrentColumn(int column, bool activate);
    virtual bool FirstRow();
    virtual bool LastRow();
    virtual bool NextRow();
    virtual bool PreviousRow();
    virtual void ShrinkToColumns();
    virtual void MoveColumn(int delta, bool activate);
    virtual void ResetPosition();
    virtual void HScrollBarHidden(bool) {}
    virtual void VScrollBarHidden(bool) {}
    virtual void CellCommitted(int column, int rowId, const void* data);
    virtual bool CanCommitCell(int column, int rowId, const void* data);
    virtual bool UserHook1() { return false; }
    virtual bool UserHook2() { return false; }
    virtual bool ColumnCommitted(int column);
    virtual bool Arrange();
    virtual bool ValidateCell(TGridRow* row);
    virtual void Layout(int width, int height, UINT flags);
    virtual void UpdateHScrollBar();
    virtual void ClearModified(TControl* control);
    virtual void PaintCorner(TDC& dc, const TRect& rect);
    virtual void ActivateNearest(TGridRow* row);
    virtual const TFont* GetRowFont(int rowId);
    virtual bool NeedsHScrollBar();
    virtual bool NeedsVScrollBar();
    virtual bool HandleKey(UINT key, UINT repeat);
    virtual void CellLostFocus(TControl* control, HWND gaining, bool commit);
    virtual void ScrollHorizontally(int dx);
    virtual void ScrollRows(int delta);
    virtual void HandleMouse(UINT keys, const TPoint& point, UINT message, bool forward);
    virtual void ShowCell(TControl* control, HWND losing = nullptr);
    virtual void ScrollToX(int x);
    virtual void SetHScrollRange();
    virtual void SetPageRows(int rows);
    virtual bool CommitColumn(int column);
    void Paint(TDC& dc, bool erase, TRect& rect) override;
    virtual void MouseDown(UINT, const TPoint&) {}
    virtual void MouseUp(UINT, const TPoint&) {}
    // 2: shown but not editable, 3: blank (window colour, not editable).
    virtual int GetCellState(int column, int rowId);
    virtual bool TabKey(bool ctrl, bool shift, UINT repeat);
    virtual bool EnterKey(bool ctrl, bool shift, UINT repeat);
    virtual bool UpKey(bool ctrl, bool shift, UINT repeat);
    virtual bool DownKey(bool ctrl, bool shift, UINT repeat);

    bool HasFocus() const;
    bool NoEditableCell() const;

    // ------------------------------------------------------------ state
    int GetCurrentColumn() const { return currentColumn_; }
    TGridRow* GetCurrentRow() const { return currentRow_; }
    TGridRow* GetFirstRow() const { return firstRow_; }
    bool IsModified() const { return modified_; }
    void SetModified() { modified_ = true; }
    int GetRowHeight() const { return rowHeight_; }
    int GetTopRow() const { return topRow_; }
    int GetPageRows() const { return pageRows_; }
    int GetColumnCount() const { return columnCount_; }
    int GetRowCount() const { return rowCount_; }
    int ShownRows() const { return rowCount_ - collapsedRows_; }
    int GetColumnWidth(int column) const;
    int GetColumnLeft(int column) const;
    int GetColumnsWidth() const { return columnsWidth_; }
    int GetHorizontalOffset() const { return offset_; }
    int GetClientWidth() const { return clientW_; }
    int GetClientHeight() const { return clientH_; }
    int GetTitleHeight() const { return titleH_; }
    int GetBarWidth() const { return barW_; }
    bool IsLaidOut() const { return laidOut_; }
    bool IsVScrollBarHidden() const { return vScrollHidden_; }
    bool IsHScrollBarHidden() const { return hScrollHidden_; }
    TRect GetInitialRect() const { return initial_; }
    UINT GetGridStyle() const { return style_; }
    TColor GetHighlightColor() const { return TColor::SysHighlight; }
    TColor GetHighlightTextColor() const { return TColor::SysHighlightText; }
    const TFont* GetGridFont() const { return gridFont_.get(); }
    TGridClient* GetClient() const { return client_; }
    TGridTitle* GetTitle() const { return title_; }
    TGridVerticalBar* GetVerticalBar() const { return bar_; }
    TGridVScroll* GetVScroll() const { return vScroll_; }
    TGridHScroll* GetHScroll() const { return hScroll_; }

protected:
    virtual void BuildParts(int columns, UINT style);
    virtual void CreateGridFont();
    virtual void CreateTitleFont();
    void SetupWindow() override;
    QWidget* CreateWidget(QWidget* parent) override;

private:
    friend class TGridRow;
    friend class TGridClient;
    friend class TGridTitle;
    friend class TGridVerticalBar;
    friend class TGridVScroll;

    void EvSetFocus(HWND losing);
    void EvKillFocus(HWND gaining);
    void EvWindowPosChanging(WINDOWPOS& pos);

    // The cell life.
    void HideCell(TGridRow* row);
    void PlaceCell(TGridRow* row, bool evenIfVisible = false);
    // Moves the focus to the title part; false when it did not go there.
    bool FocusTitle();
    bool ControlHasFocus(const TGridRow* row) const;
    void LoadCell(TGridRow* row);
    // What the cell holds now, as the grid's data for it.
    std::string TakeCellData(TGridRow* row, bool& isValue, std::uint16_t& value);
    // Stores the current cell's value; false when CanCommitCell refused.
    bool StoreCell(TGridRow* row, bool askFirst);
    void SetTopRow(int top);
    TGridRow* ShownRowAt(int index) const;
    TGridRow* RowAtPoint(const TPoint& clientPoint) const;
    int TitleHeightFromFonts() const;
    int BarWidthFromFonts() const;
    const TFont& MeasureFont() const;
    void ShiftColumns(int shift);
    void ResizeForColumns();
    int HeightForRows() const;
    void UpdateVScrollRange();
    // A scroll bar shown and enabled when `needed`, else hidden or disabled as the style says.
    void SetScrollBarState(TScrollBar* bar, bool needed, bool& hidden, UINT hideBit, UINT disableBit);
    // Walks the rows from the current one until one is activated.
    bool StepRow(bool forward);
    // Up and Down: up to `repeat` rows, once the current cell is valid.
    bool StepRows(bool forward, UINT repeat);
    // Makes the first or last row current, or the nearest that can be.
    bool EndRow(bool last);
    // The current cell's value as SetCellText takes it.
    std::vector<char> CellValue(TGridRow* row);

    TGridTitle* title_ = nullptr;
    TGridRow* firstRow_ = nullptr;
    TGridRow* lastRow_ = nullptr;
    TGridRow* currentRow_ = nullptr;
    bool laidOut_ = false;
    bool vScrollHidden_ = false;
    bool hScrollHidden_ = false;
    bool switching_ = false;
    bool modified_ = false;
    bool clickGuard_ = false;
    bool walking_ = false;
    TRect initial_;
    int rowHeight_ = 0;
    int topRow_ = 0;
    int pageRows_ = 0;
    int firstVisibleColumn_ = 0;
    int currentColumn_ = 0;
    int columnCount_ = 0;
    int rowCount_ = 0;
    int collapsedRows_ = 0;
    int offset_ = 0;
    int columnsWidth_ = 0;
    int clientW_ = 0;
    int clientH_ = 0;
    int titleH_ = 0;
    int barW_ = 0;
    int vScrollW_ = 0;
    int hScrollH_ = 0;
    int widths_[kGridMaxColumns] = {};
    int lefts_[kGridMaxColumns] = {};
    int savedWidths_[kGridMaxColumns] = {-1, -1, -1, -1, -1};
    TGridVScroll* vScroll_ = nullptr;
    TGridHScroll* hScroll_ = nullptr;
    TGridVerticalBar* bar_ = nullptr;
    TGridClient* client_ = nullptr;
    UINT style_ = 0;
    int cellState_ = 0;
    std::unique_ptr<TFont> gridFont_;
    std::unique_ptr<TFont> titleFont_;
    LOGFONT defaultFont_;
    std::unique_ptr<LOGFONT> titleFontDesc_;
    TBrush faceBrush_{TColor::SysBtnFace};
    bool arranging_ = false;
};

// Lets dialog templates name "TrmtGrid32"; a grid item that no grid object
// claims becomes an empty grid. Every grid's construction registers it too.
void RegisterGridClass();
