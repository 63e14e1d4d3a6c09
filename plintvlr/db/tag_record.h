#pragma once
// Byte streams of the tag records: numbers little endian, a text as one
// length byte and that many characters without a NUL, an address as its kind,
// its length and its bytes. The writer refuses to pass the end of its buffer;
// the reader never looks past the record's length, whatever its bytes say.

#include "plintvlr/db/tag_base.h"
#include "plintvlr/db/tag_project.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Stored tag records never pass this size.
inline constexpr std::size_t kMaxTagRecord = 200;

// How far a tag record could be read.
enum class TagUnpack {
    kComplete,     // every field the flags announce was read
    kTextTooLong,  // a text's length byte was out of range; the fields before it were read
    kCutOff,       // the record ended inside a field; the fields before it were read
};

class TagRecordWriter {
public:
    explicit TagRecordWriter(std::span<std::uint8_t> buffer) : buffer_(buffer) {}

    void Byte(std::uint8_t value);
    void Word(std::uint16_t value);
    void Long(std::uint32_t value);
    // The length byte and at most `most` characters.
    void Text(std::string_view text, std::size_t most);
    // Address i of the tag as kind, length and bytes; false, writing nothing,
    // when it has none (GetAddress answers kAddressInvalid or kAddressNone).
    bool Address(const tagbase& tag, int i);
    // The output group, when the tag's flags announce one: read-after-write,
    // then the output address, or kind 0 and length 0 when the tag has none.
    void Output(const tagbase& tag);
    // The channel byte, when the tag's flags announce one: two bits
    // (channel - 1) for each of the addresses, the first in the lowest bits.
    void Channels(const tagbase& tag, std::span<const int> addresses);

    // Bytes written; 0 once anything did not fit.
    std::size_t Size() const { return overflow_ ? 0 : pos_; }

private:
    bool Room(std::size_t n);

    std::span<std::uint8_t> buffer_;
    std::size_t pos_ = 0;
    bool overflow_ = false;
};

class TagRecordReader {
public:
    explicit TagRecordReader(std::span<const std::uint8_t> record) : record_(record) {}

    // Each read is false, consuming nothing and leaving the value alone, when
    // the record ends before the field does.
    bool Byte(std::uint8_t& value);
    bool Word(std::uint16_t& value);
    bool Long(std::uint32_t& value);
    // A text whose length byte is above `most` sets kTextTooLong; the first
    // `keep` characters are kept.
    bool Text(std::string& text, std::size_t most, std::size_t keep);
    // Sets address i of the tag from kind, length and bytes.
    bool Address(tagbase& tag, int i);
    // The output group of a tag whose flags announce one; any other tag gets
    // no output address.
    void Output(tagbase& tag);
    // The channel byte of a tag whose flags announce one, as the writer lays it out.
    void Channels(tagbase& tag, std::span<const int> addresses);

    TagUnpack Result() const { return result_; }
    bool Failed() const { return result_ != TagUnpack::kComplete; }

private:
    bool Need(std::size_t n);

    std::span<const std::uint8_t> record_;
    std::size_t pos_ = 0;
    TagUnpack result_ = TagUnpack::kComplete;
};

// Storage of both tag kinds, each in its table of the open project.
// Sets the number and stores the packed tag; false when there is nothing to
// store (no input address) or the put failed.
template <class Tag>
bool WriteTagRecord(Tag& tag, int table, std::uint32_t number)
{
    tag.SetNumber(number);
    std::array<std::uint8_t, kMaxTagRecord> record{};
    const std::size_t n = tag.PackRecord(record);
    return n != 0 && PutTagTableRecord(table, number, std::span<const std::uint8_t>(record.data(), n)) == 0;
}

// Reads and unpacks the record of the number; false, the tag unchanged, when
// there is none.
template <class Tag>
bool ReadTagRecord(Tag& tag, int table, std::int32_t number)
{
    if (number < 0)
        return false;
    std::array<std::uint8_t, kMaxTagRecord> record{};
    std::uint16_t length = 0;
    if (GetTagTableRecord(table, static_cast<std::uint32_t>(number), record, length) != 0)
        return false;
    tag.UnpackRecord(static_cast<std::uint32_t>(number), std::span<const std::uint8_t>(record.data(), length));
    return true;
}
