#pragma once
// TMDIFrame: the main window of an MDI program, a frame whose client window
// is a TMDIClient. Commands from its menu and accelerators go to the window
// with the focus and its parents, then to the active MDI child if the focus
// is elsewhere, then to the client (Cascade, Tile, Arrange Icons, Close
// All), then to the frame; command enablers travel the same way. The items
// of the Window menu that list the children activate them. Ctrl+F4 closes
// the active child (WM_SYSCOMMAND SC_CLOSE) and Ctrl+F6 moves to the next.

#include "platform/ui/frame_window.h"
#include "platform/ui/mdi_client.h"

class TMDIFrame : public virtual TFrameWindow {
public:
    // The frame takes the client over (a new TMDIClient when none is given).
    TMDIFrame(const char* title, TResId menuResId, TMDIClient* client = nullptr, TModule* module = nullptr);
    ~TMDIFrame() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    TMDIClient* GetMDIClient() const;

    void EvCommandEnable(TCommandEnabler& enabler) override;
    bool PreProcessMsg(MSG& msg) override;

protected:
    std::vector<TWindow*> CommandRoute() override;
    // A Window menu item that lists a child, and that no window on the
    // route took, shows that child.
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};
