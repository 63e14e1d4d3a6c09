#include "platform/ui/mdi_client.h"

#include "platform/ui/frame_window.h"
#include "platform/ui/mdi_child.h"
#include "platform/ui/menu.h"
#include "platform/ui/window_api.h"
#include "platform/ui/window_bridge.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>
#include <string>

const TResponseTable TMDIClient::Responses{&TWindow::Responses, {
    OnCommand<&TMDIClient::CmCascadeChildren>(CM_CASCADECHILDREN),
    OnCommand<&TMDIClient::CmTileChildren>(CM_TILECHILDREN),
    OnCommand<&TMDIClient::CmTileChildrenHoriz>(CM_TILECHILDRENHORIZ),
    OnCommand<&TMDIClient::CmArrangeIcons>(CM_ARRANGEICONS),
    OnCommand<&TMDIClient::CmCloseChildren>(CM_CLOSECHILDREN),
    OnCommandEnable<&TMDIClient::CeChildrenExist>(CM_CASCADECHILDREN),
    OnCommandEnable<&TMDIClient::CeChildrenExist>(CM_TILECHILDREN),
    OnCommandEnable<&TMDIClient::CeChildrenExist>(CM_TILECHILDRENHORIZ),
    OnCommandEnable<&TMDIClient::CeChildrenExist>(CM_ARRANGEICONS),
    OnCommandEnable<&TMDIClient::CeChildrenExist>(CM_CLOSECHILDREN),
}};

TMDIClient::TMDIClient(TModule* module) : TWindow(nullptr, nullptr, module)
{
    Attr.Style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
    Attr.X = Attr.Y = Attr.W = Attr.H = 0;
}

TMDIClient::~TMDIClient()
{
    if (IsWindow())
        Destroy(0);
}

QWidget* TMDIClient::CreateWidget(QWidget* parent)
{
    area_ = new QMdiArea(parent);
    area_->setActivationOrder(QMdiArea::CreationOrder);
    QObject::connect(area_, &QMdiArea::subWindowActivated, SignalContext(),
                     [this](QMdiSubWindow* subWindow) { SubWindowActivated(subWindow); });
    return area_;
}

std::vector<TMDIChild*> TMDIClient::GetMDIChildren() const
{
    std::vector<TMDIChild*> children;
    for (TWindow* w : GetChildren()) {
        if (auto* child = dynamic_cast<TMDIChild*>(w); child && child->IsWindow())
            children.push_back(child);
    }
    return children;
}

TMDIChild* TMDIClient::GetActiveMDIChild() const
{
    return active_ && active_->IsWindow() ? active_ : nullptr;
}

// ---------------------------------------------------------------- activation

void TMDIClient::SubWindowActivated(QMdiSubWindow* subWindow)
{
    // Qt reports "none" whenever the frame stops being the active window; the
    // child stays the active one of the client then.
    if (!subWindow)
        return;
    if (auto* child = dynamic_cast<TMDIChild*>(TWindowBridge::WindowFor(subWindow));
        child && child->GetParentO() == this)
        Activate(child);
}

void TMDIClient::Activate(TMDIChild* child)
{
    if (child && (!child->IsWindow() || child->GetParentO() != this))
        return;
    if (child == active_) {
        if (child && area_ && area_->currentSubWindow() != child->subWindow_)
            area_->setActiveSubWindow(child->subWindow_);
        return;
    }
    TMDIChild* previous = GetActiveMDIChild();
    active_ = child;
    if (child && area_)
        area_->setActiveSubWindow(child->subWindow_);
    const WPARAM losing = reinterpret_cast<WPARAM>(previous ? previous->GetHandle() : nullptr);
    const LPARAM gaining = HandleToLParam(child ? child->GetHandle() : nullptr);
    if (previous)
        previous->SendMessage(WM_MDIACTIVATE, losing, gaining);
    if (child && child == active_)
        child->SendMessage(WM_MDIACTIVATE, losing, gaining);
    RefreshWindowMenu();
}

void TMDIClient::ChildCreated(TMDIChild& child)
{
    if (child.IsWindowVisible())
        Activate(&child);
    RefreshWindowMenu();
}

void TMDIClient::ChildDestroyed(TMDIChild& child)
{
    if (active_ == &child)
        active_ = nullptr;
}

TMDIChild* TMDIClient::NextChild(TMDIChild* from, bool previous) const
{
    std::vector<TMDIChild*> visible;
    for (TMDIChild* c : GetMDIChildren()) {
        if (c->IsWindowVisible())
            visible.push_back(c);
    }
    if (visible.empty())
        return nullptr;
    auto it = std::find(visible.begin(), visible.end(), from);
    if (it == visible.end())
        return visible.front();
    const auto n = static_cast<std::ptrdiff_t>(visible.size());
    const std::ptrdiff_t i = it - visible.begin();
    return visible[static_cast<std::size_t>(((previous ? i - 1 : i + 1) % n + n) % n)];
}

// ---------------------------------------------------------------- arranging

bool TMDIClient::CloseChildren()
{
    const std::vector<TMDIChild*> children = GetMDIChildren();
    for (TMDIChild* child : children) {
        if (!child->CanClose())
            return false;
    }
    for (TMDIChild* child : GetMDIChildren())
        child->Destroy(0);
    return true;
}

void TMDIClient::CascadeChildren()
{
    if (area_)
        area_->cascadeSubWindows();
}

void TMDIClient::TileChildren(UINT how)
{
    if (!area_)
        return;
    std::vector<TMDIChild*> tiled;
    for (TMDIChild* c : GetMDIChildren()) {
        if (c->IsWindowVisible() && !c->IsIconic())
            tiled.push_back(c);
    }
    if (tiled.empty())
        return;
    const QSize size = area_->viewport()->size();
    const int n = static_cast<int>(tiled.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* sub = tiled[static_cast<std::size_t>(i)]->subWindow_;
        if (sub->isMaximized())
            sub->showNormal();
        if (how == MDITILE_HORIZONTAL) {
            const int top = size.height() * i / n;
            sub->setGeometry(0, top, size.width(), size.height() * (i + 1) / n - top);
        } else {
            const int left = size.width() * i / n;
            sub->setGeometry(left, 0, size.width() * (i + 1) / n - left, size.height());
        }
    }
}

void TMDIClient::ArrangeIcons()
{
    if (!area_)
        return;
    int x = 0;
    const int bottom = area_->viewport()->height();
    for (TMDIChild* c : GetMDIChildren()) {
        if (!c->IsWindowVisible() || !c->IsIconic())
            continue;
        QMdiSubWindow* sub = c->subWindow_;
        sub->move(x, bottom - sub->height());
        x += sub->width();
    }
}

void TMDIClient::CmCascadeChildren()
{
    CascadeChildren();
}

void TMDIClient::CmTileChildren()
{
    TileChildren(MDITILE_VERTICAL);
}

void TMDIClient::CmTileChildrenHoriz()
{
    TileChildren(MDITILE_HORIZONTAL);
}

void TMDIClient::CmArrangeIcons()
{
    ArrangeIcons();
}

void TMDIClient::CmCloseChildren()
{
    CloseChildren();
}

void TMDIClient::CeChildrenExist(TCommandEnabler& enabler)
{
    enabler.Enable(!GetMDIChildren().empty());
}

// ---------------------------------------------------------------- the Window menu

TMenu* TMDIClient::GetWindowMenu() const
{
    auto* frame = dynamic_cast<TFrameWindow*>(GetParentO());
    if (!frame || !frame->GetMenu())
        return nullptr;
    int position = -1;
    return frame->GetMenu()->FindCommand(CM_CASCADECHILDREN, &position);
}

TMDIChild* TMDIClient::ChildFromMenuId(UINT id) const
{
    if (id < IDW_FIRSTMDICHILD || id >= IDW_FIRSTMDICHILD + kMaxWindowMenuChildren)
        return nullptr;
    std::size_t index = id - IDW_FIRSTMDICHILD;
    for (TMDIChild* c : GetMDIChildren()) {
        if (!c->IsWindowVisible())
            continue;
        if (index == 0)
            return c;
        --index;
    }
    return nullptr;
}

void TMDIClient::RefreshWindowMenu()
{
    TMenu* menu = GetWindowMenu();
    if (!menu)
        return;
    // Take the old list off, with the separator in front of it.
    int first = -1;
    for (int i = menu->GetMenuItemCount() - 1; i >= 0; --i) {
        const UINT id = menu->GetMenuItemID(i);
        if (id >= IDW_FIRSTMDICHILD && id < IDW_FIRSTMDICHILD + kMaxWindowMenuChildren) {
            menu->DeleteMenu(static_cast<UINT>(i), MF_BYPOSITION);
            first = i;
        }
    }
    if (first > 0 && (menu->GetMenuState(static_cast<UINT>(first - 1), MF_BYPOSITION) & MF_SEPARATOR))
        menu->DeleteMenu(static_cast<UINT>(first - 1), MF_BYPOSITION);

    int n = 0;
    for (TMDIChild* c : GetMDIChildren()) {
        if (!c->IsWindowVisible() || n == kMaxWindowMenuChildren)
            continue;
        if (n == 0)
            menu->AppendMenu(MF_SEPARATOR, 0, nullptr);
        // A caption's own ampersands are shown, not taken as mnemonics.
        std::string text = "&" + std::to_string(n + 1) + " ";
        for (char ch : c->GetWindowText())
            text += ch == '&' ? std::string("&&") : std::string(1, ch);
        menu->AppendMenu(MF_STRING | (c == active_ ? MF_CHECKED : MF_UNCHECKED), IDW_FIRSTMDICHILD + n,
                         text.c_str());
        ++n;
    }
}

// ---------------------------------------------------------------- messages

LRESULT TMDIClient::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto childOf = [this](WPARAM w) -> TMDIChild* {
        auto* child = dynamic_cast<TMDIChild*>(GetWindowPtr(reinterpret_cast<HWND>(w)));
        return child && child->GetParentO() == this ? child : nullptr;
    };
    switch (msg) {
    case WM_MDIDESTROY:
        if (TMDIChild* child = childOf(wParam)) {
            const bool wasActive = child == active_;
            ChildDestroyed(*child);
            child->DestroyFromClient(0);
            if (wasActive || !GetActiveMDIChild()) {
                // The most recently active child that is still shown takes over.
                TMDIChild* next = nullptr;
                if (area_) {
                    const QList<QMdiSubWindow*> order = area_->subWindowList(QMdiArea::ActivationHistoryOrder);
                    for (auto it = order.rbegin(); it != order.rend() && !next; ++it) {
                        auto* c = dynamic_cast<TMDIChild*>(TWindowBridge::WindowFor(*it));
                        if (c && c->GetParentO() == this && c->IsWindowVisible())
                            next = c;
                    }
                }
                Activate(next);
            }
            RefreshWindowMenu();
        }
        return 0;
    case WM_MDIACTIVATE:
        Activate(childOf(wParam));
        return 0;
    case WM_MDIGETACTIVE: {
        TMDIChild* active = GetActiveMDIChild();
        if (auto* maximized = reinterpret_cast<bool*>(lParam))
            *maximized = active && active->IsZoomed();
        return reinterpret_cast<LRESULT>(active ? active->GetHandle() : nullptr);
    }
    case WM_MDINEXT: {
        TMDIChild* from = wParam ? childOf(wParam) : GetActiveMDIChild();
        if (TMDIChild* next = NextChild(from, lParam != 0))
            next->ShowWindow(next->IsIconic() ? SW_RESTORE : SW_SHOW);
        return 0;
    }
    case WM_MDIMAXIMIZE:
        if (TMDIChild* child = childOf(wParam))
            child->ShowWindow(SW_MAXIMIZE);
        return 0;
    case WM_MDIRESTORE:
        if (TMDIChild* child = childOf(wParam))
            child->ShowWindow(SW_RESTORE);
        return 0;
    case WM_MDICASCADE:
        CascadeChildren();
        return 1;
    case WM_MDITILE:
        TileChildren(static_cast<UINT>(wParam) & MDITILE_HORIZONTAL);
        return 1;
    case WM_MDIICONARRANGE:
        ArrangeIcons();
        return 0;
    case WM_MDIREFRESHMENU:
        RefreshWindowMenu();
        return 0;
    default:
        return TWindow::DefWindowProc(msg, wParam, lParam);
    }
}
