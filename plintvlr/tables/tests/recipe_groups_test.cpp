#include "plintvlr/tables/recipe_groups.h"

#include "plintvlr/db/id_counter.h"
#include "plintvlr/db/tests/project_fixture.h"

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

TEST_F(RecipeGroupsTest, LoadReadsTable11InNumberOrder)
{
    TRecipeArray recipes;
    EXPECT_EQ(recipes.Load(*db_), 0);  // an empty table
    EXPECT_EQ(recipes.GetCount(), 0u);

    // A one-character name and 110 tags: 227 bytes, the first 100 tags kept.
    Bytes many = {0x02, 0x00, 0x02, 'A', 0x00, 110, 0x00};
    for (int i = 1; i <= 110; ++i)
        many.insert(many.end(), {static_cast<std::uint8_t>(i), 0x00});
    ASSERT_EQ(many.size(), 227u);
    Store(2, many);
    Store(1, {0x01, 0x00, 0x03, 'B', 'C', 0x00, 0x00, 0x00});
    ASSERT_EQ(recipes.Load(*db_), 1);
    ASSERT_EQ(recipes.GetCount(), 2u);
    EXPECT_EQ(recipes.Groups()[0].GetName(), "BC");
    EXPECT_EQ(recipes.Groups()[1].GetTags().size(), 100u);
    EXPECT_EQ(recipes.Groups()[1].GetTags().back(), 100);
    EXPECT_EQ(db_->GetTableTotal(11), (8 + 12) + (227 + 12));

    // A record longer than 241 bytes ends the load there.
    Bytes huge = {0x05, 0x00, 0x02, 'Z', 0x00, 120, 0x00};
    huge.resize(7 + 240, 0);
    Store(5, huge);
    Store(6, {0x06, 0x00, 0x02, 'Y', 0x00, 0x00, 0x00});
    EXPECT_EQ(recipes.Load(*db_), 0);
    EXPECT_EQ(recipes.GetCount(), 2u);
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
    Store(3, {0x03, 0x00, 0x02, 'C', 0x00, 0x00, 0x00});
    TIdCounter page;
    page.Add({3, 2});
    page.Add({7, 4});  // no group 7: nothing happens
    ASSERT_TRUE(page.Save(12));

    TRecipeArray recipes;
    ReloadRecipeGroups(recipes, *db_);
    EXPECT_EQ(recipes.FindByNumber(1)->GetUseCount(), 0);
    EXPECT_EQ(recipes.FindByName("C")->GetUseCount(), 2);
    EXPECT_EQ(recipes.FindByNumber(7), nullptr);
}

}  // namespace
