// The font dialog driven as the engineer uses it: the listed fonts and their
// costs, choosing one (stored once, made the default, given to the selected
// elements), removing stored fonts, and the refusals.

#include "plintvlr/elements/tests/text_test_util.h"
#include "plintvlr/shell/tests/shell_fixture.h"

#include "platform/base/fnt_file.h"
#include "platform/ui/controls/list_box.h"
#include "plintvlr/db/adatabase.h"
#include "plintvlr/elements/font_dialog.h"
#include "plintvlr/elements/font_manager.h"
#include "plintvlr/elements/font_tree.h"

#include <fstream>

namespace {

// 240 x 112 pixels, 128 kB of memory, font "ANSI Zobrel 5x8".
constexpr int kLargePanel = 14;

class FontDialogTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        REQUIRE_PANEL_FONTS(fonts_);
        FreeFontTree();
        const std::string folder = program_ + "/font";
        std::filesystem::create_directories(folder);
        for (const auto& file : std::filesystem::directory_iterator(PLV_FONT_DIR))
            if (file.path().extension() == ".fnt")
                std::filesystem::copy_file(file.path(), folder + "/" + file.path().filename().string());
        extraPath_ = folder + "/extra.fnt";
        // A fixed-cell panel font of our own, to have more faces than numbers.
        WriteBytes(extraPath_, PanelFontFile("QS Extra 6x8", 6));
        extraAdded_ = AddFontResource(extraPath_.c_str()) > 0;
        Start();
        adatabase& db = _QSglobals.NewDatabase();
        // A large panel's memory holds nine fonts.
        db.SetPanelType(kLargePanel);
        ASSERT_EQ(db.Create("FONTS"), 1);
        ASSERT_EQ(db.OpenProject("FONTS"), 1);
        ASSERT_NE(db.GetFontManager(), nullptr);
        panel_ = std::make_unique<PanelScope>(kLargePanel);
    }
    void TearDown() override
    {
        panel_.reset();
        if (extraAdded_)
            RemoveFontResource(extraPath_.c_str());
        FreeFontTree();
        ShellTest::TearDown();
    }

    fontmanager& Fonts() { return *_QSglobals.GetDatabase().GetFontManager(); }

    fontDlg& Open()
    {
        auto* dialog = new fontDlg(&Client(), nullptr);
        EXPECT_TRUE(dialog->Create());
        driver.ProcessEvents();
        return *dialog;
    }

    std::vector<std::string> Lines(fontDlg& dialog)
    {
        std::vector<std::string> lines;
        for (int i = 0; i < dialog.List().GetCount(); ++i)
            lines.push_back(dialog.List().GetString(i));
        return lines;
    }

    void Select(fontDlg& dialog, const std::string& shownName)
    {
        const int index = dialog.List().FindString(shownName.c_str(), -1);
        ASSERT_GE(index, 0) << shownName;
        driver.ClickListItem(dialog, IDC_FONT_LIST, index);
    }

    std::string LineOf(fontDlg& dialog, const std::string& shownName)
    {
        const int index = dialog.List().FindString(shownName.c_str(), -1);
        return index >= 0 ? dialog.List().GetString(index) : std::string();
    }

    static std::string Cost(const std::string& face)
    {
        return std::to_string(fontmanager::GetFontFileSize(face.c_str()));
    }

    PanelFontsScope fonts_;
    std::unique_ptr<PanelScope> panel_;
    std::string extraPath_;
    bool extraAdded_ = false;
};

}  // namespace

TEST_F(FontDialogTest, ListsShownNamesWithTheirCostAndSelectsTheDefault)
{
    ASSERT_TRUE(Fonts().AddFont(2, "Zobrel R12x18"));
    fontDlg& dialog = Open();
    EXPECT_EQ(LineOf(dialog, "ANSI QS 8x12"), "ANSI QS 8x12\t" + Cost("ANSI Zobrel 8x12"));
    EXPECT_EQ(LineOf(dialog, "QS R12x18"), "QS R12x18\t0 - Loaded");
    EXPECT_EQ(LineOf(dialog, "ANSI QS 5x8"), "ANSI QS 5x8\t0 - Permanent");
    EXPECT_EQ(LineOf(dialog, "QS VZKA/MA 6x9"), "QS VZKA/MA 6x9\t" + Cost("QS VZKA/MA 6x9"));
    for (const std::string& line : Lines(dialog))
        EXPECT_EQ(line.find("Zobrel"), std::string::npos) << line;
    EXPECT_EQ(dialog.SelectedFace(), "ANSI Zobrel 5x8") << "the default font's line";
    EXPECT_FALSE(driver.Control(dialog, IDC_FONT_REMOVE)->IsWindowEnabled()) << "the panel's own font stays";
    EXPECT_EQ(dialog.Sample().GetFace(), "ANSI Zobrel 5x8");
    EXPECT_GT(dialog.Usage().GetTotal(), 0);
    EXPECT_TRUE(Screenshot(Frame(), "font_dialog"));
    dialog.SendMessage(WM_COMMAND, IDCANCEL);
    driver.ProcessEvents();
}

TEST_F(FontDialogTest, OkStoresTheChosenFaceOnceUnderItsFileFaceAndGivesItToTheSelection)
{
    fontDlg& dialog = Open();
    Select(dialog, "ANSI QS 8x12");
    EXPECT_EQ(dialog.Sample().GetFace(), "ANSI Zobrel 8x12");
    driver.Click(dialog, IDOK);
    driver.ProcessEvents();
    EXPECT_EQ(Fonts().FindFont("ANSI Zobrel 8x12"), 1);
    EXPECT_EQ(Fonts().GetDefaultFont(), 1);
    EXPECT_EQ(panel_->Editor().font, 1);
    EXPECT_GT(_QSglobals.GetDatabase().GetSystemRecordLength(181), 0);

    // Chosen again: not stored a second time.
    fontDlg& again = Open();
    EXPECT_EQ(LineOf(again, "ANSI QS 8x12"), "ANSI QS 8x12\t0 - Loaded");
    EXPECT_EQ(again.SelectedFace(), "ANSI Zobrel 8x12");
    driver.Click(again, IDOK);
    driver.ProcessEvents();
    EXPECT_EQ(Fonts().FindFreeNumber(), 2);
}

TEST_F(FontDialogTest, RemoveRefusesTheDefaultAndTurnsAStoredLineBackIntoItsCost)
{
    ASSERT_TRUE(Fonts().AddFont(1, "Zobrel H12x18"));
    ASSERT_TRUE(Fonts().AddFont(2, "Zobrel T12x18"));
    Fonts().SetDefaultFont(1);
    fontDlg& dialog = Open();
    EXPECT_EQ(dialog.SelectedFace(), "Zobrel H12x18");
    EXPECT_TRUE(driver.Control(dialog, IDC_FONT_REMOVE)->IsWindowEnabled());
    driver.AnswerMessageBox(IDOK);
    driver.Click(dialog, IDC_FONT_REMOVE);
    ASSERT_FALSE(driver.MessageBoxes().empty());
    EXPECT_EQ(driver.MessageBoxes().back().caption, "Font Choice Problem");
    EXPECT_EQ(Fonts().FindFont("Zobrel H12x18"), 1);

    Select(dialog, "QS T12x18");
    driver.Click(dialog, IDC_FONT_REMOVE);
    EXPECT_EQ(Fonts().FindFont("Zobrel T12x18"), -1);
    EXPECT_EQ(LineOf(dialog, "QS T12x18"), "QS T12x18\t" + Cost("Zobrel T12x18"));
    EXPECT_EQ(_QSglobals.GetDatabase().GetSystemRecordLength(182), 0);
    dialog.SendMessage(WM_COMMAND, IDCANCEL);
    driver.ProcessEvents();
}

TEST_F(FontDialogTest, WithNineFontsStoredATenthIsRefusedAndNothingStored)
{
    ASSERT_TRUE(extraAdded_);
    const char* faces[] = {"ANSI Zobrel 8x12", "ANSI Zobrel 8x14", "QS VZKA/MA 6x9", "Zobrel H12x18", "Zobrel H16x24",
                           "Zobrel R12x18",    "Zobrel R16x24",    "Zobrel T12x18",  "Zobrel T16x24"};
    for (int n = 1; n <= 9; ++n)
        ASSERT_TRUE(Fonts().AddFont(n, faces[n - 1])) << faces[n - 1];
    fontDlg& dialog = Open();
    Select(dialog, "QS Extra 6x8");
    driver.AnswerMessageBox(IDOK);
    driver.Click(dialog, IDOK);
    driver.ProcessEvents();
    ASSERT_FALSE(driver.MessageBoxes().empty());
    EXPECT_NE(driver.MessageBoxes().back().text.find("nine fonts"), std::string::npos);
    EXPECT_EQ(Fonts().FindFont("QS Extra 6x8"), -1);
    EXPECT_EQ(Fonts().GetDefaultFont(), 0);
    EXPECT_EQ(panel_->Editor().font, -1);
    EXPECT_TRUE(dialog.IsWindow()) << "the dialog stays for another choice";
    dialog.SendMessage(WM_COMMAND, IDCANCEL);
    driver.ProcessEvents();
}

TEST_F(FontDialogTest, AFileThatCannotBeReadChangesNeitherTheDefaultNorTheSelection)
{
    fontDlg& dialog = Open();
    Select(dialog, "QS R16x24");
    std::filesystem::remove(program_ + "/font/r16x24.fnt");
    driver.AnswerMessageBox(IDOK);
    driver.Click(dialog, IDOK);
    driver.ProcessEvents();
    ASSERT_FALSE(driver.MessageBoxes().empty());
    EXPECT_EQ(driver.MessageBoxes().back().caption, "File access error");
    EXPECT_EQ(driver.MessageBoxes().back().text, "Failed to get data from file: " + program_ + "/font/r16x24.fnt");
    EXPECT_EQ(Fonts().GetDefaultFont(), 0);
    EXPECT_EQ(Fonts().FindFont("Zobrel R16x24"), -1);
    EXPECT_EQ(panel_->Editor().font, -1);
    dialog.SendMessage(WM_COMMAND, IDCANCEL);
    driver.ProcessEvents();
}
