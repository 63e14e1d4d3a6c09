#pragma once
// The protocol information file "QS_PLC.TEX": the pieces that both of its
// readers (the start-up tables and the project's protocol library) share.
// The file is text we ship but do not control at run time, so every helper
// here stays inside the line it is given and takes nothing on trust.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr char kProtocolInfoFileName[] = "QS_PLC.TEX";
inline constexpr int kProtocolCount = 200;  // protocols 0-199; other numbers are stored nowhere
inline constexpr std::int64_t kMaxProtocolInfoFileSize = 32768;
// The one protocol whose PLC address is a text rather than field bytes.
inline constexpr int kTextAddressProtocol = 68;
// A descriptor is gathered in a 512-byte buffer that also holds its ending NUL.
inline constexpr std::size_t kMaxDescriptorBytes = 511;

inline bool IsProtocolNumber(int protocol)
{
    return protocol >= 0 && protocol < kProtocolCount;
}

// The keyword lines that carry a protocol's lists. They are never read as
// descriptor lines.
inline constexpr std::string_view kLabelsKeyword = "[LABELS]";
inline constexpr std::string_view kInvalidTypesKeyword = "[INVALIDTYPES]";
inline constexpr std::string_view kHighLimitsKeyword = "[HIGHLIMITS]";
inline constexpr std::string_view kDefaultsKeyword = "[DEFAULTS]";
bool IsProtocolListLine(std::string_view line);

// Recommended port settings of a protocol ("COMM=" line).
struct PlcPortSettings {
    std::int32_t baud = 0;
    std::uint8_t dataBits = 0;
    std::uint8_t stopBits = 0;
    char parity = 0;
};

// Cuts file contents into the pieces a line reader with room for `maxChars`
// characters hands out: a piece ends after its line feed or after maxChars
// characters, so the rest of a longer line comes as pieces of its own. Each
// piece is then cut at its first NUL byte, as C-string handling sees it.
std::vector<std::string_view> SplitProtocolInfoLines(std::string_view contents, std::size_t maxChars);

// A line without its line end ("\n", "\r\n").
std::string_view StripLineEnd(std::string_view line);

// "COMM=%d,%d,%d,%1c" at the start of the line: all four items, or nothing.
std::optional<PlcPortSettings> ScanCommLine(std::string_view line);

// The word after `prefix` as "%24s" reads it: blanks skipped, then at most 24
// characters up to the next blank. Nothing when the line does not begin with
// the prefix or no word follows it.
std::optional<std::string> ScanWordAfter(std::string_view line, std::string_view prefix);

// The protocol number of a protocol line, from the text that begins at "->":
// "->%d:" or "->x%d:" (the number after the x is decimal). Numbers are read as
// "%d" reads them: blanks and a sign allowed, nothing after the digits checked.
// Values beyond the int range saturate (and so fall outside 0-199).
bool ScanProtocolNumber(std::string_view fromArrow, int& number);

// A protocol line: "PCL...->5:Name<-...", optionally with "[CASE]".
struct ProtocolLine {
    bool numbered = false;        // false when "->" or the number after it is missing
    int number = 0;
    std::string_view name;        // what follows "->", up to "<-"
    bool caseSensitive = false;
};
// Nothing for a line without "<-": such a line announces no protocol.
std::optional<ProtocolLine> ScanProtocolLine(std::string_view line);

// A decimal integer as atoi reads it: blanks, a sign, digits; 0 when there are
// none; saturates instead of overflowing.
long ReadDecimal(std::string_view text);

// Gathers address-descriptor bytes from descriptor lines. A quote takes the
// next character as one byte and skips the separator after it; "0x" or "0X"
// and two characters give one byte (a character that is no hexadecimal digit
// counts 0); any other "0" ends the descriptor; every other character is
// skipped. Bytes gather across lines until the ending "0"; at most
// kMaxDescriptorBytes are kept, the rest of an overlong descriptor is dropped.
class DescriptorScanner {
public:
    enum class AfterEnd {
        IgnoreRestOfLine,   // the start-up reader
        ContinueAfterNext,  // the library reader: skips the character after the "0"
    };
    using EndHandler = std::function<void(std::string_view gathered)>;

    void ScanLine(std::string_view line, AfterEnd mode, const EndHandler& ended);

private:
    void Gather(char byte);

    std::string gathered_;
};
