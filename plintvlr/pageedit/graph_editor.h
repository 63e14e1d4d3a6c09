#pragma once
// TGraphEditor: the MDI child in which the engineer edits the graphic pages
// of the open project, one page at a time. It carries the page canvas as its
// client window, the indicator bar above it and one or two function-key
// bars below it, and the page's record commands (new, delete, previous,
// next, save, browse), zoom, printing, the font choice and the key buttons.
// There is at most one; while it exists it is the active page editor that
// element code reaches the page through.

#include "plintvlr/db/quellstor.h"
#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/pageedit/page_browser.h"
#include "plintvlr/shell/mdi_hosts.h"
#include "plintvlr/shell/save_all.h"

#include <cstdint>

class DrawWindow;
class SizeRectManager;
class TFKeyBar;
class TIndicatorBar;

class TGraphEditor : public TDecoratedMDIChild,
                     public TSavable,
                     public ActivePageEditor,
                     public PageBrowserEditor {
public:
    static constexpr int kMinZoom = 1;
    static constexpr int kMaxZoom = 3;

    // The canvas becomes the editor's client window and is owned by it.
    TGraphEditor(TMDIClient& parent, const char* title, DrawWindow* canvas, TModule* module = nullptr);
    ~TGraphEditor() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    // --- Saving, as the main frame's Save All asks ---------------------------
    bool IsModified() override;
    void Save() override;

    // --- Pages -------------------------------------------------------------
    // Shows page n (an empty new page when it is not stored).
    void OpenPage(int n) override;
    // Asks whether to save a changed or new page and saves it on Yes; false
    // when the engineer cancelled or the page could not be saved.
    bool AskSave() override;
    // The page browser's choice: page n after asking about the one shown.
    void GoToPage(int n) override;
    bool CanClose() override;
    // Stores the page shown; false when it was refused (too large, or a
    // damaged stored record the engineer would not replace).
    bool SavePage();
    void CmNewPage();
    void CmDeletePage();
    void CmPreviousPage();
    void CmNextPage();

    // --- Window ------------------------------------------------------------
    // Sizes the window so that the canvas shows the panel screen at the zoom.
    void ResizeToZoom();
    // While the position pick-up dialog is open over an element's sheet.
    void SetPickupMode(bool on) override;
    bool IsPickupMode() const { return pickup_; }
    void MarkModified() override;
    void SetSelectionFont(int fontNumber) override;
    void InvalidateBars() override;
    void EditEmbeddedCommsBlocks();

    // --- Function keys -----------------------------------------------------
    void ReloadFunctionKeys();
    void UpdateAllFunctionKeyLegends() override;
    void UpdateFunctionKeyLegend(int key) override;
    void RemoveFunctionKey(int key);

    // --- State -------------------------------------------------------------
    int GetZoomLevel() const { return zoom_; }
    int GetCurrentPage() const { return page_; }
    bool IsPageStored() const { return stored_; }
    DrawWindow* GetDrawWindow() const { return canvas_; }
    TIndicatorBar* GetIndicatorBar() const { return indicator_; }
    TFKeyBar* GetKeyBar() const { return keyBar_; }
    TFKeyBar* GetSecondKeyBar() const { return secondKeyBar_; }

    // --- The page as element code sees it ------------------------------------
    const Quellstor& GetPanelModel() const override { return panel_; }
    void InvalidateLogicalRect(const TRect& rect) override;
    TRect LogicalToDeviceRect(const TRect& rect) const override;
    TRect DeviceToLogicalRect(const TRect& rect) const override;
    void SetPageModified() override;
    bool IsAnimating() const override;
    TMDIClient* GetMDIClient() const override;
    TWindow* GetMessageOwner() const override;
    void InvalidateAll() override;
    int GetBackgroundColor() const override;
    void SetBackgroundColor(int index) override;
    const TouchGrid* GetTouchGrid() const override;
    void SetCursorPos(const TPoint& point) override;
    void SetObjectPos(const TPoint& value, bool position) override;

    // --- The page as the page browser and template picker see it -----------
    TWindow* GetEditorWindow() const override { return const_cast<TGraphEditor*>(this); }
    void SetTemplatePage(int page) override;
    void LoadElementsFromRecord(const std::vector<std::uint8_t>& record) override;

    // The zoom level kept in the profile, forced into 1..3.
    static int ReadZoomLevel();

protected:
    void SetupWindow() override;
    void CleanupWindow() override;

private:
    SizeRectManager& Model() const;
    void CmZoomIn();
    void CmZoomOut();
    void CeZoomIn(TCommandEnabler& enabler);
    void CeZoomOut(TCommandEnabler& enabler);
    void CePreviousNext(TCommandEnabler& enabler);
    void CmSave();
    void CeSave(TCommandEnabler& enabler);
    void CmBrowser();
    void CmPrintText();
    void CmPrintGraphics();
    void CmChooseFont();
    void CeChooseFont(TCommandEnabler& enabler);
    void CmHelpTopic();
    void CmAskSave();
    template <int Key>
    void CmFunctionKey()
    {
        FunctionKey(Key);
    }
    void FunctionKey(int key);
    LRESULT EvNCMouseMove(WPARAM hitTest, LPARAM point);
    void EvInitMenu(WPARAM menu, LPARAM);
    void StepToPage(bool forward);

    // Loads page n into the canvas and tells the engineer when its stored
    // record is damaged; the key the canvas read.
    int LoadIntoCanvas(int n);
    // The first stored page in 1..max, else 0.
    int FirstStoredPage() const;
    bool IsStoredPage(int n) const;
    int MaxPage() const;
    // Page count as the record commands see it: stored pages, plus the page
    // shown while it is new.
    int PageCount() const;
    // Whether the project holds a record for page n, readable or not.
    bool StoredRecordExists(int n) const;
    // The page browser, when it is open, hears what happened to a page.
    void TellBrowser(int page, int code) const;
    void OpenBrowser();
    void CloseBrowser();
    void LayoutKeyBars();
    std::string PrintTitle() const;
    void StopAnimation();
    int KeyCount() const;
    bool IsTextPanel() const { return panel_.IsTextPanel(); }

    DrawWindow* canvas_;
    Quellstor panel_;
    TIndicatorBar* indicator_ = nullptr;
    TFKeyBar* keyBar_ = nullptr;
    TFKeyBar* secondKeyBar_ = nullptr;
    int zoom_ = kMinZoom;
    int page_ = 0;
    bool stored_ = true;
    bool pickup_ = false;
    // The page shown could not be read: its stored record is still there,
    // and saving over it asks first.
    bool unreadable_ = false;
};

// The page editor's half of the program: its factory for the MDI client's
// "&Graphic Pages", its commands in the frame's menu and its icon. Called
// at start-up, before the main frame's window is made.
void RegisterPageEditor();
