// Primitives, map modes, clipping and binary raster operations of the device
// context, on small images. Expected pixels are drawn out by hand from the
// platform's rules: right and bottom edges of rectangles and ellipses are
// outside, lines leave out their last point, one-pixel pens for width 0/1.

#include "platform/gdi/dc.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/sys_colors.h"
#include "platform/gdi/tests/gdi_test_util.h"

#include <QPainter>
#include <QPalette>

#include <functional>

namespace {

constexpr QRgb kGray = 0xFF808080u;
const std::map<QRgb, char> kWithGray{{kGray, 'g'}};

TEST(DcShapes, RectangleOutlineAndFillLeaveOutRightAndBottomEdges)
{
    QImage image = Canvas(7, 5);
    TDC dc(image);
    dc.SelectObject(TBrush(TColor::Gray));
    EXPECT_TRUE(dc.Rectangle(1, 1, 5, 4));
    EXPECT_EQ(Picture(image, kWithGray), Rows({".......",
                                               ".####..",
                                               ".#gg#..",
                                               ".####..",
                                               "......."}));

    // With a null pen the brush covers the whole rectangle, still without
    // its right and bottom edge; a flipped rectangle is the same rectangle.
    QImage filled = Canvas(7, 5);
    TDC fill(filled);
    fill.SelectStockObject(NULL_PEN);
    fill.SelectStockObject(BLACK_BRUSH);
    fill.Rectangle(5, 4, 1, 1);
    EXPECT_EQ(Picture(filled), Rows({".......",
                                     ".####..",
                                     ".####..",
                                     ".####..",
                                     "......."}));
}

TEST(DcShapes, LinesLeaveOutTheirLastPoint)
{
    QImage image = Canvas(6, 6);
    TDC dc(image);
    dc.MoveTo(0, 0);
    dc.LineTo(4, 0);  // horizontal: 0..3
    dc.MoveTo(0, 1);
    dc.LineTo(3, 4);  // diagonal: (0,1) (1,2) (2,3), not (3,4)
    dc.MoveTo(5, 5);
    dc.LineTo(5, 2);  // upwards: 5, 4, 3, not 2
    EXPECT_EQ(dc.GetCurrentPosition(), TPoint(5, 2));
    EXPECT_EQ(Picture(image), Rows({"####..",
                                    "#.....",
                                    ".#....",
                                    "..#..#",
                                    ".....#",
                                    ".....#"}));
}

TEST(DcShapes, PolylineDrawsEveryJointOnce)
{
    // In XOR a pixel drawn twice would come back white.
    QImage image = Canvas(7, 5);
    TDC dc(image);
    dc.SelectObject(TPen(TColor::White));
    dc.SetROP2(R2_XORPEN);
    const TPoint path[] = {{1, 1}, {5, 1}, {5, 4}, {1, 4}};
    EXPECT_TRUE(dc.Polyline(path, 4));
    EXPECT_EQ(Picture(image), Rows({".......",
                                    ".#####.",
                                    ".....#.",
                                    ".....#.",
                                    "..####."}));
}

TEST(DcShapes, EllipseTouchesEachSideOfItsBox)
{
    // A circle in a 5 x 5 box: the pixels whose centres lie inside it, the
    // outline being those not inside the circle of the box shrunk by one.
    QImage image = Canvas(6, 6);
    TDC dc(image);
    dc.SelectObject(TBrush(TColor::Gray));
    EXPECT_TRUE(dc.Ellipse(0, 0, 5, 5));
    EXPECT_EQ(Picture(image, kWithGray), Rows({".###..",
                                               "#ggg#.",
                                               "#ggg#.",
                                               "#ggg#.",
                                               ".###..",
                                               "......"}));
}

TEST(DcShapes, EllipseIsSymmetricAndStaysInItsBox)
{
    for (const TRect box : {TRect(1, 1, 12, 8), TRect(0, 0, 16, 16), TRect(2, 3, 4, 10), TRect(0, 0, 1, 1)}) {
        QImage image = Canvas(18, 18);
        TDC dc(image);
        dc.SelectStockObject(BLACK_BRUSH);
        dc.Ellipse(box);
        bool left = false, right = false, top = false, bottom = false;
        for (int y = 0; y < 18; ++y) {
            for (int x = 0; x < 18; ++x) {
                const bool on = image.pixel(x, y) == 0xFF000000u;
                if (!on)
                    continue;
                EXPECT_TRUE(box.Contains(TPoint(x, y))) << x << "," << y;
                const int mx = box.left + box.right - 1 - x;
                const int my = box.top + box.bottom - 1 - y;
                EXPECT_EQ(image.pixel(mx, y), 0xFF000000u);
                EXPECT_EQ(image.pixel(x, my), 0xFF000000u);
                left |= x == box.left;
                right |= x == box.right - 1;
                top |= y == box.top;
                bottom |= y == box.bottom - 1;
            }
        }
        EXPECT_TRUE(left && right && top && bottom);
    }
}

TEST(DcShapes, PolygonFillsByTheAlternateOrWindingRule)
{
    QImage image = Canvas(5, 4);
    TDC dc(image);
    dc.SelectStockObject(NULL_PEN);
    dc.SelectStockObject(BLACK_BRUSH);
    // A triangle: pixel centres inside, the slanted edge's right side out.
    const TPoint triangle[] = {{0, 0}, {4, 0}, {0, 4}};
    dc.Polygon(triangle, 3);
    EXPECT_EQ(Picture(image), Rows({"###..",
                                    "##...",
                                    "#....",
                                    "....."}));

    // A square traced twice: alternate leaves it empty, winding fills it.
    const TPoint twice[] = {{0, 0}, {4, 0}, {4, 3}, {0, 3}, {0, 0}, {4, 0}, {4, 3}, {0, 3}};
    QImage alternate = Canvas(5, 4);
    TDC a(alternate);
    a.SelectStockObject(NULL_PEN);
    a.SelectStockObject(BLACK_BRUSH);
    a.Polygon(twice, 8);
    EXPECT_EQ(Picture(alternate), Rows({".....", ".....", ".....", "....."}));
    QImage winding = Canvas(5, 4);
    TDC w(winding);
    w.SelectStockObject(NULL_PEN);
    w.SelectStockObject(BLACK_BRUSH);
    w.SetPolyFillMode(WINDING);
    w.Polygon(twice, 8);
    EXPECT_EQ(Picture(winding), Rows({"####.", "####.", "####.", "....."}));
}

TEST(DcShapes, PenWidthsAndInsideFrame)
{
    for (int width : {0, 1}) {
        QImage image = Canvas(4, 3);
        TDC dc(image);
        dc.SelectObject(TPen(TColor::Black, width));
        dc.SelectObject(TBrush::Hollow());
        dc.Rectangle(0, 0, 4, 3);
        EXPECT_EQ(Picture(image), Rows({"####", "#..#", "####"})) << "width " << width;
    }
    QImage image = Canvas(8, 6);
    TDC dc(image);
    dc.SelectObject(TPen(TColor::Black, 2, PS_INSIDEFRAME));
    dc.SelectObject(TBrush::Hollow());
    dc.Rectangle(0, 0, 6, 5);
    EXPECT_EQ(Picture(image), Rows({"######..",
                                    "######..",
                                    "##..##..",
                                    "######..",
                                    "######..",
                                    "........"}));
}

TEST(DcShapes, FillFrameFocusAndPatBlt)
{
    QImage image = Canvas(8, 6);
    TDC dc(image);
    dc.SetROP2(R2_XORPEN);  // FillRect and FrameRect ignore it
    dc.FillRect(TRect(0, 0, 3, 2), TBrush(TColor::Black));
    dc.FrameRect(TRect(4, 0, 8, 4), TBrush(TColor::Black));
    EXPECT_EQ(Picture(image), Rows({"###.####",
                                    "###.#..#",
                                    "....#..#",
                                    "....####",
                                    "........",
                                    "........"}));
    dc.SelectStockObject(BLACK_BRUSH);
    dc.PatBlt(0, 4, 3, 2, PATINVERT);  // black brush: no change
    dc.PatBlt(0, 0, 2, 1, DSTINVERT);
    dc.PatBlt(5, 4, 2, 2, BLACKNESS);
    EXPECT_EQ(Picture(image), Rows({"..#.####",
                                    "###.#..#",
                                    "....#..#",
                                    "....####",
                                    ".....##.",
                                    ".....##."}));

    // The focus frame: every other pixel of the outline, inverted; again
    // and it is gone.
    QImage focus = Canvas(5, 4);
    const QImage before = focus.copy();
    TDC f(focus);
    f.DrawFocusRect(TRect(0, 0, 5, 4));
    EXPECT_EQ(Picture(focus), Rows({"#.#.#",
                                    ".....",
                                    "#...#",
                                    ".#.#."}));
    f.DrawFocusRect(TRect(0, 0, 5, 4));
    EXPECT_EQ(focus, before);
}

TEST(DcRop2, EveryModeGivesItsBitwiseResult)
{
    const QRgb d = 0xFF3CA50Fu;
    const COLORREF pen = RGB(0x5A, 0xF0, 0x33);
    const std::uint32_t p = 0x5AF033u;
    const std::uint32_t dd = d & 0xFFFFFFu;
    const struct {
        int mode;
        std::uint32_t expected;
    } cases[] = {
        {R2_BLACK, 0},          {R2_NOTMERGEPEN, ~(p | dd)}, {R2_MASKNOTPEN, ~p & dd}, {R2_NOTCOPYPEN, ~p},
        {R2_MASKPENNOT, p & ~dd}, {R2_NOT, ~dd},             {R2_XORPEN, p ^ dd},      {R2_NOTMASKPEN, ~(p & dd)},
        {R2_MASKPEN, p & dd},   {R2_NOTXORPEN, ~(p ^ dd)},   {R2_NOP, dd},             {R2_MERGENOTPEN, ~p | dd},
        {R2_COPYPEN, p},        {R2_MERGEPENNOT, p | ~dd},   {R2_MERGEPEN, p | dd},    {R2_WHITE, 0xFFFFFFu},
    };
    for (const auto& c : cases) {
        QImage image = Canvas(2, 1, d);
        TDC dc(image);
        dc.SelectObject(TPen(TColor(pen)));
        EXPECT_EQ(dc.SetROP2(c.mode), R2_COPYPEN);
        dc.MoveTo(0, 0);
        dc.LineTo(1, 0);
        EXPECT_EQ(image.pixel(0, 0), 0xFF000000u | (c.expected & 0xFFFFFFu)) << "mode " << c.mode;
        EXPECT_EQ(image.pixel(1, 0), d) << "the last point is left out";
    }
}

// A figure of every kind, drawn with the context's raster operation.
void DrawScene(TDC& dc)
{
    dc.SelectObject(TPen(TColor(200, 40, 90), 1, PS_DOT));
    dc.SelectObject(TBrush::Hollow());
    dc.Rectangle(2, 3, 30, 20);
    dc.SelectObject(TPen(TColor(10, 200, 30)));
    dc.SelectObject(TBrush(TColor(90, 90, 250)));
    dc.Ellipse(5, 5, 27, 22);
    const TPoint star[] = {{16, 1}, {22, 28}, {4, 10}, {28, 10}, {10, 28}};
    dc.SetPolyFillMode(WINDING);
    dc.Polygon(star, 5);
    dc.SelectObject(TPen(TColor(255, 255, 0), 3));
    dc.MoveTo(0, 31);
    dc.LineTo(31, 0);
    dc.SelectObject(TPen(TColor(0, 0, 0), 4, PS_INSIDEFRAME));
    dc.Rectangle(8, 8, 20, 16);
    dc.Ellipse(1, 1, 12, 30);
    dc.DrawFocusRect(TRect(3, 3, 29, 29));
}

QImage Pattern()
{
    QImage image = Canvas(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            image.setPixel(x, y, qRgb(x * 8, y * 8, (x ^ y) * 8));
    return image;
}

TEST(DcRop2, XorDrawnTwiceGivesBackEveryPixel)
{
    for (const int mode : {R2_XORPEN, R2_NOTXORPEN, R2_NOT}) {
        QImage image = Pattern();
        const QImage before = image.copy();
        TDC dc(image);
        dc.SetROP2(mode);
        DrawScene(dc);
        EXPECT_NE(image, before);
        DrawScene(dc);
        EXPECT_EQ(image, before) << "mode " << mode;
    }
}

TEST(DcRop2, ThroughAPainterTheSamePixelsAsOnTheImage)
{
    // A painter on a raster device (as in a widget's paint event) must give
    // the pixels that drawing on the image itself gives.
    QImage direct = Pattern();
    QImage painted = Pattern();
    {
        TDC dc(direct);
        dc.SetROP2(R2_XORPEN);
        DrawScene(dc);
        dc.SetROP2(R2_COPYPEN);
        DrawScene(dc);
    }
    {
        QPainter painter(&painted);
        TDC dc(painter);
        dc.SetROP2(R2_XORPEN);
        DrawScene(dc);
        dc.SetROP2(R2_COPYPEN);
        DrawScene(dc);
    }
    EXPECT_EQ(painted, direct);
}

TEST(DcMapping, AnisotropicPageUnits)
{
    // The page canvas's mapping: 20 logical units to a pixel.
    QImage image = Canvas(7, 5);
    TDC dc(image);
    EXPECT_EQ(dc.SetMapMode(MM_ANISOTROPIC), MM_TEXT);
    EXPECT_TRUE(dc.SetWindowExt(TSize(140, 100)));
    EXPECT_TRUE(dc.SetViewportExt(TSize(7, 5)));
    dc.SelectObject(TPen(TColor::Black, 20));
    dc.SelectObject(TBrush(TColor::Gray));
    dc.Rectangle(20, 20, 100, 80);
    EXPECT_EQ(Picture(image, kWithGray), Rows({".......",
                                               ".####..",
                                               ".#gg#..",
                                               ".####..",
                                               "......."}));
    TPoint p[] = {{30, 50}, {-10, 9}, {10, 10}};
    dc.LPtoDP(p, 3);
    EXPECT_EQ(p[0], TPoint(2, 3)) << "1.5 rounds away from zero";
    EXPECT_EQ(p[1], TPoint(-1, 0));
    EXPECT_EQ(p[2], TPoint(1, 1));
    TPoint q[] = {{3, 2}};
    dc.DPtoLP(q);
    EXPECT_EQ(q[0], TPoint(60, 40));
    TRect r(1, 1, 5, 4);
    dc.DPtoLP(r);
    EXPECT_EQ(r, TRect(20, 20, 100, 80));

    // A pen of 40 units is two pixels; extents do nothing outside MM_ANISOTROPIC.
    dc.SetMapMode(MM_TEXT);
    EXPECT_FALSE(dc.SetWindowExt(TSize(5, 5)));
    EXPECT_EQ(dc.GetWindowExt(), TSize(1, 1));
}

TEST(DcMapping, YUpwardsWithOriginsAndLowEnglish)
{
    // y counted up from the bottom: the line still leaves out its last point.
    QImage image = Canvas(3, 5);
    TDC dc(image);
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(TSize(1, 1));
    dc.SetViewportExt(TSize(1, -1));
    dc.SetViewportOrg(TPoint(0, 4));
    dc.MoveTo(1, 0);
    dc.LineTo(1, 3);
    EXPECT_EQ(Picture(image), Rows({"...", "...", ".#.", ".#.", ".#."}));

    // Hundredths of an inch, y up, on a 96-pixel-per-inch device; switching
    // to anisotropic keeps the extents.
    QImage page = Canvas(200, 200);
    TDC english(page);
    english.SetMapMode(MM_LOENGLISH);
    TPoint p[] = {{100, -100}, {50, -50}, {0, 0}};
    english.LPtoDP(p, 3);
    EXPECT_EQ(p[0], TPoint(96, 96));
    EXPECT_EQ(p[1], TPoint(48, 48));
    EXPECT_EQ(p[2], TPoint(0, 0));
    const TSize window = english.GetWindowExt();
    english.SetMapMode(MM_ANISOTROPIC);
    EXPECT_EQ(english.GetWindowExt(), window);
    TSize viewport = english.GetViewportExt();
    viewport.cy = -viewport.cy;
    english.SetViewportExt(viewport);
    TPoint down[] = {{100, 100}};
    english.LPtoDP(down);
    EXPECT_EQ(down[0], TPoint(96, 96));
}

TEST(DcClip, ClipRegionsAreDeviceUnitsAndClipRectsLogical)
{
    QImage image = Canvas(6, 4);
    TDC dc(image);
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(TSize(20, 20));
    dc.SetViewportExt(TSize(1, 1));
    EXPECT_EQ(dc.SelectClipRgn(TRegion(TRect(1, 1, 3, 3))), SIMPLEREGION);
    dc.FillRect(TRect(0, 0, 120, 80), TBrush(TColor::Black));
    EXPECT_EQ(Picture(image), Rows({"......", ".##...", ".##...", "......"}));
    TRect box;
    EXPECT_EQ(dc.GetClipBox(box), SIMPLEREGION);
    EXPECT_EQ(box, TRect(20, 20, 60, 60));
    EXPECT_TRUE(dc.PtVisible(TPoint(20, 20)));
    EXPECT_FALSE(dc.PtVisible(TPoint(60, 20)));
    EXPECT_TRUE(dc.RectVisible(TRect(40, 40, 100, 80)));
    EXPECT_FALSE(dc.RectVisible(TRect(60, 0, 120, 80))) << "right of the clip";
    EXPECT_FALSE(dc.RectVisible(TRect(30, 30, 30, 50))) << "no pixel";

    dc.RemoveClipRgn();
    dc.IntersectClipRect(TRect(60, 0, 100, 40));  // device columns 3..4, rows 0..1
    dc.ExcludeClipRect(TRect(80, 20, 100, 40));   // not (4, 1)
    dc.FillRect(TRect(0, 0, 120, 80), TBrush(TColor::Black));
    EXPECT_EQ(Picture(image), Rows({"...##.", ".###..", ".##...", "......"}));
}

TEST(DcRegions, ShapesCombineAndFillThroughTheMapping)
{
    const TRegion ellipse(TRect(0, 0, 5, 5), TRegion::Ellipse);
    EXPECT_TRUE(ellipse.Contains(TPoint(0, 2)));
    EXPECT_FALSE(ellipse.Contains(TPoint(0, 0)));
    EXPECT_FALSE(ellipse.Contains(TPoint(5, 2)));
    EXPECT_EQ(ellipse.GetRgnBox(), TRect(0, 0, 5, 5));
    EXPECT_EQ(ellipse.Kind(), COMPLEXREGION);

    TRegion r;
    EXPECT_EQ(CombineRgn(r, TRegion(TRect(0, 0, 4, 4)), TRegion(TRect(2, 2, 6, 6)), RGN_AND), SIMPLEREGION);
    EXPECT_EQ(r.GetRgnBox(), TRect(2, 2, 4, 4));
    EXPECT_EQ(CombineRgn(r, TRegion(TRect(0, 0, 4, 4)), TRegion(TRect(2, 2, 6, 6)), RGN_XOR), COMPLEXREGION);
    EXPECT_FALSE(r.Contains(TPoint(3, 3)));
    EXPECT_TRUE(r.Contains(TPoint(5, 5)));
    EXPECT_EQ(CombineRgn(r, TRegion(TRect(0, 0, 4, 4)), TRegion(TRect(0, 0, 4, 4)), RGN_DIFF), NULLREGION);
    EXPECT_EQ(CombineRgn(r, TRegion(), TRegion(), 99), RGN_ERROR);

    // A polygon region in page units, cut to a rectangle, filled through the
    // canvas mapping: the pixels of the triangle of DcShapes, less row 0.
    const TPoint triangle[] = {{0, 0}, {80, 0}, {0, 80}};
    const TRegion shape = TRegion(triangle, 3, ALTERNATE) & TRegion(TRect(0, 20, 80, 80));
    QImage image = Canvas(5, 4);
    TDC dc(image);
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(TSize(20, 20));
    dc.SetViewportExt(TSize(1, 1));
    dc.FillRgn(shape, TBrush(TColor::Black));
    EXPECT_EQ(Picture(image), Rows({".....", "##...", "#....", "....."}));
}

TEST(DcState, SaveRestoreAndStockObjects)
{
    QImage image = Canvas(4, 4);
    TDC dc(image);
    const int level = dc.SaveDC();
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SelectStockObject(NULL_PEN);
    dc.SetTextColor(TColor::LtRed);
    dc.SaveDC();
    dc.SetBkMode(TRANSPARENT);
    EXPECT_TRUE(dc.RestoreDC(level));
    EXPECT_EQ(dc.GetMapMode(), MM_TEXT);
    EXPECT_FALSE(dc.GetPen().IsNull());
    EXPECT_EQ(dc.GetTextColor(), TColor::Black);
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
    EXPECT_FALSE(dc.RestoreDC(-1)) << "both levels are gone";
    EXPECT_FALSE(dc.SelectStockObject(12345));
    dc.SelectObject(TPen(TColor::LtRed, 3));
    dc.RestorePen();
    EXPECT_EQ(dc.GetPen(), TPen());
}

TEST(DcPixels, GetAndSetPixel)
{
    QImage image = Canvas(3, 2);
    TDC dc(image);
    EXPECT_EQ(dc.SetPixel(1, 1, TColor(1, 2, 3)), TColor(1, 2, 3));
    EXPECT_EQ(dc.GetPixel(1, 1), TColor(1, 2, 3));
    EXPECT_EQ(dc.GetPixel(0, 0), TColor::White);
    EXPECT_EQ(dc.GetPixel(3, 0), TColor(CLR_INVALID));
    EXPECT_EQ(dc.GetPixel(-1, 0), TColor(CLR_INVALID));
    dc.SelectClipRgn(TRegion(TRect(0, 0, 1, 1)));
    EXPECT_EQ(dc.SetPixel(2, 1, TColor::Black), TColor(CLR_INVALID));
    EXPECT_EQ(image.pixel(2, 1), 0xFFFFFFFFu);
}

TEST(DcMonochrome, ColoursBecomeBlackOrWhite)
{
    TBitmap bitmap(4, 1, 1, 1);
    ASSERT_TRUE(bitmap.IsMonochrome());
    TMemoryDC dc(bitmap);
    EXPECT_EQ(dc.GetDeviceCaps(BITSPIXEL), 1);
    EXPECT_TRUE(dc.IsMonochrome());
    dc.FillRect(TRect(0, 0, 1, 1), TBrush(TColor::LtYellow));
    dc.FillRect(TRect(1, 0, 2, 1), TBrush(TColor::LtRed));
    dc.FillRect(TRect(2, 0, 3, 1), TBrush(TColor::LtGray));
    dc.FillRect(TRect(3, 0, 4, 1), TBrush(TColor::Gray));
    EXPECT_EQ(Picture(bitmap.Image()), ".#..");

    TMemoryDC fresh;
    EXPECT_EQ(fresh.GetBitmap().Size(), TSize(1, 1)) << "a new memory context holds a 1 x 1 monochrome bitmap";
    EXPECT_TRUE(fresh.IsMonochrome());
    TBitmap colour(fresh, 2, 2);
    EXPECT_TRUE(colour.IsMonochrome()) << "compatible with a monochrome context";
    EXPECT_FALSE(TBitmap(0, 5).IsOK());
}

TEST(DcDevice, CapabilitiesOfAnImage)
{
    QImage image = Canvas(640, 480);
    TDC dc(image);
    EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 640);
    EXPECT_EQ(dc.GetDeviceCaps(VERTRES), 480);
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), 96);
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSY), 96);
    EXPECT_EQ(dc.GetDeviceCaps(TECHNOLOGY), DT_RASDISPLAY);
    EXPECT_TRUE(dc.GetDeviceCaps(RASTERCAPS) & RC_STRETCHBLT);
    EXPECT_FALSE(dc.IsPrinter());
    EXPECT_EQ(dc.GetDeviceCaps(BITSPIXEL), 24);
    EXPECT_EQ(dc.GetDeviceCaps(HORZSIZE), 169);  // 640 px at 96 per inch
}

TEST(DcShapes, HugeFiguresCostOnlyWhatCanBeSeen)
{
    // Coordinates far past the device must neither hang nor exhaust memory.
    QImage image = Canvas(8, 4);
    TDC dc(image);
    const int far = 1 << 28;
    dc.SelectStockObject(BLACK_BRUSH);
    dc.Ellipse(-far, -far, far, far);
    EXPECT_EQ(Picture(image), Rows({"########", "########", "########", "########"}));
    dc.SelectObject(TPen(TColor::White, 1));
    dc.MoveTo(-far, 1);
    dc.LineTo(far, 1);
    dc.SelectObject(TPen(TColor::White, far));
    dc.MoveTo(-far, -far);
    dc.LineTo(far, -far);  // far above, with a pen wider than any device
    dc.SelectObject(TBrush(TColor::White));
    const TPoint huge[] = {{-far, 3}, {far, 3}, {far, far}};
    dc.Polygon(huge, 3);
    TBitmap bitmap(2, 2, 1, 1);
    TMemoryDC source(bitmap);
    dc.StretchBlt(-far, -far, 2 * far, far + 1, source, 0, 0, 2, 2, SRCCOPY);
    EXPECT_EQ(image.pixel(0, 3), 0xFFFFFFFFu);
}

TEST(DcShapes, SystemColourBrushesFollowTheDesktop)
{
    QImage image = Canvas(2, 1, 0xFF123456u);
    TDC dc(image);
    dc.FillRect(TRect(0, 0, 1, 1), TBrush(TColor::SysWindow));
    dc.FillRect(TRect(1, 0, 2, 1), TBrush(TColor::SysBtnFace));
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(image.pixel(0, 0), qRgb(GetRValue(window), GetGValue(window), GetBValue(window)));
    EXPECT_EQ(image.pixel(1, 0), qRgb(GetRValue(face), GetGValue(face), GetBValue(face)));
    const QColor base = QGuiApplication::palette().color(QPalette::Active, QPalette::Base);
    EXPECT_EQ(window, RGB(base.red(), base.green(), base.blue()));
}

}  // namespace

TEST(DcRegions, PolygonFillMatchesTheRegionFillUnderEveryMapping)
{
    // FillPolygonRgn only scans the logical rows that land on pixels; the
    // pixels must be those of the region fill it stands for, whatever the
    // scale, direction, origin, clipping and raster operation.
    struct Mapping {
        TSize window;
        TSize viewport;
        TPoint windowOrg;
        TPoint viewportOrg;
    };
    const Mapping mappings[] = {
        {{400, 300}, {20, 15}, {0, 0}, {0, 0}},     // twenty units a pixel
        {{400, 300}, {32, 24}, {0, 0}, {0, 0}},     // 1.6 pixels for twenty units
        {{400, 300}, {40, 30}, {15, -20}, {1, 2}},  // shifted
        {{400, 300}, {-37, 21}, {0, 0}, {38, 0}},   // mirrored, uneven scale
        {{10, 10}, {31, 29}, {0, 0}, {0, 0}},       // magnified
        {{400, 300}, {30, -22}, {0, 0}, {2, 26}},   // upside down
    };
    const std::vector<std::vector<TPoint>> polygons = {
        {{200, 0}, {400, 300}, {0, 300}},
        {{0, 0}, {300, 300}, {0, 300}},                                // slope one
        {{40, 20}, {360, 20}, {60, 280}, {200, 0}, {340, 280}},        // crossing itself
        {{-100, -50}, {500, 120}, {30, 400}},                          // beyond the device
    };
    const TRect withins[] = {{-1000, -1000, 1000, 1000}, {50, 60, 330, 210}, {330, 210, 50, 60}, {100, 100, 100, 200}};
    for (std::size_t m = 0; m < std::size(mappings); ++m) {
        for (std::size_t p = 0; p < polygons.size(); ++p) {
            for (std::size_t w = 0; w < std::size(withins); ++w) {
                for (const bool xorAndClip : {false, true}) {
                    QImage expected = Canvas(40, 32);
                    QImage actual = Canvas(40, 32);
                    auto prepare = [&](TDC& dc) {
                        dc.SetMapMode(MM_ANISOTROPIC);
                        dc.SetWindowExt(mappings[m].window);
                        dc.SetViewportExt(mappings[m].viewport);
                        dc.SetWindowOrg(mappings[m].windowOrg);
                        dc.SetViewportOrg(mappings[m].viewportOrg);
                        if (xorAndClip) {
                            dc.SetROP2(R2_XORPEN);
                            dc.IntersectClipRect(TRect(60, 40, 300, 250));
                        }
                    };
                    const std::vector<TPoint>& points = polygons[p];
                    const int count = static_cast<int>(points.size());
                    {
                        TDC dc(expected);
                        prepare(dc);
                        dc.FillRgn(TRegion(points.data(), count, ALTERNATE) & TRegion(withins[w]),
                                   TBrush(TColor::Black));
                    }
                    {
                        TDC dc(actual);
                        prepare(dc);
                        dc.FillPolygonRgn(points.data(), count, ALTERNATE, withins[w], TBrush(TColor::Black));
                    }
                    EXPECT_EQ(Picture(actual), Picture(expected))
                        << "mapping " << m << ", polygon " << p << ", within " << w << ", xor " << xorAndClip;
                }
            }
        }
    }
}

namespace {

// A 23 x 17 picture of stripes and a diagonal, different in every corner.
TDC& PictureSource()
{
    static QImage image = [] {
        QImage picture(23, 17, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, x == y ? 0xFF000000u : (x % 3 == 0 ? 0xFF2040C0u : (y % 4 == 1 ? 0xFFC02020u : 0xFFFFFFFFu)));
        return picture;
    }();
    static TDC dc(image);
    return dc;
}

}  // namespace

TEST(DcClip, ClippedFiguresSetTheSamePixelsAsUnclippedOnesWithinTheClip)
{
    // Figures work out only what lies near the clipping; the pixels inside it
    // must be those the whole figure sets. XOR shows a pixel set twice.
    const std::vector<TPoint> zigzag = {{-60, 30}, {200, 400}, {330, 20}, {700, 380}, {40, 460}};
    const std::vector<TPoint> steep = {{100, -200}, {130, 900}, {140, 10}};
    const struct {
        const char* what;
        std::function<void(TDC&)> draw;
    } figures[] = {
        {"wide polyline", [&](TDC& dc) {
             dc.SelectObject(TPen(TColor::LtRed, 60));
             dc.Polyline(zigzag.data(), static_cast<int>(zigzag.size()));
         }},
        {"wide steep polyline", [&](TDC& dc) {
             dc.SelectObject(TPen(TColor::LtRed, 40));
             dc.Polyline(steep.data(), static_cast<int>(steep.size()));
         }},
        {"thin polygon outline and fill", [&](TDC& dc) {
             dc.SelectObject(TBrush(TColor::LtBlue));
             dc.Polygon(zigzag.data(), static_cast<int>(zigzag.size()));
         }},
        {"wide ellipse with a fill", [](TDC& dc) {
             dc.SelectObject(TPen(TColor::LtRed, 60));
             dc.SelectObject(TBrush(TColor::LtBlue));
             dc.Ellipse(30, 40, 520, 390);
         }},
        {"wide rectangle with a fill", [](TDC& dc) {
             dc.SelectObject(TPen(TColor::LtRed, 80));
             dc.SelectObject(TBrush(TColor::LtBlue));
             dc.Rectangle(50, 30, 480, 410);
         }},
        {"frame", [](TDC& dc) { dc.FrameRect(TRect(50, 30, 480, 410), TBrush(TColor::LtRed)); }},
        {"thin polyline", [&](TDC& dc) {
             dc.SelectObject(TPen(TColor::LtRed, 0));
             dc.Polyline(zigzag.data(), static_cast<int>(zigzag.size()));
             dc.Polyline(steep.data(), static_cast<int>(steep.size()));
         }},
        // Pictures laid down magnified, shrunk (merging what is dropped) and
        // mirrored: a cut blit reads only the part of the source it shows.
        {"magnified picture", [&](TDC& dc) { dc.StretchBlt(20, 10, 500, 400, PictureSource(), 0, 0, 23, 17, SRCCOPY); }},
        {"shrunk picture", [&](TDC& dc) {
             dc.SetStretchBltMode(BLACKONWHITE);
             dc.StretchBlt(20, 10, 150, 120, PictureSource(), 0, 0, 23, 17, SRCCOPY);
         }},
        {"mirrored picture", [&](TDC& dc) { dc.StretchBlt(520, 400, -480, -360, PictureSource(), 2, 1, 19, 15, SRCINVERT); }},
    };
    // Device units: a small area in the middle, one at an edge, a thin row,
    // and two overlapping areas, as a move invalidates.
    const std::vector<std::vector<QRect>> clips = {
        {QRect(20, 12, 9, 7)}, {QRect(0, 0, 6, 40)}, {QRect(3, 20, 50, 1)}, {QRect(10, 10, 12, 8), QRect(13, 13, 12, 8)}};
    for (const auto& figure : figures) {
        for (std::size_t c = 0; c < clips.size(); ++c) {
            auto prepare = [](TDC& dc) {
                dc.SetMapMode(MM_ANISOTROPIC);
                dc.SetWindowExt(TSize(100, 100));
                dc.SetViewportExt(TSize(8, 8));  // 1.6 pixels for twenty units
                dc.SetROP2(R2_XORPEN);
            };
            QImage whole = Canvas(60, 48);
            {
                TDC dc(whole);
                prepare(dc);
                figure.draw(dc);
            }
            QRegion area;
            for (const QRect& r : clips[c])
                area += r;
            QImage clipped = Canvas(60, 48);
            {
                TDC dc(clipped);
                prepare(dc);
                dc.SelectClipRgn(TRegion(area));
                figure.draw(dc);
            }
            for (int y = 0; y < whole.height(); ++y)
                for (int x = 0; x < whole.width(); ++x)
                    ASSERT_EQ(clipped.pixel(x, y), area.contains(QPoint(x, y)) ? whole.pixel(x, y) : 0xFFFFFFFFu)
                        << figure.what << ", clip " << c << ", at " << x << "," << y;
        }
    }
}
