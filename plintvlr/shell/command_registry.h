#pragma once
// What the subsystems built on the shell plug into the main frame and its
// MDI client. The frame's menu holds only the commands that something carries
// out: the frame's and client's own, the commands a subsystem registers here
// for the frame to run, the commands a subsystem's windows handle themselves
// (the page editor's Edit, Layout and Graphics items, the record items), and
// the client's editor commands once the editor's factory is registered.
// Registrations are made at start-up, before the frame's window is created.

#include "platform/base/win_types.h"

#include <functional>

class MDIFrame;
class Menv_registry;
class TCommandEnabler;
class TMDIClientWin;
class TWindow;
class errorcall;

// A command the frame runs for a subsystem (a dialog, a sheet, a project
// flow). The frame's own rule greys it (no project open...); where that rule
// leaves it enabled, `refine` may grey or check it further (Save All asks the
// editors, the tool bar items show whether their bar is visible).
struct TFrameCommand {
    std::function<void(MDIFrame& frame)> run;
    std::function<void(MDIFrame& frame, TCommandEnabler& enabler)> refine;
};
// `shown`, when given, decides whether its menu item is shown (a tool bar's
// item only when the bar has buttons).
void RegisterFrameCommand(UINT id, TFrameCommand command, std::function<bool()> shown = nullptr);
const TFrameCommand* FindFrameCommand(UINT id);

// A command that a subsystem's windows carry out when they are on the route.
void RegisterWindowCommand(UINT id);

// The editors the MDI client keeps one of each.
enum class TEditorKind {
    Tags,            // TagEdit, a sheet in an MDI host
    GraphicPages,    // TGraphEditor, an MDI child of its own
    SystemSettings,  // TSysDataSheet, a sheet in an MDI host
    OverviewGroups,  // TOVGroupDlg, a dialog in an MDI host
    MessageTables,   // editmsg_Dlg, a dialog in an MDI host
    CommsBlocks,     // TCommsBlockDlg, a dialog in an MDI host
    RecipeGroups,    // TRecipeGroupDlg, a dialog in an MDI host
};
inline constexpr int kEditorKindCount = 7;

// What the client hands a factory: the dialog resource (overview groups:
// 11814 for panel type 14, else 11813), the page to open (system settings:
// 0 settings, 2 passwords), and for the message table editor the shared
// message-table registry and the shared message holder, by reference.
struct TEditorRequest {
    int resourceId = 0;
    int page = 0;
    Menv_registry** registry = nullptr;
    errorcall* errors = nullptr;
};

// The editor a factory made, its window created: the editor window itself
// (the dialog or sheet; the page editor's own window) and the window that
// hosts it in the client (the MDI host; for the page editor its own window).
// Both null when the editor could not be made.
struct TEditorWindows {
    TWindow* editor = nullptr;
    TWindow* host = nullptr;
};
using TEditorFactory = std::function<TEditorWindows(TMDIClientWin& client, const TEditorRequest& request)>;
void RegisterEditorFactory(TEditorKind kind, TEditorFactory factory);
const TEditorFactory* FindEditorFactory(TEditorKind kind);

// Steps of the frame's life that belong to other subsystems (the element
// framework's program-wide values, reset when the frame is set up and freed
// when it is destroyed). Either may be empty.
void RegisterFrameLifeSteps(std::function<void()> atSetup, std::function<void()> atDestruction);
void RunFrameSetupSteps();
void RunFrameDestructionSteps();

// True when something carries command `id` out, so its menu item is shown.
bool IsCommandProvided(UINT id);

// For tests: forgets every registration.
void ClearCommandRegistrations();
