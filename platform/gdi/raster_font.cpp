#include "platform/gdi/raster_font.h"

#include <algorithm>

TRasterFont::TRasterFont(FntFile file) : file_(std::move(file))
{
    for (int ch = 0; ch < 256; ++ch) {
        const int width = file_.GlyphWidth(ch);
        widths_[static_cast<std::size_t>(ch)] = width;
        maxWidth_ = std::max(maxWidth_, width);
    }
}

const std::vector<TRasterFont::Run>& TRasterFont::Glyph(unsigned char ch) const
{
    std::vector<Run>& runs = runs_[ch];
    if (made_[ch])
        return runs;
    made_[ch] = true;
    const int width = widths_[ch];
    for (int y = 0; y < file_.PixHeight(); ++y) {
        int x = 0;
        while (x < width) {
            if (!file_.GlyphPixel(ch, x, y)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < width && file_.GlyphPixel(ch, x, y))
                ++x;
            runs.push_back({y, start, x});
        }
    }
    return runs;
}

TEXTMETRIC TRasterFont::Metrics(int sx, int sy) const
{
    const FntHeader& h = Header();
    TEXTMETRIC tm;
    tm.tmHeight = h.pixHeight * sy;
    tm.tmAscent = h.ascent * sy;
    tm.tmDescent = (h.pixHeight - h.ascent) * sy;
    tm.tmInternalLeading = h.internalLeading * sy;
    tm.tmExternalLeading = h.externalLeading * sy;
    tm.tmAveCharWidth = h.avgWidth * sx;
    tm.tmMaxCharWidth = maxWidth_ * sx;
    tm.tmWeight = h.weight;
    tm.tmDigitizedAspectX = h.horizRes;
    tm.tmDigitizedAspectY = h.vertRes;
    tm.tmFirstChar = static_cast<BYTE>(h.firstChar);
    tm.tmLastChar = static_cast<BYTE>(h.lastChar);
    tm.tmDefaultChar = static_cast<BYTE>(h.defaultChar);
    tm.tmBreakChar = static_cast<BYTE>(h.breakChar);
    tm.tmItalic = h.italic;
    tm.tmUnderlined = h.underline;
    tm.tmStruckOut = h.strikeOut;
    tm.tmPitchAndFamily = static_cast<BYTE>(h.pitchAndFamily);
    tm.tmCharSet = static_cast<BYTE>(h.charSet);
    return tm;
}
