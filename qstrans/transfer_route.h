#pragma once
// What the main dialog hands a transfer to: the serial route (a panel on a
// PC serial port) and the fieldbus route (a panel on the fieldbus). Each
// route plugs into the dialog; while a route is not there, the commands
// that need it are greyed or absent, so no command does nothing.

class CSerialRoute {
public:
    virtual ~CSerialRoute() = default;
    // Starts the chain of a transfer of `kind` (1 protocol Comm 1, 2
    // database, 3 upload, 4 system software) at the system software check.
    virtual void StartTransfer(int kind) = 0;
    virtual void StartEraseFlash() = 0;
    virtual void StartGotoTransfer() = 0;
    // Stops a transfer that runs, and lets its file go.
    virtual void Cancel() = 0;
    // The serial steps work from the dialog's step timer (1017), the step
    // message it posts to itself (kSerialStepMessage: the step in wParam,
    // why it runs in lParam) and its serial port's receive event.
    virtual void OnStepTimer() {}
    virtual void OnStep(int /*step*/, int /*cause*/) {}
    virtual void OnReceive() {}
};

class CFieldbusRoute {
public:
    virtual ~CFieldbusRoute() = default;
    virtual void UploadDatabase() = 0;
    virtual void DownloadDatabase() = 0;
    // Stops a transfer that runs, and lets its file go.
    virtual void Cancel() = 0;
    // The fieldbus settings dialog, and the fieldbus library's version.
    virtual void ShowConfiguration() = 0;
    virtual void ShowVersion() = 0;
    // The fieldbus back-end works from the dialog's poll timer (1027) and
    // the steps it posts to the dialog (WM_USER+12).
    virtual void OnPollTimer() {}
    virtual void OnTimerStep() {}
};
