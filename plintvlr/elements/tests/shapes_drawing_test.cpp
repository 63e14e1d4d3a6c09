// Pixels of the shape elements at one and two device pixels per panel
// pixel, expected from how each figure is drawn, and a screenshot of them.

#include "platform/gdi/tests/gdi_test_util.h"
#include "plintvlr/elements/tests/element_test_util.h"
#include "plintvlr/elements/tests/extent_check.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/image_print_dc.h"
#include "plintvlr/elements/lines_elem.h"
#include "plintvlr/elements/palette.h"
#include "plintvlr/elements/reg_fig_elem.h"

#include <QDir>

#include <algorithm>
#include <climits>
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

namespace {

std::unique_ptr<TRegFigElem> Frame(const TRect& rect, bool recessed, int width)
{
    auto frame = std::make_unique<TRegFigElem>(TRegFigElem::kFrame, rect.TopLeft(), rect.BottomRight());
    frame->SetFilled(recessed);
    frame->SetLineWidth(width);
    return frame;
}

const std::map<QRgb, char> kShades = {{0xFF808080u, 'd'}, {0xFFC0C0C0u, 'g'}};

}  // namespace

TEST(FrameDrawing2, RaisedAndRecessedOnBothPanelKinds)
{
    const struct {
        int panel;
        bool recessed;
        std::string picture;
    } cases[] = {
        // A monochrome frame of width 1 is drawn as 2, with its outline.
        {kMonoPanel, false, Rows({"#####", "#..##", "#..##", "#####", "#####"})},
        {kMonoPanel, true, Rows({"#####", "#####", "##..#", "##..#", "#####"})},
        {kColorPanel, false, Rows({"....d", ".gggd", ".gggd", ".gggd", "ddddd"})},
        {kColorPanel, true, Rows({"ddddd", "dggg.", "dggg.", "dggg.", "d...."})},
    };
    for (const auto& c : cases) {
        PanelScope panel(c.panel);
        auto frame = Frame(TRect(0, 0, 100, 100), c.recessed, 1);
        for (int scale : {1, 2}) {
            QImage image = Canvas(5 * scale, 5 * scale, 0xFF0000FFu);
            Paint(*frame, image, scale);
            EXPECT_EQ(Picture(image.scaled(5, 5), kShades), c.picture)
                << "panel " << c.panel << (c.recessed ? " recessed" : " raised") << " scale " << scale;
        }
    }
}

TEST(FrameDrawing2, APrinterPrintsAWhiteFrameBlack)
{
    // A white frame on a colour panel's page would vanish on white paper.
    PanelScope panel(kColorPanel);
    auto frame = Frame(TRect(0, 0, 100, 100), false, 1);
    frame->GetColors().SetColorIndex(0, kWhite);
    QImage paper = Canvas(5, 5);
    {
        TImagePrintDC printer(paper);
        MapPageUnits(printer, 1);
        frame->Draw(printer);
    }
    EXPECT_EQ(paper.pixel(2, 2) | 0xFF000000u, 0xFF000000u) << "the face";
    QImage screen = Canvas(5, 5, 0xFF0000FFu);
    Paint(*frame, screen, 1);
    EXPECT_EQ(screen.pixel(2, 2), Rgb(PaletteColor(kWhite))) << "the screen keeps white";
}

TEST(FrameDrawing2, AWideMonochromeFrameOutlinesItsInnerEdge)
{
    PanelScope panel(kMonoPanel);
    auto frame = Frame(TRect(0, 0, 160, 160), false, 3);
    QImage image = Canvas(8, 8, 0xFF0000FFu);
    Paint(*frame, image, 1);
    EXPECT_EQ(Picture(image), Rows({"########", "#.....##", "#.######", "#.#..###", "#.#..###", "#.######",
                                    "########", "########"}));
}

TEST(FrameDrawing2, AHugeSideWidthPaintsAsHalfTheSmallerSide)
{
    PanelScope panel(kColorPanel);
    auto huge = Frame(TRect(0, 0, 200, 120), true, INT_MAX);
    auto half = Frame(TRect(0, 0, 200, 120), true, 3);
    QImage a = Canvas(10, 6);
    QImage b = Canvas(10, 6);
    Paint(*huge, a, 1);
    Paint(*half, b, 1);
    EXPECT_EQ(a, b);
    EXPECT_EQ(huge->GetLineWidth(), INT_MAX);
}

TEST(FrameDrawing2, TheBlinkPhasePaintsTheRectangleOver)
{
    for (int panelType : {kMonoPanel, kColorPanel}) {
        PanelScope panel(panelType);
        auto frame = Frame(TRect(0, 0, 100, 100), false, 1);
        frame->GetColors().SetBackground(kBlue);
        frame->GetDynBlink() = TDynBlink(0, TDynBlink::kAlways);
        frame->StartAnimation();
        frame->AnimateStep();  // step 1: the blink phase
        QImage image = Canvas(5, 5, 0xFF00FF00u);
        Paint(*frame, image, 1);
        const QRgb paper = Rgb(PaletteColor(panelType == kMonoPanel ? kWhite : kBlue));
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(image.pixel(x, y) | 0xFF000000u, paper) << panelType << " " << x << "," << y;
        frame->AnimateStep();  // step 2: the frame again
        Paint(*frame, image, 1);
        const int probe = panelType == kMonoPanel ? 0 : 2;  // the outline, or the face
        EXPECT_NE(image.pixel(probe, probe) | 0xFF000000u, paper) << panelType;
    }
}

TEST(FigureDrawing, OutlinesAndFillsOfRectanglesAndCircles)
{
    for (int panelType : {kMonoPanel, kColorPanel}) {
        PanelScope panel(panelType);
        const int ink = panelType == kMonoPanel ? kBlack : kRed;
        const QRgb red = Rgb(PaletteColor(ink));  // the ink, red or black
        for (int scale : {1, 2}) {
            TRegFigElem rectangle(TRegFigElem::kRectangle, {0, 0}, {200, 200});
            rectangle.GetColors().SetColorIndex(0, ink);
            rectangle.SetLineWidth(2);
            QImage image = Canvas(10 * scale, 10 * scale);
            Paint(rectangle, image, scale);
            // An outline 2 pixels wide inside the rectangle.
            for (int i = 0; i < 10; ++i) {
                EXPECT_EQ(PanelPixel(image, i, 0, scale), red) << scale << " " << i;
                EXPECT_EQ(PanelPixel(image, i, 1, scale), red) << scale << " " << i;
                EXPECT_EQ(PanelPixel(image, 9, i, scale), red) << scale << " " << i;
                EXPECT_EQ(PanelPixel(image, 0, i, scale), red) << scale << " " << i;
            }
            EXPECT_EQ(PanelPixel(image, 2, 2, scale), kPaper) << scale;
            EXPECT_EQ(PanelPixel(image, 5, 5, scale), kPaper) << scale;

            TRegFigElem circle(TRegFigElem::kCircle, {0, 0}, {400, 400});
            circle.GetColors().SetColorIndex(0, ink);
            circle.SetFilled(true);
            QImage disc = Canvas(20 * scale, 20 * scale);
            Paint(circle, disc, scale);
            EXPECT_EQ(PanelPixel(disc, 10, 10, scale), red) << scale;
            EXPECT_EQ(PanelPixel(disc, 2, 10, scale), red) << scale;
            EXPECT_EQ(PanelPixel(disc, 0, 0, scale), kPaper) << scale;
            EXPECT_EQ(PanelPixel(disc, 19, 19, scale), kPaper) << scale;
        }
    }
}

TEST(ElementExtent, AnOutlineOrALineThatSaysItMissesAnAreaSetsNoPixelThere)
{
    // A repaint of a small area skips what only surrounds it: each figure's
    // word is checked against its pixels. Outlines and lines skip some of
    // the areas their rectangle touches (the pentagram its empty middle);
    // a frame paints its face and a filled figure its inside.
    PanelScope panel(kColorPanel);
    struct Case {
        const char* what;
        std::function<std::unique_ptr<SizeRect>()> make;
        bool skipsSome;
    };
    const Case cases[] = {
        {"rectangle", [] {
             auto r = std::make_unique<TRegFigElem>(TRegFigElem::kRectangle, TPoint(60, 40), TPoint(760, 560));
             r->SetLineWidth(2);
             return r;
         }, true},
        {"circle", [] { return std::make_unique<TRegFigElem>(TRegFigElem::kCircle, TPoint(40, 40), TPoint(840, 600)); },
         true},
        {"filled circle", [] {
             auto c = std::make_unique<TRegFigElem>(TRegFigElem::kCircle, TPoint(40, 40), TPoint(840, 600));
             c->SetFilled(true);
             return c;
         }, false},
        {"frame", [] { return Frame(TRect(60, 40, 760, 560), false, 3); }, false},
        {"wide open line", [] {
             auto line = Lines({{40, 60}, {700, 200}, {300, 580}}, kRed, false);
             line->SetLineWidth(3);
             return line;
         }, true},
        {"pentagram", [] { return Lines(Pentagram(), kRed, true); }, true},
    };
    for (const Case& c : cases) {
        for (int scale : {1, 2}) {
            std::unique_ptr<SizeRect> element = c.make();
            element->GetColors().SetColorIndex(0, kRed);
            const int missed = CheckMissedAreasStayBlank(*element, scale, c.what);
            EXPECT_EQ(missed > 0, c.skipsSome) << c.what;
        }
    }
}

TEST(ShapesScreenshot, EveryShapeOnAColourPanel)
{
    PanelScope panel(kColorPanel);
    std::vector<std::unique_ptr<SizeRect>> shapes;
    shapes.push_back(Lines({{200, 200}, {800, 600}, {1400, 240}, {2000, 700}}, kBlue, false));
    static_cast<LinesElem&>(*shapes.back()).SetLineWidth(3);
    std::vector<TPoint> star;
    for (const TPoint& p : Pentagram())
        star.push_back({p.x * 2 + 2200, p.y * 2 + 100});
    shapes.push_back(Lines(star, kMagenta, true));
    auto rectangle = std::make_unique<TRegFigElem>(TRegFigElem::kRectangle, TPoint(200, 1000), TPoint(1000, 1600));
    rectangle->GetColors().SetColorIndex(0, kRed);
    rectangle->SetLineWidth(3);
    shapes.push_back(std::move(rectangle));
    auto circle = std::make_unique<TRegFigElem>(TRegFigElem::kCircle, TPoint(1200, 1000), TPoint(1800, 1600));
    circle->GetColors().SetColorIndex(0, kGreen);
    circle->SetFilled(true);
    shapes.push_back(std::move(circle));
    shapes.push_back(Frame(TRect(2000, 1000, 2600, 1600), false, 4));
    shapes.push_back(Frame(TRect(2700, 1000, 3300, 1600), true, 4));
    auto filling = Lines({{200, 1800}, {1000, 1800}, {1000, 2300}, {200, 2300}}, kCyan, true);
    filling->GetDynFill() = TDynFill(5, 0);
    filling->StartAnimation();
    for (int i = 0; i < 10; ++i)
        filling->AnimateStep();
    shapes.push_back(std::move(filling));
    QImage image = Canvas(170 * 2, 120 * 2);
    for (auto& shape : shapes)
        Paint(*shape, image, 2);
    Save(image, "shapes");
    EXPECT_EQ(PanelPixel(image, 75, 65, 2), Rgb(PaletteColor(kGreen)));
}
