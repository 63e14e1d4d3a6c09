// The grid's moves: the current cell by keys, clicks and focus, scrolling by
// rows and pixels, the layout of the parts, column resizing, hiding columns.

#include "plintvlr/shell/controls/grid.h"

#include "platform/ui/window_api.h"
#include "platform/ui/window_surface.h"
#include "plintvlr/shell/controls/grid_cells.h"

#include <algorithm>

// ================================================================ keys

bool TrmtGrid::HandleKey(UINT key, UINT repeat)
{
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    switch (key) {
    case VK_TAB:
        return TabKey(ctrl, shift, repeat);
    case VK_RETURN:
        return EnterKey(ctrl, shift, repeat);
    case VK_UP:
        return UpKey(ctrl, shift, repeat);
    case VK_DOWN:
        return DownKey(ctrl, shift, repeat);
    default:
        return false;
    }
}

bool TrmtGrid::TabKey(bool, bool shift, UINT repeat)
{
    if (ValidateCell(currentRow_))
        MoveColumn(shift ? -static_cast<int>(repeat) : static_cast<int>(repeat), true);
    return true;
}

bool TrmtGrid::EnterKey(bool ctrl, bool, UINT)
{
    if (ctrl)
        return false;
    if (ValidateCell(currentRow_))
        NextRow();
    return true;
}

bool TrmtGrid::UpKey(bool, bool, UINT repeat)
{
    return StepRows(false, repeat);
}

bool TrmtGrid::DownKey(bool, bool, UINT repeat)
{
    return StepRows(true, repeat);
}

bool TrmtGrid::StepRows(bool forward, UINT repeat)
{
    if (ValidateCell(currentRow_)) {
        for (UINT i = 0; i < std::max(1u, repeat); ++i) {
            if (!(forward ? NextRow() : PreviousRow()))
                break;
        }
    }
    return true;
}

// ================================================================ columns

void TrmtGrid::MoveColumn(int delta, bool activate)
{
    SetCurrentColumn(std::max(0, currentColumn_ + delta), activate);
}

void TrmtGrid::SetCurrentColumn(int column, bool activate)
{
    if (column < 0) {
        currentColumn_ = 0;
        return;
    }
    column = std::min(column, columnCount_ - 1);
    if (columnCount_ <= 0 || savedWidths_[column] != -1 || column == currentColumn_)
        return;
    const bool focusInside = HasFocus();
    if (focusInside && !ValidateCell(currentRow_))
        return;
    if (!CommitColumn(currentColumn_))
        return;
    // The cell leaves the focus before its column changes.
    if (focusInside && !FocusTitle())
        return;
    for (TGridRow* row = firstRow_; row; row = row->next_) {
        if (row->kind_ == gkStatic && row->control_)
            row->control_->SetWindowText("");
        else if (row->kind_ == gkCombo && (Attr.Style & 3) != 3)
            static_cast<TGComboBox*>(row->cell_)->SetSelIndex(-1);
    }
    currentColumn_ = column;
    if (currentRow_ && activate && (focusInside || currentRow_->kind_ == gkCombo)) {
        switching_ = true;
        if (!currentRow_->Activate())
            ActivateNearest(currentRow_);
        switching_ = false;
    }
    if (focusInside && vScroll_ && NoEditableCell() && GetParentO())
        GetParentO()->SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(vScroll_->GetHandle()), 1);
}

void TrmtGrid::ResetPosition()
{
    SetCurrentColumn(0, true);
    FirstRow();
}

// ================================================================ rows

bool TrmtGrid::StepRow(bool forward)
{
    auto step = [forward](TGridRow* row) { return forward ? row->next_ : row->previous_; };
    if (currentRow_ && !step(currentRow_))
        return false;
    for (TGridRow* row = currentRow_ ? step(currentRow_) : (forward ? firstRow_ : lastRow_); row; row = step(row)) {
        if (row->hidden_) {
            if (!step(row))
                return true;  // a collapsed end row ends the walk
            continue;
        }
        if (row->Activate())
            return true;
    }
    if (vScroll_ && (NoEditableCell() || walking_) && GetParentO())
        GetParentO()->PostMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(vScroll_->GetHandle()), 1);
    if (!walking_)
        EndRow(forward);
    return false;
}

bool TrmtGrid::NextRow()
{
    return StepRow(true);
}

bool TrmtGrid::PreviousRow()
{
    return StepRow(false);
}

bool TrmtGrid::EndRow(bool last)
{
    TGridRow* end = last ? lastRow_ : firstRow_;
    if (!end)
        return false;
    if (currentRow_ && currentRow_ != end)
        HideCell(currentRow_);
    currentRow_ = end;
    if (!end->hidden_ && end->Activate())
        return true;
    walking_ = true;
    const bool found = StepRow(!last);
    walking_ = false;
    return found;
}

bool TrmtGrid::FirstRow()
{
    return EndRow(false);
}

bool TrmtGrid::LastRow()
{
    return EndRow(true);
}

void TrmtGrid::ActivateNearest(TGridRow* row)
{
    if (!row)
        return;
    TGridRow* up = row->previous_;
    TGridRow* down = row->next_;
    while (up || down) {
        if (up) {
            if (!up->hidden_ && up->Activate())
                return;
            up = up->previous_;
        }
        if (down) {
            if (!down->hidden_ && down->Activate())
                return;
            down = down->next_;
        }
    }
}

TGridRow* TrmtGrid::ShownRowAt(int index) const
{
    for (TGridRow* row = firstRow_; row; row = row->next_) {
        if (!row->hidden_ && row->index_ >= index)
            return row->index_ == index ? row : nullptr;
    }
    return nullptr;
}

int TrmtGrid::RowFromY(int y)
{
    if (rowHeight_ <= 0 || y < 0 || y / rowHeight_ > pageRows_)
        return 0;
    return topRow_ + y / rowHeight_;
}

TGridRow* TrmtGrid::RowAtPoint(const TPoint& p) const
{
    if (rowHeight_ <= 0 || p.x < 0 || p.x >= clientW_ || p.y < 0)
        return nullptr;
    const int line = p.y / rowHeight_;
    if (line > pageRows_)
        return nullptr;
    return ShownRowAt(topRow_ + line);
}

// ================================================================ mouse

void TrmtGrid::HandleMouse(UINT keys, const TPoint& point, UINT message, bool forward)
{
    if (clickGuard_) {
        clickGuard_ = false;
        return;
    }
    const TPoint p(point.x - (barW_ + 2), point.y - (titleH_ + 2));
    int hitColumn = -1;
    for (int c = 0; c < columnCount_; ++c) {
        if (lefts_[c] <= p.x && p.x <= lefts_[c] + widths_[c])
            hitColumn = c;  // a shared border belongs to the right-hand column
    }
    TGridRow* hitRow = RowAtPoint(p);
    if (message == WM_LBUTTONDOWN && hitColumn >= 0 && hitRow && ValidateCell(currentRow_)) {
        if (hitColumn != currentColumn_)
            SetCurrentColumn(hitColumn, false);
        const int state = GetCellState(currentColumn_, hitRow->GetId());
        if (hitRow->kind_ != gkStatic && state != 2 && state != 3 && hitRow->Activate() && forward) {
            // The control gets the click too, to put its caret or open its list there.
            clickGuard_ = true;
            TControl* control = hitRow->control_;
            const TPoint at(p.x - control->Attr.X, p.y - control->Attr.Y);
            control->SendMessage(WM_LBUTTONDOWN, keys, PointToLParam(at));
            clickGuard_ = false;
        }
    }
    if (message == WM_LBUTTONDOWN)
        MouseDown(keys, point);
    else if (message == WM_LBUTTONUP)
        MouseUp(keys, point);
}

// ================================================================ vertical scrolling

void TrmtGrid::SetTopRow(int top)
{
    topRow_ = top;
    if (client_->IsWindow()) {
        client_->Invalidate();
        client_->UpdateWindow();
    }
    if (bar_ && bar_->IsWindow()) {
        bar_->Invalidate();
        bar_->UpdateWindow();
    }
    if (vScroll_ && vScroll_->IsWindow())
        vScroll_->SetPosition(topRow_);
    // A visible cell goes with its row, or away with it.
    if (currentRow_ && currentRow_->control_ && currentRow_->control_->IsWindowVisible()) {
        if (currentRow_->index_ >= topRow_ && currentRow_->index_ < topRow_ + pageRows_)
            PlaceCell(currentRow_, true);
        else if (!ControlHasFocus(currentRow_))
            HideCell(currentRow_);
    }
}

void TrmtGrid::ScrollRows(int delta)
{
    const int top = std::max(0, std::min(topRow_ + delta, ShownRows() - pageRows_));
    if (top == topRow_)
        return;
    const bool focusInside = HasFocus();
    if (focusInside && !ValidateCell(currentRow_))
        return;
    if (!CommitColumn(currentColumn_))
        return;
    const bool hadFocus = ControlHasFocus(currentRow_);
    if (focusInside && !FocusTitle())
        return;
    SetTopRow(top);
    if (hadFocus && currentRow_ && currentRow_->index_ >= topRow_ && currentRow_->index_ < topRow_ + pageRows_)
        currentRow_->Activate();
}

void TrmtGrid::SetPageRows(int rows)
{
    pageRows_ = std::min(rows, ShownRows());
    UpdateVScrollRange();
}

void TrmtGrid::UpdateVScrollRange()
{
    if (vScroll_ && vScroll_->IsWindow())
        vScroll_->SetRange(0, std::max(0, ShownRows() - pageRows_));
}

// ================================================================ horizontal scrolling

void TrmtGrid::ShiftColumns(int shift)
{
    for (int c = 0; c < columnCount_; ++c)
        lefts_[c] -= shift;
    offset_ += shift;
    firstVisibleColumn_ = 0;
    while (firstVisibleColumn_ < columnCount_ &&
           lefts_[firstVisibleColumn_] + widths_[firstVisibleColumn_] < 0)
        ++firstVisibleColumn_;
}

void TrmtGrid::ScrollHorizontally(int dx)
{
    if (columnCount_ <= 0)
        return;
    int offset = offset_ + dx;
    const int end = lefts_[columnCount_ - 1] + widths_[columnCount_ - 1];
    if (offset < 0)
        offset = 0;
    else if (columnsWidth_ > clientW_) {
        if (end - dx < clientW_)
            offset = end - clientW_ + offset_ + 1;
    } else {
        offset = 0;
    }
    const int shift = offset - offset_;
    if (shift == 0)
        return;
    ShiftColumns(shift);
    if (client_->IsWindow())
        ScrollWindowEx(client_->GetHandle(), -shift, 0, nullptr, nullptr, nullptr, nullptr,
                       SW_SCROLLCHILDREN | SW_INVALIDATE);
    if (titleH_ > 0 && title_->IsWindow()) {
        // The headers move with their columns; the title's closing line at
        // its right edge stays where it is.
        const TRect headers(0, 0, std::max(0, clientW_ - 1), titleH_);
        ScrollWindowEx(title_->GetHandle(), -shift, 0, &headers, &headers, nullptr, nullptr, SW_INVALIDATE);
    }
    if (client_->IsWindow())
        client_->UpdateWindow();
    if (hScroll_ && hScroll_->IsWindow())
        hScroll_->TScrollBar::SetPosition(offset_);
}

void TrmtGrid::ScrollToX(int x)
{
    ScrollHorizontally(x - offset_);
}

void TrmtGrid::SetHScrollRange()
{
    if (!hScroll_ || !hScroll_->IsWindow())
        return;
    hScroll_->TScrollBar::SetRange(0, columnsWidth_ - clientW_ - 1);
    hScroll_->PageMagnitude = std::max(1, clientW_);
}

// ================================================================ layout

bool TrmtGrid::NeedsHScrollBar()
{
    return hScroll_ && (!(style_ & GS_HIDEHSCROLL) || clientW_ < columnsWidth_);
}

bool TrmtGrid::NeedsVScrollBar()
{
    return vScroll_ && (!(style_ & GS_HIDEVSCROLL) || (rowHeight_ > 0 && clientH_ / rowHeight_ < ShownRows()));
}

void TrmtGrid::SetScrollBarState(TScrollBar* bar, bool needed, bool& hidden, UINT hideBit, UINT disableBit)
{
    if (!bar || !bar->IsWindow())
        return;
    const bool vertical = bar == vScroll_;
    if (needed) {
        if (hidden) {
            hidden = false;
            vertical ? VScrollBarHidden(false) : HScrollBarHidden(false);
        }
        bar->EnableWindow(true);
        return;
    }
    if (style_ & disableBit)
        bar->EnableWindow(false);
    if ((style_ & hideBit) && !hidden) {
        hidden = true;
        vertical ? VScrollBarHidden(true) : HScrollBarHidden(true);
    }
}

void TrmtGrid::Layout(int width, int height, UINT flags)
{
    if (!firstRow_ || width == 0 || height == 0 || ((flags & SWP_NOSIZE) && (flags & SWP_NOMOVE)))
        return;
    titleH_ = TitleHeightFromFonts();
    if (bar_ && barW_ == 0)
        barW_ = BarWidthFromFonts();
    clientW_ = width - barW_ - 4;
    clientH_ = height - titleH_ - 4;
    if (NeedsVScrollBar()) {
        clientW_ -= vScrollW_;
        if (NeedsHScrollBar())
            clientH_ -= hScrollH_;
    } else if (NeedsHScrollBar()) {
        clientH_ -= hScrollH_;
        if (NeedsVScrollBar())
            clientW_ -= vScrollW_;
    }
    if (!(flags & SWP_NOSIZE))
        SetScrollBarState(hScroll_, clientW_ < columnsWidth_, hScrollHidden_, GS_HIDEHSCROLL, GS_DISABLEHSCROLL);
    if (rowHeight_ > 0) {
        const int oldPage = pageRows_;
        const int oldColumn = currentColumn_;
        SetPageRows(clientH_ / rowHeight_);
        SetScrollBarState(vScroll_, pageRows_ < ShownRows(), vScrollHidden_, GS_HIDEVSCROLL, GS_DISABLEVSCROLL);
        if (pageRows_ < 1)
            SetPageRows(ShownRows());
        if (oldPage != 0) {
            SetCurrentColumn(0, true);
            if (oldColumn > 0)
                SetCurrentColumn(oldColumn, true);
        }
        clientH_ = pageRows_ * rowHeight_;
    }
    if ((style_ & GS_FITWIDTH) && clientW_ > columnsWidth_)
        clientW_ = columnsWidth_;
    const UINT move = SWP_NOZORDER | (flags & SWP_NOSIZE);
    client_->SetWindowPos(nullptr, barW_ + 2, titleH_ + 2, clientW_, clientH_, move);
    if (bar_)
        bar_->SetWindowPos(nullptr, 2, titleH_ + 2, barW_, clientH_, move);
    if (titleH_ < 1) {
        title_->ShowWindow(SW_HIDE);
    } else {
        title_->ShowWindow(SW_SHOW);
        title_->SetWindowPos(nullptr, barW_ + 2, 2, clientW_, titleH_, move);
    }
    if (vScroll_) {
        vScroll_->ShowWindow(vScrollHidden_ ? SW_HIDE : SW_SHOW);
        if (!vScrollHidden_)
            vScroll_->SetWindowPos(nullptr, barW_ + clientW_ + 2, titleH_ + 2, vScrollW_, clientH_, move);
    }
    if (hScroll_) {
        hScroll_->ShowWindow(hScrollHidden_ ? SW_HIDE : SW_SHOW);
        if (!hScrollHidden_) {
            hScroll_->SetWindowPos(nullptr, barW_ + 2, titleH_ + clientH_ + 2, clientW_, hScrollH_, move);
            SetHScrollRange();
        }
    }
    Invalidate();
}

void TrmtGrid::ShrinkToColumns()
{
    if (columnsWidth_ < clientW_)
        SetWindowPos(nullptr, 0, 0, Attr.W - (clientW_ - columnsWidth_), Attr.H, SWP_NOMOVE | SWP_NOZORDER);
}

// ================================================================ column widths

void TrmtGrid::ResizeColumn(int column, int delta, int minimum)
{
    if (column < 0 || column >= columnCount_)
        return;
    if (delta < 0)
        delta = std::max(delta, -(widths_[column] - minimum));
    const int oldRight = lefts_[column] + widths_[column];
    widths_[column] += delta;
    for (int c = column + 1; c < columnCount_; ++c)
        lefts_[c] += delta;
    columnsWidth_ += delta;
    UpdateHScrollBar();
    if (delta == 0 || !IsWindow() || !client_->IsWindow())
        return;
    const int lastEnd = lefts_[columnCount_ - 1] + widths_[columnCount_ - 1];
    if (lastEnd < clientW_ && offset_ > 0) {
        // The columns scroll back so that the last one ends at the right edge.
        const int target = columnsWidth_ > clientW_ ? columnsWidth_ - clientW_ : 0;
        const int shift = target - offset_;
        ShiftColumns(shift);
        const int right = lefts_[column] + widths_[column];
        title_->InvalidateRect(TRect(0, 0, right, titleH_));
        if (hScroll_ && hScroll_->IsWindow())
            hScroll_->TScrollBar::SetPosition(offset_);
        const TRect area(0, 0, right, clientH_);
        ScrollWindowEx(client_->GetHandle(), -shift, 0, &area, nullptr, nullptr, nullptr,
                       SW_SCROLLCHILDREN | SW_INVALIDATE);
    } else {
        title_->InvalidateRect(TRect(lefts_[column], 0, clientW_, titleH_));
        const TRect area(std::min(oldRight, lefts_[column] + widths_[column]), 0, clientW_, clientH_);
        ScrollWindowEx(client_->GetHandle(), delta, 0, &area, nullptr, nullptr, nullptr,
                       SW_SCROLLCHILDREN | SW_INVALIDATE);
    }
    // The moved strip is painted before the resized column is invalidated:
    // painted together they would be painted as the box around both.
    client_->UpdateWindow();
    client_->InvalidateRect(TRect(lefts_[column], 0, lefts_[column] + widths_[column], clientH_));
    client_->UpdateWindow();
    const int shownVScroll = vScroll_ && !vScrollHidden_ ? vScrollW_ : 0;
    if ((style_ & GS_FITWIDTH) &&
        (columnsWidth_ < clientW_ || (columnsWidth_ == clientW_ && barW_ + clientW_ + shownVScroll < Attr.W))) {
        Layout(Attr.W, Attr.H, SWP_NOMOVE);
        InvalidateRect(TRect(barW_ + clientW_ + 2, 0, Attr.W, Attr.H));
    }
}

void TrmtGrid::UpdateHScrollBar()
{
    if (!hScroll_ || !hScroll_->IsWindow())
        return;
    const bool needed = initial_.Width() < columnsWidth_;
    if (style_ & GS_HIDEHSCROLL) {
        if (!hScrollHidden_ != needed)
            SetWindowPos(nullptr, 0, 0, Attr.W, Attr.H, SWP_NOMOVE | SWP_NOZORDER);
    } else if (style_ & GS_DISABLEHSCROLL) {
        if (hScroll_->IsWindowEnabled() != needed)
            hScroll_->EnableWindow(clientW_ < columnsWidth_);
    }
    SetHScrollRange();
}

int TrmtGrid::HeightForRows() const
{
    const int shown = ShownRows();
    const int rows = shown > pageRows_ && pageRows_ > 0 ? pageRows_ : shown;
    return rows * rowHeight_ + titleH_ + 4;
}

void TrmtGrid::ResizeForColumns()
{
    if (!IsWindow() || !laidOut_)
        return;
    // The parts' total width with the columns in place of the cell area.
    const int total = barW_ + clientW_ + (vScroll_ && !vScrollHidden_ ? vScrollW_ : 0) + 4;
    const int needed = total - clientW_ + columnsWidth_;
    int height = HeightForRows();
    int x = initial_.left;
    int width = initial_.Width();
    if (needed < initial_.Width()) {
        width = needed;
        x = initial_.left + (initial_.Width() - needed) / 2;
    } else if (columnsWidth_ > initial_.Width() - 4 - barW_) {
        height += hScrollH_;
    }
    SetWindowPos(nullptr, x, Attr.Y, width, height, SWP_NOZORDER);
}

void TrmtGrid::HideColumn(int column)
{
    if (column < 0 || column >= columnCount_ || savedWidths_[column] != -1)
        return;
    savedWidths_[column] = widths_[column];
    ResizeColumn(column, -widths_[column], 0);
    ResizeForColumns();
}

void TrmtGrid::ShowColumn(int column)
{
    if (column < 0 || column >= columnCount_ || widths_[column] != 0 || savedWidths_[column] < 0)
        return;
    ResizeColumn(column, savedWidths_[column], 0);
    savedWidths_[column] = -1;
    ResizeForColumns();
}
