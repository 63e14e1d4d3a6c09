#include "plintvlr/shell/graph_printout.h"

#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"
#include "platform/gdi/print_dc.h"
#include "platform/ui/window.h"
#include "platform/ui/window_api.h"

#include <algorithm>

namespace {

constexpr double kMaxPrintFactor = 8.0;
constexpr int kFramePenWidth = 12;

// The canvas resized for printing, and put back as it was whatever happens.
class TCanvasResize {
public:
    TCanvasResize(TWindow& window, TSize size) : window_(window), old_(window.GetWindowRect().Size())
    {
        window_.SendMessage(WM_SETREDRAW, 0);
        Resize(size);
    }
    ~TCanvasResize()
    {
        Resize(old_);
        window_.SendMessage(WM_SETREDRAW, 1);
    }
    TCanvasResize(const TCanvasResize&) = delete;
    TCanvasResize& operator=(const TCanvasResize&) = delete;

private:
    void Resize(TSize size)
    {
        window_.SetWindowPos(nullptr, 0, 0, size.cx, size.cy,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }

    TWindow& window_;
    TSize old_;
};

}  // namespace

double PrintScaleFactor(int printScale)
{
    return std::min(0.01 * printScale, kMaxPrintFactor);
}

GraphPrintout::GraphPrintout(const char* title, int pageNumber, TPrintCanvas& canvas)
    : TextPagePrintout(title, pageNumber), canvas_(canvas)
{
    SetBanding(true);
}

bool GraphPrintout::HasPage(int page)
{
    return page == 1 && !HasFailed();
}

void GraphPrintout::PrintPage(int page, TRect& band, unsigned)
{
    TPrintDC& dc = *GetPrintDC();
    if (!BeginPage(dc))
        return;
    const int dpiX = dc.GetDeviceCaps(LOGPIXELSX);
    const int dpiY = dc.GetDeviceCaps(LOGPIXELSY);
    TWindow& window = canvas_.GetCanvasWindow();
    const TRect client = window.GetClientRect();
    PrintHeader(dc, page);

    // The picture is as wide as the print scale says in inches, its height
    // in the canvas's proportions; a canvas without area has no picture.
    const double factor = PrintScaleFactor(Quellstor(_QSglobals.GetDatabase().GetPanelType()).GetPrintScale());
    const int width = static_cast<int>(dpiX * factor) - client.left;
    if (client.Width() <= 0 || client.Height() <= 0 || width <= 0)
        return;
    const int height = MulDiv(static_cast<int>(dpiY * factor), client.Height(), client.Width());
    if (height <= 0)
        return;

    const int oldMode = dc.SetMapMode(MM_ANISOTROPIC);
    const TSize oldWindowExt = dc.GetWindowExt();
    const TSize oldViewportExt = dc.GetViewportExt();
    const TPoint oldViewportOrg = dc.GetViewportOrg();
    dc.SetViewportExt(GetPageSize());
    // The picture starts below the header at the printer's own resolution.
    dc.SetViewportOrg(TPoint(0, MulDiv(currentY_, dpiY, 100)));
    dc.SetWindowExt(TSize(width, height));
    {
        TCanvasResize resize(window, TSize(width, height));
        dc.DPtoLP(band);
        window.Paint(dc, false, band);
        const TRect frame = canvas_.DeviceToLogicalRect(window.GetClientRect());
        dc.SelectObject(TPen(TColor::Black, kFramePenWidth));
        dc.SelectObject(TBrush::Hollow());
        dc.Rectangle(frame);
        dc.RestorePen();
        dc.RestoreBrush();
        dc.LPtoDP(band);
    }
    dc.SetMapMode(oldMode);
    dc.SetWindowExt(oldWindowExt);
    dc.SetViewportExt(oldViewportExt);
    dc.SetViewportOrg(oldViewportOrg);
}
