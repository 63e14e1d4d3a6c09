#include "plintvlr/shell/mdi_client_win.h"

#include "plintvlr/db/qs_globals.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/frame_string_ids.h"
#include "plintvlr/shell/main_frame.h"
#include "plintvlr/shell/program_objects.h"
#include "plintvlr/shell/status_line.h"
#include "plintvlr/shell/win_positioner.h"
#include "platform/ui/focus_watch.h"
#include "platform/ui/frame_window.h"
#include "platform/ui/mdi_child.h"
#include "platform/ui/property_sheet.h"
#include "platform/ui/window_api.h"

#include <string>

namespace {

adatabase& Database()
{
    return _QSglobals.GetDatabase();
}

// The record items' kind for the editor with the focus, and which of their
// accelerator texts (Ctrl+S, PgUp, PgDn) apply to it.
struct RecordKind {
    int kindText;
    bool save;
    bool previousNext;
};
constexpr RecordKind kPageKind{kStrKindPage, true, true};

RecordKind KindOf(TEditorKind kind)
{
    switch (kind) {
    case TEditorKind::Tags: return {kStrKindTag, false, false};
    case TEditorKind::OverviewGroups: return {kStrKindOverviewGroup, true, true};
    case TEditorKind::MessageTables: return {kStrKindMessageTable, true, false};
    case TEditorKind::CommsBlocks: return {kStrKindCommsBlock, true, true};
    case TEditorKind::RecipeGroups: return {kStrKindRecipe, true, false};
    default: return kPageKind;
    }
}

bool HasRecordKind(TEditorKind kind)
{
    return kind != TEditorKind::GraphicPages && kind != TEditorKind::SystemSettings;
}

}  // namespace

const TResponseTable TMDIClientWin::Responses{&TMDIClient::Responses, {
    OnCommand<&TMDIClientWin::CmGraphicPages>(CM_GRAPHICPAGES),
    OnCommand<&TMDIClientWin::CmTags>(CM_TAGS),
    OnCommand<&TMDIClientWin::CmSystemSettings>(CM_SYSTEMSETTINGS),
    OnCommand<&TMDIClientWin::CmPasswords>(CM_PASSWORDS),
    OnCommand<&TMDIClientWin::CmOverviewGroups>(CM_OVERVIEWGROUPS),
    OnCommand<&TMDIClientWin::CmMessageTables>(CM_MESSAGETABLES),
    OnCommand<&TMDIClientWin::CmCommsBlocks>(CM_COMMSBLOCKS),
    OnCommand<&TMDIClientWin::CmRecipeGroups>(CM_RECIPEGROUPS),
    OnCommand<&TMDIClientWin::CmCloseProject>(CM_CLOSEPROJECT),
    OnCommand<&TMDIClientWin::CmCloseWindow>(CM_CLOSEWINDOW),
    OnCommandEnable<&TMDIClientWin::CeCloseProject>(CM_CLOSEPROJECT),
    OnCommandEnable<&TMDIClientWin::CeCloseWindow>(CM_CLOSEWINDOW),
    OnMessage<&TMDIClientWin::EvMDIDestroy>(WM_MDIDESTROY),
    OnMessage<&TMDIClientWin::EvKillFocus>(WM_KILLFOCUS),
}};

TMDIClientWin::TMDIClientWin(TModule* module) : TMDIClient(module) {}

TMDIClientWin::~TMDIClientWin() = default;

void TMDIClientWin::SetupWindow()
{
    TMDIClient::SetupWindow();
    // Under the layer the client itself seldom holds the focus, so every move
    // of the focus is watched, not only the client's own loss of it.
    focusWatch_ = std::make_unique<TFocusWatch>([this](HWND gaining) {
        if (gaining)
            RelabelRecordItems(gaining);
    });
}

void TMDIClientWin::CleanupWindow()
{
    focusWatch_.reset();
    TMDIClient::CleanupWindow();
}

TWindow* TMDIClientWin::GetEditor(TEditorKind kind) const
{
    return editors_[static_cast<std::size_t>(kind)].editor;
}

TWindow* TMDIClientWin::GetEditorHost(TEditorKind kind) const
{
    return editors_[static_cast<std::size_t>(kind)].host;
}

bool TMDIClientWin::OpenEditor(TEditorKind kind, const TEditorRequest& request)
{
    TEditorWindows& slot = Slot(kind);
    if (slot.editor && slot.editor->IsWindowVisible()) {
        // A page editor that an open dialog has disabled stays where it is.
        if (kind != TEditorKind::GraphicPages || slot.editor->IsWindowEnabled())
            BringForward(*slot.host);
        return false;
    }
    const TEditorFactory* factory = FindEditorFactory(kind);
    if (!factory)
        return false;
    TEditorWindows made = (*factory)(*this, request);
    if (made.editor && !made.host)
        made.host = made.editor;
    slot = made;
    return true;
}

void TMDIClientWin::BringForward(TWindow& window)
{
    // An editor's host on top of the others is the active MDI child.
    if (dynamic_cast<TMDIChild*>(&window) && window.GetParentO() == this)
        SendMessage(WM_MDIACTIVATE, reinterpret_cast<WPARAM>(window.GetHandle()));
    else
        window.BringWindowToTop();
}

void TMDIClientWin::CmGraphicPages()
{
    OpenEditor(TEditorKind::GraphicPages, {});
}

void TMDIClientWin::CmTags()
{
    OpenEditor(TEditorKind::Tags, {});
}

void TMDIClientWin::OpenSystemSheet(int page)
{
    TEditorRequest request;
    request.page = page;
    if (!OpenEditor(TEditorKind::SystemSettings, request)) {
        if (TWindow* sheet = GetEditor(TEditorKind::SystemSettings))
            sheet->SendMessage(PSM_SETCURSEL, static_cast<WPARAM>(page));
    }
}

void TMDIClientWin::CmSystemSettings()
{
    OpenSystemSheet(0);
}

void TMDIClientWin::CmPasswords()
{
    OpenSystemSheet(2);
}

void TMDIClientWin::CmOverviewGroups()
{
    TEditorRequest request;
    request.resourceId = Database().GetPanelType() == 14 ? 11814 : 11813;
    OpenEditor(TEditorKind::OverviewGroups, request);
}

void TMDIClientWin::CmMessageTables()
{
    TEditorRequest request;
    request.registry = &MessageTableRegistry();
    request.errors = &GetErrorHolder();
    OpenEditor(TEditorKind::MessageTables, request);
}

void TMDIClientWin::CmCommsBlocks()
{
    OpenEditor(TEditorKind::CommsBlocks, {});
}

void TMDIClientWin::CmRecipeGroups()
{
    OpenEditor(TEditorKind::RecipeGroups, {});
}

void TMDIClientWin::CenterChild(TWindow& dialog)
{
    CenterWindowOver(dialog.GetHandle(), GetHandle());
}

void TMDIClientWin::EnableEditor(bool enable)
{
    TWindow* editor = GetEditor(TEditorKind::GraphicPages);
    if (!editor || !editor->IsWindowVisible())
        return;
    editor->EnableWindow(enable);
    if (enable)
        BringForward(*editor);
}

void TMDIClientWin::CmCloseProject()
{
    if (!CloseChildren())
        return;
    Database().MarkClosed();
    if (MDIFrame* frame = MDIFrame::GetMainFrame())
        frame->SetProjectCaption("");
    TStatusLine::SetUsedText("");
    TStatusLine::SetFreeText("");
    TStatusLine::SetModel(0);
}

void TMDIClientWin::CeCloseProject(TCommandEnabler& enabler)
{
    enabler.Enable(Database().IsOpen());
}

void TMDIClientWin::CmCloseWindow()
{
    if (TMDIChild* child = GetActiveMDIChild())
        child->SendMessage(WM_CLOSE);
}

void TMDIClientWin::CeCloseWindow(TCommandEnabler& enabler)
{
    enabler.Enable(GetActiveMDIChild() != nullptr);
}

LRESULT TMDIClientWin::EvMDIDestroy(WPARAM child, LPARAM)
{
    TWindow* gone = GetWindowPtr(reinterpret_cast<HWND>(child));
    for (TEditorWindows& slot : editors_) {
        if (gone && slot.host == gone) {
            slot = {};
            break;
        }
    }
    return DefaultProcessing();
}

void TMDIClientWin::EvKillFocus(HWND gaining)
{
    DefaultProcessing();
    if (gaining)
        RelabelRecordItems(gaining);
}

void TMDIClientWin::RelabelRecordItems(HWND focus)
{
    auto* frame = dynamic_cast<TFrameWindow*>(GetParentO());
    TMenu* menu = frame ? frame->GetMenu() : nullptr;
    if (!menu)
        return;
    RecordKind kind = kPageKind;
    TWindow* window = GetWindowPtr(focus);
    for (std::size_t i = 0; i < editors_.size(); ++i) {
        const auto editorKind = static_cast<TEditorKind>(i);
        TWindow* host = editors_[i].host;
        if (host && HasRecordKind(editorKind) && window && (window == host || window->IsChildOf(host)))
            kind = KindOf(editorKind);
    }
    const std::string name = Str(kind.kindText);
    const std::string save = Str(kStrSaveKind) + name + (kind.save ? Str(kStrAccelSave) : "");
    const std::string remove = Str(kStrDeleteKind) + name;
    const std::string add = Str(kStrNewKind) + name;
    const std::string previous = Str(kStrPreviousKind) + name + (kind.previousNext ? Str(kStrAccelPrevious) : "");
    const std::string next = Str(kStrNextKind) + name + (kind.previousNext ? Str(kStrAccelNext) : "");
    const std::pair<UINT, const std::string*> items[] = {
        {CM_SAVERECORD, &save}, {CM_DELETERECORD, &remove}, {CM_NEWRECORD, &add},
        {CM_PREVIOUSRECORD, &previous}, {CM_NEXTRECORD, &next}};
    for (const auto& [id, text] : items)
        menu->ModifyMenu(id, MF_BYCOMMAND | MF_STRING, id, text->c_str());
}
