#pragma once
// Text in a panel font, drawn as the panel shows it: laid out in a box of
// columns x rows character cells of the font, as a monochrome picture,
// optionally turned to read from bottom to top, then stretched onto the
// destination in the colour. Printers get the picture through a brush of the
// colour when they can stretch bitmaps, else as a device-independent bitmap
// in the colour; white prints as black, since white on paper is nothing.

#include "platform/base/color.h"
#include "platform/base/geometry.h"

#include <string>

class TDC;

// Justification: 0 left, 1 centre, 2 right; any other value counts as left.
void DrawPanelText(TDC& dc, const TRect& destination, const std::string& text, TColor color, bool horizontal,
                   int columns, int rows, int justification, int fontNumber);
