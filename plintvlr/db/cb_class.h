#pragma once
// Communications blocks: one block of PLC registers or bits that the panel
// moves between a PLC and its own memory (`cbClass`), and the open project's
// blocks in ascending block number (`CbList`). Stored in project table 3
// under the block number:
//
//   0  u16  number (copy of the key)     8  u8   type byte
//   2  u8   protocol                     9  u8   frequency code
//   3  u8   option 1                    10  u16  point count
//   4  4x8  options 2-5                 12  u16  panel address
//  14  n    remote address bytes (n = record length - 14, at most 36)
//
// Type byte: bits 0-5 the block type code, bits 6-7 the input channel - 1.
// Older records hold a type letter instead (' ', 'T', 'A'-'E'), which means
// channel 1. Panel address: bit 15 set for a bit address, clear for a
// register; bits 0-14 the number.

#include "plintvlr/db/numbered_list.h"
#include "plintvlr/db/plc_address.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class adatabase;

class cbClass {
public:
    static constexpr std::size_t kMaxAddressBytes = kMaxPlcAddressBytes;
    static constexpr std::size_t kHeaderSize = 14;
    static constexpr std::size_t kMaxRecordSize = kHeaderSize + kMaxAddressBytes;
    static constexpr int kTypeCount = 7;
    static constexpr int kColumnCount = 8;

    cbClass() { Clear(); }
    explicit cbClass(std::uint16_t number);
    // A stored record; its address length is the record's length - 14. A
    // record shorter than 14 bytes or longer than 50 gives an empty block
    // (check with IsStoredRecord first).
    explicit cbClass(std::span<const std::uint8_t> record);
    static bool IsStoredRecord(std::span<const std::uint8_t> record)
    {
        return record.size() >= kHeaderSize && record.size() <= kMaxRecordSize;
    }

    void Clear();

    std::uint16_t GetNumber() const { return number_; }
    void SetNumber(std::uint16_t number) { number_ = number; }
    std::uint8_t GetProtocol() const { return protocol_; }
    void SetProtocol(std::uint8_t protocol) { protocol_ = protocol; }
    std::uint8_t GetOption1() const { return options_[0]; }
    std::uint8_t GetOption2() const { return options_[1]; }
    std::uint8_t GetOption3() const { return options_[2]; }
    std::uint8_t GetOption4() const { return options_[3]; }
    std::uint8_t GetOption5() const { return options_[4]; }
    void SetOption1(std::uint8_t value) { options_[0] = value; }
    void SetOption2(std::uint8_t value) { options_[1] = value; }
    void SetOption3(std::uint8_t value) { options_[2] = value; }
    void SetOption4(std::uint8_t value) { options_[3] = value; }
    void SetOption5(std::uint8_t value) { options_[4] = value; }
    std::uint8_t GetTypeByte() const { return type_; }
    void SetTypeByte(std::uint8_t type) { type_ = type; }
    std::uint8_t GetFrequency() const { return frequency_; }
    void SetFrequency(std::uint8_t code) { frequency_ = code; }
    std::uint16_t GetPointCount() const { return points_; }
    void SetPointCount(std::uint16_t count) { points_ = count; }
    std::uint16_t GetPanelAddress() const { return panelAddress_; }
    void SetPanelAddressWord(std::uint16_t word) { panelAddress_ = word; }
    // The number with bit 15 set for a bit address, clear for a register.
    void SetPanelAddress(std::uint16_t number, bool isRegister);

    // The 36 address bytes; those past the address length are 0.
    const std::uint8_t* GetRemoteAddress() const { return remote_.data(); }
    // The address length: 0-36, or -1 after a text that did not parse.
    int GetAddressLength() const { return addressLength_; }
    // Zeroes the address, then copies the bytes (at most 36).
    void SetRemoteAddress(std::span<const std::uint8_t> bytes);
    // Parses an address text with the protocol's address format; the address
    // length becomes the parser's result. False when the text does not fit
    // (length -1, address bytes unchanged).
    bool ParseRemoteAddress(std::string_view text, int protocol);

    // Type index 0-6 of the type list with the channel bits (0-3) in bits
    // 6-7; an index outside the list gives the code of "Inactive".
    void SetTypeIndex(int index, int channelBits);
    // The frequency code at a position of the frequency list; "0s" outside it.
    void SetFrequencyIndex(int index);
    bool IsOnChannel(int channel) const;
    // 1-based channel; a type letter becomes its code.
    void SetChannel(int channel);
    // True for the older records' type letters.
    static bool IsTypeLetter(std::uint8_t type);

    // The stored record: 14 + address length bytes.
    std::vector<std::uint8_t> GetRecord() const;
    // Stores the record under the block number; the record code.
    int Write(adatabase& db) const;

    // Browser interface.
    int GetColumnCount() const { return kColumnCount; }
    // Empty outside 0-7.
    std::string GetColumnTitle(int column) const;
    // Columns 0-6: number, remote address, channel, "R" or "B" with a tab and
    // the panel address number, points, block type, frequency.
    std::string GetColumnText(int column) const;
    // The column texts, tab-separated, ended by a line feed.
    std::string GetRowText() const;

private:
    std::uint16_t number_ = 0;
    std::uint8_t protocol_ = 0;
    std::array<std::uint8_t, 5> options_{};
    std::uint8_t type_ = 0;
    std::uint8_t frequency_ = 0;
    std::uint16_t points_ = 0;
    std::uint16_t panelAddress_ = 0;
    std::array<std::uint8_t, kMaxAddressBytes> remote_{};
    int addressLength_ = 0;
};

// The code of a block type index (0-6); 0 outside.
std::uint8_t CommsBlockTypeCode(int index);
// The display text of a type byte: its code (bits 0-5) in the type list,
// "Inactive" for any other.
std::string CommsBlockTypeText(std::uint8_t typeByte);
// The frequency text of a block: empty for the internal frequency (255),
// "0s" for a code that is not in the list.
std::string CommsBlockFrequencyText(std::uint8_t code);

// The open project's blocks in ascending block number.
class CbList : public NumberedList<cbClass> {
public:
    // Empties the list and refills it from table 3 in key order; a record
    // whose check fails, or that is too short for a block, is skipped; any
    // other error ends the load. The walk also rebuilds the byte total of
    // table 3. Result 1.
    int Load(adatabase& db);

    // Takes the first block with the number out of the list; false when none.
    bool Detach(std::uint16_t number);
};

// The program's one list of the open project's blocks.
CbList& GetCbList();
