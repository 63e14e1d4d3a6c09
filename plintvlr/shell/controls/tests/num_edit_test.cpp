// The integer fields, typed into through the test driver on the entry test
// dialog: TNumEdit keeps its range while typing, TSpinNumEdit keeps its
// up-down control in step.

#include "entry_test_dialog.h"

#include "platform/ui/controls/up_down.h"
#include "platform/ui/window_api.h"

#include <climits>

namespace {

class NumEditTest : public EntryDialogTest {
protected:
    void Clear(TEdit& edit)
    {
        edit.SetWindowText("");
        driver.Focus(*dialog, edit.GetId());
    }
};

TEST_F(NumEditTest, ValuesAboveTheRangeAreReplacedAtOnceAndBelowItOnceAsLongAsTheMinimum)
{
    Open();
    TNumEdit& num = *dialog->num;
    num.SetRange(6, 1);
    driver.Type(*dialog, IDC_NUM, "9");
    EXPECT_EQ(num.GetWindowText(), "6");
    driver.PressKey(VK_BACK);
    EXPECT_EQ(num.GetWindowText(), "1");
    EXPECT_TRUE(num.IsModified());

    num.SetRange(70, 10);
    Clear(num);
    driver.TypeKeys("1");
    EXPECT_EQ(num.GetWindowText(), "1");  // may still become 15
    driver.TypeKeys("5");
    EXPECT_EQ(num.GetWindowText(), "15");
    Clear(num);
    driver.TypeKeys("90");
    EXPECT_EQ(num.GetWindowText(), "70");
    EXPECT_EQ(driver.BeepCount(), 0);
}

TEST_F(NumEditTest, OnlyDigitsAndBackspaceGetInAndNothingBeeps)
{
    Open();
    TNumEdit& num = *dialog->num;
    num.SetRange(1000, 0);
    driver.Type(*dialog, IDC_NUM, "4a-.x 2+");
    EXPECT_EQ(num.GetWindowText(), "42");
    EXPECT_EQ(num.GetValue(), 42);
    EXPECT_EQ(driver.BeepCount(), 0);

    // A read-only field types nothing, not even a correction.
    num.SetRange(6, 1);
    num.SetReadOnly(true);
    driver.Type(*dialog, IDC_NUM, "9\b");
    EXPECT_EQ(num.GetWindowText(), "42");
}

TEST_F(NumEditTest, TextsSetByTheProgramReadClampedAndOutOfRangeTextsSaturate)
{
    Open();
    TNumEdit& num = *dialog->num;
    num.SetRange(500, -20);
    struct Case {
        const char* text;
        int raw;
        int value;
    };
    const Case cases[] = {
        {"123", 123, 123},          {"99999999999", INT_MAX, 500}, {"-9999999999", INT_MIN, -20},
        {"", 0, 0},                 {"  -7x", -7, -7},             {"1234567890123", INT_MAX, 500},
        {"abc", 0, 0},              {"-30", -30, -20},       {"  12345678999", 123456789, 500},
    };
    for (const Case& c : cases) {
        num.SetWindowText(c.text);
        EXPECT_EQ(num.GetRawValue(), c.raw) << c.text;
        EXPECT_EQ(num.GetValue(), c.value) << c.text;
    }
    num.SetValue(-15);
    EXPECT_EQ(num.GetWindowText(), "-15");
}

TEST_F(NumEditTest, SpinFieldStartsAtTheMinimumOfARangeSetBeforeItsWindowAndFollowsLaterRanges)
{
    TSpinNumEdit& spin = *dialog->spin;
    spin.SetRange(50, 5);
    EXPECT_EQ(spin.GetUpDown(), nullptr);
    Open();
    const HWND upDownHandle = dialog->GetDlgItem(IDC_SPIN + 10000);
    ASSERT_NE(upDownHandle, nullptr);
    EXPECT_EQ(upDownHandle, spin.GetUpDown());
    auto* upDown = dynamic_cast<TUpDown*>(GetWindowPtr(upDownHandle));
    ASSERT_NE(upDown, nullptr);
    int lower = 0;
    int upper = 0;
    upDown->GetRange(lower, upper);
    EXPECT_EQ(lower, 5);
    EXPECT_EQ(upper, 50);
    EXPECT_EQ(upDown->GetPos(), 5);
    EXPECT_EQ(upDown->GetBuddy(), spin.GetHandle());
    EXPECT_EQ(spin.GetWindowText(), "5");
    const DWORD style = upDown->GetStyle();
    EXPECT_EQ(style & (UDS_ARROWKEYS | UDS_ALIGNRIGHT | UDS_SETBUDDYINT),
              UDS_ARROWKEYS | UDS_ALIGNRIGHT | UDS_SETBUDDYINT);

    upDown->Step(+1);
    EXPECT_EQ(spin.GetWindowText(), "6");

    spin.SetRange(20, 10);
    EXPECT_EQ(spin.GetMaximum(), 20);
    EXPECT_EQ(spin.GetMinimum(), 10);
    upDown->GetRange(lower, upper);
    EXPECT_EQ(lower, 10);
    EXPECT_EQ(upper, 20);
    // Typing keeps to the new range as well.
    spin.SetWindowText("");
    driver.Type(*dialog, IDC_SPIN, "25");
    EXPECT_EQ(spin.GetWindowText(), "20");
}

TEST_F(NumEditTest, SpinFieldIsEnabledAndShownTogetherWithItsUpDownControl)
{
    Open();
    TSpinNumEdit& spin = *dialog->spin;
    const HWND upDown = spin.GetUpDown();
    spin.Enable(false);
    EXPECT_FALSE(spin.IsWindowEnabled());
    EXPECT_FALSE(IsWindowEnabled(upDown));
    spin.Enable(true);
    EXPECT_TRUE(spin.IsWindowEnabled());
    EXPECT_TRUE(IsWindowEnabled(upDown));
    spin.Show(SW_HIDE);
    EXPECT_FALSE(spin.IsWindowVisible());
    EXPECT_FALSE(IsWindowVisible(upDown));
    spin.Show(SW_SHOW);
    EXPECT_TRUE(spin.IsWindowVisible());
    EXPECT_TRUE(IsWindowVisible(upDown));
}

}  // namespace
