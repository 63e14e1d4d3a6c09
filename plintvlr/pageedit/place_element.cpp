// Placing a new element with the current drawing tool: the element is built
// from the two snapped corners of the click or drag, selected, given the
// page colour on colour panels, added to the page and opened in its editor.
// The data and operator elements come from constructors that their
// subsystem registers; their limits are checked before anything is built.

#include "plintvlr/pageedit/draw_window.h"

#include "plintvlr/dataelements/touch_grid.h"
#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/bitmap_elem.h"
#include "plintvlr/elements/format_text.h"
#include "plintvlr/elements/lines_elem.h"
#include "plintvlr/elements/point_elem.h"
#include "plintvlr/elements/reg_fig_elem.h"
#include "plintvlr/pageedit/canvas_string_ids.h"
#include "plintvlr/pageedit/pageedit_string_ids.h"
#include "plintvlr/pageedit/size_rect_manager.h"
#include "plintvlr/shell/base/shell_string_ids.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/base/app.h"
#include "platform/ui/mdi_client.h"

#include <map>

namespace {

std::map<UINT, TToolElementFactory>& ToolFactories()
{
    static std::map<UINT, TToolElementFactory> factories;
    return factories;
}

constexpr int kMaxTrends = 4;

}  // namespace

void RegisterToolElement(UINT tool, TToolElementFactory factory)
{
    ToolFactories()[tool] = std::move(factory);
}

const TToolElementFactory* FindToolElement(UINT tool)
{
    const auto found = ToolFactories().find(tool);
    return found == ToolFactories().end() || !found->second ? nullptr : &found->second;
}

void ClearToolElements()
{
    ToolFactories().clear();
}

std::unique_ptr<SizeRect> DrawWindow::BuildRegisteredElement(const TPoint& a, const TPoint& b, int number) const
{
    const TToolElementFactory* factory = FindToolElement(tool_);
    return factory ? (*factory)({a, b, number}) : nullptr;
}

TRect DrawWindow::TouchPlacementRect(const TPoint& a, const TPoint& b) const
{
    const TRect drag = TRect(a, b).Normalized();
    if (!touchGrid_)
        return drag;
    if (a == b)
        return touchGrid_->CellAt(a);
    return touchGrid_->SnapRect(drag);
}

void DrawWindow::PlaceElement(const TPoint& anchor, const TPoint& current)
{
    anchor_ = anchor;
    current_ = current;
    PlaceElement();
    if (tool_ != CM_ADDLINES)
        SetTool(CM_SELECTGRAPHICS);
}

void DrawWindow::PlaceElement()
{
    if (tool_ == CM_ADDLINES) {
        PlacePolyline();
        return;
    }
    TPoint a = anchor_;
    TPoint b = current_;
    SnapToGrid(a);
    SnapToGrid(b);
    std::unique_ptr<SizeRect> element;
    switch (tool_) {
    case CM_ADDTEXT:
        element = std::make_unique<TFormatText>(a, b);
        break;
    case CM_ADDTAGDISPLAY:
    case kDigitalTagDisplayTool:
        element = NewPointElem(a, b, tool_ == kDigitalTagDisplayTool);
        break;
    case CM_ADDFRAME:
        element = std::make_unique<TRegFigElem>(TRegFigElem::kFrame, a, b);
        break;
    case CM_ADDCIRCLE:
        element = std::make_unique<TRegFigElem>(TRegFigElem::kCircle, a, b);
        break;
    case CM_ADDRECTANGLE:
        element = std::make_unique<TRegFigElem>(TRegFigElem::kRectangle, a, b);
        break;
    case CM_ADDBITMAP:
        element = a == b ? std::make_unique<BitmapElem>(a) : std::make_unique<BitmapElem>(a, b);
        break;
    case CM_ADDTREND:
        if (model_->CountTrends() >= kMaxTrends) {
            TApp::MessageBox(nullptr, GetHandle(), Str(kStrTrendLimit), Str(kStrApplicationMessage),
                             MB_OK | MB_ICONSTOP);
            return;
        }
        element = BuildRegisteredElement(a, b, 0);
        break;
    case CM_ADDTOUCHREGION:
    case CM_ADDPUSHBUTTON: {
        const TRect rect = TouchPlacementRect(a, b);
        if (rect.IsEmpty() || model_->OverlapsTouchRegion(rect))
            return;
        element = BuildRegisteredElement(rect.TopLeft(), rect.BottomRight(), 0);
        break;
    }
    case CM_ADDDRIVEOUT: {
        const int number = model_->FreeDriveOutNumber();
        if (number == 0) {
            TApp::MessageBox(nullptr, GetHandle(), Str(kStrNoMoreDriveOuts), Str(kStrApplicationMessage), MB_OK);
            return;
        }
        element = BuildRegisteredElement(a, b, number);
        break;
    }
    default:
        element = BuildRegisteredElement(a, b, 0);
        break;
    }
    if (element)
        AddPlacedElement(std::move(element), true);
}

void DrawWindow::PlacePolyline()
{
    std::vector<TPoint> points;
    points.swap(polyline_);
    if (points.size() < 2) {
        Invalidate(true);
        return;
    }
    auto lines = std::make_unique<LinesElem>(points);
    InvalidateLogicalRect(lines->GetRepaintRect());
    AddPlacedElement(std::move(lines), true);
}

void DrawWindow::AddPlacedElement(std::unique_ptr<SizeRect> element, bool edit)
{
    element->Select(true);
    if (IsColorPanel())
        element->GetColors().SetBackground(background_);
    SizeRect* added = element.get();
    model_->AddElement(std::move(element));
    if (edit) {
        const ActivePageEditor* editor = GetActivePageEditor();
        TWindow* client = editor ? editor->GetMDIClient() : nullptr;
        added->Edit(client ? client : this);
    }
    ShowSelectionPosition(TSize());
}
