#include "tools/fntconv/panel_font.h"

#include <algorithm>
#include <cstdio>

std::uint32_t Cp1252ToUnicode(int ch)
{
    static const std::uint16_t kHigh[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
    };
    if (ch < 0x20 || ch == 0x7F || ch > 0xFF) {
        return 0;  // control codes have no glyph
    }
    if (ch >= 0x80 && ch < 0xA0) {
        return kHigh[ch - 0x80];
    }
    return static_cast<std::uint32_t>(ch);
}

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
