// The editor's animation preview: fill rectangles, blink phases, animated
// colours, the moving position and the rotation centre.

#include "plintvlr/elements/tests/element_test_util.h"

#include "plintvlr/elements/color_point.h"
#include "plintvlr/elements/dyn_attributes.h"
#include "plintvlr/elements/size_rect.h"

TEST(Fill, EachModeAtSteps0_10_21And42)
{
    // 210 x 420 units: 10/21 of the width is exactly 100, of the height 200.
    const TRect rect(1000, 1000, 1210, 1420);
    const struct {
        int mode;
        TRect full;   // steps 0, 21, 42: fraction 1
        TRect tenth;  // step 10: fraction 10/21
    } cases[] = {
        {0, rect, {1000, 1220, 1210, 1420}},
        {1, rect, {1000, 1000, 1100, 1420}},
        {2, {1000, 1000, 1210, 1210}, {1000, 1210, 1210, 1220}},
        {3, {1105, 1000, 1210, 1420}, {1100, 1000, 1105, 1420}},
        {4, rect, {1000, 1110, 1210, 1310}},
        {5, rect, {1055, 1000, 1155, 1420}},
        {9, rect, {1055, 1000, 1155, 1420}},
    };
    for (const auto& c : cases) {
        const TDynFill fill(7, c.mode);
        for (int step : {0, 21, 42})
            EXPECT_EQ(fill.GetFillRect(rect, step), c.full) << "mode " << c.mode << " step " << step;
        EXPECT_EQ(fill.GetFillRect(rect, 10), c.tenth) << "mode " << c.mode;
    }
    EXPECT_EQ(TDynFill(0, 0).GetFillRect(rect, 10), rect);  // no tag, no fill
    // Centre-zero at one half: from the middle to the middle.
    EXPECT_TRUE(TDynFill::FillPart(rect, 2, 0.5).IsEmpty());
    EXPECT_EQ(TDynFill::FillPart(rect, 2, 0.5).Height(), 0);
    EXPECT_EQ(TDynFill::ModeText(3), "horiz. chart");
    EXPECT_EQ(TDynFill::ModeText(4), "vert. band");
    EXPECT_EQ(TDynFill::ModeText(7), "horiz. band");
}

TEST(Blink, PhasesOfUnconditionalAndTagBlinking)
{
    const TDynBlink always(0, 0x0F);
    const TDynBlink byTag(5, 0x05);
    const TDynBlink maskOnly(0, 0x05);
    for (int step = 0; step < 63; ++step) {
        EXPECT_TRUE(always.IsBlinkPhase(step));
        EXPECT_EQ(byTag.IsBlinkPhase(step), step % 21 < 10) << step;
        EXPECT_FALSE(maskOnly.IsBlinkPhase(step));
    }
    TDynBlink set;
    set.SetState(0x03, true);
    set.SetState(0x01, false);
    EXPECT_EQ(set.GetMask(), 0x02);
}

TEST(AnimatedColour, MonochromeAndColourPanels)
{
    ColorPoint colors;
    colors.SetCount(2);
    colors.SetBackground(kColorPanel);  // any index: 5, green
    colors.SetColorIndex(0, 3);
    colors.SetColorIndex(1, 4);
    const struct {
        int panel;
        bool blink;
        int expected[6];  // steps 0..5
    } cases[] = {
        {kMonoPanel, false, {0, 0, 0, 0, 0, 0}},
        {kMonoPanel, true, {0, 1, 0, 1, 0, 1}},
        {kColorPanel, false, {3, 4, 3, 4, 3, 4}},
        {kColorPanel, true, {3, 5, 4, 5, 3, 5}},
    };
    for (const auto& c : cases) {
        PanelScope panel(c.panel);
        for (int step = 0; step < 6; ++step)
            EXPECT_EQ(colors.GetAnimatedIndex(c.blink, step), c.expected[step])
                << "panel " << c.panel << " blink " << c.blink << " step " << step;
    }
    {
        PanelScope panel(kColorPanel);
        // Tag blinking stops for steps 10 to 20 of each cycle.
        const TDynBlink blink(5, 0x01);
        EXPECT_EQ(blink.GetColorIndex(colors, 1), 5);
        EXPECT_EQ(blink.GetColorIndex(colors, 11), 4);
        EXPECT_EQ(blink.GetColorIndex(colors, 22), 5);
        EXPECT_EQ(colors.GetColor(1), TColor(0, 0, 255));
        EXPECT_EQ(colors.GetColor(2), TColor::White);
    }
    PanelScope mono(kMonoPanel);
    EXPECT_EQ(colors.GetColor(3), TColor::Black);
}

TEST(PositionAnimation, TravelsItsOffsetIn20TicksAndIsBackOnThe21st)
{
    PanelScope panel(kMonoPanel);
    SizeRect element({100, 200}, {300, 400});
    element.GetDynPosition() = TDynPosition(5, 0, {10, 0});
    ASSERT_TRUE(element.HasDynamics());
    element.StartAnimation();
    for (int tick = 1; tick <= 20; ++tick) {
        const TRect repaint = element.AnimateStep();
        EXPECT_EQ(element.GetRect(), TRect(100 + 10 * tick, 200, 300 + 10 * tick, 400)) << tick;
        EXPECT_EQ(repaint, TRect(100 + 10 * tick - 50, 160, 300 + 10 * tick + 40, 440)) << tick;
    }
    element.AnimateStep();
    EXPECT_EQ(element.GetRect(), TRect(100, 200, 300, 400));
    EXPECT_EQ(element.GetAnimationStep(), 21);

    element.AnimateStep();
    element.AnimateStep();
    EXPECT_EQ(element.StopAnimation(), TRect(60, 160, 360, 440));
    EXPECT_EQ(element.GetRect(), TRect(100, 200, 300, 400));
    EXPECT_EQ(element.GetAnimationStep(), 0);

    // Y offsets move up; nothing moves without dynamics.
    element.GetDynPosition() = TDynPosition(0, 5, {0, 10});
    element.StartAnimation();
    element.AnimateStep();
    EXPECT_EQ(element.GetRect(), TRect(100, 190, 300, 390));
    element.StopAnimation();
    element.GetDynPosition() = TDynPosition();
    element.StartAnimation();
    EXPECT_TRUE(element.AnimateStep().IsEmpty());
    EXPECT_EQ(element.GetAnimationStep(), 0);
}

TEST(Rotation, TheCentreInPageUnits)
{
    PanelScope panel(kMonoPanel);  // 48 pixels high
    EXPECT_EQ(TDynRotation(4, {40, 10}).GetCentre(), TPoint(800, 760));
    PanelScope colour(kColorPanel);  // 224 pixels high
    EXPECT_EQ(TDynRotation(4, {40, 10}).GetCentre(), TPoint(800, 4280));
}
