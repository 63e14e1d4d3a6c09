#include "plintvlr/db/plc_address.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Descriptors are written out byte by byte from the element layout.
PlcAddressFormat Format(std::string_view descriptor, bool caseSensitive = false)
{
    PlcAddressFormat format;
    format.descriptor = descriptor;
    format.caseSensitive = caseSensitive;
    return format;
}

// Parses into a 36-byte address; the bytes written, or nothing on failure.
std::optional<Bytes> Parse(const PlcAddressFormat& format, std::string_view text)
{
    std::array<std::uint8_t, kMaxPlcAddressBytes> address{};
    int n = ParsePlcAddress(format, text, address);
    if (n < 0)
        return std::nullopt;
    return Bytes(address.begin(), address.begin() + n);
}

// Decimal, width 3, one byte.
constexpr std::string_view kDecimal3 = "\x26";
// Hexadecimal, width 4, two bytes.
constexpr std::string_view kHex4 = "\x39";
// Optional choice of width 2 ("DM", "CI"), then decimal, width 4, two bytes.
constexpr std::string_view kOptionalArea = "\x84\x02" "DMCI" "\x29";
// Fixed "V", then octal, width 5, two bytes.
constexpr std::string_view kOctalWord = "\x42\x01V\x1B";
// Choice of width 1 ("I" "O" "N"), decimal file (width 3), fixed ":", decimal
// element (width 3), optional fixed "/", optional decimal bit (width 2).
constexpr std::string_view kRackAddress = "\x02\x03ION\x26\x42\x01:\x26\xC2\x01/\xA4";
// Free text of at most 5 characters.
constexpr std::string_view kText5 = "\x01\x05";

struct ParseCase {
    std::string_view descriptor;
    bool caseSensitive;
    std::string_view text;
    std::optional<Bytes> bytes;
};

TEST(PlcAddressTest, ParsesTextsIntoAddressBytes)
{
    const ParseCase cases[] = {
        {kDecimal3, false, "255", Bytes{0xFF}},
        {kDecimal3, false, "007", Bytes{0x07}},
        {kDecimal3, false, "7", Bytes{0x07}},
        {kDecimal3, false, "256", std::nullopt},   // above one byte
        {kDecimal3, false, "1234", std::nullopt},  // reads 123, the 4 is left over
        {kDecimal3, false, "", std::nullopt},      // a field that is not optional
        {kDecimal3, false, "A", std::nullopt},
        {kHex4, false, "ff", Bytes{0xFF, 0x00}},   // turned to upper case
        {kHex4, true, "ff", std::nullopt},         // case-sensitive: no digits
        {kHex4, true, "ABCD", Bytes{0xCD, 0xAB}},
        {kHex4, false, "FFFF", Bytes{0xFF, 0xFF}},
        {kHex4, false, "G", std::nullopt},
        // An optional choice that does not match leaves its characters.
        {kOptionalArea, false, "1234", Bytes{0x00, 0xD2, 0x04}},
        {kOptionalArea, false, "ci12", Bytes{0x01, 0x0C, 0x00}},
        {kOptionalArea, false, "9", Bytes{0x00, 0x09, 0x00}},
        {kOctalWord, false, "V2010", Bytes{0x08, 0x04}},
        {kOctalWord, false, "V77777", Bytes{0xFF, 0x7F}},
        {kOctalWord, false, "V8", std::nullopt},
        {kOctalWord, false, "W1", std::nullopt},   // the literal does not match
        {kRackAddress, false, "N7:12", Bytes{0x02, 0x07, 0x0C}},
        {kRackAddress, false, "N007:012/03", Bytes{0x02, 0x07, 0x0C, 0x03}},
        {kRackAddress, false, "N7:12/", Bytes{0x02, 0x07, 0x0C}},
        {kRackAddress, false, "N7", std::nullopt},      // ":" is not optional
        {kRackAddress, false, "N7:12/3X", std::nullopt}, // left over
        {kText5, false, "abcde", Bytes{'A', 'B', 'C', 'D', 'E', 0}},
        {kText5, true, "abc", Bytes{'a', 'b', 'c', 0}},
        {kText5, false, "ABCDEF", std::nullopt},   // only 5 are taken
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        EXPECT_EQ(Parse(Format(c.descriptor, c.caseSensitive), c.text), c.bytes);
    }
}

TEST(PlcAddressTest, EmptyTextNeedsAllRemainingElementsOptional)
{
    // Optional decimal (width 2), optional fixed "/".
    EXPECT_EQ(Parse(Format("\xA4\xC2\x01/"), ""), Bytes{});
    EXPECT_EQ(Parse(Format("\xA4\x26"), ""), std::nullopt);
    // An empty descriptor takes only the empty text.
    EXPECT_EQ(Parse(Format(""), ""), Bytes{});
    EXPECT_EQ(Parse(Format(""), "1"), std::nullopt);
}

TEST(PlcAddressTest, FormatsAddressBytes)
{
    struct Case {
        std::string_view descriptor;
        Bytes bytes;
        std::string_view text;
    };
    const Case cases[] = {
        {kDecimal3, {0x07}, "007"},
        {kHex4, {0xCD, 0xAB}, "ABCD"},
        {kOptionalArea, {0x01, 0xD2, 0x04}, "CI1234"},
        {kOctalWord, {0x08, 0x04}, "V02010"},
        // The fixed optional "/" always shows; missing bytes read as 0.
        {kRackAddress, {0x02, 0x07, 0x0C}, "N007:012/00"},
        {kRackAddress, {0x00, 0x01, 0x02, 0x0F}, "I001:002/15"},
        // A choice byte beyond the list writes nothing and does not step.
        {kRackAddress, {0x09, 0x01, 0x02}, "009:001/02"},
        {kText5, {'A', 'B', 'C', 0, 'Z'}, "ABC"},
        {kText5, {'A', 'B', 'C', 'D', 'E', 'F', 'G'}, "ABCDE"},
        // Width 0: no leading zeros.
        {"\x21", {0x39, 0x30}, "12345"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        EXPECT_EQ(FormatPlcAddress(Format(c.descriptor), c.bytes), c.text);
    }
}

TEST(PlcAddressTest, TwoByteChoiceFieldsKeepTheirLayoutBothWays)
{
    // Choice of width 1 taking two bytes ("A", "B"), then decimal width 2.
    const PlcAddressFormat format = Format("\x03\x02" "AB" "\x24");
    EXPECT_EQ(Parse(format, "B7"), (Bytes{0x01, 0x00, 0x07}));
    EXPECT_EQ(FormatPlcAddress(format, Bytes{0x01, 0x00, 0x07}), "B07");
}

TEST(PlcAddressTest, ChoiceWithTooFewCharactersLeftDoesNotMatch)
{
    // Choice of width 2 ("N7", "B3"), then decimal width 3. "7" is no complete
    // address and must not be taken as choice 0 followed by 7.
    EXPECT_EQ(Parse(Format("\x04\x02" "N7B3" "\x26"), "7"), std::nullopt);
    EXPECT_EQ(Parse(Format("\x04\x02" "N7B3" "\x26"), "B35"), (Bytes{0x01, 0x05}));
    // Optional: index 0 and the characters stay for the next field.
    EXPECT_EQ(Parse(Format("\x84\x02" "N7B3" "\x26"), "7"), (Bytes{0x00, 0x07}));
}

TEST(PlcAddressTest, NeverWritesPastTheAddressBuffer)
{
    // Nineteen two-byte decimal fields of width 1 make 38 bytes.
    const std::string descriptor(19, '\x23');
    const std::string text(19, '1');
    std::array<std::uint8_t, 40> guarded;
    guarded.fill(0xEE);
    std::span<std::uint8_t> address(guarded.data(), kMaxPlcAddressBytes);
    EXPECT_EQ(ParsePlcAddress(Format(descriptor), text, address), -1);
    for (std::uint8_t b : guarded)
        EXPECT_EQ(b, 0xEE);  // nothing written on failure, nothing past 36
    std::array<std::uint8_t, 64> roomy{};
    EXPECT_EQ(ParsePlcAddress(Format(descriptor), text, roomy), 38);

    // 40 characters of free text and the NUL need 41 bytes.
    const std::string longText(40, 'A');
    EXPECT_EQ(ParsePlcAddress(Format("\x01\x28"), longText, address), -1);
    EXPECT_EQ(ParsePlcAddress(Format("\x01\x28"), longText, roomy), 41);
    // Free text counts at most 40 characters however long the element says.
    EXPECT_EQ(ParsePlcAddress(Format("\x01\x60"), std::string(41, 'A'), roomy), -1);
}

TEST(PlcAddressTest, SuccessfulParseZeroesTheRestOfTheAddress)
{
    std::array<std::uint8_t, kMaxPlcAddressBytes> address;
    address.fill(0x55);
    ASSERT_EQ(ParsePlcAddress(Format(kDecimal3), "12", address), 1);
    EXPECT_EQ(address[0], 12);
    for (std::size_t i = 1; i < address.size(); ++i)
        EXPECT_EQ(address[i], 0);
}

TEST(PlcAddressTest, TextsLongerThanTheWorkingCopyAreRefused)
{
    // Optional two-byte decimal fields of width 2 could take 50 characters.
    const std::string descriptor(25, '\xA5');
    std::array<std::uint8_t, 64> address{};
    EXPECT_EQ(ParsePlcAddress(Format(descriptor), std::string(49, '1'), address), 50);
    EXPECT_EQ(ParsePlcAddress(Format(descriptor), std::string(50, '1'), address), -1);
    // The formatted text is cut to 49 characters.
    EXPECT_EQ(FormatPlcAddress(Format(descriptor), std::vector<std::uint8_t>(50, 0x01)).size(), kMaxPlcAddressText);
}

TEST(PlcAddressTest, DescriptorsCutShortEndTheWalk)
{
    // A choice list that promises 9 choices of 2 characters but holds 3 bytes.
    PlcDescriptorWalker walk("\x26\x04\x09" "ABC");
    PlcElement e;
    ASSERT_TRUE(walk.Next(e));
    EXPECT_EQ(e.kind, kDecimalField);
    EXPECT_FALSE(walk.Next(e));
    EXPECT_FALSE(walk.Next(e));
    // A free-text code byte with no length byte.
    PlcDescriptorWalker text("\x01");
    EXPECT_FALSE(text.Next(e));
    EXPECT_EQ(FormatPlcAddress(Format("\x26\x04\x09" "ABC"), Bytes{5}), "005");
}

TEST(PlcAddressTest, IsFieldZeroLooksAtTheFieldsBytes)
{
    EXPECT_TRUE(IsFieldZero(Bytes{0x00, 0x05}, 0x26));
    EXPECT_FALSE(IsFieldZero(Bytes{0x00, 0x05}, 0x27));
    EXPECT_TRUE(IsFieldZero(Bytes{0x00, 0x00}, 0x27));
    EXPECT_TRUE(IsFieldZero(Bytes{}, 0x27));
}

// Types of a text address, three characters each.
constexpr std::string_view kTypes = "%W %R %AI";

TEST(PlcAddressTest, TextAddressesBuildAndReadBack)
{
    struct Case {
        std::string_view name;
        int type;
        int number;
        bool extended;
        std::string_view extension;
        std::string_view text;
    };
    const Case cases[] = {
        {"", 0, 12, false, "", "?%W12,X,,"},
        {"PUMP1", 2, 300, true, "EXT", "PUMP1%AI300,EXT,,"},
        {"N", 1, 7, true, "BOX", "N%R7,BOX,,"},  // an extension may end in X
        {"N", 1, 7, true, "", "N%R7,,,"},
        {"N", 5, 1, false, "", "N%W1,X,,"},       // a type beyond the list: the first
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        auto text = BuildTextAddress(kTypes, c.name, c.type, c.number, c.extended, c.extension);
        ASSERT_TRUE(text);
        EXPECT_EQ(*text, c.text);
        std::string name = "junk", extension = "junk";
        EXPECT_EQ(ReadTextAddressField(*text, kTypes, 0, &name), static_cast<int>(text->find('%')));
        EXPECT_EQ(name, c.name);
        EXPECT_EQ(ReadTextAddressField(*text, kTypes, 1, nullptr), c.type < 3 ? c.type : 0);
        EXPECT_EQ(ReadTextAddressField(*text, kTypes, 2, nullptr), c.number);
        EXPECT_EQ(ReadTextAddressField(*text, kTypes, 3, nullptr), c.extended ? 1 : 0);
        EXPECT_EQ(ReadTextAddressField(*text, kTypes, 4, &extension), 0);
        EXPECT_EQ(extension, c.extension);
        EXPECT_EQ(ReadTextAddressField(*text, kTypes, 5, nullptr), -1);
    }
    // Names and extensions that would not read back are refused.
    EXPECT_FALSE(BuildTextAddress(kTypes, "A%B", 0, 1, false, ""));
    EXPECT_FALSE(BuildTextAddress(kTypes, "A,B", 0, 1, false, ""));
    EXPECT_FALSE(BuildTextAddress(kTypes, "A", 0, 1, true, "E,F"));
    std::string name;
    EXPECT_EQ(ReadTextAddressField("NOPERCENT", kTypes, 0, &name), -1);
}

TEST(PlcAddressTest, StaticCodecTakesTextAddressesInTheirBuiltForm)
{
    // Field 0 free text (8), field 1 the type list, field 2 decimal width 4.
    const std::string descriptor = std::string("\x01\x08\x06\x03", 4) + std::string(kTypes) + "\x29";
    PlcAddressFormat format = Format(descriptor, true);
    format.textAddress = true;
    const std::string_view built = "N1%R7,X,,";
    Bytes stored(built.begin(), built.end());
    stored.push_back(0);
    EXPECT_EQ(Parse(format, built), stored);
    EXPECT_EQ(FormatPlcAddress(format, Bytes{'N', '1', '%', 'R', '7', ',', 'X', ',', ',', 0}), built);
    for (std::string_view bad : {"N1%R07,X,,", "N1%Q7,X,,", "N1%R7", "N1R7,X,,", "N1%R70000,X,,"}) {
        SCOPED_TRACE(std::string(bad));
        EXPECT_EQ(Parse(format, bad), std::nullopt);
    }
    // 35 characters and the NUL fill a communications block's address exactly.
    const std::string longest = "ABCDEFGHIJKLMNOPQRSTUVWX%AI1234,X,,";
    ASSERT_EQ(longest.size(), 35u);
    EXPECT_EQ(Parse(format, longest).value_or(Bytes{}).size(), 36u);
    const std::string tooLong = "ABCDEFGHIJKLMNOPQRSTUVWXY%AI1234,X,,";
    EXPECT_EQ(Parse(format, tooLong), std::nullopt);
}

}  // namespace
