// The desktop window's rectangle, the snap-to-default-button setting and the
// mouse cursor's place.

#include "platform/ui/desktop.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window_api.h"

#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

TEST(DesktopWindowTest, RectangleIsTheWholeScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->virtualGeometry();
    TRect rect;
    ASSERT_TRUE(GetWindowRect(GetDesktopWindow(), &rect));
    EXPECT_EQ(rect, TRect(screen.left(), screen.top(), screen.right() + 1, screen.bottom() + 1));
    EXPECT_FALSE(rect.IsEmpty());

    TRect client;
    ASSERT_TRUE(GetClientRect(GetDesktopWindow(), &client));
    EXPECT_EQ(client, TRect(0, 0, rect.Width(), rect.Height()));

    // No window object stands behind it: window calls leave it alone.
    EXPECT_FALSE(DestroyWindow(GetDesktopWindow()));
    EXPECT_FALSE(GetWindowRect(GetDesktopWindow(), nullptr));
    EXPECT_EQ(GetDesktopWindow(), GetDesktopWindow());
}

TEST(DesktopWindowTest, SnapToDefaultButtonIsOffUntilSwitchedOn)
{
    BOOL snap = 1;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETSNAPTODEFBUTTON, 0, &snap, 0));
    EXPECT_EQ(snap, 0);

    ASSERT_TRUE(SystemParametersInfo(SPI_SETSNAPTODEFBUTTON, 1, nullptr, 0));
    ASSERT_TRUE(SystemParametersInfo(SPI_GETSNAPTODEFBUTTON, 0, &snap, 0));
    EXPECT_NE(snap, 0);

    ASSERT_TRUE(SystemParametersInfo(SPI_SETSNAPTODEFBUTTON, 0, nullptr, 0));
    ASSERT_TRUE(SystemParametersInfo(SPI_GETSNAPTODEFBUTTON, 0, &snap, 0));
    EXPECT_EQ(snap, 0);

    EXPECT_FALSE(SystemParametersInfo(SPI_GETSNAPTODEFBUTTON, 0, nullptr, 0));
    EXPECT_FALSE(SystemParametersInfo(12345, 0, &snap, 0));
}

TEST(DesktopWindowTest, CursorGoesWhereItIsPut)
{
    TTestDriver driver;
    ASSERT_TRUE(SetCursorPos(123, 45));
    TPoint point;
    ASSERT_TRUE(GetCursorPos(&point));
    EXPECT_EQ(point, TPoint(123, 45));

    ASSERT_TRUE(SetCursorPos(7, 300));
    ASSERT_TRUE(GetCursorPos(&point));
    EXPECT_EQ(point, TPoint(7, 300));
    EXPECT_FALSE(GetCursorPos(nullptr));
}

}  // namespace
