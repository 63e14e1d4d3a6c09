#pragma once
// Dialog templates: a dialog resource id names a template written in code:
// caption, size in dialog units, font, and the controls with their class,
// id, text, rectangle in dialog units and style. A dialog lays its controls
// out at absolute positions converted through the dialog base units of its
// font, so the control ids and the coordinates a program relies on hold.
//
// The helpers below read like a resource script:
//
//   RegisterDialogTemplate(5503, {"Properties", 0, 0, 212, 128,
//       WS_CHILD | DS_SETFONT, "MS Sans Serif", 8, {
//       LText("Frequency", 121, 8, 10, 50, 8),
//       ComboBox(102, 60, 8, 80, 70, CBS_DROPDOWNLIST | WS_TABSTOP),
//       DefPushButton("&OK", IDOK, 100, 100, 50, 14),
//   }});

#include "platform/base/win_types.h"
#include "platform/base/geometry.h"
#include "platform/ui/res_id.h"
#include "platform/ui/styles.h"

#include <string>
#include <vector>

class QFont;

struct TDialogItem {
    std::string className;  // "BUTTON", "EDIT", "STATIC", "LISTBOX", "COMBOBOX", "SCROLLBAR",
                            // "msctls_updown32", or a class registered with RegisterWindowClass
    int id = 0;
    std::string text;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    DWORD style = 0;  // WS_CHILD and WS_VISIBLE are added
    DWORD exStyle = 0;
};

struct TDialogTemplate {
    std::string caption;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    std::string fontName = "MS Sans Serif";
    int fontSize = 8;
    std::vector<TDialogItem> items;
};

void RegisterDialogTemplate(TResId id, TDialogTemplate dialog);
const TDialogTemplate* FindDialogTemplate(TResId id);
// The menu resource (menu.h) that a dialog resource names, for a dialog with
// a menu bar (as a resource script's MENU statement). The bar lies above the
// dialog's client area, which keeps the template's size.
void RegisterDialogMenu(TResId dialogId, TResId menuId);
TResId FindDialogMenu(TResId dialogId);

// Dialog base units of a font: average character width and height in pixels.
struct TDialogUnits {
    int baseX = 6;
    int baseY = 13;
    TRect ToPixels(int x, int y, int cx, int cy) const;
    int XToPixels(int x) const;
    int YToPixels(int y) const;
};
TDialogUnits DialogUnitsOf(const std::string& fontName, int fontSize);
TDialogUnits DialogUnitsOf(const QFont& font);

// ---------------------------------------------------------------- resource-script helpers
// `style` is added to each statement's usual style.
TDialogItem Control(const char* text, int id, const char* className, DWORD style, int x, int y, int cx, int cy,
                    DWORD exStyle = 0);
TDialogItem LText(const char* text, int id, int x, int y, int cx, int cy, DWORD style = 0);
TDialogItem RText(const char* text, int id, int x, int y, int cx, int cy, DWORD style = 0);
TDialogItem CText(const char* text, int id, int x, int y, int cx, int cy, DWORD style = 0);
TDialogItem PushButton(const char* text, int id, int x, int y, int cx, int cy, DWORD style = 0);
TDialogItem DefPushButton(const char* text, int id, int x, int y, int cx, int cy, DWORD style = 0);
TDialogItem EditText(int id, int x, int y, int cx, int cy, DWORD style = 0);
TDialogItem GroupBox(const char* text, int id, int x, int y, int cx, int cy, DWORD style = 0);
TDialogItem CheckBox(const char* text, int id, int x, int y, int cx, int cy, DWORD style = 0);
TDialogItem AutoCheckBox(const char* text, int id, int x, int y, int cx, int cy, DWORD style = 0);
TDialogItem RadioButton(const char* text, int id, int x, int y, int cx, int cy, DWORD style = 0);
TDialogItem AutoRadioButton(const char* text, int id, int x, int y, int cx, int cy, DWORD style = 0);
TDialogItem ComboBox(int id, int x, int y, int cx, int cy, DWORD style = 0);
TDialogItem ListBox(int id, int x, int y, int cx, int cy, DWORD style = 0);
TDialogItem ScrollBar(int id, int x, int y, int cx, int cy, DWORD style = 0);
TDialogItem UpDown(int id, int x, int y, int cx, int cy, DWORD style = 0);
