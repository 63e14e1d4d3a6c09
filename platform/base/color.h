#pragma once
// Colours as the drawing calls take them: a 32-bit value 0x00BBGGRR built
// with RGB(). The top byte is zero for a plain colour; TColor also marks a
// system colour (the user's window or button colour, resolved when drawn)
// with the top byte 0x80 and the COLOR_ index in the low byte.

#include <cstdint>

using COLORREF = std::uint32_t;

constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int GetBValue(COLORREF c) { return static_cast<int>((c >> 16) & 0xFF); }

// What a colour query answers when there is no colour (a pixel outside the
// device or the clipping region).
constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;

// System colour indices (GetSysColor, TColor::Sys*).
constexpr int COLOR_SCROLLBAR = 0;
constexpr int COLOR_BACKGROUND = 1;
constexpr int COLOR_ACTIVECAPTION = 2;
constexpr int COLOR_INACTIVECAPTION = 3;
constexpr int COLOR_MENU = 4;
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWFRAME = 6;
constexpr int COLOR_MENUTEXT = 7;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_CAPTIONTEXT = 9;
constexpr int COLOR_ACTIVEBORDER = 10;
constexpr int COLOR_INACTIVEBORDER = 11;
constexpr int COLOR_APPWORKSPACE = 12;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;
constexpr int COLOR_INFOTEXT = 23;
constexpr int COLOR_INFOBK = 24;
constexpr int COLOR_3DFACE = COLOR_BTNFACE;
constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT;
constexpr int kSysColorCount = 25;

class TColor {
public:
    constexpr TColor() = default;
    constexpr TColor(COLORREF value) : value_(value) {}  // NOLINT: a colour value is a TColor
    constexpr TColor(int r, int g, int b) : value_(RGB(r, g, b)) {}

    constexpr operator COLORREF() const { return value_; }  // NOLINT
    constexpr COLORREF GetValue() const { return value_; }
    constexpr int Red() const { return GetRValue(value_); }
    constexpr int Green() const { return GetGValue(value_); }
    constexpr int Blue() const { return GetBValue(value_); }

    constexpr bool IsSysColor() const { return (value_ & 0xFF000000u) == kSysFlag; }
    constexpr int Index() const { return static_cast<int>(value_ & 0xFF); }
    static constexpr TColor Sys(int index) { return TColor(kSysFlag | static_cast<COLORREF>(index & 0xFF)); }

    constexpr bool operator==(const TColor&) const = default;

    static const TColor Black, LtGray, Gray, White, LtRed, LtGreen, LtYellow, LtBlue, LtMagenta, LtCyan;
    static const TColor SysWindow, SysWindowText, SysWindowFrame, SysBtnFace, SysBtnShadow, SysBtnHighlight,
        SysBtnText, SysHighlight, SysHighlightText, Sys3dDkShadow, SysMenu;

private:
    static constexpr COLORREF kSysFlag = 0x80000000u;
    COLORREF value_ = 0;
};

inline constexpr TColor TColor::Black{0, 0, 0};
inline constexpr TColor TColor::LtGray{192, 192, 192};
inline constexpr TColor TColor::Gray{128, 128, 128};
inline constexpr TColor TColor::White{255, 255, 255};
inline constexpr TColor TColor::LtRed{255, 0, 0};
inline constexpr TColor TColor::LtGreen{0, 255, 0};
inline constexpr TColor TColor::LtYellow{255, 255, 0};
inline constexpr TColor TColor::LtBlue{0, 0, 255};
inline constexpr TColor TColor::LtMagenta{255, 0, 255};
inline constexpr TColor TColor::LtCyan{0, 255, 255};
inline constexpr TColor TColor::SysWindow = TColor::Sys(COLOR_WINDOW);
inline constexpr TColor TColor::SysWindowText = TColor::Sys(COLOR_WINDOWTEXT);
inline constexpr TColor TColor::SysWindowFrame = TColor::Sys(COLOR_WINDOWFRAME);
inline constexpr TColor TColor::SysBtnFace = TColor::Sys(COLOR_BTNFACE);
inline constexpr TColor TColor::SysBtnShadow = TColor::Sys(COLOR_BTNSHADOW);
inline constexpr TColor TColor::SysBtnHighlight = TColor::Sys(COLOR_BTNHIGHLIGHT);
inline constexpr TColor TColor::SysBtnText = TColor::Sys(COLOR_BTNTEXT);
inline constexpr TColor TColor::SysHighlight = TColor::Sys(COLOR_HIGHLIGHT);
inline constexpr TColor TColor::SysHighlightText = TColor::Sys(COLOR_HIGHLIGHTTEXT);
inline constexpr TColor TColor::Sys3dDkShadow = TColor::Sys(COLOR_3DDKSHADOW);
inline constexpr TColor TColor::SysMenu = TColor::Sys(COLOR_MENU);
