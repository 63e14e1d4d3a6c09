#include "plintvlr/shell/controls/grid.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/window_dc.h"
#include "platform/ui/dialog.h"
#include "platform/ui/resources.h"
#include "platform/ui/window_api.h"
#include "platform/ui/window_class.h"
#include "platform/ui/window_surface.h"
#include "plintvlr/shell/controls/grid_cells.h"

#include <QWidget>

#include <algorithm>
#include <cstring>

namespace {

constexpr DWORD kGridWindowStyle = 0x5401000B;

// The grid a template names when no grid object claims the item: no rows.
class TEmptyGrid : public TrmtGrid {
public:
    TEmptyGrid(TWindow* parent, int id) : TrmtGrid(parent, id, 1, 0)
    {
        SetWindowLifetime(true);
    }
    const void* GetCellText(int, int) override { return nullptr; }
    void SetCellText(int, int, const void*) override {}
};

TWindow* MakeEmptyGrid(TWindow* parent, int id)
{
    return new TEmptyGrid(parent, id);
}

// The column-resize cursor: a double arrow across a bar, hot spot in the middle.
const char kResizeCursor[] =
    "/* XPM */\n"
    "static const char* cursor[] = {\"16 16 3 1\", \"  c None\", \". c #000000\", \"X c #FFFFFF\",\n"
    "\"                \",\n"
    "\"      X  X      \",\n"
    "\"      X..X      \",\n"
    "\"      X..X      \",\n"
    "\"   X  X..X  X   \",\n"
    "\"  X.XXX..XXX.X  \",\n"
    "\" X............X \",\n"
    "\"X..............X\",\n"
    "\" X............X \",\n"
    "\"  X.XXX..XXX.X  \",\n"
    "\"   X  X..X  X   \",\n"
    "\"      X..X      \",\n"
    "\"      X..X      \",\n"
    "\"      X  X      \",\n"
    "\"                \",\n"
    "\"                \",\n"
    "};\n";

int PadFor(int textHeight)
{
    return textHeight < 8 ? 5 : textHeight < 12 ? 6 : textHeight < 16 ? 7 : textHeight < 20 ? 8 : 9;
}

TEXTMETRIC MetricsOf(const TFont& font)
{
    TScreenDC dc;
    dc.SelectObject(font);
    TEXTMETRIC tm;
    dc.GetTextMetrics(tm);
    return tm;
}

int TextWidth(const TFont& font, const char* text)
{
    TScreenDC dc;
    dc.SelectObject(font);
    return dc.GetTextExtent(text).cx;
}

void Line(TDC& dc, std::initializer_list<TPoint> points)
{
    const std::vector<TPoint> v(points);
    dc.Polyline(v.data(), static_cast<int>(v.size()));
}

}  // namespace

void RegisterGridClass()
{
    static const bool registered = [] {
        RegisterWindowClass("TrmtGrid32", &MakeEmptyGrid);
        RegisterCursorResource(kGridResizeCursor, kResizeCursor, sizeof kResizeCursor - 1, 7, 7);
        return true;
    }();
    (void)registered;
}

// ================================================================ TGridRow

TGridRow::TGridRow(TrmtGrid* grid, TControl* control, const char* title, int alignment)
    : grid_(grid), control_(control), alignment_(alignment), title_(title ? title : "")
{
}

int TGridRow::GetId() const
{
    return control_ ? control_->GetId() : 0;
}

bool TGridRow::Activate()
{
    TrmtGrid& g = *grid_;
    if (!g.IsWindowEnabled() || !control_ || kind_ == gkStatic || !control_->IsWindow() ||
        !control_->IsWindowEnabled() || !(control_->GetStyle() & WS_TABSTOP))
        return false;
    const int state = g.GetCellState(g.currentColumn_, GetId());
    if (state == 2 || state == 3)
        return false;
    TGridRow* previous = g.currentRow_;
    g.PlaceCell(this);
    control_->SetFocus();
    if (g.ControlHasFocus(this)) {
        // The previous cell goes only now: a focused window that is hidden
        // would hand the focus on by itself.
        if (previous && previous != this && previous->control_ && previous->control_->IsWindowVisible())
            g.HideCell(previous);
        g.PlaceCell(this);
        g.currentRow_ = this;
        g.client_->UpdateWindow();
        return true;
    }
    if (previous != this)
        g.HideCell(this);
    return false;
}

void TGridRow::Show(bool show)
{
    TrmtGrid& g = *grid_;
    if (show == !hidden_)
        return;
    if (!show) {
        hidden_ = true;
        index_ = -1;
        for (TGridRow* r = next_; r; r = r->next_) {
            if (!r->hidden_)
                --r->index_;
        }
        ++g.collapsedRows_;
    } else {
        hidden_ = false;
        index_ = 0;
        bool found = false;
        for (TGridRow* r = next_; r && !found; r = r->next_) {
            if (!r->hidden_) {
                index_ = r->index_;
                found = true;
            }
        }
        for (TGridRow* r = previous_; r && !found; r = r->previous_) {
            if (!r->hidden_) {
                index_ = r->index_ + 1;
                found = true;
            }
        }
        for (TGridRow* r = next_; r; r = r->next_) {
            if (!r->hidden_)
                ++r->index_;
        }
        --g.collapsedRows_;
    }
    if (!g.IsWindow() || !g.laidOut_)
        return;
    if (hidden_ && g.currentRow_ == this)
        g.HideCell(this);
    const int shown = g.ShownRows();
    const int hScroll = g.columnsWidth_ > g.clientW_ ? g.hScrollH_ : 0;
    const int height = shown * g.rowHeight_ + g.titleH_ + 4 + hScroll;
    const TRect window(g.Attr.X, g.Attr.Y, g.Attr.X + g.Attr.W, g.Attr.Y + g.Attr.H);
    if (!show) {
        if (shown < g.pageRows_) {
            g.SetWindowPos(nullptr, 0, 0, window.Width(), height, SWP_NOMOVE | SWP_NOZORDER);
        } else {
            if (shown == g.pageRows_ && !g.vScrollHidden_ && g.vScroll_)
                g.SetWindowPos(nullptr, 0, 0, window.Width() - g.vScrollW_, window.Height(),
                               SWP_NOMOVE | SWP_NOZORDER);
            g.UpdateVScrollRange();
            g.Invalidate();
        }
    } else {
        if (window.Height() + g.rowHeight_ < g.initial_.Height()) {
            g.SetWindowPos(nullptr, 0, 0, window.Width(), height, SWP_NOMOVE | SWP_NOZORDER);
        } else {
            if (shown >= g.pageRows_ && g.vScrollHidden_ && g.vScroll_) {
                const int width = std::min(window.Width() + g.vScrollW_, g.initial_.Width());
                const int limited = std::min(window.Height(), g.pageRows_ * g.rowHeight_ + g.titleH_ + 4 + hScroll);
                g.SetWindowPos(nullptr, 0, 0, width, limited, SWP_NOMOVE | SWP_NOZORDER);
            }
            g.UpdateVScrollRange();
            g.Invalidate();
        }
    }
    g.client_->Invalidate();
    if (g.bar_)
        g.bar_->Invalidate();
}

void TGridRow::SetTitle(const char* title)
{
    title_ = title ? title : "";
    TrmtGrid& g = *grid_;
    if (g.bar_ && g.bar_->IsWindow() && !hidden_ && index_ >= g.topRow_ && index_ < g.topRow_ + g.pageRows_ + 1) {
        const int top = (index_ - g.topRow_) * g.rowHeight_;
        g.bar_->InvalidateRect(TRect(0, top, g.barW_, top + g.rowHeight_));
    }
}

void TGridRow::SetFont(const char* face, int height, int weight, bool italic)
{
    if ((!face || !*face) && height == 0)
        return;
    LOGFONT lf = grid_->defaultFont_;
    if (face && *face) {
        std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
        lf.lfFaceName[LF_FACESIZE - 1] = '\0';
    }
    if (height)
        lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfItalic = italic ? 1 : 0;
    font_ = std::make_unique<TFont>(lf);
}

// ================================================================ parts

TGridPart::TGridPart(TrmtGrid* grid) : TControl(grid, -1, nullptr, 0, 0, 0, 0), grid_(grid)
{
    Attr.Style &= ~WS_TABSTOP;
}

bool TGridPart::Create()
{
    if (!TControl::Create())
        return false;
    grid_->Arrange();
    return true;
}

QWidget* TGridPart::CreateWidget(QWidget* parent)
{
    QWidget* widget = TControl::CreateWidget(parent);
    widget->setFocusPolicy(Qt::NoFocus);
    return widget;
}

void TGridPart::StyleChanged(DWORD oldStyle)
{
    TControl::StyleChanged(oldStyle);
    // A click on a part takes no focus from the cell being edited; the grid
    // moves the focus to a part itself when it must.
    if (GetWidget())
        GetWidget()->setFocusPolicy(Qt::NoFocus);
}

// ---------------------------------------------------------------- client

const TResponseTable TGridClient::Responses{&TControl::Responses, {
    OnMessage<&TGridClient::EvLButtonDown>(WM_LBUTTONDOWN),
    OnMessage<&TGridClient::EvLButtonUp>(WM_LBUTTONUP),
    OnMessage<&TGridClient::EvLButtonDblClk>(WM_LBUTTONDBLCLK),
    OnMessage<&TGridClient::EvKillFocus>(WM_KILLFOCUS),
    OnMessage<&TGridClient::EvCtlColor>(WM_CTLCOLOREDIT),
    OnMessage<&TGridClient::EvCtlColor>(WM_CTLCOLORSTATIC),
    OnMessage<&TGridClient::EvCtlColor>(WM_CTLCOLORLISTBOX),
}};

TGridClient::TGridClient(TrmtGrid* grid) : TGridPart(grid)
{
    Attr.Style |= WS_CLIPSIBLINGS | WS_BORDER;
}

LRESULT TGridClient::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // The cells' notifications are the grid's.
    if (msg == WM_COMMAND)
        return Grid()->HandleMessage(msg, wParam, lParam);
    return TGridPart::WindowProc(msg, wParam, lParam);
}

void TGridClient::ToGrid(UINT msg, UINT keys, const TPoint& point)
{
    TrmtGrid& g = *Grid();
    g.HandleMouse(keys, TPoint(point.x + g.barW_ + 2, point.y + g.titleH_ + 2), msg, true);
}

void TGridClient::EvKillFocus(HWND gaining)
{
    Grid()->EvKillFocus(gaining);
}

const TBrush* TGridClient::EvCtlColor(TDC& dc, HWND control)
{
    TrmtGrid& g = *Grid();
    TGridRow* row = g.FindRowByWindow(control);
    // The edit field of a combo box asks for the combo box.
    if (!row)
        row = g.FindRowByWindow(::GetParent(control));
    if (!row || !row->GetCell())
        return nullptr;
    return row->GetCell()->CtlColor(dc);
}

void TGridClient::Paint(TDC& dc, bool, TRect& rect)
{
    TrmtGrid& g = *Grid();
    const TBrush window(TColor::SysWindow);
    if (!g.firstRow_) {
        dc.FillRect(rect, window);
        return;
    }
    const int rowH = std::max(1, g.rowHeight_);
    for (int c = g.firstVisibleColumn_; c < g.columnCount_; ++c) {
        const int left = g.lefts_[c];
        const int width = g.widths_[c];
        if (!rect.Touches(TRect(left, 0, left + width, g.clientH_)))
            continue;
        for (TGridRow* row = g.ShownRowAt(g.topRow_); row; row = row->next_) {
            if (row->hidden_)
                continue;
            if (row->index_ > g.topRow_ + g.pageRows_ + 1)
                break;
            const int top = (row->index_ - g.topRow_) * rowH;
            const TRect cell(left, top, left + width, top + rowH - 1);
            if (!rect.Touches(cell) || !row->cell_)
                continue;
            dc.SelectObject(*g.GetRowFont(row->GetId()));
            const void* data = g.GetCellText(c, row->GetId());
            const int state = g.GetCellState(c, row->GetId());
            if (state == 3)
                dc.FillRect(cell, window);
            else
                row->cell_->DrawCell(dc, cell, data, row->kind_ == gkCombo ? 0 : row->alignment_);
        }
    }
    // The lines are drawn only across the area being painted (and a pixel
    // either side of it): a strip costs a strip.
    const TRect area(rect.left - 1, rect.top, rect.right + 1, rect.bottom);
    dc.SaveDC();
    dc.IntersectClipRect(area);
    const int lastEnd = g.columnCount_ > 0 ? g.lefts_[g.columnCount_ - 1] + g.widths_[g.columnCount_ - 1] : 0;
    if (lastEnd < g.clientW_)
        dc.FillRect(TRect(std::max(0, lastEnd), 0, g.clientW_, g.clientH_), TBrush(TColor::SysBtnFace));
    dc.SelectObject(TPen(TColor::Gray));
    const int x0 = std::max(0, area.left);
    const int x1 = std::min(g.clientW_, area.right);
    for (int k = 0; k <= g.pageRows_; ++k) {
        const int y = rowH - 1 + k * rowH;
        if (y >= area.top && y < area.bottom && x0 < x1)
            Line(dc, {{x0, y}, {x1, y}});
    }
    const int y0 = std::max(0, area.top);
    const int y1 = std::min(g.pageRows_ * rowH, area.bottom);
    for (int c = 0; c < g.columnCount_; ++c) {
        const int right = g.lefts_[c] + g.widths_[c];
        if (right >= 0 && right <= g.clientW_ && right - 1 >= area.left && right - 1 < area.right && y0 < y1)
            Line(dc, {{right - 1, y0}, {right - 1, y1}});
    }
    dc.RestoreDC();
}

// ---------------------------------------------------------------- title

const TResponseTable TGridTitle::Responses{&TControl::Responses, {
    OnMessage<&TGridTitle::EvSetCursor>(WM_SETCURSOR),
    OnMessage<&TGridTitle::EvLButtonDown>(WM_LBUTTONDOWN),
    OnMessage<&TGridTitle::EvMouseMove>(WM_MOUSEMOVE),
    OnMessage<&TGridTitle::EvLButtonUp>(WM_LBUTTONUP),
}};

TGridTitle::TGridTitle(TrmtGrid* grid, bool showTitle) : TGridPart(grid), showTitle_(showTitle)
{
    Attr.Style &= ~WS_BORDER;
}

bool TGridTitle::HitColumnBorder(int x)
{
    TrmtGrid& g = *Grid();
    const int at = x + 1;
    for (int c = 0; c < g.columnCount_; ++c) {
        const int left = g.lefts_[c];
        const int right = left + g.widths_[c];
        if (right - 4 <= at && at <= right + 4) {
            dragColumn_ = c;
            return true;
        }
        if (left <= at && at < right)
            return false;
    }
    return false;
}

bool TGridTitle::EvSetCursor(HWND, UINT hitTest, UINT)
{
    if (hitTest != HTCLIENT)
        return DefaultProcessing() != 0;
    TPoint at;
    GetCursorPos(&at);
    at = ScreenToClient(at);
    const bool border = (Grid()->style_ & GS_RESIZECOLUMNS) && HitColumnBorder(at.x);
    ::SetCursor(border ? LoadCursor(GetModule(), kGridResizeCursor) : LoadCursor(nullptr, IDC_ARROW));
    return true;
}

void TGridTitle::EvLButtonDown(UINT keys, const TPoint& point)
{
    TrmtGrid& g = *Grid();
    if (!dragging_ && (g.style_ & GS_RESIZECOLUMNS) && HitColumnBorder(point.x)) {
        lastX_ = point.x;
        SetCapture();
        dragging_ = true;
        // The cell stays where it is while the border moves (hiding a focused
        // cell would hand the focus on); it is placed again at the end.
        controlHidden_ = g.currentRow_ && g.currentRow_->control_ && g.currentRow_->control_->IsWindowVisible();
        return;
    }
    g.HandleMouse(keys, TPoint(point.x + g.barW_ + 2, point.y + 2), WM_LBUTTONDOWN, false);
}

void TGridTitle::EvMouseMove(UINT, const TPoint& point)
{
    if (!dragging_)
        return;
    Grid()->ResizeColumn(dragColumn_, point.x - lastX_, 8);
    lastX_ = point.x;
}

void TGridTitle::EvLButtonUp(UINT keys, const TPoint& point)
{
    TrmtGrid& g = *Grid();
    if (!dragging_) {
        g.HandleMouse(keys, TPoint(point.x + g.barW_ + 2, point.y + 2), WM_LBUTTONUP, false);
        return;
    }
    ReleaseCapture();
    dragging_ = false;
    g.client_->Invalidate();
    if (controlHidden_ && g.currentRow_)
        g.PlaceCell(g.currentRow_, true);
    controlHidden_ = false;
}

void TGridTitle::Paint(TDC& dc, bool, TRect& rect)
{
    TrmtGrid& g = *Grid();
    if (!showTitle_)
        return;
    if (g.titleFont_)
        dc.SelectObject(*g.titleFont_);
    else if (g.gridFont_)
        dc.SelectObject(*g.gridFont_);
    dc.FillRect(rect, TBrush(g.GetColor(1)));
    dc.SelectObject(TPen(g.GetColor(4)));
    const int h = GetClientRect().Height();
    const int w = GetClientRect().Width();
    if (g.columnCount_ > 0)
        Line(dc, {{g.lefts_[0], 0}, {g.lefts_[0], h}});
    Line(dc, {{w - 1, 0}, {w - 1, h}});
    dc.SetTextColor(g.GetColor(0));
    dc.SetBkColor(g.GetColor(1));
    for (int c = 0; c < g.columnCount_; ++c) {
        const int left = g.lefts_[c];
        const int right = left + g.widths_[c];
        if (right >= 0)
            Line(dc, {{right, 0}, {right, h}});
        if (g.widths_[c] <= 0 || !rect.Touches(TRect(left, 0, right, h)))
            continue;
        const auto* text = static_cast<const char*>(g.GetCellText(c, 0));
        if (!text)
            continue;
        TRect r(left, 1, right - 1, g.titleH_ - 2);
        dc.DrawText(text, -1, r, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    }
}

// ---------------------------------------------------------------- row titles

void TGridVerticalBar::Paint(TDC& dc, bool, TRect& rect)
{
    TrmtGrid& g = *Grid();
    const TFont* font = g.titleFont_ ? g.titleFont_.get() : g.gridFont_.get();
    if (font)
        dc.SelectObject(*font);
    dc.FillRect(rect, TBrush(g.GetColor(1)));
    const TRect all = GetClientRect();
    dc.SelectObject(TPen(g.GetColor(4)));
    Line(dc, {{0, 0}, {all.right, 0}});
    Line(dc, {{0, all.bottom - 1}, {all.right, all.bottom - 1}});
    dc.SetTextColor(g.GetColor(0));
    dc.SetBkColor(g.GetColor(1));
    const int rowH = std::max(1, g.rowHeight_);
    for (TGridRow* row = g.ShownRowAt(g.topRow_); row; row = row->next_) {
        if (row->hidden_)
            continue;
        const int k = row->index_ - g.topRow_;
        const int top = k * rowH;
        if (top > all.bottom)
            break;
        TRect r(3, top, all.right - 3, top + rowH);
        dc.DrawText(row->title_.c_str(), -1, r, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
        Line(dc, {{0, top + rowH - 1}, {all.right, top + rowH - 1}});
    }
}

// ---------------------------------------------------------------- scroll bars

TGridScrollBar::TGridScrollBar(TrmtGrid* grid, bool horizontal)
    : TScrollBar(grid, -1, 0, 0, 0, 0, horizontal), grid_(grid)
{
    Attr.W = Attr.H = 0;
    Attr.Style &= ~WS_TABSTOP;
}

QWidget* TGridScrollBar::CreateWidget(QWidget* parent)
{
    QWidget* widget = TScrollBar::CreateWidget(parent);
    widget->setFocusPolicy(Qt::NoFocus);
    return widget;
}

void TGridVScroll::SetRange(int min, int max, bool redraw)
{
    min_ = min;
    max_ = max;
    scale_ = max > 32767 ? std::max(1, (max + 32768) / 32768) : 1;
    TScrollBar::SetRange(min / scale_, max / scale_, redraw);
    if (IsWindow() && GetPosition() >= max / scale_)
        grid_->ScrollRows(grid_->ShownRows() - 1);
}

void TGridVScroll::SetPosition(int row)
{
    TScrollBar::SetPosition(row / scale_);
}

void TGridVScroll::SBLineUp()
{
    grid_->ScrollRows(-1);
}

void TGridVScroll::SBLineDown()
{
    grid_->ScrollRows(1);
}

void TGridVScroll::SBPageUp()
{
    grid_->ScrollRows(-grid_->pageRows_);
}

void TGridVScroll::SBPageDown()
{
    grid_->ScrollRows(grid_->pageRows_);
}

void TGridVScroll::SBThumbPosition(int position)
{
    grid_->ScrollRows((position - GetPosition()) * scale_);
}

void TGridVScroll::SBThumbTrack(int position)
{
    grid_->ScrollRows((position - GetPosition()) * scale_);
}

void TGridVScroll::SBTop()
{
    grid_->ScrollRows(-grid_->topRow_);
}

void TGridVScroll::SBBottom()
{
    grid_->ScrollRows(grid_->ShownRows() - 1);
}

void TGridHScroll::SBLineUp()
{
    grid_->ScrollHorizontally(-LineMagnitude);
}

void TGridHScroll::SBLineDown()
{
    grid_->ScrollHorizontally(LineMagnitude);
}

void TGridHScroll::SBPageUp()
{
    grid_->ScrollHorizontally(-PageMagnitude);
}

void TGridHScroll::SBPageDown()
{
    grid_->ScrollHorizontally(PageMagnitude);
}

void TGridHScroll::SBThumbPosition(int position)
{
    if (position != grid_->GetHorizontalOffset())
        grid_->ScrollToX(position);
}

void TGridHScroll::SBThumbTrack(int position)
{
    SBThumbPosition(position);
}

void TGridHScroll::SBTop()
{
    if (grid_->GetHorizontalOffset() != 0)
        grid_->ScrollToX(0);
}

void TGridHScroll::SBBottom()
{
    int min = 0;
    int max = 0;
    GetRange(min, max);
    grid_->ScrollToX(max);
}

// ================================================================ TrmtGrid: building

const TResponseTable TrmtGrid::Responses{&TControl::Responses, {
    OnMessage<&TrmtGrid::EvKillFocus>(WM_KILLFOCUS),
    OnMessage<&TrmtGrid::EvSetFocus>(WM_SETFOCUS),
    OnMessage<&TrmtGrid::EvWindowPosChanging>(WM_WINDOWPOSCHANGING),
}};

TrmtGrid::TrmtGrid(TWindow* parent, int resourceId, int columns, UINT style, TModule* module)
    : TControl(parent, resourceId, module)
{
    RegisterGridClass();
    Attr.Style = kGridWindowStyle;
    BuildParts(columns, style);
}

TrmtGrid::TrmtGrid(TWindow* parent, int id, int x, int y, int w, int h, int columns, UINT style, TModule* module)
    : TControl(parent, id, "", x, y, w, h, module)
{
    RegisterGridClass();
    Attr.Style = kGridWindowStyle;
    BuildParts(columns, style);
}

TrmtGrid::~TrmtGrid()
{
    // The window goes while the rows are still there to answer its last
    // messages; cells that outlive the grid (never laid out into it) forget it.
    if (IsWindow())
        Destroy(0);
    currentRow_ = nullptr;
    for (TGridRow* row = firstRow_; row; row = row->next_) {
        if (row->cell_)
            row->cell_->SetGrid(nullptr);
    }
    for (TGridRow* row = firstRow_; row;) {
        TGridRow* next = row->next_;
        delete row;
        row = next;
    }
}

void TrmtGrid::BuildParts(int columns, UINT style)
{
    columnCount_ = std::clamp(columns, 0, kGridMaxColumns);
    style_ = style;
    client_ = new TGridClient(this);
    title_ = new TGridTitle(this, style & GS_TITLE);
    if (style & GS_VSCROLL)
        vScroll_ = new TGridVScroll(this);
    if (style & GS_HSCROLL)
        hScroll_ = new TGridHScroll(this);
    if (style & GS_ROWTITLES)
        bar_ = new TGridVerticalBar(this);
    vScrollW_ = vScroll_ ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    hScrollH_ = hScroll_ ? GetSystemMetrics(SM_CYHSCROLL) : 0;
    std::strncpy(defaultFont_.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
    TScreenDC screen;
    defaultFont_.lfHeight = MulDiv(8, screen.GetDeviceCaps(LOGPIXELSY), 72);
    defaultFont_.lfWeight = FW_NORMAL;
}

QWidget* TrmtGrid::CreateWidget(QWidget* parent)
{
    Attr.Style = kGridWindowStyle | (Attr.Style & WS_DISABLED);
    return TControl::CreateWidget(parent);
}

bool TrmtGrid::Create()
{
    if (!TControl::Create())
        return false;
    Arrange();
    return true;
}

void TrmtGrid::SetupWindow()
{
    TControl::SetupWindow();
    // A grid of a dialog template is set up without Create.
    Arrange();
}

void TrmtGrid::AddRow(TControl* control, const char* title, int alignment)
{
    auto* row = new TGridRow(this, control, title, alignment);
    row->index_ = rowCount_ - collapsedRows_;
    row->previous_ = lastRow_;
    if (lastRow_)
        lastRow_->next_ = row;
    else
        firstRow_ = row;
    lastRow_ = row;
    // The order matters: the numeric kinds are edits too.
    if (dynamic_cast<TGUShortEdit*>(control))
        row->kind_ = gkUShort;
    else if (dynamic_cast<TGOctalUShortEdit*>(control))
        row->kind_ = gkOctal;
    else if (dynamic_cast<TGHexUShortEdit*>(control))
        row->kind_ = gkHex;
    else if (dynamic_cast<TGEdit*>(control))
        row->kind_ = gkEdit;
    else if (dynamic_cast<TGComboBox*>(control))
        row->kind_ = gkCombo;
    else if (dynamic_cast<TGStatic*>(control))
        row->kind_ = gkStatic;
    row->cell_ = dynamic_cast<TGridCell*>(control);
    if (row->cell_)
        row->cell_->SetGrid(this);
    ++rowCount_;
    if (laidOut_ && control) {
        control->SetParent(client_);
        if (!control->IsWindow())
            control->Create();
        HideCell(row);
        Invalidate();
        client_->Invalidate();
        if (bar_)
            bar_->Invalidate();
    }
}

TGridRow* TrmtGrid::FindRow(int rowId) const
{
    for (TGridRow* row = firstRow_; row; row = row->next_) {
        if (row->control_ && row->control_->GetId() == rowId)
            return row;
    }
    return nullptr;
}

TGridRow* TrmtGrid::FindRowByControl(const TWindow* control) const
{
    for (TGridRow* row = firstRow_; row; row = row->next_) {
        if (control && row->control_ == control)
            return row;
    }
    return nullptr;
}

TGridRow* TrmtGrid::FindRowByWindow(HWND window) const
{
    for (TGridRow* row = firstRow_; row; row = row->next_) {
        if (window && row->control_ && row->control_->GetHandle() == window)
            return row;
    }
    return nullptr;
}

void TrmtGrid::SetRowTitle(int rowId, const char* title)
{
    if (TGridRow* row = FindRow(rowId))
        row->SetTitle(title);
}

void TrmtGrid::SetTitleFont(const char* face, int height, int weight, bool italic)
{
    if (IsWindow())
        return;
    if (!titleFontDesc_)
        titleFontDesc_ = std::make_unique<LOGFONT>(defaultFont_);
    if (face && *face) {
        std::strncpy(titleFontDesc_->lfFaceName, face, LF_FACESIZE - 1);
        titleFontDesc_->lfFaceName[LF_FACESIZE - 1] = '\0';
    }
    if (height)
        titleFontDesc_->lfHeight = height;
    titleFontDesc_->lfWeight = weight;
    titleFontDesc_->lfItalic = italic ? 1 : 0;
}

void TrmtGrid::SetColumnCount(int count)
{
    columnCount_ = std::clamp(count, 0, kGridMaxColumns);
    if (columnCount_ <= currentColumn_)
        currentColumn_ = std::max(columnCount_ - 1, 0);
}

void TrmtGrid::SetColumnWidth(int column, int width)
{
    if (column >= 0 && column < columnCount_)
        ResizeColumn(column, width - widths_[column], 0);
}

void TrmtGrid::SetRowHeight(int height)
{
    if (height == 0)
        return;
    rowHeight_ = height + 1;
    SetPageRows(clientH_ / rowHeight_);
}

int TrmtGrid::GetColumnWidth(int column) const
{
    return column >= 0 && column < kGridMaxColumns ? widths_[column] : 0;
}

int TrmtGrid::GetColumnLeft(int column) const
{
    return column >= 0 && column < kGridMaxColumns ? lefts_[column] : 0;
}

const TFont& TrmtGrid::MeasureFont() const
{
    static const TFont fallback;
    if (titleFont_)
        return *titleFont_;
    if (gridFont_)
        return *gridFont_;
    return fallback;
}

int TrmtGrid::TitleHeightFromFonts() const
{
    if (!(style_ & GS_TITLE))
        return 0;
    int height;
    if (titleFont_)
        height = MetricsOf(*titleFont_).tmHeight;
    else if (titleFontDesc_)
        height = MetricsOf(TFont(*titleFontDesc_)).tmHeight;
    else if (gridFont_)
        height = MetricsOf(*gridFont_).tmHeight;
    else
        height = MetricsOf(TFont(defaultFont_)).tmHeight;
    return std::max(10, height + 6);
}

int TrmtGrid::BarWidthFromFonts() const
{
    const TFont font = titleFont_ ? *titleFont_ : gridFont_ ? *gridFont_ : TFont(defaultFont_);
    int width;
    if (bar_->GetCharCount() > 0) {
        width = bar_->GetCharCount() * TextWidth(font, "W") + 7;
    } else {
        const TGridRow* longest = nullptr;
        for (TGridRow* row = firstRow_; row; row = row->next_) {
            if (!longest || row->title_.size() > longest->title_.size())
                longest = row;
        }
        width = (longest ? TextWidth(font, longest->title_.c_str()) : 0) + 7;
    }
    return std::max(16, width);
}

void TrmtGrid::CreateGridFont()
{
    gridFont_ = std::make_unique<TFont>(defaultFont_);
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(gridFont_.get()));
    for (TGridRow* row = firstRow_; row; row = row->next_) {
        if (row->control_)
            row->control_->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(GetRowFont(row->GetId())));
    }
}

void TrmtGrid::CreateTitleFont()
{
    if (titleFontDesc_)
        titleFont_ = std::make_unique<TFont>(*titleFontDesc_);
}

const TFont* TrmtGrid::GetRowFont(int rowId)
{
    const TGridRow* row = FindRow(rowId);
    return row && row->font_ ? row->font_.get() : gridFont_.get();
}

bool TrmtGrid::Arrange()
{
    if (!firstRow_)
        return false;
    if (!IsWindow() || arranging_)
        return laidOut_;
    arranging_ = true;
    for (TWindow* part : std::initializer_list<TWindow*>{client_, title_, vScroll_, hScroll_, bar_}) {
        if (part && !part->IsWindow())
            part->Create();
    }
    arranging_ = false;
    if (laidOut_)
        return true;
    for (TWindow* part : std::initializer_list<TWindow*>{client_, title_, vScroll_, hScroll_, bar_}) {
        if (part && !part->IsWindow())
            return false;
    }
    for (TGridRow* row = firstRow_; row; row = row->next_) {
        if (!row->control_ || !row->control_->IsWindow())
            return false;
    }
    laidOut_ = true;

    if (!gridFont_) {
        CreateGridFont();
        if (titleFontDesc_)
            CreateTitleFont();
    }
    int width0 = 0;
    for (TGridRow* row = firstRow_; row; row = row->next_) {
        const int h = row->cell_ ? row->cell_->GetDesiredHeight() : row->control_->Attr.H;
        if (rowHeight_ <= h)
            SetRowHeight(h);
        width0 = std::max(width0, row->cell_ ? row->cell_->GetDesiredWidth() : row->control_->Attr.W);
        row->control_->SetParent(client_);
        HideCell(row);
    }
    const int t = MetricsOf(*gridFont_).tmHeight;
    const int r = t + PadFor(t) + 1;
    if (rowHeight_ <= r)
        SetRowHeight(r);
    columnsWidth_ = 0;
    for (int c = 0; c < columnCount_; ++c) {
        widths_[c] = width0;
        lefts_[c] = columnsWidth_;
        columnsWidth_ += width0;
    }
    if (vScroll_) {
        vScroll_->SetRange(0, std::max(0, lastRow_->index_ - 1));
        vScroll_->SetPosition(0);
    }
    if (hScroll_) {
        hScroll_->LineMagnitude = LOWORD(static_cast<std::uintptr_t>(GetDialogBaseUnits()));
        hScroll_->TScrollBar::SetPosition(0);
    }
    if (initial_ == TRect())
        initial_ = TRect(Attr.X, Attr.Y, Attr.X + Attr.W, Attr.Y + Attr.H);
    titleH_ = TitleHeightFromFonts();
    if (bar_ && barW_ == 0)
        barW_ = BarWidthFromFonts();
    int rows = (Attr.H - (titleH_ + 4)) / rowHeight_;
    int width = barW_ + columnsWidth_ + 4;
    if (vScroll_ && ShownRows() > rows)
        width += vScrollW_;
    width = std::min(width, Attr.W);
    rows = std::min(rows, ShownRows());
    int height = titleH_ + rows * rowHeight_ + 4;
    int x = Attr.X + (Attr.W - width) / 2;
    if (!(style_ & GS_FITHEIGHT))
        height = Attr.H;
    if (!(style_ & GS_FITWIDTH)) {
        width = Attr.W;
        x = Attr.X;
    }
    SetWindowPos(nullptr, x, Attr.Y, width, height, SWP_NOZORDER);
    if (HasFocus())
        FirstRow();
    return true;
}

// ================================================================ cell life

bool TrmtGrid::ControlHasFocus(const TGridRow* row) const
{
    if (!row || !row->control_ || !row->control_->IsWindow())
        return false;
    TWindow* focus = GetWindowPtr(GetFocus());
    return focus && (focus == row->control_ || focus->GetParentO() == row->control_);
}

bool TrmtGrid::FocusTitle()
{
    title_->SetFocus();
    return GetFocus() == title_->GetHandle();
}

void TrmtGrid::HideCell(TGridRow* row)
{
    TControl* control = row ? row->control_ : nullptr;
    if (!control || !control->IsWindow())
        return;
    if (row->kind_ == gkCombo) {
        auto* combo = static_cast<TGComboBox*>(row->cell_);
        if (combo->GetDroppedState())
            combo->HideList();
    }
    // A focused window that is hidden hands the focus on by itself: it goes
    // to a part of the grid first, as the cell is left.
    if (ControlHasFocus(row))
        FocusTitle();
    control->ModifyStyle(WS_BORDER, 0);
    control->ShowWindow(SW_HIDE);
}

void TrmtGrid::PlaceCell(TGridRow* row, bool evenIfVisible)
{
    TControl* control = row ? row->control_ : nullptr;
    if (!control || !control->IsWindow() || columnCount_ <= 0 || row->hidden_)
        return;
    if (control->IsWindowVisible() && !evenIfVisible)
        return;
    const int column = std::clamp(currentColumn_, 0, columnCount_ - 1);
    const bool combo = row->kind_ == gkCombo;
    const int width = widths_[column] - (combo ? 2 : 1);
    const int height = combo ? static_cast<TGComboBox*>(row->cell_)->GetFullHeight() : rowHeight_ - 1;
    control->ShowWindow(SW_SHOW);
    control->ModifyStyle(0, WS_BORDER);
    control->MoveWindow(lefts_[column], (row->index_ - topRow_) * rowHeight_, std::max(0, width), std::max(0, height));
}

void TrmtGrid::LoadCell(TGridRow* row)
{
    const void* data = GetCellText(currentColumn_, row->GetId());
    if (!data)
        return;
    switch (row->kind_) {
    case gkUShort:
    case gkOctal:
    case gkHex:
        row->control_->Transfer(const_cast<void*>(data), tdSetData);
        break;
    case gkEdit:
        static_cast<TGEdit*>(row->control_)->SetText(static_cast<const char*>(data));
        break;
    case gkCombo:
        static_cast<TGComboBox*>(row->control_)->SetText(static_cast<const char*>(data));
        break;
    default:
        row->control_->SetWindowText(static_cast<const char*>(data));
        break;
    }
}

void TrmtGrid::ShowCell(TControl* control, HWND)
{
    TGridRow* row = FindRowByControl(control);
    if (!row)
        return;
    currentRow_ = row;
    if (pageRows_ > 0 && !row->hidden_) {
        if (row->index_ < topRow_)
            SetTopRow(row->index_);
        else if (row->index_ > topRow_ + pageRows_ - 1)
            SetTopRow(row->index_ - pageRows_ + 1);
    }
    LoadCell(row);
    PlaceCell(row, true);
}

void TrmtGrid::CellLostFocus(TControl*, HWND gaining, bool commit)
{
    TGridRow* row = currentRow_;
    if (!row || !row->control_)
        return;
    if (commit) {
        const std::vector<char> data = CellValue(row);
        modified_ = true;
        SetCellText(currentColumn_, row->GetId(), data.data());
        CellCommitted(currentColumn_, row->GetId(), data.data());
        ClearModified(row->control_);
    }
    // When the focus leaves the dialog (a message box, another program) the
    // cell stays: the dialog gives the focus back to it when it is active again.
    TWindow* next = GetWindowPtr(gaining);
    if (row->control_->IsWindowVisible() && next && next->GetTopLevel() == GetTopLevel())
        HideCell(row);
    client_->UpdateWindow();
}

std::vector<char> TrmtGrid::CellValue(TGridRow* row)
{
    if (row->kind_ != gkCombo)
        return CellTransferData(*row->control_);
    const std::string text = static_cast<TGComboBox*>(row->cell_)->GetText();
    return std::vector<char>(text.c_str(), text.c_str() + text.size() + 1);
}

void TrmtGrid::ClearModified(TControl* control)
{
    if (auto* combo = dynamic_cast<TGComboBox*>(control))
        combo->RememberValue();
    else if (dynamic_cast<TEdit*>(control))
        control->SendMessage(EM_SETMODIFY, 0);
}

bool TrmtGrid::ValidateCell(TGridRow* row)
{
    if (!row)
        return true;
    if (auto* edit = dynamic_cast<TGEdit*>(row->control_); edit && edit->IsWindow())
        return edit->IsValid(true);
    return true;
}

bool TrmtGrid::CommitColumn(int column)
{
    TGridRow* row = currentRow_;
    if (row && row->control_ && row->control_->IsWindow()) {
        bool modified = false;
        if (row->kind_ == gkCombo)
            modified = static_cast<TGComboBox*>(row->cell_)->HasChanged();
        else if (dynamic_cast<TEdit*>(row->control_))
            modified = row->control_->SendMessage(EM_GETMODIFY) != 0;
        if (modified) {
            const std::vector<char> data = CellValue(row);
            if (!CanCommitCell(column, row->GetId(), data.data()))
                return false;
            modified_ = true;
            SetCellText(column, row->GetId(), data.data());
            CellCommitted(column, row->GetId(), data.data());
            ClearModified(row->control_);
        }
    }
    return ColumnCommitted(column);
}

bool TrmtGrid::CanClose()
{
    if (currentRow_ && !ValidateCell(currentRow_))
        return false;
    return CommitColumn(currentColumn_);
}

void TrmtGrid::CellCommitted(int, int, const void*)
{
}

bool TrmtGrid::CanCommitCell(int, int, const void*)
{
    return true;
}

bool TrmtGrid::ColumnCommitted(int)
{
    return true;
}

int TrmtGrid::GetCellState(int, int)
{
    return cellState_;
}

TColor TrmtGrid::GetColor(int kind)
{
    switch (kind) {
    case 0:
        return TColor::SysBtnText;
    case 1:
        return TColor::SysBtnFace;
    case 2:
        return TColor::SysBtnHighlight;
    case 3:
        return TColor::SysBtnShadow;
    default:
        return TColor::SysWindowFrame;
    }
}

bool TrmtGrid::HasFocus() const
{
    TWindow* focus = GetWindowPtr(GetFocus());
    if (!focus)
        return false;
    if (focus == this || focus == client_ || focus == bar_ || focus == title_ || focus == vScroll_ ||
        focus == hScroll_)
        return true;
    for (TGridRow* row = firstRow_; row; row = row->next_) {
        if (row->control_ && (focus == row->control_ || focus->GetParentO() == row->control_))
            return true;
    }
    return false;
}

bool TrmtGrid::NoEditableCell() const
{
    for (TGridRow* row = firstRow_; row; row = row->next_) {
        TControl* c = row->control_;
        if (!c || !c->IsWindowEnabled())
            continue;
        const bool edit = dynamic_cast<TEdit*>(c) != nullptr;
        const bool isStatic = !edit && dynamic_cast<TStatic*>(c) != nullptr;
        if ((edit && !(c->GetStyle() & ES_READONLY)) || (!edit && !isStatic))
            return false;
    }
    return true;
}

// ================================================================ painting

void TrmtGrid::PaintCorner(TDC& dc, const TRect& rect)
{
    dc.FillRect(rect, TBrush(GetColor(1)));
}

void TrmtGrid::Paint(TDC& dc, bool, TRect& rect)
{
    const int w = Attr.W;
    const int h = Attr.H;
    // Qt sends no background erase: the border is drawn first here.
    if (firstRow_) {
        dc.SelectObject(TPen(TColor::Sys3dDkShadow));
        Line(dc, {{w - 2, 1}, {1, 1}, {1, h - 2}});
        dc.SelectObject(TPen(TColor::SysBtnShadow));
        Line(dc, {{w - 1, 0}, {0, 0}, {0, h - 1}});
        dc.SelectObject(TPen(TColor::SysBtnHighlight));
        Line(dc, {{0, h - 1}, {w - 1, h - 1}, {w - 1, 0}});
        dc.SelectObject(TPen(TColor::SysBtnFace));
        Line(dc, {{1, h - 2}, {w - 2, h - 2}, {w - 2, 1}});
    }
    dc.SaveDC();
    dc.IntersectClipRect(rect);
    const bool vShown = vScroll_ && !vScrollHidden_;
    const bool hShown = hScroll_ && !hScrollHidden_;
    if (barW_ > 0 && titleH_ > 0)
        PaintCorner(dc, TRect(2, 2, barW_ + 2, titleH_ + 2));
    if (vShown && titleH_ > 0)
        PaintCorner(dc, TRect(barW_ + clientW_ + 2, 2, barW_ + clientW_ + vScrollW_ + 2, titleH_ + 2));
    if (hShown && barW_ > 0)
        PaintCorner(dc, TRect(2, titleH_ + clientH_ + 2, barW_ + 2, titleH_ + clientH_ + hScrollH_ + 2));
    if (hShown && vShown)
        PaintCorner(dc, TRect(barW_ + clientW_ + 2, titleH_ + clientH_ + 2, barW_ + clientW_ + vScrollW_ + 2,
                              titleH_ + clientH_ + hScrollH_ + 2));
    const int right = barW_ + clientW_ + (vShown ? vScrollW_ : 0) + 4;
    const int bottom = titleH_ + clientH_ + (hShown ? hScrollH_ : 0) + 4;
    const TBrush face(TColor::SysBtnFace);
    if (right < w)
        dc.FillRect(TRect(right, 0, w, h), face);
    if (bottom < h)
        dc.FillRect(TRect(0, bottom, std::min(right, w), h), face);
    dc.RestoreDC();
}

// ================================================================ focus and moves

void TrmtGrid::EvSetFocus(HWND)
{
    DefaultProcessing();
    if (currentRow_ && !currentRow_->hidden_) {
        if (!currentRow_->Activate())
            FirstRow();
    } else {
        FirstRow();
    }
    if (vScroll_ && vScroll_->IsWindow() && NoEditableCell() && GetParentO())
        GetParentO()->PostMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(vScroll_->GetHandle()), 1);
}

void TrmtGrid::EvKillFocus(HWND gaining)
{
    if (currentRow_ && currentRow_->control_ && gaining != currentRow_->control_->GetHandle() &&
        currentRow_->control_->IsWindowVisible() && !ControlHasFocus(currentRow_) &&
        dynamic_cast<TEdit*>(currentRow_->control_) &&
        static_cast<TEdit*>(currentRow_->control_)->IsValid(false))
        HideCell(currentRow_);
}

void TrmtGrid::EvWindowPosChanging(WINDOWPOS& pos)
{
    Layout(pos.cx, pos.cy, pos.flags);
    DefaultProcessing();
}
