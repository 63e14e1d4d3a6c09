#pragma once
// One record of a project of the previous file generation ("dtb-%.2x.dbs"),
// turned into the record the current tables hold. Analog and digital tags
// are rebuilt field by field into the records the tag classes read, and the
// PLC address of the communications block an old tag used moves into the tag
// as its output address; every other record stays as it was.
//
// Old analog tag (table 1), little endian; at least 68 bytes:
//   0 u16 tag number       2 u8 decimals            3 u8 scaling letter
//   4 u16 x 4 external upper, external lower, internal upper, internal lower
//  16 u8 alarm letter ('  ' none)                    17 u16 x 2 alarm upper, lower
//  21 u16 internal register of the value             23 char[8] units
//  31 char[10] name       66 u16 communications block (0 none)
// Old digital tag (table 2); at least 84 bytes:
//   0 u16 tag number       2 char[10] status text 0  12 char[10] status text 1
//  22 char[10] status text 2                          32 char[10] status text 3
//  42 u8 alarm code       43 u16 internal bit of input 1
//  45 u16 internal bit of input 2 (0: one input)     47 char[10] name
//  82 u16 communications block (0 none)
// Texts end at their first NUL or their width and lose trailing blanks.

#include "plintvlr/db/atag.h"
#include "plintvlr/db/dtag.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class RECORD {
public:
    static constexpr std::size_t kBufferSize = 1000;
    static constexpr std::size_t kOldAnalogLength = 68;
    static constexpr std::size_t kOldDigitalLength = 84;

    // Reads the project's protocol from record 100 of the folder's old
    // system table; for a tag table it also opens the old communications
    // block table, which stays open while the table's records are converted.
    RECORD(std::string_view sourceFolder, int table);
    ~RECORD();
    RECORD(const RECORD&) = delete;
    RECORD& operator=(const RECORD&) = delete;

    // The converted record: for tables 1 and 2 the rebuilt tag, for the
    // other tables the old data itself. Empty when an old tag record is too
    // short to hold its fields.
    std::span<const std::uint8_t> Convert(std::span<const std::uint8_t> old, std::uint32_t key,
                                          std::uint32_t internalAddress);
    std::uint16_t GetLength() const { return length_; }
    // The communications block whose address the tag took over; 0 = none.
    std::uint16_t GetBlockNumber() const { return blockNumber_; }
    // 2 when the digital tag has a second input, else 1.
    int GetAddressCount() const { return addressCount_; }
    int GetProtocol() const { return protocol_; }

    // The tags as rebuilt by the last Convert.
    const atag& AnalogTag() const { return analog_; }
    const dtag& DigitalTag() const { return digital_; }

    // The old table file of a folder: "dtb-%.2x.dbs" (names match without
    // regard to case).
    static std::string OldTablePath(std::string_view folder, int table);
    static std::string OldTableName(int table);
    // An old text field: up to its first NUL, at most its width, without
    // trailing blanks.
    static std::string OldText(std::span<const std::uint8_t> old, std::size_t offset, std::size_t width);

private:
    bool PutAnalogHead(std::span<const std::uint8_t> old, std::uint32_t key);
    bool PutDigitalHead(std::span<const std::uint8_t> old, std::uint32_t key, std::uint32_t internalAddress);
    // The address bytes of old block b in the project's protocol, or its 36
    // raw address bytes; nothing when the block does not resolve.
    std::optional<std::vector<std::uint8_t>> PutBlockAddress(std::uint16_t block);
    void TakeOverBlock(tagbase& tag, std::span<const std::uint8_t> old, std::size_t offset);

    std::array<std::uint8_t, kBufferSize> buffer_{};
    int table_;
    int protocol_ = -1;
    std::uint16_t length_ = 0;
    int blockTable_ = -1;  // the old table 3; -1 when blocks cannot resolve
    std::uint16_t blockNumber_ = 0;
    int addressCount_ = 1;
    atag analog_;
    dtag digital_;
};
