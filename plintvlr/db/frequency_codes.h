#pragma once
// The refresh frequency codes of tags and communications blocks: 0, tenths of
// a second as 100 + 10 x tenths (110-190), whole seconds (1-60), and 255 for
// the panel's internal frequency. Positions are those of the frequency choice
// list.

#include <array>
#include <cstdint>
#include <string>

inline constexpr int kFrequencyCount = 17;
inline constexpr std::array<std::uint8_t, kFrequencyCount> kFrequencyCodes = {
    0, 110, 120, 130, 140, 150, 160, 170, 180, 190, 1, 2, 5, 10, 30, 60, 255};
inline constexpr std::uint8_t kFrequencyInternal = 255;

// The position of a code in the table, -1 when it is none of them.
int FrequencyPosition(std::uint8_t code);
// The code at a position, 0 outside 0-16.
std::uint8_t FrequencyCodeAt(int position);
// The text of a code (".5s", "Internal Freq"); empty for a code not in the table.
std::string FrequencyText(std::uint8_t code);
