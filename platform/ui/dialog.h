#pragma once
// TDialog: a window built from a dialog template. Execute runs it modally
// (Qt's modal loop) and answers the code it was ended with; Create makes it
// modeless. OK (IDOK) closes it when CanClose agrees, Cancel (IDCANCEL),
// Escape and the close box end it with IDCANCEL. The keyboard works as in
// any dialog: Tab and Shift+Tab walk the controls with WS_TABSTOP, arrow
// keys move within a group (WS_GROUP starts one), Enter presses the focused
// push button or else the default button, a control's mnemonic letter
// activates it. A control's WM_GETDLGCODE answer keeps the keys it wants.

#include "platform/ui/dialog_template.h"
#include "platform/ui/menu.h"
#include "platform/ui/window.h"

#include <functional>
#include <memory>

class QMenuBar;

class TDialog : public TWindow {
public:
    TDialog(TWindow* parent, TResId resId, TModule* module = nullptr);
    // A dialog whose template is made in code (the message box).
    TDialog(TWindow* parent, const TDialogTemplate& dialogTemplate, TModule* module = nullptr);
    ~TDialog() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    // Runs the dialog modally; the result is the code it was ended with, or
    // -1 when it could not be created.
    virtual int Execute();
    bool Create() override;
    // A modal dialog ends with `retVal`; a modeless one is destroyed.
    void Destroy(int retVal = IDCANCEL) override;
    void CloseWindow(int retVal = IDCANCEL) override;
    bool IsModal() const { return modal_; }
    // A modal dialog whose loop still runs (not yet ended).
    bool IsExecuting() const { return modal_ && !ending_ && IsWindow(); }

    virtual void CmOk();
    virtual void CmCancel();

    TResId GetResourceId() const { return resId_; }
    const TDialogTemplate* GetTemplate() const;
    TDialogUnits GetDialogUnits() const;
    // Dialog units to pixels.
    TRect MapDialogRect(const TRect& rect) const;

    // The default push button (0: none, Enter then sends IDOK).
    int GetDefaultId() const { return defaultId_; }
    void SetDefaultId(int id);

    // The menu bar of a dialog whose template names a menu (null without one).
    // Before a pop-up opens the dialog gets WM_INITMENUPOPUP (wParam the
    // pop-up's TMenu*, the low word of lParam its position in the bar); its
    // items keep the states the program gives them. Items send WM_COMMAND.
    TMenu* GetMenu() const { return menu_.get(); }
    // Shows the bar's top-level items again after they changed.
    void DrawMenuBar();

    bool PreProcessMsg(MSG& msg) override;
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // The next (or previous) control of the tab order, from `from`.
    TWindow* NextTabItem(TWindow* from, bool previous);
    // The next (or previous) control of `from`'s group.
    TWindow* NextGroupItem(TWindow* from, bool previous);

protected:
    void EvClose();
    void WidgetReleased() override;
    QWidget* CreateWidget(QWidget* parent) override;
    // The control that has the focus when the dialog opens: the first tab stop.
    virtual TWindow* FirstFocus();

private:
    bool CreateTemplateControls(const TDialogTemplate& dialogTemplate, const TDialogUnits& units);
    static int MenuBarHeight();
    std::vector<TWindow*> TabList();
    void FocusFirstControl();
    void MoveFocusTo(TWindow* control, bool selectText, bool toCheckedRadio = false);
    bool PressButton(int id);
    bool HandleMnemonic(UINT ch);
    TWindow* FocusedControl();

    TResId resId_;
    std::unique_ptr<TDialogTemplate> ownTemplate_;
    std::unique_ptr<TMenu> menu_;
    QMenuBar* menuBar_ = nullptr;
    bool modal_ = false;
    bool ending_ = false;
    int returnValue_ = IDCANCEL;
    int defaultId_ = 0;
};

// Runs whenever a modal loop starts, with the dialog (or message box) that
// runs it; the test driver answers dialogs through it.
using TModalHook = std::function<void(TWindow& modal)>;
void SetModalHook(TModalHook hook);
