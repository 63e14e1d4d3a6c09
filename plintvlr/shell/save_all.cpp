#include "plintvlr/shell/save_all.h"

#include "plintvlr/shell/command_registry.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/main_frame.h"
#include "plintvlr/shell/mdi_client_win.h"
#include "platform/ui/command_enabler.h"

#include <functional>

namespace {

TSavable* SavableOf(TWindow& child)
{
    if (auto* savable = dynamic_cast<TSavable*>(&child))
        return savable;
    for (TWindow* carried : child.GetChildren()) {
        if (carried->IsWindow())
            return dynamic_cast<TSavable*>(carried);
    }
    return nullptr;
}

// Calls `visit` on each editor until it answers false.
void ForEachEditor(TWindow& client, const std::function<bool(TSavable&)>& visit)
{
    const std::vector<TWindow*> children = client.GetChildren();
    for (TWindow* child : children) {
        if (!child->IsWindow())
            continue;
        if (TSavable* savable = SavableOf(*child); savable && !visit(*savable))
            return;
    }
}

}  // namespace

bool AnyEditorModified(TWindow& client)
{
    bool modified = false;
    ForEachEditor(client, [&](TSavable& editor) {
        modified = editor.IsModified();
        return !modified;
    });
    return modified;
}

void SaveEveryEditor(TWindow& client)
{
    ForEachEditor(client, [](TSavable& editor) {
        editor.Save();
        return true;
    });
}

void RegisterSaveAll()
{
    RegisterFrameCommand(CM_SAVEALL, {
        [](MDIFrame& frame) {
            if (TMDIClientWin* client = frame.GetClient())
                SaveEveryEditor(*client);
        },
        [](MDIFrame& frame, TCommandEnabler& enabler) {
            TMDIClientWin* client = frame.GetClient();
            enabler.Enable(client && AnyEditorModified(*client));
        },
    });
}
