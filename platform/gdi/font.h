#pragma once
// A font as a description (LOGFONT). It becomes a drawable font when it is
// selected into a context: a face added from a raster font file is drawn from
// its glyph bits, at a whole-number magnification in each direction (a cell
// of 2 x the font's height gives twice its pixels down, and, with width 0,
// across); any other face is the desktop's font of that name.

#include "platform/gdi/gdi_types.h"

#include <string>

class TFont {
public:
    TFont();  // the desktop's default user-interface font
    explicit TFont(const LOGFONT& logFont);
    TFont(const char* face, int height, int width = 0, int escapement = 0, int orientation = 0,
          int weight = FW_NORMAL, BYTE pitchAndFamily = DEFAULT_PITCH | FF_DONTCARE, BYTE italic = 0,
          BYTE underline = 0, BYTE strikeOut = 0, BYTE charSet = DEFAULT_CHARSET);

    // SYSTEM_FONT, DEFAULT_GUI_FONT and ANSI_VAR_FONT give the default font;
    // ANSI_FIXED_FONT and SYSTEM_FIXED_FONT the desktop's fixed-pitch font.
    static TFont Stock(int id);

    const LOGFONT& GetObject() const { return logFont_; }
    bool GetObject(LOGFONT& logFont) const
    {
        logFont = logFont_;
        return true;
    }
    std::string FaceName() const { return logFont_.lfFaceName; }

    bool operator==(const TFont& other) const;

private:
    LOGFONT logFont_;
};
