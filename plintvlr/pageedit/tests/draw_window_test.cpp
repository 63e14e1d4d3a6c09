// The page canvas: its mapping of the panel screen onto the client area,
// painting into an image, and loading and saving through its model.

#include "plintvlr/pageedit/tests/draw_window_fixture.h"

#include "plintvlr/elements/palette.h"
#include "platform/gdi/dc.h"

#include <gtest/gtest.h>

namespace {

constexpr int kPage = SizeRectManager::kPageMode;

class DrawWindowTest : public CanvasFixture {};

QRgb Rgb(TColor color)
{
    return qRgb(color.Red(), color.Green(), color.Blue());
}

TEST_F(DrawWindowTest, DevicePointsBecomeWholePixelsOfThePage)
{
    DrawWindow& canvas = OpenCanvas(9);
    const int h = canvas.GetScreenSize().cy;
    struct Case {
        int scale;
        TPoint device;
        TPoint page;
        TPoint panel;
    };
    const Case cases[] = {
        {1, {0, 0}, {0, 0}, {0, h}},
        {1, {3, 5}, {60, 100}, {3, h - 5}},
        {1, {0, h - 1}, {0, (h - 1) * 20}, {0, 1}},
        // Two device pixels a panel pixel: odd ones fall to the pixel left of and above them.
        {2, {3, 5}, {20, 40}, {1, h - 2}},
        {2, {1, 1}, {0, 0}, {0, h}},
        {2, {4, 2 * h - 1}, {40, (h - 1) * 20}, {2, 1}},
    };
    for (const Case& c : cases) {
        SetScale(c.scale);
        const TPoint page = canvas.DeviceToPagePoint(c.device);
        EXPECT_EQ(page, c.page) << c.scale << " x at " << c.device.x << "," << c.device.y;
        EXPECT_EQ(canvas.PageToPanel(page), c.panel) << c.scale << " x at " << c.device.x << "," << c.device.y;
    }
}

TEST_F(DrawWindowTest, RectanglesConvertBothWaysAtEverySize)
{
    DrawWindow& canvas = OpenCanvas(14);
    const TRect page(200, 400, 1000, 620);
    for (int scale : {1, 2, 3}) {
        SetScale(scale);
        const TRect device = canvas.LogicalToDeviceRect(page);
        EXPECT_EQ(device, TRect(10 * scale, 20 * scale, 50 * scale, 31 * scale)) << scale;
        EXPECT_EQ(canvas.DeviceToLogicalRect(device), page) << scale;
        // The whole client area is the whole screen.
        const TSize screen = canvas.GetScreenSize();
        EXPECT_EQ(canvas.DeviceToLogicalRect(canvas.GetClientRect()), TRect(0, 0, screen.cx * 20, screen.cy * 20));
    }
    EXPECT_EQ(DrawWindow::PageSizeToPixels(TSize(29, 30)), TSize(1, 2));
}

TEST_F(DrawWindowTest, TheBackgroundFollowsThePanelAndThePageColour)
{
    OpenCanvas(9);
    EXPECT_EQ(PaintCanvas().pixel(1, 1), qRgb(255, 255, 255));
    OpenCanvas(5, 1, "COLOUR");
    EXPECT_EQ(PaintCanvas().pixel(1, 1), qRgb(0, 0, 0));
    // A page colour sets the background and marks the page changed.
    Model().SetModified(false);
    CanvasWindow().SetBackgroundColor(4);
    EXPECT_EQ(PaintCanvas().pixel(1, 1), Rgb(PaletteColor(4)));
    EXPECT_TRUE(Model().IsModified());
    Model().SetModified(false);
    CanvasWindow().SetBackgroundColor(4);
    EXPECT_FALSE(Model().IsModified());
}

TEST_F(DrawWindowTest, ALoadedPageIsPaintedAndSavedBack)
{
    DrawWindow& canvas = OpenCanvas(9);
    Page(5, {records::kLine});
    EXPECT_EQ(canvas.LoadPage(kPage, 5), 5);
    ASSERT_EQ(Model().GetElements().Count(), 1);
    EXPECT_EQ(canvas.GetTool(), 306u);

    // The line from (10, 20) to (50, 31), counted from the bottom of the
    // 48-pixel screen, in black on white at both sizes, nothing else.
    for (int scale : {1, 2}) {
        SetScale(scale);
        const QImage image = PaintCanvas();
        const TRect line(9 * scale, 16 * scale, 52 * scale, 31 * scale);
        int inside = 0;
        int outside = 0;
        int others = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) == qRgb(0, 0, 0))
                    ++(line.Contains(TPoint(x, y)) ? inside : outside);
                else if (image.pixel(x, y) != qRgb(255, 255, 255))
                    ++others;
            }
        }
        EXPECT_GE(inside, 40 * scale) << scale;
        EXPECT_EQ(outside, 0) << scale;
        EXPECT_EQ(others, 0) << scale;
    }

    Model().SetModified();
    EXPECT_TRUE(canvas.SavePage(kPage, 6));
    EXPECT_EQ(StoredPage(6), StoredPage(5).replace(0, 2, "06"));
}

// An element that counts how often it is drawn.
class CountedElement : public SizeRect {
public:
    CountedElement(const TPoint& a, const TPoint& b, int& draws) : SizeRect(a, b), draws_(draws) {}
    void Draw(TDC&) override { ++draws_; }

private:
    int& draws_;
};

TEST_F(DrawWindowTest, PaintingAnAreaDrawsOnlyTheElementsThatReachIt)
{
    DrawWindow& canvas = OpenCanvas(14, 2);
    int left = 0;
    int right = 0;
    Model().AddElement(std::make_unique<CountedElement>(TPoint(200, 200), TPoint(600, 600), left));
    Model().AddElement(std::make_unique<CountedElement>(TPoint(3000, 200), TPoint(3400, 600), right));
    const TRect client = canvas.GetClientRect();
    QImage image(client.Width(), client.Height(), QImage::Format_RGB32);
    TDC dc(image);
    // The left element's area only, in window pixels.
    dc.IntersectClipRect(canvas.LogicalToDeviceRect(TRect(200, 200, 600, 600)));
    TRect area = client;
    canvas.Paint(dc, true, area);
    EXPECT_EQ(left, 1);
    EXPECT_EQ(right, 0);
    // Unclipped, both.
    TDC whole(image);
    canvas.Paint(whole, true, area);
    EXPECT_EQ(left, 2);
    EXPECT_EQ(right, 1);
}

}  // namespace
