#pragma once
// What the shape elements share when they draw and store themselves.

#include "plintvlr/elements/size_rect.h"

#include "platform/base/color.h"

class TDC;

// The colour the element shows at its animation step; a printer prints white
// as black so that white lines stay visible on paper.
TColor ShapeColor(const SizeRect& element, const TDC& dc);

// The colour spec (colour panels) or show/hide spec, then the common report
// line of the element's colours.
void DescribeColorOrShowHide(const ColorPoint& colors, const DynamicData& showHide, ReportLines& lines);

// Whether the page canvas is running the animation preview.
bool IsCanvasAnimating();
