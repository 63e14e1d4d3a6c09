#pragma once
// The main frame's resources: menu 99 (the whole menu bar, as one template),
// accelerator table 99 and the icon ZOBREL.

#include "platform/ui/menu.h"

#include <vector>

// Registers menu 99, accelerator table 99 and the frame's pictures.
void RegisterFrameResources();

// The whole menu bar of menu 99, every item whatever carries it out.
const std::vector<TMenuTemplateItem>& FrameMenuTemplate();

// The menu the frame shows: the template without the items whose command
// nothing carries out (IsCommandProvided), without pop-ups left empty, and
// without separators that would lead, trail or follow another.
std::vector<TMenuTemplateItem> ProvidedMenuItems(const std::vector<TMenuTemplateItem>& items);
TMenu* BuildFrameMenu();
