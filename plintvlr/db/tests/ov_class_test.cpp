#include "plintvlr/db/ov_class.h"

#include "plintvlr/db/atag_registry.h"
#include "plintvlr/db/dtag_registry.h"
#include "plintvlr/db/tests/hex_bytes.h"
#include "plintvlr/db/tests/project_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

OvList ListOf(std::initializer_list<std::uint16_t> numbers)
{
    OvList list;
    for (std::uint16_t n : numbers)
        list.Add(ovClass(n));
    return list;
}

TEST(OvClassTest, RecordLaidOutAsStored)
{
    ovClass group(0x0203);
    group.SetName("PUMPS");
    group.SetMember(0, 0x0011);
    group.SetMember(3, 0x8005);
    group.SetMember(9, 0xFFFF);
    const Bytes record = HexVector(
        "03 02"
        "| 50 55 4D 50 53 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
        "| 11 00 00 00 00 00 05 80 00 00 00 00 00 00 00 00 00 00 FF FF");
    const auto bytes = group.GetRecord();
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), record);

    ovClass back(record);
    EXPECT_EQ(back, group);
    EXPECT_EQ(back.GetName(), "PUMPS");
    EXPECT_EQ(back.GetMember(3), 0x8005);
}

TEST(OvClassTest, NamesKeepAtMostTwentyFourCharacters)
{
    ovClass group(1);
    group.SetName("ABCDEFGHIJKLMNOPQRSTUVWXYZ12");
    EXPECT_EQ(group.GetName(), "ABCDEFGHIJKLMNOPQRSTUVWX");
    EXPECT_EQ(group.GetRecord()[2 + 24], 0);

    // A stored name without its NUL is read up to the 24th character too.
    Bytes record(ovClass::kRecordSize, 'Q');
    EXPECT_EQ(ovClass(record).GetName(), std::string(24, 'Q'));
    // A cut record reads its missing bytes as zeros.
    EXPECT_EQ(ovClass(HexVector("07 00 41")).GetName(), "A");
    EXPECT_EQ(ovClass(HexVector("07 00 41")).GetMember(9), 0);
}

TEST(OvClassTest, CopyKeepsTheListDatum)
{
    ovClass a(4);
    a.SetName("A");
    a.SetMember(1, 7);
    a.SetListData(99);
    ovClass b;
    b.SetListData(5);
    b.CopyFrom(a);
    EXPECT_EQ(b, a);
    EXPECT_EQ(b.GetListData(), 5);
    EXPECT_EQ(b.GetMember(10), 0);
    b.SetMember(-1, 3);  // ignored
    EXPECT_EQ(b, a);
}

TEST(OvClassTest, ColumnTitles)
{
    ovClass group;
    EXPECT_EQ(group.GetColumnCount(), 12);
    EXPECT_EQ(group.GetColumnTitle(0), "Number");
    EXPECT_EQ(group.GetColumnTitle(1), "Overview group name");
    EXPECT_EQ(group.GetColumnTitle(2), "Tag Name1");
    EXPECT_EQ(group.GetColumnTitle(11), "Tag Name10");
    EXPECT_EQ(group.GetColumnTitle(12), "");
}

TEST(OvListTest, NextFreeNumber)
{
    struct Case {
        std::initializer_list<std::uint16_t> numbers;
        int limit;
        int expected;
    } cases[] = {
        {{}, 100, 1},
        {{1, 2, 4}, 100, 3},
        {{1, 2, 3}, 3, 0},
        {{1, 2, 3}, 100, 4},
        {{2, 3}, 3, 1},
        {{1, 2, 3}, 4, 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ListOf(c.numbers).NextFreeNumber(c.limit), c.expected);
}

TEST(OvListTest, NeighboursWrapAround)
{
    EXPECT_EQ(OvList().GetNeighbour(true, 1), nullptr);

    const OvList list = ListOf({7, 2, 5});
    struct Case {
        bool forward;
        std::uint16_t from;
        int expected;
    } cases[] = {
        {true, 0, 2}, {false, 0, 2}, {true, 3, 2}, {true, 2, 5}, {true, 7, 2},
        {false, 7, 5}, {false, 2, 7}, {false, 5, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(list.GetNeighbour(c.forward, c.from)->GetNumber(), c.expected) << c.forward << " " << c.from;
}

class OvListProjectTest : public ProjectFixture {};

std::vector<int> Numbers(const OvList& list)
{
    std::vector<int> numbers;
    for (const ovClass& group : list)
        numbers.push_back(group.GetNumber());
    return numbers;
}

TEST_F(OvListProjectTest, UpdateRemoveAndLoad)
{
    adatabase& db = CreateAndOpen("GROUPS");
    OvList list;
    ovClass group(4);
    group.SetName("Boilers");
    group.SetMember(0, 0x8003);
    EXPECT_EQ(list.Update(db, group), DF_OK);
    EXPECT_EQ(list.Update(db, ovClass(2)), DF_OK);
    group.SetName("Boilers 2");
    EXPECT_EQ(list.Update(db, group), DF_OK);
    EXPECT_EQ(Numbers(list), (std::vector<int>{2, 4}));
    EXPECT_EQ(list.Find(4)->GetName(), "Boilers 2");
    const auto record = group.GetRecord();
    EXPECT_EQ(Read(db, kTableOverviewGroups, 4), Bytes(record.begin(), record.end()));

    // A group whose record is not stored cannot be deleted and stays.
    list.Add(ovClass(9));
    EXPECT_FALSE(list.Remove(db, 9));
    EXPECT_TRUE(list.Contains(9));
    EXPECT_TRUE(list.Remove(db, 2));
    EXPECT_FALSE(list.Remove(db, 2));
    EXPECT_TRUE(Read(db, kTableOverviewGroups, 2).empty());

    _QSglobals.NewDatabase();
    adatabase& again = _QSglobals.GetDatabase();
    ASSERT_EQ(again.OpenProject("GROUPS"), 1);
    OvList loaded;
    loaded.Add(ovClass(1));
    EXPECT_EQ(loaded.Load(again), 1);
    EXPECT_EQ(Numbers(loaded), (std::vector<int>{4}));
    EXPECT_EQ(*loaded.Find(4), group);
    EXPECT_EQ(again.GetTableTotal(kTableOverviewGroups), 47 + 12);
}

TEST_F(OvListProjectTest, NextFreeNumberUsesThePanelsLimit)
{
    const OvList one = ListOf({1});
    EXPECT_EQ(one.NextFreeNumber(CreateAndOpen("GRAPHIC", 14)), 2);
    EXPECT_EQ(one.NextFreeNumber(CreateAndOpen("TEXT", 16)), 0);  // text panels have no groups
    EXPECT_EQ(OvList().NextFreeNumber(Db()), 1);
}

TEST_F(OvListProjectTest, MemberColumnsNameTheTags)
{
    adatabase& db = CreateAndOpen("NAMES");
    ASSERT_TRUE(db.GetAnalogRegistry()->SetNameAt("PUMP", 17));
    ASSERT_TRUE(db.GetDigitalRegistry()->SetNameAt("VALVE", 5));
    ovClass group(3);
    group.SetName("Plant");
    group.SetMember(0, 17);
    group.SetMember(3, 0x8005);
    group.SetMember(4, 0x8805);  // a digital number is its low 11 bits
    group.SetMember(5, 18);      // no such tag
    group.SetMember(6, 0x8000);
    EXPECT_EQ(group.GetColumnText(2), "PUMP");
    EXPECT_EQ(group.GetColumnText(5), "VALVE");
    EXPECT_EQ(group.GetColumnText(6), "VALVE");
    EXPECT_EQ(group.GetColumnText(7), "");
    EXPECT_EQ(group.GetColumnText(12), "");
    EXPECT_EQ(group.GetRowText(), "3\tPlant\tPUMP\t\t\tVALVE\tVALVE\t\t\t\t\t\n");
}

}  // namespace
