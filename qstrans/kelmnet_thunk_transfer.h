#pragma once
// CKelmnetThunkTransfer: the fieldbus back-end for Windows 9x, which reaches
// a 16-bit edition of the fieldbus library through a thunk library. This
// system counts as the NT family and has no 16-bit library, so the back-end
// never becomes ready: it stays in open state 0, the main dialog does not
// use it, and whatever it is asked answers "Wrong Operating System".

#include "platform/base/win_types.h"

class CFieldbusTransferHost;

class CKelmnetThunkTransfer {
public:
    static constexpr UINT kStepMessage = 0x0400 + 13;  // WM_USER+13

    explicit CKelmnetThunkTransfer(CFieldbusTransferHost& host) : host_(host) {}

    void UploadDatabase();
    void DownloadDatabase();
    // WM_USER+13: nothing is ever posted while the back-end is not ready.
    void OnTimerStep() {}
    void Stop() {}
    // Only a ready back-end has anything to cancel.
    void Cancel() {}
    void ShowError();
    void ShowVersion();
    void ShowConfiguration();

    int GetOpenState() const { return openState_; }

private:
    CFieldbusTransferHost& host_;
    int openState_ = 0;
    int connectionResult_ = 2;
};
