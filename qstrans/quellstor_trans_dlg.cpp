#include "qstrans/quellstor_trans_dlg.h"

#include "platform/base/file_error.h"
#include "platform/base/files.h"
#include "platform/base/paths.h"
#include "platform/base/user_settings.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/help.h"
#include "platform/ui/message_box.h"
#include "platform/ui/window_api.h"
#include "qstrans/panel_family.h"
#include "qstrans/panel_file.h"
#include "qstrans/port_dlg.h"
#include "qstrans/qstrans_strings.h"
#include "qstrans/quellstor_trans_app.h"
#include "qstrans/transfer_resources.h"
#include "qstrans/transfer_settings.h"

#include <cerrno>

namespace {

constexpr int kTransferControls[] = {
    IDC_START_TRANSFER,   IDC_EXIT_PROGRAM,      IDC_SELECT_DATABASE,   IDC_SELECT_PROTOCOL1,  IDC_SELECT_PROTOCOL2,
    IDC_SELECT_SYSTEM,    IDC_DOWNLOAD_DATABASE, IDC_DOWNLOAD_PROTOCOL, IDC_DOWNLOAD_SYSTEM,   IDC_UPLOAD_DATABASE,
};
// The menu items a running transfer greys, and which of them the fieldbus mode keeps greyed.
constexpr unsigned kTransferMenuItems[] = {
    ID_FILE_EXIT,           ID_KELMNET_DATABASE_TRANSFER, ID_KELMNET_CONFIGURATION, ID_VARNHOLT_NET_VERSION,
    ID_APP_ABOUT,           ID_SPECIAL_GOTO_TRANSFER,     ID_SPECIAL_ERASE_FLASH,   ID_SETTINGS_PORT,
};
constexpr std::size_t kMenuItemsInFieldbusMode = 5;
constexpr unsigned kFieldbusItems[] = {ID_KELMNET_DATABASE_TRANSFER, ID_KELMNET_CONFIGURATION,
                                       ID_VARNHOLT_NET_VERSION};
constexpr int kFieldbusItemStrings[] = {kStrKelmnetDatabaseTransfer, kStrKelmnetConfiguration,
                                        kStrVarnholtNetVersion};
// The fieldbus items show for panels whose Comm 1 protocol file starts so.
constexpr const char* kFieldbusProtocolPrefix = "141";

// The last separator of a path as the programs write it.
std::size_t LastSeparator(const std::string& path)
{
    return path.find_last_of("/\\");
}

}  // namespace

const TResponseTable CQuellstorTransDlg::Responses{&TDialog::Responses, {
    OnCommand<&CQuellstorTransDlg::OnDownloadDatabase>(IDC_DOWNLOAD_DATABASE),
    OnCommand<&CQuellstorTransDlg::OnDownloadProtocol>(IDC_DOWNLOAD_PROTOCOL),
    OnCommand<&CQuellstorTransDlg::OnDownloadSystem>(IDC_DOWNLOAD_SYSTEM),
    OnCommand<&CQuellstorTransDlg::OnUploadDatabase>(IDC_UPLOAD_DATABASE),
    OnCommand<&CQuellstorTransDlg::OnSelectDatabase>(IDC_SELECT_DATABASE),
    OnCommand<&CQuellstorTransDlg::OnSelectProtocol1>(IDC_SELECT_PROTOCOL1),
    OnCommand<&CQuellstorTransDlg::OnSelectProtocol2>(IDC_SELECT_PROTOCOL2),
    OnCommand<&CQuellstorTransDlg::OnSelectSystem>(IDC_SELECT_SYSTEM),
    OnCommand<&CQuellstorTransDlg::OnStartTransfer>(IDC_START_TRANSFER),
    OnCommand<&CQuellstorTransDlg::OnCancel>(IDC_CANCEL_TRANSFER),
    // Escape stops a transfer as Cancel Transfer does; it does not end the program.
    OnCommand<&CQuellstorTransDlg::OnCancel>(IDCANCEL),
    OnCommand<&CQuellstorTransDlg::OnOK>(IDOK),
    OnCommand<&CQuellstorTransDlg::OnPort>(ID_SETTINGS_PORT),
    OnCommand<&CQuellstorTransDlg::OnEraseFlash>(ID_SPECIAL_ERASE_FLASH),
    OnCommand<&CQuellstorTransDlg::OnGotoTransfer>(ID_SPECIAL_GOTO_TRANSFER),
    OnCommand<&CQuellstorTransDlg::OnFieldbusMode>(ID_KELMNET_DATABASE_TRANSFER),
    OnCommand<&CQuellstorTransDlg::OnFieldbusConfiguration>(ID_KELMNET_CONFIGURATION),
    OnCommand<&CQuellstorTransDlg::OnFieldbusVersion>(ID_VARNHOLT_NET_VERSION),
    OnCommand<&CQuellstorTransDlg::OnAbout>(ID_APP_ABOUT),
    OnCommand<&CQuellstorTransDlg::OnHelp>(ID_HELP_CONTENTS),
    OnMessage<&CQuellstorTransDlg::OnClose>(WM_CLOSE),
    OnMessage<&CQuellstorTransDlg::OnTimer>(WM_TIMER),
    OnMessage<&CQuellstorTransDlg::OnFieldbusStep>(kFieldbusStepMessage),
    OnMessage<&CQuellstorTransDlg::OnSerialStep>(kSerialStepMessage),
    OnNotify<&CQuellstorTransDlg::OnCommEvent>(IDC_COMMPORT, CN_COMMEVENT),
    OnMessage<&CQuellstorTransDlg::OnInitMenuPopup>(WM_INITMENUPOPUP),
    OnMessage<&CQuellstorTransDlg::OnActivateApp>(WM_ACTIVATEAPP),
    // Read-only fields ask as statics.
    OnMessage<&CQuellstorTransDlg::OnCtlColor>(WM_CTLCOLORSTATIC),
    OnMessage<&CQuellstorTransDlg::OnCtlColor>(WM_CTLCOLOREDIT),
}};

CQuellstorTransDlg::CQuellstorTransDlg(CQuellstorTransApp& app, TWindow* parent)
    : TDialog(parent, IDD_QSTRANS_DIALOG), app_(app)
{
    progress_ = new CTransferProgressCtrl(this, IDC_PROGRESS);
    commPort_ = new TCommPort(this, IDC_COMMPORT);
}

CQuellstorTransDlg::~CQuellstorTransDlg() = default;

void CQuellstorTransDlg::SetSerialRoute(std::unique_ptr<CSerialRoute> route)
{
    serialRoute_ = std::move(route);
    if (IsWindow())
        EnableControls();
}

void CQuellstorTransDlg::SetFieldbusRoute(std::unique_ptr<CFieldbusRoute> route)
{
    fieldbusRoute_ = std::move(route);
    if (IsWindow())
        EnableControls();
}

CFieldbusRoute* CQuellstorTransDlg::FieldbusRoute() const
{
    // The route for this platform family; no other is offered.
    return GetPlatformId() == VER_PLATFORM_WIN32_NT ? fieldbusRoute_.get() : nullptr;
}

bool CQuellstorTransDlg::IsFieldbusMode() const
{
    TMenu* menu = GetMenu();
    if (!menu)
        return false;
    const UINT state = menu->GetMenuState(ID_KELMNET_DATABASE_TRANSFER, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED);
}

std::string CQuellstorTransDlg::DatabaseFile() const
{
    return app_.databasePath + app_.databaseName;
}

void CQuellstorTransDlg::SetupWindow()
{
    TDialog::SetupWindow();
    pending = 0;
    kind = kNone;
    sendBytes.clear();
    sendBytes.reserve(253);
    receiveBytes.clear();
    receiveBytes.reserve(255);
    progress_->SetActive(false);
    CheckDlgButton(IDC_DOWNLOAD_DATABASE, BST_CHECKED);
    DeriveProtocolNames();
    // A place off the desktop (another screen since, a value typed by hand) starts at 0.
    int x = app_.x;
    int y = app_.y;
    if (x < 0 || x >= GetSystemMetrics(SM_CXSCREEN))
        x = 0;
    if (y < 0 || y >= GetSystemMetrics(SM_CYSCREEN))
        y = 0;
    SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowFileLocations();
    GreyWithoutRoute();
}

void CQuellstorTransDlg::GreyWithoutRoute()
{
    const bool fieldbus = IsFieldbusMode();
    const bool startable = fieldbus ? FieldbusRoute() != nullptr : serialRoute_ != nullptr;
    if (!startable)
        ::EnableWindow(GetDlgItem(IDC_START_TRANSFER), false);
    if (TMenu* menu = GetMenu(); menu && !serialRoute_) {
        menu->EnableMenuItem(ID_SPECIAL_ERASE_FLASH, MF_BYCOMMAND | MF_GRAYED);
        menu->EnableMenuItem(ID_SPECIAL_GOTO_TRANSFER, MF_BYCOMMAND | MF_GRAYED);
    }
}

void CQuellstorTransDlg::OnRadio(int id)
{
    progress_->SetActive(false);
    switch (id) {
    case IDC_DOWNLOAD_DATABASE:
    case IDC_DOWNLOAD_PROTOCOL:
        // Database and protocol may go down together.
        CheckDlgButton(IDC_DOWNLOAD_SYSTEM, BST_UNCHECKED);
        CheckDlgButton(IDC_UPLOAD_DATABASE, BST_UNCHECKED);
        break;
    default:
        for (int other : {IDC_DOWNLOAD_DATABASE, IDC_DOWNLOAD_PROTOCOL, IDC_DOWNLOAD_SYSTEM, IDC_UPLOAD_DATABASE}) {
            if (other != id)
                CheckDlgButton(other, BST_UNCHECKED);
        }
        break;
    }
}

void CQuellstorTransDlg::OnSelectButton(int item)
{
    progress_->SetActive(false);
    SelectFile(item);
}

void CQuellstorTransDlg::SelectFile(int item, int hardwareIndex)
{
    DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST |
                  OFN_NOREADONLYRETURN;
    bool save = false;
    std::string* folder = nullptr;
    std::string* name = nullptr;
    std::string filter;
    std::string defExt;
    std::string initial;
    int title = 0;
    int filterIndex = 1;
    switch (item) {
    case kItemDatabase:
        folder = &app_.databasePath;
        name = &app_.databaseName;
        title = kStrSelectDatabaseFile;
        filter = QsString(kStrDatabaseFilter);
        defExt = "dtb";
        initial = "*.dtb";
        if (IsDlgButtonChecked(IDC_UPLOAD_DATABASE)) {
            // An upload names the file it will write.
            save = true;
            flags = (flags & ~(OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) | OFN_CREATEPROMPT;
        }
        break;
    case kItemProtocol1: {
        folder = &app_.protocolPath1;
        name = &app_.protocolName1;
        title = kStrSelectProtocolFile;
        filter = QsString(kStrProtocol1Filter);
        const int type = CPanelFile(DatabaseFile()).ReadPanelType();
        if (type == 11)
            filterIndex = 2;
        else if (type == 9 || type == 14 || type == 25 || type == 26)
            filterIndex = 1;
        else if (type >= 19 && type <= 24)
            filterIndex = 4;
        else
            filterIndex = 3;
        break;
    }
    case kItemProtocol2:
        folder = &app_.protocolPath2;
        name = &app_.protocolName2;
        title = kStrSelectProtocolFile;
        filter = QsString(kStrProtocol2Filter);
        defExt = "p2e";
        initial = "*.p2e";
        break;
    case kItemSystem:
        folder = &app_.systemPath;
        name = &app_.systemName;
        title = kStrSelectSystemFile;
        defExt = "cmd";
        if (hardwareIndex < 0) {
            filter = QsString(kStrCommandFilesFilter);
            initial = "*.cmd";
        } else {
            const std::string pattern = "*" + CommandFilePrefix(hardwareIndex) + ".cmd";
            filter = "Command Files|" + pattern + "||";
            const std::vector<std::string> found = ListDir(app_.systemPath, pattern);
            initial = found.empty() ? pattern : found.front();
        }
        break;
    default:
        return;
    }
    TOpenSaveDialog::TData data(flags, filter.c_str(), nullptr, folder->c_str(), defExt.empty() ? nullptr : defExt.c_str());
    data.FilterIndex = filterIndex;
    data.FileName = initial;
    std::unique_ptr<TOpenSaveDialog> dialog;
    if (save)
        dialog = std::make_unique<TFileSaveDialog>(this, data, TResId(), QsString(title));
    else
        dialog = std::make_unique<TFileOpenDialog>(this, data, TResId(), QsString(title));
    if (dialog->Execute() != IDOK)
        return;
    const std::string& chosen = data.FileName;
    const std::size_t cut = LastSeparator(chosen);
    *name = cut == std::string::npos ? chosen : chosen.substr(cut + 1);
    *folder = cut == std::string::npos ? std::string() : chosen.substr(0, cut + 1);
    if (item == kItemDatabase)
        DeriveProtocolNames();
    ShowFileLocations();
}

void CQuellstorTransDlg::DeriveProtocolNames()
{
    CPanelFile file(DatabaseFile());
    std::uint16_t comm1 = CPanelFile::kNoProtocol;
    std::uint16_t comm2 = CPanelFile::kNoProtocol;
    file.ReadChannelProtocols(comm1, comm2);
    const int type = file.ReadPanelType();
    const bool atLeast33 = file.IsVersionAtLeast33();
    app_.protocolName1 = ProtocolFileName(1, comm1, type, atLeast33);
    app_.protocolName2 = ProtocolFileName(2, comm2, type, atLeast33);
}

void CQuellstorTransDlg::ShowFileLocations()
{
    SetDlgItemText(IDC_DATABASE_NAME, app_.databaseName.c_str());
    SetDlgItemText(IDC_PROTOCOL1_NAME, app_.protocolName1.c_str());
    SetDlgItemText(IDC_PROTOCOL2_NAME, app_.protocolName2.c_str());
    SetDlgItemText(IDC_SYSTEM_NAME, app_.systemName.c_str());
}

bool CQuellstorTransDlg::DatabaseImageReady()
{
    const std::string path = DatabaseFile();
    errno = 0;
    const int handle = FileOpen(path, FileMode::ReadOnly);
    if (handle >= 0) {
        FileClose(handle);
        return true;
    }
    // Without a hand-off the name is a blank, whose file error says nothing.
    const bool chosen = app_.databaseName.find_first_not_of(' ') != std::string::npos;
    const std::string reason = chosen ? FileErrorText(path, errno) : QsString(kStrNoDatabaseChosen);
    MessageBoxDialog(GetHandle(), QsFormat(kStrNoDatabaseImage, reason.c_str()).c_str(), QsString(kStrCaption),
                     MB_OK | MB_ICONSTOP);
    return false;
}

void CQuellstorTransDlg::AskPortFirst()
{
    if (ReadPortSetting() == kPortNeverChosen)
        CPortDlg(this).Execute();
}

void CQuellstorTransDlg::OnStartTransfer()
{
    AskPortFirst();
    progress_->SetActive(false);
    panelType = 0;
    int chosen = kNone;
    if (IsDlgButtonChecked(IDC_DOWNLOAD_DATABASE))
        chosen = kDatabase;
    else if (IsDlgButtonChecked(IDC_DOWNLOAD_PROTOCOL))
        chosen = kProtocol1;
    else if (IsDlgButtonChecked(IDC_DOWNLOAD_SYSTEM))
        chosen = kSystemSoftware;
    else if (IsDlgButtonChecked(IDC_UPLOAD_DATABASE))
        chosen = kUpload;
    if (chosen == kNone)
        return;
    // A database that is not there is said plainly, before anything reaches a panel.
    if (chosen == kDatabase && !DatabaseImageReady())
        return;
    if (!IsFieldbusMode()) {
        if (serialRoute_)
            serialRoute_->StartTransfer(chosen);
        return;
    }
    if (CFieldbusRoute* route = FieldbusRoute()) {
        if (chosen == kUpload)
            route->UploadDatabase();
        else if (chosen == kDatabase)
            route->DownloadDatabase();
    }
}

void CQuellstorTransDlg::DisableControls()
{
    SendDlgItemMessage(IDC_START_TRANSFER, BM_SETSTYLE, BS_PUSHBUTTON, 1);
    for (int id : kTransferControls)
        ::EnableWindow(GetDlgItem(id), false);
    if (TMenu* menu = GetMenu()) {
        menu->EnableMenuItem(ID_FILE_EXIT, MF_BYCOMMAND | MF_GRAYED);
        for (unsigned id = ID_SETTINGS_PORT; id <= ID_APP_ABOUT; ++id)
            menu->EnableMenuItem(id, MF_BYCOMMAND | MF_GRAYED);
    }
}

void CQuellstorTransDlg::EnableControls()
{
    const bool fieldbus = IsFieldbusMode();
    for (int id : kTransferControls) {
        if (fieldbus && (id == IDC_DOWNLOAD_PROTOCOL || id == IDC_DOWNLOAD_SYSTEM))
            continue;
        ::EnableWindow(GetDlgItem(id), true);
    }
    if (TMenu* menu = GetMenu()) {
        const std::size_t count = fieldbus ? kMenuItemsInFieldbusMode : std::size(kTransferMenuItems);
        for (std::size_t i = 0; i < count; ++i)
            menu->EnableMenuItem(kTransferMenuItems[i], MF_BYCOMMAND | MF_ENABLED);
    }
    GreyWithoutRoute();
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void CQuellstorTransDlg::OnCancel()
{
    if (kind != kNone)
        progress_->SetFailed(true);
    if (fieldbusRoute_)
        fieldbusRoute_->Cancel();
    if (serialRoute_)
        serialRoute_->Cancel();
    KillTimer(kStepTimer);
    EnableControls();
    SetDlgItemText(IDC_STATUS, "");
    if (commPort_->GetPortOpen())
        commPort_->SetPortOpen(false);
    pending = 0;
    kind = kNone;
}

void CQuellstorTransDlg::StoreWindowPlace()
{
    const TRect r = GetWindowRect();
    app_.x = r.left;
    app_.y = r.top;
}

void CQuellstorTransDlg::OnClose()
{
    KillTimer(kStepTimer);
    if (fieldbusRoute_)
        fieldbusRoute_->Cancel();
    if (serialRoute_)
        serialRoute_->Cancel();
    if (commPort_->GetPortOpen())
        commPort_->SetPortOpen(false);
    pending = 0;
    kind = kNone;
    StoreWindowPlace();
    Destroy(IDCANCEL);
}

void CQuellstorTransDlg::OnOK()
{
    StoreWindowPlace();
    Destroy(IDOK);
}

void CQuellstorTransDlg::OnPort()
{
    CPortDlg(this).Execute();
}

void CQuellstorTransDlg::OnEraseFlash()
{
    if (!serialRoute_)
        return;
    AskPortFirst();
    serialRoute_->StartEraseFlash();
}

void CQuellstorTransDlg::OnGotoTransfer()
{
    if (!serialRoute_)
        return;
    AskPortFirst();
    serialRoute_->StartGotoTransfer();
}

void CQuellstorTransDlg::OnFieldbusMode()
{
    TMenu* menu = GetMenu();
    if (!menu || !FieldbusRoute())
        return;
    const bool on = !IsFieldbusMode();
    for (int id : {IDC_DOWNLOAD_PROTOCOL, IDC_DOWNLOAD_SYSTEM}) {
        if (on)
            CheckDlgButton(id, BST_UNCHECKED);
        ::EnableWindow(GetDlgItem(id), !on);
    }
    for (unsigned id : {ID_SETTINGS_PORT, ID_SPECIAL_ERASE_FLASH, ID_SPECIAL_GOTO_TRANSFER})
        menu->EnableMenuItem(id, MF_BYCOMMAND | (on ? MF_GRAYED : MF_ENABLED));
    menu->CheckMenuItem(ID_KELMNET_DATABASE_TRANSFER, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    ::EnableWindow(GetDlgItem(IDC_START_TRANSFER), true);
    GreyWithoutRoute();
}

void CQuellstorTransDlg::OnFieldbusConfiguration()
{
    if (CFieldbusRoute* route = FieldbusRoute())
        route->ShowConfiguration();
}

void CQuellstorTransDlg::OnFieldbusVersion()
{
    if (CFieldbusRoute* route = FieldbusRoute())
        route->ShowVersion();
}

void CQuellstorTransDlg::OnTimer(WPARAM id, LPARAM)
{
    if (id == kFieldbusPollTimer && fieldbusRoute_)
        fieldbusRoute_->OnPollTimer();
    else if (id == kStepTimer && serialRoute_)
        serialRoute_->OnStepTimer();
}

void CQuellstorTransDlg::OnSerialStep(WPARAM step, LPARAM cause)
{
    if (serialRoute_)
        serialRoute_->OnStep(static_cast<int>(step), static_cast<int>(cause));
}

void CQuellstorTransDlg::OnCommEvent()
{
    if (serialRoute_ && commPort_->GetCommEvent() == comEvReceive)
        serialRoute_->OnReceive();
}

void CQuellstorTransDlg::OnFieldbusStep(WPARAM, LPARAM)
{
    if (fieldbusRoute_)
        fieldbusRoute_->OnTimerStep();
}

void CQuellstorTransDlg::OnAbout()
{
    MessageBoxDialog(GetHandle(), QsString(kStrAboutText), QsString(kStrAboutTitle), MB_OK | MB_ICONINFORMATION);
}

void CQuellstorTransDlg::OnHelp()
{
    const std::string file = app_.helpFilePath.empty() ? ProgramPath(kHelpFile) : app_.helpFilePath;
    WinHelp(GetHandle(), file.c_str(), HELP_CONTEXT, kHelpContext);
}

void CQuellstorTransDlg::OnInitMenuPopup(WPARAM popup, LPARAM index)
{
    if (LOWORD(static_cast<std::uintptr_t>(index)) != kSpecialMenu)
        return;
    auto* menu = reinterpret_cast<TMenu*>(popup);
    const bool offered = FieldbusRoute() && app_.protocolName1.rfind(kFieldbusProtocolPrefix, 0) == 0;
    const bool present = menu->GetMenuState(ID_KELMNET_DATABASE_TRANSFER, MF_BYCOMMAND) != static_cast<UINT>(-1);
    if (offered && !present) {
        for (std::size_t i = 0; i < std::size(kFieldbusItems); ++i)
            menu->AppendMenu(MF_STRING, kFieldbusItems[i], QsString(kFieldbusItemStrings[i]));
    } else if (!offered && present) {
        // The mode goes with its item, so the controls it held back come back.
        if (IsFieldbusMode())
            OnFieldbusMode();
        for (unsigned id : kFieldbusItems)
            menu->DeleteMenu(id, MF_BYCOMMAND);
    }
    DrawMenuBar();
}

const TBrush* CQuellstorTransDlg::OnCtlColor(TDC& dc, HWND control)
{
    // The file names read on white, as fields that hold a value do.
    static const TBrush white(TColor::White);
    for (int id : {IDC_DATABASE_NAME, IDC_PROTOCOL1_NAME, IDC_PROTOCOL2_NAME, IDC_SYSTEM_NAME}) {
        if (control == GetDlgItem(id)) {
            dc.SetBkColor(TColor::White);
            return &white;
        }
    }
    return nullptr;
}

void CQuellstorTransDlg::OnActivateApp(WPARAM /*active*/, LPARAM /*unused*/)
{
    SetWindowPos(HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}
