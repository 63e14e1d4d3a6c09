#include "plintvlr/shell/project_flow.h"

#include "plintvlr/db/project_string_ids.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/main_frame.h"
#include "plintvlr/shell/status_line.h"
#include "platform/ui/window_api.h"

TWaitCursor::TWaitCursor()
{
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
}

TWaitCursor::~TWaitCursor()
{
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

bool SizeWarningBroughtForward()
{
    HWND warning = FindWindow(nullptr, Str(kStrDatabaseTooLarge));
    if (!warning)
        return false;
    BringWindowToTop(warning);
    return true;
}

bool OpenInPlaceOfCurrent(const std::string& name)
{
    const std::string remembered = _QSglobals.GetDatabase().GetName();
    _QSglobals.GetDatabase().Close();
    bool opened = _QSglobals.NewDatabase().OpenProject(name) == 1;
    if (!opened && !remembered.empty())
        _QSglobals.NewDatabase().OpenProject(remembered);
    adatabase& db = _QSglobals.GetDatabase();
    _QSglobals.SetProjectDirectory(db.IsOpen() ? adatabase::ProjectFolderFor(db.GetName()) : std::string());
    return opened;
}

void AfterProjectOpened(TStartupFlagRule rule)
{
    adatabase& db = _QSglobals.GetDatabase();
    if (MDIFrame* frame = MDIFrame::GetMainFrame())
        frame->SetProjectCaption(db.IsOpen() ? db.GetName().c_str() : "");
    TStatusLine::SetModel(db.GetPanelType());
    TWaitCursor wait;
    _QSglobals.ReloadProjectData();
    db.CheckSize();
    if (rule == TStartupFlagRule::SaveAs || !db.IsOpen())
        return;
    _QSglobals.SetCurrentPage(1);
    _QSglobals.SetCurrentOverviewGroup(1);
    _QSglobals.SetCurrentCommsBlock(1);
    if (rule == TStartupFlagRule::SetZero)
        _QSglobals.SetStartupFlag(0);
    else if (rule == TStartupFlagRule::SetWhenMissing && db.GetSystemRecordLength(kRecStartupFlag) == 0)
        _QSglobals.SetStartupFlag(1);
}
