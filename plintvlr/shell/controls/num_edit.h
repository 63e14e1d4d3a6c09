#pragma once
// TNumEdit: an integer field of a dialog that keeps its value within a
// range while it is typed. Only digits and Backspace get in; a value above
// the maximum is replaced by the maximum at once, one below the minimum by
// the minimum once it has as many characters as the minimum (so 1 may still
// grow into 15 in the range 10..70). Nothing is ever shown or beeped.

#include "platform/ui/controls/edit.h"

class TNumEdit : public TEdit {
public:
    static constexpr UINT kTextLimit = 12;  // with the terminating NUL: 11 characters

    TNumEdit(TWindow* parent, int resourceId, TModule* module = nullptr);

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    // The maximum comes first.
    virtual void SetRange(int maximum, int minimum);
    int GetMaximum() const { return maximum_; }
    int GetMinimum() const { return minimum_; }

    // The typed value clamped to [minimum, maximum].
    int GetValue() const;
    // The typed value as it stands; a text beyond the 32-bit range reads as
    // the nearer bound.
    int GetRawValue() const;
    void SetValue(int value);

protected:
    void EvChar(UINT key, UINT repeat, UINT flags);

private:
    int maximum_ = 100;
    int minimum_ = 0;
};
