#include "qstrans/transfer_resources.h"

#include "platform/ui/controls/comm_port.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/menu.h"
#include "qstrans/qstrans_strings.h"

void RegisterTransferResources()
{
    RegisterCommPortClass();

    RegisterMenuTemplate(IDR_MAINMENU, {
        Popup("&File", {MenuItem("E&xit", ID_FILE_EXIT)}),
        Popup("&Settings", {MenuItem("P&ort", ID_SETTINGS_PORT)}),
        Popup("S&pecial", {
            MenuItem("&Erase Flash", ID_SPECIAL_ERASE_FLASH),
            MenuItem("Goto Transfer", ID_SPECIAL_GOTO_TRANSFER),
        }),
        Popup("&Help", {
            MenuItem("&Help Topics", ID_HELP_CONTENTS),
            MenuSeparator(),
            MenuItem("&About Quellstor Transfer...", ID_APP_ABOUT),
        }),
    });

    // Each radio button is a group of its own: "Download Database" and
    // "Download Protocol" may both be chosen; the dialog unchecks the others.
    const DWORD radio = WS_GROUP | WS_TABSTOP;
    const DWORD field = ES_READONLY | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
    RegisterDialogTemplate(IDD_QSTRANS_DIALOG, {QsString(kStrCaption), 0, 0, 330, 160,
        WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME, "MS Sans Serif", 8, {
        GroupBox("Transfer", -1, 7, 4, 110, 74),
        AutoRadioButton("Download Database", IDC_DOWNLOAD_DATABASE, 14, 16, 98, 10, radio),
        AutoRadioButton("Download Protocol", IDC_DOWNLOAD_PROTOCOL, 14, 31, 98, 10, radio),
        AutoRadioButton("Download System Software", IDC_DOWNLOAD_SYSTEM, 14, 46, 98, 10, radio),
        AutoRadioButton("Upload Database", IDC_UPLOAD_DATABASE, 14, 61, 98, 10, radio),
        GroupBox("Set File Locations", -1, 124, 4, 199, 74),
        LText("Database", -1, 131, 17, 62, 8),
        EditText(IDC_DATABASE_NAME, 195, 15, 98, 12, field),
        PushButton("...", IDC_SELECT_DATABASE, 296, 15, 20, 12, WS_TABSTOP),
        LText("Protocol - Comm 1", -1, 131, 32, 62, 8),
        EditText(IDC_PROTOCOL1_NAME, 195, 30, 98, 12, field),
        PushButton("...", IDC_SELECT_PROTOCOL1, 296, 30, 20, 12, WS_TABSTOP),
        LText("Protocol - Comm 2", -1, 131, 47, 62, 8),
        EditText(IDC_PROTOCOL2_NAME, 195, 45, 98, 12, field),
        PushButton("...", IDC_SELECT_PROTOCOL2, 296, 45, 20, 12, WS_TABSTOP),
        LText("System Software", -1, 131, 62, 62, 8),
        EditText(IDC_SYSTEM_NAME, 195, 60, 98, 12, field),
        PushButton("...", IDC_SELECT_SYSTEM, 296, 60, 20, 12, WS_TABSTOP),
        GroupBox("Transfer Status", -1, 7, 82, 316, 48),
        LText("", IDC_STATUS, 14, 94, 302, 8, SS_NOPREFIX),
        Control("", IDC_PROGRESS, "msctls_progress32", 0, 14, 106, 302, 16),
        DefPushButton("Start Transfer", IDC_START_TRANSFER, 7, 138, 70, 16, WS_TABSTOP),
        PushButton("Cancel Transfer", IDC_CANCEL_TRANSFER, 84, 138, 70, 16, WS_TABSTOP),
        PushButton("Exit Program", IDC_EXIT_PROGRAM, 253, 138, 70, 16, WS_TABSTOP),
        Control("", IDC_COMMPORT, TCommPort::kClassName, 0, 0, 0, 1, 1),
    }});
    RegisterDialogMenu(IDD_QSTRANS_DIALOG, IDR_MAINMENU);

    RegisterDialogTemplate(IDD_PORT_DIALOG, {"Comm Port Selection", 0, 0, 190, 100,
        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, "MS Sans Serif", 8, {
        GroupBox("Choose Comm Port", -1, 7, 4, 70, 70),
        AutoRadioButton("Com 1", IDC_COM1, 14, 16, 50, 10, WS_GROUP | WS_TABSTOP),
        AutoRadioButton("Com 2", IDC_COM1 + 1, 14, 30, 50, 10),
        AutoRadioButton("Com 3", IDC_COM1 + 2, 14, 44, 50, 10),
        AutoRadioButton("Com 4", IDC_COM1 + 3, 14, 58, 50, 10),
        GroupBox("Port Settings are Fixed at", -1, 84, 4, 99, 70),
        LText("Baud Rate: 19200", -1, 91, 16, 85, 8),
        LText("Data Bits: 8", -1, 91, 30, 85, 8),
        LText("Stop Bits: 1", -1, 91, 44, 85, 8),
        LText("Parity: None", -1, 91, 58, 85, 8),
        DefPushButton("OK", IDOK, 40, 80, 50, 14, WS_GROUP | WS_TABSTOP),
        PushButton("Cancel", IDCANCEL, 100, 80, 50, 14, WS_TABSTOP),
    }});

    RegisterDialogTemplate(IDD_NODE_DIALOG, {"Kelmnet Transfer", 0, 0, 160, 70,
        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, "MS Sans Serif", 8, {
        LText("Enter Node ID:", -1, 10, 12, 60, 8),
        EditText(IDC_NODE_ID, 72, 10, 40, 12, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP),
        AutoCheckBox("Background Transfer", IDC_BACKGROUND, 10, 30, 100, 10, WS_TABSTOP),
        DefPushButton("OK", IDOK, 20, 48, 50, 14, WS_GROUP | WS_TABSTOP),
        PushButton("Cancel", IDCANCEL, 90, 48, 50, 14, WS_TABSTOP),
    }});
}
