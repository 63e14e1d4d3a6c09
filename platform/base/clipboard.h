#pragma once
// The clipboard: blocks of bytes under numbered formats (format 520 is one
// message table with its texts), used the way the system's clipboard is:
// open, empty, set data in one or more formats, close; or open, get data,
// close. The free functions keep the open/close protocol; where the data
// lives is the backend's business. Without a backend the data stays in this
// process; the user-interface layer installs one that uses the desktop's
// clipboard, so other programs see it.

#include "platform/base/win_types.h"

#include <cstdint>
#include <optional>
#include <vector>

using ClipboardData = std::vector<std::uint8_t>;

class ClipboardBackend {
public:
    virtual ~ClipboardBackend() = default;
    virtual void Empty() = 0;
    // Stores data under a format, replacing what that format held.
    virtual void SetData(UINT format, ClipboardData data) = 0;
    virtual std::optional<ClipboardData> GetData(UINT format) const = 0;
    virtual bool HasFormat(UINT format) const = 0;
    // Called when the clipboard is closed after a change, so a backend may
    // publish all formats at once.
    virtual void Commit() {}
};

// Installs a backend (null: the in-process one) and returns the one it
// replaces (null when that was the in-process one). Not owned.
ClipboardBackend* SetClipboardBackend(ClipboardBackend* backend);

// Opens the clipboard for a window (null is allowed); false while it is open
// already.
BOOL OpenClipboard(HWND owner);
// Removes every format. Needs an open clipboard.
BOOL EmptyClipboard();
// Puts data under a format, keeping the other formats. Needs an open clipboard.
BOOL SetClipboardData(UINT format, ClipboardData data);
// A copy of the data of a format; nothing when the clipboard is not open or
// the format is absent.
std::optional<ClipboardData> GetClipboardData(UINT format);
// Whether a format is there; the clipboard need not be open.
BOOL IsClipboardFormatAvailable(UINT format);
BOOL CloseClipboard();
