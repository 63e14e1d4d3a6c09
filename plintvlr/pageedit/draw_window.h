#pragma once
// DrawWindow: the drawing surface of one graphic page. It shows the whole
// panel screen on its whole client area (the zoom comes from the size the
// page editor gives it), owns the page's editing model, paints the grid, the
// touch cells and the elements, and turns mouse and keys into editing.
//
// Page geometry is in page units of 1/20 pixel, y down from the top of the
// panel screen. The page mapping is anisotropic: window extent W x 20 by
// H x 20, viewport extent the client area.

#include "plintvlr/db/quellstor.h"
#include "plintvlr/pageedit/graph_grid.h"
#include "plintvlr/shell/graph_printout.h"
#include "platform/ui/window.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class LinesElem;
class SizeRect;
class SizeRectManager;
class TTagConversion;
class TDC;
class TouchGrid;

// What a tool of the data and operator elements builds its element from:
// the two snapped corners (for touch regions and push buttons the touch
// rectangle) and, for a drive-out, its free number.
struct TToolPlacement {
    TPoint a;
    TPoint b;
    int number = 0;
};
using TToolElementFactory = std::function<std::unique_ptr<SizeRect>(const TToolPlacement& placement)>;
// The element subsystem registers its tools' constructors at start-up; a
// tool without one has no command.
void RegisterToolElement(UINT tool, TToolElementFactory factory);
const TToolElementFactory* FindToolElement(UINT tool);
// For tests: forgets every constructor.
void ClearToolElements();

// The canvas's commands that the frame's menu does not hold.
inline constexpr UINT CM_CONFIGURE = 749;
inline constexpr UINT CM_TURN = 757;
inline constexpr UINT CM_LOCKSELECTION = 21903;
inline constexpr UINT CM_UNLOCKALL = 21904;

// Registers the canvas's commands with the shell (at start-up, before the
// frame is made) and its pop-up menu.
void RegisterPageCanvasCommands();

class DrawWindow : public TWindow, public TPrintCanvas {
public:
    static constexpr int kPixel = 20;  // page units per panel pixel
    static constexpr UINT kAnimationTimer = 1000;
    static constexpr UINT kAnimationPeriod = 1000;
    static constexpr int kMaxPolylinePoints = 40;
    // Posted to itself after loading a page of a project older than 5.0.
    static constexpr UINT kConvertToTagsMessage = WM_USER + 3;
    // The current handle while the press hit the selection's body.
    static constexpr int kBodyHandle = -2;
    // The canvas's pop-up menu.
    static constexpr int kCanvasMenu = 747;
    // The digital tag display's tool (it has no menu item).
    static constexpr UINT kDigitalTagDisplayTool = 1102;

    // No parent until the page editor adopts the canvas as its client; the
    // screen size defaults to the open project's panel model.
    explicit DrawWindow(TWindow* parent = nullptr, const char* title = nullptr, TSize screen = OpenPanelScreen(),
                        TModule* module = nullptr);
    ~DrawWindow() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    static TSize OpenPanelScreen();

    // --- The page ---------------------------------------------------------
    // The model's answer: the key of the page read, 0 when nothing was read.
    std::uint16_t LoadPage(int mode, std::uint32_t number);
    // True when the page was stored.
    bool SavePage(int mode, std::uint32_t number);
    // Opens another page in the same editor (asking to save this one first).
    void ShowPage(int page);
    // The template picker's preview of a page record held in memory.
    void LoadElementsFromRecord(const std::vector<std::uint8_t>& record);
    void SetTemplatePage(int page);

    SizeRectManager& GetModel() { return *model_; }
    const SizeRectManager& GetModel() const { return *model_; }
    int GetCurrentKey() const;
    const Quellstor& GetPanel() const { return panel_; }
    TSize GetScreenSize() const { return screen_; }
    bool IsTextPanel() const { return panel_.IsTextPanel(); }
    bool IsColorPanel() const { return panel_.largeMemory != 0; }

    // --- Mapping ----------------------------------------------------------
    void SetPageMapping(TDC& dc) const;
    // A client point as a page point truncated to whole pixels.
    TPoint DeviceToPagePoint(const TPoint& point) const;
    TRect LogicalToDeviceRect(const TRect& rect) const;
    TRect DeviceToLogicalRect(const TRect& rect) override;
    TRect DeviceToLogicalRect(const TRect& rect) const;
    // (v + 10) / 20 for each coordinate.
    static TSize PageSizeToPixels(const TSize& size);
    // Pixels counted from the bottom-left of the panel screen.
    TPoint PageToPanel(const TPoint& point) const;

    // --- Painting and page state -----------------------------------------
    void InvalidateLogicalRect(const TRect& rect);
    void InvalidateAll() { Invalidate(true); }
    void SetBackgroundColor(int index);
    int GetBackgroundColor() const { return background_; }
    TColor GetWindowBackground() const;
    TColor GetTrackingColor() const;
    void SetSelectionFont(int fontNumber);
    TouchGrid* GetTouchGrid() const { return touchGrid_.get(); }
    // Moves a page point onto the graphics grid.
    void SnapToGrid(TPoint& point) const;
    GraphGridState& GetGrid() { return grid_; }
    const GraphGridState& GetGrid() const { return grid_; }

    TWindow& GetCanvasWindow() override { return *this; }
    void Paint(TDC& dc, bool erase, TRect& rect) override;

    // --- Tools and modes --------------------------------------------------
    UINT GetTool() const { return tool_; }
    void SetTool(UINT tool);
    bool IsPickupMode() const { return pickup_; }
    // The page editor's pick-up switch sets this and returns to Select Graphics.
    void SetPickupFlag(bool on);
    bool IsToolEnabled(UINT tool) const;
    bool IsAnimating() const { return animating_; }
    void StartAnimation();
    // Stops the timer and puts the elements back as they rest.
    void StopAnimation();
    const std::vector<TPoint>& GetPolyline() const { return polyline_; }
    // The named cursor shown over the canvas; null for the arrow and the
    // size cursors of the handles.
    const char* GetCursorName() const { return cursor_; }

    // Places an element with the current tool from the two corners (page
    // units), as a click or drag does.
    void PlaceElement(const TPoint& anchor, const TPoint& current);

protected:
    void SetupWindow() override;
    void CleanupWindow() override;

    void EvMouseMove(UINT keys, const TPoint& point);
    void EvLButtonDown(UINT keys, const TPoint& point);
    void EvLButtonUp(UINT keys, const TPoint& point);
    void EvLButtonDblClk(UINT keys, const TPoint& point);
    void EvRButtonDown(UINT keys, const TPoint& point);
    void EvKeyDown(UINT key, UINT repeat, UINT flags);
    void EvTimer(UINT id);
    bool EvSetCursor(HWND window, UINT hitTest, UINT mouseMessage);

    void CmCut();
    void CmCopy();
    void CmPaste();
    void CePaste(TCommandEnabler& ce);
    void CmSelectAll();
    void CeSelectAll(TCommandEnabler& ce);
    void CmGroup();
    void CeGroup(TCommandEnabler& ce);
    void CmUngroup();
    void CeUngroup(TCommandEnabler& ce);
    void CeManySelected(TCommandEnabler& ce);
    void CeManySelectedGraphic(TCommandEnabler& ce);
    void CmAlignLeft();
    void CmAlignRight();
    void CmAlignTop();
    void CmAlignBottom();
    void CmCenterHorizontally();
    void CmCenterVertically();
    void CmAddTemplate();
    void CmShuffle();
    void CmEditZOrder();
    void CeEditZOrder(TCommandEnabler& ce);
    void CmSendToBack();
    void CmLockSelection();
    void CeSomethingSelected(TCommandEnabler& ce);
    void CmUnlockAll();
    void CeUnlockAll(TCommandEnabler& ce);
    void CmEmbedComms();
    void CeEmbedComms(TCommandEnabler& ce);
    void CmGridOn();
    void CeGridOn(TCommandEnabler& ce);
    void CmHideGridLines();
    void CeHideGridLines(TCommandEnabler& ce);
    void CmSetGrid();
    void CeSetGrid(TCommandEnabler& ce);
    void CmTool(WPARAM wParam, LPARAM lParam);
    void CeTool(TCommandEnabler& ce);
    void CmUndo();
    void CeUndo(TCommandEnabler& ce);
    void CmDelete();
    void CeSelectionOrKey(TCommandEnabler& ce);
    void CmConfigure();
    void CeConfigure(TCommandEnabler& ce);
    void CmTurn();
    void CeTurn(TCommandEnabler& ce);
    void CmDeleteTemplate();
    void CeHasTemplate(TCommandEnabler& ce);
    void CmGoToTemplate();
    void CmBackToMaster();
    void CeBackToMaster(TCommandEnabler& ce);
    void CmTouchGrid();
    void CeTouchGrid(TCommandEnabler& ce);
    void CmAnimation();
    void CeAnimation(TCommandEnabler& ce);

    // Convert To Tags: the three steps the canvas and the dialog post it.
    void EvConvertToTagsStart();
    void EvConvertToTagsConvert();
    void EvConvertToTagsFinish();
    std::unique_ptr<TTagConversion> conversion_;

private:
    // The pop-up menu's resource, registered once.
    static void RegisterCanvasMenu();

    // Mouse and keys.
    LinesElem* SingleSelectedLines() const;
    TPoint ClampTrackingPoint(TPoint point) const;
    void DrawOutline(TDC& dc, const TPoint& at) const;
    void DrawTracking(const TPoint& at);
    void WithClientDC(const std::function<void(TDC&)>& draw);
    void TrackStep(const TPoint& point);
    void ShowCursorField(const TPoint& page) const;
    void ShowSelectionPosition(const TSize& delta) const;
    void ShowDragObject() const;
    void Hover(UINT keys, const TPoint& page);
    void HoverAtMouse(UINT keys);
    void ShowCursor(const char* name);
    static const char* ToolCursor(UINT tool);
    void StartSelectionDrag(const TPoint& page);
    void FinishNodeDrag();
    void AddPolylinePoint();
    void FinishPolyline();
    void SendPickedPoint(const TPoint& page) const;
    void KeyMove(const TSize& delta, bool resize, bool horizontal);
    void DeleteKey();
    // The model's selection edits.
    int UndoCount() const;
    void UndoOnce();
    void DeleteSelected();
    void ApplyDrag(int handle, const TSize& delta);
    void PushNodeSnapshot(const LinesElem& lines);

    // The graphics grid's active units in page units.
    TSize GridStep() const;

    // Placing.
    void PlaceElement();
    void PlacePolyline();
    std::unique_ptr<SizeRect> BuildRegisteredElement(const TPoint& a, const TPoint& b, int number) const;
    TRect TouchPlacementRect(const TPoint& a, const TPoint& b) const;
    void AddPlacedElement(std::unique_ptr<SizeRect> element, bool edit);

    TSize screen_;
    Quellstor panel_;
    TPoint anchor_;
    TPoint previous_;
    TPoint current_;
    bool buttonDown_ = false;
    bool moving_ = false;
    std::unique_ptr<SizeRectManager> model_;
    UINT tool_;
    int handle_ = -1;
    TRect tracking_;
    std::unique_ptr<TouchGrid> touchGrid_;
    bool animating_ = false;
    int masterPage_ = 0;
    int background_ = 0;
    bool polylineFlag_ = false;
    std::vector<TPoint> polyline_;
    bool nodeDrag_ = false;
    int nodeMode_ = 0;
    int nodeIndex_ = -1;
    TPoint nodeNeighbours_[2];
    bool pickup_ = false;
    const char* cursor_ = nullptr;
    TResId shownCursor_;
    GraphGridState grid_;
};
