#include "plintvlr/shell/base/clipboard_copy.h"

#include "platform/base/clipboard.h"
#include "platform/base/prompt.h"
#include "plintvlr/shell/base/app.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

class CopyToClipboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(OpenClipboard(nullptr));
        ASSERT_TRUE(EmptyClipboard());
        ASSERT_TRUE(SetClipboardData(1, {'o', 'l', 'd', 0}));
        ASSERT_TRUE(CloseClipboard());
    }
    static std::optional<ClipboardData> Read(UINT format)
    {
        if (!OpenClipboard(nullptr))
            return std::nullopt;
        std::optional<ClipboardData> data = GetClipboardData(format);
        CloseClipboard();
        return data;
    }
    ScriptedPrompts prompts_;
};

TEST_F(CopyToClipboardTest, TheBlockGoesOnWithTwoZeroBytesAfterIt)
{
    const std::uint8_t record[] = {0x0A, 0x00, 0xFF, 0x41};
    CopyToClipboard(record, sizeof record, 520, true);
    EXPECT_EQ(Read(520), (ClipboardData{0x0A, 0x00, 0xFF, 0x41, 0x00, 0x00}));
    EXPECT_FALSE(IsClipboardFormatAvailable(1)) << "emptied first";

    CopyToClipboard(nullptr, 0, 521, true);
    EXPECT_EQ(Read(521), (ClipboardData{0, 0}));
    EXPECT_TRUE(prompts_.Shown().empty());
}

TEST_F(CopyToClipboardTest, WithoutEmptyingFirstASecondFormatIsAdded)
{
    const char text[] = "pump";
    CopyToClipboard(text, 4, 520, false);
    EXPECT_EQ(Read(1), (ClipboardData{'o', 'l', 'd', 0}));
    EXPECT_EQ(Read(520), (ClipboardData{'p', 'u', 'm', 'p', 0, 0}));
}

TEST_F(CopyToClipboardTest, ABusyClipboardDropsTheCopySilently)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    const char text[] = "x";
    CopyToClipboard(text, 1, 520, true);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(IsClipboardFormatAvailable(520));
    EXPECT_TRUE(IsClipboardFormatAvailable(1));
    EXPECT_TRUE(prompts_.Shown().empty());
}

TEST_F(CopyToClipboardTest, MemoryThatCannotBeHadIsReportedAndNothingChanges)
{
    // The count plus the two end bytes would wrap around to a tiny block.
    const char text[] = "x";
    CopyToClipboard(text, SIZE_MAX, 520, true);
    ASSERT_EQ(prompts_.Shown().size(), 1u);
    const PromptRequest& box = prompts_.Shown()[0];
    EXPECT_EQ(box.text, "Memory allocation problem");
    EXPECT_EQ(box.caption, "Memory Err");
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.flags, MB_OK);
    EXPECT_TRUE(IsClipboardFormatAvailable(1));
    EXPECT_FALSE(IsClipboardFormatAvailable(520));
}

TEST(AppTest, MessageBoxShowsThroughThePromptService)
{
    ScriptedPrompts prompts;
    prompts.Answer(IDNO);
    HWND owner = reinterpret_cast<HWND>(std::uintptr_t{42});
    EXPECT_EQ(TApp::MessageBox(nullptr, owner, "Remove current key?", "Application Message",
                               MB_YESNO | MB_ICONQUESTION),
              IDNO);
    ASSERT_EQ(prompts.Shown().size(), 1u);
    EXPECT_EQ(prompts.Shown()[0].owner, owner);
    EXPECT_EQ(prompts.Shown()[0].text, "Remove current key?");
    EXPECT_EQ(prompts.Shown()[0].flags, MB_YESNO | MB_ICONQUESTION);
}

}  // namespace
