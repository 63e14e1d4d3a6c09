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

#include "plintvlr/db/quellstor.h"
#include "platform/base/geometry.h"

class TMDIClient;
class TouchGrid;
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
    // Repaints the function-key bars around the canvas.
    virtual void InvalidateBars() {}
    // Moves a point in page units onto the graphics grid; without a grid of
    // its own the canvas snaps to whole panel pixels.
    virtual void SnapToGraphicsGrid(TPoint& point) const { SnapToWholePixels(point); }
    // The panel's touch cells; none when the panel has none.
    virtual const TouchGrid* GetTouchGrid() const { return nullptr; }

    // Whole pixels as a 1 x 1 graphics grid gives them: x truncated, y to the
    // nearest pixel counted from the bottom edge, half a pixel going up.
    static void SnapToWholePixels(TPoint& point);

    // What the page canvas asks of the page editor window: its indicator
    // fields (panel pixels, y from the bottom) and the page it shows.
    virtual void SetCursorPos(const TPoint& point) { (void)point; }
    virtual void SetObjectPos(const TPoint& value, bool position) { (void)value, (void)position; }
    // False when the user cancelled saving the changed page.
    virtual bool AskSave() { return true; }
    virtual void OpenPage(int page) { (void)page; }
};

// A page editor of a panel model without a window: nothing is painted and
// nothing is opened. Programs without a canvas (fuzz targets, benchmarks)
// make one active so that elements see their panel.
class PanelPageEditor : public ActivePageEditor {
public:
    explicit PanelPageEditor(int panelType) : panel_(panelType) {}
    const Quellstor& GetPanelModel() const override { return panel_; }
    void InvalidateLogicalRect(const TRect&) override {}
    TRect LogicalToDeviceRect(const TRect& rect) const override { return rect; }
    TRect DeviceToLogicalRect(const TRect& rect) const override { return rect; }
    void SetPageModified() override {}
    bool IsAnimating() const override { return false; }
    void SetPickupMode(bool) override {}
    void SetSelectionFont(int) override {}
    TMDIClient* GetMDIClient() const override { return nullptr; }
    TWindow* GetMessageOwner() const override { return nullptr; }

private:
    Quellstor panel_;
};

ActivePageEditor* GetActivePageEditor();
// The editor registers itself when it is set up and passes null when it goes.
void SetActivePageEditor(ActivePageEditor* editor);

// Repaints part of the page being edited; nothing without an editor.
void InvalidatePageRect(const TRect& rect);
// Whether the page's animation runs; false without an editor.
bool IsPageAnimating();
// The editor's graphics grid snap, or whole pixels without an editor.
void SnapToPageGrid(TPoint& point);
// The touch cells of the page being edited; none without an editor.
const TouchGrid* GetPageTouchGrid();
// Refreshes the key bar's button of a function key and repaints the bars;
// nothing without an editor.
void RefreshFunctionKeyBar(int key);
