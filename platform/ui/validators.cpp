#include "platform/ui/validators.h"

#include "platform/ui/message_box.h"
#include "platform/ui/window.h"

#include <cstring>

TCharSet::TCharSet(const char* pattern)
{
    if (!pattern)
        return;
    const std::size_t n = std::strlen(pattern);
    for (std::size_t i = 0; i < n; ++i) {
        auto c = static_cast<unsigned char>(pattern[i]);
        if (c == '\\' && i + 1 < n) {
            Add(static_cast<unsigned char>(pattern[++i]));
            continue;
        }
        // "a-z": a range, when '-' has a character on both sides.
        if (i + 2 < n && pattern[i + 1] == '-') {
            const auto last = static_cast<unsigned char>(pattern[i + 2]);
            for (unsigned v = c; v <= last; ++v)
                Add(static_cast<unsigned char>(v));
            i += 2;
            continue;
        }
        Add(c);
    }
}

void TValidator::Error(TWindow* /*owner*/)
{
}

bool TValidator::IsValidInput(char* /*text*/, bool /*suppressFill*/)
{
    return true;
}

bool TValidator::IsValid(const char* /*text*/)
{
    return true;
}

bool TValidator::Valid(const char* text, TWindow* owner)
{
    if (IsValid(text ? text : ""))
        return true;
    Error(owner);
    return false;
}

TFilterValidator::TFilterValidator(const char* validChars) : ValidChars(validChars)
{
}

TFilterValidator::TFilterValidator(const TCharSet& validChars) : ValidChars(validChars)
{
}

void TFilterValidator::Error(TWindow* owner)
{
    MessageBoxDialog(owner ? owner->GetHandle() : nullptr, "Invalid character in input", "Validator Error",
                     MB_ICONEXCLAMATION | MB_OK);
}

bool TFilterValidator::IsValidInput(char* text, bool /*suppressFill*/)
{
    if (!text)
        return true;
    for (const char* p = text; *p; ++p) {
        if (!ValidChars.Has(static_cast<unsigned char>(*p)))
            return false;
    }
    return true;
}

bool TFilterValidator::IsValid(const char* text)
{
    std::string copy(text ? text : "");
    return TFilterValidator::IsValidInput(copy.data(), true);
}
