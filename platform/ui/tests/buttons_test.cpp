// Push buttons, owner-drawn buttons, glyph buttons and labels.

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/brush.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/glyph_button.h"
#include "platform/ui/controls/static.h"
#include "platform/ui/paint_bridge.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/resources.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window_api.h"

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <vector>

namespace {

// What a label shows, and the first character it underlines (none: 0).
std::pair<QString, QChar> Shown(TStatic& label)
{
    auto* widget = qobject_cast<QLabel*>(label.GetWidget());
    QTextDocument document;
    if (widget->textFormat() == Qt::RichText)
        document.setHtml(widget->text());
    else
        document.setPlainText(widget->text());
    QChar underlined;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd() && underlined.isNull(); ++it) {
            if (it.fragment().charFormat().fontUnderline())
                underlined = it.fragment().text()[0];
        }
    }
    return {document.toPlainText(), underlined};
}

class TButtonHost : public TWindow {
public:
    TButtonHost() : TWindow(nullptr, "buttons")
    {
        Attr.W = 300;
        Attr.H = 100;
        push = new TButton(this, 1, "&Start Transfer", 10, 10, 100, 25);
        placeholder = new TButton(this, 105, "", 120, 10, 60, 40);
        placeholder->Attr.Style = (placeholder->Attr.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
        glyph = new TGlyphButton(this, 350, "", 200, 10, 40, 30, 11109);
        label = new TStatic(this, 190, "&Tag && Value", 10, 60, 150, 16);
    }
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    std::vector<DRAWITEMSTRUCT> drawn;
    int clicks = 0;
    TButton* push;
    TButton* placeholder;
    TGlyphButton* glyph;
    TStatic* label;

private:
    void Clicked() { ++clicks; }
    void EvDrawItem(UINT, DRAWITEMSTRUCT& item) { drawn.push_back(item); }
};

const TResponseTable TButtonHost::Responses{&TWindow::Responses, {
    OnCommand<&TButtonHost::Clicked>(1),
    OnMessage<&TButtonHost::EvDrawItem>(WM_DRAWITEM),
}};

TEST(ButtonTest, ClicksSpaceAndBmClickAllNotify)
{
    TTestDriver driver;
    TButtonHost host;
    driver.Show(host);
    driver.Click(host, 1);
    host.push->SetFocus();
    driver.ProcessEvents();
    driver.PressKey(VK_SPACE);
    host.push->Click();
    EXPECT_EQ(host.clicks, 3);
    host.push->EnableWindow(false);
    host.push->Click();
    EXPECT_EQ(host.clicks, 3);  // a disabled button does nothing
    host.push->SetIsDefault(true);
    EXPECT_TRUE(qobject_cast<QPushButton*>(host.push->GetWidget())->isDefault());
    EXPECT_EQ(host.push->SendMessage(WM_GETDLGCODE), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
}

TEST(ButtonTest, OwnerDrawnButtonsAreDrawnByTheParent)
{
    TTestDriver driver;
    TButtonHost host;
    driver.Show(host);
    driver.Grab(host);
    ASSERT_FALSE(host.drawn.empty());
    const DRAWITEMSTRUCT& item = host.drawn.back();
    EXPECT_EQ(item.CtlType, ODT_BUTTON);
    EXPECT_EQ(item.CtlID, 105u);
    EXPECT_EQ(item.rcItem, TRect(0, 0, 60, 40));
    EXPECT_EQ(item.hwndItem, host.placeholder->GetHandle());
}

TEST(ButtonTest, GlyphButtonsShowTheirBitmapResource)
{
    QImage glyph(16, 15, QImage::Format_RGB32);
    glyph.fill(Qt::green);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(glyph.save(&buffer, "BMP"));
    ASSERT_TRUE(RegisterBitmapResource(11109, bytes.constData(), static_cast<std::size_t>(bytes.size())));
    EXPECT_FALSE(RegisterBitmapResource(11110, "not a picture", 13));
    TTestDriver driver;
    TButtonHost host;
    driver.Show(host);
    auto* button = qobject_cast<QPushButton*>(host.glyph->GetWidget());
    EXPECT_FALSE(button->icon().isNull());
    EXPECT_EQ(button->iconSize(), QSize(16, 15));
    host.glyph->SetGlyph(11110);  // never registered
    EXPECT_TRUE(button->icon().isNull());
}

TEST(ResourceTest, BitmapResourcesLoadAsDeviceIndependentBitmaps)
{
    // A registered BMP comes back as its file holds it: depth and palette too.
    TDib mono(3, 2, 1);
    mono.SetColor(1, {255, 255, 255});
    mono.SetPixelIndex(1, 0, 1);
    const std::vector<std::uint8_t> file = mono.FileBytes();
    ASSERT_TRUE(RegisterBitmapResource("monopic", file.data(), file.size()));
    const TDib loaded = LoadDibResource(nullptr, "MONOPIC");
    EXPECT_EQ(loaded.BitsPixel(), 1);
    EXPECT_TRUE(loaded.SameImage(mono));

    // Any other picture comes back at 24 bits with its colours.
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(qRgb(10, 20, 30));
    picture.setPixel(1, 1, qRgb(200, 100, 50));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&buffer, "PNG"));
    ASSERT_TRUE(RegisterBitmapResource(11111, bytes.constData(), static_cast<std::size_t>(bytes.size())));
    const TDib png = LoadDibResource(nullptr, 11111);
    ASSERT_EQ(png.BitsPixel(), 24);
    EXPECT_EQ(png.PixelColor(0, 0), (DibColor{10, 20, 30}));
    EXPECT_EQ(png.PixelColor(1, 1), (DibColor{200, 100, 50}));

    EXPECT_FALSE(LoadDibResource(nullptr, "never registered").IsOK());
}

TEST(StaticTest, LabelsShowTheirTextWithTheMnemonicUnderlined)
{
    struct Case {
        const char* text;
        const char* shown;
        char mnemonic;
    };
    const Case cases[] = {
        {"&Tag", "Tag", 't'}, {"Cl&ear", "Clear", 'e'}, {"A && B", "A & B", 0}, {"&&&X", "&X", 'x'}, {"End&", "End&", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FromQString(StripMnemonic(ToQString(c.text))), c.shown) << c.text;
        const QChar m = MnemonicOf(ToQString(c.text));
        EXPECT_EQ(m.isNull() ? 0 : static_cast<char>(m.unicode()), c.mnemonic) << c.text;
    }
    TTestDriver driver;
    TButtonHost host;
    driver.Show(host);
    // The mnemonic letter is underlined, as on the buttons; markup in a text is text.
    EXPECT_EQ(Shown(*host.label), std::make_pair(QString("Tag & Value"), QChar(u'T')));
    EXPECT_EQ(host.label->GetText(), "&Tag && Value");
    host.label->SetText("<b>Line</b> &2\nA&&B");
    EXPECT_EQ(Shown(*host.label), std::make_pair(QString("<b>Line</b> 2\nA&B"), QChar(u'2')));
    host.label->SetText("No && mnemonic");
    EXPECT_EQ(Shown(*host.label), std::make_pair(QString("No & mnemonic"), QChar()));
    host.label->SetText("&Tag && Value");
    host.label->ModifyStyle(0, SS_NOPREFIX);
    EXPECT_EQ(Shown(*host.label), std::make_pair(QString("&Tag && Value"), QChar()));
    EXPECT_EQ(host.label->SendMessage(WM_GETDLGCODE), DLGC_STATIC);
}

TEST(StaticTest, BitmapStaticShowsTheBitmapItIsGiven)
{
    TTestDriver driver;
    TButtonHost host;
    auto* picture = new TStatic(&host, 191, "", 200, 50, 40, 40);
    picture->Attr.Style = (picture->Attr.Style & ~SS_TYPEMASK) | SS_BITMAP;
    driver.Show(host);
    TBitmap red(8, 6, 1, 24);
    red.Image().fill(QColor(255, 0, 0));
    TBitmap blue(8, 6, 1, 24);
    blue.Image().fill(QColor(0, 0, 255));

    EXPECT_EQ(picture->SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(&red)), 0);
    QImage shown = driver.Grab(*picture);
    EXPECT_EQ(shown.pixelColor(3, 3), QColor(255, 0, 0));
    EXPECT_NE(shown.pixelColor(20, 20), QColor(255, 0, 0)) << "shown at its size, top-left";

    // The previous bitmap comes back; the new one shows.
    EXPECT_EQ(picture->SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(&blue)),
              reinterpret_cast<LRESULT>(&red));
    EXPECT_EQ(picture->SendMessage(STM_GETIMAGE, IMAGE_BITMAP), reinterpret_cast<LRESULT>(&blue));
    EXPECT_EQ(driver.Grab(*picture).pixelColor(3, 3), QColor(0, 0, 255));
    picture->SendMessage(STM_SETIMAGE, IMAGE_BITMAP, 0);
    EXPECT_NE(driver.Grab(*picture).pixelColor(3, 3), QColor(0, 0, 255));
    // A text static keeps its text.
    EXPECT_EQ(host.label->SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(&red)), 0);
    EXPECT_EQ(Shown(*host.label).first, "Tag & Value");
}

TEST(TextTest, LatinOneTextsRoundTripUnchanged)
{
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    EXPECT_EQ(FromQString(ToQString(all)), all);
    EXPECT_EQ(FromQString(QString::fromUtf8("\xE2\x82\xAC")), "?");  // beyond Latin-1
}

}  // namespace
