// The main() of every UI test program: a QApplication on Qt's offscreen
// platform with the platform's style and fonts, window timers on a virtual
// clock, then the tests.

#include "platform/ui/application.h"
#include "platform/ui/timer.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace {

QtMessageHandler g_qtDefault = nullptr;

// The offscreen platform says what it cannot do (raise a window, grab the
// keyboard); nothing here needs it, so those notes are left out.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (g_qtDefault)
        g_qtDefault(type, context, message);
}

}  // namespace

int main(int argc, char** argv)
{
    g_qtDefault = qInstallMessageHandler(QuietHandler);
    // Also when the test list is read at build time, outside CTest's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("QT_QPA_PLATFORMTHEME");
    qputenv("PLV_TEST_SOURCE_DIR", PLV_TEST_SOURCE_DIR);
    QApplication app(argc, argv);
    InitPlatformUi();
    TimerTesting::UseVirtualTimers();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
