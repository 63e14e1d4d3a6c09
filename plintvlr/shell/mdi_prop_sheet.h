#pragma once
// TMDIPropSheet: the base of the editor property sheets. Like an editor
// dialog (TMDIDialog) it runs modeless in the MDI client, carried by a host
// MDI child that shows its caption, keeps its place and passes its close box
// on; OK closes it only when every page applied its data (the sheet's own
// OK handling).
// TGraphEditSheet: the base of the sheets of graphic page elements, which
// keep the page editor disabled while they are open, so no element can be
// deleted under a sheet that is still editing it.

#include "plintvlr/shell/fit_prop_sheet.h"

class TInnerMDIChild;
class TMDIClient;

class TMDIPropSheet : public TFitPropSheet {
public:
    // positionId 0: the host's place is not kept. flags: the sheet's header
    // flags (PSH_HASHELP, PSH_NOAPPLYNOW).
    TMDIPropSheet(TMDIClient* client, const char* title, TResId hostIcon, int startPage, int positionId,
                  bool wizard, DWORD flags, TModule* module = nullptr);
    ~TMDIPropSheet() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    // Enables or disables the host, then brings it to the top of the client.
    bool EnableWindow(bool enable) override;
    HWND GetHostHandle() const;
    TInnerMDIChild* GetHost() const { return host_; }
    TMDIClient* GetClient() const { return client_; }
    int GetPositionId() const { return positionId_; }

    // The sheet's window goes and its host with it.
    void Destroy(int retVal = IDCANCEL) override;

protected:
    void SetupWindow() override;
    void CleanupWindow() override;
    void EvSysCommand(UINT command, const TPoint& point);

    // Called when the sheet's window has gone, before its host goes.
    virtual void SheetEnded() {}
    void EndHost();

private:
    TMDIClient* client_;
    TInnerMDIChild* host_ = nullptr;
    TResId hostIcon_;
    int positionId_;
};

class TGraphEditSheet : public TMDIPropSheet {
public:
    TGraphEditSheet(TMDIClient* client, const char* title, TResId hostIcon, int startPage, int positionId,
                    bool wizard, DWORD flags, TModule* module = nullptr);
    ~TGraphEditSheet() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

protected:
    void SheetEnded() override;
    void EvClose();

private:
    void Release();
    bool holdsEditor_ = false;
};
