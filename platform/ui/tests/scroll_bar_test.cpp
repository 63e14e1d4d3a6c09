// Scroll bars and up-down controls.

#include "platform/ui/controls/edit.h"
#include "platform/ui/controls/scroll_bar.h"
#include "platform/ui/controls/up_down.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window_api.h"

#include <QScrollBar>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A scroll bar that scrolls by rows of its own, as the grid's does.
class TRowScroll : public TScrollBar {
public:
    TRowScroll(TWindow* parent) : TScrollBar(parent, 9, 200, 0, 16, 100, false) {}
    std::vector<std::string> calls;
    void SBLineDown() override
    {
        calls.push_back("line down");
        TScrollBar::SBLineDown();
    }
    void SBThumbTrack(int position) override { calls.push_back("track " + std::to_string(position)); }
};

class TScrollHost : public TWindow {
public:
    TScrollHost() : TWindow(nullptr, "scroll")
    {
        Attr.W = 300;
        Attr.H = 200;
        rows = new TRowScroll(this);
        edit = new TEdit(this, 30, "", 10, 10, 60, 20);
    }
    TRowScroll* rows;
    TEdit* edit;
};

TEST(ScrollBarTest, RangePositionAndItsOwnHandlers)
{
    TTestDriver driver;
    TScrollHost host;
    driver.Show(host);
    TRowScroll& bar = *host.rows;
    EXPECT_TRUE(bar.GetStyle() & SBS_VERT);
    EXPECT_EQ(bar.GetWidget()->width(), 16);
    bar.SetRange(0, 20000);
    bar.SetPosition(5);
    int min = -1;
    int max = -1;
    bar.GetRange(min, max);
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 20000);
    EXPECT_EQ(bar.SendMessage(SBM_GETPOS), 5);
    bar.PageMagnitude = 7;
    host.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), HandleToLParam(bar.GetHandle()));
    EXPECT_EQ(bar.GetPosition(), 12);
    host.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), HandleToLParam(bar.GetHandle()));
    host.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 300), HandleToLParam(bar.GetHandle()));
    EXPECT_EQ(bar.calls, (std::vector<std::string>{"line down", "track 300"}));
    EXPECT_EQ(bar.GetPosition(), 13);
    host.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), HandleToLParam(bar.GetHandle()));
    EXPECT_EQ(bar.GetPosition(), 20000);
    EXPECT_EQ(bar.DeltaPos(5), 20000);  // kept within the range
    // Keys on a focused scroll bar scroll it too.
    bar.SetPosition(0);
    bar.SetFocus();
    driver.ProcessEvents();
    driver.PressKey(VK_DOWN);
    EXPECT_EQ(bar.calls.back(), "line down");
    EXPECT_EQ(bar.GetPosition(), 1);
}

TEST(UpDownTest, MadeByTheCreationCallOnItsBuddy)
{
    TTestDriver driver;
    TScrollHost host;
    driver.Show(host);
    const HWND spin = CreateUpDownControl(WS_CHILD | WS_VISIBLE | UDS_ARROWKEYS | UDS_ALIGNRIGHT | UDS_SETBUDDYINT,
                                          0, 0, 0, 0, host.GetHandle(), 10030, nullptr, nullptr, 6, 1, 1);
    ASSERT_NE(spin, nullptr);
    SendMessage(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(host.edit->GetHandle()));
    EXPECT_EQ(GetDlgCtrlID(spin), 10030);
    EXPECT_EQ(host.edit->GetText(), "1");
    EXPECT_EQ(host.edit->GetWidget()->width() + GetWindowPtr(spin)->GetWidget()->width(), 60);
    EXPECT_EQ(LOWORD(SendMessage(spin, UDM_GETRANGE)), 6);
    EXPECT_EQ(HIWORD(SendMessage(spin, UDM_GETRANGE)), 1);
    host.edit->SetFocus();
    driver.ProcessEvents();
    for (int i = 0; i < 9; ++i)
        driver.PressKey(VK_UP);
    EXPECT_EQ(host.edit->GetText(), "6");
    SendMessage(spin, UDM_SETRANGE, 0, MAKELPARAM(4, 2));
    EXPECT_EQ(LOWORD(SendMessage(spin, UDM_GETPOS)), 4);  // the buddy's 6 is read back within the new range
    // The up-down goes with its parent's window.
    host.Destroy();
    EXPECT_FALSE(IsWindow(spin));
}

TEST(UpDownTest, WrapAndADownwardRange)
{
    TTestDriver driver;
    TScrollHost host;
    auto* spin = new TUpDown(&host, 40, 100, 10, 16, 20, host.edit);
    spin->Attr.Style |= UDS_WRAP;
    driver.Show(host);
    spin->SetRange(3, 0);  // runs downwards: up goes toward 0
    spin->SetPos(1);
    spin->Step(1);
    EXPECT_EQ(spin->GetPos(), 0);
    spin->Step(1);
    EXPECT_EQ(spin->GetPos(), 3);  // wrapped
    EXPECT_EQ(host.edit->GetText(), "3");
}

}  // namespace
