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

}  // namespace
