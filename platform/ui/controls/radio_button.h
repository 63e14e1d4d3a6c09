#pragma once
// TRadioButton: a radio button (BS_RADIOBUTTON, BS_AUTORADIOBUTTON). A
// click on an automatic one checks it and clears the other automatic radio
// buttons of its group (the controls from the nearest WS_GROUP up to the
// next), then sends BN_CLICKED.

#include "platform/ui/controls/check_box.h"

class TRadioButton : public TCheckBox {
public:
    TRadioButton(TWindow* parent, int id, const char* title, int x, int y, int w, int h,
                 TGroupBox* group = nullptr, TModule* module = nullptr);
    TRadioButton(TWindow* parent, int resourceId, TGroupBox* group = nullptr, TModule* module = nullptr);

    // Called by the widget when the user checks an automatic radio button.
    void ClearGroup();

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    UINT DialogCode(const MSG* msg) const override;
};
