#pragma once
// Builds a panel font (.fnt) from a fixed-cell source font: the Windows-1252
// characters of a range, each placed on a cell of the panel font's size at a
// whole-number scale, so the panel font's glyphs are the source's pixels.

#include "platform/base/code_page.h"
#include "platform/base/fnt_file.h"
#include "tools/fntconv/pcf_font.h"

#include <cstdint>
#include <string>
#include <vector>

struct PanelFontSpec {
    std::string face;
    int cellWidth = 0;
    int cellHeight = 0;
    int scale = 1;
    // Where the source cell's top-left corner lands in the panel cell; a
    // negative value cuts rows or columns off, which must hold no ink.
    int originX = 0;
    int originY = 0;
    // Panel fonts are told from the desktop's own fonts by this character set.
    int charSet = 250;
    int firstChar = 0x20;
    int lastChar = 0xFF;
    int defaultChar = '?';
    std::string copyright;
};

// False with a message when the wanted face cannot be made, the source is not a
// fixed-cell font, or a glyph would lose ink outside the cell. Characters the
// source lacks are left blank and listed in `missing`.
bool BuildPanelFont(const PcfFont& source, const PanelFontSpec& spec, FntFile& out, std::vector<int>& missing,
                    std::string& error);
