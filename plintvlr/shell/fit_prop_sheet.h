#pragma once
// TFitPropSheet: the base of the program's property sheets. It narrows the
// sheet to the width of its pages and centres its buttons under the tab
// control, drives the keyboard focus between the tab control, the pages and
// the buttons itself (so Tab, Enter and Escape work in a sheet that runs
// modeless inside an MDI host too), opens on a chosen page, keeps no
// context-help button in its caption and, with a position id, its place
// relative to its parent.

#include "platform/ui/controls/button.h"
#include "platform/ui/controls/tab_control.h"
#include "platform/ui/property_sheet.h"

// Sent by the sheet's own controls when Tab is pressed on them: wParam is
// the id of the control that had the focus.
inline constexpr UINT WM_TABFOCUS = WM_USER + 500;

class TFitPropSheet : public TPropertySheet {
public:
    // startPage: the page shown when the sheet opens; positionId 0: the
    // place is not kept.
    TFitPropSheet(TWindow* parent, const char* title, int startPage, int positionId, bool wizard, DWORD flags,
                  TModule* module = nullptr);
    ~TFitPropSheet() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    void EnableApply(bool enable);
    // Moves and sizes a control of the sheet to `screenRect` (screen coordinates).
    void MoveChildTo(TWindow& control, const TRect& screenRect);
    int GetSheetStartPage() const { return startPage_; }
    int GetSheetPositionId() const { return positionId_; }

protected:
    void SetupWindow() override;
    void CleanupWindow() override;
    TTabControl* CreateTabControl(int id) override;
    TButton* CreateButton(int id, const char* text, bool isDefault) override;

    LRESULT EvTabFocus(WPARAM controlId, LPARAM);

private:
    void Fit();
    // The control when it exists and is enabled, else null.
    TWindow* Usable(int id) const;

    int startPage_;
    int positionId_;
    bool firstFocus_ = true;
};

// The sheet's tab control: Tab goes into the page, Enter is OK, Escape Cancel.
class TTabTabCtrl : public TTabControl {
public:
    TTabTabCtrl(TWindow* parent, int id) : TTabControl(parent, id, 0, 0, 0, 0) {}
    ~TTabTabCtrl() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

protected:
    UINT EvGetDlgCode(const MSG* msg);
    void EvKeyDown(UINT key, UINT repeat, UINT flags);
    void EvChar(UINT ch, UINT repeat, UINT flags);
};

// One of the sheet's push buttons: Tab moves on, Enter presses it, Escape
// is Cancel.
class TTabButton : public TButton {
public:
    TTabButton(TWindow* parent, int id, const char* text, bool isDefault)
        : TButton(parent, id, text, 0, 0, 0, 0, isDefault)
    {
    }
    ~TTabButton() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

protected:
    UINT EvGetDlgCode(const MSG* msg);
    void EvKeyDown(UINT key, UINT repeat, UINT flags);
    void EvChar(UINT ch, UINT repeat, UINT flags);
};
