// The controls' own pictures reach the program's resources.

#include "plintvlr/shell/controls/control_pictures.h"

#include "platform/ui/resources.h"

#include <gtest/gtest.h>

TEST(ControlPicturesTest, PlaceholderIsA24By22MonochromeFramedCross)
{
    RegisterControlPictures();
    ASSERT_TRUE(HasBitmapResource(kNoBitmapPicture));
    const TDib nobmp = LoadDibResource(nullptr, "NOBMP");
    ASSERT_TRUE(nobmp.IsOK());
    EXPECT_EQ(nobmp.Width(), 24);
    EXPECT_EQ(nobmp.Height(), 22);
    EXPECT_EQ(nobmp.BitsPixel(), 1);
    const DibColor black{0, 0, 0};
    const DibColor white{255, 255, 255};
    // A black frame round a white field crossed from corner to corner.
    EXPECT_EQ(nobmp.PixelColor(0, 0), black);
    EXPECT_EQ(nobmp.PixelColor(23, 21), black);
    EXPECT_EQ(nobmp.PixelColor(1, 1), white);
    EXPECT_EQ(nobmp.PixelColor(2, 2), black);
    EXPECT_EQ(nobmp.PixelColor(21, 2), black);
    EXPECT_EQ(nobmp.PixelColor(6, 2), white);

    RegisterControlPictures();  // again: still the same picture
    EXPECT_TRUE(LoadDibResource(nullptr, kNoBitmapPicture).SameImage(nobmp));
}
