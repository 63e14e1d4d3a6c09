#include "platform/base/clipboard_envelope.h"

#include <gtest/gtest.h>

namespace {

TEST(ClipboardEnvelopeTest, LayoutIsMagicFormatLengthData)
{
    const ClipboardData block = WrapClipboardData(520, {0x07, 0x00, 0x41});
    const ClipboardData expected = {'P', 'L', 'V', 'C', 0x08, 0x02, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00,
                                    0x07, 0x00, 0x41};
    EXPECT_EQ(block, expected);
    EXPECT_EQ(UnwrapClipboardData(520, block), (ClipboardData{0x07, 0x00, 0x41}));
    EXPECT_EQ(ClipboardMimeType(520), "application/x-plv-clipboard-520");
}

TEST(ClipboardEnvelopeTest, BlocksThatAreNotExactlyAnEnvelopeOfTheFormatAreRefused)
{
    const ClipboardData good = WrapClipboardData(520, {1, 2, 3});
    auto changed = [&](std::size_t at, std::uint8_t value) {
        ClipboardData b = good;
        b[at] = value;
        return b;
    };
    ClipboardData longer = good;
    longer.push_back(0);
    const ClipboardData cases[] = {
        {},
        {'P', 'L', 'V', 'C', 0x08, 0x02},           // header cut short
        ClipboardData(good.begin(), good.end() - 1),  // data cut short
        longer,                                       // bytes after the data
        changed(0, 'X'),                              // not our magic
        changed(4, 0x09),                             // another format's block
        changed(8, 0x04),                             // length beyond the data
        changed(11, 0x80),                            // a length near 2 GB
    };
    for (const ClipboardData& block : cases)
        EXPECT_FALSE(UnwrapClipboardData(520, block)) << block.size();
    EXPECT_TRUE(UnwrapClipboardData(520, good));
}

}  // namespace
