#pragma once
// What a fieldbus back-end of the transfer program needs of the main dialog,
// and no more, so that the back-end can be run without the dialog.
//
// The dialog's window carries the back-end's poll timer (id 1027, 100 ms)
// and the posted steps (WM_USER+12): its WM_TIMER for 1027 calls the
// back-end's OnPollTimer, its WM_USER+12 the back-end's OnTimerStep. Message
// boxes and the fieldbus library's settings dialog are owned by it.

#include "platform/base/win_types.h"

#include <string>

class CFieldbusTransferHost {
public:
    virtual ~CFieldbusTransferHost() = default;

    // The main dialog's window; null while there is none (nothing is transferred then).
    virtual HWND GetTransferWindow() = 0;
    // The node dialog: true with the node (2 to 127) and, when
    // `askBackground`, the "Background Transfer" box as 1 or 0; false when
    // the engineer cancelled.
    virtual bool AskNodeId(bool askBackground, int& nodeId, int& background) = 0;
    // The progress bar.
    virtual void SetProgressPos(int percent) = 0;
    virtual void SetProgressActive(bool active) = 0;
    virtual void SetProgressFailed(bool failed) = 0;
    // The dialog's controls while a transfer runs, and after it.
    virtual void DisableControls() = 0;
    virtual void EnableControls() = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    // The database file: its folder followed by its name.
    virtual std::string DatabaseFile() = 0;
};
