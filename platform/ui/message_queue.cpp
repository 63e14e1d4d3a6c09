#include "platform/ui/message_queue.h"

#include "platform/ui/window_api.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>

#include <deque>

namespace {

struct Posted {
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    bool quit;
};

const QEvent::Type kWakeEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// One wake-up event per posted message; each takes the oldest message, so
// the order of posting is kept whatever else the event loop does between.
class Pump : public QObject {
public:
    std::deque<Posted> queue;

    bool event(QEvent* e) override
    {
        if (e->type() != kWakeEvent)
            return QObject::event(e);
        if (queue.empty())
            return true;
        const Posted m = queue.front();
        queue.pop_front();
        if (m.quit) {
            // Only a running message loop is ended: a quit that arrives while
            // none runs (a program driven by processEvents alone) must not
            // end the next modal loop before it starts.
            if (QThread::currentThread()->loopLevel() > 0)
                QCoreApplication::exit(static_cast<int>(m.wParam));
        }
        else if (IsWindow(m.hwnd))
            SendMessage(m.hwnd, m.msg, m.wParam, m.lParam);
        return true;
    }
};

Pump& TheQueue()
{
    static Pump* pump = new Pump;  // lives as long as the program
    return *pump;
}

void Wake()
{
    QCoreApplication::postEvent(&TheQueue(), new QEvent(kWakeEvent));
}

}  // namespace

bool QueueMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!IsWindow(hwnd))
        return false;
    TheQueue().queue.push_back({hwnd, msg, wParam, lParam, false});
    Wake();
    return true;
}

void QueueQuit(int exitCode)
{
    TheQueue().queue.push_back({nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0, true});
    Wake();
}

void PurgePostedMessages(HWND hwnd)
{
    std::erase_if(TheQueue().queue, [hwnd](const Posted& m) { return !m.quit && m.hwnd == hwnd; });
}

int PostedMessageCount()
{
    return static_cast<int>(TheQueue().queue.size());
}
