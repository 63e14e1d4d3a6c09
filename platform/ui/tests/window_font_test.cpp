// A window's font: a control given a bold font draws its text bold, at the
// height it had unless the font names another.

#include "platform/gdi/font.h"
#include "platform/ui/controls/static.h"
#include "platform/ui/dialog.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window_font.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowFontTest, BoldFontKeepsHeightUnlessOneIsGiven)
{
    TTestDriver driver;
    TDialog dialog(nullptr, TDialogTemplate{"Fonts", 0, 0, 120, 40, WS_POPUP | WS_CAPTION, "MS Sans Serif", 8, {
        LText("Name", 190, 4, 4, 100, 10),
        LText("Other", 191, 4, 18, 100, 10),
    }});
    dialog.Attr.Style |= WS_VISIBLE;
    ASSERT_TRUE(dialog.Create());
    HWND name = dialog.GetDlgItem(190);
    const TFont before = GetWindowFont(name);
    EXPECT_EQ(before.GetObject().lfWeight, FW_NORMAL);

    ASSERT_TRUE(SetWindowFont(name, TFont("MS Sans Serif", 0, 0, 0, 0, FW_BOLD)));
    const TFont bold = GetWindowFont(name);
    EXPECT_EQ(bold.GetObject().lfWeight, FW_BOLD);
    EXPECT_EQ(bold.GetObject().lfHeight, before.GetObject().lfHeight);
    EXPECT_EQ(bold.FaceName(), before.FaceName());
    // The neighbour keeps its own font.
    EXPECT_EQ(GetWindowFont(dialog.GetDlgItem(191)).GetObject().lfWeight, FW_NORMAL);

    ASSERT_TRUE(SetWindowFont(name, TFont("Courier New", -20, 0, 0, 0, FW_NORMAL, FIXED_PITCH, 1)));
    const TFont other = GetWindowFont(name);
    EXPECT_EQ(other.GetObject().lfHeight, -20);
    EXPECT_EQ(other.GetObject().lfItalic, 1);
    EXPECT_NE(other.FaceName(), before.FaceName());

    dialog.Destroy();
    EXPECT_FALSE(SetWindowFont(name, TFont()));
}

}  // namespace
