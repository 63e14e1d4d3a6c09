#pragma once
// Helpers of the tag tests: byte vectors written out in hex, a tag's packed
// record, one browser column.

#include "plintvlr/db/tag_record.h"
#include "plintvlr/db/tests/hex_bytes.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline std::vector<std::uint8_t> Bytes(std::string_view hex)
{
    const std::string bytes = HexBytes(hex);
    return {bytes.begin(), bytes.end()};
}

template <class Tag>
std::vector<std::uint8_t> Pack(const Tag& tag)
{
    std::array<std::uint8_t, kMaxTagRecord> buffer{};
    const std::size_t n = tag.PackRecord(buffer);
    return {buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n)};
}

template <class Row>
std::string Column(Row& row, int column)
{
    std::string text;
    const int length = row.GetColumnText(text, column);
    EXPECT_EQ(length, static_cast<int>(text.size()));
    return text;
}
