#pragma once
// TProgressBar: the progress bar of the common controls (template class
// "msctls_progress32"): a position within a range, shown as a filled part
// from the left. The position is kept within the range. The control paints
// itself through Paint, so a derived class that overrides Paint draws the
// whole control its own way.

#include "platform/ui/control.h"

constexpr UINT PBM_SETRANGE = WM_USER + 1;    // lParam: MAKELPARAM(low, high); answers the old range
constexpr UINT PBM_SETPOS = WM_USER + 2;      // wParam: position; answers the old one
constexpr UINT PBM_DELTAPOS = WM_USER + 3;    // wParam: step added; answers the old position
constexpr UINT PBM_SETSTEP = WM_USER + 4;     // wParam: step of PBM_STEPIT; answers the old step
constexpr UINT PBM_STEPIT = WM_USER + 5;      // answers the old position
constexpr UINT PBM_SETRANGE32 = WM_USER + 6;  // wParam low, lParam high
constexpr UINT PBM_GETRANGE = WM_USER + 7;    // wParam TRUE: the low end, else the high end
constexpr UINT PBM_GETPOS = WM_USER + 8;

class TProgressBar : public TControl {
public:
    TProgressBar(TWindow* parent, int id, int x, int y, int w, int h, TModule* module = nullptr);
    TProgressBar(TWindow* parent, int resourceId, TModule* module = nullptr);

    void SetRange(int low, int high);
    int GetLow() const { return low_; }
    int GetHigh() const { return high_; }
    // Answers the previous position.
    int SetPos(int pos);
    int GetPos() const { return pos_; }
    int DeltaPos(int delta) { return SetPos(pos_ + delta); }
    void SetStep(int step) { step_ = step; }
    int StepIt() { return SetPos(pos_ + step_); }

    // The standard look: the filled part in the highlight colour on the button face.
    void Paint(TDC& dc, bool erase, TRect& rect) override;

protected:
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    int low_ = 0;
    int high_ = 100;
    int pos_ = 0;
    int step_ = 10;
};
