#pragma once
// The list of direct PLC addresses found on one graphic page, for turning
// them into tags. Pages of older projects refer to PLC bits and registers
// directly, by a reference of kind 11 (a bit) or 01 (a register) with the
// address in the low 14 bits; Convert To Tags gives every such address a tag
// named after it ("B0012" a digital tag, "R0005" an analog one) and makes
// the elements refer to the tags. The list holds each name once, sorted as
// the conversion dialog shows it, with the tag that replaces it.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct DirectAddressEntry {
    std::string name;
    // The address itself, 0 to 16383: the name holds it in four digits, or
    // in five from 10000 on.
    std::uint16_t number = 0;
    // The tag reference that replaces the address; 0 while none was made.
    std::uint16_t reference = 0;
};

// A new tag's address: a panel register or bit number, low byte first, and two zero bytes.
using DirectAddressBytes = std::array<std::uint8_t, 4>;

class DirectAddressList {
public:
    // The entry's position, or -1 when no entry has exactly this name.
    int Find(std::string_view name) const;
    // Puts the entry in its sorted place and counts it by its letter; its position.
    int Add(DirectAddressEntry entry);

    int Count() const { return static_cast<int>(entries_.size()); }
    const DirectAddressEntry& At(int position) const { return entries_[static_cast<std::size_t>(position)]; }
    DirectAddressEntry& At(int position) { return entries_[static_cast<std::size_t>(position)]; }
    const std::vector<DirectAddressEntry>& Entries() const { return entries_; }

    // Entries added, by kind: "R" analogs, "B" digitals.
    int FoundAnalogs() const { return analogs_; }
    int FoundDigitals() const { return digitals_; }

private:
    std::vector<DirectAddressEntry> entries_;
    int analogs_ = 0;
    int digitals_ = 0;
};

// The entry a tag reference of a page element stands for: false when it is
// no direct address (no reference, or a tag already). A drive-out's main
// reference counts a bit below 10000 and a register as 10000 plus its number.
bool DirectAddressOf(std::uint16_t reference, bool driveOut, DirectAddressEntry& entry);

// Tags still free in the open project's registries: the panel model's limit
// less the tags it has.
int AvailableAnalogTags();
int AvailableDigitalTags();
