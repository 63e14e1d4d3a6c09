// Combo boxes made in code: items, sorting, searching, the edit field, the
// list's dropped state, and what the program's own changes do not tell.

#include "platform/ui/controls/combo_box.h"
#include "platform/ui/controls/edit.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window_api.h"

#include <QComboBox>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class TComboHost : public TWindow {
public:
    TComboHost() : TWindow(nullptr, "host")
    {
        Attr.W = 300;
        Attr.H = 200;
        list = new TComboBox(this, 200, 10, 10, 120, 78, CBS_DROPDOWNLIST, 0);
        list->Attr.Style &= ~CBS_SORT;  // as the grid cells do
        sorted = new TComboBox(this, 201, 10, 50, 120, 78, CBS_DROPDOWNLIST | CBS_SORT, 0);
        editable = new TComboBox(this, 202, 150, 10, 120, 78, CBS_DROPDOWN, 6);
    }
    LRESULT EvCommand(UINT id, HWND hWndCtl, UINT notifyCode) override
    {
        if (hWndCtl)
            heard.push_back({id, notifyCode});
        return TWindow::EvCommand(id, hWndCtl, notifyCode);
    }
    TComboBox* list;
    TComboBox* sorted;
    TComboBox* editable;
    std::vector<std::pair<UINT, UINT>> heard;
};

class ComboBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = new TComboHost;
        driver.Show(*host);
        host->heard.clear();
    }
    void TearDown() override { delete host; }
    TTestDriver driver;
    TComboHost* host = nullptr;
};

TEST_F(ComboBoxTest, ItemsAreAddedWithoutSelectingAnything)
{
    TComboBox& c = *host->list;
    EXPECT_EQ(c.AddString("Unsigned Word"), 0);
    EXPECT_EQ(c.AddString("Signed Word"), 1);
    EXPECT_EQ(c.GetSelIndex(), CB_ERR);
    EXPECT_EQ(c.GetText(), "");
    EXPECT_EQ(c.SetSelIndex(1), 1);
    EXPECT_EQ(c.GetText(), "Signed Word");
    EXPECT_EQ(c.SetSelIndex(5), CB_ERR);
    EXPECT_EQ(c.GetSelIndex(), CB_ERR);  // a bad index clears the selection
    c.SetSelIndex(0);
    EXPECT_EQ(c.DeleteString(0), 1);      // deleting the selected item
    EXPECT_EQ(c.GetSelIndex(), CB_ERR);
    EXPECT_TRUE(host->heard.empty());     // none of it was the user's doing
}

TEST_F(ComboBoxTest, SortedInsertionDataAndSearch)
{
    TComboBox& c = *host->sorted;
    const char* names[] = {"tank_level", "Alarm", "flow", "ALARM_2"};
    for (std::uintptr_t i = 0; i < 4; ++i)
        c.SetItemData(c.AddString(names[i]), 100 + i);
    std::vector<std::string> items;
    for (int i = 0; i < c.GetCount(); ++i)
        items.push_back(c.GetString(i));
    EXPECT_EQ(items, (std::vector<std::string>{"Alarm", "ALARM_2", "flow", "tank_level"}));
    EXPECT_EQ(c.GetItemData(c.FindExactString("flow", -1)), 102u);
    EXPECT_EQ(c.FindString("alarm", 0), 1);
    EXPECT_EQ(c.FindString("alarm", 1), 0);
    EXPECT_EQ(c.FindExactString("alarm_", -1), CB_ERR);
    EXPECT_EQ(c.SetSelString("ta", -1), 3);
    char buffer[16];
    EXPECT_EQ(c.GetString(buffer, 3), 10);
    EXPECT_STREQ(buffer, "tank_level");
    EXPECT_EQ(c.GetString(buffer, 4), CB_ERR);
    // A drop-down list's SetText selects the item with that text.
    c.SetText("FLOW");
    EXPECT_EQ(c.GetSelIndex(), 2);
    c.ClearList();
    EXPECT_EQ(c.GetCount(), 0);
}

TEST_F(ComboBoxTest, EditFieldKeepsItsTextWhileItemsComeAndGo)
{
    TComboBox& c = *host->editable;
    c.SetText("PU");
    c.AddString("PUMP_1");
    EXPECT_EQ(c.GetText(), "PU");
    EXPECT_EQ(c.GetSelIndex(), CB_ERR);
    c.SetSelIndex(0);
    EXPECT_EQ(c.GetText(), "PUMP_1");
    EXPECT_TRUE(host->heard.empty());
    // The text limit of 6 holds for typing.
    c.Clear();
    driver.Focus(*host, 202);
    driver.TypeKeys("ABCDEFGH");
    EXPECT_EQ(c.GetText(), "ABCDE");
    c.SetEditSel(1, 3);
    int start = 0;
    int end = 0;
    c.GetEditSel(start, end);
    EXPECT_EQ(start, 1);
    EXPECT_EQ(end, 3);
}

TEST_F(ComboBoxTest, ShowListDropsAndClosesTheList)
{
    TComboBox& c = *host->list;
    c.AddString("a");
    c.ShowList();
    EXPECT_TRUE(c.GetDroppedState());
    c.HideList();
    driver.ProcessEvents();
    EXPECT_FALSE(c.GetDroppedState());
    std::vector<UINT> codes;
    for (auto& [id, code] : host->heard) {
        if (code != CBN_SETFOCUS && code != CBN_KILLFOCUS)
            codes.push_back(code);
    }
    EXPECT_EQ(codes, (std::vector<UINT>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}));
    TRect dropped;
    c.GetDroppedControlRect(dropped);
    EXPECT_EQ(dropped.Height(), 78);  // the height given includes the list
    EXPECT_LT(c.GetWidget()->height(), 78);
}

}  // namespace
