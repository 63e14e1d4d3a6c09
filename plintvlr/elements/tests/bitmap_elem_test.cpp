// The bitmap element: its record on monochrome and colour panels (bytes
// written out by hand from the layout), damaged records, size and placing in
// whole pictures, the animation, the page report and copying its pictures
// between projects.

#include "plintvlr/db/tests/project_fixture.h"
#include "plintvlr/elements/tests/element_test_util.h"

#include "platform/base/prompt.h"
#include "plintvlr/db/atag.h"
#include "plintvlr/db/atag_registry.h"
#include "plintvlr/db/bitmap_paster.h"
#include "plintvlr/db/dtag_registry.h"
#include "plintvlr/db/tag_reference.h"
#include "plintvlr/db/tests/hex_bytes.h"
#include "plintvlr/db/tqs_bitmaps.h"
#include "plintvlr/elements/bitmap_elem.h"
#include "plintvlr/shell/controls/control_pictures.h"

#include <bit>
#include <functional>

#include <optional>

namespace {

constexpr int kMono = 14;  // 240 x 112, vertical origin 11
constexpr int kPic = kUnitsPerPixel;
const std::uint8_t kRegister12[] = {0x0C, 0, 0, 0};

TDib Picture(int width, int height)
{
    return TDib(width, height, 1);
}

class BitmapElemTest : public ProjectFixture {
protected:
    void SetUp() override
    {
        ProjectFixture::SetUp();
        RegisterControlPictures();
        CreateAndOpen("BITMAPS", kMono);
        GetBitmapLibrary().ClearAll();
        signedWord_ = AddAnalog("LEVEL", kTypeSignedWord, 1);
        unsignedWord_ = AddAnalog("COUNT", kTypeUnsignedWord, 0);
        signedDword_ = AddAnalog("TOTAL", kTypeSignedDword, 0);
        std::uint32_t id = 0;
        ASSERT_TRUE(Db().GetDigitalRegistry()->Add("VALVE", id));
        valve_ = static_cast<std::uint16_t>(kTagRefDigital | id);
        scope_.emplace(kMono);
    }
    void TearDown() override
    {
        scope_.reset();
        GetBitmapLibrary().ClearAll();
        ProjectFixture::TearDown();
    }

    std::uint16_t AddAnalog(const char* name, std::uint8_t type, std::uint8_t decimals)
    {
        std::uint32_t id = 0;
        EXPECT_TRUE(Db().GetAnalogRegistry()->Add(name, id));
        atag tag;
        tag.SetName(name);
        tag.SetAddress(0, kRegister12, 4, kAddressRegister);
        tag.SetDataType(type);
        tag.SetDecimals(decimals);
        EXPECT_TRUE(tag.Write(id));
        return static_cast<std::uint16_t>(id);
    }

    static std::string Record(const BitmapElem& e)
    {
        Bytes buffer(65536);
        return Written(buffer.data(), e.WriteRecord(buffer.data()));
    }

    // Reads a record into a fresh element; null when the read fails.
    static std::unique_ptr<BitmapElem> Read(const Bytes& bytes)
    {
        auto e = std::make_unique<BitmapElem>();
        RecordReader in(bytes.data(), bytes.size());
        if (!e->ReadRecord(in))
            return nullptr;
        EXPECT_EQ(in.Remaining(), 0u);
        return e;
    }

    static Bytes RoundTripBytes(const BitmapElem& e)
    {
        Bytes buffer(65536);
        const std::uint8_t* end = e.WriteRecord(buffer.data());
        buffer.resize(static_cast<std::size_t>(end - buffer.data()));
        return buffer;
    }

    std::uint16_t signedWord_ = 0;
    std::uint16_t unsignedWord_ = 0;
    std::uint16_t signedDword_ = 0;
    std::uint16_t valve_ = 0;
    std::optional<PanelScope> scope_;
};

// A click at (200, 840): left 10 px, bottom 42 px, top 20 px with "nobmp" (24 x 22).
const TPoint kClick{200, 840};

}  // namespace

// --- Records ----------------------------------------------------------------

TEST_F(BitmapElemTest, StaticRecordOnMonochromeAndColourPanels)
{
    BitmapElem mono(kClick);
    // Top-left corner with PackXY: y = origin 11 + 20.
    EXPECT_EQ(Record(mono), "79 01 00 10 01 00 0A 1F 03 00 00 01 00");

    // Scale 2 x 1: the flags byte says the scale field follows (byte field 4).
    BitmapElem wide(TPoint(200, 400), TPoint(200 + 2 * 24 * kPic + 100, 840));
    ASSERT_EQ(wide.GetScaleX(), 2);
    ASSERT_EQ(wide.GetScaleY(), 1);
    EXPECT_EQ(Record(wide), "79 03 00 10 01 00 0A 1F 03 00 00 01 00 40 02 02 01");

    scope_.reset();
    scope_.emplace(kColorPanel);  // 320 x 224, vertical origin 20
    BitmapElem colour(TPoint(200, 2000));
    colour.GetColors().SetBackground(3);
    // Bottom-left corner with PackPoint: y = 224 - 100 + 20 = 144.
    EXPECT_EQ(Record(colour), "79 01 00 93 01 00 0A 90 03 00 00 01 00");
    const std::unique_ptr<BitmapElem> back = Read(RoundTripBytes(colour));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->GetColors().GetBackground(), 3);
    EXPECT_EQ(back->GetRect(), colour.GetRect());
    EXPECT_EQ(back->GetMode(), BitmapElem::kStatic);
    EXPECT_EQ(back->GetTag(), 0);
}

TEST_F(BitmapElemTest, ModeBodiesAreWrittenAndReadBack)
{
    struct Case {
        const char* what;
        std::function<void(BitmapElem&)> make;
        const char* body;  // L and the body
    };
    const Case cases[] = {
        {"discrete, four", [&](BitmapElem& e) { e.SetTag(valve_); e.SetDiscrete(1, 2, 3, 4, true); },
         "0B 00 FF 01 80 01 00 02 00 03 00 04 00"},
        {"discrete, two", [&](BitmapElem& e) { e.SetTag(valve_); e.SetDiscrete(5, 6, 7, 8, false); },
         "07 00 FF 01 80 05 00 06 00"},
        {"list on a signed word", [&](BitmapElem& e) {
             e.SetTag(signedWord_);
             e.SetList({{-2, 5}, {300, 6}});
         }, "0F 00 01 01 00 02 00 01 00 FE FF 05 00 2C 01 06 00"},
        {"list on a 32-bit tag", [&](BitmapElem& e) {
             e.SetTag(signedDword_);
             e.SetList({{-2, 5}, {70000, 6}});
         }, "13 00 01 03 00 02 00 01 00 FE FF FF FF 05 00 70 11 01 00 06 00"},
        {"low limit", [&](BitmapElem& e) {
             e.SetTag(unsignedWord_);
             e.SetLimits({500, 9}, {}, BitmapElem::kKindLowLimit);
         }, "09 00 02 02 00 F4 01 01 00 09 00"},
        {"high limit", [&](BitmapElem& e) {
             e.SetTag(unsignedWord_);
             e.SetLimits({}, {500, 9}, BitmapElem::kKindHighLimit);
         }, "09 00 03 02 00 F4 01 01 00 09 00"},
        {"high limit, 32-bit", [&](BitmapElem& e) {
             e.SetTag(signedDword_);
             e.SetLimits({}, {-1, 9}, BitmapElem::kKindHighLimit);
         }, "0B 00 03 03 00 FF FF FF FF 01 00 09 00"},
        {"high-low", [&](BitmapElem& e) {
             e.SetTag(signedWord_);
             e.SetLimits({-5, 3}, {250, 4}, BitmapElem::kKindHighLow);
         }, "0D 00 04 01 00 FB FF FA 00 01 00 03 00 04 00"},
    };
    for (const Case& c : cases) {
        BitmapElem e(kClick);
        c.make(e);
        EXPECT_EQ(Record(e), std::string("79 01 00 10 01 00 0A 1F ") + c.body) << c.what;
        const std::unique_ptr<BitmapElem> back = Read(RoundTripBytes(e));
        ASSERT_TRUE(back) << c.what;
        EXPECT_EQ(back->GetMode(), e.GetMode()) << c.what;
        EXPECT_EQ(back->GetKind(), e.GetKind()) << c.what;
        EXPECT_EQ(back->GetTag(), e.GetTag()) << c.what;
        EXPECT_EQ(Record(*back), Record(e)) << c.what;
        if (e.GetMode() != BitmapElem::kLimit) {
            EXPECT_EQ(back->GetEntries(), e.GetEntries()) << c.what;
        }
    }
}

TEST_F(BitmapElemTest, ReadingTakesTheModeFromTheKindAndTheTag)
{
    const std::string head = "79 01 00 10 01 00 0A 1F ";
    // A Discrete element on a plain analog tag stays Discrete.
    std::unique_ptr<BitmapElem> e = Read(HexVector(head + "07 00 FF 02 00 05 00 06 00"));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->GetMode(), BitmapElem::kDiscrete);
    EXPECT_EQ(e->GetTag(), unsignedWord_);
    EXPECT_EQ(e->GetEntries(), BmpRecordArray({{0, 5}, {0, 6}}));

    // A digital tag makes any kind Discrete.
    e = Read(HexVector(head + "0B 00 01 01 80 01 00 02 00 03 00 04 00"));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->GetMode(), BitmapElem::kDiscrete);
    EXPECT_EQ(e->GetEntries().size(), 4u);

    // 0xFFFE is -2 on a Signed Word tag and 65534 on an Unsigned Word one.
    e = Read(HexVector(head + "0B 00 01 01 00 01 00 01 00 FE FF 05 00"));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->GetEntries(), BmpRecordArray({{-2, 5}}));
    e = Read(HexVector(head + "0B 00 01 02 00 01 00 01 00 FE FF 05 00"));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->GetEntries(), BmpRecordArray({{65534, 5}}));

    // A Limit element holds its limit twice; kind 3 keeps its high value and bitmap.
    e = Read(HexVector(head + "09 00 03 02 00 F4 01 07 00 09 00"));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->GetMode(), BitmapElem::kLimit);
    EXPECT_EQ(e->GetEntries(), BmpRecordArray({{500, 9}, {500, 9}}));
    BmpRecord low;
    BmpRecord high;
    std::uint8_t kind = 0;
    EXPECT_EQ(e->GetLimits(low, high, kind), 2);
    EXPECT_EQ(kind, BitmapElem::kKindHighLimit);
    EXPECT_EQ(high, (BmpRecord{500, 9}));
    EXPECT_EQ(low, BmpRecord{});
    EXPECT_EQ(e->GetInitialBitmap(), 7);

    // Scale factors of 0 and 7 read as 1.
    const std::string scaled = "79 03 00 10 01 00 0A 1F ";
    e = Read(HexVector(scaled + "03 00 00 01 00 40 02 00 07"));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->GetScaleX(), 1);
    EXPECT_EQ(e->GetScaleY(), 1);
    e = Read(HexVector(scaled + "03 00 00 01 00 40 02 03 02"));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->GetScaleX(), 3);
    EXPECT_EQ(e->GetScaleY(), 2);
    // The rectangle is the picture times the scale, the top-left corner where written.
    EXPECT_EQ(e->GetRect(), TRect(200, 400, 200 + 3 * 24 * kPic, 400 + 2 * 22 * kPic));
}

TEST_F(BitmapElemTest, DamagedRecordsFailTheRead)
{
    const std::string head = "79 01 00 10 01 00 0A 1F ";
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"another code", "39 01 00 10 01 00 0A 1F 03 00 00 01 00"},
        {"static, L 4", head + "04 00 00 01 00 00"},
        {"discrete, L 9", head + "09 00 FF 01 80 01 00 02 00 03 00"},
        {"list, n larger than L", head + "0B 00 01 01 00 02 00 01 00 FE FF 05 00"},
        {"list, L between the forms", head + "0C 00 01 01 00 01 00 01 00 FE FF 05 00 00"},
        {"limit, L 10", head + "0A 00 02 02 00 F4 01 07 00 09 00 00"},
        {"high-low, L 15", head + "0F 00 04 01 00 FB FF FA 00 01 00 03 00 04 00 00 00"},
        {"unknown kind", head + "03 00 05 01 00"},
        {"body past the record", head + "0B 00 FF 01 80 01 00 02 00"},
        {"cut in the point", "79 01 00 10 01 00 0A"},
        {"scale field missing", "79 03 00 10 01 00 0A 1F 03 00 00 01 00"},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(Read(HexVector(c.bytes))) << c.what;
}

TEST_F(BitmapElemTest, APictureLargerThanTheScreenWarnsOnWriting)
{
    ASSERT_EQ(GetBitmapLibrary().SetSlot(0, Picture(300, 20), "WIDE"), 1);
    BitmapElem e(kClick);
    EXPECT_EQ(e.Width(), 240 * kPic);  // cut by the screen
    ScriptedPrompts prompts;
    EXPECT_NE(Record(e), "(failed)");
    ASSERT_EQ(prompts.Shown().size(), 1u);
    EXPECT_EQ(prompts.Shown()[0].text,
              "The selected bitmap is too large for display on this Quellstor.. Modify the bitmap or choose another.");
    EXPECT_EQ(prompts.Shown()[0].caption, "Application Message");

    BitmapElem fits(kClick);
    fits.SetInitialBitmap(kNoBitmap);
    Record(fits);
    EXPECT_EQ(prompts.Shown().size(), 1u);
}

// --- Size and placing --------------------------------------------------------

TEST_F(BitmapElemTest, ANewElementIsStaticOnBitmapOneAndMeasuresAsNoBitmap)
{
    BitmapElem e(kClick);
    EXPECT_EQ(e.GetMode(), BitmapElem::kStatic);
    EXPECT_EQ(e.GetInitialBitmap(), 1);
    EXPECT_EQ(e.GetTag(), 1);
    EXPECT_EQ(e.GetScaleX(), 1);
    EXPECT_EQ(e.GetScaleY(), 1);
    // Bottom-left at the click, "nobmp"'s 24 x 22 pixels.
    EXPECT_EQ(e.GetRect(), TRect(200, 840 - 22 * kPic, 200 + 24 * kPic, 840));
    EXPECT_EQ(e.GetTypeName(), "obj_bmp");
    EXPECT_FALSE(e.CanToggleOrientation());
    EXPECT_FALSE(e.HasDynamics());
}

TEST_F(BitmapElemTest, ADragTakesWholePicturesAndKeepsTheBottomLeft)
{
    ASSERT_EQ(GetBitmapLibrary().SetSlot(0, Picture(10, 8), "SMALL"), 1);
    const struct {
        TSize drag;  // page units
        int sx, sy;
    } cases[] = {
        {{250, 170}, 1, 1},    // less than two pictures
        {{420, 170}, 2, 1},
        {{100, 100}, 1, 1},    // smaller than one: one
        {{2000, 1000}, 6, 6},  // at most six
    };
    for (const auto& c : cases) {
        BitmapElem e(TPoint(100, 1500), TPoint(100 + c.drag.cx, 1500 - c.drag.cy));
        EXPECT_EQ(e.GetScaleX(), c.sx) << c.drag.cx;
        EXPECT_EQ(e.GetScaleY(), c.sy) << c.drag.cy;
        EXPECT_EQ(e.GetRect(), TRect(100, 1500 - c.sy * 8 * kPic, 100 + c.sx * 10 * kPic, 1500));
    }
}

TEST_F(BitmapElemTest, ResizingEndsOnWholePicturesWithinSixAndTheScreen)
{
    // 50 x 20 pixels on a 240 x 112 screen: at most 4 across, 5 down.
    ASSERT_EQ(GetBitmapLibrary().SetSlot(0, Picture(50, 20), "PUMP"), 1);
    const int pw = 50 * kPic;
    const int ph = 20 * kPic;
    BitmapElem e(TPoint(0, 2 * ph));
    EXPECT_EQ(e.GetMinSize(), TSize(pw, ph));
    EXPECT_EQ(e.GetSizeStep(true), TSize(pw, ph));
    EXPECT_EQ(e.GetMaxSize(), TSize(4 * pw, 5 * ph));

    // The bottom-right handle dragged 1.6 pictures across and 0.4 down.
    EXPECT_FALSE(e.SnapToGrid(8, TSize(pw * 16 / 10, ph * 4 / 10)).IsEmpty());
    EXPECT_EQ(e.GetScaleX(), 3);
    EXPECT_EQ(e.GetScaleY(), 1);
    EXPECT_EQ(e.Width(), 3 * pw);
    // Far beyond the screen: four across.
    e.SnapToGrid(8, TSize(10 * pw, 0));
    EXPECT_EQ(e.GetScaleX(), 4);
    EXPECT_EQ(e.Width(), 4 * pw);
    // Shrunk below one picture: one.
    e.SnapToGrid(8, TSize(-10 * pw, 0));
    EXPECT_EQ(e.GetScaleX(), 1);

    // A picture wider than the screen is cut and never resized.
    ASSERT_EQ(GetBitmapLibrary().SetSlot(1, Picture(300, 20), "WIDE"), 1);
    BitmapElem wide(kClick);
    wide.SetInitialBitmap(2);
    const TRect before = wide.GetRect();
    EXPECT_EQ(before.Width(), 240 * kPic);
    EXPECT_TRUE(wide.SnapToGrid(7, TSize(0, ph)).IsEmpty());
    EXPECT_EQ(wide.GetRect(), before);
}

TEST_F(BitmapElemTest, SheetAccessorsMapTypesAndEntries)
{
    BitmapElem e(kClick);
    const struct {
        int index;
        std::uint16_t mode;
    } types[] = {{0, BitmapElem::kStatic}, {1, BitmapElem::kDiscrete}, {2, BitmapElem::kLimit},
                 {3, BitmapElem::kList}, {9, BitmapElem::kStatic}};
    for (const auto& t : types) {
        e.SetTypeFromIndex(t.index);
        EXPECT_EQ(e.GetMode(), t.mode) << t.index;
    }
    e.SetMode(BitmapElem::kHighLowLimit);
    EXPECT_EQ(e.GetTypeIndex(), BitmapElem::kTypeLimit);

    e.SetDiscrete(4, 5, 6, 7, false);
    std::uint16_t b[4] = {};
    EXPECT_EQ(e.GetDiscreteBitmaps(b[0], b[1], b[2], b[3]), 2);
    EXPECT_EQ(std::vector<std::uint16_t>(b, b + 4), std::vector<std::uint16_t>({4, 5, kNoBitmap, kNoBitmap}));
    EXPECT_EQ(e.GetInitialBitmap(), 4);
    EXPECT_EQ(e.GetImageCount(), 2);

    // No box checked: a High-low Limit on two empty entries.
    e.SetLimits({}, {}, 0);
    EXPECT_EQ(e.GetMode(), BitmapElem::kHighLowLimit);
    EXPECT_EQ(e.GetKind(), BitmapElem::kKindHighLow);
    EXPECT_EQ(e.GetEntries(), BmpRecordArray({{0, kNoBitmap}, {0, kNoBitmap}}));
    EXPECT_EQ(e.GetImageCount(), 3);

    e.SetList({{1, 2}, {3, 4}});
    EXPECT_EQ(e.GetImageCount(), 3);
    BmpRecordArray copy;
    e.GetListEntries(copy);
    EXPECT_EQ(copy, e.GetEntries());
}

// --- Animation ---------------------------------------------------------------

TEST_F(BitmapElemTest, ALimitElementShowsItsPicturesInTurn)
{
    ASSERT_EQ(GetBitmapLibrary().SetSlot(0, Picture(8, 8), "DEFAULT"), 1);
    ASSERT_EQ(GetBitmapLibrary().SetSlot(1, Picture(16, 8), "HIGH"), 1);
    BitmapElem e(kClick);
    e.SetTag(unsignedWord_);
    e.SetLimits({}, {500, 2}, BitmapElem::kKindHighLimit);
    e.SetInitialBitmap(1);
    ASSERT_TRUE(e.HasDynamics());

    auto run = [&e](int steps) {
        std::vector<int> shown;
        e.StartAnimation();
        for (int i = 0; i < steps; ++i) {
            e.AnimateStep();
            shown.push_back(e.GetShownBitmap());
            EXPECT_EQ(e.Width(), (e.GetShownBitmap() == 1 ? 8 : 16) * kPic);
        }
        return shown;
    };
    EXPECT_EQ(run(4), std::vector<int>({2, 1, 2, 1}));
    // With a blink, each picture stays for an on/off pair.
    e.GetDynBlink() = TDynBlink(0, TDynBlink::kAlways);
    e.StopAnimation();
    EXPECT_EQ(run(6), std::vector<int>({1, 2, 2, 1, 1, 2}));

    e.StopAnimation();
    EXPECT_EQ(e.GetShownBitmap(), 1);
    EXPECT_EQ(e.Width(), 8 * kPic);
    EXPECT_EQ(e.GetRect().BottomLeft(), TPoint(kClick.x, kClick.y));

    // A Static element without dynamics does not animate.
    BitmapElem still(kClick);
    EXPECT_TRUE(still.AnimateStep().IsEmpty());
}

// --- Report ------------------------------------------------------------------

TEST_F(BitmapElemTest, ReportLinesByMode)
{
    TQSBitmaps& library = GetBitmapLibrary();
    ASSERT_EQ(library.SetSlot(2, Picture(24, 22), "LOW"), 1);
    ASSERT_EQ(library.SetSlot(3, Picture(24, 22), "HIGH"), 1);

    BitmapElem hl(kClick);
    hl.SetTag(signedWord_);  // one decimal
    hl.SetLimits({-15, 3}, {250, 4}, BitmapElem::kKindHighLow);
    ReportLines lines;
    hl.Describe(3, lines, 0);
    EXPECT_EQ(lines, ReportLines({"3. High-low Limit Bitmap: left 10, bottom 70, width 24, height 22",
                                  "Point tag: LEVEL", "Bitmap name LOW; value -1.5",
                                  "Bitmap name HIGH; value 25.0", ""}));

    BitmapElem st(kClick);
    st.SetInitialBitmap(4);
    lines.clear();
    st.Describe(1, lines, 2);
    EXPECT_EQ(lines, ReportLines({"1.2. Static Bitmap: left 10, bottom 70, width 24, height 22",
                                  "Bitmap name HIGH", ""}));

    BitmapElem d(kClick);
    d.SetTag(valve_);
    d.SetDiscrete(3, 4, 0, 0, false);
    lines.clear();
    d.Describe(1, lines, 0);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()),
              ReportLines({"Point tag: VALVE", "Bitmap name LOW", "Bitmap name HIGH", ""}));

    // A Limit element describes its limit entry only; a tag that is gone reads as a blank one.
    BitmapElem lim(kClick);
    lim.SetTag(77);
    lim.SetLimits({}, {65535, 4}, BitmapElem::kKindHighLimit);
    lines.clear();
    lim.Describe(1, lines, 0);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()),
              ReportLines({"Point tag: no tag", "Bitmap name HIGH; value 65535", ""}));
}

TEST(BitmapValues, RawAndShownByDataTypeAndDecimals)
{
    EXPECT_EQ(ShownToRaw(1.5L, kTypeUnsignedWord, 2), 150);
    EXPECT_DOUBLE_EQ(static_cast<double>(RawToShown(150, kTypeUnsignedWord, 2)), 1.5);
    EXPECT_EQ(ShownToRaw(-1.29L, kTypeSignedWord, 1), -12);  // toward zero
    EXPECT_DOUBLE_EQ(static_cast<double>(RawToShown(-2, kTypeUnsignedDword, 0)), 4294967294.0);
    EXPECT_DOUBLE_EQ(static_cast<double>(RawToShown(-2, kTypeSignedDword, 0)), -2.0);
    const std::int32_t bits = ShownToRaw(2.5L, kTypeFloat, 1);
    EXPECT_EQ(bits, std::bit_cast<std::int32_t>(25.0f));
    EXPECT_DOUBLE_EQ(static_cast<double>(RawToShown(bits, kTypeFloat, 1)), 2.5);
}

// --- Copying pictures between projects ---------------------------------------

TEST_F(BitmapElemTest, PastingIntoAnotherProjectAddsThePicturesOnce)
{
    TQSBitmaps& library = GetBitmapLibrary();
    TDib a = Picture(8, 8);
    TDib b = Picture(8, 8);
    b.SetPixelIndex(1, 1, 1);
    ASSERT_EQ(library.SetSlot(4, a, "A"), 1);
    ASSERT_EQ(library.SetSlot(9, b, "B"), 1);
    BitmapElem e(kClick);
    e.SetTag(unsignedWord_);
    e.SetList({{1, 10}, {2, 5}, {3, 77}});
    e.SetInitialBitmap(5);
    BitmapPaster paster;
    e.CopyBitmapsTo(paster);
    ASSERT_EQ(paster.Entries().size(), 2u);  // 77 names no picture

    // Another project with one picture of its own.
    scope_.reset();
    CreateAndOpen("OTHER", kMono);
    library.ClearAll();
    scope_.emplace(kMono);
    ASSERT_EQ(library.AddBitmap(Picture(4, 4)), 1);
    BitmapElem pasted(e);
    pasted.PasteBitmapsFrom(paster);
    EXPECT_EQ(pasted.GetInitialBitmap(), 2);
    EXPECT_EQ(pasted.GetEntries(), BmpRecordArray({{1, 3}, {2, 2}, {3, kNoBitmap}}));
    EXPECT_TRUE(library.GetDib(2)->SameImage(b));

    BitmapElem again(e);
    again.PasteBitmapsFrom(paster);
    EXPECT_EQ(again.GetEntries(), pasted.GetEntries());
    EXPECT_EQ(library.FindFreeSlot(), 3);
}

TEST_F(BitmapElemTest, PastingIntoAFullLibraryGivesNoBitmapAndOneMessage)
{
    TQSBitmaps& library = GetBitmapLibrary();
    BitmapPaster paster;
    {
        TDib a = Picture(8, 8);
        TDib b = Picture(8, 8);
        b.SetPixelIndex(0, 0, 1);
        ASSERT_EQ(library.SetSlot(0, a, "A"), 1);
        ASSERT_EQ(library.SetSlot(1, b, "B"), 1);
        BitmapElem e(kClick);
        e.SetTag(valve_);
        e.SetDiscrete(1, 2, 1, 2, true);
        e.CopyBitmapsTo(paster);
    }
    library.ClearAll();
    TDib filler = Picture(2, 2);
    for (int slot = 0; slot < TQSBitmaps::kSlotCount; ++slot)
        ASSERT_EQ(library.SetSlot(slot, filler, "F"), 1);

    BitmapElem e(kClick);
    e.SetTag(valve_);
    e.SetDiscrete(1, 2, 1, 2, true);
    ScriptedPrompts prompts;
    e.PasteBitmapsFrom(paster);
    EXPECT_EQ(e.GetEntries(), BmpRecordArray(4, BmpRecord{0, kNoBitmap}));
    ASSERT_EQ(prompts.Shown().size(), 1u);
    EXPECT_EQ(prompts.Shown()[0].text, "No room for new bitmap. Database already has 300 bitmaps.");
}

TEST_F(BitmapElemTest, AllowedWhereThePanelShowsBitmaps)
{
    for (int type : {1, 5, 9, 11, 14, 15, 24}) {
        scope_.reset();
        scope_.emplace(type);
        EXPECT_EQ(BitmapElem(kClick).IsAllowedOnPanel(), Quellstor(type).bitmapSupport != 0) << type;
    }
}
