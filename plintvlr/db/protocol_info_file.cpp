#include "plintvlr/db/protocol_info_file.h"

#include <algorithm>
#include <climits>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

// One "%d" conversion at `pos`: blanks, an optional sign, at least one digit.
// Moves `pos` past what it read; saturates at the int range.
bool ScanInt(std::string_view text, std::size_t& pos, int& value)
{
    std::size_t i = pos;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size() || !IsDigit(text[i]))
        return false;
    long long v = 0;
    while (i < text.size() && IsDigit(text[i])) {
        if (v <= INT_MAX)
            v = v * 10 + (text[i] - '0');
        ++i;
    }
    if (negative)
        v = -v;
    value = static_cast<int>(v > INT_MAX ? INT_MAX : (v < INT_MIN ? INT_MIN : v));
    pos = i;
    return true;
}

bool ScanLiteral(std::string_view text, std::size_t& pos, char c)
{
    if (pos >= text.size() || text[pos] != c)
        return false;
    ++pos;
    return true;
}

}  // namespace

bool IsProtocolListLine(std::string_view line)
{
    for (std::string_view keyword : {kLabelsKeyword, kInvalidTypesKeyword, kHighLimitsKeyword, kDefaultsKeyword})
        if (line.substr(0, keyword.size()) == keyword)
            return true;
    return false;
}

std::vector<std::string_view> SplitProtocolInfoLines(std::string_view contents, std::size_t maxChars)
{
    std::vector<std::string_view> lines;
    if (maxChars == 0)
        return lines;
    std::size_t pos = 0;
    while (pos < contents.size()) {
        std::size_t end = std::min(contents.size(), pos + maxChars);
        std::size_t lf = contents.find('\n', pos);
        if (lf != std::string_view::npos && lf < end)
            end = lf + 1;
        std::string_view piece = contents.substr(pos, end - pos);
        std::size_t nul = piece.find('\0');
        if (nul != std::string_view::npos)
            piece = piece.substr(0, nul);
        lines.push_back(piece);
        pos = end;
    }
    return lines;
}

std::string_view StripLineEnd(std::string_view line)
{
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

std::optional<PlcPortSettings> ScanCommLine(std::string_view line)
{
    constexpr std::string_view prefix = "COMM=";
    if (line.substr(0, prefix.size()) != prefix)
        return std::nullopt;
    std::size_t pos = prefix.size();
    int baud = 0, data = 0, stop = 0;
    if (!ScanInt(line, pos, baud) || !ScanLiteral(line, pos, ',') || !ScanInt(line, pos, data)
        || !ScanLiteral(line, pos, ',') || !ScanInt(line, pos, stop) || !ScanLiteral(line, pos, ',')
        || pos >= line.size())
        return std::nullopt;
    PlcPortSettings settings;
    settings.baud = baud;
    settings.dataBits = static_cast<std::uint8_t>(data);
    settings.stopBits = static_cast<std::uint8_t>(stop);
    settings.parity = line[pos];
    return settings;
}

std::optional<std::string> ScanWordAfter(std::string_view line, std::string_view prefix)
{
    if (line.substr(0, prefix.size()) != prefix)
        return std::nullopt;
    std::size_t i = prefix.size();
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    std::size_t start = i;
    while (i < line.size() && !IsBlank(line[i]) && i - start < 24)
        ++i;
    if (i == start)
        return std::nullopt;
    return std::string(line.substr(start, i - start));
}

bool ScanProtocolNumber(std::string_view fromArrow, int& number)
{
    if (fromArrow.substr(0, 2) != "->")
        return false;
    std::size_t pos = 2;
    if (ScanInt(fromArrow, pos, number))
        return true;
    pos = 2;
    return ScanLiteral(fromArrow, pos, 'x') && ScanInt(fromArrow, pos, number);
}

std::optional<ProtocolLine> ScanProtocolLine(std::string_view line)
{
    const std::size_t cut = line.find("<-");
    if (cut == std::string_view::npos)
        return std::nullopt;
    ProtocolLine protocol;
    protocol.caseSensitive = line.find("[CASE]") != std::string_view::npos;
    const std::string_view head = line.substr(0, cut);
    const std::size_t arrow = head.find("->");
    if (arrow == std::string_view::npos)
        return protocol;
    protocol.numbered = ScanProtocolNumber(head.substr(arrow), protocol.number);
    protocol.name = head.substr(arrow + 2);
    return protocol;
}

long ReadDecimal(std::string_view text)
{
    std::size_t pos = 0;
    int value = 0;
    return ScanInt(text, pos, value) ? value : 0;
}

void DescriptorScanner::Gather(char byte)
{
    if (gathered_.size() < kMaxDescriptorBytes)
        gathered_.push_back(byte);
}

void DescriptorScanner::ScanLine(std::string_view line, AfterEnd mode, const EndHandler& ended)
{
    const std::size_t n = line.size();
    std::size_t i = 0;
    auto at = [&](std::size_t k) { return k < n ? line[k] : '\0'; };
    while (i < n && line[i] != '\n') {
        char c = line[i];
        if (c == '\'') {
            // A quote at the end of the line has no character to take.
            if (i + 1 >= n || line[i + 1] == '\n')
                return;
            Gather(line[i + 1]);
            i += 3;
        } else if (c == '0' && (at(i + 1) == 'x' || at(i + 1) == 'X')) {
            Gather(static_cast<char>(HexDigitValue(at(i + 2)) * 16 + HexDigitValue(at(i + 3))));
            i += 4;
        } else if (c == '0') {
            std::string gathered;
            gathered.swap(gathered_);
            ended(gathered);
            if (mode == AfterEnd::IgnoreRestOfLine)
                return;
            i += 2;
        } else {
            ++i;
        }
    }
}
