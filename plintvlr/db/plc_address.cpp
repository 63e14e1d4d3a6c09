#include "plintvlr/db/plc_address.h"

#include "plintvlr/db/plc_address_tables.h"
#include "plintvlr/db/protocol_info_file.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kRadix[4] = {0, 8, 10, 16};

// A digit of the address text: "0"-"9" or an upper-case letter ("A" is 10).
// Lower-case letters and everything else are no digits.
int DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 99;
}

// A value written in a radix with leading zeros to `width` digits; upper-case
// hexadecimal digits; width 0 gives no leading zeros.
std::string FormatNumber(unsigned value, int radix, int width)
{
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789ABCDEF"[value % static_cast<unsigned>(radix)]);
        value /= static_cast<unsigned>(radix);
    } while (value != 0);
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    return digits;
}

std::string_view CutAtNul(std::string_view text)
{
    std::size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

std::string_view TextOfAddress(std::span<const std::uint8_t> address)
{
    std::string_view text(reinterpret_cast<const char*>(address.data()), address.size());
    return CutAtNul(text);
}

void ToUpperAscii(std::string& text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
}

// Writes the parsed bytes to the caller's span, or refuses when they do not fit.
int Deliver(const std::vector<std::uint8_t>& bytes, std::span<std::uint8_t> address)
{
    if (bytes.size() > address.size())
        return -1;
    std::copy(bytes.begin(), bytes.end(), address.begin());
    std::fill(address.begin() + static_cast<std::ptrdiff_t>(bytes.size()), address.end(), std::uint8_t{0});
    return static_cast<int>(bytes.size());
}

// A typed text address is taken when it is exactly the text that its fields
// build, so what is stored always reads back field by field.
int ParseTextAddress(const PlcAddressFormat& format, const std::string& text, std::span<std::uint8_t> address)
{
    std::string_view types = TextAddressTypeList(format.descriptor);
    std::string name, extension;
    if (ReadTextAddressField(text, types, 0, &name) < 0)
        return -1;
    ReadTextAddressField(text, types, 4, &extension);
    int number = ReadTextAddressField(text, types, 2, nullptr);
    if (number > 65535)
        return -1;
    auto rebuilt = BuildTextAddress(types, name, ReadTextAddressField(text, types, 1, nullptr), number,
                                    ReadTextAddressField(text, types, 3, nullptr) != 0, extension);
    if (!rebuilt || *rebuilt != text)
        return -1;
    std::vector<std::uint8_t> bytes(rebuilt->begin(), rebuilt->end());
    bytes.push_back(0);
    return Deliver(bytes, address);
}

}  // namespace

bool PlcDescriptorWalker::Next(PlcElement& element)
{
    const std::size_t size = descriptor_.size();
    if (pos_ >= size || descriptor_[pos_] == '\0')
        return false;
    PlcElement e;
    e.code = static_cast<std::uint8_t>(descriptor_[pos_]);
    if (e.code == 1) {
        if (pos_ + 1 >= size) {
            pos_ = size;
            return false;
        }
        e.kind = kTextField;
        e.maxLength = static_cast<std::uint8_t>(descriptor_[pos_ + 1]);
        e.twoBytes = true;
        pos_ += 2;
        element = e;
        return true;
    }
    const int radixBits = (e.code >> 4) & 3;
    e.kind = 1 + radixBits;
    e.twoBytes = (e.code & 1) != 0;
    e.width = (e.code >> 1) & 7;
    e.fixed = (e.code & 64) != 0;
    e.optional = (e.code & 128) != 0;
    std::size_t next = pos_ + 1;
    if (radixBits == 0) {
        if (next >= size) {
            pos_ = size;
            return false;
        }
        e.choiceCount = static_cast<std::uint8_t>(descriptor_[next]);
        std::size_t length = static_cast<std::size_t>(e.choiceCount) * static_cast<std::size_t>(e.width);
        if (size - (next + 1) < length) {
            pos_ = size;
            return false;
        }
        e.choices = descriptor_.substr(next + 1, length);
        next += 1 + length;
    }
    pos_ = next;
    element = e;
    return true;
}

std::string FormatPlcAddress(const PlcAddressFormat& format, std::span<const std::uint8_t> address)
{
    if (format.textAddress)
        return std::string(TextOfAddress(address).substr(0, kMaxPlcAddressText));
    auto byteAt = [&](std::size_t k) -> unsigned { return k < address.size() ? address[k] : 0u; };
    std::string text;
    std::size_t pos = 0;
    PlcDescriptorWalker walk(format.descriptor);
    PlcElement e;
    while (walk.Next(e) && text.size() < kMaxPlcAddressText) {
        if (e.kind == kTextField) {
            // The text's bytes are shown but the position stays: free text ends an address.
            for (int k = 0; k < std::min(e.maxLength, kMaxStaticFreeText) && byteAt(pos + k) != 0; ++k)
                text.push_back(static_cast<char>(byteAt(pos + k)));
        } else if (e.kind == kChoiceField) {
            if (e.fixed) {
                if (e.choiceCount > 0)
                    text.append(e.Choice(0));
            } else if (unsigned b = byteAt(pos); b < static_cast<unsigned>(e.choiceCount)) {
                text.append(e.Choice(static_cast<int>(b)));
                pos += static_cast<std::size_t>(e.ByteCount());
            }
        } else {
            unsigned value = byteAt(pos);
            if (e.twoBytes)
                value |= byteAt(pos + 1) << 8;
            text.append(FormatNumber(value, kRadix[e.kind - 1], e.width));
            pos += static_cast<std::size_t>(e.ByteCount());
        }
    }
    if (text.size() > kMaxPlcAddressText)
        text.resize(kMaxPlcAddressText);
    return text;
}

int ParsePlcAddress(const PlcAddressFormat& format, std::string_view typed, std::span<std::uint8_t> address)
{
    typed = CutAtNul(typed);
    if (typed.size() > kMaxPlcAddressText)
        return -1;
    std::string text(typed);
    if (!format.caseSensitive)
        ToUpperAscii(text);
    if (format.textAddress)
        return ParseTextAddress(format, text, address);

    std::vector<std::uint8_t> bytes;
    std::size_t t = 0;
    PlcDescriptorWalker walk(format.descriptor);
    PlcElement e;
    bool more = walk.Next(e);
    for (; more && t < text.size(); more = walk.Next(e)) {
        const std::size_t left = text.size() - t;
        if (e.kind == kTextField) {
            std::size_t n = std::min<std::size_t>(left, static_cast<std::size_t>(std::min(e.maxLength, kMaxStaticFreeText)));
            bytes.insert(bytes.end(), text.begin() + static_cast<std::ptrdiff_t>(t),
                         text.begin() + static_cast<std::ptrdiff_t>(t + n));
            bytes.push_back(0);
            t += n;
        } else if (e.kind == kChoiceField) {
            int index = -1;
            if (left >= static_cast<std::size_t>(e.width)) {
                std::string_view next = std::string_view(text).substr(t, static_cast<std::size_t>(e.width));
                for (int i = 0; i < e.choiceCount && index < 0; ++i)
                    if (e.Choice(i) == next)
                        index = i;
            }
            if (index >= 0) {
                t += static_cast<std::size_t>(e.width);
            } else if (e.optional) {
                index = 0;
            } else {
                return -1;
            }
            if (!e.fixed) {
                bytes.push_back(static_cast<std::uint8_t>(index));
                if (e.twoBytes)
                    bytes.push_back(0);
            }
        } else {
            const int radix = kRadix[e.kind - 1];
            long value = 0;
            int digits = 0;
            while (digits < e.width && t + static_cast<std::size_t>(digits) < text.size()
                   && DigitValue(text[t + static_cast<std::size_t>(digits)]) < radix) {
                value = value * radix + DigitValue(text[t + static_cast<std::size_t>(digits)]);
                ++digits;
            }
            if (digits > 0 && value < 65536) {
                t += static_cast<std::size_t>(digits);
            } else if (e.optional) {
                value = 0;
            } else {
                return -1;
            }
            if (e.fixed)
                continue;
            if (e.twoBytes) {
                bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
                bytes.push_back(static_cast<std::uint8_t>(value >> 8));
            } else if (value > 255) {
                return -1;
            } else {
                bytes.push_back(static_cast<std::uint8_t>(value));
            }
        }
    }
    if (t < text.size())
        return -1;  // text left over after the last element
    // The text is used up: what is left of the descriptor must be optional.
    for (; more; more = walk.Next(e))
        if (!e.optional)
            return -1;
    return Deliver(bytes, address);
}

std::string FormatPlcAddress(std::span<const std::uint8_t> address, int protocol)
{
    auto format = GetPlcAddressFormat(protocol);
    return format ? FormatPlcAddress(*format, address) : std::string();
}

int ParsePlcAddress(std::string_view text, std::span<std::uint8_t> address, int protocol)
{
    auto format = GetPlcAddressFormat(protocol);
    return format ? ParsePlcAddress(*format, text, address) : -1;
}

bool IsFieldZero(std::span<const std::uint8_t> value, std::uint8_t code)
{
    auto byteAt = [&](std::size_t k) -> unsigned { return k < value.size() ? value[k] : 0u; };
    return byteAt(0) == 0 && ((code & 1) == 0 || byteAt(1) == 0);
}

std::string_view TextAddressTypeList(std::string_view descriptor)
{
    PlcDescriptorWalker walk(descriptor);
    PlcElement e;
    int field = 0;
    while (walk.Next(e)) {
        if (e.fixed)
            continue;
        if (field == 1)
            return e.kind == kChoiceField ? e.choices : std::string_view();
        ++field;
    }
    return {};
}

std::optional<std::string> BuildTextAddress(std::string_view typeList, std::string_view name, int type,
                                            int number, bool extended, std::string_view extension)
{
    if (name.find_first_of("%,") != std::string_view::npos || extension.find(',') != std::string_view::npos)
        return std::nullopt;
    std::string text = name.empty() ? std::string("?") : std::string(name);
    std::size_t typeCount = (typeList.size() + 1) / 3;
    std::size_t index = type >= 0 && static_cast<std::size_t>(type) < typeCount ? static_cast<std::size_t>(type) : 0;
    std::string_view typeText = typeList.substr(std::min(typeList.size(), index * 3), 3);
    if (typeText.size() == 3 && typeText[2] == ' ')
        typeText.remove_suffix(1);
    text.append(typeText);
    text.append(std::to_string(number));
    text.push_back(',');
    if (!extended)
        text.push_back('X');
    else
        text.append(extension);
    text.append(",,");
    return text;
}

int ReadTextAddressField(std::string_view address, std::string_view typeList, int field, std::string* text)
{
    address = CutAtNul(address);
    const std::size_t percent = address.find('%');
    const std::size_t firstDigit =
        percent == std::string_view::npos ? std::string_view::npos : address.find_first_of("0123456789", percent);
    switch (field) {
    case 0: {
        std::string_view name = percent == std::string_view::npos ? std::string_view() : address.substr(0, percent);
        if (name == "?")
            name = {};
        if (text)
            text->assign(name);
        return percent == std::string_view::npos ? -1 : static_cast<int>(percent);
    }
    case 1: {
        if (percent == std::string_view::npos)
            return 0;
        std::string type(address.substr(percent, firstDigit == std::string_view::npos ? address.npos : firstDigit - percent));
        if (type.size() > 3)
            return 0;
        type.resize(3, ' ');
        for (std::size_t i = 0; i + 3 <= typeList.size(); i += 3)
            if (typeList.substr(i, 3) == type)
                return static_cast<int>(i / 3);
        return 0;
    }
    case 2: {
        if (firstDigit == std::string_view::npos)
            return 0;
        std::size_t comma = address.find(',', firstDigit);
        return static_cast<int>(ReadDecimal(address.substr(firstDigit, comma == address.npos ? address.npos : comma - firstDigit)));
    }
    case 3:
        return address.find(",X,") == std::string_view::npos ? 1 : 0;
    case 4: {
        std::string_view extension;
        std::size_t end = address.find(",,");
        std::size_t comma = address.find(',');
        if (address.find(",,,") == std::string_view::npos && end != std::string_view::npos) {
            extension = address.substr(comma + 1, end > comma ? end - comma - 1 : 0);
            // "X" alone stands for no extension; an extension that merely ends in X is kept.
            if (extension == "X")
                extension = {};
        }
        if (text)
            text->assign(extension);
        return 0;
    }
    default:
        return -1;
    }
}
