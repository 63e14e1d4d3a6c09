#pragma once
// What the shape elements share when they draw and store themselves.

#include "plintvlr/elements/node_array.h"
#include "plintvlr/elements/size_rect.h"

#include "platform/base/color.h"

class TDC;

// The colour the element shows at its animation step; a printer prints white
// as black so that white lines stay visible on paper.
TColor ShapeColor(const SizeRect& element, const TDC& dc);

// The colour spec (colour panels) or show/hide spec, then the common report
// line of the element's colours.
void DescribeColorOrShowHide(const ColorPoint& colors, const DynamicData& showHide, ReportLines& lines);

// The code that opens a lines-element body (the lines element's record, and
// the figure inside a rectangle's or circle's record), with the width byte
// of a wide open line or the fill mode byte of a shape with a fill tag.
std::uint8_t* PackLineCode(bool closed, int width, const TDynFill& fill, std::uint8_t* at);
// Reads it back: the code, and the width when the body holds one (a stored
// width of 0 reads as 1). False for any other code.
bool UnpackLineCode(RecordReader& in, std::uint8_t& code, int& width);

// One preview step of an element's nodes: towards its position offset, and
// turned by its rotation; a figure whose rotation tag went away shows its
// resting nodes again.
void AnimateNodes(NodeArray& nodes, const SizeRect& element);

// Whether the page canvas is running the animation preview.
bool IsCanvasAnimating();

// What a drawing can reach, for skipping it in a repaint of `area` (page
// units). Each widens the figure by `reach` units, which should hold half
// the pen and a pixel or two of rounding.
// The segment a-b.
bool SegmentReaches(const TPoint& a, const TPoint& b, int reach, const TRect& area);
// A closed figure filled with the alternate rule, and its outline.
bool PolygonReaches(const std::vector<Node>& corners, int reach, const TRect& area);
// The outline of the ellipse in `box`, a band `band` units wide inside it.
bool EllipseBandReaches(const TRect& box, int band, int reach, const TRect& area);
