#pragma once
// One value of a tag in its panel data type, as recipe operations hold the
// values they load and the value they send on completion. The payload keeps
// the value in its little-endian layout; only PayloadSize() bytes of it take
// part in copying, comparing and storing.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Type codes of a tag value.
enum : std::uint32_t {
    kValueEmpty = 0,
    kValueByte = 1,
    kValueSigned16 = 2,
    kValueUnsigned16 = 3,
    kValueSigned32 = 4,
    kValueUnsigned32 = 5,
    kValueText = 6,
    kValueFloat = 7,
};

class TTagValue {
public:
    static constexpr std::size_t kMaxText = 32;
    static constexpr std::size_t kPayloadBytes = kMaxText + 1;

    TTagValue() = default;
    explicit TTagValue(std::uint8_t value);
    explicit TTagValue(std::int16_t value);
    explicit TTagValue(std::uint16_t value);
    explicit TTagValue(std::int32_t value);
    explicit TTagValue(std::uint32_t value);
    explicit TTagValue(float value);
    // Keeps the first 32 characters.
    explicit TTagValue(std::string_view text);
    explicit TTagValue(const char* text) : TTagValue(std::string_view(text)) {}
    TTagValue(const TTagValue&) = default;
    TTagValue& operator=(const TTagValue& other);

    // Equal when the payload sizes and those payload bytes agree, whatever
    // the types: a signed and an unsigned 16-bit value with the same bits
    // are equal.
    bool operator==(const TTagValue& other) const;

    std::uint32_t GetType() const { return type_; }
    bool IsEmpty() const { return type_ == kValueEmpty; }
    // 1 for a byte; 2 for the 16-bit types; 4 for the 32-bit types and the
    // float; the text's length + 1; 0 for an empty value or an unknown type.
    std::size_t PayloadSize() const;

    // The payload zero-extended to 32 bits (a float gives its bit pattern);
    // 0 for an empty or text value.
    std::uint32_t GetRaw32() const;
    // Sets the type and takes the payload from the word's low bytes; an empty
    // or text type changes nothing.
    void SetRaw32(std::uint32_t type, std::uint32_t word);
    // The numeric value with its signedness; false, `value` untouched, for an
    // empty or text value.
    bool GetAsLongDouble(long double& value) const;
    // The text of a text value; false for any other type.
    bool GetString(std::string& text) const;

    // Appends PayloadSize() bytes.
    void WritePayload(std::vector<std::uint8_t>& out) const;
    // Takes a value of the type from the front of `bytes`: the bytes used, a
    // text's with its NUL (a text past 32 characters keeps 32). Nothing, the
    // value unchanged, when the payload or a text's NUL lies beyond `bytes`.
    std::optional<std::size_t> ReadPayload(std::uint32_t type, std::span<const std::uint8_t> bytes);

private:
    static std::size_t PayloadSizeOf(std::uint32_t type);

    std::uint32_t type_ = kValueEmpty;
    std::uint8_t payload_[kPayloadBytes] = {};
};
