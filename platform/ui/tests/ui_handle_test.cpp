// Selection handles: where the eight squares lie, what a point hits, the
// cursor of each position, and the painted squares.

#include "platform/gdi/dc.h"
#include "platform/ui/resources.h"
#include "platform/ui/ui_handle.h"

#include <QImage>

#include <gtest/gtest.h>

TEST(UIHandle, HitTestNamesEveryHandleTheInsideAndTheOutside)
{
    const TUIHandle handles(TRect(10, 10, 30, 20), 0x59, 4);
    const struct {
        TPoint point;
        int where;
    } cases[] = {
        {{6, 6}, 0},   {{9, 9}, 0},   {{18, 6}, 1},  {{30, 6}, 2},  {{33, 9}, 2},  {{6, 13}, 3},
        {{20, 15}, 4}, {{10, 10}, 4}, {{31, 13}, 5}, {{6, 20}, 6},  {{18, 23}, 7}, {{33, 23}, 8},
        {{5, 5}, -1},  {{40, 15}, -1}, {{8, 17}, -1}, {{34, 15}, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(handles.HitTest(c.point), c.where) << c.point.x << "," << c.point.y;
    EXPECT_EQ(handles.HandleRect(4), TRect());
    EXPECT_EQ(handles.GetBoundingRect(), TRect(6, 6, 34, 24));
}

TEST(UIHandle, EachPositionHasItsSizeCursor)
{
    const int expected[] = {IDC_SIZENWSE, IDC_SIZENS, IDC_SIZENESW, IDC_SIZEWE, IDC_SIZEALL,
                            IDC_SIZEWE,   IDC_SIZENESW, IDC_SIZENS, IDC_SIZENWSE};
    for (int where = 0; where < 9; ++where)
        EXPECT_EQ(TUIHandle::GetCursorId(where, TUIHandle::MoveCursor), expected[where]) << where;
    EXPECT_EQ(TUIHandle::GetCursorId(4, TUIHandle::Framed), IDC_ARROW);
    EXPECT_EQ(TUIHandle::GetCursorId(-1, 0x59), IDC_ARROW);
}

TEST(UIHandle, PaintInvertsTheEightSquares)
{
    QImage image(12, 10, QImage::Format_RGB32);
    image.fill(0xFFFFFFFFu);
    TDC dc(image);
    TUIHandle(TRect(2, 2, 10, 8), 0x59, 2).Paint(dc);
    std::string picture;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            picture += (image.pixel(x, y) & 0xFFFFFF) == 0 ? '#' : '.';
        picture += '\n';
    }
    EXPECT_EQ(picture,
              "##...##...##\n"
              "##...##...##\n"
              "............\n"
              "............\n"
              "##........##\n"
              "##........##\n"
              "............\n"
              "............\n"
              "##...##...##\n"
              "##...##...##\n");
}
