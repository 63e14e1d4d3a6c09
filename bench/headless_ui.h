#pragma once

// Starts the widget layer once for a benchmark process. Without a display
// the offscreen platform is used, as in the tests; a platform given in
// QT_QPA_PLATFORM is kept.

#include "platform/ui/application.h"

#include <QApplication>

#include <cstdlib>

inline QApplication& StartHeadlessUi(const char* programName)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char* argv[] = {const_cast<char*>(programName), nullptr};
    static QApplication* app = [] {
        auto* a = new QApplication(argc, argv);
        InitPlatformUi();
        return a;
    }();
    return *app;
}
