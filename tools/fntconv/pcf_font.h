#pragma once
// A reader for X11 portable compiled fonts (.pcf, optionally gzip-packed),
// the form in which Debian ships the public-domain fixed-cell fonts that the
// panel fonts are made from. It reads what a fixed-cell bitmap font needs:
// glyph metrics, bitmaps, the encoding table, the font ascent and descent,
// and the weight name.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

struct PcfGlyph {
    int leftBearing = 0;   // the ink box's left edge, from the origin
    int rightBearing = 0;  // the ink box's right edge (exclusive)
    int advance = 0;       // the cell width
    int ascent = 0;        // rows of the ink box above the baseline
    int descent = 0;       // rows below it
    int rowBytes = 0;
    std::vector<std::uint8_t> rows;  // leftmost pixel in the high bit

    int BoxWidth() const { return rightBearing - leftBearing; }
    int BoxHeight() const { return ascent + descent; }
    // A pixel of the ink box, (0, 0) its top-left corner.
    bool BoxPixel(int x, int y) const;
};

class PcfFont {
public:
    // Reads a .pcf or .pcf.gz file; false with a message on any fault.
    static bool Load(std::string_view fileName, PcfFont& out, std::string& error);
    static bool Parse(const std::vector<std::uint8_t>& bytes, PcfFont& out, std::string& error);

    int Ascent() const { return ascent_; }
    int Descent() const { return descent_; }
    const std::string& WeightName() const { return weightName_; }
    // The glyph of a Unicode code point (the fonts are ISO 10646 encoded),
    // null when the font has none.
    const PcfGlyph* Find(std::uint32_t codePoint) const;
    // A pixel of the glyph's cell: (0, 0) is the top-left corner of a cell
    // as wide as the advance and Ascent() + Descent() high. Ink of the glyph
    // may lie outside the cell; `x` and `y` may be negative.
    bool CellPixel(const PcfGlyph& glyph, int x, int y) const;

private:
    int ascent_ = 0;
    int descent_ = 0;
    std::string weightName_;
    std::vector<PcfGlyph> glyphs_;
    std::map<std::uint32_t, std::size_t> byCode_;
};
