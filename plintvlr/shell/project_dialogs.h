#pragma once
// The dialogs that replace or copy the open project: Open Project
// (PVdbselectDlg), New Project (TNewDBaseDlg), Save As (SaveAsDlg) and Open
// DTB File (extractdbDlg), and the frame commands that run them. Projects are
// folders under the program folder's "DBASE"; every path is built from the
// program folder, the working directory is left alone.

#include "platform/ui/dialog.h"

#include <string>
#include <vector>

class TComboBox;
class TEdit;
class TStatic;

// Dialog templates and control ids.
inline constexpr int IDD_OPENPROJECT = 4600;
inline constexpr int IDD_NEWPROJECT = 3004;
inline constexpr int IDD_OPENDTB = 8000;
inline constexpr int IDC_PROJECT_LIST = 192;
inline constexpr int IDC_PROJECT_MODEL = 195;   // Open Project: the model shown
inline constexpr int IDC_PROJECT_NAME = 195;    // New Project, Save As: the name typed
inline constexpr int IDC_OPEN_VERSION = 162;
inline constexpr int IDC_NEW_VERSION = 190;
inline constexpr int IDC_OPEN_OK = 194;
inline constexpr int IDC_OPEN_HELP = 163;
inline constexpr int IDC_DIALOG_HELP = 9;
inline constexpr int IDC_DTB_SOURCE = 195;
inline constexpr int IDC_DTB_BROWSE = 125;
inline constexpr int IDC_DTB_DESTINATION = 192;
inline constexpr int IDI_OPENPROJECT = 11333;
inline constexpr int IDI_NEWPROJECT = 11332;
inline constexpr int IDI_SAVEAS = 11334;
inline constexpr int IDB_BROWSE = 11201;
// The most characters of a project name.
inline constexpr int kProjectNameLimit = 8;

// Makes the working directory the given folder (a drive letter at its front
// names the one file tree's root). False when it cannot be entered.
bool SetDriveAndDirectory(const std::string& path);

// The program folder's "DBASE", made when missing.
std::string DbaseFolder();
// Fills `list` with the folders of "DBASE" whose names are project names of
// at most eight characters.
void ListProjectFolders(TComboBox& list);

class PVdbselectDlg : public TDialog {
public:
    explicit PVdbselectDlg(TWindow* parent, TResId resId = IDD_OPENPROJECT, TModule* module = nullptr);

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

protected:
    void SetupWindow() override;

private:
    void CmOpen();
    void CmCancel() override;
    void CmHelp();
    void Preview();

    TComboBox* projects_;
    TEdit* model_;
    TStatic* version_;
    std::string dbase_;
};

class TNewDBaseDlg : public TDialog {
public:
    explicit TNewDBaseDlg(TWindow* parent, TModule* module = nullptr);

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

protected:
    void SetupWindow() override;
    void CmOk() override;
    void CmCancel() override;

private:
    void CmHelp();

    TEdit* name_;
    TComboBox* models_;
};

class SaveAsDlg : public TDialog {
public:
    explicit SaveAsDlg(TWindow* parent, TModule* module = nullptr);

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

protected:
    void SetupWindow() override;
    void CmOk() override;

private:
    void CmHelp();

    TEdit* name_;
    TComboBox* models_;
    TStatic* version_;
};

class extractdbDlg : public TDialog {
public:
    explicit extractdbDlg(TWindow* parent, TModule* module = nullptr);

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

protected:
    void SetupWindow() override;
    void CmOk() override;

private:
    void CmBrowse();
    void CmHelp();

    TEdit* source_;
    TComboBox* destination_;
};

// The panel models a project of panel type `panelType` can be saved as, in
// list order, with their types.
struct TModelChoice {
    std::string text;
    int panelType;
};
std::vector<TModelChoice> SaveAsModels(int panelType);
// Every model a new project can have, in list order.
std::vector<TModelChoice> NewProjectModels();

// Registers the dialogs' templates (done by each dialog when it is first made).
void RegisterProjectDialogTemplates();
// Registers New Project, Open Project, Open DTB File and Save Project As
// with the frame.
void RegisterProjectCommands();
