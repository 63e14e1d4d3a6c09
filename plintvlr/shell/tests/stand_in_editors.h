#pragma once
// Stand-ins for the editors and commands of the subsystems built on the
// shell: each editor is an edit control in an MDI host (the page editor an
// MDI child of its own), counts how often it was made and may refuse to close.

#include "plintvlr/shell/command_registry.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/mdi_client_win.h"
#include "platform/ui/controls/edit.h"
#include "platform/ui/mdi_child.h"

#include <array>
#include <map>
#include <string>

class TStandInEditor : public TEdit {
public:
    TStandInEditor(TWindow* parent, bool* refuse) : TEdit(parent, 301, "", 0, 0, 200, 60), refuse_(refuse) {}
    bool CanClose() override { return !(refuse_ && *refuse_) && TEdit::CanClose(); }

private:
    bool* refuse_;
};

struct StandIns {
    std::array<int, kEditorKindCount> made{};
    std::array<TEditorRequest, kEditorKindCount> requests{};
    std::map<UINT, int> runs;
    bool refuseClose = false;

    // Every editor factory, and every command of the menu that later
    // subsystems carry out.
    void RegisterAll()
    {
        for (int kind = 0; kind < kEditorKindCount; ++kind)
            RegisterEditor(static_cast<TEditorKind>(kind));
        for (UINT id : {CM_NEWPROJECT, CM_OPENPROJECT, CM_OPENDTBFILE, CM_SAVEPROJECTAS, CM_SAVEALL, CM_EXPORT,
                        CM_IMPORT, CM_PRINTERSETUP, CM_PREFERENCES, CM_PROTOCOLTYPE, CM_COMMPORT1, CM_COMMPORT2,
                        CM_CLOCKCOMMS, CM_PAGECHANGE, CM_SYSTEMKEYS, CM_TRANSFER, CM_MAINTOOLBAR,
                        CM_GRAPHICSTOOLBAR})
            RegisterCommand(id);
        RegisterRecordItems();
    }

    void RegisterEditor(TEditorKind kind)
    {
        RegisterEditorFactory(kind, [this, kind](TMDIClientWin& client, const TEditorRequest& request) {
            const auto index = static_cast<std::size_t>(kind);
            ++made[index];
            requests[index] = request;
            auto* host = new TMDIChild(client, Caption(kind));
            auto* editor = new TStandInEditor(host, &refuseClose);
            host->SetClientWindow(editor);
            host->Create();
            host->ShowWindow(SW_SHOW);
            if (kind == TEditorKind::GraphicPages)
                return TEditorWindows{host, host};
            return TEditorWindows{editor, host};
        });
    }

    void RegisterCommand(UINT id)
    {
        RegisterFrameCommand(id, {[this, id](MDIFrame&) { ++runs[id]; }, nullptr});
    }

    // The record items, which the editors' own windows carry out.
    static void RegisterRecordItems()
    {
        for (UINT id : {CM_SAVERECORD, CM_DELETERECORD, CM_NEWRECORD, CM_PREVIOUSRECORD, CM_NEXTRECORD, CM_BROWSER})
            RegisterWindowCommand(id);
    }

    int Made(TEditorKind kind) const { return made[static_cast<std::size_t>(kind)]; }

    static const char* Caption(TEditorKind kind)
    {
        static const char* const captions[] = {"Tag Editor", "Graphic Page Editor", "System Settings",
                                               "Overview Group Editor", "Message Table Editor",
                                               "Comms Block Editor", "Recipe Group Editor"};
        return captions[static_cast<std::size_t>(kind)];
    }
};
