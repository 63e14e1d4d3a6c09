// Rectangles, circles and frames: their field records on both panel kinds,
// sizes, the circle's squareness, the animation and the report.

#include "plintvlr/elements/tests/element_test_util.h"

#include "plintvlr/elements/palette.h"
#include "plintvlr/elements/reg_fig_elem.h"

#include <climits>
#include <functional>
#include <memory>

namespace {

Bytes Parse(const std::string& hex)
{
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 3)
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string Write(const SizeRect& element)
{
    Bytes out(65536, 0xEE);
    return Written(out.data(), element.WriteRecord(out.data()));
}

// Read as the factory does: a rectangle for type 21, a frame for type 14.
std::unique_ptr<TRegFigElem> Read(const std::string& hex, int kind = TRegFigElem::kRectangle)
{
    const Bytes bytes = Parse(hex);
    auto element = std::make_unique<TRegFigElem>(kind);
    RecordReader in(bytes.data(), bytes.size());
    EXPECT_TRUE(element->ReadRecord(in)) << hex;
    EXPECT_EQ(in.Remaining(), 0u) << hex;
    return element;
}

const TRect kBox(200, 400, 600, 800);  // 20 x 20 pixels at (10, 20) from the top

}  // namespace

TEST(FigureRecord, RectanglesAndCirclesWriteTheirPointSequences)
{
    const struct {
        const char* name;
        int panel;
        int kind;
        bool filled;
        int width;
        std::function<void(TRegFigElem&)> set;
        const char* bytes;
    } cases[] = {
        {"unfilled rectangle", kMonoPanel, TRegFigElem::kRectangle, false, 1, nullptr,
         "1F 95 05 01 03 18 48 00 10 01 00 0A 13 10 00 0A 27 10 00 1E 27 10 00 1E 13 10 00 0A 13 00"},
        {"rectangle of width 3", kMonoPanel, TRegFigElem::kRectangle, false, 3, nullptr,
         "1F 95 05 01 03 19 08 03 00 10 01 00 0A 13 10 00 0A 27 10 00 1E 27 10 00 1E 13 10 00 0A 13 00"},
        {"filled rectangle with fill", kMonoPanel, TRegFigElem::kRectangle, true, 1,
         [](TRegFigElem& e) { e.GetDynFill() = TDynFill(9, 3); },
         "1F 95 05 01 04 1C 0C 03 80 10 01 00 0A 13 03 09 00 10 00 0A 27 10 00 1E 27 10 00 1E 13 10 00 0A 13 00"},
        {"unfilled circle", kMonoPanel, TRegFigElem::kCircle, false, 1, nullptr,
         "1F 95 05 01 01 10 48 00 10 01 00 0A 1D 20 00 14 1D 10 00 0A 1D 00"},
        {"filled circle", kMonoPanel, TRegFigElem::kCircle, true, 1, nullptr,
         "1F 95 05 01 02 10 4C 00 10 01 00 0A 1D 20 00 14 1D 10 00 0A 1D 00"},
        {"circle with position", kMonoPanel, TRegFigElem::kCircle, false, 2,
         [](TRegFigElem& e) { e.GetDynPosition() = TDynPosition(5, 0, {10, 0}); },
         "1F 95 05 01 01 16 08 02 02 10 01 00 0A 1D 00 0A 00 05 00 20 00 14 1D 10 00 0A 1D 00"},
        {"colour rectangle", kColorPanel, TRegFigElem::kRectangle, false, 1,
         [](TRegFigElem& e) { e.GetColors().SetBackground(3); },
         "1F 95 05 01 03 18 48 00 13 01 00 0A CC 10 00 0A E0 10 00 1E E0 10 00 1E CC 10 00 0A CC 00"},
    };
    for (const auto& c : cases) {
        PanelScope panel(c.panel);
        TRegFigElem written(c.kind, kBox.TopLeft(), kBox.BottomRight());
        written.GetColors().SetColorIndex(0, kWhite);
        written.SetLineWidth(c.width);
        written.SetFilled(c.filled);
        if (c.set)
            c.set(written);
        EXPECT_EQ(Write(written), c.bytes) << c.name;
        auto read = Read(c.bytes);
        EXPECT_EQ(read->GetKind(), c.kind) << c.name;
        EXPECT_EQ(read->GetRect(), kBox) << c.name;
        EXPECT_EQ(read->IsFilled(), c.filled) << c.name;
        EXPECT_EQ(read->GetLineWidth(), c.width) << c.name;
        EXPECT_EQ(Write(*read), c.bytes) << c.name;
    }
}

TEST(FigureRecord, AnOddCircleReadsBackOnePixelSmaller)
{
    PanelScope panel(kMonoPanel);
    TRegFigElem odd(TRegFigElem::kCircle, {200, 400}, {620, 820});
    ASSERT_EQ(odd.Width(), 420);
    const std::string bytes = Write(odd);
    auto read = Read(bytes);
    EXPECT_EQ(read->Width(), 400);
    EXPECT_EQ(read->Height(), 400);
}

TEST(FigureRecord, BadPointsAreNormalisedAndDamagedRecordsFail)
{
    PanelScope panel(kMonoPanel);
    // The third point lies left of the second and the second on the first's row.
    auto flat = Read("1F 95 05 01 03 10 48 00 10 01 00 0A 13 10 00 0A 13 10 00 05 13 00");
    EXPECT_EQ(flat->GetRect(), TRect(100, 760, 200, 800));
    // A third point far right of the second: wider than the screen, it is
    // cut to the screen as the editor would place it.
    auto wide = Read("1F 95 05 01 03 10 48 00 10 01 00 0A 13 10 00 0A 13 10 00 FF 13 00");
    EXPECT_EQ(wide->GetRect(), TRect(0, 760, 4800, 800));
    // A circle of radius 0 grows to the smallest size.
    auto dot = Read("1F 95 05 01 01 10 48 00 10 01 00 0A 1D 20 00 0A 1D 10 00 0A 1D 00");
    EXPECT_EQ(dot->Width(), 40);
    EXPECT_EQ(dot->Height(), 40);
    const Bytes whole = Parse("1F 95 05 01 03 18 48 00 10 01 00 0A 13 10 00 0A 27 10 00 1E 27 10 00 1E 13 10 00 0A 13 00");
    for (std::size_t n = 0; n < whole.size(); ++n) {
        TRegFigElem element;
        RecordReader in(whole.data(), n);
        EXPECT_FALSE(element.ReadRecord(in)) << n;
    }
    for (const char* bad : {"1F 95 05 01 03 03 77 00 10", "1F 8F 01 01 00"}) {
        TRegFigElem element;
        const Bytes bytes = Parse(bad);
        RecordReader in(bytes.data(), bytes.size());
        EXPECT_FALSE(element.ReadRecord(in)) << bad;
    }
}

TEST(FrameRecord2, AttributesOffLeaveOnlyThePlaceTheWidthAndTheStyle)
{
    PanelScope panel(kMonoPanel);
    TRegFigElem frame(TRegFigElem::kFrame, kBox.TopLeft(), kBox.BottomRight());
    EXPECT_EQ(Write(frame), "1F 8E 54 07 0A 00 13 00 14 00 14 01 01 03 00 10 01");
    auto read = Read(Write(frame), TRegFigElem::kFrame);
    EXPECT_EQ(read->GetRect(), kBox);
    EXPECT_EQ(read->GetKind(), TRegFigElem::kFrame);
}

TEST(FrameRecord2, EachAttributeReadsBackToTheSameBytes)
{
    const struct {
        const char* name;
        int panel;
        std::function<void(TRegFigElem&)> set;
        std::function<void(const TRegFigElem&)> check;
    } cases[] = {
        {"recessed, wide", kMonoPanel,
         [](TRegFigElem& e) {
             e.SetLineWidth(5);
             e.SetFilled(true);
         },
         [](const TRegFigElem& e) {
             EXPECT_TRUE(e.IsFilled());
             EXPECT_EQ(e.GetLineWidth(), 5);
         }},
        {"show/hide by a digital tag", kMonoPanel, [](TRegFigElem& e) { e.GetShowHide().SetTag(0x8003, 0); },
         [](const TRegFigElem& e) { EXPECT_EQ(e.GetShowHideTag(), 0x8003); }},
        {"blink by tag", kMonoPanel, [](TRegFigElem& e) { e.GetDynBlink() = TDynBlink(0x8004, 0x05); },
         [](const TRegFigElem& e) { EXPECT_EQ(e.GetDynBlink(), TDynBlink(0x8004, 0x05)); }},
        {"signed offsets", kMonoPanel, [](TRegFigElem& e) { e.GetDynPosition() = TDynPosition(5, 6, {-3, 4}); },
         [](const TRegFigElem& e) { EXPECT_EQ(e.GetDynPosition(), TDynPosition(5, 6, {-3, 4})); }},
        {"colour by tag", kColorPanel,
         [](TRegFigElem& e) {
             e.GetColors().SetCount(2);
             e.GetColors().SetColorIndex(1, kRed);
             e.GetColors().SetTagReference(0x8007);
         },
         [](const TRegFigElem& e) {
             EXPECT_EQ(e.GetColors().GetColorIndex(0), kGray);
             EXPECT_EQ(e.GetColors().GetColorIndex(1), kRed);
             EXPECT_EQ(e.GetColorTag(), 0x8007);
         }},
    };
    for (const auto& c : cases) {
        PanelScope panel(c.panel);
        TRegFigElem frame(TRegFigElem::kFrame, kBox.TopLeft(), kBox.BottomRight());
        c.set(frame);
        const std::string bytes = Write(frame);
        auto read = Read(bytes, TRegFigElem::kFrame);
        c.check(*read);
        EXPECT_EQ(Write(*read), bytes) << c.name;
    }
}

TEST(FrameRecord2, ABlinkByteOf0x10IsUnconditionalWithoutATag)
{
    PanelScope panel(kMonoPanel);
    TRegFigElem frame(TRegFigElem::kFrame, kBox.TopLeft(), kBox.BottomRight());
    frame.GetDynBlink() = TDynBlink(7, 0x0F);
    const std::string bytes = Write(frame);
    ASSERT_EQ(bytes, "1F 8E D4 07 0A 00 13 00 14 00 14 01 01 03 00 10 01 02 01 10");
    // The same with tag 7 in field 5's word: the tag is not taken.
    auto read = Read("1F 8E D4 07 0A 00 13 00 14 00 14 01 01 03 00 10 01 06 01 10 02 07 00", TRegFigElem::kFrame);
    EXPECT_TRUE(read->GetDynBlink().IsUnconditional());
    EXPECT_EQ(read->GetDynBlink().GetReference(), 0);
    EXPECT_EQ(Write(*read), bytes);

    // A tag with a byte for every state, or for none, is written without the
    // tag, so it is not taken either: a group lists its members' tags, and
    // would list one no record holds after the next save.
    for (const char* field : {"01 06 01 0F 02 07 00", "01 06 01 FF 02 07 00", "01 06 01 00 02 07 00"}) {
        auto stored = Read(std::string("1F 8E D4 07 0A 00 13 00 14 00 14 01 01 03 00 10 ") + field, TRegFigElem::kFrame);
        EXPECT_EQ(stored->GetDynBlink().GetReference(), 0) << field;
        const std::string written = Write(*stored);
        EXPECT_EQ(Write(*Read(written, TRegFigElem::kFrame)), written) << field;
    }
}

TEST(FrameRecord2, AHugeSideWidthIsKeptAsStored)
{
    PanelScope panel(kMonoPanel);
    TRegFigElem frame(TRegFigElem::kFrame, kBox.TopLeft(), kBox.BottomRight());
    frame.SetLineWidth(INT_MAX);
    const std::string bytes = Write(frame);
    EXPECT_NE(bytes.find("FF FF FF 7F"), std::string::npos);
    EXPECT_EQ(Read(bytes, TRegFigElem::kFrame)->GetLineWidth(), INT_MAX);

    // Such a frame can still be moved and sized: it asks for no more room
    // than any element could have.
    const TSize least = frame.GetMinSize();
    EXPECT_GT(least.cx, GetScreenSize().cx * kUnitsPerPixel);
    EXPECT_EQ(least.cx, least.cy);
    frame.SnapToGrid(2, {-10 * kUnitsPerPixel, 10 * kUnitsPerPixel});
    EXPECT_GT(frame.Width(), 0);
    // A negative one is stored too, and asks for no more than a small frame.
    for (int width : {INT_MIN, -400000000, -1}) {
        frame.SetLineWidth(width);
        EXPECT_GT(frame.GetMinSize().cy, 0) << width;
        EXPECT_LT(frame.GetMinSize().cy, GetScreenSize().cy * kUnitsPerPixel) << width;
    }
}

TEST(FigureGeometry, TheConstructorGrowsSmallFiguresAndSquaresCircles)
{
    PanelScope panel(kMonoPanel);
    const struct {
        int kind;
        TPoint a;
        TPoint b;
        TRect expected;
    } cases[] = {
        {TRegFigElem::kFrame, {100, 100}, {120, 120}, TRect(100, 60, 160, 120)},
        {TRegFigElem::kRectangle, {100, 100}, {120, 120}, TRect(100, 80, 140, 120)},
        {TRegFigElem::kCircle, {100, 100}, {200, 120}, TRect(100, 80, 140, 120)},
        {TRegFigElem::kCircle, {300, 100}, {100, 600}, TRect(100, 400, 300, 600)},
        {TRegFigElem::kFrame, {100, 100}, {300, 300}, TRect(100, 100, 300, 300)},
    };
    for (const auto& c : cases) {
        TRegFigElem figure(c.kind, c.a, c.b);
        EXPECT_EQ(figure.GetRect(), c.expected) << c.kind << " " << c.a.x << "," << c.a.y;
    }
    TRegFigElem wide(TRegFigElem::kRectangle, {0, 0}, {400, 400});
    wide.SetLineWidth(3);
    EXPECT_EQ(wide.GetMinSize().cx, 140);
    EXPECT_EQ(wide.GetTypeName(), "tlrect");
}

TEST(FigureGeometry, ACircleStaysSquareBySideHandleOrShorterSide)
{
    PanelScope panel(kColorPanel);  // 320 x 224 pixels
    const struct {
        int handle;
        TSize offset;
        int side;
    } cases[] = {
        {5, {100, 0}, 500},    // right edge: its width
        {3, {-100, 0}, 500},   // left edge: its width
        {7, {0, 60}, 460},     // bottom edge: its height
        {8, {100, 40}, 440},   // corner: the shorter side
        {0, {-200, -40}, 440},
    };
    for (const auto& c : cases) {
        TRegFigElem circle(TRegFigElem::kCircle, kBox.TopLeft(), kBox.BottomRight());
        circle.SnapToGrid(c.handle, c.offset);
        EXPECT_EQ(circle.Width(), c.side) << c.handle;
        EXPECT_EQ(circle.Height(), c.side) << c.handle;
        EXPECT_EQ(circle.GetNodes()[0].Point(), TPoint(circle.left + circle.Width() / 2, circle.top + circle.Height() / 2)) << c.handle;
    }
}

TEST(FigureGeometry, FillingSetsWidthOneExceptOnAFrame)
{
    PanelScope panel(kMonoPanel);
    TRegFigElem rectangle(TRegFigElem::kRectangle, kBox.TopLeft(), kBox.BottomRight());
    rectangle.SetLineWidth(3);
    rectangle.SetFilled(true);
    EXPECT_EQ(rectangle.GetLineWidth(), 1);
    TRegFigElem frame(TRegFigElem::kFrame, kBox.TopLeft(), kBox.BottomRight());
    frame.SetLineWidth(3);
    frame.SetFilled(true);
    EXPECT_EQ(frame.GetLineWidth(), 3);
    EXPECT_EQ(frame.GetTypeName(), "tlframe");
}

TEST(FigureAnimation, StoppingGivesBackTheRestingCornersAndTheSameRecord)
{
    PanelScope panel(kMonoPanel);
    for (int kind : {TRegFigElem::kRectangle, TRegFigElem::kCircle}) {
        TRegFigElem figure(kind, kBox.TopLeft(), kBox.BottomRight());
        figure.GetDynPosition() = TDynPosition(5, 6, {30, 9});
        figure.GetDynRotation() = TDynRotation(7, {33, 21});
        const std::string before = Write(figure);
        const std::vector<Node> resting = figure.GetNodes().Shown();
        figure.StartAnimation();
        bool moved = false;
        for (int i = 0; i < 100; ++i) {
            figure.AnimateStep();
            moved = moved || figure.GetNodes().Shown() != resting;
        }
        EXPECT_TRUE(moved) << kind;
        figure.StopAnimation();
        EXPECT_EQ(figure.GetNodes().Shown(), resting) << kind;
        EXPECT_EQ(figure.GetRect(), kBox) << kind;
        EXPECT_EQ(figure.GetNodes().GetAngle(), 0) << kind;
        EXPECT_EQ(figure.GetNodes().GetAccumulatedMove(), TSize()) << kind;
        EXPECT_EQ(Write(figure), before) << kind;
    }
}

TEST(FigureReport, TypeTextsAndTheWidthLine)
{
    PanelScope panel(kMonoPanel);
    TRegFigElem circle(TRegFigElem::kCircle, kBox.TopLeft(), kBox.BottomRight());
    circle.SetFilled(true);
    ReportLines lines;
    circle.Describe(4, lines, 0);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(0, 17), "4. Filled circle:");
    EXPECT_EQ(lines[1], "");
    TRegFigElem frame(TRegFigElem::kFrame, kBox.TopLeft(), kBox.BottomRight());
    frame.SetLineWidth(3);
    frame.SetFilled(true);
    lines.clear();
    frame.Describe(5, lines, 0);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].substr(0, 18), "5. Recessed frame:");
    EXPECT_EQ(lines[1], "Width 3");
    TRegFigElem rectangle(TRegFigElem::kRectangle, kBox.TopLeft(), kBox.BottomRight());
    lines.clear();
    rectangle.Describe(6, lines, 0);
    EXPECT_EQ(lines[0].substr(0, 22), "6. Unfilled rectangle:");
    EXPECT_EQ(lines[1], "Width 1");
}
