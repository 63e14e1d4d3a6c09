// Block transfers: every ternary raster operation the programs use, the
// monochrome/colour rules, stretching and device-independent bitmaps of each
// depth. Expected pixels come from the operations' definitions over pattern
// (brush) P, source S and destination D.

#include "platform/gdi/dc.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/tests/gdi_test_util.h"

#include <QPainter>
#include <QPicture>

#include <functional>

namespace {

using Op = std::function<std::uint32_t(std::uint32_t p, std::uint32_t s, std::uint32_t d)>;

struct RopCase {
    const char* name;
    DWORD rop;
    Op expected;
};

const std::vector<RopCase>& RopCases()
{
    static const std::vector<RopCase> cases = {
        {"SRCCOPY", SRCCOPY, [](auto, auto s, auto) { return s; }},
        {"SRCAND", SRCAND, [](auto, auto s, auto d) { return s & d; }},
        {"SRCPAINT", SRCPAINT, [](auto, auto s, auto d) { return s | d; }},
        {"SRCINVERT", SRCINVERT, [](auto, auto s, auto d) { return s ^ d; }},
        {"PATCOPY", PATCOPY, [](auto p, auto, auto) { return p; }},
        {"WHITENESS", WHITENESS, [](auto, auto, auto) { return 0xFFFFFFu; }},
        {"BLACKNESS", BLACKNESS, [](auto, auto, auto) { return 0u; }},
        // Where the source has 1 bits the destination stays, where 0 the brush.
        {"0xB8074A", 0x00B8074A, [](auto p, auto s, auto d) { return (s & d) | (~s & p); }},
        {"NOTSRCCOPY", NOTSRCCOPY, [](auto, auto s, auto) { return ~s; }},
        {"MERGECOPY", MERGECOPY, [](auto p, auto s, auto) { return p & s; }},
        {"MERGEPAINT", MERGEPAINT, [](auto, auto s, auto d) { return ~s | d; }},
        {"SRCERASE", SRCERASE, [](auto, auto s, auto d) { return s & ~d; }},
        {"PATINVERT", PATINVERT, [](auto p, auto, auto d) { return p ^ d; }},
        {"DSTINVERT", DSTINVERT, [](auto, auto, auto d) { return ~d; }},
    };
    return cases;
}

QRgb Opaque(std::uint32_t rgb)
{
    return 0xFF000000u | (rgb & 0xFFFFFFu);
}

COLORREF ToColorRef(std::uint32_t rgb)
{
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

TEST(Blit, EveryRasterOperationBitForBit)
{
    const std::uint32_t s = 0x0FF0A5u;
    const std::uint32_t d = 0x33CC5Au;
    const std::uint32_t p = 0x6699F0u;
    TBitmap bitmap(1, 1, 1, 24);
    TMemoryDC source(bitmap);
    source.SetPixel(0, 0, TColor(ToColorRef(s)));
    for (const RopCase& c : RopCases()) {
        QImage image = Canvas(2, 1, Opaque(d));
        QImage painted = image.copy();
        {
            TDC dc(image);
            dc.SelectObject(TBrush(TColor(ToColorRef(p))));
            EXPECT_TRUE(dc.BitBlt(0, 0, 1, 1, source, 0, 0, c.rop));
        }
        {
            QPainter painter(&painted);
            TDC dc(painter);
            dc.SelectObject(TBrush(TColor(ToColorRef(p))));
            EXPECT_TRUE(dc.BitBlt(0, 0, 1, 1, source, 0, 0, c.rop));
        }
        EXPECT_EQ(image.pixel(0, 0), Opaque(c.expected(p, s, d))) << c.name;
        EXPECT_EQ(image.pixel(1, 0), Opaque(d)) << c.name << " outside the target";
        EXPECT_EQ(painted, image) << c.name << " through a painter";
    }
}

TEST(Blit, MonochromeToColourTakesTextAndBackgroundColours)
{
    TBitmap mono(4, 1, 1, 1);
    TMemoryDC source(mono);
    source.FillRect(TRect(1, 0, 2, 1), TBrush(TColor::White));
    source.FillRect(TRect(3, 0, 4, 1), TBrush(TColor::White));  // bits 0 1 0 1
    QImage image = Canvas(4, 1);
    TDC dc(image);
    dc.SetTextColor(TColor::LtRed);
    dc.SetBkColor(TColor::LtBlue);
    dc.BitBlt(0, 0, 4, 1, source, 0, 0, SRCCOPY);
    EXPECT_EQ(Picture(image, {{0xFFFF0000u, 'r'}, {0xFF0000FFu, 'b'}}), "rbrb");

    // Colour to monochrome: the source's background colour gives 1 bits.
    TBitmap colour(4, 1, 1, 24);
    TMemoryDC from(colour);
    from.SetPixel(0, 0, TColor::LtGreen);
    from.SetPixel(1, 0, TColor::White);
    from.SetPixel(2, 0, TColor::LtGreen);
    from.SetPixel(3, 0, TColor::Black);
    from.SetBkColor(TColor::LtGreen);
    TBitmap target(4, 1, 1, 1);
    TMemoryDC to(target);
    to.SetTextColor(TColor::LtRed);  // plays no part into monochrome
    to.BitBlt(0, 0, 4, 1, from, 0, 0, SRCCOPY);
    EXPECT_EQ(Picture(target.Image()), ".#.#");

    // Monochrome to monochrome: the bits as they are.
    TBitmap copy(4, 1, 1, 1);
    TMemoryDC same(copy);
    same.SetTextColor(TColor::White);
    same.SetBkColor(TColor::Black);
    same.BitBlt(0, 0, 4, 1, source, 0, 0, SRCCOPY);
    EXPECT_EQ(Picture(copy.Image()), "#.#.");
}

TEST(Blit, StretchMagnifiesShrinksAndMirrors)
{
    TBitmap bitmap(2, 2, 1, 1);
    TMemoryDC source(bitmap);
    source.SetPixel(1, 0, TColor::White);
    source.SetPixel(0, 1, TColor::White);  // "#." over ".#"
    QImage image = Canvas(6, 4);
    TDC dc(image);
    dc.StretchBlt(0, 0, 4, 4, source, 0, 0, 2, 2, SRCCOPY);
    EXPECT_EQ(Picture(image), Rows({"##....", "##....", "..##..", "..##.."}));

    // A negative extent mirrors.
    QImage mirrored = Canvas(2, 2);
    TDC m(mirrored);
    m.StretchBlt(2, 0, -2, 2, source, 0, 0, 2, 2, SRCCOPY);
    EXPECT_EQ(Picture(mirrored), Rows({".#", "#."}));

    // Shrinking merges the dropped pixels by the stretch mode.
    TBitmap row(4, 1, 1, 1);
    TMemoryDC four(row);
    four.FillRect(TRect(1, 0, 4, 1), TBrush(TColor::White));  // "#..."
    const struct {
        int mode;
        const char* expected;
    } modes[] = {{BLACKONWHITE, "#."}, {WHITEONBLACK, ".."}, {COLORONCOLOR, ".."}};
    for (const auto& c : modes) {
        QImage half = Canvas(2, 1);
        TDC h(half);
        h.SetStretchBltMode(c.mode);
        h.StretchBlt(0, 0, 2, 1, four, 0, 0, 4, 1, SRCCOPY);
        EXPECT_EQ(Picture(half), c.expected) << "mode " << c.mode;
    }

    // Only contexts that can be read are sources.
    QImage other = Canvas(2, 2);
    QPainter painter(&other);
    TDC unreadable(painter);
    EXPECT_FALSE(dc.BitBlt(0, 0, 2, 2, unreadable, 0, 0, SRCCOPY));
}

// A 2 x 2 picture of four colours at a depth; at 1 bit two colours from its
// own palette (not the context's text and background colours).
TDib Fixture(int bitCount, std::uint32_t (&colors)[4])
{
    TDib dib(2, 2, bitCount);
    const DibColor picks[4] = {{200, 10, 10}, {10, 200, 10}, {10, 10, 200}, {250, 250, 20}};
    if (bitCount == 1) {
        dib.SetColor(0, picks[0]);
        dib.SetColor(1, picks[2]);
        const int index[4] = {0, 1, 1, 0};
        for (int i = 0; i < 4; ++i) {
            dib.SetPixelIndex(i % 2, i / 2, index[i]);
            const DibColor c = picks[index[i] ? 2 : 0];
            colors[i] = (c.red << 16) | (c.green << 8) | c.blue;
        }
        return dib;
    }
    for (int i = 0; i < 4; ++i) {
        if (bitCount < 24) {
            dib.SetColor(i + 1, picks[i]);
            dib.SetPixelIndex(i % 2, i / 2, i + 1);
        } else {
            dib.SetPixelColor(i % 2, i / 2, picks[i]);
        }
        colors[i] = (picks[i].red << 16) | (picks[i].green << 8) | picks[i].blue;
    }
    return dib;
}

TEST(Blit, DibsOfEveryDepthWithEveryOperation)
{
    const std::uint32_t d = 0x3C5A96u;
    const std::uint32_t p = 0xC0FFEEu;
    for (const int depth : {1, 4, 8, 24}) {
        std::uint32_t s[4];
        const TDib dib = Fixture(depth, s);
        ASSERT_TRUE(dib.IsOK());
        for (const RopCase& c : RopCases()) {
            QImage image = Canvas(4, 4, Opaque(d));
            TDC dc(image);
            dc.SelectObject(TBrush(TColor(ToColorRef(p))));
            dc.SetTextColor(TColor::LtRed);  // no part in a DIB's colours
            EXPECT_EQ(dc.StretchDIBits(TRect(0, 0, 4, 4), TRect(0, 0, 2, 2), dib, c.rop), 2);
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 4; ++x)
                    ASSERT_EQ(image.pixel(x, y), Opaque(c.expected(p, s[(y / 2) * 2 + x / 2], d)))
                        << depth << " bits, " << c.name << " at " << x << "," << y;
        }
    }
}

TEST(Blit, DibSourceRowsCountFromTheBottom)
{
    std::uint32_t s[4];
    const TDib dib = Fixture(24, s);
    QImage image = Canvas(2, 1);
    TDC dc(image);
    dc.StretchDIBits(TRect(0, 0, 2, 1), TRect(0, 0, 2, 1), dib, SRCCOPY);
    EXPECT_EQ(image.pixel(0, 0), Opaque(s[2])) << "row 0 from the bottom is the picture's lower row";
    EXPECT_EQ(image.pixel(1, 0), Opaque(s[3]));
    EXPECT_EQ(dc.StretchDIBits(TRect(0, 0, 2, 1), TRect(0, 0, 2, 1), TDib(), SRCCOPY), 0);

    // A source reaching past the picture: what lies outside it is not drawn.
    QImage wide = Canvas(3, 2);
    TDC past(wide);
    past.StretchDIBits(TRect(0, 0, 3, 2), TRect(1, 1, 4, 3), dib, SRCCOPY);
    EXPECT_EQ(wide.pixel(0, 0), 0xFFFFFFFFu) << "above the picture's top row";
    EXPECT_EQ(wide.pixel(0, 1), Opaque(s[1]));
    EXPECT_EQ(wide.pixel(1, 1), 0xFFFFFFFFu) << "right of the picture";
    EXPECT_EQ(wide.pixel(2, 1), 0xFFFFFFFFu);
}

TEST(Blit, OnPaperWhatWouldStayWhiteIsLeftAlone)
{
    // A printer has no raster operations: a mask printed through a brush
    // (0xB8074A) lays the brush where the mask is 0 and nothing elsewhere.
    // A picture recorder stands in for the printer; played back on grey it
    // shows what reached the paper.
    TBitmap mask(4, 1, 1, 1);
    TMemoryDC source(mask);
    source.FillRect(TRect(0, 0, 4, 1), TBrush(TColor::White));
    source.SetPixel(1, 0, TColor::Black);
    source.SetPixel(2, 0, TColor::Black);  // ".##."
    QPicture picture;
    {
        QPainter recorder(&picture);
        TDC paper(recorder);
        paper.SelectObject(TBrush(TColor::LtRed));
        EXPECT_TRUE(paper.BitBlt(0, 0, 4, 1, source, 0, 0, 0x00B8074A));
        paper.BitBlt(0, 1, 4, 1, source, 0, 0, SRCAND);
        paper.BitBlt(0, 2, 4, 1, source, 0, 0, SRCCOPY);
    }
    QImage sheet = Canvas(4, 3, 0xFF808080u);
    QPainter player(&sheet);
    player.drawPicture(0, 0, picture);
    player.end();
    EXPECT_EQ(Picture(sheet, {{0xFF808080u, 'g'}, {0xFFFF0000u, 'r'}}), Rows({"grrg", "g##g", ".##."}));
}

}  // namespace
