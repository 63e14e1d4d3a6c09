// The graphic page editor in the program's main frame: opening on the first
// stored page, zoom and its profile value, stepping through the pages with
// wrap-around, new and deleted pages, the save question, pages that are too
// large or damaged, the key bars of each panel kind, the indicator fields,
// pick-up mode and the protocol question of a new project.

#include "plintvlr/shell/tests/pdf_pages.h"
#include "plintvlr/shell/tests/shell_fixture.h"

#include "plintvlr/db/keyed_record_file.h"
#include "plintvlr/db/tests/hex_bytes.h"
#include "plintvlr/pageedit/draw_window.h"
#include "plintvlr/pageedit/fkey_bar.h"
#include "plintvlr/pageedit/graph_editor.h"
#include "plintvlr/pageedit/indicator_bar.h"
#include "plintvlr/pageedit/page_browser.h"
#include "plintvlr/pageedit/page_summary.h"
#include "plintvlr/pageedit/size_rect_manager.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/frame_printer.h"
#include "plintvlr/shell/editor_bases.h"
#include "plintvlr/shell/save_all.h"
#include "platform/gdi/printer.h"
#include "platform/ui/help.h"
#include "platform/base/files.h"
#include "plintvlr/elements/format_text.h"
#include "plintvlr/elements/pt_pickup_dlg.h"
#include "plintvlr/elements/reg_fig_elem.h"
#include "platform/ui/mdi_child.h"
#include "platform/ui/mdi_client.h"
#include "platform/ui/controls/list_box.h"
#include "platform/ui/menu.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <map>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Hex(const Bytes& bytes)
{
    std::string text;
    char part[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(part, sizeof part, "%s%02X", text.empty() ? "" : " ", b);
        text += part;
    }
    return text;
}

// A line from (10, 20) to (50, 31) on a panel of type 9.
constexpr const char* kLine = "48 00 10 01 00 0A 1F 10 00 32 2A 00";

std::string Join(std::initializer_list<std::string> parts)
{
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : " ") + part;
    return text;
}

std::string PageRecord(int page, const std::string& elements)
{
    char key[8];
    std::snprintf(key, sizeof key, "%02X %02X", page & 0xFF, (page >> 8) & 0xFF);
    return std::string(key) + (elements.empty() ? "" : " " + elements) + " 00";
}

class GraphEditorTest : public ShellTest {
protected:
    void SetUp() override
    {
        // Before the fixture moves into the program folder: the build folder's.
        printouts_ = ScreenshotFolder().parent_path() / "printouts";
        ShellTest::SetUp();
        RegisterPageEditor();
        RegisterFrameCommand(CM_PROTOCOLTYPE, {[this](MDIFrame&) { ++protocolQuestions; }, nullptr});
    }

    // A project of the panel type with these pages (number: element records)
    // stored, left closed as the last project. Its ports have a protocol
    // unless `protocols` is false.
    void MakeProject(int panelType, const std::map<int, std::string>& pages, bool protocols = true)
    {
        adatabase db;
        db.SetPanelType(panelType);
        ASSERT_EQ(db.Create("PAGES"), 1);
        ASSERT_EQ(db.OpenProject("PAGES"), 1);
        for (const auto& [page, elements] : pages) {
            const Bytes record = HexVector(PageRecord(page, elements));
            ASSERT_EQ(db.PutPage(static_cast<std::uint32_t>(page), record.data(),
                                 static_cast<std::uint16_t>(record.size())),
                      0);
        }
        // Two channel rows of 36 bytes after the record's key: each starts
        // with its protocol number, -1 for none.
        Bytes channels(2 + 2 * 36, 0);
        channels[0] = 122;
        const std::uint16_t protocol = protocols ? 3 : 0xFFFF;
        for (int row = 0; row < 2; ++row) {
            channels[2 + row * 36] = static_cast<std::uint8_t>(protocol & 0xFF);
            channels[3 + row * 36] = static_cast<std::uint8_t>(protocol >> 8);
        }
        ASSERT_EQ(db.PutSystemRecord(122, channels.data(), static_cast<std::uint16_t>(channels.size())), 0);
        db.Close();
        SetProfile("DATABASE", "DatabaseName", "PAGES");
    }

    TGraphEditor& Editor()
    {
        auto* editor = dynamic_cast<TGraphEditor*>(Client().GetEditor(TEditorKind::GraphicPages));
        EXPECT_NE(editor, nullptr);
        return *editor;
    }
    SizeRectManager& Model() { return Editor().GetDrawWindow()->GetModel(); }
    adatabase& Db() { return _QSglobals.GetDatabase(); }
    std::string ShownPage() { return Editor().GetIndicatorBar()->Gadget(2).GetText(); }

    std::string Stored(int page)
    {
        Bytes buffer(20000);
        std::uint16_t n = static_cast<std::uint16_t>(buffer.size());
        const int rc = Db().GetPage(static_cast<std::uint32_t>(page), buffer.data(), n);
        if (rc == 6)
            return "(damaged)";
        if (rc != 0)
            return "(none)";
        buffer.resize(n);
        return Hex(buffer);
    }

    // Flips a byte of a stored page behind the database's back, so that the
    // record no longer matches its check sum.
    void DamagePage(int page)
    {
        const std::string path = ProjectPath() + "/" + TableFileName(4);
        const int handle = DfOpenReadOnly(path);
        std::uint32_t position = 0;
        std::uint16_t length = 0;
        ASSERT_EQ(DfRecordInfo(handle, static_cast<std::uint32_t>(page), position, length), 0);
        DfClose(handle);
        const int raw = FileOpen(path, FileMode::ReadWrite);
        const std::int64_t at = position + DfRecordHeader::kSize + 3;
        std::uint8_t byte = 0;
        ASSERT_EQ(FileReadAt(raw, &byte, 1, at), 1);
        byte ^= 0xFF;
        ASSERT_EQ(FileWriteAt(raw, &byte, 1, at), 1);
        FileClose(raw);
    }
    std::string ProjectPath() const { return program_ + "/DBASE/PAGES"; }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const auto& box : driver.MessageBoxes())
            texts.push_back(box.text);
        return texts;
    }

    int protocolQuestions = 0;
    std::filesystem::path printouts_;
};

// The engineer's day on a page, through the menus, the mouse and the keys.
class PageSessionTest : public GraphEditorTest {
protected:
    DrawWindow& Canvas() { return *Editor().GetDrawWindow(); }
    // A point of the panel screen (pixels from the top left) in the canvas's client area.
    TPoint At(int x, int y)
    {
        const TSize screen = Canvas().GetScreenSize();
        const TRect client = Canvas().GetClientRect();
        return {x * client.Width() / screen.cx + client.Width() / screen.cx / 2,
                y * client.Height() / screen.cy + client.Height() / screen.cy / 2};
    }
    // The element sheets that placing opened, cancelled.
    void CloseSheets()
    {
        for (TMDIChild* child : Client().GetMDIChildren()) {
            if (child != &Editor())
                driver.ChooseSystemMenuItem(*child, SC_CLOSE);
        }
        driver.ProcessEvents();
    }
    // Page 2 holding a text, then an unfilled rectangle of width 1; panel y
    // counts up from the screen's bottom (48 pixels) plus the panel's origin 11.
    static std::string TextThenRectangle(const char* textPoint, std::initializer_list<std::string> rectanglePoints)
    {
        // The text: code and flags (the extents field follows), the colour
        // spec, its bottom-left point, "Text", then field 2: the extents
        // 30 x 10 pixels and left justification.
        std::string page = Join({"02 00", "7F 10", "10 01", textPoint, "54 65 78 74 00", "04 05 1E 00 0A 00 00"});
        // The rectangle: its field record (code 3, a body of 24 bytes), the
        // line code, the colour spec, then its points, the later ones marked.
        page = Join({page, "1F 95 05 01 03 18", "48 00", "10 01"});
        bool first = true;
        for (const std::string& point : rectanglePoints) {
            page = Join({page, first ? point : "10 " + point});
            first = false;
        }
        return Join({page, "00", "00"});
    }

    TRegFigElem& Rectangle()
    {
        for (int i = 0; i < Model().GetElements().Count(); ++i) {
            if (auto* figure = dynamic_cast<TRegFigElem*>(Model().GetElements()[i]))
                return *figure;
        }
        ADD_FAILURE() << "no rectangle on the page";
        static TRegFigElem none(TRegFigElem::kRectangle, {0, 0}, {20, 20});
        return none;
    }
};

TEST_F(PageSessionTest, PlaceSelectSaveAndComeBack)
{
    MakeProject(9, {{2, ""}, {5, ""}});
    Start();
    ASSERT_EQ(Editor().GetCurrentPage(), 2);
    DrawWindow& canvas = Canvas();

    // A rectangle and a text, each with its tool.
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_ADDRECTANGLE));
    driver.Drag(canvas, At(20, 10), At(60, 30));
    CloseSheets();
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_ADDTEXT));
    driver.Drag(canvas, At(100, 10), At(130, 20));
    CloseSheets();
    ASSERT_EQ(Model().GetElements().Count(), 2);
    ASSERT_TRUE(Editor().IsWindowEnabled());
    EXPECT_EQ(Rectangle().GetRect(), TRect(20 * 20, 10 * 20, 60 * 20, 30 * 20));

    // Clicked, the rectangle alone is selected.
    driver.MouseMove(canvas, At(20, 14));  // the hand comes to its edge, then clicks
    driver.ClickAt(canvas, At(20, 14));
    EXPECT_TRUE(Rectangle().IsSelected());
    EXPECT_EQ(Model().SelectionCount(), 1);

    // Both in a rubber band.
    driver.Drag(canvas, At(2, 2), At(230, 46));
    EXPECT_EQ(Model().SelectionCount(), 2);
    Screenshot(Editor(), "page_editor_session");

    driver.PressKey('S', MK_CONTROL);
    EXPECT_FALSE(Editor().IsModified());
    // The rectangle's bottom-left corner (20, 48 - 30 + 11), then its corners
    // round from the top left.
    const std::string expected = TextThenRectangle("00 64 27", {"00 14 1D", "00 14 31", "00 3C 31", "00 3C 1D", "00 14 1D"});
    EXPECT_EQ(Stored(2), expected);
    const TRect rectangle = Rectangle().GetRect();

    // Next, then Previous: the page comes back as it was saved.
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_NEXTRECORD));
    EXPECT_EQ(Editor().GetCurrentPage(), 5);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_PREVIOUSRECORD));
    ASSERT_EQ(Model().GetElements().Count(), 2);
    EXPECT_EQ(Rectangle().GetRect(), rectangle);
    EXPECT_TRUE(driver.MessageBoxes().empty());
}

TEST_F(PageSessionTest, MoveResizeGroupUndoAndSave)
{
    MakeProject(9, {{2, ""}, {5, ""}});
    Start();
    DrawWindow& canvas = Canvas();
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_ADDRECTANGLE));
    driver.Drag(canvas, At(20, 10), At(60, 30));
    CloseSheets();
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_ADDTEXT));
    driver.Drag(canvas, At(100, 10), At(130, 20));
    CloseSheets();

    // The rectangle moved by a drag on its body, then resized by its bottom-right handle.
    driver.MouseMove(canvas, At(20, 14));
    driver.ClickAt(canvas, At(20, 14));
    ASSERT_TRUE(Rectangle().IsSelected());
    driver.Drag(canvas, At(30, 14), At(40, 19));
    EXPECT_EQ(Rectangle().GetRect(), TRect(30 * 20, 15 * 20, 70 * 20, 35 * 20));
    const TRect r = canvas.LogicalToDeviceRect(Rectangle().GetRect());
    const TSize step(At(10, 5).x - At(0, 0).x, At(10, 5).y - At(0, 0).y);
    driver.Drag(canvas, {r.right, r.bottom}, {r.right + step.cx, r.bottom + step.cy});
    EXPECT_EQ(Rectangle().GetRect(), TRect(30 * 20, 15 * 20, 80 * 20, 40 * 20));

    // Both in a rubber band, grouped with Ctrl+G, the grouping undone with Ctrl+Z.
    driver.Drag(canvas, At(2, 2), At(230, 46));
    ASSERT_EQ(Model().SelectionCount(), 2);
    driver.PressKey('G', MK_CONTROL);
    EXPECT_EQ(Model().GetElements().Count(), 1);
    driver.PressKey('Z', MK_CONTROL);
    ASSERT_EQ(Model().GetElements().Count(), 2);
    ASSERT_EQ(Model().SelectionCount(), 2);

    // Both aligned left from the Layout menu: the text comes to the rectangle's left edge.
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_ALIGNLEFT));
    EXPECT_EQ(Rectangle().GetRect().left, 30 * 20);
    Screenshot(Editor(), "page_editor_edited");

    driver.PressKey('S', MK_CONTROL);
    EXPECT_FALSE(Editor().IsModified());
    // The rectangle at (30, 15), 50 x 25: bottom-left (30, 48 - 40 + 11); the
    // text's bottom-left moved from x 100 to 30.
    const std::string expected = TextThenRectangle("00 1E 27", {"00 1E 13", "00 1E 2C", "00 50 2C", "00 50 13", "00 1E 13"});
    EXPECT_EQ(Stored(2), expected);
}

TEST_F(GraphEditorTest, OpensOnTheFirstStoredPageAtTheZoomOfTheProfile)
{
    // Page 2: template page 5, a line and function key 3 "START"; page 5 a raised frame.
    MakeProject(9, {{2, std::string("1F 8B 01 01 05 ") + kLine + " 0D 00 03 53 54 41 52 54 20 20 20 20 1C 29 35 00"},
                    {5, "1F 8E 54 07 0A 00 13 00 14 00 14 01 01 03 00 10 01"}});
    SetProfile("APP", "NewScaleFactor", "2");
    Start();
    TGraphEditor& editor = Editor();
    EXPECT_EQ(editor.GetCurrentPage(), 2);
    EXPECT_EQ(ShownPage(), "2");
    EXPECT_EQ(_QSglobals.GetCurrentPage(), 2);
    EXPECT_EQ(Model().GetElements().Count(), 2) << "the line and the key";
    EXPECT_EQ(Model().GetTemplatePage(), 5);
    EXPECT_EQ(editor.GetKeyBar()->KeyButton(3)->GetText().substr(0, 5), "START");
    EXPECT_FALSE(editor.IsModified());
    EXPECT_EQ(editor.GetWindowText(), "Graphic Page Editor");
    EXPECT_EQ(GetActivePageEditor(), &editor);
    // Zoom level 2 shows a 240 x 48 screen three times as large.
    EXPECT_EQ(editor.GetDrawWindow()->GetWindowRect().Size(), TSize(720, 144));
    EXPECT_EQ(protocolQuestions, 0);
    // The editor's commands stand in the frame's menu.
    for (UINT id : {CM_GRAPHICPAGES, CM_ZOOMIN, CM_ZOOMOUT, CM_BROWSER, CM_PRINTTEXT, CM_CHOOSEFONT, CM_NEWRECORD})
        EXPECT_FALSE(driver.MenuItemText(Frame(), id).empty()) << id;
    Screenshot(editor, "page_editor_zoom2");

    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_ZOOMOUT));
    EXPECT_EQ(editor.GetDrawWindow()->GetWindowRect().Size(), TSize(480, 96));
    Screenshot(editor, "page_editor_zoom1");
    // The bars follow: the key bar's six buttons fill its width again.
    const TRect bar = editor.GetKeyBar()->GetClientRect();
    EXPECT_EQ(bar.Width(), 480);
    EXPECT_EQ(editor.GetKeyBar()->KeyButton(6)->GetBounds().right, 480 - 480 / 6 / 8);

    End();
    EXPECT_EQ(Profile("APP", "NewScaleFactor"), "1") << "the zoom level is kept when the editor goes";
    EXPECT_EQ(GetActivePageEditor(), nullptr);
}

TEST_F(GraphEditorTest, ZoomLevelFromTheProfileIsForcedIntoRange)
{
    struct Case {
        const char* value;  // null: absent
        int level;
    };
    for (const Case& c : {Case{"0", 1}, Case{nullptr, 1}, Case{"7", 3}, Case{"-4", 1}, Case{"abc", 1}, Case{"3", 3}}) {
        WritePrivateProfileString("APP", "NewScaleFactor", c.value, "PLINTVLR.INI");
        EXPECT_EQ(TGraphEditor::ReadZoomLevel(), c.level) << (c.value ? c.value : "absent");
    }
}

TEST_F(GraphEditorTest, ZoomStopsAtItsEnds)
{
    MakeProject(9, {{1, ""}});
    SetProfile("APP", "NewScaleFactor", "3");
    Start();
    EXPECT_EQ(driver.OpenMenuItem(Frame(), CM_ZOOMIN) & MF_GRAYED, MF_GRAYED);
    EXPECT_EQ(driver.OpenMenuItem(Frame(), CM_ZOOMOUT) & MF_GRAYED, 0u);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_ZOOMOUT));
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_ZOOMOUT));
    EXPECT_EQ(Editor().GetZoomLevel(), 1);
    EXPECT_FALSE(driver.ChooseMenuItem(Frame(), CM_ZOOMOUT)) << "Zoom Out is greyed at level 1";
    EXPECT_EQ(Editor().GetZoomLevel(), 1);
}

TEST_F(GraphEditorTest, NextAndPreviousWrapAroundTheStoredPages)
{
    MakeProject(9, {{2, kLine}, {5, ""}});
    Start();
    struct Step {
        UINT command;
        int page;
    };
    for (const Step& step : {Step{CM_NEXTRECORD, 5}, Step{CM_NEXTRECORD, 2}, Step{CM_PREVIOUSRECORD, 5},
                             Step{CM_PREVIOUSRECORD, 2}}) {
        ASSERT_TRUE(driver.ChooseMenuItem(Frame(), step.command));
        EXPECT_EQ(Editor().GetCurrentPage(), step.page);
        EXPECT_EQ(ShownPage(), std::to_string(step.page));
    }
    EXPECT_TRUE(driver.MessageBoxes().empty()) << "unchanged pages are left without a question";
}

TEST_F(GraphEditorTest, PreviousAndNextNeedASecondPage)
{
    MakeProject(9, {{4, ""}});
    Start();
    EXPECT_EQ(driver.OpenMenuItem(Frame(), CM_NEXTRECORD) & MF_GRAYED, MF_GRAYED);
    EXPECT_EQ(driver.OpenMenuItem(Frame(), CM_PREVIOUSRECORD) & MF_GRAYED, MF_GRAYED);
    // A new page counts as a second one: Previous goes back to page 4 after asking.
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_NEWRECORD));
    EXPECT_EQ(Editor().GetCurrentPage(), 5);
    driver.AnswerMessageBox(IDNO);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_PREVIOUSRECORD));
    EXPECT_EQ(Editor().GetCurrentPage(), 4);
    EXPECT_EQ(Stored(5), "(none)") << "No keeps the new page out of the database";
}

TEST_F(GraphEditorTest, NewRecordTakesTheFirstFreePageAfterThisOneThenFromTheStart)
{
    std::map<int, std::string> pages;
    for (int n = 1; n <= 100; ++n) {
        if (n != 3)
            pages[n] = "";
    }
    MakeProject(9, pages);
    Start();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_NEXTRECORD));
    ASSERT_EQ(Editor().GetCurrentPage(), 5);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_NEWRECORD));
    EXPECT_EQ(Editor().GetCurrentPage(), 3);
    EXPECT_FALSE(Editor().IsPageStored());
    EXPECT_TRUE(Model().GetElements().IsEmpty());
}

TEST_F(GraphEditorTest, NewRecordOnAFullPanelSaysSo)
{
    std::map<int, std::string> pages;
    for (int n = 1; n <= 100; ++n)
        pages[n] = "";
    MakeProject(9, pages);
    Start();
    driver.AnswerMessageBox(IDOK);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_NEWRECORD));
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text, "No more graphic pages available.  Try deleting one.");
    EXPECT_EQ(driver.MessageBoxes()[0].caption, "New graphic page");
    EXPECT_EQ(Editor().GetCurrentPage(), 1);
    EXPECT_TRUE(Editor().IsPageStored());
}

TEST_F(GraphEditorTest, LeavingAChangedPageAsksAndEachAnswerDoesItsPart)
{
    MakeProject(9, {{2, kLine}, {5, ""}});
    Start();
    const std::string page2 = Stored(2);

    // Cancel: nothing moves and the change stays.
    Editor().MarkModified();
    driver.AnswerMessageBox(IDCANCEL);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_NEXTRECORD));
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text, "Do you want to save?");
    EXPECT_EQ(driver.MessageBoxes()[0].caption, "Graphic page has changed");
    EXPECT_EQ(driver.MessageBoxes()[0].flags, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(Editor().GetCurrentPage(), 2);
    EXPECT_TRUE(Editor().IsModified());

    // No: the stored page stays as it was.
    Model().GetElements().Flush();
    driver.AnswerMessageBox(IDNO);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_NEXTRECORD));
    EXPECT_EQ(Editor().GetCurrentPage(), 5);
    EXPECT_EQ(Stored(2), page2);

    // Yes: the page is saved, then left.
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_PREVIOUSRECORD));
    Model().GetElements().Flush();
    Editor().MarkModified();
    driver.AnswerMessageBox(IDYES);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_NEXTRECORD));
    EXPECT_EQ(Editor().GetCurrentPage(), 5);
    EXPECT_EQ(Stored(2), "02 00 00");
}

TEST_F(GraphEditorTest, DeletingTheOnlyPageLeavesANewPageOne)
{
    MakeProject(9, {{4, kLine}});
    Start();
    driver.AnswerMessageBox(IDNO);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_DELETERECORD));
    EXPECT_EQ(Stored(4), PageRecord(4, kLine)) << "No keeps the page";

    driver.AnswerMessageBox(IDYES);
    driver.AnswerMessageBox(IDOK);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_DELETERECORD));
    ASSERT_EQ(driver.MessageBoxes().size(), 3u);
    EXPECT_EQ(driver.MessageBoxes()[1].text, "Are you sure you want to delete?");
    EXPECT_EQ(driver.MessageBoxes()[1].caption, "Delete graphic page");
    EXPECT_EQ(driver.MessageBoxes()[2].text, "Last graphic page deleted");
    EXPECT_EQ(driver.MessageBoxes()[2].caption, "Application Message");
    EXPECT_EQ(Stored(4), "(none)");
    EXPECT_EQ(Editor().GetCurrentPage(), 1);
    EXPECT_FALSE(Editor().IsPageStored());
    EXPECT_TRUE(Model().GetElements().IsEmpty());
    EXPECT_EQ(Db().GetPageSummary()->GetCount(), 0);
}

TEST_F(GraphEditorTest, DeletingAPageShowsTheNearestStoredOneBelowElseAbove)
{
    MakeProject(9, {{2, ""}, {5, ""}, {7, ""}});
    Start();
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_NEXTRECORD));
    driver.AnswerMessageBox(IDYES);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_DELETERECORD));
    EXPECT_EQ(Editor().GetCurrentPage(), 2);
    driver.AnswerMessageBox(IDYES);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_DELETERECORD));
    EXPECT_EQ(Editor().GetCurrentPage(), 7);
    EXPECT_EQ(Db().GetPageSummary()->GetCount(), 1);
}

TEST_F(GraphEditorTest, PageOverItsSizeLimitStaysModifiedAndOnScreen)
{
    // 340 lines of 12 bytes: beyond the 4000 bytes a page of this panel may take.
    std::string lines;
    for (int i = 0; i < 340; ++i)
        lines += std::string(i ? " " : "") + kLine;
    MakeProject(9, {{3, lines}});
    Start();
    ASSERT_EQ(Editor().GetCurrentPage(), 3);
    const std::string stored = Stored(3);
    Editor().MarkModified();
    driver.AnswerMessageBox(IDOK);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_SAVERECORD));
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].caption, "Page is too large");
    EXPECT_TRUE(Editor().IsModified());
    EXPECT_EQ(Stored(3), stored);

    // Leaving asks, and a refused save keeps the editor on the page.
    driver.AnswerMessageBox(IDYES);
    driver.AnswerMessageBox(IDOK);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_NEWRECORD));
    EXPECT_EQ(Editor().GetCurrentPage(), 3);
    EXPECT_TRUE(Editor().IsModified());
}

TEST_F(GraphEditorTest, KeyBarsFollowThePanelKind)
{
    struct Case {
        int panelType;
        int mainButtons;    // -1: no bar
        int secondButtons;  // -1: no bar
        const char* firstLabel;
    };
    for (const Case& c : {Case{9, 6, -1, ""}, Case{20, 5, 4, "F1"}, Case{16, -1, -1, ""}}) {
        SCOPED_TRACE(c.panelType);
        MakeProject(c.panelType, {{1, ""}});
        Start();
        TGraphEditor& editor = Editor();
        auto count = [](TFKeyBar* bar) {
            if (!bar)
                return -1;
            int buttons = 0;
            for (int key = 1; key <= 8; ++key)
                buttons += bar->KeyButton(key) != nullptr;
            return buttons;
        };
        EXPECT_EQ(count(editor.GetKeyBar()), c.mainButtons);
        EXPECT_EQ(count(editor.GetSecondKeyBar()), c.secondButtons);
        if (editor.GetKeyBar()) {
            EXPECT_EQ(editor.GetKeyBar()->KeyButton(1)->GetText(), c.firstLabel);
        }
        if (editor.GetSecondKeyBar()) {
            EXPECT_EQ(editor.GetSecondKeyBar()->KeyButton(5)->GetText(), "F5");
            // F1-F4 stand above F5-F8, and the fifth of the upper bar lies beyond its width.
            EXPECT_LT(editor.GetKeyBar()->GetWindowRect().top, editor.GetSecondKeyBar()->GetWindowRect().top);
            EXPECT_GE(editor.GetKeyBar()->KeyButton(5)->GetBounds().left, editor.GetKeyBar()->GetClientRect().Width());
            Screenshot(editor, "page_editor_two_key_bars");
        }
        End();
        std::filesystem::remove_all(ProjectPath());
    }
}

TEST_F(GraphEditorTest, KeyButtonSelectsTheKeyAndShowsItsLegend)
{
    MakeProject(9, {{1, ""}});
    Start();
    TFKeyBar& bar = *Editor().GetKeyBar();
    TTextButtonGadget& button = *bar.KeyButton(2);
    const TRect b = button.GetBounds();
    driver.Idle(Editor());
    driver.ClickAt(bar, {(b.left + b.right) / 2, (b.top + b.bottom) / 2});
    EXPECT_EQ(Model().GetCurrentKey(), 2);
}

TEST_F(GraphEditorTest, KeyButtonsShowThePagesKeyLegends)
{
    // Key 3 of the page, legend "START".
    MakeProject(14, {{1, "0D 00 03 53 54 41 52 54 20 20 20 20 1C 29 35 00"}, {2, ""}});
    Start();
    TFKeyBar& bar = *Editor().GetKeyBar();
    EXPECT_EQ(bar.KeyButton(3)->GetText().substr(0, 5), "START");
    EXPECT_EQ(bar.KeyButton(2)->GetText(), "");
    // A page without the key clears its legend; coming back shows it again.
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_NEXTRECORD));
    EXPECT_EQ(bar.KeyButton(3)->GetText(), "");
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_PREVIOUSRECORD));
    EXPECT_EQ(bar.KeyButton(3)->GetText().substr(0, 5), "START");
    // Removing the key takes its legend off.
    Editor().RemoveFunctionKey(3);
    EXPECT_EQ(bar.KeyButton(3)->GetText(), "");
}

TEST_F(GraphEditorTest, IndicatorShowsWhatTheCanvasReports)
{
    MakeProject(9, {{1, ""}});
    Start();
    ActivePageEditor* active = GetActivePageEditor();
    ASSERT_EQ(active, &Editor());
    active->SetObjectPos({12, 34}, false);
    EXPECT_EQ(std::string(Editor().GetIndicatorBar()->Gadget(5).GetText()), "Object W:H");
    active->SetObjectPos({1, 2}, true);
    EXPECT_EQ(std::string(Editor().GetIndicatorBar()->Gadget(5).GetText()), "Object X:Y");
    active->SetCursorPos({7, 8});
    EXPECT_EQ(std::string(Editor().GetIndicatorBar()->Gadget(4).GetText()), "7:8");
}

TEST_F(GraphEditorTest, PickUpModeDisablesTheKeyBarsAndClose)
{
    MakeProject(20, {{1, ""}});
    Start();
    TGraphEditor& editor = Editor();
    editor.SetPickupMode(true);
    EXPECT_TRUE(editor.GetDrawWindow()->IsPickupMode());
    EXPECT_EQ(editor.GetDrawWindow()->GetTool(), CM_SELECTGRAPHICS);
    EXPECT_FALSE(editor.GetKeyBar()->IsWindowEnabled());
    EXPECT_FALSE(editor.GetSecondKeyBar()->IsWindowEnabled());
    EXPECT_EQ(driver.SystemMenuItemState(editor, SC_CLOSE), MF_GRAYED);
    EXPECT_TRUE(editor.IsWindowEnabled());
    editor.SetPickupMode(false);
    EXPECT_TRUE(editor.GetKeyBar()->IsWindowEnabled());
    EXPECT_EQ(driver.SystemMenuItemState(editor, SC_CLOSE), 0u);
    EXPECT_FALSE(editor.IsWindowEnabled()) << "the sheet that started the pick-up still holds the editor";
    editor.EnableWindow(true);
}

TEST_F(GraphEditorTest, MouseOverTheEditorsFrameBringsThePickUpDialogBackOnTop)
{
    MakeProject(9, {{1, ""}});
    Start();
    TGraphEditor& editor = Editor();
    auto* dialog = new PtPickupDlg(&Client(), TResId(), {0, 0}, nullptr, {0, 0}, false);
    ASSERT_TRUE(dialog->Create());
    driver.ProcessEvents();
    ASSERT_TRUE(editor.IsPickupMode());
    auto topmost = [&] { return Client().GetArea()->subWindowList(QMdiArea::StackingOrder).last(); };
    // The engineer works on the page: the editor comes to the top, over the dialog.
    Client().SendMessage(WM_MDIACTIVATE, reinterpret_cast<WPARAM>(editor.GetHandle()));
    driver.ProcessEvents();
    ASSERT_EQ(topmost(), editor.GetSubWindow());
    driver.HoverFrame(editor, {editor.GetSubWindow()->width() / 2, 4});
    ASSERT_NE(dialog->GetHost(), nullptr);
    EXPECT_EQ(topmost(), dialog->GetHost()->GetSubWindow());

    // Once the pick-up is over, the frame's moves leave the windows as they are.
    dialog->CloseWindow();
    driver.ProcessEvents();
    EXPECT_FALSE(editor.IsPickupMode());
    editor.EnableWindow(true);
}

TEST_F(GraphEditorTest, PrintoutsAreHeadedWithTheProjectAndItsVersion)
{
    MakeProject(9, {{2, kLine}});
    RegisterPrintingCommands();
    Start();
    const std::filesystem::path folder = printouts_;
    std::filesystem::create_directories(folder);
    for (UINT command : {CM_PRINTTEXT, CM_PRINTGRAPHICS}) {
        const std::string file = (folder / ("page_editor_" + std::to_string(command) + ".pdf")).string();
        std::filesystem::remove(file);
        Frame().GetPrinter()->SetOutputFileName(file);
        driver.AnswerMessageBox(IDOK);
            ASSERT_TRUE(driver.ChooseMenuItem(Frame(), command));
        ASSERT_TRUE(pdf_pages::LooksComplete(file)) << file;
        const std::string text = pdf_pages::PageText(file, 1);
        // The version without its leading blank (" 1.01").
        EXPECT_NE(text.find("PAGES(1.01)"), std::string::npos) << text;
    }
}

TEST_F(GraphEditorTest, SaveAllSavesTheChangedPageAndClosingAsksAboutIt)
{
    MakeProject(9, {{2, kLine}});
    RegisterSaveAll();
    Start();
    EXPECT_FALSE(driver.ChooseMenuItem(Frame(), CM_SAVEALL)) << "nothing to save";
    Model().GetElements().Flush();
    Editor().MarkModified();
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_SAVEALL));
    EXPECT_EQ(Stored(2), "02 00 00");
    EXPECT_FALSE(Editor().IsModified());

    // Closing a changed page asks; Cancel keeps the editor open.
    Editor().MarkModified();
    driver.AnswerMessageBox(IDCANCEL);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_CLOSEWINDOW));
    driver.ProcessEvents();
    ASSERT_NE(Client().GetEditor(TEditorKind::GraphicPages), nullptr);
    driver.AnswerMessageBox(IDNO);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_CLOSEWINDOW));
    driver.ProcessEvents();
    EXPECT_EQ(Client().GetEditor(TEditorKind::GraphicPages), nullptr);
    EXPECT_EQ(driver.MessageBoxes().size(), 2u);
}

TEST_F(GraphEditorTest, BrowserFollowsTheEditorAndTheEditorFollowsTheBrowser)
{
    MakeProject(9, {{2, kLine}, {5, ""}, {7, ""}});
    Start();
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_BROWSER));
    tppickDlg* browser = GetOpenPageBrowser();
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->GetSelectedPage(), 2);
    auto activateEditor = [&] {
        Client().SendMessage(WM_MDIACTIVATE, reinterpret_cast<WPARAM>(Editor().GetHandle()));
        driver.ProcessEvents();
    };
    activateEditor();
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_BROWSER));
    EXPECT_EQ(GetOpenPageBrowser(), browser) << "a second Browser brings the open one forward";
    EXPECT_EQ(Client().GetArea()->subWindowList(QMdiArea::StackingOrder).last(), browser->GetHost()->GetSubWindow());

    // The editor's steps move the browser's selection.
    activateEditor();
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_NEXTRECORD));
    EXPECT_EQ(browser->GetSelectedPage(), 5);

    // A row chosen in the browser opens its page; a changed page asks first,
    // and Cancel puts the selection back on the page shown.
    Editor().MarkModified();
    driver.AnswerMessageBox(IDCANCEL);
    driver.ClickListItem(*browser, IDC_BROWSER_LIST, 2);
    EXPECT_EQ(Editor().GetCurrentPage(), 5);
    EXPECT_EQ(browser->GetSelectedPage(), 5);
    driver.AnswerMessageBox(IDNO);
    driver.ClickListItem(*browser, IDC_BROWSER_LIST, 2);
    EXPECT_EQ(Editor().GetCurrentPage(), 7);

    // A deleted page leaves the collapsed list.
    activateEditor();
    driver.AnswerMessageBox(IDYES);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_DELETERECORD));
    EXPECT_EQ(Editor().GetCurrentPage(), 5);
    EXPECT_EQ(browser->GetList()->GetCount(), 2);
    EXPECT_EQ(browser->GetSelectedPage(), 5);

    // Closing the editor closes the browser with it.
    activateEditor();
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_CLOSEWINDOW));
    driver.ProcessEvents();
    EXPECT_EQ(GetOpenPageBrowser(), nullptr);
    EXPECT_EQ(GetPageBrowserEditor(), nullptr);
}

TEST_F(GraphEditorTest, CurrentTopicOpensThePageEditorsHelp)
{
    MakeProject(9, {{1, ""}});
    RegisterEditorBases();
    Start();
    const std::size_t before = HelpRequests().size();
    driver.AnswerMessageBox(IDOK);  // no help is installed here
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_CURRENTTOPIC));
    ASSERT_EQ(HelpRequests().size(), before + 1);
    EXPECT_EQ(HelpRequests().back().data, 123u);
    EXPECT_EQ(HelpRequests().back().file, program_ + "/HELP/PLINTVLR.HLP");
}

TEST_F(GraphEditorTest, ProjectWithoutProtocolsAsksForOne)
{
    MakeProject(9, {{1, ""}}, false);
    Start();
    driver.ProcessEvents();
    EXPECT_EQ(protocolQuestions, 1);
}

TEST_F(GraphEditorTest, DamagedPageOpensEmptyIsKeptAndSavingOverItAsks)
{
    MakeProject(9, {{1, ""}, {2, kLine}});
    DamagePage(2);
    Start();
    driver.AnswerMessageBox(IDOK);
    Editor().GoToPage(2);
    ASSERT_EQ(Editor().GetCurrentPage(), 2);
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text,
              "Graphic page 2 cannot be read (the record is damaged). It is left as it is until you save over it.");
    EXPECT_TRUE(Model().GetElements().IsEmpty());
    EXPECT_FALSE(Editor().IsModified());
    EXPECT_TRUE(Editor().IsPageStored());

    // Leaving it unchanged asks nothing and keeps the record.
    Editor().GoToPage(1);
    EXPECT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(Stored(2), "(damaged)");

    // Saving over it asks first: No keeps the record, Yes replaces it.
    driver.AnswerMessageBox(IDOK);
    Editor().GoToPage(2);
    Editor().MarkModified();
    driver.AnswerMessageBox(IDNO);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_SAVERECORD));
    ASSERT_EQ(driver.MessageBoxes().size(), 3u);
    EXPECT_EQ(driver.MessageBoxes()[2].flags, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_EQ(Stored(2), "(damaged)");
    EXPECT_TRUE(Editor().IsModified());
    driver.AnswerMessageBox(IDYES);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_SAVERECORD));
    EXPECT_EQ(Stored(2), "02 00 00");
    EXPECT_FALSE(Editor().IsModified());
}

TEST_F(GraphEditorTest, NewRecordNeverTakesTheNumberOfADamagedPage)
{
    MakeProject(9, {{1, ""}, {2, kLine}});
    DamagePage(2);
    Start();
    ASSERT_EQ(Editor().GetCurrentPage(), 1);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_NEWRECORD));
    EXPECT_EQ(Editor().GetCurrentPage(), 3);
    EXPECT_EQ(Stored(2), "(damaged)");
}

TEST_F(GraphEditorTest, DamagedFirstPageIsShownUnderItsOwnNumber)
{
    MakeProject(9, {{2, kLine}, {4, ""}});
    DamagePage(2);
    driver.AnswerMessageBox(IDOK);
    Start();
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(Editor().GetCurrentPage(), 2);
    EXPECT_EQ(ShownPage(), "2");
    // Saving asks before it replaces the damaged record; page 1 stays free.
    Editor().MarkModified();
    driver.AnswerMessageBox(IDYES);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_SAVERECORD));
    EXPECT_EQ(Stored(2), "02 00 00");
    EXPECT_EQ(Stored(1), "(none)");
}

TEST_F(GraphEditorTest, PageReadInPartSaysSoAndSavesItsRestBack)
{
    // The second element is a drive-out cut before its point word.
    const std::string rest = "50 00 10 01 00 14";
    MakeProject(9, {{1, ""}, {2, std::string(kLine) + " " + rest}});
    Start();
    driver.AnswerMessageBox(IDOK);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_NEXTRECORD));
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text,
              "Graphic page 2 is damaged: only part of it could be read. The rest is kept as it is.");
    EXPECT_EQ(Model().GetElements().Count(), 1);
    EXPECT_FALSE(Editor().IsModified());
    Editor().MarkModified();
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_SAVERECORD));
    EXPECT_EQ(Stored(2), PageRecord(2, std::string(kLine) + " " + rest));
}

}  // namespace
