#pragma once
// TGroupBox: the titled frame drawn around a group of controls. It lies
// behind the controls and takes neither clicks nor the focus.

#include "platform/ui/control.h"

class TGroupBox : public TControl {
public:
    TGroupBox(TWindow* parent, int id, const char* text, int x, int y, int w, int h, TModule* module = nullptr);
    TGroupBox(TWindow* parent, int resourceId, TModule* module = nullptr);

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    bool PaintsNatively() const override { return true; }
    void TextChanged() override;
    UINT DialogCode(const MSG* msg) const override;
};
