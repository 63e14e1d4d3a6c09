#include "plintvlr/db/menv_registry.h"

#include "plintvlr/db/menv.h"
#include "plintvlr/db/tests/hex_bytes.h"
#include "plintvlr/db/tests/project_fixture.h"
#include "plintvlr/db/text_pool.h"

#include "platform/base/files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;



class MenvRegistryTest : public ProjectFixture {
protected:
    // A table of one entry per text number, named and stored under its number.
    static void Store(std::int32_t number, std::string_view name, std::vector<std::int32_t> texts = {},
                      pile* pool = nullptr)
    {
        menv table(pool, number);
        table.SetName(name);
        for (std::int32_t text : texts) {
            table.AddEntry();
            table.SetEntryValue(table.GetEntryCount() - 1, table.GetEntryCount());
            table.SetEntryTextNumber(table.GetEntryCount() - 1, text);
        }
        ASSERT_TRUE(table.Save()) << number;
    }

    static std::vector<std::string> Names(Menv_registry& registry)
    {
        std::vector<std::string> names;
        std::string name;
        std::uint32_t id = 0;
        while (registry.Next(name, id, kWalkForward))
            names.push_back(std::to_string(id) + ":" + name);
        return names;
    }

    static std::vector<std::string> TextsOf(std::int32_t number, pile& pool)
    {
        menv table(&pool, 0);
        EXPECT_TRUE(table.Read(number));
        std::vector<std::string> texts;
        for (int i = 0; i < table.GetEntryCount(); ++i) {
            std::string text;
            int row = i;
            table.GetColumnText(text, 4, row);
            texts.push_back(text);
        }
        return texts;
    }
};

TEST_F(MenvRegistryTest, EveryStoredTableIsNamedHoweverHighItsNumber)
{
    CreateAndOpen("NUMBERS");
    Menv_registry registry;
    EXPECT_FALSE(registry.Load());  // no tables yet

    for (std::int32_t n : {3, 999, 1000, 1200, 1499, 1500})
        Store(n, "T" + std::to_string(n));
    Store(7, "PUMP");
    Store(8, "PUMP");
    const Bytes junk = HexVector("00 41 42");
    ASSERT_EQ(Db().PutMessage(9, junk.data(), 3), DF_OK);

    ASSERT_TRUE(registry.Load());
    // Tables from 1000 on are the editor's too; 1500 is past the registry.
    EXPECT_EQ(Names(registry), (std::vector<std::string>{"3:T3", "7:PUMP", "8:*DUPL*8*PUMP", "999:T999", "1000:T1000",
                                                          "1200:T1200", "1499:T1499"}));
    EXPECT_EQ(registry.Capacity(), 1500u);

    std::unique_ptr<browseable> row = registry.CreateItemFor(1200);
    ASSERT_TRUE(row->Read(1200));
    std::string name;
    row->GetColumnText(name, 0);
    EXPECT_EQ(name, "T1200");
    EXPECT_EQ(registry.CreateItem()->GetColumnCount(), 7);
}

TEST_F(MenvRegistryTest, TableFiveCountsEveryTableAsTheDatabaseDoes)
{
    adatabase& db = CreateAndOpen("SIZES");
    Store(1, "A", {1, 2});
    Store(1300, "B", {3});
    const std::int32_t afterPuts = db.GetTableTotal(kTableMessages);
    EXPECT_EQ(afterPuts, static_cast<std::int32_t>(db.GetMessageLength(1) + 12 + db.GetMessageLength(1300) + 12));
    EXPECT_EQ(Menv_registry().GetTableSize(), static_cast<std::uint32_t>(afterPuts));

    _QSglobals.NewDatabase();
    ASSERT_EQ(Db().OpenProject("SIZES"), 1);
    EXPECT_EQ(Db().GetTableTotal(kTableMessages), afterPuts);
}

TEST_F(MenvRegistryTest, PackingKeepsExactlyTheTextsTablesUse)
{
    adatabase& db = CreateAndOpen("PACK");
    pile pool;
    std::uint32_t id = 0;
    for (const char* text : {"unused", "alpha", "beta", "unused too", "gamma"})
        pool.Add(text, id);
    ASSERT_EQ(pool.Store(), DF_OK);
    Store(1, "First", {2, 5}, &pool);
    Store(2, "Second", {3, 2, 0}, &pool);

    db.PackMessageTexts();

    // The key copy, then the texts in the order the tables use them.
    EXPECT_EQ(Read(db, kTableSystem, kTextPoolRecord), HexVector("76 00 | 61 6C 70 68 61 00 | 67 61 6D 6D 61 00 | 62 65 74 61 00"));
    pile packed;
    ASSERT_TRUE(packed.Load());
    EXPECT_EQ(TextsOf(1, packed), (std::vector<std::string>{"alpha", "gamma"}));
    EXPECT_EQ(TextsOf(2, packed), (std::vector<std::string>{"beta", "alpha", ""}));
    menv second(&packed, 0);
    ASSERT_TRUE(second.Read(2));
    EXPECT_EQ(second.GetEntryTextNumber(0), 3);
    EXPECT_EQ(second.GetEntryTextNumber(2), 0);
    EXPECT_EQ(second.GetName(), "Second");
}

TEST_F(MenvRegistryTest, PackingWithoutTablesDropsThePool)
{
    adatabase& db = CreateAndOpen("NOTABLES");
    pile pool;
    std::uint32_t id = 0;
    pool.Add("orphan", id);
    ASSERT_EQ(pool.Store(), DF_OK);
    db.PackMessageTexts();
    EXPECT_TRUE(Read(db, kTableSystem, kTextPoolRecord).empty());
}

TEST_F(MenvRegistryTest, PackingLeavesAProjectWithADamagedTableAsItWas)
{
    CreateAndOpen("DAMAGED");
    pile pool;
    std::uint32_t id = 0;
    for (const char* text : {"unused", "alpha", "beta"})
        pool.Add(text, id);
    ASSERT_EQ(pool.Store(), DF_OK);
    Store(1, "Good", {2}, &pool);
    Store(2, "Bad", {3}, &pool);
    _QSglobals.NewDatabase();
    DamageRecord(ProjectPath("DAMAGED") + "/dtb-05.db3", 2, 2);
    adatabase& again = _QSglobals.GetDatabase();
    ASSERT_EQ(again.OpenProject("DAMAGED"), 1);
    const Bytes poolBefore = Read(again, kTableSystem, kTextPoolRecord);
    const Bytes goodBefore = Read(again, kTableMessages, 1);

    again.PackMessageTexts();
    EXPECT_EQ(Read(again, kTableSystem, kTextPoolRecord), poolBefore);
    EXPECT_EQ(Read(again, kTableMessages, 1), goodBefore);
}

TEST_F(MenvRegistryTest, PackingThatCannotWriteLeavesEveryTableWithItsTexts)
{
    // Each write of the packing fails in turn (the first table, a later
    // table, the pool); whatever is left must still give every table its texts.
    const std::vector<std::string> first = {"alpha", "gamma"};
    const std::vector<std::string> second = {"beta", "alpha", ""};
    bool completed = false;
    for (int nth = 1; nth < 200 && !completed; ++nth) {
        const std::string name = "FAIL" + std::to_string(nth);
        adatabase& db = CreateAndOpen(name);
        pile pool;
        std::uint32_t id = 0;
        for (const char* text : {"unused", "alpha", "beta", "unused too", "gamma"})
            pool.Add(text, id);
        ASSERT_EQ(pool.Store(), DF_OK);
        Store(1, "First", {2, 5}, &pool);
        Store(2, "Second", {3, 2, 0}, &pool);
        const Bytes poolBefore = Read(db, kTableSystem, kTextPoolRecord);

        FileFaults::FailWrite(nth);
        db.PackMessageTexts();
        FileFaults::Reset();

        pile now;
        ASSERT_TRUE(now.Load()) << nth;
        EXPECT_EQ(TextsOf(1, now), first) << "write " << nth << " failed";
        EXPECT_EQ(TextsOf(2, now), second) << "write " << nth << " failed";
        completed = Read(db, kTableSystem, kTextPoolRecord) != poolBefore;
    }
    EXPECT_TRUE(completed) << "some run got through every write";
}

}  // namespace
