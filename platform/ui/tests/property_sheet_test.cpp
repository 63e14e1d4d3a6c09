// Property sheets: pages under tabs, the page notifications, OK, Cancel,
// Apply and Help, pages that refuse, pages added and removed while the sheet
// runs.

#include "platform/ui/controls/edit.h"
#include "platform/ui/mdi_child.h"
#include "platform/ui/mdi_frame.h"
#include "platform/ui/property_page.h"
#include "platform/ui/property_sheet.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window_api.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum { IDD_GENERAL = 7101, IDD_LIMITS = 7102, IDD_ALARMS = 7103, IDC_VALUE = 101 };

void RegisterPages()
{
    const DWORD page = WS_CHILD | DS_CONTROL;
    RegisterDialogTemplate(IDD_GENERAL, {"General", 0, 0, 180, 90, page, "MS Sans Serif", 8,
                                         {LText("&Name", -1, 7, 9, 40, 8),
                                          EditText(IDC_VALUE, 50, 7, 100, 12, WS_TABSTOP | WS_BORDER)}});
    RegisterDialogTemplate(IDD_LIMITS, {"Limits", 0, 0, 200, 110, page, "MS Sans Serif", 8,
                                        {EditText(IDC_VALUE, 50, 7, 60, 12, WS_TABSTOP | WS_BORDER)}});
    RegisterDialogTemplate(IDD_ALARMS, {"Alarms", 0, 0, 150, 60, page, "MS Sans Serif", 8,
                                        {EditText(IDC_VALUE, 50, 7, 60, 12, WS_TABSTOP | WS_BORDER)}});
}

// What every page heard, in order: "General:apply" and so on.
std::vector<std::string>& Log()
{
    static std::vector<std::string> log;
    return log;
}

class TTestPage : public TPropertyPage {
public:
    TTestPage(TPropertySheet* sheet, TResId id, const char* name) : TPropertyPage(sheet, id), name_(name) {}

    int applyResult = PSNRET_NOERROR;
    bool refuseToLeave = false;
    bool refuseCancel = false;

    int SetActive(TNotify&) override { return Note("setactive"), 0; }
    bool KillActive(TNotify&) override { return Note("killactive"), refuseToLeave; }
    int Apply(TNotify& notify) override { return Note(notify.lParam ? "apply+close" : "apply"), applyResult; }
    void Reset(TNotify&) override { Note("reset"); }
    void Help(TNotify&) override { Note("help"); }
    bool QueryCancel(TNotify&) override { return Note("querycancel"), refuseCancel; }

private:
    void Note(const char* what) { Log().push_back(name_ + ":" + what); }
    std::string name_;
};

class PropertySheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterPages();
        Log().clear();
    }

    void ClickTab(TPropertySheet& sheet, int index)
    {
        const TRect r = sheet.GetTabControl()->GetItemRect(index);
        driver.ClickAt(*sheet.GetTabControl(), {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }

    TTestDriver driver;
};

TEST_F(PropertySheetTest, OkAppliesThePagesThatWereShownAndCloses)
{
    TPropertySheet sheet(nullptr, "Tag Editor");
    auto* general = new TTestPage(&sheet, IDD_GENERAL, "General");
    new TTestPage(&sheet, IDD_LIMITS, "Limits");
    new TTestPage(&sheet, IDD_ALARMS, "Alarms");
    driver.OnNextDialog([&](TDialog& d) {
        EXPECT_EQ(sheet.GetTabControl()->GetCount(), 3);
        EXPECT_EQ(sheet.GetTabControl()->GetItemText(1), "Limits");
        driver.Type(*general, IDC_VALUE, "PUMP_1");
        ClickTab(sheet, 1);
        EXPECT_EQ(sheet.GetCurrentIndex(), 1);
        driver.Click(d, IDOK);
    });
    EXPECT_EQ(sheet.Execute(), IDOK);
    // The third page was never shown: it has no window and hears nothing.
    EXPECT_EQ(Log(), (std::vector<std::string>{"General:setactive", "General:killactive", "Limits:setactive",
                                               "Limits:killactive", "General:apply+close", "Limits:apply+close"}));
}

TEST_F(PropertySheetTest, ASheetRunTwiceHasItsControlsOnce)
{
    TPropertySheet sheet(nullptr, "System Settings");
    new TTestPage(&sheet, IDD_GENERAL, "General");
    new TTestPage(&sheet, IDD_LIMITS, "Limits");
    std::vector<std::size_t> children;
    for (int run = 0; run < 2; ++run) {
        driver.OnNextDialog([&](TDialog& d) {
            children.push_back(sheet.GetChildren().size());
            EXPECT_EQ(sheet.GetTabControl()->GetCount(), 2) << "run " << run;
            EXPECT_EQ(sheet.GetCurrentIndex(), 0) << "run " << run;
            ClickTab(sheet, 1);
            driver.Click(d, IDCANCEL);
        });
        EXPECT_EQ(sheet.Execute(), IDCANCEL);
    }
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[1], children[0]);
}

TEST_F(PropertySheetTest, PageThatRefusesApplyKeepsTheSheetOpen)
{
    struct Case {
        int result;
        int shownAfterwards;  // the page the sheet shows while it stays open
    };
    // The first page's data are wrong while the second page is shown.
    for (const Case& c : {Case{PSNRET_INVALID, 0}, Case{PSNRET_INVALID_NOCHANGEPAGE, 1}}) {
        SCOPED_TRACE(c.result);
        Log().clear();
        TPropertySheet sheet(nullptr, "System Settings");
        auto* general = new TTestPage(&sheet, IDD_GENERAL, "General");
        new TTestPage(&sheet, IDD_LIMITS, "Limits");
        general->applyResult = c.result;
        driver.OnNextDialog([&](TDialog& d) {
            ClickTab(sheet, 1);
            driver.Click(d, IDOK);
            EXPECT_TRUE(sheet.IsExecuting()) << "a page refused: the sheet stays open";
            EXPECT_EQ(sheet.GetCurrentIndex(), c.shownAfterwards);
            EXPECT_EQ(sheet.GetTabControl()->GetSel(), c.shownAfterwards);
            EXPECT_EQ(sheet.GetPage(c.shownAfterwards)->IsWindowVisible(), true);
            general->applyResult = PSNRET_NOERROR;
            driver.Click(d, IDOK);
        });
        EXPECT_EQ(sheet.Execute(), IDOK);
        EXPECT_EQ(Log().back(), "Limits:apply+close");
    }
}

TEST_F(PropertySheetTest, PageThatRefusesToBeLeftKeepsItsTab)
{
    TPropertySheet sheet(nullptr, "Tag Editor");
    auto* general = new TTestPage(&sheet, IDD_GENERAL, "General");
    new TTestPage(&sheet, IDD_LIMITS, "Limits");
    general->refuseToLeave = true;
    driver.OnNextDialog([&](TDialog& d) {
        ClickTab(sheet, 1);
        EXPECT_EQ(sheet.GetCurrentIndex(), 0);
        EXPECT_EQ(sheet.GetTabControl()->GetSel(), 0);
        EXPECT_FALSE(sheet.GetPage(1)->IsWindow());
        EXPECT_FALSE(sheet.SelectPage(1));
        driver.Click(d, IDOK);
        EXPECT_TRUE(sheet.IsExecuting()) << "OK leaves the page too";
        general->refuseToLeave = false;
        EXPECT_TRUE(sheet.SendMessage(PSM_SETCURSEL, 1));
        EXPECT_EQ(sheet.GetTabControl()->GetSel(), 1);
        driver.Click(d, IDCANCEL);
    });
    EXPECT_EQ(sheet.Execute(), IDCANCEL);
}

TEST_F(PropertySheetTest, ApplyHelpAndCancel)
{
    TPropertySheet sheet(nullptr, "Clock Communications", 1, false, PSH_HASHELP);
    new TTestPage(&sheet, IDD_GENERAL, "Read");
    auto* write = new TTestPage(&sheet, IDD_LIMITS, "Write");
    driver.OnNextDialog([&](TDialog& d) {
        EXPECT_EQ(sheet.GetCurrentIndex(), 1) << "opens on its start page";
        ASSERT_NE(d.ChildWithId(IDC_PROPSHEET_APPLYNOW), nullptr);
        EXPECT_FALSE(d.ChildWithId(IDC_PROPSHEET_APPLYNOW)->IsWindowEnabled()) << "nothing changed yet";
        sheet.PageChanged(*write);
        EXPECT_TRUE(d.ChildWithId(IDC_PROPSHEET_APPLYNOW)->IsWindowEnabled());
        driver.Click(d, IDC_PROPSHEET_APPLYNOW);
        EXPECT_FALSE(d.ChildWithId(IDC_PROPSHEET_APPLYNOW)->IsWindowEnabled());
        EXPECT_TRUE(sheet.IsExecuting());
        driver.Click(d, IDHELP);
        write->refuseCancel = true;
        driver.PressKey(VK_ESCAPE);
        EXPECT_TRUE(sheet.IsExecuting()) << "the page kept the sheet open";
        write->refuseCancel = false;
        driver.Click(d, IDCANCEL);
    });
    EXPECT_EQ(sheet.Execute(), IDCANCEL);
    EXPECT_EQ(Log(), (std::vector<std::string>{"Write:setactive", "Write:killactive", "Write:apply", "Write:help",
                                               "Write:querycancel", "Write:querycancel", "Write:reset"}));
}

TEST_F(PropertySheetTest, PagesAreAddedAndRemovedWhileTheSheetRuns)
{
    TWindow owner(nullptr, "owner");
    driver.Show(owner);
    auto* sheet = new TPropertySheet(&owner, "Protocol and Port Settings");
    new TTestPage(sheet, IDD_GENERAL, "General");
    ASSERT_TRUE(sheet->Create());
    driver.ProcessEvents();
    EXPECT_TRUE(sheet->IsWindowVisible()) << "a modeless sheet shows at once";
    const int widthBefore = sheet->GetWindowRect().Width();

    auto* limits = new TTestPage(sheet, IDD_LIMITS, "Limits");
    driver.ProcessEvents();
    EXPECT_EQ(sheet->GetTabControl()->GetCount(), 2);
    EXPECT_GT(sheet->GetWindowRect().Width(), widthBefore) << "the sheet grows for a wider page";
    ClickTab(*sheet, 1);
    EXPECT_EQ(sheet->GetCurrentPage(), limits);
    driver.Type(*limits, IDC_VALUE, "100");
    EXPECT_EQ(limits->GetDlgItemText(IDC_VALUE), "100");

    // Removing the page shown brings its neighbour up.
    sheet->RemovePage(*limits);
    driver.ProcessEvents();
    EXPECT_EQ(sheet->GetPageCount(), 1);
    EXPECT_EQ(sheet->GetTabControl()->GetCount(), 1);
    EXPECT_EQ(sheet->GetCurrentIndex(), 0);
    EXPECT_TRUE(sheet->GetPage(0)->IsWindowVisible());

    driver.Click(*sheet, IDOK);
    EXPECT_FALSE(sheet->IsWindow()) << "OK closes a modeless sheet too";
    EXPECT_EQ(Log().back(), "General:apply+close");
    delete sheet;
}

TEST_F(PropertySheetTest, SheetOnAnMdiClientIsCarriedByAChild)
{
    TMDIFrame frame("Plintorvaler 5.20", TResId());
    driver.Show(frame);
    auto* sheet = new TPropertySheet(frame.GetMDIClient(), "System Settings");
    new TTestPage(sheet, IDD_GENERAL, "Settings");
    ASSERT_TRUE(sheet->Create());
    EXPECT_TRUE(sheet->GetStyle() & WS_CHILD);
    auto* host = new TMDIChild(*frame.GetMDIClient(), "System Settings", sheet, true);
    host->Create();
    driver.ProcessEvents();
    EXPECT_TRUE(sheet->IsWindowVisible());
    EXPECT_EQ(host->GetClientRect().Width(), sheet->GetWindowRect().Width());
    EXPECT_EQ(host->GetClientRect().Height(), sheet->GetWindowRect().Height());
    driver.Type(*sheet->GetPage(0), IDC_VALUE, "x");
    driver.Click(*sheet, IDOK);
    EXPECT_FALSE(sheet->IsWindow());
    EXPECT_EQ(Log().back(), "Settings:apply+close");
}

TEST_F(PropertySheetTest, SheetWithNarrowPagesIsAsWideAsItsButtonRow)
{
    TPropertySheet sheet(nullptr, "Alarms", 0, false, PSH_HASHELP);
    new TTestPage(&sheet, IDD_ALARMS, "Alarms");
    driver.OnNextDialog([&](TDialog& d) {
        // Four buttons of 50 dialog units with three gaps of 4 do not fit
        // under a page of 150: the tab control takes the row's width.
        const TRect tabs = sheet.GetTabControl()->GetWindowRect();
        const TRect ok = d.ChildWithId(IDOK)->GetWindowRect();
        const TRect help = d.ChildWithId(IDHELP)->GetWindowRect();
        EXPECT_EQ(ok.left, tabs.left);
        EXPECT_EQ(help.right, tabs.right);
        EXPECT_GT(tabs.Width(), sheet.GetPage(0)->GetWindowRect().Width());
        driver.Click(d, IDCANCEL);
    });
    EXPECT_EQ(sheet.Execute(), IDCANCEL);
}

}  // namespace
