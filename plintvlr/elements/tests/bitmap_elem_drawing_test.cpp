// Pixels of the bitmap element at one and two device pixels per panel
// pixel: a library picture stretched by the scale, the blink phase that
// blanks the rectangle, "nobmp" for an empty slot, and the same on a printer.

#include "platform/gdi/tests/gdi_test_util.h"
#include "plintvlr/elements/tests/element_test_util.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/image_print_dc.h"
#include "platform/ui/resources.h"
#include "plintvlr/db/tqs_bitmaps.h"
#include "plintvlr/elements/bitmap_elem.h"
#include "plintvlr/elements/palette.h"
#include "plintvlr/shell/controls/control_pictures.h"

#include <QDir>

namespace {

constexpr QRgb kBack = 0xFF0000FFu;  // blue round the element

void MapPageUnits(TDC& dc, int scale)
{
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(TSize(kUnitsPerPixel, kUnitsPerPixel));
    dc.SetViewportExt(TSize(scale, scale));
}

// 3 x 2 pixels: "#.#" over ".##" ('#' index 0, black).
TDib Pattern()
{
    TDib dib(3, 2, 1);
    dib.SetPixelIndex(1, 0, 1);
    dib.SetPixelIndex(0, 1, 1);
    return dib;
}

// Each character of a row repeated `scale` times across and each row `scale` times down.
std::string Scaled(std::initializer_list<const char*> rows, int scale)
{
    std::string out;
    for (const char* row : rows) {
        std::string wide;
        for (const char* c = row; *c; ++c)
            wide.append(static_cast<std::size_t>(scale), *c);
        for (int i = 0; i < scale; ++i) {
            if (!out.empty())
                out += '\n';
            out += wide;
        }
    }
    return out;
}

QRgb YellowPixel()
{
    const TColor c = PaletteColor(kYellow);
    return qRgb(c.Red(), c.Green(), c.Blue());
}

class BitmapDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterControlPictures();
        GetBitmapLibrary().ClearAll();
        ASSERT_EQ(GetBitmapLibrary().SetSlot(0, Pattern(), "PATTERN"), 1);
    }
    void TearDown() override { GetBitmapLibrary().ClearAll(); }

    // The element on a 8 x 4 panel-pixel canvas whose top-left panel pixel is (1, 1).
    static std::string Draw(BitmapElem& e, int scale, bool printer = false)
    {
        QImage image = Canvas(8 * scale, 4 * scale, kBack);
        std::unique_ptr<TDC> dc = printer ? std::make_unique<TImagePrintDC>(image) : std::make_unique<TDC>(image);
        MapPageUnits(*dc, scale);
        e.Draw(*dc);
        return Picture(image, {{kBack, 'b'}, {YellowPixel(), 'y'}});
    }
};

}  // namespace

TEST_F(BitmapDrawing, APictureStretchedTwoByOneAtOneAndTwoDevicePixels)
{
    PanelScope panel(kMonoPanel);
    // Bottom-left at panel pixel (1, 3), two pictures across, one down.
    BitmapElem e(TPoint(20, 60), TPoint(20 + 6 * kUnitsPerPixel, 60 - 2 * kUnitsPerPixel));
    ASSERT_EQ(e.GetScaleX(), 2);
    ASSERT_EQ(e.GetScaleY(), 1);
    const auto expected = {"bbbbbbbb", "b##..##b", "b..####b", "bbbbbbbb"};
    for (int scale : {1, 2})
        EXPECT_EQ(Draw(e, scale), Scaled(expected, scale)) << scale;
    EXPECT_EQ(Draw(e, 2, true), Scaled(expected, 2)) << "printer";
}

TEST_F(BitmapDrawing, OddBlinkStepsBlankTheRectangleInTheBackground)
{
    for (int panelType : {kMonoPanel, kColorPanel}) {
        PanelScope panel(panelType);
        BitmapElem e(TPoint(20, 60), TPoint(20 + 3 * kUnitsPerPixel, 60 - 2 * kUnitsPerPixel));
        e.GetColors().SetBackground(kYellow);
        e.GetDynBlink() = TDynBlink(0, TDynBlink::kAlways);
        e.StartAnimation();
        e.AnimateStep();  // step 1: the blink's off phase
        const char* blank = panelType == kColorPanel ? "byyybbbb" : "b...bbbb";
        for (int scale : {1, 2})
            EXPECT_EQ(Draw(e, scale), Scaled({"bbbbbbbb", blank, blank, "bbbbbbbb"}, scale)) << panelType;
        e.AnimateStep();  // step 2: the picture again
        EXPECT_EQ(Draw(e, 1), Scaled({"bbbbbbbb", "b#.#bbbb", "b.##bbbb", "bbbbbbbb"}, 1)) << panelType;
    }
}

TEST_F(BitmapDrawing, AnEmptySlotDrawsNoBitmap)
{
    PanelScope panel(kMonoPanel);
    BitmapElem e(TPoint(0, 22 * kUnitsPerPixel));
    e.SetInitialBitmap(kNoBitmap);
    ASSERT_EQ(e.GetRect(), TRect(0, 0, 24 * kUnitsPerPixel, 22 * kUnitsPerPixel));
    const TDib nobmp = LoadDibResource(nullptr, kNoBitmapPicture);
    ASSERT_TRUE(nobmp.IsOK());
    for (int scale : {1, 2}) {
        QImage image = Canvas(24 * scale, 22 * scale, kBack);
        TDC dc(image);
        MapPageUnits(dc, scale);
        e.Draw(dc);
        for (int y = 0; y < 22 * scale; ++y)
            for (int x = 0; x < 24 * scale; ++x)
                ASSERT_EQ(image.pixel(x, y), nobmp.PixelIndex(x / scale, y / scale) ? 0xFFFFFFFFu : 0xFF000000u)
                    << scale << " at " << x << "," << y;
        if (scale == 2) {
            QDir().mkpath(PLV_SCREENSHOT_DIR);
            image.scaled(192, 176).save(PLV_SCREENSHOT_DIR "/bitmap_element_nobmp.png");
        }
    }
}
