#pragma once
// The items of the main frame's tool bars: a button (a command and the
// bitmap of its glyph) or a separator. A bar shows a button only once
// something carries its command out, as the menu does.

#include "platform/base/win_types.h"

#include <cstddef>
#include <span>
#include <vector>

class TGadget;

struct TToolItem {
    UINT command = 0;  // 0: a separator
    int bitmap = 0;
};
inline constexpr TToolItem kToolSeparator{};

// The positions of the items a bar shows: the buttons whose commands
// something carries out, and the separators between them (none that would
// lead, trail or follow another).
std::vector<std::size_t> ProvidedToolItems(std::span<const TToolItem> items);
// True when some button of `items` would be shown.
bool AnyToolProvided(std::span<const TToolItem> items);

// A new gadget for the item: a separator of 6 pixels, or a command button,
// greyed until its command enabler says otherwise.
TGadget* MakeToolGadget(const TToolItem& item);

// Registers the tool bars' glyphs as bitmap resources.
void RegisterToolBarPictures();
