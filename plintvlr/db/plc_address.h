#pragma once
// PLC addresses. An address is a short string of address bytes laid out by
// its protocol's address descriptor (read from the protocol information
// file); the static codec here turns the bytes into the text the engineer
// sees and a typed text back into bytes.
//
// A descriptor is a string of elements ended by a byte 0. Each element begins
// with a code byte c:
//   0       the end;
//   1, L    free text of at most L characters, stored as its characters and a NUL;
//   other   a field. Bit 0: its value takes two address bytes, low byte first,
//           else one. Bits 1-3: its width w in characters. Bits 4-5: the radix
//           (0 a choice list, 1 octal, 2 decimal, 3 hexadecimal). Bit 6: fixed,
//           a literal that shows its first choice, takes no address byte and is
//           not counted as a field. Bit 7: optional, a text that does not match
//           gives the value 0 and consumes nothing. A choice list goes on with
//           its count k and k choices of exactly w characters; the value is the
//           index of the choice.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Room for the address bytes of a communications block; no codec writes more.
inline constexpr std::size_t kMaxPlcAddressBytes = 36;
// The static codec's texts hold at most 49 characters (50-byte buffers).
inline constexpr std::size_t kMaxPlcAddressText = 49;
// The free-text element of the static codec holds at most 40 characters.
inline constexpr int kMaxStaticFreeText = 40;

// Field kinds as the field codec reports them.
enum PlcFieldKind : int {
    kNoField = 0,
    kChoiceField = 1,
    kOctalField = 2,
    kDecimalField = 3,
    kHexField = 4,
    kTextField = 5,
};

struct PlcElement {
    std::uint8_t code = 0;
    int kind = kNoField;
    int width = 0;       // w: digits of a number, characters of each choice
    int maxLength = 0;   // L of a free-text element
    int choiceCount = 0;
    std::string_view choices;  // choiceCount x width characters
    bool twoBytes = false;     // also set for free text, whose code byte 1 has bit 0
    bool fixed = false;
    bool optional = false;

    std::string_view Choice(int index) const
    {
        return choices.substr(static_cast<std::size_t>(index) * static_cast<std::size_t>(width),
                              static_cast<std::size_t>(width));
    }
    // Address bytes the field codec counts for the element.
    int ByteCount() const { return twoBytes ? 2 : 1; }
};

// Walks a descriptor element by element. A descriptor comes from a file we do
// not control: the walk ends at the end byte, at the end of the string, and
// at an element whose bytes are cut short.
class PlcDescriptorWalker {
public:
    explicit PlcDescriptorWalker(std::string_view descriptor) : descriptor_(descriptor) {}
    bool Next(PlcElement& element);

private:
    std::string_view descriptor_;
    std::size_t pos_ = 0;
};

// How one protocol's addresses read.
struct PlcAddressFormat {
    std::string_view descriptor;
    bool caseSensitive = false;  // "[CASE]": typed text is not turned to upper case
    bool textAddress = false;    // protocol 68: the address is a text
};

// The text of an address: at most kMaxPlcAddressText characters. Address
// bytes beyond the span read as 0, as the unused bytes of a stored address are.
std::string FormatPlcAddress(const PlcAddressFormat& format, std::span<const std::uint8_t> address);
// Parses a text into address bytes: their count, or -1 when the text does not
// fit the descriptor, is longer than kMaxPlcAddressText, or its bytes would not
// fit the span. On success the span holds the bytes followed by zeros; on
// failure it is left as it was.
int ParsePlcAddress(const PlcAddressFormat& format, std::string_view text, std::span<std::uint8_t> address);

// The same over the start-up tables (LoadPlcAddressTables). A protocol without
// a descriptor formats as an empty text and parses as -1.
std::string FormatPlcAddress(std::span<const std::uint8_t> address, int protocol);
int ParsePlcAddress(std::string_view text, std::span<std::uint8_t> address, int protocol);

// True when a field's value (two bytes when bit 0 of the code byte is set,
// else one) is 0.
bool IsFieldZero(std::span<const std::uint8_t> value, std::uint8_t code);

// Text addresses (protocol 68): "<name>%<type><number>,<extension>,," and a
// NUL, where the extension part is "X" when the address has none and "?"
// stands for an empty name. The types are the choice list of the descriptor's
// field 1, three characters each, a blank third character left out.
std::string_view TextAddressTypeList(std::string_view descriptor);
// Builds the text (without its NUL). Nothing when the name holds "%" or ","
// or the extension holds ",": the text would not read back.
std::optional<std::string> BuildTextAddress(std::string_view typeList, std::string_view name, int type,
                                            int number, bool extended, std::string_view extension);
// Field `field` of a text address: 0 the name into `text` (answer: the
// position of the "%", or -1), 1 the type index, 2 the number, 3 whether it
// has an extension (0 or 1), 4 the extension into `text` (answer 0); -1 for
// any other field.
int ReadTextAddressField(std::string_view address, std::string_view typeList, int field, std::string* text);
