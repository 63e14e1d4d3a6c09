#pragma once
// The contexts bound to a window, and the window calls that move or
// invalidate its pixels. They reach the window through what the windows
// layer gives them: the painter of a paint event, or an image the window
// keeps as its backing; for scrolling and invalidation a TWindowSurface.
//
// - TPaintDC: painting in answer to a paint request; drawing is clipped to
//   the area to be painted.
// - TClientDC: the client area at any time (the XOR tracking of drags). On a
//   window handle it draws into the window's backing image, when the window
//   keeps one; on any other window it only answers questions (size,
//   resolution, mapping conversions) and draws nothing.
// - TWindowDC: the whole window; over the same seams as a client context.
// - TScreenDC: the screen's answers (size, resolution), for measuring.

#include "platform/base/win_types.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/region.h"

#include <QImage>
#include <QRegion>

#include <functional>

class QPainter;

class TWindowDC : public TDC {
public:
    explicit TWindowDC(QPainter& painter) : TDC(painter) {}
    explicit TWindowDC(QImage& surface) : TDC(surface) {}

protected:
    TWindowDC() = default;
};

class TClientDC : public TWindowDC {
public:
    explicit TClientDC(QPainter& painter) : TWindowDC(painter) {}
    explicit TClientDC(QImage& surface) : TWindowDC(surface) {}
    // The client area of a window. Its backing image is first brought up to
    // date (what waits to be painted is painted); what the context draws is
    // shown when it ends. A null or stale handle gives a context of size 0.
    explicit TClientDC(HWND window);
    ~TClientDC() override;

private:
    HWND window_ = nullptr;  // set while drawing into its backing image
};

// How client contexts reach windows; the windows layer installs it.
struct TClientAreaAccess {
    // The window's backing image, brought up to date; null when it keeps none.
    QImage* (*image)(HWND window) = nullptr;
    // The size of the window's client area in pixels.
    TSize (*size)(HWND window) = nullptr;
    // The image was drawn on: show it.
    void (*changed)(HWND window) = nullptr;
};
void SetClientAreaAccess(const TClientAreaAccess& access);

// The screen: its size and resolution (LOGPIXELSY for font sizes in
// points). Nothing is drawn on the screen itself; windows are drawn through
// their own contexts.
class TScreenDC : public TDC {
public:
    TScreenDC();
};

class TPaintDC : public TDC {
public:
    // The area to paint in device units, and whether the background was
    // asked to be erased first.
    TPaintDC(QPainter& painter, const TRect& paintRect, bool erase);
    TPaintDC(QImage& surface, const TRect& paintRect, bool erase);

    const TRect& GetPaintRect() const { return paintRect_; }
    bool GetErase() const { return erase_; }

private:
    TRect paintRect_;
    bool erase_;
};

// Runs `use` with a context that draws through the painter of a paint event
// (clipped as the painter is). Its type fits the windows layer's paint
// bridge, which makes the context for TWindow::Paint.
void PaintWithPainter(QPainter& painter, const std::function<void(TDC&)>& use);

// What the scrolling and invalidation calls need of a window.
class TWindowSurface {
public:
    virtual ~TWindowSurface() = default;
    virtual TRect GetClientRect() const = 0;
    // Moves the pixels inside `area` (client units) by (dx, dy); pixels that
    // would leave `area` are dropped, what is uncovered is left as it was.
    virtual void ScrollPixels(int dx, int dy, const TRect& area) = 0;
    // Marks an area (client units) to be painted again.
    virtual void Invalidate(const QRegion& region, bool erase) = 0;
};

// A window surface over an image that keeps the area waiting to be painted:
// for windows that paint into a backing image, and for tests.
class TImageSurface : public TWindowSurface {
public:
    explicit TImageSurface(QImage& image) : image_(image) {}
    TRect GetClientRect() const override { return TRect(0, 0, image_.width(), image_.height()); }
    void ScrollPixels(int dx, int dy, const TRect& area) override;
    void Invalidate(const QRegion& region, bool erase) override;
    const QRegion& InvalidRegion() const { return invalid_; }
    bool EraseRequested() const { return erase_; }
    void Validate()
    {
        invalid_ = QRegion();
        erase_ = false;
    }

private:
    QImage& image_;
    QRegion invalid_;
    bool erase_ = false;
};

// Moves the pixels of `scroll` (null: the whole client area) by (dx, dy),
// only inside `clip` (null: the client area). The area the move uncovers is
// given back in `update` and `updateRect` (either may be null) and, with
// SW_INVALIDATE, invalidated (erased first with SW_ERASE). Child windows are
// the windows layer's business (SW_SCROLLCHILDREN). The answer is the kind of
// the uncovered area (NULLREGION, SIMPLEREGION, COMPLEXREGION).
int ScrollWindowEx(TWindowSurface& window, int dx, int dy, const TRect* scroll, const TRect* clip,
                   TRegion* update, TRect* updateRect, UINT flags);
// Invalidates a region in client units; null: the whole client area.
BOOL InvalidateRgn(TWindowSurface& window, const TRegion* region, bool erase);
