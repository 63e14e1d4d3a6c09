#include "plintvlr/shell/controls/edit_char_rules.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <string_view>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

constexpr char kBackspace = 8;

// The selection brought inside the text, start before end.
TEditState Normalized(const TEditState& state)
{
    TEditState s = state;
    const int length = static_cast<int>(s.text.size());
    s.selStart = std::clamp(s.selStart, 0, length);
    s.selEnd = std::clamp(s.selEnd, 0, length);
    if (s.selStart > s.selEnd)
        std::swap(s.selStart, s.selEnd);
    return s;
}

void DeleteSelection(TEditState& s)
{
    s.text.erase(static_cast<std::size_t>(s.selStart), static_cast<std::size_t>(s.selEnd - s.selStart));
    s.selEnd = s.selStart;
}

// The program replaces the whole text: the caret goes to its end.
TEditState WholeText(std::string text)
{
    const int length = static_cast<int>(text.size());
    return {std::move(text), length, length};
}

std::size_t NumberLength(long long value)
{
    return std::to_string(value).size();
}

locale_t CLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

}  // namespace

TEditState EditTypeChar(const TEditState& state, char c, int textLimit)
{
    TEditState s = Normalized(state);
    const auto uc = static_cast<unsigned char>(c);
    if (c == kBackspace) {
        if (s.selStart == s.selEnd && s.selStart > 0)
            --s.selStart;
        DeleteSelection(s);
    } else if (uc >= 0x20 && uc != 0x7F) {
        if (s.selStart == s.selEnd && static_cast<int>(s.text.size()) >= textLimit)
            return s;
        DeleteSelection(s);
        s.text.insert(static_cast<std::size_t>(s.selStart), 1, c);
        s.selEnd = ++s.selStart;
    }
    return s;
}

int NumEditTextValue(const std::string& text)
{
    // The field is read into a buffer of 12 characters.
    const std::string_view t = std::string_view(text).substr(0, 11);
    std::size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || (t[i] >= '\t' && t[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        negative = t[i++] == '-';
    std::int64_t magnitude = 0;
    for (; i < t.size() && IsDigit(t[i]); ++i)
        magnitude = std::min<std::int64_t>(magnitude * 10 + (t[i] - '0'), std::int64_t{INT_MAX} + 1);
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

TEditCharResult NumEditChar(const TEditState& state, char c, const TNumEditSettings& settings)
{
    TEditCharResult result{Normalized(state)};
    if (!IsDigit(c) && c != kBackspace)
        return result;
    result.state = EditTypeChar(result.state, c, settings.textLimit);
    const int value = NumEditTextValue(result.state.text);
    if (value > settings.maximum)
        result.state = WholeText(std::to_string(settings.maximum));
    // A value below the range may be the start of a longer one: it is only
    // replaced once it is as long as the minimum.
    if (NumberLength(value) >= NumberLength(settings.minimum) && value < settings.minimum)
        result.state = WholeText(std::to_string(settings.minimum));
    return result;
}

long double ValueEditTextValue(const std::string& text)
{
    const std::string head = text.substr(0, 32);
    return strtold_l(head.c_str(), nullptr, CLocale());
}

std::string FormatValueEditText(long double value, int decimals)
{
    decimals = std::max(decimals, 0);
    // The largest extended value has 4933 digits before its point.
    std::string buffer(5000 + static_cast<std::size_t>(decimals), '\0');
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, decimals);
    if (error != std::errc())
        return {};
    buffer.resize(static_cast<std::size_t>(end - buffer.data()));
    return buffer;
}

namespace {

TEditCharResult TextModeChar(const TEditState& state, char c, const TValueEditSettings& settings)
{
    TEditCharResult result{state};
    const auto uc = static_cast<unsigned char>(c);
    if (uc < 0x20 && c != kBackspace) {
        result.passOn = true;  // the field's own keys (clipboard, undo)
        return result;
    }
    const bool hasSelection = state.selStart != state.selEnd;
    if (static_cast<int>(state.text.size()) < settings.textLimit || c == kBackspace || hasSelection)
        result.state = EditTypeChar(state, c, settings.textLimit);
    else
        result.beep = true;
    return result;
}

// Places after the last '.' beyond the decimals are cut from the end.
void CutSurplusPlaces(TEditState& s, int decimals)
{
    const std::size_t dot = s.text.rfind('.');
    if (dot == std::string::npos)
        return;
    const auto places = std::count_if(s.text.begin() + static_cast<std::ptrdiff_t>(dot) + 1, s.text.end(), IsDigit);
    const auto surplus = static_cast<std::size_t>(std::max<std::ptrdiff_t>(places - std::max(decimals, 0), 0));
    if (surplus == 0)
        return;
    s.text.resize(s.text.size() - std::min(surplus, s.text.size()));
    s = Normalized(s);
}

void CheckLimitsOnChar(TEditCharResult& result, const TValueEditSettings& settings)
{
    if (!settings.limitsOn)
        return;
    const long double value = ValueEditTextValue(result.state.text);
    if (value > settings.maximum) {
        result.state = WholeText(FormatValueEditText(settings.maximum, settings.decimals));
        result.beep = true;
    } else if (value < settings.minimum &&
               (result.state.text.find('.') != std::string::npos || value < 0)) {
        // A positive whole number on its way up is left alone.
        result.state = WholeText(FormatValueEditText(settings.minimum, settings.decimals));
        result.beep = true;
    }
}

}  // namespace

TEditCharResult ValueEditChar(const TEditState& state, char c, const TValueEditSettings& settings)
{
    const TEditState in = Normalized(state);
    if (settings.mode == TValueEditSettings::kTextMode)
        return TextModeChar(in, c, settings);

    TEditCharResult result{in};
    if (static_cast<int>(in.text.size()) == TValueEditSettings::kMaxNumericLength && c != kBackspace) {
        result.beep = true;
        return result;
    }
    TEditState& s = result.state;
    const bool digit = IsDigit(c);
    const bool dotKey = c == '.' && settings.decimals != 0;
    if (c == '-' || dotKey || digit)
        DeleteSelection(s);  // also when the character is then refused

    // Read after the selection is gone, so a selection that held the sign
    // or the point cannot leave a second one behind.
    const int start = s.selStart;
    const bool negative = !s.text.empty() && s.text[0] == '-';
    const std::size_t dotAt = s.text.rfind('.');
    const int dot = dotAt == std::string::npos ? -1 : static_cast<int>(dotAt);

    bool accepted = false;
    if (c == '-') {
        accepted = !negative && start == 0;
    } else if (digit) {
        accepted = (start == 0 && !negative) || (start > 0 && (dot < 0 || start <= dot + settings.decimals));
    } else if (dotKey && (start > 0 || !negative)) {
        if (dot < 0) {
            accepted = true;
        } else if (dot != start) {
            // The point moves to where it is typed.
            s.text.erase(static_cast<std::size_t>(dot), 1);
            s.selStart = s.selEnd = dot < start ? start - 1 : start;
            accepted = true;
        }
    }

    const bool extra = settings.extraChar != 0 && c == settings.extraChar;
    if (!accepted && c != kBackspace && !extra)
        return result;  // dropped without a beep
    s = EditTypeChar(s, c, settings.textLimit);
    if (accepted && (digit || c == '.'))
        CutSurplusPlaces(s, settings.decimals);
    CheckLimitsOnChar(result, settings);
    return result;
}
