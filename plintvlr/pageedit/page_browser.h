#pragma once
// tppickDlg: the list of the project's graphic pages with their stored sizes,
// in two modes. As the "Graphics Browser" it follows the page editor (a row
// chosen shows that page, the editor's page changes move the selection and
// keep the sizes current), shows the stored pages only or every page number
// (Expand / Collapse), and cuts, copies and pastes whole pages on the
// desktop clipboard. As "Add a Template Page" it picks the page drawn
// beneath the edited one. At most one window of each mode is open; the page
// editor and the canvas reach them through the functions below.

#include "plintvlr/shell/mdi_dialog.h"

#include <cstdint>
#include <vector>

class TCommandEnabler;
class TListBox;
class TMDIClient;

inline constexpr int IDD_PAGE_BROWSER = 6000;
inline constexpr int IDC_BROWSER_PAGE_LABEL = 190;
inline constexpr int IDC_BROWSER_BYTES_LABEL = 161;
inline constexpr int IDC_BROWSER_LIST = 196;
// Expand / Collapse in the browser, OK in the template picker.
inline constexpr int IDC_BROWSER_TOGGLE = 127;

// Selects the row of the project's current page.
inline constexpr UINT CM_SELECTCURRENTPAGE = 396;
// The page editor's Delete Record, which the browser's Cut sends it.
inline constexpr UINT CM_DELETEPAGERECORD = 3011;

// The page editor tells the browser about a page: wParam the page number,
// lParam what happened to it.
inline constexpr UINT WM_PAGECHANGED = 0x812C;
enum : int {
    kPageShown = 0,          // the editor shows this page (or kept it)
    kPageOpenedOrSaved = 1,  // the page was opened or saved
    kPageDeleted = 2,        // the page was deleted
};

// What the browser and the picker ask of the page editor and its canvas.
// The page editor window implements it and registers itself while it
// exists; while none is registered the lists still open, but nothing is
// navigated, pasted or made a template.
class PageBrowserEditor {
public:
    virtual ~PageBrowserEditor() = default;

    // The editor's window: disabled while an element sheet holds it, and the
    // receiver of Delete Record.
    virtual TWindow* GetEditorWindow() const = 0;
    // Shows another page, asking to save the shown one first; when the user
    // stays, the browser is told to select the shown page again.
    virtual void GoToPage(int page) = 0;
    // The canvas's template page (0: none).
    virtual void SetTemplatePage(int page) = 0;
    // The canvas shows the elements of a page record held in memory.
    virtual void LoadElementsFromRecord(const std::vector<std::uint8_t>& record) = 0;
    virtual void MarkModified() = 0;
    virtual void UpdateAllFunctionKeyLegends() = 0;
};

PageBrowserEditor* GetPageBrowserEditor();
void SetPageBrowserEditor(PageBrowserEditor* editor);

class tppickDlg : public TMDIDialog {
public:
    tppickDlg(TMDIClient* client, int initialPage, bool templateMode);
    ~tppickDlg() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    bool IsTemplateMode() const { return templateMode_; }
    bool IsExpanded() const { return expanded_; }
    // The page of the selected row; 1 when no row or no valid page is selected.
    int GetSelectedPage() const;
    TListBox* GetList() const { return list_; }

protected:
    void SetupWindow() override;
    void CleanupWindow() override;

private:
    void FillList();
    // Selects the first row of the page (none when it has no row); its index or -1.
    int SelectPageRow(int page);
    int FindPageRow(int page) const;
    int MaxPage() const;

    void CmToggle();
    void CmSelectCurrentPage();
    void CmHelpButton();
    void EvSelChange();
    LRESULT EvPageChanged(WPARAM page, LPARAM code);
    void CmCut();
    void CmCopy();
    void CmPaste();
    void CeCutCopy(TCommandEnabler& enabler);
    void CePaste(TCommandEnabler& enabler);

    bool CanCopySelected() const;
    void AddTemplate();
    // Puts the stored record of the page on the clipboard; false when nothing was put there.
    bool CopyPage(int page);
    // Asks the editor to show the page unless it does; whether it shows it now
    // (the user may keep a changed page).
    static bool ShowInEditor(PageBrowserEditor& editor, int page);
    // The editor when there is one and its window takes input.
    PageBrowserEditor* EnabledEditor() const;
    void Unregister();

    int initialPage_;
    bool templateMode_;
    bool expanded_ = false;
    TListBox* list_;
};

// The open window of each mode, or null.
tppickDlg* GetOpenPageBrowser();
tppickDlg* GetOpenTemplatePicker();

// The page editor's Browser: opens the browser on the current page, or
// brings the open one to the top.
tppickDlg* OpenPageBrowser(TMDIClient* client, int currentPage);
// The canvas's Add Template: opens the picker on the page's template page,
// or brings the open one to the top.
tppickDlg* OpenTemplatePicker(TMDIClient* client, int templatePage);
// Tells an open browser what happened to a page (kPageShown...).
void NotifyPageBrowser(int page, int code);
// Closes the window of the mode when one is open.
void ClosePageBrowser();
void CloseTemplatePicker();

// Lets the frame's Edit menu show Cut, Copy and Paste, which the browser
// carries out for whole pages (at start-up, with the page editor's commands).
void RegisterPageBrowserCommands();
