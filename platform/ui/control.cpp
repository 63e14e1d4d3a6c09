#include "platform/ui/control.h"

#include "platform/ui/window_api.h"

#include <QWidget>

#include <algorithm>

TControl::TControl(TWindow* parent, int id, const char* title, int x, int y, int w, int h, TModule* module)
    : TWindow(parent, title, module)
{
    Attr.Style = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP;
    Attr.X = x;
    Attr.Y = y;
    Attr.W = w;
    Attr.H = h;
    Attr.Id = id;
}

TControl::TControl(TWindow* parent, int resourceId, TModule* module) : TWindow(parent, nullptr, module)
{
    Attr.Style = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP;
    Attr.Id = resourceId;
    SetFromResource(true);
}

void TControl::NotifyParent(UINT code)
{
    if (GetParentO() && GetHandle())
        ::SendMessage(GetParent(), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetId()), static_cast<WORD>(code)),
                      HandleToLParam(GetHandle()));
}

LRESULT TControl::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_GETDLGCODE)
        return static_cast<LRESULT>(DialogCode(reinterpret_cast<const MSG*>(lParam)));
    return TWindow::DefWindowProc(msg, wParam, lParam);
}

UINT TControl::DialogCode(const MSG* /*msg*/) const
{
    return 0;
}

void TControl::ApplyFocusPolicy(QWidget* widget) const
{
    widget->setFocusPolicy((Attr.Style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
}

std::vector<TWindow*> GroupOf(const std::vector<TWindow*>& controls, const TWindow* control)
{
    const auto at = std::find(controls.begin(), controls.end(), control);
    if (at == controls.end())
        return {};
    auto first = at;
    while (first != controls.begin() && !((*first)->GetStyle() & WS_GROUP))
        --first;
    auto last = at + 1;
    while (last != controls.end() && !((*last)->GetStyle() & WS_GROUP))
        ++last;
    return {first, last};
}
