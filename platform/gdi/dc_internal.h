#pragma once
// Raster operation arithmetic shared by the device context's parts. Colours
// are 0xAARRGGBB words; results always have the alpha byte 0xFF, so images
// stay opaque whatever the operation does to the colour bits.

#include "platform/gdi/gdi_types.h"

#include <cstdint>

// The binary operation (R2_*) of pen p on destination d.
inline std::uint32_t Rop2(int rop2, std::uint32_t p, std::uint32_t d)
{
    switch (rop2) {
    case R2_COPYPEN:
        return p | 0xFF000000u;
    case R2_XORPEN:
        return (p ^ d) | 0xFF000000u;
    case R2_NOTXORPEN:
        return ~(p ^ d) | 0xFF000000u;
    case R2_NOP:
        return d;
    default: {
        // Bit (2 * P + D) of the table says what the result bit is.
        const unsigned t = static_cast<unsigned>(rop2 - 1);
        std::uint32_t r = 0;
        if (t & 1)
            r |= ~p & ~d;
        if (t & 2)
            r |= ~p & d;
        if (t & 4)
            r |= p & ~d;
        if (t & 8)
            r |= p & d;
        return r | 0xFF000000u;
    }
    }
}

inline void ApplyRop2Span(std::uint32_t* pixels, int count, std::uint32_t color, int rop2)
{
    if (rop2 == R2_COPYPEN) {
        for (int i = 0; i < count; ++i)
            pixels[i] = color;
        return;
    }
    for (int i = 0; i < count; ++i)
        pixels[i] = Rop2(rop2, color, pixels[i]);
}

// The ternary operation whose truth table is `code` (bit 4P + 2S + D).
inline std::uint32_t Rop3(unsigned code, std::uint32_t p, std::uint32_t s, std::uint32_t d)
{
    switch (code) {
    case 0xCC:
        return s | 0xFF000000u;
    case 0x88:
        return (s & d) | 0xFF000000u;
    case 0xEE:
        return (s | d) | 0xFF000000u;
    case 0x66:
        return (s ^ d) | 0xFF000000u;
    case 0xF0:
        return p | 0xFF000000u;
    default: {
        std::uint32_t r = 0;
        if (code & 0x01)
            r |= ~p & ~s & ~d;
        if (code & 0x02)
            r |= ~p & ~s & d;
        if (code & 0x04)
            r |= ~p & s & ~d;
        if (code & 0x08)
            r |= ~p & s & d;
        if (code & 0x10)
            r |= p & ~s & ~d;
        if (code & 0x20)
            r |= p & ~s & d;
        if (code & 0x40)
            r |= p & s & ~d;
        if (code & 0x80)
            r |= p & s & d;
        return r | 0xFF000000u;
    }
    }
}

inline bool Rop3UsesPattern(unsigned code)
{
    return ((code >> 4) ^ code) & 0x0F;
}
inline bool Rop3UsesSource(unsigned code)
{
    return ((code >> 2) ^ code) & 0x33;
}
inline bool Rop3UsesDest(unsigned code)
{
    return ((code >> 1) ^ code) & 0x55;
}

// The binary operation that a ternary one without a source amounts to.
inline int Rop2FromRop3(unsigned code)
{
    // With S = 0 the table bits for (P, D) are 0 (00), 1 (01), 4 (10), 5 (11).
    const unsigned t = (code & 1) | ((code >> 1) & 1) << 1 | ((code >> 4) & 1) << 2 | ((code >> 5) & 1) << 3;
    return static_cast<int>(t) + 1;
}

#include "platform/gdi/dc.h"
#include "platform/gdi/raster_font.h"

#include <QFont>

#include <memory>
#include <optional>

// The font selected into a context, made for its device: a raster face at
// whole-number magnifications, or a desktop font of a pixel size.
struct TDC::RealFont {
    std::shared_ptr<const TRasterFont> raster;
    int sx = 1;
    int sy = 1;
    std::optional<QFont> desktop;
    TEXTMETRIC tm;  // device units
};
