#include "platform/base/fnt_file.h"

#include "platform/base/files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, unsigned v)
{
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

// A two-character font written out by hand from the layout.
//   'A', 3 wide:  X.X     'B', 10 wide:  X........X  (column bytes 80 00 FF,
//                 .X.                    ........X.   then 40 80 C0)
//                 XXX                    XXXXXXXXXX
// Variable pitch, average width 5 (the closing entry), default char 'B'.
Bytes TinyFont(int version)
{
    const bool v3 = version == 3;
    const std::size_t header = v3 ? 148 : 118;
    const std::size_t entry = v3 ? 6 : 4;
    const std::size_t glyphA = header + 3 * entry;
    const std::size_t glyphB = glyphA + 3;
    const std::size_t closing = glyphB + 6;
    const std::size_t face = closing + 3;
    Bytes b(face + 5, 0);
    Put16(b, 0, v3 ? 0x0300 : 0x0200);        // dfVersion
    Put32(b, 2, static_cast<std::uint32_t>(b.size()));  // dfSize
    b[6] = 'P';                                 // dfCopyright
    b[7] = 'D';
    Put16(b, 66, 0);                            // dfType: raster
    Put16(b, 68, 2);                            // dfPoints
    Put16(b, 70, 96);                           // dfVertRes
    Put16(b, 72, 96);                           // dfHorizRes
    Put16(b, 74, 2);                            // dfAscent
    Put16(b, 83, 400);                          // dfWeight
    b[85] = 250;                                // dfCharSet
    Put16(b, 86, 0);                            // dfPixWidth: variable
    Put16(b, 88, 3);                            // dfPixHeight
    b[90] = 0x31;                               // dfPitchAndFamily
    Put16(b, 91, 5);                            // dfAvgWidth
    Put16(b, 93, 10);                           // dfMaxWidth
    b[95] = 'A';                                // dfFirstChar
    b[96] = 'B';                                // dfLastChar
    b[97] = 1;                                  // dfDefaultChar: 'B', relative
    b[98] = 0;                                  // dfBreakChar
    Put16(b, 99, 4);                            // dfWidthBytes: 1 + 2, made even
    Put32(b, 105, static_cast<std::uint32_t>(face));    // dfFace
    Put32(b, 113, static_cast<std::uint32_t>(glyphA));  // dfBitsOffset
    if (v3) {
        Put32(b, 118, 2);                       // dfFlags: proportional
    }
    auto putEntry = [&](std::size_t i, unsigned width, std::size_t at) {
        Put16(b, header + i * entry, width);
        if (v3) {
            Put32(b, header + i * entry + 2, static_cast<std::uint32_t>(at));
        } else {
            Put16(b, header + i * entry + 2, static_cast<unsigned>(at));
        }
    };
    putEntry(0, 3, glyphA);
    putEntry(1, 10, glyphB);
    putEntry(2, 5, closing);
    const Bytes bits = {0xA0, 0x40, 0xE0, 0x80, 0x00, 0xFF, 0x40, 0x80, 0xC0};
    std::copy(bits.begin(), bits.end(), b.begin() + static_cast<long>(glyphA));
    const std::string name = "Tiny";
    std::copy(name.begin(), name.end(), b.begin() + static_cast<long>(face));
    return b;
}

const char* const kGlyphA[] = {"X.X", ".X.", "XXX"};
const char* const kGlyphB[] = {"X........X", "........X.", "XXXXXXXXXX"};

void ExpectGlyph(const FntFile& font, int ch, const char* const rows[3])
{
    const int width = static_cast<int>(std::string(rows[0]).size());
    ASSERT_EQ(font.GlyphWidth(ch), width) << char(ch);
    for (int y = 0; y < 3; ++y) {
        std::string got;
        for (int x = 0; x < width; ++x) {
            got += font.GlyphPixel(ch, x, y) ? 'X' : '.';
        }
        EXPECT_EQ(got, rows[y]) << "char " << ch << " row " << y;
    }
    EXPECT_FALSE(font.GlyphPixel(ch, width, 0));
    EXPECT_FALSE(font.GlyphPixel(ch, 0, 3));
    EXPECT_FALSE(font.GlyphPixel(ch, -1, 0));
}

TEST(FntFileTest, ReadsVersionTwoAndThree)
{
    for (int version : {2, 3}) {
        SCOPED_TRACE(version);
        FntFile font;
        ASSERT_EQ(FntFile::Parse(TinyFont(version), font), FntError::None);
        EXPECT_EQ(font.Header().version, version == 3 ? 0x300 : 0x200);
        EXPECT_EQ(font.FaceName(), "Tiny");
        EXPECT_EQ(font.Header().copyright, "PD");
        EXPECT_EQ(font.PixHeight(), 3);
        EXPECT_EQ(font.PixWidth(), 0);
        EXPECT_EQ(font.Ascent(), 2);
        EXPECT_EQ(font.Header().charSet, 250);
        EXPECT_EQ(font.FirstChar(), 'A');
        EXPECT_EQ(font.LastChar(), 'B');
        EXPECT_EQ(font.DefaultChar(), 'B');
        EXPECT_EQ(font.FileSize(), TinyFont(version).size());
        ExpectGlyph(font, 'A', kGlyphA);
        ExpectGlyph(font, 'B', kGlyphB);
        // A character the font lacks is drawn as the default one.
        ExpectGlyph(font, 'Z', kGlyphB);
        ExpectGlyph(font, 300, kGlyphB);
    }
}

TEST(FntFileTest, WritesTheLayoutByteForByte)
{
    FntHeader h;
    h.copyright = "PD";
    h.points = 2;
    h.ascent = 2;
    h.charSet = 250;
    h.pixHeight = 3;
    h.pitchAndFamily = 0x31;
    h.avgWidth = 5;
    h.firstChar = 'A';
    h.lastChar = 'B';
    h.defaultChar = 'B';
    h.breakChar = 'A';
    h.face = "Tiny";
    FntFile font(h);
    ASSERT_TRUE(font.IsOK());
    ASSERT_TRUE(font.SetGlyphWidth('A', 3));
    ASSERT_TRUE(font.SetGlyphWidth('B', 10));
    for (auto [ch, rows] : {std::pair{'A', kGlyphA}, std::pair{'B', kGlyphB}}) {
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; rows[y][x]; ++x) {
                ASSERT_TRUE(font.SetGlyphPixel(ch, x, y, rows[y][x] == 'X'));
            }
        }
    }
    EXPECT_FALSE(font.SetGlyphPixel('A', 3, 0, true));
    EXPECT_FALSE(font.SetGlyphPixel('C', 0, 0, true));
    EXPECT_EQ(font.FileBytes(), TinyFont(2));


    // A font read from a file writes back the same bytes, in its own version.
    for (int version : {2, 3}) {
        FntFile read;
        ASSERT_EQ(FntFile::Parse(TinyFont(version), read), FntError::None);
        EXPECT_EQ(read.FileBytes(), TinyFont(version)) << version;
    }
}

TEST(FntFileTest, ReadsFontsStoredBackToBack)
{
    Bytes both = TinyFont(2);
    const Bytes second = TinyFont(3);
    both.insert(both.end(), second.begin(), second.end());
    std::vector<FntFile> fonts;
    ASSERT_EQ(FntFile::ParseAll(both, fonts), FntError::None);
    ASSERT_EQ(fonts.size(), 2u);
    EXPECT_EQ(fonts[1].Header().version, 0x300);
    ExpectGlyph(fonts[1], 'B', kGlyphB);

    both.push_back(0);
    EXPECT_EQ(FntFile::ParseAll(both, fonts), FntError::Truncated);
    EXPECT_TRUE(fonts.empty());
    EXPECT_EQ(FntFile::ParseAll({}, fonts), FntError::Truncated);
}

TEST(FntFileTest, DamagedFilesGiveErrorsNotCrashes)
{
    struct Case {
        const char* name;
        int version;
        std::size_t at;  // where the field starts; SIZE_MAX cuts the file instead
        std::uint32_t value;
        int width;       // bytes of the field
        FntError error;
    };
    constexpr std::size_t kCut = static_cast<std::size_t>(-1);
    const std::vector<Case> cases = {
        {"version 1", 2, 0, 0x100, 2, FntError::BadVersion},
        {"size past the bytes", 2, 2, 148, 4, FntError::Truncated},
        {"size inside the header", 2, 2, 100, 4, FntError::BadHeader},
        {"vector font", 2, 66, 1, 2, FntError::NotRaster},
        {"pixel height 0", 2, 88, 0, 2, FntError::BadHeader},
        {"cell higher than a font can be made", 2, 88, 4097, 2, FntError::BadHeader},
        {"cell wider than a font can be made", 2, 86, 4097, 2, FntError::BadHeader},
        {"average width past the widest cell", 2, 91, 0xFFFF, 2, FntError::BadHeader},
        {"first after last", 2, 95, 'C', 1, FntError::BadHeader},
        {"table past the end", 2, 95, 0, 1, FntError::Truncated},
        {"face past the end", 2, 105, 147, 4, FntError::BadFace},
        {"face inside the header", 2, 105, 10, 4, FntError::BadFace},
        {"face not terminated", 2, 2, 146, 4, FntError::BadFace},
        {"glyph past the end", 2, 118 + 2, 146, 2, FntError::BadGlyph},
        {"glyph inside the table", 2, 118 + 2, 120, 2, FntError::BadGlyph},
        {"glyph far too wide", 2, 118 + 4, 0xFFFF, 2, FntError::BadGlyph},
        {"v3 glyph far away", 3, 148 + 2, 0xFFFFFFF0, 4, FntError::BadGlyph},
        {"v3 header cut", 3, kCut, 140, 0, FntError::Truncated},
        {"a few bytes", 2, kCut, 5, 0, FntError::Truncated},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes b = TinyFont(c.version);
        if (c.at == kCut) {
            b.resize(c.value);
        } else {
            for (int i = 0; i < c.width; ++i) {
                b[c.at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(c.value >> (8 * i));
            }
        }
        FntFile font;
        ASSERT_EQ(FntFile::Parse(TinyFont(2), font), FntError::None);
        EXPECT_EQ(FntFile::Parse(b, font), c.error);
        EXPECT_FALSE(font.IsOK());
        EXPECT_FALSE(font.GlyphPixel('A', 0, 0));
        EXPECT_EQ(font.GlyphWidth('A'), 0);
    }
}

TEST(FntFileTest, OutOfRangeDefaultCharFallsBackToTheFirst)
{
    Bytes b = TinyFont(2);
    b[97] = 7;
    FntFile font;
    ASSERT_EQ(FntFile::Parse(b, font), FntError::None);
    EXPECT_EQ(font.DefaultChar(), 'A');
    ExpectGlyph(font, 'Q', kGlyphA);
}

TEST(FntFileTest, SavesAndLoadsFiles)
{
    char tmpl[] = "/tmp/plv-fnt-XXXXXX";
    const std::string dir = ::mkdtemp(tmpl);
    FntFile font;
    ASSERT_EQ(FntFile::Parse(TinyFont(3), font), FntError::None);
    ASSERT_EQ(font.Save(dir + "\\TINY.FNT"), FntError::None);
    FntFile loaded;
    ASSERT_EQ(FntFile::Load(dir + "/tiny.fnt", loaded), FntError::None);
    ExpectGlyph(loaded, 'A', kGlyphA);
    EXPECT_EQ(FntFile::Load(dir + "/none.fnt", loaded), FntError::FileOpen);
    FileFaults::FailWrite(1);
    EXPECT_EQ(font.Save(dir + "/cut.fnt"), FntError::FileWrite);
    FileFaults::Reset();
    // A failed write over a font leaves the font there.
    FileFaults::ShortWrite(1, 10);
    EXPECT_EQ(font.Save(dir + "/tiny.fnt"), FntError::FileWrite);
    FileFaults::Reset();
    ASSERT_EQ(FntFile::Load(dir + "/TINY.FNT", loaded), FntError::None);
    ExpectGlyph(loaded, 'A', kGlyphA);
    std::filesystem::remove_all(dir);
}

}  // namespace
