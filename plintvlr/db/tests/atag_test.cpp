#include "plintvlr/db/atag.h"

#include "plintvlr/db/tests/tag_test_util.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <string>
#include <vector>

namespace {

// Tag 7 "PUMP" with every optional group: flags 0x87, Signed Word, refresh
// Continuously, 1 decimal, frequency .1s, one register at 16 (both copies),
// input: protocol address 01 02 03 on channel B; units "bar"; linear scaling
// 1000 / 0 / 100 / -100; alarm 'A' 90 / 10; read-after-write, output
// register 12 on channel A.
const std::vector<std::uint8_t> kFullRecord = Bytes(
    "07 00 | 87 | 01 | 02 | 01 | 6E | 01 | 10 00 00 00 | 01 | 10 00 00 00"
    "00 | 03 | 01 02 03"
    "04 50 55 4D 50 | 03 62 61 72"
    "4C | E8 03 00 00 | 00 00 00 00 | 64 00 00 00 | 9C FF FF FF"
    "41 | 5A 00 00 00 | 0A 00 00 00"
    "01 | 01 | 04 | 0C 00 00 00"
    "01");

atag FullTag()
{
    atag tag;
    const std::uint8_t input[] = {1, 2, 3};
    const std::uint8_t output[] = {0x0C, 0, 0, 0};
    tag.SetNumber(7);
    tag.SetFlags(0x87);
    tag.SetDataType(kTypeSignedWord);
    tag.SetRefresh(kRefreshContinuously);
    tag.SetDecimals(1);
    tag.SetFrequency(110);
    tag.SetInternalAddress(16, 1);
    tag.SetAddress(0, input, 3, kAddressPlc);
    tag.SetAddressChannel(0, kChannelB);
    tag.SetName("PUMP");
    tag.SetUnits("bar");
    tag.SetScaling(kScalingLinear);
    tag.SetScaleRange(std::int32_t{1000}, 0, 100, -100);
    tag.SetAlarmType('A');
    tag.SetAlarmLimits(std::int32_t{90}, 10);
    tag.SetReadAfterWrite(1);
    tag.SetAddress(2, output, 4, kAddressRegister);
    tag.SetAddressChannel(2, kChannelA);
    return tag;
}

// The tag the program keeps on text panels: number 99, system flag, register 499.
const std::vector<std::uint8_t> kCommsErrRecord = Bytes(
    "63 00 | 00 | 00 | 80 | 00 | 00 | 00 | 00 00 00 00 | 00 | 00 00 00 00"
    "01 | 04 | F3 01 00 00"
    "09 43 4F 4D 4D 53 5F 45 52 52 | 00");

TEST(AtagRecord, PacksEveryGroupAsLaidOut)
{
    EXPECT_EQ(Pack(FullTag()), kFullRecord);
}

TEST(AtagRecord, PacksWithoutOptionalGroups)
{
    atag tag;
    const std::uint8_t reg[] = {0xF3, 0x01, 0x00, 0x00};
    tag.SetNumber(99);
    tag.SetAddress(0, reg, 4, kAddressRegister);
    tag.SetSystemTag(true);
    tag.SetName("COMMS_ERR");
    // Groups whose flag is clear are left out whatever they hold.
    tag.SetScaleRange(1u, 2u, 3u, 4u);
    tag.SetAlarmType('B');
    tag.SetReadAfterWrite(1);
    EXPECT_EQ(Pack(tag), kCommsErrRecord);
}

TEST(AtagRecord, AnOutputGroupWithoutAnOutputAddressWritesKindAndLengthZero)
{
    atag tag;
    const std::uint8_t reg[] = {1, 0, 0, 0};
    tag.SetNumber(2);
    tag.SetFlags(kAtagOutput);
    tag.SetAddress(0, reg, 4, kAddressRegister);
    tag.SetName("A");
    EXPECT_EQ(Pack(tag), Bytes("02 00 02 00 00 00 00 00 00000000 00 00000000 | 01 04 01 00 00 00 | 01 41 | 00"
                               "00 | 00 | 00"));
}

TEST(AtagRecord, ATagWithoutInputAddressIsNotPacked)
{
    atag tag;
    tag.SetName("NOADDR");
    EXPECT_TRUE(Pack(tag).empty());
    const std::uint8_t reg[] = {1, 0, 0, 0};
    tag.SetAddress(0, reg, 4, kAddressInvalid);
    EXPECT_TRUE(Pack(tag).empty());
}

TEST(AtagRecord, ARecordThatDoesNotFitTheBufferIsNotPacked)
{
    atag tag = FullTag();
    std::array<std::uint8_t, 60> small{};
    EXPECT_EQ(tag.PackRecord(small), 0u);
    std::vector<std::uint8_t> exact(kFullRecord.size());
    EXPECT_EQ(tag.PackRecord(exact), kFullRecord.size());
}

TEST(AtagRecord, UnpacksEveryGroup)
{
    atag tag;
    EXPECT_EQ(tag.UnpackRecord(7, kFullRecord), TagUnpack::kComplete);
    EXPECT_TRUE(tag.IsSame(FullTag()));
    EXPECT_TRUE(FullTag().IsSame(tag));
    EXPECT_EQ(tag.GetAddressChannel(0), kChannelB);
    EXPECT_EQ(tag.GetAddressChannel(1), 0);
    EXPECT_EQ(tag.GetAddressChannel(2), kChannelA);
    EXPECT_EQ(tag.GetScaling(), 'L');
    EXPECT_EQ(static_cast<std::int32_t>(tag.GetInternalLower()), -100);
    EXPECT_EQ(tag.GetAlarmUpper(), 90u);
    EXPECT_EQ(Pack(tag), kFullRecord);
}

TEST(AtagRecord, TheCallersNumberWinsOverTheKeyCopy)
{
    atag tag;
    tag.UnpackRecord(12, kFullRecord);
    EXPECT_EQ(tag.GetNumber(), 12u);
}

TEST(AtagRecord, AbsentGroupsComeBackEmptyWithChannelA)
{
    atag tag = FullTag();  // a reused object: nothing of it may stay
    EXPECT_EQ(tag.UnpackRecord(99, kCommsErrRecord), TagUnpack::kComplete);
    EXPECT_EQ(tag.GetName(), "COMMS_ERR");
    EXPECT_TRUE(tag.IsSystemTag());
    EXPECT_EQ(tag.GetScaling(), 0);
    EXPECT_EQ(tag.GetExternalUpper(), 0u);
    EXPECT_EQ(tag.GetAlarmType(), 0);
    EXPECT_EQ(tag.GetReadAfterWrite(), 0);
    EXPECT_TRUE(tag.UnitsString().empty());
    TagAddressBuffer bytes{};
    int length = 0;
    EXPECT_EQ(tag.GetAddress(2, bytes, length), kAddressNone);
    EXPECT_EQ(tag.GetAddressChannel(0), kChannelA);
    EXPECT_EQ(tag.GetAddressChannel(2), kChannelA);
    EXPECT_EQ(tag.GetAddress(0, bytes, length), kAddressRegister);
    EXPECT_EQ(bytes[0], 0xF3);
}

TEST(AtagRecord, EveryCutOffRecordIsReadWithinItsBytes)
{
    for (std::size_t n = 0; n < kFullRecord.size(); ++n) {
        const std::vector<std::uint8_t> cut(kFullRecord.begin(), kFullRecord.begin() + static_cast<std::ptrdiff_t>(n));
        atag tag = FullTag();
        EXPECT_EQ(tag.UnpackRecord(7, cut), TagUnpack::kCutOff) << n;
        // What the record did not reach is as in a new tag, never the old tag's.
        if (n < 27) {
            EXPECT_TRUE(tag.GetName().empty()) << n;
        }
        if (n < kFullRecord.size() - 1) {
            EXPECT_EQ(tag.GetAddressChannel(0), kChannelA) << n;
        }
    }
}

TEST(AtagRecord, OutOfRangeTextLengthsEndTheRecordAndAreReported)
{
    // Name length 255: the fixed fields and the input address are kept.
    std::vector<std::uint8_t> record = kCommsErrRecord;
    record[23] = 0xFF;
    atag tag;
    EXPECT_EQ(tag.UnpackRecord(99, record), TagUnpack::kTextTooLong);
    EXPECT_TRUE(tag.IsSystemTag());
    EXPECT_TRUE(tag.GetName().empty());
    TagAddressBuffer bytes{};
    int length = 0;
    EXPECT_EQ(tag.GetAddress(0, bytes, length), kAddressRegister);

    // Units of 11 characters.
    std::vector<std::uint8_t> units = kCommsErrRecord;
    units.back() = 11;
    units.insert(units.end(), 11, 'u');
    EXPECT_EQ(tag.UnpackRecord(99, units), TagUnpack::kTextTooLong);
    EXPECT_EQ(tag.GetName(), "COMMS_ERR");
    EXPECT_TRUE(tag.UnitsString().empty());

    // An input address length that runs past the record.
    std::vector<std::uint8_t> address = kCommsErrRecord;
    address[18] = 200;
    EXPECT_EQ(tag.UnpackRecord(99, address), TagUnpack::kCutOff);
    EXPECT_EQ(tag.GetAddress(0, bytes, length), kAddressNone);
}

TEST(AtagRecord, ANameOf33CharactersIsReadAndKeptTo32)
{
    std::vector<std::uint8_t> record(kCommsErrRecord.begin(), kCommsErrRecord.begin() + 23);
    record.push_back(33);
    record.insert(record.end(), 33, 'N');
    record.push_back(2);
    record.push_back('m');
    record.push_back('A');
    atag tag;
    EXPECT_EQ(tag.UnpackRecord(99, record), TagUnpack::kComplete);
    EXPECT_EQ(tag.GetName(), std::string(32, 'N'));
    EXPECT_EQ(tag.UnitsString(), "mA");

    record[23] = 34;
    EXPECT_EQ(tag.UnpackRecord(99, record), TagUnpack::kTextTooLong);
}

TEST(AtagBrowser, TitlesAndTheFixedColumns)
{
    atag tag = FullTag();
    std::string title;
    EXPECT_EQ(tag.GetColumnCount(), 23);
    EXPECT_EQ(tag.GetColumnTitle(title, 0), 8);
    EXPECT_EQ(title, "Tag Name");
    tag.GetColumnTitle(title, 22);
    EXPECT_EQ(title, "Alarms Lwr Lmt");
    EXPECT_EQ(tag.GetColumnTitle(title, 23), 0);
    EXPECT_EQ(tag.GetColumnTitle(title, -1), 0);

    const std::pair<int, const char*> expected[] = {
        {2, "B"},         {3, "R0012"},     {4, "A"},    {5, "Continously"}, {6, ".1s"},
        {7, "Yes"},       {8, "bar"},       {9, "Signed Word"}, {10, "No"},  {11, "1"},
        {12, "0"},        {13, "Yes"},      {14, "Yes"}, {15, "1000"},        {16, "0"},
        {17, "10.0"},     {18, "-10.0"},    {19, "High Low"}, {20, "Yes"},    {21, "9.0"},
        {22, "1.0"},      {23, ""}};
    for (const auto& [column, text] : expected)
        EXPECT_EQ(Column(tag, column), text) << column;

    std::int32_t first = 5;
    std::int32_t last = 5;
    EXPECT_TRUE(tag.GetIdRange(first, last));
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, -1);
}

TEST(AtagBrowser, RangeColumnsByDataType)
{
    atag floating;
    floating.SetDataType(kTypeFloat);
    floating.SetDecimals(2);
    floating.SetScaleRange(12.5f, -1.0f, 12.5f, 0.25f);
    floating.SetAlarmLimits(3.0f, 1.0f);
    EXPECT_EQ(Column(floating, 15), "12.500000");
    EXPECT_EQ(Column(floating, 17), "12.500000");
    EXPECT_EQ(Column(floating, 18), "0.250000");
    EXPECT_EQ(Column(floating, 21), "3.000000");

    atag text;
    text.SetDataType(kTypeText);
    text.SetInternalAddress(40, 6);
    text.SetScaleRange(5u, 5u, 5u, 5u);
    for (int column : {15, 16, 17, 18})
        EXPECT_EQ(Column(text, column), "0") << column;
    EXPECT_EQ(Column(text, 12), "6");

    atag word;
    word.SetDecimals(2);
    word.SetScaleRange(0u, 0u, 5u, 1234u);
    EXPECT_EQ(Column(word, 17), "0.05");
    EXPECT_EQ(Column(word, 18), "12.34");
    word.SetDataType(kTypeUnsignedDword);
    word.SetScaleRange(0u, 0u, 4294967295u, 0u);
    EXPECT_EQ(Column(word, 17), "42949672.95");
}

TEST(AtagBrowser, DecimalPointInsertion)
{
    struct Case {
        const char* text;
        int decimals;
        const char* expected;
    };
    const Case cases[] = {{"5", 2, "0.05"},   {"-5", 2, "-0.05"}, {"1234", 2, "12.34"}, {"0", 0, "0"},
                          {"0", 2, "0.00"},   {"12.5", 3, "12.5"}, {"123", 3, "0.123"}, {"-1234", 1, "-123.4"}};
    for (const Case& c : cases)
        EXPECT_EQ(InsertDecimalPoint(c.text, c.decimals), c.expected) << c.text << " " << c.decimals;
}

TEST(AtagBrowser, EnumeratedColumns)
{
    atag tag;
    EXPECT_EQ(Column(tag, 19), "None");
    EXPECT_EQ(Column(tag, 20), "No");
    tag.SetAlarmType('e');
    EXPECT_EQ(Column(tag, 19), "Low Low");
    EXPECT_EQ(Column(tag, 20), "No");
    tag.SetAlarmType('G');
    EXPECT_EQ(Column(tag, 19), "No Display");
    tag.SetAlarmType('H');
    EXPECT_EQ(Column(tag, 19), "None");

    EXPECT_EQ(Column(tag, 5), "If Displayed");
    tag.SetSystemTag(true);
    EXPECT_EQ(Column(tag, 5), "");  // the refresh byte is shown whole
    tag.SetFrequency(255);
    EXPECT_EQ(Column(tag, 6), "Internal Freq");
    tag.SetFrequency(7);
    EXPECT_EQ(Column(tag, 6), "");

    tag.SetScaling('A');
    EXPECT_EQ(Column(tag, 13), "Yes");
    EXPECT_EQ(Column(tag, 14), "No");
    tag.SetRecipeTag(true);
    EXPECT_EQ(Column(tag, 10), "Yes");
    EXPECT_EQ(tag.GetFlags(), kAtagRecipe);

    // No address, and a communications block.
    EXPECT_EQ(Column(tag, 1), "");
    EXPECT_EQ(Column(tag, 2), "A");
    const std::uint8_t block[] = {5, 0, 0, 0};
    tag.SetAddress(0, block, 4, kAddressCommsBlock);
    EXPECT_EQ(Column(tag, 1), "CBLOCK0005");
    tag.SetAddressChannel(0, 3);
    EXPECT_EQ(Column(tag, 2), "");

    tag.SetDataType(9);  // ignored
    EXPECT_EQ(Column(tag, 9), "Unsigned Word");
}

TEST(Atag, ValuesAndRanges)
{
    atag tag;
    EXPECT_EQ(atag::RegistersForType(kTypeSignedWord, 9), 1);
    EXPECT_EQ(atag::RegistersForType(kTypeFloat, 9), 2);
    EXPECT_EQ(atag::RegistersForType(kTypeText, 9), 9);
    EXPECT_EQ(atag::RegistersForType(kTypeText, 0), 1);
    EXPECT_EQ(atag::RegistersForType(42, 9), 1);

    tag.SetDataType(kTypeFloat);
    tag.SetDecimals(2);
    EXPECT_TRUE(tag.IsDword());
    EXPECT_EQ(tag.RawToReal(std::bit_cast<std::uint32_t>(2.5f)), 2.5L);
    long double lower = 1;
    long double upper = 1;
    EXPECT_FALSE(tag.GetDefaultRange(lower, upper));

    tag.SetDataType(kTypeSignedDword);
    EXPECT_EQ(tag.RawToReal(static_cast<std::uint32_t>(-250)), -2.5L);
    EXPECT_TRUE(tag.GetDefaultRange(lower, upper));
    EXPECT_EQ(lower, -21474836.47L);
    EXPECT_FALSE(tag.GetInternalRange(lower, upper));
    EXPECT_TRUE(tag.GetValidRange(lower, upper));
    EXPECT_EQ(upper, 21474836.47L);

    tag.SetScaleRange(0, 0, 1500, -25);
    std::string low, high;
    EXPECT_TRUE(tag.FormatInternalRange(low, high));
    EXPECT_EQ(low, "-0.25");
    EXPECT_EQ(high, "15.00");
    tag.SetAlarmLimits(std::int32_t{1}, 2);
    EXPECT_FALSE(tag.FormatAlarmRange(low, high));

    tag.SetDataType(kTypeText);
    EXPECT_EQ(tag.RawToReal(1234), 0.0L);
    EXPECT_FALSE(tag.IsDword());
}

TEST(Atag, UnitsAndSameness)
{
    atag tag;
    char buffer[12];
    std::fill(std::begin(buffer), std::end(buffer), 'x');
    tag.GetUnits(buffer, 11);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[10], 0);
    tag.SetUnits("kilopascals");
    EXPECT_EQ(tag.UnitsString(), "kilopascal");

    atag a = FullTag();
    atag b = FullTag();
    b.SetAlarmLimits(std::int32_t{91}, 10);
    EXPECT_FALSE(a.IsSame(b));
    a.ClearFlag(kAtagAlarm);
    b.ClearFlag(kAtagAlarm);
    EXPECT_TRUE(a.IsSame(b));
    b.SetUnits("psi");
    EXPECT_FALSE(a.IsSame(b));
}

}  // namespace
