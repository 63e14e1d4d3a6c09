#pragma once
// TButtonGadget: a tool bar button showing a bitmap resource (its glyph). A
// click sends its command (WM_COMMAND, code 0) to the gadget window's
// command target, so it takes the route a menu command takes. Command
// buttons just send; exclusive ones stay down until another exclusive one
// of their group (the exclusive buttons next to each other) is pressed;
// non-exclusive ones go down and up with each click. While the program is
// idle the button's command enabler greys it, and checks it (down) or
// unchecks it (up).

#include "platform/ui/command_enabler.h"
#include "platform/ui/gadget.h"
#include "platform/ui/res_id.h"

class TButtonGadget : public TGadget {
public:
    enum TType { Command, Exclusive, NonExclusive };
    enum TState { Up, Down, Indeterminate };

    // Buttons start greyed: their enablers make them available.
    TButtonGadget(TResId glyphResId, int id, TType type = Command, bool enabled = false, TState state = Up);

    TType GetButtonType() const { return type_; }
    TState GetButtonState() const { return state_; }
    void SetButtonState(TState state);
    TResId GetGlyph() const { return glyph_; }
    // Pressed and released as by the mouse (nothing when greyed).
    void Click();
    // The mouse holds the button down over it.
    bool IsPressed() const { return pressed_; }

    void CommandEnable() override;
    UINT HintCommand() const override { return static_cast<UINT>(GetId()); }
    bool WantsMouse() const override { return true; }

protected:
    TSize ContentsSize() override;
    void Paint(QPainter& painter) override;
    void LButtonDown(UINT keys, const TPoint& point) override;
    void LButtonUp(UINT keys, const TPoint& point) override;
    void MouseMove(UINT keys, const TPoint& point) override;
    // The button was released over itself.
    virtual void Activate();

private:
    TResId glyph_;
    TType type_;
    TState state_;
    bool pressed_ = false;  // the mouse is down over it
};

// The enabler a button gadget offers to the command route.
class TButtonGadgetEnabler : public TCommandEnabler {
public:
    TButtonGadgetEnabler(TButtonGadget& gadget, HWND receiver)
        : TCommandEnabler(static_cast<UINT>(gadget.GetId()), receiver), gadget_(gadget)
    {
    }
    void Enable(bool enable = true) override;
    void SetCheck(int state) override;
    bool EnableWasCalled() const { return enableCalled_; }

private:
    TButtonGadget& gadget_;
    bool enableCalled_ = false;
};
