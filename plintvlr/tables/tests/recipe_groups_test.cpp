#include "plintvlr/tables/recipe_groups.h"

#include "plintvlr/db/id_counter.h"
#include "plintvlr/db/tests/project_fixture.h"
#include "platform/base/little_endian.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

class RecipeGroupsTest : public ProjectFixture {
protected:
    void SetUp() override
    {
        ProjectFixture::SetUp();
        db_ = &CreateAndOpen("RECIPES", 14);
    }
    void Store(std::uint16_t key, const Bytes& record)
    {
        ASSERT_EQ(db_->PutRecipe(key, record.data(), static_cast<std::uint16_t>(record.size())), 0);
    }
    adatabase* db_ = nullptr;
};

TEST_F(RecipeGroupsTest, RecordLayout)
{
    TRecipeGroup group("Mix");
    group.SetNumber(3);
    group.AddTag(5);
    group.AddTag(0x8002);
    EXPECT_EQ(group.Encode(), (Bytes{0x03, 0x00, 0x04, 'M', 'i', 'x', 0x00, 0x02, 0x00, 0x05, 0x00, 0x02, 0x80}));

    const Bytes record = {0x09, 0x00, 0x06, 'B', 'a', 't', 'c', 'h', 0x00, 0x01, 0x00, 0x07, 0x00};
    TRecipeGroup decoded(1, record.data(), record.size());
    EXPECT_EQ(decoded.GetNumber(), 9);
    EXPECT_EQ(decoded.GetName(), "Batch");
    EXPECT_EQ(decoded.GetTags(), (std::vector<std::uint16_t>{7}));
}

// A record of group `number` named `name` with `tags` tag ids 1, 2, ...
Bytes GroupRecord(std::uint16_t number, const std::string& name, int tags)
{
    Bytes record;
    AppendLe16(record, number);
    record.push_back(static_cast<std::uint8_t>(name.size() + 1));
    for (char c : name)
        record.push_back(static_cast<std::uint8_t>(c));
    record.push_back(0);
    AppendLe16(record, static_cast<std::uint16_t>(tags));
    for (int i = 1; i <= tags; ++i)
        AppendLe16(record, static_cast<std::uint16_t>(i));
    return record;
}

TEST_F(RecipeGroupsTest, LoadReadsTable11InNumberOrder)
{
    TRecipeArray recipes;
    EXPECT_EQ(recipes.Load(*db_), 0);  // an empty table
    EXPECT_EQ(recipes.GetCount(), 0u);

    // A one-character name and 110 tags: 227 bytes, the first 100 tags kept.
    const Bytes many = GroupRecord(2, "A", 110);
    ASSERT_EQ(many.size(), 227u);
    Store(2, many);
    Store(1, {0x01, 0x00, 0x03, 'B', 'C', 0x00, 0x00, 0x00});
    ASSERT_EQ(recipes.Load(*db_), 1);
    ASSERT_EQ(recipes.GetCount(), 2u);
    EXPECT_EQ(recipes.Groups()[0].GetName(), "BC");
    EXPECT_EQ(recipes.Groups()[1].GetTags().size(), 100u);
    EXPECT_EQ(recipes.Groups()[1].GetTags().back(), 100);
    EXPECT_EQ(db_->GetTableTotal(11), (8 + 12) + (227 + 12));

    // Longer records are read whole, and the groups behind them too.
    const Bytes huge = GroupRecord(5, "ZZ", 146);
    ASSERT_EQ(huge.size(), 300u);
    Store(5, huge);
    Store(6, GroupRecord(6, "Y", 0));
    ASSERT_EQ(recipes.Load(*db_), 1);
    ASSERT_EQ(recipes.GetCount(), 4u);
    EXPECT_EQ(recipes.FindByNumber(5)->GetTags().size(), 100u);
    EXPECT_EQ(recipes.FindByNumber(5)->GetTags().back(), 100);
    EXPECT_EQ(recipes.FindByName("Y")->GetNumber(), 6);
}

TEST_F(RecipeGroupsTest, ADamagedRecordKeepsTheGroupsBehindItAndItsNumber)
{
    Store(1, GroupRecord(1, "First", 2));
    Store(2, GroupRecord(2, "Broken", 2));
    Store(3, GroupRecord(3, "Third", 2));
    DamageRecord(ProjectPath("RECIPES") + "/dtb-0B.db3", 2, 4);

    TRecipeArray recipes;
    EXPECT_EQ(recipes.Load(*db_), 0);
    std::vector<std::string> names;
    recipes.GetNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"First", "Third"}));

    // The damaged record's number is not handed out, so its record stays.
    TRecipeGroup added("New");
    ASSERT_EQ(recipes.Add(added), 1);
    EXPECT_EQ(added.GetNumber(), 4);
    ASSERT_EQ(added.Write(*db_), 0);
    std::uint8_t buffer[64];
    std::uint16_t length = sizeof buffer;
    EXPECT_EQ(db_->GetRecord(11, 2, buffer, length), DF_BAD_CHECK);

    // Once it is gone, a load forgets it.
    ASSERT_EQ(db_->DeleteRecipe(2), 0);
    EXPECT_EQ(recipes.Load(*db_), 1);
    TRecipeGroup again("Again");
    ASSERT_EQ(recipes.Add(again), 1);
    EXPECT_EQ(again.GetNumber(), 2);
}

TEST_F(RecipeGroupsTest, NumberingTakesTheLowestFreeNumber)
{
    TRecipeArray recipes;
    for (int i = 0; i < 3; ++i) {
        TRecipeGroup g("G" + std::to_string(i));
        ASSERT_EQ(recipes.Add(g), 1);
        ASSERT_EQ(g.Write(*db_), 0);
    }
    TRecipeGroup fourth("G3");
    ASSERT_EQ(recipes.Add(fourth), 1);
    EXPECT_EQ(fourth.GetNumber(), 4);
    EXPECT_EQ(recipes.Remove(*db_, "G1"), 1);
    EXPECT_EQ(recipes.Remove(*db_, "nobody"), -1);
    std::uint8_t buffer[64];
    std::uint16_t length = sizeof buffer;
    EXPECT_EQ(db_->GetRecord(11, 2, buffer, length), 5);
    TRecipeGroup next("G4");
    ASSERT_EQ(recipes.Add(next), 1);
    EXPECT_EQ(next.GetNumber(), 2);
    EXPECT_EQ(recipes.FindByNumber(0), nullptr);
    std::vector<std::string> names;
    recipes.GetNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"G0", "G4", "G2", "G3"}));

    while (recipes.GetCount() < TRecipeArray::kMaxGroups) {
        TRecipeGroup g("more");
        ASSERT_EQ(recipes.Add(g), 1);
    }
    TRecipeGroup refused("last");
    refused.SetNumber(77);
    EXPECT_EQ(recipes.Add(refused), -1);
    EXPECT_EQ(refused.GetNumber(), 77);
}

TEST_F(RecipeGroupsTest, UseCountsComeFromTheCounterFile)
{
    Store(1, {0x01, 0x00, 0x02, 'A', 0x00, 0x00, 0x00});
    Store(2, {0x02, 0x00, 0x02, 'B', 0x00, 0x00, 0x00});
    Store(3, {0x03, 0x00, 0x02, 'C', 0x00, 0x00, 0x00});
    TIdCounter page;
    page.Add({3, 2});
    page.Add({2, 1});
    page.Add({7, 4});  // no group 7: nothing happens
    ASSERT_TRUE(page.Save(12));

    TRecipeArray recipes;
    ReloadRecipeGroups(recipes, *db_);
    EXPECT_EQ(recipes.FindByNumber(1)->GetUseCount(), 0);
    EXPECT_EQ(recipes.FindByNumber(2)->GetUseCount(), 1);
    EXPECT_EQ(recipes.FindByName("C")->GetUseCount(), 2);
    EXPECT_EQ(recipes.FindByNumber(7), nullptr);

    // The page no longer uses group 2: its count falls to 0 on the next
    // re-synchronisation instead of staying where it was.
    TIdCounter changed;
    changed.Add({3, 2});
    recipes.ApplyUseCounts(changed);
    EXPECT_EQ(recipes.FindByNumber(2)->GetUseCount(), 0);
    EXPECT_EQ(recipes.FindByNumber(3)->GetUseCount(), 2);
}

}  // namespace
