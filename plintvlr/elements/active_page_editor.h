#pragma once
// The page editor as element code sees it. Elements and their property
// sheets ask the page being edited for its panel model, repaint through its
// canvas, convert rectangles between page units and window pixels, mark the
// page modified, ask whether the animation runs, switch point pick-up and
// hand a font to the selection. The page editor window implements this and
// registers itself while it exists; tests put in a small fake.
//
// There is at most one page editor, so the pointer is process-wide; it is
// null when no editor is open, and the free functions below then answer as
// a program without an editor would (no colour panel, nothing to repaint).

#include "platform/base/geometry.h"

class Quellstor;
class TMDIClient;
class TWindow;

class ActivePageEditor {
public:
    virtual ~ActivePageEditor() = default;

    // The panel model of the page being edited.
    virtual const Quellstor& GetPanelModel() const = 0;

    // The canvas.
    virtual void InvalidateLogicalRect(const TRect& rect) = 0;
    virtual TRect LogicalToDeviceRect(const TRect& rect) const = 0;
    virtual TRect DeviceToLogicalRect(const TRect& rect) const = 0;
    virtual void SetPageModified() = 0;
    virtual bool IsAnimating() const = 0;

    // Point pick-up for the position and rotation pages.
    virtual void SetPickupMode(bool on) = 0;
    // A font chosen in the font list, for the selected elements.
    virtual void SetSelectionFont(int fontNumber) = 0;

    // Where element editors open, and the window that owns their message boxes.
    virtual TMDIClient* GetMDIClient() const = 0;
    virtual TWindow* GetMessageOwner() const = 0;

    // What the page's editing model asks of the canvas and the key bar.
    virtual void InvalidateAll() {}
    virtual int GetBackgroundColor() const { return 0; }
    virtual void SetBackgroundColor(int index) { (void)index; }
    virtual void UpdateFunctionKeyLegend(int key) { (void)key; }

    // What the page canvas asks of the page editor window: its indicator
    // fields (panel pixels, y from the bottom) and the page it shows.
    virtual void SetCursorPos(const TPoint& point) { (void)point; }
    virtual void SetObjectPos(const TPoint& value, bool position) { (void)value, (void)position; }
    // False when the user cancelled saving the changed page.
    virtual bool AskSave() { return true; }
    virtual void OpenPage(int page) { (void)page; }
};

ActivePageEditor* GetActivePageEditor();
// The editor registers itself when it is set up and passes null when it goes.
void SetActivePageEditor(ActivePageEditor* editor);

// Repaints part of the page being edited; nothing without an editor.
void InvalidatePageRect(const TRect& rect);
