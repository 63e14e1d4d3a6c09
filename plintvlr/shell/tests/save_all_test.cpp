// Save All: grey without a project and while no editor holds changes; with
// changes it saves every editor the client carries.

#include "plintvlr/shell/editor_bases.h"
#include "plintvlr/shell/frame_commands.h"
#include "platform/ui/menu.h"
#include "shell_fixture.h"
#include "stand_in_editor_bases.h"

namespace {

class SaveAllTest : public EditorBasesTest {
protected:
    bool SaveAllGreyed(MDIFrame& frame)
    {
        const bool greyed = (driver.OpenMenuItem(frame, CM_SAVEALL) & MF_GRAYED) != 0;
        driver.CloseMenus();
        return greyed;
    }

    TStandInDialog& OpenEditor()
    {
        auto* dialog = new TStandInDialog(&Client(), 0, 0);
        EXPECT_TRUE(dialog->Create());
        driver.ProcessEvents();
        return *dialog;
    }
};

TEST_F(SaveAllTest, GreyWithoutAProject)
{
    SetProfile("DATABASE", "DatabaseName", "");
    MDIFrame& frame = Start();
    TStandInDialog& editor = OpenEditor();
    editor.modified = true;
    EXPECT_TRUE(SaveAllGreyed(frame));
}

TEST_F(SaveAllTest, EnabledWhileAnEditorHoldsChangesAndSavesEveryEditor)
{
    MakeLastProject("LINE1", 14);
    MDIFrame& frame = Start();
    TStandInDialog& first = OpenEditor();
    TStandInDialog& second = OpenEditor();
    EXPECT_TRUE(SaveAllGreyed(frame)) << "no editor holds changes";

    second.modified = true;
    EXPECT_FALSE(SaveAllGreyed(frame));
    EXPECT_TRUE(driver.ChooseMenuItem(frame, CM_SAVEALL));
    EXPECT_EQ(first.saves, 1);
    EXPECT_EQ(second.saves, 1);
    EXPECT_TRUE(SaveAllGreyed(frame));
}

}  // namespace
