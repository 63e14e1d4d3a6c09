#pragma once
// TButton: a push button. A click (mouse release over it, Space, BM_CLICK,
// Enter when it has the focus or is the dialog's default button) sends
// BN_CLICKED to the parent. BS_DEFPUSHBUTTON draws it as the default
// button; BS_OWNERDRAW leaves the drawing to the parent (WM_DRAWITEM).

#include "platform/ui/control.h"

class QPushButton;

class TButton : public TControl {
public:
    TButton(TWindow* parent, int id, const char* text, int x, int y, int w, int h, bool isDefault = false,
            TModule* module = nullptr);
    TButton(TWindow* parent, int resourceId, TModule* module = nullptr);

    void SetIsDefault(bool isDefault);
    bool IsDefault() const { return (Attr.Style & BS_TYPEMASK) == BS_DEFPUSHBUTTON; }
    // Pressed and released as by the user.
    void Click();

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    bool PaintsNatively() const override { return true; }
    void TextChanged() override;
    void StyleChanged(DWORD oldStyle) override;
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    UINT DialogCode(const MSG* msg) const override;
};
