#include "plintvlr/tables/tag_value.h"

#include "platform/base/little_endian.h"

#include <algorithm>
#include <bit>
#include <cstring>

TTagValue::TTagValue(std::uint8_t value)
{
    SetRaw32(kValueByte, value);
}

TTagValue::TTagValue(std::int16_t value)
{
    SetRaw32(kValueSigned16, static_cast<std::uint16_t>(value));
}

TTagValue::TTagValue(std::uint16_t value)
{
    SetRaw32(kValueUnsigned16, value);
}

TTagValue::TTagValue(std::int32_t value)
{
    SetRaw32(kValueSigned32, static_cast<std::uint32_t>(value));
}

TTagValue::TTagValue(std::uint32_t value)
{
    SetRaw32(kValueUnsigned32, value);
}

TTagValue::TTagValue(float value)
{
    SetRaw32(kValueFloat, std::bit_cast<std::uint32_t>(value));
}

TTagValue::TTagValue(std::string_view text) : type_(kValueText)
{
    // A NUL inside the text ends it, as it would in the stored payload.
    text = text.substr(0, std::min({text.find('\0'), text.size(), kMaxText}));
    std::copy(text.begin(), text.end(), payload_);
}

TTagValue& TTagValue::operator=(const TTagValue& other)
{
    if (this != &other) {
        type_ = other.type_;
        std::memcpy(payload_, other.payload_, other.PayloadSize());
    }
    return *this;
}

bool TTagValue::operator==(const TTagValue& other) const
{
    const std::size_t size = PayloadSize();
    return size == other.PayloadSize() && std::memcmp(payload_, other.payload_, size) == 0;
}

std::size_t TTagValue::PayloadSizeOf(std::uint32_t type)
{
    switch (type) {
    case kValueByte:
        return 1;
    case kValueSigned16:
    case kValueUnsigned16:
        return 2;
    case kValueSigned32:
    case kValueUnsigned32:
    case kValueFloat:
        return 4;
    default:
        return 0;
    }
}

std::size_t TTagValue::PayloadSize() const
{
    if (type_ == kValueText)
        return ::strnlen(reinterpret_cast<const char*>(payload_), kMaxText) + 1;
    return PayloadSizeOf(type_);
}

std::uint32_t TTagValue::GetRaw32() const
{
    if (type_ == kValueText)
        return 0;
    std::uint8_t word[4] = {};
    std::copy_n(payload_, std::min<std::size_t>(PayloadSize(), sizeof word), word);
    return GetLe32(word);
}

void TTagValue::SetRaw32(std::uint32_t type, std::uint32_t word)
{
    if (type == kValueEmpty || type == kValueText)
        return;
    type_ = type;
    std::memset(payload_, 0, sizeof payload_);
    std::uint8_t bytes[4];
    PutLe32(bytes, word);
    std::copy_n(bytes, PayloadSizeOf(type), payload_);
}

bool TTagValue::GetAsLongDouble(long double& value) const
{
    const std::uint32_t word = GetRaw32();
    switch (type_) {
    case kValueByte:
    case kValueUnsigned16:
    case kValueUnsigned32:
        value = word;
        return true;
    case kValueSigned16:
        value = static_cast<std::int16_t>(word);
        return true;
    case kValueSigned32:
        value = static_cast<std::int32_t>(word);
        return true;
    case kValueFloat:
        value = std::bit_cast<float>(word);
        return true;
    default:
        return false;
    }
}

bool TTagValue::GetString(std::string& text) const
{
    if (type_ != kValueText)
        return false;
    text.assign(reinterpret_cast<const char*>(payload_), PayloadSize() - 1);
    return true;
}

void TTagValue::WritePayload(std::vector<std::uint8_t>& out) const
{
    out.insert(out.end(), payload_, payload_ + PayloadSize());
}

std::optional<std::size_t> TTagValue::ReadPayload(std::uint32_t type, std::span<const std::uint8_t> bytes)
{
    if (type == kValueText) {
        const auto nul = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
        if (nul == bytes.end())
            return std::nullopt;
        const std::size_t length = static_cast<std::size_t>(nul - bytes.begin());
        type_ = type;
        std::memset(payload_, 0, sizeof payload_);
        std::copy_n(bytes.begin(), std::min(length, kMaxText), payload_);
        return length + 1;
    }
    const std::size_t size = PayloadSizeOf(type);
    if (size > bytes.size())
        return std::nullopt;
    type_ = type;
    std::memset(payload_, 0, sizeof payload_);
    std::copy_n(bytes.begin(), size, payload_);
    return size;
}
