#pragma once
// The queue behind PostMessage (internal). Posted messages are delivered by
// the Qt event loop in the order they were posted.

#include "platform/base/win_types.h"

bool QueueMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void QueueQuit(int exitCode);
// The window is going: its posted messages are dropped.
void PurgePostedMessages(HWND hwnd);
int PostedMessageCount();
