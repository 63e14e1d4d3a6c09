// Editor dialogs in their MDI hosts: where a host opens and whether its
// place is kept, the close box reaching the editor, hosts that cannot be
// resized, the dialog's help topic and the page editor kept disabled.

#include "plintvlr/shell/editor_bases.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/mdi_hosts.h"
#include "plintvlr/shell/page_editor_lock.h"
#include "platform/ui/help.h"
#include "platform/ui/menu.h"
#include "platform/ui/window_api.h"
#include "shell_fixture.h"
#include "stand_in_editor_bases.h"
#include "stand_in_editors.h"

#include <fstream>
#include <sstream>

namespace {

class MDIDialogTest : public EditorBasesTest {
protected:
    TStandInDialog& OpenDialog(int positionId, int helpId = 0, bool disableEditor = false)
    {
        auto* dialog = new TStandInDialog(&Client(), positionId, helpId, disableEditor);
        EXPECT_TRUE(dialog->Create());
        driver.ProcessEvents();
        return *dialog;
    }

    // The profile's text, empty when there is none yet.
    std::string ProfileText()
    {
        std::ifstream in(profile_ + "/PLINTVLR.INI");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(MDIDialogTest, HostWithoutPositionIdOpensAtTheTopLeftAndKeepsNoPlace)
{
    Start();
    TStandInDialog& dialog = OpenDialog(0);
    TInnerMDIChild* host = dialog.GetHost();
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(dialog.GetHostHandle(), host->GetHandle());
    EXPECT_TRUE(host->IsWindowVisible());
    EXPECT_EQ(host->GetWindowText(), "Recipe Group Editor") << "the host shows the dialog's caption";
    EXPECT_EQ(host->GetWindowRect().TopLeft(), Client().ClientToScreen({0, 0}));
    // One host, just big enough for the dialog.
    int hosts = 0;
    for (TWindow* child : Client().GetChildren())
        hosts += dynamic_cast<TMDIChild*>(child) && child->IsWindow() ? 1 : 0;
    EXPECT_EQ(hosts, 1);
    EXPECT_EQ(host->GetClientRect().Size(), dialog.GetWindowRect().Size());
    EXPECT_TRUE(Screenshot(Frame(), "mdi_dialog_hosted"));

    dialog.SendMessage(WM_COMMAND, IDCANCEL);
    driver.ProcessEvents();
    EXPECT_FALSE(dialog.IsWindow());
    EXPECT_FALSE(host->IsWindow()) << "the host goes with its editor";
    EXPECT_EQ(dialog.GetHostHandle(), nullptr);
    EXPECT_EQ(ProfileText().find("POSITIONS"), std::string::npos);
}

TEST_F(MDIDialogTest, HostWithASavedPlaceOpensThereAndSavesItOnClosing)
{
    SetProfile("POSITIONS", "4900X", "30");
    SetProfile("POSITIONS", "4900Y", "20");
    Start();
    Frame().MoveWindow(0, 0, 800, 600);
    driver.ProcessEvents();
    TStandInDialog& dialog = OpenDialog(4900);
    TInnerMDIChild* host = dialog.GetHost();
    ASSERT_NE(host, nullptr);
    EXPECT_TRUE(host->IsWindowVisible());
    const TRect client = Client().GetWindowRect();
    EXPECT_EQ(host->GetWindowRect().TopLeft(), TPoint(client.left + 30, client.top + 20));

    // Moved by the engineer, closed, and opened again where it was left.
    host->MoveWindow(50, 40, host->GetWindowRect().Width(), host->GetWindowRect().Height());
    const TPoint moved = host->GetWindowRect().TopLeft();
    dialog.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_EQ(Profile("POSITIONS", "4900X"), std::to_string(moved.x - client.left));
    EXPECT_EQ(Profile("POSITIONS", "4900Y"), std::to_string(moved.y - client.top));
    TStandInDialog& again = OpenDialog(4900);
    ASSERT_NE(again.GetHost(), nullptr);
    EXPECT_EQ(again.GetHost()->GetWindowRect().TopLeft(), moved);
}

TEST_F(MDIDialogTest, CloseBoxAsksTheEditorAndTheHostCannotBeResized)
{
    Start();
    TStandInDialog& dialog = OpenDialog(0);
    TInnerMDIChild& host = *dialog.GetHost();
    EXPECT_FALSE(host.GetStyle() & WS_MAXIMIZEBOX);
    EXPECT_TRUE(driver.SystemMenuItemState(host, SC_SIZE) & MF_GRAYED);

    // Every edge and corner answers as plain border, so dragging changes nothing.
    const TRect r = host.GetWindowRect();
    const TPoint edges[] = {{r.left + 1, r.top + r.Height() / 2}, {r.right - 2, r.top + r.Height() / 2},
                            {r.left + r.Width() / 2, r.top + 1},  {r.left + r.Width() / 2, r.bottom - 2},
                            {r.left + 1, r.top + 1},              {r.right - 2, r.bottom - 2}};
    for (const TPoint& edge : edges) {
        const LRESULT hit = host.HandleMessage(WM_NCHITTEST, 0, PointToLParam(edge));
        EXPECT_FALSE(hit >= HTLEFT && hit <= HTBOTTOMRIGHT) << "hit " << hit;
    }
    const TSize before = host.GetWindowRect().Size();
    driver.DragFrame(host, {before.cx - 2, before.cy - 2}, {before.cx + 40, before.cy + 30});
    EXPECT_EQ(host.GetWindowRect().Size(), before);

    // The close box reaches the editor, which may refuse.
    dialog.refuseClose = true;
    EXPECT_TRUE(driver.ChooseSystemMenuItem(host, SC_CLOSE));
    driver.ProcessEvents();
    EXPECT_EQ(dialog.closeRequests, 1);
    EXPECT_TRUE(dialog.IsWindow());
    EXPECT_TRUE(host.IsWindow());
    dialog.refuseClose = false;
    EXPECT_TRUE(driver.ChooseSystemMenuItem(host, SC_CLOSE));
    driver.ProcessEvents();
    EXPECT_EQ(dialog.closeRequests, 2);
    EXPECT_FALSE(dialog.IsWindow());
}

TEST_F(MDIDialogTest, CurrentTopicShowsTheDialogsHelp)
{
    MDIFrame& frame = Start();
    const std::size_t before = HelpRequests().size();
    EXPECT_TRUE(driver.OpenMenuItem(frame, CM_CURRENTTOPIC) & MF_GRAYED) << "no editor dialog on the route";
    driver.CloseMenus();

    TStandInDialog& silent = OpenDialog(0, 0);
    driver.Focus(silent, IDC_STANDIN_NAME);
    EXPECT_FALSE(driver.OpenMenuItem(frame, CM_CURRENTTOPIC) & MF_GRAYED);
    driver.CloseMenus();
    EXPECT_TRUE(driver.ChooseMenuItem(frame, CM_CURRENTTOPIC));
    EXPECT_EQ(HelpRequests().size(), before) << "help id 0 shows nothing";

    TStandInDialog& helpful = OpenDialog(0, 4711);
    driver.Focus(helpful, IDC_STANDIN_NAME);
    driver.AnswerMessageBox(IDOK);  // no help is installed here
    EXPECT_TRUE(driver.ChooseMenuItem(frame, CM_CURRENTTOPIC));
    ASSERT_EQ(HelpRequests().size(), before + 1);
    const THelpRequest& request = HelpRequests().back();
    EXPECT_EQ(request.file, program_ + "/HELP/PLINTVLR.HLP");
    EXPECT_EQ(request.command, HELP_CONTEXT);
    EXPECT_EQ(request.data, 4711u);
}

TEST_F(MDIDialogTest, EditorDialogsKeepThePageEditorDisabledUntilTheLastCloses)
{
    TWindow* pages = StartWithPageEditor();
    ASSERT_NE(pages, nullptr);

    TStandInDialog& first = OpenDialog(0, 0, true);
    TStandInDialog& second = OpenDialog(0, 0, true);
    EXPECT_FALSE(pages->IsWindowEnabled());
    EXPECT_EQ(PageEditorHolds(&Client()), 2);
    first.SendMessage(WM_COMMAND, IDCANCEL);
    driver.ProcessEvents();
    EXPECT_FALSE(pages->IsWindowEnabled()) << "the other dialog still holds it";
    second.SendMessage(WM_COMMAND, IDCANCEL);
    driver.ProcessEvents();
    EXPECT_TRUE(pages->IsWindowEnabled());
    EXPECT_EQ(Client().GetActiveMDIChild(), pages);
}

}  // namespace
