#pragma once
// Windows that keep a backing image of their client area. The image holds
// the client area's pixels: paint requests (Invalidate, InvalidateRect,
// UpdateWindow, ScrollWindowEx, InvalidateRgn, a new size) are served by
// running the window's Paint into it, and the widget's paint event only
// copies it to the screen. Because the pixels stay, a client context
// (TClientDC on the window's handle) can draw into them at any time, outside
// paint requests, and read them back: XOR tracking of a drag gives back
// every pixel when drawn twice, and what it drew is shown by copying.

#include "platform/gdi/window_dc.h"

#include <QImage>
#include <QRegion>

class QPainter;
class QWidget;
class TWindow;

// The window option, set before or after the window is made (and kept while
// the window object lives). A new size paints the whole image again.
void KeepBackingImage(TWindow& window, bool keep = true);
bool KeepsBackingImage(const TWindow& window);

// The backing image of a window that exists and keeps one; null otherwise.
class TBackingImage;
TBackingImage* GetBackingImage(const TWindow& window);

// Internal to the layer: the window's widget goes (the image goes with it,
// the option stays); the window object goes (the option too).
void ReleaseBackingImage(const TWindow& window);
void ForgetBackingImage(const TWindow& window);

class TBackingImage : public TWindowSurface {
public:
    TBackingImage(TWindow& window, QWidget& client) : window_(window), client_(client) {}

    // The client area, as large as the widget is now.
    TRect GetClientRect() const override;
    // Moves pixels of the image and shows the change.
    void ScrollPixels(int dx, int dy, const TRect& area) override;
    // Records an area to paint into the image and asks for it to be shown.
    void Invalidate(const QRegion& region, bool erase) override;

    // Brings the image to the widget's size (a new size is painted whole) and
    // paints what is invalid into it through the window's Paint. Does nothing
    // while a paint into the image runs already.
    void Serve();
    // Copies part of the image to a painter on the widget.
    void CopyTo(QPainter& painter, const QRect& area) const;
    // Has the widget show the image again (after a client context drew into it).
    void Show(const QRect& area);

    QImage& Image() { return image_; }
    const QRegion& InvalidRegion() const { return invalid_; }

private:
    void Erase(const QRegion& region);

    TWindow& window_;
    QWidget& client_;
    QImage image_;
    QRegion invalid_;
    bool erase_ = false;
    bool serving_ = false;
};

// Lets client contexts on window handles (TClientDC) reach backing images.
void InstallClientAreaAccess();
