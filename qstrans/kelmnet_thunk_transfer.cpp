#include "qstrans/kelmnet_thunk_transfer.h"

#include "platform/ui/message_box.h"
#include "qstrans/fieldbus_transfer_host.h"
#include "qstrans/kelmnet_transfer.h"
#include "qstrans/qstrans_strings.h"

void CKelmnetThunkTransfer::UploadDatabase()
{
    if (host_.GetTransferWindow())
        ShowError();
}

void CKelmnetThunkTransfer::DownloadDatabase()
{
    if (host_.GetTransferWindow())
        ShowError();
}

void CKelmnetThunkTransfer::ShowError()
{
    if (const int id = KelmnetErrorString(openState_, connectionResult_))
        MessageBoxDialog(host_.GetTransferWindow(), QsString(id), "", MB_OK | MB_ICONSTOP);
}

// Without the 16-bit library there is no version to show and no settings to make.
void CKelmnetThunkTransfer::ShowVersion()
{
    ShowError();
}

void CKelmnetThunkTransfer::ShowConfiguration()
{
    ShowError();
}
