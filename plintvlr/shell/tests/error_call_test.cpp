// The message holder: loud, it shows the box and answers its button; quiet,
// it shows nothing, keeps the text and answers "no" only to a plain
// yes/no/cancel question.

#include "plintvlr/shell/error_call.h"
#include "platform/ui/testing/test_driver.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ErrorCallTest, QuietModeAnswersWithoutShowingAnything)
{
    TTestDriver driver;
    errorcall holder;
    holder.SetQuiet(true);
    const struct {
        UINT flags;
        int answer;
    } cases[] = {
        {MB_YESNOCANCEL, IDNO},
        {MB_YESNOCANCEL | MB_ICONQUESTION, IDOK},
        {MB_YESNOCANCEL | MB_DEFBUTTON2, IDOK},
        {MB_YESNO, IDOK},
        {MB_OK, IDOK},
        {MB_OKCANCEL, IDOK},
        {MB_RETRYCANCEL, IDOK},
        {MB_ICONEXCLAMATION, IDOK},
    };
    for (const auto& c : cases) {
        const std::string text = "message " + std::to_string(c.flags);
        EXPECT_EQ(holder.MessageBox(nullptr, text.c_str(), "Message Table", c.flags), c.answer) << c.flags;
        ASSERT_NE(holder.GetLastText(), nullptr);
        EXPECT_EQ(std::string(holder.GetLastText()), text);
    }
    EXPECT_TRUE(driver.MessageBoxes().empty());

    holder.ClearLastText();
    EXPECT_EQ(holder.GetLastText(), nullptr);
}

TEST(ErrorCallTest, SettingTheModeDropsTheKeptText)
{
    TTestDriver driver;
    errorcall holder;
    EXPECT_FALSE(holder.IsQuiet());
    for (bool quiet : {true, false}) {
        holder.SetQuiet(true);
        holder.MessageBox(nullptr, "kept", "Caption", MB_OK);
        ASSERT_NE(holder.GetLastText(), nullptr);
        holder.SetQuiet(quiet);
        EXPECT_EQ(holder.GetLastText(), nullptr) << quiet;
        EXPECT_EQ(holder.IsQuiet(), quiet);
    }

    // Turning quiet mode off leaves the text for the caller to read.
    holder.SetQuiet(true);
    holder.MessageBox(nullptr, "Table 3 is full", "Caption", MB_OK);
    holder.SetLoud();
    EXPECT_FALSE(holder.IsQuiet());
    ASSERT_NE(holder.GetLastText(), nullptr);
    EXPECT_EQ(std::string(holder.GetLastText()), "Table 3 is full");
}

TEST(ErrorCallTest, LoudModeShowsTheBoxAndAnswersItsButton)
{
    TTestDriver driver;
    errorcall holder;
    driver.AnswerMessageBox(IDYES);
    EXPECT_EQ(holder.MessageBox(nullptr, "Save the table?", "Message Table", MB_YESNOCANCEL), IDYES);
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text, "Save the table?");
    EXPECT_EQ(driver.MessageBoxes()[0].caption, "Message Table");
    EXPECT_EQ(driver.MessageBoxes()[0].flags, MB_YESNOCANCEL);
    EXPECT_EQ(holder.GetLastText(), nullptr);
}

}  // namespace
