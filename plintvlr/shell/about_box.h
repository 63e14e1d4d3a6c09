#pragma once
// aboutboxDlg: the box the main frame's "About" command shows modally: the
// program's name and version in bold, four notices in a frame and OK. It
// opens centred over the main frame, on the desktop.

#include "platform/ui/dialog.h"

class TStatic;

// The about box's dialog template and the control that shows the program's
// name and version.
inline constexpr int IDD_ABOUTBOX = 9600;
inline constexpr int IDC_ABOUT_PROGRAM = 190;

class aboutboxDlg : public TDialog {
public:
    explicit aboutboxDlg(TWindow* parent, TResId resId = IDD_ABOUTBOX, TModule* module = nullptr);

protected:
    void SetupWindow() override;

private:
    TStatic* programName_;
};

// Registers the about box's dialog template (done by the box itself when it
// is first made; the program may do it with its other resources at start).
void RegisterAboutBoxTemplate();
