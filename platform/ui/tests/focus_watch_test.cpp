// Watching the keyboard focus move through the program, and a frame's
// maximised and minimised state.

#include "platform/ui/controls/edit.h"
#include "platform/ui/focus_watch.h"
#include "platform/ui/frame_window.h"
#include "platform/ui/testing/test_driver.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(FocusWatchTest, HearsEveryWindowThatGetsTheFocusUntilItGoes)
{
    TTestDriver driver;
    TFrameWindow frame(nullptr, "Focus");
    auto* first = new TEdit(&frame, 101, "", 10, 10, 100, 20);
    auto* second = new TEdit(&frame, 102, "", 10, 40, 100, 20);
    driver.Show(frame);
    driver.Focus(frame, 102);

    std::vector<HWND> gained;
    {
        TFocusWatch watch([&](HWND window) { gained.push_back(window); });
        driver.Focus(frame, 101);
        driver.Focus(frame, 102);
        driver.Focus(frame, 101);
    }
    driver.Focus(frame, 102);
    driver.ProcessEvents();

    const std::vector<HWND> expected{first->GetHandle(), second->GetHandle(), first->GetHandle()};
    EXPECT_EQ(gained, expected);
}

TEST(FrameStateTest, MaximisedAndMinimisedAreToldApart)
{
    TTestDriver driver;
    TFrameWindow frame(nullptr, "State");
    driver.Show(frame);
    EXPECT_FALSE(frame.IsZoomed());
    EXPECT_FALSE(frame.IsIconic());
    frame.ShowWindow(SW_SHOWMAXIMIZED);
    driver.ProcessEvents();
    EXPECT_TRUE(frame.IsZoomed());
    frame.ShowWindow(SW_SHOWMINIMIZED);
    driver.ProcessEvents();
    EXPECT_TRUE(frame.IsIconic());
    frame.ShowWindow(SW_RESTORE);
    driver.ProcessEvents();
    EXPECT_FALSE(frame.IsZoomed());
    EXPECT_FALSE(frame.IsIconic());
}

}  // namespace
