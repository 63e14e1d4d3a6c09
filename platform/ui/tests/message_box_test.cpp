// The message box: buttons, default button, icon and answers for each set
// of flags, answered through the test driver as a person would.

#include "platform/ui/controls/button.h"
#include "platform/ui/controls/static.h"
#include "platform/ui/message_box.h"
#include "platform/base/prompt.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window_api.h"

#include <QLabel>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

TEST(MessageBoxTest, ButtonsFollowTheFlagsAndAnswerTheirIds)
{
    struct Case {
        UINT flags;
        std::vector<int> buttons;
    };
    const Case cases[] = {
        {MB_OK, {IDOK}},
        {MB_OKCANCEL, {IDOK, IDCANCEL}},
        {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}},
        {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}},
        {MB_YESNO, {IDYES, IDNO}},
        {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}},
    };
    TTestDriver driver;
    for (const Case& c : cases) {
        for (int button : c.buttons) {
            driver.AnswerMessageBox(button);
            EXPECT_EQ(MessageBoxDialog(nullptr, "Question", "Caption", c.flags), button) << c.flags;
        }
        TMessageBox box(nullptr, "x", "y", c.flags);
        EXPECT_EQ(box.GetButtons(), c.buttons);
    }
}

TEST(MessageBoxTest, TheDriverRecordsWhatTheBoxSaid)
{
    TTestDriver driver;
    driver.AnswerMessageBox(IDNO);
    const int answer = MessageBoxDialog(nullptr, "Do you want to save?", "Data in this Dialog has been Modified",
                                        MB_YESNOCANCEL | MB_ICONQUESTION);
    EXPECT_EQ(answer, IDNO);
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    const TTestDriver::ShownMessageBox& box = driver.MessageBoxes()[0];
    EXPECT_EQ(box.text, "Do you want to save?");
    EXPECT_EQ(box.caption, "Data in this Dialog has been Modified");
    EXPECT_EQ(box.flags, MB_YESNOCANCEL | MB_ICONQUESTION);
    EXPECT_EQ(box.answer, IDNO);
    EXPECT_EQ(driver.BeepCount(), 1);
}

TEST(MessageBoxKeysTest, EnterTakesTheDefaultButton)
{
    struct Case {
        UINT flags;
        int expected;
    };
    const Case cases[] = {
        {MB_YESNO, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_OK | MB_DEFBUTTON3, IDOK},  // a default beyond the buttons falls on the last
    };
    for (const Case& c : cases) {
        TTestDriver driver;
        driver.OnNextMessageBox([&](TMessageBox&) { driver.PressKey(VK_RETURN); });
        EXPECT_EQ(MessageBoxDialog(nullptr, "Text", "Caption", c.flags), c.expected) << c.flags;
    }
}

TEST(MessageBoxKeysTest, EscapeCancelsOnlyWhereCancellingIsPossible)
{
    struct Case {
        UINT flags;
        int afterEscape;  // 0: the box stays open
    };
    const Case cases[] = {
        {MB_OKCANCEL, IDCANCEL},
        {MB_OK, IDOK},
        {MB_YESNOCANCEL, IDCANCEL},
        {MB_YESNO, 0},
        {MB_ABORTRETRYIGNORE, 0},
    };
    for (const Case& c : cases) {
        TTestDriver driver;
        bool stillOpen = false;
        driver.OnNextMessageBox([&](TMessageBox& box) {
            driver.PressKey(VK_ESCAPE);
            stillOpen = box.IsExecuting();
            if (stillOpen)
                driver.Click(box, box.GetButtons().back());
        });
        const int answer = MessageBoxDialog(nullptr, "Text", "Caption", c.flags);
        EXPECT_EQ(stillOpen, c.afterEscape == 0) << c.flags;
        if (c.afterEscape) {
            EXPECT_EQ(answer, c.afterEscape) << c.flags;
        }
    }
}

TEST(MessageBoxKeysTest, AButtonsLetterPressesIt)
{
    TTestDriver driver;
    driver.OnNextMessageBox([&](TMessageBox&) { driver.TypeKeys("n"); });
    EXPECT_EQ(MessageBoxDialog(nullptr, "Are you sure you want to delete?", "Delete analog Tag",
                               MB_YESNO | MB_ICONQUESTION),
              IDNO);
}

TEST(MessageBoxLayoutTest, IconTextAndButtonsAreLaidOutWithoutOverlap)
{
    TTestDriver driver;
    driver.OnNextMessageBox([&](TMessageBox& modal) {
        QWidget* text = nullptr;
        QWidget* icon = nullptr;
        for (TWindow* child : modal.GetChildren()) {
            if (dynamic_cast<TStatic*>(child) && child->GetId() == -1)
                text = child->GetWidget();
            else if (dynamic_cast<TStatic*>(child))
                icon = child->GetWidget();
        }
        ASSERT_NE(text, nullptr);
        ASSERT_NE(icon, nullptr);
        EXPECT_FALSE(qobject_cast<QLabel*>(icon)->pixmap().isNull());
        EXPECT_LE(icon->geometry().right(), text->geometry().left());
        const QRect ok = modal.ChildWithId(IDOK)->GetWidget()->geometry();
        const QRect cancel = modal.ChildWithId(IDCANCEL)->GetWidget()->geometry();
        EXPECT_GT(ok.top(), text->geometry().bottom());
        EXPECT_LT(ok.right(), cancel.left());
        EXPECT_LE(cancel.right(), modal.GetClientRect().Width());
        EXPECT_GT(text->height(), text->fontMetrics().height());  // wrapped
        EXPECT_EQ(modal.GetCaption(), "Data Not Saved");
        driver.Click(modal, IDOK);
    });
    EXPECT_EQ(MessageBoxDialog(nullptr,
                               "Quellstor's analog tag table is full or has no slot large enough for this tag. "
                               "A long text wraps over several lines.",
                               "Data Not Saved", MB_OKCANCEL | MB_ICONEXCLAMATION),
              IDOK);
}

TEST(MessageBoxLayoutTest, TheBoxStandsCentredOverItsOwner)
{
    TTestDriver driver;
    TWindow owner(nullptr, "owner");
    owner.Attr.X = 300;
    owner.Attr.Y = 200;
    owner.Attr.W = 600;
    owner.Attr.H = 400;
    driver.Show(owner);
    const TRect ownerRect = owner.GetWindowRect();
    driver.OnNextMessageBox([&](TMessageBox& modal) {
        const TRect box = modal.GetWindowRect();
        EXPECT_GT(box.Width(), 0);
        EXPECT_NEAR((box.left + box.right) / 2, (ownerRect.left + ownerRect.right) / 2, 2);
        EXPECT_NEAR((box.top + box.bottom) / 2, (ownerRect.top + ownerRect.bottom) / 2, 2);
        driver.Click(modal, IDOK);
    });
    EXPECT_EQ(MessageBoxDialog(owner.GetHandle(), "Database demo exists. Please enter another name.", "New Project",
                               MB_OK | MB_ICONEXCLAMATION),
              IDOK);
}

TEST(MessageBoxTest, UnexpectedBoxesFailTheTestInsteadOfHanging)
{
    int answer = 0;
    EXPECT_NONFATAL_FAILURE(
        {
            TTestDriver driver;
            answer = MessageBoxDialog(nullptr, "Surprise", "Caption", MB_YESNO);
        },
        "unexpected message box \"Surprise\"");
    EXPECT_EQ(answer, IDCANCEL);
}

TEST(MessageBeepTest, BeepsAreRecorded)
{
    TTestDriver driver;
    MessageBeep(MB_ICONEXCLAMATION);
    MessageBeep(MB_OK);
    EXPECT_EQ(driver.BeepCount(), 2);
    EXPECT_EQ(MessageBeepHistory().back(), MB_OK);
}

}  // namespace
