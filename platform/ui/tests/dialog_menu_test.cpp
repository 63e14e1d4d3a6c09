// A dialog with a menu bar: the template names the menu, the bar sits above
// the client area, pop-ups tell their position, items are appended,
// deleted, greyed and checked by the program and send their commands; and
// the top-most placing and the program's activation that such a main dialog uses.

#include "platform/ui/application.h"
#include "platform/ui/dialog.h"
#include "platform/ui/menu.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window_api.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kDialog = 7102;
constexpr int kMenu = 7129;
enum : UINT { CM_PORT = 32772, CM_ERASE = 32773, CM_EXTRA = 32790, IDC_START = 1009 };

void RegisterResources()
{
    RegisterMenuTemplate(kMenu, {
        Popup("&File", {MenuItem("E&xit", IDOK)}),
        Popup("&Settings", {MenuItem("P&ort", CM_PORT)}),
        Popup("S&pecial", {MenuItem("&Erase Flash", CM_ERASE)}),
    });
    RegisterDialogTemplate(kDialog, {"Menu Dialog", 0, 0, 200, 100, WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                     "MS Sans Serif", 8, {PushButton("Start", IDC_START, 5, 5, 60, 14)}});
    RegisterDialogMenu(kDialog, kMenu);
}

class TMenuDialog : public TDialog {
public:
    TMenuDialog() : TDialog(nullptr, kDialog) {}
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    std::vector<int> popupsOpened;
    int ports = 0;
    int extras = 0;
    std::vector<bool> activations;

private:
    void EvInitMenuPopup(WPARAM popup, LPARAM index)
    {
        popupsOpened.push_back(LOWORD(static_cast<std::uintptr_t>(index)));
        // The program adds an item while the pop-up opens.
        auto* menu = reinterpret_cast<TMenu*>(popup);
        if (LOWORD(static_cast<std::uintptr_t>(index)) == 2 && menu->GetMenuItemCount() < 2) {
            menu->AppendMenu(MF_STRING, CM_EXTRA, "E&xtra");
            DrawMenuBar();
        }
    }
    void CmPort() { ++ports; }
    void CmExtra() { ++extras; }
    void EvActivateApp(WPARAM active, LPARAM) { activations.push_back(active != 0); }
};

const TResponseTable TMenuDialog::Responses{&TDialog::Responses, {
    OnMessage<&TMenuDialog::EvInitMenuPopup>(WM_INITMENUPOPUP),
    OnCommand<&TMenuDialog::CmPort>(CM_PORT),
    OnCommand<&TMenuDialog::CmExtra>(CM_EXTRA),
    OnMessage<&TMenuDialog::EvActivateApp>(WM_ACTIVATEAPP),
}};

TEST(DialogMenuTest, MenuBarAboveTheClientAreaWithItsPopups)
{
    RegisterResources();
    TTestDriver driver;
    TMenuDialog dialog;
    ASSERT_TRUE(dialog.Create());
    driver.Show(dialog);
    ASSERT_NE(dialog.GetMenu(), nullptr);
    EXPECT_EQ(dialog.GetMenu()->GetMenuItemCount(), 3);
    // The client area keeps the template's size; the bar comes on top of it.
    const TRect expected = dialog.MapDialogRect({0, 0, 200, 100});
    EXPECT_EQ(dialog.GetClientRect().Height(), expected.Height());
    EXPECT_GT(dialog.GetWidget()->height(), expected.Height());
    EXPECT_GT(dialog.ChildWithId(IDC_START)->GetWidget()->mapTo(dialog.GetWidget(), QPoint(0, 0)).y(),
              dialog.GetWidget()->height() - expected.Height() - 1);

    // Pop-ups tell their position; the program's own item appears and works.
    TMenu* special = driver.OpenMenuPopup(dialog, 2);
    ASSERT_NE(special, nullptr);
    EXPECT_EQ(dialog.popupsOpened, std::vector<int>{2});
    EXPECT_EQ(special->GetMenuItemCount(), 2);
    EXPECT_TRUE(driver.ChooseMenuItem(dialog, CM_EXTRA));
    EXPECT_EQ(dialog.extras, 1);
    EXPECT_TRUE(dialog.GetMenu()->DeleteMenu(CM_EXTRA, MF_BYCOMMAND));
    EXPECT_EQ(special->GetMenuItemCount(), 1);

    // States are the program's: no enabler greys an item.
    EXPECT_EQ(driver.OpenMenuItem(dialog, CM_PORT), 0u);
    EXPECT_TRUE(driver.ChooseMenuItem(dialog, CM_PORT));
    EXPECT_EQ(dialog.ports, 1);
    dialog.GetMenu()->EnableMenuItem(CM_PORT, MF_BYCOMMAND | MF_GRAYED);
    dialog.GetMenu()->CheckMenuItem(CM_ERASE, MF_BYCOMMAND | MF_CHECKED);
    EXPECT_EQ(driver.OpenMenuItem(dialog, CM_PORT), MF_GRAYED);
    EXPECT_FALSE(driver.ChooseMenuItem(dialog, CM_PORT));
    EXPECT_EQ(dialog.ports, 1);
    EXPECT_EQ(driver.OpenMenuItem(dialog, CM_ERASE), MF_CHECKED);
    EXPECT_EQ(driver.MenuItemText(dialog, CM_ERASE), "&Erase Flash");
    dialog.Destroy(IDCANCEL);
}

TEST(DialogMenuTest, ADialogWithoutAMenuHasNone)
{
    RegisterDialogTemplate(7103, {"Plain", 0, 0, 100, 50, WS_POPUP | WS_CAPTION, "MS Sans Serif", 8, {}});
    TTestDriver driver;
    TDialog dialog(nullptr, 7103);
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(dialog.GetMenu(), nullptr);
    EXPECT_EQ(dialog.GetClientRect().Height(), dialog.GetWidget()->height());
    dialog.Destroy(IDCANCEL);
}

TEST(DialogMenuTest, TopMostPlacingAndProgramActivation)
{
    RegisterResources();
    TTestDriver driver;
    TMenuDialog dialog;
    ASSERT_TRUE(dialog.Create());
    driver.Show(dialog);
    ASSERT_TRUE(dialog.SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
    EXPECT_TRUE(dialog.GetExStyle() & WS_EX_TOPMOST);
    EXPECT_TRUE(dialog.GetWidget()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(dialog.GetWidget()->isVisible());
    ASSERT_TRUE(::SetWindowPos(dialog.GetHandle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
    EXPECT_FALSE(dialog.GetExStyle() & WS_EX_TOPMOST);
    EXPECT_FALSE(dialog.GetWidget()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(dialog.GetWidget()->isVisible());

    // Another program takes the desktop, then ours comes back; each change is told once.
    dialog.activations.clear();
    SetProgramActive(false);
    SetProgramActive(false);
    SetProgramActive(true);
    EXPECT_EQ(dialog.activations, (std::vector<bool>{false, true}));
    dialog.Destroy(IDCANCEL);
}

// A running modal dialog placed above the others (and back) is never hidden
// on the way: hiding it would end its modal loop, and a transfer program's
// main dialog does this after every transfer.
TEST(DialogMenuTest, TopMostPlacingNeverHidesARunningModalDialog)
{
    RegisterResources();
    TTestDriver driver;
    TMenuDialog dialog;
    int hides = 0;
    driver.OnNextDialog([&](TDialog& d) {
        QWidget* widget = d.GetWidget();
        struct HideCounter : QObject {
            int* count;
            explicit HideCounter(int* c) : count(c) {}
            bool eventFilter(QObject*, QEvent* event) override
            {
                if (event->type() == QEvent::Hide)
                    ++*count;
                return false;
            }
        } counter(&hides);
        widget->installEventFilter(&counter);
        ASSERT_TRUE(d.SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
        EXPECT_TRUE(widget->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        ASSERT_TRUE(d.SetWindowPos(HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
        EXPECT_FALSE(widget->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        driver.ProcessEvents();
        widget->removeEventFilter(&counter);
        EXPECT_TRUE(widget->isVisible());
        d.CloseWindow(IDOK);
    });
    EXPECT_EQ(dialog.Execute(), IDOK);
    EXPECT_EQ(hides, 0);
}

}  // namespace
