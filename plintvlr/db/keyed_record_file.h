#pragma once
// Keyed record file: the on-disk form of every project table. A 14-byte file
// header is followed by blocks; each block is a 16-byte record header and the
// record's data (at most 65535 bytes). Live records form one doubly linked
// chain sorted by unsigned key; deleted blocks form a second chain, newest
// first, that later writes reuse. Blocks never move and the file only grows.
//
// Every operation works straight on the file through the handle: nothing is
// kept between calls, and the file header is read again each time. A damaged
// file (links out of the file or into its header, chains that loop, keys that
// fall along a walk, lengths past the end) gives a result code, never a hang.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

// Result codes of the record operations.
constexpr int DF_OK = 0;
constexpr int DF_NOT_CREATED = 2;     // the file could not be created
constexpr int DF_WRITE_ERROR = 3;     // a write was short
constexpr int DF_READ_ERROR = 4;      // a read was short, or the file's links are damaged
constexpr int DF_NOT_FOUND = 5;       // no record has the key, or the file has no records
constexpr int DF_BAD_CHECK = 6;       // the record's data does not match its check
constexpr int DF_BUFFER_SMALL = 7;    // the caller's buffer is smaller than the record

// Chains for DfRelink.
constexpr int DF_LIVE_CHAIN = 0;
constexpr int DF_FREE_CHAIN = 1;

struct DfFileHeader {
    static constexpr std::size_t kSize = 14;
    static constexpr std::uint16_t kMagic = 0x4644;  // the bytes "DF"

    std::uint16_t magic = kMagic;
    std::uint32_t firstRecord = 0;  // the live record with the lowest key; 0 = none
    std::uint32_t firstFree = 0;    // the newest free block; 0 = none
    std::uint32_t reserved = 0;

    void Encode(std::uint8_t* out) const;
    static DfFileHeader Decode(const std::uint8_t* in);
};

struct DfRecordHeader {
    static constexpr std::size_t kSize = 16;

    std::uint32_t key = 0;
    std::uint32_t next = 0;      // next block of the same chain; 0 = last
    std::uint32_t previous = 0;  // previous block of the same chain; 0 = first
    std::uint16_t length = 0;    // data length; a free block keeps its last record's
    std::uint16_t check = 0;     // DfChecksum of the data

    void Encode(std::uint8_t* out) const;
    static DfRecordHeader Decode(const std::uint8_t* in);
};

// Creates (or truncates) the file with an empty header: 0, 2 or 3.
int DfCreate(std::string_view name);
// Opens and checks the header's magic: the handle, or -1.
int DfOpen(std::string_view name);
int DfOpenReadOnly(std::string_view name);
void DfClose(int handle);

// Stores the record under the key, replacing the key's record; length 0 only
// deletes. 0, 3 or 4. A failed write leaves the file as it was before the call.
int DfWriteRecord(int handle, std::uint32_t key, const void* data, std::uint16_t length);
// length: in the buffer's size, out the record's length. 0, 4, 5, 6 or 7.
int DfReadRecord(int handle, std::uint32_t key, void* buffer, std::uint16_t& length);
// 0 also when no record has the key; 3 or 4.
int DfDeleteRecord(int handle, std::uint32_t key);

// A walk in key order: DfFirstRecord once, then DfNextRecord with the position
// the previous call returned until it is 0; the buffer size is set again before
// every call. On 6 the data, length, key and position are the bad record's, so
// a walk can step past it and its caller can still account for the record.
// On 4 the position becomes 0, so a walk always ends.
int DfFirstRecord(int handle, void* buffer, std::uint16_t& length, std::uint32_t& key,
                  std::uint32_t& next);
int DfNextRecord(int handle, void* buffer, std::uint16_t& length, std::uint32_t& key,
                 std::uint32_t& position);

// Where the key's record lies and its data length, without reading the data: 0, 4 or 5.
int DfRecordInfo(int handle, std::uint32_t key, std::uint32_t& position, std::uint16_t& length);

// The live chain's record headers from its head, without the data: each
// record's key, offset and data length go to `visit` until it answers false.
// 0, or 4 for a damaged chain once the records before the damage were visited;
// a record a look-up by key would find is visited, in the same order.
int DfWalkHeaders(int handle,
                  const std::function<bool(std::uint32_t key, std::uint32_t position, std::uint16_t length)>& visit);

// The two's complement of the 16-bit sum of the bytes; empty data gives 0.
std::uint16_t DfChecksum(const void* data, std::uint16_t length);

// The offset of the live record with the key, or 0 (also for a damaged file).
std::uint32_t DfFindRecord(int handle, std::uint32_t key);
// 1 when the key exists, with its neighbours; else 0, with the offsets between
// which a record of the key belongs (both 0 for an empty or damaged file).
int DfFindRecordLinks(int handle, std::uint32_t key, std::uint32_t& previous, std::uint32_t& next);
// Unlinks and returns the first free block whose stored length is at least
// the length; 0 when there is none.
std::uint32_t DfTakeFreeBlock(int handle, std::uint16_t length);
// Splices the block at position between previous and next of the chain, or
// with position 0 joins previous and next around a removed block. 0, 3 or 4.
int DfRelink(int handle, std::uint32_t position, std::uint32_t previous, std::uint32_t next, int chain);

// One-pass writing for a caller that has its records in ascending key order:
// the records lie back to back after the header. DfCreateOpen gives the open
// handle or -1; the caller must append at least one record.
int DfCreateOpen(std::string_view name);
// previous: in the offset of the record appended before (0 for the first),
// out this record's offset. last: the record ends the chain. 0 or 3.
int DfAppendRecord(int handle, std::uint32_t key, const void* data, std::uint16_t length,
                   std::uint32_t& previous, bool last);
