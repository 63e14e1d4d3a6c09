#pragma once
// The clipboard service on the desktop's clipboard, so that other programs
// see what the programs copy and the programs see what others copy. Text
// (CF_TEXT, a nul-ended 8-bit text) is the desktop's plain text; every other
// numbered format is a private type of its own ("application/x-plv-clipboard-
// 520"), its data in a checked envelope (clipboard_envelope.h): a block of
// that type that is not a well-formed envelope of its format counts as absent.
//
// Formats set between opening and closing the clipboard reach the desktop
// together when it is closed.

#include "platform/base/clipboard.h"

constexpr UINT CF_TEXT = 1;

// Makes the desktop clipboard the clipboard service (InitPlatformUi does so).
void InstallDesktopClipboard();
