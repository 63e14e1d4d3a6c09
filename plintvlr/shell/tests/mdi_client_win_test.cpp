// The MDI client with stand-in editors: one window per editor, forgetting a
// closed one, Close Project, the record items relabelled for the editor with
// the focus, and the page editor blocked by dialogs.

#include "shell_fixture.h"
#include "stand_in_editors.h"

#include "plintvlr/shell/status_line.h"
#include "platform/ui/mdi_child.h"

namespace {

class MDIClientWinTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        standIns.RegisterAll();
        MakeLastProject("LINE1", 14);
        Start();
    }

    StandIns standIns;
};

TEST_F(MDIClientWinTest, AnEditorIsMadeOnceAndAgainAfterItClosed)
{
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_TAGS));
    TWindow* host = Client().GetEditorHost(TEditorKind::Tags);
    ASSERT_NE(host, nullptr);
    // The page editor comes to the front; the second Tags brings the tag editor back.
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_GRAPHICPAGES));
    EXPECT_NE(Client().GetActiveMDIChild(), host);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_TAGS));
    EXPECT_EQ(standIns.Made(TEditorKind::Tags), 1);
    EXPECT_EQ(Client().GetActiveMDIChild(), host);

    // File > Close closes the active window, the tag editor's host.
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_CLOSEWINDOW));
    driver.ProcessEvents();
    EXPECT_EQ(Client().GetEditor(TEditorKind::Tags), nullptr);
    EXPECT_NE(Client().GetEditor(TEditorKind::GraphicPages), nullptr);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_TAGS));
    EXPECT_EQ(standIns.Made(TEditorKind::Tags), 2);
    EXPECT_EQ(standIns.Made(TEditorKind::GraphicPages), 1);
}

TEST_F(MDIClientWinTest, EditorsAreGivenWhatTheyAskFor)
{
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_OVERVIEWGROUPS));
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_MESSAGETABLES));
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_PASSWORDS));
    const auto request = [&](TEditorKind kind) { return standIns.requests[static_cast<std::size_t>(kind)]; };
    EXPECT_EQ(request(TEditorKind::OverviewGroups).resourceId, 11814);
    EXPECT_EQ(request(TEditorKind::MessageTables).registry, &MessageTableRegistry());
    EXPECT_NE(request(TEditorKind::MessageTables).errors, nullptr);
    EXPECT_EQ(request(TEditorKind::SystemSettings).page, 2);
    // System Settings while the sheet is open brings it forward, no second sheet.
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_SYSTEMSETTINGS));
    EXPECT_EQ(standIns.Made(TEditorKind::SystemSettings), 1);
    EXPECT_EQ(Client().GetActiveMDIChild(), Client().GetEditorHost(TEditorKind::SystemSettings));
}

TEST_F(MDIClientWinTest, CloseProjectStopsWhenAnEditorRefusesAndEmptiesTheFrameOtherwise)
{
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_TAGS));
    standIns.refuseClose = true;
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_CLOSEPROJECT));
    EXPECT_TRUE(_QSglobals.GetDatabase().IsOpen());
    EXPECT_EQ(Frame().GetCaption(), "Plintorvaler 5.20 - LINE1");
    EXPECT_NE(Client().GetEditor(TEditorKind::Tags), nullptr);
    EXPECT_EQ(TStatusLine::GetStatusLine()->GetPaneText(TStatusLine::IDG_MODEL), "SWAQ");

    standIns.refuseClose = false;
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_CLOSEPROJECT));
    driver.ProcessEvents();
    EXPECT_FALSE(_QSglobals.GetDatabase().IsOpen());
    EXPECT_EQ(Frame().GetCaption(), "Plintorvaler 5.20");
    EXPECT_EQ(Client().GetEditor(TEditorKind::Tags), nullptr);
    EXPECT_EQ(Client().GetEditor(TEditorKind::GraphicPages), nullptr);
    for (int pane : {TStatusLine::IDG_MODEL, TStatusLine::IDG_USED, TStatusLine::IDG_FREE})
        EXPECT_EQ(TStatusLine::GetStatusLine()->GetPaneText(pane), "") << pane;
    EXPECT_EQ(driver.OpenMenuItem(Frame(), CM_CLOSEPROJECT) & MF_GRAYED, MF_GRAYED);
    driver.CloseMenus();
}

TEST_F(MDIClientWinTest, RecordItemsFollowTheEditorWithTheFocus)
{
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_TAGS));
    TWindow* tags = Client().GetEditor(TEditorKind::Tags);
    ASSERT_NE(tags, nullptr);
    tags->SetFocus();
    driver.ProcessEvents();
    EXPECT_EQ(driver.MenuItemText(Frame(), CM_SAVERECORD), "&Save Tag");
    EXPECT_EQ(driver.MenuItemText(Frame(), CM_DELETERECORD), "&Delete Tag");
    EXPECT_EQ(driver.MenuItemText(Frame(), CM_NEWRECORD), "&New Tag");
    EXPECT_EQ(driver.MenuItemText(Frame(), CM_PREVIOUSRECORD), "&Previous Tag");
    EXPECT_EQ(driver.MenuItemText(Frame(), CM_NEXTRECORD), "&Next Tag");

    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_MESSAGETABLES));
    Client().GetEditor(TEditorKind::MessageTables)->SetFocus();
    driver.ProcessEvents();
    EXPECT_EQ(driver.MenuItemText(Frame(), CM_SAVERECORD), "&Save Message Table\tCtrl+S");
    EXPECT_EQ(driver.MenuItemText(Frame(), CM_NEXTRECORD), "&Next Message Table");

    Client().GetEditorHost(TEditorKind::GraphicPages)->GetChildren().front()->SetFocus();
    driver.ProcessEvents();
    EXPECT_EQ(driver.MenuItemText(Frame(), CM_SAVERECORD), "&Save Page\tCtrl+S");
    EXPECT_EQ(driver.MenuItemText(Frame(), CM_PREVIOUSRECORD), "&Previous Page\tPgUp");
    EXPECT_EQ(driver.MenuItemText(Frame(), CM_NEXTRECORD), "&Next Page\tPgDn");
}

TEST_F(MDIClientWinTest, DialogsBlockThePageEditorWhileTheyAreOpen)
{
    TWindow* pages = Client().GetEditor(TEditorKind::GraphicPages);
    ASSERT_NE(pages, nullptr);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_TAGS));
    Client().EnableEditor(false);
    EXPECT_FALSE(pages->IsWindowEnabled());
    // A blocked page editor is not brought forward by Graphic Pages.
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_GRAPHICPAGES));
    EXPECT_EQ(Client().GetActiveMDIChild(), Client().GetEditorHost(TEditorKind::Tags));
    EXPECT_EQ(standIns.Made(TEditorKind::GraphicPages), 1);
    Client().EnableEditor(true);
    driver.ProcessEvents();
    EXPECT_TRUE(pages->IsWindowEnabled());
    EXPECT_EQ(Client().GetActiveMDIChild(), pages);
}

}  // namespace

namespace {

TEST_F(MDIClientWinTest, ProjectCommandsCloseTheEditorsFirstOrSayWhy)
{
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_TAGS));
    standIns.refuseClose = true;
    driver.AnswerMessageBox(IDOK);
    EXPECT_FALSE(Frame().CloseEditorsFirst(true));
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text,
              "All configuration windows must be closed before opening a different database.");
    EXPECT_EQ(driver.MessageBoxes()[0].caption, "Application Message");
    EXPECT_EQ(driver.MessageBoxes()[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_NE(Client().GetEditor(TEditorKind::Tags), nullptr);
    // Transfer stops without a word.
    EXPECT_FALSE(Frame().CloseEditorsFirst(false));
    EXPECT_EQ(driver.MessageBoxes().size(), 1u);

    standIns.refuseClose = false;
    EXPECT_TRUE(Frame().CloseEditorsFirst(true));
    driver.ProcessEvents();
    EXPECT_EQ(Client().GetEditor(TEditorKind::Tags), nullptr);
    EXPECT_EQ(Client().GetEditor(TEditorKind::GraphicPages), nullptr);
}

}  // namespace
