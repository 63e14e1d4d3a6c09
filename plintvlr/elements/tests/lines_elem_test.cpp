// The lines element: its record on both panel kinds, node editing, geometry,
// the animation preview and the report.

#include "plintvlr/elements/tests/element_test_util.h"

#include "plintvlr/elements/lines_elem.h"

#include <cmath>
#include <memory>

namespace {

Bytes Buffer()
{
    return Bytes(65536, 0xEE);
}

Bytes Parse(const std::string& hex)
{
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 3)
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

// A record of `count` nodes: the head up to the first point, then node i at
// x = 4i pixels and the stored y that `y` gives.
Bytes NodeRecord(const std::string& head, int count, int (*y)(int))
{
    Bytes bytes = Parse(head);
    for (int i = 1; i < count; ++i) {
        bytes.push_back(kNodeMarker);
        bytes.push_back(0);
        bytes.push_back(static_cast<std::uint8_t>(4 * i));
        bytes.push_back(static_cast<std::uint8_t>(y(i)));
    }
    bytes.push_back(0);
    return bytes;
}

std::string Write(const SizeRect& element)
{
    Bytes out = Buffer();
    return Written(out.data(), element.WriteRecord(out.data()));
}

// The element a record reads to; fails the test when it does not read whole.
std::unique_ptr<LinesElem> Read(const Bytes& bytes)
{
    auto element = std::make_unique<LinesElem>();
    RecordReader in(bytes.data(), bytes.size());
    EXPECT_TRUE(element->ReadRecord(in)) << Hex(bytes);
    EXPECT_EQ(in.Remaining(), 0u) << Hex(bytes);
    return element;
}

class AnimatingEditor : public FakePageEditor {
public:
    using FakePageEditor::FakePageEditor;
    bool IsAnimating() const override { return true; }
};

// A right-angled open line: nodes (10, 10), (390, 10), (390, 390).
std::unique_ptr<LinesElem> Corner()
{
    return std::make_unique<LinesElem>(std::vector<TPoint>{{0, 0}, {400, 0}, {400, 400}});
}

std::vector<Node> NodesOf(const LinesElem& e)
{
    return e.GetNodes().Shown();
}

}  // namespace

TEST(LinesRecord, EachFormReadsBackToAnElementThatWritesTheSameBytes)
{
    const struct {
        const char* name;
        int panel;
        const char* bytes;
        bool closed;
        int width;
        int nodes;
    } cases[] = {
        {"open, width 1", kMonoPanel, "48 00 10 01 00 0A 1F 10 00 32 2A 00", false, 1, 2},
        {"open, width 3", kMonoPanel, "08 03 00 10 01 00 0A 1F 10 00 32 2A 00", false, 3, 2},
        {"shape without fill", kMonoPanel, "4C 00 10 01 00 0A 1F 10 00 32 2A 10 00 0A 2A 00", true, 1, 3},
        {"shape with fill mode 3", kMonoPanel, "0C 03 80 10 01 00 0A 1F 03 09 00 10 00 32 2A 10 00 0A 2A 00", true, 1,
         3},
        {"position, blink and rotation", kMonoPanel,
         "08 02 4A 10 01 00 0A 1F 00 0A 00 05 00 05 04 80 00 28 15 06 00 10 00 32 2A 00", false, 2, 2},
        {"colour panel", kColorPanel, "48 00 13 01 00 0A 28 10 00 32 33 00", false, 1, 2},
        {"colour panel, shape with fill", kColorPanel, "0C 01 80 13 01 00 0A 28 01 09 00 10 00 32 33 10 00 0A 33 00",
         true, 1, 3},
    };
    for (const auto& c : cases) {
        PanelScope panel(c.panel);
        auto element = Read(Parse(c.bytes));
        EXPECT_EQ(element->IsFilled(), c.closed) << c.name;
        EXPECT_EQ(element->GetLineWidth(), c.width) << c.name;
        EXPECT_EQ(element->GetNodes().Count(), c.nodes) << c.name;
        EXPECT_EQ(Write(*element), c.bytes) << c.name;
    }
}

TEST(LinesRecord, NodesAndRectangleComeFromThePointsFromTheBottom)
{
    PanelScope panel(kMonoPanel);  // 48 pixels high
    auto element = Read(Parse("08 03 00 10 01 00 0A 1F 10 00 32 2A 00"));
    // (10, 20) and (50, 31) from the bottom; the pen of 3 pixels round them.
    EXPECT_EQ(element->GetRect(), TRect(180, 320, 1040, 600));
    EXPECT_EQ(NodesOf(*element), (std::vector<Node>{{210, 570, 0}, {1010, 350, 0}}));
}

TEST(LinesRecord, AListLongerThanTheEditorAllowsReadsWhole)
{
    PanelScope panel(kMonoPanel);
    const Bytes bytes = NodeRecord("48 00 10 01 00 00 0B", 45, [](int i) { return 11 + i % 2 * 20; });
    auto element = Read(bytes);
    EXPECT_EQ(element->GetNodes().Count(), 45);
    EXPECT_EQ(Write(*element), Hex(bytes));
}

TEST(LinesRecord, DamagedRecordsFailOrReadSoundly)
{
    PanelScope panel(kMonoPanel);
    const Bytes whole = Parse("08 03 00 10 01 00 0A 1F 10 00 32 2A 00");
    // Every cut before the closing 0 fails, without reading past the cut.
    for (std::size_t n = 0; n < whole.size(); ++n) {
        LinesElem element;
        RecordReader in(whole.data(), n);
        EXPECT_FALSE(element.ReadRecord(in)) << n;
    }
    for (const char* bad : {"00 00 10 01 00 0A 1F 00", "1F 00 10 01 00 0A 1F 00"}) {
        LinesElem element;
        const Bytes bytes = Parse(bad);
        RecordReader in(bytes.data(), bytes.size());
        EXPECT_FALSE(element.ReadRecord(in)) << bad;
    }
    // A width of 0 reads as 1, written back in the short form.
    auto element = Read(Parse("08 00 00 10 01 00 0A 1F 10 00 32 2A 00"));
    EXPECT_EQ(element->GetLineWidth(), 1);
    EXPECT_EQ(Write(*element), "48 00 10 01 00 0A 1F 10 00 32 2A 00");
}

TEST(LinesStyle, ClosingSetsWidthOneAndTheShortCode)
{
    PanelScope panel(kMonoPanel);
    auto element = Read(Parse("08 03 00 10 01 00 0A 1F 10 00 32 2A 00"));
    element->SetFilled(true);
    EXPECT_EQ(element->GetLineWidth(), 1);
    EXPECT_EQ(Write(*element).substr(0, 5), "4C 00");
    element->SetFilled(false);
    EXPECT_EQ(Write(*element).substr(0, 5), "48 00");
    element->SetLineWidth(4);
    EXPECT_EQ(Write(*element).substr(0, 5), "08 04");
    EXPECT_EQ(element->GetMinSize(), TSize(80, 80));
    TLineStyle& style = *element;
    EXPECT_EQ(style.GetLineWidth(), 4);
    EXPECT_EQ(element->GetTypeName(), "tllines");
}

TEST(LinesNodes, HitTestFindsNodesBeforeSegments)
{
    PanelScope panel(kMonoPanel);  // handles of 2 pixels: a tolerance of 40 units
    auto open = Corner();
    ASSERT_EQ(NodesOf(*open), (std::vector<Node>{{10, 10, 0}, {390, 10, 0}, {390, 390, 0}}));
    auto closed = Corner();
    closed->SetFilled(true);
    open->SetNodesFrozen(false);
    closed->SetNodesFrozen(false);
    const struct {
        TPoint point;
        NodeHit open;
        NodeHit closed;
        int index;
    } cases[] = {
        {{10, 10}, kHitFirstNode, kHitFirstNode, 0},
        {{390, 10}, kHitInnerNode, kHitInnerNode, 1},
        {{395, 395}, kHitLastNode, kHitLastNode, 2},
        {{200, 12}, kHitSegment, kHitSegment, 0},
        // Within the tolerance of node 1 beside segment 0: node 1.
        {{370, 15}, kHitInnerNode, kHitInnerNode, 1},
        {{390, 200}, kHitSegment, kHitSegment, 1},
        // The closing segment exists only on a shape.
        {{200, 200}, kHitNothing, kHitSegment, 2},
        {{200, 100}, kHitNothing, kHitNothing, -1},
    };
    for (const auto& c : cases) {
        int index = -1;
        EXPECT_EQ(open->HitTestNode(c.point, index), c.open) << c.point.x << "," << c.point.y;
        if (c.open != kHitNothing) {
            EXPECT_EQ(index, c.index);
        }
        index = -1;
        EXPECT_EQ(closed->HitTestNode(c.point, index), c.closed) << c.point.x << "," << c.point.y;
        if (c.closed != kHitNothing) {
            EXPECT_EQ(index, c.index);
        }
    }
    int index = -1;
    open->SetNodesFrozen(true);
    EXPECT_EQ(open->HitTestNode({10, 10}, index), kHitNothing);
    AnimatingEditor animating(kMonoPanel);
    SetActivePageEditor(&animating);
    EXPECT_EQ(closed->HitTestNode({10, 10}, index), kHitNothing);
    SetActivePageEditor(&panel.Editor());
}

TEST(LinesNodes, InsertDeleteAndSelectRules)
{
    PanelScope panel(kMonoPanel);
    std::vector<TPoint> forty;
    for (int i = 0; i < 40; ++i)
        forty.push_back({i * 20, i % 2 * 200});
    LinesElem full(forty);
    full.InsertNode(3, {5, 5, 0});
    EXPECT_EQ(full.GetNodes().Count(), 40);

    // Two nodes: never a selected node, nothing deleted.
    LinesElem two(std::vector<TPoint>{{0, 0}, {400, 0}});
    two.SelectNode(0);
    EXPECT_EQ(two.GetSelectedNode(), -1);
    EXPECT_TRUE(two.DeleteNode().IsEmpty());
    EXPECT_EQ(two.GetNodes().Count(), 2);

    LinesElem four(std::vector<TPoint>{{0, 0}, {400, 0}, {400, 400}, {0, 400}});
    four.InsertNode(1, {200, 0, 0});
    EXPECT_EQ(four.GetSelectedNode(), 1);
    EXPECT_EQ(four.GetNodes()[1], (Node{200, 0, 0}));
    four.SelectNode(0);
    four.DeleteNode();
    EXPECT_EQ(four.GetNodes().Count(), 4);
    EXPECT_EQ(four.GetSelectedNode(), 0);  // the former second node
    four.SelectNode(3);
    four.DeleteNode();
    EXPECT_EQ(four.GetSelectedNode(), 2);
    four.SelectNode(0);
    four.DeleteNode();  // two are left: none selected
    EXPECT_EQ(four.GetNodes().Count(), 2);
    EXPECT_EQ(four.GetSelectedNode(), -1);

    LinesElem three(std::vector<TPoint>{{0, 0}, {400, 0}, {400, 400}});
    three.MoveNode(2, {600, 600});
    EXPECT_EQ(three.GetNodes()[2], (Node{600, 600, 0}));
    EXPECT_EQ(three.GetSelectedNode(), 2);
    EXPECT_EQ(three.GetNodeMarkRect(), TRect(570, 570, 630, 630));  // 3/2 handle = 60
    EXPECT_EQ(three.DeselectNode(), TRect(570, 570, 630, 630));
    EXPECT_EQ(three.GetSelectedNode(), -1);
    EXPECT_TRUE(three.GetNodeMarkRect().IsEmpty());
    three.SelectNode(1);
    three.Select(true);
    EXPECT_EQ(three.GetSelectedNode(), -1);
}

TEST(LinesGeometry, ToggleOrientationTurnsAnticlockwiseAndTwiceMakesAHalfTurn)
{
    PanelScope panel(kMonoPanel);
    auto element = Corner();
    ASSERT_EQ(element->GetRect(), TRect(0, 0, 400, 400));
    element->ToggleOrientation();
    // The top-right corner went to the top-left.
    EXPECT_NEAR(element->GetNodes()[1].x, 10, 1);
    EXPECT_NEAR(element->GetNodes()[1].y, 10, 1);
    element->ToggleOrientation();
    const std::vector<Node> nodes = NodesOf(*element);
    const int expected[3][2] = {{390, 390}, {10, 390}, {10, 10}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(nodes[i].x, expected[i][0], 1) << i;
        EXPECT_NEAR(nodes[i].y, expected[i][1], 1) << i;
    }
}

TEST(LinesGeometry, DrawnPointsFitInsideThePenAndMovesCarryTheNodes)
{
    PanelScope panel(kMonoPanel);
    LinesElem wide(std::vector<TPoint>{{0, 0}, {1000, 0}});
    // A level line: the rectangle takes the smallest height of the pen.
    EXPECT_EQ(wide.GetRect(), TRect(0, 0, 1000, 20));
    auto element = Corner();
    element->SnapToGrid(kProgramMove, {200, 100});
    EXPECT_EQ(element->GetRect(), TRect(200, 100, 600, 500));
    EXPECT_EQ(NodesOf(*element), (std::vector<Node>{{210, 110, 0}, {590, 110, 0}, {590, 490, 0}}));
    EXPECT_TRUE(element->SnapToGrid(kProgramMove, {19, -19}).IsEmpty());
    auto copy = element->Duplicate();
    EXPECT_NE(copy->GetId(), element->GetId());
    EXPECT_EQ(Write(*copy), Write(*element));
}

TEST(LinesAnimation, SixtyStepsMakeAFullTurnThatStaysUntilTheNextStep)
{
    PanelScope panel(kMonoPanel);
    auto element = Corner();
    element->GetDynRotation() = TDynRotation(6, {10, 38});
    element->StartAnimation();
    for (int i = 0; i < 60; ++i)
        element->AnimateStep();
    EXPECT_EQ(element->GetNodes().GetAngle(), 360);
    element->AnimateStep();
    EXPECT_EQ(element->GetNodes().GetAngle(), 6);
}

TEST(LinesAnimation, ANegativeXOffsetMovesNoNode)
{
    PanelScope panel(kMonoPanel);
    auto element = Corner();
    const std::vector<Node> resting = NodesOf(*element);
    element->GetDynPosition() = TDynPosition(5, 0, {-10, 0});
    element->StartAnimation();
    for (int i = 0; i < 30; ++i) {
        element->AnimateStep();
        EXPECT_EQ(NodesOf(*element), resting) << i;
    }
    // Right and up: 20 steps of a twentieth, then back.
    element->GetDynPosition() = TDynPosition(5, 6, {20, 10});
    element->AnimateStep();
    EXPECT_EQ(element->GetNodes()[0], (Node{30, 0, 0}));
}

TEST(LinesAnimation, StoppingGivesBackTheRestingNodesAndTheSameRecord)
{
    PanelScope panel(kMonoPanel);
    auto element = Read(Parse("4C 00 10 01 00 0A 1F 10 00 32 2A 10 00 0A 2A 10 00 30 10 00"));
    element->GetDynPosition() = TDynPosition(5, 6, {30, 9});
    element->GetDynRotation() = TDynRotation(7, {33, 21});
    const std::string before = Write(*element);
    const std::vector<Node> resting = NodesOf(*element);
    const TRect rect = element->GetRect();
    element->StartAnimation();
    bool moved = false;
    for (int i = 0; i < 100; ++i) {
        element->AnimateStep();
        moved = moved || NodesOf(*element) != resting;
    }
    EXPECT_TRUE(moved);
    element->StopAnimation();
    EXPECT_EQ(NodesOf(*element), resting);
    EXPECT_EQ(element->GetRect(), rect);
    EXPECT_EQ(element->GetNodes().GetAngle(), 0);
    EXPECT_EQ(element->GetNodes().GetAccumulatedMove(), TSize());
    EXPECT_EQ(Write(*element), before);
}

TEST(LinesAnimation, AClearedRotationTagShowsTheRestingNodesAtTheNextStep)
{
    PanelScope panel(kMonoPanel);
    auto turning = Corner();
    auto other = Corner();
    const std::vector<Node> resting = NodesOf(*turning);
    turning->GetDynRotation() = TDynRotation(6, {10, 38});
    other->GetDynRotation() = TDynRotation(8, {10, 38});
    turning->StartAnimation();
    other->StartAnimation();
    for (int i = 0; i < 5; ++i) {
        turning->AnimateStep();
        other->AnimateStep();
    }
    ASSERT_NE(NodesOf(*turning), resting);
    turning->GetDynRotation() = TDynRotation();
    turning->AnimateStep();
    other->AnimateStep();
    EXPECT_EQ(NodesOf(*turning), resting);
    EXPECT_EQ(other->GetNodes().GetAngle(), 36);
}

TEST(LinesReport, NodesTenToALineInPixelsFromTheTopLeft)
{
    PanelScope panel(kMonoPanel);
    const Bytes bytes = NodeRecord("08 02 00 10 01 00 00 0B", 12, [](int) { return 11; });
    auto element = Read(bytes);
    ReportLines lines;
    element->Describe(3, lines, 0);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0].substr(0, 9), "3. Lines:");
    EXPECT_EQ(lines[1], "Width 2");
    EXPECT_EQ(lines[2], "List of nodes in form (x, y):");
    // A node on the left edge stays there: the pen may reach past the screen.
    EXPECT_EQ(lines[3].substr(0, 19), "(0, 48) (4, 48) (8,");
    EXPECT_EQ(lines[4], "(40, 48) (44, 48) ");
    EXPECT_EQ(lines[5], "");
    element->SetFilled(true);
    lines.clear();
    element->Describe(3, lines, 0);
    EXPECT_EQ(lines[0].substr(0, 9), "3. Shape:");
    EXPECT_EQ(lines[1], "List of nodes in form (x, y):");
}

TEST(LinesGeometry, APenWiderThanTheElementNeverMirrorsTheNodes)
{
    // Type 9 is 48 pixels high: a 60-pixel pen makes the element taller
    // than the screen, which cuts it; the nodes stay the right way up,
    // centred, and saving and reading it again changes nothing.
    PanelScope panel(kMonoPanel);
    for (const int width : {60, 61}) {
        LinesElem element(std::vector<TPoint>{{400, 0}, {800, 0}, {800, 400}});
        element.SetLineWidth(width);
        element.SnapToGrid(kProgramMove, {0, 100});
        const std::vector<Node> nodes = NodesOf(element);
        ASSERT_EQ(nodes.size(), 3u);
        EXPECT_LT(nodes[0].x, nodes[1].x) << width;
        EXPECT_LT(nodes[1].y, nodes[2].y) << width;
        EXPECT_EQ(nodes[1].x - nodes[0].x, nodes[2].y - nodes[1].y) << width;
        EXPECT_EQ((nodes[1].y + nodes[2].y) / 2, (element.top + element.bottom) / 2) << width;

        const std::string stored = Write(element);
        auto again = Read(Parse(stored));
        again->SnapToGrid(kProgramMove, {0, 20});
        again->SnapToGrid(kProgramMove, {0, -20});
        EXPECT_EQ(Write(*again), stored) << width;
    }
}

TEST(LinesGeometry, NodesFartherApartThanACutElementIsHighAreDrawnIntoIt)
{
    // A record may hold nodes a thousand pixels apart under a 149-pixel pen:
    // the screen cuts the element, and the nodes must stay inside it, where a
    // record can place them; otherwise each save moved them somewhere else.
    PanelScope panel(kMonoPanel);
    LinesElem element(std::vector<TPoint>{{1500, -20000}, {2640, 20960}, {1480, 15640}});
    element.SetLineWidth(149);
    element.NormalizePlacement();
    for (const Node& node : NodesOf(element)) {
        EXPECT_GE(node.y, element.top);
        EXPECT_LE(node.y, element.bottom);
    }
    const std::string stored = Write(element);
    auto again = Read(Parse(stored));
    again->NormalizePlacement();
    EXPECT_EQ(Write(*again), stored);
}
