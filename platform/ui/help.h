#pragma once
// The help viewer. A help request names a help file (as the programs build
// it: "...\HELP\PLINTVLR.HLP") and what to show: a context, the contents,
// the search finder, help on help. The request is recorded; when the help
// is installed it is opened (the help file itself, or a rendition of it with
// the same name that the desktop can show: .html, .htm or .pdf, looked for in
// that order), at the context for an HTML rendition ("#context-131174").
// When no help is installed the user is told so plainly.

#include "platform/base/win_types.h"

#include <functional>
#include <string>
#include <vector>

constexpr UINT HELP_CONTEXT = 0x0001;
constexpr UINT HELP_QUIT = 0x0002;
constexpr UINT HELP_INDEX = 0x0003;
constexpr UINT HELP_CONTENTS = 0x0003;
constexpr UINT HELP_HELPONHELP = 0x0004;
constexpr UINT HELP_KEY = 0x0101;
constexpr UINT HELP_FINDER = 0x000B;

// True when the help was shown (or, for HELP_QUIT, always).
bool WinHelp(HWND owner, const char* helpFile, UINT command, DWORD data);

struct THelpRequest {
    std::string file;  // as the program named it
    UINT command = 0;
    DWORD data = 0;    // the context for HELP_CONTEXT
    std::string shown; // the file opened; empty when no help was installed
};
// Every help request of the program so far, oldest first.
const std::vector<THelpRequest>& HelpRequests();

// Opens an installed help file at a place (an URL fragment, or empty); the
// default hands it to the desktop. Tests put their own viewer in.
using THelpViewer = std::function<bool(const std::string& path, const std::string& fragment)>;
THelpViewer SetHelpViewer(THelpViewer viewer);
