#pragma once
// The embedded comms blocks of a page: eight block numbers (0 = empty slot)
// and the count of entries read from the page record. Each entry of a page
// record is 0x12 and the block number, low byte first.

#include "plintvlr/elements/record_reader.h"

#include <array>
#include <cstdint>

class ECBElem {
public:
    static constexpr std::uint8_t kEntryCode = 0x12;
    static constexpr int kSlots = 8;
    static constexpr int kEntrySize = 3;

    ECBElem() = default;

    // Reads one entry into the next free slot; entries beyond the eighth are
    // read and dropped. False when the entry is cut short.
    bool ReadEntry(RecordReader& in);
    // One entry for each non-zero slot, in slot order; the position after them.
    std::uint8_t* Write(std::uint8_t* at) const;
    // Back to no blocks.
    void Reset() { *this = ECBElem(); }

    std::uint16_t GetBlock(int slot) const { return InRange(slot) ? blocks_[slot] : 0; }
    void SetBlock(int slot, std::uint16_t number)
    {
        if (InRange(slot))
            blocks_[slot] = number;
    }
    int GetCount() const { return count_; }

private:
    static bool InRange(int slot) { return slot >= 0 && slot < kSlots; }

    std::array<std::uint16_t, kSlots> blocks_{};
    std::int32_t count_ = 0;
};
