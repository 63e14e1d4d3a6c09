// The bitmap picker driven as the engineer uses it: the library's bitmaps,
// "Null BMP" and the two-colour files of the bitmap folder; choosing,
// importing, removing, browsing to another folder; the bitmap button that
// opens it.

#include "plintvlr/db/tests/project_fixture.h"

#include "platform/base/paths.h"
#include "platform/ui/controls/list_box.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/help.h"
#include "platform/ui/testing/test_driver.h"
#include "plintvlr/db/tqs_bitmaps.h"
#include "plintvlr/elements/bitmap_elem.h"
#include "plintvlr/elements/bmppick_dlg.h"
#include "plintvlr/shell/command_registry.h"
#include "plintvlr/shell/controls/bmpbtn.h"
#include "plintvlr/shell/controls/control_pictures.h"

#include <QDir>

namespace {

TDib Picture(int width, int height, int bits = 1)
{
    return TDib(width, height, bits);
}

class BitmapPickerTest : public ProjectFixture {
protected:
    void SetUp() override
    {
        ProjectFixture::SetUp();
        RegisterControlPictures();
        RegisterBitmapPickerResources();
        CreateAndOpen("PICKER", 14);
        GetBitmapLibrary().ClearAll();
        BitmapPickerFolder().clear();
        bitmaps_ = program_ + "/bitmaps";
        ASSERT_TRUE(MakeDir(bitmaps_));
        ASSERT_EQ(Picture(16, 8).WriteFile(bitmaps_ + "/pump.bmp"), DibError::None);
        ASSERT_EQ(Picture(16, 8, 4).WriteFile(bitmaps_ + "/colour16.bmp"), DibError::None);
        ASSERT_EQ(Picture(16, 8, 8).WriteFile(bitmaps_ + "/colour256.bmp"), DibError::None);
        ASSERT_TRUE(WriteWholeFile(bitmaps_ + "/tiny.bmp", "BM0123456789"));
        ASSERT_TRUE(WriteWholeFile(bitmaps_ + "/broken.bmp", "BM this is not a bitmap at all"));
        ASSERT_EQ(Picture(24, 12).WriteFile(bitmaps_ + "/valve.BMP"), DibError::None);
    }
    void TearDown() override
    {
        GetBitmapLibrary().ClearAll();
        BitmapPickerFolder().clear();
        ProjectFixture::TearDown();
    }

    static TListBox& List(TDialog& d) { return *dynamic_cast<TListBox*>(d.ChildWithId(IDC_PICK_LIST)); }
    static std::vector<std::string> Texts(TDialog& d)
    {
        std::vector<std::string> texts;
        for (int i = 0; i < List(d).GetCount(); ++i)
            texts.push_back(List(d).GetString(i));
        return texts;
    }
    static bool RemoveEnabled(TDialog& d) { return d.ChildWithId(IDC_PICK_REMOVE)->IsWindowEnabled(); }
    static std::string Field(TDialog& d, int id) { return d.ChildWithId(id)->GetWindowText(); }

    // Runs the picker on `slot` with the script; the slot afterwards.
    int Pick(int slot, std::function<void(TDialog&)> script, bool allowFiles = true)
    {
        TWindow owner(nullptr, "owner");
        driver.Show(owner);
        driver.OnNextDialog(std::move(script));
        bmppickDlg picker(&owner, TResId(), GetBitmapLibrary(), allowFiles, 1, &slot);
        EXPECT_EQ(picker.Execute(), IDCANCEL);
        return slot;
    }

    TTestDriver driver;
    std::string bitmaps_;
};

}  // namespace

TEST_F(BitmapPickerTest, AnEmptyLibraryShowsNullBmpAndTheFoldersTwoColourFiles)
{
    const int slot = Pick(5, [&](TDialog& d) {
        // 16- and 256-colour pictures, tiny and unreadable files are left out.
        EXPECT_EQ(Texts(d), std::vector<std::string>({"Null BMP", "pump", "valve"}));
        EXPECT_EQ(Field(d, IDC_PICK_FOLDER), program_ + "\\bitmaps\\");
        driver.ClickListItem(d, IDC_PICK_LIST, 2);
        EXPECT_EQ(Field(d, IDC_PICK_X), "24");
        EXPECT_EQ(Field(d, IDC_PICK_Y), "12");
        EXPECT_EQ(Field(d, IDC_PICK_BYTES), "48");  // 12 rows of 4 bytes
        driver.ClickListItem(d, IDC_PICK_LIST, 0);
        driver.Click(d, IDC_PICK_OK);
    });
    EXPECT_EQ(slot, bmppickDlg::kNullIndex);
    EXPECT_EQ(BitmapPickerFolder(), program_ + "\\bitmaps\\");
}

TEST_F(BitmapPickerTest, OpensOnTheCurrentBitmapAndRemovesOnlyLibraryBitmaps)
{
    TQSBitmaps& library = GetBitmapLibrary();
    ASSERT_EQ(library.SetSlot(3, Picture(8, 8), "ALPHA"), 1);
    ASSERT_EQ(library.SetSlot(7, Picture(10, 6), "BETA"), 1);
    const int slot = Pick(7, [&](TDialog& d) {
        EXPECT_EQ(Texts(d), std::vector<std::string>({"Null BMP", "ALPHA", "BETA", "pump", "valve"}));
        EXPECT_EQ(List(d).GetSelIndex(), 2);
        EXPECT_EQ(Field(d, IDC_PICK_X), "10");
        EXPECT_TRUE(RemoveEnabled(d));
        const struct {
            int item;
            bool removable;
        } clicks[] = {{0, false}, {3, false}, {1, true}};
        for (const auto& c : clicks) {
            driver.ClickListItem(d, IDC_PICK_LIST, c.item);
            EXPECT_EQ(RemoveEnabled(d), c.removable) << c.item;
        }
        const QImage shot = driver.Grab(d);
        QDir().mkpath(PLV_SCREENSHOT_DIR);
        shot.save(PLV_SCREENSHOT_DIR "/bitmap_picker.png");
        driver.Click(d, IDC_PICK_REMOVE);
        EXPECT_EQ(Texts(d), std::vector<std::string>({"Null BMP", "BETA", "pump", "valve"}));
        EXPECT_EQ(List(d).GetSelIndex(), -1);
        EXPECT_FALSE(RemoveEnabled(d));
        driver.Click(d, IDCANCEL);
    });
    EXPECT_EQ(slot, 7);
    EXPECT_FALSE(library.HasBitmap(3));
    EXPECT_TRUE(library.HasBitmap(7));
}

TEST_F(BitmapPickerTest, AFileIsImportedIntoTheFirstFreeSlot)
{
    TQSBitmaps& library = GetBitmapLibrary();
    ASSERT_EQ(library.SetSlot(0, Picture(8, 8), "ALPHA"), 1);
    ASSERT_EQ(library.SetSlot(1, Picture(8, 4), "BETA"), 1);
    const int slot = Pick(0, [&](TDialog& d) {
        driver.ClickListItem(d, IDC_PICK_LIST, 3);  // "pump"
        driver.Click(d, IDC_PICK_OK);
    });
    EXPECT_EQ(slot, 2);
    ASSERT_TRUE(library.HasBitmap(2));
    EXPECT_EQ(library.GetName(2), "pump");
    EXPECT_EQ(library.GetDib(2)->Width(), 16);

    // Cancel, and OK on a picture too large to import, keep the slot.
    EXPECT_EQ(Pick(2, [&](TDialog& d) { driver.Click(d, IDCANCEL); }), 2);
    ASSERT_EQ(Picture(2048, 256).WriteFile(bitmaps_ + "/huge.bmp"), DibError::None);  // 65536 bytes of rows
    const int kept = Pick(2, [&](TDialog& d) {
        ASSERT_EQ(List(d).GetString(4), "huge");
        driver.ClickListItem(d, IDC_PICK_LIST, 4);
        driver.AnswerMessageBox(IDOK);
        driver.Click(d, IDC_PICK_OK);
    });
    EXPECT_EQ(kept, 2);
    ASSERT_FALSE(driver.MessageBoxes().empty());
    EXPECT_EQ(driver.MessageBoxes().back().text,
              "The selected bitmap is too large for display on this Quellstor.. Modify the bitmap or choose another.");
    EXPECT_EQ(driver.MessageBoxes().back().caption, "Application Message");
    EXPECT_EQ(library.FindFreeSlot(), 3);
}

TEST_F(BitmapPickerTest, BrowsingReplacesTheFilesAndKeepsTheLibrary)
{
    ASSERT_EQ(GetBitmapLibrary().SetSlot(4, Picture(8, 8), "ALPHA"), 1);
    const std::string other = program_ + "/other";
    ASSERT_TRUE(MakeDir(other));
    ASSERT_EQ(Picture(8, 8).WriteFile(other + "/gauge.bmp"), DibError::None);
    Pick(-1, [&](TDialog& d) {
        driver.AnswerFileDialog(other);
        driver.Click(d, IDC_PICK_BROWSE);
        EXPECT_EQ(Texts(d), std::vector<std::string>({"Null BMP", "ALPHA", "gauge"}));
        EXPECT_EQ(Field(d, IDC_PICK_FOLDER), other + "\\");
        driver.Click(d, IDCANCEL);
    });
    ASSERT_EQ(driver.FileDialogs().size(), 1u);
    EXPECT_EQ(driver.FileDialogs()[0].title, "Choose Directory");
    EXPECT_EQ(driver.FileDialogs()[0].prompt, "Select Bitmap Folder:");
    EXPECT_EQ(driver.FileDialogs()[0].folder, bitmaps_);
    // The folder stays for the next picker.
    EXPECT_EQ(BitmapPickerFolder(), other + "\\");
    Pick(-1, [&](TDialog& d) {
        EXPECT_EQ(Texts(d), std::vector<std::string>({"Null BMP", "ALPHA", "gauge"}));
        driver.Click(d, IDCANCEL);
    });
}

TEST_F(BitmapPickerTest, WithoutFilesOnlyTheLibraryAndNoBrowsing)
{
    const std::size_t helps = HelpRequests().size();
    Pick(-1, [&](TDialog& d) {
        EXPECT_EQ(Texts(d), std::vector<std::string>({"Null BMP"}));
        EXPECT_FALSE(d.ChildWithId(IDC_PICK_BROWSE)->IsWindowEnabled());
        driver.AnswerMessageBox(IDOK);  // no help is installed here
        driver.Click(d, IDC_PICK_HELP);
        driver.Click(d, IDCANCEL);
    }, false);
    ASSERT_EQ(HelpRequests().size(), helps + 1);
    EXPECT_EQ(HelpRequests().back().command, HELP_CONTEXT);
    EXPECT_EQ(HelpRequests().back().data, 45u);
}

TEST_F(BitmapPickerTest, TheDefaultFolderIsBitmapsInTheProgramFolder)
{
    _QSglobals.SetProgramDirectory("C:\\");
    Pick(-1, [&](TDialog& d) { driver.Click(d, IDCANCEL); });
    EXPECT_EQ(BitmapPickerFolder(), "C:\\bitmaps\\");

    // The main frame's set-up empties it again.
    RegisterBitmapPicker();
    RunFrameSetupSteps();
    EXPECT_EQ(BitmapPickerFolder(), "");
}

TEST_F(BitmapPickerTest, TheBitmapButtonOpensThePicker)
{
    ASSERT_EQ(GetBitmapLibrary().SetSlot(3, Picture(8, 8), "ALPHA"), 1);
    RegisterBitmapPicker();
    RegisterBmpbtnClass();
    RegisterDialogTemplate(4711, {"Buttons", 0, 0, 100, 60, WS_POPUP | WS_CAPTION, "MS Sans Serif", 8, {
        Control("", 949, "Bmpbtn", WS_TABSTOP, 10, 10, 23, 21),
    }});
    TDialog host(nullptr, 4711);
    auto* button = new Bmpbtn(&host, 949);
    button->SetSelectedIndex(kNoBitmap);
    driver.Show(host);
    driver.OnNextDialog([&](TDialog& d) {
        EXPECT_NE(dynamic_cast<bmppickDlg*>(&d), nullptr);
        EXPECT_EQ(List(d).GetSelIndex(), 0);  // "Null BMP"
        driver.ClickListItem(d, IDC_PICK_LIST, 1);
        driver.Click(d, IDC_PICK_OK);
    });
    driver.Click(host, 949);
    EXPECT_EQ(button->GetSelectedIndex(), 4);
}
