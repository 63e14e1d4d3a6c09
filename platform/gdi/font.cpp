#include "platform/gdi/font.h"

#include <cstring>

TFont::TFont() = default;

TFont::TFont(const LOGFONT& logFont) : logFont_(logFont)
{
    logFont_.lfFaceName[LF_FACESIZE - 1] = '\0';
}

TFont::TFont(const char* face, int height, int width, int escapement, int orientation, int weight,
             BYTE pitchAndFamily, BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet)
{
    logFont_.lfHeight = height;
    logFont_.lfWidth = width;
    logFont_.lfEscapement = escapement;
    logFont_.lfOrientation = orientation;
    logFont_.lfWeight = weight;
    logFont_.lfItalic = italic;
    logFont_.lfUnderline = underline;
    logFont_.lfStrikeOut = strikeOut;
    logFont_.lfCharSet = charSet;
    logFont_.lfPitchAndFamily = pitchAndFamily;
    if (face)
        std::strncpy(logFont_.lfFaceName, face, LF_FACESIZE - 1);
}

TFont TFont::Stock(int id)
{
    TFont font;
    if (id == ANSI_FIXED_FONT || id == SYSTEM_FIXED_FONT)
        font.logFont_.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    return font;
}

bool TFont::operator==(const TFont& other) const
{
    const LOGFONT& a = logFont_;
    const LOGFONT& b = other.logFont_;
    return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
           a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
           a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
           a.lfPitchAndFamily == b.lfPitchAndFamily && std::strcmp(a.lfFaceName, b.lfFaceName) == 0;
}
