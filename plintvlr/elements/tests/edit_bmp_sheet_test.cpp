// The bitmap element's sheet driven as the engineer uses it: the type list
// and the controls each type shows, the Discrete data types and states, the
// limits, the value list with its entry dialog, Apply from another tab, and
// the question for elements of the oldest projects.

#include "page_test_util.h"

#include "platform/base/prompt.h"
#include "platform/ui/controls/combo_box.h"
#include "platform/ui/controls/list_box.h"
#include "plintvlr/db/atag.h"
#include "plintvlr/db/tag_reference.h"
#include "plintvlr/db/tqs_bitmaps.h"
#include "plintvlr/elements/bitmap_elem.h"
#include "plintvlr/elements/edit_bmp_sheet.h"
#include "plintvlr/shell/controls/bmpbtn.h"
#include "plintvlr/shell/controls/control_pictures.h"
#include "plintvlr/shell/mdi_hosts.h"

namespace {

constexpr int kApplyButton = 12321;

class BitmapSheet : public PagesTest {
protected:
    void SetUp() override
    {
        PagesTest::SetUp();
        RegisterControlPictures();
        // LEVEL: two decimals.
        atag level;
        level.SetName("LEVEL");
        const std::uint8_t register12[] = {0x0C, 0, 0, 0};
        level.SetAddress(0, register12, 4, kAddressRegister);
        level.SetDataType(kTypeUnsignedWord);
        level.SetDecimals(2);
        ASSERT_TRUE(level.Write(kLevel));
        TQSBitmaps& library = GetBitmapLibrary();
        library.ClearAll();
        TDib a(8, 8, 1);
        TDib b(8, 8, 1);
        b.SetPixelIndex(2, 2, 1);
        library.SetSlot(0, a, "ALPHA");
        library.SetSlot(1, b, "BETA");
        // The bitmap buttons' picker answers with the slot the test sets.
        SetBitmapPicker([this](TWindow&, TQSBitmaps&, bool, int, int& slot) { slot = nextSlot; });
    }
    void TearDown() override
    {
        SetBitmapPicker(nullptr);
        GetBitmapLibrary().ClearAll();
        PagesTest::TearDown();
    }

    // The open sheet in the client, or null.
    TEditBmpSheet* FindSheet()
    {
        TEditBmpSheet* sheet = nullptr;
        for (TWindow* host : Client().GetChildren())
            for (TWindow* child : host->GetChildren())
                if (auto* s = dynamic_cast<TEditBmpSheet*>(child); s && s->IsWindow())
                    sheet = s;
        return sheet;
    }
    TEditBmpSheet& Edit(BitmapElem& element)
    {
        element.Edit(&Client());
        driver.ProcessEvents();
        TEditBmpSheet* sheet = FindSheet();
        EXPECT_NE(sheet, nullptr);
        return *sheet;
    }
    static TBitmapPage& Page(TEditBmpSheet& sheet) { return *dynamic_cast<TBitmapPage*>(sheet.GetPage(0)); }
    static bool Shown(TWindow& page, int id) { return page.ChildWithId(id)->IsWindowVisible(); }
    static TListBox& List(TWindow& page) { return *dynamic_cast<TListBox*>(page.ChildWithId(IDC_BMP_LIST)); }
    static std::vector<std::string> Texts(TListBox& list)
    {
        std::vector<std::string> texts;
        for (int i = 0; i < list.GetCount(); ++i)
            texts.push_back(list.GetString(i) + "/" + std::to_string(list.GetItemData(i)));
        return texts;
    }
    // Adds (or changes the selected entry to) a value with the next bitmap.
    void Entry(TBitmapPage& page, int button, const char* value, int slot, bool refused = false)
    {
        nextSlot = slot;
        driver.OnNextDialog([&, value, refused](TDialog& d) {
            driver.Focus(d, IDC_ENTRY_VALUE);
            d.ChildWithId(IDC_ENTRY_VALUE)->SetWindowText("");
            driver.Type(d, IDC_ENTRY_VALUE, value);
            driver.Click(d, IDC_ENTRY_BITMAP);
            if (refused)
                driver.AnswerMessageBox(IDOK);
            driver.Click(d, IDOK);
            if (refused)
                driver.Click(d, IDCANCEL);
        });
        driver.Click(page, button);
    }

    static BitmapElem Element() { return BitmapElem(TPoint(200, 840)); }

    int nextSlot = 0;
};

}  // namespace

TEST_F(BitmapSheet, EachTypeShowsItsControlsAndLimitTakesAnAnalogTag)
{
    BitmapElem element = Element();
    element.SetTag(kDoor);
    element.SetDiscrete(1, 2, 0, 0, false);
    TEditBmpSheet& sheet = Edit(element);
    EXPECT_EQ(sheet.GetHost()->GetWindowText(), "Bitmap Display");
    ASSERT_EQ(sheet.GetPageCount(), 3);
    TBitmapPage& page = Page(sheet);
    EXPECT_EQ(page.GetWorkingTag(), kDoor);
    EXPECT_TRUE(Shown(page, IDC_BMP_DATA_TYPE));
    EXPECT_FALSE(Shown(page, IDC_BMP_STATIC_BITMAP));
    EXPECT_FALSE(Shown(page, IDC_BMP_LIST));
    EXPECT_TRUE(Shown(page, IDC_BMP_TAG));

    driver.SelectComboItem(page, IDC_BMP_TYPE, "Limit");
    EXPECT_EQ(page.GetWorkingTag(), 1);
    EXPECT_EQ(page.GetDlgItemText(IDC_BMP_TAG), "LEVEL");
    EXPECT_TRUE(Shown(page, IDC_BMP_HIGH_BOX));
    EXPECT_FALSE(Shown(page, IDC_BMP_HIGH_BITMAP));  // follows its unchecked box
    EXPECT_FALSE(page.ChildWithId(IDC_BMP_HIGH_VALUE)->IsWindowEnabled());
    EXPECT_FALSE(Shown(page, IDC_BMP_DATA_TYPE));

    driver.SelectComboItem(page, IDC_BMP_TYPE, "Static");
    EXPECT_FALSE(Shown(page, IDC_BMP_TAG));
    EXPECT_TRUE(Shown(page, IDC_BMP_STATIC_BITMAP));
    Screenshot(*sheet.GetHost(), "bitmap_sheet_static");
    driver.Click(sheet, IDCANCEL);
    EXPECT_EQ(element.GetMode(), BitmapElem::kDiscrete);  // Cancel keeps the element
}

TEST_F(BitmapSheet, DiscreteStatesFollowTheTagAndItsDataType)
{
    BitmapElem element = Element();
    element.SetTag(kDoor);
    element.SetDiscrete(1, 2, 1, 2, true);
    TEditBmpSheet& sheet = Edit(element);
    TBitmapPage& page = Page(sheet);
    // One input: "0-0" and "0-1" only.
    EXPECT_TRUE(Shown(page, IDC_BMP_STATE_01));
    EXPECT_FALSE(Shown(page, IDC_BMP_STATE_10));
    EXPECT_FALSE(Shown(page, IDC_BMP_STATE_11));
    const auto* types = dynamic_cast<TComboBox*>(page.ChildWithId(IDC_BMP_DATA_TYPE));
    EXPECT_EQ(types->GetCount(), 3);

    // A second input with Value: all four; Alarm: two.
    driver.SelectComboItem(page, IDC_BMP_TAG, "VALVE");
    EXPECT_TRUE(Shown(page, IDC_BMP_STATE_10));
    EXPECT_TRUE(Shown(page, IDC_BMP_STATE_11));
    EXPECT_TRUE(page.ChildWithId(IDC_BMP_STATE_10_LABEL)->IsWindowEnabled());
    Screenshot(*sheet.GetHost(), "bitmap_sheet_discrete");
    driver.SelectComboItem(page, IDC_BMP_DATA_TYPE, "Alarm");
    EXPECT_FALSE(Shown(page, IDC_BMP_STATE_10));
    EXPECT_FALSE(page.ChildWithId(IDC_BMP_STATE_10_LABEL)->IsWindowEnabled());

    // Unack stores the tag's reference of bit 2.
    driver.SelectComboItem(page, IDC_BMP_DATA_TYPE, "Unack");
    driver.Click(sheet, IDOK);
    std::uint16_t expected = kValve;
    JoinTagRefBit(expected, 2);
    EXPECT_NE(expected, kValve);
    EXPECT_EQ(element.GetTag(), expected);
    EXPECT_EQ(element.GetMode(), BitmapElem::kDiscrete);
    EXPECT_EQ(element.GetEntries().size(), 2u);

    // Opened again, the page splits the reference back into tag and data type.
    TBitmapPage& again = Page(Edit(element));
    EXPECT_EQ(again.GetWorkingTag(), kValve);
    EXPECT_EQ(again.GetDataTypeIndex(), 2);
    driver.Click(*again.GetSheet(), IDCANCEL);
}

TEST_F(BitmapSheet, ApplyFromAnotherTabKeepsFourDiscreteBitmaps)
{
    BitmapElem element = Element();
    element.SetTag(kValve);
    element.SetDiscrete(1, 2, 2, 1, true);
    TEditBmpSheet& sheet = Edit(element);
    TBitmapPage& page = Page(sheet);
    ASSERT_TRUE(Shown(page, IDC_BMP_STATE_10));
    nextSlot = 1;
    driver.Click(page, IDC_BMP_STATE_11);  // state 3 takes BETA
    ASSERT_TRUE(sheet.SelectPage(1));      // the Blink tab
    EXPECT_FALSE(Shown(page, IDC_BMP_STATE_10));
    driver.Click(sheet, kApplyButton);
    EXPECT_EQ(element.GetEntries(), BmpRecordArray({{0, 1}, {0, 2}, {0, 2}, {0, 2}}));
    driver.Click(sheet, IDCANCEL);
}

TEST_F(BitmapSheet, LimitsWithoutABoxAndValuesWithDecimals)
{
    BitmapElem element = Element();
    element.SetTag(kLevel);
    element.SetLimits({}, {}, BitmapElem::kKindLowLimit);
    TEditBmpSheet& sheet = Edit(element);
    TBitmapPage& page = Page(sheet);
    EXPECT_TRUE(Checked(page, IDC_BMP_LOW_BOX));
    driver.Click(page, IDC_BMP_LOW_BOX);
    driver.Click(sheet, IDOK);
    EXPECT_EQ(element.GetMode(), BitmapElem::kHighLowLimit);
    EXPECT_EQ(element.GetEntries(), BmpRecordArray({{0, kNoBitmap}, {0, kNoBitmap}}));

    TEditBmpSheet& second = Edit(element);
    TBitmapPage& limits = Page(second);
    // A High-low Limit: both boxes checked; Low is taken away.
    EXPECT_TRUE(Checked(limits, IDC_BMP_HIGH_BOX));
    EXPECT_EQ(limits.GetDlgItemText(IDC_BMP_HIGH_VALUE), "0.00");
    driver.Click(limits, IDC_BMP_LOW_BOX);
    EXPECT_FALSE(Shown(limits, IDC_BMP_LOW_BITMAP));
    limits.ChildWithId(IDC_BMP_HIGH_VALUE)->SetWindowText("");
    driver.Type(limits, IDC_BMP_HIGH_VALUE, "1.5");
    nextSlot = 1;
    driver.Click(limits, IDC_BMP_HIGH_BITMAP);
    driver.Click(second, IDOK);
    EXPECT_EQ(element.GetMode(), BitmapElem::kLimit);
    EXPECT_EQ(element.GetKind(), BitmapElem::kKindHighLimit);
    EXPECT_EQ(element.GetEntries(), BmpRecordArray({{0, kNoBitmap}, {150, 2}}));

    TBitmapPage& shown = Page(Edit(element));
    EXPECT_EQ(shown.GetDlgItemText(IDC_BMP_HIGH_VALUE), "1.50");
    EXPECT_TRUE(Checked(shown, IDC_BMP_HIGH_BOX));
    EXPECT_FALSE(Checked(shown, IDC_BMP_LOW_BOX));
    driver.Click(*shown.GetSheet(), IDCANCEL);
}

TEST_F(BitmapSheet, TheValueListStaysUniqueAndInOrder)
{
    BitmapElem element = Element();
    element.SetTag(kTemp);  // no record: a blank tag, no decimals
    TEditBmpSheet& sheet = Edit(element);
    TBitmapPage& page = Page(sheet);
    driver.SelectComboItem(page, IDC_BMP_TYPE, "List");
    TListBox& list = List(page);
    EXPECT_EQ(list.GetCount(), 0);

    Entry(page, IDC_BMP_ADD, "5", 0);
    // One entry: Remove and the Delete key leave it.
    EXPECT_FALSE(page.ChildWithId(IDC_BMP_REMOVE)->IsWindowEnabled());
    driver.ClickListItem(page, IDC_BMP_LIST, 0);
    driver.PressKey(VK_DELETE);
    page.SendMessage(WM_COMMAND, IDC_BMP_REMOVE);
    EXPECT_EQ(list.GetCount(), 1);

    Entry(page, IDC_BMP_ADD, "1", 0);
    Entry(page, IDC_BMP_ADD, "3", 1);
    EXPECT_EQ(Texts(list), std::vector<std::string>({"1/1", "3/2", "5/1"}));
    EXPECT_TRUE(page.ChildWithId(IDC_BMP_REMOVE)->IsWindowEnabled());

    // A second 3 is refused and changes nothing.
    Entry(page, IDC_BMP_ADD, "3", 0, true);
    ASSERT_FALSE(driver.MessageBoxes().empty());
    EXPECT_EQ(driver.MessageBoxes().back().text, "Entry values must be unique.\nPlease choose a different value");
    EXPECT_EQ(driver.MessageBoxes().back().caption, "Duplicate Value");
    EXPECT_EQ(Texts(list), std::vector<std::string>({"1/1", "3/2", "5/1"}));

    // Changing 3 to 3 with another bitmap is accepted; a change moves the entry into order.
    driver.ClickListItem(page, IDC_BMP_LIST, 1);
    driver.OnNextDialog([&](TDialog& d) {
        EXPECT_EQ(d.GetDlgItemText(IDC_ENTRY_VALUE), "3");
        Screenshot(d, "bitmap_list_entry");
        nextSlot = 0;
        driver.Click(d, IDC_ENTRY_BITMAP);
        driver.Click(d, IDOK);
    });
    driver.DoubleClickListItem(page, IDC_BMP_LIST, 1);
    EXPECT_EQ(Texts(list), std::vector<std::string>({"1/1", "3/1", "5/1"}));
    driver.ClickListItem(page, IDC_BMP_LIST, 0);
    Entry(page, IDC_BMP_CHANGE, "7", 1);
    EXPECT_EQ(Texts(list), std::vector<std::string>({"3/1", "5/1", "7/2"}));

    // The Delete key removes the selected entry; the one before is selected.
    driver.ClickListItem(page, IDC_BMP_LIST, 2);
    driver.PressKey(VK_DELETE);
    EXPECT_EQ(Texts(list), std::vector<std::string>({"3/1", "5/1"}));
    EXPECT_EQ(list.GetSelIndex(), 1);
    Screenshot(*sheet.GetHost(), "bitmap_sheet_list");

    driver.Click(sheet, IDOK);
    EXPECT_EQ(element.GetMode(), BitmapElem::kList);
    EXPECT_EQ(element.GetEntries(), BmpRecordArray({{3, 1}, {5, 1}}));
}

TEST_F(BitmapSheet, ElementsOfTheOldestProjectsAskFirst)
{
    const struct {
        std::uint16_t tag;
        bool asks;
        int answer;
        std::uint16_t after;
        bool opens;
    } cases[] = {
        {0x4005, true, IDNO, 0x4005, false},   // a register: No leaves it
        {0x4005, true, IDYES, 1, true},        // Yes: analog tag 1
        {0xC005, true, IDYES, 0x8001, true},   // a bit: digital tag 1
        {static_cast<std::uint16_t>(0xC000 | 1500), false, 0, static_cast<std::uint16_t>(0xC000 | 1500), true},
    };
    for (const auto& c : cases) {
        BitmapElem element = Element();
        element.SetTag(c.tag);
        element.SetLimits({}, {}, BitmapElem::kKindLowLimit);
        if (c.asks)
            driver.AnswerMessageBox(c.answer);
        const std::size_t boxes = driver.MessageBoxes().size();
        element.Edit(&Client());
        driver.ProcessEvents();
        EXPECT_EQ(driver.MessageBoxes().size(), boxes + (c.asks ? 1 : 0)) << c.tag;
        if (c.asks) {
            EXPECT_EQ(driver.MessageBoxes().back().caption, "Plintvlr 5.1.0a");
        }
        EXPECT_EQ(element.GetTag(), c.after) << c.tag;
        TEditBmpSheet* sheet = FindSheet();
        EXPECT_EQ(sheet != nullptr, c.opens) << c.tag;
        if (sheet)
            driver.Click(*sheet, IDCANCEL);
    }
}
