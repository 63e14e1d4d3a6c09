#include "plintvlr/shell/page_editor_lock.h"

#include "plintvlr/shell/mdi_client_win.h"

#include <map>

namespace {

std::map<const TWindow*, int>& Holds()
{
    static std::map<const TWindow*, int> holds;
    return holds;
}

}  // namespace

void HoldPageEditor(TWindow* client)
{
    auto* editors = dynamic_cast<TMDIClientWin*>(client);
    if (!editors)
        return;
    ++Holds()[client];
    editors->EnableEditor(false);
}

void ReleasePageEditor(TWindow* client)
{
    auto* editors = dynamic_cast<TMDIClientWin*>(client);
    auto it = Holds().find(client);
    if (!editors || it == Holds().end())
        return;
    if (--it->second > 0)
        return;
    Holds().erase(it);
    editors->EnableEditor(true);
}

int PageEditorHolds(const TWindow* client)
{
    auto it = Holds().find(client);
    return it == Holds().end() ? 0 : it->second;
}
