// Validators: the character-set syntax, refusing keystrokes in an edit,
// and reporting an invalid text when the focus leaves.

#include "platform/ui/controls/edit.h"
#include "platform/ui/dialog.h"
#include "platform/ui/message_box.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/validators.h"
#include "platform/ui/window_api.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(CharSetTest, SingleCharactersAndRanges)
{
    struct Case {
        const char* pattern;
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"0-9", "0459", "a-/:"},
        {"0-7", "07", "89"},
        {"0-9a-fA-F", "09afAF", "gG-"},
        {"A-Z_", "AZ_", "a-"},
        {"-0-9", "-05", "a"},     // a leading '-' is itself
        {"+-", "+-", ","},        // and so is a trailing one
        {"a\\-z", "a-z", "b"},    // '\' takes the next character literally
        {"", "", "a0"},
    };
    for (const Case& c : cases) {
        const TCharSet set(c.pattern);
        for (const char* p = c.in; *p; ++p)
            EXPECT_TRUE(set.Has(static_cast<unsigned char>(*p))) << c.pattern << " should have " << *p;
        for (const char* p = c.out; *p; ++p)
            EXPECT_FALSE(set.Has(static_cast<unsigned char>(*p))) << c.pattern << " should not have " << *p;
    }
}

TEST(FilterValidatorTest, JudgesEveryCharacter)
{
    TFilterValidator hex("0-9a-fA-F");
    char ok[] = "1aF";
    char bad[] = "1g";
    char empty[] = "";
    EXPECT_TRUE(hex.IsValidInput(ok, false));
    EXPECT_FALSE(hex.IsValidInput(bad, false));
    EXPECT_TRUE(hex.IsValidInput(empty, false));
    EXPECT_TRUE(hex.IsValid("ff"));
    EXPECT_FALSE(hex.IsValid("0x1"));
}

// A validator like the numeric cells': a range check with its own message.
class TRangeValidator : public TFilterValidator {
public:
    TRangeValidator() : TFilterValidator("0-9") {}
    bool IsValid(const char* text) override
    {
        return TFilterValidator::IsValid(text) && std::strlen(text) > 0 && std::atoi(text) <= 200;
    }
    void Error(TWindow* owner) override
    {
        MessageBoxDialog(owner->GetHandle(), "Value must be between 0 and 200", "Invalid range",
                         MB_ICONEXCLAMATION | MB_TASKMODAL);
    }
};

class TValueDlg : public TDialog {
public:
    TValueDlg() : TDialog(nullptr, 4200)
    {
        value = new TEdit(this, 301, 6);
        value->SetValidator(new TRangeValidator);
        other = new TEdit(this, 302);
    }
    TEdit* value;
    TEdit* other;
};

class ValidatorDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        RegisterDialogTemplate(4200, {"Value", 0, 0, 120, 60, WS_POPUP | WS_CAPTION, "MS Sans Serif", 8, {
            EditText(301, 5, 5, 50, 12),
            EditText(302, 5, 20, 50, 12),
            DefPushButton("OK", IDOK, 5, 40, 40, 14),
            PushButton("Cancel", IDCANCEL, 60, 40, 40, 14),
        }});
    }
    void SetUp() override
    {
        dialog = new TValueDlg;
        dialog->Attr.Style |= WS_VISIBLE;
        ASSERT_TRUE(dialog->Create());
        driver.Show(*dialog);
    }
    void TearDown() override { delete dialog; }
    TTestDriver driver;
    TValueDlg* dialog = nullptr;
};

TEST_F(ValidatorDialogTest, CharactersOutsideTheSetAreRefusedAsTheyAreTyped)
{
    driver.Type(*dialog, 301, "1a2-3");
    EXPECT_EQ(dialog->GetDlgItemText(301), "123");
    EXPECT_EQ(driver.MessageBoxes().size(), 0u);  // a wrong keystroke shows no message
    // The program may put any text there; the validator judges the user's changes only.
    dialog->SetDlgItemText(301, "x9");
    EXPECT_EQ(dialog->GetDlgItemText(301), "x9");
}

TEST_F(ValidatorDialogTest, LeavingAnInvalidEditReportsAndReturnsTheFocus)
{
    driver.Type(*dialog, 301, "999");
    driver.AnswerMessageBox(IDOK);
    driver.Focus(*dialog, 302);
    driver.ProcessEvents();
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text, "Value must be between 0 and 200");
    EXPECT_EQ(driver.MessageBoxes()[0].caption, "Invalid range");
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), 301);
}

TEST_F(ValidatorDialogTest, CancelIsReachableFromAnInvalidEdit)
{
    driver.Type(*dialog, 301, "999");
    driver.Click(*dialog, IDCANCEL);
    EXPECT_FALSE(dialog->IsWindow());
    EXPECT_TRUE(driver.MessageBoxes().empty());
}

TEST_F(ValidatorDialogTest, OkReportsOnceAndKeepsTheDialog)
{
    driver.Type(*dialog, 301, "999");
    driver.AnswerMessageBox(IDOK);
    driver.Click(*dialog, IDOK);
    EXPECT_TRUE(dialog->IsWindow());
    EXPECT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), 301);
    driver.PressKey(VK_BACK);
    driver.Click(*dialog, IDOK);
    EXPECT_FALSE(dialog->IsWindow());
}

TEST_F(ValidatorDialogTest, TransferMovesTheTextThroughABufferOfTheLimitsSize)
{
    EXPECT_EQ(dialog->value->Transfer(nullptr, tdSizeData), 6u);
    char buffer[6] = "12345";
    dialog->value->Transfer(buffer, tdSetData);
    EXPECT_EQ(dialog->GetDlgItemText(301), "12345");
    dialog->SetDlgItemText(301, "98765432");  // longer than the buffer
    char out[6] = {};
    dialog->value->Transfer(out, tdGetData);
    EXPECT_STREQ(out, "98765");
}

}  // namespace
