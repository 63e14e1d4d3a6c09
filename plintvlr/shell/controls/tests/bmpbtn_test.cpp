// The bitmap button on the entry test dialog: what it shows for a bitmap
// number, and what a choice in a scripted bitmap picker does.

#include "entry_test_dialog.h"

#include "plintvlr/db/tqs_bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/ui/resources.h"

#include <QCursor>
#include <QWidget>

namespace {

const DibColor kRed{255, 0, 0};
const DibColor kBlue{0, 0, 255};

class BmpbtnTest : public EntryDialogTest {
protected:
    void SetUp() override
    {
        TQSBitmaps& library = GetBitmapLibrary();
        library.ClearAll();
        ASSERT_EQ(library.SetSlotDib(0, Solid(8, 8, kRed)), 1);
        ASSERT_EQ(library.SetSlotDib(4, Solid(8, 8, kBlue)), 1);
        SetBitmapPicker([this](TWindow& parent, TQSBitmaps& library, bool allowFiles, int userValue, int& slot) {
            EXPECT_EQ(&parent, dialog->bitmap);
            EXPECT_EQ(&library, &GetBitmapLibrary());
            EXPECT_TRUE(allowFiles);
            EXPECT_EQ(userValue, 1);
            shownSlots.push_back(slot);
            if (choice)
                slot = *choice;
        });
    }
    void TearDown() override
    {
        SetBitmapPicker(nullptr);
        GetBitmapLibrary().ClearAll();
    }
    // What the control shows when it shows `picture`: stretched over all of it.
    QImage Showing(const TDib& picture)
    {
        const TRect client = dialog->bitmap->GetClientRect();
        QImage image(client.Width(), client.Height(), QImage::Format_RGB32);
        image.fill(Qt::gray);
        TDC dc(image);
        dc.StretchDIBits(client, TRect(0, 0, picture.Width(), picture.Height()), picture);
        return image;
    }
    QImage Shown() { return driver.Grab(*dialog->bitmap).convertToFormat(QImage::Format_RGB32); }

    std::optional<int> choice;  // what the scripted picker chooses; none: cancelled
    std::vector<int> shownSlots;
};

TEST_F(BmpbtnTest, BitmapNumbersShowTheirSlotAndEmptyOrForeignNumbersThePlaceholder)
{
    Open();
    Bmpbtn& button = *dialog->bitmap;
    const QImage red = Showing(Solid(8, 8, kRed));
    const QImage placeholder = Showing(LoadDibResource(nullptr, kNoBitmapPicture));
    ASSERT_NE(red, placeholder);

    button.SetSelectedIndex(1);
    EXPECT_EQ(button.GetSelectedIndex(), 1);
    EXPECT_EQ(Shown(), red);

    // No bitmap (0), the stored "no bitmap" (32760), an empty slot, and
    // numbers outside the library.
    for (int number : {0, 32760, 2, 301, -5}) {
        button.SetSelectedIndex(number);
        EXPECT_EQ(button.GetSelectedIndex(), number);
        EXPECT_EQ(Shown(), placeholder) << number;
    }
}

TEST_F(BmpbtnTest, AChoiceInThePickerIsToldToTheParentOnlyWhenItChanged)
{
    Open();
    Bmpbtn& button = *dialog->bitmap;
    button.SetSelectedIndex(1);

    choice = 0;  // the bitmap shown already
    driver.Click(*dialog, IDC_BITMAP);
    EXPECT_EQ(shownSlots, std::vector<int>{0});
    EXPECT_TRUE(dialog->chosen.empty());
    EXPECT_EQ(button.GetSelectedIndex(), 1);

    choice.reset();  // cancelled
    driver.Click(*dialog, IDC_BITMAP);
    EXPECT_TRUE(dialog->chosen.empty());
    EXPECT_EQ(button.GetSelectedIndex(), 1);

    choice = 4;
    driver.Click(*dialog, IDC_BITMAP);
    ASSERT_EQ(dialog->chosen.size(), 1u);
    EXPECT_EQ(dialog->chosen[0], (std::pair<WPARAM, LPARAM>{IDC_BITMAP, 5}));
    EXPECT_EQ(button.GetSelectedIndex(), 5);
    EXPECT_EQ(Shown(), Showing(Solid(8, 8, kBlue)));  // repainted with the choice

    choice = 32759;  // the picker's "Null BMP"
    driver.Click(*dialog, IDC_BITMAP);
    ASSERT_EQ(dialog->chosen.size(), 2u);
    EXPECT_EQ(dialog->chosen[1], (std::pair<WPARAM, LPARAM>{IDC_BITMAP, 32760}));
    EXPECT_EQ(Shown(), Showing(LoadDibResource(nullptr, kNoBitmapPicture)));
    EXPECT_EQ(shownSlots, (std::vector<int>{0, 0, 0, 4}));
}

TEST_F(BmpbtnTest, TemplatesNameTheClassAndTheButtonShowsTheSelectCursor)
{
    constexpr int kBareDialog = 42691;
    RegisterDialogTemplate(kBareDialog, {"Bare", 0, 0, 80, 40, WS_POPUP | WS_CAPTION, "MS Sans Serif", 8, {
        Control("", 127, "Bmpbtn", 0, 5, 5, 23, 21),
    }});
    TDialog bare(nullptr, kBareDialog);
    bare.Attr.Style |= WS_VISIBLE;
    ASSERT_TRUE(bare.Create());
    auto* button = dynamic_cast<Bmpbtn*>(bare.ChildWithId(127));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->GetSelectedIndex(), 1);  // slot 0 until told otherwise
    const QCursor cursor = button->GetWidget()->cursor();
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), QPoint(0, 0));
    EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32));
}

}  // namespace
