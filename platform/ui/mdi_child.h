#pragma once
// TMDIChild: a frame window inside an MDI client, with a caption, a system
// menu, minimise and maximise boxes and a sizing border as its style says.
//
// - Where the mouse is over the frame, the child is asked with WM_NCHITTEST
//   (lParam: the screen point) what is there; only the sizing codes
//   HTLEFT..HTBOTTOMRIGHT let the border be dragged, so a child that turns
//   them into HTBORDER keeps its size. Without WS_THICKFRAME the default
//   answer is HTBORDER already.
// - Before its system menu opens the child gets WM_INITMENU (wParam: the
//   system menu, a TMenu*); the items send WM_SYSCOMMAND with SC_RESTORE,
//   SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE or SC_NEXTWINDOW.
//   The close box sends WM_SYSCOMMAND SC_CLOSE too; its default is WM_CLOSE.
// - A click on the frame of a child that is not the active one sends
//   WM_MOUSEACTIVATE first.
// - The mouse moving over the frame or caption with no button held sends
//   WM_NCMOUSEMOVE (wParam the hit-test code, lParam the screen point).
// - Taking WS_SYSMENU, WS_MINIMIZEBOX or WS_MAXIMIZEBOX away (ModifyStyle)
//   from a shown child takes its system menu with the close box, or the
//   box, off its caption at once.
// - Destroy goes through the client's WM_MDIDESTROY, so the client (and
//   whoever keeps track of the children there) hears of every child that goes.
//
// The class derives TFrameWindow virtually, so a child can also be a
// decorated frame (class TMyChild : public TMDIChild, public TDecoratedFrame).

#include "platform/ui/frame_window.h"

#include <memory>

class QMdiSubWindow;
class TMDIClient;

constexpr UINT SC_NEXTWINDOW = 0xF040;
constexpr UINT SC_PREVWINDOW = 0xF050;

class TMDIChild : public virtual TFrameWindow {
public:
    TMDIChild(TMDIClient& parent, const char* title = nullptr, TWindow* clientWnd = nullptr,
              bool shrinkToClient = false, TModule* module = nullptr);
    ~TMDIChild() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    void Destroy(int retVal = 0) override;
    // SW_MINIMIZE, SW_MAXIMIZE and SW_RESTORE work inside the client; showing
    // a child activates it.
    bool ShowWindow(int cmdShow) override;
    bool IsIconic() const override;
    bool IsZoomed() const override;

    // The system menu; its items can be greyed, checked or relabelled like
    // any menu's (the child's WM_INITMENU handler does so before it opens).
    TMenu& GetSystemMenu() { return *systemMenu_; }
    TMDIClient* GetMDIClient() const;

    // Qt seam: the sub-window that carries the child.
    QMdiSubWindow* GetSubWindow() const { return subWindow_; }

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void WidgetCreated() override;
    void WidgetReleased() override;
    void SetupWindow() override;
    void TextChanged() override;
    void StyleChanged(DWORD oldStyle) override;
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    friend class TMDIClient;
    class FrameFilter;

    // The client's default processing of WM_MDIDESTROY.
    void DestroyFromClient(int retVal);
    LRESULT DefaultHitTest(TPoint screen) const;
    void FillSystemMenu();
    void ApplyWindowFlags();

    std::unique_ptr<TMenu> systemMenu_;
    QMdiSubWindow* subWindow_ = nullptr;
    FrameFilter* frameFilter_ = nullptr;
    TSize shrinkTo_;  // the client window's own size, for a frame that shrinks to it
};
