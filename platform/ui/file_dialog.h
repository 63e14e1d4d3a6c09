#pragma once
// The common file dialogs: open a file, save a file (with the question
// whether an existing file is to be replaced) and browse for a folder. They
// are the layer's own dialogs (Qt's, never the desktop's native ones), so they
// behave the same everywhere and tests can answer them. Names are matched
// without regard to case, as everywhere in the programs.
//
//   TOpenSaveDialog::TData data(OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
//                               "Database Files(*.DTB)|*.dtb||", nullptr, folder, "dtb");
//   if (TFileOpenDialog(this, data, 0, "Select Database File").Execute() == IDOK)
//       Use(data.FileName);

#include "platform/ui/window.h"

#include <functional>
#include <string>

class QFileDialog;

constexpr DWORD OFN_READONLY = 0x00000001;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
constexpr DWORD OFN_NOVALIDATE = 0x00000100;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
constexpr DWORD OFN_CREATEPROMPT = 0x00002000;
constexpr DWORD OFN_NOREADONLYRETURN = 0x00008000;

class TOpenSaveDialog {
public:
    // What the dialog starts with and what it answers.
    struct TData {
        TData(DWORD flags = 0, const char* filter = nullptr, const char* customFilter = nullptr,
              const char* initialDir = nullptr, const char* defExt = nullptr);

        DWORD Flags;
        // "Description|pattern|Description|pattern||"; a pattern may list
        // several, separated by ';'.
        std::string Filter;
        // 1-based; the filter in use when the dialog ended comes back.
        int FilterIndex = 1;
        // In: the name to start with (a pattern such as "*.dtb" starts with
        // no name); out: the full path chosen.
        std::string FileName;
        std::string InitialDir;
        // Added (with a dot) to a name typed without an extension.
        std::string DefExt;
    };

    TOpenSaveDialog(TWindow* parent, TData& data, const char* title, bool save);
    virtual ~TOpenSaveDialog();

    // IDOK (the data hold the choice) or IDCANCEL (the data are unchanged).
    int Execute();
    TData& GetData() { return data_; }

    // Checks a name the user accepted: true to take it. Asks the questions
    // the flags call for (through the message box service) and answers what
    // the user said; may change the name (default extension).
    bool CheckChoice(std::string& path);

private:
    TWindow* parent_;
    TData& data_;
    std::string title_;
    bool save_;
};

class TFileOpenDialog : public TOpenSaveDialog {
public:
    TFileOpenDialog(TWindow* parent, TData& data, TResId templateId = TResId(), const char* title = nullptr)
        : TOpenSaveDialog(parent, data, title ? title : "Open", false)
    {
        (void)templateId;  // the layer's dialog has no custom templates
    }
};

class TFileSaveDialog : public TOpenSaveDialog {
public:
    TFileSaveDialog(TWindow* parent, TData& data, TResId templateId = TResId(), const char* title = nullptr)
        : TOpenSaveDialog(parent, data, title ? title : "Save As", true)
    {
        (void)templateId;
    }
};

// Chooses an existing folder, starting in `folder`; true (and `folder` set)
// on OK. `title` is the line shown above the folders; the window's caption
// is `caption`, or the title when there is none.
bool BrowseForFolder(TWindow* parent, const char* title, std::string& folder, const char* caption = nullptr);

// For tests: runs once a file or folder dialog shows; it must end the dialog.
using TFileDialogHook = std::function<void(QFileDialog& dialog)>;
void SetFileDialogHook(TFileDialogHook hook);
