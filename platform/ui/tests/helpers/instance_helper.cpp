// A single-instance program for the desktop tests: it shows a window
// captioned "Instance Helper Window", says READY, says ACTIVATED whenever
// another start or another program brings it to the front, and ends when its
// standard input closes. A second start says SECOND and ends at once.

#include "platform/ui/application.h"
#include "platform/ui/single_instance.h"
#include "platform/ui/window.h"

#include <QApplication>
#include <QSocketNotifier>

#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitPlatformUi();
    TSingleInstance instance("Instance Helper Window");
    if (!instance.IsFirst()) {
        std::puts("SECOND");
        return 0;
    }
    TWindow window(nullptr, "Instance Helper Window");
    window.Create();
    window.ShowWindow(SW_SHOW);
    instance.SetWindow(&window);
    instance.OnActivated([] {
        std::puts("ACTIVATED");
        std::fflush(stdout);
    });
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&app] {
        char buffer[64];
        if (::read(0, buffer, sizeof buffer) <= 0)
            app.quit();
    });
    std::puts("READY");
    std::fflush(stdout);
    return app.exec();
}
