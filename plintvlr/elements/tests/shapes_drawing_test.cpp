// Pixels of the shape elements at one and two device pixels per panel
// pixel, expected from how each figure is drawn, and a screenshot of them.

#include "platform/gdi/tests/gdi_test_util.h"
#include "plintvlr/elements/tests/element_test_util.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/image_print_dc.h"
#include "plintvlr/elements/lines_elem.h"
#include "plintvlr/elements/palette.h"

#include <QDir>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

QRgb Rgb(TColor c)
{
    return qRgb(c.Red(), c.Green(), c.Blue());
}

const QRgb kPaper = 0xFFFFFFFFu;

// Page units drawn at `scale` device pixels per panel pixel.
void MapPageUnits(TDC& dc, int scale)
{
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(TSize(kUnitsPerPixel, kUnitsPerPixel));
    dc.SetViewportExt(TSize(scale, scale));
}

void Save(const QImage& image, const std::string& name)
{
    QDir().mkpath(PLV_SCREENSHOT_DIR);
    image.save(QString::fromStdString(std::string(PLV_SCREENSHOT_DIR) + "/" + name + ".png"));
}

// The device pixel in the middle of panel pixel (x, y).
QRgb PanelPixel(const QImage& image, int x, int y, int scale)
{
    return image.pixel(x * scale + scale / 2, y * scale + scale / 2) | 0xFF000000u;
}

void Paint(SizeRect& element, QImage& image, int scale)
{
    TDC dc(image);
    MapPageUnits(dc, scale);
    element.Draw(dc);
}

std::unique_ptr<LinesElem> Lines(std::vector<TPoint> points, int colour, bool closed)
{
    auto element = std::make_unique<LinesElem>(points);
    element->GetColors().SetColorIndex(0, colour);
    element->SetFilled(closed);
    return element;
}

// A pentagram drawn point to point round a 400-unit box: under alternate
// fill its inner pentagon stays empty.
std::vector<TPoint> Pentagram()
{
    return {{200, 0}, {318, 362}, {10, 138}, {390, 138}, {82, 362}};
}

}  // namespace

TEST(LinesDrawing, AnOpenLineIsAsThickAsItsWidthAtEachScale)
{
    PanelScope panel(kColorPanel);
    auto line = Lines({{40, 100}, {240, 100}}, kRed, false);
    line->SetLineWidth(3);
    ASSERT_EQ(line->GetNodes()[0].y, 110);  // a pen 60 units high round 5.5 pixels
    for (int scale : {1, 2}) {
        QImage image = Canvas(16 * scale, 12 * scale);
        Paint(*line, image, scale);
        // One run of 3 pixels per scale across the middle of the line.
        std::string column;
        for (int y = 0; y < 12 * scale; ++y)
            column += (image.pixel(6 * scale, y) | 0xFF000000u) == Rgb(PaletteColor(kRed)) ? '#' : '.';
        EXPECT_EQ(column.find('#'), column.rfind('#') + 1 - 3 * scale) << column;
        EXPECT_EQ(std::count(column.begin(), column.end(), '#'), 3 * scale) << column;
        EXPECT_NEAR(static_cast<double>(column.find('#')) / scale, 4.5, 0.5) << column;
    }
}

TEST(LinesDrawing, AShapeFillsItsPolygonInAlternateMode)
{
    PanelScope panel(kColorPanel);
    auto star = Lines(Pentagram(), kBlue, true);
    const QRgb blue = Rgb(PaletteColor(kBlue));
    for (int scale : {1, 2}) {
        QImage image = Canvas(24 * scale, 24 * scale);
        Paint(*star, image, scale);
        EXPECT_EQ(PanelPixel(image, 10, 4, scale), blue) << scale;   // the top tip
        EXPECT_EQ(PanelPixel(image, 3, 7, scale), blue) << scale;    // the left tip
        EXPECT_EQ(PanelPixel(image, 10, 10, scale), kPaper) << scale;  // the inner pentagon
        EXPECT_EQ(PanelPixel(image, 2, 16, scale), kPaper) << scale;   // outside
    }
    // A triangle: inside filled, outside not.
    auto triangle = Lines({{0, 0}, {400, 400}, {0, 400}}, kBlue, true);
    QImage image = Canvas(24, 24);
    Paint(*triangle, image, 1);
    EXPECT_EQ(PanelPixel(image, 3, 15, 1), blue);
    EXPECT_EQ(PanelPixel(image, 15, 3, 1), kPaper);
}

TEST(LinesDrawing, AShapeIsFilledOnlyToItsFillRectangle)
{
    PanelScope panel(kColorPanel);
    auto square = Lines({{0, 0}, {400, 0}, {400, 400}, {0, 400}}, kGreen, true);
    square->GetDynFill() = TDynFill(5, 0);
    square->StartAnimation();
    for (int i = 0; i < 10; ++i)
        square->AnimateStep();
    ASSERT_EQ(square->GetAnimationStep(), 10);
    const TRect fill = square->GetDynFill().GetFillRect(*square, 10);
    ASSERT_FALSE(fill.IsEmpty());
    ASSERT_NE(fill, square->GetRect());
    QImage image = Canvas(24, 24);
    Paint(*square, image, 1);
    const QRgb green = Rgb(PaletteColor(kGreen));
    for (int y = 2; y < 18; ++y)
        for (int x = 2; x < 18; ++x) {
            const TPoint centre(x * 20 + 10, y * 20 + 10);
            EXPECT_EQ(PanelPixel(image, x, y, 1), fill.Contains(centre) ? green : kPaper) << x << "," << y;
        }
}

TEST(LinesDrawing, TheNodeMarkerDrawnTwiceRestoresEveryPixel)
{
    PanelScope panel(kColorPanel);
    auto element = Lines({{40, 40}, {300, 60}, {200, 300}}, kRed, false);
    QImage plain = Canvas(20, 20);
    Paint(*element, plain, 1);
    element->Select(true);
    element->SelectNode(1);
    for (int scale : {1, 2}) {
        QImage image = Canvas(20 * scale, 20 * scale);
        TDC dc(image);
        MapPageUnits(dc, scale);
        element->Draw(dc);
        const QImage once = image.copy();
        element->DrawNodeMarker(dc);
        QImage unmarked = Canvas(20 * scale, 20 * scale);
        {
            TDC plainDc(unmarked);
            MapPageUnits(plainDc, scale);
            element->Select(false);
            element->Draw(plainDc);
            element->Select(true);
            element->SelectNode(1);
        }
        EXPECT_NE(once, unmarked) << scale;
        EXPECT_EQ(image, unmarked) << scale;
    }
}

TEST(LinesDrawing, APrinterPrintsWhiteLinesBlack)
{
    PanelScope panel(kColorPanel);
    auto line = Lines({{40, 100}, {240, 100}}, kWhite, false);
    line->SetLineWidth(3);
    QImage paper = Canvas(160, 120);
    TImagePrintDC printer(paper);
    MapPageUnits(printer, 10);
    line->Draw(printer);
    EXPECT_EQ(paper.pixel(65, 55) | 0xFF000000u, 0xFF000000u);
    QImage screen = Canvas(16, 12, 0xFF0000FFu);
    Paint(*line, screen, 1);
    EXPECT_EQ(PanelPixel(screen, 6, 5, 1), Rgb(PaletteColor(kWhite)));
}
