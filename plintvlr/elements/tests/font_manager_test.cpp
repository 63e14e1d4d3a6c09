#include "plintvlr/elements/font_manager.h"

#include "platform/base/fnt_file.h"
#include "plintvlr/db/tests/project_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A stored font record: the key copy, then a font file of that cell and face.
Bytes FontRecord(std::uint16_t key, int width, int height, const std::string& face)
{
    FntHeader header;
    header.pixWidth = width;
    header.pixHeight = height;
    header.ascent = height - 1;
    header.avgWidth = width;
    header.firstChar = 32;
    header.lastChar = 126;
    header.defaultChar = 32;
    header.face = face;
    const Bytes file = FntFile(header).FileBytes();
    Bytes record(2 + file.size());
    record[0] = static_cast<std::uint8_t>(key);
    record[1] = static_cast<std::uint8_t>(key >> 8);
    std::copy(file.begin(), file.end(), record.begin() + 2);
    return record;
}

// Where the font file's header keeps the offset of the face name.
constexpr std::size_t kFaceOffsetField = 2 + 105;

class FontManagerTest : public ProjectFixture {};

TEST_F(FontManagerTest, AProjectWithoutFontsHasOnlyThePanelFont)
{
    adatabase& db = CreateAndOpen("NOFONT", 14);
    fontmanager fonts(&db, 14);
    for (int n : {0, 1, 5, 9, 10, 200, -1}) {
        EXPECT_STREQ(fonts.GetFontName(n), "ANSI Zobrel 5x8") << n;
        EXPECT_EQ(fonts.GetFontSize(n), (PanelSize{6, 8})) << n;
    }
    EXPECT_EQ(fonts.FindFont("ANSI Zobrel 5x8"), 0);
    EXPECT_TRUE(fonts.IsPanelFont("ANSI Zobrel 5x8"));
    EXPECT_EQ(fonts.FindFreeNumber(), 1);
    EXPECT_EQ(fonts.GetDefaultFont(), 0);
}

TEST_F(FontManagerTest, StoredFontsAreLoadedAndReloaded)
{
    adatabase& db = CreateAndOpen("FONTS", 14);
    const Bytes big = FontRecord(181, 12, 18, "Zobrel H12x18");
    ASSERT_EQ(db.PutSystemRecord(181, big.data(), static_cast<std::uint16_t>(big.size())), 0);
    Bytes broken = FontRecord(183, 16, 24, "Zobrel T16x24");
    broken[kFaceOffsetField + 2] = 0x7F;  // the face name far beyond the file
    ASSERT_EQ(db.PutSystemRecord(183, broken.data(), static_cast<std::uint16_t>(broken.size())), 0);

    fontmanager fonts(&db, 14);
    EXPECT_STREQ(fonts.GetFontName(1), "Zobrel H12x18");
    EXPECT_EQ(fonts.GetFontSize(1), (PanelSize{12, 18}));
    EXPECT_STREQ(fonts.GetFontName(3), "ANSI Zobrel 5x8");  // unreadable: font 0 stands in
    EXPECT_EQ(fonts.FindFont("Zobrel H12x18"), 1);
    EXPECT_EQ(fonts.FindFont("Zobrel T16x24"), -1);
    EXPECT_EQ(fonts.FindFreeNumber(), 2);

    fonts.SetDefaultFont(1);
    fonts.Reload(16);
    EXPECT_EQ(fonts.GetDefaultFont(), 0);
    EXPECT_STREQ(fonts.GetFontName(0), "QS VZKA/MA 6x9");
    EXPECT_EQ(fonts.GetFontSize(0), (PanelSize{6, 9}));
    EXPECT_STREQ(fonts.GetFontName(1), "Zobrel H12x18");
}

TEST_F(FontManagerTest, TheProjectMakesItsFontManagerWhenRegistered)
{
    RegisterElementsCoreServices();
    adatabase& db = CreateAndOpen("REG", 16);
    ASSERT_NE(db.GetFontManager(), nullptr);
    EXPECT_STREQ(db.GetFontManager()->GetFontName(0), "QS VZKA/MA 6x9");
    db.Close();
    EXPECT_EQ(db.GetFontManager(), nullptr);
}

TEST(FontRecordTest, ShortOrDamagedRecordsAreNotRead)
{
    font_entry entry;
    const Bytes good = FontRecord(181, 8, 8, "X");
    EXPECT_TRUE(ParseFontRecord(good.data(), good.size(), entry));
    EXPECT_EQ(entry.face, "X");
    EXPECT_EQ(entry.cellWidth, 8);
    font_entry untouched;
    EXPECT_FALSE(ParseFontRecord(good.data(), 100, untouched));
    EXPECT_FALSE(ParseFontRecord(good.data(), 1, untouched));
    EXPECT_TRUE(untouched.face.empty());
    EXPECT_EQ(untouched.cellWidth, 0);
}

}  // namespace
