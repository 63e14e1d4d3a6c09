// The clipboard service on the desktop's clipboard: private formats travel
// in checked envelopes under their own types, text as plain text, and what
// another program put there is checked before it is used.

#include "platform/base/clipboard_envelope.h"
#include "platform/ui/desktop_clipboard.h"
#include "platform/ui/testing/test_driver.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include <gtest/gtest.h>

namespace {

// Another program's copy: the desktop clipboard holds `type` with `bytes`.
void OtherProgramCopies(const QString& type, const QByteArray& bytes)
{
    auto* mime = new QMimeData;
    mime->setData(type, bytes);
    QApplication::clipboard()->setMimeData(mime);
}

QByteArray Bytes(const ClipboardData& data)
{
    return QByteArray(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size()));
}

TEST(DesktopClipboardTest, PrivateFormatRoundTripsThroughTheDesktop)
{
    TTestDriver driver;
    const ClipboardData table = {0x01, 0x00, 'T', 'A', 'N', 'K', 0x00, 0x00};
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(520, table);
    SetClipboardData(CF_TEXT, {'T', 'A', 'N', 'K', 0});
    CloseClipboard();

    // The desktop holds both, the private one in its envelope.
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_EQ(mime->text(), QStringLiteral("TANK"));
    EXPECT_EQ(mime->data(QStringLiteral("application/x-plv-clipboard-520")), Bytes(WrapClipboardData(520, table)));

    EXPECT_TRUE(IsClipboardFormatAvailable(520));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(GetClipboardData(520), table);
    EXPECT_EQ(GetClipboardData(CF_TEXT), (ClipboardData{'T', 'A', 'N', 'K', 0}));
    EXPECT_FALSE(GetClipboardData(521));
    CloseClipboard();

    // Without emptying first, a new format joins the ones there.
    ASSERT_TRUE(OpenClipboard(nullptr));
    SetClipboardData(600, {9});
    CloseClipboard();
    EXPECT_TRUE(IsClipboardFormatAvailable(520));
    EXPECT_TRUE(IsClipboardFormatAvailable(600));
}

TEST(DesktopClipboardTest, MalformedBlockFromAnotherProgramIsRefused)
{
    TTestDriver driver;
    const QString type = QStringLiteral("application/x-plv-clipboard-520");
    const QByteArray good = Bytes(WrapClipboardData(520, {1, 2, 3}));
    const QByteArray cases[] = {
        QByteArray(),
        good.left(10),                             // cut inside the header
        good.left(good.size() - 1),                // data shorter than it says
        good + QByteArray(1, '\0'),                // more than it says
        Bytes(WrapClipboardData(521, {1, 2, 3})),  // another format's envelope
        QByteArray("\x01\x00TANK\x00\x00", 8),     // bare data without an envelope
    };
    for (const QByteArray& block : cases) {
        OtherProgramCopies(type, block);
        EXPECT_FALSE(IsClipboardFormatAvailable(520)) << block.size();
        ASSERT_TRUE(OpenClipboard(nullptr));
        EXPECT_FALSE(GetClipboardData(520)) << block.size();
        CloseClipboard();
    }
    OtherProgramCopies(type, good);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(GetClipboardData(520), (ClipboardData{1, 2, 3}));
    CloseClipboard();
}

TEST(DesktopClipboardTest, TextFromAnotherProgramIsEightBitAndNulEnded)
{
    TTestDriver driver;
    QApplication::clipboard()->setText(QString::fromUtf8("Kessel 3 \xc2\xb0" "C \xe2\x82\xac"));
    ASSERT_TRUE(OpenClipboard(nullptr));
    const auto text = GetClipboardData(CF_TEXT);
    CloseClipboard();
    ASSERT_TRUE(text);
    const ClipboardData expected = {'K', 'e', 's', 's', 'e', 'l', ' ', '3', ' ', 0xB0, 'C', ' ', '?', 0};
    EXPECT_EQ(*text, expected);
}

TEST(DesktopClipboardTest, TextCopiedEndsAtItsNulAndReachesTheDesktopAsLatin1)
{
    TTestDriver driver;
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, {'3', ' ', 0xB0, 'C', 0, 'x', 'y'});
    CloseClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("3 \xc2\xb0" "C"));
}

}  // namespace
