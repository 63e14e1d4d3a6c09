#include "plintvlr/shell/base/string_table.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Every subsystem adds its own entries; these checks catch two of them taking
// one id for different texts, and a text that Str would cut.
TEST(StringTableTest, IdsAreUniqueAndTextsFitTheStrBuffers)
{
    std::span<const StringEntry> entries = StringTableEntries();
    ASSERT_FALSE(entries.empty());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const StringEntry& e = entries[i];
        ASSERT_NE(e.text, nullptr) << e.id;
        EXPECT_LE(std::strlen(e.text), 254u) << "string " << e.id << " is too long for Str";
        if (i > 0) {
            EXPECT_LE(entries[i - 1].id, e.id) << "table not in id order";
            if (entries[i - 1].id == e.id) {
                EXPECT_STREQ(entries[i - 1].text, e.text) << "string " << e.id << " has two texts";
            }
        }
        EXPECT_STREQ(FindStringText(e.id), e.text);
    }
    EXPECT_EQ(FindStringText(-1), nullptr);
}

TEST(StringTableTest, TestEntriesLieOverTheTableForTheirLifetime)
{
    {
        TestStringTable outer({{443, "Replaced"}, {65000, "New"}});
        {
            TestStringTable inner({{65000, "Newer"}});
            EXPECT_STREQ(FindStringText(65000), "Newer");
            EXPECT_STREQ(FindStringText(443), "Replaced");
        }
        EXPECT_STREQ(FindStringText(65000), "New");
    }
    EXPECT_STREQ(FindStringText(443), "Application Message");
    EXPECT_EQ(FindStringText(65000), nullptr);
}

}  // namespace
