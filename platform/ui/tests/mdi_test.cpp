// MDI frames, their client and children: the command route through the
// active child, the Window menu's list, activation, system commands and
// children that cannot be resized.

#include "platform/ui/accelerators.h"
#include "platform/ui/controls/edit.h"
#include "platform/ui/mdi_child.h"
#include "platform/ui/mdi_client.h"
#include "platform/ui/mdi_frame.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window_api.h"

#include "platform/ui/resources.h"

#include <QBuffer>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum : UINT {
    CM_SAVERECORD = 3002,
    CM_GRID = 21906,
    CM_DELETERECORD = 3011,
    CM_NEWRECORD = 2990,
    CM_EXIT = 2008,
};

void RegisterFrameResources()
{
    RegisterMenuTemplate(990, {
        Popup("&File", {
            MenuItem("&Save Record\tCtrl+S", CM_SAVERECORD),
            MenuItem("&Delete Record", CM_DELETERECORD),
            MenuSeparator(),
            MenuItem("E&xit", CM_EXIT),
        }),
        Popup("&View", {
            MenuItem("&New Record", CM_NEWRECORD),
            MenuItem("&Grid On", CM_GRID),
        }),
        Popup("&Window", {
            MenuItem("&Cascade", CM_CASCADECHILDREN),
            MenuItem("&Tile", CM_TILECHILDREN),
            MenuItem("Arrange &Icons", CM_ARRANGEICONS),
            MenuItem("Close &All", CM_CLOSECHILDREN),
        }),
    });
    RegisterAcceleratorTable(990, {{'S', FCONTROL, CM_SAVERECORD}});
}

// A client that records the children it is told are going.
class TRecordingClient : public TMDIClient {
public:
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }
    std::vector<HWND> destroyed;

private:
    void EvMDIDestroy(HWND child)
    {
        destroyed.push_back(child);
        DefaultProcessing();
    }
};

const TResponseTable TRecordingClient::Responses{&TMDIClient::Responses, {
    OnMessage<&TRecordingClient::EvMDIDestroy>(WM_MDIDESTROY),
}};

class TFrame : public TMDIFrame {
public:
    explicit TFrame(TMDIClient* client = nullptr) : TMDIFrame("Plintorvaler 5.20", 990, client)
    {
        Attr.W = 640;
        Attr.H = 480;
        SetAcceleratorTable(990);
    }
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }
    int exits = 0;

private:
    void CmExit() { ++exits; }
};

const TResponseTable TFrame::Responses{&TMDIFrame::Responses, {
    OnCommand<&TFrame::CmExit>(CM_EXIT),
}};

// An editor child: it saves records, knows whether its grid is on, and says
// what a record is.
class TEditorChild : public TMDIChild {
public:
    TEditorChild(TMDIClient& client, const char* title, const char* kind) : TMDIChild(client, title), kind_(kind)
    {
        edit = new TEdit(this, 101, "", 10, 10, 120, 22);
    }
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    TEdit* edit;
    bool modified = false;
    bool gridOn = false;
    bool mayClose = true;
    int saves = 0;
    std::vector<UINT> sysCommands;
    std::vector<std::pair<HWND, HWND>> activations;  // (losing, gaining) as heard

    bool CanClose() override { return mayClose && TMDIChild::CanClose(); }

private:
    void CmSave() { ++saves; }
    void CeSave(TCommandEnabler& ce) { ce.Enable(modified); }
    void CeGrid(TCommandEnabler& ce) { ce.SetCheck(gridOn ? TCommandEnabler::Checked : TCommandEnabler::Unchecked); }
    void CeNew(TCommandEnabler& ce) { ce.SetText(("&New " + kind_).c_str()); }
    void CmGrid() { gridOn = !gridOn; }
    void EvSysCommand(UINT command, const TPoint&)
    {
        sysCommands.push_back(command);
        DefaultProcessing();
    }
    void EvMDIActivate(WPARAM losing, LPARAM gaining)
    {
        activations.emplace_back(reinterpret_cast<HWND>(losing), reinterpret_cast<HWND>(gaining));
    }

    std::string kind_;
};

const TResponseTable TEditorChild::Responses{&TMDIChild::Responses, {
    OnCommand<&TEditorChild::CmSave>(CM_SAVERECORD),
    OnCommandEnable<&TEditorChild::CeSave>(CM_SAVERECORD),
    OnCommand<&TEditorChild::CmGrid>(CM_GRID),
    OnCommandEnable<&TEditorChild::CeGrid>(CM_GRID),
    OnCommandEnable<&TEditorChild::CeNew>(CM_NEWRECORD),
    OnMessage<&TEditorChild::EvSysCommand>(WM_SYSCOMMAND),
    OnMessage<&TEditorChild::EvMDIActivate>(WM_MDIACTIVATE),
}};

// A child the user cannot resize: every sizing edge is plain border, and
// the Size item of its system menu is grey.
class TNoSizingChild : public TMDIChild {
public:
    TNoSizingChild(TMDIClient& client, const char* title) : TMDIChild(client, title) {}
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

private:
    LRESULT EvNCHitTest(WPARAM, LPARAM)
    {
        const LRESULT hit = DefaultProcessing();
        return hit >= HTLEFT && hit <= HTBOTTOMRIGHT ? HTBORDER : hit;
    }
    void EvInitMenu(WPARAM, LPARAM)
    {
        DefaultProcessing();
        GetSystemMenu().EnableMenuItem(2, MF_BYPOSITION | MF_GRAYED);
    }
};

const TResponseTable TNoSizingChild::Responses{&TMDIChild::Responses, {
    OnMessage<&TNoSizingChild::EvNCHitTest>(WM_NCHITTEST),
    OnMessage<&TNoSizingChild::EvInitMenu>(WM_INITMENU),
}};

class MdiTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterFrameResources(); }

    TTestDriver driver;
};

std::vector<std::string> WindowMenuTexts(TFrame& frame)
{
    std::vector<std::string> texts;
    TMenu* menu = frame.GetMDIClient()->GetWindowMenu();
    for (int i = 0; menu && i < menu->GetMenuItemCount(); ++i) {
        if (!(menu->GetMenuState(static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR))
            texts.push_back(menu->GetMenuString(static_cast<UINT>(i), MF_BYPOSITION));
    }
    return texts;
}

TEST_F(MdiTest, MenuItemsAreGreyedCheckedAndRelabelledByTheActiveChild)
{
    TFrame frame;
    driver.Show(frame);
    auto* tags = new TEditorChild(*frame.GetMDIClient(), "Tag Editor", "Tag");
    tags->Create();
    driver.ProcessEvents();
    ASSERT_EQ(frame.GetMDIClient()->GetActiveMDIChild(), tags);

    EXPECT_EQ(driver.OpenMenuItem(frame, CM_SAVERECORD) & MF_GRAYED, MF_GRAYED);
    EXPECT_EQ(driver.OpenMenuItem(frame, CM_GRID) & MF_CHECKED, 0u);
    EXPECT_EQ(driver.MenuItemText(frame, CM_NEWRECORD), "&New Tag");
    // Commands nobody on the route carries out are grey.
    EXPECT_EQ(driver.OpenMenuItem(frame, CM_DELETERECORD) & MF_GRAYED, MF_GRAYED);
    // An item of a pop-up is relabelled by its command id from the menu bar.
    EXPECT_TRUE(frame.GetMenu()->ModifyMenu(CM_DELETERECORD, MF_BYCOMMAND | MF_STRING, CM_DELETERECORD, "&Delete Tag"));
    EXPECT_EQ(frame.GetMenu()->GetMenuString(CM_DELETERECORD, MF_BYCOMMAND), "&Delete Tag");

    tags->modified = true;
    tags->gridOn = true;
    EXPECT_EQ(driver.OpenMenuItem(frame, CM_SAVERECORD) & MF_GRAYED, 0u);
    EXPECT_EQ(driver.OpenMenuItem(frame, CM_GRID) & MF_CHECKED, MF_CHECKED);
    EXPECT_TRUE(driver.ChooseMenuItem(frame, CM_SAVERECORD));
    EXPECT_EQ(tags->saves, 1);

    // Another child in front relabels the item for its own kind of record.
    auto* pages = new TEditorChild(*frame.GetMDIClient(), "Graphic Page Editor", "Page");
    pages->Create();
    driver.ProcessEvents();
    EXPECT_EQ(driver.MenuItemText(frame, CM_NEWRECORD), "&New Page");
    EXPECT_EQ(driver.OpenMenuItem(frame, CM_SAVERECORD) & MF_GRAYED, MF_GRAYED);
}

TEST_F(MdiTest, AcceleratorOfTheFrameReachesTheChildWithTheFocus)
{
    TFrame frame;
    driver.Show(frame);
    auto* child = new TEditorChild(*frame.GetMDIClient(), "Tag Editor", "Tag");
    child->Create();
    driver.Type(*child, 101, "PUMP");
    driver.PressKey('S', MK_CONTROL);
    EXPECT_EQ(child->saves, 1);
    EXPECT_EQ(child->edit->GetWindowText(), "PUMP") << "the accelerator's key is not typed";
}

TEST_F(MdiTest, WindowMenuListsTheChildrenAndActivatesTheChosenOne)
{
    TFrame frame;
    driver.Show(frame);
    EXPECT_EQ(driver.OpenMenuItem(frame, CM_CASCADECHILDREN) & MF_GRAYED, MF_GRAYED) << "no children yet";

    auto* first = new TEditorChild(*frame.GetMDIClient(), "Tag Editor", "Tag");
    first->Create();
    auto* second = new TEditorChild(*frame.GetMDIClient(), "Comms & Blocks", "Comms Block");
    second->Create();
    driver.ProcessEvents();
    EXPECT_EQ(WindowMenuTexts(frame), (std::vector<std::string>{"&Cascade", "&Tile", "Arrange &Icons", "Close &All",
                                                                 "&1 Tag Editor", "&2 Comms && Blocks"}));
    EXPECT_EQ(driver.OpenMenuItem(frame, IDW_FIRSTMDICHILD + 1) & MF_CHECKED, MF_CHECKED);
    EXPECT_EQ(driver.OpenMenuItem(frame, IDW_FIRSTMDICHILD) & MF_CHECKED, 0u);
    EXPECT_EQ(driver.OpenMenuItem(frame, CM_CASCADECHILDREN) & MF_GRAYED, 0u);

    EXPECT_TRUE(driver.ChooseMenuItem(frame, IDW_FIRSTMDICHILD));
    EXPECT_EQ(frame.GetMDIClient()->GetActiveMDIChild(), first);
    // Each child heard the change: the one losing and the one gaining.
    ASSERT_FALSE(second->activations.empty());
    EXPECT_EQ(second->activations.back(), std::make_pair(second->GetHandle(), first->GetHandle()));
    ASSERT_FALSE(first->activations.empty());
    EXPECT_EQ(first->activations.back(), std::make_pair(second->GetHandle(), first->GetHandle()));

    // Renaming and closing keep the list up to date.
    second->SetWindowText("Message Tables");
    EXPECT_EQ(frame.GetMDIClient()->GetWindowMenu()->GetMenuString(IDW_FIRSTMDICHILD + 1, MF_BYCOMMAND),
              "&2 Message Tables");
    first->CloseWindow();
    driver.ProcessEvents();
    EXPECT_EQ(WindowMenuTexts(frame), (std::vector<std::string>{"&Cascade", "&Tile", "Arrange &Icons", "Close &All",
                                                                 "&1 Message Tables"}));
    EXPECT_EQ(frame.GetMDIClient()->GetActiveMDIChild(), second);

    // A child made hidden (to be placed first) is listed and active once shown.
    auto* placed = new TEditorChild(*frame.GetMDIClient(), "Recipe Groups", "Recipe");
    placed->Attr.Style &= ~WS_VISIBLE;
    placed->Create();
    driver.ProcessEvents();
    EXPECT_EQ(WindowMenuTexts(frame).size(), 5u);
    EXPECT_EQ(frame.GetMDIClient()->GetActiveMDIChild(), second);
    placed->SetWindowPos(nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    driver.ProcessEvents();
    EXPECT_EQ(WindowMenuTexts(frame).back(), "&2 Recipe Groups");
    EXPECT_EQ(frame.GetMDIClient()->GetActiveMDIChild(), placed);
    placed->ShowWindow(SW_HIDE);
    EXPECT_EQ(frame.GetMDIClient()->GetActiveMDIChild(), second) << "hiding the active child activates the next";
}

TEST_F(MdiTest, EveryChildThatGoesPassesTheClientsMdiDestroy)
{
    auto* client = new TRecordingClient;
    TFrame frame(client);
    driver.Show(frame);
    auto* a = new TEditorChild(*client, "A", "Tag");
    auto* b = new TEditorChild(*client, "B", "Tag");
    a->Create();
    b->Create();
    const HWND ha = a->GetHandle();
    const HWND hb = b->GetHandle();

    a->Destroy();
    EXPECT_EQ(client->destroyed, std::vector<HWND>{ha});
    EXPECT_FALSE(a->IsWindow());

    b->mayClose = false;
    EXPECT_FALSE(client->CloseChildren()) << "a child that refuses keeps them all";
    EXPECT_TRUE(b->IsWindow());
    b->mayClose = true;
    EXPECT_TRUE(driver.ChooseMenuItem(frame, CM_CLOSECHILDREN));
    EXPECT_EQ(client->destroyed, (std::vector<HWND>{ha, hb}));
    EXPECT_EQ(client->GetActiveMDIChild(), nullptr);
}

TEST_F(MdiTest, ChildThatCannotBeResizedKeepsItsSizeAndGreysSize)
{
    TFrame frame;
    driver.Show(frame);
    auto* sizable = new TEditorChild(*frame.GetMDIClient(), "Sizable", "Tag");
    sizable->Attr.X = 10;
    sizable->Attr.Y = 10;
    sizable->Attr.W = 200;
    sizable->Attr.H = 150;
    sizable->Create();
    auto* fixed = new TNoSizingChild(*frame.GetMDIClient(), "Fixed");
    fixed->Attr.X = 250;
    fixed->Attr.Y = 10;
    fixed->Attr.W = 200;
    fixed->Attr.H = 150;
    fixed->Create();
    driver.ProcessEvents();

    // Dragging the bottom-right corner: the sizable child grows, the other does not.
    for (TMDIChild* child : std::initializer_list<TMDIChild*>{sizable, fixed}) {
        const QSize before = child->GetSubWindow()->size();
        const TPoint corner(before.width() - 2, before.height() - 2);
        driver.DragFrame(*child, corner, {corner.x + 40, corner.y + 30});
        const QSize after = child->GetSubWindow()->size();
        if (child == sizable)
            EXPECT_EQ(after, before + QSize(40, 30));
        else
            EXPECT_EQ(after, before) << "the fixed child was resized";
    }
    // Its edges answer as plain border.
    const TRect r = fixed->GetWindowRect();
    EXPECT_EQ(fixed->HandleMessage(WM_NCHITTEST, 0, PointToLParam({r.right - 2, r.bottom - 2})), HTBORDER);
    EXPECT_EQ(sizable->HandleMessage(WM_NCHITTEST, 0, PointToLParam({sizable->GetWindowRect().right - 2,
                                                                     sizable->GetWindowRect().bottom - 2})),
              HTBOTTOMRIGHT);

    EXPECT_EQ(driver.SystemMenuItemState(*fixed, SC_SIZE), MF_GRAYED);
    EXPECT_EQ(driver.SystemMenuItemState(*sizable, SC_SIZE), 0u);
    EXPECT_EQ(driver.SystemMenuItemState(*sizable, SC_RESTORE), MF_GRAYED) << "a normal window has nothing to restore";
}

TEST_F(MdiTest, SystemCommandsReachTheChildAndCloseGoesThroughIt)
{
    TFrame frame;
    driver.Show(frame);
    auto* child = new TEditorChild(*frame.GetMDIClient(), "Tag Editor", "Tag");
    child->Create();
    driver.ProcessEvents();

    child->mayClose = false;
    EXPECT_TRUE(driver.ChooseSystemMenuItem(*child, SC_CLOSE));
    EXPECT_EQ(child->sysCommands, std::vector<UINT>{SC_CLOSE});
    EXPECT_TRUE(child->IsWindow()) << "the child refused to close";

    // The sub-window's close box is the same system command.
    child->GetSubWindow()->close();
    driver.ProcessEvents();
    EXPECT_EQ(child->sysCommands, (std::vector<UINT>{SC_CLOSE, SC_CLOSE}));
    EXPECT_TRUE(child->IsWindow());

    EXPECT_TRUE(driver.ChooseSystemMenuItem(*child, SC_MINIMIZE));
    EXPECT_TRUE(child->IsIconic());
    EXPECT_EQ(driver.SystemMenuItemState(*child, SC_RESTORE), 0u);
    EXPECT_TRUE(driver.ChooseSystemMenuItem(*child, SC_RESTORE));
    EXPECT_FALSE(child->IsIconic());

    child->mayClose = true;
    child->GetSubWindow()->close();
    driver.ProcessEvents();
    EXPECT_FALSE(child->IsWindow());
}

// A child that records the mouse moves over its frame.
class TFrameMoveChild : public TMDIChild {
public:
    TFrameMoveChild(TMDIClient& client, const char* title) : TMDIChild(client, title) {}
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    std::vector<std::pair<LRESULT, TPoint>> moves;

private:
    LRESULT EvNCMouseMove(WPARAM hit, LPARAM at)
    {
        moves.emplace_back(static_cast<LRESULT>(hit), LParamToPoint(at));
        return DefaultProcessing();
    }
};

const TResponseTable TFrameMoveChild::Responses{&TMDIChild::Responses, {
    OnMessage<&TFrameMoveChild::EvNCMouseMove>(WM_NCMOUSEMOVE),
}};

TEST_F(MdiTest, MouseOverTheFrameOrCaptionIsReportedWithWhatLiesThere)
{
    TFrame frame;
    driver.Show(frame);
    auto* child = new TFrameMoveChild(*frame.GetMDIClient(), "Moves");
    child->Attr.X = 10;
    child->Attr.Y = 10;
    child->Attr.W = 200;
    child->Attr.H = 150;
    child->Create();
    driver.ProcessEvents();

    const QSize size = child->GetSubWindow()->size();
    const int captionY = child->GetSubWindow()->widget()->geometry().top() / 2;
    driver.HoverFrame(*child, {size.width() / 2, captionY});
    driver.HoverFrame(*child, {size.width() - 1, size.height() / 2});
    // Moves over the client area are client input, not frame input.
    driver.MouseMove(*child, {20, 20});
    ASSERT_EQ(child->moves.size(), 2u);
    EXPECT_EQ(child->moves[0].first, HTCAPTION);
    EXPECT_EQ(child->moves[1].first, HTRIGHT);
    const QPoint screen = child->GetSubWindow()->mapToGlobal(QPoint(size.width() / 2, captionY));
    EXPECT_EQ(child->moves[0].second, TPoint(screen.x(), screen.y())) << "lParam is the screen point";

    // A drag over the frame reports no moves: the frame is being dragged.
    driver.DragFrame(*child, {size.width() / 2, captionY}, {size.width() / 2 + 5, captionY + 5});
    EXPECT_EQ(child->moves.size(), 3u) << "only the move before the button went down";
}

TEST_F(MdiTest, CaptionBoxesTakenFromAShownChildGoAtOnce)
{
    TFrame frame;
    driver.Show(frame);
    auto* child = new TEditorChild(*frame.GetMDIClient(), "Position Offset", "Tag");
    child->Create();
    driver.ProcessEvents();
    QMdiSubWindow* sub = child->GetSubWindow();
    ASSERT_TRUE(sub->windowFlags() & Qt::WindowSystemMenuHint);
    ASSERT_TRUE(sub->windowFlags() & Qt::WindowMinimizeButtonHint);

    child->ModifyStyle(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0);
    driver.ProcessEvents();
    EXPECT_TRUE(sub->isVisible());
    EXPECT_FALSE(sub->windowFlags() & (Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                                       Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(frame.GetMDIClient()->GetActiveMDIChild(), child);

    child->ModifyStyle(0, WS_MINIMIZEBOX);
    EXPECT_TRUE(sub->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(sub->windowFlags() & Qt::WindowSystemMenuHint);
}

TEST_F(MdiTest, FrameClosesOnlyWhenEveryChildAgrees)
{
    auto* frame = new TFrame;
    driver.Show(*frame);
    auto* child = new TEditorChild(*frame->GetMDIClient(), "Tag Editor", "Tag");
    child->Create();
    child->mayClose = false;
    driver.CloseBox(*frame);
    EXPECT_TRUE(frame->IsWindow());
    child->mayClose = true;
    driver.CloseBox(*frame);
    EXPECT_FALSE(frame->IsWindow());
    delete frame;
}

TEST_F(MdiTest, MinimisedChildrenAreArrangedAlongTheBottomAndOthersTiled)
{
    TFrame frame;
    driver.Show(frame);
    TMDIClient& client = *frame.GetMDIClient();
    std::vector<TEditorChild*> children;
    for (const char* title : {"A", "B", "C"}) {
        children.push_back(new TEditorChild(client, title, "Tag"));
        children.back()->Create();
    }
    driver.ProcessEvents();
    children[0]->ShowWindow(SW_MINIMIZE);
    children[1]->ShowWindow(SW_MINIMIZE);
    driver.ProcessEvents();
    EXPECT_TRUE(children[0]->IsIconic());
    EXPECT_TRUE(driver.ChooseMenuItem(frame, CM_ARRANGEICONS));
    const int bottom = client.GetArea()->viewport()->height();
    const QRect a = children[0]->GetSubWindow()->geometry();
    const QRect b = children[1]->GetSubWindow()->geometry();
    EXPECT_EQ(a.bottom() + 1, bottom);
    EXPECT_EQ(b.bottom() + 1, bottom);
    EXPECT_EQ(a.left(), 0);
    EXPECT_EQ(b.left(), a.right() + 1);

    children[0]->ShowWindow(SW_RESTORE);
    EXPECT_TRUE(driver.ChooseMenuItem(frame, CM_TILECHILDREN));
    const QRect t0 = children[0]->GetSubWindow()->geometry();
    const QRect t2 = children[2]->GetSubWindow()->geometry();
    EXPECT_EQ(t0.left(), 0);
    EXPECT_EQ(t0.width(), t2.width());
    EXPECT_EQ(t2.right() + 1, client.GetArea()->viewport()->width());
    EXPECT_TRUE(children[1]->IsIconic()) << "tiling leaves minimised children alone";
}

TEST_F(MdiTest, HostShrinksToItsClientAndShowsItsIcon)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    ASSERT_TRUE(RegisterIconResource("rectp", png.constData(), static_cast<std::size_t>(png.size())));

    TFrame frame;
    frame.SetIcon(nullptr, "rectp");
    driver.Show(frame);
    EXPECT_FALSE(frame.GetWidget()->windowIcon().isNull());

    // A host carries one editor and is as big as that editor.
    auto* editor = new TWindow(nullptr, "Overview Group Editor");
    editor->Attr.W = 240;
    editor->Attr.H = 130;
    auto* host = new TMDIChild(*frame.GetMDIClient(), "Overview Group Editor", editor, true);
    host->SetIcon(nullptr, "rectp");
    host->Create();
    driver.ProcessEvents();
    EXPECT_EQ(host->GetClientRect(), TRect(0, 0, 240, 130));
    EXPECT_EQ(editor->GetWindowRect().Width(), 240);
    EXPECT_FALSE(host->GetSubWindow()->windowIcon().isNull());

    // An editor made on the client first moves into the host made for it.
    auto* dialog = new TWindow(frame.GetMDIClient(), "Message Tables");
    dialog->Attr.W = 180;
    dialog->Attr.H = 90;
    dialog->Create();
    auto* second = new TMDIChild(*frame.GetMDIClient(), "Message Tables", dialog, true);
    second->Create();
    driver.ProcessEvents();
    EXPECT_EQ(dialog->GetParentO(), second);
    EXPECT_TRUE(dialog->IsWindowVisible());
    EXPECT_EQ(second->GetClientRect(), TRect(0, 0, 180, 90));
    EXPECT_EQ(dialog->GetWindowRect().left, second->ClientToScreen({0, 0}).x);
}

}  // namespace
