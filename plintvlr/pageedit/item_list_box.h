#pragma once
// ItemListBox: the z-order dialog's list, an owner-drawn multiple-selection
// list box whose rows can be dragged onto another row. A click selects as in
// an extended-selection box (Shift takes the range up to the farthest
// selected row, Ctrl adds or removes one row, a plain click keeps one row);
// a row released over a row that is not selected, or the caret moved with
// Ctrl and a navigation key onto one, asks the parent to move the selected
// rows there (kItemMoveMessage: wParam the start row, lParam the target row).

#include "platform/ui/controls/list_box.h"

#include <vector>

// Sent to the parent: move the selected rows from row wParam to row lParam.
inline constexpr UINT kItemMoveMessage = 0x590;

class ItemListBox : public TListBox {
public:
    ItemListBox(TWindow* parent, int resourceId, TModule* module = nullptr);

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    // The selected rows, in order.
    std::vector<int> SelectedRows() const;

protected:
    void EvLButtonDown(UINT keys, const TPoint& point);
    void EvMouseMove(UINT keys, const TPoint& point);
    void EvLButtonUp(UINT keys, const TPoint& point);
    void EvKeyUp(UINT key, UINT repeat, UINT flags);

private:
    // The row under a point of the list; it may lie past the last row.
    int RowAt(const TPoint& point) const;
    void SelectRange(int from, int to, bool select);

    int dragStart_ = -1;
};
