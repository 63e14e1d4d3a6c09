#include "plintvlr/shell/controls/value_edit.h"

#include "plintvlr/shell/controls/edit_char_apply.h"
#include "platform/base/prompt.h"

const TResponseTable ValueEdit::Responses{&TEdit::Responses, {
    OnMessage<&ValueEdit::EvChar>(WM_CHAR),
    OnMessage<&ValueEdit::EvKillFocus>(WM_KILLFOCUS),
}};

ValueEdit::ValueEdit(TWindow* parent, int resourceId, TModule* module) : TEdit(parent, resourceId, kTextLimit, module)
{
}

ValueEdit::ValueEdit(TWindow* parent, int id, const char* text, int x, int y, int w, int h, UINT /*textLimit*/,
                     bool multiline, TModule* module)
    : TEdit(parent, id, text, x, y, w, h, kTextLimit, multiline, module)
{
}

TValueEditSettings ValueEdit::Settings() const
{
    TValueEditSettings s;
    s.limitsOn = limitsOn_;
    s.minimum = minimum_;
    s.maximum = maximum_;
    s.decimals = decimals_;
    s.extraChar = extraChar_;
    s.mode = mode;
    s.textLimit = static_cast<int>(GetLimitText());
    return s;
}

void ValueEdit::SetLimits(int decimals, bool limitsOn, long double minimum, long double maximum)
{
    limitsOn_ = limitsOn;
    decimals_ = decimals;
    if (limitsOn) {
        minimum_ = minimum;
        maximum_ = maximum;
    }
    Validate();
}

void ValueEdit::SetDecimals(int decimals)
{
    const int change = decimals - decimals_;
    decimals_ = decimals;
    long double value = GetValue();
    // Scaling by 0.1 rather than dividing by 10 keeps the stored integers
    // exactly as they always came out.
    const long double factor = change <= 0 ? 10.0L : static_cast<long double>(0.1);
    for (int i = 0; i < (change <= 0 ? -change : change); ++i) {
        value *= factor;
        minimum_ *= factor;
        maximum_ *= factor;
    }
    SetValue(value);
}

long double ValueEdit::GetValue() const
{
    return ValueEditTextValue(GetWindowText());
}

void ValueEdit::SetValue(long double value)
{
    SetWindowText(FormatValueEditText(value, decimals_).c_str());
}

void ValueEdit::GetScaledValue(long double& value) const
{
    value = GetValue();
    for (int i = 0; i < decimals_; ++i)
        value *= 10;
}

void ValueEdit::SetScaledValue(long double value)
{
    for (int i = 0; i < decimals_; ++i)
        value *= static_cast<long double>(0.1);
    SetValue(value);
}

void ValueEdit::SetInteger(int value)
{
    SetWindowText(std::to_string(value).c_str());
}

std::string ValueEdit::GetText() const
{
    return GetWindowText().substr(0, kTextLimit - 1);
}

bool ValueEdit::IsNegative() const
{
    const std::string text = GetWindowText();
    return !text.empty() && text[0] == '-';
}

int ValueEdit::GetDecimalPointPos() const
{
    const std::size_t dot = GetWindowText().rfind('.');
    return dot == std::string::npos ? -1 : static_cast<int>(dot);
}

bool ValueEdit::Validate()
{
    if (mode == kTextMode || GetWindowTextLength() == 0)
        return false;
    long double value = GetValue();
    bool replaced = false;
    if (limitsOn_ && value < minimum_) {
        value = minimum_;
        replaced = true;
    } else if (limitsOn_ && value > maximum_) {
        value = maximum_;
        replaced = true;
    }
    SetValue(value);
    return replaced;
}

void ValueEdit::EvChar(UINT key, UINT /*repeat*/, UINT /*flags*/)
{
    const char c = static_cast<char>(key & 0xFF);
    const TEditState before = ReadEditState(*this);
    ApplyEditChar(*this, c, before, ValueEditChar(before, c, Settings()));
}

void ValueEdit::EvKillFocus(HWND gaining)
{
    if (Validate())
        MessageBeep(MB_ICONEXCLAMATION);
    TEdit::EvKillFocus(gaining);
}
