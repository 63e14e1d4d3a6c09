// Window places: the rectangle operations, a dialog restored from the
// profile's offsets (hand-edited ones included) and held on the desktop, an
// MDI host saved and restored in place, and the cursor put on the default
// button when the system asks for it.

#include "plintvlr/shell/win_positioner.h"
#include "platform/base/profile.h"
#include "platform/tests/scoped_env.h"
#include "platform/ui/desktop.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/frame_window.h"
#include "platform/ui/mdi_child.h"
#include "platform/ui/mdi_client.h"
#include "platform/ui/mdi_frame.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window_api.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <optional>
#include <string>

namespace {

TEST(RectOperationsTest, KeepRectInsideMovesWithoutResizing)
{
    const TRect bounds(0, 0, 800, 600);
    const struct {
        TRect rect;
        TRect expected;
    } cases[] = {
        {{10, 20, 110, 120}, {10, 20, 110, 120}},        // inside: stays
        {{750, 20, 850, 120}, {700, 20, 800, 120}},      // over the right edge
        {{10, 550, 110, 650}, {10, 500, 110, 600}},      // over the bottom
        {{-30, -40, 70, 60}, {0, 0, 100, 100}},          // over the left and top
        {{-50, 10, 950, 110}, {0, 10, 1000, 110}},       // wider than the bounds: left on theirs
        {{100, 100, 300, 900}, {100, 0, 300, 800}},      // taller than the bounds: top on theirs
    };
    for (const auto& c : cases) {
        TRect rect = c.rect;
        KeepRectInside(rect, bounds);
        EXPECT_EQ(rect, c.expected) << c.rect.left << "," << c.rect.top;
    }
}

TEST(RectOperationsTest, CentringTruncatesBothHalves)
{
    const struct {
        TRect rect;
        TRect reference;
        TRect expected;
    } cases[] = {
        // A 101-pixel window on a 200-pixel reference starts 50 pixels in.
        {{0, 0, 101, 101}, {0, 0, 200, 200}, {50, 50, 151, 151}},
        {{500, 400, 601, 501}, {10, 20, 210, 220}, {60, 70, 161, 171}},
        {{0, 0, 100, 40}, {-300, -100, -99, 1}, {-250, -70, -150, -30}},
        // Larger than the reference: it sticks out on both sides.
        {{0, 0, 300, 10}, {100, 0, 200, 10}, {0, 0, 300, 10}},
    };
    for (const auto& c : cases) {
        TRect both = c.rect;
        CenterRect(both, c.reference);
        EXPECT_EQ(both, c.expected);
        TRect x = c.rect;
        CenterRectHorizontally(x, c.reference);
        EXPECT_EQ(x, TRect(c.expected.left, c.rect.top, c.expected.right, c.rect.bottom));
        TRect y = c.rect;
        CenterRectVertically(y, c.reference);
        EXPECT_EQ(y, TRect(c.rect.left, c.expected.top, c.rect.right, c.expected.bottom));
    }
}

class WinPositionerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(GetWindowRect(GetDesktopWindow(), &desktop));
        reference.Attr.W = 300;
        reference.Attr.H = 200;
        driver.Show(reference);
        reference.MoveWindow(100, 80, 300, 200);
        driver.ProcessEvents();
        RegisterDialogTemplate(kDialogId, {"Placed", 0, 0, 120, 60, WS_POPUP | WS_CAPTION, "MS Sans Serif", 8, {
            PushButton("&Other", 5, 4, 40, 40, 14),
            DefPushButton("&OK", IDOK, 50, 40, 30, 14),
            PushButton("&Close", IDCLOSE, 84, 40, 30, 14),
        }});
    }
    void TearDown() override { SystemParametersInfo(SPI_SETSNAPTODEFBUTTON, 0, nullptr, 0); }

    // A dialog at the desktop's corner, so that every place it ends at is
    // the positioner's doing. It is shown first: the platform gives a
    // window its frame only then, and the places are the frame's.
    std::unique_ptr<TDialog> MakeDialog()
    {
        auto dialog = std::make_unique<TDialog>(&reference, kDialogId);
        EXPECT_TRUE(dialog->Create());
        dialog->SetWindowPos(nullptr, desktop.left, desktop.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
        driver.ProcessEvents();
        return dialog;
    }

    void WriteKey(const char* key, const char* value)
    {
        WritePrivateProfileString("POSITIONS", key, value, "PLINTVLR.INI");
    }

    static constexpr int kDialogId = 7711;
    TempFolder profiles;
    ScopedEnv profileDir{"PLV_PROFILE_DIR", profiles.Path().c_str()};
    TTestDriver driver;
    TFrameWindow reference{nullptr, "Reference"};
    TRect desktop;
};

TEST_F(WinPositionerTest, RestorePlacesByOffsetsOrCentresThenKeepsOnTheDesktop)
{
    const TRect r = reference.GetWindowRect();
    const TSize size = MakeDialog()->GetWindowRect().Size();
    const TPoint centred{r.left + r.Width() / 2 - size.cx / 2, r.top + r.Height() / 2 - size.cy / 2};

    const struct {
        const char* x;  // null: no key
        const char* y;
        TPoint expected;
    } cases[] = {
        {nullptr, nullptr, centred},
        {"-20", "15", {r.left - 20, r.top + 15}},
        {"-20", nullptr, centred},  // one missing key is enough to centre
        {nullptr, "15", centred},
        {"2147483647", "15", centred},
        {"abc", "15", centred},           // a mistyped value counts as not set
        {"99999999999", "15", centred},   // beyond the integer range: read as its bound, not set
        {"5000", "-5000", {desktop.right - size.cx, desktop.top}},
        // Offsets near the integer limits: the sum must not wrap around.
        {"-2147483648", "2147483646", {desktop.left, desktop.bottom - size.cy}},
        {"2147483646", "-2147483647", {desktop.right - size.cx, desktop.top}},
    };
    for (const auto& c : cases) {
        WriteKey("4900X", c.x);
        WriteKey("4900Y", c.y);
        auto dialog = MakeDialog();
        TWinPositioner(4900).Restore(reference.GetHandle(), dialog->GetHandle(), false);
        const TRect placed = dialog->GetWindowRect();
        EXPECT_EQ(placed.TopLeft(), c.expected) << (c.x ? c.x : "-") << " / " << (c.y ? c.y : "-");
        EXPECT_EQ(placed.Size(), size);
        EXPECT_TRUE(dialog->IsWindowVisible());
    }
}

TEST_F(WinPositionerTest, WindowWiderThanTheDesktopStartsAtItsLeftEdge)
{
    WriteKey("4901X", "40");
    WriteKey("4901Y", "10");
    TFrameWindow wide(nullptr, "Wide");
    wide.Attr.W = desktop.Width() + 100;
    wide.Attr.H = 100;
    driver.Show(wide);
    TWinPositioner(4901).Restore(reference.GetHandle(), wide.GetHandle(), false);
    const TRect placed = wide.GetWindowRect();
    EXPECT_GT(placed.Width(), desktop.Width());
    EXPECT_EQ(placed.left, desktop.left);
    EXPECT_GT(placed.right, desktop.right);
    EXPECT_EQ(placed.top, reference.GetWindowRect().top + 10);
}

TEST_F(WinPositionerTest, SaveWritesTheOffsetsThatRestoreReads)
{
    auto dialog = MakeDialog();
    dialog->SetWindowPos(nullptr, 150, 240, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    TWinPositioner(4902).Save(reference.GetHandle(), dialog->GetHandle());
    EXPECT_EQ(GetPrivateProfileInt("POSITIONS", "4902X", 0, "PLINTVLR.INI"), 50);
    EXPECT_EQ(GetPrivateProfileInt("POSITIONS", "4902Y", 0, "PLINTVLR.INI"), 160);

    TWinPositioner(4903).WriteOffsets(reference.GetHandle(), TRect(60, 70, 90, 90));
    EXPECT_EQ(GetPrivateProfileInt("POSITIONS", "4903X", 0, "PLINTVLR.INI"), -40);
    EXPECT_EQ(GetPrivateProfileInt("POSITIONS", "4903Y", 0, "PLINTVLR.INI"), -10);

    auto again = MakeDialog();
    TWinPositioner(4902).Restore(reference.GetHandle(), again->GetHandle(), false);
    EXPECT_EQ(again->GetWindowRect().TopLeft(), TPoint(150, 240));
}

TEST_F(WinPositionerTest, MdiHostSavedAndRestoredUnmovedKeepsItsPlace)
{
    TMDIFrame frame("Frame", TResId(), new TMDIClient);
    frame.Attr.W = 700;
    frame.Attr.H = 500;
    driver.Show(frame);
    TMDIClient& client = *frame.GetMDIClient();
    auto* host = new TMDIChild(client, "Host");
    host->Attr.X = 37;
    host->Attr.Y = 21;
    host->Attr.W = 200;
    host->Attr.H = 120;
    host->Create();
    driver.ProcessEvents();
    const TRect before = host->GetWindowRect();

    TWinPositioner(4904).Save(client.GetHandle(), host->GetHandle());
    const TRect clientRect = client.GetWindowRect();
    EXPECT_EQ(GetPrivateProfileInt("POSITIONS", "4904X", 0, "PLINTVLR.INI"), before.left - clientRect.left);
    EXPECT_EQ(GetPrivateProfileInt("POSITIONS", "4904Y", 0, "PLINTVLR.INI"), before.top - clientRect.top);

    host->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    TWinPositioner(4904).Restore(client.GetHandle(), host->GetHandle(), true);
    driver.ProcessEvents();
    EXPECT_EQ(host->GetWindowRect(), before);
}

TEST_F(WinPositionerTest, CursorGoesToTheDefaultButtonOnlyWhenTheSystemAsks)
{
    const auto centreOf = [](TDialog& dialog, int id) {
        TRect r;
        GetWindowRect(dialog.GetDlgItem(id), &r);
        return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    const TPoint parked(3, 4);

    // Off (as on these desktops): the cursor stays.
    SetCursorPos(parked.x, parked.y);
    auto dialog = MakeDialog();
    TWinPositioner(4905).Restore(reference.GetHandle(), dialog->GetHandle(), false);
    TPoint cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor, parked);

    SystemParametersInfo(SPI_SETSNAPTODEFBUTTON, 1, nullptr, 0);
    const struct {
        int defaultId;           // made the default with DM_SETDEFID (0: none)
        bool hideOk;             // OK taken away
        std::optional<int> target;
    } cases[] = {
        {IDOK, false, IDOK},
        {5, false, 5},
        {0, false, IDOK},
        {0, true, IDCLOSE},
    };
    for (const auto& c : cases) {
        SetCursorPos(parked.x, parked.y);
        auto d = MakeDialog();
        SendMessage(d->GetHandle(), DM_SETDEFID, static_cast<WPARAM>(c.defaultId));
        if (c.hideOk)
            DestroyWindow(d->GetDlgItem(IDOK));
        TWinPositioner(4905).Restore(reference.GetHandle(), d->GetHandle(), false);
        GetCursorPos(&cursor);
        EXPECT_EQ(cursor, centreOf(*d, *c.target)) << "default " << c.defaultId;
    }

    // No button to go to: the cursor stays.
    SetCursorPos(parked.x, parked.y);
    TFrameWindow plain(nullptr, "Plain");
    driver.Show(plain);
    MoveCursorToDefaultButton(plain.GetHandle());
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor, parked);
}

}  // namespace
