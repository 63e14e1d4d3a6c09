#pragma once
// TSpinNumEdit: a TNumEdit with an up-down (spin) control on its right edge
// that steps the value within the same range. The up-down control is made
// when the field's window is set up, with the id of the field + 10000; a
// range set before that is kept and given to it then.

#include "plintvlr/shell/controls/num_edit.h"

class TSpinNumEdit : public TNumEdit {
public:
    static constexpr int kUpDownIdOffset = 10000;

    TSpinNumEdit(TWindow* parent, int resourceId, TModule* module = nullptr);

    void SetRange(int maximum, int minimum) override;
    // Both the field and its up-down control.
    virtual void Enable(bool enable);
    virtual void Show(int cmdShow);

    HWND GetUpDown() const { return upDown_; }
    int GetUpDownId() const { return upDownId_; }

protected:
    void SetupWindow() override;

private:
    HWND upDown_ = nullptr;
    int upDownId_;
};
