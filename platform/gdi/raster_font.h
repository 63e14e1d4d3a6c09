#pragma once
// A raster font ready to draw: a parsed .fnt file whose glyphs are turned
// into runs of set pixels the first time they are drawn, so text is drawn
// run by run instead of bit by bit. (Lazily: a damaged file may give its
// glyphs huge sizes, and only what is drawn should cost time.)

#include "platform/base/fnt_file.h"
#include "platform/gdi/gdi_types.h"

#include <array>
#include <vector>

class TRasterFont {
public:
    // A run of set pixels in one row of a glyph: columns x0..x1-1 of row y.
    struct Run {
        int y;
        int x0;
        int x1;
    };

    explicit TRasterFont(FntFile file);

    const FntFile& File() const { return file_; }
    const FntHeader& Header() const { return file_.Header(); }
    int CellHeight() const { return file_.PixHeight(); }
    // Characters the font lacks are drawn as its default character.
    int CharWidth(unsigned char ch) const { return widths_[ch]; }
    const std::vector<Run>& Glyph(unsigned char ch) const;
    int MaxCharWidth() const { return maxWidth_; }
    // The metrics of the font drawn sx times across and sy times down, in
    // device pixels; underline and strike-out as the file says.
    TEXTMETRIC Metrics(int sx = 1, int sy = 1) const;

private:
    FntFile file_;
    std::array<int, 256> widths_{};
    mutable std::array<std::vector<Run>, 256> runs_;
    mutable std::array<bool, 256> made_{};
    int maxWidth_ = 0;
};
