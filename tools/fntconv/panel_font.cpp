#include "tools/fntconv/panel_font.h"

#include <algorithm>
#include <cstdio>

bool BuildPanelFont(const PcfFont& source, const PanelFontSpec& spec, FntFile& out, std::vector<int>& missing,
                    std::string& error)
{
    missing.clear();
    const PcfGlyph* space = source.Find(' ');
    if (!space || spec.scale < 1 || spec.cellWidth < 1 || spec.cellHeight < 1) {
        error = "the source has no space character, or the cell or scale is impossible";
        return false;
    }
    FntHeader h;
    h.copyright = spec.copyright;
    h.face = spec.face;
    h.pixWidth = spec.cellWidth;
    h.pixHeight = spec.cellHeight;
    h.avgWidth = spec.cellWidth;
    h.ascent = std::max(0, std::min(spec.cellHeight, spec.originY + source.Ascent() * spec.scale));
    h.points = (spec.cellHeight * 72 + 48) / 96;
    h.weight = source.WeightName().find("Bold") != std::string::npos ? 700 : 400;
    h.charSet = spec.charSet;
    h.pitchAndFamily = 0x30;  // modern family, fixed pitch
    h.firstChar = spec.firstChar;
    h.lastChar = spec.lastChar;
    h.defaultChar = spec.defaultChar;
    h.breakChar = ' ';
    out = FntFile(h);
    if (!out.IsOK()) {
        error = "impossible character range or cell";
        return false;
    }
    for (int ch = spec.firstChar; ch <= spec.lastChar; ++ch) {
        const std::uint32_t code = Cp1252ToUnicode(ch);
        const PcfGlyph* g = code ? source.Find(code) : nullptr;
        if (!g) {
            if (code) {
                missing.push_back(ch);
            }
            continue;
        }
        if (g->advance != space->advance) {
            char text[96];
            std::snprintf(text, sizeof text, "U+%04X is %d wide where the cell is %d: not a fixed-cell font",
                          static_cast<unsigned>(code), g->advance, space->advance);
            error = text;
            return false;
        }
        const int top = source.Ascent() - g->ascent;
        for (int by = 0; by < g->BoxHeight(); ++by) {
            for (int bx = 0; bx < g->BoxWidth(); ++bx) {
                if (!g->BoxPixel(bx, by)) {
                    continue;
                }
                const int sx = g->leftBearing + bx;
                const int sy = top + by;
                for (int j = 0; j < spec.scale; ++j) {
                    for (int i = 0; i < spec.scale; ++i) {
                        const int tx = spec.originX + sx * spec.scale + i;
                        const int ty = spec.originY + sy * spec.scale + j;
                        if (!out.SetGlyphPixel(ch, tx, ty, true)) {
                            char text[96];
                            std::snprintf(text, sizeof text, "U+%04X loses ink at (%d, %d) of the %dx%d cell",
                                          static_cast<unsigned>(code), tx, ty, spec.cellWidth, spec.cellHeight);
                            error = text;
                            return false;
                        }
                    }
                }
            }
        }
    }
    return true;
}
