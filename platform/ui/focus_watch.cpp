#include "platform/ui/focus_watch.h"

#include "platform/ui/window_bridge.h"

#include <QApplication>
#include <QWidget>

TFocusWatch::TFocusWatch(std::function<void(HWND gaining)> handler) : context_(std::make_unique<QObject>())
{
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app)
        return;
    QObject::connect(app, &QApplication::focusChanged, context_.get(),
                     [handler = std::move(handler)](QWidget*, QWidget* now) {
                         // An inner widget (a combo box's edit) stands for its window.
                         TWindow* window = TWindowBridge::WindowFor(now);
                         handler(window ? window->GetHandle() : nullptr);
                     });
}

TFocusWatch::~TFocusWatch() = default;
