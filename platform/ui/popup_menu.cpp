#include "platform/ui/popup_menu.h"

#include "platform/ui/window.h"
#include "platform/ui/window_api.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

namespace {

TPopupMenuHook g_hook;

void CopyItems(const TMenu& from, TMenu& to)
{
    for (int i = 0; i < from.GetMenuItemCount(); ++i) {
        const UINT state = from.GetMenuState(static_cast<UINT>(i), MF_BYPOSITION);
        const std::string text = from.GetMenuString(static_cast<UINT>(i), MF_BYPOSITION);
        if (TMenu* sub = from.GetSubMenu(i)) {
            auto* copy = new TMenu;
            CopyItems(*sub, *copy);
            to.AppendPopup(state & ~MF_POPUP, copy, text.c_str());
        } else {
            to.AppendMenu(state, from.GetMenuItemID(i), text.c_str());
        }
    }
}

// Every item, cascades included, is offered to the owner's command route.
void EnableItems(TMenu& menu, TWindow& owner)
{
    for (int i = 0; i < menu.GetMenuItemCount(); ++i) {
        const UINT state = menu.GetMenuState(static_cast<UINT>(i), MF_BYPOSITION);
        if (state & MF_SEPARATOR)
            continue;
        if (TMenu* sub = menu.GetSubMenu(i)) {
            EnableItems(*sub, owner);
            continue;
        }
        TMenuItemEnabler enabler(menu, i, menu.GetMenuItemID(i), owner.GetHandle());
        owner.EvCommandEnable(enabler);
    }
}

}  // namespace

void SetPopupMenuHook(TPopupMenuHook hook)
{
    g_hook = std::move(hook);
}

TPopupMenu::TPopupMenu(TResId id, int position)
{
    const TMenu source(id);
    if (TMenu* popup = source.GetSubMenu(position))
        CopyItems(*popup, *this);
}

int TPopupMenu::TrackPopupMenu(UINT flags, int x, int y, HWND owner)
{
    TWindow* window = GetWindowPtr(owner);
    if (!window)
        return 0;
    EnableItems(*this, *window);

    QMenu* menu = GetQMenu();
    menu->ensurePolished();
    const QSize size = menu->sizeHint();
    QPoint at(x, y);
    if (flags & TPM_RIGHTALIGN)
        at.rx() -= size.width();
    else if (flags & TPM_CENTERALIGN)
        at.rx() -= size.width() / 2;
    if (flags & TPM_BOTTOMALIGN)
        at.ry() -= size.height();
    else if (flags & TPM_VCENTERALIGN)
        at.ry() -= size.height() / 2;

    UINT chosen = 0;
    const QMetaObject::Connection connection = QObject::connect(menu, &QMenu::triggered, [&chosen](QAction* action) {
        chosen = action->data().toUInt();
    });
    // The chosen command goes out once the menu is closed, not from the item itself.
    SetOwner(nullptr);
    QTimer::singleShot(0, menu, [this] {
        if (g_hook)
            g_hook(*this);
    });
    menu->exec(at);
    QObject::disconnect(connection);
    if (!chosen)
        return 0;
    if (flags & TPM_RETURNCMD)
        return static_cast<int>(chosen);
    if (::IsWindow(owner))
        SendMessage(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(chosen), 0), 0);
    return 1;
}
