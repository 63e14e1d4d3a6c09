// The page editor's kind of window: an MDI child with bars that cannot be
// resized and whose shortcuts run the main frame's commands.

#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/mdi_hosts.h"
#include "platform/ui/accelerators.h"
#include "platform/ui/controls/edit.h"
#include "platform/ui/menu.h"
#include "platform/ui/styles.h"
#include "stand_in_editor_bases.h"

namespace {

using MDIHostsTest = EditorBasesTest;

TEST_F(MDIHostsTest, DecoratedChildRunsTheFramesShortcutsAndKeepsItsSize)
{
    StandIns standIns;
    standIns.RegisterCommand(CM_NEWPROJECT);
    Start();
    const int runsBefore = standIns.runs[CM_NEWPROJECT];

    auto* canvas = new TEdit(nullptr, 301, "", 0, 0, 200, 100);
    auto* editor = new TDecoratedMDIChild(Client(), "Graphic Page Editor", canvas, TResId(), false, true);
    // A key the frame's own table does not have: only the child's table makes it a command.
    RegisterAcceleratorTable(7399, {{'Q', FCONTROL | FSHIFT, CM_NEWPROJECT}});
    editor->SetFrameAccelerators(7399);
    ASSERT_TRUE(editor->Create());
    driver.ProcessEvents();
    EXPECT_FALSE(editor->GetStyle() & WS_MAXIMIZEBOX);
    EXPECT_TRUE(driver.SystemMenuItemState(*editor, SC_SIZE) & MF_GRAYED);

    canvas->SetFocus();
    driver.PressKey('Q', MK_CONTROL | MK_SHIFT);
    EXPECT_EQ(standIns.runs[CM_NEWPROJECT], runsBefore + 1);
}

}  // namespace
