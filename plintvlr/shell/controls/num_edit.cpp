#include "plintvlr/shell/controls/num_edit.h"

#include "plintvlr/shell/controls/edit_char_apply.h"

#include <algorithm>
#include <string>

const TResponseTable TNumEdit::Responses{&TEdit::Responses, {
    OnMessage<&TNumEdit::EvChar>(WM_CHAR),
}};

TNumEdit::TNumEdit(TWindow* parent, int resourceId, TModule* module) : TEdit(parent, resourceId, kTextLimit, module)
{
}

void TNumEdit::SetRange(int maximum, int minimum)
{
    maximum_ = maximum;
    minimum_ = minimum;
}

int TNumEdit::GetValue() const
{
    // A reversed range answers its maximum, as the maximum is checked last.
    return std::min(std::max(GetRawValue(), minimum_), maximum_);
}

int TNumEdit::GetRawValue() const
{
    return NumEditTextValue(GetWindowText());
}

void TNumEdit::SetValue(int value)
{
    SetWindowText(std::to_string(value).c_str());
}

void TNumEdit::EvChar(UINT key, UINT /*repeat*/, UINT /*flags*/)
{
    const char c = static_cast<char>(key & 0xFF);
    const TEditState before = ReadEditState(*this);
    const TNumEditSettings settings{maximum_, minimum_, static_cast<int>(GetLimitText())};
    ApplyEditChar(*this, c, before, NumEditChar(before, c, settings));
}
