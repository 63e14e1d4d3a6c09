#include "plintvlr/shell/controls/edit_char_apply.h"

#include "platform/base/prompt.h"
#include "platform/ui/controls/edit.h"

TEditState ReadEditState(const TEdit& edit)
{
    TEditState state;
    state.text = edit.GetWindowText();
    edit.GetSelection(state.selStart, state.selEnd);
    return state;
}

void ApplyEditChar(TEdit& edit, char c, const TEditState& before, const TEditCharResult& result)
{
    // A read-only field types nothing, whatever the rule made of the key.
    if (result.passOn || (edit.GetStyle() & ES_READONLY)) {
        edit.DefaultProcessing();
        return;
    }
    const TEditState typed = EditTypeChar(before, c, static_cast<int>(edit.GetLimitText()));
    if (result.state == typed && typed.text != before.text)
        edit.DefaultProcessing();
    if (ReadEditState(edit) != result.state) {
        if (edit.GetWindowText() != result.state.text) {
            edit.SetWindowText(result.state.text.c_str());
            edit.SendMessage(EM_SETMODIFY, 1);
        }
        edit.SetSelection(result.state.selStart, result.state.selEnd);
    }
    if (result.beep)
        MessageBeep(MB_ICONEXCLAMATION);
}
