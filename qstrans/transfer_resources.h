#pragma once
// The transfer program's resources: the main dialog (102) with its menu
// (129), the port dialog (130) and the fieldbus node dialog (131), and the
// ids of their controls and commands.

constexpr int IDD_QSTRANS_DIALOG = 102;
constexpr int IDR_MAINMENU = 129;
constexpr int IDD_PORT_DIALOG = 130;
constexpr int IDD_NODE_DIALOG = 131;

// Main dialog.
constexpr int IDC_DOWNLOAD_DATABASE = 1001;
constexpr int IDC_DOWNLOAD_PROTOCOL = 1002;
constexpr int IDC_DOWNLOAD_SYSTEM = 1003;
constexpr int IDC_UPLOAD_DATABASE = 1004;
constexpr int IDC_SELECT_DATABASE = 1005;
constexpr int IDC_SELECT_PROTOCOL1 = 1006;
constexpr int IDC_SELECT_PROTOCOL2 = 1007;
constexpr int IDC_SELECT_SYSTEM = 1008;
constexpr int IDC_START_TRANSFER = 1009;
constexpr int IDC_CANCEL_TRANSFER = 1010;
constexpr int IDC_DATABASE_NAME = 1012;
constexpr int IDC_PROTOCOL1_NAME = 1013;
constexpr int IDC_PROTOCOL2_NAME = 1014;
constexpr int IDC_SYSTEM_NAME = 1015;
constexpr int IDC_STATUS = 1016;
constexpr int IDC_PROGRESS = 1025;
constexpr int IDC_COMMPORT = 1026;
constexpr int IDC_EXIT_PROGRAM = 1;  // IDOK

// Timers of the transfer steps.
constexpr unsigned kStepTimer = 1017;
// The serial steps: one message of the dialog's own, the step in wParam,
// so no step is taken for a message the dialog also answers (WM_USER+1 is
// the default-button message).
constexpr unsigned kSerialStepMessage = 0x8000 + 0x103;
// The fieldbus back-end's poll timer and its posted steps (WM_USER+12).
constexpr unsigned kFieldbusPollTimer = 1027;
constexpr unsigned kFieldbusStepMessage = 0x0400 + 12;

// Menu commands.
constexpr unsigned ID_FILE_EXIT = 1;
constexpr unsigned ID_SETTINGS_PORT = 32772;
constexpr unsigned ID_SPECIAL_ERASE_FLASH = 32773;
constexpr unsigned ID_SPECIAL_GOTO_TRANSFER = 32774;
constexpr unsigned ID_KELMNET_DATABASE_TRANSFER = 32775;
constexpr unsigned ID_KELMNET_CONFIGURATION = 32776;
constexpr unsigned ID_VARNHOLT_NET_VERSION = 32777;
constexpr unsigned ID_APP_ABOUT = 32778;
constexpr unsigned ID_HELP_CONTENTS = 32779;
constexpr int kSpecialMenu = 2;  // position of "S&pecial" in the bar

// Port dialog: "Com 1".."Com 4".
constexpr int IDC_COM1 = 1019;

// Node dialog.
constexpr int IDC_NODE_ID = 1021;
constexpr int IDC_BACKGROUND = 1024;

// The help file and the context of the main dialog.
constexpr const char* kHelpFile = "\\HELP\\PLINTVLR.HLP";
constexpr unsigned long kHelpContext = 0x20066;

void RegisterTransferResources();
