#include "plintvlr/dataelements/ecb_elem.h"

bool ECBElem::ReadEntry(RecordReader& in)
{
    std::uint8_t code = 0;
    std::uint16_t number = 0;
    if (!in.ReadByte(code) || !in.ReadWord(number))
        return false;
    if (count_ < kSlots)
        blocks_[count_++] = number;
    return true;
}

std::uint8_t* ECBElem::Write(std::uint8_t* at) const
{
    for (std::uint16_t number : blocks_) {
        if (number == 0)
            continue;
        *at++ = kEntryCode;
        *at++ = static_cast<std::uint8_t>(number & 0xFF);
        *at++ = static_cast<std::uint8_t>(number >> 8);
    }
    return at;
}
