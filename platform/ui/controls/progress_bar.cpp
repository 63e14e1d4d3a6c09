#include "platform/ui/controls/progress_bar.h"

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"

#include <algorithm>

TProgressBar::TProgressBar(TWindow* parent, int id, int x, int y, int w, int h, TModule* module)
    : TControl(parent, id, nullptr, x, y, w, h, module)
{
}

TProgressBar::TProgressBar(TWindow* parent, int resourceId, TModule* module) : TControl(parent, resourceId, module)
{
}

void TProgressBar::SetRange(int low, int high)
{
    low_ = low;
    high_ = std::max(low, high);
    pos_ = std::clamp(pos_, low_, high_);
    Invalidate();
}

int TProgressBar::SetPos(int pos)
{
    const int old = pos_;
    pos_ = std::clamp(pos, low_, high_);
    if (pos_ != old)
        Invalidate();
    return old;
}

void TProgressBar::Paint(TDC& dc, bool /*erase*/, TRect& /*rect*/)
{
    const TRect client = GetClientRect();
    dc.FillRect(client, TBrush(TColor::SysBtnFace));
    const long span = static_cast<long>(high_) - low_;
    if (span <= 0)
        return;
    TRect filled = client;
    filled.right = client.left + static_cast<int>(client.Width() * (static_cast<long>(pos_) - low_) / span);
    dc.FillRect(filled, TBrush(TColor::SysHighlight));
}

LRESULT TProgressBar::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case PBM_SETRANGE: {
        const LRESULT old = MAKELRESULT(static_cast<WORD>(low_), static_cast<WORD>(high_));
        SetRange(static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lParam))),
                 static_cast<short>(HIWORD(static_cast<std::uintptr_t>(lParam))));
        return old;
    }
    case PBM_SETRANGE32: {
        const LRESULT old = MAKELRESULT(static_cast<WORD>(low_), static_cast<WORD>(high_));
        SetRange(static_cast<int>(wParam), static_cast<int>(lParam));
        return old;
    }
    case PBM_GETRANGE:
        return wParam ? low_ : high_;
    case PBM_SETPOS:
        return SetPos(static_cast<int>(wParam));
    case PBM_DELTAPOS:
        return DeltaPos(static_cast<int>(wParam));
    case PBM_SETSTEP: {
        const int old = step_;
        SetStep(static_cast<int>(wParam));
        return old;
    }
    case PBM_STEPIT:
        return StepIt();
    case PBM_GETPOS:
        return pos_;
    default:
        return TControl::DefWindowProc(msg, wParam, lParam);
    }
}
