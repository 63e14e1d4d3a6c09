#pragma once
// A bevelled frame of a given side width in pixels, raised or recessed, round
// a face in a palette colour. The regular figure element draws its frames
// with it, and the trend recorder's parts frame their labels with it.

#include "platform/base/geometry.h"

#include <cstdint>

class TDC;

class TClrFrame {
public:
    TClrFrame() = default;
    TClrFrame(std::int32_t style, bool inside, std::int32_t width, int color)
        : style(style), inside(inside ? 1 : 0), width(width), color(static_cast<std::uint8_t>(color))
    {
    }

    // The rectangle is the frame's outer edge when inside is set, else the
    // frame lies round it.
    void Draw(TDC& dc, const TRect& rect) const;

    // 0 raised (light top and left); any other value recessed.
    std::int32_t style = 0;
    std::uint8_t inside = 1;
    // Side width in pixels.
    std::int32_t width = 1;
    std::uint8_t color = 9;
};
