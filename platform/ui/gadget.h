#pragma once
// Gadgets: the light-weight items of a gadget window (tool bars, status
// bars). A gadget is no window of its own: its gadget window lays it out,
// paints it and hands it the mouse. Gadgets are made with `new` and belong
// to the gadget window they are inserted into; one that is removed belongs
// to whoever removed it.

#include "platform/base/win_types.h"
#include "platform/base/geometry.h"

#include <string>

class QColor;
class QPainter;
class QRect;
class TDC;
class TGadgetWindow;

// Space around a gadget's contents or a gadget window's gadgets, in pixels.
struct TMargins {
    int Left = 0;
    int Right = 0;
    int Top = 0;
    int Bottom = 0;
};

class TGadget {
public:
    enum TBorderStyle { None, Plain, Raised, Recessed, Embossed };

    explicit TGadget(int id = 0, TBorderStyle borderStyle = None);
    virtual ~TGadget();
    TGadget(const TGadget&) = delete;
    TGadget& operator=(const TGadget&) = delete;

    int GetId() const { return id_; }
    TGadgetWindow* GetGadgetWindow() const { return window_; }

    TBorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    // Pixels of border on each side for the style.
    int BorderWidth() const;
    const TMargins& GetMargins() const { return margins_; }
    void SetMargins(const TMargins& margins);

    // The place in the gadget window's client area, set by its layout.
    const TRect& GetBounds() const { return bounds_; }
    virtual void SetBounds(const TRect& bounds);
    // The size the gadget wants, borders and margins included. A dimension
    // that is not shrink-wrapped takes the size set with SetSize.
    virtual void GetDesiredSize(TSize& size);
    void SetShrinkWrap(bool width, bool height);
    void SetSize(const TSize& size);
    // A gadget that takes what room its window has left (the message area).
    bool WideAsPossible = false;

    bool GetEnabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);

    // Asks the command route whether the gadget's command is available now;
    // gadget windows call it while the program is idle.
    virtual void CommandEnable() {}
    // The command whose hint the frame shows while the mouse is over the
    // gadget (0: none).
    virtual UINT HintCommand() const { return 0; }
    // The tool tip shown over the gadget (empty: none).
    virtual std::string GetTooltipText() const;

    // Repaints the gadget.
    void Invalidate();
    // Whether the gadget takes mouse clicks (a bar does not start a drag on it).
    virtual bool WantsMouse() const { return false; }

protected:
    friend class TGadgetWindow;

    // The contents' size without borders and margins.
    virtual TSize ContentsSize() { return {}; }
    // Paints the border, then the contents in the inner rectangle.
    virtual void Paint(QPainter& painter);
    virtual void PaintContents(QPainter& painter, const QRect& inner);
    // Gadgets of the programs draw with a device context: when DrawsWithDC
    // answers true, PaintDC runs after Paint (border, button face), in the
    // gadget window's client pixels with the window's font selected.
    virtual bool DrawsWithDC() const { return false; }
    virtual void PaintDC(TDC& /*dc*/) {}
    // A one-pixel frame around `rect`: its top and left edges in `topLeft`,
    // the others in `bottomRight`.
    static void PaintFrame(QPainter& painter, const QRect& rect, const QColor& topLeft, const QColor& bottomRight);
    TRect GetInnerRect() const;

    // The mouse, in the gadget window's client coordinates.
    virtual void LButtonDown(UINT keys, const TPoint& point);
    virtual void LButtonUp(UINT keys, const TPoint& point);
    virtual void MouseMove(UINT keys, const TPoint& point);
    virtual void MouseEnter(UINT keys, const TPoint& point);
    virtual void MouseLeave(UINT keys, const TPoint& point);

    virtual void Inserted() {}
    virtual void Removed() {}
    // The size the gadget wants changed: its window lays out again.
    void SizeChanged();

private:
    TGadgetWindow* window_ = nullptr;
    int id_;
    TBorderStyle borderStyle_;
    TMargins margins_;
    TRect bounds_;
    TSize size_;
    bool shrinkWidth_ = true;
    bool shrinkHeight_ = true;
    bool enabled_ = true;
};

// Empty room between gadgets, `size` pixels along the window's direction.
class TSeparatorGadget : public TGadget {
public:
    explicit TSeparatorGadget(int size = 6);

protected:
    TSize ContentsSize() override { return {size_, size_}; }

private:
    int size_;
};
