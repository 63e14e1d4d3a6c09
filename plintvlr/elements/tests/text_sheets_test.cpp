// The sheets of the formatted text and the tag display, opened through the
// elements' Edit slot: the first page changes the element at once, Escape in
// the text and Cancel put it back, Apply marks the page modified, text
// panels grey the style and limit the text, and the tag page offers the
// display fields, widths and offsets the tag's kind and type allow.

#include "page_test_util.h"
#include "plintvlr/elements/tests/text_test_util.h"

#include "platform/ui/controls/combo_box.h"
#include "platform/ui/controls/edit.h"
#include "plintvlr/db/atag.h"
#include "plintvlr/elements/format_text.h"
#include "plintvlr/elements/point_elem.h"
#include "plintvlr/elements/text_sheets.h"
#include "plintvlr/shell/controls/num_edit.h"
#include "plintvlr/shell/mdi_hosts.h"

namespace {

class TextSheets : public PagesTest {
protected:
    void SetUp() override
    {
        PagesTest::SetUp();
        REQUIRE_PANEL_FONTS(fonts_);
    }

    template <class Sheet>
    Sheet& Edit(SizeRect& element)
    {
        element.Edit(&Client());
        driver.ProcessEvents();
        Sheet* sheet = nullptr;
        for (TWindow* host : Client().GetChildren())
            for (TWindow* child : host->GetChildren())
                if (auto* s = dynamic_cast<Sheet*>(child); s && s->IsWindow())
                    sheet = s;
        EXPECT_NE(sheet, nullptr);
        return *sheet;
    }

    static std::vector<std::string> Titles(TPropertySheet& sheet)
    {
        std::vector<std::string> titles;
        for (int i = 0; i < sheet.GetPageCount(); ++i)
            titles.push_back(sheet.GetPage(i)->GetTitle());
        return titles;
    }

    // Replaces a number as the engineer does.
    void Retype(TWindow& page, int id, const char* text)
    {
        driver.Focus(page, id);
        page.ChildWithId(id)->SendMessage(EM_SETSEL, 0, -1);  // typing replaces the selection
        driver.TypeKeys(text);
    }

    static int Maximum(TWindow& page, int id) { return dynamic_cast<TNumEdit*>(page.ChildWithId(id))->GetMaximum(); }

    PanelFontsScope fonts_;
};

}  // namespace

TEST_F(TextSheets, TheTextPageChangesTheElementAtOnceAndEscapePutsItBack)
{
    TFormatText element(TRect(200, 200, 200, 200), "Old", true);
    element.Relayout();
    for (bool escape : {true, false}) {
        SCOPED_TRACE(escape ? "Escape in the text" : "Cancel");
        auto& sheet = Edit<TFormatTextDlg>(element);
        EXPECT_EQ(sheet.GetHost()->GetWindowText(), "Formatted Text");
        EXPECT_EQ(Titles(sheet), (std::vector<std::string>{"Text", "Show/Hide", "Blink", "Position"}));
        TFormatTextPage& page = sheet.TextPage();
        EXPECT_EQ(page.GetDlgItemText(IDC_TEXT), "Old");
        EXPECT_TRUE(page.TextEdit().IsMultiLine());

        driver.Type(page, IDC_TEXT, "New");
        EXPECT_EQ(element.GetText(), "New");
        Retype(page, IDC_CHAR_WIDTH, "2");
        EXPECT_EQ(element.GetTextSize(), TSize(2, 1)) << page.GetDlgItemText(IDC_CHAR_WIDTH);
        driver.Click(page, IDC_JUSTIFY_CENTER);
        EXPECT_EQ(element.GetJustify(), 1);
        driver.Click(page, IDC_TEXT_VERTICAL);
        EXPECT_FALSE(element.GetHorizontal());
        EXPECT_FALSE(Editor().invalidated.empty()) << "the changes are repainted";
        if (escape) {
            EXPECT_TRUE(Screenshot(sheet, "formatted_text_sheet"));
            driver.Focus(page, IDC_TEXT);
            driver.PressKey(VK_ESCAPE);
        } else {
            driver.Click(sheet, IDCANCEL);
        }
        driver.ProcessEvents();
        EXPECT_FALSE(sheet.IsWindow());
        EXPECT_EQ(element.GetText(), "Old");
        EXPECT_EQ(element.GetTextSize(), TSize(1, 1));
        EXPECT_EQ(element.GetJustify(), 0);
        EXPECT_TRUE(element.GetHorizontal());
        EXPECT_FALSE(Editor().modified);
    }
}

TEST_F(TextSheets, ApplyMarksThePageModifiedAndKeepsTheChanges)
{
    TFormatText element(TRect(200, 200, 200, 200), "A", true);
    auto& sheet = Edit<TFormatTextDlg>(element);
    driver.Type(sheet.TextPage(), IDC_TEXT, "B");
    driver.Click(sheet, IDOK);
    driver.ProcessEvents();
    EXPECT_TRUE(Editor().modified);
    EXPECT_EQ(element.GetText(), "B");
}

TEST_F(TextSheets, TextPanelsGreyTheStyleAndLimitTheText)
{
    const struct {
        int panelType;
        std::size_t limit;
    } cases[] = {{15, 20}, {19, 16}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.panelType);
        OpenProject(c.panelType);
        TFormatText element(TRect(0, 0, 0, 0), "T", true);
        auto& sheet = Edit<TFormatTextDlg>(element);
        TFormatTextPage& page = sheet.TextPage();
        EXPECT_FALSE(page.TextEdit().IsMultiLine());
        for (int id : {IDC_JUSTIFY_LEFT, IDC_JUSTIFY_CENTER, IDC_JUSTIFY_RIGHT, IDC_TEXT_HORIZONTAL, IDC_TEXT_VERTICAL,
                       IDC_CHAR_WIDTH, IDC_CHAR_HEIGHT, 190, 160, 161, 162, 210})
            EXPECT_FALSE(Enabled(page, id)) << id;
        EXPECT_EQ(Titles(sheet).size(), 3u) << "no Position page";
        driver.Type(page, IDC_TEXT, std::string(30, 'x').c_str());
        EXPECT_EQ(element.GetText().size(), c.limit);
        driver.Click(sheet, IDCANCEL);
        driver.ProcessEvents();
    }
}

TEST_F(TextSheets, DisplayFieldsRangesAndTheEditableBox)
{
    PointElem element(TRect(200, 200, 200, 200), "A0001.PV", true);
    element.SetTagRef("A0001.PV");
    auto& sheet = Edit<TTagDisplayDlg>(element);
    EXPECT_EQ(sheet.GetHost()->GetWindowText(), "Tag Display");
    TTagDispPage& page = sheet.TagPage();
    EXPECT_EQ(page.DisplayFields(),
              (std::vector<std::string>{"PV", "EL", "EU", "IL", "IU", "AL", "AU", "AT", "UN", "TG"}));
    EXPECT_TRUE(Enabled(page, IDC_EDITABLE)) << "an analog tag's value";
    EXPECT_EQ(Maximum(page, IDC_DISPLAY_WIDTH), 12);
    EXPECT_FALSE(Enabled(page, IDC_DISPLAY_OFFSET));
    EXPECT_TRUE(Screenshot(sheet, "tag_display_sheet"));

    const struct {
        const char* field;  // long name in the list
        const char* type;
        int widthMax;
        bool offset;
    } fields[] = {
        {"Alarm Type", "AT", 1, false},
        {"Alarm Lower", "AL", 12, false},
        {"Tag Name", "TG", 32, true},
        {"Units", "UN", 10, true},
    };
    for (const auto& f : fields) {
        SCOPED_TRACE(f.type);
        driver.SelectComboItem(page, IDC_DISPLAY_FIELD, f.field);
        std::uint16_t id = 0;
        std::string type;
        element.GetTagAndType(id, type);
        EXPECT_EQ(type, f.type);
        EXPECT_EQ(Maximum(page, IDC_DISPLAY_WIDTH), f.widthMax);
        EXPECT_EQ(Enabled(page, IDC_DISPLAY_OFFSET), f.offset);
        EXPECT_FALSE(Enabled(page, IDC_EDITABLE)) << "only the tag value is editable";
    }

    // A digital tag: its own fields, width 0..1 for its value, no editable box.
    driver.SelectComboItem(page, IDC_DISPLAY_TAG, "DOOR");
    EXPECT_EQ(page.DisplayFields(), (std::vector<std::string>{"PV", "S0", "S1", "S2", "S3", "AT", "TG", "ST"}));
    EXPECT_EQ(element.GetTagRef().substr(0, 8), "D0001.PV");
    EXPECT_EQ(Maximum(page, IDC_DISPLAY_WIDTH), 1);
    EXPECT_FALSE(Enabled(page, IDC_EDITABLE));

    Retype(page, IDC_DISPLAY_WIDTH, "0");
    driver.Click(sheet, IDCANCEL);
    driver.ProcessEvents();
    EXPECT_EQ(element.GetTagRef(), "A0001.PV");
}

TEST_F(TextSheets, TextPanelsOfferNoAlarmFields)
{
    OpenProject(15);
    PointElem analog(TRect(), "A0001.PV", true);
    auto& sheet = Edit<TTagDisplayDlg>(analog);
    EXPECT_EQ(sheet.TagPage().DisplayFields(), (std::vector<std::string>{"PV", "EL", "EU", "IL", "IU", "UN", "TG"}));
    driver.Click(sheet, IDCANCEL);
    driver.ProcessEvents();
    PointElem digital(TRect(), "D0001.PV", true);
    auto& second = Edit<TTagDisplayDlg>(digital);
    EXPECT_EQ(second.TagPage().DisplayFields(), (std::vector<std::string>{"PV", "S0", "S1", "S2", "S3", "TG", "ST"}));
    driver.Click(second, IDCANCEL);
    driver.ProcessEvents();
}

TEST_F(TextSheets, ApplyStoresTheEditableBox)
{
    PointElem element(TRect(200, 200, 200, 200), "A0001.PV", true);
    auto& sheet = Edit<TTagDisplayDlg>(element);
    driver.Click(sheet.TagPage(), IDC_EDITABLE);
    driver.Click(sheet, IDOK);
    driver.ProcessEvents();
    EXPECT_TRUE(element.GetEditable());
    EXPECT_TRUE(Editor().modified);
}
