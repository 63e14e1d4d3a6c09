#include "platform/ui/ui_handle.h"

#include "platform/gdi/dc.h"
#include "platform/ui/resources.h"

TUIHandle::TUIHandle(const TRect& rect, unsigned style, int thickness)
    : rect_(rect.Normalized()), style_(style), thickness_(thickness > 0 ? thickness : 1)
{
}

TRect TUIHandle::HandleRect(int where) const
{
    if (where < TopLeft || where > BottomRight || where == Inside)
        return {};
    const int t = thickness_;
    const int column = where % 3;
    const int row = where / 3;
    // Corners sit outside the rectangle; side handles are centred on their side.
    const int xs[3] = {rect_.left - t, (rect_.left + rect_.right - t) / 2, rect_.right};
    const int ys[3] = {rect_.top - t, (rect_.top + rect_.bottom - t) / 2, rect_.bottom};
    return {xs[column], ys[row], xs[column] + t, ys[row] + t};
}

void TUIHandle::Paint(TDC& dc) const
{
    for (int where = TopLeft; where <= BottomRight; ++where)
        if (where != Inside)
            dc.PatBlt(HandleRect(where), DSTINVERT);
}

int TUIHandle::HitTest(const TPoint& point) const
{
    for (int where = TopLeft; where <= BottomRight; ++where)
        if (HandleRect(where).Contains(point))
            return where;
    return rect_.Contains(point) ? Inside : Outside;
}

int TUIHandle::GetCursorId(int where, unsigned style)
{
    switch (where) {
    case TopLeft:
    case BottomRight:
        return IDC_SIZENWSE;
    case TopRight:
    case BottomLeft:
        return IDC_SIZENESW;
    case Top:
    case Bottom:
        return IDC_SIZENS;
    case Left:
    case Right:
        return IDC_SIZEWE;
    case Inside:
        return (style & MoveCursor) ? IDC_SIZEALL : IDC_ARROW;
    default:
        return IDC_ARROW;
    }
}
