#pragma once
// Scan conversion in device pixels: which pixels a line, an ellipse or a
// polygon covers, by the platform's rules. A pixel (x, y) is the unit square
// whose centre is (x + 0.5, y + 0.5).
//
// - Lines step from pixel to pixel (one pixel per step along the longer
//   axis) and leave out their last point, so a polyline draws each joint once.
// - Ellipses cover the pixels whose centres lie inside the ellipse inscribed
//   in the box; the box's right and bottom edges are outside, so the ellipse
//   touches columns left and right - 1 and rows top and bottom - 1. The shape
//   is exactly symmetric about both axes of the box.
// - Polygons cover the pixels whose centres lie inside (alternate or winding
//   rule); a centre on a left or top edge is inside, on a right or bottom edge
//   outside, so polygons that share an edge share no pixel.
//
// The results are runs of pixels: rectangles one row high, sorted by row and
// then by column, not overlapping, as QRegion::setRects wants them.

#include "platform/base/geometry.h"

#include <QPointF>
#include <QRect>
#include <QRegion>

#include <vector>

using TRuns = std::vector<QRect>;

// A buffer of the calling thread's, emptied, for a drawing call to work in:
// a paint of many small figures then allocates once, not once a figure.
// Each (type, tag) pair is one buffer, so a call uses its own tag and does
// not hand it on to a call that may use the same one. A buffer that grew
// large for one huge figure is given back.
template <class T, int Tag>
std::vector<T>& Scratch()
{
    thread_local std::vector<T> buffer;
    buffer.clear();
    if (buffer.capacity() * sizeof(T) > (std::size_t{1} << 20))
        buffer.shrink_to_fit();
    return buffer;
}

// The pixels of a line from a to b; the last point is left out unless
// includeLast. A line from a point to itself is empty (one pixel with includeLast).
void LinePixels(TPoint a, TPoint b, bool includeLast, std::vector<TPoint>& out);
// The same steps, keeping only the pixels inside `keep`.
void LinePixels(TPoint a, TPoint b, bool includeLast, std::vector<TPoint>& out, const QRect& keep);

// Shapes are only scanned in rows rowMin..rowMax-1 (what can be seen), so a
// huge shape costs no more than the device is high.
constexpr int kAllRows = 1 << 30;

// The pixels of the ellipse inscribed in box (right and bottom exclusive).
void EllipseRuns(const TRect& box, TRuns& out, int rowMin = -kAllRows, int rowMax = kAllRows);

// The pixels inside a polygon given in continuous device coordinates (pixel
// (x, y) spans x..x+1, y..y+1); the polygon is closed implicitly.
void PolygonRuns(const QPointF* points, int count, bool winding, TRuns& out, int rowMin = -kAllRows,
                 int rowMax = kAllRows);

// The same for integer device points taken as pixel corners, as rectangle
// corners are: the polygon (l,t) (r,t) (r,b) (l,b) fills exactly the pixels
// of TRect(l, t, r, b). (A pen outline through the same points runs through
// the pixels at the vertices, so it reaches column r and row b.)
void PolygonRuns(const TPoint* points, int count, bool winding, TRuns& out, int rowMin = -kAllRows,
                 int rowMax = kAllRows);

// A band of the given width round a line from a to b (pixel centres), with
// round ends: what a wide pen covers.
QRegion WideLineRegion(TPoint a, TPoint b, int width, int rowMin = -kAllRows, int rowMax = kAllRows);
// The same pixels as runs appended to `out`: one-row runs that may overlap,
// in no order (MergeRuns makes them a region's runs).
void WideLineRuns(TPoint a, TPoint b, int width, TRuns& out, int rowMin = -kAllRows, int rowMax = kAllRows);

// Sorts one-row runs by row and column and joins those that overlap or
// touch, so that every pixel is in one run: the runs of their union.
void MergeRuns(TRuns& runs);

QRegion RunsToRegion(const TRuns& runs);
QRegion EllipseRegion(const TRect& box, int rowMin = -kAllRows, int rowMax = kAllRows);
