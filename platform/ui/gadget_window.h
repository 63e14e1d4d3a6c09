#pragma once
// TGadgetWindow: a window that lays out, paints and drives a row (or a
// column) of gadgets. Mouse clicks go to the gadget under the mouse; while
// the mouse is over a gadget that has a command, the frame shows the
// command's hint in its message bar and the window shows the command's tool
// tip. While the program is idle every gadget asks the command route whether
// its command is available (button gadgets grey and check themselves by
// it). Commands and enablers go to the command target: the nearest
// decorated frame above the window (the frame a docked or floating tool bar
// belongs to), else its top-level window.
//
// Derived classes may draw over the gadgets in Paint (a grip, a border).

#include "platform/ui/decoration.h"
#include "platform/ui/gadget.h"
#include "platform/ui/window.h"

#include <memory>
#include <vector>

class QFont;

class TGadgetWindow : public TWindow, public TDecorationSize {
public:
    enum TTileDirection { Horizontal, Vertical, Rectangular };
    enum TPlacement { Before, After };

    explicit TGadgetWindow(TWindow* parent = nullptr, TTileDirection direction = Horizontal,
                           TModule* module = nullptr);
    ~TGadgetWindow() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    // Inserts before or after `sibling` (null: at the start or the end).
    virtual void Insert(TGadget& gadget, TPlacement placement = After, TGadget* sibling = nullptr);
    // Takes the gadget out; the caller owns it then. Null when it is not here.
    virtual TGadget* Remove(TGadget& gadget);
    const std::vector<TGadget*>& GetGadgets() const { return gadgets_; }
    int GadgetCount() const { return static_cast<int>(gadgets_.size()); }
    TGadget* FirstGadget() const { return gadgets_.empty() ? nullptr : gadgets_.front(); }
    TGadget* NextGadget(const TGadget& gadget) const;
    TGadget* GadgetWithId(int id) const;
    TGadget* GadgetFromPoint(const TPoint& point) const;

    TTileDirection GetDirection() const { return direction_; }
    virtual void SetDirection(TTileDirection direction);
    // Gadgets per row when the direction is Rectangular (0: one row).
    void SetRectangularColumns(int columns);
    const TMargins& GetMargins() const { return margins_; }
    void SetMargins(const TMargins& margins);
    // The font of the gadgets' texts (a face name the platform maps, a size in points).
    void SetFont(const char* face, int pointSize);
    const QFont& GetFont() const { return *font_; }

    // Places the gadgets again and, when the window belongs to a frame or a
    // slip, lets that lay out again for its new size.
    virtual void LayoutSession();
    // The size that holds every gadget with the margins.
    virtual void GetDesiredSize(TSize& size);
    // The size the gadgets with the margins would take laid out in
    // `direction`, `columns` gadgets a row when Rectangular (0: one row).
    TSize MeasureLayout(TTileDirection direction, int columns);
    TSize DesiredDecorationSize(TAbsLocation location, const TSize& room) override;

    bool IdleAction(long idleCount) override;
    // The window that gets the gadgets' commands and command enablers.
    TWindow* GetCommandTarget();
    // Shows the hint of `command` in the frame's message bar (0: none).
    void SetHintCommand(UINT command);

    // For gadgets.
    void GadgetChangedSize(TGadget& gadget);
    void InvalidateGadget(const TGadget& gadget);
    void CaptureMouse(TGadget& gadget);
    void ReleaseMouse(TGadget& gadget);
    // The gadget the mouse is over, and the one that has the mouse captured.
    TGadget* GetHot() const { return hot_; }
    TGadget* GetCaptured() const { return captured_; }

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void WidgetCreated() override;
    void SetupWindow() override;

    // The gadgets are painted first, then Paint runs for what derived
    // classes draw over them.
    void EvPaint();
    void EvLButtonDown(UINT keys, const TPoint& point);
    void EvLButtonUp(UINT keys, const TPoint& point);
    void EvMouseMove(UINT keys, const TPoint& point);
    void EvSize(UINT sizeType, const TSize& size);
    // The mouse left the window.
    virtual void MouseLeft();

private:
    class LeaveFilter;

    void PlaceGadgets();
    TSize GadgetSize(TGadget& gadget);

    std::vector<TGadget*> gadgets_;
    TTileDirection direction_;
    TMargins margins_;
    std::unique_ptr<QFont> font_;
    int columns_ = 0;
    TGadget* hot_ = nullptr;
    TGadget* captured_ = nullptr;
    bool inLayout_ = false;
};

// A tool bar: a gadget window with a little room around its gadgets.
class TControlBar : public TGadgetWindow {
public:
    explicit TControlBar(TWindow* parent = nullptr, TTileDirection direction = Horizontal, TModule* module = nullptr);
};
