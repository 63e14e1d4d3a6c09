#include "platform/base/prompt.h"

#include <gtest/gtest.h>

namespace {

HWND FakeWindow(std::uintptr_t n)
{
    return reinterpret_cast<HWND>(n);
}

TEST(PromptTest, ButtonsAndDefaultAnswerFollowTheFlags)
{
    struct Case {
        UINT flags;
        std::vector<int> buttons;
        int defaultAnswer;
    };
    const Case cases[] = {
        {MB_OK | MB_ICONSTOP, {IDOK}, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, {IDOK, IDCANCEL}, IDCANCEL},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, {IDABORT, IDRETRY, IDIGNORE}, IDRETRY},
        {MB_YESNOCANCEL | MB_DEFBUTTON3 | MB_ICONQUESTION, {IDYES, IDNO, IDCANCEL}, IDCANCEL},
        {MB_YESNO | MB_ICONQUESTION, {IDYES, IDNO}, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, {IDYES, IDNO}, IDNO},
        {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, IDRETRY},
        // A default beyond the buttons falls back to the first.
        {MB_OKCANCEL | MB_DEFBUTTON3, {IDOK, IDCANCEL}, IDOK},
        {MB_OK | MB_DEFMASK, {IDOK}, IDOK},
        // A button set this layer does not know is shown as OK.
        {0x000E, {IDOK}, IDOK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        EXPECT_EQ(PromptButtons(c.flags), c.buttons);
        EXPECT_EQ(PromptDefaultAnswer(c.flags), c.defaultAnswer);
    }
}

TEST(PromptTest, WithoutABackendTheDefaultAnswersAndTheMessageIsLogged)
{
    ASSERT_EQ(GetPromptBackend(), nullptr);
    testing::internal::CaptureStderr();
    int answer = ShowMessageBox(nullptr, "Database does not exist.  Create?", "Application Message",
                                MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, IDNO);
    EXPECT_NE(log.find("Application Message"), std::string::npos);
    EXPECT_NE(log.find("Database does not exist.  Create?"), std::string::npos);

    testing::internal::CaptureStderr();
    EXPECT_EQ(ShowMessageBox(nullptr, nullptr, nullptr, MB_OK), IDOK);
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(MessageBeep(MB_ICONHAND));
}

TEST(PromptTest, AScriptAnswersRecordsAndRestoresThePreviousBackend)
{
    {
        ScriptedPrompts outer;
        outer.Answer(IDNO);
        {
            ScriptedPrompts script;
            script.Answer(IDYES).Answer(IDCANCEL);
            EXPECT_EQ(GetPromptBackend(), &script);
            EXPECT_EQ(ShowMessageBox(FakeWindow(8), "Remove current key?", "Application Message",
                                     MB_YESNO | MB_ICONQUESTION),
                      IDYES);
            EXPECT_EQ(ShowMessageBox(nullptr, "Save?", "Data Not Saved", MB_YESNOCANCEL | MB_ICONEXCLAMATION),
                      IDCANCEL);
            // The queue is used up: the default button answers.
            EXPECT_EQ(ShowMessageBox(nullptr, "Invalid Channel", nullptr, MB_OKCANCEL | MB_DEFBUTTON2 | MB_ICONSTOP),
                      IDCANCEL);
            MessageBeep(MB_ICONEXCLAMATION);

            ASSERT_EQ(script.Shown().size(), 3u);
            const PromptRequest& first = script.Shown()[0];
            EXPECT_EQ(first.owner, FakeWindow(8));
            EXPECT_EQ(first.text, "Remove current key?");
            EXPECT_EQ(first.caption, "Application Message");
            EXPECT_EQ(first.Buttons(), MB_YESNO);
            EXPECT_EQ(first.Icon(), MB_ICONQUESTION);
            EXPECT_EQ(script.Shown()[1].Icon(), MB_ICONEXCLAMATION);
            EXPECT_EQ(script.Shown()[2].caption, "");
            EXPECT_EQ(script.Shown()[2].Icon(), MB_ICONSTOP);
            EXPECT_EQ(script.Beeps(), std::vector<UINT>{MB_ICONEXCLAMATION});
            EXPECT_EQ(script.Pending(), 0u);
        }
        EXPECT_EQ(GetPromptBackend(), &outer);
        EXPECT_EQ(ShowMessageBox(nullptr, "again", "x", MB_YESNO), IDNO);
        EXPECT_EQ(outer.Shown().size(), 1u);
    }
    EXPECT_EQ(GetPromptBackend(), nullptr);
}

}  // namespace
