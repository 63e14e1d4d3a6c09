#pragma once
// Menus: a menu bar of pop-up menus whose items carry command ids. Before a
// pop-up opens, its owner window gets WM_INITMENUPOPUP (wParam the pop-up,
// the low word of lParam its position in the bar) and every item is
// offered to the command route as a command enabler, which greys, checks
// or relabels it; choosing an item sends WM_COMMAND with its id (code 0).
// Menu resources are built from templates registered by resource id.

#include "platform/base/win_types.h"
#include "platform/ui/command_enabler.h"
#include "platform/ui/res_id.h"

#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT MF_DEFAULT = 0x1000;

// One entry of a menu template: an item, a separator, or a pop-up with items.
struct TMenuTemplateItem {
    std::string text;
    UINT id = 0;
    UINT flags = MF_STRING;
    std::vector<TMenuTemplateItem> popup;
};

inline TMenuTemplateItem MenuItem(const char* text, UINT id, UINT flags = MF_STRING)
{
    return {text, id, flags, {}};
}
inline TMenuTemplateItem MenuSeparator()
{
    return {"", 0, MF_SEPARATOR, {}};
}
inline TMenuTemplateItem Popup(const char* text, std::vector<TMenuTemplateItem> items)
{
    return {text, 0, MF_POPUP, std::move(items)};
}

void RegisterMenuTemplate(TResId id, std::vector<TMenuTemplateItem> items);
bool HasMenuTemplate(TResId id);

class TMenu {
public:
    TMenu();
    // A menu built from the template registered under `id` (empty when there is none).
    explicit TMenu(TResId id);
    ~TMenu();
    TMenu(const TMenu&) = delete;
    TMenu& operator=(const TMenu&) = delete;

    bool AppendMenu(UINT flags, UINT id, const char* text);
    // Appends a pop-up; the menu takes the pop-up over.
    bool AppendPopup(UINT flags, TMenu* popup, const char* text);
    bool DeleteMenu(UINT item, UINT flags);
    bool ModifyMenu(UINT item, UINT flags, UINT newId, const char* text);
    // Both answer the item's previous state (MF_GRAYED or MF_CHECKED), or -1.
    UINT EnableMenuItem(UINT item, UINT flags);
    UINT CheckMenuItem(UINT item, UINT flags);
    // MF_GRAYED, MF_CHECKED, MF_POPUP, MF_SEPARATOR, MF_DEFAULT; -1 (as UINT) for no such item.
    UINT GetMenuState(UINT item, UINT flags) const;
    int GetMenuItemCount() const { return static_cast<int>(items_.size()); }
    UINT GetMenuItemID(int position) const;  // -1 for a pop-up or a bad position
    TMenu* GetSubMenu(int position) const;
    std::string GetMenuString(UINT item, UINT flags) const;
    bool SetMenuDefaultItem(UINT item, bool byPosition);

    // Qt seam: the pop-up's QMenu, and the window its commands go to.
    QMenu* GetQMenu() const { return menu_.get(); }
    QAction* GetAction(int position) const;
    void SetOwner(HWND owner);
    HWND GetOwner() const { return owner_; }
    // The pop-up that holds command `id` (this menu or one below it), with the item's position.
    TMenu* FindCommand(UINT id, int* position);
    // Sends WM_MENUSELECT for the item of `action` to the owner.
    void ReportSelect(QAction* action);

private:
    struct Item {
        UINT flags = 0;
        UINT id = 0;
        std::string text;
        std::unique_ptr<TMenu> popup;
        QAction* action = nullptr;
    };

    void Build(const std::vector<TMenuTemplateItem>& items);
    // The pop-up's position in the menu that holds it (0 for a menu of its own).
    int PositionInParent() const;
    int Find(UINT item, UINT flags) const;  // position in this menu or -1
    // The menu that holds the item (this one, or a pop-up for a command) and its position.
    TMenu* Locate(UINT item, UINT flags, int& position);
    // Sets the item's `mask` bits to those of `flags`; answers their previous state, or -1.
    UINT SetStateBits(UINT item, UINT flags, UINT mask);
    void Insert(Item item);
    void Sync(Item& item);

    std::unique_ptr<QMenu> menu_;
    std::vector<Item> items_;
    HWND owner_ = nullptr;
    TMenu* parent_ = nullptr;
};

// The enabler offered for one item of a pop-up menu.
class TMenuItemEnabler : public TCommandEnabler {
public:
    TMenuItemEnabler(TMenu& menu, int position, UINT id, HWND receiver)
        : TCommandEnabler(id, receiver), menu_(menu), position_(position)
    {
    }
    void Enable(bool enable = true) override;
    void SetCheck(int state) override;
    void SetText(const char* text) override;

private:
    TMenu& menu_;
    int position_;
};

// Qt seam: puts the menu's top-level items into a menu bar, replacing what it showed.
void FillMenuBar(QMenuBar* bar, TMenu* menu);
