#include "platform/ui/file_dialog.h"

#include "platform/base/files.h"
#include "platform/base/prompt.h"
#include "platform/ui/qt_text.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <cctype>

namespace {

TFileDialogHook g_hook;

// "Desc|*.dtb;*.db|Other|*.x||" as pairs of description and patterns.
std::vector<std::pair<std::string, std::string>> ParseFilter(const std::string& filter)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : filter) {
        if (c == '|') {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty() && parts[i + 1].empty())
            break;  // the closing "||"
        pairs.emplace_back(parts[i], parts[i + 1]);
    }
    return pairs;
}

// A pattern that matches without regard to case: "*.dtb" -> "*.[dD][tT][bB]".
std::string CaselessPattern(const std::string& pattern)
{
    std::string out;
    for (char c : pattern) {
        const auto uc = static_cast<unsigned char>(c);
        if (std::isalpha(uc)) {
            out += '[';
            out += static_cast<char>(std::tolower(uc));
            out += static_cast<char>(std::toupper(uc));
            out += ']';
        } else {
            out += c;
        }
    }
    return out;
}

QStringList NameFilters(const std::string& filter)
{
    QStringList filters;
    for (const auto& [description, patterns] : ParseFilter(filter)) {
        std::string qtPatterns;
        std::string one;
        auto flush = [&] {
            if (one.empty())
                return;
            if (!qtPatterns.empty())
                qtPatterns += ' ';
            qtPatterns += CaselessPattern(one);
            one.clear();
        };
        for (char c : patterns) {
            if (c == ';' || c == ' ')
                flush();
            else
                one += c;
        }
        flush();
        // Only the description is shown (HideNameFilterDetails).
        filters << ToQString(description + " (" + qtPatterns + ")");
    }
    return filters;
}

bool HasWildcard(const std::string& name)
{
    return name.find_first_of("*?") != std::string::npos;
}

// The dialog's own checks replace Qt's: the questions go through the message
// box service, in the programs' words.
class TFileDialogWidget : public QFileDialog {
public:
    TFileDialogWidget(QWidget* parent, TOpenSaveDialog* owner) : QFileDialog(parent), owner_(owner) {}

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (files.isEmpty())
            return;
        std::string path = FromQString(files.first());
        const std::string name = FromQString(QFileInfo(files.first()).fileName());
        if (fileMode() != QFileDialog::Directory && HasWildcard(name)) {
            // A pattern typed as the name lists the files it matches.
            setNameFilter(ToQString(CaselessPattern(name)));
            return;
        }
        if (owner_ && !owner_->CheckChoice(path))
            return;
        if (fileMode() == QFileDialog::Directory && !DirExists(path)) {
            const std::string text = path + "\nThe folder does not exist.";
            ShowMessageBox(nullptr, text.c_str(), FromQString(windowTitle()).c_str(), MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        chosen_ = path;
        QFileDialog::accept();
    }

    const std::string& Chosen() const { return chosen_; }

private:
    TOpenSaveDialog* owner_;
    std::string chosen_;
};

int RunDialog(TFileDialogWidget& dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setWindowModality(Qt::ApplicationModal);
    QTimer::singleShot(0, &dialog, [&dialog] {
        if (g_hook)
            g_hook(dialog);
    });
    return dialog.exec();
}

QWidget* ParentWidget(TWindow* parent)
{
    return parent && parent->IsWindow() ? parent->GetWidget()->window() : nullptr;
}

}  // namespace

void SetFileDialogHook(TFileDialogHook hook)
{
    g_hook = std::move(hook);
}

TOpenSaveDialog::TData::TData(DWORD flags, const char* filter, const char* /*customFilter*/, const char* initialDir,
                              const char* defExt)
    : Flags(flags), Filter(filter ? filter : ""), InitialDir(initialDir ? initialDir : ""),
      DefExt(defExt ? defExt : "")
{
}

TOpenSaveDialog::TOpenSaveDialog(TWindow* parent, TData& data, const char* title, bool save)
    : parent_(parent), data_(data), title_(title ? title : ""), save_(save)
{
}

TOpenSaveDialog::~TOpenSaveDialog() = default;

bool TOpenSaveDialog::CheckChoice(std::string& path)
{
    const DWORD flags = data_.Flags;
    const HWND owner = parent_ ? parent_->GetHandle() : nullptr;
    QFileInfo info(ToQString(path));
    if (!data_.DefExt.empty() && info.suffix().isEmpty() && !FileExists(path)) {
        path += "." + data_.DefExt;
        info = QFileInfo(ToQString(path));
    }
    const std::string name = FromQString(info.fileName());
    const std::string folder = FromQString(info.absolutePath());
    const bool exists = FileExists(path);
    auto ask = [&](const std::string& text, UINT buttons) {
        return ShowMessageBox(owner, text.c_str(), title_.c_str(), buttons | MB_ICONEXCLAMATION);
    };
    if ((flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) && !DirExists(folder)) {
        ask(path + "\nThe folder does not exist.\nCheck the path and try again.", MB_OK);
        return false;
    }
    if ((flags & OFN_FILEMUSTEXIST) && !exists) {
        ask(name + "\nFile not found.\nCheck the file name and try again.", MB_OK);
        return false;
    }
    if (exists && (flags & OFN_NOREADONLYRETURN) && ::access(ResolvePath(path).c_str(), W_OK) != 0) {
        ask(name + "\nThis file is read-only.\nTry again with a different file name.", MB_OK);
        return false;
    }
    if (exists && save_ && (flags & OFN_OVERWRITEPROMPT) &&
        ask(name + " already exists.\nDo you want to replace it?", MB_YESNO) != IDYES)
        return false;
    if (!exists && (flags & OFN_CREATEPROMPT) &&
        ask(name + "\nThis file does not exist.\nDo you want to create it?", MB_YESNO) != IDYES)
        return false;
    return true;
}

int TOpenSaveDialog::Execute()
{
    TFileDialogWidget dialog(ParentWidget(parent_), this);
    dialog.setWindowTitle(ToQString(title_));
    dialog.setAcceptMode(save_ ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The dialog's own checks are made in CheckChoice.
    dialog.setFileMode(QFileDialog::AnyFile);
    // Options set later would rebuild the filter list and the name field,
    // losing the filter and the name chosen below.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    const QStringList filters = NameFilters(data_.Filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = std::clamp(data_.FilterIndex, 1, static_cast<int>(filters.size())) - 1;
        dialog.selectNameFilter(filters[index]);
    }
    std::string start = data_.InitialDir;
    std::string name = data_.FileName;
    if (!name.empty() && !HasWildcard(name)) {
        const QFileInfo info(ToQString(ResolvePath(name)));
        if (name.find_first_of("/\\") != std::string::npos) {
            start = FromQString(info.absolutePath());
            name = FromQString(info.fileName());
        }
    } else {
        name.clear();
    }
    if (!start.empty() && DirExists(start))
        dialog.setDirectory(ToQString(ResolvePath(start)));
    if (!name.empty())
        dialog.selectFile(ToQString(name));
    if (RunDialog(dialog) != QDialog::Accepted)
        return IDCANCEL;
    data_.FileName = dialog.Chosen();
    const int index = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    if (index >= 0)
        data_.FilterIndex = index + 1;
    return IDOK;
}

bool BrowseForFolder(TWindow* parent, const char* title, std::string& folder, const char* caption)
{
    TFileDialogWidget dialog(ParentWidget(parent), nullptr);
    const char* shownTitle = title ? title : "Browse for Folder";
    dialog.setWindowTitle(ToQString(caption ? caption : shownTitle));
    if (caption)
        dialog.setLabelText(QFileDialog::LookIn, ToQString(shownTitle));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (!folder.empty() && DirExists(folder))
        dialog.setDirectory(ToQString(ResolvePath(folder)));
    if (RunDialog(dialog) != QDialog::Accepted)
        return false;
    folder = dialog.Chosen();
    return true;
}
