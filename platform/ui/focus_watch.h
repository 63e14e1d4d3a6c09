#pragma once
// Watching where the keyboard focus goes in the program. WM_KILLFOCUS only
// reaches the window that loses the focus, and a window that hosts others
// (an MDI client) may never hold it; a focus watch hears of every move.

#include "platform/base/win_types.h"

#include <functional>
#include <memory>

class QObject;

class TFocusWatch {
public:
    // `handler` runs after the focus moved, with the window that got it
    // (null when it went to no window of the program).
    explicit TFocusWatch(std::function<void(HWND gaining)> handler);
    ~TFocusWatch();
    TFocusWatch(const TFocusWatch&) = delete;
    TFocusWatch& operator=(const TFocusWatch&) = delete;

private:
    std::unique_ptr<QObject> context_;
};
