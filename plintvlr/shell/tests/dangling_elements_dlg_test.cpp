// The dangling elements dialog: the message names the channel losing its
// protocol and the other one, the list shows the items in order, and the
// two buttons answer 1 and 2.

#include "plintvlr/shell/dangling_elements_dlg.h"
#include "platform/ui/controls/list_box.h"
#include "platform/ui/testing/test_driver.h"
#include "screenshot.h"

#include <gtest/gtest.h>

namespace {

std::string Expected(char removed, char other)
{
    return std::string("You are attempting to remove the protocol for Channel ") + removed +
           ". You still have the following elements defined which use Channel " + removed +
           ". You may choose to have all references to Channel " + removed +
           " automatically converted to Channel " + other + ", or you may Cancel your protocol change.";
}

TEST(DanglingElementsDlgTest, MessageNamesBothChannelsAndTheListKeepsItsOrder)
{
    TTestDriver driver;
    const std::vector<std::string> items{"Tag PUMP_1", "Comms block 3", "Tag VALVE_2"};
    struct Case {
        int channel;
        char removed;
        char other;
    };
    for (const Case& c : {Case{1, 'A', 'B'}, Case{2, 'B', 'A'}}) {
        dangleDlg dialog(nullptr, 0, nullptr, &items, c.channel);
        driver.OnNextDialog([&](TDialog& d) {
            EXPECT_EQ(d.GetWindowText(), "Non Existent Channel Selections");
            EXPECT_EQ(d.GetDlgItemText(IDC_DANGLE_MESSAGE), Expected(c.removed, c.other));
            auto* list = dynamic_cast<TListBox*>(d.ChildWithId(IDC_DANGLE_LIST));
            ASSERT_NE(list, nullptr);
            ASSERT_EQ(list->GetCount(), 3);
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(list->GetString(i), items[static_cast<std::size_t>(i)]);
            if (c.channel == 1) {
                EXPECT_TRUE(SaveScreenshot(driver.Grab(d), "dangling_elements"));
            }
            driver.Click(d, IDOK);
        });
        EXPECT_EQ(dialog.Execute(), 1);
    }
}

TEST(DanglingElementsDlgTest, EmptyListStillAnswersBothButtons)
{
    TTestDriver driver;
    const std::vector<std::string> none;
    for (int button : {IDOK, IDCANCEL}) {
        dangleDlg dialog(nullptr, 0, nullptr, &none, 1);
        driver.OnNextDialog([&](TDialog& d) {
            EXPECT_EQ(dynamic_cast<TListBox*>(d.ChildWithId(IDC_DANGLE_LIST))->GetCount(), 0);
            driver.Click(d, button);
        });
        EXPECT_EQ(dialog.Execute(), button);
    }
}

}  // namespace
