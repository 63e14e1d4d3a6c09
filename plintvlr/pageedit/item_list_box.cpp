#include "plintvlr/pageedit/item_list_box.h"

#include "platform/ui/window_api.h"

#include <algorithm>

namespace {

bool Held(int virtualKey)
{
    return GetKeyState(virtualKey) < 0;
}

bool IsNavigationKey(UINT key)
{
    switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
        return true;
    default:
        return false;
    }
}

}  // namespace

const TResponseTable ItemListBox::Responses{&TListBox::Responses, {
    OnMessage<&ItemListBox::EvLButtonDown>(WM_LBUTTONDOWN),
    OnMessage<&ItemListBox::EvMouseMove>(WM_MOUSEMOVE),
    OnMessage<&ItemListBox::EvLButtonUp>(WM_LBUTTONUP),
    OnMessage<&ItemListBox::EvKeyUp>(WM_KEYUP),
}};

ItemListBox::ItemListBox(TWindow* parent, int resourceId, TModule* module) : TListBox(parent, resourceId, module) {}

std::vector<int> ItemListBox::SelectedRows() const
{
    std::vector<int> rows(static_cast<std::size_t>(std::max(0, GetSelCount())));
    if (!rows.empty())
        rows.resize(static_cast<std::size_t>(std::max(0, GetSelIndexes(rows.data(), static_cast<int>(rows.size())))));
    return rows;
}

int ItemListBox::RowAt(const TPoint& point) const
{
    const int height = std::max(1, GetItemHeight(0));
    return point.y / height + GetTopIndex();
}

void ItemListBox::SelectRange(int from, int to, bool select)
{
    for (int row = std::min(from, to); row <= std::max(from, to); ++row)
        SetSel(row, select);
}

void ItemListBox::EvLButtonDown(UINT keys, const TPoint& point)
{
    const int row = RowAt(point);
    const bool real = row >= 0 && row < GetCount();
    const bool wasSelected = real && GetSel(row);
    const std::vector<int> before = SelectedRows();

    // The list box toggles the row.
    DefaultProcessing();

    const bool shift = keys & MK_SHIFT;
    const bool ctrl = keys & MK_CONTROL;
    if (!real) {
        for (int old : before)
            SetSel(old, false);
        dragStart_ = -1;
        return;
    }
    if (!wasSelected && !before.empty()) {
        if (shift)
            SelectRange(row, row < before.front() ? before.back() : before.front(), true);
        else if (!ctrl)
            SelectRange(before.front(), before.back(), false);
    } else if (wasSelected) {
        if (ctrl) {
            for (int old : before)
                SetSel(old, true);
            SetSel(row, false);
        } else {
            SetSel(row, true);
            SetCaretIndex(row);
            Invalidate(false);
        }
    }
    dragStart_ = GetSel(row) ? row : -1;
}

void ItemListBox::EvMouseMove(UINT keys, const TPoint& point)
{
    // While a row is dragged the caret follows the mouse; the rows passed
    // over keep their selection.
    if (dragStart_ < 0 || !(keys & MK_LBUTTON)) {
        DefaultProcessing();
        return;
    }
    const int row = RowAt(point);
    if (row >= 0 && row < GetCount())
        SetCaretIndex(row);
}

void ItemListBox::EvLButtonUp(UINT /*keys*/, const TPoint& point)
{
    DefaultProcessing();
    const int start = dragStart_;
    dragStart_ = -1;
    const int row = RowAt(point);
    if (start < 0 || row < 0 || row >= GetCount())
        return;
    SetCaretIndex(row);
    if (!GetSel(row) && GetParentO())
        GetParentO()->SendMessage(kItemMoveMessage, static_cast<WPARAM>(start), row);
}

void ItemListBox::EvKeyUp(UINT key, UINT /*repeat*/, UINT /*flags*/)
{
    DefaultProcessing();
    if (!Held(VK_CONTROL) || !IsNavigationKey(key))
        return;
    const std::vector<int> selected = SelectedRows();
    const int caret = GetCaretIndex();
    if (selected.empty() || caret < 0 || GetSel(caret) || !GetParentO())
        return;
    GetParentO()->SendMessage(kItemMoveMessage, static_cast<WPARAM>(selected.front()), caret);
}
