#include "plintvlr/db/tag_base.h"

#include "plintvlr/db/frequency_codes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::uint8_t kBytes[] = {0x0C, 0x00, 0x00, 0x00};

TEST(FrequencyCodes, PositionsCodesAndTexts)
{
    struct Case {
        std::uint8_t code;
        int index;  // GetFrequencyIndex
        const char* text;
    };
    const Case cases[] = {{0, 0, "0s"},          {110, 1, ".1s"},  {190, 9, ".9s"},  {1, 10, "1s"},
                          {60, 15, "60s"},       {255, 16, "Internal Freq"}, {100, 0, ""}, {3, 0, ""}};
    for (const Case& c : cases) {
        tagbase tag;
        tag.SetFrequency(c.code);
        EXPECT_EQ(tag.GetFrequencyIndex(), c.index) << int(c.code);
        EXPECT_EQ(FrequencyText(c.code), c.text) << int(c.code);
    }
    tagbase tag;
    tag.SetFrequencyIndex(14);
    EXPECT_EQ(tag.GetFrequency(), 30);
    tag.SetFrequencyIndex(17);
    EXPECT_EQ(tag.GetFrequency(), 0);
    tag.SetFrequencyIndex(16);
    tag.SetFrequencyIndex(-1);
    EXPECT_EQ(tag.GetFrequency(), 0);
}

TEST(TagBase, RefreshModeAndSystemFlagAreIndependent)
{
    tagbase tag;
    tag.SetSystemTag(true);
    tag.SetRefresh(kRefreshPageChange);
    EXPECT_TRUE(tag.IsSystemTag());
    EXPECT_EQ(tag.GetRefresh(), 0x81);
    tag.SetRefresh(kRefreshContinuously);
    tag.SetSystemTag(false);
    EXPECT_FALSE(tag.IsSystemTag());
    EXPECT_EQ(tag.GetRefresh(), kRefreshContinuously);
}

TEST(TagBase, AddressesAnswerTheirKindOrNoAddress)
{
    tagbase tag;
    TagAddressBuffer buffer{};
    int length = 9;
    EXPECT_EQ(tag.GetAddress(0, buffer, length), kAddressNone);
    EXPECT_EQ(length, 0);

    tag.SetName("PUMP");
    EXPECT_EQ(tag.GetAddress(3, buffer, length), kAddressInvalid);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(tag.SetAddress(3, kBytes, 4, kAddressRegister), -1);
    EXPECT_EQ(tag.SetAddress(-1, kBytes, 4, kAddressRegister), -1);
    EXPECT_EQ(tag.GetName(), "PUMP");

    EXPECT_EQ(tag.SetAddress(2, kBytes, 4, kAddressRegister), kAddressRegister);
    buffer.fill(0xAA);
    EXPECT_EQ(tag.GetAddress(2, buffer, length), kAddressRegister);
    EXPECT_EQ(length, 4);
    EXPECT_EQ(buffer[0], 0x0C);
    EXPECT_EQ(buffer[4], 0);  // the NUL behind the bytes

    tag.SetAddress(1, kBytes, 4, kAddressInvalid);
    EXPECT_EQ(tag.GetAddress(1, buffer, length), kAddressInvalid);
    EXPECT_EQ(length, 0);

    remote_address address;
    EXPECT_EQ(address.GetData(), nullptr);
    address.SetData(kBytes, 2);
    ASSERT_NE(address.GetData(), nullptr);
    EXPECT_EQ(address.GetData()[2], 0);
}

TEST(RemoteAddress, AStatedLengthBeyondTheBytesReadsZeros)
{
    remote_address address;
    address.SetData(kBytes, 1);
    address.SetLength(6);
    EXPECT_EQ(address.DataSize(), 1u);
    EXPECT_EQ(address.ByteAt(0), 0x0C);
    EXPECT_EQ(address.ByteAt(5), 0);
    EXPECT_EQ(address.ByteAt(300), 0);
}

TEST(TagBase, NamesAreCutTo32Characters)
{
    tagbase tag;
    tag.SetName(std::string(40, 'x'));
    EXPECT_EQ(tag.GetName().size(), 32u);
    char buffer[8];
    tag.GetName(buffer, 5);
    EXPECT_STREQ(buffer, "xxxxx");
}

TEST(TagBase, ChannelsAndAddressesOnAChannel)
{
    tagbase tag;
    EXPECT_EQ(tag.GetAddressChannel(0), 1);
    EXPECT_EQ(tag.GetAddressChannel(3), 0);
    tag.SetAddressChannel(5, 2);  // ignored
    tag.SetAddress(2, kBytes, 2, kAddressPlc);
    tag.SetAddressChannel(2, kChannelB);
    EXPECT_TRUE(tag.HasAddressOnChannel(kChannelB));
    EXPECT_FALSE(tag.HasAddressOnChannel(kChannelA));
    tag.SetAddress(0, kBytes, 4, kAddressRegister);  // not a protocol address
    EXPECT_FALSE(tag.HasAddressOnChannel(kChannelA));
}

tagbase MakeTag()
{
    tagbase tag;
    tag.SetName("LEVEL");
    tag.SetAddress(0, kBytes, 4, kAddressRegister);
    tag.SetAddress(1, kBytes, 2, kAddressPlc);
    tag.SetAddress(2, kBytes, 3, kAddressPlc);
    return tag;
}

TEST(TagBase, SameAsComparesTheAddressesThisTagsFlagsName)
{
    EXPECT_TRUE(MakeTag().IsSameAs(MakeTag()));

    // A difference in a group counts only once the group's flag is set on
    // both tags; flag 0 marks a difference that always counts.
    struct Case {
        const char* what;
        void (*change)(tagbase&);
        std::uint8_t flag;
    };
    const Case cases[] = {
        {"second input",
         [](tagbase& t) {
             const std::uint8_t other[] = {1, 2};
             t.SetAddress(1, other, 2, kAddressPlc);
         },
         kTagFlagSecondGroup},
        {"read-after-write", [](tagbase& t) { t.SetReadAfterWrite(1); }, kTagFlagOutput},
        {"input channel", [](tagbase& t) { t.SetAddressChannel(0, kChannelB); }, 0},
        {"name case", [](tagbase& t) { t.SetName("level"); }, 0},
    };
    for (const Case& c : cases) {
        tagbase a = MakeTag();
        tagbase b = MakeTag();
        c.change(b);
        EXPECT_EQ(a.IsSameAs(b), c.flag != 0) << c.what;
        if (c.flag == 0)
            continue;
        a.SetFlag(c.flag);
        b.SetFlag(c.flag);
        EXPECT_FALSE(a.IsSameAs(b)) << c.what;
    }
}

TEST(TagBase, SameAsAcceptsAContinuousInternalFrequencyOnTheOtherSide)
{
    tagbase a = MakeTag();
    tagbase b = MakeTag();
    a.SetRefresh(kRefreshPageChange);
    a.SetFrequency(kFrequencyInternal);
    b.SetRefresh(kRefreshContinuously);
    b.SetFrequency(kFrequencyInternal);
    EXPECT_TRUE(a.IsSameAs(b));
    EXPECT_FALSE(b.IsSameAs(a));
}

}  // namespace
