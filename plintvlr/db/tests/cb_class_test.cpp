#include "plintvlr/db/cb_class.h"

#include "plintvlr/db/plc_address_tables.h"
#include "plintvlr/db/tests/project_fixture.h"
#include "plintvlr/db/tests/hex_bytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Protocol 7 reads its addresses as one decimal field of four digits in two bytes.
constexpr int kProtocol = 7;
void UseFourDigitProtocol()
{
    StorePlcAddressFormat(kProtocol, "\x29", 0);
}

TEST(CbClassTest, NewBlockHasTheDefaults)
{
    cbClass block(12);
    EXPECT_EQ(block.GetNumber(), 12);
    EXPECT_EQ(block.GetOption1(), 0);
    for (std::uint8_t option : {block.GetOption2(), block.GetOption3(), block.GetOption4(), block.GetOption5()})
        EXPECT_EQ(option, 'E');
    EXPECT_EQ(block.GetColumnText(5), "Inactive");
    EXPECT_EQ(block.GetColumnText(6), "0s");
    EXPECT_EQ(block.GetColumnText(2), "A");
    EXPECT_EQ(block.GetRecord(), HexVector("0C 00 | 00 | 00 | 45 45 45 45 | 00 | 00 | 00 00 | 00 00"));
}

TEST(CbClassTest, RecordLaidOutAsStored)
{
    UseFourDigitProtocol();
    cbClass block(0x0102);
    block.SetProtocol(kProtocol);
    block.SetOption1(9);
    block.SetOption5('F');
    block.SetTypeIndex(6, 1);  // "Op Write" on channel 2
    block.SetFrequencyIndex(10);
    block.SetPointCount(0x0304);
    block.SetPanelAddress(12, false);
    ASSERT_TRUE(block.ParseRemoteAddress("0300", kProtocol));
    const Bytes record = HexVector("02 01 | 07 | 09 | 45 45 45 46 | 74 | 01 | 04 03 | 0C 80 | 2C 01");
    EXPECT_EQ(block.GetRecord(), record);

    cbClass back(record);
    EXPECT_EQ(back.GetRecord(), record);
    EXPECT_EQ(back.GetAddressLength(), 2);
    EXPECT_EQ(back.GetRowText(), "258\t0300\tB\tB\t12\t772\tOp Write\t1s\n");
}

TEST(CbClassTest, StoredRecordsOfEveryLength)
{
    const Bytes header = HexVector("05 00 07 00 45 45 45 45 21 0A 01 00 05 00");
    cbClass shortest(header);
    EXPECT_EQ(shortest.GetNumber(), 5);
    EXPECT_EQ(shortest.GetAddressLength(), 0);
    EXPECT_EQ(shortest.GetRecord(), header);

    Bytes longest = header;
    for (int i = 0; i < 36; ++i)
        longest.push_back(static_cast<std::uint8_t>(i + 1));
    EXPECT_EQ(cbClass(longest).GetRecord(), longest);

    // Records of no block's length give an empty block rather than a read
    // past them.
    Bytes cut(header.begin(), header.begin() + 13);
    Bytes overlong = longest;
    overlong.push_back(0);
    for (const Bytes& bad : {cut, overlong}) {
        EXPECT_FALSE(cbClass::IsStoredRecord(bad));
        EXPECT_EQ(cbClass(bad).GetNumber(), 0);
    }
}

TEST(CbClassTest, TypeLettersMeanChannelOneUntilAChannelIsSet)
{
    struct Case {
        std::uint8_t type;
        int channel;
        std::uint8_t after;
    } cases[] = {
        {'B', 2, 0x62},  // code 0x22 on channel 2
        {'A', 1, 0x21},
        {'T', 1, 0x34},
        {' ', 2, 0x40},
        {0x25, 2, 0x65},
        {0x65, 1, 0x25},
        {0xE2, 3, 0xA2},
    };
    for (const Case& c : cases) {
        cbClass block(1);
        block.SetTypeByte(c.type);
        const bool letter = cbClass::IsTypeLetter(c.type);
        EXPECT_EQ(block.IsOnChannel(1), letter || (c.type >> 6) == 0) << int(c.type);
        EXPECT_EQ(block.IsOnChannel(2), !letter && (c.type >> 6) == 1) << int(c.type);
        EXPECT_EQ(block.GetColumnText(2).empty(), letter || (c.type >> 6) > 1) << int(c.type);
        block.SetChannel(c.channel);
        EXPECT_EQ(block.GetTypeByte(), c.after) << int(c.type);
        EXPECT_TRUE(block.IsOnChannel(c.channel));
    }
}

TEST(CbClassTest, TypeAndFrequencyTexts)
{
    struct TypeCase {
        std::uint8_t type;
        const char* text;
    } types[] = {
        {0x00, "Inactive"}, {0x21, "Read"},       {0x62, "Read & Disp"},    {0x23, "Read,Disp, & Print"},
        {0x24, "Text Activated"}, {0x65, "Write Data"}, {0x34, "Op Write"}, {0x26, "Inactive"},
        {'A', "Inactive"},
    };
    for (const TypeCase& c : types)
        EXPECT_EQ(CommsBlockTypeText(c.type), c.text) << int(c.type);

    struct FrequencyCase {
        std::uint8_t code;
        const char* text;
    } frequencies[] = {
        {0, "0s"}, {110, ".1s"}, {190, ".9s"}, {1, "1s"}, {60, "60s"}, {255, ""}, {3, "0s"}, {200, "0s"},
    };
    for (const FrequencyCase& c : frequencies)
        EXPECT_EQ(CommsBlockFrequencyText(c.code), c.text) << int(c.code);

    cbClass block;
    block.SetFrequencyIndex(16);
    EXPECT_EQ(block.GetFrequency(), 255);
    block.SetFrequencyIndex(17);
    EXPECT_EQ(block.GetFrequency(), 0);
    block.SetTypeIndex(7, 0);
    EXPECT_EQ(block.GetTypeByte(), 0);
    block.SetTypeIndex(-1, 3);
    EXPECT_EQ(block.GetTypeByte(), 0xC0);
}

TEST(CbClassTest, PanelAddressAndColumns)
{
    cbClass block(1);
    block.SetPanelAddress(12, false);
    EXPECT_EQ(block.GetPanelAddress(), 0x800C);
    EXPECT_EQ(block.GetColumnText(3), "B\t12");
    block.SetPanelAddress(300, true);
    EXPECT_EQ(block.GetPanelAddress(), 300);
    EXPECT_EQ(block.GetColumnText(3), "R\t300");

    const char* titles[] = {"Number",         "Remote Addr",   "Inp1 Channel", "Register or Bit",
                            "Quellstor Addr", "Num of Points", "Block Type",   "Frequency"};
    for (int column = 0; column < 8; ++column)
        EXPECT_EQ(block.GetColumnTitle(column), titles[column]);
    EXPECT_EQ(block.GetColumnTitle(8), "");
    EXPECT_EQ(block.GetColumnTitle(-1), "");
    EXPECT_EQ(block.GetColumnText(7), "");
}

TEST(CbClassTest, RemoteAddressKeepsItsBounds)
{
    UseFourDigitProtocol();
    cbClass block(1);
    block.SetProtocol(kProtocol);
    ASSERT_TRUE(block.ParseRemoteAddress("0012", kProtocol));
    EXPECT_EQ(block.GetColumnText(1), "0012");

    // A text that does not parse leaves a negative length: the address bytes
    // stay and the record carries none, rather than a record cut into its header.
    EXPECT_FALSE(block.ParseRemoteAddress("12345", kProtocol));
    EXPECT_EQ(block.GetAddressLength(), -1);
    EXPECT_EQ(block.GetRecord().size(), cbClass::kHeaderSize);
    EXPECT_EQ(block.GetRemoteAddress()[0], 12);

    Bytes many(40, 0xAB);
    block.SetRemoteAddress(many);
    EXPECT_EQ(block.GetAddressLength(), 36);
    EXPECT_EQ(block.GetRecord().size(), cbClass::kMaxRecordSize);
}

TEST(CbListTest, KeepsBlocksInNumberOrder)
{
    CbList list;
    for (std::uint16_t n : {5, 1, 3, 9})
        list.Add(cbClass(n));
    std::vector<int> order;
    for (const cbClass& block : list)
        order.push_back(block.GetNumber());
    EXPECT_EQ(order, (std::vector<int>{1, 3, 5, 9}));
    EXPECT_TRUE(list.Contains(3));
    EXPECT_FALSE(list.Contains(4));
    EXPECT_TRUE(list.Detach(3));
    EXPECT_FALSE(list.Detach(3));
    EXPECT_EQ(list.Count(), 3u);
}

}  // namespace

namespace {

class CbListProjectTest : public ProjectFixture {};

TEST_F(CbListProjectTest, LoadsTheStoredBlocksAndCountsTheirBytes)
{
    adatabase& db = CreateAndOpen("BLOCKS");
    cbClass two(2);
    two.SetRemoteAddress(HexVector("01 02"));
    for (const cbClass& block : {cbClass(9), two, cbClass(5)})
        ASSERT_EQ(block.Write(db), DF_OK);
    EXPECT_EQ(Read(db, kTableCommsBlocks, 2), HexVector("02 00 00 00 45 45 45 45 00 00 00 00 00 00 01 02"));

    _QSglobals.NewDatabase();
    adatabase& again = _QSglobals.GetDatabase();
    ASSERT_EQ(again.OpenProject("BLOCKS"), 1);
    CbList list;
    list.Add(cbClass(77));  // a load starts afresh
    EXPECT_EQ(list.Load(again), 1);
    std::vector<int> numbers;
    for (const cbClass& block : list)
        numbers.push_back(block.GetNumber());
    EXPECT_EQ(numbers, (std::vector<int>{2, 5, 9}));
    EXPECT_EQ(list.Find(2)->GetAddressLength(), 2);
    EXPECT_EQ(again.GetTableTotal(kTableCommsBlocks), (16 + 7) + (14 + 7) + (14 + 7));
}

TEST_F(CbListProjectTest, DamagedAndForeignRecordsAreSkippedOrEndTheLoad)
{
    adatabase& db = CreateAndOpen("DAMAGED");
    for (std::uint16_t n : {1, 3, 5, 8})
        ASSERT_EQ(cbClass(n).Write(db), DF_OK);
    const Bytes tooShort = HexVector("04 00 01 02 03");
    ASSERT_EQ(db.PutCommsBlock(4, tooShort.data(), static_cast<std::uint16_t>(tooShort.size())), DF_OK);
    const Bytes tooLong(60, 0);
    ASSERT_EQ(db.PutCommsBlock(6, tooLong.data(), static_cast<std::uint16_t>(tooLong.size())), DF_OK);
    _QSglobals.NewDatabase();
    DamageRecord(ProjectPath("DAMAGED") + "/dtb-03.db3", 3, 2);

    adatabase& again = _QSglobals.GetDatabase();
    ASSERT_EQ(again.OpenProject("DAMAGED"), 1);
    CbList list;
    EXPECT_EQ(list.Load(again), 1);
    std::vector<int> numbers;
    for (const cbClass& block : list)
        numbers.push_back(block.GetNumber());
    // 3 fails its check and 4 is no block: both skipped; 6 is longer than any
    // block and ends the load before 8.
    EXPECT_EQ(numbers, (std::vector<int>{1, 5}));
}

}  // namespace
