#include "platform/ui/timer.h"

#include "platform/ui/window_api.h"

#include <QTimer>

#include <algorithm>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace {

struct TimerKey {
    HWND hwnd;
    UINT id;
    bool operator<(const TimerKey& o) const { return std::pair(hwnd, id) < std::pair(o.hwnd, o.id); }
};

struct VirtualTimer {
    HWND hwnd;
    UINT id;
    long period;
    long due;
    long serial;  // orders timers that fall due together by when they were set
};

bool g_virtual = false;
long g_now = 0;
long g_serial = 0;
std::vector<VirtualTimer> g_virtualTimers;
std::map<TimerKey, std::unique_ptr<QTimer>> g_realTimers;

void Tick(HWND hwnd, UINT id)
{
    if (IsWindow(hwnd))
        SendMessage(hwnd, WM_TIMER, id, 0);
}

}  // namespace

UINT SetTimer(HWND hwnd, UINT id, UINT elapseMs)
{
    if (!IsWindow(hwnd))
        return 0;
    const long period = std::max<long>(1, static_cast<long>(elapseMs));
    if (g_virtual) {
        auto it = std::find_if(g_virtualTimers.begin(), g_virtualTimers.end(),
                               [&](const VirtualTimer& t) { return t.hwnd == hwnd && t.id == id; });
        if (it == g_virtualTimers.end())
            g_virtualTimers.push_back({hwnd, id, period, g_now + period, ++g_serial});
        else
            *it = {hwnd, id, period, g_now + period, ++g_serial};
        return id;
    }
    auto& timer = g_realTimers[{hwnd, id}];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        QObject::connect(timer.get(), &QTimer::timeout, [hwnd, id] { Tick(hwnd, id); });
    }
    timer->start(static_cast<int>(period));
    return id;
}

bool KillTimer(HWND hwnd, UINT id)
{
    if (g_virtual) {
        auto it = std::find_if(g_virtualTimers.begin(), g_virtualTimers.end(),
                               [&](const VirtualTimer& t) { return t.hwnd == hwnd && t.id == id; });
        if (it == g_virtualTimers.end())
            return false;
        g_virtualTimers.erase(it);
        return true;
    }
    auto it = g_realTimers.find({hwnd, id});
    if (it == g_realTimers.end())
        return false;
    // The timer may be the one whose tick is running: delete it later.
    it->second->stop();
    it->second.release()->deleteLater();
    g_realTimers.erase(it);
    return true;
}

void KillAllTimers(HWND hwnd)
{
    std::erase_if(g_virtualTimers, [&](const VirtualTimer& t) { return t.hwnd == hwnd; });
    for (auto it = g_realTimers.begin(); it != g_realTimers.end();) {
        if (it->first.hwnd == hwnd) {
            it->second->stop();
            it->second.release()->deleteLater();
            it = g_realTimers.erase(it);
        } else {
            ++it;
        }
    }
}

namespace TimerTesting {

void UseVirtualTimers()
{
    g_virtual = true;
}

bool UsingVirtualTimers()
{
    return g_virtual;
}

void AdvanceVirtualTime(long ms)
{
    const long target = g_now + std::max(0L, ms);
    for (;;) {
        auto next = std::min_element(g_virtualTimers.begin(), g_virtualTimers.end(),
                                     [](const VirtualTimer& a, const VirtualTimer& b) {
                                         return std::pair(a.due, a.serial) < std::pair(b.due, b.serial);
                                     });
        if (next == g_virtualTimers.end() || next->due > target)
            break;
        g_now = next->due;
        next->due += next->period;
        next->serial = ++g_serial;
        // The handler may set or kill timers: copy what it needs first.
        const HWND hwnd = next->hwnd;
        const UINT id = next->id;
        Tick(hwnd, id);
    }
    g_now = target;
}

long VirtualNow()
{
    return g_now;
}

int ActiveTimerCount()
{
    return static_cast<int>(g_virtual ? g_virtualTimers.size() : g_realTimers.size());
}

}  // namespace TimerTesting
