#include "plintvlr/pageedit/draw_window.h"

#include "plintvlr/dataelements/touch_grid.h"
#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/palette.h"
#include "plintvlr/elements/panel_queries.h"
#include "plintvlr/pageedit/convert_dlg.h"

#include "plintvlr/pageedit/canvas_cursors.h"
#include "plintvlr/pageedit/page_browser.h"
#include "plintvlr/pageedit/size_rect_manager.h"
#include "plintvlr/shell/main_frame.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/window_dc.h"
#include "platform/ui/backing_image.h"
#include "platform/ui/window_api.h"

#include <QImage>

#include <cstdlib>

namespace {

constexpr UINT kSelectTool = 306;

int OpenPanelType()
{
    return _QSglobals.GetDatabase().GetPanelType();
}

// A context that only converts: the page mapping of a client area of the
// given size over a one-pixel image, so conversions need no window.
class TMappingDC {
public:
    TMappingDC(const DrawWindow& canvas) : image_(1, 1, QImage::Format_RGB32), dc_(image_)
    {
        canvas.SetPageMapping(dc_);
    }
    TDC& operator*() { return dc_; }

private:
    QImage image_;
    TDC dc_;
};

}  // namespace

TSize DrawWindow::OpenPanelScreen()
{
    const Quellstor panel(OpenPanelType());
    return {panel.displayWidth, panel.displayHeight};
}

DrawWindow::DrawWindow(TWindow* parent, const char* title, TSize screen, TModule* module)
    : TWindow(parent, title, module), screen_(screen), panel_(OpenPanelType()), tool_(kSelectTool)
{
    Attr.Style |= WS_CHILD | WS_VISIBLE | WS_THICKFRAME;
    model_ = std::make_unique<SizeRectManager>(this, true);
    touchGrid_ = MakeTouchGrid(panel_);
    polyline_.reserve(11);
    if (!IsTextPanel())
        grid_.LoadProfile();
    RegisterCanvasCursors();
    RegisterCanvasMenu();
    // The tracking outline is drawn in XOR outside paint requests.
    KeepBackingImage(*this);
}

DrawWindow::~DrawWindow()
{
    model_.reset();
    touchGrid_.reset();
    if (animating_ && IsWindow())
        KillTimer(kAnimationTimer);
    polyline_.clear();
    if (!IsTextPanel())
        grid_.SaveProfile();
    CloseTemplatePicker();
}

void DrawWindow::SetupWindow()
{
    TWindow::SetupWindow();
    animating_ = false;
    // Text pages snap to the character cells of the panel's font and show them.
    if (IsTextPanel())
        grid_.SetUpTextPanel(::GetFontSize(0));
}

void DrawWindow::CleanupWindow()
{
    if (animating_)
        KillTimer(kAnimationTimer);
    TWindow::CleanupWindow();
}

// --- The page -------------------------------------------------------------

std::uint16_t DrawWindow::LoadPage(int mode, std::uint32_t number)
{
    const std::uint16_t key = model_->LoadPage(mode, number);
    Invalidate(true);
    polyline_.clear();
    polylineFlag_ = false;
    SetTool(kSelectTool);
    // Pages of projects made before tags existed are offered the conversion.
    if (_QSglobals.GetDatabase().IsOld() && IsWindow())
        ::PostMessage(GetHandle(), kConvertToTagsMessage, 0, 0);
    return key;
}

bool DrawWindow::SavePage(int mode, std::uint32_t number)
{
    if (animating_) {
        KillTimer(kAnimationTimer);
        animating_ = false;
    }
    return model_->SavePage(mode, number);
}

void DrawWindow::ShowPage(int page)
{
    ActivePageEditor* editor = GetActivePageEditor();
    if (editor && editor->AskSave())
        editor->OpenPage(page);
}

void DrawWindow::LoadElementsFromRecord(const std::vector<std::uint8_t>& record)
{
    model_->LoadFromRecord(record);
    Invalidate(true);
}

void DrawWindow::SetTemplatePage(int page)
{
    model_->SetTemplatePage(page);
}

int DrawWindow::GetCurrentKey() const
{
    return model_->GetCurrentKey();
}

// --- Mapping -----------------------------------------------------------------

void DrawWindow::SetPageMapping(TDC& dc) const
{
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(TSize(screen_.cx * kPixel, screen_.cy * kPixel));
    const TRect client = GetClientRect();
    dc.SetViewportExt(TSize(std::max(client.Width(), 1), std::max(client.Height(), 1)));
}

TPoint DrawWindow::DeviceToPagePoint(const TPoint& point) const
{
    TMappingDC dc(*this);
    TPoint p = point;
    (*dc).DPtoLP(&p);
    // Whole pixels: truncated toward zero.
    return {p.x / kPixel * kPixel, p.y / kPixel * kPixel};
}

TRect DrawWindow::LogicalToDeviceRect(const TRect& rect) const
{
    TMappingDC dc(*this);
    TPoint corners[2] = {rect.TopLeft(), rect.BottomRight()};
    (*dc).LPtoDP(corners, 2);
    return {corners[0], corners[1]};
}

TRect DrawWindow::DeviceToLogicalRect(const TRect& rect) const
{
    TMappingDC dc(*this);
    TPoint corners[2] = {rect.TopLeft(), rect.BottomRight()};
    (*dc).DPtoLP(corners, 2);
    return {corners[0], corners[1]};
}

TRect DrawWindow::DeviceToLogicalRect(const TRect& rect)
{
    return static_cast<const DrawWindow&>(*this).DeviceToLogicalRect(rect);
}

TSize DrawWindow::PageSizeToPixels(const TSize& size)
{
    return {(size.cx + kPixel / 2) / kPixel, (size.cy + kPixel / 2) / kPixel};
}

TPoint DrawWindow::PageToPanel(const TPoint& point) const
{
    return {(point.x + kPixel / 2) / kPixel, screen_.cy - (point.y + kPixel / 2) / kPixel};
}

// --- Painting and page state ----------------------------------------------------

void DrawWindow::InvalidateLogicalRect(const TRect& rect)
{
    if (IsWindow() && !rect.IsEmpty())
        InvalidateRect(LogicalToDeviceRect(rect).Normalized().Inflate(1, 1), true);
}

TColor DrawWindow::GetWindowBackground() const
{
    if (background_ != 0)
        return PaletteColor(background_);
    return IsColorPanel() ? TColor::Black : TColor::White;
}

TColor DrawWindow::GetTrackingColor() const
{
    return IsColorPanel() ? TColor::White : TColor::Black;
}

void DrawWindow::SetBackgroundColor(int index)
{
    if (index == background_)
        return;
    background_ = index;
    Invalidate(true);
    model_->SetModified();
}

void DrawWindow::SetSelectionFont(int fontNumber)
{
    // Only within the program's own frame, as the element clipboard.
    if (MDIFrame::GetMainFrame() && model_->SelectionCount() > 0)
        model_->SetFontOfSelection(fontNumber);
}

void DrawWindow::Paint(TDC& dc, bool, TRect&)
{
    const TRect client = GetClientRect();
    if (client.IsEmpty())
        return;
    if (!dc.IsPrinter())
        dc.FillRect(client, TBrush(GetWindowBackground()));
    SetPageMapping(dc);
    if (grid_.linesShown && !dc.IsPrinter()) {
        grid_.SetLineColor(background_);
        grid_.grid.Paint(dc, screen_);
    }
    if (touchGrid_ && !dc.IsPrinter())
        touchGrid_->Paint(dc);
    model_->DrawPage(dc);
    if (polyline_.size() > 1) {
        dc.SelectObject(TPen(GetTrackingColor(), kPixel));
        dc.Polyline(polyline_.data(), static_cast<int>(polyline_.size()));
        dc.RestorePen();
    }
}

// --- Tools and modes --------------------------------------------------------------

void DrawWindow::SetPickupFlag(bool on)
{
    pickup_ = on;
    SetTool(kSelectTool);
}

// --- The graphics grid ------------------------------------------------------------

TSize DrawWindow::GridStep() const
{
    return {grid_.grid.unitX * kPixel, grid_.grid.unitY * kPixel};
}

void DrawWindow::SnapToGrid(TPoint& point) const
{
    grid_.grid.Snap(point, screen_.cy);
}

void DrawWindow::WithClientDC(const std::function<void(TDC&)>& draw)
{
    if (!IsWindow())
        return;
    TClientDC dc(GetHandle());
    draw(dc);
}
