// Menus and command enablers: items are greyed, checked and relabelled by
// the windows on the command route before their pop-up opens.

#include "platform/ui/accelerators.h"
#include "platform/ui/control.h"
#include "platform/ui/frame_window.h"
#include "platform/ui/menu.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window_api.h"

#include <gtest/gtest.h>

namespace {

enum : UINT {
    CM_SAVE = 3002,
    CM_SAVEALL = 3003,
    CM_GRID = 21906,
    CM_ANIMATION = 7591,
    CM_EXIT = 2008,
    CM_COPY = 24323,
    CM_NOHANDLER = 4444,
};

void RegisterTestMenu()
{
    RegisterMenuTemplate(99, {
        Popup("&File", {
            MenuItem("&Save Record\tCtrl+S", CM_SAVE),
            MenuItem("Save A&ll", CM_SAVEALL),
            MenuSeparator(),
            MenuItem("E&xit", CM_EXIT),
        }),
        Popup("&Layout", {
            MenuItem("&Grid On", CM_GRID),
            MenuItem("A&nimation Off", CM_ANIMATION),
            MenuItem("&Copy", CM_COPY),
            MenuItem("Nothing", CM_NOHANDLER),
        }),
    });
}

class TEditorPane : public TControl {
public:
    explicit TEditorPane(TWindow* parent) : TControl(parent, 7, nullptr, 0, 0, 100, 100) {}
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }
    int copies = 0;

private:
    void CmCopy() { ++copies; }
    void CeCopy(TCommandEnabler& ce) { ce.Enable(true); }
};

const TResponseTable TEditorPane::Responses{&TControl::Responses, {
    OnCommand<&TEditorPane::CmCopy>(CM_COPY),
    OnCommandEnable<&TEditorPane::CeCopy>(CM_COPY),
}};

class TMainFrame : public TFrameWindow {
public:
    TMainFrame() : TFrameWindow(nullptr, "Plintorvaler 5.20")
    {
        AssignMenu(99);
        pane = new TEditorPane(this);
        pane->Attr.Style &= ~WS_TABSTOP;  // focused only when clicked
    }
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    bool modified = false;
    bool gridOn = false;
    bool animating = false;
    int saves = 0;
    int popupsOpened = 0;
    TEditorPane* pane;

private:
    void CmSave() { ++saves; }
    void CmSaveAll() {}
    void CmGrid() { gridOn = !gridOn; }
    void CmAnimation() { animating = !animating; }
    void CmExit() {}
    void CeSave(TCommandEnabler& ce) { ce.Enable(modified); }
    void CeGrid(TCommandEnabler& ce) { ce.SetCheck(gridOn ? TCommandEnabler::Checked : TCommandEnabler::Unchecked); }
    void CeAnimation(TCommandEnabler& ce) { ce.SetText(animating ? "A&nimation Off" : "A&nimation On"); }
    void EvInitMenuPopup(WPARAM popup, LPARAM index)
    {
        ++popupsOpened;
        TFrameWindow::EvInitMenuPopup(popup, index);
    }
};

const TResponseTable TMainFrame::Responses{&TFrameWindow::Responses, {
    OnCommand<&TMainFrame::CmSave>(CM_SAVE),
    OnCommand<&TMainFrame::CmSaveAll>(CM_SAVEALL),
    OnCommand<&TMainFrame::CmGrid>(CM_GRID),
    OnCommand<&TMainFrame::CmAnimation>(CM_ANIMATION),
    OnCommand<&TMainFrame::CmExit>(CM_EXIT),
    OnCommandEnable<&TMainFrame::CeSave>(CM_SAVE),
    OnCommandEnable<&TMainFrame::CeGrid>(CM_GRID),
    OnCommandEnable<&TMainFrame::CeAnimation>(CM_ANIMATION),
    OnMessage<&TMainFrame::EvInitMenuPopup>(WM_INITMENUPOPUP),
}};

class MenuTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterTestMenu(); }
    void SetUp() override
    {
        frame = new TMainFrame;
        driver.Show(*frame);
    }
    void TearDown() override { delete frame; }
    TTestDriver driver;
    TMainFrame* frame = nullptr;
};

TEST_F(MenuTest, EnablersGreyAndCheckItemsBeforeThePopupOpens)
{
    EXPECT_TRUE(driver.OpenMenuItem(*frame, CM_SAVE) & MF_GRAYED);
    EXPECT_FALSE(driver.ChooseMenuItem(*frame, CM_SAVE));  // a greyed item cannot be chosen
    EXPECT_EQ(frame->saves, 0);
    frame->modified = true;
    EXPECT_FALSE(driver.OpenMenuItem(*frame, CM_SAVE) & MF_GRAYED);
    EXPECT_TRUE(driver.ChooseMenuItem(*frame, CM_SAVE));
    EXPECT_EQ(frame->saves, 1);

    EXPECT_FALSE(driver.OpenMenuItem(*frame, CM_GRID) & MF_CHECKED);
    EXPECT_TRUE(driver.ChooseMenuItem(*frame, CM_GRID));
    EXPECT_TRUE(driver.OpenMenuItem(*frame, CM_GRID) & MF_CHECKED);
    EXPECT_GE(frame->popupsOpened, 5);
}

TEST_F(MenuTest, EnablersRelabelItems)
{
    EXPECT_EQ(driver.MenuItemText(*frame, CM_ANIMATION), "A&nimation On");
    driver.ChooseMenuItem(*frame, CM_ANIMATION);
    EXPECT_EQ(driver.MenuItemText(*frame, CM_ANIMATION), "A&nimation Off");
}

TEST_F(MenuTest, ItemsWithoutAnEnablerFollowTheirCommandHandlers)
{
    // Save All has a handler and no enabler; the last item has neither.
    EXPECT_FALSE(driver.OpenMenuItem(*frame, CM_SAVEALL) & MF_GRAYED);
    EXPECT_TRUE(driver.OpenMenuItem(*frame, CM_NOHANDLER) & MF_GRAYED);
    // Copy is the editor pane's: grey while the pane does not have the focus.
    EXPECT_TRUE(driver.OpenMenuItem(*frame, CM_COPY) & MF_GRAYED);
    frame->pane->SetFocus();
    driver.ProcessEvents();
    EXPECT_FALSE(driver.OpenMenuItem(*frame, CM_COPY) & MF_GRAYED);
    EXPECT_TRUE(driver.ChooseMenuItem(*frame, CM_COPY));
    EXPECT_EQ(frame->pane->copies, 1);
}

TEST(MenuEditTest, ItemsChangeByCommandOrPosition)
{
    TMenu menu;
    auto* popup = new TMenu;
    popup->AppendMenu(MF_STRING, 32775, "Kelmnet &Database Transfer");
    popup->AppendMenu(MF_STRING | MF_CHECKED, 32776, "Kelmnet &Configuration...");
    menu.AppendPopup(MF_STRING, popup, "S&pecial");
    EXPECT_EQ(menu.GetMenuItemCount(), 1);
    EXPECT_EQ(menu.GetSubMenu(0), popup);
    EXPECT_EQ(menu.GetMenuItemID(0), static_cast<UINT>(-1));
    EXPECT_EQ(menu.GetMenuState(32776, MF_BYCOMMAND), MF_CHECKED);
    EXPECT_EQ(menu.CheckMenuItem(32776, MF_UNCHECKED), MF_CHECKED);
    EXPECT_EQ(menu.EnableMenuItem(32775, MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(menu.GetMenuState(32775, MF_BYCOMMAND), MF_GRAYED);
    EXPECT_TRUE(menu.DeleteMenu(32775, MF_BYCOMMAND));
    EXPECT_EQ(popup->GetMenuItemCount(), 1);
    EXPECT_EQ(menu.GetMenuState(32775, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_TRUE(popup->ModifyMenu(0, MF_BYPOSITION | MF_STRING, 32777, "&Varnholt Net Version"));
    EXPECT_EQ(menu.GetMenuString(32777, MF_BYCOMMAND), "&Varnholt Net Version");
    EXPECT_TRUE(popup->SetMenuDefaultItem(0, true));
    EXPECT_TRUE(popup->GetMenuState(0, MF_BYPOSITION) & MF_DEFAULT);
    EXPECT_FALSE(menu.DeleteMenu(5, MF_BYPOSITION));
}

}  // namespace

namespace {

TEST(AcceleratorTest, KeysSendCommandsBeforeTheFocusedControlSeesThem)
{
    RegisterTestMenu();
    RegisterAcceleratorTable(99, {{'S', FCONTROL, CM_SAVE}, {VK_NEXT, 0, CM_GRID}});
    TTestDriver driver;
    TMainFrame frame;
    frame.SetAcceleratorTable(99);
    frame.modified = true;
    driver.Show(frame);
    frame.pane->SetFocus();
    driver.ProcessEvents();
    driver.PressKey('S', MK_CONTROL);
    driver.PressKey('S');  // without Ctrl: no command
    driver.PressKey(VK_NEXT);
    EXPECT_EQ(frame.saves, 1);
    EXPECT_TRUE(frame.gridOn);
}

}  // namespace
