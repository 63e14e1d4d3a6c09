#pragma once
// The live window handles (internal). A handle is valid from the window's
// creation to its destruction; every call on a handle checks it here first,
// so a stale handle is harmless.

#include "platform/ui/window.h"

#include <vector>

void RegisterHandle(HWND hwnd);
void UnregisterHandle(HWND hwnd);
bool IsRegisteredHandle(HWND hwnd);
// All live handles in creation order.
std::vector<HWND> LiveHandles();
