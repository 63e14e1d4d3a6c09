#pragma once
// ValueEdit: a field for decimal values. Its value is its text, read on
// demand; it shows a set number of decimal places, may keep the value within
// extended-precision limits, converts to and from the fixed-point integers
// that records store, and can instead take free text (mode 6). While a
// number is typed, characters that do not fit its form are dropped silently;
// a value beyond the limits, a 14th character and a full text field beep.
// Numbers are read and written in the "C" locale whatever the user's.

#include "plintvlr/shell/controls/edit_char_rules.h"
#include "platform/ui/controls/edit.h"

#include <string>

class ValueEdit : public TEdit {
public:
    static constexpr UINT kTextLimit = 33;  // with the terminating NUL: 32 characters
    static constexpr int kTextMode = TValueEditSettings::kTextMode;

    // A control of a dialog resource.
    ValueEdit(TWindow* parent, int resourceId, TModule* module = nullptr);
    // A control of its own; its text limit is 33 whatever is passed.
    ValueEdit(TWindow* parent, int id, const char* text, int x, int y, int w, int h, UINT textLimit = 0,
              bool multiline = false, TModule* module = nullptr);

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    // Minimum and maximum are taken only with limits on; then the text is validated.
    void SetLimits(int decimals, bool limitsOn, long double minimum, long double maximum);
    // Changes the places shown while the fixed-point integer stays the same.
    void SetDecimals(int decimals);
    int GetDecimals() const { return decimals_; }

    long double GetValue() const;
    // Written with exactly `decimals` places.
    void SetValue(long double value);
    // The value as the stored integer: times 10 per decimal place.
    void GetScaledValue(long double& value) const;
    void SetScaledValue(long double value);
    void SetInteger(int value);
    std::string GetText() const;
    void SetExtraChar(char c) { extraChar_ = c; }
    bool IsNegative() const;
    // The index of the last '.', or -1.
    int GetDecimalPointPos() const;
    // Brings the value within the limits and writes it with the decimals;
    // true when the value had to change. Free text and an empty field are
    // left alone.
    bool Validate();

    // 6: free text up to the text limit (the owner sets the limit too);
    // anything else: numeric entry.
    int mode = TValueEditSettings::kNumericMode;

protected:
    void EvChar(UINT key, UINT repeat, UINT flags);
    void EvKillFocus(HWND gaining);

private:
    TValueEditSettings Settings() const;

    bool limitsOn_ = false;
    long double minimum_ = 0;
    long double maximum_ = 0;
    int decimals_ = 0;
    char extraChar_ = 0;
};
