// The printer-like context over an image: it answers as a printer, with or
// without bitmap stretching, and what is drawn lands in the image exactly.

#include "platform/gdi/image_print_dc.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/tests/gdi_test_util.h"

TEST(ImagePrintDC, AnswersAsAPrinterWithOrWithoutStretching)
{
    for (bool stretch : {true, false}) {
        QImage image = Canvas(8, 6);
        TImagePrintDC dc(image, stretch, 600);
        EXPECT_TRUE(dc.IsPrinter());
        EXPECT_EQ(dc.GetDeviceCaps(TECHNOLOGY), DT_RASPRINTER);
        EXPECT_EQ((dc.GetDeviceCaps(RASTERCAPS) & RC_STRETCHBLT) != 0, stretch);
        EXPECT_NE(dc.GetDeviceCaps(RASTERCAPS) & RC_STRETCHDIB, 0);
        EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), 600);
        EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 8);
    }
    QImage screen = Canvas(4, 4);
    TDC plain(screen);
    EXPECT_FALSE(plain.IsPrinter());
    EXPECT_NE(plain.GetDeviceCaps(RASTERCAPS) & RC_STRETCHBLT, 0);
}

TEST(ImagePrintDC, AMaskThroughABrushLandsInTheImage)
{
    // A 2 x 1 mask, black then white, doubled onto the image through a red
    // brush with the raster operation that paints the brush where the mask is 0.
    TBitmap mask(2, 1);
    TMemoryDC source(mask);
    source.SetPixel(1, 0, TColor::White);
    QImage image = Canvas(4, 2);
    TImagePrintDC dc(image, true);
    dc.SelectObject(TBrush(TColor::LtRed));
    ASSERT_TRUE(dc.StretchBlt(0, 0, 4, 2, source, 0, 0, 2, 1, 0xB8074A));
    EXPECT_EQ(Picture(image, {{0xFFFF0000u, 'r'}}), "rr..\nrr..");
}
