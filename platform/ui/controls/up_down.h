#pragma once
// TUpDown: a pair of arrow buttons that step a position within a range,
// usually beside an edit control, its buddy. The up arrow moves the
// position toward the upper limit (a range may run downwards). With
// UDS_SETBUDDYINT the buddy shows the position and is read back as it;
// UDS_ARROWKEYS lets the Up and Down keys in the buddy step it; UDS_ALIGNRIGHT
// puts the control on the buddy's right edge; UDS_WRAP wraps at the ends.
// Each step is told to the parent as WM_VSCROLL (WM_HSCROLL with UDS_HORZ)
// with SB_THUMBPOSITION and the new position, then SB_ENDSCROLL.

#include "platform/ui/control.h"

#include <memory>

class QObject;

class TUpDown : public TControl {
public:
    TUpDown(TWindow* parent, int id, int x, int y, int w, int h, TWindow* buddy = nullptr, TModule* module = nullptr);
    TUpDown(TWindow* parent, int resourceId, TModule* module = nullptr);
    ~TUpDown() override;

    void SetRange(int lower, int upper);
    void GetRange(int& lower, int& upper) const;
    int SetPos(int position);  // answers the previous position
    int GetPos() const;
    HWND SetBuddy(HWND buddy);  // answers the previous buddy
    HWND GetBuddy() const { return buddy_; }

    // Steps the position as one click on the up (+1) or down (-1) arrow does.
    void Step(int direction);

protected:
    void SetupWindow() override;
    QWidget* CreateWidget(QWidget* parent) override;
    bool PaintsNatively() const override { return true; }
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    int ReadBuddy() const;
    void WriteBuddy();
    void Align();

    int lower_ = 100;  // the system's default range runs from 100 down to 0
    int upper_ = 0;
    int position_ = 0;
    HWND buddy_ = nullptr;
    TWindow* initialBuddy_ = nullptr;
    std::unique_ptr<QObject> keyFilter_;
};

// Makes an up-down control on `parent`; the parent owns it.
HWND CreateUpDownControl(DWORD style, int x, int y, int cx, int cy, HWND parent, int id, void* instance, HWND buddy,
                         int upper, int lower, int position);
