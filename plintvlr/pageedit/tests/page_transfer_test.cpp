// Whole pages on the clipboard: which blocks of format 0x200 are taken as a
// page of the open project's panel, and the round trip through the clipboard.

#include "plintvlr/pageedit/page_transfer.h"

#include "plintvlr/db/quellstor.h"
#include "plintvlr/pageedit/tests/page_test_util.h"

#include <gtest/gtest.h>

namespace {

class PageTransferTest : public PageFixture {};

// A page 1 record with one line, on panel type 9.
const std::string kRecord = Join({"01 00", records::kLine, "00"});

std::optional<ClipboardData> PanelBlock(const std::string& hex)
{
    return Parse(hex);
}

TEST_F(PageTransferTest, OnlyWholeWellFormedPagesOfALikePanelAreTaken)
{
    Open(9);
    const Quellstor panel(9);
    // Over-long: lines enough to pass the largest record, each well formed.
    std::string tooLong = "01 00";
    while (Parse(tooLong).size() < static_cast<std::size_t>(LargestPageRecord(panel)))
        tooLong = Join({tooLong, records::kLine});
    tooLong = Join({tooLong, "00 00"});

    struct Case {
        const char* name;
        std::string block;
        std::optional<ClipboardData> panelBlock;
        PageBlock result;
    } cases[] = {
        {"a page", Join({kRecord, "00"}), std::nullopt, PageBlock::Good},
        {"an empty page", "05 00 00 00", std::nullopt, PageBlock::Good},
        {"from this panel type", Join({kRecord, "00"}), PanelBlock("09 00"), PageBlock::Good},
        {"from a panel of the same layout", Join({kRecord, "00"}), PanelBlock("0B 00"), PageBlock::Good},
        {"a panel block that names no type is ignored", Join({kRecord, "00"}), PanelBlock("09 00 00"),
         PageBlock::Good},
        {"from a larger screen", Join({kRecord, "00"}), PanelBlock("0E 00"), PageBlock::OtherPanel},
        {"from a colour panel", Join({kRecord, "00"}), PanelBlock("0A 00"), PageBlock::OtherPanel},
        {"from no panel type", Join({kRecord, "00"}), PanelBlock("0C 00"), PageBlock::OtherPanel},
        {"nothing", "", std::nullopt, PageBlock::NotAPage},
        {"shorter than a key and two zeros", "01 00 00", std::nullopt, PageBlock::NotAPage},
        {"without the trailing zero", kRecord, std::nullopt, PageBlock::NotAPage},
        {"cut inside an element", "01 00 48 00 10 01 00 0A 00 00", std::nullopt, PageBlock::NotAPage},
        {"an end byte before the elements", Join({"01 00 00", records::kLine, "00 00"}), std::nullopt,
         PageBlock::NotAPage},
        {"longer than the panel's pages", tooLong, std::nullopt, PageBlock::NotAPage},
        {"another program's text", "48 65 6C 6C 6F 2C 20 77 6F 72 6C 64 00 00", std::nullopt, PageBlock::NotAPage},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> record{0xEE};
        const Bytes block = Parse(c.block);
        EXPECT_EQ(CheckPageBlock(panel, block, c.panelBlock, record), c.result) << c.name;
        if (c.result == PageBlock::Good)
            EXPECT_EQ(Hex(record), Hex(Bytes(block.begin(), block.end() - 1))) << c.name;
        else
            EXPECT_TRUE(record.empty()) << c.name;
    }
}

TEST_F(PageTransferTest, APageGoesThroughTheClipboardWithItsPanelType)
{
    Open(9);
    const Quellstor panel(9);
    const Bytes record = Parse(kRecord);
    ASSERT_TRUE(PutPageOnClipboard(nullptr, record, 9));
    EXPECT_TRUE(IsPageOnClipboard());
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(Hex(*GetClipboardData(kPageClipboardFormat)), Hex(Parse(Join({kRecord, "00"}))));
    EXPECT_EQ(Hex(*GetClipboardData(kPagePanelClipboardFormat)), "09 00");

    // While someone holds the clipboard nothing is taken or put.
    std::vector<std::uint8_t> taken;
    EXPECT_EQ(TakePageFromClipboard(nullptr, panel, taken), PageBlock::Busy);
    EXPECT_FALSE(PutPageOnClipboard(nullptr, Parse("02 00 00"), 9));
    CloseClipboard();

    EXPECT_EQ(TakePageFromClipboard(nullptr, panel, taken), PageBlock::Good);
    EXPECT_EQ(Hex(taken), Hex(record));
    EXPECT_EQ(TakePageFromClipboard(nullptr, Quellstor(14), taken), PageBlock::OtherPanel);

    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_FALSE(IsPageOnClipboard());
    EXPECT_EQ(TakePageFromClipboard(nullptr, panel, taken), PageBlock::Busy);
}

}  // namespace
