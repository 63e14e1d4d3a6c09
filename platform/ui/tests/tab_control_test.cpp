// The tab control keeps its tabs and the chosen tab while it has no window:
// those added before it is made, and all of them when it is made again.

#include "platform/ui/controls/tab_control.h"
#include "platform/ui/testing/test_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Tabs(const TTabControl& tabs)
{
    std::vector<std::string> texts;
    for (int i = 0; i < tabs.GetCount(); ++i)
        texts.push_back(tabs.GetItemText(i));
    return texts;
}

TEST(TabControlTest, TabsOutliveTheWindow)
{
    struct Case {
        const char* remade;
        bool wholeWindow;  // the window around the control, or the control alone
    };
    const Case cases[] = {{"the control", false}, {"its window", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.remade);
        TTestDriver driver;
        TWindow host(nullptr, "tabs");
        host.Attr.W = 240;
        host.Attr.H = 120;
        auto* tabs = new TTabControl(&host, 1, 10, 10, 200, 90);
        tabs->Add("General");
        tabs->Add("Alarms");
        tabs->SetSel(1);
        driver.Show(host);
        ASSERT_TRUE(tabs->IsWindow());
        EXPECT_EQ(Tabs(*tabs), (std::vector<std::string>{"General", "Alarms"}));
        EXPECT_EQ(tabs->GetSel(), 1);

        tabs->Insert("Limits", 1);
        tabs->SetItemText(0, "Name");
        tabs->SetSel(2);
        TWindow& remade = c.wholeWindow ? static_cast<TWindow&>(host) : *tabs;
        remade.Destroy(0);
        EXPECT_EQ(Tabs(*tabs), (std::vector<std::string>{"Name", "Limits", "Alarms"})) << "while it has no window";
        EXPECT_EQ(tabs->GetSel(), 2);
        ASSERT_TRUE(remade.Create());
        driver.ProcessEvents();
        ASSERT_TRUE(tabs->IsWindow());
        EXPECT_EQ(Tabs(*tabs), (std::vector<std::string>{"Name", "Limits", "Alarms"}));
        EXPECT_EQ(tabs->GetSel(), 2);
    }
}

}  // namespace
