#pragma once
// CTransferProgressCtrl: the main dialog's progress bar (control 1025). It
// paints itself whole: silver while inactive; while a transfer runs, a part
// from the left as wide as the percentage, blue, green at 100 % (with
// "Complete"), red when the transfer failed (with "Transfer FAILED."), and
// the percentage in the middle, readable on both parts.

#include "platform/ui/controls/progress_bar.h"

class CTransferProgressCtrl : public TProgressBar {
public:
    CTransferProgressCtrl(TWindow* parent, int resourceId);

    // The percentage, kept within 0 to 100: routes compute it from sizes a
    // panel sends.
    void SetPos(int percent);
    int GetPos() const { return TProgressBar::GetPos(); }
    void SetActive(bool active);
    bool IsActive() const { return active_; }
    void SetFailed(bool failed);
    bool IsFailed() const { return failed_; }

    void Paint(TDC& dc, bool erase, TRect& rect) override;

private:
    bool active_ = false;
    bool failed_ = false;
};
