#include "plintvlr/db/dtag.h"

#include "plintvlr/db/tests/tag_test_util.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

// Tag 3 "VALVE" with every optional group: flags 0x83, refresh Page Change,
// internal words 5 and 5, alarm 'E', frequency 1s; input 1 register 10 on
// channel A with "Shut" / "Open"; input 2 protocol address 05 00 on channel B
// with "Err" / ""; no read-after-write, output block 2 on channel B.
const std::vector<std::uint8_t> kFullRecord = Bytes(
    "03 00 | 83 | 01 | 05 00 00 00 | 05 00 00 00 | 45 | 01"
    "01 | 04 | 0A 00 00 00"
    "05 56 41 4C 56 45 | 04 53 68 75 74 | 04 4F 70 65 6E"
    "00 | 02 | 05 00 | 03 45 72 72 | 00"
    "00 | 03 | 04 | 02 00 00 00"
    "14");

dtag FullTag()
{
    dtag tag;
    const std::uint8_t input1[] = {0x0A, 0, 0, 0};
    const std::uint8_t input2[] = {5, 0};
    const std::uint8_t output[] = {2, 0, 0, 0};
    tag.SetNumber(3);
    tag.SetFlags(0x83);
    tag.SetRefresh(kRefreshPageChange);
    tag.AssignInternalAddress(3);
    tag.SetAlarmCode('E');
    tag.SetFrequency(1);
    tag.SetAddress(0, input1, 4, kAddressRegister);
    tag.SetName("VALVE");
    tag.SetStatusText0("Shut");
    tag.SetStatusText1("Open");
    tag.SetAddress(1, input2, 2, kAddressPlc);
    tag.SetAddressChannel(1, kChannelB);
    tag.SetStatusText2("Err");
    tag.SetAddress(2, output, 4, kAddressCommsBlock);
    tag.SetAddressChannel(2, kChannelB);
    return tag;
}

// Tag 1 "S" on register 1, nothing optional.
const std::vector<std::uint8_t> kPlainRecord = Bytes(
    "01 00 | 00 | 00 | 00 00 00 00 | 00 00 00 00 | 00 | 00"
    "01 | 04 | 01 00 00 00"
    "01 53 | 00 | 00");

TEST(DtagRecord, PacksEveryGroupAsLaidOut)
{
    EXPECT_EQ(Pack(FullTag()), kFullRecord);
}

TEST(DtagRecord, PacksWithoutOptionalGroups)
{
    dtag tag;
    const std::uint8_t reg[] = {1, 0, 0, 0};
    tag.SetNumber(1);
    tag.SetAddress(0, reg, 4, kAddressRegister);
    tag.SetName("S");
    tag.SetStatusText2("ignored without flag 0x01");
    EXPECT_EQ(Pack(tag), kPlainRecord);
}

TEST(DtagRecord, AMissingInputIsNeverPacked)
{
    dtag tag = FullTag();
    tag.SetAddress(1, nullptr, 0, kAddressNone);
    EXPECT_TRUE(Pack(tag).empty());
    tag.ClearFlag(kDtagSecondInput);
    EXPECT_FALSE(Pack(tag).empty());
    tag.SetAddress(0, nullptr, 0, kAddressInvalid);
    EXPECT_TRUE(Pack(tag).empty());
}

TEST(DtagRecord, UnpacksEveryGroup)
{
    dtag tag;
    EXPECT_EQ(tag.UnpackRecord(3, kFullRecord), TagUnpack::kComplete);
    EXPECT_TRUE(tag.IsSame(FullTag()));
    EXPECT_EQ(tag.GetInternalAddressA(), 5u);
    EXPECT_EQ(tag.GetStatusText(2), "Err");
    EXPECT_EQ(tag.GetAddressChannel(0), kChannelA);
    EXPECT_EQ(tag.GetAddressChannel(1), kChannelB);
    EXPECT_EQ(tag.GetAddressChannel(2), kChannelB);
    EXPECT_EQ(Pack(tag), kFullRecord);
}

TEST(DtagRecord, AbsentGroupsComeBackEmpty)
{
    dtag tag = FullTag();
    EXPECT_EQ(tag.UnpackRecord(1, kPlainRecord), TagUnpack::kComplete);
    EXPECT_EQ(tag.GetName(), "S");
    EXPECT_TRUE(tag.GetStatusText(2).empty());
    EXPECT_TRUE(tag.GetStatusText(3).empty());
    TagAddressBuffer bytes{};
    int length = 0;
    EXPECT_EQ(tag.GetAddress(1, bytes, length), kAddressNone);
    EXPECT_EQ(tag.GetAddress(2, bytes, length), kAddressNone);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(tag.GetAddressChannel(i), kChannelA) << i;
}

TEST(DtagRecord, EveryCutOffRecordIsReadWithinItsBytes)
{
    for (std::size_t n = 0; n < kFullRecord.size(); ++n) {
        const std::vector<std::uint8_t> cut(kFullRecord.begin(), kFullRecord.begin() + static_cast<std::ptrdiff_t>(n));
        dtag tag = FullTag();
        EXPECT_EQ(tag.UnpackRecord(3, cut), TagUnpack::kCutOff) << n;
        if (n < 36) {
            EXPECT_TRUE(tag.GetStatusText(1).empty()) << n;
        }
    }
}

TEST(DtagRecord, OutOfRangeTextLengthsEndTheRecord)
{
    struct Case {
        std::size_t at;  // the length byte changed
        std::uint8_t length;
        TagUnpack result;
    };
    const Case cases[] = {{20, 255, TagUnpack::kTextTooLong}, {20, 34, TagUnpack::kTextTooLong},
                          {26, 33, TagUnpack::kTextTooLong},  {31, 255, TagUnpack::kTextTooLong},
                          {37, 255, TagUnpack::kCutOff}};
    for (const Case& c : cases) {
        std::vector<std::uint8_t> record = kFullRecord;
        record[c.at] = c.length;
        dtag tag;
        EXPECT_EQ(tag.UnpackRecord(3, record), c.result) << c.at;
        EXPECT_EQ(tag.GetAlarmCode(), 'E');
        EXPECT_EQ(tag.GetAddressChannel(1), kChannelA) << c.at;
    }
}

TEST(DtagAlarms, LettersOfTheStatusAlarms)
{
    struct Case {
        bool event, a0, a1, a2, a3, print;
        char code;
    };
    const Case cases[] = {
        {false, false, false, false, false, true, ' '}, {false, true, false, false, false, true, 'A'},
        {false, false, true, false, false, true, 'B'},  {false, true, true, false, false, true, 'E'},
        {false, true, true, true, false, false, 'k'},   {false, false, true, true, true, true, 'M'},
        {false, true, true, true, true, true, ' '},     {true, true, false, false, false, false, 'o'},
        {false, true, false, false, true, true, 'G'}};
    for (const Case& c : cases) {
        dtag tag;
        tag.SetAlarmFlags(c.event, c.a0, c.a1, c.a2, c.a3, c.print);
        EXPECT_EQ(tag.GetAlarmCode(), c.code);
        if (!c.event && c.code != ' ') {
            EXPECT_EQ(tag.IsStatusAlarmOn(0), c.a0) << c.code;
            EXPECT_EQ(tag.IsStatusAlarmOn(1), c.a1) << c.code;
            EXPECT_EQ(tag.IsStatusAlarmOn(2), c.a2) << c.code;
            EXPECT_EQ(tag.IsStatusAlarmOn(3), c.a3) << c.code;
        }
    }
}

TEST(DtagBrowser, Columns)
{
    dtag tag = FullTag();
    tag.SetStatusText1("Twenty characters xx");
    tag.SetStatusText0("Status zero is shown whole");
    std::string title;
    EXPECT_EQ(tag.GetColumnCount(), 21);
    tag.GetColumnTitle(title, 1);
    EXPECT_EQ(title, "Input_1");
    tag.GetColumnTitle(title, 20);
    EXPECT_EQ(title, "Print alarms");
    EXPECT_EQ(tag.GetColumnTitle(title, 21), 0);

    const std::pair<int, const char*> expected[] = {
        {1, "B0010"}, {2, "A"},   {4, "B"},          {5, "CBLOCK0002"}, {6, "B"},
        {7, "No"},    {8, "Page Change"},            {9, "1s"},        {10, "No"},
        {11, "Status zero is shown whole"},          {12, "Yes"},      {13, "Twenty char"},
        {14, "Yes"},  {15, "Err"}, {16, "No"},       {17, ""},         {18, "No"},
        {19, "No"},   {20, "Yes"}};
    for (const auto& [column, text] : expected)
        EXPECT_EQ(Column(tag, column), text) << column;

    tag.SetAlarmFlags(true, false, false, false, false, false);
    EXPECT_EQ(Column(tag, 19), "Yes");
    EXPECT_EQ(Column(tag, 20), "No");
    tag.SetAlarmCode(' ');
    EXPECT_EQ(Column(tag, 20), "No");
    tag.SetAlarmCode(0);
    EXPECT_EQ(Column(tag, 20), "No");
    EXPECT_EQ(Column(tag, 12), "No");

    tag.SetRecipeTag(true);
    EXPECT_EQ(tag.GetFlags() & kDtagRecipe, kDtagRecipe);
    EXPECT_EQ(Column(tag, 7), "Yes");
}

TEST(Dtag, SamenessAndTexts)
{
    dtag a = FullTag();
    dtag b = FullTag();
    b.SetStatusText3("other");
    EXPECT_FALSE(a.IsSame(b));
    a.ClearFlag(kDtagSecondInput);
    b.ClearFlag(kDtagSecondInput);
    EXPECT_TRUE(a.IsSame(b));
    b.SetAlarmCode('A');
    EXPECT_FALSE(a.IsSame(b));

    dtag c;
    c.SetStatusText0(std::string(40, 's'));
    char buffer[40];
    c.GetStatusText0(buffer, 33);
    EXPECT_EQ(std::string(buffer), std::string(32, 's'));
    c.AssignInternalAddress(10);
    EXPECT_EQ(c.GetInternalAddressB(), 19u);
}

}  // namespace
