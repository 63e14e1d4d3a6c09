// The panel fonts made at build time: the faces and cells the panel models
// and the font dialog need, and glyphs that are the source font's pixels.
#include "platform/base/files.h"
#include "platform/base/fnt_file.h"
#include "tools/fntconv/panel_font.h"
#include "tools/fntconv/pcf_font.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Shipped {
    const char* file;
    const char* face;
    int width;
    int height;
    const char* source;
    int scale;
    int originX;
    int originY;
};

const std::vector<Shipped> kShipped = {
    {"ansi5x8.fnt", "ANSI Zobrel 5x8", 6, 8, "5x8", 1, 0, 0},
    {"ansi8x12.fnt", "ANSI Zobrel 8x12", 8, 12, "8x13", 1, 0, -1},
    {"ansi8x14.fnt", "ANSI Zobrel 8x14", 8, 14, "8x13", 1, 0, 0},
    {"vzka6x9.fnt", "QS VZKA/MA 6x9", 6, 9, "6x9", 1, 0, 0},
    {"r12x18.fnt", "Zobrel R12x18", 12, 18, "9x18", 1, 1, 0},
    {"h12x18.fnt", "Zobrel H12x18", 12, 18, "9x18B", 1, 1, 0},
    {"t12x18.fnt", "Zobrel T12x18", 12, 18, "6x9", 2, 0, 0},
    {"r16x24.fnt", "Zobrel R16x24", 16, 24, "10x20", 1, 3, 2},
    {"h16x24.fnt", "Zobrel H16x24", 16, 24, "9x18B", 1, 3, 3},
    {"t16x24.fnt", "Zobrel T16x24", 16, 24, "8x13", 2, 0, -2},
};

std::string FontPath(const char* file)
{
    return std::string(PLV_FONT_DIR) + "/" + file;
}

std::string SourcePath(const std::string& stem)
{
    return std::string(PLV_X11_MISC_FONTS) + "/" + stem + ".pcf.gz";
}

TEST(PanelFontsTest, EveryFaceIsShippedWithItsCell)
{
    for (const Shipped& s : kShipped) {
        SCOPED_TRACE(s.face);
        FntFile font;
        ASSERT_EQ(FntFile::Load(FontPath(s.file), font), FntError::None);
        EXPECT_EQ(font.FaceName(), s.face);
        EXPECT_EQ(font.Header().version, 0x200);
        EXPECT_EQ(font.Header().charSet, 250);
        EXPECT_EQ(font.PixWidth(), s.width);
        EXPECT_EQ(font.PixHeight(), s.height);
        EXPECT_EQ(font.FirstChar(), 0x20);
        EXPECT_EQ(font.LastChar(), 0xFF);
        for (int ch = 0x20; ch <= 0xFF; ++ch) {
            ASSERT_EQ(font.GlyphWidth(ch), s.width) << ch;
        }
        // The header fields a project record is read by: cell width and
        // height at 86 and 88, the face name's offset at 105.
        std::string bytes;
        ASSERT_TRUE(ReadWholeFile(FontPath(s.file), bytes));
        const auto u16 = [&](std::size_t at) {
            return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
        };
        EXPECT_EQ(u16(86), s.width);
        EXPECT_EQ(u16(88), s.height);
        EXPECT_EQ(std::string(bytes.c_str() + u16(105)), s.face);
    }
}

TEST(PanelFontsTest, ProgramFontHoldsEveryFace)
{
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(PLV_PROGRAM_FONT, bytes));
    std::vector<FntFile> fonts;
    ASSERT_EQ(FntFile::ParseAll(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), fonts), FntError::None);
    ASSERT_EQ(fonts.size(), kShipped.size());
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        EXPECT_EQ(fonts[i].FaceName(), kShipped[i].face);
        EXPECT_EQ(fonts[i].PixHeight(), kShipped[i].height);
    }
}

// Rows of the source glyphs as the font's own BDF form spells them (one hex
// byte per row, leftmost pixel in the high bit), over the whole cell.
struct KnownGlyph {
    const char* source;
    std::uint32_t code;
    std::vector<unsigned> rows;
};
const std::vector<KnownGlyph> kKnown = {
    {"6x9", 'A', {0x00, 0x20, 0x50, 0x88, 0xF8, 0x88, 0x88, 0x00, 0x00}},
    {"6x9", 0x20AC, {0x00, 0x38, 0x40, 0xF0, 0xF0, 0x40, 0x38, 0x00, 0x00}},
    {"8x13", 'g', {0x00, 0x00, 0x00, 0x00, 0x00, 0x3A, 0x44, 0x44, 0x38, 0x40, 0x3C, 0x42, 0x3C}},
};

TEST(PanelFontsTest, SourceReaderGivesTheKnownGlyphs)
{
    for (const KnownGlyph& k : kKnown) {
        SCOPED_TRACE(std::string(k.source) + " U+" + std::to_string(k.code));
        PcfFont font;
        std::string error;
        ASSERT_TRUE(PcfFont::Load(SourcePath(k.source), font, error)) << error;
        ASSERT_EQ(font.Ascent() + font.Descent(), static_cast<int>(k.rows.size()));
        const PcfGlyph* g = font.Find(k.code);
        ASSERT_NE(g, nullptr);
        for (int y = 0; y < static_cast<int>(k.rows.size()); ++y) {
            for (int x = 0; x < g->advance; ++x) {
                EXPECT_EQ(font.CellPixel(*g, x, y), ((k.rows[y] >> (7 - x)) & 1) != 0) << x << "," << y;
            }
        }
    }
}

// The 6x9 'A' as it must stand in the two fonts made from 6x9: as it is, and
// doubled on the 12x18 cell.
TEST(PanelFontsTest, ShippedGlyphsAreTheSourcePixels)
{
    FntFile plain;
    FntFile doubled;
    ASSERT_EQ(FntFile::Load(FontPath("vzka6x9.fnt"), plain), FntError::None);
    ASSERT_EQ(FntFile::Load(FontPath("t12x18.fnt"), doubled), FntError::None);
    const std::vector<unsigned>& a = kKnown[0].rows;
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool on = ((a[y] >> (7 - x)) & 1) != 0;
            EXPECT_EQ(plain.GlyphPixel('A', x, y), on) << x << "," << y;
            for (int d = 0; d < 4; ++d) {
                EXPECT_EQ(doubled.GlyphPixel('A', 2 * x + d % 2, 2 * y + d / 2), on) << x << "," << y;
            }
        }
    }
    // The 8x13 'g' without its blank top row on the 8x12 cell.
    FntFile cut;
    ASSERT_EQ(FntFile::Load(FontPath("ansi8x12.fnt"), cut), FntError::None);
    const std::vector<unsigned>& g = kKnown[2].rows;
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(cut.GlyphPixel('g', x, y), ((g[y + 1] >> (7 - x)) & 1) != 0) << x << "," << y;
        }
    }

    // A few characters of every font, pixel by pixel against the source
    // placed as the font's row says (Windows-1252 0x80 is the euro sign).
    for (const Shipped& s : kShipped) {
        SCOPED_TRACE(s.face);
        FntFile font;
        ASSERT_EQ(FntFile::Load(FontPath(s.file), font), FntError::None);
        PcfFont source;
        std::string error;
        ASSERT_TRUE(PcfFont::Load(SourcePath(s.source), source, error)) << error;
        for (int ch : {int{'A'}, int{'g'}, int{'0'}, int{'~'}, 0x80, 0xE9}) {
            const PcfGlyph* glyph = source.Find(Cp1252ToUnicode(ch));
            ASSERT_NE(glyph, nullptr) << ch;
            int ink = 0;
            for (int y = 0; y < s.height; ++y) {
                for (int x = 0; x < s.width; ++x) {
                    const int sx = x - s.originX;
                    const int sy = y - s.originY;
                    const bool expected = sx >= 0 && sy >= 0 && source.CellPixel(*glyph, sx / s.scale, sy / s.scale);
                    EXPECT_EQ(font.GlyphPixel(ch, x, y), expected) << "char " << ch << " at " << x << "," << y;
                    ink += expected;
                }
            }
            EXPECT_GT(ink, 0) << ch;
        }
    }
}

TEST(PanelFontsTest, PlacementThatCutsInkIsRefused)
{
    PcfFont bold;
    std::string error;
    ASSERT_TRUE(PcfFont::Load(SourcePath("8x13B"), bold, error)) << error;
    PanelFontSpec spec;
    spec.face = "Cut";
    spec.cellWidth = 8;
    spec.cellHeight = 12;
    spec.originY = -1;  // the bold font has ink in its top row
    FntFile font;
    std::vector<int> missing;
    EXPECT_FALSE(BuildPanelFont(bold, spec, font, missing, error));
    EXPECT_NE(error.find("loses ink"), std::string::npos) << error;

    EXPECT_FALSE(PcfFont::Parse({'n', 'o', 't', ' ', 'p', 'c', 'f', 0}, bold, error));
    std::vector<std::uint8_t> cut = {1, 'f', 'c', 'p', 9, 0, 0, 0};
    EXPECT_FALSE(PcfFont::Parse(cut, bold, error));
}

TEST(PanelFontsTest, WindowsCharactersMapToUnicode)
{
    EXPECT_EQ(Cp1252ToUnicode('A'), 0x41u);
    EXPECT_EQ(Cp1252ToUnicode(0x80), 0x20ACu);
    EXPECT_EQ(Cp1252ToUnicode(0x9F), 0x0178u);
    EXPECT_EQ(Cp1252ToUnicode(0x81), 0u);
    EXPECT_EQ(Cp1252ToUnicode(0x7F), 0u);
    EXPECT_EQ(Cp1252ToUnicode(0xE9), 0xE9u);
}

}  // namespace
