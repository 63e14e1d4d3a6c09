#include "plintvlr/elements/shape_drawing.h"

#include "platform/gdi/dc.h"
#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/palette.h"

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
