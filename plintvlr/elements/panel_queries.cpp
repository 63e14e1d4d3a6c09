#include "plintvlr/elements/panel_queries.h"

#include "plintvlr/db/atag_registry.h"
#include "plintvlr/db/dtag_registry.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/db/tag_reference.h"
#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/element_string_ids.h"
#include "plintvlr/elements/font_manager.h"
#include "plintvlr/shell/base/str.h"

#include <cstdarg>
#include <cstdio>

namespace {

Quellstor OpenPanelModel()
{
    return Quellstor(_QSglobals.GetDatabase().GetPanelType());
}

}  // namespace

TSize GetScreenSize()
{
    const Quellstor panel = OpenPanelModel();
    return {panel.displayWidth, panel.displayHeight};
}

int GetScreenYOrigin()
{
    return OpenPanelModel().displayOriginY;
}

int GetPanelHandleSize()
{
    return OpenPanelModel().GetHandleSize();
}

bool IsColorPanel()
{
    // The panel models with the large memory are the ones with colour screens.
    const ActivePageEditor* editor = GetActivePageEditor();
    return editor && editor->GetPanelModel().largeMemory != 0;
}

TSize GetTouchCellSize()
{
    if (const ActivePageEditor* editor = GetActivePageEditor()) {
        const Quellstor& panel = editor->GetPanelModel();
        return {panel.touchCellWidth, panel.touchCellHeight};
    }
    const Quellstor panel = OpenPanelModel();
    return {panel.touchCellWidth, panel.touchCellHeight};
}

bool IsEditorLargeDisplay()
{
    if (const ActivePageEditor* editor = GetActivePageEditor())
        return editor->GetPanelModel().IsLargeDisplay();
    return OpenPanelModel().IsLargeDisplay();
}

std::string GetFontName(int fontNumber)
{
    if (const fontmanager* fonts = _QSglobals.GetDatabase().GetFontManager())
        return fonts->GetFontName(fontNumber);
    return OpenPanelModel().fontName;
}

TSize GetFontSize(int fontNumber)
{
    if (const fontmanager* fonts = _QSglobals.GetDatabase().GetFontManager()) {
        const PanelSize cell = fonts->GetFontSize(fontNumber);
        return {cell.cx, cell.cy};
    }
    const Quellstor panel = OpenPanelModel();
    return {panel.charCellWidth, panel.charCellHeight};
}

bool GetTagName(std::uint16_t tag, std::string& name)
{
    adatabase& db = _QSglobals.GetDatabase();
    const std::uint32_t number = tag & kTagRefNumberMask;
    const tagregistry* registry = nullptr;
    switch (tag & kTagRefBit) {
    case 0:
        registry = db.GetAnalogRegistry();
        break;
    case kTagRefDigital:
        registry = db.GetDigitalRegistry();
        break;
    default:
        break;
    }
    if (registry && number != 0 && registry->GetName(number, name))
        return true;
    name = Str(kStrNoTag);
    return false;
}

std::string GetTagName(std::uint16_t tag)
{
    std::string name;
    GetTagName(tag, name);
    return name;
}

std::string GetDataTypeText(int dataType)
{
    if (dataType < 0 || dataType > 4)
        dataType = 0;
    return Str(kStrDataTypeValue + dataType);
}

std::string FormatText(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
    if (n > 0)
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    return text;
}
