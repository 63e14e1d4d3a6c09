#include "plintvlr/elements/clr_frame.h"

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/pen.h"
#include "plintvlr/elements/palette.h"
#include "plintvlr/elements/panel_queries.h"

#include <algorithm>

namespace {

constexpr int kPixel = kUnitsPerPixel;

void Fill(TDC& dc, int left, int top, int width, int height)
{
    if (width > 0 && height > 0)
        dc.PatBlt(left, top, width, height, PATCOPY);
}

void Outline(TDC& dc, const TRect& rect)
{
    dc.SelectObject(TPen(PaletteColor(kBlack), kPixel, PS_INSIDEFRAME));
    dc.SelectObject(TBrush::Hollow());
    dc.Rectangle(rect);
}

}  // namespace

void TClrFrame::Draw(TDC& dc, const TRect& rect) const
{
    const bool mono = !IsColorPanel();
    // The side width as stored; a monochrome frame of 1 would be all outline.
    long long w = mono && width == 1 ? 2 : width;
    if (w < 0)
        w = 0;
    TRect r = rect;
    if (!inside) {
        const int grow = static_cast<int>(std::min<long long>(w * kPixel, 1 << 24));
        r = r.Inflate(grow, grow);
    }
    // One band per ring: a stored width beyond half the smaller side paints
    // as that half, so no width can make the painting run away.
    const int rings = static_cast<int>(std::min<long long>(w, std::min(r.Width(), r.Height()) / kPixel / 2));
    const int light = mono ? kWhite : LighterColor(color);
    const int dark = mono ? kBlack : DarkerColor(color);
    const bool raised = style == 0;
    const int W = r.Width();
    const int H = r.Height();

    dc.SaveDC();
    if (mono)
        Outline(dc, r);
    const int first = mono ? 1 : 0;
    dc.SelectObject(TBrush(PaletteColor(raised ? light : dark)));
    for (int i = first; i < rings; ++i) {
        Fill(dc, r.left + kPixel * i, r.top + kPixel * i, W - 2 * kPixel * i, kPixel);
        Fill(dc, r.left + kPixel * i, r.top + kPixel * i, kPixel, H - 2 * kPixel * i);
    }
    const int k = raised ? 0 : 1;
    dc.SelectObject(TBrush(PaletteColor(raised ? dark : light)));
    for (int i = first; i < rings; ++i) {
        Fill(dc, r.right - kPixel * (i + 1), r.top + kPixel * (i + k), kPixel, H - kPixel * (2 * i + k));
        Fill(dc, r.left + kPixel * (i + k), r.bottom - kPixel * (i + 1), W - kPixel * (2 * i + k), kPixel);
    }
    const TRect face = r.Inflate(-rings * kPixel, -rings * kPixel);
    dc.SelectObject(TBrush(PaletteColor(mono ? static_cast<int>(kWhite) : color)));
    Fill(dc, face.left, face.top, face.Width(), face.Height());
    if (mono && rings > 2)
        Outline(dc, r.Inflate(-(rings - 1) * kPixel, -(rings - 1) * kPixel));
    dc.RestoreDC();
}
