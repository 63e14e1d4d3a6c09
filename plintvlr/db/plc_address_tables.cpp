#include "plintvlr/db/plc_address_tables.h"

#include "platform/base/files.h"

#include <array>
#include <new>

namespace {

// The start-up reader takes at most 99 characters of a line at a time, the
// line feed included; the rest of a longer line comes as a line of its own.
constexpr std::size_t kStartupLineChars = 99;

struct StartupTables {
    std::array<std::optional<std::string>, kProtocolCount> descriptor;
    std::array<int, kProtocolCount> namePosition{};
    std::array<bool, kProtocolCount> caseSensitive{};
    std::array<PlcPortSettings, kProtocolCount> comm{};
    std::array<std::int32_t, kProtocolCount> ruleFirst{};
    std::array<std::int32_t, kProtocolCount> ruleSecond{};
    std::string nameList;

    StartupTables() { Reset(); }
    void Reset()
    {
        for (int p = 0; p < kProtocolCount; ++p) {
            descriptor[p].reset();
            namePosition[p] = -1;
            caseSensitive[p] = false;
            comm[p] = PlcPortSettings{};
            ruleFirst[p] = 65535;
            ruleSecond[p] = 0;
        }
        nameList.clear();
    }
};

StartupTables& Tables()
{
    static StartupTables tables;
    return tables;
}

// Gathers the protocol items with a comma before every item but the first,
// within the fixed buffer: an item that does not fit is left out, and so is
// every item after it, so the positions of the items that are there stay right.
class NameListBuilder {
public:
    void Append(std::string_view item)
    {
        if (full_)
            return;
        std::size_t need = item.size() + (count_ > 0 ? 1 : 0);
        if (text_.size() + need > kPlcNameListBufferSize - 1) {
            full_ = true;
            return;
        }
        if (count_ > 0)
            text_.push_back(',');
        text_.append(item);
        ++count_;
    }
    std::string Take() { return std::move(text_); }

private:
    std::string text_;
    int count_ = 0;
    bool full_ = false;
};

int ReadStartupLines(std::string_view contents)
{
    StartupTables& tables = Tables();
    tables.Reset();
    NameListBuilder names;
    DescriptorScanner scanner;
    int descriptorCount = 0;
    int current = -1;
    for (std::string_view line : SplitProtocolInfoLines(contents, kStartupLineChars)) {
        if (line.empty())
            continue;
        if (line[0] == 'P') {
            const std::optional<ProtocolLine> protocol = ScanProtocolLine(line);
            if (!protocol)
                continue;
            if (!protocol->numbered)
                return kPlcTablesBadProtocol;
            names.Append(protocol->name);
            if (IsProtocolNumber(protocol->number))
                tables.caseSensitive[protocol->number] = protocol->caseSensitive;
            current = protocol->number;
            continue;
        }
        if (line[0] == 'C') {
            auto settings = ScanCommLine(StripLineEnd(line));
            if (settings && IsProtocolNumber(current))
                tables.comm[current] = *settings;
            continue;
        }
        if (line[0] == 'R') {
            auto word = ScanWordAfter(line, "RULE=");
            if (word && (*word == "PC104" || *word == "NOCOM2")) {
                if (IsProtocolNumber(current)) {
                    bool pc104 = *word == "PC104";
                    tables.ruleFirst[current] = pc104 ? 4 : -3;
                    tables.ruleSecond[current] = pc104 ? 4 : 0;
                }
                continue;
            }
        }
        // The list lines are no descriptor lines: a "0" in a default or a limit
        // would otherwise end the protocol's descriptor with nothing gathered
        // and move the name position of every protocol after it.
        if (IsProtocolListLine(line))
            continue;
        scanner.ScanLine(line, DescriptorScanner::AfterEnd::IgnoreRestOfLine, [&](std::string_view gathered) {
            StorePlcAddressFormat(current, gathered, descriptorCount);
            ++descriptorCount;
        });
    }
    tables.nameList = names.Take();
    return kPlcTablesLoaded;
}

int ReadStartupLinesGuarded(std::string_view contents)
{
    try {
        return ReadStartupLines(contents);
    } catch (const std::bad_alloc&) {
        Tables().Reset();
        return kPlcTablesNoMemory;
    }
}

}  // namespace

int LoadPlcAddressTables(std::string_view path)
{
    std::int64_t size = FileSizeOf(path);
    if (size < 0)
        return kPlcTablesMissing;
    if (size > kMaxProtocolInfoFileSize)
        return kPlcTablesTooLarge;
    if (size < 1)
        return kPlcTablesTooSmall;
    int handle = FileOpen(path, FileMode::ReadOnly);
    if (handle < 0)
        return kPlcTablesCannotOpen;
    std::string contents;
    bool reachedEnd = false;
    char chunk[4096];
    for (;;) {
        long n = FileRead(handle, chunk, sizeof chunk);
        if (n < 0)
            break;
        if (n == 0) {
            reachedEnd = true;
            break;
        }
        contents.append(chunk, static_cast<std::size_t>(n));
        // A file that grew past the limit since its size was read is not read on.
        if (contents.size() > static_cast<std::size_t>(kMaxProtocolInfoFileSize))
            break;
    }
    FileClose(handle);
    int result = ReadStartupLinesGuarded(contents);
    if (result != kPlcTablesLoaded)
        return result;
    return reachedEnd ? kPlcTablesLoaded : kPlcTablesReadError;
}

int LoadPlcAddressTablesFromText(std::string_view contents)
{
    if (contents.size() > static_cast<std::size_t>(kMaxProtocolInfoFileSize))
        return kPlcTablesTooLarge;
    if (contents.empty())
        return kPlcTablesTooSmall;
    return ReadStartupLinesGuarded(contents);
}

void StorePlcAddressFormat(int protocol, std::string_view gathered, int descriptorCount)
{
    if (!IsProtocolNumber(protocol))
        return;
    StartupTables& tables = Tables();
    std::size_t nul = gathered.find('\0');
    if (nul != std::string_view::npos)
        gathered = gathered.substr(0, nul);
    bool leadingZero = !gathered.empty() && gathered[0] == '0'
                       && !(gathered.size() > 1 && (gathered[1] == 'x' || gathered[1] == 'X'));
    if (leadingZero)
        tables.descriptor[protocol].reset();
    else
        tables.descriptor[protocol] = std::string(gathered.substr(0, kMaxDescriptorBytes));
    tables.namePosition[protocol] = descriptorCount;
}

std::optional<PlcAddressFormat> GetPlcAddressFormat(int protocol)
{
    if (!IsProtocolNumber(protocol) || !Tables().descriptor[protocol])
        return std::nullopt;
    PlcAddressFormat format;
    format.descriptor = *Tables().descriptor[protocol];
    format.caseSensitive = Tables().caseSensitive[protocol];
    format.textAddress = protocol == kTextAddressProtocol;
    return format;
}

bool GetPlcCommSettings(int protocol, std::int32_t& baud, std::uint8_t& dataBits, std::uint8_t& stopBits,
                        char& parity)
{
    if (!IsProtocolNumber(protocol) || Tables().comm[protocol].baud == 0)
        return false;
    const PlcPortSettings& s = Tables().comm[protocol];
    baud = s.baud;
    dataBits = s.dataBits;
    stopBits = s.stopBits;
    parity = s.parity;
    return true;
}

void GetPlcRules(int protocol, std::int32_t& first, std::int32_t& second)
{
    if (!IsProtocolNumber(protocol)) {
        first = 65535;
        second = 0;
        return;
    }
    first = Tables().ruleFirst[protocol];
    second = Tables().ruleSecond[protocol];
}

const std::string& PlcProtocolNameList()
{
    return Tables().nameList;
}

int GetPlcNamePosition(int protocol)
{
    return IsProtocolNumber(protocol) ? Tables().namePosition[protocol] : -1;
}

int FindListItem(std::string_view name, std::string_view list)
{
    if (list.empty())
        return 0;
    int position = 1;
    for (;;) {
        std::size_t comma = list.find(',');
        if (list.substr(0, comma) == name)
            return position;
        if (comma == std::string_view::npos)
            return 0;
        list.remove_prefix(comma + 1);
        ++position;
    }
}

std::string GetListItem(std::string_view list, int n)
{
    if (n < 1)
        return {};
    for (int i = 1; i < n; ++i) {
        std::size_t comma = list.find(',');
        if (comma == std::string_view::npos)
            return {};
        list.remove_prefix(comma + 1);
    }
    return std::string(list.substr(0, list.find(',')));
}
