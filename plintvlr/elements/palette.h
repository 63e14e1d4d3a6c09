#pragma once
// The panel palette: 16 colours by index 0-15, with the names the page
// report uses, and the light and dark shades of bevelled frames. A stored
// byte that picks a colour is taken modulo 16, so no index from a record can
// reach outside the table.

#include "platform/base/color.h"

#include <string>

inline constexpr int kPaletteSize = 16;

enum PanelColor : int {
    kBlack = 0,
    kWhite = 1,
    kYellow = 2,
    kRed = 3,
    kBlue = 4,
    kGreen = 5,
    kCyan = 6,
    kMagenta = 7,
    kDarkGray = 8,
    kGray = 9,
    kDarkYellow = 10,
    kDarkRed = 11,
    kDarkBlue = 12,
    kDarkGreen = 13,
    kDarkCyan = 14,
    kDarkMagenta = 15,
};

inline constexpr int PaletteIndex(int index)
{
    return index & (kPaletteSize - 1);
}

// The RGB value drawn for a palette index.
TColor PaletteColor(int index);
// "black", "white", ... "dark magenta".
std::string PaletteColorName(int index);

// Edge shades of raised and recessed frames.
int LighterColor(int index);
int DarkerColor(int index);
