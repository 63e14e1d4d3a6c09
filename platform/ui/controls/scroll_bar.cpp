#include "platform/ui/controls/scroll_bar.h"

#include "platform/ui/window_api.h"

#include <QScrollBar>

#include <algorithm>

const TResponseTable TScrollBar::Responses{&TControl::Responses, {
    OnMessage<&TScrollBar::EvScroll>(WM_HSCROLL),
    OnMessage<&TScrollBar::EvScroll>(WM_VSCROLL),
}};

TScrollBar::TScrollBar(TWindow* parent, int id, int x, int y, int w, int h, bool isHScrollBar, TModule* module)
    : TControl(parent, id, nullptr, x, y, w, h, module)
{
    Attr.Style = (Attr.Style & ~WS_TABSTOP) | (isHScrollBar ? SBS_HORZ : SBS_VERT);
    if (isHScrollBar && Attr.H == 0)
        Attr.H = GetSystemMetrics(SM_CYHSCROLL);
    if (!isHScrollBar && Attr.W == 0)
        Attr.W = GetSystemMetrics(SM_CXVSCROLL);
}

TScrollBar::TScrollBar(TWindow* parent, int resourceId, TModule* module) : TControl(parent, resourceId, module)
{
}

QWidget* TScrollBar::CreateWidget(QWidget* parent)
{
    bar_ = new QScrollBar((Attr.Style & SBS_VERT) ? Qt::Vertical : Qt::Horizontal, parent);
    bar_->setRange(0, 100);
    bar_->setPageStep(10);
    // The parent decides the new position: every action is told, then undone.
    QObject::connect(bar_, &QAbstractSlider::actionTriggered, SignalContext(), [this](int action) {
        if (programmatic_)
            return;
        const int requested = bar_->sliderPosition();
        bar_->setSliderPosition(bar_->value());
        switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            Notify(SB_LINEUP, 0);
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            Notify(SB_LINEDOWN, 0);
            break;
        case QAbstractSlider::SliderPageStepSub:
            Notify(SB_PAGEUP, 0);
            break;
        case QAbstractSlider::SliderPageStepAdd:
            Notify(SB_PAGEDOWN, 0);
            break;
        case QAbstractSlider::SliderToMinimum:
            Notify(SB_TOP, 0);
            break;
        case QAbstractSlider::SliderToMaximum:
            Notify(SB_BOTTOM, 0);
            break;
        case QAbstractSlider::SliderMove:
            Notify(SB_THUMBTRACK, requested);
            break;
        default:
            break;
        }
    });
    QObject::connect(bar_, &QAbstractSlider::sliderReleased, SignalContext(), [this] { Notify(SB_THUMBPOSITION, bar_->sliderPosition()); });
    ApplyFocusPolicy(bar_);
    return bar_;
}

void TScrollBar::Notify(UINT code, int position)
{
    if (!GetParentO())
        return;
    ::SendMessage(GetParent(), (Attr.Style & SBS_VERT) ? WM_VSCROLL : WM_HSCROLL,
                  MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(position)), HandleToLParam(GetHandle()));
}

void TScrollBar::GetRange(int& min, int& max) const
{
    min = bar_ ? bar_->minimum() : 0;
    max = bar_ ? bar_->maximum() : 0;
}

int TScrollBar::GetPosition() const
{
    return bar_ ? bar_->value() : 0;
}

void TScrollBar::SetRange(int min, int max, bool /*redraw*/)
{
    SendMessage(SBM_SETRANGE, static_cast<WPARAM>(min), max);
}

void TScrollBar::SetPosition(int position, bool redraw)
{
    SendMessage(SBM_SETPOS, static_cast<WPARAM>(position), redraw ? 1 : 0);
}

int TScrollBar::DeltaPos(int delta)
{
    int min = 0;
    int max = 0;
    GetRange(min, max);
    SetPosition(std::clamp(GetPosition() + delta, min, std::max(min, max)));
    return GetPosition();
}

void TScrollBar::SBLineUp()
{
    DeltaPos(-LineMagnitude);
}

void TScrollBar::SBLineDown()
{
    DeltaPos(LineMagnitude);
}

void TScrollBar::SBPageUp()
{
    DeltaPos(-PageMagnitude);
}

void TScrollBar::SBPageDown()
{
    DeltaPos(PageMagnitude);
}

void TScrollBar::SBThumbPosition(int position)
{
    SetPosition(position);
}

void TScrollBar::SBThumbTrack(int position)
{
    SetPosition(position);
}

void TScrollBar::SBTop()
{
    int min = 0;
    int max = 0;
    GetRange(min, max);
    SetPosition(min);
}

void TScrollBar::SBBottom()
{
    int min = 0;
    int max = 0;
    GetRange(min, max);
    SetPosition(max);
}

void TScrollBar::SBEndScroll()
{
}

void TScrollBar::EvScroll(UINT code, UINT position, HWND scrollBar)
{
    if (scrollBar != GetHandle()) {
        DefaultProcessing();
        return;
    }
    const int pos = static_cast<std::int16_t>(position);
    switch (code) {
    case SB_LINEUP:
        SBLineUp();
        break;
    case SB_LINEDOWN:
        SBLineDown();
        break;
    case SB_PAGEUP:
        SBPageUp();
        break;
    case SB_PAGEDOWN:
        SBPageDown();
        break;
    case SB_THUMBPOSITION:
        SBThumbPosition(pos);
        break;
    case SB_THUMBTRACK:
        SBThumbTrack(pos);
        break;
    case SB_TOP:
        SBTop();
        break;
    case SB_BOTTOM:
        SBBottom();
        break;
    case SB_ENDSCROLL:
        SBEndScroll();
        break;
    default:
        break;
    }
}

LRESULT TScrollBar::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!bar_)
        return TControl::DefWindowProc(msg, wParam, lParam);
    switch (msg) {
    case SBM_SETPOS: {
        const int previous = bar_->value();
        ++programmatic_;
        bar_->setValue(static_cast<int>(static_cast<std::intptr_t>(wParam)));
        --programmatic_;
        return previous;
    }
    case SBM_GETPOS:
        return bar_->value();
    case SBM_SETRANGE: {
        const int min = static_cast<int>(static_cast<std::intptr_t>(wParam));
        const int max = std::max(min, static_cast<int>(lParam));
        ++programmatic_;
        bar_->setRange(min, max);
        --programmatic_;
        return bar_->value();
    }
    case SBM_GETRANGE:
        if (wParam)
            *reinterpret_cast<int*>(wParam) = bar_->minimum();
        if (lParam)
            *reinterpret_cast<int*>(lParam) = bar_->maximum();
        return 0;
    case WM_LBUTTONUP: {
        const LRESULT result = TControl::DefWindowProc(msg, wParam, lParam);
        Notify(SB_ENDSCROLL, 0);
        return result;
    }
    default:
        return TControl::DefWindowProc(msg, wParam, lParam);
    }
}

UINT TScrollBar::DialogCode(const MSG* /*msg*/) const
{
    return DLGC_WANTARROWS;
}
