// The cost of the page editor's everyday edits on pages of 100 and of 1,000
// mixed elements (texts, tag displays, lines, figures, bitmaps, groups): a
// click that selects one element, a move of it with its undo snapshot, and
// the undo of that move. Elements change places as objects, and a snapshot
// copies only what an operation touched, so none of these should grow with
// the page.
//
// Goals on both page sizes: no element copy for the click, one for the move
// (its snapshot), at most one for the undo ("copies" counts every element
// object copied, members of groups included); and a click on the
// 1,000-element page within a tenth of the time one copy of the whole page
// takes ("share_of_page_copy" is that ratio, measured in the same run).

#include "bench/headless_ui.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/bitmap_elem.h"
#include "plintvlr/elements/combo_elem.h"
#include "plintvlr/elements/format_text.h"
#include "plintvlr/elements/lines_elem.h"
#include "plintvlr/elements/point_elem.h"
#include "plintvlr/elements/reg_fig_elem.h"
#include "plintvlr/pageedit/size_rect_manager.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

namespace {

constexpr int kPanelType = 14;  // 240 x 112 pixels

long g_copies = 0;

// An element class that counts its copies.
template <class T>
class Counted : public T {
public:
    using T::T;
    Counted(const Counted& other) : T(other) { ++g_copies; }
    std::unique_ptr<SizeRect> Clone() const override { return std::make_unique<Counted>(*this); }
};

void Setup()
{
    StartHeadlessUi("page_undo_bench");
    _QSglobals.GetDatabase().SetPanelType(kPanelType);
    static PanelPageEditor editor(kPanelType);
    SetActivePageEditor(&editor);
    RegisterGroupMemberReader();
}

template <class T>
void Place(std::unique_ptr<T> element, const TRect& rect, SizeRectArray& into)
{
    static_cast<TRect&>(*element) = rect;
    into.Add(std::move(element));
}

// Elements of six kinds on a grid of 40 x 20 places of 6 x 5 pixels; the
// element to click lies alone near the top left, the rest below it.
void FillPage(SizeRectManager& model, int count)
{
    SizeRectArray& page = model.GetElements();
    for (int i = 0; page.Count() < count - 1; ++i) {
        const int x = (i % 40) * 120;
        const int y = 400 + (i / 40 % 20) * 90;
        const TRect r(x, y, x + 100, y + 80);
        switch (i % 6) {
        case 0: Place(std::make_unique<Counted<TFormatText>>(r.TopLeft(), r.BottomRight()), r, page); break;
        case 1: Place(std::make_unique<Counted<PointElem>>(r, "", true), r, page); break;
        case 2:
            page.Add(std::make_unique<Counted<LinesElem>>(std::vector<TPoint>{r.TopLeft(), r.BottomRight()}));
            break;
        case 3: Place(std::make_unique<Counted<TRegFigElem>>(TRegFigElem::kRectangle), r, page); break;
        case 4: Place(std::make_unique<Counted<BitmapElem>>(r.TopLeft()), r, page); break;
        default: {
            SizeRectArray members;
            Place(std::make_unique<Counted<TRegFigElem>>(TRegFigElem::kCircle), r, members);
            Place(std::make_unique<Counted<TFormatText>>(r.TopLeft(), r.BottomRight()), r, members);
            page.Add(std::make_unique<Counted<ComboElem>>(members));
        }
        }
    }
    const TRect alone(200, 100, 400, 200);
    Place(std::make_unique<Counted<TRegFigElem>>(TRegFigElem::kRectangle), alone, page);
    // Drawn first, as if it had been placed long ago.
    page.AddAt(page.Detach(page.Count() - 1), 0);
}

const TPoint kClickPoint(300, 150);

double SecondsToCopyPage(const SizeRectManager& model)
{
    const auto start = std::chrono::steady_clock::now();
    SizeRectArray copy;
    for (const auto& element : model.GetElements())
        SizeRectManager::AddClone(*element, copy);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_ClickSelectsOne(benchmark::State& state)
{
    Setup();
    SizeRectManager model(nullptr, true);
    FillPage(model, static_cast<int>(state.range(0)));
    double pageCopy = 0;
    for (int i = 0; i < 5; ++i)
        pageCopy += SecondsToCopyPage(model) / 5;
    g_copies = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        const bool hit = model.SelectAt(0, kClickPoint);
        benchmark::DoNotOptimize(hit);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double perClick = seconds / static_cast<double>(state.iterations());
    state.counters["copies"] = static_cast<double>(g_copies) / static_cast<double>(state.iterations());
    state.counters["share_of_page_copy"] = perClick / pageCopy;
    state.counters["page_copy_us"] = pageCopy * 1e6;
}

void BM_MoveWithSnapshot(benchmark::State& state)
{
    Setup();
    SizeRectManager model(nullptr, true);
    FillPage(model, static_cast<int>(state.range(0)));
    model.SelectAt(0, kClickPoint);
    g_copies = 0;
    int step = 0;
    for (auto _ : state)
        model.MoveSelection(kDragMove, {(step++ % 2) ? -40 : 40, 0});
    state.counters["copies"] = static_cast<double>(g_copies) / static_cast<double>(state.iterations());
}

void BM_UndoOfMove(benchmark::State& state)
{
    Setup();
    SizeRectManager model(nullptr, true);
    FillPage(model, static_cast<int>(state.range(0)));
    model.SelectAt(0, kClickPoint);
    long copies = 0;
    for (auto _ : state) {
        state.PauseTiming();
        model.MoveSelection(kDragMove, {40, 0});
        const long before = g_copies;
        state.ResumeTiming();
        model.Undo();
        copies += g_copies - before;
    }
    state.counters["copies"] = static_cast<double>(copies) / static_cast<double>(state.iterations());
}

void BM_CopyWholePage(benchmark::State& state)
{
    Setup();
    SizeRectManager model(nullptr, true);
    FillPage(model, static_cast<int>(state.range(0)));
    g_copies = 0;
    for (auto _ : state) {
        SizeRectArray copy;
        for (const auto& element : model.GetElements())
            SizeRectManager::AddClone(*element, copy);
        benchmark::DoNotOptimize(copy.Count());
    }
    state.counters["copies"] = static_cast<double>(g_copies) / static_cast<double>(state.iterations());
}

}  // namespace

BENCHMARK(BM_ClickSelectsOne)->Arg(100)->Arg(1000);
BENCHMARK(BM_MoveWithSnapshot)->Arg(100)->Arg(1000);
BENCHMARK(BM_UndoOfMove)->Arg(100)->Arg(1000);
BENCHMARK(BM_CopyWholePage)->Arg(100)->Arg(1000);
