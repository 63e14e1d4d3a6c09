#include "platform/base/color.h"
#include "platform/base/geometry.h"

#include <gtest/gtest.h>

namespace {

TEST(Geometry, RectangleExcludesRightAndBottomEdge) {
    const TRect r(10, 20, 13, 22);
    EXPECT_EQ(r.Width(), 3);
    EXPECT_EQ(r.Height(), 2);
    EXPECT_TRUE(r.Contains(TPoint(10, 20)));
    EXPECT_TRUE(r.Contains(TPoint(12, 21)));
    EXPECT_FALSE(r.Contains(TPoint(13, 21)));
    EXPECT_FALSE(r.Contains(TPoint(12, 22)));
    EXPECT_FALSE(r.Contains(TPoint(9, 20)));
    EXPECT_TRUE(TRect(5, 5, 5, 9).IsEmpty());
    EXPECT_TRUE(TRect(5, 5, 4, 9).IsEmpty());
    EXPECT_FALSE(TRect(5, 5, 4, 9).Contains(TPoint(4, 6)));
}

TEST(Geometry, NormalizeInflateOffset) {
    TRect r(10, 8, 2, 1);
    EXPECT_EQ(r.Normalized(), TRect(2, 1, 10, 8));
    EXPECT_EQ(r, TRect(10, 8, 2, 1)) << "Normalized leaves the original";
    r.Normalize();
    EXPECT_EQ(r.Inflate(1, -2).Offset(3, 4), TRect(4, 7, 14, 10));
    EXPECT_EQ(r, TRect(2, 1, 10, 8)) << "Inflate and Offset give a new rectangle";
    r += TSize(1, 1);
    EXPECT_EQ(r, TRect(3, 2, 11, 9));
    EXPECT_EQ(TRect(TPoint(1, 2), TSize(3, 4)), TRect(1, 2, 4, 6));
    EXPECT_EQ(TRect(0, 0, 2, 2).MovedTo(5, 6), TRect(5, 6, 7, 8));
    EXPECT_EQ(TPoint(3, 4) - TPoint(1, 1), TSize(2, 3));
}

TEST(Geometry, IntersectionAndUnion) {
    const TRect a(0, 0, 10, 10);
    EXPECT_EQ(a & TRect(5, 5, 20, 20), TRect(5, 5, 10, 10));
    EXPECT_EQ(a.Intersection(TRect(5, 5, 20, 20)), TRect(5, 5, 10, 10));
    // Sharing only the excluded edge is no overlap.
    EXPECT_TRUE((a & TRect(10, 0, 20, 10)).IsNull());
    EXPECT_FALSE(a.Touches(TRect(10, 0, 20, 10)));
    EXPECT_TRUE(a.Touches(TRect(9, 9, 20, 20)));
    EXPECT_EQ(a | TRect(20, 20, 30, 25), TRect(0, 0, 30, 25));
    EXPECT_EQ(a | TRect(50, 50, 50, 60), a) << "an empty rectangle adds nothing";
    EXPECT_EQ(TRect() | a, a);
    EXPECT_EQ(TPoint(1, 2).Offset(3, 4), TPoint(4, 6));
}

TEST(Color, RgbLayoutAndSystemColours) {
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x00563412u);
    constexpr TColor c(1, 2, 3);
    EXPECT_EQ(c.Red(), 1);
    EXPECT_EQ(c.Green(), 2);
    EXPECT_EQ(c.Blue(), 3);
    EXPECT_EQ(TColor::Gray.GetValue(), RGB(128, 128, 128));
    EXPECT_FALSE(TColor::Gray.IsSysColor());
    EXPECT_TRUE(TColor::SysWindow.IsSysColor());
    EXPECT_EQ(TColor::SysWindow.Index(), COLOR_WINDOW);
    EXPECT_NE(TColor::SysWindow, TColor(static_cast<COLORREF>(COLOR_WINDOW)));
}

}  // namespace
