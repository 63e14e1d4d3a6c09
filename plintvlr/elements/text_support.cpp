#include "plintvlr/elements/text_support.h"

#include "platform/ui/window.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/elements/font_manager.h"
#include "plintvlr/elements/text_string_ids.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/base/str.h"

#include <algorithm>

int GetOpenPanelType()
{
    return _QSglobals.GetDatabase().GetPanelType();
}

bool IsTextPanelOpen()
{
    return Quellstor(GetOpenPanelType()).IsTextPanel();
}

int GetDefaultFontNumber()
{
    const fontmanager* fonts = _QSglobals.GetDatabase().GetFontManager();
    return fonts ? fonts->GetDefaultFont() : 0;
}

bool AskConvertOldKind(TWindow* parent)
{
    const HWND owner = parent ? parent->GetHandle() : GetMainWindowHandle();
    return TApp::MessageBox(nullptr, owner, Str(kStrOldKindQuestion), Str(kStrOldKindCaption), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

std::uint8_t* PackTextSize(std::uint8_t code, int sizeX, int sizeY, std::uint8_t* at)
{
    if (sizeX == 1 && sizeY == 1) {
        *at++ = static_cast<std::uint8_t>(code | 0x40);
        return at;
    }
    *at++ = code;
    *at++ = static_cast<std::uint8_t>((sizeX & 15) << 4 | (sizeY & 15));
    return at;
}

bool UnpackTextSize(std::uint8_t code, int& sizeX, int& sizeY, RecordReader& in)
{
    if (code & 0x40) {
        sizeX = sizeY = 1;
        return true;
    }
    std::uint8_t size = 0;
    if (!in.ReadByte(size))
        return false;
    sizeX = std::max(size >> 4, 1);
    sizeY = std::max(size & 15, 1);
    return true;
}

bool UnpackText(RecordReader& in, std::string& text)
{
    const std::uint8_t* from = in.Position();
    const std::size_t room = in.Remaining();
    const auto* zero = room ? std::find(from, from + room, std::uint8_t{0}) : from;
    if (room == 0 || zero == from + room) {
        in.Fail();
        return false;
    }
    text.assign(reinterpret_cast<const char*>(from), static_cast<std::size_t>(zero - from));
    return in.Skip(text.size() + 1);
}
