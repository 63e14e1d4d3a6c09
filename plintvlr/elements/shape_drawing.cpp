#include "plintvlr/elements/shape_drawing.h"

#include "platform/gdi/dc.h"
#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/lines_elem.h"
#include "plintvlr/elements/palette.h"

#include <algorithm>

TColor ShapeColor(const SizeRect& element, const TDC& dc)
{
    const int index = element.GetDynBlink().GetColorIndex(element.GetColors(), element.GetAnimationStep());
    if (dc.IsPrinter() && PaletteIndex(index) == kWhite)
        return PaletteColor(kBlack);
    return PaletteColor(index);
}

void DescribeColorOrShowHide(const ColorPoint& colors, const DynamicData& showHide, ReportLines& lines)
{
    if (IsColorPanel())
        colors.Describe(true, lines);
    else
        showHide.Describe(lines);
}

bool IsCanvasAnimating()
{
    const ActivePageEditor* editor = GetActivePageEditor();
    return editor && editor->IsAnimating();
}

std::uint8_t* PackLineCode(bool closed, int width, const TDynFill& fill, std::uint8_t* at)
{
    if (closed) {
        if (!fill.IsActive()) {
            *at++ = kShapeNoFillCode;
            return at;
        }
        *at++ = kShapeCode;
        *at++ = static_cast<std::uint8_t>(fill.GetMode());
    } else if (width == 1) {
        *at++ = kLinesWidth1Code;
    } else {
        *at++ = kLinesCode;
        *at++ = static_cast<std::uint8_t>(std::clamp(width, 1, 255));
    }
    return at;
}

bool UnpackLineCode(RecordReader& in, std::uint8_t& code, int& width)
{
    if (!in.ReadByte(code))
        return false;
    switch (code) {
    case kLinesCode: {
        std::uint8_t stored = 0;
        if (!in.ReadByte(stored))
            return false;
        width = std::max<int>(stored, 1);
        return true;
    }
    case kShapeCode:
        // The fill mode stands again in the fill attribute's data.
        return in.Skip(1);
    case kLinesWidth1Code:
    case kShapeNoFillCode:
        return true;
    default:
        in.Fail();
        return false;
    }
}

void AnimateNodes(NodeArray& nodes, const SizeRect& element)
{
    if (element.GetDynPosition().IsActive()) {
        nodes.SetOffset(element.GetDynPosition().GetOffsetUnits());
        nodes.PositionStep();
    }
    if (element.GetDynRotation().IsActive()) {
        nodes.SetCentre(element.GetDynRotation().GetCentre());
        nodes.RotateStep();
    } else {
        nodes.UndoRotation();
    }
}
