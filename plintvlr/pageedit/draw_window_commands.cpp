// The page canvas's commands: the Edit, Layout, Template and Graphics items
// of the frame's menu and the canvas's pop-up menu, with their enablers, and
// the drawing tools. The canvas registers them with the shell, so the frame
// shows the items and the graphics tool bar the buttons.

#include "plintvlr/pageedit/draw_window.h"

#include "plintvlr/dataelements/touch_grid.h"
#include "plintvlr/elements/combo_elem.h"
#include "plintvlr/elements/lines_elem.h"
#include "plintvlr/pageedit/canvas_string_ids.h"
#include "plintvlr/pageedit/convert_dlg.h"

#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/pageedit/grid_dialog.h"
#include "plintvlr/pageedit/page_browser.h"
#include "plintvlr/pageedit/page_clipboard_rules.h"
#include "plintvlr/pageedit/size_rect_manager.h"
#include "plintvlr/pageedit/zorder_dlg.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/command_registry.h"
#include "plintvlr/shell/frame_commands.h"
#include "platform/ui/menu.h"

#include <cstdio>

namespace {

struct ToolRule {
    UINT tool;
    const char* cursor;
    // 0: every panel; 1: types 9, 11 and 14; 2: types 9 and 14; 3: type 14.
    int panels;
    // Data and operator elements: the tool exists once their constructor does.
    bool registered;
};

constexpr ToolRule kTools[] = {
    {CM_SELECTGRAPHICS, nullptr, 0, false},
    {CM_ADDTEXT, "text", 0, false},
    {CM_ADDTAGDISPLAY, "point", 0, false},
    {DrawWindow::kDigitalTagDisplayTool, "digpoint", 0, false},
    {CM_ADDDRIVEOUT, "drive", 1, true},
    {CM_ADDMESSAGE, "message", 1, true},
    {CM_ADDLINES, "lines", 1, false},
    {CM_ADDFRAME, "tlframe", 2, false},
    {CM_ADDCIRCLE, "tlcircle", 2, false},
    {CM_ADDRECTANGLE, "tlrect", 2, false},
    {CM_ADDBITMAP, "bitmap", 2, false},
    {CM_ADDTREND, "trend", 2, true},
    {CM_ADDMETER, "meter", 2, true},
    {CM_ADDTRENDRECORDER, "trndrcrd", 2, true},
    {CM_ADDTOUCHREGION, "touch", 3, true},
    {CM_ADDPUSHBUTTON, "button", 3, true},
};

const ToolRule* FindTool(UINT tool)
{
    for (const ToolRule& rule : kTools) {
        if (rule.tool == tool)
            return &rule;
    }
    return nullptr;
}

bool PanelAllows(int panels, int type)
{
    switch (panels) {
    case 1:
        return type == 9 || type == 11 || type == 14;
    case 2:
        return type == 9 || type == 14;
    case 3:
        return type == 14;
    default:
        return true;
    }
}

// The commands the canvas carries out whatever else is registered.
constexpr UINT kCanvasCommands[] = {
    CM_UNDO,          CM_CUT,          CM_COPY,         CM_PASTE,         CM_DELETESELECTION, CM_CONFIGURE,
    CM_TURN,          CM_ALIGNLEFT,    CM_ALIGNTOP,     CM_ALIGNRIGHT,    CM_ALIGNBOTTOM,     CM_ALIGNHCENTER,
    CM_ALIGNVCENTER,  CM_SHUFFLE,      CM_SELECTALL,    CM_GROUP,         CM_UNGROUP,         CM_ADDTEMPLATE,
    CM_DELETETEMPLATE, CM_GOTOTEMPLATE, CM_BACKTOMASTER, CM_EDITZORDER,   CM_SENDTOBACK,      CM_LOCKSELECTION,
    CM_UNLOCKALL,     CM_SETGRID,      CM_GRIDON,       CM_HIDEGRIDLINES, CM_TOUCHGRID,       CM_ANIMATION,
};
// "Embed Comms Blocks" stays in the response table but is not registered:
// its dialog comes with the data elements, which register the command then.

}  // namespace

const TResponseTable DrawWindow::Responses{&TWindow::Responses, {
    OnMessage<&DrawWindow::EvMouseMove>(WM_MOUSEMOVE),
    OnMessage<&DrawWindow::EvLButtonDown>(WM_LBUTTONDOWN),
    OnMessage<&DrawWindow::EvLButtonUp>(WM_LBUTTONUP),
    OnMessage<&DrawWindow::EvLButtonDblClk>(WM_LBUTTONDBLCLK),
    OnMessage<&DrawWindow::EvRButtonDown>(WM_RBUTTONDOWN),
    OnMessage<&DrawWindow::EvKeyDown>(WM_KEYDOWN),
    OnMessage<&DrawWindow::EvTimer>(WM_TIMER),
    OnMessage<&DrawWindow::EvSetCursor>(WM_SETCURSOR),

    // Convert To Tags.
    OnMessage<&DrawWindow::EvConvertToTagsStart>(kConvertToTagsMessage),
    OnMessage<&DrawWindow::EvConvertToTagsConvert>(kConvertTagsConvert),
    OnMessage<&DrawWindow::EvConvertToTagsFinish>(kConvertTagsFinish),

    OnCommand<&DrawWindow::CmCut>(CM_CUT),
    OnCommandEnable<&DrawWindow::CeSelectionOrKey>(CM_CUT),
    OnCommand<&DrawWindow::CmCopy>(CM_COPY),
    OnCommandEnable<&DrawWindow::CeSelectionOrKey>(CM_COPY),
    OnCommand<&DrawWindow::CmPaste>(CM_PASTE),
    OnCommandEnable<&DrawWindow::CePaste>(CM_PASTE),
    OnCommand<&DrawWindow::CmSelectAll>(CM_SELECTALL),
    OnCommandEnable<&DrawWindow::CeSelectAll>(CM_SELECTALL),
    OnCommand<&DrawWindow::CmGroup>(CM_GROUP),
    OnCommandEnable<&DrawWindow::CeGroup>(CM_GROUP),
    OnCommand<&DrawWindow::CmUngroup>(CM_UNGROUP),
    OnCommandEnable<&DrawWindow::CeUngroup>(CM_UNGROUP),
    OnCommand<&DrawWindow::CmAlignLeft>(CM_ALIGNLEFT),
    OnCommand<&DrawWindow::CmAlignRight>(CM_ALIGNRIGHT),
    OnCommand<&DrawWindow::CmAlignTop>(CM_ALIGNTOP),
    OnCommand<&DrawWindow::CmAlignBottom>(CM_ALIGNBOTTOM),
    OnCommand<&DrawWindow::CmCenterHorizontally>(CM_ALIGNHCENTER),
    OnCommand<&DrawWindow::CmCenterVertically>(CM_ALIGNVCENTER),
    OnCommand<&DrawWindow::CmAddTemplate>(CM_ADDTEMPLATE),
    OnCommandEnable<&DrawWindow::CeSetGrid>(CM_ADDTEMPLATE),
    OnCommandEnable<&DrawWindow::CeManySelected>(CM_ALIGNLEFT),
    OnCommandEnable<&DrawWindow::CeManySelected>(CM_ALIGNRIGHT),
    OnCommandEnable<&DrawWindow::CeManySelectedGraphic>(CM_ALIGNTOP),
    OnCommandEnable<&DrawWindow::CeManySelectedGraphic>(CM_ALIGNBOTTOM),
    OnCommandEnable<&DrawWindow::CeManySelectedGraphic>(CM_ALIGNHCENTER),
    OnCommandEnable<&DrawWindow::CeManySelectedGraphic>(CM_ALIGNVCENTER),
    OnCommand<&DrawWindow::CmShuffle>(CM_SHUFFLE),
    OnCommandEnable<&DrawWindow::CeManySelected>(CM_SHUFFLE),
    OnCommand<&DrawWindow::CmEditZOrder>(CM_EDITZORDER),
    OnCommandEnable<&DrawWindow::CeEditZOrder>(CM_EDITZORDER),
    OnCommand<&DrawWindow::CmSendToBack>(CM_SENDTOBACK),
    OnCommandEnable<&DrawWindow::CeSomethingSelected>(CM_SENDTOBACK),
    OnCommand<&DrawWindow::CmLockSelection>(CM_LOCKSELECTION),
    OnCommandEnable<&DrawWindow::CeSomethingSelected>(CM_LOCKSELECTION),
    OnCommand<&DrawWindow::CmUnlockAll>(CM_UNLOCKALL),
    OnCommandEnable<&DrawWindow::CeUnlockAll>(CM_UNLOCKALL),
    OnCommand<&DrawWindow::CmEmbedComms>(CM_EMBEDCOMMS),
    OnCommandEnable<&DrawWindow::CeEmbedComms>(CM_EMBEDCOMMS),
    OnCommand<&DrawWindow::CmGridOn>(CM_GRIDON),
    OnCommandEnable<&DrawWindow::CeGridOn>(CM_GRIDON),
    OnCommand<&DrawWindow::CmHideGridLines>(CM_HIDEGRIDLINES),
    OnCommandEnable<&DrawWindow::CeHideGridLines>(CM_HIDEGRIDLINES),
    OnCommand<&DrawWindow::CmSetGrid>(CM_SETGRID),
    OnCommandEnable<&DrawWindow::CeSetGrid>(CM_SETGRID),
    OnCommand<&DrawWindow::CmUndo>(CM_UNDO),
    OnCommandEnable<&DrawWindow::CeUndo>(CM_UNDO),
    OnCommand<&DrawWindow::CmDelete>(CM_DELETESELECTION),
    OnCommandEnable<&DrawWindow::CeSelectionOrKey>(CM_DELETESELECTION),
    OnCommand<&DrawWindow::CmConfigure>(CM_CONFIGURE),
    OnCommandEnable<&DrawWindow::CeConfigure>(CM_CONFIGURE),
    OnCommand<&DrawWindow::CmTurn>(CM_TURN),
    OnCommandEnable<&DrawWindow::CeTurn>(CM_TURN),
    OnCommand<&DrawWindow::CmDeleteTemplate>(CM_DELETETEMPLATE),
    OnCommandEnable<&DrawWindow::CeHasTemplate>(CM_DELETETEMPLATE),
    OnCommand<&DrawWindow::CmGoToTemplate>(CM_GOTOTEMPLATE),
    OnCommandEnable<&DrawWindow::CeHasTemplate>(CM_GOTOTEMPLATE),
    OnCommand<&DrawWindow::CmBackToMaster>(CM_BACKTOMASTER),
    OnCommandEnable<&DrawWindow::CeBackToMaster>(CM_BACKTOMASTER),
    OnCommand<&DrawWindow::CmTouchGrid>(CM_TOUCHGRID),
    OnCommandEnable<&DrawWindow::CeTouchGrid>(CM_TOUCHGRID),
    OnCommand<&DrawWindow::CmAnimation>(CM_ANIMATION),
    OnCommandEnable<&DrawWindow::CeAnimation>(CM_ANIMATION),

    OnCommand<&DrawWindow::CmTool>(CM_SELECTGRAPHICS),
    OnCommand<&DrawWindow::CmTool>(CM_ADDTEXT),
    OnCommand<&DrawWindow::CmTool>(CM_ADDTAGDISPLAY),
    OnCommand<&DrawWindow::CmTool>(DrawWindow::kDigitalTagDisplayTool),
    OnCommand<&DrawWindow::CmTool>(CM_ADDDRIVEOUT),
    OnCommand<&DrawWindow::CmTool>(CM_ADDMESSAGE),
    OnCommand<&DrawWindow::CmTool>(CM_ADDLINES),
    OnCommand<&DrawWindow::CmTool>(CM_ADDFRAME),
    OnCommand<&DrawWindow::CmTool>(CM_ADDCIRCLE),
    OnCommand<&DrawWindow::CmTool>(CM_ADDRECTANGLE),
    OnCommand<&DrawWindow::CmTool>(CM_ADDBITMAP),
    OnCommand<&DrawWindow::CmTool>(CM_ADDTREND),
    OnCommand<&DrawWindow::CmTool>(CM_ADDMETER),
    OnCommand<&DrawWindow::CmTool>(CM_ADDTRENDRECORDER),
    OnCommand<&DrawWindow::CmTool>(CM_ADDTOUCHREGION),
    OnCommand<&DrawWindow::CmTool>(CM_ADDPUSHBUTTON),
    OnCommandEnable<&DrawWindow::CeTool>(CM_SELECTGRAPHICS),
    OnCommandEnable<&DrawWindow::CeTool>(CM_ADDTEXT),
    OnCommandEnable<&DrawWindow::CeTool>(CM_ADDTAGDISPLAY),
    OnCommandEnable<&DrawWindow::CeTool>(DrawWindow::kDigitalTagDisplayTool),
    OnCommandEnable<&DrawWindow::CeTool>(CM_ADDDRIVEOUT),
    OnCommandEnable<&DrawWindow::CeTool>(CM_ADDMESSAGE),
    OnCommandEnable<&DrawWindow::CeTool>(CM_ADDLINES),
    OnCommandEnable<&DrawWindow::CeTool>(CM_ADDFRAME),
    OnCommandEnable<&DrawWindow::CeTool>(CM_ADDCIRCLE),
    OnCommandEnable<&DrawWindow::CeTool>(CM_ADDRECTANGLE),
    OnCommandEnable<&DrawWindow::CeTool>(CM_ADDBITMAP),
    OnCommandEnable<&DrawWindow::CeTool>(CM_ADDTREND),
    OnCommandEnable<&DrawWindow::CeTool>(CM_ADDMETER),
    OnCommandEnable<&DrawWindow::CeTool>(CM_ADDTRENDRECORDER),
    OnCommandEnable<&DrawWindow::CeTool>(CM_ADDTOUCHREGION),
    OnCommandEnable<&DrawWindow::CeTool>(CM_ADDPUSHBUTTON),
}};

// --- Tools ---------------------------------------------------------------------

const char* DrawWindow::ToolCursor(UINT tool)
{
    const ToolRule* rule = FindTool(tool);
    return rule ? rule->cursor : nullptr;
}

bool DrawWindow::IsToolEnabled(UINT tool) const
{
    const ToolRule* rule = FindTool(tool);
    return rule && PanelAllows(rule->panels, panel_.type) && (!rule->registered || FindToolElement(tool));
}

void DrawWindow::SetTool(UINT tool)
{
    if (tool_ == CM_ADDLINES && polylineFlag_) {
        PlacePolyline();
        polylineFlag_ = false;
    }
    tool_ = tool;
    HoverAtMouse(0);
    if (tool_ != CM_SELECTGRAPHICS)
        ShowCursor(ToolCursor(tool_));
}

void DrawWindow::CmTool(WPARAM wParam, LPARAM)
{
    SetTool(LOWORD(wParam));
}

void DrawWindow::CeTool(TCommandEnabler& ce)
{
    ce.Enable(IsToolEnabled(ce.GetId()));
}

// --- Edit ------------------------------------------------------------------------

// --- The model's selection edits -------------------------------------------------

int DrawWindow::UndoCount() const
{
    return model_->UndoCount();
}

void DrawWindow::UndoOnce()
{
    model_->Undo();
}

void DrawWindow::DeleteSelected()
{
    model_->DeleteSelection();
}

void DrawWindow::ApplyDrag(int handle, const TSize& delta)
{
    model_->MoveSelection(handle, delta);
}

void DrawWindow::PushNodeSnapshot(const LinesElem& lines)
{
    auto snapshot = std::make_unique<SizeRectArray>();
    SizeRectManager::AddClone(lines, *snapshot);
    model_->PushUndo(std::move(snapshot));
}

void DrawWindow::CmCut()
{
    EditCut(*model_);
}

void DrawWindow::CmCopy()
{
    EditCopy(*model_);
}

void DrawWindow::CmPaste()
{
    EditPaste(*model_);
}

void DrawWindow::CePaste(TCommandEnabler& ce)
{
    ce.Enable(CanEditPaste(pickup_));
}

void DrawWindow::CmSelectAll()
{
    model_->SelectAll();
}

void DrawWindow::CeSelectAll(TCommandEnabler& ce)
{
    ce.Enable(!pickup_ && model_->GetElements().Count() > 0);
}

void DrawWindow::CmGroup()
{
    StopAnimation();
    model_->GroupSelection();
}

void DrawWindow::CeGroup(TCommandEnabler& ce)
{
    ce.Enable(!IsTextPanel() && !pickup_ && model_->SelectionCount() > 1);
}

void DrawWindow::CmUngroup()
{
    StopAnimation();
    model_->UngroupSelection();
}

void DrawWindow::CeUngroup(TCommandEnabler& ce)
{
    ce.Enable(!pickup_ && model_->FirstSelectedGroup() != nullptr);
}

// --- Layout ---------------------------------------------------------------------

void DrawWindow::CeManySelected(TCommandEnabler& ce)
{
    ce.Enable(!pickup_ && model_->SelectionCount() > 1);
}

void DrawWindow::CeManySelectedGraphic(TCommandEnabler& ce)
{
    ce.Enable(!IsTextPanel() && !pickup_ && model_->SelectionCount() > 1);
}

void DrawWindow::CmAlignLeft()
{
    model_->AlignLeft();
}

void DrawWindow::CmAlignRight()
{
    model_->AlignRight();
}

void DrawWindow::CmAlignTop()
{
    model_->AlignTop();
}

void DrawWindow::CmAlignBottom()
{
    model_->AlignBottom();
}

void DrawWindow::CmCenterHorizontally()
{
    model_->CenterHorizontally();
}

void DrawWindow::CmCenterVertically()
{
    model_->CenterVertically();
}

void DrawWindow::CmShuffle()
{
    model_->ShuffleOverlayed();
}

void DrawWindow::CmEditZOrder()
{
    const ActivePageEditor* editor = GetActivePageEditor();
    auto* dialog = new ZOrderDlg(editor ? editor->GetMDIClient() : nullptr, *model_);
    dialog->Create();
}

void DrawWindow::CeEditZOrder(TCommandEnabler& ce)
{
    const int count = model_->SelectionCount();
    ce.Enable(!pickup_ && (count > 1 || (count == 1 && model_->FirstSelectedGroup() != nullptr)));
}

void DrawWindow::CmSendToBack()
{
    model_->SendToBack();
}

void DrawWindow::CmLockSelection()
{
    model_->LockSelection();
}

void DrawWindow::CeSomethingSelected(TCommandEnabler& ce)
{
    ce.Enable(!pickup_ && model_->SelectionCount() > 0);
}

void DrawWindow::CmUnlockAll()
{
    model_->UnlockAll();
}

void DrawWindow::CeUnlockAll(TCommandEnabler& ce)
{
    ce.Enable(model_->HasLockedElements());
}

void DrawWindow::CmEmbedComms()
{
    model_->EditEmbeddedCommsBlocks();
}

void DrawWindow::CeEmbedComms(TCommandEnabler& ce)
{
    ce.Enable(PanelAllows(1, panel_.type));
}

// --- The graphics grid -------------------------------------------------------------

void DrawWindow::CmGridOn()
{
    if (grid_.GridOn())
        Invalidate(true);
}

void DrawWindow::CeGridOn(TCommandEnabler& ce)
{
    grid_.EnableGridOn(ce, IsTextPanel(), pickup_);
}

void DrawWindow::CmHideGridLines()
{
    if (grid_.ToggleLines())
        Invalidate(true);
}

void DrawWindow::CeHideGridLines(TCommandEnabler& ce)
{
    grid_.EnableHideLines(ce, IsTextPanel(), pickup_);
}

void DrawWindow::CmSetGrid()
{
    const ActivePageEditor* editor = GetActivePageEditor();
    OpenGridDialog(editor ? editor->GetMDIClient() : nullptr, grid_, this);
}

void DrawWindow::CeSetGrid(TCommandEnabler& ce)
{
    GraphGridState::EnableSetGrid(ce, IsTextPanel(), pickup_);
}

void DrawWindow::CmUndo()
{
    if (UndoCount() > 0)
        UndoOnce();
}

void DrawWindow::CeUndo(TCommandEnabler& ce)
{
    char text[64];
    std::snprintf(text, sizeof text, Str(kStrUndoCount), UndoCount());
    ce.SetText(text);
    ce.Enable(!pickup_ && UndoCount() > 0);
}

void DrawWindow::CmDelete()
{
    DeleteSelected();
}

void DrawWindow::CeSelectionOrKey(TCommandEnabler& ce)
{
    ce.Enable(!pickup_ && (model_->SelectionCount() > 0 || model_->GetCurrentKey() != 0));
}

void DrawWindow::CmConfigure()
{
    model_->ConfigureSelection();
}

void DrawWindow::CeConfigure(TCommandEnabler& ce)
{
    const bool one = model_->SelectionCount() == 1;
    const bool group = one && dynamic_cast<const ComboElem*>(model_->FirstSelected()) != nullptr;
    ce.Enable(one && (!group || IsColorPanel()));
}

void DrawWindow::CmTurn()
{
    model_->TurnSelection();
}

void DrawWindow::CeTurn(TCommandEnabler& ce)
{
    ce.Enable(!IsTextPanel() && model_->CanTurnSelection());
}

// --- Template -------------------------------------------------------------------

void DrawWindow::CmAddTemplate()
{
    const ActivePageEditor* editor = GetActivePageEditor();
    OpenTemplatePicker(editor ? editor->GetMDIClient() : nullptr, model_->GetTemplatePage());
}

void DrawWindow::CmDeleteTemplate()
{
    model_->SetTemplatePage(0);
    Invalidate(true);
}

void DrawWindow::CeHasTemplate(TCommandEnabler& ce)
{
    ce.Enable(!pickup_ && model_->GetTemplatePage() != 0);
}

void DrawWindow::CmGoToTemplate()
{
    const int master = static_cast<int>(model_->GetPageNumber());
    const int page = model_->GetTemplatePage();
    masterPage_ = master;
    ShowPage(page);
}

void DrawWindow::CmBackToMaster()
{
    const int master = masterPage_;
    masterPage_ = 0;
    ShowPage(master);
}

void DrawWindow::CeBackToMaster(TCommandEnabler& ce)
{
    ce.Enable(!pickup_ && masterPage_ != 0);
}

// --- Touch grid and animation -----------------------------------------------------

void DrawWindow::CmTouchGrid()
{
    if (!touchGrid_)
        return;
    touchGrid_->SetVisible(!touchGrid_->IsVisible());
    Invalidate(true);
}

void DrawWindow::CeTouchGrid(TCommandEnabler& ce)
{
    ce.SetText(Str(touchGrid_ && touchGrid_->IsVisible() ? kStrTouchGridOff : kStrTouchGridOn));
    ce.Enable(touchGrid_ != nullptr);
}

void DrawWindow::CmAnimation()
{
    if (animating_)
        StopAnimation();
    else
        StartAnimation();
}

void DrawWindow::CeAnimation(TCommandEnabler& ce)
{
    ce.SetText(Str(animating_ ? kStrAnimationOff : kStrAnimationOn));
    ce.Enable(true);
}

void DrawWindow::StartAnimation()
{
    if (animating_)
        return;
    SetTimer(kAnimationTimer, kAnimationPeriod);
    animating_ = true;
    model_->StartAnimation();
}

void DrawWindow::StopAnimation()
{
    if (!animating_)
        return;
    KillTimer(kAnimationTimer);
    animating_ = false;
    model_->StopAnimation();
}

// --- Registration ---------------------------------------------------------------

void RegisterPageCanvasCommands()
{
    for (UINT id : kCanvasCommands)
        RegisterWindowCommand(id);
    for (const ToolRule& rule : kTools) {
        if (!rule.registered || FindToolElement(rule.tool))
            RegisterWindowCommand(rule.tool);
    }
}

void DrawWindow::RegisterCanvasMenu()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    RegisterMenuTemplate(TResId(DrawWindow::kCanvasMenu), {
        Popup("Canvas", {
            MenuItem("&Undo", CM_UNDO),
            MenuSeparator(),
            MenuItem("Cu&t", CM_CUT),
            MenuItem("&Copy", CM_COPY),
            MenuItem("&Paste", CM_PASTE),
            MenuItem("&Delete", CM_DELETESELECTION),
            MenuSeparator(),
            MenuItem("Con&figure", CM_CONFIGURE),
            MenuItem("Toggle Or&ientation", CM_TURN),
            MenuSeparator(),
            MenuItem("Group", CM_GROUP),
            MenuItem("Ungroup", CM_UNGROUP),
            Popup("Ali&gn to", {
                MenuItem("&Left", CM_ALIGNLEFT),
                MenuItem("&Top", CM_ALIGNTOP),
                MenuItem("&Right", CM_ALIGNRIGHT),
                MenuItem("&Bottom", CM_ALIGNBOTTOM),
                MenuSeparator(),
                MenuItem("&Horizontal Center", CM_ALIGNHCENTER),
                MenuItem("&Vertical Center", CM_ALIGNVCENTER),
            }),
            Popup("&Z order", {
                MenuItem("&Edit Z-Order", CM_EDITZORDER),
                MenuItem("&Shuffle Overlayed", CM_SHUFFLE),
                MenuItem("Send to &Back", CM_SENDTOBACK),
            }),
        }),
    });
}
