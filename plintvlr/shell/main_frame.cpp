#include "plintvlr/shell/main_frame.h"

#include "plintvlr/db/menv_registry.h"
#include "plintvlr/db/project_services.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/elements/size_rect_array.h"
#include "plintvlr/shell/about_box.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/base/shell_string_ids.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/command_registry.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/frame_menu.h"
#include "plintvlr/shell/frame_string_ids.h"
#include "plintvlr/shell/graph_tool_bar.h"
#include "plintvlr/shell/mdi_client_win.h"
#include "plintvlr/shell/status_line.h"
#include "plintvlr/shell/zk_harbor.h"
#include "platform/base/paths.h"
#include "platform/base/profile.h"
#include "platform/gdi/printer.h"
#include "platform/ui/help.h"
#include "platform/ui/window_api.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

MDIFrame* g_mainFrame = nullptr;
Menv_registry* g_messageRegistry = nullptr;

adatabase& Database()
{
    return _QSglobals.GetDatabase();
}

bool ProjectOpen()
{
    return Database().IsOpen();
}

// The open project's panel model.
Quellstor OpenModel()
{
    return Quellstor(Database().GetPanelType());
}

bool IsKeypadGraphicType(int panelType)
{
    return panelType == 9 || panelType == 11 || panelType == 14;
}

// What the project database asks of the shell while the frame exists.
class FrameProjectShell : public ProjectShell {
public:
    void SetUsedText(const std::string& text) override { TStatusLine::SetUsedText(text.c_str()); }
    void SetFreeText(const std::string& text) override { TStatusLine::SetFreeText(text.c_str()); }
    bool BringWindowToTop(const std::string& caption) override
    {
        HWND window = FindWindow(nullptr, caption.c_str());
        if (!window)
            return false;
        ::BringWindowToTop(window);
        return true;
    }
};

// The child window of `parent` (at any depth) with that caption.
TWindow* FindChildByCaption(TWindow& parent, const std::string& caption)
{
    for (TWindow* child : parent.GetChildren()) {
        if (child->GetWindowText() == caption)
            return child;
        if (TWindow* found = FindChildByCaption(*child, caption))
            return found;
    }
    return nullptr;
}

// The frame's rule for a command: whether the open project allows it.
bool FrameAllows(UINT id)
{
    switch (id) {
    case CM_SAVEPROJECTAS:
    case CM_SAVEALL:
    case CM_EXPORT:
    case CM_IMPORT:
    case CM_PROTOCOLTYPE:
    case CM_COMMPORT1:
    case CM_TRANSFER:
    case CM_GRAPHICPAGES:
    case CM_TAGS:
    case CM_SYSTEMSETTINGS:
        return ProjectOpen();
    case CM_COMMPORT2:
        return ProjectOpen() && OpenModel().HasSecondPort();
    case CM_CLOCKCOMMS:
        return ProjectOpen() && !OpenModel().IsTextPanel();
    case CM_PAGECHANGE:
        return ProjectOpen() && OpenModel().IsTextPanel();
    case CM_SYSTEMKEYS:
    case CM_PASSWORDS:
    case CM_COMMSBLOCKS:
    case CM_MESSAGETABLES:
    case CM_OVERVIEWGROUPS:
        return ProjectOpen() && IsKeypadGraphicType(Database().GetPanelType());
    case CM_RECIPEGROUPS:
        return ProjectOpen() && OpenModel().HasRecipes();
    default:
        return true;
    }
}

}  // namespace

Menv_registry*& MessageTableRegistry()
{
    return g_messageRegistry;
}

void DeleteMessageTableRegistry()
{
    delete g_messageRegistry;
    g_messageRegistry = nullptr;
}

const TResponseTable MDIFrame::Responses{&TDecoratedMDIFrame::Responses, {
    OnCommand<&MDIFrame::CmExit>(CM_EXIT),
    OnCommand<&MDIFrame::CmHelpContents>(CM_HELPCONTENTS),
    OnCommand<&MDIFrame::CmHelpSearch>(CM_HELPSEARCH),
    OnCommand<&MDIFrame::CmHelpOnHelp>(CM_HELPONHELP),
    OnCommand<&MDIFrame::CmAbout>(CM_ABOUT),
    OnCommand<&MDIFrame::CmCheckSize>(CM_CHECKSIZE),
    OnCommand<&MDIFrame::CmRegistered>(CM_NEWPROJECT),
    OnCommand<&MDIFrame::CmRegistered>(CM_OPENPROJECT),
    OnCommand<&MDIFrame::CmRegistered>(CM_OPENDTBFILE),
    OnCommand<&MDIFrame::CmRegistered>(CM_SAVEPROJECTAS),
    OnCommand<&MDIFrame::CmRegistered>(CM_SAVEALL),
    OnCommand<&MDIFrame::CmRegistered>(CM_EXPORT),
    OnCommand<&MDIFrame::CmRegistered>(CM_IMPORT),
    OnCommand<&MDIFrame::CmRegistered>(CM_PRINTERSETUP),
    OnCommand<&MDIFrame::CmRegistered>(CM_PREFERENCES),
    OnCommand<&MDIFrame::CmRegistered>(CM_PROTOCOLTYPE),
    OnCommand<&MDIFrame::CmRegistered>(CM_COMMPORT1),
    OnCommand<&MDIFrame::CmRegistered>(CM_COMMPORT2),
    OnCommand<&MDIFrame::CmRegistered>(CM_CLOCKCOMMS),
    OnCommand<&MDIFrame::CmRegistered>(CM_PAGECHANGE),
    OnCommand<&MDIFrame::CmRegistered>(CM_SYSTEMKEYS),
    OnCommand<&MDIFrame::CmRegistered>(CM_TRANSFER),
    OnCommand<&MDIFrame::CmRegistered>(CM_MAINTOOLBAR),
    OnCommand<&MDIFrame::CmRegistered>(CM_GRAPHICSTOOLBAR),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_NEWPROJECT),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_OPENPROJECT),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_OPENDTBFILE),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_SAVEPROJECTAS),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_SAVEALL),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_EXPORT),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_IMPORT),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_PRINTERSETUP),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_PREFERENCES),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_EXIT),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_PROTOCOLTYPE),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_COMMPORT1),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_COMMPORT2),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_CLOCKCOMMS),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_PAGECHANGE),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_SYSTEMKEYS),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_TRANSFER),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_HELPCONTENTS),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_HELPSEARCH),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_HELPONHELP),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_ABOUT),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_MAINTOOLBAR),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_GRAPHICSTOOLBAR),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_CHECKSIZE),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_GRAPHICPAGES),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_TAGS),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_SYSTEMSETTINGS),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_PASSWORDS),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_COMMSBLOCKS),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_MESSAGETABLES),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_OVERVIEWGROUPS),
    OnCommandEnable<&MDIFrame::CeFrameCommand>(CM_RECIPEGROUPS),
    OnMessage<&MDIFrame::EvSysCommand>(WM_SYSCOMMAND),
    OnMessage<&MDIFrame::EvQueryPortSetting>(WM_QUERYPORTSETTING),
}};

MDIFrame::MDIFrame(const char* title, TResId menuResId, TMDIClientWin* client, bool trackMenuSelection,
                   TModule* module)
    : TDecoratedMDIFrame(title, TResId(), client, trackMenuSelection, module),
      printer_(std::make_unique<TPrinter>()),
      recipes_(std::make_unique<TRecipeArray>()),
      bitmapPaster_(std::make_unique<BitmapPaster>()),
      elementClipboard_(std::make_unique<SizeRectArray>())
{
    (void)menuResId;
    SetMenu(BuildFrameMenu());
    SetProjectRecipeList(recipes_.get());
}

MDIFrame::~MDIFrame()
{
    if (IsWindow())
        Destroy(0);
    ProjectHooks& hooks = GetProjectHooks();
    if (projectShell_ && hooks.shell == projectShell_.get()) {
        hooks.shell = nullptr;
        hooks.reloadRecipeGroups = nullptr;
    }
    RunFrameDestructionSteps();
    if (GetProjectRecipeList() == recipes_.get())
        SetProjectRecipeList(nullptr);
    if (g_mainFrame == this) {
        g_mainFrame = nullptr;
        SetMainWindowHandle(nullptr);
    }
}

MDIFrame* MDIFrame::GetMainFrame()
{
    return g_mainFrame;
}

TMDIClientWin* MDIFrame::GetClient() const
{
    return static_cast<TMDIClientWin*>(GetMDIClient());
}

void MDIFrame::SetupWindow()
{
    TDecoratedMDIFrame::SetupWindow();
    ResetStrBuffers();
    Insert(*new TStatusLine(this, TGadget::Recessed, 0, nullptr), Bottom);
    harbor_ = new TZKHarbor(*this);

    // The project database reports sizes and finds its warning through the
    // shell, and reloads the frame's recipe groups with a project, while the
    // frame exists.
    ProjectHooks& hooks = GetProjectHooks();
    projectShell_ = std::make_unique<FrameProjectShell>();
    hooks.shell = projectShell_.get();
    hooks.reloadRecipeGroups = [this](adatabase& db) { ReloadRecipeGroups(*recipes_, db); };

    const bool open = _QSglobals.LoadSettings() != 0;
    if (open) {
        _QSglobals.ReloadProjectData();
        SetProjectCaption(Database().GetName().c_str());
        TStatusLine::SetModel(Database().GetPanelType());
    }

    g_mainFrame = this;
    SetMainWindowHandle(GetHandle());

    RunFrameSetupSteps();
    MessageTableRegistry() = nullptr;

    if (open)
        ReloadRecipeGroups(*recipes_, Database());

    if (!open) {
        PostMessage(WM_COMMAND, CM_NEWPROJECT);
    } else {
        GetClient()->SendMessage(WM_COMMAND, CM_GRAPHICPAGES);
        PostMessage(WM_COMMAND, CM_CHECKSIZE);
    }
    UpdateGraphToolBar(true);
    harbor_->Create();
    SetDefaultMenuItems();
}

void MDIFrame::SetDefaultMenuItems()
{
    // The first entry of each of these cascades is its default (bold) item;
    // a cascade is found by any command it holds, as its first may be absent.
    static const std::vector<std::vector<UINT>> kCascades = {
        {CM_OPENPROJECT, CM_OPENDTBFILE},
        {CM_PRINTGRAPHICS, CM_PRINTTEXT},
        {CM_EDITZORDER, CM_SHUFFLE, CM_SENDTOBACK},
        {CM_ADDTEMPLATE, CM_DELETETEMPLATE, CM_GOTOTEMPLATE, CM_BACKTOMASTER},
        {CM_SETGRID, CM_GRIDON, CM_HIDEGRIDLINES},
    };
    TMenu* menu = GetMenu();
    if (!menu)
        return;
    for (int i = 0; i < menu->GetMenuItemCount(); ++i) {
        TMenu* top = menu->GetSubMenu(i);
        for (int j = 0; top && j < top->GetMenuItemCount(); ++j) {
            TMenu* cascade = top->GetSubMenu(j);
            if (!cascade || cascade->GetMenuItemCount() == 0)
                continue;
            const UINT first = cascade->GetMenuItemID(0);
            for (const std::vector<UINT>& ids : kCascades) {
                if (std::find(ids.begin(), ids.end(), first) != ids.end())
                    cascade->SetMenuDefaultItem(0, true);
            }
        }
    }
}

void MDIFrame::CleanupWindow()
{
    SavePlace();
    TDecoratedMDIFrame::CleanupWindow();
}

void MDIFrame::SavePlace()
{
    const TRect rect = GetWindowRect();
    int width = rect.Width();
    int height = rect.Height();
    if (IsZoomed())
        width = height = -1;
    else if (IsIconic())
        width = height = -2;
    const std::string file = Str(kStrProfileFileName);
    const std::string section = Str(kStrSectionApp);
    const std::pair<int, int> keys[] = {
        {kStrKeyFrameX, rect.left}, {kStrKeyFrameY, rect.top}, {kStrKeyFrameW, width}, {kStrKeyFrameH, height}};
    for (const auto& [key, value] : keys)
        WritePrivateProfileString(section.c_str(), Str(key), std::to_string(value).c_str(), file.c_str());
}

void MDIFrame::SetProjectCaption(const char* projectName)
{
    std::string caption = Str(kStrFrameTitle);
    if (projectName && *projectName)
        caption += std::string(Str(kStrCaptionJoin)) + projectName;
    SetCaption(caption.c_str());
}

void MDIFrame::UpdateGraphToolBar(bool rebuild)
{
    if (!harbor_)
        return;
    int level = 0;
    switch (Database().GetPanelType()) {
    case 11:
        level = 1;
        break;
    case 9:
        level = 2;
        break;
    case 14:
        level = 3;
        break;
    default:
        break;
    }
    harbor_->GetGraphBar().SetToolLevel(level, rebuild);
}

void MDIFrame::OpenGraphicPages()
{
    GetClient()->SendMessage(WM_COMMAND, CM_GRAPHICPAGES);
}

bool MDIFrame::CloseEditorsFirst(bool tell)
{
    if (GetClient()->CloseChildren())
        return true;
    if (tell)
        TApp::MessageBox(nullptr, GetHandle(), Str(kStrCloseWindowsFirst), Str(kStrApplicationMessage),
                         MB_ICONEXCLAMATION);
    return false;
}

void MDIFrame::CmExit()
{
    _QSglobals.WriteProjectSettings();
    CloseWindow();
}

void MDIFrame::EvSysCommand(UINT command, const TPoint&)
{
    if ((command & 0xFFF0) == SC_CLOSE) {
        PostMessage(WM_COMMAND, CM_EXIT);
        return;
    }
    DefaultProcessing();
}

void MDIFrame::ShowHelp(UINT command)
{
    const std::string file = ProgramPath(Str(kStrHelpFile));
    WinHelp(GetHandle(), file.c_str(), command, 0);
}

void MDIFrame::CmHelpContents()
{
    ShowHelp(HELP_CONTENTS);
}

void MDIFrame::CmHelpSearch()
{
    ShowHelp(HELP_FINDER);
}

void MDIFrame::CmHelpOnHelp()
{
    ShowHelp(HELP_HELPONHELP);
}

void MDIFrame::CmAbout()
{
    aboutboxDlg(this).Execute();
}

void MDIFrame::CmCheckSize()
{
    Database().CheckSize();
}

void MDIFrame::CmRegistered(WPARAM wParam, LPARAM)
{
    if (const TFrameCommand* command = FindFrameCommand(LOWORD(wParam)))
        command->run(*this);
}

void MDIFrame::CeFrameCommand(TCommandEnabler& enabler)
{
    const UINT id = enabler.GetId();
    const bool allowed = FrameAllows(id);
    enabler.Enable(allowed);
    if (!allowed)
        return;
    if (const TFrameCommand* command = FindFrameCommand(id); command && command->refine)
        command->refine(*this, enabler);
}

LRESULT MDIFrame::EvQueryPortSetting(WPARAM channel, LPARAM)
{
    int portCode = 0;
    switch (channel) {
    case 1:
    case 2:
        return Database().GetPortProtocol(static_cast<int>(channel), portCode);
    case 3:
    case 4: {
        HWND sheet = FindWindow(nullptr, Str(kStrProtocolSheetCaption));
        TWindow* sheetWindow = GetWindowPtr(sheet);
        TWindow* child = sheetWindow ? FindChildByCaption(*sheetWindow, Str(kStrProtocolChildCaption)) : nullptr;
        if (child)
            return child->SendMessage(WM_QUERYEDITEDPROTOCOL, channel);
        return Database().GetPortProtocol(static_cast<int>(channel) - 2, portCode);
    }
    default:
        return -1;
    }
}
