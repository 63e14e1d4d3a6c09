// The function-key bars: which keys get buttons on which panels, how the
// buttons fill the bar's width, their labels, the framed current key and
// the commands their clicks send.

#include "plintvlr/pageedit/fkey_bar.h"

#include "platform/ui/decorated_frame.h"
#include "platform/ui/testing/test_driver.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A frame carrying one key bar at its bottom, recording the key commands.
class TKeyHost : public TDecoratedFrame {
public:
    TKeyHost(int panelType, TFKeyBar::TRow row, int width)
        : TFrameWindow(nullptr, "Keys"), TDecoratedFrame(nullptr, "Keys", nullptr)
    {
        Attr.W = width;
        Attr.H = 120;
        bar = new TFKeyBar(this, panelType, row, [this] { return currentKey; });
        Insert(*bar, Bottom);
    }
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    TFKeyBar* bar;
    int currentKey = 0;
    std::vector<int> commands;

private:
    template <int Id>
    void CmKey()
    {
        commands.push_back(Id);
    }
};

const TResponseTable TKeyHost::Responses{&TDecoratedFrame::Responses, {
    OnCommand<&TKeyHost::CmKey<49>>(49), OnCommand<&TKeyHost::CmKey<50>>(50),
    OnCommand<&TKeyHost::CmKey<51>>(51), OnCommand<&TKeyHost::CmKey<52>>(52),
    OnCommand<&TKeyHost::CmKey<53>>(53), OnCommand<&TKeyHost::CmKey<54>>(54),
    OnCommand<&TKeyHost::CmKey<55>>(55), OnCommand<&TKeyHost::CmKey<56>>(56),
}};

// The bar's buttons as "id:label", left to right.
std::vector<std::string> Buttons(const TFKeyBar& bar)
{
    std::vector<std::string> buttons;
    for (TGadget* gadget : bar.GetGadgets()) {
        if (auto* button = dynamic_cast<TTextButtonGadget*>(gadget))
            buttons.push_back(std::to_string(button->GetId()) + ":" + button->GetText());
    }
    return buttons;
}

TPoint Centre(const TGadget& gadget)
{
    const TRect& b = gadget.GetBounds();
    return {(b.left + b.right) / 2, (b.top + b.bottom) / 2};
}

TEST(FKeyBarTest, ButtonsFollowThePanelType)
{
    const std::vector<std::string> six = {"49:", "50:", "51:", "52:", "53:", "54:"};
    struct Case {
        int panelType;
        TFKeyBar::TRow row;
        std::vector<std::string> buttons;
    };
    const Case cases[] = {
        {9, TFKeyBar::TRow::Main, six},
        {6, TFKeyBar::TRow::Main, six},  // eight keys, room for six
        {15, TFKeyBar::TRow::Main, {"49:F1", "50:F2", "51:F3", "52:F4", "53:F5"}},
        {19, TFKeyBar::TRow::Main, {"49:F1", "50:F2", "51:F3", "52:F4", "53:F5", "54:F6"}},
        {20, TFKeyBar::TRow::Main, {"49:F1", "50:F2", "51:F3", "52:F4", "53:F5"}},
        {23, TFKeyBar::TRow::Second, {"53:F5", "54:F6", "55:F7", "56:F8"}},
        {24, TFKeyBar::TRow::Main, {"49:F1", "50:F2", "51:F3", "52:F4", "53:F5", "54:F6", "55:F7", "56:F8"}},
        {16, TFKeyBar::TRow::Main, {}},
        {9, TFKeyBar::TRow::Second, {}},
    };
    for (const Case& c : cases) {
        TFKeyBar bar(nullptr, c.panelType, c.row);
        EXPECT_EQ(Buttons(bar), c.buttons) << "panel type " << c.panelType;
    }
    EXPECT_TRUE(TFKeyBar::HasSecondRow(20));
    EXPECT_TRUE(TFKeyBar::HasSecondRow(23));
    EXPECT_FALSE(TFKeyBar::HasSecondRow(21));
}

TEST(FKeyBarTest, ButtonsFillTheWidthWhateverItIs)
{
    struct Case {
        int panelType;
        TFKeyBar::TRow row;
        int width;
        int separator;
        int button;
    };
    const Case cases[] = {
        {9, TFKeyBar::TRow::Main, 960, 20, 120},   // six slots of 160, eighths
        {9, TFKeyBar::TRow::Main, 480, 10, 60},
        {15, TFKeyBar::TRow::Main, 600, 20, 80},   // five slots of 120, sixths
        {21, TFKeyBar::TRow::Main, 640, 10, 60},   // eight slots of 80, eighths
        {20, TFKeyBar::TRow::Main, 480, 20, 80},   // four slots of 120, sixths
        {20, TFKeyBar::TRow::Second, 480, 20, 80},
    };
    for (const Case& c : cases) {
        TTestDriver driver;
        TKeyHost host(c.panelType, c.row, c.width);
        driver.Show(host);
        const int width = host.bar->GetClientRect().Width();
        ASSERT_EQ(width, c.width) << "the bar is as wide as the frame's client area";
        const int slot = c.button + 2 * c.separator;
        const int separator = c.separator;
        const int button = c.button;
        int key = 0;
        for (TGadget* gadget : host.bar->GetGadgets()) {
            auto* b = dynamic_cast<TTextButtonGadget*>(gadget);
            if (!b)
                continue;
            EXPECT_EQ(b->GetBounds().left, separator + key * slot) << "type " << c.panelType << " button " << key;
            EXPECT_EQ(b->GetBounds().Width(), button);
            EXPECT_EQ(b->GetBounds().Height(), 20);
            ++key;
        }
        EXPECT_EQ(host.bar->GetWindowRect().Height(), 20) << "the gaps do not make the bar taller";
        if (c.panelType == 20 && c.row == TFKeyBar::TRow::Main) {
            EXPECT_GE(host.bar->KeyButton(5)->GetBounds().left, width) << "the fifth key lies beyond the width";
        }
    }
}

TEST(FKeyBarTest, LayoutFollowsTheBarsNewWidth)
{
    TTestDriver driver;
    TKeyHost host(9, TFKeyBar::TRow::Main, 600);
    driver.Show(host);
    host.MoveWindow(host.GetWindowRect().left, host.GetWindowRect().top, 900, 120);
    driver.ProcessEvents();
    const int slot = host.bar->GetClientRect().Width() / 6;
    EXPECT_EQ(host.bar->KeyButton(6)->GetBounds().right, 6 * slot - slot / 8);
}

TEST(FKeyBarTest, ClickSendsTheKeysCommandAndTheCurrentKeyIsFramed)
{
    TTestDriver driver;
    TKeyHost host(9, TFKeyBar::TRow::Main, 480);
    driver.Show(host);
    driver.Idle(host);
    driver.ClickAt(*host.bar, Centre(*host.bar->KeyButton(3)));
    driver.ClickAt(*host.bar, Centre(*host.bar->KeyButton(1)));
    EXPECT_EQ(host.commands, (std::vector<int>{51, 49}));

    const TRect b = host.bar->KeyButton(2)->GetBounds();
    auto frameIsBlack = [&](const QImage& image) {
        return QColor(image.pixel(b.left - 1, b.top + 5)) == QColor(Qt::black) &&
               QColor(image.pixel(b.left + 5, b.top)) != QColor(Qt::black);
    };
    EXPECT_FALSE(frameIsBlack(driver.Grab(*host.bar)));
    host.currentKey = 2;
    host.bar->Invalidate();
    const QImage framed = driver.Grab(*host.bar);
    EXPECT_TRUE(frameIsBlack(framed)) << "the left edge lies one pixel outside the button";
    EXPECT_EQ(QColor(framed.pixel(b.right - 1, b.top + 5)), QColor(Qt::black));
    EXPECT_EQ(QColor(framed.pixel(b.left + 5, b.bottom - 1)), QColor(Qt::black));
    const TRect other = host.bar->KeyButton(3)->GetBounds();
    EXPECT_NE(QColor(framed.pixel(other.left - 1, other.top + 5)), QColor(Qt::black));
}

// Whether some pixel of the button's inside is dark, as text is.
bool HasDarkText(const QImage& image, const TRect& bounds)
{
    for (int y = bounds.top + 2; y < bounds.bottom - 2; ++y) {
        for (int x = bounds.left + 2; x < bounds.right - 2; ++x) {
            if (qGray(image.pixel(x, y)) < 64)
                return true;
        }
    }
    return false;
}

TEST(FKeyBarTest, LabelIsDrawnAndChangedAndAnEmptyTextClearsIt)
{
    TTestDriver driver;
    TKeyHost host(9, TFKeyBar::TRow::Main, 480);
    driver.Show(host);
    TTextButtonGadget& button = *host.bar->KeyButton(1);
    EXPECT_FALSE(HasDarkText(driver.Grab(*host.bar), button.GetBounds()));
    host.bar->SetKeyText(1, "PUMP");
    EXPECT_EQ(button.GetText(), "PUMP");
    EXPECT_TRUE(HasDarkText(driver.Grab(*host.bar), button.GetBounds()));
    host.bar->SetKeyText(1, nullptr);
    EXPECT_EQ(button.GetText(), "");
    EXPECT_FALSE(HasDarkText(driver.Grab(*host.bar), button.GetBounds()));
    host.bar->SetKeyText(7, "NONE");  // no button for key 7 here: nothing happens

    // A greyed button draws its label in the grey-text colour.
    host.bar->SetKeyText(2, "VALVE");
    host.bar->KeyButton(2)->SetEnabled(false);
    EXPECT_FALSE(HasDarkText(driver.Grab(*host.bar), host.bar->KeyButton(2)->GetBounds()));
}

}  // namespace
