// Text: the panel fonts added from the program's font file and drawn from
// their glyph bits at magnifications 1 and 2, text metrics and extents,
// DrawText's layout, and the desktop's fonts for the other faces. The
// expected glyph pixels are read from the shipped .fnt files themselves.

#include "platform/base/fnt_file.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font_registry.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/tests/gdi_test_util.h"

#include <QFile>

#include <cstring>
#include <unistd.h>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const char* const k8x12 = "ANSI Zobrel 8x12";
const char* const k5x8 = "ANSI Zobrel 5x8";  // cell 6 x 8

class PanelFonts : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(PLV_PROGRAM_FONT)) {
            GTEST_SKIP() << "the panel fonts were not made (xfonts-base missing)";
        }
        ASSERT_EQ(AddFontResource(PLV_PROGRAM_FONT), 10);
        ASSERT_EQ(FntFile::Load(std::string(PLV_FONT_DIR) + "/ansi8x12.fnt", font8x12_), FntError::None);
        ASSERT_EQ(FntFile::Load(std::string(PLV_FONT_DIR) + "/ansi5x8.fnt", font5x8_), FntError::None);
    }
    void TearDown() override
    {
        if (std::filesystem::exists(PLV_PROGRAM_FONT)) {
            EXPECT_TRUE(RemoveFontResource(PLV_PROGRAM_FONT));
        }
    }

    // Each glyph pixel of `text` drawn at (x, y), magnified mx by my: ink
    // where the font's bit is set, paper elsewhere in the cell.
    static void ExpectGlyphs(const QImage& image, const FntFile& font, int x, int y, const char* text, int mx,
                             int my, QRgb ink, QRgb paper)
    {
        for (const char* c = text; *c; ++c) {
            const int ch = static_cast<unsigned char>(*c);
            const int width = font.GlyphWidth(ch);
            for (int gy = 0; gy < font.PixHeight(); ++gy)
                for (int gx = 0; gx < width; ++gx)
                    for (int dy = 0; dy < my; ++dy)
                        for (int dx = 0; dx < mx; ++dx)
                            ASSERT_EQ(image.pixel(x + gx * mx + dx, y + gy * my + dy),
                                      font.GlyphPixel(ch, gx, gy) ? ink : paper)
                                << "'" << *c << "' bit " << gx << "," << gy;
            x += width * mx;
        }
    }

    FntFile font8x12_;
    FntFile font5x8_;
};

TEST_F(PanelFonts, TextMatchesTheGlyphBitsAtMagnificationOneAndTwo)
{
    const char* const text = "Ag0|";
    const struct {
        int height;
        int width;
        int mx;
        int my;
    } cases[] = {{12, 0, 1, 1}, {12, 8, 1, 1}, {24, 0, 2, 2}, {24, 16, 2, 2}, {24, 8, 1, 2}, {30, 0, 2, 2}};
    for (const auto& c : cases) {
        QImage image = Canvas(80, 60);
        TDC dc(image);
        dc.SelectObject(TFont(k8x12, c.height, c.width));
        dc.SetBkMode(TRANSPARENT);
        EXPECT_TRUE(dc.TextOut(3, 5, text));
        ExpectGlyphs(image, font8x12_, 3, 5, text, c.mx, c.my, 0xFF000000u, 0xFFFFFFFFu);
        // Nothing outside the text's cells, and ink inside them.
        int ink = 0;
        for (int y = 0; y < 60; ++y) {
            for (int x = 0; x < 80; ++x) {
                const bool inside = x >= 3 && x < 3 + 4 * 8 * c.mx && y >= 5 && y < 5 + 12 * c.my;
                if (!inside) {
                    ASSERT_EQ(image.pixel(x, y), 0xFFFFFFFFu) << x << "," << y;
                } else if (image.pixel(x, y) == 0xFF000000u) {
                    ++ink;
                }
            }
        }
        EXPECT_GT(ink, 20 * c.mx * c.my);
    }
}

TEST_F(PanelFonts, OpaqueTextFillsItsCellsWithTheBackgroundColour)
{
    QImage image = Canvas(40, 20);
    TDC dc(image);
    dc.SelectObject(TFont(k5x8, 8));
    dc.SetTextColor(TColor::LtBlue);
    dc.SetBkColor(TColor::LtYellow);
    dc.TextOut(2, 2, "Hi");
    ExpectGlyphs(image, font5x8_, 2, 2, "Hi", 1, 1, 0xFF0000FFu, 0xFFFFFF00u);
    EXPECT_EQ(image.pixel(14, 2), 0xFFFFFFFFu) << "two cells of 6 end at column 13";
}

TEST_F(PanelFonts, MetricsAndExtentsInLogicalUnits)
{
    QImage image = Canvas(100, 100);
    TDC dc(image);
    dc.SelectObject(TFont(k8x12, 24));
    TEXTMETRIC tm;
    ASSERT_TRUE(dc.GetTextMetrics(tm));
    EXPECT_EQ(tm.tmHeight, 24);
    EXPECT_EQ(tm.tmAveCharWidth, 16);
    EXPECT_EQ(tm.tmCharSet, 250);
    EXPECT_EQ(dc.GetTextExtent("abc"), TSize(48, 24));
    EXPECT_EQ(dc.GetTextExtent("abcdef", 2), TSize(32, 24));

    // In page units (20 to the pixel) a 240-unit font is the 12-pixel one.
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(TSize(20, 20));
    dc.SetViewportExt(TSize(1, 1));
    dc.SelectObject(TFont(k8x12, 240));
    EXPECT_EQ(dc.GetTextExtent("abc"), TSize(480, 240));
    ASSERT_TRUE(dc.GetTextMetrics(tm));
    EXPECT_EQ(tm.tmHeight, 240);
}

TEST_F(PanelFonts, TextAlignment)
{
    QImage expected = Canvas(60, 30);
    {
        TDC dc(expected);
        dc.SelectObject(TFont(k5x8, 8));
        dc.TextOut(18, 10, "abc");  // 18 wide, 8 high
    }
    const struct {
        UINT align;
        TPoint at;
    } cases[] = {{TA_LEFT | TA_TOP, {18, 10}},
                 {TA_RIGHT | TA_TOP, {36, 10}},
                 {TA_CENTER | TA_TOP, {27, 10}},
                 {TA_LEFT | TA_BOTTOM, {18, 18}}};
    for (const auto& c : cases) {
        QImage image = Canvas(60, 30);
        TDC dc(image);
        dc.SelectObject(TFont(k5x8, 8));
        dc.SetTextAlign(c.align);
        dc.TextOut(c.at.x, c.at.y, "abc");
        EXPECT_EQ(image, expected) << "alignment " << c.align;
    }
    // TA_UPDATECP draws at the current position and moves it past the text.
    QImage image = Canvas(60, 30);
    TDC dc(image);
    dc.SelectObject(TFont(k5x8, 8));
    dc.SetTextAlign(TA_UPDATECP);
    dc.MoveTo(18, 10);
    dc.TextOut(0, 0, "ab");
    dc.TextOut(0, 0, "c");
    EXPECT_EQ(image, expected);
    EXPECT_EQ(dc.GetCurrentPosition(), TPoint(36, 10));
}

// The same text drawn line by line with TextOut where DrawText must put it.
QImage Lines(int width, int height, const std::vector<std::pair<TPoint, const char*>>& lines)
{
    QImage image = Canvas(width, height);
    TDC dc(image);
    dc.SelectObject(TFont(k5x8, 8));
    for (const auto& [at, text] : lines)
        dc.TextOut(at.x, at.y, text);
    return image;
}

TEST_F(PanelFonts, DrawTextBreaksAtBlanksAndPlacesLines)
{
    const struct {
        const char* name;
        const char* text;
        UINT format;
        TRect rect;
        int answer;
        std::vector<std::pair<TPoint, const char*>> lines;
    } cases[] = {
        {"word break", "ab cd efgh ij", DT_WORDBREAK, TRect(0, 0, 30, 40), 24,
         {{{0, 0}, "ab cd"}, {{0, 8}, "efgh"}, {{0, 16}, "ij"}}},
        {"centred lines", "ab cd efgh ij", DT_WORDBREAK | DT_CENTER, TRect(0, 0, 30, 40), 24,
         {{{0, 0}, "ab cd"}, {{3, 8}, "efgh"}, {{9, 16}, "ij"}}},
        {"right", "ab\r\ncde", DT_RIGHT, TRect(0, 0, 40, 40), 16, {{{28, 0}, "ab"}, {{22, 8}, "cde"}}},
        {"single line centred", "ab", DT_SINGLELINE | DT_CENTER | DT_VCENTER, TRect(0, 0, 60, 20), 14,
         {{{24, 6}, "ab"}}},
        {"bottom", "ab", DT_SINGLELINE | DT_BOTTOM, TRect(0, 0, 60, 20), 20, {{{0, 12}, "ab"}}},
        {"prefix", "a&&b", 0, TRect(0, 0, 60, 20), 8, {{{0, 0}, "a&b"}}},
        {"no prefix", "&ab", DT_NOPREFIX, TRect(0, 0, 60, 20), 8, {{{0, 0}, "&ab"}}},
        {"a long word is not split", "abcdefgh ij", DT_WORDBREAK | DT_NOCLIP, TRect(0, 0, 30, 40), 16,
         {{{0, 0}, "abcdefgh"}, {{0, 8}, "ij"}}},
        // Tab stops every eight average character widths (8 x 6 pixels).
        {"tab", "ab\tc", DT_EXPANDTABS, TRect(0, 0, 60, 20), 8, {{{0, 0}, "ab"}, {{48, 0}, "c"}}},
        {"tab centred", "ab\tc\r\n\td", DT_EXPANDTABS | DT_CENTER, TRect(0, 0, 60, 20), 16,
         {{{3, 0}, "ab"}, {{51, 0}, "c"}, {{51, 8}, "d"}}},
    };
    for (const auto& c : cases) {
        QImage image = Canvas(60, 40);
        TDC dc(image);
        dc.SelectObject(TFont(k5x8, 8));
        TRect rect = c.rect;
        EXPECT_EQ(dc.DrawText(c.text, -1, rect, c.format), c.answer) << c.name;
        EXPECT_EQ(image, Lines(60, 40, c.lines)) << c.name;
    }
}

TEST_F(PanelFonts, DrawTextClipsCalculatesAndUnderlines)
{
    // Clipped to the rectangle: the long word's cells past column 30 stay white.
    QImage clipped = Canvas(60, 20);
    TDC dc(clipped);
    dc.SelectObject(TFont(k5x8, 8));
    TRect rect(0, 0, 30, 20);
    dc.DrawText("abcdefgh", -1, rect, DT_WORDBREAK);
    QImage expected = Lines(60, 20, {{{0, 0}, "abcdefgh"}});
    for (int y = 0; y < 20; ++y)
        for (int x = 30; x < 60; ++x)
            expected.setPixel(x, y, 0xFFFFFFFFu);
    EXPECT_EQ(clipped, expected);

    // DT_CALCRECT fits the rectangle to the text and draws nothing.
    QImage blank = Canvas(60, 40);
    TDC calc(blank);
    calc.SelectObject(TFont(k5x8, 8));
    TRect fit(5, 5, 35, 45);
    EXPECT_EQ(calc.DrawText("ab cd efgh ij", -1, fit, DT_WORDBREAK | DT_CALCRECT), 24);
    EXPECT_EQ(fit, TRect(5, 5, 35, 29));
    TRect one(0, 0, 0, 0);
    calc.DrawText("abc", -1, one, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(one, TRect(0, 0, 18, 8));
    EXPECT_EQ(blank, Canvas(60, 40));

    // "&b" underlines the b: one row below the baseline, under its cell.
    QImage underlined = Canvas(30, 12);
    TDC u(underlined);
    u.SelectObject(TFont(k5x8, 8));
    TRect r(0, 0, 30, 12);
    u.DrawText("a&b", -1, r, 0);
    TEXTMETRIC tm;
    u.GetTextMetrics(tm);
    const int row = std::min(tm.tmAscent + 1, tm.tmHeight - 1);
    for (int x = 6; x < 12; ++x)
        EXPECT_EQ(underlined.pixel(x, row), 0xFF000000u) << x;
    EXPECT_EQ(underlined.pixel(12, row), 0xFFFFFFFFu);
}

TEST_F(PanelFonts, PanelTextThroughAMonochromeBitmapInColour)
{
    // Text as the elements draw it: black on white in a monochrome bitmap of
    // whole cells, stretched twice as large onto the page with SRCAND, then
    // the colour laid over the text pixels with SRCPAINT.
    const char* const text = "Pump";
    TBitmap bitmap(4 * 6, 8, 1, 1);
    TMemoryDC memory(bitmap);
    memory.PatBlt(0, 0, 24, 8, WHITENESS);
    memory.SelectObject(TFont(k5x8, 8, 6, 0, 0, FW_NORMAL));
    TRect all(0, 0, 24, 8);
    memory.DrawText(text, -1, all, DT_NOPREFIX | DT_WORDBREAK);

    QImage page = Canvas(60, 30, 0xFF000000u);  // a colour panel's black screen
    TDC dc(page);
    dc.StretchBlt(4, 6, 48, 16, memory, 0, 0, 24, 8, SRCAND);
    dc.SetTextColor(TColor::LtGreen);
    dc.SetBkColor(TColor::Black);
    dc.StretchBlt(4, 6, 48, 16, memory, 0, 0, 24, 8, SRCPAINT);
    ExpectGlyphs(page, font5x8_, 4, 6, text, 2, 2, 0xFF00FF00u, 0xFF000000u);
}

TEST_F(PanelFonts, RegistrationCountsAndEnumeration)
{
    const unsigned generation = FontTableGeneration();
    EXPECT_EQ(AddFontResource(PLV_PROGRAM_FONT), 10) << "a second add counts again";
    EXPECT_TRUE(RemoveFontResource(PLV_PROGRAM_FONT));
    EXPECT_NE(FindRasterFont(k8x12, 12), nullptr);
    EXPECT_EQ(FontTableGeneration(), generation) << "counting a file again brings or takes no face";

    struct Seen {
        std::vector<std::string> faces;
        std::vector<int> charSets;
        std::vector<DWORD> types;
    } seen;
    QImage image = Canvas(1, 1);
    TDC dc(image);
    EnumFontFamilies(dc, nullptr,
                     [](const LOGFONT* lf, const TEXTMETRIC*, DWORD type, LPARAM data) {
                         auto* s = reinterpret_cast<Seen*>(data);
                         s->faces.push_back(lf->lfFaceName);
                         s->charSets.push_back(lf->lfCharSet);
                         s->types.push_back(type);
                         return 1;
                     },
                     reinterpret_cast<LPARAM>(&seen));
    ASSERT_GE(seen.faces.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(seen.charSets[static_cast<std::size_t>(i)], 250) << seen.faces[static_cast<std::size_t>(i)];
        EXPECT_EQ(seen.types[static_cast<std::size_t>(i)], RASTER_FONTTYPE);
    }
    EXPECT_NE(std::find(seen.faces.begin(), seen.faces.end(), "Zobrel T16x24"), seen.faces.end());
    EXPECT_NE(std::find(seen.faces.begin(), seen.faces.end(), "QS VZKA/MA 6x9"), seen.faces.end());

    // The callback stops the walk by answering 0.
    int calls = 0;
    EXPECT_EQ(EnumFontFamilies(dc, nullptr,
                               [](const LOGFONT*, const TEXTMETRIC*, DWORD, LPARAM data) {
                                   ++*reinterpret_cast<int*>(data);
                                   return 0;
                               },
                               reinterpret_cast<LPARAM>(&calls)),
              0);
    EXPECT_EQ(calls, 1);
}

TEST(FontRegistry, BadFilesAddNothingAndRemovedFacesAreGone)
{
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("plv_gdi_font_test_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string junk = (dir / "junk.fnt").string();
    QFile f(QString::fromStdString(junk));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a font at all, nothing like one");
    f.close();
    const unsigned generation = FontTableGeneration();
    EXPECT_EQ(AddFontResource(junk.c_str()), 0);
    EXPECT_FALSE(RemoveFontResource(junk.c_str()));
    EXPECT_EQ(AddFontResource((dir / "missing.fnt").string().c_str()), 0);
    EXPECT_EQ(AddFontResource(""), 0);
    EXPECT_EQ(FontTableGeneration(), generation) << "files that add nothing change no face";
    std::filesystem::remove_all(dir);

    if (!std::filesystem::exists(PLV_FONT_DIR "/ansi8x12.fnt")) {
        GTEST_SKIP();
    }
    // A single .fnt file adds its one face; a font selected before the file
    // is removed keeps drawing, a new selection falls back to the desktop.
    const std::string file = PLV_FONT_DIR "/ansi8x12.fnt";
    ASSERT_EQ(AddFontResource(file.c_str()), 1);
    const unsigned added = FontTableGeneration();
    EXPECT_NE(added, generation);
    QImage image = Canvas(40, 20);
    TDC kept(image);
    kept.SelectObject(TFont(k8x12, 12));
    EXPECT_EQ(kept.GetTextExtent("ab"), TSize(16, 12));
    EXPECT_TRUE(RemoveFontResource(file.c_str()));
    EXPECT_NE(FontTableGeneration(), added);
    EXPECT_EQ(FindRasterFont(k8x12, 12), nullptr);
    EXPECT_EQ(kept.GetTextExtent("ab"), TSize(16, 12));
    TDC fresh(image);
    fresh.SelectObject(TFont(k8x12, 12));
    TEXTMETRIC tm;
    fresh.GetTextMetrics(tm);
    EXPECT_NE(tm.tmCharSet, 250);
}

TEST(DesktopFonts, OtherFacesDrawWithTheDesktopsFonts)
{
    QImage image = Canvas(120, 40);
    TDC dc(image);
    dc.SelectObject(TFont("Times New Roman", -16, 0, 0, 0, FW_BOLD));
    TEXTMETRIC tm;
    ASSERT_TRUE(dc.GetTextMetrics(tm));
    EXPECT_GE(tm.tmHeight, 16);
    EXPECT_EQ(tm.tmWeight, FW_BOLD);
    const TSize extent = dc.GetTextExtent("Page 1");
    EXPECT_GT(extent.cx, 20);
    EXPECT_EQ(extent.cy, tm.tmHeight);
    dc.SetBkMode(TRANSPARENT);
    dc.TextOut(2, 2, "Page 1");
    // Ink inside the text's box and nowhere else; no grey: nothing smoothed.
    int ink = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 120; ++x) {
            const QRgb p = image.pixel(x, y);
            ASSERT_TRUE(p == 0xFF000000u || p == 0xFFFFFFFFu);
            if (p == 0xFF000000u) {
                ++ink;
                EXPECT_TRUE(x >= 2 && x < 2 + extent.cx + tm.tmOverhang + 2 && y >= 2 && y < 2 + extent.cy);
            }
        }
    }
    EXPECT_GT(ink, 20);

    // Positive heights are whole cells.
    dc.SelectObject(TFont("", 20));
    dc.GetTextMetrics(tm);
    EXPECT_LE(tm.tmHeight, 20);
    EXPECT_GE(tm.tmHeight, 14);
}

}  // namespace
