// The process-side name index of the system variable table against the table
// in (here: ordinary) memory that other processes append to.

#include "varnht32/src/variable_table.h"

#include <gtest/gtest.h>

#include <string>

#include "varnht32/tests/arena.h"

namespace {

vnh::SettingsEntry Entry(const std::string& name, std::int32_t value) {
  return vnh::SettingsEntry{name, vnh::VariableValue::Integer(value)};
}

TEST(VariableTableTest, IndexFollowsRecordsOthersAppendAndForgetsATableMadeAgain) {
  vnh_test::Arena arena(1u << 20);
  vnh::VariableTableControl control{};
  vnh::VariableIndex index;
  vnh::VariableTable mine(arena.heap(), control, &index);
  vnh::VariableTable other(arena.heap(), control);  // another process, without this index
  ASSERT_TRUE(mine.SetUp());

  std::uint32_t a = mine.DefineFromFile(Entry("alpha", 1), 0, nullptr);
  EXPECT_EQ(mine.Find("beta"), 0u);
  std::uint32_t b = other.DefineFromFile(Entry("beta", 2), 0, nullptr);
  other.DefineFromFile(Entry("gamma", 3), 0, nullptr);
  ASSERT_NE(a, 0u);
  ASSERT_NE(b, 0u);
  EXPECT_NE(mine.Find("beta"), 0u);
  EXPECT_EQ(mine.Value(mine.Find("gamma")).integer, 3);
  // Defining a name the index already holds changes the record, not the count.
  mine.DefineFromFile(Entry("beta", 5), 0, nullptr);
  EXPECT_EQ(mine.count(), 3u);
  EXPECT_EQ(other.Value(other.Find("beta")).integer, 5);
  EXPECT_EQ(mine.Find("betA"), 0u);

  // The table made again where the old one was: old names are gone, new ones found.
  arena.Reset();
  vnh::VariableTable again(arena.heap(), control);
  ASSERT_TRUE(again.SetUp());
  again.DefineFromFile(Entry("delta", 4), 0, nullptr);
  again.DefineFromFile(Entry("epsilon", 5), 0, nullptr);
  again.DefineFromFile(Entry("zeta", 6), 0, nullptr);
  again.DefineFromFile(Entry("eta", 7), 0, nullptr);
  EXPECT_NE(mine.Find("delta"), 0u);
  EXPECT_EQ(mine.Find("delta"), again.Find("delta"));
  EXPECT_EQ(mine.Find("alpha"), 0u);
  EXPECT_EQ(mine.Value(mine.Find("eta")).integer, 7);
}

TEST(VariableTableTest, IndexFindsEveryNameOfAFullTableAndNoneOfTheOneBefore) {
  vnh_test::Arena arena(8u << 20);
  vnh::VariableTableControl control{};
  vnh::VariableIndex index;
  vnh::VariableTable table(arena.heap(), control, &index);
  ASSERT_TRUE(table.SetUp());
  for (std::uint32_t i = 0; i < vnh::VariableTable::kMaxVariables; ++i) {
    ASSERT_NE(table.DefineFromFile(Entry("v" + std::to_string(i), static_cast<std::int32_t>(i)), 0, nullptr), 0u);
  }
  EXPECT_EQ(table.count(), vnh::VariableTable::kMaxVariables);
  EXPECT_EQ(table.DefineFromFile(Entry("one too many", 1), 0, nullptr), 0u);
  for (std::uint32_t i = 0; i < vnh::VariableTable::kMaxVariables; i += 997) {
    const std::string name = "v" + std::to_string(i);
    std::uint32_t found = table.Find(name);
    ASSERT_NE(found, 0u) << name;
    EXPECT_EQ(table.Value(found).integer, static_cast<std::int32_t>(i));
  }
  EXPECT_EQ(table.Find("v10000"), 0u);
  EXPECT_EQ(table.Find("v1 "), 0u);

  // Set up again in a fresh heap: the large index starts over.
  arena.Reset();
  ASSERT_TRUE(table.SetUp());
  table.DefineFromFile(Entry("w", 1), 0, nullptr);
  EXPECT_EQ(table.Find("v5"), 0u);
  EXPECT_NE(table.Find("w"), 0u);
  EXPECT_EQ(table.count(), 1u);
}

}  // namespace
