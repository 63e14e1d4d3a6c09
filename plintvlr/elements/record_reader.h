#pragma once
// A reading position inside one element record that knows where the record
// ends. Element records come from project files and the desktop clipboard, so
// every reader goes through this: a read that would pass the end fails, the
// position stays where it was, and every later read fails too, so a caller
// may read a whole piece and check once.

#include <cstddef>
#include <cstdint>
#include <span>

class RecordReader {
public:
    RecordReader() = default;
    RecordReader(const std::uint8_t* data, std::size_t length) : at_(data), end_(data ? data + length : data) {}
    explicit RecordReader(std::span<const std::uint8_t> bytes) : RecordReader(bytes.data(), bytes.size()) {}

    const std::uint8_t* Position() const { return at_; }
    const std::uint8_t* End() const { return end_; }
    std::size_t Remaining() const { return failed_ ? 0 : static_cast<std::size_t>(end_ - at_); }
    bool Failed() const { return failed_; }
    void Fail() { failed_ = true; }

    bool ReadByte(std::uint8_t& value);
    // A 16-bit little-endian value.
    bool ReadWord(std::uint16_t& value);
    bool ReadBytes(void* output, std::size_t count);
    bool Skip(std::size_t count);
    // Moves on to a position that another reader of the same bytes found (the
    // field record reader's end); fails for one behind the position or past the end.
    bool MoveTo(const std::uint8_t* position);

private:
    bool Take(std::size_t count);

    const std::uint8_t* at_ = nullptr;
    const std::uint8_t* end_ = nullptr;
    bool failed_ = false;
};
