#include "platform/ui/menu.h"

#include "platform/ui/qt_text.h"
#include "platform/ui/window_api.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>

#include <map>

// Qt tells of items highlighted; the mouse over a greyed item it does not
// highlight, so mouse moves are watched as well.
class TMenuSelectTracker : public QObject {
public:
    explicit TMenuSelectTracker(TMenu& menu) : menu_(menu) {}

    void Select(QAction* action)
    {
        if (action == last_)
            return;
        last_ = action;
        if (action)
            menu_.ReportSelect(action);
    }
    void Reset() { last_ = nullptr; }

    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::MouseMove) {
            auto* menu = static_cast<QMenu*>(object);
            Select(menu->actionAt(static_cast<QMouseEvent*>(event)->position().toPoint()));
        }
        return false;
    }

private:
    TMenu& menu_;
    QAction* last_ = nullptr;
};

namespace {

std::map<std::string, std::vector<TMenuTemplateItem>>& Templates()
{
    static std::map<std::string, std::vector<TMenuTemplateItem>> table;
    return table;
}

}  // namespace

void RegisterMenuTemplate(TResId id, std::vector<TMenuTemplateItem> items)
{
    Templates()[id.Key()] = std::move(items);
}

bool HasMenuTemplate(TResId id)
{
    return Templates().count(id.Key()) != 0;
}

TMenu::TMenu() : menu_(std::make_unique<QMenu>())
{
    QObject::connect(menu_.get(), &QMenu::aboutToShow, [this] {
        if (IsWindow(owner_))
            SendMessage(owner_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(this), MAKELPARAM(PositionInParent(), 0));
    });
    // The owner hears which item is under the mouse or highlighted (a frame
    // shows its hint), greyed items too, and that the menu closed (flags
    // 0xFFFF, no menu).
    auto* tracker = new TMenuSelectTracker(*this);
    tracker->setParent(menu_.get());
    menu_->installEventFilter(tracker);
    QObject::connect(menu_.get(), &QMenu::hovered, tracker, [tracker](QAction* action) { tracker->Select(action); });
    QObject::connect(menu_.get(), &QMenu::aboutToHide, tracker, [this, tracker] {
        tracker->Reset();
        if (IsWindow(owner_))
            SendMessage(owner_, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    });
}

void TMenu::ReportSelect(QAction* action)
{
    if (!IsWindow(owner_))
        return;
    for (const Item& item : items_) {
        if (item.action != action || (item.flags & MF_SEPARATOR))
            continue;
        const UINT flags = item.flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP);
        SendMessage(owner_, WM_MENUSELECT, MAKEWPARAM(static_cast<WORD>(item.id), static_cast<WORD>(flags)),
                    reinterpret_cast<LPARAM>(this));
        return;
    }
}

TMenu::TMenu(TResId id) : TMenu()
{
    auto it = Templates().find(id.Key());
    if (it != Templates().end())
        Build(it->second);
}

TMenu::~TMenu()
{
    // Items' actions belong to the QMenu; pop-ups delete their own menus.
    items_.clear();
}

void TMenu::Build(const std::vector<TMenuTemplateItem>& items)
{
    for (const TMenuTemplateItem& t : items) {
        if (t.flags & MF_POPUP) {
            auto* popup = new TMenu;
            popup->Build(t.popup);
            AppendPopup(t.flags, popup, t.text.c_str());
        } else {
            AppendMenu(t.flags, t.id, t.text.c_str());
        }
    }
}

void TMenu::Insert(Item item)
{
    items_.push_back(std::move(item));
    Sync(items_.back());
}

bool TMenu::AppendMenu(UINT flags, UINT id, const char* text)
{
    Item item;
    item.flags = flags & ~MF_POPUP;
    item.id = (flags & MF_SEPARATOR) ? 0 : id;
    item.text = text ? text : "";
    Insert(std::move(item));
    return true;
}

bool TMenu::AppendPopup(UINT flags, TMenu* popup, const char* text)
{
    if (!popup)
        return false;
    Item item;
    item.flags = flags | MF_POPUP;
    item.text = text ? text : "";
    item.popup.reset(popup);
    popup->parent_ = this;
    popup->SetOwner(owner_);
    Insert(std::move(item));
    return true;
}

int TMenu::PositionInParent() const
{
    if (!parent_)
        return 0;
    for (std::size_t i = 0; i < parent_->items_.size(); ++i) {
        if (parent_->items_[i].popup.get() == this)
            return static_cast<int>(i);
    }
    return 0;
}

void TMenu::Sync(Item& item)
{
    if (!item.action) {
        if (item.popup) {
            item.action = item.popup->menu_->menuAction();
            menu_->addAction(item.action);
        } else if (item.flags & MF_SEPARATOR) {
            item.action = menu_->addSeparator();
        } else {
            QAction* action = menu_->addAction(QString());
            item.action = action;
            QObject::connect(action, &QAction::triggered, [this, action] {
                if (IsWindow(owner_))
                    SendMessage(owner_, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(action->data().toUInt()), 0), 0);
            });
        }
    }
    if (item.flags & MF_SEPARATOR)
        return;
    item.action->setData(item.id);
    item.action->setText(ToQString(item.text));
    item.action->setEnabled(!(item.flags & (MF_GRAYED | MF_DISABLED)));
    if (!item.popup) {
        if (item.flags & MF_CHECKED)
            item.action->setCheckable(true);
        item.action->setChecked(item.flags & MF_CHECKED);
    }
    QFont font = item.action->font();
    font.setBold(item.flags & MF_DEFAULT);
    item.action->setFont(font);
}

int TMenu::Find(UINT item, UINT flags) const
{
    if (flags & MF_BYPOSITION)
        return item < items_.size() ? static_cast<int>(item) : -1;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (!items_[i].popup && !(items_[i].flags & MF_SEPARATOR) && items_[i].id == item)
            return static_cast<int>(i);
    }
    return -1;
}

TMenu* TMenu::FindCommand(UINT id, int* position)
{
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].popup) {
            if (TMenu* found = items_[i].popup->FindCommand(id, position))
                return found;
        } else if (!(items_[i].flags & MF_SEPARATOR) && items_[i].id == id) {
            if (position)
                *position = static_cast<int>(i);
            return this;
        }
    }
    return nullptr;
}

bool TMenu::DeleteMenu(UINT item, UINT flags)
{
    int position = -1;
    TMenu* menu = Locate(item, flags, position);
    if (!menu)
        return false;
    Item& doomed = menu->items_[static_cast<std::size_t>(position)];
    menu->menu_->removeAction(doomed.action);
    if (!doomed.popup)
        delete doomed.action;
    menu->items_.erase(menu->items_.begin() + position);
    return true;
}

bool TMenu::ModifyMenu(UINT item, UINT flags, UINT newId, const char* text)
{
    // By command the item may be in any pop-up below this menu.
    int position = -1;
    TMenu* menu = Locate(item, flags, position);
    if (!menu)
        return false;
    Item& it = menu->items_[static_cast<std::size_t>(position)];
    if (it.popup)
        return false;
    it.flags = flags & ~(MF_BYPOSITION | MF_POPUP);
    it.id = newId;
    it.text = text ? text : "";
    menu->Sync(it);
    return true;
}

TMenu* TMenu::Locate(UINT item, UINT flags, int& position)
{
    // Commands are looked for in the pop-ups too, as the system does.
    position = Find(item, flags);
    if (position >= 0)
        return this;
    return (flags & MF_BYPOSITION) ? nullptr : FindCommand(item, &position);
}

UINT TMenu::SetStateBits(UINT item, UINT flags, UINT mask)
{
    int position = -1;
    TMenu* menu = Locate(item, flags, position);
    if (!menu)
        return static_cast<UINT>(-1);
    Item& it = menu->items_[static_cast<std::size_t>(position)];
    const UINT previous = it.flags & mask;
    it.flags = (it.flags & ~mask) | (flags & mask);
    menu->Sync(it);
    return previous;
}

UINT TMenu::EnableMenuItem(UINT item, UINT flags)
{
    return SetStateBits(item, flags, MF_GRAYED | MF_DISABLED);
}

UINT TMenu::CheckMenuItem(UINT item, UINT flags)
{
    return SetStateBits(item, flags, MF_CHECKED);
}

UINT TMenu::GetMenuState(UINT item, UINT flags) const
{
    int position = -1;
    const TMenu* menu = const_cast<TMenu*>(this)->Locate(item, flags, position);
    if (!menu)
        return static_cast<UINT>(-1);
    const Item& it = menu->items_[static_cast<std::size_t>(position)];
    return it.flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_SEPARATOR | MF_DEFAULT);
}

UINT TMenu::GetMenuItemID(int position) const
{
    if (position < 0 || position >= GetMenuItemCount() || items_[static_cast<std::size_t>(position)].popup)
        return static_cast<UINT>(-1);
    return items_[static_cast<std::size_t>(position)].id;
}

TMenu* TMenu::GetSubMenu(int position) const
{
    if (position < 0 || position >= GetMenuItemCount())
        return nullptr;
    return items_[static_cast<std::size_t>(position)].popup.get();
}

std::string TMenu::GetMenuString(UINT item, UINT flags) const
{
    int position = -1;
    const TMenu* menu = const_cast<TMenu*>(this)->Locate(item, flags, position);
    return menu ? menu->items_[static_cast<std::size_t>(position)].text : std::string();
}

bool TMenu::SetMenuDefaultItem(UINT item, bool byPosition)
{
    const int position = Find(item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
    if (position < 0)
        return false;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        Item& it = items_[i];
        const UINT flags = static_cast<int>(i) == position ? (it.flags | MF_DEFAULT) : (it.flags & ~MF_DEFAULT);
        if (flags != it.flags) {
            it.flags = flags;
            Sync(it);
        }
    }
    return true;
}

QAction* TMenu::GetAction(int position) const
{
    if (position < 0 || position >= GetMenuItemCount())
        return nullptr;
    return items_[static_cast<std::size_t>(position)].action;
}

void TMenu::SetOwner(HWND owner)
{
    owner_ = owner;
    for (Item& item : items_) {
        if (item.popup)
            item.popup->SetOwner(owner);
    }
}

void TMenuItemEnabler::Enable(bool enable)
{
    TCommandEnabler::Enable(enable);
    menu_.EnableMenuItem(static_cast<UINT>(position_), MF_BYPOSITION | (enable ? MF_ENABLED : MF_GRAYED));
}

void TMenuItemEnabler::SetCheck(int state)
{
    TCommandEnabler::SetCheck(state);
    menu_.CheckMenuItem(static_cast<UINT>(position_), MF_BYPOSITION | (state == Checked ? MF_CHECKED : MF_UNCHECKED));
}

void TMenuItemEnabler::SetText(const char* text)
{
    TCommandEnabler::SetText(text);
    const UINT flags = menu_.GetMenuState(static_cast<UINT>(position_), MF_BYPOSITION);
    menu_.ModifyMenu(static_cast<UINT>(position_), MF_BYPOSITION | (flags & (MF_GRAYED | MF_CHECKED | MF_DEFAULT)),
                     GetId(), text);
}

void FillMenuBar(QMenuBar* bar, TMenu* menu)
{
    bar->clear();
    if (!menu)
        return;
    for (int i = 0; i < menu->GetMenuItemCount(); ++i) {
        if (QAction* action = menu->GetAction(i))
            bar->addAction(action);
    }
}
