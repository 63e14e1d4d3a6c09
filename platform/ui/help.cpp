#include "platform/ui/help.h"

#include "platform/base/files.h"
#include "platform/base/paths.h"
#include "platform/base/prompt.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

std::vector<THelpRequest>& Requests()
{
    static std::vector<THelpRequest> requests;
    return requests;
}

bool OpenWithDesktop(const std::string& path, const std::string& fragment)
{
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(path));
    if (!fragment.empty())
        url.setFragment(QString::fromStdString(fragment));
    return QDesktopServices::openUrl(url);
}

THelpViewer& Viewer()
{
    static THelpViewer viewer = OpenWithDesktop;
    return viewer;
}

bool IsHtml(const std::string& path)
{
    return WildcardMatch("*.html", path) || WildcardMatch("*.htm", path);
}

// The file that shows the help: a rendition the desktop can show first, the
// help file itself otherwise; empty when there is none.
std::string InstalledHelp(const std::string& helpFile)
{
    const std::string posix = ToPosixPath(helpFile);
    const std::size_t slash = posix.find_last_of('/');
    const std::size_t dot = posix.find_last_of('.');
    const std::string stem = dot != std::string::npos && (slash == std::string::npos || dot > slash)
                                 ? posix.substr(0, dot)
                                 : posix;
    for (const char* extension : {".html", ".htm", ".pdf"}) {
        if (FileExists(stem + extension))
            return ResolvePath(stem + extension);
    }
    return FileExists(posix) ? ResolvePath(posix) : std::string();
}

}  // namespace

THelpViewer SetHelpViewer(THelpViewer viewer)
{
    THelpViewer previous = Viewer();
    Viewer() = viewer ? std::move(viewer) : OpenWithDesktop;
    return previous;
}

const std::vector<THelpRequest>& HelpRequests()
{
    return Requests();
}

bool WinHelp(HWND owner, const char* helpFile, UINT command, DWORD data)
{
    const std::string file = helpFile ? helpFile : "";
    Requests().push_back({file, command, data, {}});
    if (command == HELP_QUIT)
        return true;
    const std::string installed = file.empty() ? std::string() : InstalledHelp(file);
    if (installed.empty()) {
        const std::string text = "No help is installed.\n\nThe help file " + file + " was not found.";
        ShowMessageBox(owner, text.c_str(), "Help", MB_OK | MB_ICONINFORMATION);
        return false;
    }
    Requests().back().shown = installed;
    const std::string fragment = command == HELP_CONTEXT && IsHtml(installed) ? "context-" + std::to_string(data) : "";
    return Viewer()(installed, fragment);
}
