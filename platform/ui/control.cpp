#include "platform/ui/control.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/sys_colors.h"
#include "platform/ui/window_api.h"

#include <QImage>
#include <QPalette>
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

namespace {

QRgb ToRgb(TColor color)
{
    const COLORREF c = color.IsSysColor() ? GetSysColor(color.Index()) : color.GetValue();
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

}  // namespace

void TControl::AskParentColors(UINT msg, QWidget* widget)
{
    TWindow* parent = GetParentO();
    if (!widget || !GetHandle() || !parent || !parent->IsWindow())
        return;
    // The parent sets colours on a context of its own choosing in the
    // system; here a one-pixel one carries them back.
    QImage pixel(1, 1, QImage::Format_RGB32);
    TDC dc(pixel);
    const auto* brush = reinterpret_cast<const TBrush*>(
        parent->HandleMessage(msg, reinterpret_cast<WPARAM>(&dc), HandleToLParam(GetHandle())));
    if (!brush || brush->IsNull()) {
        if (parentColors_) {
            parentColors_ = false;
            widget->setPalette(QPalette());
            widget->setAutoFillBackground(ownAutoFill_);
        }
        return;
    }
    const QRgb text = ToRgb(dc.GetTextColor());
    const QRgb back = ToRgb(brush->GetColor());
    // Setting a palette repaints the widget: only a change is applied.
    if (parentColors_ && text == shownText_ && back == shownBack_)
        return;
    if (!parentColors_)
        ownAutoFill_ = widget->autoFillBackground();
    parentColors_ = true;
    shownText_ = text;
    shownBack_ = back;
    QPalette palette;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
            palette.setColor(group, role, QColor(text));
    }
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Window, QPalette::Button})
        palette.setColor(QPalette::All, role, QColor(back));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
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
