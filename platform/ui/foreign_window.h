#pragma once
// Handles of windows of other programs (internal to the layer): FindWindow
// answers one for a caption another program published (single_instance.h);
// the window calls bring that window to the front or read its caption.

#include "platform/base/win_types.h"

#include <string>

HWND FindForeignWindow(const char* caption);
bool IsForeignWindow(HWND hwnd);
// Asks the other program to bring the window to the front.
bool ActivateForeignWindow(HWND hwnd);
std::string ForeignWindowCaption(HWND hwnd);
