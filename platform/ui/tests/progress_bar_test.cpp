// The progress bar: range and position by its messages, kept within the
// range, its own look, and a derived bar that paints the whole control.

#include "platform/ui/controls/progress_bar.h"

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/sys_colors.h"
#include "platform/ui/dialog.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window_api.h"

#include <gtest/gtest.h>

namespace {

constexpr int kDialog = 7201;
constexpr int IDC_BAR = 1025;

unsigned ToRgb(COLORREF c)
{
    return (static_cast<unsigned>(GetRValue(c)) << 16) | (static_cast<unsigned>(GetGValue(c)) << 8) | GetBValue(c);
}

class TRedBar : public TProgressBar {
public:
    TRedBar(TWindow* parent, int id) : TProgressBar(parent, id) {}
    void Paint(TDC& dc, bool, TRect&) override { dc.FillRect(GetClientRect(), TBrush(TColor(255, 0, 0))); }
};

class ProgressBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterDialogTemplate(kDialog, {"Bars", 0, 0, 200, 60, WS_POPUP | WS_CAPTION, "MS Sans Serif", 8,
                                         {Control("", IDC_BAR, "msctls_progress32", 0, 5, 5, 190, 12),
                                          Control("", IDC_BAR + 1, "msctls_progress32", 0, 5, 25, 190, 12)}});
    }
    TTestDriver driver;
};

TEST_F(ProgressBarTest, PositionStaysWithinTheRange)
{
    TDialog dialog(nullptr, kDialog);
    ASSERT_TRUE(dialog.Create());
    auto* bar = dynamic_cast<TProgressBar*>(dialog.ChildWithId(IDC_BAR));
    ASSERT_NE(bar, nullptr) << "the template's class makes a progress bar";
    const HWND h = bar->GetHandle();
    EXPECT_EQ(::SendMessage(h, PBM_GETRANGE, 1, 0), 0);
    EXPECT_EQ(::SendMessage(h, PBM_GETRANGE, 0, 0), 100);
    EXPECT_EQ(::SendMessage(h, PBM_SETPOS, 40, 0), 0);
    EXPECT_EQ(::SendMessage(h, PBM_SETPOS, 250, 0), 40);
    EXPECT_EQ(::SendMessage(h, PBM_GETPOS, 0, 0), 100);
    ::SendMessage(h, PBM_SETPOS, static_cast<WPARAM>(-5), 0);
    EXPECT_EQ(bar->GetPos(), 0);
    ::SendMessage(h, PBM_SETRANGE, 0, MAKELPARAM(10, 20));
    EXPECT_EQ(bar->GetPos(), 10);
    ::SendMessage(h, PBM_SETSTEP, 4, 0);
    ::SendMessage(h, PBM_STEPIT, 0, 0);
    ::SendMessage(h, PBM_STEPIT, 0, 0);
    ::SendMessage(h, PBM_STEPIT, 0, 0);
    EXPECT_EQ(bar->GetPos(), 20);
    dialog.Destroy(IDCANCEL);
}

TEST_F(ProgressBarTest, StandardLookAndADerivedBarPaintingItAll)
{
    TDialog dialog(nullptr, kDialog);
    new TRedBar(&dialog, IDC_BAR + 1);
    ASSERT_TRUE(dialog.Create());
    auto* bar = dynamic_cast<TProgressBar*>(dialog.ChildWithId(IDC_BAR));
    ASSERT_NE(bar, nullptr);
    bar->SetPos(50);
    driver.Show(dialog);
    const QImage standard = driver.Grab(*bar);
    const int w = standard.width();
    const int y = standard.height() / 2;
    EXPECT_EQ(standard.pixel(w / 4, y) & 0xFFFFFF, ToRgb(GetSysColor(COLOR_HIGHLIGHT)));
    EXPECT_EQ(standard.pixel(3 * w / 4, y) & 0xFFFFFF, ToRgb(GetSysColor(COLOR_BTNFACE)));

    const QImage red = driver.Grab(*dialog.ChildWithId(IDC_BAR + 1));
    for (int x : {0, red.width() / 2, red.width() - 1})
        EXPECT_EQ(red.pixel(x, red.height() / 2) & 0xFFFFFF, 0xFF0000u) << x;
    dialog.Destroy(IDCANCEL);
}

}  // namespace
