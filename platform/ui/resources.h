#pragma once
// Pictures the programs name by resource id: bitmaps (glyphs of buttons),
// icons and cursors. A program registers its own at start-up from the image
// bytes it carries (any format Qt reads: BMP, PNG...); the standard cursors
// and icons below need no registration.

#include "platform/base/dib.h"
#include "platform/base/win_types.h"
#include "platform/ui/res_id.h"

#include <cstddef>

// Standard cursors.
constexpr int IDC_ARROW = 32512;
constexpr int IDC_IBEAM = 32513;
constexpr int IDC_WAIT = 32514;
constexpr int IDC_CROSS = 32515;
constexpr int IDC_UPARROW = 32516;
constexpr int IDC_SIZENWSE = 32642;
constexpr int IDC_SIZENESW = 32643;
constexpr int IDC_SIZEWE = 32644;
constexpr int IDC_SIZENS = 32645;
constexpr int IDC_SIZEALL = 32646;
constexpr int IDC_NO = 32648;
constexpr int IDC_HAND = 32649;
// Standard icons.
constexpr int IDI_APPLICATION = 32512;
constexpr int IDI_HAND = 32513;
constexpr int IDI_QUESTION = 32514;
constexpr int IDI_EXCLAMATION = 32515;
constexpr int IDI_ASTERISK = 32516;

bool RegisterBitmapResource(TResId id, const void* data, std::size_t size);
bool RegisterIconResource(TResId id, const void* data, std::size_t size);
bool RegisterCursorResource(TResId id, const void* data, std::size_t size, int hotX, int hotY);
bool HasBitmapResource(TResId id);
// A program's own icon (the standard icons need no registration).
bool HasIconResource(TResId id);
// A registered bitmap as a device-independent bitmap, for drawing with
// StretchDIBits: a picture registered as a BMP comes back exactly as its file
// holds it (depth and palette too), any other at 24 bits per pixel. Empty
// (IsOK() false) when no bitmap of that id is registered.
TDib LoadDibResource(TModule* module, TResId id);

// Cursors. A shown cursor stays over every window of the program until it
// is replaced; showing null or the arrow gives every window its own cursor back.
struct TCursorHandle;
using HCURSOR = const TCursorHandle*;
HCURSOR LoadCursor(TModule* module, TResId id);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// The resource a cursor was loaded from.
TResId CursorResource(HCURSOR cursor);

// Icons, as WM_SETICON takes them (lParam; wParam ICON_BIG or ICON_SMALL):
// a window that is not a child shows the icon in its caption. WM_GETICON
// answers the icon last set. Handles stay valid for the program's life.
struct TIconHandle;
using HICON = const TIconHandle*;
HICON LoadIcon(TModule* module, TResId id);
// The resource an icon was loaded from.
TResId IconResourceId(HICON icon);
