// The about box: its caption, the program's name in bold, centred over the
// main frame and held on the desktop.

#include "plintvlr/shell/about_box.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/tests/screenshot.h"
#include "platform/ui/desktop.h"
#include "platform/ui/frame_window.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window_api.h"
#include "platform/ui/window_font.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame.Attr.W = 500;
        frame.Attr.H = 360;
        driver.Show(frame);
        SetMainWindowHandle(frame.GetHandle());
    }
    void TearDown() override { SetMainWindowHandle(nullptr); }

    TPoint Centre(const TRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

    TTestDriver driver;
    TFrameWindow frame{nullptr, "Plintorvaler 5.20"};
};

TEST_F(AboutBoxTest, ShowsTheBoldProgramNameCentredOverTheMainFrame)
{
    frame.MoveWindow(120, 60, 500, 360);
    driver.ProcessEvents();
    driver.OnNextDialog([&](TDialog& box) {
        EXPECT_EQ(box.GetCaption(), "About Plintorvaler");
        EXPECT_EQ(box.GetDlgItemText(IDC_ABOUT_PROGRAM), "Plintorvaler 5.20");
        EXPECT_EQ(box.GetDlgItemText(IDOK), "&OK");
        EXPECT_EQ(GetWindowFont(box.GetDlgItem(IDC_ABOUT_PROGRAM)).GetObject().lfWeight, FW_BOLD);
        EXPECT_EQ(GetWindowFont(box.GetDlgItem(IDOK)).GetObject().lfWeight, FW_NORMAL);

        // The platform adds the box's frame once it shows, after it was
        // centred: allow half of that frame.
        const TPoint boxCentre = Centre(box.GetWindowRect());
        const TPoint frameCentre = Centre(frame.GetWindowRect());
        EXPECT_LE(std::abs(boxCentre.x - frameCentre.x), 3);
        EXPECT_LE(std::abs(boxCentre.y - frameCentre.y), 3);

        EXPECT_TRUE(SaveScreenshot(driver.Grab(box), "about_box"));
        driver.Click(box, IDOK);
    });
    aboutboxDlg box(&frame);
    EXPECT_EQ(box.Execute(), IDOK);
}

TEST_F(AboutBoxTest, StaysOnTheDesktopWhenTheFrameIsOffItsEdge)
{
    TRect desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    frame.MoveWindow(desktop.right - 150, desktop.bottom - 100, 500, 360);
    driver.ProcessEvents();
    driver.OnNextDialog([&](TDialog& box) {
        const TRect r = box.GetWindowRect();
        // Its frame comes after the placing: allow it.
        EXPECT_LE(r.right, desktop.right + 4);
        EXPECT_LE(r.bottom, desktop.bottom + 4);
        EXPECT_GE(r.left, desktop.left);
        driver.Click(box, IDOK);
    });
    aboutboxDlg box(&frame);
    EXPECT_EQ(box.Execute(), IDOK);
}

}  // namespace
