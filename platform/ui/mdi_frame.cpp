#include "platform/ui/mdi_frame.h"

#include "platform/ui/mdi_child.h"
#include "platform/ui/window_api.h"

#include <algorithm>

const TResponseTable TMDIFrame::Responses{&TFrameWindow::Responses, {}};

TMDIFrame::TMDIFrame(const char* title, TResId menuResId, TMDIClient* client, TModule* module)
{
    Init(nullptr, title, client ? client : new TMDIClient(module), false, module);
    if (!menuResId.IsNull())
        AssignMenu(menuResId);
}

TMDIFrame::~TMDIFrame()
{
    if (IsWindow())
        Destroy(0);
}

TMDIClient* TMDIFrame::GetMDIClient() const
{
    return dynamic_cast<TMDIClient*>(GetClientWindow());
}

std::vector<TWindow*> TMDIFrame::CommandRoute()
{
    std::vector<TWindow*> route;
    auto add = [&route](TWindow* w) {
        if (w && std::find(route.begin(), route.end(), w) == route.end())
            route.push_back(w);
    };
    TWindow* focus = GetWindowPtr(GetFocus());
    if (focus && focus->IsChildOf(this)) {
        for (TWindow* w = focus; w && w != this; w = w->GetParentO())
            add(w);
    }
    TMDIClient* client = GetMDIClient();
    if (TMDIChild* active = client ? client->GetActiveMDIChild() : nullptr) {
        // The active child's own client window (an editor it hosts) comes first.
        if (TWindow* hosted = active->GetClientWindow(); hosted && hosted->IsWindow())
            add(hosted);
        add(active);
    }
    add(client);
    add(this);
    return route;
}

LRESULT TMDIFrame::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND && lParam == 0) {
        TMDIClient* client = GetMDIClient();
        if (TMDIChild* child = client ? client->ChildFromMenuId(LOWORD(wParam)) : nullptr) {
            child->ShowWindow(child->IsIconic() ? SW_RESTORE : SW_SHOW);
            return 0;
        }
    }
    return TFrameWindow::DefWindowProc(msg, wParam, lParam);
}

void TMDIFrame::EvCommandEnable(TCommandEnabler& enabler)
{
    const UINT id = enabler.GetId();
    TMDIClient* client = GetMDIClient();
    if (client && id >= IDW_FIRSTMDICHILD && id < IDW_FIRSTMDICHILD + kMaxWindowMenuChildren) {
        TMDIChild* child = client->ChildFromMenuId(id);
        enabler.Enable(child != nullptr);
        enabler.SetCheck(child && child == client->GetActiveMDIChild() ? TCommandEnabler::Checked
                                                                         : TCommandEnabler::Unchecked);
        return;
    }
    TFrameWindow::EvCommandEnable(enabler);
}

bool TMDIFrame::PreProcessMsg(MSG& msg)
{
    if (TFrameWindow::PreProcessMsg(msg))
        return true;
    if (msg.message != WM_KEYDOWN || GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0)
        return false;
    TMDIClient* client = GetMDIClient();
    TMDIChild* active = client ? client->GetActiveMDIChild() : nullptr;
    if (!active)
        return false;
    // The keys every MDI program has for its children.
    if (msg.wParam == VK_F1 + 3) {
        active->SendMessage(WM_SYSCOMMAND, SC_CLOSE);
        return true;
    }
    if (msg.wParam == VK_F1 + 5) {
        active->SendMessage(WM_SYSCOMMAND, GetKeyState(VK_SHIFT) < 0 ? SC_PREVWINDOW : SC_NEXTWINDOW);
        return true;
    }
    return false;
}
