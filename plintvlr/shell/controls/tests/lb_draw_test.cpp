// Bitmap list entries: names, pictures from files (readable or not), and
// where DrawItem puts the picture and the text of an item.

#include "entry_test_dialog.h"

#include "platform/gdi/dc.h"
#include "platform/ui/resources.h"
#include "platform/ui/window_api.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstring>

namespace {

const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kRed = qRgb(255, 0, 0);

// The smallest rectangle holding every pixel of that colour (empty: none).
TRect Extent(const QImage& image, QRgb color)
{
    TRect r(image.width(), image.height(), 0, 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != (color & 0xFFFFFF))
                continue;
            r.left = std::min(r.left, x);
            r.top = std::min(r.top, y);
            r.right = std::max(r.right, x + 1);
            r.bottom = std::max(r.bottom, y + 1);
        }
    }
    return r.left < r.right ? r : TRect();
}

TEST(LbDrawTest, EntriesAreNamedAfterTheirFilesAndNamesKeep32Characters)
{
    struct Case {
        const char* file;
        const char* name;
    };
    const Case cases[] = {
        {"C:\\bitmaps\\pump.bmp", "pump"}, {"pump", "pump"},          {".bmp", ".bmp"},
        {"/home/eng/valve.BMP", "valve"},  {"A:tank.bmp", "tank"},    {"old.v2\\motor", "motor"},
        {"archive.tar.bmp", "archive.tar"}, {"\\pump.bmp", "\\pump"},  {"dir\\.hidden", ".hidden"},
    };
    for (const Case& c : cases) {
        lbDraw entry(c.file, nullptr);
        EXPECT_STREQ(entry.GetText(), c.name) << c.file;
        EXPECT_FALSE(entry.HasPicture());
        EXPECT_EQ(entry.GetLoadError(), DibError::FileOpen);
    }

    const std::string forty(40, 'n');
    lbDraw named(Solid(2, 2, {}), forty.c_str());
    char buffer[lbDraw::kMaxName + 1];
    EXPECT_EQ(named.GetText(buffer), 32);
    EXPECT_EQ(std::string(buffer), forty.substr(0, 32));
    lbDraw fromFile(("C:\\" + forty + ".bmp").c_str(), nullptr);
    EXPECT_EQ(std::string(fromFile.GetText()), forty.substr(0, 32));
    named.SetText("Null BMP");
    EXPECT_EQ(named.GetText(buffer), 8);
    EXPECT_STREQ(buffer, "Null BMP");
    lbDraw unnamed(Solid(2, 2, {}), nullptr);
    EXPECT_STREQ(unnamed.GetText(), "");
}

TEST(LbDrawTest, EntriesFromFilesKeepTheirPathAndTellWhetherThePictureLoaded)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string good = dir.filePath("pump.bmp").toStdString();
    TDib mono(16, 8, 1);
    mono.SetColor(1, {255, 255, 255});
    ASSERT_EQ(mono.WriteFile(good), DibError::None);
    const std::string bad = dir.filePath("broken.bmp").toStdString();
    {
        QFile file(QString::fromStdString(bad));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("BM this is no bitmap at all, only text");
    }

    lbDraw entry(good.c_str(), nullptr);
    ASSERT_TRUE(entry.HasPicture());
    EXPECT_TRUE(entry.GetDib()->SameImage(mono));
    EXPECT_EQ(entry.GetDib()->NumColors(), 2);
    EXPECT_STREQ(entry.GetText(), "pump");
    std::vector<char> path(good.size() + 1);
    ASSERT_TRUE(entry.GetBitmapName(path.data()));
    EXPECT_EQ(std::string(path.data()), good);
    entry.SetBitmapIndex(-1);
    EXPECT_EQ(entry.GetBitmapIndex(), -1);

    lbDraw broken(bad.c_str(), "Broken");
    EXPECT_FALSE(broken.HasPicture());
    EXPECT_EQ(broken.GetDib(), nullptr);
    EXPECT_NE(broken.GetLoadError(), DibError::None);
    EXPECT_STREQ(broken.GetText(), "Broken");

    // An entry made from a bitmap has no path; SetDib gives a new picture.
    lbDraw library(mono, "Bitmap-1");
    EXPECT_FALSE(library.GetBitmapName(path.data()));
    library.SetDib(Solid(3, 3, {1, 2, 3}));
    EXPECT_EQ(library.GetDib()->Width(), 3);
    EXPECT_TRUE(library.GetPath() == nullptr);
}

class LbDrawListTest : public EntryDialogTest {
protected:
    static TDrawnEntry Entry(const TDib& picture, int column, int left, int right, int showText = 0,
                             int columns = 1)
    {
        TDrawnEntry d{std::make_unique<lbDraw>(picture, "entry"), column, left, right};
        d.entry->SetColumns(columns);
        d.entry->SetShowText(showText);
        return d;
    }
    // Draws the list's item 0 with the entries into an image of the item's
    // size, as WM_DRAWITEM hands it to the owner.
    QImage DrawFirstItem(std::vector<TDrawnEntry>& entries, const TRect& item)
    {
        QImage image(item.right + 10, item.bottom + 10, QImage::Format_RGB32);
        image.fill(Qt::white);
        TDC dc(image);
        DRAWITEMSTRUCT d;
        d.CtlType = ODT_LISTBOX;
        d.CtlID = IDC_PICTURES;
        d.itemID = 0;
        d.itemAction = ODA_DRAWENTIRE;
        d.hDC = &dc;
        d.rcItem = item;
        for (TDrawnEntry& e : entries)
            e.entry->DrawItem(*dialog->pictures, d, e.column, e.leftInset, e.rightInset);
        return image;
    }
};

TEST_F(LbDrawListTest, PicturesFillTheirColumnLessInsetsAndKeepTheScrollBarHeightFree)
{
    Open();
    dialog->pictures->AddString("Pump");
    const int bar = GetSystemMetrics(SM_CYHSCROLL);
    const TRect item(10, 20, 111, 80);  // 101 wide: halves of 50

    std::vector<TDrawnEntry> two;
    two.push_back(Entry(Solid(4, 4, {255, 0, 0}), 0, 1, 0, 0, 2));
    two.push_back(Entry(Solid(4, 4, {0, 0, 255}), 1, 0, 1, 0, 2));
    QImage image = DrawFirstItem(two, item);
    // Left: from left + 1 + 1 to left + 50 - 1; right: from left + 50 + 1 to left + 100 - 1 - 1;
    // from top + 1 down to the scroll bar's height and one pixel above the bottom.
    EXPECT_EQ(Extent(image, kRed), TRect(12, 21, 59, 80 - bar - 1));
    EXPECT_EQ(Extent(image, kBlue), TRect(61, 21, 108, 80 - bar - 1));

    // The picker's way: one column, insets 3 and 3.
    std::vector<TDrawnEntry> one;
    one.push_back(Entry(Solid(4, 4, {0, 0, 255}), 0, 3, 3));
    image = DrawFirstItem(one, item);
    EXPECT_EQ(Extent(image, kBlue), TRect(14, 21, 107, 80 - bar - 1));

    // With the text shown, it is written under the picture and the picture
    // makes room for it too.
    std::vector<TDrawnEntry> texted;
    texted.push_back(Entry(Solid(4, 4, {0, 0, 255}), 0, 3, 3, 1));
    image = DrawFirstItem(texted, item);
    const TRect picture = Extent(image, kBlue);
    EXPECT_EQ(picture.top, 21);
    EXPECT_LT(picture.bottom, 80 - bar - 1);
    const int textHeight = 80 - bar - 1 - picture.bottom;
    EXPECT_GT(textHeight, 5);
    const TRect ink = Extent(image, qRgb(0, 0, 0));  // the text's letters
    ASSERT_FALSE(ink.IsEmpty());
    EXPECT_GE(ink.top, 80 - bar - textHeight);
    EXPECT_LE(ink.bottom, 80 - bar);
}

TEST_F(LbDrawListTest, EntriesWithoutAPictureDrawNothing)
{
    Open();
    dialog->pictures->AddString("Broken");
    std::vector<TDrawnEntry> entries;
    entries.push_back({std::make_unique<lbDraw>("/no/such/folder/pump.bmp", nullptr), 0, 3, 3});
    QImage blank(130, 70, QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_EQ(DrawFirstItem(entries, TRect(10, 20, 120, 60)), blank);
    // Items too small for a picture draw nothing either.
    entries.clear();
    entries.push_back(Entry(Solid(4, 4, {0, 0, 255}), 0, 3, 3));
    const int bar = GetSystemMetrics(SM_CYHSCROLL);
    for (const TRect& item : {TRect(0, 0, 10, bar + 1), TRect(0, 0, 6, 40)}) {
        QImage smallBlank(item.right + 10, item.bottom + 10, QImage::Format_RGB32);
        smallBlank.fill(Qt::white);
        EXPECT_EQ(DrawFirstItem(entries, item), smallBlank) << item.Width() << "x" << item.Height();
    }
}

TEST_F(LbDrawListTest, OwnerDrawnListShowsTheEntriesAndTheDialogIsPhotographed)
{
    dialog->itemHeight = 48;
    Open();
    RegisterControlPictures();
    std::vector<TDrawnEntry> first;
    first.push_back(Entry(LoadDibResource(nullptr, kNoBitmapPicture), 0, 1, 0, 0, 2));
    first.push_back(Entry(Solid(6, 6, {0, 0, 255}), 1, 0, 1, 0, 2));
    dialog->AddItem("Null BMP", std::move(first));
    std::vector<TDrawnEntry> second;
    second.push_back(Entry(Solid(6, 6, {255, 0, 0}), 0, 3, 3, 1));
    dialog->AddItem("Alarm", std::move(second));

    TRect item;
    ASSERT_NE(dialog->pictures->GetItemRect(0, item), LB_ERR);
    const int half = item.Width() / 2;
    const int bar = GetSystemMetrics(SM_CYHSCROLL);
    const QImage list = driver.Grab(*dialog->pictures).convertToFormat(QImage::Format_RGB32);
    const TRect blue = Extent(list, kBlue);
    EXPECT_EQ(blue.Width(), half - 1 - 2);
    EXPECT_EQ(blue.Height(), item.Height() - bar - 2);
    const TRect red = Extent(list, kRed);
    EXPECT_EQ(red.Width(), item.Width() - 3 - 3 - 2);
    EXPECT_GT(red.top, blue.bottom);  // the second item

    dialog->num->SetValue(42);
    dialog->spin->SetRange(50, 5);
    dialog->spin->SetValue(12);
    dialog->value->SetLimits(2, false, 0, 0);
    dialog->value->SetScaledValue(1234);
    dialog->bitmap->SetSelectedIndex(0);
    const QImage shot = driver.Grab(*dialog);
    EXPECT_TRUE(shot.save(QString::fromStdString(ScreenshotPath("entry_controls.png"))));
}

}  // namespace
