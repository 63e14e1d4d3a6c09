// The page browser and the template picker driven as the engineer uses them,
// in the program's main frame, beside a page editor stand-in that shows pages
// in a real editing model: the rows and their sizes, following the editor's
// page changes, navigation, templates and their size limit, and whole pages
// cut, copied and pasted through the desktop clipboard.

#include "plintvlr/pageedit/page_browser.h"

#include "plintvlr/pageedit/page_transfer.h"
#include "plintvlr/pageedit/tests/page_test_util.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/mdi_hosts.h"
#include "plintvlr/shell/tests/shell_fixture.h"
#include "platform/ui/command_enabler.h"
#include "platform/ui/controls/list_box.h"
#include "platform/ui/desktop_clipboard.h"
#include "platform/ui/menu.h"
#include "platform/ui/messages.h"
#include "platform/ui/window_api.h"

namespace {

// The page editor's window: its Delete Record deletes the shown page as the
// editor does and tells the browser.
class EditorWindow : public TWindow {
public:
    EditorWindow() : TWindow(nullptr, "Graphic Page Editor") { Attr.Style &= ~WS_VISIBLE; }

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    void CmDeleteRecord()
    {
        const int page = _QSglobals.GetCurrentPage();
        deleted.push_back(page);
        _QSglobals.GetDatabase().GetPageSummary()->Remove(page);
        _QSglobals.GetDatabase().DeletePage(static_cast<std::uint32_t>(page));
        NotifyPageBrowser(page, kPageDeleted);
    }

    std::vector<int> deleted;
};

const TResponseTable EditorWindow::Responses{&TWindow::Responses, {
    OnCommand<&EditorWindow::CmDeleteRecord>(CM_DELETEPAGERECORD),
}};

// The page editor as the browser sees it, showing pages in a model.
class EditorStandIn : public PageBrowserEditor {
public:
    EditorStandIn() { window.Create(); }

    TWindow* GetEditorWindow() const override { return const_cast<EditorWindow*>(&window); }
    void GoToPage(int page) override
    {
        asked.push_back(page);
        if (keepPage) {
            NotifyPageBrowser(_QSglobals.GetCurrentPage(), kPageShown);
            return;
        }
        Show(page);
    }
    void SetTemplatePage(int page) override { model.SetTemplatePage(page); }
    void LoadElementsFromRecord(const std::vector<std::uint8_t>& record) override { model.LoadFromRecord(record); }
    void MarkModified() override { model.SetModified(); }
    void UpdateAllFunctionKeyLegends() override { ++legendReloads; }

    void Show(int page)
    {
        _QSglobals.SetCurrentPage(page);
        model.LoadPage(SizeRectManager::kPageMode, static_cast<std::uint32_t>(page));
        NotifyPageBrowser(page, kPageOpenedOrSaved);
    }

    EditorWindow window;
    SizeRectManager model{nullptr, true};
    std::vector<int> asked;
    bool keepPage = false;
    int legendReloads = 0;
};

// The project tests' way of spoiling a stored record.
class DamagedRecords : public ProjectFixture {
public:
    using ProjectFixture::DamageRecord;
};

// Page records on a panel of type 9.
std::string PageRecord(int page, std::initializer_list<std::string> elements = {})
{
    char key[8];
    std::snprintf(key, sizeof key, "%02X %02X", page & 0xFF, page >> 8);
    std::string record = key;
    for (const std::string& element : elements)
        record = Join({record, element});
    return Join({record, "00"});
}

// A page record of `lines` lines and `frames` raised frames: 12 and 17 bytes each.
std::string LongPageRecord(int page, int lines, int frames)
{
    std::string record = PageRecord(page);
    record.resize(record.size() - 3);
    for (int i = 0; i < lines; ++i)
        record = Join({record, records::kLine});
    for (int i = 0; i < frames; ++i)
        record = Join({record, records::kFrame});
    return Join({record, "00"});
}

class PageBrowserTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        RegisterPageBrowserCommands();
        Start();
        RegisterPageEditCoreServices();
        RegisterGroupMemberReader();
    }
    void TearDown() override
    {
        ClosePageBrowser();
        CloseTemplatePicker();
        driver.ProcessEvents();
        SetPageBrowserEditor(nullptr);
        editor_.reset();
        SetActivePageEditor(nullptr);
        canvas_.reset();
        ShellTest::TearDown();
    }

    // A project of the panel type with the pages stored, opened afresh so
    // that its page-size summary knows them; `shownType` is the type the
    // project is then given (a type no project opens as, set as a project
    // converted by another tool would have it).
    void MakeProject(int panelType, std::initializer_list<std::string> pages, int shownType = 0)
    {
        {
            adatabase& db = _QSglobals.NewDatabase();
            db.SetPanelType(panelType);
            ASSERT_EQ(db.Create("BROWSE"), 1);
            ASSERT_EQ(db.OpenProject("BROWSE"), 1);
            for (const std::string& hex : pages) {
                const Bytes record = Parse(hex);
                ASSERT_EQ(db.PutPage(record[0] | record[1] << 8, record.data(),
                                     static_cast<std::uint16_t>(record.size())), 0);
            }
            db.Close();
        }
        Reopen(shownType);
    }
    void Reopen(int shownType = 0)
    {
        if (shownType != 0) {
            auto make = GetProjectHooks().makePageSummary;
            GetProjectHooks().makePageSummary = [make, shownType](adatabase& db) {
                db.SetPanelType(shownType);
                return make(db);
            };
        }
        ASSERT_EQ(_QSglobals.NewDatabase().OpenProject("BROWSE"), 1);
        canvas_ = std::make_unique<CanvasFake>(Db().GetPanelType());
        SetActivePageEditor(canvas_.get());
    }

    // The page editor, showing the page.
    EditorStandIn& Editor(int page)
    {
        editor_ = std::make_unique<EditorStandIn>();
        SetPageBrowserEditor(editor_.get());
        editor_->Show(page);
        return *editor_;
    }

    adatabase& Db() { return _QSglobals.GetDatabase(); }
    tpsummary& Summary() { return *Db().GetPageSummary(); }

    tppickDlg& OpenBrowser(int currentPage)
    {
        _QSglobals.SetCurrentPage(currentPage);
        tppickDlg* dialog = OpenPageBrowser(&Client(), currentPage);
        EXPECT_NE(dialog, nullptr);
        driver.ProcessEvents();
        return *dialog;
    }
    tppickDlg& OpenPicker(int templatePage)
    {
        tppickDlg* dialog = OpenTemplatePicker(&Client(), templatePage);
        EXPECT_NE(dialog, nullptr);
        driver.ProcessEvents();
        return *dialog;
    }

    static std::vector<std::string> Rows(tppickDlg& dialog)
    {
        std::vector<std::string> rows;
        for (int i = 0; i < dialog.GetList()->GetCount(); ++i)
            rows.push_back(dialog.GetList()->GetString(i));
        return rows;
    }
    static std::string Selected(tppickDlg& dialog)
    {
        const int row = dialog.GetList()->GetSelIndex();
        return row < 0 ? "(none)" : dialog.GetList()->GetString(row);
    }
    void ClickRow(tppickDlg& dialog, const std::string& row)
    {
        const int index = dialog.GetList()->FindExactString(row.c_str(), -1);
        ASSERT_GE(index, 0) << row;
        driver.ClickListItem(dialog, IDC_BROWSER_LIST, index);
        driver.ProcessEvents();
    }
    static bool Enabled(tppickDlg& dialog, UINT command)
    {
        TCommandEnabler enabler(command);
        dialog.EvCommandEnable(enabler);
        return enabler.GetHandled() && enabler.IsEnabled();
    }
    void Command(tppickDlg& dialog, UINT command)
    {
        dialog.SendMessage(WM_COMMAND, command);
        driver.ProcessEvents();
    }
    std::string StoredPage(int page)
    {
        Bytes buffer(20000);
        std::uint16_t n = static_cast<std::uint16_t>(buffer.size());
        if (Db().GetPage(static_cast<std::uint32_t>(page), buffer.data(), n) != 0)
            return "(none)";
        buffer.resize(n);
        return Hex(buffer);
    }
    static void PutOnClipboard(std::initializer_list<std::pair<UINT, std::string>> formats)
    {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        for (const auto& [format, hex] : formats)
            SetClipboardData(format, Parse(hex));
        CloseClipboard();
    }
    static std::string ClipboardPage()
    {
        if (!OpenClipboard(nullptr))
            return "(busy)";
        const std::optional<ClipboardData> block = GetClipboardData(kPageClipboardFormat);
        CloseClipboard();
        return block ? Hex(*block) : "(none)";
    }
    // The message boxes shown since the last call, as "caption: text".
    std::vector<std::string> Messages()
    {
        std::vector<std::string> shown;
        for (std::size_t i = seenMessages_; i < driver.MessageBoxes().size(); ++i)
            shown.push_back(driver.MessageBoxes()[i].caption + ": " + driver.MessageBoxes()[i].text);
        seenMessages_ = driver.MessageBoxes().size();
        return shown;
    }

    using Lines = std::vector<std::string>;

private:
    std::unique_ptr<CanvasFake> canvas_;
    std::unique_ptr<EditorStandIn> editor_;
    std::size_t seenMessages_ = 0;
};

const std::string kPage2 = PageRecord(2, {records::kLine});
const std::string kPage5 = PageRecord(5, {records::kLine2, records::kFrame});

TEST_F(PageBrowserTest, ListsStoredPagesOrEveryPageAndOneWindowOfEachMode)
{
    MakeProject(9, {kPage2, kPage5, PageRecord(9), PageRecord(7, {records::kLine})});
    DamagedRecords::DamageRecord(Db().GetProjectFolder() + "/" + TableFileName(kTablePages), 7, 4);
    Reopen();
    ASSERT_TRUE(Summary().IsDamaged(7));

    tppickDlg& browser = OpenBrowser(5);
    EXPECT_EQ(browser.GetHost()->GetWindowText(), "Graphics Browser");
    EXPECT_EQ(browser.GetDlgItemText(IDC_BROWSER_TOGGLE), "E&xpand");
    EXPECT_EQ(browser.GetDlgItemText(IDCANCEL), "&Close");
    EXPECT_EQ(browser.GetDlgItemText(IDHELP), "&Help");
    // The damaged page stays listed with its stored length, so that it is
    // never taken for a free page.
    EXPECT_EQ(Rows(browser), (Lines{"2\t15", "5\t32", "7\t15", "9\t3"}));
    EXPECT_EQ(Selected(browser), "5\t32");
    EXPECT_TRUE(Screenshot(Frame(), "page_browser"));

    driver.Click(browser, IDC_BROWSER_TOGGLE);
    EXPECT_EQ(browser.GetDlgItemText(IDC_BROWSER_TOGGLE), "C&ollapse");
    const Lines expanded = Rows(browser);
    ASSERT_EQ(expanded.size(), 100u);
    EXPECT_EQ(expanded[0], "1\t0");
    EXPECT_EQ(expanded[4], "5\t32");
    EXPECT_EQ(expanded[99], "100\t0");
    EXPECT_EQ(Selected(browser), "5\t32");
    EXPECT_EQ(browser.GetSelectedPage(), 5);
    EXPECT_TRUE(Screenshot(Frame(), "page_browser_expanded"));
    driver.Click(browser, IDC_BROWSER_TOGGLE);
    EXPECT_EQ(Rows(browser).size(), 4u);

    // One window per mode: Browser again brings the open one up; the picker is a window of its own.
    EXPECT_EQ(OpenPageBrowser(&Client(), 2), &browser);
    EXPECT_EQ(GetOpenPageBrowser(), &browser);
    tppickDlg& picker = OpenPicker(0);
    EXPECT_NE(&picker, &browser);
    EXPECT_EQ(GetOpenTemplatePicker(), &picker);
    ClosePageBrowser();
    driver.ProcessEvents();
    EXPECT_FALSE(browser.IsWindow());
    EXPECT_EQ(GetOpenPageBrowser(), nullptr);
    EXPECT_EQ(GetOpenTemplatePicker(), &picker);
    driver.Click(picker, IDCANCEL);
    EXPECT_EQ(GetOpenTemplatePicker(), nullptr);
    EXPECT_NE(&OpenBrowser(2), &browser) << "a closed browser is not brought back";
}

TEST_F(PageBrowserTest, FindsFourDigitPagesOnAThousandPagePanel)
{
    MakeProject(14, {PageRecord(10), PageRecord(100), PageRecord(1000), PageRecord(999)}, 13);
    tppickDlg& browser = OpenBrowser(1000);
    EXPECT_EQ(Rows(browser), (Lines{"10\t3", "100\t3", "999\t3", "1000\t3"}));
    EXPECT_EQ(Selected(browser), "1000\t3");

    struct Case {
        int page;
        const char* selected;
    } cases[] = {{100, "100\t3"}, {10, "10\t3"}, {1000, "1000\t3"}, {1, "(none)"}};
    for (const Case& c : cases) {
        browser.SendMessage(WM_PAGECHANGED, static_cast<WPARAM>(c.page), kPageShown);
        EXPECT_EQ(Selected(browser), c.selected) << c.page;
        _QSglobals.SetCurrentPage(c.page);
        Command(browser, CM_SELECTCURRENTPAGE);
        EXPECT_EQ(Selected(browser), c.selected) << c.page;
    }

    driver.Click(browser, IDC_BROWSER_TOGGLE);
    EXPECT_EQ(Rows(browser).size(), 1000u);
    for (const Case& c : cases) {
        _QSglobals.SetCurrentPage(c.page);
        Command(browser, CM_SELECTCURRENTPAGE);
        EXPECT_EQ(browser.GetSelectedPage(), c.page);
    }
    EXPECT_EQ(Selected(browser), "1\t0");
}

TEST_F(PageBrowserTest, FollowsTheEditorsPageChanges)
{
    MakeProject(9, {kPage2, kPage5, PageRecord(9)});
    tppickDlg& browser = OpenBrowser(5);

    // The editor saves a new page 7: its row goes between 5 and 9.
    const Bytes page7 = Parse(PageRecord(7, {records::kLine}));
    ASSERT_EQ(Db().PutPage(7, page7.data(), static_cast<std::uint16_t>(page7.size())), 0);
    Summary().SetSize(7, static_cast<std::uint16_t>(page7.size()));
    Summary().IncrementCount();
    NotifyPageBrowser(7, kPageOpenedOrSaved);
    EXPECT_EQ(Rows(browser), (Lines{"2\t15", "5\t32", "7\t15", "9\t3"}));
    EXPECT_EQ(Selected(browser), "7\t15");

    // A saved page gets its new size; a page shown only moves the selection.
    Summary().SetSize(5, 40);
    NotifyPageBrowser(5, kPageOpenedOrSaved);
    EXPECT_EQ(Rows(browser)[1], "5\t40");
    EXPECT_EQ(Selected(browser), "5\t40");
    NotifyPageBrowser(2, kPageShown);
    EXPECT_EQ(Selected(browser), "2\t15");
    NotifyPageBrowser(4, kPageOpenedOrSaved);  // a new page not saved: no row
    EXPECT_EQ(Rows(browser).size(), 4u);
    EXPECT_EQ(Selected(browser), "(none)");

    // Deleting page 7 takes its row away when collapsed, and keeps it with
    // size 0 when expanded.
    Summary().Remove(7);
    NotifyPageBrowser(7, kPageDeleted);
    EXPECT_EQ(Rows(browser), (Lines{"2\t15", "5\t40", "9\t3"}));
    driver.Click(browser, IDC_BROWSER_TOGGLE);
    Summary().Remove(9);
    NotifyPageBrowser(9, kPageDeleted);
    EXPECT_EQ(Rows(browser)[8], "9\t0");
    EXPECT_EQ(Selected(browser), "9\t0");
    EXPECT_EQ(Rows(browser).size(), 100u);
}

TEST_F(PageBrowserTest, ChoosingARowShowsThatPageInTheEditor)
{
    MakeProject(9, {kPage2, kPage5, PageRecord(9)});
    EditorStandIn& editor = Editor(5);
    tppickDlg& browser = OpenBrowser(5);

    ClickRow(browser, "2\t15");
    EXPECT_EQ(editor.asked, (std::vector<int>{2}));
    EXPECT_EQ(_QSglobals.GetCurrentPage(), 2);
    EXPECT_EQ(editor.model.GetElements().Count(), 1);

    // The engineer keeps a changed page: the selection goes back to it.
    editor.keepPage = true;
    ClickRow(browser, "9\t3");
    EXPECT_EQ(editor.asked, (std::vector<int>{2, 9}));
    EXPECT_EQ(Selected(browser), "2\t15");

    // While an element sheet holds the editor, a row only gets selected.
    editor.keepPage = false;
    editor.window.EnableWindow(false);
    ClickRow(browser, "5\t32");
    EXPECT_EQ(editor.asked.size(), 2u);
    EXPECT_EQ(_QSglobals.GetCurrentPage(), 2);
    editor.window.EnableWindow(true);

    // The picker never navigates.
    tppickDlg& picker = OpenPicker(0);
    ClickRow(picker, "9\t3");
    EXPECT_EQ(editor.asked.size(), 2u);
}

TEST_F(PageBrowserTest, TemplatePickerTakesPagesUpToTheTemplateLimit)
{
    // Type 9 has no large memory: templates of up to 1000 bytes.
    const std::string page3 = LongPageRecord(3, 76, 5);
    const std::string page4 = LongPageRecord(4, 69, 10);
    MakeProject(9, {kPage2, page3, page4});
    ASSERT_EQ(Summary().GetSize(3), 1000);
    ASSERT_EQ(Summary().GetSize(4), 1001);
    EditorStandIn& editor = Editor(2);
    ASSERT_FALSE(editor.model.IsModified());

    tppickDlg& picker = OpenPicker(0);
    EXPECT_EQ(picker.GetHost()->GetWindowText(), "Add a Template Page");
    EXPECT_EQ(picker.GetDlgItemText(IDC_BROWSER_TOGGLE), "&OK");
    EXPECT_EQ(picker.GetDlgItemText(IDCANCEL), "&Cancel");
    EXPECT_EQ(picker.GetDefaultId(), IDC_BROWSER_TOGGLE);
    EXPECT_EQ(Selected(picker), "(none)");
    EXPECT_TRUE(Screenshot(Frame(), "template_picker"));
    EXPECT_FALSE(Enabled(picker, CM_COPY));
    EXPECT_FALSE(Enabled(picker, CM_PASTE));

    ClickRow(picker, "4\t1001");
    driver.AnswerMessageBox(IDOK);
    driver.Click(picker, IDC_BROWSER_TOGGLE);
    EXPECT_EQ(Messages(), (Lines{"Page is too large: Cannot add the selected page as a template\nbecause its size "
                                 "(1001) exceeds maximum template size (1000)."}));
    EXPECT_EQ(driver.MessageBoxes().back().flags & MB_ICONSTOP, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_EQ(editor.model.GetTemplatePage(), 0);
    EXPECT_FALSE(editor.model.IsModified());
    EXPECT_FALSE(picker.IsWindow()) << "the picker closes after a refusal too";

    tppickDlg& second = OpenPicker(0);
    ClickRow(second, "3\t1000");
    driver.Click(second, IDC_BROWSER_TOGGLE);
    EXPECT_EQ(editor.model.GetTemplatePage(), 3);
    EXPECT_TRUE(editor.model.IsModified());
    EXPECT_EQ(Messages(), Lines{});

    // The page itself and its template as it is change nothing.
    for (const char* row : {"3\t1000", "2\t15"}) {
        editor.model.SetModified(false);
        tppickDlg& again = OpenPicker(editor.model.GetTemplatePage());
        EXPECT_EQ(Selected(again), "3\t1000");
        ClickRow(again, row);
        driver.Click(again, IDC_BROWSER_TOGGLE);
        EXPECT_EQ(editor.model.GetTemplatePage(), 3) << row;
        EXPECT_FALSE(editor.model.IsModified()) << row;
    }

    // OK without a selected row takes page 1.
    tppickDlg& unselected = OpenPicker(0);
    driver.Click(unselected, IDC_BROWSER_TOGGLE);
    EXPECT_EQ(editor.model.GetTemplatePage(), 1);
}

TEST_F(PageBrowserTest, CopyAndPasteWholePagesAskOnlyBeforeDestroyingAPage)
{
    MakeProject(9, {kPage2, kPage5, PageRecord(9)});
    EditorStandIn& editor = Editor(2);
    tppickDlg& browser = OpenBrowser(2);
    PutOnClipboard({{CF_TEXT, "41 00"}});

    EXPECT_TRUE(Enabled(browser, CM_COPY));
    EXPECT_TRUE(Enabled(browser, CM_CUT));
    EXPECT_FALSE(Enabled(browser, CM_PASTE)) << "no page on the clipboard";
    // Ctrl+C in the list copies through the frame's accelerators, and the
    // Edit menu offers what the browser can do.
    driver.Focus(browser, IDC_BROWSER_LIST);
    EXPECT_EQ(driver.OpenMenuItem(Frame(), CM_COPY) & MF_GRAYED, 0u);
    EXPECT_NE(driver.OpenMenuItem(Frame(), CM_PASTE) & MF_GRAYED, 0u);
    driver.PressKey('C', MK_CONTROL);
    driver.ProcessEvents();
    EXPECT_EQ(ClipboardPage(), Hex(Parse(Join({kPage2, "00"}))));
    EXPECT_TRUE(Enabled(browser, CM_PASTE));
    driver.Focus(browser, IDC_BROWSER_LIST);
    EXPECT_EQ(driver.OpenMenuItem(Frame(), CM_PASTE) & MF_GRAYED, 0u);

    // Onto a stored page: asked first, and No keeps the page.
    ClickRow(browser, "9\t3");
    EXPECT_FALSE(Enabled(browser, CM_COPY)) << "a page of three bytes holds nothing to copy";
    driver.AnswerMessageBox(IDNO);
    Command(browser, CM_PASTE);
    EXPECT_EQ(Messages(),
              (Lines{"About to Destroy Graphic Page: Current contents of Graphic Page 9 will be destroyed.\nContinue?"}));
    EXPECT_EQ(editor.model.GetElements().Count(), 0);
    EXPECT_FALSE(editor.model.IsModified());

    driver.AnswerMessageBox(IDYES);
    driver.Focus(browser, IDC_BROWSER_LIST);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_PASTE));
    driver.ProcessEvents();
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_EQ(_QSglobals.GetCurrentPage(), 9);
    EXPECT_EQ(editor.model.GetElements().Count(), 1);
    EXPECT_TRUE(editor.model.IsModified());
    EXPECT_EQ(editor.legendReloads, 1);
    EXPECT_EQ(StoredPage(9), Hex(Parse(PageRecord(9)))) << "stored only when the engineer saves";

    // Onto a page that is not stored: nothing is asked.
    driver.Click(browser, IDC_BROWSER_TOGGLE);
    ClickRow(browser, "3\t0");
    EXPECT_EQ(_QSglobals.GetCurrentPage(), 3);
    EXPECT_FALSE(Enabled(browser, CM_COPY));
    Command(browser, CM_PASTE);
    EXPECT_EQ(Messages(), Lines{});
    EXPECT_EQ(editor.model.GetElements().Count(), 1);
    EXPECT_TRUE(editor.model.IsModified());
    EXPECT_EQ(editor.legendReloads, 2);
}

TEST_F(PageBrowserTest, ARefusedClipboardBlockChangesNothing)
{
    MakeProject(9, {kPage2, kPage5});
    EditorStandIn& editor = Editor(5);
    tppickDlg& browser = OpenBrowser(5);
    const int elements = editor.model.GetElements().Count();
    ASSERT_EQ(elements, 2);

    struct Case {
        const char* name;
        std::vector<std::pair<UINT, std::string>> clipboard;
        const char* message;
    } cases[] = {
        {"another program's block", {{kPageClipboardFormat, "50 4C 56 43 00 00"}},
         "Application Message: The clipboard does not hold a graphic page."},
        {"a page cut short", {{kPageClipboardFormat, "02 00 48 00 10 01 00 0A 00 00"}},
         "Application Message: The clipboard does not hold a graphic page."},
        {"a page of a larger panel", {{kPageClipboardFormat, Join({kPage2, "00"})}, {kPagePanelClipboardFormat, "0E 00"}},
         "Application Message: The page on the clipboard was made for another panel type and cannot be pasted."},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        for (const auto& [format, hex] : c.clipboard)
            SetClipboardData(format, Parse(hex));
        CloseClipboard();
        ASSERT_TRUE(Enabled(browser, CM_PASTE)) << c.name;
        driver.AnswerMessageBox(IDOK);
        Command(browser, CM_PASTE);
        EXPECT_EQ(Messages(), Lines{c.message}) << c.name << ": told, and not asked to destroy the page";
        EXPECT_EQ(editor.model.GetElements().Count(), elements) << c.name;
        EXPECT_FALSE(editor.model.IsModified()) << c.name;
        EXPECT_EQ(editor.legendReloads, 0) << c.name;
        EXPECT_EQ(_QSglobals.GetCurrentPage(), 5) << c.name;
    }
}

TEST_F(PageBrowserTest, CutCopiesThePageAndDeletesIt)
{
    MakeProject(9, {kPage2, kPage5});
    EditorStandIn& editor = Editor(5);
    tppickDlg& browser = OpenBrowser(5);

    // With an editor, its own Delete Record deletes the page it shows.
    ClickRow(browser, "2\t15");
    Command(browser, CM_CUT);
    EXPECT_EQ(editor.window.deleted, (std::vector<int>{2}));
    EXPECT_EQ(ClipboardPage(), Hex(Parse(Join({kPage2, "00"}))));
    EXPECT_EQ(Rows(browser), (Lines{"5\t32"}));

    // Without one, the browser asks and deletes it itself.
    SetPageBrowserEditor(nullptr);
    browser.GetList()->SetSelIndex(0);
    driver.AnswerMessageBox(IDNO);
    Command(browser, CM_CUT);
    EXPECT_EQ(Messages(), (Lines{"Delete graphic page: Are you sure you want to delete?"}));
    EXPECT_EQ(StoredPage(5), Hex(Parse(kPage5)));

    driver.AnswerMessageBox(IDYES);
    driver.AnswerMessageBox(IDOK);
    Command(browser, CM_CUT);
    EXPECT_EQ(Messages(), (Lines{"Delete graphic page: Are you sure you want to delete?",
                                 "Application Message: Last graphic page deleted"}));
    EXPECT_EQ(StoredPage(5), "(none)");
    EXPECT_FALSE(Summary().IsStored(5));
    EXPECT_EQ(ClipboardPage(), Hex(Parse(Join({kPage5, "00"}))));
    EXPECT_EQ(Rows(browser), Lines{});
    EXPECT_EQ(Selected(browser), "(none)");
}

TEST_F(PageBrowserTest, CutAndPasteActOnTheSelectedPageOnly)
{
    MakeProject(9, {kPage2, kPage5});
    EditorStandIn& editor = Editor(5);
    tppickDlg& browser = OpenBrowser(5);

    // Without a selected row there is nothing to cut or copy (the selected
    // page would read as page 1).
    browser.GetList()->SetSelIndex(-1);
    EXPECT_FALSE(Enabled(browser, CM_COPY));
    EXPECT_FALSE(Enabled(browser, CM_CUT));
    Command(browser, CM_CUT);
    EXPECT_TRUE(editor.window.deleted.empty());

    // A row chosen while an element sheet held the editor is not the page the
    // editor shows: Cut shows it first, and when the engineer keeps the shown
    // page nothing is cut.
    const auto chooseWhileHeld = [&](const std::string& row) {
        editor.window.EnableWindow(false);
        ClickRow(browser, row);
        editor.window.EnableWindow(true);
    };
    chooseWhileHeld("2\t15");
    ASSERT_EQ(_QSglobals.GetCurrentPage(), 5);
    editor.keepPage = true;
    Command(browser, CM_CUT);
    EXPECT_TRUE(editor.window.deleted.empty());
    EXPECT_EQ(Selected(browser), "5\t32");

    editor.keepPage = false;
    chooseWhileHeld("2\t15");
    Command(browser, CM_CUT);
    EXPECT_EQ(editor.window.deleted, (std::vector<int>{2}));
    EXPECT_EQ(ClipboardPage(), Hex(Parse(Join({kPage2, "00"}))));
    EXPECT_EQ(StoredPage(5), Hex(Parse(kPage5)));

    // Paste asks about the selected page and fills that page's model.
    chooseWhileHeld("5\t32");
    ASSERT_EQ(_QSglobals.GetCurrentPage(), 2);
    driver.AnswerMessageBox(IDYES);
    Command(browser, CM_PASTE);
    EXPECT_EQ(Messages(),
              (Lines{"About to Destroy Graphic Page: Current contents of Graphic Page 5 will be destroyed.\nContinue?"}));
    EXPECT_EQ(_QSglobals.GetCurrentPage(), 5);
    EXPECT_EQ(editor.model.GetElements().Count(), 1);
    EXPECT_TRUE(editor.model.IsModified());
}

}  // namespace
