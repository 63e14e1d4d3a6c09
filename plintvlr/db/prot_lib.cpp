#include "plintvlr/db/prot_lib.h"

#include "platform/base/files.h"

#include <algorithm>

namespace {

// The library reads a line of up to 100 characters at a time.
constexpr std::size_t kLibraryLineChars = 100;

bool StartsWith(std::string_view line, std::string_view prefix)
{
    return line.substr(0, prefix.size()) == prefix;
}

std::string_view CString(std::string_view text)
{
    return text.substr(0, text.find('\0'));
}

// Item n (from 0) of a comma-separated list. With `commaEnded` an item counts
// only when a comma follows it; otherwise the last item runs to the end.
std::optional<std::string_view> ListItem(std::string_view list, int n, bool commaEnded)
{
    if (n < 0)
        return std::nullopt;
    for (int i = 0; i < n; ++i) {
        std::size_t comma = list.find(',');
        if (comma == std::string_view::npos)
            return std::nullopt;
        list.remove_prefix(comma + 1);
    }
    std::size_t comma = list.find(',');
    if (comma == std::string_view::npos)
        return commaEnded ? std::nullopt : std::optional<std::string_view>(list);
    return list.substr(0, comma);
}

// Copies a text NUL-ended into a caller's area at `at`, cut to fit.
void CopyToArea(std::span<char> area, std::size_t at, std::string_view text)
{
    if (at >= area.size())
        return;
    std::size_t n = std::min(text.size(), area.size() - at - 1);
    std::copy_n(text.begin(), n, area.begin() + static_cast<std::ptrdiff_t>(at));
    area[at + n] = '\0';
}

long LargestNumber(int radix, int width)
{
    long value = 1;
    for (int i = 0; i < width; ++i)
        value *= radix;
    return value - 1;
}

}  // namespace

ProtLib::ProtLib() = default;

ProtLib::ProtLib(std::string_view path)
{
    ReadFile(path);
}

ProtLib::~ProtLib() = default;

bool ProtLib::ReadFile(std::string_view path)
{
    // The program does not start on a larger file; one that grew since is not read.
    std::int64_t size = FileSizeOf(path);
    std::string contents;
    if (size < 0 || size > kMaxProtocolInfoFileSize || !ReadWholeFile(path, contents))
        return false;
    ReadText(contents);
    return true;
}

void ProtLib::ReadText(std::string_view contents)
{
    DescriptorScanner scanner;
    int current = -1;
    auto entry = [&]() -> Entry* { return IsProtocolNumber(current) ? &entries_[current] : nullptr; };
    for (std::string_view line : SplitProtocolInfoLines(contents, kLibraryLineChars)) {
        if (StartsWith(line, "PCL")) {
            const std::optional<ProtocolLine> protocol = ScanProtocolLine(line);
            if (!protocol)
                continue;
            // A protocol line without a number starts no protocol, and its
            // lines must not change the protocol above it.
            current = protocol->numbered ? protocol->number : -1;
            if (Entry* e = entry()) {
                e->name = std::string(protocol->name);
                e->caseSensitive = protocol->caseSensitive;
            }
        } else if (StartsWith(line, "COMM")) {
            auto settings = ScanCommLine(StripLineEnd(line));
            if (Entry* e = entry(); e && settings)
                e->comm = *settings;
        } else if (StartsWith(line, kLabelsKeyword)) {
            if (Entry* e = entry())
                e->labels = std::string(StripLineEnd(line.substr(kLabelsKeyword.size())));
        } else if (StartsWith(line, "RULE")) {
            auto word = ScanWordAfter(line, "RULE=");
            if (Entry* e = entry(); e && word) {
                if (*word == "PC104")
                    e->flags |= kRulePc104;
                else if (*word == "NOCOM2")
                    e->flags |= kRuleNoCom2;
            }
        } else if (StartsWith(line, kInvalidTypesKeyword)) {
            auto word = ScanWordAfter(line, kInvalidTypesKeyword);
            if (Entry* e = entry(); e && word) {
                // Found by substring, so "QSRP" also names "QSR".
                const std::pair<std::string_view, std::uint32_t> families[] = {
                    {"QSE", kFamilyQse}, {"QSD", kFamilyQsd}, {"QSG", kFamilyQsg},
                    {"QSR", kFamilyQsr}, {"QSRP", kFamilyQsrp}};
                for (const auto& [code, bit] : families)
                    if (word->find(code) != std::string::npos)
                        e->flags |= bit;
            }
        } else if (StartsWith(line, kHighLimitsKeyword)) {
            if (Entry* e = entry())
                e->highLimits = std::string(StripLineEnd(line.substr(kHighLimitsKeyword.size())));
        } else if (StartsWith(line, kDefaultsKeyword)) {
            if (Entry* e = entry())
                e->defaults = std::string(StripLineEnd(line.substr(kDefaultsKeyword.size())));
        } else {
            scanner.ScanLine(line, DescriptorScanner::AfterEnd::ContinueAfterNext, [&](std::string_view gathered) {
                if (Entry* e = entry())
                    e->descriptor = std::string(CString(gathered));
            });
        }
    }
}

void ProtLib::SetFamilyBitSource(std::function<std::uint32_t()> source)
{
    familyBit_ = std::move(source);
}

const ProtLib::Entry* ProtLib::Find(int protocol) const
{
    return IsProtocolNumber(protocol) ? &entries_[protocol] : nullptr;
}

const std::string* ProtLib::Descriptor(int protocol) const
{
    const Entry* e = Find(protocol);
    return e && e->descriptor ? &*e->descriptor : nullptr;
}

bool ProtLib::GetProtocolName(int protocol, std::string& name) const
{
    const Entry* e = Find(protocol);
    if (!e || !e->name)
        return false;
    std::uint32_t family = familyBit_ ? familyBit_() : 0;
    if (e->flags & family)
        return false;
    name = *e->name;
    return true;
}

bool ProtLib::GetCommSettings(int protocol, std::int32_t& baud, std::uint8_t& dataBits, std::uint8_t& stopBits,
                              char& parity) const
{
    const Entry* e = Find(protocol);
    if (!e || !e->comm)
        return false;
    baud = e->comm->baud;
    dataBits = e->comm->dataBits;
    stopBits = e->comm->stopBits;
    parity = e->comm->parity;
    return true;
}

std::uint32_t ProtLib::GetRules(int protocol) const
{
    const Entry* e = Find(protocol);
    if (!e)
        return 0;
    std::uint32_t flags = e->flags;
    if (flags & kRulePc104)
        flags |= kRuleCom1Mask | kRuleNoCom2;
    return flags;
}

std::string ProtLib::GetLabel(int protocol, int field) const
{
    const Entry* e = Find(protocol);
    if (!e || !e->labels)
        return {};
    auto item = ListItem(*e->labels, field, false);
    return item ? std::string(*item) : std::string();
}

bool ProtLib::GetHighLimit(int protocol, int field, long& value) const
{
    const Entry* e = Find(protocol);
    if (!e || !e->highLimits)
        return false;
    auto item = ListItem(*e->highLimits, field, true);
    if (!item || StartsWith(*item, "-"))
        return false;
    value = ReadDecimal(*item);
    return true;
}

long ProtLib::GetDefault(int protocol, int field) const
{
    const Entry* e = Find(protocol);
    if (!e || !e->defaults)
        return 0;
    auto item = ListItem(*e->defaults, field, true);
    return item && !StartsWith(*item, "-") ? ReadDecimal(*item) : 0;
}

bool ProtLib::FindField(int protocol, int field, PlcElement& element, std::size_t* offset) const
{
    const std::string* descriptor = Descriptor(protocol);
    if (!descriptor || field < 0)
        return false;
    PlcDescriptorWalker walk(*descriptor);
    std::size_t bytes = 0;
    int counted = 0;
    PlcElement e;
    while (walk.Next(e)) {
        if (e.fixed)
            continue;
        if (counted == field) {
            element = e;
            if (offset)
                *offset = bytes;
            return true;
        }
        bytes += static_cast<std::size_t>(e.ByteCount());
        ++counted;
    }
    return false;
}

int ProtLib::GetFieldMaximum(int protocol, int field, long& n) const
{
    n = 0;
    PlcElement e;
    if (!FindField(protocol, field, e, nullptr))
        return kNoField;
    switch (e.kind) {
    case kChoiceField:
        n = e.width;
        break;
    case kOctalField:
        n = LargestNumber(8, e.width);
        break;
    case kDecimalField:
        n = LargestNumber(10, e.width);
        break;
    case kHexField:
        n = LargestNumber(16, e.width);
        break;
    case kTextField:
        n = e.maxLength;
        break;
    }
    return e.kind;
}

std::string ProtLib::GetFieldText(int protocol, int field) const
{
    PlcElement e;
    if (!FindField(protocol, field, e, nullptr) || e.kind != kChoiceField)
        return {};
    return std::string(e.choices);
}

int ProtLib::GetAddressField(int protocol, int field, std::span<const std::uint8_t> address,
                             std::span<char> textArea) const
{
    const std::string* descriptor = Descriptor(protocol);
    if (!descriptor)
        return -1;
    if (protocol == kTextAddressProtocol) {
        std::string_view text(reinterpret_cast<const char*>(address.data()), address.size());
        std::string part;
        int answer = ReadTextAddressField(text, TextAddressTypeList(*descriptor), field, &part);
        if (field == 0)
            CopyToArea(textArea, 0, part);
        else if (field == 4)
            CopyToArea(textArea, kSecondTextOffset, part);
        return answer;
    }
    PlcElement e;
    std::size_t offset = 0;
    if (!FindField(protocol, field, e, &offset) || offset >= address.size())
        return -1;
    if (e.kind == kTextField) {
        std::string_view rest(reinterpret_cast<const char*>(address.data()) + offset, address.size() - offset);
        CopyToArea(textArea, 0, CString(rest));
        return 0;
    }
    if (e.twoBytes) {
        if (offset + 1 >= address.size())
            return -1;
        return address[offset] | (address[offset + 1] << 8);
    }
    return address[offset];
}

bool ProtLib::BuildAddress(int protocol, std::span<const std::uint16_t> values, std::string_view textArea,
                           std::vector<std::uint8_t>& address) const
{
    address.clear();
    const std::string* descriptor = Descriptor(protocol);
    if (!descriptor)
        return false;
    auto value = [&](std::size_t i) -> std::uint16_t { return i < values.size() ? values[i] : 0; };
    if (protocol == kTextAddressProtocol) {
        std::string_view name = CString(textArea.substr(0, kSecondTextOffset));
        std::string_view extension =
            textArea.size() > kSecondTextOffset ? CString(textArea.substr(kSecondTextOffset)) : std::string_view();
        auto text = BuildTextAddress(TextAddressTypeList(*descriptor), name, value(1), value(2), value(3) != 0,
                                     extension);
        if (!text || text->size() + 1 > kMaxPlcAddressBytes)
            return false;
        address.assign(text->begin(), text->end());
        address.push_back(0);
        return true;
    }
    PlcDescriptorWalker walk(*descriptor);
    PlcElement e;
    std::size_t field = 0;
    while (walk.Next(e)) {
        if (e.fixed)
            continue;
        if (e.kind == kTextField) {
            std::string_view text = CString(textArea);
            address.insert(address.end(), text.begin(), text.end());
            address.push_back(0);
        } else {
            address.push_back(static_cast<std::uint8_t>(value(field) & 0xFF));
            if (e.twoBytes)
                address.push_back(static_cast<std::uint8_t>(value(field) >> 8));
        }
        ++field;
        if (address.size() > kMaxPlcAddressBytes) {
            address.clear();
            return false;
        }
    }
    return true;
}
