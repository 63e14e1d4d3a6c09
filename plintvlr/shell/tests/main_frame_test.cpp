// The main frame: its menu of the commands something carries out, the
// enablers, the start with and without a last project, its place kept in the
// profile, and Exit.

#include "shell_fixture.h"
#include "stand_in_editors.h"

#include "plintvlr/elements/size_rect_array.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/frame_menu.h"
#include "plintvlr/shell/status_line.h"
#include "platform/ui/desktop.h"
#include "platform/ui/mdi_client.h"

#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The menu bar as text: "&File: &Close\tCtrl+F4 | - | E&xit", one line per
// pop-up; a cascade as "&Open{...}".
std::string Describe(TMenu& menu)
{
    std::string text;
    for (int i = 0; i < menu.GetMenuItemCount(); ++i) {
        if (i > 0)
            text += " | ";
        const UINT state = menu.GetMenuState(i, MF_BYPOSITION);
        if (state != static_cast<UINT>(-1) && (state & MF_SEPARATOR)) {
            text += "-";
        } else if (TMenu* popup = menu.GetSubMenu(i)) {
            text += menu.GetMenuString(i, MF_BYPOSITION) + "{" + Describe(*popup) + "}";
        } else {
            text += menu.GetMenuString(i, MF_BYPOSITION);
        }
    }
    return text;
}

std::vector<std::string> MenuBar(TFrameWindow& frame)
{
    std::vector<std::string> lines;
    TMenu& bar = *frame.GetMenu();
    for (int i = 0; i < bar.GetMenuItemCount(); ++i)
        lines.push_back(bar.GetMenuString(i, MF_BYPOSITION) + ": " + Describe(*bar.GetSubMenu(i)));
    return lines;
}

using MainFrameTest = ShellTest;

// The protocol sheet's "Protocol/Printer" page: answers 100 times the channel asked about.
class TEditedProtocol : public TWindow {
public:
    explicit TEditedProtocol(TWindow* parent) : TWindow(parent, "Protocol/Printer") { Attr.Style = WS_CHILD; }
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }
    LRESULT EvQuery(WPARAM channel, LPARAM) { return static_cast<LRESULT>(channel) * 100; }
};
const TResponseTable TEditedProtocol::Responses{&TWindow::Responses, {
    OnMessage<&TEditedProtocol::EvQuery>(WM_QUERYEDITEDPROTOCOL),
}};

TEST_F(MainFrameTest, MenuHoldsOnlyWhatSomethingCarriesOut)
{
    MDIFrame& frame = Start();
    const std::vector<std::string> expected{
        "&File: &Close\tCtrl+F4 | - | E&xit",
        "&Project: &Close Project",
        "&Window: &Cascade | &Tile | Arrange &Icons | Close &All",
        "&Help: &Contents | &Search for Help On | &How to Use Help | - | &About",
    };
    EXPECT_EQ(MenuBar(frame), expected);
}

TEST_F(MainFrameTest, RegisteredCommandsAppearInTheirPlaces)
{
    StandIns standIns;
    standIns.RegisterEditor(TEditorKind::Tags);
    standIns.RegisterEditor(TEditorKind::GraphicPages);
    standIns.RegisterCommand(CM_NEWPROJECT);
    standIns.RegisterCommand(CM_OPENDTBFILE);
    StandIns::RegisterRecordItems();
    MDIFrame& frame = Start();
    const std::vector<std::string> expected{
        "&File: &New Project...\tCtrl+N | &Open{Open &DTB File} | &Close\tCtrl+F4 | - | &Save Record\tCtrl+S | - | "
        "&Delete Record | - | E&xit",
        "&View: &New Record | &Previous Record\tPgUp | N&ext Record\tPgDn | - | &Browser",
        "&Project: &Close Project | - | &Graphic Pages | - | &Tags",
        "&Window: &Cascade | &Tile | Arrange &Icons | Close &All",
        "&Help: &Contents | &Search for Help On | &How to Use Help | - | &About",
    };
    EXPECT_EQ(MenuBar(frame), expected);
    // The first entry of a cascade is its default item.
    TMenu* open = frame.GetMenu()->GetSubMenu(0)->GetSubMenu(1);
    ASSERT_NE(open, nullptr);
    EXPECT_TRUE(open->GetMenuState(0, MF_BYPOSITION) & MF_DEFAULT);
    // With no last project the frame asked for a new one, once.
    EXPECT_EQ(standIns.runs[CM_NEWPROJECT], 1);

    // The frame's accelerators: Ctrl+N runs New Project; keys of absent commands do nothing.
    frame.SetFocus();
    driver.PressKey('N', MK_CONTROL);
    driver.PressKey('O', MK_CONTROL);
    driver.PressKey('P', MK_CONTROL);
    driver.ProcessEvents();
    EXPECT_EQ(standIns.runs[CM_NEWPROJECT], 2);
    EXPECT_TRUE(driver.MessageBoxes().empty());
}

TEST_F(MainFrameTest, TheWholeMenuInTheOrderOfTheTemplate)
{
    StandIns standIns;
    standIns.RegisterAll();
    for (const TMenuTemplateItem& top : FrameMenuTemplate()) {
        for (const TMenuTemplateItem& item : top.popup) {
            for (const TMenuTemplateItem& inner : item.popup)
                RegisterWindowCommand(inner.id);
            if (item.id)
                RegisterWindowCommand(item.id);
        }
    }
    MDIFrame& frame = Start();
    const std::vector<std::string> bar = MenuBar(frame);
    ASSERT_EQ(bar.size(), 9u);
    EXPECT_EQ(bar[0], "&File: &New Project...\tCtrl+N | &Open{Open &Project\tCtrl+O | Open &DTB File} | "
                      "&Close\tCtrl+F4 | - | &Save Record\tCtrl+S | Save Project &As... | Save A&ll | - | "
                      "&Delete Record | - | &Export... | &Import... | - | &Print{&Graphics | &Text} | "
                      "P&rinter Setup... | - | Pre&ferences... | - | E&xit");
    EXPECT_EQ(bar[3], "&Project: &Open Project\tCtrl+O | &Close Project | - | &Graphic Pages | - | &Protocol Type | "
                      "Communications &Blocks | &Tags | - | &Message Tables | &Recipe Groups | &Overview Groups");
    EXPECT_EQ(bar[4], "&Quellstor: &Clock Communications | &Page Change | - | &System Settings | System &Keys | "
                      "Pass&words | - | Comm Port &1 | Comm Port &2 | - | &Transfer");
    EXPECT_EQ(bar[8], "&Help: &Contents | &Search for Help On | &How to Use Help | - | C&urrent Topic | - | &About");
    for (UINT id : {CM_OPENPROJECT, CM_PRINTGRAPHICS, CM_EDITZORDER, CM_ADDTEMPLATE, CM_SETGRID}) {
        int position = -1;
        TMenu* cascade = frame.GetMenu()->FindCommand(id, &position);
        ASSERT_NE(cascade, nullptr);
        EXPECT_TRUE(cascade->GetMenuState(0, MF_BYPOSITION) & MF_DEFAULT) << id;
    }
}

// Greyed (true) or not, per command, for no project and three panel types.
TEST_F(MainFrameTest, EnablersFollowTheProjectAndItsPanelType)
{
    struct Row {
        UINT id;
        bool noProject, type14, type5, type16;
    };
    const Row rows[] = {
        {CM_NEWPROJECT, false, false, false, false},   {CM_OPENPROJECT, false, false, false, false},
        {CM_SAVEPROJECTAS, true, false, false, false}, {CM_EXPORT, true, false, false, false},
        {CM_IMPORT, true, false, false, false},        {CM_TRANSFER, true, false, false, false},
        {CM_PROTOCOLTYPE, true, false, false, false},  {CM_COMMPORT1, true, false, false, false},
        {CM_GRAPHICPAGES, true, false, false, false},  {CM_TAGS, true, false, false, false},
        {CM_SYSTEMSETTINGS, true, false, false, false},
        {CM_COMMSBLOCKS, true, false, true, true},     {CM_MESSAGETABLES, true, false, true, true},
        {CM_OVERVIEWGROUPS, true, false, true, true},  {CM_PASSWORDS, true, false, true, true},
        {CM_SYSTEMKEYS, true, false, true, true},
        {CM_CLOCKCOMMS, true, false, false, true},     {CM_PAGECHANGE, true, true, true, false},
        {CM_CLOSEPROJECT, true, false, false, false},  {CM_EXIT, false, false, false, false},
        {CM_ABOUT, false, false, false, false},        {CM_HELPCONTENTS, false, false, false, false},
        {CM_PREFERENCES, false, false, false, false},  {CM_SAVEALL, true, false, false, false},
    };
    struct Column {
        int panelType;  // 0: no project
        bool Row::*greyed;
    };
    const Column columns[] = {{0, &Row::noProject}, {14, &Row::type14}, {5, &Row::type5}, {16, &Row::type16}};
    for (const Column& column : columns) {
        SCOPED_TRACE("panel type " + std::to_string(column.panelType));
        StandIns standIns;
        standIns.RegisterAll();
        if (column.panelType)
            MakeLastProject("P" + std::to_string(column.panelType), column.panelType == 5 ? 14 : column.panelType);
        else
            SetProfile("DATABASE", "DatabaseName", "");
        MDIFrame& frame = Start();
        // Projects of type 5 are no longer opened; the model's rules still hold.
        if (column.panelType == 5)
            _QSglobals.GetDatabase().SetPanelType(5);
        EXPECT_EQ(_QSglobals.GetDatabase().IsOpen(), column.panelType != 0);
        for (const Row& row : rows) {
            const bool greyed = (driver.OpenMenuItem(frame, row.id) & MF_GRAYED) != 0;
            EXPECT_EQ(greyed, row.*column.greyed) << "command " << row.id;
        }
        driver.CloseMenus();
        End();
        _QSglobals.NewDatabase();
        ClearCommandRegistrations();
    }
}

TEST_F(MainFrameTest, ReopensTheLastProjectAndOpensThePageEditor)
{
    StandIns standIns;
    standIns.RegisterAll();
    MakeLastProject("LINE1", 14);
    MDIFrame& frame = Start();
    EXPECT_EQ(frame.GetCaption(), "Plintorvaler 5.20 - LINE1");
    EXPECT_EQ(standIns.Made(TEditorKind::GraphicPages), 1);
    EXPECT_EQ(standIns.runs[CM_NEWPROJECT], 0);
    EXPECT_TRUE(driver.MessageBoxes().empty());

    // The size check ran once the loop did: the panes show the project's bytes.
    TStatusLine& status = *TStatusLine::GetStatusLine();
    adatabase& db = _QSglobals.GetDatabase();
    EXPECT_EQ(status.GetPaneText(TStatusLine::IDG_MODEL), "SWAQ");
    EXPECT_EQ(status.GetPaneText(TStatusLine::IDG_USED), std::to_string(db.GetUsedSize()));
    EXPECT_EQ(status.GetPaneText(TStatusLine::IDG_FREE), std::to_string(db.GetFreeSize()));
    EXPECT_GT(db.GetFreeSize(), 0);

    frame.MoveWindow(0, 0, 780, 560);
    driver.ProcessEvents();
    EXPECT_TRUE(Screenshot(frame, "main_frame"));
}

TEST_F(MainFrameTest, AProjectTooLargeForItsPanelIsToldOnce)
{
    StandIns standIns;
    standIns.RegisterAll();
    {
        adatabase db;
        db.SetPanelType(16);  // 32767 bytes of panel memory
        ASSERT_EQ(db.Create("BIG"), 1);
        ASSERT_EQ(db.OpenProject("BIG"), 1);
        const std::vector<std::uint8_t> page(32767, 7);
        ASSERT_EQ(db.PutMessage(1, page.data(), static_cast<std::uint16_t>(page.size())), 0);
        db.Close();
    }
    SetProfile("DATABASE", "DatabaseName", "BIG");
    driver.AnswerMessageBox(IDOK);
    Start();
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].caption, "Database is too large       ");
    EXPECT_EQ(driver.MessageBoxes()[0].text,
              "Database will not fit in Quellstor\nYou must reduce the size of your database");
    EXPECT_EQ(TStatusLine::GetStatusLine()->GetPaneText(TStatusLine::IDG_FREE),
              std::to_string(_QSglobals.GetDatabase().GetFreeSize()));
    EXPECT_LT(_QSglobals.GetDatabase().GetFreeSize(), 0);
}

TEST_F(MainFrameTest, HoveredItemsShowTheirHintsAndAboutShowsTheBox)
{
    StandIns standIns;
    standIns.RegisterAll();
    MDIFrame& frame = Start();
    TStatusLine& status = *TStatusLine::GetStatusLine();
    const std::pair<UINT, const char*> hints[] = {
        {CM_EXIT, "Exit Plintorvaler"},
        {CM_OPENPROJECT, "Open an existing project"},
        {CM_CLOSEPROJECT, "Close the current project"},
        {CM_TAGS, "Configure analog tags"},
        {CM_PAGECHANGE, "Set page change addesses"},
    };
    for (const auto& [id, hint] : hints) {
        driver.HoverMenuItem(frame, id);
        EXPECT_EQ(status.GetShownText(), hint) << id;
        driver.CloseMenus();
    }

    std::string caption;
    driver.OnNextDialog([&](TDialog& box) {
        caption = box.GetCaption();
        driver.Click(box, IDOK);
    });
    ASSERT_TRUE(driver.ChooseMenuItem(frame, CM_ABOUT));
    EXPECT_EQ(caption, "About Plintorvaler");
}

TEST_F(MainFrameTest, ExitAndTheCloseBoxWriteThePlaceAndTheProject)
{
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Exit");
        StandIns standIns;
        standIns.RegisterAll();
        MakeLastProject("LINE1", 14);
        SetProfile("APP", "FrameX", "40");
        SetProfile("APP", "FrameY", "30");
        SetProfile("APP", "FrameW", "400");
        SetProfile("APP", "FrameH", "300");
        MDIFrame& frame = Start();
        SetProfile("DATABASE", "DatabaseName", "");
        frame.MoveWindow(50, 60, 700, 500);
        driver.ProcessEvents();
        if (closeBox)
            driver.CloseBox(frame);
        else
            ASSERT_TRUE(driver.ChooseMenuItem(frame, CM_EXIT));
        driver.ProcessEvents();
        EXPECT_FALSE(frame.IsWindow());
        EXPECT_EQ(Profile("DATABASE", "DatabaseName"), "LINE1");
        EXPECT_EQ(Profile("APP", "FrameX"), "50");
        EXPECT_EQ(Profile("APP", "FrameY"), "60");
        EXPECT_EQ(Profile("APP", "FrameW"), "700");
        EXPECT_EQ(Profile("APP", "FrameH"), "500");
        End();
        _QSglobals.NewDatabase();
        ClearCommandRegistrations();
    }
}

TEST_F(MainFrameTest, FramePlaceComesFromTheProfile)
{
    struct Case {
        const char* name;
        const char *x, *y, *w, *h;
        TRect place;  // empty: the default place
        bool maximised, minimised;
        const char* savedW;
    };
    const Case cases[] = {
        {"no keys", nullptr, nullptr, nullptr, nullptr, {}, false, false, nullptr},
        {"saved", "40", "30", "400", "300", {40, 30, 440, 330}, false, false, "400"},
        {"maximised", "40", "30", "-1", "-1", {}, true, false, "-1"},
        {"minimised", "40", "30", "-2", "-2", {}, false, true, "-2"},
        {"odd pair", "40", "30", "-1", "5", {}, false, false, nullptr},
        {"not a number", "left", "30", "800", "600", {}, false, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetProfile("DATABASE", "DatabaseName", "");
        const std::pair<const char*, const char*> keys[] = {
            {"FrameX", c.x}, {"FrameY", c.y}, {"FrameW", c.w}, {"FrameH", c.h}};
        for (const auto& [key, value] : keys)
            WritePrivateProfileString("APP", key, value, "PLINTVLR.INI");
        MDIFrame& frame = Start();
        if (!c.place.IsEmpty()) {
            EXPECT_EQ(frame.GetWindowRect(), c.place);
        } else if (!c.maximised && !c.minimised) {
            // The default place: most of the desktop, centred on it.
            const TRect desktop = DesktopRect();
            const TRect place = frame.GetWindowRect();
            EXPECT_EQ(place.Width(), desktop.Width() * 4 / 5);
            EXPECT_EQ(place.Height(), desktop.Height() * 4 / 5);
            EXPECT_EQ(place.left - desktop.left, desktop.right - place.right);
        }
        EXPECT_EQ(frame.IsZoomed(), c.maximised);
        EXPECT_EQ(frame.IsIconic(), c.minimised);
        ASSERT_TRUE(driver.ChooseMenuItem(frame, CM_EXIT));
        driver.ProcessEvents();
        if (c.savedW) {
            EXPECT_EQ(Profile("APP", "FrameW"), c.savedW);
        }
        End();
        _QSglobals.NewDatabase();
    }
}

// The profile is hand-editable: a place off the desktop, or larger than it,
// is cut to the desktop and pulled onto it, whatever the numbers.
TEST_F(MainFrameTest, APlaceOffOrLargerThanTheDesktopIsPulledOntoIt)
{
    const TRect desktop = DesktopRect();
    ASSERT_FALSE(desktop.IsEmpty());
    const int w = 400, h = 300;
    struct Case {
        const char* name;
        std::string x, y, w, h;
        TRect place;
    };
    const Case cases[] = {
        {"far right and below", "90000", "90000", "400", "300",
         {desktop.right - w, desktop.bottom - h, desktop.right, desktop.bottom}},
        {"far left and above", "-2147483647", "-90000", "400", "300",
         {desktop.left, desktop.top, desktop.left + w, desktop.top + h}},
        {"near the integer limit", "2147483646", "10", "2147483646", "300",
         {desktop.left, desktop.top + 10, desktop.right, desktop.top + 10 + h}},
        {"larger than the desktop", "10", "10", "90000", "90000", desktop},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetProfile("DATABASE", "DatabaseName", "");
        SetProfile("APP", "FrameX", c.x);
        SetProfile("APP", "FrameY", c.y);
        SetProfile("APP", "FrameW", c.w);
        SetProfile("APP", "FrameH", c.h);
        MDIFrame& frame = Start();
        EXPECT_EQ(frame.GetWindowRect(), c.place);
        End();
        _QSglobals.NewDatabase();
    }
}

TEST_F(MainFrameTest, ProtocolQueryAnswersTheProjectsChannels)
{
    MakeLastProject("LINE1", 14);
    MDIFrame& frame = Start();
    int code = 0;
    const int channel1 = _QSglobals.GetDatabase().GetPortProtocol(1, code);
    EXPECT_EQ(frame.SendMessage(WM_QUERYPORTSETTING, 1), channel1);
    EXPECT_EQ(frame.SendMessage(WM_QUERYPORTSETTING, 3), channel1) << "no protocol sheet open";
    EXPECT_EQ(frame.SendMessage(WM_QUERYPORTSETTING, 5), -1);
    EXPECT_EQ(frame.SendMessage(WM_QUERYPORTSETTING, 0), -1);

    // While the protocol sheet is open, 3 and 4 ask its page for the protocol being edited.
    TFrameWindow sheet(nullptr, "Protocol and Port Settings");
    auto* page = new TEditedProtocol(&sheet);
    sheet.Create();
    EXPECT_EQ(frame.SendMessage(WM_QUERYPORTSETTING, 3), 3 * 100);
    EXPECT_EQ(frame.SendMessage(WM_QUERYPORTSETTING, 4), 4 * 100);
    EXPECT_EQ(frame.SendMessage(WM_QUERYPORTSETTING, 1), channel1);
    (void)page;
}

}  // namespace

namespace {

TEST_F(MainFrameTest, AnExceptionOutOfTheRunIsReportedAndEndsWithCode1)
{
    // With no last project the frame asks for a new one as soon as the loop runs.
    RegisterFrameCommand(CM_NEWPROJECT, {[](MDIFrame&) { throw std::runtime_error("broken"); }, nullptr});
    SetProfile("DATABASE", "DatabaseName", "");
    driver.AnswerMessageBox(IDOK);
    EXPECT_EQ(OwlMain(0, nullptr), 1);
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].caption, "Application Error");
    EXPECT_EQ(driver.MessageBoxes()[0].text,
              "This application has terminated with an error.  Please contact the manufacturer.");
    EXPECT_EQ(MDIFrame::GetMainFrame(), nullptr);
}

TEST_F(MainFrameTest, ADamagedProgramFontDoesNotStopTheStart)
{
    std::ofstream(program_ + "/Plintvlr.fon") << "not a font";
    SetProfile("DATABASE", "DatabaseName", "");
    MDIFrame& frame = Start();
    EXPECT_TRUE(frame.IsWindowVisible());
    End();
    EXPECT_EQ(MDIFrame::GetMainFrame(), nullptr);
}

}  // namespace

TEST_F(MainFrameTest, TheElementClipboardLivesAndGoesWithTheFrame)
{
    // An element that tells when it is deleted.
    struct Watched : SizeRect {
        explicit Watched(int& gone) : gone_(gone) {}
        ~Watched() override { ++gone_; }
        int& gone_;
    };
    int gone = 0;
    MDIFrame& frame = Start();
    EXPECT_TRUE(frame.GetElementClipboard().IsEmpty());
    frame.GetElementClipboard().Add(std::make_unique<Watched>(gone));
    frame.GetElementClipboard().Add(std::make_unique<Watched>(gone));
    EXPECT_EQ(gone, 0);
    End();
    EXPECT_EQ(gone, 2);
}
