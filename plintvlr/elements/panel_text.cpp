#include "plintvlr/elements/panel_text.h"

#include "platform/base/dib.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/gdi/font_registry.h"
#include "platform/gdi/memory_dc.h"
#include "plintvlr/elements/panel_queries.h"

namespace {

// The largest text picture drawn: a damaged record must not make a huge bitmap.
constexpr int kMaxPictureSide = 4096;
// Pictures of more pixels than this (4 MB) are not kept between paints.
constexpr long long kMaxKeptPixels = 1 << 20;

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

// The text laid out black on white in columns x rows cells of the font,
// turned when vertical.
TBitmap MakePicture(const std::string& text, const std::string& face, const TSize& cell, bool horizontal,
                    int columns, int rows, int justification)
{
    const int width = cell.cx * columns;
    const int height = cell.cy * rows;
    if (cell.cx <= 0 || cell.cy <= 0 || columns <= 0 || rows <= 0 || width > kMaxPictureSide ||
        height > kMaxPictureSide)
        return {};
    TBitmap picture(width, height);
    {
        TMemoryDC memory(picture);
        memory.PatBlt(0, 0, width, height, WHITENESS);
        memory.SelectObject(TFont(face.c_str(), cell.cy, cell.cx, 0, 0, FW_NORMAL));
        memory.SetBkMode(TRANSPARENT);
        memory.SetTextColor(TColor::Black);
        TRect box(0, 0, width, height);
        memory.DrawText(text.c_str(), -1, box, DT_NOPREFIX | DT_WORDBREAK | JustifyFormat(justification));
    }
    return horizontal ? picture : TurnLeft(picture);
}

}  // namespace

TBitmap TPanelTextPicture::Get(const std::string& text, bool horizontal, int columns, int rows, int justification,
                               int fontNumber)
{
    Key key{text, GetFontName(fontNumber), GetFontSize(fontNumber), horizontal, columns, rows, justification,
            FontTableGeneration()};
    if (made_ && key == key_)
        return picture_;
    TBitmap picture = MakePicture(text, key.face, key.cell, horizontal, columns, rows, justification);
    Forget();
    if (static_cast<long long>(picture.Width()) * picture.Height() <= kMaxKeptPixels) {
        key_ = std::move(key);
        picture_ = picture;
        made_ = true;
    }
    return picture;
}

void TPanelTextPicture::Forget()
{
    key_ = Key();
    picture_ = TBitmap();
    made_ = false;
}

void DrawPanelText(TDC& dc, const TRect& destination, const std::string& text, TColor color, bool horizontal,
                   int columns, int rows, int justification, int fontNumber, TPanelTextPicture* kept)
{
    if (!dc.RectVisible(destination))
        return;
    const TBitmap picture =
        kept ? kept->Get(text, horizontal, columns, rows, justification, fontNumber)
             : MakePicture(text, GetFontName(fontNumber), GetFontSize(fontNumber), horizontal, columns, rows,
                           justification);
    if (!picture.IsOK())
        return;
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
