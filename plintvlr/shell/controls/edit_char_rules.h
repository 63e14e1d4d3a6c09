#pragma once
// What a typed character does to the numeric edit fields, as plain
// functions: the text and selection before the key, the character and the
// field's settings give the text and selection after it and whether the
// field beeps. `TNumEdit` and `ValueEdit` apply them; keeping them apart from
// the windows lets every rule be checked as a table and driven by a fuzzer.
// Numbers are read and written in the "C" locale whatever the user's.

#include <string>

// The text of an edit field and its selection [selStart, selEnd) (equal
// ends: the caret).
struct TEditState {
    std::string text;
    int selStart = 0;
    int selEnd = 0;
    bool operator==(const TEditState&) const = default;
};

struct TEditCharResult {
    TEditState state;
    bool beep = false;      // MessageBeep (MB_ICONEXCLAMATION)
    bool passOn = false;    // the edit's own handling takes the key (clipboard keys in text entry)
};

// An edit field's own handling of a printable character or Backspace (8):
// the character replaces the selection unless the field is full (at
// `textLimit` with nothing selected); Backspace deletes the selection or the
// character before the caret. Other characters change nothing. A selection
// outside the text is first brought inside it.
TEditState EditTypeChar(const TEditState& state, char c, int textLimit);

// ------------------------------------------------------------ integer field
struct TNumEditSettings {
    int maximum = 100;
    int minimum = 0;
    int textLimit = 12;
};

// The value of an integer field's text as the field reads it: its first 11
// characters converted as atol does (blanks, a sign, digits), saturated to
// the 32-bit range.
int NumEditTextValue(const std::string& text);

// Digits and Backspace only; a value above the maximum becomes the maximum at
// once, one below the minimum becomes the minimum once it has as many
// characters as the minimum. Nothing else beeps or changes.
TEditCharResult NumEditChar(const TEditState& state, char c, const TNumEditSettings& settings);

// ------------------------------------------------------------ decimal field
struct TValueEditSettings {
    static constexpr int kTextMode = 6;       // any character, up to the text limit
    static constexpr int kNumericMode = 4;    // every other mode is numeric entry too
    static constexpr int kMaxNumericLength = 13;

    bool limitsOn = false;
    long double minimum = 0;
    long double maximum = 0;
    int decimals = 0;
    char extraChar = 0;  // one more character numeric entry lets through; 0 none
    int mode = kNumericMode;
    int textLimit = 33;
};

// The value of a decimal field's text: its first 32 characters converted as
// strtold does in the "C" locale (blanks, sign, digits, '.', exponent...;
// 0 when nothing converts).
long double ValueEditTextValue(const std::string& text);
// The value in fixed-point notation with exactly `decimals` places (none for
// 0), "C" locale, as "%.*Lf" writes it.
std::string FormatValueEditText(long double value, int decimals);

TEditCharResult ValueEditChar(const TEditState& state, char c, const TValueEditSettings& settings);
