// The status line on a frame: the model pane by panel type, the byte panes
// showing whole figures, and setters that do nothing while no status line is
// set up.

#include "plintvlr/shell/status_line.h"
#include "plintvlr/shell/tests/screenshot.h"
#include "platform/ui/decorated_frame.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/text_gadget.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Any frame can carry the status line; the program's main frame is one.
class THostFrame : public TDecoratedFrame {
public:
    THostFrame() : TDecoratedFrame(nullptr, "Host", new TWindow(nullptr))
    {
        Attr.W = 640;
        Attr.H = 200;
    }
    TStatusLine* status = nullptr;

protected:
    void SetupWindow() override
    {
        TDecoratedFrame::SetupWindow();
        status = new TStatusLine(this, TGadget::Recessed);
        Insert(*status, Bottom);
    }
};

std::string Pane(int id)
{
    TStatusLine* line = TStatusLine::GetStatusLine();
    return line ? line->GetPaneText(id) : "(none)";
}

TEST(StatusLineTest, ModelPaneShowsTheShortCodeOfThePanelType)
{
    TTestDriver driver;
    THostFrame frame;
    driver.Show(frame);

    const struct {
        int panelType;
        const char* text;
    } cases[] = {
        {9, "RTB"},  {11, "RTA"}, {14, "SWAQ"}, {15, "MA"}, {16, "KA"}, {17, "MB"}, {18, "KB"},
        {19, "LA"},  {20, "NA"},  {21, "PA"},   {22, "LB"}, {23, "NB"}, {24, "PB"},
        // Types without a code clear the pane.
        {5, ""},     {0, ""},     {10, ""},     {25, ""},   {-1, ""},
    };
    for (const auto& c : cases) {
        TStatusLine::SetModel(14);
        TStatusLine::SetModel(c.panelType);
        EXPECT_EQ(Pane(TStatusLine::IDG_MODEL), c.text) << "panel type " << c.panelType;
    }
}

TEST(StatusLineTest, LabelsAndSignedSevenDigitFiguresShowWhole)
{
    TTestDriver driver;
    THostFrame frame;
    driver.Show(frame);
    TStatusLine::SetModel(14);
    TStatusLine::SetUsedText("1234567");
    TStatusLine::SetFreeText("-12");
    EXPECT_EQ(Pane(TStatusLine::IDG_USED), "1234567");
    EXPECT_EQ(Pane(TStatusLine::IDG_FREE), "-12");

    // Left to right: separator, label, pane, three times; the message area first.
    std::vector<std::string> texts;
    for (TGadget* gadget : frame.status->GetGadgets()) {
        if (gadget == frame.status->GetMessageGadget())
            continue;
        auto* text = dynamic_cast<TTextGadget*>(gadget);
        texts.push_back(text ? text->GetText() : "|");
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"|", "Quellstor", "SWAQ", "|", "Used Bytes", "1234567", "|",
                                               "Free Bytes", "-12"}));

    const QFontMetrics metrics(frame.status->GetFont());
    for (TGadget* gadget : frame.status->GetGadgets()) {
        auto* text = dynamic_cast<TTextGadget*>(gadget);
        if (!text || gadget == frame.status->GetMessageGadget())
            continue;
        EXPECT_EQ(text->GetBorderStyle(), TGadget::None);
        const bool pane = text->GetId() != 0;
        EXPECT_EQ(text->GetAlign(), pane ? TTextGadget::Left : TTextGadget::Right);
        const std::string widest = pane ? "-8888888" : text->GetText();
        const int room = text->GetBounds().Width() - 2 * text->BorderWidth();
        EXPECT_GE(room, metrics.horizontalAdvance(QString::fromLatin1(widest.c_str()))) << widest;
    }

    TStatusLine::SetUsedText("-1234567");
    TStatusLine::SetFreeText("9999999");
    SaveScreenshot(driver.Grab(*frame.status), "status_line");
}

TEST(StatusLineTest, SettersDoNothingWithoutAStatusLine)
{
    TTestDriver driver;
    ASSERT_EQ(TStatusLine::GetStatusLine(), nullptr);
    TStatusLine::SetModel(14);
    TStatusLine::SetUsedText("100");
    TStatusLine::SetFreeText("-12");

    {
        THostFrame frame;
        EXPECT_EQ(TStatusLine::GetStatusLine(), nullptr);  // no window yet
        driver.Show(frame);
        ASSERT_EQ(TStatusLine::GetStatusLine(), frame.status);
        // Nothing set before the frame carries over.
        EXPECT_EQ(Pane(TStatusLine::IDG_MODEL), "");
        EXPECT_EQ(Pane(TStatusLine::IDG_USED), "");
        EXPECT_EQ(Pane(TStatusLine::IDG_FREE), "");
        TStatusLine::SetUsedText("350");
        EXPECT_EQ(Pane(TStatusLine::IDG_USED), "350");

        frame.Destroy();
        EXPECT_EQ(TStatusLine::GetStatusLine(), nullptr);
        TStatusLine::SetUsedText("400");
        TStatusLine::SetModel(9);
        EXPECT_EQ(frame.status->GetPaneText(TStatusLine::IDG_USED), "350");
    }
    EXPECT_EQ(TStatusLine::GetStatusLine(), nullptr);
    TStatusLine::SetFreeText("1");
    TStatusLine::SetUsedText(nullptr);
}

}  // namespace
