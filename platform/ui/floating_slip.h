#pragma once
// TFloatingSlip: the small palette window in which a tool bar floats, owned
// by the frame. It is as big as the bar wants to be; its caption is the
// bar's; its close box hides the bar (the harbor takes it back).

#include "platform/ui/decoration.h"
#include "platform/ui/frame_window.h"

class TFloatingSlip : public TFrameWindow, public TDecorationHost {
public:
    TFloatingSlip(TWindow* parent, int x, int y, TWindow* clientWnd, bool shrinkToClient = true,
                  TModule* module = nullptr);
    ~TFloatingSlip() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    bool DecorationChangedSize(TWindow& decoration) override;
    // Moves the palette so its top-left is at screen point `where`.
    void MoveTo(const TPoint& where);

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void SetupWindow() override;
    void EvClose();

private:
    void FitToClient();
};
