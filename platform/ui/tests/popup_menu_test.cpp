// Context menus tracked at a point: enablers run first, the choice becomes
// the owner's command or the returned id.

#include "platform/ui/popup_menu.h"
#include "platform/ui/testing/test_driver.h"

#include <QApplication>
#include <QMenu>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

enum : UINT {
    CM_CUT = 24322,
    CM_COPY = 24323,
    CM_PASTE = 24324,
    CM_PROPERTIES = 5001,
    CM_ALIGNLEFT = 5101,
    CM_ALIGNTOP = 5102,
    CM_ALIGNRIGHT = 5103,
};

class TCanvas : public TWindow {
public:
    TCanvas() : TWindow(nullptr, "canvas")
    {
        Attr.W = 300;
        Attr.H = 200;
    }
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    bool hasSelection = false;
    std::vector<UINT> commands;
    int returned = -1;
    bool returnCommand = false;
    // An "Align to" cascade after the items (its Right item greyed).
    bool alignMenu = false;

private:
    void EvRButtonDown(UINT, const TPoint& point)
    {
        TPopupMenu menu;
        menu.AppendMenu(MF_STRING, CM_CUT, "Cu&t");
        menu.AppendMenu(MF_STRING, CM_COPY, "&Copy");
        menu.AppendMenu(MF_STRING, CM_PASTE, "&Paste");
        menu.AppendMenu(MF_SEPARATOR, 0, nullptr);
        menu.AppendMenu(MF_STRING, CM_PROPERTIES, "P&roperties\tAlt+Enter");
        if (alignMenu) {
            auto* align = new TMenu;
            align->AppendMenu(MF_STRING, CM_ALIGNLEFT, "&Left");
            align->AppendMenu(MF_STRING, CM_ALIGNTOP, "&Top");
            align->AppendMenu(MF_SEPARATOR, 0, nullptr);
            align->AppendMenu(MF_STRING, CM_ALIGNRIGHT, "&Right");
            menu.AppendPopup(MF_STRING, align, "Ali&gn to");
        }
        const TPoint screen = ClientToScreen(point);
        returned = menu.TrackPopupMenu(TPM_RIGHTBUTTON | (returnCommand ? TPM_RETURNCMD : 0), screen, GetHandle());
        state.clear();
        for (UINT id : {CM_CUT, CM_COPY, CM_PASTE, CM_PROPERTIES})
            state.push_back(menu.GetMenuState(id, MF_BYCOMMAND) & MF_GRAYED);
    }
    void CmCut() { commands.push_back(CM_CUT); }
    void CmCopy() { commands.push_back(CM_COPY); }
    void CmProperties() { commands.push_back(CM_PROPERTIES); }
    void CmAlignLeft() { commands.push_back(CM_ALIGNLEFT); }
    void CmAlignTop() { commands.push_back(CM_ALIGNTOP); }
    void CeNever(TCommandEnabler& ce) { ce.Enable(false); }
    void CeSelection(TCommandEnabler& ce) { ce.Enable(hasSelection); }

public:
    std::vector<UINT> state;
};

const TResponseTable TCanvas::Responses{&TWindow::Responses, {
    OnMessage<&TCanvas::EvRButtonDown>(WM_RBUTTONDOWN),
    OnCommand<&TCanvas::CmCut>(CM_CUT),
    OnCommand<&TCanvas::CmCopy>(CM_COPY),
    OnCommand<&TCanvas::CmProperties>(CM_PROPERTIES),
    OnCommandEnable<&TCanvas::CeSelection>(CM_CUT),
    OnCommandEnable<&TCanvas::CeSelection>(CM_COPY),
    OnCommand<&TCanvas::CmAlignLeft>(CM_ALIGNLEFT),
    OnCommand<&TCanvas::CmAlignTop>(CM_ALIGNTOP),
    OnCommandEnable<&TCanvas::CeNever>(CM_ALIGNRIGHT),
}};

TEST(PopupMenuTest, ItemsAreEnabledByTheRouteAndTheChoiceIsSentToTheOwner)
{
    TTestDriver driver;
    TCanvas canvas;
    driver.Show(canvas);

    driver.AnswerPopupMenu(CM_PROPERTIES);
    driver.RightClickAt(canvas, {50, 40});
    EXPECT_EQ(canvas.commands, std::vector<UINT>{CM_PROPERTIES});
    EXPECT_EQ(canvas.returned, 1);
    // Cut and Copy wait for a selection; Paste has no handler at all.
    EXPECT_EQ(canvas.state, (std::vector<UINT>{MF_GRAYED, MF_GRAYED, MF_GRAYED, 0}));

    canvas.hasSelection = true;
    driver.AnswerPopupMenu(CM_COPY);
    driver.RightClickAt(canvas, {50, 40});
    EXPECT_EQ(canvas.commands, (std::vector<UINT>{CM_PROPERTIES, CM_COPY}));

    driver.AnswerPopupMenu(0);  // closed without a choice
    driver.RightClickAt(canvas, {50, 40});
    EXPECT_EQ(canvas.returned, 0);
    EXPECT_EQ(canvas.commands.size(), 2u);
}

TEST(PopupMenuTest, ReturnCommandGivesTheIdInsteadOfSendingIt)
{
    TTestDriver driver;
    TCanvas canvas;
    canvas.hasSelection = true;
    canvas.returnCommand = true;
    driver.Show(canvas);
    driver.AnswerPopupMenu(CM_CUT);
    driver.RightClickAt(canvas, {20, 20});
    EXPECT_EQ(canvas.returned, static_cast<int>(CM_CUT));
    EXPECT_TRUE(canvas.commands.empty());
}

// A canvas whose pop-up has the "Align to" cascade, answered by captions.
class PopupSubMenuTest : public ::testing::Test {
protected:
    PopupSubMenuTest()
    {
        canvas.alignMenu = true;
        driver.Show(canvas);
    }
    // Answers the next pop-up with the path and right-clicks the canvas.
    void Choose(const std::vector<std::string>& captions)
    {
        driver.AnswerPopupMenu(captions);
        driver.RightClickAt(canvas, {50, 40});
    }

    TTestDriver driver;
    TCanvas canvas;
};

TEST_F(PopupSubMenuTest, APathOfCaptionsChoosesAnItemOfASubMenu)
{
    // Captions are read as shown: with or without the mnemonic marker, and
    // without the shortcut after the tab.
    const struct {
        std::vector<std::string> captions;
        UINT command;
    } cases[] = {
        {{"Align to", "Left"}, CM_ALIGNLEFT},
        {{"Ali&gn to", "&Top"}, CM_ALIGNTOP},
        {{"Properties"}, CM_PROPERTIES},
    };
    for (const auto& c : cases) {
        canvas.commands.clear();
        Choose(c.captions);
        EXPECT_EQ(canvas.commands, std::vector<UINT>{c.command}) << c.captions.back();
        EXPECT_EQ(canvas.returned, 1) << c.captions.back();
    }

    // With TPM_RETURNCMD the sub-menu's item is the answer.
    canvas.commands.clear();
    canvas.returnCommand = true;
    Choose({"Align to", "Top"});
    EXPECT_EQ(canvas.returned, static_cast<int>(CM_ALIGNTOP));
    EXPECT_TRUE(canvas.commands.empty());
}

TEST_F(PopupSubMenuTest, APathThatLeadsNowhereFailsAndClosesTheMenus)
{
    const struct {
        std::vector<std::string> captions;
        const char* failure;
    } cases[] = {
        {{"Align to", "Middle"}, "has no item \"Align to\" > \"Middle\""},
        {{"Align to"}, "opens a sub-menu"},
        {{"Copy", "Left"}, "\"Copy\" opens no sub-menu"},
        {{"Align to", "Right"}, "\"Align to\" > \"Right\" is greyed"},
    };
    for (const auto& c : cases) {
        EXPECT_NONFATAL_FAILURE(Choose(c.captions), c.failure);
        EXPECT_TRUE(canvas.commands.empty()) << c.failure;
        EXPECT_EQ(canvas.returned, 0) << c.failure;
        for (QWidget* w : QApplication::topLevelWidgets())
            EXPECT_FALSE(qobject_cast<QMenu*>(w) && w->isVisible()) << c.failure;
    }
}

}  // namespace
