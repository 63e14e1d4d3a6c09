#pragma once
// The panel database file (".DTB"): the compiled project that the panel
// loads and the transfer program sends. A 128-byte header is followed by
// records, each a 14-byte record header and its data. Records are only ever
// appended; the records of one table form one doubly linked chain in the
// order they were added. The header holds the end of the data, the first
// record of each table and the panel's four passwords.
//
// One file is open at a time: from ImageCreate to ImageFinish while it is
// written, from ImageOpen to ImageClose while it is read. The header stays in
// memory in between and reaches the file in ImageFinish. Appended records are
// gathered and written in large blocks, so a failed write is reported by the
// append that meets it or at the latest by ImageFinish.
//
// A file that is read may have come from a panel and is not trusted: every
// record must lie inside the file as it is on disk, whatever its header says,
// and a walk along a chain (ImageFirst... then ImageNext...) takes at most as
// many steps as the file has room for records, so a chain that loops ends
// with an error. One walk at a time.
//
// Results are the keyed record file's codes: 0; 2 the file could not be
// created; 3 a write failed; 4 the file could not be read, or a record or
// chain leaves it; 5 no such record, or the end of a chain; 7 the record is
// longer than the buffer, which holds the record's first bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

struct ImageHeader {
    static constexpr std::size_t kSize = 128;
    static constexpr std::uint8_t kMark = 0x53;  // 'S', at offset 8
    static constexpr int kTables = 16;
    static constexpr int kPasswordSlots = 4;
    static constexpr std::size_t kPasswordLength = 6;

    // Where the next record goes; always the file's length.
    std::uint32_t end = kSize;
    // The first record of each table; 0 = the table has none. Entry 0 stays 0.
    std::array<std::uint32_t, kTables> firstRecord{};
    // Offline, Graphic Page Driveout, Overview Driveout, Monitor Driveout.
    std::array<std::array<std::uint8_t, kPasswordLength>, kPasswordSlots> passwords{};

    // The other bytes are 0, but for the mark.
    void Encode(std::uint8_t* out) const;
    static ImageHeader Decode(const std::uint8_t* in);
};

struct ImageRecordHeader {
    static constexpr std::size_t kSize = 14;

    std::uint8_t table = 0;
    std::uint16_t key = 0;        // the low 16 bits of the project key
    std::uint32_t previous = 0;   // the table's record before; 0 = first
    std::uint32_t next = 0;       // the table's record after; 0 = last
    std::uint16_t length = 0;     // data bytes after this header

    // Byte 11 is written as 0 and not read.
    void Encode(std::uint8_t* out) const;
    static ImageRecordHeader Decode(const std::uint8_t* in);
};

// Writing.
// Creates or truncates the file and writes an empty header: 0, 2 or 3.
int ImageCreate(std::string_view name);
// Appends one record to its table's chain (table 0-15): 0 or 3. After a
// failed write every later append fails too.
int ImageAppendRecord(int table, std::uint16_t key, const void* data, std::uint16_t length);
// The six bytes of a password slot (0-3); another slot is not stored, and
// reads as six zero bytes.
void ImageSetPassword(const std::uint8_t* bytes, int slot);
void ImageGetPassword(std::uint8_t* out, int slot);
// Writes what is left and the header, and closes the file: 0, or 3 when a
// write failed, now or before, or no file is being written.
int ImageFinish();

// Reading.
// Opens the file and reads its header: 0, or 4 when the file does not open
// or is shorter than a header.
int ImageOpen(std::string_view name);
// The first record of the table with its key and the offset of the next
// one. length: in the buffer's size, out the bytes the buffer holds.
// 0, 4, 5 (the table has no record) or 7.
int ImageFirstRecord(int table, void* buffer, std::uint16_t& length, std::uint16_t& key, std::uint32_t& next);
// The record at the offset; the offset becomes that record's next offset.
// 0, 4, 5 (offset 0) or 7.
int ImageNextRecord(void* buffer, std::uint16_t& length, std::uint16_t& key, std::uint32_t& offset);
// The same without reading the data; length is the record's data length.
int ImageFirstHeader(int table, std::uint16_t& key, std::uint32_t& next, std::uint16_t& length);
int ImageNextHeader(std::uint16_t& key, std::uint32_t& offset, std::uint16_t& length);
// The first record of the table's chain with the key, read as above: 0, 4, 5 or 7.
int ImageFindRecord(int table, void* buffer, std::uint16_t key, std::uint16_t& length);
// The program version that wrote the file, as a number (5.1.0 is 510), from
// system record 102; 0 without that record or without a version in it.
int ImageGetVersion();
// Closes the file without writing anything.
void ImageClose();

// The number of a program version text of up to ten characters: the digits
// before the first '.', after it and three after it ("5.1.0" is 510); 0 when
// there is no such '.', or one of the three is not a digit.
int ProgramVersionNumber(const char* text, std::size_t size);
