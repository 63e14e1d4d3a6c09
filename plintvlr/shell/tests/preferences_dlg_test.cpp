// Preferences: the bit-to-tag setting read from and written to the profile,
// Cancel writing nothing, and the dialog reopening where it was closed.

#include "plintvlr/shell/editor_bases.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/preferences_dlg.h"
#include "platform/ui/controls/check_box.h"
#include "platform/ui/help.h"
#include "shell_fixture.h"

namespace {

class PreferencesDlgTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        RegisterEditorBases();
    }

    // Runs Preferences from the frame's menu with `script`; the dialog's result.
    void RunPreferences(MDIFrame& frame, const std::function<void(TDialog&)>& script)
    {
        driver.OnNextDialog(script);
        EXPECT_TRUE(driver.ChooseMenuItem(frame, CM_PREFERENCES));
    }

    static bool Checked(TDialog& dialog)
    {
        return dialog.SendDlgItemMessage(IDC_PREFS_BITTOTAG, BM_GETCHECK) == BST_CHECKED;
    }
};

TEST_F(PreferencesDlgTest, OnlyExactlyOnCountsAsOn)
{
    MDIFrame& frame = Start();
    struct Case {
        const char* stored;  // null: no key
        bool checked;
    };
    const Case cases[] = {{nullptr, false}, {"on", false}, {"OFF", false}, {"ONX", false}, {"ON", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "(no key)");
        WritePrivateProfileString("APP", "BitToTags", c.stored, "PLINTVLR.INI");
        RunPreferences(frame, [&](TDialog& d) {
            EXPECT_EQ(d.GetWindowText(), "Preferences");
            EXPECT_EQ(Checked(d), c.checked);
            driver.Click(d, IDCANCEL);
        });
        EXPECT_EQ(Profile("APP", "BitToTags"), c.stored ? c.stored : "") << "Cancel writes nothing";
    }
}

TEST_F(PreferencesDlgTest, OkWritesTheSettingAndCancelLeavesIt)
{
    MDIFrame& frame = Start();
    RunPreferences(frame, [&](TDialog& d) {
        driver.Click(d, IDC_PREFS_BITTOTAG);
        driver.Click(d, IDCANCEL);
    });
    EXPECT_EQ(Profile("APP", "BitToTags"), "");

    TRect closedAt;
    RunPreferences(frame, [&](TDialog& d) {
        EXPECT_FALSE(Checked(d));
        driver.Click(d, IDC_PREFS_BITTOTAG);
        EXPECT_TRUE(Screenshot(d, "preferences"));
        d.MoveWindow(120, 90, d.GetWindowRect().Width(), d.GetWindowRect().Height());
        closedAt = d.GetWindowRect();
        driver.Click(d, IDOK);
    });
    EXPECT_EQ(Profile("APP", "BitToTags"), "ON");

    RunPreferences(frame, [&](TDialog& d) {
        EXPECT_TRUE(Checked(d));
        EXPECT_EQ(d.GetWindowRect().TopLeft(), closedAt.TopLeft()) << "it reopens where it was closed";
        driver.Click(d, IDC_PREFS_BITTOTAG);
        driver.Click(d, IDOK);
    });
    EXPECT_EQ(Profile("APP", "BitToTags"), "OFF");
}

TEST_F(PreferencesDlgTest, HelpShowsItsTopic)
{
    MDIFrame& frame = Start();
    const std::size_t before = HelpRequests().size();
    RunPreferences(frame, [&](TDialog& d) {
        driver.AnswerMessageBox(IDOK);  // no help is installed here
        driver.Click(d, IDC_PREFS_HELP);
        driver.Click(d, IDCANCEL);
    });
    ASSERT_EQ(HelpRequests().size(), before + 1);
    EXPECT_EQ(HelpRequests().back().command, HELP_CONTEXT);
    EXPECT_EQ(HelpRequests().back().data, 308u);
}

}  // namespace
