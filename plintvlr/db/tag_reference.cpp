#include "plintvlr/db/tag_reference.h"

#include "platform/base/little_endian.h"
#include "plintvlr/db/dtag.h"
#include "plintvlr/db/plc_address.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/db/tag_project.h"
#include "plintvlr/db/tag_registry.h"

#include <cctype>
#include <cstdio>
#include <string>

namespace {

constexpr std::uint32_t kChannelProtocolRecord = 122;

// Reads a number of exactly four decimal digits filling the whole text. A
// sign or a blank would also fill four characters for "%4d%n", but "R-012"
// names no register: it would become register 65524.
bool ScanFourDigits(std::string_view text, int& value)
{
    if (text.size() != 4)
        return false;
    value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

void PutRegisterBytes(std::span<std::uint8_t, 4> bytes, int value)
{
    PutLe16(bytes.data(), static_cast<std::uint16_t>(value));
    bytes[2] = 0;
    bytes[3] = 0;
}

}  // namespace

std::uint32_t FindAnalogTagId(std::string_view name)
{
    const tagregistry* registry = OpenTagRegistry(false);
    return registry ? registry->Find(name) : 0;
}

std::uint32_t FindDigitalTagId(std::string_view name)
{
    const tagregistry* registry = OpenTagRegistry(true);
    return registry ? registry->Find(name) : 0;
}

std::uint16_t TagNameToRef(std::string_view name)
{
    if (name.empty())
        return 0;
    if (const std::uint32_t id = FindAnalogTagId(name))
        return static_cast<std::uint16_t>(id);
    if (const std::uint32_t id = FindDigitalTagId(name))
        return static_cast<std::uint16_t>(id | kTagRefDigital);
    return 0;
}

std::uint16_t EncodeTagRefFor(int index, int bit, bool digital, int registerCount, int analogLimit)
{
    if (bit == 0)
        return static_cast<std::uint16_t>(digital ? (index | kTagRefDigital) : index);
    if (bit < 0 || bit > 4)
        return 0;
    const int place = registerCount + (digital ? 4 * analogLimit : 0) + 4 * (index - 1) + ((bit + 1) & 3);
    return static_cast<std::uint16_t>((place | kTagRefBit) + 1);
}

std::uint16_t EncodeTagRef(int index, int bit, bool digital)
{
    return EncodeTagRefFor(index, bit, digital, OpenRegisterCount(), OpenAnalogTagLimit());
}

int DecodeTagRefFor(std::uint16_t reference, int registerCount, int analogLimit, int& bit, bool& digital)
{
    const int number = reference & kTagRefNumberMask;
    bit = 0;
    digital = false;
    switch (reference & kTagRefBit) {
    case 0:
        return number;
    case kTagRefDigital:
        digital = true;
        return number;
    default:
        break;
    }
    const int place = number - 1 - registerCount;
    // A place below the bit area names no tag; no encoding gives one.
    if (place < 0)
        return 0;
    bit = ((place & 3) + 3) & 3;
    if (bit == 0)
        bit = 4;
    if (place < 4 * analogLimit)
        return place / 4 + 1;
    digital = true;
    return (place - 4 * analogLimit) / 4 + 1;
}

int DecodeTagRef(std::uint16_t reference, int& bit, bool& digital)
{
    return DecodeTagRefFor(reference, OpenRegisterCount(), OpenAnalogTagLimit(), bit, digital);
}

void SplitTagRefBitFor(std::uint16_t& reference, int& bit, int registerCount, int analogLimit)
{
    bit = 0;
    if ((reference & 0x4000) == 0)
        return;
    bool digital = false;
    int tagBit = 0;
    const int index = DecodeTagRefFor(reference, registerCount, analogLimit, tagBit, digital);
    if (index == 0)
        return;
    bit = tagBit;
    reference = static_cast<std::uint16_t>(digital ? (index | kTagRefDigital) : index);
}

void SplitTagRefBit(std::uint16_t& reference, int& bit)
{
    SplitTagRefBitFor(reference, bit, OpenRegisterCount(), OpenAnalogTagLimit());
}

void JoinTagRefBitFor(std::uint16_t& reference, int bit, int registerCount, int analogLimit)
{
    if (bit <= 0 || (reference & 0x4000) != 0)
        return;
    const int index = reference & kTagRefNumberMask;
    if (index == 0)
        return;
    const bool digital = (reference & kTagRefBit) == kTagRefDigital;
    if (const std::uint16_t joined = EncodeTagRefFor(index, bit, digital, registerCount, analogLimit))
        reference = joined;
}

void JoinTagRefBit(std::uint16_t& reference, int bit)
{
    JoinTagRefBitFor(reference, bit, OpenRegisterCount(), OpenAnalogTagLimit());
}

bool TagRefHasSecondInput(std::uint16_t reference)
{
    if ((reference & kTagRefDigital) == 0)
        return true;
    dtag tag;
    if (!tag.Read(reference & kTagRefNumberMask))
        return false;
    TagAddressBuffer bytes{};
    int length = 0;
    return tag.GetAddress(1, bytes, length) != kAddressNone;
}

bool HasPortTable()
{
    return OpenProjectHasSystemRecord(kChannelProtocolRecord);
}

bool ParseRegisterName(std::string_view text, std::span<std::uint8_t, 4> bytes, std::string_view format)
{
    if (text.size() != 5 || format.empty())
        return false;
    if (std::toupper(static_cast<unsigned char>(text[0])) != std::toupper(static_cast<unsigned char>(format[0])))
        return false;
    int value = 0;
    if (!ScanFourDigits(text.substr(1), value))
        return false;
    PutRegisterBytes(bytes, value);
    return true;
}

bool ParseCommsBlockName(std::string_view text, std::span<std::uint8_t, 4> bytes)
{
    constexpr std::string_view kWord = "CBLOCK";
    if (text.size() != 10 || !text.starts_with(kWord))
        return false;
    int value = 0;
    if (!ScanFourDigits(text.substr(kWord.size()), value))
        return false;
    PutRegisterBytes(bytes, value);
    return true;
}

bool ParseTagAddressFor(std::string_view text, std::span<std::uint8_t> bytes, int& length, int& kind,
                        std::string_view format, int protocol, bool textPanel)
{
    kind = kAddressInvalid;
    length = 4;
    std::array<std::uint8_t, 4> name{};
    if (text.empty()) {
        // stays invalid
    } else if (ParseRegisterName(text, name, format)) {
        if (!textPanel)
            kind = kAddressRegister;
    } else if (ParseCommsBlockName(text, name)) {
        if (!textPanel)
            kind = kAddressCommsBlock;
    } else if (protocol != -1) {
        const int n = ParsePlcAddress(text, bytes, protocol);
        if (n >= 0) {
            kind = kAddressPlc;
            length = n;
        }
    }
    if ((kind == kAddressRegister || kind == kAddressCommsBlock) && bytes.size() >= name.size())
        std::copy(name.begin(), name.end(), bytes.begin());
    if (kind == kAddressInvalid) {
        if (!bytes.empty())
            bytes[0] = 0;
        length = 0;
    }
    return kind != kAddressInvalid;
}

bool ParseTagAddress(std::string_view text, std::span<std::uint8_t> bytes, int& length, int& kind,
                     std::string_view format, int protocol)
{
    return ParseTagAddressFor(text, bytes, length, kind, format, protocol, Quellstor(OpenPanelType()).IsTextPanel());
}

std::string FormatTagAddressFor(const tagbase& tag, int i, char registerLetter, int protocol)
{
    TagAddressBuffer bytes{};
    int length = 0;
    const int kind = tag.GetAddress(i, bytes, length);
    // Register and block numbers are the first four bytes, whatever the length.
    const long number = GetLeS32(bytes.data());
    char text[32];
    switch (kind) {
    case kAddressPlc:
        return FormatPlcAddress(std::span<const std::uint8_t>(bytes.data(), static_cast<std::size_t>(length)),
                                protocol);
    case kAddressRegister:
        std::snprintf(text, sizeof text, "%c%04ld", registerLetter, number);
        return text;
    case kAddressCommsBlock:
        std::snprintf(text, sizeof text, "CBLOCK%04ld", number);
        return text;
    default:
        return {};
    }
}

std::string FormatTagAddress(const tagbase& tag, int i, char registerLetter)
{
    return FormatTagAddressFor(tag, i, registerLetter, OpenPortProtocol(tag.GetAddressChannel(i)));
}
