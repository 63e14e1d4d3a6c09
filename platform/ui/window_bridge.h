#pragma once
// The bridge between Qt widgets and window objects (internal to the layer).
// Qt events on a window's widgets become window messages: keyboard and
// mouse input first passes the PreProcessMsg of the window and its parents,
// then goes to the window's dispatch; the Qt event itself reaches the widget
// only if the message gets default processing (DefWindowProc), exactly when
// a window procedure would have passed it on.

#include "platform/ui/window.h"

#include <qnamespace.h>

class QEvent;
class QObject;
class QPaintEvent;
class QWidget;

class TWindowBridge {
public:
    // Starts translating the events of the window's widgets.
    static void Attach(TWindow& window);
    // Another widget whose events belong to the window (a list's viewport).
    // With `propagate`, input the widget ignores goes on to its Qt parent.
    static void AddEventSource(TWindow& window, QWidget* source, bool propagate = false);
    static void Detach(TWindow& window);
    static TWindow* WindowFor(const QObject* object);

    // Default processing of `msg`: the Qt event it came from (or, for a
    // message the program sent itself, an equivalent event) goes to the widget.
    static bool DeliverNative(TWindow& window, UINT msg, WPARAM wParam, LPARAM lParam);
    // The paint event being translated for the window, or null.
    static QPaintEvent* PendingPaint(TWindow& window);
    // A natively painted control's inner widget is about to paint.
    static void PrepareNativePaint(TWindow& window);
    // Runs the PreProcessMsg chain for a message about to be dispatched.
    static bool PreProcess(TWindow& target, MSG& msg);

    // Keyboard modifiers and mouse buttons of the input being handled.
    static Qt::KeyboardModifiers CurrentModifiers();
    static Qt::MouseButtons CurrentButtons();
    static UINT MouseKeyState();

    // The mouse on the screen as of the last mouse input.
    static TPoint CursorPos();
    static void SetCursorPos(TPoint point);
    static HWND Capture();
    static void SetCapture(HWND hwnd);
};

// Virtual-key codes and Qt keys.
UINT VirtualKeyFromQt(int qtKey);
int QtKeyFromVirtualKey(UINT vk);
