// The page editor's indicator bar: its six fields, their texts and the
// narrower position fields of text panels.

#include "plintvlr/pageedit/indicator_bar.h"

#include "platform/ui/decorated_frame.h"
#include "platform/ui/testing/test_driver.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Texts(const TIndicatorBar& bar)
{
    std::string texts;
    for (int i = 1; i <= 6; ++i)
        texts += std::string(i > 1 ? "|" : "") + bar.Gadget(i).GetText();
    return texts;
}

TEST(IndicatorBarTest, FieldsShowPageCursorAndTheSelectionsPositionOrSize)
{
    TIndicatorBar bar(nullptr, 9);
    EXPECT_EQ(Texts(bar), "Page|1|Cursor X:Y||Object X:Y|");
    bar.SetPage(12);
    bar.SetCursorPos({120, 7});
    bar.SetObjectPos({30, 40}, false);
    EXPECT_EQ(Texts(bar), "Page|12|Cursor X:Y|120:7|Object W:H|30:40");
    bar.SetObjectPos({5, 0}, true);
    EXPECT_EQ(Texts(bar), "Page|12|Cursor X:Y|120:7|Object X:Y|5:0");
    // The value fields are the bar's ids 1 to 3; the labels have none.
    EXPECT_EQ(bar.GadgetWithId(1), &bar.Gadget(2));
    EXPECT_EQ(bar.GadgetWithId(2), &bar.Gadget(4));
    EXPECT_EQ(bar.GadgetWithId(3), &bar.Gadget(6));
}

TEST(IndicatorBarTest, TextPanelsHaveNarrowerPositionFields)
{
    struct Case {
        int panelType;
        UINT positionWidth;
    };
    for (const Case& c : {Case{9, 4}, Case{14, 4}, Case{15, 3}, Case{24, 3}}) {
        TIndicatorBar bar(nullptr, c.panelType);
        const UINT widths[6] = {3, 2, 5, c.positionWidth, 5, c.positionWidth};
        for (int i = 1; i <= 6; ++i)
            EXPECT_EQ(bar.Gadget(i).GetNumChars(), widths[i - 1]) << "type " << c.panelType << " gadget " << i;
    }
}

TEST(IndicatorBarTest, BarStandsAlongTheTopAsHighAsItsText)
{
    TTestDriver driver;
    TDecoratedFrame frame(nullptr, "Editor", nullptr);
    frame.Attr.W = 400;
    frame.Attr.H = 200;
    auto* bar = new TIndicatorBar(&frame, 9);
    frame.Insert(*bar, TDecoratedFrame::Top);
    driver.Show(frame);
    EXPECT_EQ(bar->GetWindowRect().top, frame.ClientToScreen({0, 0}).y);
    EXPECT_GT(bar->GetWindowRect().Height(), 8);
    EXPECT_LT(bar->Gadget(4).GetBounds().left, bar->Gadget(5).GetBounds().left);
}

}  // namespace
