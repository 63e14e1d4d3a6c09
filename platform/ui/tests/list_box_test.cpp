// List boxes: items and their data, sorting, searching, selection, tab
// stops, and owner-drawn items measured and drawn by the parent.

#include "platform/gdi/dc.h"
#include "platform/gdi/brush.h"
#include "platform/ui/controls/list_box.h"
#include "platform/ui/dialog.h"
#include "platform/ui/paint_bridge.h"
#include "platform/ui/testing/test_driver.h"

#include <QListWidget>
#include <QPainter>

#include <gtest/gtest.h>

#include <vector>

namespace {

enum : int { kListDialog = 4300, IDC_PLAIN = 10, IDC_SORTED = 11, IDC_FIXED = 12, IDC_VARIABLE = 13, IDC_MULTI = 14 };

class TListDlg : public TDialog {
public:
    TListDlg() : TDialog(nullptr, kListDialog) {}
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    std::vector<MEASUREITEMSTRUCT> measured;
    std::vector<DRAWITEMSTRUCT> drawn;
    std::vector<std::string> drawnText;

private:
    void EvMeasureItem(UINT id, MEASUREITEMSTRUCT& item)
    {
        measured.push_back(item);
        EXPECT_EQ(item.CtlID, id);
        item.itemHeight = id == IDC_FIXED ? 20 : 10 + 5 * item.itemID;
    }
    void EvDrawItem(UINT /*id*/, DRAWITEMSTRUCT& item)
    {
        drawn.push_back(item);
        ASSERT_NE(item.hDC, nullptr);
        // Selected items drawn in blue, others in yellow.
        item.hDC->FillRect(item.rcItem, TBrush((item.itemState & ODS_SELECTED) ? TColor(0, 0, 255)
                                                                                : TColor(255, 255, 0)));
    }
};

const TResponseTable TListDlg::Responses{&TDialog::Responses, {
    OnMessage<&TListDlg::EvMeasureItem>(WM_MEASUREITEM),
    OnMessage<&TListDlg::EvDrawItem>(WM_DRAWITEM),
}};

class ListBoxTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        RegisterDialogTemplate(kListDialog, {"Lists", 0, 0, 300, 160, WS_POPUP | WS_CAPTION, "MS Sans Serif", 8, {
            ListBox(IDC_PLAIN, 5, 5, 60, 60, LBS_USETABSTOPS | WS_TABSTOP),
            ListBox(IDC_SORTED, 70, 5, 60, 60, LBS_SORT | WS_TABSTOP),
            ListBox(IDC_FIXED, 135, 5, 60, 60, LBS_OWNERDRAWFIXED | WS_TABSTOP),
            ListBox(IDC_VARIABLE, 200, 5, 60, 80, LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS | WS_TABSTOP),
            ListBox(IDC_MULTI, 5, 90, 60, 60, LBS_MULTIPLESEL | WS_TABSTOP),
        }});
    }
    void SetUp() override
    {
        dialog = new TListDlg;
        dialog->Attr.Style |= WS_VISIBLE;
        ASSERT_TRUE(dialog->Create());
        driver.Show(*dialog);
    }
    void TearDown() override
    {
        delete dialog;
    }
    TListBox& List(int id) { return *dynamic_cast<TListBox*>(dialog->ChildWithId(id)); }

    TTestDriver driver;
    TListDlg* dialog = nullptr;
};

TEST_F(ListBoxTest, ItemsDataAndBadIndexes)
{
    TListBox& list = List(IDC_PLAIN);
    EXPECT_EQ(list.AddString("one"), 0);
    EXPECT_EQ(list.AddString("two"), 1);
    EXPECT_EQ(list.InsertString("zero", 0), 0);
    EXPECT_EQ(list.InsertString("end", -1), 3);
    EXPECT_EQ(list.InsertString("far", 9), LB_ERR);
    EXPECT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list.GetString(1), "one");
    EXPECT_EQ(list.GetStringLen(1), 3);
    EXPECT_EQ(list.GetStringLen(4), LB_ERR);
    EXPECT_EQ(list.SetItemData(2, 0xDEADBEEF), 0);
    EXPECT_EQ(list.GetItemData(2), 0xDEADBEEFu);
    EXPECT_EQ(list.SetItemData(7, 1), LB_ERR);
    EXPECT_EQ(list.DeleteString(0), 3);
    EXPECT_EQ(list.GetItemData(1), 0xDEADBEEFu);  // data moves with its item
    EXPECT_EQ(list.DeleteString(-1), LB_ERR);
    // Deleting the selected item leaves no selection; deleting another keeps it.
    list.SetSelIndex(1);
    EXPECT_EQ(list.DeleteString(0), 2);
    EXPECT_EQ(list.GetSelIndex(), 0);
    EXPECT_EQ(list.DeleteString(0), 1);
    EXPECT_EQ(list.GetSelIndex(), LB_ERR);
    list.ClearList();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetSelIndex(), LB_ERR);
}

TEST_F(ListBoxTest, SortedListsIgnoreCaseAndSearchesWrapAround)
{
    TListBox& list = List(IDC_SORTED);
    for (const char* s : {"pump", "Alarm", "valve", "ALARM2", "alarm"})
        list.AddString(s);
    std::vector<std::string> items;
    for (int i = 0; i < list.GetCount(); ++i)
        items.push_back(list.GetString(i));
    EXPECT_EQ(items, (std::vector<std::string>{"Alarm", "alarm", "ALARM2", "pump", "valve"}));
    struct Case {
        const char* find;
        int start;
        bool exact;
        int expected;
    };
    const Case cases[] = {
        {"al", -1, false, 0}, {"al", 0, false, 1}, {"al", 2, false, 0},  // wraps to the top
        {"ALARM", -1, true, 0}, {"alarm", 0, true, 1}, {"alarm2", -1, true, 2},
        {"x", -1, false, LB_ERR}, {"pum", -1, true, LB_ERR}, {"", 3, false, 4},
    };
    for (const Case& c : cases) {
        const int found = c.exact ? list.FindExactString(c.find, c.start) : list.FindString(c.find, c.start);
        EXPECT_EQ(found, c.expected) << c.find << " from " << c.start;
    }
    EXPECT_EQ(list.SetSelString("va", -1), 4);
    EXPECT_EQ(list.GetSelIndex(), 4);
}

TEST_F(ListBoxTest, MultipleSelectionTogglesWithEachClick)
{
    TListBox& list = List(IDC_MULTI);
    for (const char* s : {"a", "b", "c"})
        list.AddString(s);
    driver.ClickListItem(*dialog, IDC_MULTI, 0);
    driver.ClickListItem(*dialog, IDC_MULTI, 2);
    EXPECT_EQ(list.GetSelCount(), 2);
    driver.ClickListItem(*dialog, IDC_MULTI, 0);
    EXPECT_EQ(list.GetSelCount(), 1);
    EXPECT_TRUE(list.GetSel(2));
    EXPECT_EQ(list.SetSel(-1, true), 0);
    EXPECT_EQ(list.GetSelCount(), 3);
    EXPECT_EQ(list.SetSel(5, true), LB_ERR);
    int two[2] = {-1, -1};
    EXPECT_EQ(list.GetSelIndexes(two, 2), 2);  // no more than asked for
    EXPECT_EQ(list.GetCaretIndex(), 0);
}

TEST_F(ListBoxTest, TabStopsLayOutTheColumns)
{
    TListBox& list = List(IDC_PLAIN);
    list.AddString("1\tPUMP");
    list.AddString("22\tVALVE");
    const int stops[] = {40};
    EXPECT_TRUE(list.SetTabStops(1, stops));
    const QImage before = driver.Grab(*dialog);
    const int again[] = {10};
    list.SetTabStops(1, again);
    const QImage after = driver.Grab(*dialog);
    EXPECT_NE(before, after);  // the second column moved
    TRect rect;
    EXPECT_EQ(list.GetItemRect(1, rect), 1);
    EXPECT_GT(rect.top, 0);
    EXPECT_EQ(list.GetItemRect(5, rect), LB_ERR);
}

TEST_F(ListBoxTest, OwnerDrawnFixedItemsAreMeasuredOnceAndDrawnByTheParent)
{
    // The fixed list was measured as it was made (item 0), the variable list not yet.
    ASSERT_EQ(dialog->measured.size(), 1u);
    EXPECT_EQ(dialog->measured[0].CtlID, static_cast<UINT>(IDC_FIXED));
    EXPECT_EQ(dialog->measured[0].CtlType, ODT_LISTBOX);
    TListBox& list = List(IDC_FIXED);
    // Without LBS_HASSTRINGS the value added is the item's data.
    list.AddString(reinterpret_cast<const char*>(static_cast<std::uintptr_t>(1001)));
    list.AddString(reinterpret_cast<const char*>(static_cast<std::uintptr_t>(1002)));
    EXPECT_EQ(list.GetItemData(1), 1002u);
    EXPECT_EQ(list.GetItemHeight(0), 20);
    driver.ClickListItem(*dialog, IDC_FIXED, 1);
    dialog->drawn.clear();
    const QImage image = driver.Grab(*dialog);
    ASSERT_GE(dialog->drawn.size(), 2u);
    const DRAWITEMSTRUCT* second = nullptr;
    for (const DRAWITEMSTRUCT& d : dialog->drawn) {
        if (d.itemID == 1)
            second = &d;
    }
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->CtlType, ODT_LISTBOX);
    EXPECT_EQ(second->itemData, 1002u);
    EXPECT_TRUE(second->itemState & ODS_SELECTED);
    EXPECT_EQ(second->rcItem.Height(), 20);
    EXPECT_EQ(second->hwndItem, list.GetHandle());
    // The parent's drawing is what shows.
    auto* view = qobject_cast<QListWidget*>(list.GetWidget());
    const QPoint inSecond = view->viewport()->mapTo(dialog->GetWidget(), QPoint(5, 30));
    EXPECT_EQ(image.pixelColor(inSecond), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(view->viewport()->mapTo(dialog->GetWidget(), QPoint(5, 5))), QColor(Qt::yellow));
}

TEST_F(ListBoxTest, OwnerDrawnVariableItemsAreMeasuredOneByOne)
{
    TListBox& list = List(IDC_VARIABLE);
    dialog->measured.clear();
    list.AddString("a");
    list.AddString("b");
    ASSERT_EQ(dialog->measured.size(), 2u);
    EXPECT_EQ(dialog->measured[1].itemID, 1u);
    EXPECT_EQ(list.GetItemHeight(0), 10);
    EXPECT_EQ(list.GetItemHeight(1), 15);
    EXPECT_EQ(list.GetString(1), "b");  // LBS_HASSTRINGS keeps the texts
    EXPECT_EQ(list.SetItemHeight(1, 30), 0);
    EXPECT_EQ(list.GetItemHeight(1), 30);
}

}  // namespace
