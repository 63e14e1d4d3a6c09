#pragma once
// The desktop's colours by their COLOR_ index (COLOR_WINDOW, COLOR_BTNFACE,
// ...): taken from the running application's palette, so they follow the
// desktop's theme; before an application exists, the classic defaults.

#include "platform/base/color.h"

// Black for an index that names no colour.
COLORREF GetSysColor(int index);
