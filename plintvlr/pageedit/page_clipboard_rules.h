#pragma once
// The page canvas's Copy, Cut and Paste commands over the element clipboard
// that every page editor shares: the main frame's element array and its
// bitmap paster. Nothing goes onto the desktop clipboard. The canvas binds
// them to its commands; the forms without a clipboard use the main frame's
// and do nothing when the main window is not the shell's main frame.

class BitmapPaster;
class SizeRectArray;
class SizeRectManager;

struct ElementClipboard {
    SizeRectArray& elements;
    BitmapPaster& bitmaps;
};

// Copy: the selection, with its pictures and the project's name; with
// nothing selected, the current function key alone (pictures and name stay).
void EditCopy(SizeRectManager& model, ElementClipboard clipboard);
// Cut: Copy, then the selection is deleted (undoable) or the current
// function key removed (not undoable).
void EditCut(SizeRectManager& model, ElementClipboard clipboard);
void EditPaste(SizeRectManager& model, ElementClipboard clipboard);
// Paste is offered outside point pick-up when an element of the clipboard
// is allowed on the panel.
bool CanEditPaste(const ElementClipboard& clipboard, bool pickupMode);

// The same over the main frame's clipboard.
void EditCopy(SizeRectManager& model);
void EditCut(SizeRectManager& model);
void EditPaste(SizeRectManager& model);
bool CanEditPaste(bool pickupMode);
