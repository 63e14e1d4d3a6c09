#include "platform/ui/window_surface.h"

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/region.h"
#include "platform/ui/controls/static.h"
#include "platform/ui/frame_window.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Paints its left half red and its right half blue, and notes every area it
// was asked to paint.
class TStripes : public TWindow {
public:
    TStripes() : TWindow(nullptr, "stripes")
    {
        Attr.W = 100;
        Attr.H = 60;
        label = new TStatic(this, 7, "x", 10, 10, 20, 20);
    }
    TStatic* label;
    std::vector<TRect> painted;

protected:
    void Paint(TDC& dc, bool, TRect& rect) override
    {
        painted.push_back(rect);
        dc.FillRect(TRect(0, 0, 50, 60), TBrush(TColor(255, 0, 0)));
        dc.FillRect(TRect(50, 0, 100, 60), TBrush(TColor(0, 0, 255)));
    }
};

TEST(WindowSurface, ScrollMovesChildrenOnlyWhenAskedAndReportsTheUncoveredArea)
{
    TTestDriver driver;
    TStripes window;
    driver.Show(window);

    TRect uncovered;
    EXPECT_NE(ScrollWindowEx(window.GetHandle(), 0, 5, nullptr, nullptr, nullptr, &uncovered, 0), RGN_ERROR);
    EXPECT_EQ(uncovered, TRect(0, 0, 100, 5));
    EXPECT_EQ(window.label->GetWidget()->pos(), QPoint(10, 10));

    ScrollWindowEx(window.GetHandle(), 0, 5, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE);
    EXPECT_EQ(window.label->GetWidget()->pos(), QPoint(10, 15));
}

TEST(WindowSurface, AFrameScrollsItsClientAreaAndTheChildrenInIt)
{
    TTestDriver driver;
    TFrameWindow frame(nullptr, "frame");
    frame.Attr.W = 200;
    frame.Attr.H = 150;
    auto* label = new TStatic(&frame, 7, "x", 10, 10, 20, 20);
    driver.Show(frame);
    QWidget* client = frame.GetClientWidget();
    const QPoint clientAt = client->pos();

    TRect uncovered;
    ScrollWindowEx(frame.GetHandle(), 0, 5, nullptr, nullptr, nullptr, &uncovered, SW_SCROLLCHILDREN);
    EXPECT_EQ(label->GetWidget()->pos(), QPoint(10, 15));
    EXPECT_EQ(client->pos(), clientAt);  // the client area itself stays in its frame
    EXPECT_EQ(uncovered, TRect(0, 0, client->width(), 5));
}

TEST(WindowSurface, AnInvalidatedRegionIsPaintedAgain)
{
    TTestDriver driver;
    TStripes window;
    driver.Show(window);
    driver.ProcessEvents();
    window.painted.clear();

    TRegion region(TRect(60, 20, 70, 30));
    EXPECT_TRUE(InvalidateRgn(window.GetHandle(), &region, true));
    driver.ProcessEvents();
    ASSERT_FALSE(window.painted.empty());
    EXPECT_TRUE(window.painted.back().Contains(TRect(60, 20, 70, 30)));

    EXPECT_FALSE(InvalidateRgn(nullptr, &region, true));
}

}  // namespace
