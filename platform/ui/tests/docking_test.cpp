// Docking tool bars: a bar docks at any edge, floats in a palette, is hidden
// and shown again, and its slips tell where it was when they go away, so a
// program can put it back there.

#include "platform/ui/button_gadget.h"
#include "platform/ui/decorated_frame.h"
#include "platform/ui/dockable_control_bar.h"
#include "platform/ui/edge_slip.h"
#include "platform/ui/floating_slip.h"
#include "platform/ui/harbor.h"
#include "platform/ui/status_bar.h"
#include "platform/ui/testing/test_driver.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct TPlace {
    TAbsLocation location = alNone;
    TRect rect;
};

// Where each bar was when its slip went away.
std::map<const TWindow*, TPlace>& Recorded()
{
    static std::map<const TWindow*, TPlace> places;
    return places;
}

class TRecordingEdgeSlip : public TEdgeSlip {
public:
    using TEdgeSlip::TEdgeSlip;

protected:
    void CleanupWindow() override
    {
        for (TDockableControlBar* bar : GetBars())
            Recorded()[bar] = {GetLocation(), bar->GetWindowRect()};
        TEdgeSlip::CleanupWindow();
    }
};

class TRecordingFloatingSlip : public TFloatingSlip {
public:
    TRecordingFloatingSlip(TWindow* parent, int x, int y, TWindow* bar)
        : TFloatingSlip(parent, x, y, bar), bar_(bar)
    {
    }

protected:
    void CleanupWindow() override
    {
        Recorded()[bar_] = {alNone, GetWindowRect()};
        TFloatingSlip::CleanupWindow();
    }

private:
    TWindow* bar_;
};

class TRecordingHarbor : public THarbor {
public:
    using THarbor::THarbor;

protected:
    TEdgeSlip* CreateEdgeSlip(TDecoratedFrame& frame, TAbsLocation location) override
    {
        return new TRecordingEdgeSlip(frame, location);
    }
    TFloatingSlip* CreateFloatingSlip(TDecoratedFrame& frame, int x, int y, TWindow* bar) override
    {
        return new TRecordingFloatingSlip(&frame, x, y, bar);
    }
};

class TToolBar : public TDockableControlBar {
public:
    TToolBar(TWindow* harbor, const char* caption, int firstId) : TDockableControlBar(harbor)
    {
        SetCaption(caption);
        SetMargins({12, 5, 2, 2});  // the left margin is the grip
        for (int id = firstId; id < firstId + 4; ++id)
            Insert(*new TButtonGadget(id, id));
    }
};

class TFrame : public TDecoratedFrame {
public:
    TFrame() : TDecoratedFrame(nullptr, "Plintorvaler 5.20", new TWindow(nullptr, "client"))
    {
        Attr.W = 640;
        Attr.H = 480;
        GetClientWindow()->Attr.Style |= WS_CHILD;
    }
    TRecordingHarbor* harbor = nullptr;
    TStatusBar* status = nullptr;
    TToolBar* main = nullptr;
    TToolBar* graphics = nullptr;

protected:
    void SetupWindow() override
    {
        TDecoratedFrame::SetupWindow();
        status = new TStatusBar(this);
        Insert(*status, Bottom);
        harbor = new TRecordingHarbor(*this);
        main = new TToolBar(harbor, "Main Toolbar", 3001);
        graphics = new TToolBar(harbor, "Graphics Toolbar", 306);
        harbor->Create();
    }
};

class DockingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Recorded().clear();
        frame = new TFrame;
        driver.Show(*frame);
    }
    void TearDown() override { delete frame; }

    // A point of the frame's client area, in the bar's client coordinates.
    TPoint InBar(TWindow& bar, TPoint frameClient) const
    {
        return bar.ScreenToClient(frame->ClientToScreen(frameClient));
    }

    TTestDriver driver;
    TFrame* frame = nullptr;
};

TEST_F(DockingTest, BarDocksAtAnyEdgeFloatsAndIsPutBackWhereItWas)
{
    TToolBar& bar = *frame->main;
    frame->harbor->Insert(bar, alTop);
    driver.ProcessEvents();
    EXPECT_EQ(bar.GetLocation(), alTop);
    EXPECT_EQ(bar.GetDirection(), TGadgetWindow::Horizontal);
    EXPECT_EQ(frame->GetClientWindow()->GetWindowRect().top, bar.GetWindowRect().bottom)
        << "the client starts below the docked bar";

    // Dragged by its grip to the frame's left edge, it docks there upright.
    const TRect client = frame->GetClientRect();
    driver.Drag(bar, {4, 6}, InBar(bar, {6, client.Height() / 2}));
    EXPECT_EQ(bar.GetLocation(), alLeft);
    EXPECT_EQ(bar.GetDirection(), TGadgetWindow::Vertical);
    EXPECT_GT(bar.GetWindowRect().Height(), bar.GetWindowRect().Width());
    EXPECT_EQ(frame->GetClientWindow()->GetWindowRect().left, bar.GetWindowRect().right);

    // Let go in the middle, it floats in a palette at the drop point.
    const TPoint middle = frame->ClientToScreen({300, 200});
    driver.Drag(bar, {4, 6}, bar.ScreenToClient(middle));
    EXPECT_TRUE(bar.IsFloating());
    EXPECT_EQ(bar.GetLocation(), alNone);
    auto* palette = dynamic_cast<TFloatingSlip*>(bar.GetParentO());
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->GetCaption(), "Main Toolbar");
    const TRect floated = palette->GetWindowRect();
    EXPECT_EQ(TPoint(floated.left, floated.top), TPoint(middle.x - 4, middle.y - 6));
    EXPECT_TRUE(floated.Contains(bar.GetWindowRect())) << "the bar moved into its palette";

    // The palette's close box hides the bar; its place was recorded.
    driver.CloseBox(*palette);
    EXPECT_FALSE(bar.IsWindowVisible());
    ASSERT_EQ(Recorded().count(&bar), 1u);
    EXPECT_EQ(Recorded()[&bar].location, alNone);
    EXPECT_EQ(Recorded()[&bar].rect, floated);

    // Put back at its recorded place, it floats there again.
    const TPoint at(floated.left, floated.top);
    frame->harbor->Insert(bar, alNone, &at);
    driver.ProcessEvents();
    ASSERT_TRUE(bar.IsFloating());
    EXPECT_EQ(dynamic_cast<TFloatingSlip*>(bar.GetParentO())->GetWindowRect(), floated);
}

TEST_F(DockingTest, SlipsRecordTheirBarsWhenTheFrameGoes)
{
    frame->harbor->Insert(*frame->main, alTop);
    frame->harbor->Insert(*frame->graphics, alBottom);
    driver.ProcessEvents();
    const TRect mainRect = frame->main->GetWindowRect();
    const TRect graphicsRect = frame->graphics->GetWindowRect();
    EXPECT_EQ(graphicsRect.bottom, frame->status->GetWindowRect().top) << "docked above the status bar";
    TToolBar* main = frame->main;
    TToolBar* graphics = frame->graphics;
    frame->Destroy();
    EXPECT_EQ(Recorded()[main].location, alTop);
    EXPECT_EQ(Recorded()[main].rect, mainRect);
    EXPECT_EQ(Recorded()[graphics].location, alBottom);
    EXPECT_EQ(Recorded()[graphics].rect, graphicsRect);
}

TEST_F(DockingTest, BarsDockedAtSavedPointsKeepTheirRows)
{
    // The graphics bar was above the main bar: it docks first, at its point,
    // and the main bar goes into a row of its own below it.
    const TPoint top = frame->ClientToScreen({0, 0});
    frame->harbor->Insert(*frame->graphics, alTop, &top);
    const TPoint below(top.x + 30, top.y + frame->graphics->GetWindowRect().Height());
    frame->harbor->Insert(*frame->main, alTop, &below);
    driver.ProcessEvents();
    const TRect g = frame->graphics->GetWindowRect();
    const TRect m = frame->main->GetWindowRect();
    EXPECT_EQ(TPoint(g.left, g.top), top);
    EXPECT_EQ(TPoint(m.left, m.top), below);
    EXPECT_EQ(frame->harbor->GetEdgeSlip(alTop)->GetWindowRect().Height(), g.Height() + m.Height());

    // Hidden, the main bar's row closes up; shown again it comes back.
    frame->harbor->Remove(*frame->main);
    EXPECT_EQ(frame->harbor->GetEdgeSlip(alTop)->GetWindowRect().Height(), g.Height());
    frame->harbor->Insert(*frame->main, alTop, &below);
    EXPECT_TRUE(frame->main->IsWindowVisible());
    EXPECT_EQ(frame->main->GetLocation(), alTop);
    EXPECT_EQ(TPoint(frame->main->GetWindowRect().left, frame->main->GetWindowRect().top), below);
}

TEST_F(DockingTest, FloatingBarTakesAsManyButtonsARowAsItsSizeHolds)
{
    TToolBar& bar = *frame->main;
    const TSize oneRow = bar.MeasureLayout(TGadgetWindow::Rectangular, 0);
    const TSize twoARow = bar.MeasureLayout(TGadgetWindow::Rectangular, 2);
    const TSize oneARow = bar.MeasureLayout(TGadgetWindow::Rectangular, 1);
    ASSERT_LT(twoARow.cx, oneRow.cx);
    ASSERT_GT(twoARow.cy, oneRow.cy);

    struct Case {
        TSize size;
        TSize expected;
    };
    const Case cases[] = {
        {{twoARow.cx + 3, 400}, twoARow},  // room for two, not three
        {{oneRow.cx, 10}, oneRow},         // the whole row fits
        {{0, 0}, oneRow},                  // no size: one row
        {{1, 1}, oneARow},                 // too narrow for anything: one a row
    };
    for (const Case& c : cases) {
        bar.Layout(alNone, c.size);
        const TPoint at = frame->ClientToScreen({200, 150});
        frame->harbor->Insert(bar, alNone, &at);
        driver.ProcessEvents();
        ASSERT_TRUE(bar.IsFloating());
        TSize desired;
        bar.GetDesiredSize(desired);
        EXPECT_EQ(desired, c.expected) << "width " << c.size.cx;
        EXPECT_EQ(bar.GetClientRect().Height(), c.expected.cy) << "the palette fits the bar";
    }

    // Along an edge the edge decides: the size given changes nothing.
    bar.Layout(alLeft, TSize(1000, 10));
    frame->harbor->Insert(bar, alLeft);
    driver.ProcessEvents();
    EXPECT_EQ(bar.GetDirection(), TGadgetWindow::Vertical);
    EXPECT_EQ(bar.GetLocation(), alLeft);
}

}  // namespace
