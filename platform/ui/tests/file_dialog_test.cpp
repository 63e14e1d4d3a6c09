// The common file dialogs, answered by script: the name typed, the folder
// and filter chosen, the default extension, the questions for files that
// exist or are missing.

#include "platform/base/files.h"
#include "platform/tests/scoped_env.h"
#include "platform/gdi/printer.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/print_setup_dialog.h"
#include "platform/ui/testing/test_driver.h"

#include <gtest/gtest.h>

namespace {

const char* const kDatabaseFilter = "Database Files(*.DTB)|*.dtb||";
const char* const kProtocolFilter = "QSRTB/SWAQ(*.p1e)|*.p1e|QSRTA(*.pcd)|*.pcd||";

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteWholeFile(folder.Path() + "/LINE1.DTB", "image");
        MakeDir(folder.Path() + "/DBASE");
    }

    TTestDriver driver;
    TempFolder folder;
};

TEST_F(FileDialogTest, OpenAnswersTheChosenFileInItsFolder)
{
    TOpenSaveDialog::TData data(OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST, kDatabaseFilter, nullptr,
                                folder.Path().c_str(), "dtb");
    data.FileName = "*.dtb";
    driver.AnswerFileDialog("line1.dtb");
    EXPECT_EQ(TFileOpenDialog(nullptr, data, 0, "Select Database File").Execute(), IDOK);
    // The name matches the file on disk without regard to case.
    EXPECT_TRUE(FileExists(data.FileName));
    EXPECT_EQ(ResolvePath(data.FileName), folder.Path() + "/LINE1.DTB");
    EXPECT_TRUE(driver.MessageBoxes().empty());
}

TEST_F(FileDialogTest, OpensWithTheFilterAndTheNameGiven)
{
    WriteWholeFile(folder.Path() + "/07.pcd", "driver");
    WriteWholeFile(folder.Path() + "/08.pcd", "driver");
    TOpenSaveDialog::TData data(OFN_FILEMUSTEXIST, kProtocolFilter, nullptr, folder.Path().c_str());
    data.FilterIndex = 2;
    data.FileName = "07.pcd";
    driver.AnswerFileDialog("08.pcd");
    EXPECT_EQ(TFileOpenDialog(nullptr, data, 0, "Select Protocol File").Execute(), IDOK);
    ASSERT_EQ(driver.FileDialogs().size(), 1u);
    const auto& shown = driver.FileDialogs()[0];
    EXPECT_EQ(shown.title, "Select Protocol File");
    EXPECT_EQ(shown.filters.size(), 2u);
    EXPECT_EQ(shown.filterIndex, 2);
    EXPECT_EQ(shown.name, "07.pcd");
    EXPECT_FALSE(shown.save);
    EXPECT_EQ(ResolvePath(data.FileName), folder.Path() + "/08.pcd") << "the name typed, not the one offered";
    EXPECT_EQ(data.FilterIndex, 2);
}

TEST_F(FileDialogTest, MissingFileIsReportedAndTheDialogStaysOpen)
{
    TOpenSaveDialog::TData data(OFN_FILEMUSTEXIST, kDatabaseFilter, nullptr, folder.Path().c_str());
    driver.AnswerMessageBox(IDOK);
    driver.AnswerFileDialog("NOSUCH.DTB");
    driver.CancelFileDialog();
    const std::string before = data.FileName;
    EXPECT_EQ(TFileOpenDialog(nullptr, data).Execute(), IDCANCEL);
    EXPECT_EQ(data.FileName, before) << "a cancelled dialog changes nothing";
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text, "NOSUCH.DTB\nFile not found.\nCheck the file name and try again.");
    EXPECT_EQ(driver.MessageBoxes()[0].caption, "Open");
}

TEST_F(FileDialogTest, SaveAsksBeforeReplacingAFile)
{
    struct Case {
        int answer;
        int result;
    };
    for (const Case& c : {Case{IDNO, IDCANCEL}, Case{IDYES, IDOK}}) {
        SCOPED_TRACE(c.answer);
        const std::size_t asked = driver.MessageBoxes().size();
        TOpenSaveDialog::TData data(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY, kDatabaseFilter, nullptr,
                                    folder.Path().c_str(), "dtb");
        driver.AnswerMessageBox(c.answer);
        driver.AnswerFileDialog("line1");  // with the default extension it names LINE1.DTB
        if (c.answer == IDNO)
            driver.CancelFileDialog();
        EXPECT_EQ(TFileSaveDialog(nullptr, data).Execute(), c.result);
        ASSERT_EQ(driver.MessageBoxes().size(), asked + 1);
        EXPECT_EQ(driver.MessageBoxes().back().text, "line1.dtb already exists.\nDo you want to replace it?");
        EXPECT_EQ(driver.MessageBoxes().back().flags & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
        if (c.result == IDOK) {
            EXPECT_EQ(data.FileName, folder.Path() + "/line1.dtb");
        }
    }

    // A new name asks nothing; with the create question it asks that instead.
    TOpenSaveDialog::TData fresh(OFN_OVERWRITEPROMPT | OFN_CREATEPROMPT, kDatabaseFilter, nullptr,
                                 folder.Path().c_str(), "dtb");
    driver.AnswerMessageBox(IDYES);
    driver.AnswerFileDialog("UPLOAD");
    EXPECT_EQ(TFileSaveDialog(nullptr, fresh).Execute(), IDOK);
    EXPECT_EQ(fresh.FileName, folder.Path() + "/UPLOAD.dtb");
    ASSERT_EQ(driver.MessageBoxes().size(), 3u);
    EXPECT_EQ(driver.MessageBoxes().back().text, "UPLOAD.dtb\nThis file does not exist.\nDo you want to create it?");
}

TEST_F(FileDialogTest, FilterIndexIsKeptAndComesBack)
{
    WriteWholeFile(folder.Path() + "/07.pcd", "driver");
    TOpenSaveDialog::TData data(OFN_FILEMUSTEXIST, kProtocolFilter, nullptr, folder.Path().c_str());
    data.FilterIndex = 2;
    driver.AnswerFileDialog("07.PCD");
    EXPECT_EQ(TFileOpenDialog(nullptr, data, 0, "Select Protocol File").Execute(), IDOK);
    EXPECT_EQ(data.FilterIndex, 2);
    EXPECT_EQ(ResolvePath(data.FileName), folder.Path() + "/07.pcd");
}

TEST_F(FileDialogTest, FolderBrowserAnswersAnExistingFolder)
{
    std::string chosen = folder.Path();
    // Names are typed as a person does, in the folder the dialog shows; a
    // folder that does not exist cannot be chosen.
    driver.AnswerFileDialog("MISSING");
    driver.AnswerFileDialog("DBASE");
    EXPECT_TRUE(BrowseForFolder(nullptr, "Choose the project folder", chosen));
    EXPECT_EQ(chosen, folder.Path() + "/DBASE");

    driver.CancelFileDialog();
    std::string unchanged = "/nowhere";
    EXPECT_FALSE(BrowseForFolder(nullptr, nullptr, unchanged));
    EXPECT_EQ(unchanged, "/nowhere");

    // A caption of its own; the title then stands above the folders.
    driver.CancelFileDialog();
    std::string start = folder.Path() + "/DBASE";
    EXPECT_FALSE(BrowseForFolder(nullptr, "Select Bitmap Folder:", start, "Choose Directory"));
    ASSERT_FALSE(driver.FileDialogs().empty());
    EXPECT_EQ(driver.FileDialogs().back().title, "Choose Directory");
    EXPECT_EQ(driver.FileDialogs().back().prompt, "Select Bitmap Folder:");
    EXPECT_EQ(driver.FileDialogs().back().folder, folder.Path() + "/DBASE");
    EXPECT_EQ(driver.FileDialogs()[0].title, "Choose the project folder");
}

}  // namespace

namespace {

TEST(PrintSetupTest, OkKeepsTheChoiceAndCancelTakesTheDefaultPrinterBack)
{
    TTestDriver driver;
    TWindow frame(nullptr, "Plintorvaler 5.20");
    driver.Show(frame);
    TPrinter printer;
    printer.SetOutputFileName("/tmp/plv-print-setup.pdf");
    driver.AnswerPrintDialog(true);
    EXPECT_TRUE(PrinterSetup(&frame, printer));
    EXPECT_EQ(printer.GetOutputFileName(), "/tmp/plv-print-setup.pdf");
    driver.AnswerPrintDialog(false);
    EXPECT_FALSE(PrinterSetup(&frame, printer));
    EXPECT_EQ(printer.GetOutputFileName(), "") << "Cancel puts the default printer back";
}

}  // namespace
