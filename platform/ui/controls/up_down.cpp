#include "platform/ui/controls/up_down.h"

#include "platform/ui/window_api.h"
#include "platform/ui/window_bridge.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// Two arrow buttons, the upper (or right) half and the lower (or left) half.
class ArrowsWidget : public QWidget {
public:
    ArrowsWidget(QWidget* parent, bool horizontal) : QWidget(parent), horizontal_(horizontal) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QStyleOption option;
        option.initFrom(this);
        const QRect all = rect();
        const QRect first = horizontal_ ? QRect(all.left(), all.top(), all.width() / 2, all.height())
                                        : QRect(all.left(), all.top(), all.width(), all.height() / 2);
        const QRect second = horizontal_ ? QRect(first.right() + 1, all.top(), all.width() - first.width(), all.height())
                                         : QRect(all.left(), first.bottom() + 1, all.width(), all.height() - first.height());
        for (const QRect& r : {first, second}) {
            option.rect = r;
            style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &option, &painter, this);
        }
        option.rect = first.adjusted(2, 2, -2, -2);
        style()->drawPrimitive(horizontal_ ? QStyle::PE_IndicatorArrowLeft : QStyle::PE_IndicatorArrowUp, &option,
                               &painter, this);
        option.rect = second.adjusted(2, 2, -2, -2);
        style()->drawPrimitive(horizontal_ ? QStyle::PE_IndicatorArrowRight : QStyle::PE_IndicatorArrowDown, &option,
                               &painter, this);
    }

private:
    bool horizontal_;
};

// The Up and Down keys in the buddy step the control (UDS_ARROWKEYS).
class BuddyKeys : public QObject {
public:
    explicit BuddyKeys(HWND upDown) : upDown_(upDown) {}

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Up && key != Qt::Key_Down)
            return false;
        auto* upDown = dynamic_cast<TUpDown*>(GetWindowPtr(upDown_));
        if (!upDown)
            return false;
        upDown->Step(key == Qt::Key_Up ? 1 : -1);
        return true;
    }

private:
    HWND upDown_;
};

}  // namespace

TUpDown::TUpDown(TWindow* parent, int id, int x, int y, int w, int h, TWindow* buddy, TModule* module)
    : TControl(parent, id, nullptr, x, y, w, h, module), initialBuddy_(buddy)
{
    Attr.Style = WS_CHILD | WS_VISIBLE | UDS_ARROWKEYS | UDS_SETBUDDYINT | UDS_ALIGNRIGHT;
}

TUpDown::TUpDown(TWindow* parent, int resourceId, TModule* module) : TControl(parent, resourceId, module)
{
}

TUpDown::~TUpDown() = default;

QWidget* TUpDown::CreateWidget(QWidget* parent)
{
    auto* widget = new ArrowsWidget(parent, Attr.Style & UDS_HORZ);
    widget->setFocusPolicy(Qt::NoFocus);
    return widget;
}

void TUpDown::SetupWindow()
{
    TControl::SetupWindow();
    if (initialBuddy_ && initialBuddy_->IsWindow())
        SetBuddy(initialBuddy_->GetHandle());
}

void TUpDown::SetRange(int lower, int upper)
{
    SendMessage(UDM_SETRANGE32, static_cast<WPARAM>(lower), upper);
}

void TUpDown::GetRange(int& lower, int& upper) const
{
    lower = lower_;
    upper = upper_;
}

int TUpDown::SetPos(int position)
{
    return static_cast<int>(SendMessage(UDM_SETPOS, 0, MAKELPARAM(static_cast<WORD>(position), 0)));
}

int TUpDown::GetPos() const
{
    return static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(const_cast<TUpDown*>(this)->SendMessage(UDM_GETPOS))));
}

HWND TUpDown::SetBuddy(HWND buddy)
{
    return reinterpret_cast<HWND>(SendMessage(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy)));
}

int TUpDown::ReadBuddy() const
{
    if (!(Attr.Style & UDS_SETBUDDYINT) || !::IsWindow(buddy_))
        return position_;
    const std::string text = ::GetWindowText(buddy_);
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || (end && *end != '\0'))
        return position_;
    return static_cast<int>(std::clamp<long>(value, std::min(lower_, upper_), std::max(lower_, upper_)));
}

void TUpDown::WriteBuddy()
{
    if (!(Attr.Style & UDS_SETBUDDYINT) || !::IsWindow(buddy_))
        return;
    char text[16];
    std::snprintf(text, sizeof text, "%d", position_);
    ::SetWindowText(buddy_, text);
}

void TUpDown::Align()
{
    TWindow* buddy = GetWindowPtr(buddy_);
    if (!buddy || !(Attr.Style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT)))
        return;
    const int width = Attr.W > 0 ? Attr.W : GetSystemMetrics(SM_CXVSCROLL);
    TWindowAttr& b = buddy->Attr;
    // The control takes its width off the buddy's side.
    if (Attr.Style & UDS_ALIGNRIGHT) {
        buddy->MoveWindow(b.X, b.Y, std::max(0, b.W - width), b.H);
        MoveWindow(b.X + b.W, b.Y, width, b.H);
    } else {
        MoveWindow(b.X, b.Y, width, b.H);
        buddy->MoveWindow(b.X + width, b.Y, std::max(0, b.W - width), b.H);
    }
}

void TUpDown::Step(int direction)
{
    const int low = std::min(lower_, upper_);
    const int high = std::max(lower_, upper_);
    if (low == high)
        return;
    const int current = ReadBuddy();
    // "Up" runs toward the upper limit, whichever way the range runs.
    int next = current + (upper_ >= lower_ ? direction : -direction);
    if (next < low || next > high) {
        if (!(Attr.Style & UDS_WRAP))
            return;
        next = next < low ? high : low;
    }
    position_ = next;
    WriteBuddy();
    const UINT msg = (Attr.Style & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
    ::SendMessage(GetParent(), msg, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(position_)),
                  HandleToLParam(GetHandle()));
    ::SendMessage(GetParent(), msg, MAKEWPARAM(SB_ENDSCROLL, static_cast<WORD>(position_)),
                  HandleToLParam(GetHandle()));
}

LRESULT TUpDown::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case UDM_SETRANGE:
        upper_ = static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lParam)));
        lower_ = static_cast<std::int16_t>(HIWORD(static_cast<std::uintptr_t>(lParam)));
        position_ = std::clamp(position_, std::min(lower_, upper_), std::max(lower_, upper_));
        return 0;
    case UDM_SETRANGE32:
        lower_ = static_cast<int>(static_cast<std::intptr_t>(wParam));
        upper_ = static_cast<int>(lParam);
        position_ = std::clamp(position_, std::min(lower_, upper_), std::max(lower_, upper_));
        return 0;
    case UDM_GETRANGE:
        return MAKELRESULT(static_cast<WORD>(upper_), static_cast<WORD>(lower_));
    case UDM_GETRANGE32:
        if (wParam)
            *reinterpret_cast<int*>(wParam) = lower_;
        if (lParam)
            *reinterpret_cast<int*>(lParam) = upper_;
        return 0;
    case UDM_SETPOS: {
        const int previous = position_;
        position_ = std::clamp<int>(static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lParam))),
                                    std::min(lower_, upper_), std::max(lower_, upper_));
        WriteBuddy();
        return previous;
    }
    case UDM_GETPOS:
        position_ = ReadBuddy();
        return MAKELRESULT(static_cast<WORD>(position_), 0);
    case UDM_SETBUDDY: {
        const HWND previous = buddy_;
        if (previous && keyFilter_) {
            if (TWindow* old = GetWindowPtr(previous))
                old->GetWidget()->removeEventFilter(keyFilter_.get());
        }
        buddy_ = ::IsWindow(reinterpret_cast<HWND>(wParam)) ? reinterpret_cast<HWND>(wParam) : nullptr;
        if (TWindow* buddy = GetWindowPtr(buddy_)) {
            if (Attr.Style & UDS_ARROWKEYS) {
                keyFilter_ = std::make_unique<BuddyKeys>(GetHandle());
                buddy->GetWidget()->installEventFilter(keyFilter_.get());
            }
            Align();
            WriteBuddy();
        }
        return reinterpret_cast<LRESULT>(previous);
    }
    case UDM_GETBUDDY:
        return reinterpret_cast<LRESULT>(buddy_);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (!IsWindowEnabled())
            return 0;
        const TPoint p = LParamToPoint(lParam);
        const TRect r = GetClientRect();
        const bool first = (Attr.Style & UDS_HORZ) ? p.x < r.Width() / 2 : p.y < r.Height() / 2;
        // Vertically the upper arrow steps up; horizontally the left one steps down.
        Step((Attr.Style & UDS_HORZ) ? (first ? -1 : 1) : (first ? 1 : -1));
        return 0;
    }
    default:
        return TControl::DefWindowProc(msg, wParam, lParam);
    }
}

HWND CreateUpDownControl(DWORD style, int x, int y, int cx, int cy, HWND parent, int id, void* /*instance*/,
                         HWND buddy, int upper, int lower, int position)
{
    TWindow* parentWindow = GetWindowPtr(parent);
    if (!parentWindow)
        return nullptr;
    auto* upDown = new TUpDown(parentWindow, id, x, y, cx, cy);
    upDown->Attr.Style = style | WS_CHILD;
    upDown->SetWindowLifetime(true);
    if (!upDown->Create()) {
        delete upDown;
        return nullptr;
    }
    upDown->SendMessage(UDM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(upper), static_cast<WORD>(lower)));
    if (buddy)
        upDown->SetBuddy(buddy);
    upDown->SetPos(position);
    return upDown->GetHandle();
}
