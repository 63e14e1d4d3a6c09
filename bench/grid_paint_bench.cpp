// The grid's painting, offscreen: a five-column grid in a 400 x 300 host
// with 50, 200 and 1,000 rows. A full repaint should cost the same at every
// row count (only the visible rows are painted); a 10-pixel horizontal
// scroll and a 20-pixel column resize should cost at most a third of a full
// repaint (only the exposed strip and the resized column are painted). The
// "of_full_repaint" counters give those ratios, measured in the same run.

#include "bench/headless_ui.h"
#include "platform/ui/application.h"
#include "platform/ui/window.h"
#include "plintvlr/shell/controls/grid.h"
#include "plintvlr/shell/controls/grid_cells.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace {


class TBenchGrid : public TrmtGrid {
public:
    TBenchGrid(TWindow* parent, int rows)
        : TrmtGrid(parent, 100, 0, 0, 400, 300, 5, 0x893F | GS_RESIZECOLUMNS)
    {
        for (int i = 0; i < rows; ++i)
            AddRow(new TGUShortEdit(parent, kGridFirstRowId + i, 1, 0, 0, 90, 12, 11, 0, 65535),
                   ("Word " + std::to_string(i + 1)).c_str(), DT_RIGHT);
    }
    const void* GetCellText(int column, int rowId) override
    {
        static const char* headers[] = {"Value", "Second", "Third", "Fourth", "Fifth"};
        if (rowId == 0)
            return headers[column];
        value_ = static_cast<std::uint16_t>(rowId * 7 + column);
        return &value_;
    }
    void SetCellText(int, int, const void*) override {}

private:
    std::uint16_t value_ = 0;
};

struct THost {
    explicit THost(int rows)
    {
        window = std::make_unique<TWindow>(nullptr, "grid bench");
        window->Attr.X = 0;
        window->Attr.Y = 0;
        window->Attr.W = 400;
        window->Attr.H = 300;
        grid = new TBenchGrid(window.get(), rows);
        window->Create();
        window->ShowWindow(SW_SHOW);
        QApplication::processEvents();
    }
    std::unique_ptr<TWindow> window;
    TBenchGrid* grid = nullptr;
};

THost& HostWith(int rows)
{
    StartHeadlessUi("grid_paint_bench");
    // The hosts live as long as the program, as the application does.
    static auto* hosts = new std::map<int, THost*>;
    THost*& host = (*hosts)[rows];
    if (!host)
        host = new THost(rows);
    return *host;
}

void FullRepaint(THost& host)
{
    host.grid->Invalidate();
    host.grid->GetClient()->Invalidate();
    host.grid->GetTitle()->Invalidate();
    host.grid->GetVerticalBar()->Invalidate();
    host.grid->UpdateWindow();
}

// Alternates the direction so that the grid stays where it started.
void HorizontalScroll(THost& host, int step)
{
    host.grid->ScrollHorizontally(step % 2 ? -10 : 10);
}

void VerticalScroll(THost& host, int step)
{
    host.grid->ScrollRows(step % 2 ? -1 : 1);
}

void ColumnResize(THost& host, int step)
{
    host.grid->ResizeColumn(1, step % 2 ? -20 : 20, 8);
}

double SecondsPer(THost& host, const std::function<void(THost&, int)>& op, int count)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i)
        op(host, i);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / count;
}

void Run(benchmark::State& state, const std::function<void(THost&, int)>& op, bool ratio)
{
    THost& host = HostWith(static_cast<int>(state.range(0)));
    int step = 0;
    for (auto _ : state)
        op(host, step++);
    if (step % 2)
        op(host, step);
    if (ratio) {
        const double full = SecondsPer(host, [](THost& h, int) { FullRepaint(h); }, 50);
        const double part = SecondsPer(host, op, 50);
        state.counters["of_full_repaint"] = part / full;
    }
}

void BM_FullRepaint(benchmark::State& state)
{
    Run(state, [](THost& h, int) { FullRepaint(h); }, false);
}

void BM_HorizontalScroll10(benchmark::State& state)
{
    Run(state, HorizontalScroll, true);
}

void BM_VerticalScrollOneRow(benchmark::State& state)
{
    Run(state, VerticalScroll, true);
}

void BM_ColumnResize20(benchmark::State& state)
{
    Run(state, ColumnResize, true);
}

BENCHMARK(BM_FullRepaint)->Arg(50)->Arg(200)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HorizontalScroll10)->Arg(50)->Arg(200)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VerticalScrollOneRow)->Arg(50)->Arg(200)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ColumnResize20)->Arg(50)->Arg(200)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
