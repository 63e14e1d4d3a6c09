// Records of the formatted text, the one-line text element, the caption
// label and the tag display, as byte vectors, on a monochrome, a colour and
// a text panel; and reading them back.

#include "plintvlr/elements/tests/text_test_util.h"

#include "plintvlr/elements/format_text.h"
#include "plintvlr/elements/point_elem.h"
#include "plintvlr/elements/text_elem.h"

#include "platform/base/prompt.h"

namespace {

constexpr int kTextPanel = 15;  // 120 x 18 text panel, font "QS VZKA/MA 6x9"

class TextRecords : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        REQUIRE_PANEL_FONTS(fonts_);
        panel_ = std::make_unique<PanelScope>(GetParam());
        cell_ = GetFontSize(0);
        screen_ = GetScreenSize();
    }

    // A one-line text whose rectangle is exactly its block, at (10, 4) pixels.
    TFormatText OneLine(const char* text) const
    {
        const int x = 10 * kUnitsPerPixel;
        const int y = 4 * kUnitsPerPixel;
        TFormatText element(TRect(x, y, x, y), text, true);
        element.Relayout();
        return element;
    }

    PanelFontsScope fonts_;
    std::unique_ptr<PanelScope> panel_;
    TSize cell_;
    TSize screen_;
};

// The bytes of the colour spec (one colour) or the inactive show/hide spec a
// new element writes.
Bytes DefaultSpec()
{
    return {0x10, 0x01};
}

// A point as PackPoint stores it.
Bytes PointBytes(int x, int y)
{
    Bytes b(3);
    PackPoint(x, y, b.data());
    return b;
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Panels, TextRecords, ::testing::Values(kMonoPanel, kColorPanel, kTextPanel));

TEST_P(TextRecords, OneLineLeftTextIsItsBlockWithoutExtentsAndReadsBackExactly)
{
    const TFormatText element = OneLine("ABC");
    ASSERT_EQ(element.GetRect(), TRect(200, 80, 200 + 3 * cell_.cx * 20, 80 + cell_.cy * 20));
    const Bytes expected =
        Join({{0x7F, 0x00}, DefaultSpec(), PointBytes(10, screen_.cy - element.bottom / 20), {'A', 'B', 'C', 0}});
    EXPECT_EQ(Hex(RecordOf(element)), Hex(expected));

    TFormatText read;
    ASSERT_TRUE(ReadWhole(read, expected));
    EXPECT_EQ(read.GetRect(), element.GetRect());
    EXPECT_EQ(read.GetText(), "ABC");
    EXPECT_EQ(read.GetJustify(), 0);
    EXPECT_EQ(read.GetRows(), 1);
    EXPECT_EQ(read.GetColumns(), 3);
    EXPECT_EQ(read.GetFontNumber(), 0);
    EXPECT_EQ(Hex(RecordOf(read)), Hex(expected));
}

TEST_P(TextRecords, JustificationOrAPixelMoreWritesTheExtentsField)
{
    if (GetParam() == kTextPanel)
        GTEST_SKIP() << "text panels keep the rectangle at the block";
    TFormatText centred = OneLine("ABC");
    centred.SetJustify(1);
    TFormatText wider = OneLine("ABC");
    static_cast<TRect&>(wider).right += 20;
    const struct {
        TFormatText* element;
        int along;
        int justify;
    } cases[] = {{&centred, 3 * cell_.cx, 1}, {&wider, 3 * cell_.cx + 1, 0}};
    for (const auto& c : cases) {
        const Bytes bytes = RecordOf(*c.element);
        // Flags 0x10; the tail: presence byte 0x04 (field 2), length 5, extents, justification.
        ASSERT_GE(bytes.size(), 8u);
        EXPECT_EQ(bytes[1], 0x10);
        const Bytes tail(bytes.end() - 7, bytes.end());
        EXPECT_EQ(Hex(tail), Hex(Bytes{0x04, 0x05, static_cast<std::uint8_t>(c.along), 0,
                                       static_cast<std::uint8_t>(cell_.cy), 0, static_cast<std::uint8_t>(c.justify)}));
        TFormatText read;
        ASSERT_TRUE(ReadWhole(read, bytes));
        EXPECT_EQ(read.GetRect(), c.element->GetRect());
        EXPECT_EQ(read.GetJustify(), c.justify);
        EXPECT_EQ(Hex(RecordOf(read)), Hex(bytes));
    }
}

TEST_P(TextRecords, FontAndSizeBytes)
{
    TFormatText fonted = OneLine("AB");
    fonted.SetFont(3);
    const Bytes withFont = RecordOf(fonted);
    // Flags 0x10 and the tail holding only field 1: presence 0x01, length 1, font 3.
    EXPECT_EQ(withFont[1], 0x10);
    EXPECT_EQ(Hex(Bytes(withFont.end() - 3, withFont.end())), "01 01 03");
    TFormatText read;
    ASSERT_TRUE(ReadWhole(read, withFont));
    EXPECT_EQ(read.GetFontNumber(), 3);

    if (GetParam() == kTextPanel)
        return;  // the text panels' pages offer no size
    TFormatText sized = OneLine("AB");
    sized.SetTextSize(2, 3);
    const Bytes bytes = RecordOf(sized);
    EXPECT_EQ(bytes[0], 0x3F);
    EXPECT_EQ(bytes[1], 0x23);
    TFormatText back;
    ASSERT_TRUE(ReadWhole(back, bytes));
    EXPECT_EQ(back.GetTextSize(), TSize(2, 3));
    EXPECT_EQ(back.GetRect(), sized.GetRect());
}

TEST_P(TextRecords, VerticalTextStoresItsRightEdgeAndReadsItBack)
{
    if (GetParam() == kTextPanel)
        GTEST_SKIP() << "text panels have no vertical text";
    TFormatText element = OneLine("AB");
    element.SetHorizontal(false);
    // A right edge between pixels: (right + 10) / 20 rounds to the nearer one.
    static_cast<TRect&>(element) = element.GetRect().Offset(13, 0);
    const Bytes bytes = RecordOf(element);
    EXPECT_EQ(bytes[1] & 0x20, 0x20);
    int x = 0, y = 0;
    RecordReader at(bytes.data() + 2 + DefaultSpec().size(), 3);
    ASSERT_TRUE(UnpackPoint(x, y, at));
    EXPECT_EQ(x, (element.right + 10) / 20);
    TFormatText read;
    ASSERT_TRUE(ReadWhole(read, bytes));
    EXPECT_FALSE(read.GetHorizontal());
    EXPECT_EQ(read.right, x * 20);
    EXPECT_EQ(Hex(RecordOf(read)), Hex(bytes));
}

TEST_P(TextRecords, TextElementRecordAndLabelBody)
{
    TextElem text(TRect(200, 80, 200, 80), "HELLO", true);
    text.SetTextSize(2, 1);
    const Bytes bytes = RecordOf(text);
    const Bytes expected =
        Join({{0x3F, 0x21, 0x00}, DefaultSpec(), PointBytes(10, screen_.cy - text.bottom / 20), {'H', 'E', 'L', 'L', 'O', 0}});
    EXPECT_EQ(Hex(bytes), Hex(expected));
    // The page reads it as a one-line, left-justified formatted text of the same place.
    TFormatText asPage;
    ASSERT_TRUE(ReadWhole(asPage, bytes));
    EXPECT_EQ(asPage.GetRect(), text.GetRect());
    EXPECT_EQ(asPage.GetJustify(), 0);
    TextElem back(TRect(), "", true);
    ASSERT_TRUE(ReadWhole(back, bytes));
    EXPECT_EQ(back.GetRect(), text.GetRect());
    EXPECT_EQ(back.GetText(), "HELLO");

    // A label writes the characters it shows, its multipliers and colour, and
    // reading keeps its own place.
    LabelRect label(TRect(0, 0, 3 * cell_.cx * 20, 160), "12345", true);
    label.SetColor(IsColorPanel() ? 3 : 0);
    label.SetTextSize(1, 2);
    const Bytes body = RecordOf(label);
    EXPECT_EQ(body[0], 0x3F);
    EXPECT_EQ(body[1], 0x12);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(body.data()) + body.size() - 4), "123");
    LabelRect other(TRect(400, 400, 2000, 600), "x", false);
    ASSERT_TRUE(ReadWhole(other, body));
    EXPECT_EQ(other.GetText(), "123");
    EXPECT_TRUE(other.GetHorizontal());
    EXPECT_EQ(other.GetTextSize(), TSize(1, 2));
    EXPECT_EQ(other.left, 400);
    EXPECT_EQ(other.top, 400);
    if (IsColorPanel()) {
        EXPECT_EQ(other.GetColor(), 3);
    }
}

TEST_P(TextRecords, TextElementKeepsEightyCharactersAndReadsOnToTheZero)
{
    std::string text(100, 'x');
    Bytes bytes = Join({{0x7F, 0x00}, DefaultSpec(), PointBytes(0, 10)});
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
    TextElem element(TRect(), "", true);
    ASSERT_TRUE(ReadWhole(element, bytes));
    EXPECT_EQ(element.GetText(), std::string(80, 'x'));

    // Without its zero inside the record the text is not read.
    bytes.pop_back();
    TextElem cut(TRect(), "", true);
    EXPECT_FALSE(ReadWhole(cut, bytes));
    TFormatText cutText;
    EXPECT_FALSE(ReadWhole(cutText, bytes));
}

TEST_P(TextRecords, TagDisplayReferencesWriteTheirFieldsAndReadBackUnchanged)
{
    ScriptedPrompts prompts;
    const struct {
        const char* ref;
        int sizeX;
        const char* head;  // code (and size byte), flags
        const char* tail;  // tag id, width, offset
    } cases[] = {
        {"A0012.PV", 1, "61 40", "0C 00 08"},
        {"A0012.PV", 2, "21 21 40", "0C 00 08"},
        {"D0003.S1,05,02", 1, "63 C0", "03 80 05 02"},
        {"B12000.PV,150", 1, "61 40", "E0 EE 96"},
        {"R0007.TX", 1, "73 00", "07 40"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ref);
        PointElem element(TRect(200, 80, 200, 80), c.ref, true);
        element.SetJustify(DisplayTypePosition('A', TagRefParts::Parse(c.ref).type) == 2 ? 2 : 0);
        element.SetTagRef(c.ref);
        if (c.sizeX != 1)
            element.SetTextSize(c.sizeX, 1);
        const Bytes bytes = RecordOf(element);
        const std::string hex = Hex(bytes);
        EXPECT_EQ(hex.substr(0, std::string(c.head).size()), c.head);
        EXPECT_EQ(hex.substr(hex.size() - std::string(c.tail).size()), c.tail);
        PointElem read(TRect(), "", true);
        ASSERT_TRUE(ReadWhole(read, bytes));
        EXPECT_EQ(read.GetTagRef(), c.ref);
        EXPECT_EQ(Hex(RecordOf(read)), hex);
    }
}

TEST_P(TextRecords, TagDisplayOfAnUnknownCodeWritesItsCodeBack)
{
    // Code 0x36: item 23 of the display-type codes does not exist.
    const Bytes bytes = Join({{0x76, 0x00}, DefaultSpec(), PointBytes(5, 10), {0x01, 0x00}});
    PointElem element(TRect(), "", true);
    ASSERT_TRUE(ReadWhole(element, bytes));
    const Bytes again = RecordOf(element);
    ASSERT_FALSE(again.empty());
    EXPECT_EQ(again[0], 0x76);
    PointElem second(TRect(), "", true);
    ASSERT_TRUE(ReadWhole(second, again));
    EXPECT_EQ(Hex(RecordOf(second)), Hex(again));
}

TEST_P(TextRecords, ExtentsTheSaveLeavesOutReadAsTheTextsBlock)
{
    // One row, default justification and a stored rectangle no larger than
    // the text (an empty one too): the save leaves such extents out, so the
    // read lays the element out from its text as the next read will, and the
    // page stays the same from load to load.
    const int along = 3 * cell_.cx;
    const int across = cell_.cy;
    const struct {
        const char* name;
        bool tagDisplay;
        bool vertical;
        int along;
        int across;
    } cases[] = {
        {"empty", false, false, 0, 0},
        {"a pixel short along", false, false, along - 1, across},
        {"a pixel short across", false, false, along, across - 1},
        {"vertical, empty", false, true, 0, 0},
        {"tag display, empty", true, false, 0, 0},
    };
    auto make = [](bool tagDisplay) -> std::unique_ptr<TFormatText> {
        if (tagDisplay)
            return std::make_unique<PointElem>(TRect(), "", true);
        return std::make_unique<TFormatText>();
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::uint8_t flags = c.vertical ? kTextVerticalFlag : 0;
        const Bytes tail{0x04, 0x05, static_cast<std::uint8_t>(c.along), 0, static_cast<std::uint8_t>(c.across), 0, 0};
        // Code, flags, spec, point, then the text or the tag id.
        const Bytes body = c.tagDisplay ? Join({DefaultSpec(), PointBytes(5, 10), {0x01, 0x00}})
                                        : Join({DefaultSpec(), PointBytes(5, 10), {'A', 'B', 'C', 0}});
        const std::uint8_t code = c.tagDisplay ? 0x76 : 0x7F;
        const Bytes withExtents = Join({{code, static_cast<std::uint8_t>(flags | kTextTailFlag)}, body, tail});
        const Bytes without = Join({{code, flags}, body});

        std::unique_ptr<TFormatText> plain = make(c.tagDisplay);
        ASSERT_TRUE(ReadWhole(*plain, without));
        std::unique_ptr<TFormatText> read = make(c.tagDisplay);
        ASSERT_TRUE(ReadWhole(*read, withExtents));
        EXPECT_EQ(read->GetRect(), plain->GetRect());
        EXPECT_FALSE(read->GetRect().IsEmpty());
        const Bytes saved = RecordOf(*read);
        EXPECT_EQ(Hex(saved), Hex(without));

        std::unique_ptr<TFormatText> again = make(c.tagDisplay);
        ASSERT_TRUE(ReadWhole(*again, saved));
        EXPECT_EQ(again->GetRect(), read->GetRect());
    }
}
