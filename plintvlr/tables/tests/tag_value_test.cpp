#include "plintvlr/tables/tag_value.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Payload(const TTagValue& value)
{
    Bytes out;
    value.WritePayload(out);
    return out;
}

TEST(TagValue, EachTypeStoresItsLittleEndianPayload)
{
    struct Case {
        TTagValue value;
        std::uint32_t type;
        Bytes payload;
        std::uint32_t raw;
        long double number;
    };
    const Case cases[] = {
        {TTagValue(std::uint8_t{200}), kValueByte, {0xC8}, 0xC8, 200},
        {TTagValue(std::int16_t{-1}), kValueSigned16, {0xFF, 0xFF}, 0x0000FFFF, -1},
        {TTagValue(std::uint16_t{1200}), kValueUnsigned16, {0xB0, 0x04}, 1200, 1200},
        {TTagValue(std::int32_t{-2}), kValueSigned32, {0xFE, 0xFF, 0xFF, 0xFF}, 0xFFFFFFFE, -2},
        {TTagValue(std::uint32_t{0x80000000}), kValueUnsigned32, {0x00, 0x00, 0x00, 0x80}, 0x80000000, 2147483648.0L},
        {TTagValue(1.5f), kValueFloat, {0x00, 0x00, 0xC0, 0x3F}, 0x3FC00000, 1.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(c.value.GetType(), c.type);
        EXPECT_EQ(Payload(c.value), c.payload);
        EXPECT_EQ(c.value.GetRaw32(), c.raw);
        long double number = 0;
        EXPECT_TRUE(c.value.GetAsLongDouble(number));
        EXPECT_EQ(number, c.number);
        std::string text = "kept";
        EXPECT_FALSE(c.value.GetString(text));
        EXPECT_EQ(text, "kept");

        TTagValue read;
        EXPECT_EQ(read.ReadPayload(c.type, c.payload), c.payload.size());
        EXPECT_EQ(read.GetType(), c.type);
        EXPECT_EQ(read.GetRaw32(), c.raw);

        TTagValue set;
        set.SetRaw32(c.type, c.raw);
        EXPECT_EQ(Payload(set), c.payload);
    }
}

TEST(TagValue, TextsKeep32CharactersAndCarryTheirNul)
{
    const TTagValue longText(std::string(40, 'x'));
    std::string text;
    ASSERT_TRUE(longText.GetString(text));
    EXPECT_EQ(text, std::string(32, 'x'));
    EXPECT_EQ(longText.PayloadSize(), 33u);
    EXPECT_EQ(longText.GetRaw32(), 0u);
    long double number = 7;
    EXPECT_FALSE(longText.GetAsLongDouble(number));
    EXPECT_EQ(number, 7);

    EXPECT_EQ(Payload(TTagValue("AB")), (Bytes{'A', 'B', 0}));

    // "ab" and its NUL use three bytes; what follows is not read.
    TTagValue read;
    const Bytes ab = {'a', 'b', 0, 'z'};
    EXPECT_EQ(read.ReadPayload(kValueText, ab), 3u);
    ASSERT_TRUE(read.GetString(text));
    EXPECT_EQ(text, "ab");

    // A stored text past 32 characters is cut in the value, but all of it is used.
    Bytes stored(40, 'y');
    stored.push_back(0);
    EXPECT_EQ(read.ReadPayload(kValueText, stored), 41u);
    ASSERT_TRUE(read.GetString(text));
    EXPECT_EQ(text, std::string(32, 'y'));

    // SetRaw32 leaves a text alone and makes nothing a text.
    read.SetRaw32(kValueText, 0x41414141);
    read.SetRaw32(kValueEmpty, 1);
    EXPECT_EQ(read.GetType(), kValueText);
    EXPECT_TRUE(read.GetString(text));
}

TEST(TagValue, ReadingStopsAtTheEndOfTheBytesGiven)
{
    struct Case {
        std::uint32_t type;
        Bytes bytes;
    };
    const Case cases[] = {
        {kValueText, {'a', 'b'}},           // no NUL
        {kValueText, {}},
        {kValueUnsigned16, {0x01}},         // one of two bytes
        {kValueFloat, {0x00, 0x00, 0x80}},  // three of four
        {kValueByte, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        TTagValue value(std::uint16_t{9});
        EXPECT_FALSE(value.ReadPayload(c.type, c.bytes).has_value());
        EXPECT_EQ(value.GetType(), kValueUnsigned16);
        EXPECT_EQ(value.GetRaw32(), 9u);
    }
}

TEST(TagValue, ComparesPayloadBytesNotTypes)
{
    const TTagValue empty;
    EXPECT_EQ(empty.PayloadSize(), 0u);
    EXPECT_TRUE(Payload(empty).empty());
    TTagValue unknown;
    EXPECT_EQ(unknown.ReadPayload(9, {}), 0u);  // an unknown type reads no bytes
    EXPECT_EQ(unknown.GetType(), 9u);
    EXPECT_EQ(empty, TTagValue());
    EXPECT_EQ(empty, unknown);
    EXPECT_EQ(empty.GetRaw32(), 0u);

    EXPECT_EQ(TTagValue(std::int16_t{-1}), TTagValue(std::uint16_t{0xFFFF}));
    EXPECT_FALSE(TTagValue(std::uint16_t{1}) == TTagValue(std::uint32_t{1}));
    EXPECT_FALSE(TTagValue("ab") == TTagValue("abc"));
    EXPECT_FALSE(empty == TTagValue(std::uint8_t{0}));

    // Assignment takes the type and the bytes that count.
    TTagValue value("long enough text");
    value = TTagValue(std::uint8_t{5});
    EXPECT_EQ(value.GetType(), kValueByte);
    EXPECT_EQ(value.GetRaw32(), 5u);
    value = TTagValue("x");
    std::string text;
    ASSERT_TRUE(value.GetString(text));
    EXPECT_EQ(text, "x");
}

}  // namespace
