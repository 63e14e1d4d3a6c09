#include "plintvlr/dataelements/touch_grid.h"

#include "plintvlr/db/quellstor.h"
#include "plintvlr/elements/panel_queries.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/pen.h"

#include <algorithm>

namespace {

// Half the stroke of a corner cross, in pixels.
constexpr int kCrossArm = 3;

int FloorDiv(int a, int b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

}  // namespace

TouchGrid::TouchGrid(int rows, int columns, const TSize& cellPixels, bool visible)
    : rows_(std::max(rows, 0)),
      columns_(std::max(columns, 0)),
      cellWidth_(cellPixels.cx * kUnitsPerPixel),
      cellHeight_(cellPixels.cy * kUnitsPerPixel),
      visible_(visible)
{
}

TRect TouchGrid::Cell(int row, int column) const
{
    const int half = cellHeight_ / 2;
    return {column * cellWidth_, row * cellHeight_ + half, (column + 1) * cellWidth_, (row + 1) * cellHeight_ + half};
}

TRect TouchGrid::CellAt(const TPoint& point) const
{
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < columns_; ++c) {
            const TRect cell = Cell(r, c);
            if (point.x >= cell.left && point.x < cell.right && point.y >= cell.top && point.y < cell.bottom)
                return cell;
        }
    }
    return {};
}

TRect TouchGrid::SnapRect(const TRect& rect) const
{
    TRect result;
    bool any = false;
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < columns_; ++c) {
            const TRect cell = Cell(r, c);
            if (cell.left < rect.left || cell.right > rect.right || cell.top < rect.top || cell.bottom > rect.bottom)
                continue;
            result = any ? result | cell : cell;
            any = true;
        }
    }
    return result;
}

void TouchGrid::Paint(TDC& dc) const
{
    if (!visible_)
        return;
    const int arm = kCrossArm * kUnitsPerPixel;
    // Only the crosses that reach into the area being painted are drawn: a
    // small repaint on a fine grid would otherwise stroke every cross.
    int rowFirst = 0, rowLast = rows_, columnFirst = 0, columnLast = columns_;
    TRect area;
    if (dc.GetClipBox(area) > NULLREGION && cellWidth_ > 0 && cellHeight_ > 0) {
        area = area.Normalized().Inflate(arm + 2 * kUnitsPerPixel, arm + 2 * kUnitsPerPixel);
        const int half = cellHeight_ / 2;
        columnFirst = std::max(0, FloorDiv(area.left, cellWidth_));
        columnLast = std::min(columns_, FloorDiv(area.right, cellWidth_) + 1);
        rowFirst = std::max(0, FloorDiv(area.top - half, cellHeight_));
        rowLast = std::min(rows_, FloorDiv(area.bottom - half, cellHeight_) + 1);
    }
    dc.SaveDC();
    dc.SelectObject(TPen(TColor::Gray, kUnitsPerPixel));
    for (int r = rowFirst; r <= rowLast; ++r) {
        const int y = r * cellHeight_ + cellHeight_ / 2;
        for (int c = columnFirst; c <= columnLast; ++c) {
            const int x = c * cellWidth_;
            dc.MoveTo(x - arm, y);
            dc.LineTo(x + arm, y);
            if (c == 0 || c == columns_)
                continue;
            // The top row's crosses point only downwards, the bottom row's only upwards.
            dc.MoveTo(x, r == 0 ? y : y - arm);
            dc.LineTo(x, r == rows_ ? y : y + arm);
        }
    }
    dc.RestoreDC();
}

std::unique_ptr<TouchGrid> MakeTouchGrid(const Quellstor& panel)
{
    const int w = panel.touchCellWidth;
    const int h = panel.touchCellHeight;
    if (w <= 0 || h <= 0 || (w == 1 && h == 1))
        return nullptr;
    return std::make_unique<TouchGrid>(panel.displayHeight / h - 1, panel.displayWidth / w, TSize{w, h});
}
