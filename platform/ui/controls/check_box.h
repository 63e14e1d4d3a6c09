#pragma once
// TCheckBox: a check box (BS_CHECKBOX, BS_AUTOCHECKBOX, BS_3STATE,
// BS_AUTO3STATE). An automatic box changes its own state when clicked, then
// sends BN_CLICKED; a plain one only sends BN_CLICKED and the program sets it.

#include "platform/ui/controls/button.h"

class TGroupBox;

class TCheckBox : public TButton {
public:
    TCheckBox(TWindow* parent, int id, const char* title, int x, int y, int w, int h, TGroupBox* group = nullptr,
              TModule* module = nullptr);
    TCheckBox(TWindow* parent, int resourceId, TGroupBox* group = nullptr, TModule* module = nullptr);

    void Check() { SetCheck(BST_CHECKED); }
    void Uncheck() { SetCheck(BST_UNCHECKED); }
    void Toggle();
    UINT GetCheck() const;
    void SetCheck(UINT state);
    TGroupBox* GetGroup() const { return group_; }

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void StyleChanged(DWORD oldStyle) override;
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    UINT DialogCode(const MSG* msg) const override;

private:
    TGroupBox* group_ = nullptr;
};
