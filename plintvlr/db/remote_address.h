#pragma once
// One PLC address of a tag: its kind and its address bytes.

#include <cstddef>
#include <cstdint>
#include <vector>

// Kinds of a tag's address.
enum : std::int8_t {
    kAddressNone = -1,        // no address
    kAddressPlc = 0,          // a protocol address in the protocol's byte form
    kAddressRegister = 1,     // an internal register of the panel
    kAddressCommsBlock = 3,   // a communications block
    kAddressInvalid = 100,    // an address text that no rule accepts
};

// Address lengths are one byte in every stored record.
inline constexpr std::size_t kMaxTagAddressBytes = 255;

class remote_address {
public:
    virtual ~remote_address() = default;

    std::int8_t GetKind() const { return kind_; }
    void SetKind(std::int8_t kind) { kind_ = kind; }

    // The bytes followed by one NUL, or null when the address has none.
    const std::uint8_t* GetData() const { return hasData_ ? data_.data() : nullptr; }
    // Keeps a copy of n bytes (at most kMaxTagAddressBytes) and a NUL.
    void SetData(const std::uint8_t* bytes, std::size_t n);
    // How many bytes the copy holds (the stated length may differ).
    std::size_t DataSize() const { return hasData_ ? data_.size() - 1 : 0; }
    // Byte i of the copy; 0 beyond it, as the unused bytes of an address are.
    std::uint8_t ByteAt(std::size_t i) const { return i < DataSize() ? data_[i] : 0; }

    std::uint8_t GetLength() const { return length_; }
    void SetLength(std::uint8_t length) { length_ = length; }

private:
    std::int8_t kind_ = kAddressNone;
    bool hasData_ = false;
    std::vector<std::uint8_t> data_;
    std::uint8_t length_ = 0;
};
