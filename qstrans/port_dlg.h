#pragma once
// CPortDlg: the choice of the PC's serial port, "Com 1" to "Com 4"; the
// line's settings are fixed and only shown. OK stores the choice as the
// setting "Port"; Cancel changes nothing.

#include "platform/ui/dialog.h"

class CPortDlg : public TDialog {
public:
    explicit CPortDlg(TWindow* parent);

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    int GetSelection() const { return selection_; }

protected:
    void SetupWindow() override;
    void CmOk() override;

private:
    int selection_ = 0;
};
