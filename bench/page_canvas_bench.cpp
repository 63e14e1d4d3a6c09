// The page canvas on a page of 1,000 elements (rectangles, circles, frames,
// lines and shapes, formatted texts and tag displays in panel fonts, a few
// bitmaps) in the mix and sizes of gdi_draw_bench.
//
// - Full redraw: the canvas paints the whole page into an image, against the
//   platform's raw drawing of the same primitives through TDC into an image
//   of the same size. Goal: canvas_over_raw at most 1.5.
// - An edit: one element moved with MoveSelection, then what it invalidated
//   painted. Goal: edit_over_full at most 0.05.
// Both are measured side by side in one run and reported as counters. The
// texts are drawn in the panel fonts of the program's font file, as the
// program draws them.

#include "bench/headless_ui.h"
#include "bench/program_font.h"
#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/bitmap_elem.h"
#include "plintvlr/elements/format_text.h"
#include "plintvlr/elements/lines_elem.h"
#include "plintvlr/elements/point_elem.h"
#include "plintvlr/elements/reg_fig_elem.h"
#include "plintvlr/pageedit/draw_window.h"
#include "plintvlr/pageedit/size_rect_manager.h"
#include "plintvlr/pageedit/page_summary.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font_registry.h"
#include "platform/gdi/window_dc.h"
#include "platform/ui/backing_image.h"
#include "platform/ui/frame_window.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kPanelType = 14;
constexpr int kItems = 1000;
constexpr int kRounds = 20;

// Found once, before the first page points the program folder elsewhere.
const std::string& PanelFontFile()
{
    static const std::string file = ProgramFont();
    return file;
}

struct Item {
    int kind;
    TRect r;  // page units
};

std::vector<Item> MakeItems(const TSize& screen)
{
    std::mt19937 random(20240611);
    auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    std::vector<Item> items;
    for (int i = 0; i < kItems; ++i) {
        const int w = between(4, std::min(80, screen.cx / 4)) * 20;
        const int h = between(4, std::min(60, screen.cy / 4)) * 20;
        const int x = between(0, screen.cx - w / 20) * 20;
        const int y = between(0, screen.cy - h / 20) * 20;
        // One bitmap in fifty; the rest in turn.
        const int kind = i % 50 == 49 ? 7 : i % 7;
        items.push_back({kind, TRect(x, y, x + w, y + h)});
    }
    return items;
}

std::unique_ptr<SizeRect> MakeElement(const Item& item)
{
    const TRect& r = item.r;
    switch (item.kind) {
    case 0:
        return std::make_unique<TRegFigElem>(TRegFigElem::kRectangle, r.TopLeft(), r.BottomRight());
    case 1:
        return std::make_unique<TRegFigElem>(TRegFigElem::kCircle, r.TopLeft(), r.BottomRight());
    case 2:
        return std::make_unique<TRegFigElem>(TRegFigElem::kFrame, r.TopLeft(), r.BottomRight());
    case 3:
        return std::make_unique<LinesElem>(std::vector<TPoint>{
            r.TopLeft(), TPoint(r.right, r.top + r.Height() / 3), TPoint(r.left + r.Width() / 2, r.bottom)});
    case 4: {
        auto shape = std::make_unique<LinesElem>(std::vector<TPoint>{
            TPoint(r.left + r.Width() / 2, r.top), r.BottomRight(), TPoint(r.left, r.bottom)});
        shape->SetFilled(true);
        return shape;
    }
    case 5:
        return std::make_unique<TFormatText>(r, "Pump 1", true);
    case 6:
        return NewPointElem(r.TopLeft(), r.BottomRight(), item.r.left % 40 == 0);
    default:
        return std::make_unique<BitmapElem>(r.TopLeft(), r.BottomRight());
    }
}

// The same primitives drawn straight through TDC: outlines, fills, polylines
// and polygons, text cells and stretched pictures.
void RawDraw(TDC& dc, const std::vector<Item>& items, const TSize& screen, const TSize& client, const QImage& picture)
{
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(TSize(screen.cx * 20, screen.cy * 20));
    dc.SetViewportExt(client);
    dc.FillRect(TRect(0, 0, screen.cx * 20, screen.cy * 20), TBrush(TColor::Black));
    QImage source = picture;
    TDC pictureDc(source);
    const TFont font("ANSI Zobrel 8x12", 12 * 20);
    for (const Item& item : items) {
        const TRect& r = item.r;
        switch (item.kind) {
        case 0:
        case 2:
            dc.SelectObject(TPen(TColor::White, 20));
            dc.SelectObject(TBrush::Hollow());
            dc.Rectangle(r);
            break;
        case 1:
            dc.SelectObject(TPen(TColor::White, 20));
            dc.SelectObject(TBrush::Hollow());
            dc.Ellipse(r);
            break;
        case 3: {
            dc.SelectObject(TPen(TColor::White, 20));
            const TPoint points[] = {r.TopLeft(), TPoint(r.right, r.top + r.Height() / 3),
                                     TPoint(r.left + r.Width() / 2, r.bottom)};
            dc.Polyline(points, 3);
            break;
        }
        case 4: {
            dc.SelectObject(TPen(TColor::White, 20));
            dc.SelectObject(TBrush(TColor::White));
            const TPoint points[] = {TPoint(r.left + r.Width() / 2, r.top), r.BottomRight(), TPoint(r.left, r.bottom)};
            dc.Polygon(points, 3);
            break;
        }
        case 5:
        case 6:
            dc.SelectObject(font);
            dc.SetTextColor(TColor::White);
            dc.SetBkMode(TRANSPARENT);
            dc.TextOut(r.left, r.top, "Pump 1");
            break;
        default:
            dc.StretchBlt(r, pictureDc, TRect(0, 0, source.width(), source.height()));
            break;
        }
    }
    dc.RestoreObjects();
}

// The page editor around the canvas: repaints go to the canvas.
class BenchEditor : public ActivePageEditor {
public:
    explicit BenchEditor(int panelType) : panel_(panelType) {}
    const Quellstor& GetPanelModel() const override { return panel_; }
    void InvalidateLogicalRect(const TRect& rect) override { canvas->InvalidateLogicalRect(rect); }
    TRect LogicalToDeviceRect(const TRect& rect) const override { return canvas->LogicalToDeviceRect(rect); }
    TRect DeviceToLogicalRect(const TRect& rect) const override
    {
        return static_cast<const DrawWindow*>(canvas)->DeviceToLogicalRect(rect);
    }
    void SetPageModified() override {}
    bool IsAnimating() const override { return false; }
    void SetPickupMode(bool) override {}
    void SetSelectionFont(int) override {}
    TMDIClient* GetMDIClient() const override { return nullptr; }
    TWindow* GetMessageOwner() const override { return nullptr; }
    void SnapToGraphicsGrid(TPoint& point) const override { canvas->SnapToGrid(point); }

    DrawWindow* canvas = nullptr;

private:
    Quellstor panel_;
};

class CanvasPage {
public:
    CanvasPage()
    {
        StartHeadlessUi("page_canvas_bench");
        fontAdded_ = AddFontResource(PanelFontFile().c_str()) > 0;
        char pattern[] = "/tmp/plv-canvas-bench-XXXXXX";
        folder_ = ::mkdtemp(pattern);
        ::setenv("PLV_PROGRAM_DIR", folder_.c_str(), 1);
        ::setenv("PLV_PROFILE_DIR", (folder_ + "/profile").c_str(), 1);
        _QSglobals.SetProgramDirectory(folder_);
        adatabase& db = _QSglobals.NewDatabase();
        db.SetPanelType(kPanelType);
        db.Create("BENCH");
        db.OpenProject("BENCH");
        RegisterPageEditCoreServices();
        RegisterGroupMemberReader();

        canvas_ = new DrawWindow();
        editor_ = std::make_unique<BenchEditor>(kPanelType);
        editor_->canvas = canvas_;
        SetActivePageEditor(editor_.get());
        frame_ = std::make_unique<TFrameWindow>(nullptr, "Canvas", canvas_);
        screen_ = canvas_->GetScreenSize();
        frame_->Attr.W = screen_.cx * 8 / 5;
        frame_->Attr.H = screen_.cy * 8 / 5;
        frame_->Create();
        frame_->ShowWindow(SW_SHOW);
        items_ = MakeItems(screen_);
        for (const Item& item : items_)
            canvas_->GetModel().AddElement(MakeElement(item));
        canvas_->GetModel().DeselectAll();
        client_ = canvas_->GetClientRect().Size();
        picture_ = QImage(32, 24, QImage::Format_RGB32);
        picture_.fill(Qt::darkCyan);
    }
    ~CanvasPage()
    {
        SetActivePageEditor(nullptr);
        frame_->Destroy();
        frame_.reset();
        _QSglobals.NewDatabase();
        std::filesystem::remove_all(folder_);
        if (fontAdded_)
            RemoveFontResource(PanelFontFile().c_str());
    }

    bool HasPanelFonts() const { return fontAdded_; }

    double FullRedraw()
    {
        QImage image(client_.cx, client_.cy, QImage::Format_RGB32);
        TDC dc(image);
        TRect all(TPoint(0, 0), client_);
        return Time([&] { canvas_->Paint(dc, true, all); });
    }

    double RawRedraw()
    {
        QImage image(client_.cx, client_.cy, QImage::Format_RGB32);
        TDC dc(image);
        return Time([&] { RawDraw(dc, items_, screen_, client_, picture_); });
    }

    // One element moved there and back; what each move invalidated is
    // painted into the canvas's image.
    double Edit()
    {
        SizeRectManager& model = canvas_->GetModel();
        SizeRect* element = model.GetElements()[kItems / 2];
        model.DeselectAll();
        canvas_->UpdateWindow();
        return Time([&] {
            element->Select(true);
            model.MoveSelection(kDragMove, TSize(40, 40));
            canvas_->UpdateWindow();
            model.MoveSelection(kDragMove, TSize(-40, -40));
            canvas_->UpdateWindow();
            element->Select(false);
        }) / 2;
    }

private:
    // The processor time of this thread, so that other work on a loaded
    // machine does not count: the canvas paints in the thread that asks.
    static double ThreadSeconds()
    {
        timespec now{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    }

    template <class F>
    static double Time(F&& work)
    {
        work();  // warm
        const double start = ThreadSeconds();
        for (int i = 0; i < kRounds; ++i)
            work();
        return (ThreadSeconds() - start) / kRounds;
    }

    bool fontAdded_ = false;
    std::string folder_;
    DrawWindow* canvas_ = nullptr;
    std::unique_ptr<BenchEditor> editor_;
    std::unique_ptr<TFrameWindow> frame_;
    TSize screen_;
    TSize client_;
    std::vector<Item> items_;
    QImage picture_;
};

void BM_PageCanvas(benchmark::State& state)
{
    CanvasPage page;
    if (!page.HasPanelFonts()) {
        state.SkipWithError(("no panel fonts at " + PanelFontFile() + " (set PLV_PROGRAM_FONT)").c_str());
        return;
    }
    double canvas = 0;
    double raw = 0;
    double edit = 0;
    for (auto _ : state) {
        canvas = page.FullRedraw();
        raw = page.RawRedraw();
        edit = page.Edit();
        state.SetIterationTime(canvas);
    }
    state.counters["canvas_ms"] = canvas * 1000;
    state.counters["raw_ms"] = raw * 1000;
    state.counters["edit_ms"] = edit * 1000;
    state.counters["canvas_over_raw"] = raw > 0 ? canvas / raw : 0;
    state.counters["edit_over_full"] = canvas > 0 ? edit / canvas : 0;
}
BENCHMARK(BM_PageCanvas)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
