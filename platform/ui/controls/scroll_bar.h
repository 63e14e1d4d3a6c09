#pragma once
// TScrollBar: a scroll bar control (SBS_HORZ or SBS_VERT). The user's
// actions reach the parent as WM_HSCROLL or WM_VSCROLL (SB_LINEUP,
// SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN, SB_THUMBTRACK while the thumb is
// dragged, SB_THUMBPOSITION where it is let go, SB_TOP, SB_BOTTOM, then
// SB_ENDSCROLL); the position changes only when the program sets it. When
// the parent does not handle the message itself, the scroll bar's own
// handlers below move the position by LineMagnitude and PageMagnitude.

#include "platform/ui/control.h"

class QScrollBar;

class TScrollBar : public TControl {
public:
    TScrollBar(TWindow* parent, int id, int x, int y, int w, int h, bool isHScrollBar, TModule* module = nullptr);
    TScrollBar(TWindow* parent, int resourceId, TModule* module = nullptr);

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    int LineMagnitude = 1;
    int PageMagnitude = 10;

    void GetRange(int& min, int& max) const;
    int GetPosition() const;
    void SetRange(int min, int max, bool redraw = true);
    void SetPosition(int position, bool redraw = true);
    // Moves the position by `delta` within the range; answers the new position.
    int DeltaPos(int delta);

    virtual void SBLineUp();
    virtual void SBLineDown();
    virtual void SBPageUp();
    virtual void SBPageDown();
    virtual void SBThumbPosition(int position);
    virtual void SBThumbTrack(int position);
    virtual void SBTop();
    virtual void SBBottom();
    virtual void SBEndScroll();

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void WidgetReleased() override { bar_ = nullptr; }
    bool PaintsNatively() const override { return true; }
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    UINT DialogCode(const MSG* msg) const override;
    void EvScroll(UINT code, UINT position, HWND scrollBar);

private:
    void Notify(UINT code, int position);

    QScrollBar* bar_ = nullptr;
    int programmatic_ = 0;
};
