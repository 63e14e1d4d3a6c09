#pragma once
// Copying a record to the clipboard, as the editors' Cut and Copy do.

#include "platform/base/win_types.h"

#include <cstddef>

// Puts `count` bytes of `data` on the clipboard under `format`, followed by two
// zero bytes that end the data, with the main window as owner. With
// `emptyFirst` the clipboard is emptied first; without it the other formats
// stay. Memory that cannot be had is reported in a message box; a clipboard
// that is busy drops the copy silently.
void CopyToClipboard(const void* data, std::size_t count, UINT format, bool emptyFirst);
