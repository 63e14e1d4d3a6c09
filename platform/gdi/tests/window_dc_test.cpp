// The window-bound contexts over their seams, scrolling and invalidation.

#include "platform/gdi/window_dc.h"
#include "platform/gdi/tests/gdi_test_util.h"

#include <QPainter>
#include <QScreen>

namespace {

TEST(WindowDC, PaintingIsClippedToThePaintArea)
{
    QImage surface = Canvas(6, 4);
    {
        QPainter painter(&surface);
        TPaintDC dc(painter, TRect(1, 1, 4, 3), true);
        EXPECT_EQ(dc.GetPaintRect(), TRect(1, 1, 4, 3));
        EXPECT_TRUE(dc.GetErase());
        TRect box;
        EXPECT_EQ(dc.GetClipBox(box), SIMPLEREGION);
        EXPECT_EQ(box, TRect(1, 1, 4, 3));
        dc.FillRect(TRect(0, 0, 6, 4), TBrush(TColor::Black));
        // A clipping region of the painter's own lies inside the paint area.
        dc.SelectClipRgn(TRegion(TRect(3, 0, 6, 4)));
        dc.FillRect(TRect(0, 0, 6, 4), TBrush(TColor::White));
    }
    EXPECT_EQ(Picture(surface), Rows({"......", ".##...", ".##...", "......"}));

    QImage backing = Canvas(4, 2);
    TPaintDC image(backing, TRect(0, 0, 2, 2), false);
    image.FillRect(TRect(0, 0, 4, 2), TBrush(TColor::Black));
    EXPECT_EQ(Picture(backing), Rows({"##..", "##.."}));
}

TEST(WindowDC, ThePaintBridgeDrawsThroughThePainter)
{
    QImage surface = Canvas(4, 2);
    {
        QPainter painter(&surface);
        painter.setClipRect(0, 0, 2, 2);  // as a paint event clips it
        PaintWithPainter(painter, [](TDC& dc) {
            dc.SetROP2(R2_XORPEN);
            dc.SelectObject(TPen(TColor::White));
            dc.MoveTo(0, 0);
            dc.LineTo(4, 0);
            dc.FillRect(TRect(0, 1, 4, 2), TBrush(TColor::Black));
        });
        // The painter is the caller's again: its clipping and modes as they were.
        EXPECT_TRUE(painter.hasClipping());
        EXPECT_EQ(painter.compositionMode(), QPainter::CompositionMode_SourceOver);
        painter.setClipping(false);
        painter.fillRect(3, 0, 1, 2, Qt::black);
    }
    EXPECT_EQ(Picture(surface), Rows({"##.#", "##.#"}));
}

TEST(WindowDC, TheScreenAnswersItsSizeAndResolution)
{
    const TScreenDC screen;
    const QScreen* primary = QGuiApplication::primaryScreen();
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(screen.GetDeviceCaps(HORZRES), primary->geometry().width());
    EXPECT_EQ(screen.GetDeviceCaps(LOGPIXELSY), qRound(primary->logicalDotsPerInchY()));
    EXPECT_EQ(screen.GetDeviceCaps(TECHNOLOGY), DT_RASDISPLAY);
    TEXTMETRIC tm;
    EXPECT_TRUE(screen.GetTextMetrics(tm)) << "fonts can be measured on it";
    EXPECT_GT(tm.tmHeight, 0);
}

TEST(WindowDC, ClientContextDrawsTrackingInXor)
{
    QImage surface = Canvas(5, 5);
    const QImage before = surface.copy();
    TClientDC dc(surface);
    dc.SetROP2(R2_XORPEN);
    dc.SelectObject(TPen(TColor::White, 1, PS_DOT));
    dc.SelectObject(TBrush::Hollow());
    dc.Rectangle(0, 0, 5, 5);
    EXPECT_NE(surface, before);
    dc.Rectangle(0, 0, 5, 5);
    EXPECT_EQ(surface, before);
}

TEST(WindowDC, ScrollingMovesPixelsAndGivesBackTheUncoveredArea)
{
    QImage image = Canvas(6, 4);
    for (int x = 0; x < 6; ++x)
        image.setPixel(x, 0, 0xFF000000u);  // top row black
    TImageSurface window(image);
    TRegion update;
    TRect updateRect;
    EXPECT_EQ(ScrollWindowEx(window, 0, 2, nullptr, nullptr, &update, &updateRect, SW_INVALIDATE | SW_ERASE),
              SIMPLEREGION);
    EXPECT_EQ(updateRect, TRect(0, 0, 6, 2));
    // The black row moved down two; the uncovered rows keep what they had
    // until they are painted.
    EXPECT_EQ(Picture(image), Rows({"######", "......", "######", "......"}));
    EXPECT_EQ(TRegion(window.InvalidRegion()), update);
    EXPECT_TRUE(window.EraseRequested());

    // Inside a scroll rectangle only; nothing invalidated without SW_INVALIDATE.
    window.Validate();
    QImage strip = Canvas(6, 2);
    strip.setPixel(1, 0, 0xFF000000u);
    TImageSurface other(strip);
    const TRect scroll(0, 0, 3, 2);
    EXPECT_EQ(ScrollWindowEx(other, 1, 0, &scroll, nullptr, &update, nullptr, 0), SIMPLEREGION);
    EXPECT_EQ(update.GetRgnBox(), TRect(0, 0, 1, 2));
    EXPECT_EQ(Picture(strip), Rows({"..#...", "......"})) << "the pixel moved from column 1 to 2";
    EXPECT_TRUE(other.InvalidRegion().isEmpty());

    EXPECT_TRUE(InvalidateRgn(other, nullptr, false));
    EXPECT_EQ(TRegion(other.InvalidRegion()).GetRgnBox(), TRect(0, 0, 6, 2));
}

}  // namespace
