#pragma once
// TTabControl: a row of tabs above a framed display area (the pages of a
// property sheet lie in that area, as siblings of the tab control). A tab
// chosen by the user is announced to the parent with WM_NOTIFY:
// TCN_SELCHANGING first (a nonzero answer keeps the old tab), then
// TCN_SELCHANGE. Tabs changed by the program are not announced.

#include "platform/ui/control.h"
#include "platform/ui/notify.h"

#include <string>
#include <vector>

class QTabBar;

constexpr UINT TCN_SELCHANGE = NotifyCode(-551);
constexpr UINT TCN_SELCHANGING = NotifyCode(-552);

constexpr UINT TCM_GETITEMCOUNT = 0x1304;
constexpr UINT TCM_INSERTITEM = 0x1307;  // wParam: index, lParam: const char* text
constexpr UINT TCM_DELETEITEM = 0x1308;
constexpr UINT TCM_DELETEALLITEMS = 0x1309;
constexpr UINT TCM_GETCURSEL = 0x130B;
constexpr UINT TCM_SETCURSEL = 0x130C;

class TTabControl : public TControl {
public:
    TTabControl(TWindow* parent, int id, int x, int y, int w, int h, TModule* module = nullptr);
    TTabControl(TWindow* parent, int resourceId, TModule* module = nullptr);

    // Adds a tab at the end (Add) or before `index`; answers its index.
    int Add(const char* text);
    int Insert(const char* text, int index);
    bool Delete(int index);
    void DeleteAll();
    int GetCount() const;
    // The selected tab, -1 for none.
    int GetSel() const;
    int SetSel(int index);
    std::string GetItemText(int index) const;
    bool SetItemText(int index, const char* text);
    // The tab's rectangle and the display area below the tabs, in client coordinates.
    TRect GetItemRect(int index) const;
    TRect GetDisplayRect() const;
    // The height of the row of tabs, and the room the frame takes around the display area.
    int GetTabHeight() const;
    static int DisplayMargin();

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void WidgetCreated() override;
    void WidgetReleased() override;
    bool PaintsNatively() const override { return true; }
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    UINT DialogCode(const MSG* msg) const override;

private:
    // Asks the parent whether the selection may change (TCN_SELCHANGING).
    bool MayChange();
    LRESULT Notify(UINT code);

    QTabBar* bar_ = nullptr;
    std::vector<std::string> pending_;  // the tabs while the control has no window
    int pendingSel_ = -1;
    bool programChange_ = false;
};
