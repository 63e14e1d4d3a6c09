// Decorated frames with a tool bar and a status bar: panes show texts, the
// message area shows the hint of the menu item or button under the mouse,
// and tool bar buttons are greyed and checked by the command enablers.

#include "platform/gdi/dc.h"
#include "platform/ui/button_gadget.h"
#include "platform/ui/decorated_mdi_frame.h"
#include "platform/ui/hint_text.h"
#include "platform/ui/mdi_child.h"
#include "platform/ui/status_bar.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/text_gadget.h"
#include "platform/ui/window_font.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <map>

namespace {

enum : UINT {
    CM_OPENPROJECT = 2007,
    CM_SAVERECORD = 3002,
    CM_GRID = 21906,
    CM_TRANSFER = 2017,
    IDG_MODEL = 101,
};

const std::map<UINT, std::string> kStrings = {
    {CM_OPENPROJECT, "Open an existing project\nOpen Project"},
    {CM_SAVERECORD, "Save the current record"},
    {CM_GRID, "Snap or free graphics to grid"},
};

class TEditor : public TMDIChild {
public:
    explicit TEditor(TMDIClient& client) : TMDIChild(client, "Graphic Page Editor") {}
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }
    bool modified = false;
    bool gridOn = false;
    int saves = 0;

private:
    void CmSave() { ++saves; }
    void CeSave(TCommandEnabler& ce) { ce.Enable(modified); }
    void CmGrid() { gridOn = !gridOn; }
    void CeGrid(TCommandEnabler& ce) { ce.SetCheck(gridOn ? TCommandEnabler::Checked : TCommandEnabler::Unchecked); }
};

const TResponseTable TEditor::Responses{&TMDIChild::Responses, {
    OnCommand<&TEditor::CmSave>(CM_SAVERECORD),
    OnCommandEnable<&TEditor::CeSave>(CM_SAVERECORD),
    OnCommand<&TEditor::CmGrid>(CM_GRID),
    OnCommandEnable<&TEditor::CeGrid>(CM_GRID),
}};

class TMainFrame : public TDecoratedMDIFrame {
public:
    TMainFrame() : TDecoratedMDIFrame("Plintorvaler 5.20", 991, nullptr, true)
    {
        Attr.W = 640;
        Attr.H = 480;
    }

    TStatusBar* status = nullptr;
    TControlBar* tools = nullptr;
    TTextGadget* model = nullptr;

protected:
    void SetupWindow() override
    {
        TDecoratedMDIFrame::SetupWindow();
        status = new TStatusBar(this, TGadget::Recessed);
        status->Insert(*new TSeparatorGadget(6));
        status->Insert(*new TTextGadget(0, TGadget::None, TTextGadget::Right, 5, "Quellstor"));
        model = new TTextGadget(IDG_MODEL, TGadget::None, TTextGadget::Left, 4);
        status->Insert(*model);
        Insert(*status, Bottom);
        tools = new TControlBar(this);
        tools->Insert(*new TButtonGadget(CM_OPENPROJECT, CM_OPENPROJECT));
        tools->Insert(*new TSeparatorGadget(6));
        tools->Insert(*new TButtonGadget(CM_SAVERECORD, CM_SAVERECORD));
        tools->Insert(*new TButtonGadget(CM_GRID, CM_GRID, TButtonGadget::NonExclusive));
        tools->Insert(*new TButtonGadget(CM_TRANSFER, CM_TRANSFER));
        Insert(*tools, Top);
    }
};

// The program's resources, there before its frame is made.
struct TResources {
    TResources()
    {
        SetHintTextSource([](UINT id) {
            auto it = kStrings.find(id);
            return it == kStrings.end() ? std::string() : it->second;
        });
        RegisterMenuTemplate(991, {
            Popup("&File", {
                MenuItem("Open &Project\tCtrl+O", CM_OPENPROJECT),
                MenuItem("&Save Record\tCtrl+S", CM_SAVERECORD),
            }),
        });
    }
    ~TResources() { SetHintTextSource(nullptr); }
};

class BarsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        driver.Show(frame);
        editor = new TEditor(*frame.GetMDIClient());
        editor->Create();
        driver.ProcessEvents();
    }

    TPoint Centre(int id) const
    {
        const TRect& b = frame.tools->GadgetWithId(id)->GetBounds();
        return {(b.left + b.right) / 2, (b.top + b.bottom) / 2};
    }

    TResources resources;
    TTestDriver driver;
    TMainFrame frame;
    TEditor* editor = nullptr;
};

TEST_F(BarsTest, BarsSitAlongTheEdgesAndTheClientTakesTheRest)
{
    const TRect client = frame.GetClientRect();
    const TRect tools = frame.tools->GetWindowRect();
    const TRect status = frame.status->GetWindowRect();
    const TRect mdi = frame.GetMDIClient()->GetWindowRect();
    EXPECT_EQ(tools.Width(), client.Width());
    EXPECT_EQ(status.Width(), client.Width());
    EXPECT_EQ(mdi.top, tools.bottom);
    EXPECT_EQ(mdi.bottom, status.top);
    EXPECT_EQ(status.bottom - tools.top, client.Height());
    TSize wanted;
    frame.tools->GetDesiredSize(wanted);
    EXPECT_EQ(tools.Height(), wanted.cy);
}

TEST(DecoratedFrameTest, ClientGivenToAShownFrameLeavesTheBarsTheirPlace)
{
    TTestDriver driver;
    TDecoratedFrame frame(nullptr, "Quellstor", nullptr);
    frame.Attr.W = 400;
    frame.Attr.H = 300;
    auto* status = new TStatusBar(&frame);
    frame.Insert(*status, TDecoratedFrame::Bottom);
    driver.Show(frame);

    auto* client = new TWindow(nullptr, "client");
    frame.SetClientWindow(client);
    driver.ProcessEvents();
    const TRect area = client->GetWindowRect();
    EXPECT_EQ(area.top, frame.ClientToScreen({0, 0}).y);
    EXPECT_EQ(area.bottom, status->GetWindowRect().top) << "the client covers the status bar";
    EXPECT_EQ(area.Width(), frame.GetClientRect().Width());
}

TEST_F(BarsTest, PaneShowsItsText)
{
    const QImage before = driver.Grab(*frame.status);
    frame.status->SetPaneText(IDG_MODEL, "RTB");
    EXPECT_EQ(frame.status->GetPaneText(IDG_MODEL), "RTB");
    const QImage after = driver.Grab(*frame.status);
    const TRect& pane = frame.model->GetBounds();
    int changed = 0;
    for (int y = pane.top; y < pane.bottom; ++y) {
        for (int x = pane.left; x < pane.right; ++x)
            changed += before.pixel(x, y) != after.pixel(x, y);
    }
    EXPECT_GT(changed, 0) << "the pane was not repainted with its text";
}

TEST_F(BarsTest, PanesAndTheBarGrowWithTheBarsFont)
{
    const int paneWidth = frame.model->GetBounds().Width();
    const int barHeight = frame.status->GetWindowRect().Height();
    frame.status->SetFont("MS Sans Serif", 16);
    driver.ProcessEvents();
    EXPECT_GT(frame.model->GetBounds().Width(), paneWidth);
    EXPECT_GT(frame.status->GetWindowRect().Height(), barHeight);
    EXPECT_EQ(frame.status->GetWindowRect().bottom, frame.ClientToScreen({0, frame.GetClientRect().bottom}).y)
        << "the frame laid its bars out again";
}

TEST_F(BarsTest, MessageAreaShowsTheHintOfTheHoveredMenuItem)
{
    frame.status->SetText("Ready");
    // Save Record is greyed (nothing to save): its hint shows all the same.
    driver.HoverMenuItem(frame, CM_SAVERECORD);
    EXPECT_EQ(frame.status->GetShownText(), "Save the current record");
    // The tool tip part of the text is not part of the hint.
    driver.HoverMenuItem(frame, CM_OPENPROJECT);
    EXPECT_EQ(frame.status->GetShownText(), "Open an existing project");
    driver.CloseMenus();
    EXPECT_EQ(frame.status->GetShownText(), "Ready");
}

TEST_F(BarsTest, HoveredButtonShowsItsHintAndToolTip)
{
    driver.MouseMove(*frame.tools, Centre(CM_OPENPROJECT));
    EXPECT_EQ(frame.status->GetShownText(), "Open an existing project");
    EXPECT_EQ(frame.tools->GetWidget()->toolTip().toStdString(), "Open Project");
    driver.MouseMove(*frame.tools, Centre(CM_SAVERECORD));
    EXPECT_EQ(frame.status->GetShownText(), "Save the current record");
    EXPECT_EQ(frame.tools->GetWidget()->toolTip().toStdString(), "") << "a hint with no line break has no tool tip";
}

TEST_F(BarsTest, ButtonsAreGreyedAndCheckedByTheEnablersAndSendTheirCommands)
{
    auto* save = dynamic_cast<TButtonGadget*>(frame.tools->GadgetWithId(CM_SAVERECORD));
    auto* grid = dynamic_cast<TButtonGadget*>(frame.tools->GadgetWithId(CM_GRID));
    auto* transfer = dynamic_cast<TButtonGadget*>(frame.tools->GadgetWithId(CM_TRANSFER));
    ASSERT_TRUE(save && grid && transfer);
    EXPECT_FALSE(save->GetEnabled()) << "buttons start greyed";

    driver.Idle(frame);
    EXPECT_FALSE(save->GetEnabled());
    EXPECT_TRUE(grid->GetEnabled());
    EXPECT_FALSE(transfer->GetEnabled()) << "no window on the route carries it out";
    EXPECT_EQ(grid->GetButtonState(), TButtonGadget::Up);

    editor->modified = true;
    editor->gridOn = true;
    driver.Idle(frame);
    EXPECT_TRUE(save->GetEnabled());
    EXPECT_EQ(grid->GetButtonState(), TButtonGadget::Down);

    driver.ClickAt(*frame.tools, Centre(CM_SAVERECORD));
    EXPECT_EQ(editor->saves, 1);
    editor->modified = false;
    driver.Idle(frame);
    driver.ClickAt(*frame.tools, Centre(CM_SAVERECORD));
    EXPECT_EQ(editor->saves, 1) << "a greyed button sends nothing";
    driver.ClickAt(*frame.tools, Centre(CM_GRID));
    EXPECT_FALSE(editor->gridOn);
}

// A gadget that draws with a device context: a black square and the font it got.
class TDCGadget : public TGadget {
public:
    TDCGadget() : TGadget(77, Raised)
    {
        SetShrinkWrap(false, false);
        SetSize({30, 20});
    }
    std::string face;

protected:
    bool DrawsWithDC() const override { return true; }
    void PaintDC(TDC& dc) override
    {
        face = dc.GetFont().FaceName();
        const TRect inner = GetInnerRect();
        dc.FillRect(inner, TBrush(TColor::Black));
    }
};

TEST_F(BarsTest, GadgetDrawsWithADeviceContextOverItsBorderInTheBarsFont)
{
    auto* gadget = new TDCGadget;
    frame.status->Insert(*gadget);
    driver.ProcessEvents();
    const QImage image = driver.Grab(*frame.status);
    const TRect& b = gadget->GetBounds();
    EXPECT_EQ(QColor(image.pixel(b.left + 5, b.top + 5)), QColor(Qt::black));
    EXPECT_NE(QColor(image.pixel(b.left, b.top)), QColor(Qt::black)) << "the border is the gadget's own";
    EXPECT_EQ(gadget->face, GetWindowFont(frame.status->GetHandle()).FaceName());
    EXPECT_FALSE(gadget->face.empty());
}

// An MDI child with bars of its own, as the graphic page editor is.
class TDecoratedChild : public TMDIChild, public TDecoratedFrame {
public:
    TDecoratedChild(TMDIClient& client, TWindow* canvas)
        : TMDIChild(client, "Graphic Page Editor", canvas), TDecoratedFrame(&client, "Graphic Page Editor", canvas)
    {
        Attr.W = 400;
        Attr.H = 300;
        tools = new TControlBar(this);
        tools->Insert(*new TButtonGadget(CM_GRID, CM_GRID));
        Insert(*tools, Top);
    }
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }
    TControlBar* tools;
};

const TResponseTable TDecoratedChild::Responses{&TDecoratedFrame::Responses, &TMDIChild::Responses, {}};

TEST_F(BarsTest, ChildWithItsOwnBarsLaysThemOutAroundItsClient)
{
    auto* canvas = new TWindow(nullptr, "canvas");
    auto* child = new TDecoratedChild(*frame.GetMDIClient(), canvas);
    child->Create();
    driver.ProcessEvents();
    const TRect client = child->GetClientRect();
    EXPECT_EQ(child->tools->GetWindowRect().Width(), client.Width());
    EXPECT_EQ(canvas->GetWindowRect().top, child->tools->GetWindowRect().bottom);
    EXPECT_EQ(canvas->GetWindowRect().bottom, child->ClientToScreen({0, client.bottom}).y);
    EXPECT_EQ(frame.GetMDIClient()->GetActiveMDIChild(), child);
    // Its button asks the route through the child, like the frame's own.
    auto* grid = dynamic_cast<TButtonGadget*>(child->tools->GadgetWithId(CM_GRID));
    driver.Idle(*child);
    EXPECT_FALSE(grid->GetEnabled()) << "the child carries no grid command";
}

}  // namespace
