#include "plintvlr/elements/font_manager.h"

#include "plintvlr/db/tests/project_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A stored font record: the key copy, then a bitmap font file whose header
// gives the cell width at 86, the height at 88 and the face's offset at 105.
Bytes FontRecord(std::uint16_t key, std::uint16_t width, std::uint16_t height, const std::string& face)
{
    Bytes file(118, 0);
    file[0] = 0x00;
    file[1] = 0x02;  // version 2.00
    file[86] = static_cast<std::uint8_t>(width);
    file[88] = static_cast<std::uint8_t>(height);
    file[105] = 118;  // the face right after the header
    file.insert(file.end(), face.begin(), face.end());
    file.push_back(0);
    Bytes record(2 + file.size());
    record[0] = static_cast<std::uint8_t>(key);
    record[1] = static_cast<std::uint8_t>(key >> 8);
    std::copy(file.begin(), file.end(), record.begin() + 2);
    return record;
}

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
    broken[2 + 105] = 0xF0;  // face offset beyond the file
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
    font_entry untouched;
    EXPECT_FALSE(ParseFontRecord(good.data(), 100, untouched));
    EXPECT_TRUE(untouched.face.empty());
    // A face without its NUL ends at the end of the record.
    Bytes open = good;
    open.pop_back();
    ASSERT_TRUE(ParseFontRecord(open.data(), open.size(), entry));
    EXPECT_EQ(entry.face, "X");
}

}  // namespace
