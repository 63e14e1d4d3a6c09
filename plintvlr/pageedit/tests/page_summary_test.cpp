#include "plintvlr/pageedit/page_summary.h"

#include "plintvlr/db/tests/project_fixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class PageSummaryTest : public ProjectFixture {};

TEST_F(PageSummaryTest, RecordsEveryStoredPage)
{
    adatabase& db = CreateAndOpen("PAGES", 14);  // 100 pages
    const std::vector<std::uint8_t> page(300, 1);
    for (std::uint32_t n : {1u, 7u, 100u})
        ASSERT_EQ(db.PutPage(n, page.data(), static_cast<std::uint16_t>(100 + n)), 0);

    tpsummary summary(db);
    EXPECT_EQ(summary.GetCount(), 3);
    EXPECT_EQ(summary.GetTotalSize(), (101u + 12) + (107 + 12) + (200 + 12));
    EXPECT_TRUE(summary.IsStored(7));
    EXPECT_FALSE(summary.IsStored(8));
    EXPECT_EQ(summary.GetSize(100), 200);
    EXPECT_EQ(summary.GetSize(101), 0);  // beyond the panel's last page
    EXPECT_FALSE(summary.IsValidPage(-1));
    EXPECT_TRUE(summary.IsValidPage(0));

    summary.SetSize(7, 50);
    summary.Remove(1);
    summary.SetSize(101, 9);  // not a page: nothing is written
    EXPECT_EQ(summary.GetSize(7), 50);
    EXPECT_FALSE(summary.IsStored(1));
    EXPECT_EQ(summary.GetCount(), 2);
    EXPECT_EQ(summary.GetTotalSize(), 101u + 107 + 200 + 36);  // what the pages took at opening
}

TEST_F(PageSummaryTest, ADamagedPageStaysStoredButOutsideTheTotal)
{
    adatabase& db = CreateAndOpen("DAMAGED", 14);
    const std::vector<std::uint8_t> page(60, 3);
    for (std::uint32_t n : {2u, 5u, 9u})
        ASSERT_EQ(db.PutPage(n, page.data(), static_cast<std::uint16_t>(10 * n)), 0);
    DamageRecord(db.GetProjectFolder() + "/" + TableFileName(kTablePages), 5, 3);

    tpsummary summary(db);
    EXPECT_EQ(summary.GetCount(), 3) << "the walk goes on past the damaged page and counts it";
    EXPECT_TRUE(summary.IsStored(5));
    EXPECT_TRUE(summary.IsDamaged(5));
    EXPECT_FALSE(summary.IsDamaged(9));
    EXPECT_EQ(summary.GetSize(5), 50) << "its stored length";
    EXPECT_EQ(summary.GetTotalSize(), (20u + 12) + (90 + 12)) << "the pages that could be read";

    // Saved over, it is an ordinary page; removed, it is gone.
    summary.SetSize(5, 44);
    EXPECT_FALSE(summary.IsDamaged(5));
    EXPECT_TRUE(summary.IsStored(5));
    summary.Remove(5);
    EXPECT_FALSE(summary.IsStored(5));
    EXPECT_EQ(summary.GetCount(), 2);
}

TEST_F(PageSummaryTest, TheProjectCountsItsPagesThroughTheSummary)
{
    RegisterPageEditCoreServices();
    {
        adatabase& db = CreateAndOpen("TOTAL", 16);
        const std::vector<std::uint8_t> page(50, 2);
        ASSERT_EQ(db.PutPage(3, page.data(), 50), 0);
        ASSERT_EQ(db.PutPage(4, page.data(), 20), 0);
        db.Close();
    }
    adatabase& db = _QSglobals.NewDatabase();
    ASSERT_EQ(db.OpenProject("TOTAL"), 1);
    ASSERT_NE(db.GetPageSummary(), nullptr);
    EXPECT_EQ(db.GetPageSummary()->GetCount(), 2);
    EXPECT_EQ(db.GetTableTotal(4), 62 + 32);
}

}  // namespace
