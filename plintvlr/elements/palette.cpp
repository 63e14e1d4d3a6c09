#include "plintvlr/elements/palette.h"

#include "plintvlr/elements/element_string_ids.h"
#include "plintvlr/shell/base/str.h"

namespace {

constexpr TColor kRgb[kPaletteSize] = {
    {0, 0, 0},     {255, 255, 255}, {255, 255, 0}, {255, 0, 0},   {0, 0, 255},   {0, 255, 0},
    {0, 255, 255}, {255, 0, 255},   {128, 128, 128}, {192, 192, 192}, {128, 128, 0}, {128, 0, 0},
    {0, 0, 128},   {0, 128, 0},     {0, 128, 128}, {128, 0, 128},
};

}  // namespace

TColor PaletteColor(int index)
{
    return kRgb[PaletteIndex(index)];
}

std::string PaletteColorName(int index)
{
    return Str(kStrColorBlack + PaletteIndex(index));
}

int LighterColor(int index)
{
    index = PaletteIndex(index);
    if (index == kBlack)
        return kDarkGray;
    if (index == kDarkGray)
        return kGray;
    if (index == kGray || index <= kMagenta)
        return kWhite;
    return index - 8;
}

int DarkerColor(int index)
{
    index = PaletteIndex(index);
    if (index == kBlack || index == kDarkGray || index >= kDarkYellow)
        return kBlack;
    if (index == kWhite)
        return kGray;
    if (index == kGray)
        return kDarkGray;
    return index + 8;
}
