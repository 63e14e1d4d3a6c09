#pragma once
// TMDIDialog: the base of the editor dialogs. The dialog runs modeless in
// the MDI client, carried by a host MDI child of its own (TInnerMDIChild)
// that shows the dialog's caption, keeps its place under a position id and
// passes its close box on to the dialog as WM_CLOSE (the dialog's Cancel,
// where a derived editor decides whether it may close). While the dialog
// exists it may keep the page editor disabled; it answers the Help menu's
// Current Topic with its own help topic and runs the frame's shortcuts.

#include "platform/ui/dialog.h"

class TInnerMDIChild;
class TMDIClient;

class TMDIDialog : public TDialog {
public:
    // positionId 0: the host's place is not kept; helpId 0: no help.
    TMDIDialog(TMDIClient* client, TResId resId, int positionId, int helpId, TResId hostIcon,
               bool disableEditor, TModule* module = nullptr);
    ~TMDIDialog() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    // Enables or disables the host, and with it the dialog.
    bool EnableWindow(bool enable) override;
    // The host's window; null while there is no host.
    HWND GetHostHandle() const;
    TInnerMDIChild* GetHost() const { return host_; }
    int GetPositionId() const { return positionId_; }
    int GetHelpId() const { return helpId_; }

    // The dialog's window goes and its host with it.
    void Destroy(int retVal = IDCANCEL) override;

protected:
    void SetupWindow() override;
    void CleanupWindow() override;

    void CmHelp();
    void EvSysCommand(UINT command, const TPoint& point);
    void EvClose();

private:
    void EndHost();

    TMDIClient* client_;
    TInnerMDIChild* host_ = nullptr;
    TResId hostIcon_;
    int positionId_;
    int helpId_;
    bool disableEditor_;
    bool holdsEditor_ = false;
};

// Shows topic `context` of the program's help file, owned by `owner`.
void ShowHelpTopic(HWND owner, DWORD context);

// Sends a system command the host or sheet got on to the main window, the
// window that acts on the program's system commands; false when there is no
// main window.
bool ForwardSysCommand(UINT command, const TPoint& point);

// Makes `host`, the MDI host of `hosted` (a dialog or sheet whose window
// exists) in `client`, hidden until placed when positionId is not 0, places
// it and lets the client's window menu list it; null when the host cannot
// be made.
void MakeEditorHost(TMDIClient& client, TWindow& hosted, TResId icon, int positionId, TModule* module,
                    TInnerMDIChild*& host);
// Saves the host's place under positionId (not 0) relative to the client.
void SaveEditorHostPlace(TMDIClient& client, TInnerMDIChild* host, int positionId);
// Destroys the host unless it is going already.
void DestroyEditorHost(TInnerMDIChild*& host);
