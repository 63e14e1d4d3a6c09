#pragma once
// TPropertySheet: a dialog of pages under tabs, with OK, Cancel and, as its
// flags say, Apply and Help. Run modally (Execute) or modeless (Create).
// Pages can be added and removed while it runs. A page's window is made the
// first time it shows; the notifications (TPropertyPage) go to the pages
// whose windows exist:
//
// - Another tab: the current page may refuse to be left (PSN_KILLACTIVE),
//   then the new page hears PSN_SETACTIVE.
// - OK and Apply: the current page may refuse to be left; then every page
//   applies its data (PSN_APPLY) in order until one refuses. On
//   PSNRET_INVALID the sheet shows that page, on PSNRET_INVALID_NOCHANGEPAGE
//   it stays where it is; either way it stays open. When all agree, OK closes
//   the sheet (IDOK) and Apply greys itself until a page changes again.
// - Cancel: the current page may keep the sheet open (PSN_QUERYCANCEL); then
//   every page hears PSN_RESET and the sheet closes (IDCANCEL).
// - Help: the current page hears PSN_HELP.
//
// A sheet made with an MDI client as parent is a child window, for an MDI
// child to carry (it runs modeless then).
//
// The controls are the tab control (id 12320) and the buttons IDOK, IDCANCEL,
// Apply (12321) and IDHELP; a derived sheet can make its own kinds of them.

#include "platform/ui/controls/tab_control.h"
#include "platform/ui/dialog.h"
#include "platform/ui/notify.h"

#include <set>
#include <vector>

class TButton;
class TPropertyPage;

constexpr DWORD PSH_DEFAULT = 0x0000;
constexpr DWORD PSH_NOAPPLYNOW = 0x0080;
constexpr DWORD PSH_HASHELP = 0x0200;

constexpr int IDC_PROPSHEET_TABCONTROL = 12320;
constexpr int IDC_PROPSHEET_APPLYNOW = 12321;

constexpr UINT PSM_SETCURSEL = WM_USER + 101;  // wParam: page index (lParam: or the page's window)
constexpr UINT PSM_REMOVEPAGE = WM_USER + 102; // wParam: page index (lParam: or the page's window)
constexpr UINT PSM_ADDPAGE = WM_USER + 103;    // lParam: the TPropertyPage*
constexpr UINT PSM_CHANGED = WM_USER + 104;    // wParam: the page's window
constexpr UINT PSM_UNCHANGED = WM_USER + 109;  // wParam: the page's window
constexpr UINT PSM_APPLY = WM_USER + 110;
constexpr UINT PSM_SETTITLE = WM_USER + 111;   // lParam: const char* title
constexpr UINT PSM_GETTABCONTROL = WM_USER + 116;
constexpr UINT PSM_GETCURRENTPAGEHWND = WM_USER + 118;

class TPropertySheet : public TDialog {
public:
    TPropertySheet(TWindow* parent, const char* title, UINT startPage = 0, bool isWizard = false,
                   DWORD flags = PSH_DEFAULT, TModule* module = nullptr);
    ~TPropertySheet() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    // The sheet owns its pages. A page removed while the sheet runs is
    // destroyed and deleted; the page shown next is its neighbour.
    void AddPage(TPropertyPage& page);
    void RemovePage(TPropertyPage& page);
    int GetPageCount() const { return static_cast<int>(pages_.size()); }
    TPropertyPage* GetPage(int index) const;
    int GetPageIndex(const TPropertyPage& page) const;
    TPropertyPage* GetCurrentPage() const;
    int GetCurrentIndex() const { return current_; }
    // Shows a page, as choosing its tab does (the current page may refuse).
    bool SelectPage(int index);
    bool SelectPage(TPropertyPage& page);

    // A page's data changed (Apply becomes available), or no longer differ.
    void PageChanged(const TPropertyPage& page);
    void PageUnchanged(const TPropertyPage& page);
    // Applies every page as Apply does; false when one refused.
    bool Apply();

    TTabControl* GetTabControl() const { return tabs_; }
    DWORD GetFlags() const { return flags_; }
    UINT GetStartPage() const { return startPage_; }

    void CmOk() override;
    void CmCancel() override;

protected:
    void SetupWindow() override;
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // The sheet's own controls; a derived sheet may make its own kinds.
    virtual TTabControl* CreateTabControl(int id);
    virtual TButton* CreateButton(int id, const char* text, bool isDefault);

    void CmApply();
    void CmHelp();
    LRESULT EvNotify(WPARAM wParam, LPARAM lParam);

private:
    LRESULT NotifyPage(TPropertyPage& page, UINT code, LPARAM lParam = 0);
    // Shows page `index` without asking the current page.
    bool ShowPage(int index);
    // Applies all pages; `closing` is told to them.
    bool ApplyPages(bool closing);
    void LayoutControls();
    TRect PageArea() const;
    void UpdateApply();

    std::vector<TPropertyPage*> pages_;
    std::set<const TPropertyPage*> changed_;
    TTabControl* tabs_ = nullptr;
    TButton* apply_ = nullptr;
    UINT startPage_;
    DWORD flags_;
    int current_ = -1;
};
