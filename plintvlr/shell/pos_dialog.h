#pragma once
// TPosDialog: a dialog outside the MDI client (the program runs its derived
// dialogs modally) that reopens where it was last closed, relative to its
// parent window.

#include "platform/ui/dialog.h"

class TPosDialog : public TDialog {
public:
    // positionId 0: the place is not kept.
    TPosDialog(TWindow* parent, TResId resId, int positionId, TModule* module = nullptr);
    ~TPosDialog() override;

    int GetPositionId() const { return positionId_; }

protected:
    void SetupWindow() override;
    void CleanupWindow() override;

private:
    int positionId_;
};
