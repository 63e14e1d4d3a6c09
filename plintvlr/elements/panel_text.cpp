#include "plintvlr/elements/panel_text.h"

#include "platform/base/dib.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/gdi/memory_dc.h"
#include "plintvlr/elements/panel_queries.h"

namespace {

// The largest text picture drawn: a damaged record must not make a huge bitmap.
constexpr int kMaxPictureSide = 4096;

UINT JustifyFormat(int justification)
{
    switch (justification) {
    case 1:
        return DT_CENTER;
    case 2:
        return DT_RIGHT;
    default:
        return DT_LEFT;
    }
}

// A quarter turn counter-clockwise: (x, y) goes to (y, width - 1 - x).
TBitmap TurnLeft(const TBitmap& picture)
{
    const int width = picture.Width();
    const int height = picture.Height();
    TBitmap turned(height, width);
    TMemoryDC from(picture);
    TMemoryDC to(turned);
    to.PatBlt(0, 0, height, width, WHITENESS);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (from.GetPixel(x, y) == TColor::Black)
                to.SetPixel(y, width - 1 - x, TColor::Black);
    return turned;
}

}  // namespace

void DrawPanelText(TDC& dc, const TRect& destination, const std::string& text, TColor color, bool horizontal,
                   int columns, int rows, int justification, int fontNumber)
{
    const TSize cell = GetFontSize(fontNumber);
    const int width = cell.cx * columns;
    const int height = cell.cy * rows;
    if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide)
        return;

    TBitmap picture(width, height);
    {
        TMemoryDC memory(picture);
        memory.PatBlt(0, 0, width, height, WHITENESS);
        memory.SelectObject(TFont(GetFontName(fontNumber).c_str(), cell.cy, cell.cx, 0, 0, FW_NORMAL));
        memory.SetBkMode(TRANSPARENT);
        memory.SetTextColor(TColor::Black);
        TRect box(0, 0, width, height);
        memory.DrawText(text.c_str(), -1, box, DT_NOPREFIX | DT_WORDBREAK | JustifyFormat(justification));
    }
    if (!horizontal)
        picture = TurnLeft(picture);
    const TRect source(0, 0, picture.Width(), picture.Height());

    TMemoryDC memory(picture);
    dc.SaveDC();
    if (!dc.IsPrinter()) {
        // Black text pixels cut the text out, then the colour goes into the cut.
        dc.SetTextColor(TColor::Black);
        dc.SetBkColor(TColor::White);
        dc.StretchBlt(destination, memory, source, SRCAND);
        if (color != TColor::Black) {
            dc.SetTextColor(color);
            dc.SetBkColor(TColor::Black);
            dc.StretchBlt(destination, memory, source, SRCPAINT);
        }
    } else {
        const TColor ink = color == TColor::White ? TColor::Black : color;
        if (dc.GetDeviceCaps(RASTERCAPS) & RC_STRETCHBLT) {
            // The brush's colour where the picture is black, the paper elsewhere.
            dc.SetTextColor(TColor::Black);
            dc.SetBkColor(TColor::White);
            dc.SelectObject(TBrush(ink));
            dc.StretchBlt(destination, memory, source, 0xB8074A);
        } else {
            TDib dib = picture.ToDib();
            dib.SetColor(0, DibColor{static_cast<BYTE>(ink.Red()), static_cast<BYTE>(ink.Green()),
                                     static_cast<BYTE>(ink.Blue())});
            dc.StretchDIBits(destination, source, dib, SRCCOPY);
        }
    }
    dc.RestoreDC();
}
