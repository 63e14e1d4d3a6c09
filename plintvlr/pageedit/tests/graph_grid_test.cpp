// The graphics grid: snapping from the left and bottom edges, the painted
// lines, the profile values (and the ones that must not be used as they
// stand), and the grid commands' effects, enablers and texts.

#include "plintvlr/pageedit/graph_grid.h"

#include "platform/base/profile.h"
#include "platform/gdi/dc.h"
#include "platform/ui/command_enabler.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kUnits = 20;

TPoint Pixels(int x, int y)
{
    return TPoint(x * kUnits, y * kUnits);
}

TEST(GraphGridSnap, LandsOnTheNearestMultipleFromTheLeftAndTheBottomEdge)
{
    // A screen 112 pixels high: its height is no multiple of 3, so snapping
    // from the top would give other rows than snapping from the bottom.
    constexpr int kHeight = 112;
    struct Case {
        int unitX, unitY;
        TPoint at;        // pixels, y from the top as page points are held
        TPoint expected;  // pixels
    };
    const Case cases[] = {
        {4, 1, {6, 50}, {8, 50}},
        {4, 1, {5, 50}, {4, 50}},
        {4, 1, {2, 50}, {4, 50}},   // halfway goes to the larger distance
        {4, 1, {1, 50}, {0, 50}},
        {1, 4, {30, kHeight - 2}, {30, kHeight - 4}},
        {1, 4, {30, kHeight - 1}, {30, kHeight}},
        {1, 3, {30, 1}, {30, 1}},   // 111 from the bottom is a multiple of 3
        {1, 3, {30, 0}, {30, 1}},
        {5, 3, {12, 55}, {10, 55}},
        {1, 1, {17, 33}, {17, 33}},
    };
    for (const Case& c : cases) {
        GraphGrid grid;
        grid.unitX = c.unitX;
        grid.unitY = c.unitY;
        TPoint p = Pixels(c.at.x, c.at.y);
        grid.Snap(p, kHeight);
        EXPECT_EQ(p, Pixels(c.expected.x, c.expected.y))
            << "unit " << c.unitX << " x " << c.unitY << " at " << c.at.x << ", " << c.at.y;
    }
}

// Paints the grid of a W x H screen into an image of `scale` times its size
// in the page mapping; white where nothing was drawn.
QImage Painted(const GraphGrid& grid, TSize screen, int scale)
{
    QImage image(screen.cx * scale, screen.cy * scale, QImage::Format_RGB32);
    image.fill(Qt::white);
    TDC dc(image);
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(TSize(screen.cx * kUnits, screen.cy * kUnits));
    dc.SetViewportExt(TSize(image.width(), image.height()));
    grid.Paint(dc, screen);
    return image;
}

std::vector<int> LineColumns(const QImage& image, int row)
{
    std::vector<int> columns;
    for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, row) != qRgb(255, 255, 255) && image.pixel(x, row + 1) != qRgb(255, 255, 255))
            columns.push_back(x);
    return columns;
}

std::vector<int> LineRows(const QImage& image, int column)
{
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y)
        if (image.pixel(column, y) != qRgb(255, 255, 255) && image.pixel(column + 1, y) != qRgb(255, 255, 255))
            rows.push_back(y);
    return rows;
}

TEST(GraphGridPaint, DrawsEveryMultipleThUnitFromTheLeftAndTheBottomInTheLineColour)
{
    GraphGrid grid;
    grid.unitX = 4;
    grid.unitY = 3;
    grid.multiple = 2;
    grid.lineColor = TColor::Gray;
    const TSize screen(40, 31);
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        const QImage image = Painted(grid, screen, scale);
        // Vertical lines every 8 pixels, none on the edges.
        std::vector<int> columns;
        for (int x : {8, 16, 24, 32})
            columns.push_back(x * scale);
        EXPECT_EQ(LineColumns(image, 3 * scale), columns);
        // Horizontal lines every 6 pixels counted up from the bottom.
        std::vector<int> rows;
        for (int y : {1, 7, 13, 19, 25})
            rows.push_back(y * scale);
        EXPECT_EQ(LineRows(image, 3 * scale), rows);
        EXPECT_EQ(image.pixel(8 * scale, 3 * scale), qRgb(128, 128, 128));
    }
}

TEST(GraphGridPaint, AStepOfNothingStillEnds)
{
    // Values no dialog sets, as a hand-edited profile once gave them.
    GraphGrid grid;
    grid.unitX = 0;
    grid.unitY = -3;
    grid.multiple = 0;
    const QImage image = Painted(grid, TSize(10, 10), 1);
    EXPECT_EQ(LineColumns(image, 0).size(), 9u);
    TPoint p = Pixels(3, 3);
    grid.Snap(p, 10);
    EXPECT_EQ(p, Pixels(3, 3));
}

// A profile folder of the test's own.
class GraphGridProfile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/plv-grid-XXXXXX";
        folder_ = ::mkdtemp(pattern);
        ::setenv("PLV_PROFILE_DIR", folder_.c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    static void Set(const char* key, const char* value)
    {
        WritePrivateProfileString("GRAPHGRID", key, value, "PLINTVLR.INI");
    }
    static std::string Get(const char* key)
    {
        char value[32] = {};
        GetPrivateProfileString("GRAPHGRID", key, "", value, sizeof value, "PLINTVLR.INI");
        return value;
    }

    std::string folder_;
};

TEST_F(GraphGridProfile, ValuesTheDialogCouldNotHaveWrittenReadAsOne)
{
    struct Case {
        const char* value;  // null: the key is missing
        int unit;           // as UNITX and UNITY read it (1..40)
        int multiple;       // as MULTIPLE reads it (1..10)
    };
    const Case cases[] = {
        {"12", 12, 1}, {"7", 7, 7},    {"100", 10, 10}, {"40", 40, 1}, {"41", 1, 1}, {"0", 1, 1},
        {"-5", 1, 1},  {"x", 1, 1},    {"", 1, 1},      {nullptr, 1, 1}, {" 3", 3, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(missing)");
        for (const char* key : {"UNITX", "UNITY", "MULTIPLE"})
            Set(key, c.value);
        GraphGridState state;
        state.LoadProfile();
        EXPECT_EQ(state.storedUnitX, c.unit);
        EXPECT_EQ(state.storedUnitY, c.unit);
        EXPECT_EQ(state.grid.multiple, c.multiple);
        // Read at construction, the grid is off until "Grid On".
        EXPECT_FALSE(state.grid.IsOn());
    }
}

TEST_F(GraphGridProfile, AZeroMultipleStillPaintsItsLinesAndReturns)
{
    Set("UNITX", "4");
    Set("UNITY", "4");
    Set("MULTIPLE", "0");
    GraphGridState state;
    state.LoadProfile();
    state.GridOn();
    state.ToggleLines();
    const QImage image = Painted(state.grid, TSize(16, 16), 1);
    EXPECT_EQ(LineColumns(image, 1), (std::vector<int>{4, 8, 12}));
}

TEST_F(GraphGridProfile, WritesTheStoredUnitsAndTheActiveMultipleBack)
{
    GraphGridState state;
    state.storedUnitX = 6;
    state.storedUnitY = 9;
    state.grid.unitX = 3;  // the active units are not what is kept
    state.grid.multiple = 5;
    state.SaveProfile();
    EXPECT_EQ(Get("UNITX"), "6");
    EXPECT_EQ(Get("UNITY"), "9");
    EXPECT_EQ(Get("MULTIPLE"), "5");
    GraphGridState next;
    next.LoadProfile();
    EXPECT_EQ(next.storedUnitX, 6);
    EXPECT_EQ(next.storedUnitY, 9);
    EXPECT_EQ(next.grid.multiple, 5);
}

struct Shown {
    bool enabled;
    std::string text;
    bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Shown& s)
{
    return out << (s.enabled ? "enabled" : "greyed") << " \"" << s.text << '"';
}

template <class Enable>
Shown Ask(unsigned id, Enable enable)
{
    TCommandEnabler enabler(id);
    enable(enabler);
    return {enabler.IsEnabled(), enabler.TextWasSet() ? enabler.GetText() : std::string("(unchanged)")};
}

TEST(GraphGridCommands, GridOnSwitchesBetweenTheStoredUnitsAndPixelsAndHidesTheLines)
{
    GraphGridState state;
    // Nothing stored: nothing to switch to.
    EXPECT_EQ(Ask(CM_GRIDON, [&](auto& e) { state.EnableGridOn(e, false, false); }), (Shown{false, "&Grid On"}));
    EXPECT_EQ(Ask(CM_HIDEGRIDLINES, [&](auto& e) { state.EnableHideLines(e, false, false); }).enabled, false);

    state.storedUnitX = 5;
    state.storedUnitY = 4;
    EXPECT_EQ(Ask(CM_GRIDON, [&](auto& e) { state.EnableGridOn(e, false, false); }), (Shown{true, "&Grid On"}));
    EXPECT_FALSE(state.GridOn());
    EXPECT_EQ(state.grid.unitX, 5);
    EXPECT_EQ(state.grid.unitY, 4);
    EXPECT_EQ(Ask(CM_GRIDON, [&](auto& e) { state.EnableGridOn(e, false, false); }), (Shown{true, "&Grid Off"}));
    EXPECT_EQ(Ask(CM_HIDEGRIDLINES, [&](auto& e) { state.EnableHideLines(e, false, false); }),
              (Shown{true, "Show Grid &Lines"}));
    EXPECT_TRUE(state.ToggleLines());
    EXPECT_EQ(Ask(CM_HIDEGRIDLINES, [&](auto& e) { state.EnableHideLines(e, false, false); }),
              (Shown{true, "Hide Grid &Lines"}));

    // Off: the units in use become the stored ones, and painted lines go.
    state.grid.unitX = 7;
    EXPECT_TRUE(state.GridOn()) << "the page is painted again without its lines";
    EXPECT_FALSE(state.grid.IsOn());
    EXPECT_FALSE(state.linesShown);
    EXPECT_EQ(state.storedUnitX, 7);
    EXPECT_EQ(state.storedUnitY, 4);
    // Off without lines: nothing to paint again.
    state.GridOn();
    EXPECT_FALSE(state.GridOn());
}

TEST(GraphGridCommands, PickUpModeAndTextPanelsGreyTheCommands)
{
    struct Case {
        const char* what;
        bool textPanel;
        bool pickup;
        Shown gridOn, hideLines;
        bool setGrid;
    };
    const Case cases[] = {
        {"graphic panel", false, false, {true, "&Grid Off"}, {true, "Hide Grid &Lines"}, true},
        {"picking up a point", false, true, {false, "&Grid Off"}, {false, "Hide Grid &Lines"}, false},
        {"text panel", true, false, {false, "&Grid On"}, {false, "Hide Graphics Grid &Lines"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GraphGridState state;
        state.storedUnitX = 2;
        state.GridOn();
        state.ToggleLines();
        EXPECT_EQ(Ask(CM_GRIDON, [&](auto& e) { state.EnableGridOn(e, c.textPanel, c.pickup); }), c.gridOn);
        EXPECT_EQ(Ask(CM_HIDEGRIDLINES, [&](auto& e) { state.EnableHideLines(e, c.textPanel, c.pickup); }),
                  c.hideLines);
        EXPECT_EQ(Ask(CM_SETGRID, [&](auto& e) { GraphGridState::EnableSetGrid(e, c.textPanel, c.pickup); }).enabled,
                  c.setGrid);
    }
}

TEST(GraphGridCommands, ATextPanelSnapsToTheCharacterCellWithItsLinesShown)
{
    GraphGridState state;
    state.SetUpTextPanel(TSize(6, 8));
    EXPECT_EQ(state.grid.unitX, 6);
    EXPECT_EQ(state.grid.unitY, 8);
    EXPECT_TRUE(state.linesShown);
    TPoint p = Pixels(10, 100);  // 12 pixels above the bottom of a 112-pixel screen
    state.grid.Snap(p, 112);
    EXPECT_EQ(p, Pixels(12, 96));
}

TEST(GraphGridCommands, TheLinesAreGreyOnAGreyPageAndLightGreyOtherwise)
{
    GraphGridState state;
    for (const auto& [background, colour] : {std::pair{9, TColor::Gray}, {0, TColor::LtGray}, {7, TColor::LtGray}}) {
        state.SetLineColor(background);
        EXPECT_EQ(state.grid.lineColor, colour) << background;
    }
}

}  // namespace
