// Window objects: their life, their messages (sent at once or posted in
// order), input as messages, geometry, painting and capture.

#include "platform/gdi/dc.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/font.h"
#include "platform/ui/control.h"
#include "platform/ui/paint_bridge.h"
#include "platform/ui/resources.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window.h"
#include "platform/ui/window_api.h"

#include <QApplication>
#include <QBuffer>
#include <QIcon>
#include <QGuiApplication>
#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string>* g_journal = nullptr;

void Note(const std::string& entry)
{
    if (g_journal)
        g_journal->push_back(entry);
}

// A window that notes its life and the messages it is sent.
class TNoteWindow : public TWindow {
public:
    TNoteWindow(TWindow* parent, const char* name) : TWindow(parent, name), name_(name) {}
    ~TNoteWindow() override { Note(name_ + " deleted"); }

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    std::vector<std::string> input;
    bool childrenAliveAtCleanup = false;

protected:
    void SetupWindow() override
    {
        Note(name_ + " setup" + (GetWidget() ? " with window" : ""));
        TWindow::SetupWindow();
    }
    void CleanupWindow() override
    {
        childrenAliveAtCleanup = true;
        for (TWindow* child : GetChildren())
            childrenAliveAtCleanup = childrenAliveAtCleanup && child->IsWindow();
        Note(name_ + " cleanup");
    }

private:
    void EvDestroy() { Note(name_ + " destroy"); }
    LRESULT EvUser(WPARAM wParam, LPARAM)
    {
        Note(name_ + " user " + std::to_string(wParam));
        if (wParam == 1) {
            // Posted messages wait for the event loop; sent ones run at once.
            PostMessage(WM_USER, 2);
            SendMessage(WM_USER, 3);
            PostMessage(WM_USER, 4);
            Note(name_ + " user 1 done");
        }
        return 0;
    }
    void EvFontChange(WPARAM, LPARAM) { Note(name_ + " fontchange"); }
    void EvMouse(UINT keys, const TPoint& p)
    {
        const MSG& m = CurrentMessageForTest();
        input.push_back(std::to_string(m.message) + " " + std::to_string(keys) + " " + std::to_string(p.x) + "," +
                        std::to_string(p.y));
    }
    void EvKey(UINT key, UINT, UINT)
    {
        const MSG& m = CurrentMessageForTest();
        input.push_back(std::to_string(m.message) + " " + std::to_string(key) +
                        (GetKeyState(VK_SHIFT) < 0 ? " shift" : ""));
    }

    const MSG& CurrentMessageForTest()
    {
        static MSG m;
        m = last_;
        return m;
    }

public:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        last_ = MSG{GetHandle(), msg, wParam, lParam};
        return TWindow::WindowProc(msg, wParam, lParam);
    }

private:
    std::string name_;
    MSG last_{};
};

const TResponseTable TNoteWindow::Responses{&TWindow::Responses, {
    OnMessage<&TNoteWindow::EvDestroy>(WM_DESTROY),
    OnMessage<&TNoteWindow::EvUser>(WM_USER),
    OnMessage<&TNoteWindow::EvFontChange>(WM_FONTCHANGE),
    OnMessage<&TNoteWindow::EvMouse>(WM_LBUTTONDOWN),
    OnMessage<&TNoteWindow::EvMouse>(WM_LBUTTONUP),
    OnMessage<&TNoteWindow::EvMouse>(WM_LBUTTONDBLCLK),
    OnMessage<&TNoteWindow::EvMouse>(WM_MOUSEMOVE),
    OnMessage<&TNoteWindow::EvMouse>(WM_RBUTTONDOWN),
    OnMessage<&TNoteWindow::EvKey>(WM_KEYDOWN),
    OnMessage<&TNoteWindow::EvKey>(WM_CHAR),
    OnMessage<&TNoteWindow::EvKey>(WM_KEYUP),
}};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { g_journal = &journal; }
    void TearDown() override
    {
        driver.ProcessEvents();
        g_journal = nullptr;
    }
    std::vector<std::string> journal;
    TTestDriver driver;
};

TEST_F(WindowTest, TwoPhaseLifeFromConstructionToDeletion)
{
    auto* frame = new TNoteWindow(nullptr, "frame");
    auto* child = new TNoteWindow(frame, "child");
    new TNoteWindow(child, "grandchild");
    EXPECT_FALSE(frame->IsWindow());
    EXPECT_TRUE(journal.empty());
    ASSERT_TRUE(frame->Create());
    EXPECT_TRUE(child->IsWindow());
    EXPECT_EQ(child->GetParent(), frame->GetHandle());
    const HWND childHandle = child->GetHandle();
    frame->Destroy();
    EXPECT_TRUE(frame->childrenAliveAtCleanup);
    EXPECT_FALSE(IsWindow(childHandle));
    EXPECT_EQ(SendMessage(childHandle, WM_USER, 5), 0);  // a stale handle is harmless
    delete frame;
    // A window hears WM_DESTROY before its children are destroyed; the
    // parent's object deletes its children's objects.
    const std::vector<std::string> expected{
        "frame setup with window", "child setup with window", "grandchild setup with window",
        "frame cleanup",           "frame destroy",           "child cleanup",
        "child destroy",           "grandchild cleanup",      "grandchild destroy",
        "frame deleted",           "child deleted",           "grandchild deleted",
    };
    EXPECT_EQ(journal, expected);
}

TEST_F(WindowTest, DeletingAChildFirstTakesItOutOfItsParent)
{
    TNoteWindow frame(nullptr, "frame");
    auto* child = new TNoteWindow(&frame, "child");
    ASSERT_TRUE(frame.Create());
    delete child;
    EXPECT_EQ(frame.NumChildren(), 0);
    EXPECT_EQ(frame.ChildWithId(0), nullptr);
}

TEST_F(WindowTest, ChildCannotBeCreatedBeforeItsParent)
{
    TNoteWindow frame(nullptr, "frame");
    auto* child = new TNoteWindow(&frame, "child");
    EXPECT_FALSE(child->Create());
}

TEST_F(WindowTest, SendRunsAtOncePostWaitsAndKeepsItsOrder)
{
    TNoteWindow window(nullptr, "w");
    ASSERT_TRUE(window.Create());
    window.SendMessage(WM_USER, 1);
    EXPECT_EQ(journal.back(), "w user 1 done");
    driver.ProcessEvents();
    const std::vector<std::string> expected{"w setup with window", "w user 1", "w user 3", "w user 1 done",
                                            "w user 2", "w user 4"};
    EXPECT_EQ(journal, expected);
}

TEST_F(WindowTest, PostedMessagesToADestroyedWindowAreDropped)
{
    TNoteWindow a(nullptr, "a");
    TNoteWindow b(nullptr, "b");
    ASSERT_TRUE(a.Create());
    ASSERT_TRUE(b.Create());
    journal.clear();
    EXPECT_TRUE(PostMessage(a.GetHandle(), WM_USER, 10));
    EXPECT_TRUE(PostMessage(b.GetHandle(), WM_USER, 11));
    EXPECT_TRUE(PostMessage(a.GetHandle(), WM_USER, 12));
    a.Destroy();
    journal.clear();
    driver.ProcessEvents();
    EXPECT_EQ(journal, (std::vector<std::string>{"b user 11"}));
    EXPECT_FALSE(PostMessage(a.GetHandle(), WM_USER, 13));
    EXPECT_FALSE(PostMessage(nullptr, WM_USER, 13));
}

TEST_F(WindowTest, BroadcastReachesTopLevelWindowsOnly)
{
    TNoteWindow first(nullptr, "first");
    TNoteWindow second(nullptr, "second");
    new TNoteWindow(&first, "inner");
    ASSERT_TRUE(first.Create());
    ASSERT_TRUE(second.Create());
    journal.clear();
    SendMessage(HWND_BROADCAST, WM_FONTCHANGE);
    std::sort(journal.begin(), journal.end());
    EXPECT_EQ(journal, (std::vector<std::string>{"first fontchange", "second fontchange"}));
}

TEST_F(WindowTest, FindWindowByCaption)
{
    TNoteWindow window(nullptr, "Quellstor Transfer Utility");
    EXPECT_EQ(FindWindow(nullptr, "Quellstor Transfer Utility"), nullptr);  // no window yet
    ASSERT_TRUE(window.Create());
    EXPECT_EQ(FindWindow(nullptr, "Quellstor Transfer Utility"), window.GetHandle());
    EXPECT_EQ(FindWindow(nullptr, "Quellstor Transfer"), nullptr);
    window.SetCaption("Database is too large       ");
    EXPECT_EQ(FindWindow(nullptr, "Database is too large       "), window.GetHandle());
    EXPECT_EQ(GetWindowText(window.GetHandle()), "Database is too large       ");
}

TEST_F(WindowTest, ShowEnableAndVisibility)
{
    TNoteWindow frame(nullptr, "frame");
    auto* child = new TNoteWindow(&frame, "child");
    ASSERT_TRUE(frame.Create());
    EXPECT_FALSE(child->IsWindowVisible());  // its parent is not shown yet
    driver.Show(frame);
    EXPECT_TRUE(child->IsWindowVisible());
    EXPECT_TRUE(child->ShowWindow(SW_HIDE));
    EXPECT_FALSE(child->IsWindowVisible());
    EXPECT_FALSE(child->ShowWindow(SW_SHOW));
    EXPECT_FALSE(child->EnableWindow(false));  // was not disabled
    EXPECT_FALSE(child->IsWindowEnabled());
    EXPECT_TRUE(child->EnableWindow(true));
    EXPECT_TRUE(child->GetStyle() & WS_VISIBLE);
}

TEST_F(WindowTest, GeometryOfChildren)
{
    TNoteWindow frame(nullptr, "frame");
    frame.Attr.W = 400;
    frame.Attr.H = 300;
    auto* child = new TNoteWindow(&frame, "child");
    child->Attr.X = 10;
    child->Attr.Y = 20;
    child->Attr.W = 100;
    child->Attr.H = 50;
    ASSERT_TRUE(frame.Create());
    EXPECT_EQ(child->GetClientRect(), TRect(0, 0, 100, 50));
    EXPECT_EQ(frame.GetClientRect(), TRect(0, 0, 400, 300));
    child->MoveWindow(30, 40, 60, 70);
    EXPECT_EQ(child->GetWidget()->geometry(), QRect(30, 40, 60, 70));
    child->SetWindowPos(nullptr, 0, 0, 80, 90, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(child->GetWidget()->geometry(), QRect(30, 40, 80, 90));
    child->SetWindowPos(nullptr, 5, 6, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(child->GetWidget()->geometry(), QRect(5, 6, 80, 90));
    const TPoint screen = child->ClientToScreen({1, 2});
    EXPECT_EQ(frame.ScreenToClient(screen), TPoint(6, 8));
    EXPECT_EQ(child->ScreenToClient(screen), TPoint(1, 2));
}

TEST_F(WindowTest, MouseAndKeysArriveAsMessagesWithKeyState)
{
    TNoteWindow window(nullptr, "w");
    window.Attr.W = 200;
    window.Attr.H = 100;
    driver.Show(window);
    window.input.clear();
    driver.ClickAt(window, {12, 34}, MK_CONTROL);
    driver.DoubleClickAt(window, {5, 6});
    driver.RightClickAt(window, {7, 8});
    const std::vector<std::string> mouse{
        "513 9 12,34", "514 8 12,34",                              // down with the button and Ctrl, up with Ctrl
        "513 1 5,6",   "514 0 5,6",   "515 1 5,6", "514 0 5,6",   // down, up, double click, up
        "516 2 7,8",
    };
    EXPECT_EQ(window.input, mouse);
    window.input.clear();
    window.SetFocus();
    driver.ProcessEvents();
    driver.PressKey('A', MK_SHIFT);
    driver.PressKey(VK_F1);
    // Shift is a key of its own, pressed before and released after the letter.
    const std::vector<std::string> keys{"256 16 shift", "256 65 shift", "258 65 shift", "257 65 shift",
                                        "257 16",       "256 112",      "257 112"};
    EXPECT_EQ(window.input, keys);
}

TEST_F(WindowTest, CaptureTakesTheMouseFromOtherWindows)
{
    TNoteWindow frame(nullptr, "frame");
    frame.Attr.W = 300;
    frame.Attr.H = 200;
    auto* left = new TNoteWindow(&frame, "left");
    left->Attr.W = 100;
    left->Attr.H = 100;
    auto* right = new TNoteWindow(&frame, "right");
    right->Attr.X = 150;
    right->Attr.W = 100;
    right->Attr.H = 100;
    driver.Show(frame);
    driver.MouseDown(frame, {10, 10});
    left->SetCapture();
    EXPECT_EQ(GetCapture(), left->GetHandle());
    left->input.clear();
    driver.MouseMove(frame, {160, 20});  // over the right window
    driver.MouseUp(frame, {160, 20});
    ReleaseCapture();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(right->input.empty());
    ASSERT_EQ(left->input.size(), 2u);
    EXPECT_EQ(left->input[0], "512 1 160,20");  // in the capturing window's coordinates
    EXPECT_EQ(left->input[1], "514 0 160,20");
}

class TPaintWindow : public TWindow {
public:
    TPaintWindow() : TWindow(nullptr, "paint") {}
    std::vector<TRect> painted;

protected:
    void Paint(TDC& dc, bool erase, TRect& rect) override
    {
        EXPECT_TRUE(erase);
        painted.push_back(rect);
        dc.FillRect(TRect(10, 10, 30, 30), TBrush(TColor(255, 0, 0)));
    }
};

TEST_F(WindowTest, PaintGetsTheUpdateRectangleAndDrawsThroughTheBridge)
{
    TPaintWindow window;
    window.Attr.W = 100;
    window.Attr.H = 80;
    driver.Show(window);
    const QImage image = driver.Grab(window);
    ASSERT_FALSE(window.painted.empty());
    EXPECT_EQ(window.painted.back(), TRect(0, 0, 100, 80));
    EXPECT_EQ(image.pixelColor(15, 15), QColor(Qt::red));
    EXPECT_NE(image.pixelColor(50, 50), QColor(Qt::red));
    // UpdateWindow paints what was invalidated, and only that, at once.
    driver.ProcessEvents();
    window.painted.clear();
    window.InvalidateRect(TRect(20, 30, 40, 35));
    window.UpdateWindow();
    ASSERT_EQ(window.painted.size(), 1u);
    EXPECT_EQ(window.painted[0], TRect(20, 30, 40, 35));
    window.UpdateWindow();
    EXPECT_EQ(window.painted.size(), 1u);
}

TEST_F(WindowTest, SetRedrawStopsPaintingUntilItIsSwitchedBackOn)
{
    TPaintWindow window;
    window.Attr.W = 100;
    window.Attr.H = 80;
    driver.Show(window);
    driver.ProcessEvents();
    window.painted.clear();
    // Neither an invalidated area nor a new size paints while redrawing is off.
    window.SendMessage(WM_SETREDRAW, 0);
    window.InvalidateRect(TRect(20, 30, 40, 35));
    window.SetWindowPos(nullptr, 0, 0, 160, 120, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW);
    window.UpdateWindow();
    driver.ProcessEvents();
    EXPECT_TRUE(window.painted.empty());
    window.SendMessage(WM_SETREDRAW, 1);
    window.InvalidateRect(TRect(20, 30, 40, 35));
    window.UpdateWindow();
    ASSERT_FALSE(window.painted.empty());
    EXPECT_EQ(driver.Grab(window).pixelColor(15, 15), QColor(Qt::red));
}

TEST_F(WindowTest, CursorsByResourceAndTheWaitCursor)
{
    HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
    EXPECT_EQ(LoadCursor(nullptr, IDC_WAIT), wait);
    SetCursor(wait);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    // A window's own cursor; an unknown resource name shows the arrow.
    TNoteWindow window(nullptr, "w");
    window.SetCursor(nullptr, IDC_SIZEWE);
    ASSERT_TRUE(window.Create());
    EXPECT_EQ(window.GetWidget()->cursor().shape(), Qt::SizeHorCursor);
    window.SetCursor(nullptr, "arrowcro");
    EXPECT_EQ(window.GetWidget()->cursor().shape(), Qt::ArrowCursor);
}

// A window that hears of its moves before they are made, and may shorten
// them; and that chooses the cursor over itself when given one to show.
class TPlaceWindow : public TWindow {
public:
    TPlaceWindow(TWindow* parent, const char* name) : TWindow(parent, name) {}
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    std::vector<WINDOWPOS> moves;
    std::vector<QRect> placesWhenHeard;
    int widthLimit = 0;
    std::vector<std::pair<HWND, LPARAM>> cursorAsks;
    int cursor = 0;  // 0: the default processing decides

private:
    void EvWindowPosChanging(WINDOWPOS& pos)
    {
        moves.push_back(pos);
        placesWhenHeard.push_back(GetWidget()->geometry());
        if (widthLimit && !(pos.flags & SWP_NOSIZE) && pos.cx > widthLimit)
            pos.cx = widthLimit;
    }
    bool EvSetCursor(HWND under, UINT hit, UINT mouseMessage)
    {
        cursorAsks.emplace_back(under, MAKELPARAM(static_cast<WORD>(hit), static_cast<WORD>(mouseMessage)));
        if (!cursor)
            return DefaultProcessing() != 0;
        ::SetCursor(LoadCursor(nullptr, cursor));
        return true;
    }
};

const TResponseTable TPlaceWindow::Responses{&TWindow::Responses, {
    OnMessage<&TPlaceWindow::EvWindowPosChanging>(WM_WINDOWPOSCHANGING),
    OnMessage<&TPlaceWindow::EvSetCursor>(WM_SETCURSOR),
}};

TEST_F(WindowTest, AWindowHearsOfAMoveBeforeItIsMadeAndMayChangeIt)
{
    TNoteWindow frame(nullptr, "frame");
    frame.Attr.W = 300;
    frame.Attr.H = 200;
    auto* child = new TPlaceWindow(&frame, "child");
    child->MoveWindow(10, 20, 100, 50);  // no window yet: nothing to hear
    EXPECT_TRUE(child->moves.empty());
    ASSERT_TRUE(frame.Create());

    child->MoveWindow(30, 40, 60, 70);
    ASSERT_EQ(child->moves.size(), 1u);
    const WINDOWPOS& move = child->moves[0];
    EXPECT_EQ(move.hwnd, child->GetHandle());
    EXPECT_EQ((TRect{move.x, move.y, move.x + move.cx, move.y + move.cy}), TRect(30, 40, 90, 110));
    EXPECT_EQ(move.flags & (SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER), SWP_NOZORDER);
    EXPECT_EQ(child->placesWhenHeard[0], QRect(10, 20, 100, 50));  // heard before the move

    child->SetWindowPos(nullptr, 0, 0, 80, 90, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(child->moves.back().flags & (SWP_NOMOVE | SWP_NOSIZE), SWP_NOMOVE);
    EXPECT_EQ(child->GetWidget()->geometry(), QRect(30, 40, 80, 90));

    child->widthLimit = 50;
    child->MoveWindow(0, 0, 200, 10);
    EXPECT_EQ(child->GetWidget()->geometry(), QRect(0, 0, 50, 10));
    EXPECT_EQ(child->Attr.W, 50);
}

TEST_F(WindowTest, TheWindowUnderTheMouseOrItsParentChoosesTheCursor)
{
    TPlaceWindow frame(nullptr, "frame");
    frame.Attr.W = 300;
    frame.Attr.H = 200;
    auto* cross = new TPlaceWindow(&frame, "cross");
    cross->MoveWindow(0, 0, 100, 100);
    cross->cursor = IDC_CROSS;
    auto* plain = new TPlaceWindow(&frame, "plain");
    plain->MoveWindow(150, 0, 100, 100);
    driver.Show(frame);

    driver.MouseMove(frame, {20, 20});
    ASSERT_FALSE(cross->cursorAsks.empty());
    EXPECT_EQ(cross->cursorAsks.back().first, cross->GetHandle());
    EXPECT_EQ(cross->cursorAsks.back().second, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(CursorResource(GetCursor()), TResId(IDC_CROSS));
    EXPECT_TRUE(frame.cursorAsks.empty());  // the child decided
    TPoint at;
    ASSERT_TRUE(GetCursorPos(&at));
    EXPECT_EQ(cross->ScreenToClient(at), TPoint(20, 20));

    // A window that leaves it to the default asks its parent, then shows its own.
    driver.MouseMove(frame, {170, 20});
    ASSERT_FALSE(frame.cursorAsks.empty());
    EXPECT_EQ(frame.cursorAsks.back().first, plain->GetHandle());
    EXPECT_EQ(GetCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    frame.cursor = IDC_SIZEWE;
    driver.MouseMove(frame, {180, 20});
    EXPECT_EQ(CursorResource(GetCursor()), TResId(IDC_SIZEWE));

    // While a window holds the capture nobody is asked.
    frame.cursor = 0;
    driver.MouseMove(frame, {20, 20});
    plain->SetCapture();
    const std::size_t asked = cross->cursorAsks.size();
    driver.MouseMove(frame, {30, 30});
    ReleaseCapture();
    EXPECT_EQ(cross->cursorAsks.size(), asked);
    SetCursor(nullptr);
}

TEST_F(WindowTest, SetFontGivesTheWindowItsTextFont)
{
    TNoteWindow window(nullptr, "w");
    ASSERT_TRUE(window.Create());
    const TFont big("MS Sans Serif", 20, 0, 0, 0, FW_BOLD);
    window.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(&big), 1);
    EXPECT_EQ(window.SendMessage(WM_GETFONT), reinterpret_cast<LRESULT>(&big));
    EXPECT_EQ(window.GetWidget()->font().pixelSize(), 20);
    EXPECT_TRUE(window.GetWidget()->font().bold());
}

TEST_F(WindowTest, SetIconShowsTheIconInATopLevelCaption)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    ASSERT_TRUE(RegisterIconResource(4711, png.constData(), static_cast<std::size_t>(png.size())));

    TNoteWindow window(nullptr, "w");
    ASSERT_TRUE(window.Create());
    EXPECT_TRUE(window.GetWidget()->windowIcon().isNull());
    const HICON icon = LoadIcon(nullptr, 4711);
    EXPECT_EQ(IconResourceId(icon), TResId(4711));
    EXPECT_EQ(window.SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon)), 0);
    EXPECT_EQ(window.SendMessage(WM_GETICON, ICON_BIG), reinterpret_cast<LRESULT>(icon));
    ASSERT_FALSE(window.GetWidget()->windowIcon().isNull());
    EXPECT_EQ(window.GetWidget()->windowIcon().pixmap(16, 16).toImage().pixel(8, 8), qRgb(0, 0, 255));
}

// A window that deletes itself while it handles a click or a key.
class TSelfDeleting : public TWindow {
public:
    explicit TSelfDeleting(bool* deleted) : TWindow(nullptr, "self"), deleted_(deleted)
    {
        Attr.W = 100;
        Attr.H = 100;
    }
    ~TSelfDeleting() override { *deleted_ = true; }
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

private:
    void EvLButtonDown(UINT, const TPoint&)
    {
        Destroy();
        delete this;
    }
    void EvKeyDown(UINT, UINT, UINT) { delete this; }
    bool* deleted_;
};

const TResponseTable TSelfDeleting::Responses{&TWindow::Responses, {
    OnMessage<&TSelfDeleting::EvLButtonDown>(WM_LBUTTONDOWN),
    OnMessage<&TSelfDeleting::EvKeyDown>(WM_KEYDOWN),
}};

TEST_F(WindowTest, AWindowMayDeleteItselfInItsOwnHandler)
{
    bool deleted = false;
    auto* window = new TSelfDeleting(&deleted);
    driver.Show(*window);
    driver.ClickAt(*window, {10, 10});
    EXPECT_TRUE(deleted);
    deleted = false;
    window = new TSelfDeleting(&deleted);
    driver.Show(*window);
    window->SetFocus();
    driver.ProcessEvents();
    driver.PressKey('A');  // the character that would follow the key finds no window
    EXPECT_TRUE(deleted);
}

TEST(WindowApiTest, MulDivRoundsHalfAwayFromZero)
{
    struct Case {
        int n, num, den, expected;
    };
    const Case cases[] = {{7, 6, 4, 11}, {5, 13, 8, 8}, {-7, 6, 4, -11}, {3, 1, 2, 2}, {-3, 1, 2, -2}, {1, 1, 0, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(MulDiv(c.n, c.num, c.den), c.expected) << c.n << "*" << c.num << "/" << c.den;
}

}  // namespace
