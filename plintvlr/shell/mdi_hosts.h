#pragma once
// The MDI child windows that carry the editors in the client: none of them
// can be resized by the engineer (an editor's layout is fixed by its
// template), and the host of a dialog or sheet passes its close box on to the
// editor it carries, so the editor decides whether it may close.

#include "platform/ui/decorated_frame.h"
#include "platform/ui/mdi_child.h"

class TMDIClient;

class TNoSizingMDIChild : public TMDIChild {
public:
    TNoSizingMDIChild(TMDIClient& parent, TWindow* hosted, TResId icon, bool shrinkToClient,
                      TModule* module = nullptr);
    ~TNoSizingMDIChild() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

protected:
    LRESULT EvNCHitTest(WPARAM wParam, LPARAM lParam);
    void EvInitMenu(WPARAM menu, LPARAM);
};

// The host of one editor dialog or sheet; its caption is the editor's own.
class TInnerMDIChild : public TNoSizingMDIChild {
public:
    TInnerMDIChild(TMDIClient& parent, TWindow* hosted, TResId icon, TModule* module = nullptr);
    ~TInnerMDIChild() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    bool Create() override;
    // True from the moment the host starts to go: the editor it carries then
    // goes with it and must not destroy it again.
    bool IsGoing() const { return going_; }

protected:
    void CleanupWindow() override;
    void EvSysCommand(UINT command, const TPoint& point);
    LRESULT EvMouseActivate(WPARAM wParam, LPARAM lParam);

private:
    TWindow* hosted_;
    bool going_ = false;
};

// A non-sizable MDI child with bars inside (the page editor's window).
class TDecoratedMDIChild : public TNoSizingMDIChild, public TDecoratedFrame {
public:
    TDecoratedMDIChild(TMDIClient& parent, const char* title, TWindow* clientWnd, TResId icon,
                       bool trackMenuSelection = false, bool shrinkToClient = false, TModule* module = nullptr);
    ~TDecoratedMDIChild() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    // The window's shortcuts (an accelerator table) run as the main frame's
    // commands; the keys they leave go to the bars.
    void SetFrameAccelerators(TResId table) { accelerators_ = table; }
    bool PreProcessMsg(MSG& msg) override;

protected:
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    TResId accelerators_;
};
