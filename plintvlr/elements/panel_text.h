#pragma once
// Text in a panel font, drawn as the panel shows it: laid out in a box of
// columns x rows character cells of the font, as a monochrome picture,
// optionally turned to read from bottom to top, then stretched onto the
// destination in the colour. Printers get the picture through a brush of the
// colour when they can stretch bitmaps, else as a device-independent bitmap
// in the colour; white prints as black, since white on paper is nothing.

#include "platform/base/color.h"
#include "platform/base/geometry.h"
#include "platform/gdi/bitmap.h"

#include <string>

class TDC;

// The monochrome picture of a text as DrawPanelText lays it out. Laying a
// text out in its font costs far more than stretching the picture onto a
// page, so a text element keeps its picture between paints. The picture
// depends on nothing but the text, the layout, the font's face and cell and
// the font table (never on the colour, the place or the scale it is drawn
// at); it is made again whenever any of these differs from what it was made
// with. A copy starts empty, so no two elements share one.
class TPanelTextPicture {
public:
    TPanelTextPicture() = default;
    TPanelTextPicture(const TPanelTextPicture&) {}
    TPanelTextPicture& operator=(const TPanelTextPicture&)
    {
        Forget();
        return *this;
    }

    // The picture for these; no bitmap (IsOK false) when the box has no
    // pixels or is larger than any text picture drawn. Very large pictures
    // are made each time rather than kept.
    TBitmap Get(const std::string& text, bool horizontal, int columns, int rows, int justification, int fontNumber);
    void Forget();

private:
    struct Key {
        std::string text;
        std::string face;
        TSize cell;
        bool horizontal = true;
        int columns = 0;
        int rows = 0;
        int justification = 0;
        unsigned fontTable = 0;
        bool operator==(const Key&) const = default;
    };

    Key key_;
    bool made_ = false;
    TBitmap picture_;
};

// Justification: 0 left, 1 centre, 2 right; any other value counts as left.
// With a kept picture, the text is laid out only when that picture is out of
// date.
void DrawPanelText(TDC& dc, const TRect& destination, const std::string& text, TColor color, bool horizontal,
                   int columns, int rows, int justification, int fontNumber, TPanelTextPicture* kept = nullptr);
