#pragma once
// TStatusLine: the status bar at the bottom of the main frame. Besides the
// frame's menu hints it shows three labelled panes: the short model code of
// the open project's panel type, the bytes the project uses and the bytes
// still free in the panel's memory.
//
// One status line exists while the frame exists: it records itself as the
// program's status line when its window is set up and forgets that when it is
// destroyed. The setters act on that status line and do nothing while there
// is none, so the project database may report sizes before the frame is up or
// after it is gone.

#include "platform/ui/status_bar.h"

class TFont;

class TStatusLine : public TStatusBar {
public:
    // The panes' gadget ids.
    enum { IDG_MODEL = 1, IDG_USED = 2, IDG_FREE = 3 };

    // `font` (copied; null: the desktop's default user-interface font) is
    // the font of the labels and panes.
    TStatusLine(TWindow* parent, TGadget::TBorderStyle borderStyle = TGadget::Recessed, UINT modeIndicators = 0,
                const TFont* font = nullptr);
    ~TStatusLine() override;

    // The program's status line; null while there is none.
    static TStatusLine* GetStatusLine();

    // The model pane shows the panel type's short code (empty for a type
    // without one).
    static void SetModel(int panelType);
    // The used and free panes: decimal figures as text (the free figure may
    // be negative) or an empty text.
    static void SetUsedText(const char* text);
    static void SetFreeText(const char* text);

    // The short code of a panel type; "" for a type without one.
    static const char* ModelText(int panelType);

protected:
    void SetupWindow() override;
    void CleanupWindow() override;
};
