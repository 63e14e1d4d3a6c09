// The main() of every UI test program: a QApplication on Qt's offscreen
// platform with the platform's style and fonts, window timers on a virtual
// clock, then the tests.

#include "platform/ui/application.h"
#include "platform/ui/timer.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Also when the test list is read at build time, outside CTest's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("QT_QPA_PLATFORMTHEME");
    QApplication app(argc, argv);
    InitPlatformUi();
    TimerTesting::UseVirtualTimers();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
