#include "plintvlr/db/frequency_codes.h"

#include "plintvlr/db/db_string_ids.h"

int FrequencyPosition(std::uint8_t code)
{
    for (int i = 0; i < kFrequencyCount; ++i) {
        if (kFrequencyCodes[static_cast<std::size_t>(i)] == code)
            return i;
    }
    return -1;
}

std::uint8_t FrequencyCodeAt(int position)
{
    if (position < 0 || position >= kFrequencyCount)
        return 0;
    return kFrequencyCodes[static_cast<std::size_t>(position)];
}

std::string FrequencyText(std::uint8_t code)
{
    const int position = FrequencyPosition(code);
    return position < 0 ? std::string() : std::string(DbText(kStrFreq0s + position));
}
