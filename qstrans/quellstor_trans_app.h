#pragma once
// CQuellstorTransApp: the transfer program. One instance runs per user; it
// reads where the files of a transfer lie from the hand-off file that the
// configuration program's Transfer command writes, runs the main dialog,
// and keeps the dialog's place for the next run.

#include "platform/ui/application.h"

#include <functional>
#include <string>
#include <vector>

class CQuellstorTransDlg;

class CQuellstorTransApp : public TApplication {
public:
    CQuellstorTransApp();

    // Start-up, the main dialog's run and the end: the exit status.
    int Run() override;

    // The settings "x" and "y", then the hand-off file's file locations; a
    // value of the hand-off file that is refused (too long) leaves " " and
    // its message in RefusedValues.
    void ReadFileLocations();
    const std::vector<std::string>& RefusedValues() const { return refused_; }
    // Runs the main dialog and stores its place.
    int RunMainDialog();
    // Plugs the transfer routes into the main dialog before it runs.
    std::function<void(CQuellstorTransDlg&)> installRoutes;

    // The files of a transfer: folders end with their separator.
    std::string databasePath;
    std::string databaseName;
    std::string protocolPath1;
    std::string protocolPath2;
    std::string protocolName1;
    std::string protocolName2;
    std::string systemPath;
    std::string systemName;
    // The main window's place.
    int x = 0;
    int y = 0;
    // The help file of the program folder.
    std::string helpFilePath;

private:
    std::vector<std::string> refused_;
};
