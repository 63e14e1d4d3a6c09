#pragma once
// The steps the project dialogs share: the size warning that blocks them,
// the wait cursor, replacing the open project by another, and the one
// sequence that follows a project's opening.

#include "platform/ui/resources.h"

#include <string>

// Shows the wait cursor for its lifetime, then the arrow.
class TWaitCursor {
public:
    TWaitCursor();
    ~TWaitCursor();
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

// True when the "Database is too large" warning is open; it is brought to
// the top, and the dialog asking does nothing else.
bool SizeWarningBroughtForward();

// Closes the open project and opens `name` on a new project database
// object; when that fails, the project that was open is opened again. True
// when `name` is open afterwards. The project folder follows the open project.
bool OpenInPlaceOfCurrent(const std::string& name);

// What the sequence after an opening does with the start-up flag (record 108).
enum class TStartupFlagRule {
    SetWhenMissing,  // Open Project: 1 when the project has none
    SetZero,         // New Project: 0
    Leave,           // Open DTB File: as the file brought it
    SaveAs,          // Save As: the shorter sequence, without the current selections
};

// Frame caption, status line model, the project's lists, the size check,
// the current page, overview group and communications block, the start-up flag.
void AfterProjectOpened(TStartupFlagRule rule);
