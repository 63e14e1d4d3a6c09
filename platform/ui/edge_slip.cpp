#include "platform/ui/edge_slip.h"

#include "platform/ui/decorated_frame.h"
#include "platform/ui/dockable_control_bar.h"

#include <algorithm>
#include <map>

const TResponseTable TEdgeSlip::Responses{&TWindow::Responses, {
    OnMessage<&TEdgeSlip::EvSize>(WM_SIZE),
}};

TEdgeSlip::TEdgeSlip(TDecoratedFrame& parent, TAbsLocation location, TModule* module)
    : TWindow(&parent, nullptr, module), location_(location)
{
    Attr.Style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
    Attr.X = Attr.Y = Attr.W = Attr.H = 0;
}

TEdgeSlip::~TEdgeSlip()
{
    if (IsWindow())
        Destroy(0);
}

void TEdgeSlip::ForgetGone()
{
    const std::vector<TWindow*>& children = GetChildren();
    std::erase_if(places_, [&](const Place& p) {
        return std::find(children.begin(), children.end(), p.bar) == children.end();
    });
}

TSize TEdgeSlip::BarSize(TDockableControlBar& bar) const
{
    TSize size;
    bar.GetDesiredSize(size);
    return size;
}

std::vector<int> TEdgeSlip::RowThicknesses() const
{
    std::vector<int> rows;
    for (const Place& p : places_) {
        if (p.row >= static_cast<int>(rows.size()))
            rows.resize(static_cast<std::size_t>(p.row) + 1, 0);
        const TSize s = BarSize(*p.bar);
        rows[static_cast<std::size_t>(p.row)] = std::max(rows[static_cast<std::size_t>(p.row)], Horizontal() ? s.cy : s.cx);
    }
    return rows;
}

std::vector<TEdgeSlip::Place> TEdgeSlip::PlacesInOrder() const
{
    std::vector<Place> sorted = places_;
    std::sort(sorted.begin(), sorted.end(),
              [](const Place& a, const Place& b) { return a.row != b.row ? a.row < b.row : a.offset < b.offset; });
    return sorted;
}

std::vector<TDockableControlBar*> TEdgeSlip::GetBars() const
{
    std::vector<TDockableControlBar*> bars;
    for (const Place& p : PlacesInOrder())
        bars.push_back(p.bar);
    return bars;
}

void TEdgeSlip::Dock(TDockableControlBar& bar, const TPoint* where)
{
    ForgetGone();
    std::erase_if(places_, [&](const Place& p) { return p.bar == &bar; });
    if (bar.GetParentO() != this)
        bar.SetParent(this);
    bar.Attr.Style |= WS_CHILD | WS_VISIBLE;
    if (IsWindow() && !bar.IsWindow())
        bar.Create();
    bar.Layout(location_);

    const std::vector<int> rows = RowThicknesses();
    int row = 0;
    int offset = 0;
    if (where) {
        const TPoint p = ScreenToClient(*where);
        const int across = Horizontal() ? p.y : p.x;
        const int along = Horizontal() ? p.x : p.y;
        row = -1;
        int start = 0;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (across >= start && across < start + rows[r])
                row = static_cast<int>(r);
            start += rows[r];
        }
        if (across < 0 && !rows.empty()) {
            for (Place& p2 : places_)
                ++p2.row;  // a new row before the others
            row = 0;
        } else if (row < 0) {
            row = static_cast<int>(rows.size());
        }
        offset = std::max(0, along);
    } else if (!rows.empty()) {
        row = static_cast<int>(rows.size()) - 1;
        for (const Place& p2 : places_) {
            if (p2.row == row) {
                const TSize s = BarSize(*p2.bar);
                offset = std::max(offset, p2.offset + (Horizontal() ? s.cx : s.cy));
            }
        }
    }
    places_.push_back({&bar, row, offset});
    if (bar.IsWindow())
        bar.ShowWindow(SW_SHOW);
    LayoutBars();
}

void TEdgeSlip::Undock(TDockableControlBar& bar)
{
    std::erase_if(places_, [&](const Place& p) { return p.bar == &bar; });
    ForgetGone();
    // Rows left empty close up.
    std::map<int, int> renumber;
    for (const Place& p : places_)
        renumber[p.row] = 0;
    int next = 0;
    for (auto& [row, newRow] : renumber)
        newRow = next++;
    for (Place& p : places_)
        p.row = renumber[p.row];
    LayoutBars();
}

TSize TEdgeSlip::DesiredDecorationSize(TAbsLocation /*location*/, const TSize& room)
{
    ForgetGone();
    int total = 0;
    for (int t : RowThicknesses())
        total += t;
    return Horizontal() ? TSize(room.cx, total) : TSize(total, room.cy);
}

bool TEdgeSlip::DecorationChangedSize(TWindow& decoration)
{
    if (std::none_of(places_.begin(), places_.end(), [&](const Place& p) { return p.bar == &decoration; }))
        return false;
    LayoutBars();
    return true;
}

void TEdgeSlip::PlaceBars()
{
    ForgetGone();
    const std::vector<int> rows = RowThicknesses();
    int rowStart = 0;
    int row = 0;
    int end = 0;  // where the last bar of the row ends
    for (const Place& p : PlacesInOrder()) {
        while (row < p.row) {
            rowStart += rows[static_cast<std::size_t>(row)];
            ++row;
            end = 0;
        }
        if (!p.bar->IsWindow())
            continue;
        const TSize s = BarSize(*p.bar);
        const int thickness = rows[static_cast<std::size_t>(row)];
        const int at = std::max(p.offset, end);
        if (Horizontal())
            p.bar->MoveWindow(at, rowStart, s.cx, thickness);
        else
            p.bar->MoveWindow(rowStart, at, thickness, s.cy);
        end = at + (Horizontal() ? s.cx : s.cy);
    }
}

void TEdgeSlip::LayoutBars()
{
    PlaceBars();
    if (auto* frame = dynamic_cast<TDecoratedFrame*>(GetParentO()))
        frame->Layout();
}

void TEdgeSlip::EvSize(UINT /*sizeType*/, const TSize& /*size*/)
{
    PlaceBars();
    DefaultProcessing();
}
