#include "plintvlr/db/text_pool.h"

#include "plintvlr/db/tests/tag_test_util.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(TextPool, OffsetsAndRecordOfTwoTexts)
{
    pile pool;
    std::uint32_t id = 0;
    EXPECT_TRUE(pool.Add("ab", id));
    EXPECT_EQ(id, 1u);
    EXPECT_TRUE(pool.Add("cde", id));
    EXPECT_EQ(id, 2u);
    EXPECT_FALSE(pool.Add("ab", id));  // equal texts share one number
    EXPECT_EQ(id, 1u);

    EXPECT_EQ(pool.GetOffset(1), 0u);
    EXPECT_EQ(pool.GetOffset(2), 3u);
    EXPECT_EQ(pool.GetOffset(3), 7u);
    EXPECT_EQ(pool.GetOffset(0), 2u);  // the first text's NUL: an empty text
    EXPECT_EQ(pool.IndexOfOffset(3), 2u);
    EXPECT_EQ(pool.IndexOfOffset(0), 1u);
    EXPECT_EQ(pool.IndexOfOffset(5), 0u);
    EXPECT_EQ(pool.GetOffset(kTextPoolCapacity + 5), 0u);

    EXPECT_EQ(pool.PackRecord(), Bytes("76 00 | 61 62 00 | 63 64 65 00"));
}

TEST(TextPool, AnEmptyPoolIsTheKeyCopyAlone)
{
    pile pool;
    EXPECT_EQ(pool.PackRecord(), Bytes("76 00"));
}

TEST(TextPool, LoadsARecordInOrder)
{
    pile pool;
    pool.LoadFromRecord(Bytes("76 00 | 48 69 00 | 00 | 4F 4B 00 | 65 6E 64"));
    std::string text;
    ASSERT_EQ(pool.Count(), 4u);
    pool.GetName(2, text);
    EXPECT_EQ(text, "");
    pool.GetName(4, text);
    EXPECT_EQ(text, "end");  // the last text ends with the record
    EXPECT_EQ(pool.GetOffset(3), 4u);
    EXPECT_EQ(pool.IndexOfOffset(4), 3u);
    EXPECT_EQ(pool.PackRecord(), Bytes("76 00 | 48 69 00 | 00 | 4F 4B 00 | 65 6E 64 00"));

    pile tiny(3);
    tiny.LoadFromRecord(Bytes("76 00 | 61 00 | 62 00 | 63 00"));  // room for two texts
    EXPECT_EQ(tiny.Count(), 2u);
    pile nothing;
    nothing.LoadFromRecord(Bytes("76"));
    EXPECT_EQ(nothing.Count(), 0u);
}

TEST(TextPool, BrowseRow)
{
    pile pool;
    std::unique_ptr<browseable> row = pool.CreateItem();
    ASSERT_NE(row, nullptr);
    std::string text;
    EXPECT_EQ(row->GetColumnCount(), 1);
    EXPECT_EQ(row->GetColumnTitle(text, 0), 9);
    EXPECT_EQ(text, "TableName");
    EXPECT_EQ(row->GetColumnTitle(text, 1), 0);
    row->GetColumnText(text, 0);
    EXPECT_EQ(text, "Not Yet Implemented");
    EXPECT_TRUE(row->Read(4));
    std::int32_t first = 1;
    std::int32_t last = 1;
    EXPECT_TRUE(row->GetIdRange(first, last));
    EXPECT_EQ(std::make_pair(first, last), std::make_pair(0, -1));
    EXPECT_FALSE(row->Paste(1));
}

}  // namespace
