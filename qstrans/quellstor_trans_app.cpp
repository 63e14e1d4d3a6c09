#include "qstrans/quellstor_trans_app.h"

#include "platform/base/paths.h"
#include "platform/ui/message_box.h"
#include "platform/ui/single_instance.h"
#include "qstrans/file_locations.h"
#include "qstrans/qstrans_strings.h"
#include "qstrans/quellstor_trans_dlg.h"
#include "qstrans/transfer_resources.h"
#include "qstrans/transfer_settings.h"

CQuellstorTransApp::CQuellstorTransApp() : TApplication("QSTRANS")
{
    RegisterTransferResources();
}

void CQuellstorTransApp::ReadFileLocations()
{
    x = TransferSettings().GetInt("", "x", 0);
    y = TransferSettings().GetInt("", "y", 0);
    refused_.clear();
    const CFileLocations l = ReadHandOffFile(&refused_);
    databasePath = l.databasePath;
    databaseName = l.databaseName;
    protocolPath1 = l.protocolPath;
    protocolPath2 = l.protocolPath;
    systemPath = l.systemPath;
    systemName.clear();
}

int CQuellstorTransApp::RunMainDialog()
{
    CQuellstorTransDlg dialog(*this);
    if (installRoutes)
        installRoutes(dialog);
    const int result = dialog.Execute();
    TransferSettings().WriteInt("", "x", x);
    TransferSettings().WriteInt("", "y", y);
    return result;
}

int CQuellstorTransApp::Run()
{
    TSingleInstance instance(QsString(kStrCaption));
    if (!instance.IsFirst())
        return 0;
    ReadFileLocations();
    helpFilePath = ProgramPath(kHelpFile);
    for (const std::string& text : refused_)
        MessageBoxDialog(nullptr, text.c_str(), QsString(kStrCaption), MB_OK | MB_ICONEXCLAMATION);
    RunMainDialog();
    return 0;
}
