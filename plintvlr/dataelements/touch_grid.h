#pragma once
// The touch cells of a panel whose touch screen works in cells. Cell (r, c)
// covers x from c x cell width to (c + 1) x cell width and y from
// r x cell height + half a cell to (r + 1) x cell height + half a cell: the
// rows start half a cell down the screen. Sizes are held in page units.

#include "platform/base/geometry.h"

#include <memory>

class Quellstor;
class TDC;

class TouchGrid {
public:
    // Cell size in pixels.
    TouchGrid(int rows, int columns, const TSize& cellPixels, bool visible = true);

    // The cell holding the point (left and top inclusive, right and bottom
    // exclusive); an empty rectangle when none does.
    TRect CellAt(const TPoint& point) const;
    // The union of the cells lying wholly inside the rectangle; empty when none.
    TRect SnapRect(const TRect& rect) const;
    // Small grey crosses at the cell corners, when visible.
    void Paint(TDC& dc) const;

    bool IsVisible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }
    int GetRows() const { return rows_; }
    int GetColumns() const { return columns_; }

private:
    TRect Cell(int row, int column) const;

    int rows_;
    int columns_;
    int cellWidth_;
    int cellHeight_;
    bool visible_;
};

// The grid of a panel model, or none when its touch cell is 0 x 0 (no touch
// cells) or 1 x 1 (touch by pixel): rows = screen height / cell height - 1,
// columns = screen width / cell width.
std::unique_ptr<TouchGrid> MakeTouchGrid(const Quellstor& panel);
