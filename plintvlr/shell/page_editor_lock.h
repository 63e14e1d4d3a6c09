#pragma once
// The page editor is kept disabled while an editor that works on its
// elements is open. The holds are counted per MDI client: the page editor
// is enabled again, and brought to the top, only when the last hold goes, so
// closing one element sheet never frees an element another sheet still edits.
// A client that is no TMDIClientWin has no page editor and is left alone.

class TWindow;

void HoldPageEditor(TWindow* client);
void ReleasePageEditor(TWindow* client);
// How many holds the client has (0 for a client never held).
int PageEditorHolds(const TWindow* client);
