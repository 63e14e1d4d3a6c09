// The project dialogs: Open Project's list, preview and refusals, New
// Project's checks and the records of a new project, Save As's copy and its
// model lists, Open DTB File's extraction and its refusals.

#include "shell_fixture.h"
#include "stand_in_editors.h"

#include "plintvlr/db/download_image.h"
#include "plintvlr/db/menv_registry.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/project_dialogs.h"
#include "plintvlr/shell/status_line.h"
#include "platform/ui/controls/combo_box.h"

#include <QCoreApplication>
#include <QTimer>

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

class ProjectDialogsTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        // A previous test's frame ended the application's loop on its way
        // out; until a loop runs again every modal loop would end at once.
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }

    // Starts the frame on project `name` of panel type `type`, with the
    // project commands and stand-in editors registered.
    MDIFrame& StartOn(const std::string& name, int type)
    {
        standIns.RegisterAll();
        RegisterProjectCommands();
        MakeLastProject(name, type);
        MDIFrame& frame = Start();
        return frame;
    }

    static void MakeProject(const std::string& name, int type)
    {
        adatabase db;
        db.SetPanelType(type);
        ASSERT_EQ(db.Create(name), 1);
    }

    std::string Dbase() const { return program_ + "/DBASE"; }

    static std::vector<std::string> Items(TDialog& dialog, int id)
    {
        auto* list = dynamic_cast<TComboBox*>(dialog.ChildWithId(id));
        std::vector<std::string> items;
        for (int i = 0; list && i < list->GetCount(); ++i)
            items.push_back(list->GetString(i));
        return items;
    }

    // Replaces what a field holds by what the engineer types.
    void Retype(TDialog& dialog, int id, const std::string& text)
    {
        driver.Control(dialog, id)->SetWindowText("");
        driver.Type(dialog, id, text);
    }

    std::string Text(TDialog& dialog, int id) { return driver.Control(dialog, id)->GetWindowText(); }

    static std::vector<std::uint8_t> SystemRecord(adatabase& db, std::uint32_t key)
    {
        std::vector<std::uint8_t> record(512);
        std::uint16_t length = static_cast<std::uint16_t>(record.size());
        if (db.GetSystemRecord(key, record.data(), length) != 0)
            return {};
        record.resize(length);
        return record;
    }

    adatabase& Db() { return _QSglobals.GetDatabase(); }

    StandIns standIns;
};

// A top-level window captioned as the size warning, while it lives.
class TSizeWarning : public TWindow {
public:
    TSizeWarning() : TWindow(nullptr, "Database is too large       ") { Attr.Style = WS_POPUP | WS_CAPTION; }
};

TEST_F(ProjectDialogsTest, OpenListsProjectFoldersAndPreviewsWithoutOpening)
{
    StartOn("LINE1", 14);
    MakeProject("KA1", 16);
    for (const char* folder : {".hidden", "LONGNAME1", "NOPROJ"})
        std::filesystem::create_directories(Dbase() + "/" + folder);
    std::ofstream(Dbase() + "/plain") << "x";

    std::vector<std::string> items;
    std::vector<std::string> shown;
    driver.OnNextDialog([&](TDialog& dialog) {
        items = Items(dialog, IDC_PROJECT_LIST);
        shown.push_back(Text(dialog, IDC_PROJECT_LIST) + "/" + Text(dialog, IDC_PROJECT_MODEL));
        driver.SelectComboItem(dialog, IDC_PROJECT_LIST, "KA1");
        shown.push_back(Text(dialog, IDC_PROJECT_MODEL) + "/" + Text(dialog, IDC_OPEN_VERSION));
        EXPECT_EQ(Db().GetName(), "LINE1");
        EXPECT_TRUE(Db().IsOpen());
        EXPECT_TRUE(Screenshot(dialog, "open_project_dialog"));
        // A folder without record files: nothing shown, and not opened.
        driver.SelectComboItem(dialog, IDC_PROJECT_LIST, "NOPROJ");
        shown.push_back(Text(dialog, IDC_PROJECT_MODEL) + "/" + Text(dialog, IDC_OPEN_VERSION));
        driver.Click(dialog, IDC_OPEN_OK);
        EXPECT_TRUE(dialog.IsWindow());
        EXPECT_EQ(Db().GetName(), "LINE1");
        EXPECT_TRUE(Db().IsOpen());
        driver.Click(dialog, IDCANCEL);
    });
    driver.AnswerMessageBox(IDOK);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_OPENPROJECT));
    EXPECT_EQ(items, (std::vector<std::string>{"KA1", "LINE1", "NOPROJ"}));
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], "LINE1/Quellstor SWA Q");
    EXPECT_EQ(shown[1].substr(0, 13), "Quellstor KA/");
    EXPECT_EQ(shown[2], "/");
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text, "NOPROJ is not a project");
    EXPECT_EQ(Db().GetName(), "LINE1");
}

TEST_F(ProjectDialogsTest, OpenMakesAMissingDbaseAndReopensTheOpenProject)
{
    StartOn("LINE1", 14);
    std::filesystem::remove_all(Dbase() + "/LINE1");
    std::filesystem::remove_all(Dbase());
    std::vector<std::string> items{"unset"};
    driver.OnNextDialog([&](TDialog& dialog) {
        items = Items(dialog, IDC_PROJECT_LIST);
        // No name chosen: OK changes nothing.
        driver.Click(dialog, IDC_OPEN_OK);
        EXPECT_TRUE(dialog.IsWindow());
        driver.Click(dialog, IDCANCEL);
    });
    PVdbselectDlg(&Client()).Execute();
    EXPECT_TRUE(items.empty());
    EXPECT_TRUE(std::filesystem::is_directory(Dbase()));
}

TEST_F(ProjectDialogsTest, OpenSwitchesProjectsAndSetsAMissingStartupFlag)
{
    StartOn("LINE1", 14);
    MakeProject("KA1", 16);
    MessageTableRegistry() = new Menv_registry;
    driver.OnNextDialog([&](TDialog& dialog) {
        driver.SelectComboItem(dialog, IDC_PROJECT_LIST, "KA1");
        driver.Click(dialog, IDC_OPEN_OK);
    });
    const int made = standIns.Made(TEditorKind::GraphicPages);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_OPENPROJECT));
    EXPECT_EQ(Db().GetName(), "KA1");
    EXPECT_EQ(Db().GetPanelType(), 16);
    EXPECT_EQ(Frame().GetCaption(), "Plintorvaler 5.20 - KA1");
    EXPECT_EQ(MessageTableRegistry(), nullptr);
    EXPECT_EQ(standIns.Made(TEditorKind::GraphicPages), made + 1);
    EXPECT_EQ(_QSglobals.GetStartupFlag(), 1);
    EXPECT_EQ(_QSglobals.GetProjectDirectory(), adatabase::ProjectFolderFor("KA1"));

    // The open project's own name opens it again.
    driver.OnNextDialog([&](TDialog& dialog) { driver.Click(dialog, IDC_OPEN_OK); });
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_OPENPROJECT));
    EXPECT_EQ(Db().GetName(), "KA1");
    EXPECT_TRUE(Db().IsOpen());
}

TEST_F(ProjectDialogsTest, TheSizeWarningBlocksOkAndCancelOfOpenAndNew)
{
    StartOn("LINE1", 14);
    TSizeWarning warning;
    warning.Create();
    warning.ShowWindow(SW_SHOW);
    driver.ProcessEvents();
    for (bool open : {true, false}) {
        driver.OnNextDialog([&](TDialog& dialog) {
            driver.Click(dialog, open ? IDC_OPEN_OK : IDOK);
            EXPECT_TRUE(dialog.IsWindow());
            driver.Click(dialog, IDCANCEL);
            EXPECT_TRUE(dialog.IsWindow());
            warning.Destroy();
            driver.Click(dialog, IDCANCEL);
        });
        if (open)
            EXPECT_EQ(PVdbselectDlg(&Client()).Execute(), IDCANCEL);
        else
            EXPECT_EQ(TNewDBaseDlg(&Client()).Execute(), IDCANCEL);
        warning.Create();
        driver.ProcessEvents();
    }
    EXPECT_EQ(Db().GetName(), "LINE1");
}

TEST_F(ProjectDialogsTest, NewRefusesBadNamesAndMakesATextPanelProject)
{
    StartOn("LINE1", 14);
    std::string typed;
    std::vector<std::string> models;
    driver.OnNextDialog([&](TDialog& dialog) {
        models = Items(dialog, IDC_PROJECT_LIST);
        EXPECT_TRUE(Screenshot(dialog, "new_project_dialog"));
        driver.Click(dialog, IDOK);
        Retype(dialog, IDC_PROJECT_NAME, "line1");
        driver.Click(dialog, IDOK);
        Retype(dialog, IDC_PROJECT_NAME, "a:b");
        driver.Click(dialog, IDOK);
        EXPECT_TRUE(dialog.IsWindow());
        EXPECT_EQ(Db().GetName(), "LINE1");
        Retype(dialog, IDC_PROJECT_NAME, "LONGNAME9");
        typed = Text(dialog, IDC_PROJECT_NAME);
        Retype(dialog, IDC_PROJECT_NAME, "KA2");
        driver.SelectComboItem(dialog, IDC_PROJECT_LIST, "Quellstor KA");
        driver.Click(dialog, IDOK);
    });
    for (int i = 0; i < 3; ++i)
        driver.AnswerMessageBox(IDOK);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_NEWPROJECT));
    EXPECT_EQ(typed, "LONGNAME");
    ASSERT_EQ(models.size(), 13u);
    EXPECT_EQ(models[0], "Quellstor SWA Q");
    EXPECT_EQ(models[3], "Quellstor PB");
    EXPECT_EQ(models[12], "Quellstor KA");

    const auto& boxes = driver.MessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "You must enter a name for the new database.");
    EXPECT_EQ(boxes[0].caption, "Error: no name");
    EXPECT_EQ(boxes[1].text, "Database line1 exists. Please enter another name.");
    EXPECT_EQ(boxes[1].caption, "Error: name in use");
    EXPECT_NE(boxes[2].text.find("may not contain"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(Dbase() + "/a:b"));

    adatabase& db = Db();
    ASSERT_TRUE(db.IsOpen());
    EXPECT_EQ(db.GetName(), "KA2");
    EXPECT_EQ(db.GetPanelType(), 16);
    const std::vector<std::uint8_t> info = SystemRecord(db, kRecProjectInfo);
    ASSERT_GE(info.size(), 71u);
    EXPECT_EQ(info[70], 16);
    const std::vector<std::uint8_t> settings = SystemRecord(db, kRecSystemSettings);
    ASSERT_GE(settings.size(), 16u);
    EXPECT_EQ(settings[12], Quellstor(16).GetDefaultContrast());
    EXPECT_EQ(settings[15], Quellstor(16).GetDefaultBacklightTimeout());
    EXPECT_TRUE(SystemRecord(db, kRecOptionFlags).empty());
    EXPECT_EQ(_QSglobals.GetStartupFlag(), 0);
    EXPECT_EQ(Frame().GetCaption(), "Plintorvaler 5.20 - KA2");
    EXPECT_EQ(TStatusLine::GetStatusLine()->GetPaneText(TStatusLine::IDG_MODEL), "KA");

    // A graphic project of type 14 gets its option flags.
    driver.OnNextDialog([&](TDialog& dialog) {
        Retype(dialog, IDC_PROJECT_NAME, "SWA1");
        driver.Click(dialog, IDOK);
    });
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_NEWPROJECT));
    EXPECT_EQ(Db().GetName(), "SWA1");
    EXPECT_EQ(Db().GetPanelType(), 14);
    EXPECT_FALSE(SystemRecord(Db(), kRecOptionFlags).empty());
}

TEST_F(ProjectDialogsTest, SaveAsModelListsFollowTheOpenType)
{
    const auto names = [](int type) {
        std::vector<std::string> texts;
        for (const TModelChoice& model : SaveAsModels(type))
            texts.push_back(model.text);
        return texts;
    };
    EXPECT_EQ(names(14), (std::vector<std::string>{"Quellstor SWA Q"}));
    EXPECT_EQ(names(5), (std::vector<std::string>{"Quellstor SWA Q"}));
    EXPECT_EQ(names(21), (std::vector<std::string>{"Quellstor SWA Q", "Quellstor RTB", "Quellstor RTA",
                                                   "Quellstor PB", "Quellstor PA"}));
    EXPECT_EQ(names(9), (std::vector<std::string>{"Quellstor SWA Q", "Quellstor RTB"}));
    ASSERT_EQ(SaveAsModels(16).size(), 13u);
    EXPECT_EQ(names(16), [] {
        std::vector<std::string> all;
        for (const TModelChoice& model : NewProjectModels())
            all.push_back(model.text);
        return all;
    }());
}

TEST_F(ProjectDialogsTest, SaveAsCopiesTheProjectForAnotherModel)
{
    StartOn("KA1", 16);
    const std::string message = "pump";
    ASSERT_EQ(Db().PutMessage(7, message.data(), static_cast<std::uint16_t>(message.size())), 0);

    driver.OnNextDialog([&](TDialog& dialog) {
        EXPECT_EQ(dialog.GetCaption(), "Save As Another Project");
        EXPECT_TRUE(Screenshot(dialog, "save_as_dialog"));
        Retype(dialog, IDC_PROJECT_NAME, "ka1");
        driver.Click(dialog, IDOK);
        EXPECT_TRUE(dialog.IsWindow());
        Retype(dialog, IDC_PROJECT_NAME, "COPY1");
        driver.SelectComboItem(dialog, IDC_PROJECT_LIST, "Quellstor MA");
        driver.Click(dialog, IDOK);
    });
    driver.AnswerMessageBox(IDOK);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_SAVEPROJECTAS));
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text, "Database exists.  You must choose another name.");

    EXPECT_TRUE(Db().IsOpen());
    EXPECT_EQ(Db().GetName(), "KA1");
    EXPECT_EQ(Db().GetPanelType(), 16);
    const std::vector<std::uint8_t> own = SystemRecord(Db(), kRecProjectInfo);
    ASSERT_GE(own.size(), 71u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&own[2])), "KA1");
    EXPECT_EQ(own[70], 16);

    adatabase copy;
    ASSERT_EQ(copy.OpenProject("COPY1"), 1);
    EXPECT_EQ(copy.GetPanelType(), 15);
    const std::vector<std::uint8_t> info = SystemRecord(copy, kRecProjectInfo);
    ASSERT_GE(info.size(), 71u);
    EXPECT_EQ(info[0] | info[1] << 8, 102);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&info[2])), "COPY1");
    EXPECT_EQ(info[70], 15);
    char text[16] = {};
    std::uint16_t length = sizeof text;
    ASSERT_EQ(copy.GetMessage(7, text, length), 0);
    EXPECT_EQ(std::string(text, length), message);
}

// A panel database file of project `name` whose record 102 names program
// version `version`.
std::string MakeImage(const std::string& name, int type, const char* version)
{
    {
        adatabase db;
        db.SetPanelType(type);
        EXPECT_EQ(db.Create(name), 1);
        EXPECT_EQ(db.OpenProject(name), 1);
        const std::string message = "valve";
        db.PutMessage(3, message.data(), static_cast<std::uint16_t>(message.size()));
        db.Close();
    }
    // The program version is written when a project closes: it is set after.
    const std::string folder = adatabase::ProjectFolderFor(name);
    const int handle = DfOpen(folder + "/" + TableFileName(kTableSystem));
    EXPECT_GE(handle, 0);
    std::array<std::uint8_t, kProjectInfoLength> info{};
    std::uint16_t length = kProjectInfoLength;
    EXPECT_EQ(DfReadRecord(handle, kRecProjectInfo, info.data(), length), 0);
    std::fill(info.begin() + 28, info.begin() + 38, 0);
    std::copy(version, version + std::strlen(version), info.begin() + 28);
    EXPECT_EQ(DfWriteRecord(handle, kRecProjectInfo, info.data(), kProjectInfoLength), 0);
    DfClose(handle);
    const std::string file = folder + "/" + name + ".DTB";
    EXPECT_EQ(BuildDownloadImage(file, folder, type, {}), 0);
    return file;
}

TEST_F(ProjectDialogsTest, OpenDtbRefusesOldDamagedAndOpenDestinations)
{
    StartOn("LINE1", 14);
    const std::string old = MakeImage("OLD", 14, "2.5.1");
    const std::string damaged = program_ + "/damaged.dtb";
    std::ofstream(damaged) << "short";

    struct Case {
        std::string source;
        std::string destination;
        std::vector<int> answers;
        std::string last;
    };
    const Case cases[] = {
        {"", "X", {IDOK}, "No database source has been selected.  Try again."},
        {old, "", {IDOK}, "No destination has been selected for the extracted database.  Try again."},
        {old, "line1", {IDYES, IDOK},
         "The current database cannot be specified as the destination.  Choose a different name."},
        {old, "NEW1", {IDNO}, "Database does not exist.  Create?"},
        {old, "LINE1", {IDNO}, "Database Exists. Overwrite?"},
        {old, "OLD", {IDYES, IDOK}, "Unable to import. Source database version too old"},
        {damaged, "OLD", {IDYES, IDOK}, "Source file error"},
        {program_, "OLD", {IDYES, IDOK}, "Source file error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source + " -> " + c.destination);
        const std::size_t before = driver.MessageBoxes().size();
        driver.OnNextDialog([&](TDialog& dialog) {
            Retype(dialog, IDC_DTB_SOURCE, c.source);
            Retype(dialog, IDC_DTB_DESTINATION, c.destination);
            driver.Click(dialog, IDOK);
            if (dialog.IsExecuting())
                driver.Click(dialog, IDCANCEL);
        });
        for (int answer : c.answers)
            driver.AnswerMessageBox(answer);
        const bool ended = extractdbDlg(&Frame()).Execute() == IDOK;
        ASSERT_EQ(driver.MessageBoxes().size(), before + c.answers.size());
        EXPECT_EQ(driver.MessageBoxes().back().text, c.last);
        EXPECT_EQ(Db().GetName(), "LINE1");
        EXPECT_TRUE(Db().IsOpen());
        EXPECT_EQ(ended, c.last == "Source file error" || c.last.starts_with("Unable"));
    }
    EXPECT_FALSE(std::filesystem::exists(Dbase() + "/NEW1"));
}

TEST_F(ProjectDialogsTest, OpenDtbFillsANewProjectAndOpensIt)
{
    StartOn("LINE1", 14);
    const std::string image = program_ + "/src.dtb";
    std::filesystem::copy_file(MakeImage("SRC", 16, "5.1.0"), image);
    MessageTableRegistry() = new Menv_registry;
    driver.OnNextDialog([&](TDialog& dialog) {
        EXPECT_TRUE(Screenshot(dialog, "open_dtb_dialog"));
        driver.AnswerFileDialog("src.dtb");
        driver.Click(dialog, IDC_DTB_BROWSE);
        EXPECT_EQ(Text(dialog, IDC_DTB_SOURCE), image);
        Retype(dialog, IDC_DTB_DESTINATION, "FILLED");
        driver.Click(dialog, IDOK);
    });
    driver.AnswerMessageBox(IDYES);
    ASSERT_TRUE(driver.ChooseMenuItem(Frame(), CM_OPENDTBFILE));
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text, "Database does not exist.  Create?");
    EXPECT_EQ(Db().GetName(), "FILLED");
    EXPECT_EQ(Db().GetPanelType(), 16);
    char text[16] = {};
    std::uint16_t length = sizeof text;
    ASSERT_EQ(Db().GetMessage(3, text, length), 0);
    EXPECT_EQ(std::string(text, length), "valve");
    EXPECT_EQ(MessageTableRegistry(), nullptr);
    EXPECT_EQ(Frame().GetCaption(), "Plintorvaler 5.20 - FILLED");
}

}  // namespace
