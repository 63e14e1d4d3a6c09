#pragma once
// TControl: the base of every control. A control is a child window with an
// id; it tells its parent what happens to it with WM_COMMAND notifications
// (the id and the notification code in wParam, its handle in lParam). A
// control made with the resource constructor takes its place, style and
// text from its parent dialog's template when the dialog is created.
//
// Control colours: just before an edit, a static or a combo box paints, it
// sends its parent WM_CTLCOLOREDIT (an edit), WM_CTLCOLORSTATIC (a static,
// and an edit that is read-only or disabled) or WM_CTLCOLORLISTBOX (a combo
// box; its edit field's WM_CTLCOLOREDIT goes on to the combo box's parent
// unchanged). wParam is a TDC* on which the parent sets the text colour
// (SetTextColor) and background colour (SetBkColor); lParam is the
// control's handle. The parent answers the brush the control's background is
// filled with, as a const TBrush* that lives at least until the message
// returns; an answer of 0 (the default) leaves the control its own colours.

#include "platform/ui/window.h"

#include <vector>

class TControl : public TWindow {
public:
    TControl(TWindow* parent, int id, const char* title, int x, int y, int w, int h, TModule* module = nullptr);
    // A control of the parent dialog's template, found by its id.
    TControl(TWindow* parent, int resourceId, TModule* module = nullptr);

protected:
    // Sends WM_COMMAND with this control's id and `code` to the parent.
    void NotifyParent(UINT code);
    // Standard controls keep the dialog-code answer of their kind.
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    virtual UINT DialogCode(const MSG* msg) const;
    // The focus policy a control's widget gets from WS_TABSTOP.
    void ApplyFocusPolicy(QWidget* widget) const;
    // Asks the parent for the colours to paint `widget` with (`msg` is one of
    // the WM_CTLCOLOR... messages) and gives them to the widget.
    void AskParentColors(UINT msg, QWidget* widget);

private:
    bool parentColors_ = false;  // the widget shows colours its parent gave
    bool ownAutoFill_ = false;
    unsigned shownText_ = 0;
    unsigned shownBack_ = 0;
};

// The group `control` belongs to among `controls` (a window's children, a
// dialog's tab order): from the nearest control with WS_GROUP at or before
// it up to the next one with WS_GROUP. Empty when `control` is not there.
std::vector<TWindow*> GroupOf(const std::vector<TWindow*>& controls, const TWindow* control);
