// Response tables: lookup in the class's own table, then its base's, then
// default processing; handler parameters unpacked by signature; a control's
// own notifications; commands routed from the focus window.

#include "platform/ui/control.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window.h"
#include "platform/ui/window_api.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT WM_TAG_ADDED = 1444;
constexpr UINT WM_TAG_REMOVED = 1445;

class TBaseWindow : public TWindow {
public:
    explicit TBaseWindow(TWindow* parent = nullptr) : TWindow(parent, "base") {}
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    std::vector<std::string> log;

    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg >= WM_USER)
            log.push_back("default " + std::to_string(msg));
        return TWindow::DefWindowProc(msg, wParam, lParam);
    }

protected:
    void CmOne() { log.push_back("base one"); }
    void CmTwo() { log.push_back("base two"); }
    LRESULT EvTagAdded(WPARAM wParam, LPARAM lParam)
    {
        log.push_back(std::string("added ") + reinterpret_cast<const char*>(wParam) + " " + std::to_string(lParam));
        return 7;
    }
};

const TResponseTable TBaseWindow::Responses{&TWindow::Responses, {
    OnCommand<&TBaseWindow::CmOne>(1),
    OnCommand<&TBaseWindow::CmTwo>(2),
    OnMessage<&TBaseWindow::EvTagAdded>(WM_TAG_ADDED),
}};

// Overrides the entry for command 1 and the tag-removed message; inherits the rest.
class TDerivedWindow : public TBaseWindow {
public:
    using TBaseWindow::TBaseWindow;
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

private:
    void CmOneAgain() { log.push_back("derived one"); }
    void EvTagRemoved(WPARAM, LPARAM)
    {
        log.push_back("removed");
        DefaultProcessing();
    }
};

const TResponseTable TDerivedWindow::Responses{&TBaseWindow::Responses, {
    OnCommand<&TDerivedWindow::CmOneAgain>(1),
    OnMessage<&TDerivedWindow::EvTagRemoved>(WM_TAG_REMOVED),
}};

TEST(ResponseTableTest, DerivedEntryOverridesOneBaseEntryAndInheritsTheRest)
{
    TDerivedWindow derived;
    ASSERT_TRUE(derived.Create());
    derived.SendMessage(WM_COMMAND, MAKEWPARAM(1, 0));
    derived.SendMessage(WM_COMMAND, MAKEWPARAM(2, 0));
    EXPECT_EQ(derived.SendMessage(WM_TAG_ADDED, reinterpret_cast<WPARAM>("PUMP"), 3), 7);
    derived.SendMessage(WM_TAG_REMOVED);
    derived.SendMessage(WM_USER + 99);
    const std::vector<std::string> expected{"derived one", "base two",        "added PUMP 3",
                                            "removed",     "default 1445", "default 1123"};
    EXPECT_EQ(derived.log, expected);

    TBaseWindow base;
    ASSERT_TRUE(base.Create());
    base.SendMessage(WM_COMMAND, MAKEWPARAM(1, 0));
    base.SendMessage(WM_TAG_REMOVED);
    EXPECT_EQ(base.log, (std::vector<std::string>{"base one", "default 1445"}));
}

TEST(ResponseTableTest, CommandEntriesTakeMenusAcceleratorsAndClicksOnly)
{
    TBaseWindow window;
    ASSERT_TRUE(window.Create());
    window.SendMessage(WM_COMMAND, MAKEWPARAM(1, 1));            // accelerator
    window.SendMessage(WM_COMMAND, MAKEWPARAM(1, EN_CHANGE));    // not a command
    EXPECT_EQ(window.log, (std::vector<std::string>{"base one"}));
}

// Every kind of unpacking in one window.
class TCrackWindow : public TWindow {
public:
    TCrackWindow() : TWindow(nullptr, "crack") {}
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    std::vector<std::string> log;

private:
    void EvLButtonDown(UINT keys, const TPoint& p)
    {
        log.push_back("down " + std::to_string(keys) + " " + std::to_string(p.x) + "," + std::to_string(p.y));
    }
    void EvKeyDown(UINT key, UINT repeat, UINT flags)
    {
        log.push_back("key " + std::to_string(key) + " " + std::to_string(repeat) + " " + std::to_string(flags));
    }
    void EvTimer(UINT id) { log.push_back("timer " + std::to_string(id)); }
    void EvSetFocus(HWND lost) { log.push_back(std::string("focus ") + (lost ? "from" : "none")); }
    UINT EvGetDlgCode(const MSG* msg) { return msg ? DLGC_WANTALLKEYS : DLGC_WANTCHARS; }
    void EvSize(UINT type, const TSize& size)
    {
        log.push_back("size " + std::to_string(type) + " " + std::to_string(size.cx) + "x" + std::to_string(size.cy));
    }
    void EvVScroll(UINT code, UINT pos, HWND control)
    {
        log.push_back("scroll " + std::to_string(code) + " " + std::to_string(pos) + (control ? " ctl" : ""));
    }
};

const TResponseTable TCrackWindow::Responses{&TWindow::Responses, {
    OnMessage<&TCrackWindow::EvLButtonDown>(WM_LBUTTONDOWN),
    OnMessage<&TCrackWindow::EvKeyDown>(WM_KEYDOWN),
    OnMessage<&TCrackWindow::EvTimer>(WM_TIMER),
    OnMessage<&TCrackWindow::EvSetFocus>(WM_SETFOCUS),
    OnMessage<&TCrackWindow::EvGetDlgCode>(WM_GETDLGCODE),
    OnMessage<&TCrackWindow::EvSize>(WM_SIZE),
    OnMessage<&TCrackWindow::EvVScroll>(WM_VSCROLL),
}};

TEST(ResponseTableTest, HandlerParametersComeFromTheirSignatures)
{
    TCrackWindow window;
    ASSERT_TRUE(window.Create());
    window.log.clear();
    window.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(static_cast<WORD>(-3), 40));
    window.SendMessage(WM_KEYDOWN, VK_F1, MAKELPARAM(2, 0x4000));
    window.SendMessage(WM_TIMER, 1000);
    window.SendMessage(WM_SETFOCUS, 0);
    MSG msg{};
    EXPECT_EQ(window.SendMessage(WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(&msg)), DLGC_WANTALLKEYS);
    EXPECT_EQ(window.SendMessage(WM_GETDLGCODE), DLGC_WANTCHARS);
    window.SendMessage(WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(640, 480));
    window.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 17), 0);
    const std::vector<std::string> expected{
        "down 9 -3,40", "key 112 2 16384", "timer 1000", "focus none", "size 2 640x480", "scroll 5 17",
    };
    EXPECT_EQ(window.log, expected);
}

// A control that handles one of its own notifications before its parent.
class TSelfControl : public TControl {
public:
    TSelfControl(TWindow* parent, int id) : TControl(parent, id, nullptr, 0, 0, 10, 10) {}
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }
    int closeUps = 0;

private:
    void NotifyCloseUp() { ++closeUps; }
};

const TResponseTable TSelfControl::Responses{&TControl::Responses, {
    OnSelfNotify<&TSelfControl::NotifyCloseUp>(CBN_CLOSEUP),
}};

class TNotifyParent : public TWindow {
public:
    TNotifyParent() : TWindow(nullptr, "parent") {}
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }
    std::vector<UINT> heard;

private:
    void CloseUp() { heard.push_back(CBN_CLOSEUP); }
    void SelChange() { heard.push_back(CBN_SELCHANGE); }
};

const TResponseTable TNotifyParent::Responses{&TWindow::Responses, {
    OnNotify<&TNotifyParent::CloseUp>(50, CBN_CLOSEUP),
    OnNotify<&TNotifyParent::SelChange>(50, CBN_SELCHANGE),
}};

TEST(ResponseTableTest, AControlsOwnTableSeesItsNotificationsFirst)
{
    TNotifyParent parent;
    auto* control = new TSelfControl(&parent, 50);
    ASSERT_TRUE(parent.Create());
    const LPARAM from = HandleToLParam(control->GetHandle());
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(50, CBN_CLOSEUP), from);
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(50, CBN_SELCHANGE), from);
    EXPECT_EQ(control->closeUps, 1);
    EXPECT_EQ(parent.heard, (std::vector<UINT>{CBN_SELCHANGE}));
}

// Commands without a control start at the window with the focus.
class TRouteChild : public TControl {
public:
    TRouteChild(TWindow* parent, int id) : TControl(parent, id, nullptr, 0, 0, 50, 20) {}
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }
    int copies = 0;

private:
    void CmCopy() { ++copies; }
};

const TResponseTable TRouteChild::Responses{&TControl::Responses, {
    OnCommand<&TRouteChild::CmCopy>(24323),
}};

class TRouteFrame : public TWindow {
public:
    TRouteFrame() : TWindow(nullptr, "frame") {}
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }
    int copies = 0;
    int pastes = 0;

private:
    void CmCopy() { ++copies; }
    void CmPaste() { ++pastes; }
};

const TResponseTable TRouteFrame::Responses{&TWindow::Responses, {
    OnCommand<&TRouteFrame::CmCopy>(24323),
    OnCommand<&TRouteFrame::CmPaste>(24324),
}};

TEST(ResponseTableTest, MenuCommandsGoToTheFocusWindowFirst)
{
    TTestDriver driver;
    TRouteFrame frame;
    auto* child = new TRouteChild(&frame, 10);
    child->Attr.Style |= WS_TABSTOP;
    driver.Show(frame);
    child->SetFocus();
    driver.ProcessEvents();
    ASSERT_EQ(GetFocus(), child->GetHandle());
    frame.SendMessage(WM_COMMAND, MAKEWPARAM(24323, 0));  // Copy: the child takes it
    frame.SendMessage(WM_COMMAND, MAKEWPARAM(24324, 0));  // Paste: only the frame knows it
    EXPECT_EQ(child->copies, 1);
    EXPECT_EQ(frame.copies, 0);
    EXPECT_EQ(frame.pastes, 1);
}

TEST(ResponseTableTest, EnablersRouteLikeCommandsAndGreyWhatNoOneHandles)
{
    TTestDriver driver;
    TRouteFrame frame;
    auto* child = new TRouteChild(&frame, 10);
    child->Attr.Style |= WS_TABSTOP;
    driver.Show(frame);
    child->SetFocus();
    driver.ProcessEvents();
    for (UINT id : {24323u, 24324u, 24325u}) {
        TCommandEnabler enabler(id);
        frame.EvCommandEnable(enabler);
        EXPECT_EQ(enabler.IsEnabled(), id != 24325u) << id;
    }
}

}  // namespace
