#include "plintvlr/shell/project_dialogs.h"

#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/download_image.h"
#include "plintvlr/db/project_string_ids.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/base/shell_string_ids.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/command_registry.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/frame_string_ids.h"
#include "plintvlr/shell/main_frame.h"
#include "plintvlr/shell/mdi_client_win.h"
#include "plintvlr/shell/project_dialogs_string_ids.h"
#include "plintvlr/shell/project_flow.h"
#include "plintvlr/shell/status_line.h"
#include "platform/base/files.h"
#include "platform/base/paths.h"
#include "platform/ui/controls/combo_box.h"
#include "platform/ui/controls/edit.h"
#include "platform/ui/controls/static.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/help.h"
#include "platform/ui/window_api.h"

#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <strings.h>

namespace {

constexpr int kNoId = -1;
constexpr int kOpenProjectHelp = 2;
constexpr int kNewProjectHelp = 702;
constexpr int kSaveAsHelp = 304;
constexpr int kOpenDtbHelp = 303;

adatabase& Database()
{
    return _QSglobals.GetDatabase();
}

HWND OwnerOf(TWindow& window)
{
    return window.GetHandle();
}

int Tell(TWindow& owner, const std::string& text, int caption, UINT flags)
{
    return TApp::MessageBox(nullptr, OwnerOf(owner), text.c_str(), Str(caption), flags);
}

std::string Format(int id, const std::string& text, int number = 0)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, Str(id), text.c_str(), number);
    return buffer;
}

void ShowDialogHelp(TWindow& dialog, int context)
{
    const std::string file = ProgramPath(Str(kStrHelpFile));
    WinHelp(dialog.GetHandle(), file.c_str(), HELP_CONTEXT, static_cast<DWORD>(context));
}

void CenterOverClient(TWindow& dialog)
{
    if (MDIFrame* frame = MDIFrame::GetMainFrame())
        frame->GetClient()->CenterChild(dialog);
}

// The name typed or chosen, cut to a project name's length.
std::string ProjectNameOf(const std::string& text)
{
    return text.substr(0, kProjectNameLimit);
}

// A name the engineer typed: false (and told) when it cannot name a folder.
bool CheckTypedName(TWindow& owner, const std::string& name)
{
    if (IsValidProjectName(name))
        return true;
    Tell(owner, Str(kStrBadProjectName), kStrApplicationMessage, MB_ICONEXCLAMATION);
    return false;
}

void AddModels(TComboBox& list, const std::vector<TModelChoice>& models)
{
    for (const TModelChoice& model : models) {
        const int index = list.AddString(model.text.c_str());
        list.SetItemData(index, static_cast<std::uintptr_t>(model.panelType));
    }
    list.SetSelIndex(0);
}

int SelectedType(const TComboBox& list)
{
    const int index = list.GetSelIndex();
    return index < 0 ? 14 : static_cast<int>(list.GetItemData(index));
}

// Writes record 102's type byte and record 101's contrast and backlight
// defaults for the project's panel type.
void StampPanelType(adatabase& db, int panelType)
{
    db.SetPanelType(panelType);
    std::array<std::uint8_t, kProjectInfoLength> info{};
    std::uint16_t length = kProjectInfoLength;
    if (db.GetSystemRecord(kRecProjectInfo, info.data(), length) == 0) {
        info[70] = static_cast<std::uint8_t>(panelType);
        db.PutSystemRecord(kRecProjectInfo, info.data(), kProjectInfoLength);
    }
    std::array<std::uint8_t, 16> settings{};
    length = static_cast<std::uint16_t>(settings.size());
    if (db.GetSystemRecord(kRecSystemSettings, settings.data(), length) == 0) {
        const Quellstor model(panelType);
        settings[12] = static_cast<std::uint8_t>(model.GetDefaultContrast());
        settings[15] = static_cast<std::uint8_t>(model.GetDefaultBacklightTimeout());
        db.PutSystemRecord(kRecSystemSettings, settings.data(), static_cast<std::uint16_t>(settings.size()));
    }
}

void AddTemplateButtons(std::vector<TDialogItem>& items, int okId, int helpId, const char* ok, const char* cancel,
                        const char* help, int y)
{
    items.push_back(DefPushButton(ok, okId, 8, y, 44, 14, WS_TABSTOP));
    items.push_back(PushButton(cancel, IDCANCEL, 57, y, 44, 14, WS_TABSTOP));
    items.push_back(PushButton(help, helpId, 106, y, 44, 14, WS_TABSTOP));
}

}  // namespace

bool SetDriveAndDirectory(const std::string& path)
{
    return ::chdir(ResolvePath(ToPosixPath(path)).c_str()) == 0;
}

std::string DbaseFolder()
{
    const std::string folder = ResolvePath(ProgramPath("DBASE"));
    if (!DirExists(folder))
        MakeDir(folder);
    return folder;
}

void ListProjectFolders(TComboBox& list)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(DbaseFolder(), error)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name[0] == '.' || name.size() > kProjectNameLimit || !IsValidProjectName(name))
            continue;
        std::error_code ignored;
        if (entry.is_directory(ignored))
            list.AddString(name.c_str());
    }
}

std::vector<TModelChoice> NewProjectModels()
{
    return {
        {Str(kStrModelSWAQ), 14}, {Str(kStrModelRTB), 9},  {Str(kStrModelRTA), 11}, {Str(kStrModelPB), 24},
        {Str(kStrModelPA), 21},   {Str(kStrModelNB), 23},  {Str(kStrModelNA), 20},  {Str(kStrModelMB), 17},
        {Str(kStrModelMA), 15},   {Str(kStrModelLB), 22},  {Str(kStrModelLA), 19},  {Str(kStrModelKB), 18},
        {Str(kStrModelKA), 16},
    };
}

std::vector<TModelChoice> SaveAsModels(int t)
{
    const bool text = t >= 15 && t <= 24;
    const auto is = [t](std::initializer_list<int> types) {
        for (int type : types)
            if (type == t)
                return true;
        return false;
    };
    const std::vector<TModelChoice> all = NewProjectModels();
    std::vector<TModelChoice> models{all[0]};
    if (is({9, 11}) || text)
        models.push_back(all[1]);
    if (t == 11 || text)
        models.push_back(all[2]);
    if (text) {
        models.push_back(all[3]);
        models.push_back(all[4]);
    }
    if (text && !is({24, 21})) {
        models.push_back(all[5]);
        models.push_back(all[6]);
    }
    if (text && !is({24, 21, 23, 20})) {
        models.push_back(all[7]);
        models.push_back(all[8]);
    }
    if (is({16, 18, 19, 22})) {
        models.push_back(all[9]);
        models.push_back(all[10]);
    }
    if (is({16, 18})) {
        models.push_back(all[11]);
        models.push_back(all[12]);
    }
    return models;
}

void RegisterProjectDialogTemplates()
{
    const DWORD dialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    {
        std::vector<TDialogItem> items = {
            LText(Str(kStrProjectNameLabel), kNoId, 8, 9, 50, 8),
            ComboBox(IDC_PROJECT_LIST, 62, 7, 89, 80, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP),
            LText(Str(kStrModelLabel), kNoId, 8, 25, 52, 8),
            EditText(IDC_PROJECT_MODEL, 62, 23, 89, 12, ES_READONLY | WS_BORDER),
            LText(Str(kStrVersionLabel), kNoId, 8, 41, 50, 8),
            Control(Str(kStrNewVersion), IDC_OPEN_VERSION, "STATIC", SS_SUNKEN, 62, 40, 40, 10),
        };
        AddTemplateButtons(items, IDC_OPEN_OK, IDC_OPEN_HELP, Str(kStrOkButton), Str(kStrCancelButton),
                           Str(kStrHelpButton), 58);
        RegisterDialogTemplate(IDD_OPENPROJECT,
                               {Str(kStrOpenProjectCaption), 0, 0, 159, 78, dialogStyle, "MS Sans Serif", 8, items});
    }
    {
        std::vector<TDialogItem> items = {
            LText(Str(kStrModelLabel), kNoId, 8, 9, 52, 8),
            ComboBox(IDC_PROJECT_LIST, 62, 7, 89, 120, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP),
            LText(Str(kStrProjectNameLabel), kNoId, 8, 25, 50, 8),
            EditText(IDC_PROJECT_NAME, 62, 23, 89, 12, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP),
            LText(Str(kStrVersionLabel), kNoId, 8, 41, 50, 8),
            Control(Str(kStrNewVersion), IDC_NEW_VERSION, "STATIC", WS_BORDER, 62, 40, 40, 10),
        };
        AddTemplateButtons(items, IDOK, IDC_DIALOG_HELP, Str(kStrOkButton), Str(kStrCancelButton),
                           Str(kStrHelpButton), 58);
        RegisterDialogTemplate(IDD_NEWPROJECT,
                               {Str(kStrNewProjectCaption), 0, 0, 159, 78, dialogStyle, "MS Sans Serif", 8, items});
    }
    {
        std::vector<TDialogItem> items = {
            GroupBox(Str(kStrSourceGroup), 145, 6, 4, 150, 30),
            EditText(IDC_DTB_SOURCE, 12, 15, 116, 12, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP),
            PushButton(Str(kStrBrowseGlyphText), IDC_DTB_BROWSE, 132, 14, 18, 14, WS_TABSTOP),
            GroupBox(Str(kStrDestinationGroup), 102, 6, 38, 150, 24),
            LText(Str(kStrNameLabel), 162, 12, 48, 24, 8),
            ComboBox(IDC_DTB_DESTINATION, 40, 46, 110, 80, CBS_DROPDOWN | CBS_SORT | WS_VSCROLL | WS_TABSTOP),
            DefPushButton(Str(kStrPlainOk), IDOK, 8, 66, 46, 14, WS_TABSTOP),
            PushButton(Str(kStrPlainCancel), IDCANCEL, 58, 66, 46, 14, WS_TABSTOP),
            PushButton(Str(kStrPlainHelp), IDC_DIALOG_HELP, 108, 66, 46, 14, WS_TABSTOP),
        };
        RegisterDialogTemplate(IDD_OPENDTB,
                               {Str(kStrOpenDtbCaption), 0, 0, 162, 84, dialogStyle, "MS Sans Serif", 8, items});
    }
}

namespace {

void EnsureTemplates()
{
    if (!FindDialogTemplate(IDD_OPENPROJECT))
        RegisterProjectDialogTemplates();
}

}  // namespace

// ---- Open Project ----

const TResponseTable PVdbselectDlg::Responses{&TDialog::Responses, {
    OnCommand<&PVdbselectDlg::CmOpen>(IDC_OPEN_OK),
    OnCommand<&PVdbselectDlg::CmHelp>(IDC_OPEN_HELP),
    OnNotify<&PVdbselectDlg::Preview>(IDC_PROJECT_LIST, CBN_SELCHANGE),
}};

PVdbselectDlg::PVdbselectDlg(TWindow* parent, TResId resId, TModule* module)
    : TDialog(parent, (EnsureTemplates(), resId), module),
      projects_(new TComboBox(this, IDC_PROJECT_LIST)),
      model_(new TEdit(this, IDC_PROJECT_MODEL)),
      version_(new TStatic(this, IDC_OPEN_VERSION))
{
}

void PVdbselectDlg::SetupWindow()
{
    TDialog::SetupWindow();
    adatabase& db = Database();
    version_->SetText(db.FormatVersion().c_str());
    dbase_ = DbaseFolder();
    ListProjectFolders(*projects_);
    projects_->SetText(db.GetName().c_str());
    model_->SetText(Quellstor(db.GetPanelType()).GetModelName().c_str());
    CenterOverClient(*this);
}

void PVdbselectDlg::Preview()
{
    const int index = projects_->GetSelIndex();
    if (index < 0)
        return;
    const std::string name = projects_->GetString(index);
    std::array<std::uint8_t, kProjectInfoLength> info{};
    adatabase preview;
    if (!preview.ReadProjectInfo(name, info.data())) {
        // A folder without a readable project record shows nothing.
        model_->SetText("");
        version_->SetText("");
        return;
    }
    model_->SetText(Quellstor(info[70]).GetModelName().c_str());
    const std::string version(reinterpret_cast<const char*>(&info[18]), 10);
    version_->SetText(version.substr(0, version.find('\0')).c_str());
}

void PVdbselectDlg::CmOpen()
{
    if (SizeWarningBroughtForward())
        return;
    const std::string name = ProjectNameOf(projects_->GetText());
    if (name.empty())
        return;
    adatabase& db = Database();
    if (!db.ProjectExists(name)) {
        // The open project stays as it is: a folder without record files is
        // no project to switch to.
        Tell(*this, Format(kStrNotAProject, name), kStrApplicationMessage, MB_ICONEXCLAMATION);
        return;
    }
    TWaitCursor wait;
    OpenInPlaceOfCurrent(name);
    AfterProjectOpened(TStartupFlagRule::SetWhenMissing);
    CloseWindow(IDOK);
}

void PVdbselectDlg::CmCancel()
{
    if (SizeWarningBroughtForward())
        return;
    TDialog::CmCancel();
}

void PVdbselectDlg::CmHelp()
{
    ShowDialogHelp(*this, kOpenProjectHelp);
}

// ---- New Project ----

const TResponseTable TNewDBaseDlg::Responses{&TDialog::Responses, {
    OnCommand<&TNewDBaseDlg::CmHelp>(IDC_DIALOG_HELP),
}};

TNewDBaseDlg::TNewDBaseDlg(TWindow* parent, TModule* module)
    : TDialog(parent, (EnsureTemplates(), TResId(IDD_NEWPROJECT)), module),
      name_(new TEdit(this, IDC_PROJECT_NAME, kProjectNameLimit + 1)),
      models_(new TComboBox(this, IDC_PROJECT_LIST))
{
}

void TNewDBaseDlg::SetupWindow()
{
    TDialog::SetupWindow();
    AddModels(*models_, NewProjectModels());
    CenterOverClient(*this);
}

void TNewDBaseDlg::CmOk()
{
    if (SizeWarningBroughtForward())
        return;
    const std::string name = ProjectNameOf(name_->GetText());
    if (name.empty()) {
        Tell(*this, Str(kStrNoNewName), kStrNoNameCaption, MB_OK);
        return;
    }
    if (!CheckTypedName(*this, name))
        return;
    if (Database().ProjectExists(name)) {
        Tell(*this, std::string(Str(kStrDatabasePrefix)) + name + Str(kStrNameInUseSuffix), kStrNameInUseCaption,
             MB_OK);
        return;
    }
    const int panelType = SelectedType(*models_);
    Database().Close();
    // The type is set before the project is made, so that its default
    // records are those of the chosen model.
    adatabase& db = _QSglobals.NewDatabase();
    db.SetPanelType(panelType);
    if (db.Create(name) != 1) {
        Tell(*this, Str(kStrCouldNotCreate), kStrDatabaseProblem, MB_ICONEXCLAMATION);
        return;
    }
    TWaitCursor wait;
    if (db.OpenProject(name) == 1) {
        StampPanelType(db, panelType);
        _QSglobals.SetProjectDirectory(adatabase::ProjectFolderFor(name));
        db.Close();
        db.OpenProject(name);
    }
    AfterProjectOpened(TStartupFlagRule::SetZero);
    CloseWindow(IDOK);
}

void TNewDBaseDlg::CmCancel()
{
    if (SizeWarningBroughtForward())
        return;
    TDialog::CmCancel();
}

void TNewDBaseDlg::CmHelp()
{
    ShowDialogHelp(*this, kNewProjectHelp);
}

// ---- Save As ----

const TResponseTable SaveAsDlg::Responses{&TDialog::Responses, {
    OnCommand<&SaveAsDlg::CmHelp>(IDC_DIALOG_HELP),
}};

SaveAsDlg::SaveAsDlg(TWindow* parent, TModule* module)
    : TDialog(parent, (EnsureTemplates(), TResId(IDD_NEWPROJECT)), module),
      name_(new TEdit(this, IDC_PROJECT_NAME, kProjectNameLimit + 1)),
      models_(new TComboBox(this, IDC_PROJECT_LIST)),
      version_(new TStatic(this, IDC_NEW_VERSION))
{
}

void SaveAsDlg::SetupWindow()
{
    TDialog::SetupWindow();
    version_->SetText(Database().FormatVersion().c_str());
    AddModels(*models_, SaveAsModels(Database().GetPanelType()));
    SetCaption(Str(kStrSaveAsCaption));
    CenterOverClient(*this);
}

void SaveAsDlg::CmOk()
{
    const std::string name = ProjectNameOf(name_->GetText());
    if (name.empty()) {
        Tell(*this, Str(kStrNoSaveAsName), kStrSaveAsError, MB_ICONEXCLAMATION);
        return;
    }
    if (!CheckTypedName(*this, name))
        return;
    const int panelType = SelectedType(*models_);
    adatabase& db = Database();
    if (db.ProjectExists(name)) {
        Tell(*this, Str(kStrSaveAsExists), kStrSaveAsError, MB_ICONEXCLAMATION);
        return;
    }
    const std::string folder = adatabase::ProjectFolderFor(name);
    const bool folderExisted = DirExists(folder);
    bool copied = false;
    {
        adatabase copy;
        copy.SetPanelType(panelType);
        if (copy.Create(name) != 1) {
            Tell(*this, Str(kStrCouldNotCreate), kStrDatabaseProblem, MB_ICONEXCLAMATION);
            return;
        }
        TWaitCursor wait;
        const std::string remembered = db.GetName();
        copied = db.CopyFilesTo(copy) == 1;
        db.Close();
        if (copied && copy.OpenProject(name) == 1) {
            std::array<std::uint8_t, kProjectInfoLength> info{};
            std::uint16_t length = kProjectInfoLength;
            if (copy.GetSystemRecord(kRecProjectInfo, info.data(), length) == 0) {
                info[0] = static_cast<std::uint8_t>(kRecProjectInfo & 0xFF);
                info[1] = static_cast<std::uint8_t>(kRecProjectInfo >> 8);
                std::fill(info.begin() + 2, info.begin() + 2 + kProjectNameLimit + 1, 0);
                std::copy(name.begin(), name.end(), info.begin() + 2);
                info[70] = static_cast<std::uint8_t>(panelType);
                copied = copy.PutSystemRecord(kRecProjectInfo, info.data(), kProjectInfoLength) == 0;
            }
            copy.SetPanelType(panelType);
            copy.Close();
        } else {
            copied = false;
        }
        db.OpenProject(remembered);
    }
    if (!copied) {
        // A half-made copy is no project: it goes, and the engineer is told.
        if (!folderExisted)
            RemoveDirTree(folder);
        Tell(*this, Str(kStrCouldNotCopy), kStrSaveAsError, MB_ICONEXCLAMATION);
    }
    AfterProjectOpened(TStartupFlagRule::SaveAs);
    CloseWindow(IDOK);
}

void SaveAsDlg::CmHelp()
{
    ShowDialogHelp(*this, kSaveAsHelp);
}

// ---- Open DTB File ----

const TResponseTable extractdbDlg::Responses{&TDialog::Responses, {
    OnCommand<&extractdbDlg::CmBrowse>(IDC_DTB_BROWSE),
    OnCommand<&extractdbDlg::CmHelp>(IDC_DIALOG_HELP),
}};

extractdbDlg::extractdbDlg(TWindow* parent, TModule* module)
    : TDialog(parent, (EnsureTemplates(), TResId(IDD_OPENDTB)), module),
      source_(new TEdit(this, IDC_DTB_SOURCE)),
      destination_(new TComboBox(this, IDC_DTB_DESTINATION, kProjectNameLimit + 1))
{
}

void extractdbDlg::SetupWindow()
{
    TDialog::SetupWindow();
    source_->SetText("");
    ListProjectFolders(*destination_);
    CenterOverClient(*this);
}

void extractdbDlg::CmBrowse()
{
    TOpenSaveDialog::TData data(OFN_HIDEREADONLY, Str(kStrDtbFilter), nullptr, nullptr, Str(kStrDtbExtension));
    if (TFileOpenDialog(this, data, TResId(), Str(kStrSelectSource)).Execute() == IDOK)
        source_->SetText(data.FileName.c_str());
}

void extractdbDlg::CmOk()
{
    const std::string projectFolder = _QSglobals.GetProjectDirectory();
    const std::string source = source_->GetText();
    if (source.empty()) {
        Tell(*this, Str(kStrNoSource), kStrApplicationMessage, MB_OK);
        return;
    }
    const std::string name = ProjectNameOf(destination_->GetText());
    if (name.empty()) {
        Tell(*this, Str(kStrNoDestination), kStrApplicationMessage, MB_OK);
        return;
    }
    if (!CheckTypedName(*this, name))
        return;
    adatabase& db = Database();
    if (!db.ProjectExists(name)) {
        if (Tell(*this, Str(kStrAskCreate), kStrApplicationMessage, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        adatabase made;
        if (made.Create(name) != 1) {
            Tell(*this, Str(kStrCouldNotCreate), kStrDatabaseProblem, MB_ICONEXCLAMATION);
            return;
        }
    } else if (Tell(*this, Str(kStrAskOverwrite), kStrApplicationMessage, MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    if (db.IsOpen() && ::strcasecmp(name.c_str(), db.GetName().c_str()) == 0) {
        Tell(*this, Str(kStrDestinationIsOpen), kStrApplicationMessage, MB_ICONEXCLAMATION);
        return;
    }
    TWaitCursor wait;
    // A folder or an unreadable file is no panel database file either.
    const std::string file = ResolvePath(ToPosixPath(source));
    const int result = FileExists(file) && !DirExists(file) && ::access(file.c_str(), R_OK) == 0
                           ? ExtractDownloadImage(adatabase::ProjectFolderFor(name), file, true)
                           : kImageSourceError;
    _QSglobals.SetProjectDirectory(projectFolder);
    if (result == kImageSourceError || result == kImageDamaged || result == kImageTooOld) {
        Tell(*this, Str(result == kImageTooOld ? kStrSourceTooOld : kStrSourceFileError), kStrApplicationMessage,
             MB_ICONEXCLAMATION);
        CloseWindow(IDOK);
        return;
    }
    if (result != 0) {
        // The destination holds what could be written; the open project stays.
        Tell(*this, Format(kStrExtractFailed, name, result), kStrApplicationMessage, MB_ICONEXCLAMATION);
        CloseWindow(IDOK);
        return;
    }
    db.SetModified(false);
    if (!OpenInPlaceOfCurrent(name))
        Tell(*this, Format(kStrCouldNotOpen, name), kStrApplicationMessage, MB_ICONEXCLAMATION);
    AfterProjectOpened(TStartupFlagRule::Leave);
    CloseWindow(IDOK);
}

void extractdbDlg::CmHelp()
{
    ShowDialogHelp(*this, kOpenDtbHelp);
}

// ---- The frame's commands ----

namespace {

// Open Project and New Project: the editors go first, then the shared
// message-table registry of the project being left.
template <typename Dialog>
void RunReplacingDialog(MDIFrame& frame, TWindow* parent)
{
    if (!frame.CloseEditorsFirst(true))
        return;
    DeleteMessageTableRegistry();
    if (Dialog(parent).Execute() == IDOK)
        frame.OpenGraphicPages();
    frame.UpdateGraphToolBar(false);
}

}  // namespace

void RegisterProjectCommands()
{
    RegisterFrameCommand(CM_NEWPROJECT, {[](MDIFrame& frame) {
        RunReplacingDialog<TNewDBaseDlg>(frame, frame.GetClient());
    }, nullptr});
    RegisterFrameCommand(CM_OPENPROJECT, {[](MDIFrame& frame) {
        RunReplacingDialog<PVdbselectDlg>(frame, frame.GetClient());
    }, nullptr});
    RegisterFrameCommand(CM_OPENDTBFILE, {[](MDIFrame& frame) {
        RunReplacingDialog<extractdbDlg>(frame, &frame);
    }, nullptr});
    RegisterFrameCommand(CM_SAVEPROJECTAS, {[](MDIFrame& frame) { SaveAsDlg(&frame).Execute(); }, nullptr});
}
