// The byte forms elements store: packed points, colour and show/hide specs
// and their compact forms, the dynamics of the common record body, the
// frame record. Expected bytes are written out by hand from the layouts.

#include "plintvlr/elements/tests/element_test_util.h"
#include "plintvlr/db/tests/hex_bytes.h"

#include "plintvlr/elements/color_point.h"
#include "plintvlr/elements/dyn_attributes.h"
#include "plintvlr/elements/frame_rect.h"
#include "plintvlr/elements/packed_point.h"
#include "plintvlr/elements/size_rect.h"
#include "plintvlr/elements/tag_mask.h"

#include <functional>

namespace {

// An element whose record is the common body alone: flags, colour or
// show/hide spec, anchor point, dynamics.
class BodyElement : public SizeRect {
public:
    std::uint8_t* WriteRecord(std::uint8_t* at) const override
    {
        std::uint8_t* flags = at++;
        *flags = 0;
        at = PackColorOrShowHide(GetColors(), showHide, at);
        const TPoint anchor = GetAnchorPoint();
        at = PackPoint(anchor.x, anchor.y, at);
        return PackDynamics(*this, at, *flags);
    }
    bool ReadRecord(RecordReader& in) override
    {
        std::uint8_t flags = 0;
        int x = 0;
        int y = 0;
        if (!in.ReadByte(flags) || !UnpackColorOrShowHide(GetColors(), showHide, in) || !UnpackPoint(x, y, in) ||
            !UnpackDynamics(*this, in, flags))
            return false;
        anchor = {x, y};
        return true;
    }
    DynamicData showHide;
    TPoint anchor;
};

Bytes Buffer()
{
    return Bytes(65536, 0xEE);
}

}  // namespace

TEST(PackedPoints, TwelveBitsEachWithTheOriginOnStoredY)
{
    Bytes out = Buffer();
    EXPECT_EQ(Written(out.data(), PackXY(0x123, 0x456, out.data())), "14 23 56");
    EXPECT_EQ(Written(out.data(), PackXY(0x1FFF, -1, out.data())), "FF FF FF");  // modulo 4096

    const struct {
        int panel;
        const char* bytes;
    } cases[] = {{kMonoPanel, "00 0A 10"}, {kColorPanel, "00 0A 19"}, {8, "00 0A 05"}};
    for (const auto& c : cases) {
        PanelScope panel(c.panel);
        EXPECT_EQ(Written(out.data(), PackPoint(10, 5, out.data())), c.bytes) << c.panel;
        RecordReader in(out.data(), 3);
        int x = 0;
        int y = 0;
        ASSERT_TRUE(UnpackPoint(x, y, in));
        EXPECT_EQ(TPoint(x, y), TPoint(10, 5));
        EXPECT_EQ(in.Remaining(), 0u);
    }
    RecordReader shortInput(out.data(), 2);
    int x = 0;
    int y = 0;
    EXPECT_FALSE(UnpackXY(x, y, shortInput));
    EXPECT_EQ(shortInput.Position(), out.data());
}

TEST(ColourSpec, EachCountPacksItsLengthAndReadsBackExactly)
{
    const struct {
        const char* name;
        std::uint8_t kind;  // of the attribute written and of the one read into
        std::function<void(ColorPoint&)> set;
        const char* bytes;
    } cases[] = {
        {"default", 0, [](ColorPoint&) {}, "10 01"},
        {"two colours, no tag kind", ColorPoint::kTouchRegionKind,
         [](ColorPoint& c) {
             c.SetCount(2);
             c.SetBackground(2);
             c.SetColorIndex(0, 3);
             c.SetColorIndex(1, 4);
         },
         "22 43"},
        {"two colours, analog tag", 0,
         [](ColorPoint& c) {
             c.SetCount(2);
             c.SetBackground(2);
             c.SetColorIndex(0, 3);
             c.SetColorIndex(1, 4);
             c.SetTag(5);
         },
         "22 43 05 00"},
        {"four colours, digital tag", 0,
         [](ColorPoint& c) {
             c.SetCount(4);
             for (int i = 0; i < 4; ++i)
                 c.SetColorIndex(i, i + 12);
             c.SetTag(0x8007);
         },
         "40 DC FE 07 80"},
    };
    PanelScope panel(kColorPanel);
    for (const auto& c : cases) {
        ColorPoint written(c.kind);
        c.set(written);
        Bytes out = Buffer();
        const std::uint8_t* end = written.Pack(out.data());
        EXPECT_EQ(Written(out.data(), end), c.bytes) << c.name;

        ColorPoint read(c.kind);
        RecordReader in(out.data(), out.size());
        ASSERT_TRUE(read.Unpack(in)) << c.name;
        EXPECT_EQ(in.Position(), end) << c.name;
        EXPECT_EQ(read, written) << c.name;
    }
}

TEST(ColourSpec, TagsAreTakenOnlyWithTwoOrMoreColoursAndOnlyOfTagKinds)
{
    ColorPoint colors;
    colors.SetTag(5);
    EXPECT_EQ(colors.GetTag(), 0);  // one colour
    colors.SetCount(2);
    colors.SetTag(0x8009);
    EXPECT_EQ(colors.GetTag(), 0x8009);
    colors.SetTag(0xC003);  // a status bit: ignored
    colors.SetTag(0x4003);
    EXPECT_EQ(colors.GetTag(), 0x8009);
    colors.SetTagReference(0xC003);
    EXPECT_EQ(colors.GetTag(), 0xC003);
    colors.SetCount(0);  // no such count
    EXPECT_EQ(colors.GetCount(), 1);
}

TEST(ShowHideSpec, InactiveStatusBitAndPlainForms)
{
    const struct {
        const char* name;
        std::uint16_t tag;
        std::uint8_t mask;  // page order
        const char* bytes;
        std::uint8_t maskRead;
    } cases[] = {
        {"inactive", 0, 0, "10 01", 0},
        {"status bit: states 2 and 3 are not stored", 0xC005, 0x0F, "20 11 05 C0", 0x03},
        {"plain reference", 0x0005, 0x05, "40 01 01 05 00", 0x05},
        {"digital reference", 0x8102, 0x0A, "40 10 10 02 81", 0x0A},
    };
    PanelScope panel(kMonoPanel);
    for (const auto& c : cases) {
        DynamicData written;
        written.SetTag(c.tag, 0);
        written.SetMask(c.mask);
        Bytes out = Buffer();
        const std::uint8_t* end = written.PackShowHide(out.data());
        EXPECT_EQ(Written(out.data(), end), c.bytes) << c.name;

        DynamicData read;
        RecordReader in(out.data(), out.size());
        ASSERT_TRUE(read.UnpackShowHide(in)) << c.name;
        EXPECT_EQ(in.Position(), end) << c.name;
        EXPECT_EQ(read.IsActive(), c.tag != 0) << c.name;
        EXPECT_EQ(read.GetActiveTag(), c.tag) << c.name;
        EXPECT_EQ(read.GetMask(), c.maskRead) << c.name;
    }
}

TEST(ShowHideSpec, MasksAreStoredInReversedStateOrder)
{
    DynamicData data;
    data.SetMask(0x01);
    EXPECT_EQ(data.TTagMask::GetMask(), 0x08);
    EXPECT_EQ(data.GetMask(), 0x01);
    EXPECT_EQ(ReverseStateBits(0x06), 0x06);
    EXPECT_EQ(ReverseStateBits(0x03), 0x0C);

    data.SetTag(0x4000, 0);  // number 0: inactive
    EXPECT_FALSE(data.IsActive());
    std::uint16_t tag = 1;
    int type = 1;
    data.GetTag(tag, type);
    EXPECT_EQ(tag, 0);
    EXPECT_EQ(type, 0);
}

TEST(CompactForms, ShowHideAndColourInsideFieldRecords)
{
    const struct {
        const char* name;
        std::uint16_t tag;
        const char* bytes;
        std::uint8_t maskRead;
    } showHide[] = {
        {"inactive", 0, "10 01", 0},
        {"digital: all four states", 0x8003, "40 11 11", 0x0F},
        {"analog: states 0 and 1 only", 0x0003, "20 11", 0x03},
    };
    for (const auto& c : showHide) {
        DynamicData written;
        written.SetTag(c.tag, 0);
        written.SetMask(0x0F);
        Bytes out = Buffer();
        const std::uint8_t* end = written.PackCompact(out.data());
        EXPECT_EQ(Written(out.data(), end), c.bytes) << c.name;
        DynamicData read;
        RecordReader in(out.data(), out.size());
        ASSERT_TRUE(read.UnpackCompact(in)) << c.name;
        EXPECT_EQ(in.Position(), end) << c.name;
        EXPECT_EQ(read.IsActive(), c.tag != 0) << c.name;
        EXPECT_EQ(read.GetMask(), c.maskRead) << c.name;
    }

    ColorPoint four;
    four.SetCount(4);
    four.SetBackground(5);
    for (int i = 0; i < 4; ++i)
        four.SetColorIndex(i, i + 1);
    Bytes out = Buffer();
    const std::uint8_t* end = four.PackCompact(out.data());
    EXPECT_EQ(Written(out.data(), end), "45 21 43");
    ColorPoint read;
    RecordReader in(out.data(), out.size());
    ASSERT_TRUE(read.UnpackCompact(in));
    EXPECT_EQ(in.Position(), end);
    EXPECT_EQ(read.GetCount(), 4);
    EXPECT_EQ(read.GetColorIndex(3), 4);
    EXPECT_EQ(read.GetBackground(), 5);

    // Counts other than 1, 2 and 4 read as one colour; indexes wrap at 16.
    for (std::uint8_t form : {0x03, 0x33, 0x53, 0xF3}) {
        const std::uint8_t bytes[] = {form, 0x17};
        ColorPoint c;
        RecordReader bad(bytes, sizeof bytes);
        ASSERT_TRUE(c.UnpackCompact(bad));
        EXPECT_EQ(c.GetCount(), 1);
        EXPECT_EQ(c.GetColorIndex(0), 7);
        EXPECT_EQ(bad.Remaining(), 0u);
    }
}

TEST(Dynamics, EachAttributeWritesItsBytesAndFlagsAndReadsBack)
{
    const struct {
        const char* name;
        int panel;
        std::function<void(SizeRect&)> set;
        std::uint8_t flags;
        const char* bytes;
    } cases[] = {
        {"nothing", kMonoPanel, [](SizeRect&) {}, 0x00, ""},
        {"X tag with offset 0 writes nothing", kMonoPanel,
         [](SizeRect& e) { e.GetDynPosition() = TDynPosition(5, 0, {0, 0}); }, 0x00, ""},
        {"X position", kMonoPanel, [](SizeRect& e) { e.GetDynPosition() = TDynPosition(5, 0, {10, 0}); }, 0x02,
         "00 0A 00 05 00"},
        {"X and Y position", kMonoPanel,
         [](SizeRect& e) { e.GetDynPosition() = TDynPosition(1, 0x8002, {0x123, 7}); }, 0x03,
         "10 23 07 01 00 02 80"},
        {"Y position", kMonoPanel,
         [](SizeRect& e) { e.GetDynPosition() = TDynPosition(0, 3, {4, 6}); }, 0x01, "00 04 06 03 00"},
        {"unconditional blink", kMonoPanel, [](SizeRect& e) { e.GetDynBlink() = TDynBlink(0, 0x0F); }, 0x04, ""},
        {"unconditional blink with a tag", kMonoPanel,
         [](SizeRect& e) { e.GetDynBlink() = TDynBlink(7, 0x0F); }, 0x04, ""},
        {"blink by tag", kMonoPanel, [](SizeRect& e) { e.GetDynBlink() = TDynBlink(0x8004, 0x05); }, 0x08,
         "05 04 80"},
        {"blink mask without tag", kMonoPanel, [](SizeRect& e) { e.GetDynBlink() = TDynBlink(0, 0x05); }, 0x00, ""},
        {"rotation, monochrome origin", kMonoPanel,
         [](SizeRect& e) { e.GetDynRotation() = TDynRotation(6, {40, 10}); }, 0x40, "00 28 15 06 00"},
        {"rotation, colour origin", kColorPanel,
         [](SizeRect& e) { e.GetDynRotation() = TDynRotation(6, {40, 10}); }, 0x40, "00 28 1E 06 00"},
        {"fill", kMonoPanel, [](SizeRect& e) { e.GetDynFill() = TDynFill(9, 3); }, 0x80, "03 09 00"},
        {"all four in order", kMonoPanel,
         [](SizeRect& e) {
             e.GetDynFill() = TDynFill(9, 5);
             e.GetDynRotation() = TDynRotation(6, {1, 2});
             e.GetDynBlink() = TDynBlink(0x0002, 0x03);
             e.GetDynPosition() = TDynPosition(5, 0, {10, 0});
         },
         0xCA, "00 0A 00 05 00 03 02 00 00 01 0D 06 00 05 09 00"},
    };
    for (const auto& c : cases) {
        PanelScope panel(c.panel);
        SizeRect written;
        c.set(written);
        std::uint8_t flags = 0;
        Bytes out = Buffer();
        const std::uint8_t* end = PackDynamics(written, out.data(), flags);
        EXPECT_EQ(Written(out.data(), end), c.bytes) << c.name;
        EXPECT_EQ(flags, c.flags) << c.name;

        SizeRect read;
        RecordReader in(out.data(), static_cast<std::size_t>(end - out.data()));
        ASSERT_TRUE(UnpackDynamics(read, in, flags)) << c.name;
        EXPECT_EQ(in.Remaining(), 0u) << c.name;
        // What was not stored reads back empty.
        EXPECT_EQ(read.GetDynPosition(), written.GetDynPosition().IsActive() ? written.GetDynPosition()
                                                                             : TDynPosition())
            << c.name;
        if (written.GetDynBlink().IsUnconditional())
            EXPECT_EQ(read.GetDynBlink(), TDynBlink(0, 0x0F)) << c.name;
        else if (written.GetDynBlink().IsActive())
            EXPECT_EQ(read.GetDynBlink(), written.GetDynBlink()) << c.name;
        else
            EXPECT_EQ(read.GetDynBlink(), TDynBlink()) << c.name;
        EXPECT_EQ(read.GetDynRotation(), written.GetDynRotation()) << c.name;
        EXPECT_EQ(read.GetDynFill(), written.GetDynFill()) << c.name;
    }
}

TEST(Dynamics, StoredAttributesTheWriterWouldDropReadAsItWouldLeaveThem)
{
    // Another program (or damage) may store a position that moves nothing or
    // a blink by a tag that needs none; they read as the writer leaves them,
    // so that reading and saving again changes nothing (a group lists the
    // tags its members hold).
    const struct {
        const char* name;
        std::uint8_t flags;
        const char* bytes;
        TDynPosition position;
        TDynBlink blink;
    } cases[] = {
        {"X tag with offset 0", 0x02, "00 00 00 05 00", TDynPosition(), TDynBlink()},
        {"Y tag with offset 0 and an X offset without tag", 0x01, "00 0A 00 03 00", TDynPosition(), TDynBlink()},
        {"X moves, Y tag with offset 0", 0x03, "00 0A 00 05 00 03 00", TDynPosition(5, 3, {10, 0}), TDynBlink()},
        {"blink by tag in every state", 0x08, "0F 07 00", TDynPosition(), TDynBlink(0, 0x0F)},
        {"blink by tag in every state and more bits", 0x08, "1F 07 00", TDynPosition(), TDynBlink(0, 0x0F)},
        {"blink by tag in no state", 0x08, "00 07 00", TDynPosition(), TDynBlink()},
        {"blink by tag in some states", 0x08, "15 07 00", TDynPosition(), TDynBlink(7, 0x15)},
    };
    for (const auto& c : cases) {
        PanelScope panel(kMonoPanel);
        const std::vector<std::uint8_t> stored = HexVector(c.bytes);
        SizeRect read;
        RecordReader in(stored.data(), stored.size());
        ASSERT_TRUE(UnpackDynamics(read, in, c.flags)) << c.name;
        EXPECT_EQ(read.GetDynPosition(), c.position) << c.name;
        EXPECT_EQ(read.GetDynBlink(), c.blink) << c.name;

        std::uint8_t flags = 0;
        Bytes out = Buffer();
        const std::uint8_t* end = PackDynamics(read, out.data(), flags);
        SizeRect again;
        RecordReader second(out.data(), static_cast<std::size_t>(end - out.data()));
        ASSERT_TRUE(UnpackDynamics(again, second, flags)) << c.name;
        EXPECT_EQ(again.GetDynPosition(), read.GetDynPosition()) << c.name;
        EXPECT_EQ(again.GetDynBlink(), read.GetDynBlink()) << c.name;
    }
}

TEST(CommonBody, AnInactiveShowHideSpecReadsBackAndTheReaderStopsAfterIt)
{
    // On a monochrome panel every element without a show/hide tag stores the
    // inactive form; reading it must take both of its bytes, or the anchor
    // point and everything after it is read one byte early.
    PanelScope panel(kMonoPanel);
    BodyElement written;
    static_cast<TRect&>(written) = TRect(200, 300, 600, 500);
    written.GetDynFill() = TDynFill(9, 1);
    Bytes out = Buffer();
    const std::uint8_t* end = written.WriteRecord(out.data());
    EXPECT_EQ(Written(out.data(), end), "80 10 01 00 0A 22 01 09 00");
    out[static_cast<std::size_t>(end - out.data())] = 0x5A;  // the next element's first byte

    BodyElement read;
    RecordReader in(out.data(), out.size());
    ASSERT_TRUE(read.ReadRecord(in));
    EXPECT_EQ(in.Position(), end);
    EXPECT_EQ(read.anchor, TPoint(10, 23));
    EXPECT_FALSE(read.showHide.IsActive());
    EXPECT_EQ(read.GetDynFill(), written.GetDynFill());
}

TEST(CommonBody, ColourPanelsStoreTheColourSpec)
{
    PanelScope panel(kColorPanel);
    BodyElement written;
    static_cast<TRect&>(written) = TRect(0, 4380, 20, 4480);
    written.GetColors().SetBackground(3);
    written.showHide.SetTag(4, 0);  // not stored on colour panels
    Bytes out = Buffer();
    const std::uint8_t* end = written.WriteRecord(out.data());
    EXPECT_EQ(Written(out.data(), end), "00 13 01 00 00 14");
    BodyElement read;
    RecordReader in(out.data(), static_cast<std::size_t>(end - out.data()));
    ASSERT_TRUE(read.ReadRecord(in));
    EXPECT_EQ(read.GetColors(), written.GetColors());
    EXPECT_EQ(read.anchor, TPoint(0, 0));
}

TEST(FrameRecord, RaisedDeepColourAndMonochrome)
{
    // The rectangle: 10 pixels from the left, 50 x 20 pixels, its bottom 8
    // pixels above the bottom of the 48-pixel screen (type 9) or 184 above
    // that of the 224-pixel screen (type 5).
    const struct {
        const char* name;
        int panel;
        bool raised;
        bool deep;
        int color;
        const char* bytes;
    } cases[] = {
        {"monochrome, flat", kMonoPanel, false, false, 9, "1F 8E 15 01 01 07 0A 00 13 00 32 00 14 01 01"},
        {"monochrome, raised and deep", kMonoPanel, true, true, 9, "1F 8E 14 07 0A 00 13 00 32 00 14 01 02"},
        {"colour, flat", kColorPanel, false, false, 9, "1F 8E 15 02 01 09 07 0A 00 CC 00 32 00 14 01 01"},
        {"colour, raised and deep", kColorPanel, true, true, 4, "1F 8E 15 02 00 04 07 0A 00 CC 00 32 00 14 01 02"},
    };
    for (const auto& c : cases) {
        PanelScope panel(c.panel);
        FrameRect written(TRect(200, 400, 1200, 800), c.raised, c.deep);
        written.SetColor(c.color);
        Bytes out = Buffer();
        const std::uint8_t* end = written.WriteRecord(out.data());
        EXPECT_EQ(Written(out.data(), end), c.bytes) << c.name;

        FrameRect read;
        RecordReader in(out.data(), out.size());
        ASSERT_TRUE(read.ReadRecord(in)) << c.name;
        EXPECT_EQ(in.Position(), end) << c.name;
        FrameRect expected = written;
        if (c.panel == kMonoPanel)
            expected.SetColor(0);  // monochrome records keep no colour
        EXPECT_EQ(read, expected) << c.name;
    }
}

TEST(BadInput, EveryReaderFailsOnACutRecordWithoutReadingPastIt)
{
    PanelScope panel(kMonoPanel);
    const struct {
        const char* name;
        Bytes bytes;
        std::function<bool(RecordReader&)> read;
    } cases[] = {
        {"point", {0x00, 0x0A, 0x10}, [](RecordReader& in) { int x, y; return UnpackPoint(x, y, in); }},
        {"colour spec of four", {0x40, 0x21, 0x43, 0x05, 0x00}, [](RecordReader& in) { ColorPoint c; return c.Unpack(in); }},
        {"colour spec of two", {0x22, 0x43, 0x05, 0x00}, [](RecordReader& in) { ColorPoint c; return c.Unpack(in); }},
        {"compact colours", {0x40, 0x21, 0x43}, [](RecordReader& in) { ColorPoint c; return c.UnpackCompact(in); }},
        {"show/hide", {0x40, 0x01, 0x01, 0x05, 0x00}, [](RecordReader& in) { DynamicData d; return d.UnpackShowHide(in); }},
        {"inactive show/hide", {0x10, 0x01}, [](RecordReader& in) { DynamicData d; return d.UnpackShowHide(in); }},
        {"compact show/hide", {0x40, 0x11, 0x11}, [](RecordReader& in) { DynamicData d; return d.UnpackCompact(in); }},
        {"dynamics", {0x00, 0x0A, 0x00, 0x05, 0x00, 0x03, 0x02, 0x00, 0x00, 0x01, 0x0D, 0x06, 0x00, 0x05, 0x09, 0x00},
         [](RecordReader& in) { SizeRect e; return UnpackDynamics(e, in, 0xCA); }},
        {"frame", {0x1F, 0x8E, 0x15, 0x01, 0x01, 0x07, 0x0A, 0x00, 0x13, 0x00, 0x32, 0x00, 0x14, 0x01, 0x01},
         [](RecordReader& in) { FrameRect f; return f.ReadRecord(in); }},
    };
    for (const auto& c : cases) {
        {
            RecordReader whole(c.bytes);
            EXPECT_TRUE(c.read(whole)) << c.name;
            EXPECT_EQ(whole.Remaining(), 0u) << c.name;
        }
        for (std::size_t n = 0; n < c.bytes.size(); ++n) {
            // A copy of exactly n bytes, so a read past them is a fault the
            // sanitizers see.
            const Bytes cut(c.bytes.begin(), c.bytes.begin() + static_cast<std::ptrdiff_t>(n));
            RecordReader in(cut);
            EXPECT_FALSE(c.read(in)) << c.name << " cut to " << n;
        }
    }
}
