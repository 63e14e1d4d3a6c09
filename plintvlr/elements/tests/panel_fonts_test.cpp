// The installed panel fonts (the font folder's files matched with the
// registered faces) and storing them in a project: font records, the font
// directory record, shown names, and the fallback of fonts without a cell.

#include "plintvlr/db/tests/project_fixture.h"
#include "plintvlr/elements/tests/text_test_util.h"

#include "platform/base/fnt_file.h"
#include "platform/base/little_endian.h"
#include "platform/base/prompt.h"
#include "plintvlr/elements/font_manager.h"
#include "plintvlr/elements/font_tree.h"

#include <fstream>
#include <iterator>

namespace {

// A font file without a fixed cell (variable pitch).
Bytes VariablePitchFont(const std::string& face)
{
    return PanelFontFile(face, 0);
}

Bytes FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class PanelFonts : public ProjectFixture {
protected:
    void SetUp() override
    {
        ProjectFixture::SetUp();
        REQUIRE_PANEL_FONTS(fonts_);
        FreeFontTree();
        fontFolder_ = program_ + "/font";
        std::filesystem::create_directories(fontFolder_);
        for (const auto& file : std::filesystem::directory_iterator(PLV_FONT_DIR))
            if (file.path().extension() == ".fnt")
                std::filesystem::copy_file(file.path(), fontFolder_ + "/" + file.path().filename().string());
        // A registered panel face whose only file has no fixed cell.
        const Bytes variable = VariablePitchFont("QS Variable");
        const std::string variablePath = fontFolder_ + "/variable.fnt";
        WriteBytes(variablePath, variable);
        variableAdded_ = AddFontResource(variablePath.c_str()) > 0;
        variablePath_ = variablePath;
        RegisterElementsCoreServices();
        CreateAndOpen("FONTS", kMonoPanel);
    }
    void TearDown() override
    {
        if (variableAdded_)
            RemoveFontResource(variablePath_.c_str());
        FreeFontTree();
        ProjectFixture::TearDown();
    }

    fontmanager& Fonts() { return *Db().GetFontManager(); }

    Bytes Record(std::uint16_t key)
    {
        const std::uint16_t length = Db().GetSystemRecordLength(key);
        Bytes record(length);
        std::uint16_t got = length;
        if (length == 0 || Db().GetSystemRecord(key, record.data(), got) != DF_OK)
            return {};
        record.resize(got);
        return record;
    }

    PanelFontsScope fonts_;
    std::string fontFolder_;
    std::string variablePath_;
    bool variableAdded_ = false;
};

}  // namespace

TEST(FaceNames, NineBuiltInPairsBothWaysAndOthersUnchanged)
{
    const struct {
        const char* file;
        const char* shown;
    } pairs[] = {
        {"ANSI Zobrel 5x8", "ANSI QS 5x8"}, {"ANSI Zobrel 8x12", "ANSI QS 8x12"}, {"ANSI Zobrel 8x14", "ANSI QS 8x14"},
        {"Zobrel H12x18", "QS H12x18"},     {"Zobrel H16x24", "QS H16x24"},       {"Zobrel R12x18", "QS R12x18"},
        {"Zobrel R16x24", "QS R16x24"},     {"Zobrel T12x18", "QS T12x18"},       {"Zobrel T16x24", "QS T16x24"},
    };
    for (const auto& p : pairs) {
        std::string name = p.file;
        EXPECT_TRUE(ToShownName(name));
        EXPECT_EQ(name, p.shown);
        EXPECT_TRUE(ToFileName(name));
        EXPECT_EQ(name, p.file);
    }
    std::string other = "QS VZKA/MA 6x9";
    EXPECT_TRUE(ToShownName(other));
    EXPECT_EQ(other, "QS VZKA/MA 6x9");
    std::string tooSmall = "ANSI Zobrel 8x12";
    EXPECT_FALSE(ToShownName(tooSmall, 12)) << "\"ANSI QS 8x12\" needs 13 characters with its NUL";
    EXPECT_EQ(tooSmall, "ANSI Zobrel 8x12");
}

TEST_F(PanelFonts, InstalledFacesHaveTheirFilesAndCellsAndVariablePitchIsLeftOut)
{
    const fonttree& tree = GetFontTree();
    const fonttree::Face* face = tree.Find("ANSI Zobrel 8x12");
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->file, fontFolder_ + "/ansi8x12.fnt");
    EXPECT_EQ(fontmanager::GetInstalledCellSize("ANSI Zobrel 8x12"), (PanelSize{8, 12}));
    EXPECT_EQ(fontmanager::GetFontFileSize("ANSI Zobrel 8x12"), std::filesystem::file_size(face->file));
    int index = 0;
    while (fontmanager::GetInstalledFace(index))
        ++index;
    EXPECT_EQ(static_cast<std::size_t>(index), tree.Faces().size());
    EXPECT_EQ(fontmanager::GetInstalledFace(index), nullptr);

    EXPECT_TRUE(variableAdded_);
    if (variableAdded_) {
        const fonttree::Face* variable = tree.Find("QS Variable");
        ASSERT_NE(variable, nullptr) << "the face is registered";
        EXPECT_TRUE(variable->file.empty()) << "but its file has no cell to lay text out in";
        EXPECT_EQ(fontmanager::GetFontFileSize("QS Variable"), 0u);
        EXPECT_EQ(fontmanager::OpenFontFile("QS Variable"), -1);
        EXPECT_FALSE(Fonts().AddFont(2, "QS Variable"));
    }
}

TEST_F(PanelFonts, StoredFontsAndTheirDirectoryRecord)
{
    ASSERT_TRUE(Fonts().AddFont(1, "ANSI Zobrel 8x12"));
    ASSERT_TRUE(Fonts().AddFont(3, "Zobrel R12x18"));

    // Record 181: the key copy, then the file byte for byte.
    const Bytes record = Record(181);
    const Bytes file = FileBytes(fontFolder_ + "/ansi8x12.fnt");
    ASSERT_EQ(record.size(), file.size() + 2);
    EXPECT_EQ(GetLe16(record.data()), 181);
    EXPECT_TRUE(std::equal(file.begin(), file.end(), record.begin() + 2));
    EXPECT_STREQ(Fonts().GetFontName(1), "ANSI Zobrel 8x12");
    EXPECT_EQ(Fonts().GetFontSize(3), (PanelSize{12, 18}));
    EXPECT_EQ(Fonts().FindFont("Zobrel R12x18"), 3);
    EXPECT_EQ(Fonts().FindFreeNumber(), 2);

    // Directory: key 121, two fonts, slots 1 and 3, 34 bytes.
    Bytes directory(34, 0);
    directory[0] = 121;
    directory[2] = 2;
    directory[4] = 1, directory[5] = 181;
    directory[10] = 3, directory[11] = 183;
    EXPECT_EQ(Hex(Record(121)), Hex(directory));

    // A reloaded project finds them again.
    Fonts().Reload(kMonoPanel);
    EXPECT_STREQ(Fonts().GetFontName(3), "Zobrel R12x18");

    Fonts().RemoveFont(1);
    EXPECT_EQ(Db().GetSystemRecordLength(181), 0);
    EXPECT_STREQ(Fonts().GetFontName(1), Fonts().GetFontName(0)) << "an unloaded number draws in font 0";
    Fonts().RemoveFont(3);
    EXPECT_EQ(Db().GetSystemRecordLength(121), 0) << "the directory goes with the last font";
}

TEST_F(PanelFonts, AFontWithoutAWholeCellFallsBackToFontZero)
{
    // A stored record of a variable-pitch font: not loaded, font 0 answers.
    const Bytes file = VariablePitchFont("QS Variable");
    Bytes record(2);
    PutLe16(record.data(), 184);
    record.insert(record.end(), file.begin(), file.end());
    ASSERT_EQ(Db().PutSystemRecord(184, record.data(), static_cast<std::uint16_t>(record.size())), DF_OK);
    Fonts().Reload(kMonoPanel);
    EXPECT_EQ(Fonts().GetFontSize(4), Fonts().GetFontSize(0));
    EXPECT_STREQ(Fonts().GetFontName(4), Fonts().GetFontName(0));
    EXPECT_EQ(Fonts().FindFreeNumber(), 1);
    // Numbers beyond the ten fonts read nothing outside them.
    EXPECT_EQ(Fonts().GetFontSize(200), Fonts().GetFontSize(0));
    EXPECT_EQ(Fonts().GetEntry(10), nullptr);
}

TEST_F(PanelFonts, AnEmptyFontFileIsReportedAndSkipped)
{
    std::ofstream(fontFolder_ + "/empty.fnt").close();
    ScriptedPrompts prompts;
    const fonttree& tree = GetFontTree();
    ASSERT_EQ(prompts.Shown().size(), 1u);
    EXPECT_EQ(prompts.Shown()[0].text, "Failed to get data from file: " + fontFolder_ + "/empty.fnt");
    EXPECT_EQ(prompts.Shown()[0].caption, "File access error");
    EXPECT_NE(tree.Find("ANSI Zobrel 5x8"), nullptr);
    EXPECT_FALSE(tree.Find("ANSI Zobrel 5x8")->file.empty());
}
