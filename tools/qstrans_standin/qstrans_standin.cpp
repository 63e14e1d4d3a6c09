// The transfer program's stand-in. It appends to the file named by
// QSTRANS_STANDIN_LOG one line: the time, its process id, its working folder
// and the five hand-off keys it finds in "QSTRANS.INI", then ends. With
// QSTRANS_STANDIN_STAY set it stays, holding the transfer program's single
// instance with a window captioned "Quellstor Transfer Utility", until it is
// ended.

#include "platform/base/profile.h"
#include "platform/ui/application.h"
#include "platform/ui/single_instance.h"
#include "platform/ui/styles.h"
#include "platform/ui/window.h"

#include <unistd.h>

#include <QApplication>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr const char* kCaption = "Quellstor Transfer Utility";

std::string Key(const char* section, const char* key)
{
    char value[4096] = {};
    GetPrivateProfileString(section, key, "", value, sizeof value, "QSTRANS.INI");
    return value;
}

void AppendLog(const char* file)
{
    std::ofstream log(file, std::ios::app);
    log << std::time(nullptr) << '|' << ::getpid() << '|' << std::filesystem::current_path().string() << '|'
        << Key("File Locations", "DatabasePath") << '|' << Key("File Locations", "DatabaseName") << '|'
        << Key("File Locations", "ProtocolPath") << '|' << Key("File Locations", "SystemPath") << '|'
        << Key("Quellstor Type", "QuellstorType") << '\n';
}

}  // namespace

int main(int argc, char** argv)
{
    if (const char* log = std::getenv("QSTRANS_STANDIN_LOG"); log && *log)
        AppendLog(log);
    const char* stay = std::getenv("QSTRANS_STANDIN_STAY");
    if (!stay || !*stay)
        return 0;
    QApplication app(argc, argv);
    InitPlatformUi();
    TSingleInstance instance(kCaption, "QSTRANS");
    if (!instance.IsFirst())
        return 0;
    TWindow window(nullptr, kCaption);
    window.Attr.Style = WS_OVERLAPPEDWINDOW;
    window.Create();
    window.ShowWindow(SW_SHOW);
    instance.SetWindow(&window);
    return app.exec();
}
