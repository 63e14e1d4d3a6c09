// The main frame's tool bars: where they dock at start, how they float,
// hide and come back, what they remember in the profile, the graphics
// bar's tool levels, their grips, and their buttons following the frame's
// command enablers.

#include "plintvlr/shell/editor_bases.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/graph_tool_bar.h"
#include "plintvlr/shell/main_tool_bar.h"
#include "plintvlr/shell/project_dialogs.h"
#include "plintvlr/shell/status_line.h"
#include "plintvlr/shell/tool_items.h"
#include "plintvlr/shell/transfer_command.h"
#include "plintvlr/shell/zk_harbor.h"
#include "platform/ui/button_gadget.h"
#include "platform/ui/desktop.h"
#include "shell_fixture.h"
#include "stand_in_editors.h"

#include <QColor>
#include <QCoreApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <string>
#include <vector>

namespace {

// Every tool of the graphics bar, in bar order.
constexpr UINT kGraphicsTools[] = {
    CM_SELECTGRAPHICS, CM_ADDTEXT, CM_ADDTAGDISPLAY, CM_ADDMESSAGE, CM_CHOOSEFONT, CM_ADDLINES,
    CM_ADDRECTANGLE, CM_ADDCIRCLE, CM_ADDFRAME, CM_ADDBITMAP, CM_ADDTREND, CM_ADDTRENDRECORDER,
    CM_ADDMETER, CM_ADDTOUCHREGION, CM_ADDPUSHBUTTON, CM_ALIGNLEFT, CM_ALIGNHCENTER, CM_ALIGNRIGHT,
    CM_ALIGNTOP, CM_ALIGNVCENTER, CM_ALIGNBOTTOM,
};

// The ids of a bar's gadgets in order; separators are 0.
std::vector<int> GadgetIds(const TGadgetWindow& bar)
{
    std::vector<int> ids;
    for (const TGadget* gadget : bar.GetGadgets())
        ids.push_back(gadget->GetId());
    return ids;
}

std::vector<int> GroupIds(const TGraphToolBar& bar, std::initializer_list<int> groups)
{
    std::vector<int> ids;
    for (int group : groups) {
        for (const TGadget* gadget : bar.GetGroup(group))
            ids.push_back(gadget->GetId());
    }
    return ids;
}

TPoint TopLeft(const TRect& rect)
{
    return {rect.left, rect.top};
}

class ToolBarsTest : public ShellTest {
protected:
    void SetUp() override
    {
        shots_ = ScreenshotFolder();  // before the test moves into its program folder
        ShellTest::SetUp();
        // A previous test's frame ended the application's loop on its way
        // out; until a loop runs again every modal loop would end at once.
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
        // A frame in a known place, so that saved screen places mean the same in each run.
        SetProfile("APP", "FrameX", "20");
        SetProfile("APP", "FrameY", "20");
        SetProfile("APP", "FrameW", "760");
        SetProfile("APP", "FrameH", "560");
    }

    // Stand-ins for every command of both bars, with the real View items.
    void RegisterEverything()
    {
        standIns.RegisterAll();
        for (UINT id : {CM_CUT, CM_COPY, CM_PASTE, CM_UNDO, CM_CURRENTTOPIC})
            RegisterWindowCommand(id);
        RegisterGraphicsTools();
        RegisterToolBarCommands();
    }
    static void RegisterGraphicsTools()
    {
        for (UINT id : kGraphicsTools)
            RegisterWindowCommand(id);
    }

    TZKHarbor& Harbor() { return *Frame().GetHarbor(); }
    TMainToolBar& MainBar() { return Harbor().GetMainBar(); }
    TGraphToolBar& GraphBar() { return Harbor().GetGraphBar(); }

    bool Checked(UINT id) { return (driver.OpenMenuItem(Frame(), id) & MF_CHECKED) != 0; }

    std::string Toolbar(int bar, const char* key) { return Profile(("TOOLBAR" + std::to_string(bar)).c_str(), key); }
    TRect SavedRect(int bar)
    {
        return TRect(std::stoi(Toolbar(bar, "Left")), std::stoi(Toolbar(bar, "Top")), std::stoi(Toolbar(bar, "Right")),
                     std::stoi(Toolbar(bar, "Bottom")));
    }

    // Drags a bar by its grip (no button there) to a point of the frame's client area.
    void DragBarTo(TDecToolBar& bar, TPoint frameClient)
    {
        const TPoint grip = bar.GetDirection() == TGadgetWindow::Vertical ? TPoint(6, 3) : TPoint(3, 6);
        driver.Drag(bar, grip, bar.ScreenToClient(Frame().ClientToScreen(frameClient)));
    }

    bool SaveImage(const QImage& image, const std::string& name)
    {
        std::error_code ignored;
        std::filesystem::create_directories(shots_, ignored);
        return image.save(QString::fromStdString((shots_ / (name + ".png")).string()));
    }

    StandIns standIns;

private:
    std::filesystem::path shots_;
};

TEST_F(ToolBarsTest, FirstStartDocksBothBarsAtTheTopMainBarFirst)
{
    RegisterEverything();
    Start();
    TEdgeSlip* top = Harbor().GetEdgeSlip(alTop);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->GetBars(), (std::vector<TDockableControlBar*>{&MainBar(), &GraphBar()}));
    EXPECT_EQ(MainBar().GetWindowRect().top, GraphBar().GetWindowRect().top) << "one row";
    EXPECT_LT(MainBar().GetWindowRect().right, GraphBar().GetWindowRect().left + 1);
    EXPECT_TRUE(MainBar().IsWindowVisible());
    EXPECT_TRUE(GraphBar().IsWindowVisible());
    EXPECT_TRUE(Checked(CM_MAINTOOLBAR));
    EXPECT_TRUE(Checked(CM_GRAPHICSTOOLBAR));
    EXPECT_EQ(MainBar().GetCaption(), "Main Toolbar");
    EXPECT_EQ(GraphBar().GetCaption(), "Graphics Toolbar");

    // The main bar holds the 22 gadgets in order.
    const std::vector<int> expected{3001, 2007, 2017, 0, 2990, 3002, 3011, 11103, 11104, 11109, 0,
                                    24322, 24323, 24324, 24321, 0, 2010, 2021, 2003, 2004, 0, 9};
    EXPECT_EQ(GadgetIds(MainBar()), expected);

    // The places are written at exit: both at the top.
    const TRect mainRect = MainBar().GetWindowRect();
    End();
    EXPECT_EQ(Toolbar(0, "Loc"), "1");
    EXPECT_EQ(Toolbar(1, "Loc"), "1");
    EXPECT_EQ(SavedRect(0), mainRect);
}

TEST_F(ToolBarsTest, GraphicsBarSavedAboveTheMainBarDocksFirstAtItsPoint)
{
    RegisterEverything();
    Start();
    // The engineer puts the graphics bar in a row above the main bar.
    const TPoint origin = Harbor().GetEdgeSlip(alTop)->ClientToScreen({0, 0});
    Harbor().Insert(GraphBar(), alTop, &origin);
    const TPoint below(origin.x + 40, origin.y + GraphBar().GetWindowRect().Height());
    Harbor().Insert(MainBar(), alTop, &below);
    driver.ProcessEvents();
    ASSERT_EQ(TopLeft(MainBar().GetWindowRect()), below);
    End();

    Start();
    TEdgeSlip* top = Harbor().GetEdgeSlip(alTop);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->GetBars(), (std::vector<TDockableControlBar*>{&GraphBar(), &MainBar()}));
    EXPECT_EQ(TopLeft(GraphBar().GetWindowRect()), origin);
    EXPECT_EQ(TopLeft(MainBar().GetWindowRect()), below);
}

TEST_F(ToolBarsTest, BarDraggedOffItsEdgeFloatsAndReopensWhereItWasClosed)
{
    RegisterEverything();
    Start();
    DragBarTo(MainBar(), {100, 250});
    ASSERT_TRUE(MainBar().IsFloating());
    auto* palette = dynamic_cast<TFloatingSlip*>(MainBar().GetParentO());
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->GetCaption(), "Main Toolbar");
    EXPECT_TRUE(Checked(CM_MAINTOOLBAR));
    const TRect floated = palette->GetWindowRect();

    // Its close box hides the bar.
    driver.CloseBox(*palette);
    EXPECT_FALSE(MainBar().IsWindowVisible());
    EXPECT_FALSE(Checked(CM_MAINTOOLBAR));
    EXPECT_TRUE(Checked(CM_GRAPHICSTOOLBAR));
    // The View item shows it floating there again, and hides it again.
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_MAINTOOLBAR));
    ASSERT_TRUE(MainBar().IsFloating());
    EXPECT_EQ(MainBar().GetParentO()->GetWindowRect(), floated);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_MAINTOOLBAR));
    EXPECT_FALSE(MainBar().IsWindowVisible());
    End();
    EXPECT_EQ(Toolbar(0, "Loc"), "0");
    EXPECT_EQ(SavedRect(0), floated);

    // Both bars show at every start: this one floating where it was.
    Start();
    ASSERT_TRUE(MainBar().IsFloating());
    EXPECT_EQ(MainBar().GetParentO()->GetWindowRect(), floated);
    EXPECT_TRUE(Checked(CM_MAINTOOLBAR));
    EXPECT_EQ(GraphBar().GetLocation(), alTop);
}

TEST_F(ToolBarsTest, BarHiddenAtTheLeftIsSavedThereAndShownThereNextTime)
{
    RegisterEverything();
    Start();
    DragBarTo(GraphBar(), {4, 250});
    ASSERT_EQ(GraphBar().GetLocation(), alLeft);
    const TRect atLeft = GraphBar().GetWindowRect();
    EXPECT_GT(atLeft.Height(), atLeft.Width());

    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_GRAPHICSTOOLBAR));
    EXPECT_FALSE(GraphBar().IsWindowVisible());
    EXPECT_FALSE(Checked(CM_GRAPHICSTOOLBAR));
    // Shown again from the menu, it comes back where it was.
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_GRAPHICSTOOLBAR));
    EXPECT_EQ(GraphBar().GetLocation(), alLeft);
    EXPECT_EQ(GraphBar().GetWindowRect(), atLeft);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_GRAPHICSTOOLBAR));
    End();
    EXPECT_EQ(Toolbar(1, "Loc"), "3");
    EXPECT_EQ(SavedRect(1), atLeft);

    Start();
    EXPECT_TRUE(GraphBar().IsWindowVisible());
    EXPECT_EQ(GraphBar().GetLocation(), alLeft);
    EXPECT_EQ(GraphBar().GetWindowRect(), atLeft);
    EXPECT_TRUE(Checked(CM_GRAPHICSTOOLBAR));
}

TEST_F(ToolBarsTest, EditedProfilePlacesStayReachable)
{
    RegisterEverything();
    const TRect desktop = DesktopRect();
    ASSERT_FALSE(desktop.IsEmpty());
    struct Case {
        const char* name;
        std::string loc, left, top, right, bottom;
        TAbsLocation location;
    };
    const Case cases[] = {
        {"location out of range", "7", "0", "0", "0", "0", alTop},
        {"not a number", "left", "0", "0", "0", "0", alTop},
        {"palette off the desktop", "0", "-9000", "-9000", "-8800", "-8970", alNone},
        {"palette larger than the desktop", "0", "10", "10", "100000", "90000", alNone},
        {"rectangle without area", "0", "300", "200", "100", "220", alNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetProfile("TOOLBAR0", "Loc", c.loc);
        SetProfile("TOOLBAR0", "Left", c.left);
        SetProfile("TOOLBAR0", "Top", c.top);
        SetProfile("TOOLBAR0", "Right", c.right);
        SetProfile("TOOLBAR0", "Bottom", c.bottom);
        Start();
        if (c.location == alNone) {
            ASSERT_TRUE(MainBar().IsFloating());
            const TRect palette = MainBar().GetParentO()->GetWindowRect();
            EXPECT_TRUE(desktop.Contains(TopLeft(palette)));
            EXPECT_LE(palette.right, desktop.right);
            EXPECT_LE(palette.bottom, desktop.bottom);
        } else {
            EXPECT_EQ(MainBar().GetLocation(), c.location);
        }
        End();
    }
}

TEST_F(ToolBarsTest, ToolLevelsPutTheGroupsOnInOrder)
{
    RegisterGraphicsTools();
    TGraphToolBar bar(nullptr);
    ASSERT_EQ(GroupIds(bar, {0}), (std::vector<int>{306, 0, 308, 1101}));
    ASSERT_EQ(GroupIds(bar, {4}), (std::vector<int>{0, 19973, 8977, 19975, 0, 19974, 8978, 19976}));

    struct Case {
        int from;
        int to;
        std::initializer_list<int> groups;
    };
    const Case cases[] = {
        {0, 2, {0, 1, 2, 4}}, {2, 1, {0, 1, 4}}, {3, 0, {0}},       {1, 3, {0, 1, 2, 3, 4}},
        {3, 2, {0, 1, 2, 4}}, {0, 0, {0}},       {2, 2, {0, 1, 2, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.to));
        bar.SetToolLevel(0, false);
        bar.SetToolLevel(c.from, true);
        bar.SetToolLevel(c.to, false);
        EXPECT_EQ(bar.GetToolLevel(), c.to);
        EXPECT_EQ(GadgetIds(bar), GroupIds(bar, c.groups));
    }
}

TEST_F(ToolBarsTest, PanelType9ShowsItsToolsAndNoTouchTools)
{
    RegisterEverything();
    MakeLastProject("TYPE9", 9);
    Start();
    EXPECT_EQ(GraphBar().GetToolLevel(), 2);
    const std::vector<int> expected{306,   0,     308,   1101,  10109, 9561, 0,     10114, 21402, 21401, 21400,
                                    0,     3111,  3131,  21200, 10120, 0,    19973, 8977,  19975, 0,     19974,
                                    8978,  19976};
    EXPECT_EQ(GadgetIds(GraphBar()), expected);

    // Another project's panel type changes the level; the base group stays first.
    _QSglobals.GetDatabase().SetPanelType(14);
    Frame().UpdateGraphToolBar(false);
    EXPECT_EQ(GraphBar().GetToolLevel(), 3);
    EXPECT_NE(GraphBar().GadgetWithId(CM_ADDPUSHBUTTON), nullptr);
    _QSglobals.GetDatabase().SetPanelType(5);
    Frame().UpdateGraphToolBar(false);
    EXPECT_EQ(GadgetIds(GraphBar()), (std::vector<int>{306, 0, 308, 1101}));
}

TEST_F(ToolBarsTest, ButtonsWithoutHandlersAreLeftOutWithTheirSeparators)
{
    // The program as it is registered today: the project commands, Transfer
    // and the help topic of the dialog bases; the page editor's tools not yet.
    RegisterProjectCommands();
    RegisterTransferCommand();
    RegisterEditorBases();
    RegisterToolBarCommands();
    driver.OnNextDialog([&](TDialog& dialog) { driver.Click(dialog, IDCANCEL); });  // the New Project at start
    Start();
    driver.ProcessEvents();
    EXPECT_EQ(GadgetIds(MainBar()), (std::vector<int>{3001, 2007, 2017, 0, 9}));
    EXPECT_EQ(MainBar().GetLocation(), alTop);
    EXPECT_FALSE(GraphBar().IsWindowVisible()) << "a bar without buttons is left out";
    EXPECT_TRUE(GraphBar().GetGadgets().empty());
    EXPECT_EQ(driver.MenuItemText(Frame(), CM_MAINTOOLBAR), "&Main Toolbar");
    EXPECT_EQ(Frame().GetMenu()->GetMenuState(CM_GRAPHICSTOOLBAR, MF_BYCOMMAND), static_cast<UINT>(-1))
        << "nor is its View item";
}

TEST_F(ToolBarsTest, SeparatorsThatWouldLeadTrailOrFollowAnotherAreDropped)
{
    RegisterWindowCommand(1);
    RegisterWindowCommand(2);
    const TToolItem items[] = {kToolSeparator, {7, 7}, kToolSeparator, {1, 1}, kToolSeparator, {8, 8},
                               kToolSeparator, {2, 2}, {9, 9},         kToolSeparator};
    EXPECT_EQ(ProvidedToolItems(items), (std::vector<std::size_t>{3, 4, 7}));
    const TToolItem none[] = {kToolSeparator, {7, 7}, kToolSeparator};
    EXPECT_TRUE(ProvidedToolItems(none).empty());
    EXPECT_FALSE(AnyToolProvided(none));
}

// Whether the pixel is pure white or pure black.
bool IsColor(const QImage& image, int x, int y, Qt::GlobalColor color)
{
    return QColor(image.pixel(x, y)) == QColor(color);
}

TEST_F(ToolBarsTest, DockedBarsDrawABorderAndAGripFloatingOnesNeither)
{
    RegisterEverything();
    Start();
    // Along the top: the grip's ridges stand left of the buttons.
    {
        TMainToolBar& bar = MainBar();
        const QImage image = driver.Grab(bar);
        const int left = bar.GetMargins().Left;
        EXPECT_EQ(left, 12);
        const int y = image.height() / 2;
        EXPECT_TRUE(IsColor(image, 0, y, Qt::white));
        EXPECT_TRUE(IsColor(image, image.width() - 1, y, Qt::black));
        EXPECT_TRUE(IsColor(image, left - 7, y, Qt::white));
        EXPECT_TRUE(IsColor(image, left - 6, y, Qt::black));
        EXPECT_TRUE(IsColor(image, left - 4, y, Qt::white));
        EXPECT_TRUE(IsColor(image, left - 3, y, Qt::black));
    }
    // Standing at the left: the grip moves to the top.
    DragBarTo(GraphBar(), {4, 250});
    ASSERT_EQ(GraphBar().GetDirection(), TGadgetWindow::Vertical);
    {
        TGraphToolBar& bar = GraphBar();
        const QImage image = driver.Grab(bar);
        EXPECT_EQ(bar.GetMargins().Left, 5);
        EXPECT_EQ(bar.GetMargins().Top, 2 + 7);
        const int x = image.width() / 2;
        for (auto [y, color] : {std::pair{2, Qt::white}, {3, Qt::black}, {5, Qt::white}, {6, Qt::black}})
            EXPECT_TRUE(IsColor(image, x, y, color)) << "row " << y;
        EXPECT_FALSE(IsColor(image, 3, 2, Qt::white)) << "the ridges run between the side margins";
        EXPECT_TRUE(SaveImage(image, "graphics_toolbar_left"));
    }
    // Floating: no border, no grip, no margin kept for it.
    DragBarTo(MainBar(), {400, 300});
    ASSERT_TRUE(MainBar().IsFloating());
    {
        TMainToolBar& bar = MainBar();
        const QImage image = driver.Grab(bar);
        EXPECT_EQ(bar.GetMargins().Left, 5);
        EXPECT_EQ(bar.GetMargins().Top, 2);
        for (int x = 0; x < 5; ++x)
            EXPECT_FALSE(IsColor(image, x, image.height() / 2, Qt::white)) << "column " << x;
        EXPECT_FALSE(IsColor(image, image.width() - 1, image.height() / 2, Qt::black));
    }
}

TEST_F(ToolBarsTest, ButtonsFollowTheFrameEnablersAndShowHintsAndToolTips)
{
    for (UINT id : {CM_NEWPROJECT, CM_OPENPROJECT, CM_TRANSFER})
        standIns.RegisterCommand(id);
    RegisterToolBarCommands();
    auto button = [&](UINT id) { return dynamic_cast<TButtonGadget*>(MainBar().GadgetWithId(static_cast<int>(id))); };
    auto centre = [&](UINT id) {
        const TRect& b = MainBar().GadgetWithId(static_cast<int>(id))->GetBounds();
        return TPoint((b.left + b.right) / 2, (b.top + b.bottom) / 2);
    };

    Start();
    ASSERT_TRUE(button(CM_NEWPROJECT) && button(CM_OPENPROJECT) && button(CM_TRANSFER));
    driver.Idle(Frame());
    EXPECT_TRUE(button(CM_NEWPROJECT)->GetEnabled());
    EXPECT_TRUE(button(CM_OPENPROJECT)->GetEnabled());
    EXPECT_FALSE(button(CM_TRANSFER)->GetEnabled()) << "no project is open";

    // The hovered button's hint shows in the status line, its tool tip over the bar.
    driver.MouseMove(MainBar(), centre(CM_OPENPROJECT));
    EXPECT_EQ(TStatusLine::GetStatusLine()->GetShownText(), "Open an existing project");
    EXPECT_EQ(MainBar().GetWidget()->toolTip().toStdString(), "Open Project");
    driver.MouseMove(MainBar(), centre(CM_TRANSFER));
    EXPECT_EQ(TStatusLine::GetStatusLine()->GetShownText(), "Download to or upload from the quellstor");

    // A click sends the command to the frame.
    const int runs = standIns.runs[CM_OPENPROJECT];
    driver.ClickAt(MainBar(), centre(CM_OPENPROJECT));
    EXPECT_EQ(standIns.runs[CM_OPENPROJECT], runs + 1);
    End();

    MakeLastProject("OPENED", 9);
    Start();
    driver.Idle(Frame());
    EXPECT_TRUE(button(CM_TRANSFER)->GetEnabled()) << "a project is open";
    EXPECT_TRUE(button(CM_NEWPROJECT)->GetEnabled());
}

// The frame's image with the floating palettes drawn where they are on the screen.
QImage FrameWithPalettes(TTestDriver& driver, TWindow& frame, std::initializer_list<TWindow*> palettes)
{
    QImage image = driver.Grab(frame);
    QPainter painter(&image);
    const TRect frameRect = frame.GetWindowRect();
    for (TWindow* palette : palettes) {
        const TRect rect = palette->GetWindowRect();
        painter.drawImage(rect.left - frameRect.left, rect.top - frameRect.top, driver.Grab(*palette));
    }
    return image;
}

TEST_F(ToolBarsTest, Screenshots)
{
    RegisterEverything();
    MakeLastProject("SHOTS", 14);
    Start();
    ASSERT_EQ(GraphBar().GetToolLevel(), 3);
    // Too long for one row with the main bar: the graphics bar takes a row below it.
    const TPoint below = Harbor().GetEdgeSlip(alTop)->ClientToScreen({0, MainBar().GetWindowRect().Height()});
    Harbor().Insert(GraphBar(), alTop, &below);
    driver.Idle(Frame());
    EXPECT_TRUE(Screenshot(Frame(), "toolbars_docked"));

    DragBarTo(MainBar(), {150, 260});
    ASSERT_TRUE(MainBar().IsFloating());
    driver.Idle(Frame());
    EXPECT_TRUE(SaveImage(FrameWithPalettes(driver, Frame(), {MainBar().GetParentO()}), "toolbars_floating"));
}

}  // namespace
