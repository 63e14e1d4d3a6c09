// The sheets of the lines element and of rectangles, circles and frames,
// opened through the elements' Edit slot: the style page changes the
// element at once and puts it back on Cancel, the Fill page comes and goes
// with the filled style, and the pages a sheet has follow the panel type.

#include "page_test_util.h"

#include "plintvlr/elements/dyn_fill_sheet.h"
#include "plintvlr/elements/fill_page.h"
#include "plintvlr/elements/line_style_page.h"
#include "plintvlr/elements/lines_elem.h"
#include "plintvlr/elements/reg_fig_elem.h"
#include "plintvlr/elements/tag_mask_page.h"
#include "plintvlr/shell/mdi_hosts.h"
#include "plintvlr/shell/controls/num_edit.h"

#include <array>
#include <vector>

namespace {

using Titles = std::vector<std::string>;

class ShapeSheets : public PagesTest {
protected:
    // Opens the element's sheet as the page editor does, and finds it.
    TDynFillSheet& Edit(SizeRect& element)
    {
        element.Edit(&Client());
        driver.ProcessEvents();
        TDynFillSheet* sheet = nullptr;
        for (TWindow* host : Client().GetChildren()) {
            for (TWindow* child : host->GetChildren()) {
                if (auto* s = dynamic_cast<TDynFillSheet*>(child); s && s->IsWindow())
                    sheet = s;
            }
        }
        EXPECT_NE(sheet, nullptr);
        return *sheet;
    }

    static TLineStylePage& StylePage(TDynFillSheet& sheet) { return *dynamic_cast<TLineStylePage*>(sheet.GetPage(0)); }

    static Titles PageTitles(TDynFillSheet& sheet)
    {
        Titles titles;
        for (int i = 0; i < sheet.GetPageCount(); ++i)
            titles.push_back(sheet.GetPage(i)->GetTitle());
        return titles;
    }

    static Bytes Record(const SizeRect& element)
    {
        std::array<std::uint8_t, 512> buffer{};
        std::uint8_t* end = element.WriteRecord(buffer.data());
        return end ? Bytes(buffer.data(), end) : Bytes();
    }

    static LinesElem Lines()
    {
        LinesElem lines({{400, 400}, {1400, 900}, {2000, 500}});
        lines.SetLineWidth(3);
        return lines;
    }
    // A figure of w x h pixels at (10, 10).
    static TRegFigElem Figure(int kind, int w = 60, int h = 30)
    {
        return TRegFigElem(kind, {200, 200}, {200 + w * kUnitsPerPixel, 200 + h * kUnitsPerPixel});
    }
};

}  // namespace

TEST_F(ShapeSheets, TheFilledStyleGreysTheWidthAndBringsTheFillPage)
{
    LinesElem lines = Lines();
    TRegFigElem rectangle = Figure(TRegFigElem::kRectangle);
    TRegFigElem circle = Figure(TRegFigElem::kCircle);
    const struct {
        SizeRect* element;
        TLineStyle* style;
        const char* open;
        const char* filled;
        const char* caption;
    } cases[] = {
        {&lines, &lines, "&Lines", "&Shape", "Lines/Shape"},
        {&rectangle, &rectangle, "&Unfilled", "&Filled", "Rectangle"},
        {&circle, &circle, "&Unfilled", "&Filled", "Circle"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        c.style->SetLineWidth(3);
        TDynFillSheet& sheet = Edit(*c.element);
        EXPECT_EQ(sheet.GetHost()->GetWindowText(), c.caption);
        TLineStylePage& page = StylePage(sheet);
        EXPECT_EQ(page.GetDlgItemText(IDC_STYLE_OPEN), c.open);
        EXPECT_EQ(page.GetDlgItemText(IDC_STYLE_FILLED), c.filled);
        EXPECT_EQ(page.GetDlgItemText(IDC_LINE_WIDTH), "3");
        const int pages = sheet.GetPageCount();
        EXPECT_EQ(sheet.GetFillPage(), nullptr);

        driver.Click(page, IDC_STYLE_FILLED);
        EXPECT_TRUE(c.style->IsFilled());
        EXPECT_EQ(c.style->GetLineWidth(), 1);
        EXPECT_EQ(page.GetDlgItemText(IDC_LINE_WIDTH), "1");
        for (int id : {IDC_LINE_WIDTH, IDC_LINE_WIDTH_UPDOWN, IDC_WIDTH_LABEL})
            EXPECT_FALSE(Enabled(page, id)) << id;
        ASSERT_EQ(sheet.GetPageCount(), pages + 1);
        EXPECT_EQ(sheet.GetPage(pages), sheet.GetFillPage());
        EXPECT_EQ(PageTitles(sheet).back(), "Fill");
        if (c.element == &rectangle) {
            EXPECT_TRUE(Screenshot(sheet, "rectangle_sheet_filled"));
        }

        driver.Click(page, IDC_STYLE_OPEN);
        EXPECT_FALSE(c.style->IsFilled());
        for (int id : {IDC_LINE_WIDTH, IDC_LINE_WIDTH_UPDOWN, IDC_WIDTH_LABEL})
            EXPECT_TRUE(Enabled(page, id)) << id;
        EXPECT_EQ(sheet.GetPageCount(), pages);
        EXPECT_EQ(sheet.GetFillPage(), nullptr);
        driver.Click(sheet, IDOK);
    }
}

TEST_F(ShapeSheets, AFilledElementOpensWithItsFillPageAndAGreyWidth)
{
    LinesElem shape = Lines();
    shape.SetFilled(true);
    TDynFillSheet& sheet = Edit(shape);
    ASSERT_NE(sheet.GetFillPage(), nullptr);
    EXPECT_EQ(PageTitles(sheet), Titles({"Style", "Show/Hide", "Blink", "Rotation", "Position", "Fill"}));
    EXPECT_FALSE(Enabled(StylePage(sheet), IDC_LINE_WIDTH));
    EXPECT_TRUE(Screenshot(sheet, "lines_sheet"));
    sheet.SelectPage(*sheet.GetFillPage());
    driver.Click(*sheet.GetFillPage(), IDC_FILL_MODE_0 + 3);
    driver.Click(sheet, IDOK);
    EXPECT_EQ(shape.GetDynFill().GetMode(), 3);
}

TEST_F(ShapeSheets, CancelGivesTheElementBackAsItWas)
{
    LinesElem lines = Lines();
    TRegFigElem frame = Figure(TRegFigElem::kFrame);
    frame.SetLineWidth(2);
    for (SizeRect* element : std::initializer_list<SizeRect*>{&lines, &frame}) {
        SCOPED_TRACE(element->GetTypeName());
        const Bytes before = Record(*element);
        TDynFillSheet& sheet = Edit(*element);
        TLineStylePage& page = StylePage(sheet);
        page.SetDlgItemText(IDC_LINE_WIDTH, "");
        driver.Type(page, IDC_LINE_WIDTH, "5");
        EXPECT_EQ(dynamic_cast<TLineStyle*>(element)->GetLineWidth(), 5) << "the element changes at once";
        EXPECT_FALSE(Editor().invalidated.empty()) << "and is repainted";
        driver.Click(page, IDC_STYLE_FILLED);
        EXPECT_TRUE(dynamic_cast<TLineStyle*>(element)->IsFilled());
        driver.Click(sheet, IDCANCEL);
        driver.ProcessEvents();
        EXPECT_FALSE(sheet.IsWindow());
        EXPECT_EQ(Record(*element), before);
        EXPECT_FALSE(Editor().modified);
    }
}

TEST_F(ShapeSheets, OkKeepsTheChangesFreezesNodesAndMarksThePage)
{
    LinesElem lines = Lines();
    lines.SetNodesFrozen(false);
    TDynFillSheet& sheet = Edit(lines);
    TLineStylePage& page = StylePage(sheet);
    EXPECT_FALSE(Checked(page, IDC_FREEZE_NODES));
    driver.Click(page, IDC_FREEZE_NODES);
    page.SetDlgItemText(IDC_LINE_WIDTH, "");
    driver.Type(page, IDC_LINE_WIDTH, "9");
    EXPECT_EQ(page.GetDlgItemText(IDC_LINE_WIDTH), "6");
    driver.Click(sheet, IDOK);
    EXPECT_TRUE(lines.AreNodesFrozen());
    EXPECT_EQ(lines.GetLineWidth(), 6);
    EXPECT_TRUE(Editor().modified);
}

TEST_F(ShapeSheets, ThePanelTypeDecidesTheFilledStyleAndTheMotionPages)
{
    const struct {
        int panelType;
        int kind;  // -1 for a lines element
        bool fillable;
        Titles titles;
    } cases[] = {
        {9, -1, true, {"Style", "Show/Hide", "Blink", "Rotation", "Position"}},
        {14, TRegFigElem::kFrame, true, {"Style", "Show/Hide", "Blink", "Position"}},
        {11, TRegFigElem::kCircle, false, {"Style", "Show/Hide", "Blink", "Rotation", "Position"}},
        {11, -1, false, {"Style", "Show/Hide", "Blink", "Rotation", "Position"}},
        {kColorPanel, TRegFigElem::kRectangle, false, {"Style", "Show/Hide", "Blink"}},
        {kColorPanel, TRegFigElem::kFrame, false, {"Style", "Show/Hide", "Blink"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.panelType) + " kind " + std::to_string(c.kind));
        OpenProject(c.panelType);
        LinesElem lines = Lines();
        TRegFigElem figure = Figure(c.kind < 0 ? 0 : c.kind);
        TDynFillSheet& sheet = Edit(c.kind < 0 ? static_cast<SizeRect&>(lines) : figure);
        EXPECT_EQ(PageTitles(sheet), c.titles);
        EXPECT_EQ(Enabled(StylePage(sheet), IDC_STYLE_FILLED), c.fillable);
        driver.Click(sheet, IDCANCEL);
        driver.ProcessEvents();
    }
}

TEST_F(ShapeSheets, SideWidthsLeaveRoomInsideTheFigure)
{
    const struct {
        int kind;
        int w;
        int h;
        int maximum;
    } cases[] = {
        {TRegFigElem::kFrame, 60, 40, 19},
        {TRegFigElem::kFrame, 3, 3, 1},  // never a frame without sides
        {TRegFigElem::kRectangle, 2, 50, 1},
        {TRegFigElem::kCircle, 30, 30, 14},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        TRegFigElem figure = Figure(c.kind, c.w, c.h);
        TDynFillSheet& sheet = Edit(figure);
        TLineStylePage& page = StylePage(sheet);
        EXPECT_EQ(page.GetMaxWidth(), c.maximum);
        page.SetDlgItemText(IDC_LINE_WIDTH, "");
        driver.Type(page, IDC_LINE_WIDTH, "99");
        EXPECT_EQ(figure.GetLineWidth(), c.maximum);
        if (c.kind == TRegFigElem::kFrame && c.w == 60) {
            EXPECT_TRUE(Screenshot(sheet, "frame_sheet"));
        }
        driver.Click(sheet, IDOK);
        EXPECT_EQ(figure.GetLineWidth(), c.maximum);
    }
}

TEST_F(ShapeSheets, AFramesShowHidePageKeepsTwoStatesOfAnAnalogTag)
{
    for (int kind : {TRegFigElem::kFrame, TRegFigElem::kRectangle}) {
        SCOPED_TRACE(kind);
        TRegFigElem figure = Figure(kind);
        figure.GetShowHide().SetTag(kLevel, 0);
        figure.GetShowHide().SetMask(0x0F);
        TDynFillSheet& sheet = Edit(figure);
        ASSERT_EQ(sheet.GetPage(1)->GetTitle(), "Show/Hide");
        sheet.SelectPage(1);
        TPropertyPage& page = *sheet.GetPage(1);
        const bool four = kind != TRegFigElem::kFrame;
        EXPECT_EQ(Enabled(page, IDC_STATE_00 + 2), four);
        EXPECT_EQ(Enabled(page, IDC_STATE_00 + 3), four);
        if (!four) {
            EXPECT_TRUE(Screenshot(sheet, "frame_sheet_show_hide"));
        }
        driver.Click(sheet, IDOK);
        EXPECT_EQ(figure.GetShowHide().GetMask(), four ? 0x0F : 0x03);
    }
}

TEST_F(ShapeSheets, WithoutAPageEditorChangesRepaintNothing)
{
    SetActivePageEditor(nullptr);
    TRegFigElem rectangle = Figure(TRegFigElem::kRectangle);
    TDynFillSheet& sheet = Edit(rectangle);
    EXPECT_EQ(sheet.GetCanvas(), nullptr);
    driver.Click(StylePage(sheet), IDC_STYLE_FILLED);
    EXPECT_TRUE(rectangle.IsFilled());
    EXPECT_TRUE(Editor().invalidated.empty());
    driver.Click(sheet, IDOK);
    EXPECT_TRUE(rectangle.IsFilled());
}
