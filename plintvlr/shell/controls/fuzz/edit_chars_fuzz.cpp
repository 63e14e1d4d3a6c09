// Keystrokes in the numeric fields are untrusted: whatever characters and
// selections arrive, with whatever settings, the character rules must keep
// the text within its limits, and a decimal field typed from empty must hold
// a number of its form.
//
// Input: settings bytes, then steps of three bytes (character, selection
// start, selection end).
#include "plintvlr/shell/controls/edit_char_rules.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool Holds(const TEditState& s)
{
    return s.selStart >= 0 && s.selStart <= s.selEnd && s.selEnd <= static_cast<int>(s.text.size());
}

// A position from a byte, sometimes outside the text, as a stale selection might be.
int PositionFrom(std::uint8_t b, const std::string& text)
{
    return static_cast<int>(b % (text.size() + 4)) - 2;
}

int Length(const std::string& s)
{
    return static_cast<int>(s.size());
}

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    std::uint8_t Next() { return at < size ? data[at++] : 0; }
    int Int16()
    {
        const int low = Next();
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (Next() << 8)));
    }
};

// The written form of a number with the decimals fits the 13 characters typed.
bool Fits(long double value, int decimals)
{
    return Length(FormatValueEditText(value, decimals)) <= TValueEditSettings::kMaxNumericLength;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Reader in{data, size};
    const std::uint8_t flags = in.Next();
    TValueEditSettings value;
    value.decimals = in.Next() % 10;
    value.limitsOn = (flags & 1) != 0;
    value.mode = (flags & 2) ? TValueEditSettings::kTextMode : TValueEditSettings::kNumericMode;
    value.extraChar = (flags & 4) ? static_cast<char>(in.Next()) : 0;
    value.textLimit = (flags & 8) ? in.Next() % 40 : 32;
    const int scale = 1 + in.Next() % 1000;
    value.minimum = static_cast<long double>(in.Int16()) / scale;
    value.maximum = static_cast<long double>(in.Int16()) / scale;

    TNumEditSettings number;
    number.minimum = in.Int16() * (1 + in.Next());
    number.maximum = in.Int16() * (1 + in.Next());
    number.textLimit = (flags & 16) ? in.Next() % 20 : 11;

    const bool typedNumber = value.mode != TValueEditSettings::kTextMode && value.extraChar == 0 &&
                             (!value.limitsOn || (Fits(value.minimum, value.decimals) &&
                                                  Fits(value.maximum, value.decimals)));
    const int numberBound = std::max({number.textLimit, Length(std::to_string(number.minimum)),
                                      Length(std::to_string(number.maximum))});

    TEditState valueState;
    TEditState numberState;
    while (in.at < in.size) {
        const char c = static_cast<char>(in.Next());
        const std::uint8_t start = in.Next();
        const std::uint8_t end = in.Next();

        valueState.selStart = PositionFrom(start, valueState.text);
        valueState.selEnd = PositionFrom(end, valueState.text);
        const int valueBefore = Length(valueState.text);
        const TEditCharResult v = ValueEditChar(valueState, c, value);
        Check(Holds(v.state));
        Check(Length(v.state.text) <= std::max({valueBefore, value.textLimit, 64}));
        valueState = v.state;
        if (typedNumber) {
            const std::string& t = valueState.text;
            Check(Length(t) <= TValueEditSettings::kMaxNumericLength);
            Check(t.find_first_not_of("0123456789-.") == std::string::npos);
            Check(t.find('-', 1) == std::string::npos);
            const std::size_t dot = t.find('.');
            Check(dot == std::string::npos || t.find('.', dot + 1) == std::string::npos);
            Check(dot == std::string::npos || Length(t) - static_cast<int>(dot) - 1 <= value.decimals);
        }

        numberState.selStart = PositionFrom(start, numberState.text);
        numberState.selEnd = PositionFrom(end, numberState.text);
        const TEditCharResult n = NumEditChar(numberState, c, number);
        Check(Holds(n.state));
        Check(!n.beep);
        Check(Length(n.state.text) <= numberBound);
        Check(n.state.text.find_first_not_of("0123456789-") == std::string::npos);
        numberState = n.state;
    }
    return 0;
}
