#include "platform/ui/dialog_template.h"

#include "platform/ui/font_map.h"
#include "platform/ui/window_api.h"

#include <QFontMetrics>

#include <map>

namespace {

std::map<std::string, TDialogTemplate>& Templates()
{
    static std::map<std::string, TDialogTemplate> table;
    return table;
}

TDialogItem Item(const char* className, const char* text, int id, int x, int y, int cx, int cy, DWORD style)
{
    TDialogItem item;
    item.className = className;
    item.id = id;
    item.text = text ? text : "";
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    item.style = style;
    return item;
}

}  // namespace

void RegisterDialogTemplate(TResId id, TDialogTemplate dialog)
{
    Templates()[id.Key()] = std::move(dialog);
}

const TDialogTemplate* FindDialogTemplate(TResId id)
{
    auto it = Templates().find(id.Key());
    return it == Templates().end() ? nullptr : &it->second;
}

namespace {

std::map<std::string, TResId>& DialogMenus()
{
    static std::map<std::string, TResId> table;
    return table;
}

}  // namespace

void RegisterDialogMenu(TResId dialogId, TResId menuId)
{
    DialogMenus()[dialogId.Key()] = menuId;
}

TResId FindDialogMenu(TResId dialogId)
{
    auto it = DialogMenus().find(dialogId.Key());
    return it == DialogMenus().end() ? TResId() : it->second;
}

int TDialogUnits::XToPixels(int x) const
{
    return MulDiv(x, baseX, 4);
}

int TDialogUnits::YToPixels(int y) const
{
    return MulDiv(y, baseY, 8);
}

TRect TDialogUnits::ToPixels(int x, int y, int cx, int cy) const
{
    const int left = XToPixels(x);
    const int top = YToPixels(y);
    return {left, top, left + XToPixels(cx), top + YToPixels(cy)};
}

TDialogUnits DialogUnitsOf(const std::string& fontName, int fontSize)
{
    return DialogUnitsOf(PlatformFont(fontName, fontSize));
}

TDialogUnits DialogUnitsOf(const QFont& font)
{
    const QFontMetrics fm(font);
    const int width = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    TDialogUnits units;
    units.baseX = std::max(1, (width / 26 + 1) / 2);
    units.baseY = std::max(1, fm.height());
    return units;
}

TDialogItem Control(const char* text, int id, const char* className, DWORD style, int x, int y, int cx, int cy,
                    DWORD exStyle)
{
    TDialogItem item = Item(className, text, id, x, y, cx, cy, style);
    item.exStyle = exStyle;
    return item;
}

TDialogItem LText(const char* text, int id, int x, int y, int cx, int cy, DWORD style)
{
    return Item("STATIC", text, id, x, y, cx, cy, SS_LEFT | WS_GROUP | style);
}

TDialogItem RText(const char* text, int id, int x, int y, int cx, int cy, DWORD style)
{
    return Item("STATIC", text, id, x, y, cx, cy, SS_RIGHT | WS_GROUP | style);
}

TDialogItem CText(const char* text, int id, int x, int y, int cx, int cy, DWORD style)
{
    return Item("STATIC", text, id, x, y, cx, cy, SS_CENTER | WS_GROUP | style);
}

TDialogItem PushButton(const char* text, int id, int x, int y, int cx, int cy, DWORD style)
{
    return Item("BUTTON", text, id, x, y, cx, cy, BS_PUSHBUTTON | WS_TABSTOP | style);
}

TDialogItem DefPushButton(const char* text, int id, int x, int y, int cx, int cy, DWORD style)
{
    return Item("BUTTON", text, id, x, y, cx, cy, BS_DEFPUSHBUTTON | WS_TABSTOP | style);
}

TDialogItem EditText(int id, int x, int y, int cx, int cy, DWORD style)
{
    return Item("EDIT", "", id, x, y, cx, cy, ES_LEFT | WS_BORDER | WS_TABSTOP | style);
}

TDialogItem GroupBox(const char* text, int id, int x, int y, int cx, int cy, DWORD style)
{
    return Item("BUTTON", text, id, x, y, cx, cy, BS_GROUPBOX | style);
}

TDialogItem CheckBox(const char* text, int id, int x, int y, int cx, int cy, DWORD style)
{
    return Item("BUTTON", text, id, x, y, cx, cy, BS_CHECKBOX | WS_TABSTOP | style);
}

TDialogItem AutoCheckBox(const char* text, int id, int x, int y, int cx, int cy, DWORD style)
{
    return Item("BUTTON", text, id, x, y, cx, cy, BS_AUTOCHECKBOX | WS_TABSTOP | style);
}

TDialogItem RadioButton(const char* text, int id, int x, int y, int cx, int cy, DWORD style)
{
    return Item("BUTTON", text, id, x, y, cx, cy, BS_RADIOBUTTON | style);
}

TDialogItem AutoRadioButton(const char* text, int id, int x, int y, int cx, int cy, DWORD style)
{
    return Item("BUTTON", text, id, x, y, cx, cy, BS_AUTORADIOBUTTON | style);
}

TDialogItem ComboBox(int id, int x, int y, int cx, int cy, DWORD style)
{
    return Item("COMBOBOX", "", id, x, y, cx, cy, style);
}

TDialogItem ListBox(int id, int x, int y, int cx, int cy, DWORD style)
{
    return Item("LISTBOX", "", id, x, y, cx, cy, LBS_NOTIFY | WS_BORDER | style);
}

TDialogItem ScrollBar(int id, int x, int y, int cx, int cy, DWORD style)
{
    return Item("SCROLLBAR", "", id, x, y, cx, cy, style);
}

TDialogItem UpDown(int id, int x, int y, int cx, int cy, DWORD style)
{
    return Item("msctls_updown32", "", id, x, y, cx, cy, style);
}
