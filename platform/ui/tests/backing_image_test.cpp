#include "platform/ui/backing_image.h"

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/window_dc.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window.h"
#include "platform/ui/window_surface.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace {

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);

// A window keeping a backing image. Each paint fills what it is asked to
// paint with the colour of the moment and notes the area, so a test sees
// which pixels were painted again and which kept their old colour.
class TBackedWindow : public TWindow {
public:
    explicit TBackedWindow(bool keep = true) : TWindow(nullptr, "backed")
    {
        Attr.W = 120;
        Attr.H = 80;
        KeepBackingImage(*this, keep);
    }
    TColor colour = TColor(255, 0, 0);
    bool fill = true;
    std::vector<TRect> painted;
    std::vector<bool> erased;

    void Paint(TDC& dc, bool erase, TRect& rect) override
    {
        painted.push_back(rect);
        erased.push_back(erase);
        if (fill)
            dc.FillRect(TRect(0, 0, 1000, 1000), TBrush(colour));
    }
};

QImage Image(TWindow& window)
{
    TBackingImage* backing = GetBackingImage(window);
    return backing ? backing->Image().copy() : QImage();
}

class BackingImage : public ::testing::Test {
protected:
    TTestDriver driver;
};

TEST_F(BackingImage, PaintRequestsDrawIntoTheImageAndTheScreenShowsACopy)
{
    TBackedWindow window;
    driver.Show(window);
    const QImage shown = driver.Grab(window);
    ASSERT_EQ(window.painted.size(), 1u);
    EXPECT_EQ(window.painted[0], TRect(0, 0, 120, 80));
    EXPECT_EQ(shown.pixel(60, 40), kRed);

    // The screen is copied from the image: showing it again paints nothing.
    driver.Grab(window);
    EXPECT_EQ(window.painted.size(), 1u);

    // Only the invalid area is painted again; the rest keeps its pixels.
    window.colour = TColor(0, 0, 255);
    window.InvalidateRect(TRect(10, 10, 30, 20));
    window.UpdateWindow();
    ASSERT_EQ(window.painted.size(), 2u);
    EXPECT_EQ(window.painted[1], TRect(10, 10, 30, 20));
    const QImage image = Image(window);
    EXPECT_EQ(image.pixel(10, 10), kBlue);
    EXPECT_EQ(image.pixel(29, 19), kBlue);
    EXPECT_EQ(image.pixel(30, 19), kRed);
    EXPECT_EQ(image.pixel(29, 20), kRed);
    EXPECT_EQ(driver.Grab(window), image.convertToFormat(driver.Grab(window).format()));
}

TEST_F(BackingImage, EraseFillsTheBackgroundOnlyWhenAsked)
{
    TBackedWindow window;
    driver.Show(window);
    driver.Grab(window);
    const QRgb background = window.GetClientWidget()->palette().color(QPalette::Window).rgb();
    ASSERT_NE(background, kRed);

    window.fill = false;
    window.InvalidateRect(TRect(0, 0, 20, 20), false);
    window.UpdateWindow();
    EXPECT_EQ(Image(window).pixel(5, 5), kRed);
    EXPECT_FALSE(window.erased.back());

    window.InvalidateRect(TRect(0, 0, 20, 20), true);
    window.UpdateWindow();
    EXPECT_EQ(Image(window).pixel(5, 5), background);
    EXPECT_EQ(Image(window).pixel(25, 5), kRed);
    EXPECT_TRUE(window.erased.back());
}

TEST_F(BackingImage, ANewSizePaintsTheWholeImageAgain)
{
    TBackedWindow window;
    driver.Show(window);
    driver.Grab(window);
    window.colour = TColor(0, 0, 255);
    window.MoveWindow(0, 0, 200, 150, true);
    const QImage shown = driver.Grab(window);
    const TRect client = window.GetClientRect();
    ASSERT_GT(client.Width(), 120);
    EXPECT_EQ(window.painted.back(), client);
    EXPECT_EQ(Image(window).size(), QSize(client.Width(), client.Height()));
    EXPECT_EQ(shown.pixel(5, 5), kBlue);
    EXPECT_EQ(shown.pixel(client.right - 1, client.bottom - 1), kBlue);
}

TEST_F(BackingImage, AClientContextDrawsOutsidePaintAndXorTwiceGivesBackEveryPixel)
{
    TBackedWindow window;
    driver.Show(window);
    driver.Grab(window);
    // Something of every kind under the outline: the colours must come back exactly.
    {
        TClientDC dc(window.GetHandle());
        dc.FillRect(TRect(40, 20, 80, 60), TBrush(TColor(0, 128, 64)));
    }
    const QImage before = Image(window);
    const std::size_t paints = window.painted.size();

    auto outline = [&](TPoint at) {
        TClientDC dc(window.GetHandle());
        ASSERT_TRUE(dc.IsOK());
        TPen pen(TColor(255, 255, 255), 1, PS_DOT);
        dc.SelectObject(pen);
        dc.SelectStockObject(NULL_BRUSH);
        dc.SetROP2(R2_XORPEN);
        dc.Rectangle(TRect(at.x, at.y, at.x + 30, at.y + 25));
    };
    outline(TPoint(5, 5));
    EXPECT_NE(Image(window), before);
    // The outline reaches the screen by copying, not by painting.
    EXPECT_NE(driver.Grab(window).pixel(5, 5), before.pixel(5, 5));
    // Fifty steps of a drag: erase at the previous point, draw at the next.
    TPoint previous(5, 5);
    for (int i = 1; i <= 50; ++i) {
        const TPoint next(5 + i, 5 + (i * 7) % 40);
        outline(previous);
        outline(next);
        previous = next;
    }
    outline(previous);
    EXPECT_EQ(Image(window), before);
    EXPECT_EQ(window.painted.size(), paints);
    EXPECT_EQ(driver.Grab(window).pixel(5, 5), before.pixel(5, 5));
}

TEST_F(BackingImage, AClientContextPaintsWhatWaitsFirst)
{
    // An outline drawn over an area that was still to be painted would be
    // painted over later, and erasing it would then leave a trace.
    TBackedWindow window;
    driver.Show(window);
    driver.Grab(window);
    window.colour = TColor(0, 0, 255);
    window.InvalidateRect(TRect(0, 0, 50, 50));
    {
        TClientDC dc(window.GetHandle());
        EXPECT_EQ(dc.GetPixel(10, 10), TColor(0, 0, 255));
        dc.SetPixel(10, 10, TColor(0, 255, 0));
    }
    driver.Grab(window);
    EXPECT_EQ(Image(window).pixel(10, 10), qRgb(0, 255, 0));
}

TEST_F(BackingImage, ScrollingMovesTheImagePixels)
{
    TBackedWindow window;
    driver.Show(window);
    driver.Grab(window);
    {
        TClientDC dc(window.GetHandle());
        dc.SetPixel(10, 10, TColor(0, 255, 0));
    }
    window.fill = false;
    TRect uncovered;
    ScrollWindowEx(window.GetHandle(), 0, 3, nullptr, nullptr, nullptr, &uncovered, SW_INVALIDATE);
    window.UpdateWindow();
    EXPECT_EQ(Image(window).pixel(10, 13), qRgb(0, 255, 0));
    EXPECT_EQ(Image(window).pixel(10, 10), kRed);
    EXPECT_EQ(uncovered, TRect(0, 0, 120, 3));
    EXPECT_EQ(window.painted.back(), uncovered);
}

TEST_F(BackingImage, AClientContextOnAnyOtherWindowOnlyAnswersQuestions)
{
    struct Case {
        const char* what;
        bool keep;
        bool create;
        TSize size;
    };
    const Case cases[] = {
        {"a window without a backing image", false, true, TSize(120, 80)},
        {"a window not yet made", true, false, TSize(0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TBackedWindow window(c.keep);
        if (c.create)
            driver.Show(window);
        TClientDC dc(window.GetHandle());
        EXPECT_EQ(dc.GetImage(), nullptr);
        EXPECT_EQ(dc.GetDeviceCaps(HORZRES), c.size.cx);
        EXPECT_EQ(dc.GetDeviceCaps(VERTRES), c.size.cy);
        // Conversions still work, so a window can map points without painting.
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(TSize(2400, 1600));
        dc.SetViewportExt(TSize(120, 80));
        TPoint p(60, 40);
        dc.DPtoLP(&p);
        EXPECT_EQ(p, TPoint(1200, 800));
    }
}

TEST_F(BackingImage, NothingIsPaintedIntoTheImageWhileRedrawIsOff)
{
    // A printout resizes a window with its drawing off and paints it itself.
    TBackedWindow window;
    driver.Show(window);
    driver.Grab(window);
    const std::size_t paints = window.painted.size();
    window.SendMessage(WM_SETREDRAW, 0);
    window.colour = TColor(0, 0, 255);
    window.InvalidateRect(TRect(0, 0, 20, 20));
    window.UpdateWindow();
    {
        TClientDC dc(window.GetHandle());
        EXPECT_EQ(dc.GetPixel(5, 5), TColor(255, 0, 0)) << "what the image held";
    }
    driver.ProcessEvents();
    EXPECT_EQ(window.painted.size(), paints);
    window.SendMessage(WM_SETREDRAW, 1);
    EXPECT_EQ(driver.Grab(window).pixel(5, 5), kBlue);
}

TEST_F(BackingImage, AHiddenWindowIsPaintedIntoItsImageOnUpdate)
{
    TBackedWindow window;
    window.Create();
    window.MoveWindow(0, 0, 60, 40);
    window.UpdateWindow();
    ASSERT_EQ(window.painted.size(), 1u);
    EXPECT_EQ(Image(window).pixel(30, 20), kRed);
}

}  // namespace
