#include "plintvlr/shell/controls/spin_num_edit.h"

#include "platform/ui/controls/up_down.h"
#include "platform/ui/window_api.h"

TSpinNumEdit::TSpinNumEdit(TWindow* parent, int resourceId, TModule* module)
    : TNumEdit(parent, resourceId, module), upDownId_(resourceId + kUpDownIdOffset)
{
}

void TSpinNumEdit::SetupWindow()
{
    TNumEdit::SetupWindow();
    constexpr DWORD style = WS_CHILD | WS_VISIBLE | UDS_ARROWKEYS | UDS_ALIGNRIGHT | UDS_SETBUDDYINT;
    upDown_ = CreateUpDownControl(style, 0, 0, 0, 0, GetParent(), upDownId_, nullptr, nullptr, GetMaximum(),
                                  GetMinimum(), GetMinimum());
    if (upDown_)
        ::SendMessage(upDown_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetHandle()));
}

void TSpinNumEdit::SetRange(int maximum, int minimum)
{
    TNumEdit::SetRange(maximum, minimum);
    if (::IsWindow(upDown_))
        ::SendMessage(upDown_, UDM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(maximum), static_cast<WORD>(minimum)));
}

void TSpinNumEdit::Enable(bool enable)
{
    EnableWindow(enable);
    ::EnableWindow(upDown_, enable);
}

void TSpinNumEdit::Show(int cmdShow)
{
    ShowWindow(cmdShow);
    ::ShowWindow(upDown_, cmdShow);
}
