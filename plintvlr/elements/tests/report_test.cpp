// The page report lines of the element base and its attributes, with tag
// names from the open project's registries ("no tag" for a deleted one).

#include "plintvlr/db/tests/project_fixture.h"
#include "plintvlr/elements/tests/element_test_util.h"

#include "plintvlr/db/atag_registry.h"
#include "plintvlr/db/dtag_registry.h"
#include "plintvlr/elements/color_point.h"
#include "plintvlr/elements/size_rect.h"
#include "plintvlr/elements/tag_mask.h"

namespace {

class Report : public ProjectFixture {
protected:
    void SetUp() override
    {
        ProjectFixture::SetUp();
        adatabase& db = CreateAndOpen("REPORT", kMonoPanel);
        std::uint32_t id = 0;
        ASSERT_TRUE(db.GetAnalogRegistry()->Add("PUMP", id));
        pump_ = static_cast<std::uint16_t>(id);
        ASSERT_TRUE(db.GetDigitalRegistry()->Add("VALVE", id));
        valve_ = static_cast<std::uint16_t>(0x8000 | id);
    }

    std::uint16_t pump_ = 0;
    std::uint16_t valve_ = 0;
    static constexpr std::uint16_t kDeletedTag = 77;
};

}  // namespace

TEST_F(Report, TagNamesFromTheRegistriesAndNoTagForTheRest)
{
    const struct {
        std::uint16_t tag;
        bool found;
        const char* name;
    } cases[] = {
        {pump_, true, "PUMP"},          {valve_, true, "VALVE"},        {kDeletedTag, false, "no tag"},
        {0, false, "no tag"},           {0x4001, false, "no tag"},      {0xC001, false, "no tag"},
        {0x8000 | kDeletedTag, false, "no tag"},
    };
    for (const auto& c : cases) {
        std::string name;
        EXPECT_EQ(GetTagName(c.tag, name), c.found) << c.tag;
        EXPECT_EQ(name, c.name) << c.tag;
    }
}

TEST_F(Report, FirstLineNumbersGroupMembersAndPositionText)
{
    SizeRect element;
    static_cast<TRect&>(element) = TRect(200, 300, 600, 500);
    ReportLines lines;
    AddDescriptionLine(element, 5, lines, 2, element.GetTypeName());
    AddDescriptionLine(element, 7, lines, 0, "Text");
    EXPECT_EQ(lines, ReportLines({"5.2. square: left 10, bottom 23, width 20, height 10",
                                  "7. Text: left 10, bottom 23, width 20, height 10"}));
    EXPECT_EQ(element.GetPositionText(), "(10, 23, 20, 10)");
}

TEST_F(Report, ColourLines)
{
    ReportLines lines;
    ColorPoint plain;
    plain.Describe(true, lines);

    ColorPoint two;
    two.SetCount(2);
    two.SetBackground(5);
    two.SetColorIndex(0, 3);
    two.SetColorIndex(1, 4);
    two.SetTag(pump_);
    two.Describe(false, lines);

    ColorPoint four;
    four.SetCount(4);
    for (int i = 0; i < 4; ++i)
        four.SetColorIndex(i, 12 + i);
    four.SetBackground(9);
    four.SetTag(0x8000 | kDeletedTag);
    four.Describe(true, lines);

    ColorPoint touch(ColorPoint::kTouchRegionKind);
    touch.SetCount(2);
    touch.Describe(true, lines);

    EXPECT_EQ(lines, ReportLines({
                         "Element colors: foreground: white; background: black",
                         "Border colors: point tag: PUMP; foreground: red, blue; background: green",
                         "Element colors: point tag: no tag; foreground: dark blue, dark green, dark cyan, "
                         "dark magenta; background: gray",
                         "Element colors: foreground: white, white; background: black",
                     }));
}

TEST_F(Report, ShowHideLines)
{
    ReportLines lines;
    DynamicData inactive;
    inactive.SetMask(0x0F);
    inactive.Describe(lines);

    DynamicData noStates;
    noStates.SetTag(pump_, 0);
    noStates.Describe(lines);

    DynamicData analog;
    analog.SetTag(pump_, 0);
    analog.SetMask(0x0D);
    analog.Describe(lines);

    DynamicData alarm;
    alarm.SetTag(pump_, 1);  // the tag's alarm bit
    alarm.SetMask(0x01);
    alarm.Describe(lines);

    DynamicData deleted;
    deleted.SetTag(kDeletedTag, 0);
    deleted.SetMask(0x02);
    deleted.Describe(lines);

    EXPECT_EQ(lines, ReportLines({"Show/Hide tag: PUMP (Value); states 0, 2, 3",
                                  "Show/Hide tag: PUMP (Alarm); states 0",
                                  "Show/Hide tag: no tag (Value); states 1"}));
}

TEST_F(Report, DynamicsLinesInTheirOrder)
{
    SizeRect element;
    element.GetDynPosition() = TDynPosition(pump_, kDeletedTag, {10, 5});
    element.GetDynRotation() = TDynRotation(valve_, {40, 10});
    element.GetDynFill() = TDynFill(pump_, 2);
    element.GetDynBlink() = TDynBlink(valve_, 0x05);
    ReportLines lines;
    element.Describe(3, lines, 0);
    EXPECT_EQ(lines, ReportLines({
                         "Blink tag: VALVE (Value); states 0, 2",
                         "Fill tag: PUMP; mode vert. chart",
                         "X position tag: PUMP; offset 10",
                         "Y position tag: no tag; offset 5",
                         "Rotation tag: VALVE; center (40, 10)",
                     }));

    SizeRect quiet;
    quiet.GetDynBlink() = TDynBlink(0, 0x0F);
    quiet.GetDynPosition() = TDynPosition(pump_, 0, {0, 7});  // no active axis
    lines.clear();
    quiet.Describe(1, lines, 0);
    EXPECT_EQ(lines, ReportLines({"Unconditional blink"}));
}
