// What the text elements and the tag display do besides their records:
// previews from the project's tags, tag accessors, text limits, sizes by
// dragging, caption labels, report lines and the old-kind question.

#include "plintvlr/db/tests/project_fixture.h"
#include "plintvlr/elements/tests/text_test_util.h"

#include "platform/base/prompt.h"
#include "plintvlr/db/atag.h"
#include "plintvlr/db/dtag.h"
#include "plintvlr/db/dtag_registry.h"
#include "plintvlr/db/plc_address_tables.h"
#include "plintvlr/elements/format_text.h"
#include "plintvlr/elements/point_elem.h"
#include "plintvlr/elements/text_elem.h"

namespace {

const std::uint8_t kRegister12[] = {0x0C, 0, 0, 0};

class TextBehaviour : public ProjectFixture {
protected:
    void SetUp() override
    {
        ProjectFixture::SetUp();
        REQUIRE_PANEL_FONTS(fonts_);
        Open(kMonoPanel);
    }
    void Open(int panelType)
    {
        panel_.reset();
        CreateAndOpen("TEXTS" + std::to_string(panelType), panelType);
        panel_ = std::make_unique<PanelScope>(panelType);
    }

    void AddAnalog(int number, const std::string& name, int decimals, const std::string& units = "")
    {
        atag tag;
        tag.SetName(name);
        tag.SetAddress(0, kRegister12, 4, kAddressRegister);
        tag.SetDecimals(static_cast<std::uint8_t>(decimals));
        tag.SetUnits(units);
        ASSERT_TRUE(tag.Write(static_cast<std::uint32_t>(number)));
    }
    // Named in the registry too; the registry gives the number, which must be the one asked for.
    void AddDigital(int number, const std::string& name)
    {
        std::uint32_t id = 0;
        ASSERT_TRUE(Db().GetDigitalRegistry()->Add(name, id));
        ASSERT_EQ(id, static_cast<std::uint32_t>(number));
        dtag tag;
        tag.SetName(name);
        tag.SetAddress(0, kRegister12, 4, kAddressRegister);
        for (int i = 0; i < 4; ++i)
            tag.SetStatusText(i, "STATE" + std::to_string(i));
        ASSERT_TRUE(tag.Write(static_cast<std::uint32_t>(number)));
    }

    static std::string Preview(const char* ref)
    {
        PointElem element(TRect(), ref, true);
        return element.MakePreview();
    }

    PanelFontsScope fonts_;
    std::unique_ptr<PanelScope> panel_;
};

}  // namespace

TEST_F(TextBehaviour, TagDisplayPreviews)
{
    AddAnalog(2, "LEVEL", 2, "litres");
    AddDigital(1, "VALVE_ONE1");
    const struct {
        const char* ref;
        const char* preview;
    } cases[] = {
        {"A0001.PV", "00000000"},         // no tag 1: zeros all the same
        {"A0002.PV", "00000.00"},         // two decimals
        {"A0002.PV,03", "***"},           // too wide for three characters
        {"A0007.TG", "????????????"},     // no such tag
        {"A0002.UN,00,02", "tres"},       // units from the offset
        {"A0002.TG,00,40", "LEVEL"},      // an offset beyond the name: from its start
        {"A0002.ID", "A0002"},            // the reference's first characters
        {"D0001.PV", "0"},
        {"D0001.S1", "STATE1"},
        {"D0001.ST,03", "STA"},
        {"D0001.TG,00,40", "VALVE_ONE1"},
        {"D0001.B2", " "},
        {"D0009.S0", "????????????"},
        {"B0004.PV", "0"},
        {"R0004.PV", "000000"},
        {"R0004.TX", "??"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Preview(c.ref), c.preview) << c.ref;
}

TEST_F(TextBehaviour, RegisterTextIs32WideOnTheLargePanels)
{
    panel_.reset();
    panel_ = std::make_unique<PanelScope>(kColorPanel);
    EXPECT_EQ(Preview("R0004.TX"), std::string(32, '?'));
    EXPECT_EQ(Preview("R0004.PV"), "000000");
}

TEST_F(TextBehaviour, TagDisplayAccessors)
{
    PointElem element(TRect(), "D0003.S1,05,02", true);
    EXPECT_EQ(element.GetWidth(), 5);
    EXPECT_EQ(element.GetOffset(), 2);
    std::uint16_t id = 0;
    std::string type;
    element.GetTagAndType(id, type);
    EXPECT_EQ(id, 0x8003);
    EXPECT_EQ(type, "S1");

    const struct {
        const char* ref;
        std::uint16_t tag;
    } tags[] = {{"A0012.EL", 0}, {"A0012.PV", 12}, {"D0003.ST", 0x8003}, {"B0005.PV", 0xC005}, {"R0006.PV", 0x4006},
                {"D0003.TG", 0}};
    for (const auto& t : tags)
        EXPECT_EQ(PointElem(TRect(), t.ref, true).GetTag(), t.tag) << t.ref;

    // Large numbers and widths are kept by their fields.
    PointElem large(TRect(), "A0001.PV", true);
    large.SetTagAndType(0x8000 | 12000, "TG");
    large.SetWidth(150);
    large.SetOffset(7);
    EXPECT_EQ(large.GetTagRef(), "D12000.TG,150,07");
    large.SetTag(10200);
    EXPECT_EQ(large.GetTagRef(), "A10200.TG,150,07");
    EXPECT_EQ(large.GetWidth(), 150);
    EXPECT_EQ(large.GetOffset(), 7);
    PointElem offsetFirst(TRect(), "A0001.TG", true);
    offsetFirst.SetOffset(3);
    EXPECT_EQ(offsetFirst.GetTagRef(), "A0001.TG,00,03");
}

TEST_F(TextBehaviour, TextLimitsOfTheSmallTextPanels)
{
    const struct {
        int panelType;
        std::size_t limit;
    } cases[] = {{15, 20}, {19, 16}};
    for (const auto& c : cases) {
        Open(c.panelType);
        TFormatText element(TRect(0, 0, 20, 20), "X", true);
        EXPECT_FALSE(element.SetText(std::string(c.limit, 'a')).IsEmpty()) << c.panelType;
        EXPECT_TRUE(element.SetText(std::string(c.limit + 1, 'b')).IsEmpty()) << c.panelType;
        EXPECT_EQ(element.GetText(), std::string(c.limit, 'a'));
        EXPECT_TRUE(element.SetText(std::string(c.limit, 'a')).IsEmpty()) << "unchanged";
    }
}

TEST_F(TextBehaviour, TextPanelsOnlyMoveAndKeepTheBlock)
{
    Open(15);
    TFormatText element(TRect(0, 0, 0, 0), "ABCD", true);
    element.Relayout();
    const TRect block = element.GetRect();
    EXPECT_EQ(block.Width(), 4 * 6 * 20);
    EXPECT_TRUE(element.SnapToGrid(5, {200, 200}).IsEmpty()) << "no resizing";
    EXPECT_EQ(element.GetRect(), block);
    EXPECT_FALSE(element.SnapToGrid(kDragMove, {120, 0}).IsEmpty());
    EXPECT_EQ(element.GetRect().Width(), block.Width());
    EXPECT_TRUE(element.SetHorizontal(false).IsEmpty());
}

TEST_F(TextBehaviour, FormattedTextWrapsIntoItsWidthAndGrowsToTheBlock)
{
    // Three cells wide: "AB CD" breaks into two lines of two.
    TFormatText element(TRect(0, 0, 3 * 6 * 20, 20), "AB CD", true);
    element.Relayout();
    EXPECT_EQ(element.GetColumns(), 2);
    EXPECT_EQ(element.GetRows(), 2);
    EXPECT_EQ(element.GetRect().Height(), 2 * 8 * 20);
    EXPECT_EQ(element.GetPositionText(), "AB CD");
    element.SetText("one\r\ntwo");
    EXPECT_EQ(element.GetRows(), 2);
    EXPECT_EQ(element.GetPositionText(), "one");

    // Doubling the width rescales the extent along the text.
    TFormatText sized(TRect(0, 0, 360, 160), "ABC", true);
    sized.Relayout();
    sized.SetTextSize(2, 1);
    EXPECT_EQ(sized.GetRect().Width(), 720);
    EXPECT_TRUE(sized.SetTextSize(0, 3).IsEmpty());
    EXPECT_TRUE(sized.SetTextSize(2, 1).IsEmpty());
}

TEST_F(TextBehaviour, DraggingATextElementGoesInWholeBlocks)
{
    TextElem element(TRect(0, 160, 0, 160), "ABC", true);
    element.SetTextSize(1, 1);
    EXPECT_EQ(element.GetRect().Width(), 360);
    EXPECT_EQ(element.GetSizeStep(true), TSize(360, 160));
    // On the 240-pixel screen six blocks of 18 pixels fit.
    EXPECT_EQ(element.GetMaxSize().cx, 6 * 360);
    std::vector<int> widths;
    for (int drag = 1; drag <= 8; ++drag) {
        TextElem dragged(element);
        dragged.SnapToGrid(5, {drag * 360, 0});
        widths.push_back(dragged.GetRect().Width());
        EXPECT_EQ(dragged.GetTextSize().cx, dragged.GetRect().Width() / 360);
    }
    EXPECT_EQ(widths[0], 720);
    EXPECT_EQ(widths[1], 1080);
    for (int w : widths)
        EXPECT_LE(w, 6 * 360);

    // An empty text is one blank; the 81st character is never kept.
    EXPECT_EQ(TextElem(TRect(), "", true).GetText(), " ");
    EXPECT_EQ(TextElem(TRect(), std::string(100, 'y').c_str(), true).GetText().size(), 80u);
    TextElem cut(TRect(0, 160, 360, 320), "A", true);
    cut.SetText(std::string(60, 'z').c_str());
    EXPECT_EQ(cut.GetText().size(), 40u) << "what fits the 240-pixel screen in 6-pixel cells";
}

TEST_F(TextBehaviour, LabelsShowTheLeadingCharactersThatFit)
{
    // 5 characters of 6 pixels need 600 units; the rectangle has 400.
    LabelRect label(TRect(1000, 0, 1400, 160), "12345", true);
    EXPECT_EQ(label.GetShown(), 3);
    EXPECT_EQ(label.GetDrawRect(), TRect(1020, 0, 1380, 160)) << "centred on the rectangle";
    label.SetCentered(false);
    EXPECT_EQ(label.GetDrawRect(), TRect(1000, 0, 1360, 160));
    label.SetTextSize(2, 2);
    EXPECT_EQ(label.GetShown(), 1);
    EXPECT_EQ(label.Height(), 2 * 8 * 20);
    EXPECT_EQ(label.GetTextWidth(), 5LL * 6 * 2 * 20);
    label.SetBottomLeft({100, 900});
    EXPECT_EQ(label.bottom, 900);
    EXPECT_EQ(label.left, 100);
    label.SetLength(-5);
    EXPECT_EQ(label.Width(), 0);
    EXPECT_EQ(label.GetShown(), 0);
}

TEST_F(TextBehaviour, DescriptionsInPiecesOfAtMost120)
{
    const struct {
        std::size_t length;
        std::vector<std::size_t> pieces;
    } cases[] = {{250, {120, 120, 10}}, {241, {120, 120, 1}}, {1, {1}}};
    for (const auto& c : cases) {
        TFormatText element(TRect(0, 0, 20, 20), std::string(c.length, 'x').c_str(), true);
        ReportLines lines;
        element.Describe(1, lines, 0);
        const auto title = std::find(lines.begin(), lines.end(), "Text string:");
        ASSERT_NE(title, lines.end());
        std::vector<std::size_t> pieces;
        for (auto it = title + 1; it != lines.end() && !it->empty(); ++it)
            pieces.push_back(it->size());
        EXPECT_EQ(pieces, c.pieces) << c.length;
        EXPECT_TRUE(lines.back().empty());
    }
    // A blank at or after 100 characters ends a piece there.
    ReportLines lines;
    TFormatText::AddTextPieces(std::string(105, 'a') + " " + std::string(30, 'b'), lines);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 105u);
}

TEST_F(TextBehaviour, ReportLinesOfTheTextElementsAndTagDisplays)
{
    AddDigital(1, "VALVE");
    TFormatText text(TRect(0, 0, 20, 20), "Hi", false);
    text.SetJustify(1);
    ReportLines lines;
    text.Describe(2, lines, 0);
    EXPECT_EQ(lines[0].substr(0, 18), "2. Formatted Text:");
    EXPECT_EQ(lines[1], "Vertical; center justified; size 1/1");

    const struct {
        const char* ref;
        const char* line;
    } points[] = {
        {"D0001.S1", "Point tag: VALVE; displaying type: Status Text 1; string: STATE1"},
        {"R0001.TX", "Point tag: VALVE; displaying type: Text; string: ??"},
        {"B0001.PV", "Point tag: VALVE; displaying type: Bit Value; string: 0"},
        {"A0099.PV", "Point tag: no tag; displaying type: Tag Value; string: 00000000"},
    };
    for (const auto& p : points) {
        PointElem point(TRect(), p.ref, true);
        point.SetTagRef(p.ref);
        ReportLines pointLines;
        point.Describe(4, pointLines, 0);
        ASSERT_GE(pointLines.size(), 4u);
        EXPECT_EQ(pointLines[1], p.line) << p.ref;
        EXPECT_EQ(pointLines[3], "Width: 0; Offset: 0; Editable: False");
    }

    TextElem one(TRect(0, 0, 20, 20), "ABC", true);
    ReportLines oneLines;
    one.Describe(1, oneLines, 0);
    EXPECT_EQ(oneLines[1], "Text string: ABC");
    EXPECT_EQ(oneLines[2], "Horizontal");
}

TEST_F(TextBehaviour, OldKindsAreConvertedOnlyWhenTheEngineerAgrees)
{
    ScriptedPrompts prompts;
    prompts.Answer(IDNO).Answer(IDYES);
    PointElem point(TRect(), "R0004.PV", true);
    point.Edit(nullptr);
    EXPECT_EQ(point.GetTagRef(), "R0004.PV");
    point.Edit(nullptr);
    EXPECT_EQ(point.GetTagRef(), "A0001.PV");
    ASSERT_EQ(prompts.Shown().size(), 2u);
    EXPECT_EQ(prompts.Shown()[0].caption, "Plintvlr 5.1.0a");

    // A show/hide attribute on a register converts to digital tag 1.
    prompts.Answer(IDYES);
    TFormatText text(TRect(0, 0, 20, 20), "X", true);
    text.GetShowHide().SetTag(0x4005, 0);
    ASSERT_TRUE(text.GetShowHide().IsActive());
    text.Edit(nullptr);
    EXPECT_EQ(text.GetShowHide().GetReference(), 0x8001);
    EXPECT_EQ(prompts.Shown().size(), 3u);
}

TEST_F(TextBehaviour, ALineLongerThanTheScreenIsWarnedAboutAndStillWritten)
{
    ScriptedPrompts prompts;
    TFormatText element(TRect(0, 0, 20, 20), std::string(50, 'w').c_str(), true);
    element.Relayout();
    EXPECT_TRUE(element.IsLineTooLong());
    EXPECT_FALSE(RecordOf(element).empty());
    ASSERT_EQ(prompts.Shown().size(), 1u);
    EXPECT_EQ(prompts.Shown()[0].text, "A text line is too long for the quellstor screen.");
    EXPECT_EQ(prompts.Shown()[0].caption, "Application Message");
}
