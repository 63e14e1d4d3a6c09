// Window timers on the virtual clock of the tests.

#include "platform/ui/testing/test_driver.h"
#include "platform/ui/timer.h"
#include "platform/ui/window.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

class TTickWindow : public TWindow {
public:
    TTickWindow() : TWindow(nullptr, "ticks") {}
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }
    std::vector<std::pair<long, UINT>> ticks;  // (virtual time, timer id)
    bool stopAfterTwo = false;

private:
    void EvTimer(UINT id)
    {
        ticks.emplace_back(TimerTesting::VirtualNow(), id);
        if (stopAfterTwo && ticks.size() == 2)
            KillTimer(id);
    }
};

const TResponseTable TTickWindow::Responses{&TWindow::Responses, {
    OnMessage<&TTickWindow::EvTimer>(WM_TIMER),
}};

TEST(TimerTest, TicksFallDueOnTheVirtualClockInTimeOrder)
{
    ASSERT_TRUE(TimerTesting::UsingVirtualTimers());
    TTestDriver driver;
    TTickWindow window;
    ASSERT_TRUE(window.Create());
    const long start = TimerTesting::VirtualNow();
    EXPECT_EQ(window.SetTimer(1000, 1000), 1000u);
    EXPECT_EQ(window.SetTimer(1017, 300), 1017u);
    driver.AdvanceTime(999);
    std::vector<std::pair<long, UINT>> expected{{start + 300, 1017}, {start + 600, 1017}, {start + 900, 1017}};
    EXPECT_EQ(window.ticks, expected);
    driver.AdvanceTime(1);
    EXPECT_EQ(window.ticks.back(), std::make_pair(start + 1000, 1000u));
    // Setting a timer again restarts it with the new period.
    window.ticks.clear();
    window.SetTimer(1000, 50);
    EXPECT_TRUE(window.KillTimer(1017));
    EXPECT_FALSE(window.KillTimer(1017));
    driver.AdvanceTime(120);
    expected = {{start + 1050, 1000}, {start + 1100, 1000}};
    EXPECT_EQ(window.ticks, expected);
}

TEST(TimerTest, AHandlerMayKillItsOwnTimer)
{
    TTestDriver driver;
    TTickWindow window;
    window.stopAfterTwo = true;
    ASSERT_TRUE(window.Create());
    window.SetTimer(5, 10);
    driver.AdvanceTime(100);
    EXPECT_EQ(window.ticks.size(), 2u);
}

TEST(TimerTest, DestroyingTheWindowStopsItsTimers)
{
    TTestDriver driver;
    const int before = TimerTesting::ActiveTimerCount();
    {
        TTickWindow window;
        ASSERT_TRUE(window.Create());
        window.SetTimer(1, 10);
        window.SetTimer(2, 20);
        EXPECT_EQ(TimerTesting::ActiveTimerCount(), before + 2);
    }
    EXPECT_EQ(TimerTesting::ActiveTimerCount(), before);
    driver.AdvanceTime(100);  // nothing left to tick
    EXPECT_EQ(SetTimer(nullptr, 1, 10), 0u);
}

}  // namespace
