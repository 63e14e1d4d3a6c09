// Help requests: recorded with their file and context; an installed help
// opens at the context, a missing one is reported plainly.

#include "platform/base/files.h"
#include "platform/tests/scoped_env.h"
#include "platform/ui/help.h"
#include "platform/ui/testing/test_driver.h"

#include <gtest/gtest.h>

namespace {

struct TOpened {
    std::string path;
    std::string fragment;
};

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = SetHelpViewer([this](const std::string& path, const std::string& fragment) {
            opened.push_back({path, fragment});
            return true;
        });
    }
    void TearDown() override { SetHelpViewer(previous_); }

    TTestDriver driver;
    TempFolder folder;
    std::vector<TOpened> opened;

private:
    THelpViewer previous_;
};

TEST_F(HelpTest, MissingHelpIsReportedPlainlyAndRecorded)
{
    const std::string file = folder.Path() + "\\HELP\\PLINTVLR.HLP";
    const std::size_t before = HelpRequests().size();
    driver.AnswerMessageBox(IDOK);
    EXPECT_FALSE(WinHelp(nullptr, file.c_str(), HELP_CONTEXT, 131174));
    EXPECT_TRUE(opened.empty());
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text, "No help is installed.\n\nThe help file " + file + " was not found.");
    EXPECT_EQ(driver.MessageBoxes()[0].caption, "Help");
    ASSERT_EQ(HelpRequests().size(), before + 1);
    EXPECT_EQ(HelpRequests().back().file, file);
    EXPECT_EQ(HelpRequests().back().command, HELP_CONTEXT);
    EXPECT_EQ(HelpRequests().back().data, 131174u);
    EXPECT_EQ(HelpRequests().back().shown, "");
}

TEST_F(HelpTest, InstalledHelpOpensAtTheContext)
{
    MakeDir(folder.Path() + "/help");
    WriteWholeFile(folder.Path() + "/help/plintvlr.html", "<html></html>");
    const std::string file = folder.Path() + "\\HELP\\PLINTVLR.HLP";
    EXPECT_TRUE(WinHelp(nullptr, file.c_str(), HELP_CONTEXT, 4900));
    EXPECT_TRUE(WinHelp(nullptr, file.c_str(), HELP_CONTENTS, 0));
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].path, folder.Path() + "/help/plintvlr.html");
    EXPECT_EQ(opened[0].fragment, "context-4900");
    EXPECT_EQ(opened[1].fragment, "");
    EXPECT_EQ(HelpRequests().back().shown, folder.Path() + "/help/plintvlr.html");
    EXPECT_TRUE(driver.MessageBoxes().empty());
    EXPECT_TRUE(WinHelp(nullptr, file.c_str(), HELP_QUIT, 0));
    EXPECT_EQ(opened.size(), 2u) << "quitting opens nothing";
}

TEST_F(HelpTest, ContextIsGivenOnlyToAnHtmlRendition)
{
    struct Case {
        const char* rendition;  // the file installed beside the help file's name
        const char* fragment;
    };
    const Case cases[] = {
        {"PLINTVLR.HTM", "context-131174"},
        {"plintvlr.Html", "context-131174"},
        {"plintvlr.pdf", ""},
        {"PLINTVLR.HLP", ""},  // the help file itself
    };
    const std::string file = folder.Path() + "\\HELP\\PLINTVLR.HLP";
    for (const Case& c : cases) {
        RemoveDirTree(folder.Path() + "/help");
        MakeDir(folder.Path() + "/help");
        WriteWholeFile(folder.Path() + "/help/" + c.rendition, "help");
        opened.clear();
        EXPECT_TRUE(WinHelp(nullptr, file.c_str(), HELP_CONTEXT, 131174)) << c.rendition;
        ASSERT_EQ(opened.size(), 1u) << c.rendition;
        EXPECT_EQ(opened[0].path, folder.Path() + "/help/" + c.rendition);
        EXPECT_EQ(opened[0].fragment, c.fragment) << c.rendition;
    }
}

}  // namespace
