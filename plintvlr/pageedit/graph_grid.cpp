#include "plintvlr/pageedit/graph_grid.h"

#include "plintvlr/pageedit/grid_dialog.h"
#include "plintvlr/pageedit/grid_string_ids.h"
#include "plintvlr/shell/base/shell_string_ids.h"
#include "plintvlr/shell/base/str.h"
#include "platform/base/profile.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/pen.h"
#include "platform/ui/command_enabler.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

constexpr int kUnits = 20;  // page units per pixel
constexpr int kBackgroundGrey = 9;

const char kSection[] = "GRAPHGRID";
const char kUnitXKey[] = "UNITX";
const char kUnitYKey[] = "UNITY";
const char kMultipleKey[] = "MULTIPLE";

// A grid value of the profile. Only two characters are taken ("100" reads
// as 10). A value the dialog could not have written (out of 1..maximum,
// empty, not a number) reads as 1: a unit of 0 would divide by zero when
// snapping and a step of 0 or less would never end the painted lines.
int ReadGridValue(const char* key, int maximum)
{
    char buffer[3] = {};
    GetPrivateProfileString(kSection, key, "", buffer, sizeof buffer, Str(kStrProfileFileName));
    char* end = nullptr;
    const long value = std::strtol(buffer, &end, 10);
    if (end == buffer || value < 1 || value > maximum)
        return 1;
    return static_cast<int>(value);
}

void WriteGridValue(const char* key, int value)
{
    WritePrivateProfileString(kSection, key, std::to_string(value).c_str(), Str(kStrProfileFileName));
}

}  // namespace

// ---------------------------------------------------------------- GraphGrid

void GraphGrid::Snap(TPoint& point, int screenHeight) const
{
    // Integer divisions truncating toward zero, as the positions were always
    // computed; a unit below 1 (never set by the dialog) snaps to pixels.
    const int ux = std::max(1, unitX);
    const int uy = std::max(1, unitY);
    const int bottom = screenHeight * kUnits;
    point.x = ((point.x / kUnits + ux / 2) / ux) * ux * kUnits;
    point.y = bottom - ((((bottom - point.y) + (uy * kUnits) / 2) / kUnits) / uy) * uy * kUnits;
}

void GraphGrid::Paint(TDC& dc, const TSize& screen) const
{
    const int width = screen.cx * kUnits;
    const int height = screen.cy * kUnits;
    const int n = std::max(1, multiple);
    const int stepX = n * std::max(1, unitX) * kUnits;
    const int stepY = n * std::max(1, unitY) * kUnits;
    dc.SelectObject(TPen(lineColor, 1, PS_SOLID));
    for (int y = height - stepY; y > 0; y -= stepY) {
        dc.MoveTo(0, y);
        dc.LineTo(width, y);
    }
    for (int x = stepX; x < width; x += stepX) {
        dc.MoveTo(x, 0);
        dc.LineTo(x, height);
    }
    dc.RestorePen();
}

// ---------------------------------------------------------------- GraphGridState

GraphGridState::~GraphGridState()
{
    GridDialog::CloseFor(*this);
}

void GraphGridState::LoadProfile()
{
    storedUnitX = ReadGridValue(kUnitXKey, GraphGrid::kMaxUnit);
    storedUnitY = ReadGridValue(kUnitYKey, GraphGrid::kMaxUnit);
    grid.multiple = ReadGridValue(kMultipleKey, GraphGrid::kMaxMultiple);
}

void GraphGridState::SaveProfile() const
{
    WriteGridValue(kUnitXKey, storedUnitX);
    WriteGridValue(kUnitYKey, storedUnitY);
    WriteGridValue(kMultipleKey, grid.multiple);
}

void GraphGridState::SetUpTextPanel(const TSize& cellPixels)
{
    storedUnitX = std::max(1, static_cast<int>(cellPixels.cx));
    storedUnitY = std::max(1, static_cast<int>(cellPixels.cy));
    GridOn();
    ToggleLines();
}

bool GraphGridState::GridOn()
{
    if (!grid.IsOn()) {
        grid.unitX = storedUnitX;
        grid.unitY = storedUnitY;
        return false;
    }
    storedUnitX = grid.unitX;
    storedUnitY = grid.unitY;
    grid.unitX = 1;
    grid.unitY = 1;
    // Lines of a grid that is off would show a raster nothing snaps to.
    if (!linesShown)
        return false;
    linesShown = false;
    return true;
}

bool GraphGridState::ToggleLines()
{
    linesShown = !linesShown;
    return true;
}

void GraphGridState::SetLineColor(int backgroundIndex)
{
    grid.lineColor = backgroundIndex == kBackgroundGrey ? TColor::Gray : TColor::LtGray;
}

void GraphGridState::EnableGridOn(TCommandEnabler& enabler, bool textPanel, bool pickup) const
{
    if (textPanel) {
        enabler.SetText(Str(kStrGridOn));
        enabler.Enable(false);
        return;
    }
    enabler.SetText(Str(grid.IsOn() ? kStrGridOff : kStrGridOn));
    enabler.Enable(!(storedUnitX == 1 && storedUnitY == 1) && !pickup);
}

void GraphGridState::EnableHideLines(TCommandEnabler& enabler, bool textPanel, bool pickup) const
{
    if (textPanel) {
        enabler.SetText(Str(kStrHideGraphicsGridLines));
        enabler.Enable(false);
        return;
    }
    enabler.SetText(Str(linesShown ? kStrHideGridLines : kStrShowGridLines));
    enabler.Enable(grid.IsOn() && !pickup);
}

void GraphGridState::EnableSetGrid(TCommandEnabler& enabler, bool textPanel, bool pickup)
{
    enabler.Enable(!textPanel && !pickup);
}
