// Editor sheets in their MDI hosts, fitted to their pages: OK only when the
// pages accept, the narrowed button row, Tab, Enter and Escape on the
// sheet's own controls, the start page, no context-help button, and element
// sheets keeping the page editor disabled.

#include "plintvlr/shell/editor_bases.h"
#include "plintvlr/shell/mdi_hosts.h"
#include "platform/ui/messages.h"
#include "platform/ui/window_api.h"
#include "shell_fixture.h"
#include "stand_in_editor_bases.h"
#include "stand_in_editors.h"

#include <vector>

namespace {

class MDIPropSheetTest : public EditorBasesTest {
protected:
    template <class Sheet = TStandInSheet>
    Sheet& OpenSheet(DWORD flags, int startPage = 0, int positionId = 0)
    {
        auto* sheet = new Sheet(&Client(), startPage, positionId, flags);
        EXPECT_TRUE(sheet->Create());
        driver.ProcessEvents();
        return *sheet;
    }

    static TRect Place(TWindow& sheet, int id) { return sheet.ChildWithId(id)->GetWindowRect(); }
    static HWND Focused() { return GetFocus(); }
};

TEST_F(MDIPropSheetTest, OkClosesOnlyWhenEveryPageAccepts)
{
    Start();
    TStandInSheet& sheet = OpenSheet(PSH_HASHELP | PSH_NOAPPLYNOW);
    ASSERT_NE(sheet.GetHost(), nullptr);
    EXPECT_EQ(sheet.GetHost()->GetWindowText(), "Text Element");
    sheet.SelectPage(1);
    sheet.pages[1]->applyResult = PSNRET_INVALID_NOCHANGEPAGE;
    sheet.SelectPage(0);
    driver.Click(sheet, IDOK);
    EXPECT_TRUE(sheet.IsWindow()) << "a page refused its data";
    EXPECT_EQ(sheet.GetCurrentIndex(), 0);

    sheet.pages[1]->applyResult = PSNRET_NOERROR;
    TInnerMDIChild* host = sheet.GetHost();
    driver.Click(sheet, IDOK);
    driver.ProcessEvents();
    EXPECT_FALSE(sheet.IsWindow());
    EXPECT_EQ(sheet.endedWith, IDOK);
    EXPECT_FALSE(host->IsWindow());
}

TEST_F(MDIPropSheetTest, NarrowedSheetCentresItsButtonsUnderTheTabControl)
{
    Start();
    struct Case {
        DWORD flags;
        std::vector<int> leftToRight;
    };
    const Case cases[] = {
        {PSH_HASHELP | PSH_NOAPPLYNOW, {IDOK, IDCANCEL, IDHELP}},
        {0, {IDOK, IDCANCEL, IDC_PROPSHEET_APPLYNOW}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("flags " + std::to_string(c.flags));
        TStandInSheet& sheet = OpenSheet(c.flags);
        const TRect tabs = sheet.GetTabControl()->GetWindowRect();
        const TRect page = sheet.GetCurrentPage()->GetWindowRect();
        const TRect outer = sheet.GetWindowRect();
        const int a = tabs.left - outer.left;
        const int b = page.left - outer.left;
        EXPECT_EQ(outer.Width(), page.Width() + 2 * (a + b + GetSystemMetrics(SM_CXBORDER)));
        EXPECT_EQ(tabs.right, outer.right - a);

        const int third = tabs.Width() / 3;
        const int gap = third / 8;
        const TRect first = Place(sheet, c.leftToRight[0]);
        EXPECT_LE(first.Width(), third - gap);
        for (std::size_t i = 1; i < c.leftToRight.size(); ++i) {
            const TRect left = Place(sheet, c.leftToRight[i - 1]);
            const TRect right = Place(sheet, c.leftToRight[i]);
            EXPECT_EQ(right.Width(), first.Width());
            EXPECT_EQ(right.top, first.top);
            EXPECT_EQ(right.left - left.right, gap) << "button " << c.leftToRight[i];
        }
        const int total = 3 * first.Width() + 2 * gap;
        EXPECT_EQ(Place(sheet, c.leftToRight.back()).right, tabs.right - (tabs.Width() - total) / 2);
        EXPECT_EQ(sheet.ChildWithId(c.flags & PSH_HASHELP ? IDC_PROPSHEET_APPLYNOW : IDHELP), nullptr);
        EXPECT_FALSE(sheet.GetExStyle() & WS_EX_CONTEXTHELP);
        if (c.flags & PSH_HASHELP) {
            EXPECT_TRUE(Screenshot(Frame(), "mdi_prop_sheet_fitted"));
        }
        sheet.SendMessage(WM_COMMAND, IDCANCEL);
    }
}

TEST_F(MDIPropSheetTest, TabEnterAndEscapeOnTheSheetsOwnControls)
{
    Start();
    TStandInSheet& sheet = OpenSheet(PSH_HASHELP);
    TWindow& tabs = *sheet.GetTabControl();
    struct Step {
        int from;
        HWND expected;
    };
    // Apply is grey until a page changes, so Tab from Cancel skips it.
    const Step steps[] = {
        {IDOK, sheet.GetDlgItem(IDCANCEL)},
        {IDCANCEL, sheet.GetDlgItem(IDHELP)},
        {IDHELP, tabs.GetHandle()},
    };
    for (const Step& step : steps) {
        driver.Focus(sheet, step.from);
        driver.PressKey(VK_TAB);
        EXPECT_EQ(Focused(), step.expected) << "Tab from " << step.from;
    }
    sheet.EnableApply(true);
    driver.Focus(sheet, IDCANCEL);
    driver.PressKey(VK_TAB);
    EXPECT_EQ(Focused(), sheet.GetDlgItem(IDC_PROPSHEET_APPLYNOW));

    // From the tab control: the first time onto the page's first control, then the page.
    TWindow& page = *sheet.GetCurrentPage();
    tabs.SetFocus();
    driver.PressKey(VK_TAB);
    EXPECT_EQ(Focused(), page.GetDlgItem(IDC_STANDIN_NAME));
    tabs.SetFocus();
    driver.PressKey(VK_TAB);
    EXPECT_TRUE(Focused() == page.GetHandle() || GetWindowPtr(Focused())->IsChildOf(&page));
    EXPECT_NE(Focused(), page.GetDlgItem(IDC_STANDIN_NAME));

    // Escape on a button is Cancel; Enter on the tab control is OK.
    driver.Focus(sheet, IDOK);
    driver.PressKey(VK_ESCAPE);
    driver.ProcessEvents();
    EXPECT_FALSE(sheet.IsWindow());
    EXPECT_EQ(sheet.endedWith, IDCANCEL);

    TStandInSheet& other = OpenSheet(PSH_HASHELP);
    other.GetTabControl()->SetFocus();
    driver.PressKey(VK_RETURN);
    driver.ProcessEvents();
    EXPECT_FALSE(other.IsWindow());
    EXPECT_EQ(other.endedWith, IDOK);
}

TEST_F(MDIPropSheetTest, OpensOnItsStartPage)
{
    Start();
    TStandInSheet& sheet = OpenSheet(PSH_NOAPPLYNOW, 2);
    EXPECT_EQ(sheet.GetCurrentIndex(), 2);
    EXPECT_EQ(sheet.GetCurrentPage(), sheet.pages[2]);
}

TEST_F(MDIPropSheetTest, ElementSheetsKeepThePageEditorDisabledUntilBothClose)
{
    TWindow* pages = StartWithPageEditor();
    ASSERT_NE(pages, nullptr);
    ASSERT_TRUE(pages->IsWindowEnabled());

    auto& first = OpenSheet<TStandInElementSheet>(PSH_NOAPPLYNOW);
    auto& second = OpenSheet<TStandInElementSheet>(PSH_NOAPPLYNOW);
    EXPECT_FALSE(pages->IsWindowEnabled());
    // WM_CLOSE is the sheet's Cancel.
    first.SendMessage(WM_CLOSE);
    driver.ProcessEvents();
    EXPECT_FALSE(first.IsWindow());
    EXPECT_EQ(first.endedWith, IDCANCEL);
    EXPECT_FALSE(pages->IsWindowEnabled()) << "the other sheet still edits an element";
    second.SendMessage(WM_CLOSE);
    driver.ProcessEvents();
    EXPECT_TRUE(pages->IsWindowEnabled());
    EXPECT_EQ(Client().GetActiveMDIChild(), pages);
}

}  // namespace
