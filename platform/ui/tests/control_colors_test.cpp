// Control colours: edits, statics and combo boxes ask their parent for the
// colours they paint with, and keep their own when it gives none.

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/ui/controls/combo_box.h"
#include "platform/ui/controls/edit.h"
#include "platform/ui/controls/static.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window.h"

#include <QImage>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

constexpr int kEdit = 1;
constexpr int kReadOnlyEdit = 2;
constexpr int kStatic = 3;
constexpr int kList = 4;
constexpr int kEditCombo = 5;

const TColor kRed(255, 0, 0);
const TColor kBlue(0, 0, 255);

class TColorParent : public TWindow {
public:
    TColorParent() : TWindow(nullptr, "colours")
    {
        Attr.W = 320;
        Attr.H = 200;
    }

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    std::vector<std::pair<UINT, HWND>> asked;
    bool answer = true;

private:
    const TBrush* Answer(UINT msg, TDC& dc, HWND control)
    {
        asked.emplace_back(msg, control);
        if (!answer)
            return nullptr;
        dc.SetTextColor(kBlue);
        dc.SetBkColor(kRed);
        return &brush_;
    }
    const TBrush* EvEdit(TDC& dc, HWND control) { return Answer(WM_CTLCOLOREDIT, dc, control); }
    const TBrush* EvStatic(TDC& dc, HWND control) { return Answer(WM_CTLCOLORSTATIC, dc, control); }
    const TBrush* EvList(TDC& dc, HWND control) { return Answer(WM_CTLCOLORLISTBOX, dc, control); }

    TBrush brush_{kRed};
};

const TResponseTable TColorParent::Responses{&TWindow::Responses, {
    OnMessage<&TColorParent::EvEdit>(WM_CTLCOLOREDIT),
    OnMessage<&TColorParent::EvStatic>(WM_CTLCOLORSTATIC),
    OnMessage<&TColorParent::EvList>(WM_CTLCOLORLISTBOX),
}};

bool Asked(const TColorParent& parent, UINT msg, HWND control)
{
    for (const auto& [m, h] : parent.asked) {
        if (m == msg && h == control)
            return true;
    }
    return false;
}

bool HasBluePixel(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.blue() > 150 && c.red() < 100 && c.green() < 100)
                return true;
        }
    }
    return false;
}

class ControlColorsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        edit = new TEdit(&parent, kEdit, "WWWW", 10, 10, 120, 24);
        readOnly = new TEdit(&parent, kReadOnlyEdit, "read", 10, 40, 120, 24);
        readOnly->Attr.Style |= ES_READONLY;
        label = new TStatic(&parent, kStatic, "WWWW", 10, 70, 120, 20);
        list = new TComboBox(&parent, kList, 150, 10, 120, 100, CBS_DROPDOWNLIST, 0);
        editCombo = new TComboBox(&parent, kEditCombo, 150, 60, 120, 100, CBS_DROPDOWN, 0);
        driver.Show(parent);
    }
    void TearDown() override { driver.ProcessEvents(); }

    TTestDriver driver;
    TColorParent parent;
    TEdit* edit = nullptr;
    TEdit* readOnly = nullptr;
    TStatic* label = nullptr;
    TComboBox* list = nullptr;
    TComboBox* editCombo = nullptr;
};

TEST_F(ControlColorsTest, EachKindAsksWithItsOwnMessage)
{
    driver.Grab(parent);
    EXPECT_TRUE(Asked(parent, WM_CTLCOLOREDIT, edit->GetHandle()));
    EXPECT_TRUE(Asked(parent, WM_CTLCOLORSTATIC, readOnly->GetHandle()));
    EXPECT_FALSE(Asked(parent, WM_CTLCOLOREDIT, readOnly->GetHandle()));
    EXPECT_TRUE(Asked(parent, WM_CTLCOLORSTATIC, label->GetHandle()));
    EXPECT_TRUE(Asked(parent, WM_CTLCOLORLISTBOX, list->GetHandle()));
    // The edit field of a combo box asks the combo box's parent, under its own handle.
    ASSERT_NE(editCombo->GetEdit(), nullptr);
    EXPECT_TRUE(Asked(parent, WM_CTLCOLOREDIT, editCombo->GetEdit()->GetHandle()));
    // A disabled edit asks as a static does.
    edit->EnableWindow(false);
    parent.asked.clear();
    driver.Grab(*edit);
    EXPECT_TRUE(Asked(parent, WM_CTLCOLORSTATIC, edit->GetHandle()));
}

TEST_F(ControlColorsTest, ControlsPaintWithTheColoursTheParentGives)
{
    driver.Grab(parent);
    for (TWindow* control : std::vector<TWindow*>{edit, label}) {
        const QImage image = driver.Grab(*control);
        // Away from the text and the frame: the brush's colour.
        EXPECT_EQ(image.pixelColor(image.width() - 6, image.height() / 2), QColor(Qt::red)) << control->GetId();
        EXPECT_TRUE(HasBluePixel(image)) << control->GetId();
    }
    // A parent that gives no brush leaves the controls their own colours.
    parent.answer = false;
    parent.Invalidate();
    for (TWindow* control : std::vector<TWindow*>{edit, label}) {
        driver.Grab(*control);
        const QImage image = driver.Grab(*control);
        EXPECT_NE(image.pixelColor(image.width() - 6, image.height() / 2), QColor(Qt::red)) << control->GetId();
        EXPECT_FALSE(HasBluePixel(image)) << control->GetId();
    }
}

}  // namespace
