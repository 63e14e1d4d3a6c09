#include "plintvlr/db/tag_reference.h"

#include "plintvlr/db/plc_address_tables.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

constexpr int kB = 1000;  // internal registers of most panels
constexpr int kL = 500;   // their analog tag limit

TEST(TagReference, BitReferencesOfAnalogAndDigitalTags)
{
    struct Case {
        int index;
        int bit;
        bool digital;
        std::uint16_t reference;
    };
    const Case cases[] = {
        {1, 1, false, 0xC3EB}, {1, 3, true, 0xCBB9},  {500, 4, false, 0xCBB6}, {1, 2, false, 0xC3EC},
        {1, 3, false, 0xC3E9}, {1, 4, false, 0xC3EA}, {2, 1, true, 0xCBBF},    {7, 0, false, 7},
        {7, 0, true, 0x8007},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeTagRefFor(c.index, c.bit, c.digital, kB, kL), c.reference) << c.index << "/" << c.bit;
        int bit = -1;
        bool digital = !c.digital;
        EXPECT_EQ(DecodeTagRefFor(c.reference, kB, kL, bit, digital), c.index) << std::hex << c.reference;
        EXPECT_EQ(bit, c.bit) << std::hex << c.reference;
        EXPECT_EQ(digital, c.digital) << std::hex << c.reference;
    }
    EXPECT_EQ(EncodeTagRefFor(1, 5, false, kB, kL), 0);
    // The larger panels: B 2200, L 1000.
    int bit = 0;
    bool digital = false;
    const std::uint16_t reference = EncodeTagRefFor(1000, 2, true, 2200, 1000);
    EXPECT_EQ(DecodeTagRefFor(reference, 2200, 1000, bit, digital), 1000);
    EXPECT_TRUE(digital);
    EXPECT_EQ(bit, 2);
}

TEST(TagReference, APlaceBelowTheBitAreaNamesNoTag)
{
    int bit = 9;
    bool digital = true;
    EXPECT_EQ(DecodeTagRefFor(0xC001, kB, kL, bit, digital), 0);
    EXPECT_EQ(bit, 0);
    EXPECT_FALSE(digital);
    // Kind 01 reads as kind 11.
    EXPECT_EQ(DecodeTagRefFor(0x43EB, kB, kL, bit, digital), 1);
    EXPECT_EQ(bit, 1);
}

TEST(TagReference, SplitAndJoin)
{
    std::uint16_t reference = 0xCBB9;
    int bit = 0;
    SplitTagRefBitFor(reference, bit, kB, kL);
    EXPECT_EQ(reference, 0x8001);
    EXPECT_EQ(bit, 3);
    JoinTagRefBitFor(reference, bit, kB, kL);
    EXPECT_EQ(reference, 0xCBB9);

    reference = 0x0012;
    SplitTagRefBitFor(reference, bit, kB, kL);
    EXPECT_EQ(reference, 0x0012);
    EXPECT_EQ(bit, 0);
    JoinTagRefBitFor(reference, 0, kB, kL);
    EXPECT_EQ(reference, 0x0012);
    JoinTagRefBitFor(reference, 1, kB, kL);
    EXPECT_EQ(reference, EncodeTagRefFor(0x12, 1, false, kB, kL));

    // No tag has no bits; a bit reference is not joined again.
    reference = 0;
    JoinTagRefBitFor(reference, 2, kB, kL);
    EXPECT_EQ(reference, 0);
    reference = 0xC3EB;
    JoinTagRefBitFor(reference, 2, kB, kL);
    EXPECT_EQ(reference, 0xC3EB);
}

TEST(AddressText, RegisterAndBlockNames)
{
    struct Case {
        const char* text;
        std::string_view format;
        bool ok;
        std::array<std::uint8_t, 4> bytes;
    };
    const Case cases[] = {
        {"r0012", kAnalogRegisterFormat, true, {0x0C, 0, 0, 0}},
        {"R0012", kAnalogRegisterFormat, true, {0x0C, 0, 0, 0}},
        {"B0300", kDigitalRegisterFormat, true, {0x2C, 0x01, 0, 0}},
        {"R12", kAnalogRegisterFormat, false, {}},
        {"R00123", kAnalogRegisterFormat, false, {}},
        {"B0012", kAnalogRegisterFormat, false, {}},
        {"R12ab", kAnalogRegisterFormat, false, {}},
        // Four characters that are not four digits name no register.
        {"R-012", kAnalogRegisterFormat, false, {}},
        {"R+012", kAnalogRegisterFormat, false, {}},
        {"R 012", kAnalogRegisterFormat, false, {}},
        {"B9999", kDigitalRegisterFormat, true, {0x0F, 0x27, 0, 0}},
        {"", kAnalogRegisterFormat, false, {}},
    };
    for (const Case& c : cases) {
        std::array<std::uint8_t, 4> bytes{0xAA, 0xAA, 0xAA, 0xAA};
        EXPECT_EQ(ParseRegisterName(c.text, bytes, c.format), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(bytes, c.bytes) << c.text;
        }
    }
    std::array<std::uint8_t, 4> bytes{};
    EXPECT_TRUE(ParseCommsBlockName("CBLOCK0005", bytes));
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 4>{5, 0, 0, 0}));
    EXPECT_FALSE(ParseCommsBlockName("cblock0005", bytes));
    EXPECT_FALSE(ParseCommsBlockName("CBLOCK005", bytes));
    EXPECT_FALSE(ParseCommsBlockName("CBLOCK00005", bytes));
    EXPECT_FALSE(ParseCommsBlockName("CBLOCK-005", bytes));
}

class TagAddressTest : public ::testing::Test {
protected:
    // Protocol 150 reads "R" and four decimal digits into two bytes: the
    // same text as a register name.
    void SetUp() override { StorePlcAddressFormat(kProtocol, std::string_view("\x42\x01R\x29", 4), 1); }
    void TearDown() override { StorePlcAddressFormat(kProtocol, "", 0); }

    static constexpr int kProtocol = 150;
    std::array<std::uint8_t, 40> bytes_{};
    int length_ = -1;
    int kind_ = -1;
};

TEST_F(TagAddressTest, KindsOfAddressTexts)
{
    struct Case {
        const char* text;
        int protocol;
        bool textPanel;
        int kind;
        int length;
    };
    const Case cases[] = {
        {"R0012", kProtocol, false, kAddressRegister, 4},  {"R0012", kProtocol, true, kAddressInvalid, 0},
        {"CBLOCK0005", -1, false, kAddressCommsBlock, 4},  {"CBLOCK0005", kProtocol, true, kAddressInvalid, 0},
        {"R0099", -1, false, kAddressRegister, 4},         {"", kProtocol, false, kAddressInvalid, 0},
        {"R12", -1, false, kAddressInvalid, 0},     {"R12", kProtocol, false, kAddressPlc, 2},     {"nonsense", kProtocol, false, kAddressInvalid, 0},
    };
    for (const Case& c : cases) {
        bytes_.fill(0xAA);
        EXPECT_EQ(ParseTagAddressFor(c.text, bytes_, length_, kind_, kAnalogRegisterFormat, c.protocol, c.textPanel),
                  c.kind != kAddressInvalid)
            << c.text;
        EXPECT_EQ(kind_, c.kind) << c.text;
        EXPECT_EQ(length_, c.length) << c.text;
        if (c.kind == kAddressInvalid) {
            EXPECT_EQ(bytes_[0], 0) << c.text;
        }
    }
}

TEST_F(TagAddressTest, AProtocolAddressTakesItsProtocolsLength)
{
    // Under the digital format "r0012" is no register name: the protocol reads it.
    EXPECT_TRUE(ParseTagAddressFor("r0012", bytes_, length_, kind_, kDigitalRegisterFormat, kProtocol, false));
    EXPECT_EQ(kind_, kAddressPlc);
    EXPECT_EQ(length_, 2);
    EXPECT_EQ(bytes_[0], 0x0C);

    tagbase tag;
    tag.SetAddress(0, bytes_.data(), 2, kAddressPlc);
    EXPECT_EQ(FormatTagAddressFor(tag, 0, 'R', kProtocol), "R0012");
    EXPECT_EQ(FormatTagAddressFor(tag, 0, 'R', -1), "");
}

TEST(AddressText, BrowserTextsOfAddresses)
{
    tagbase tag;
    const std::uint8_t reg[] = {0x0C, 0, 0, 0};
    const std::uint8_t negative[] = {0xFF, 0xFF, 0xFF, 0xFF};
    const std::uint8_t shortBlock[] = {7};
    tag.SetAddress(0, reg, 4, kAddressRegister);
    tag.SetAddress(1, negative, 4, kAddressRegister);
    tag.SetAddress(2, shortBlock, 1, kAddressCommsBlock);
    EXPECT_EQ(FormatTagAddressFor(tag, 0, 'R', -1), "R0012");
    EXPECT_EQ(FormatTagAddressFor(tag, 0, 'B', -1), "B0012");
    EXPECT_EQ(FormatTagAddressFor(tag, 1, 'R', -1), "R-001");
    EXPECT_EQ(FormatTagAddressFor(tag, 2, 'R', -1), "CBLOCK0007");
    tag.SetAddress(2, reg, 4, kAddressInvalid);
    EXPECT_EQ(FormatTagAddressFor(tag, 2, 'R', -1), "");
    EXPECT_EQ(FormatTagAddressFor(tag, 3, 'R', -1), "");
}

}  // namespace
