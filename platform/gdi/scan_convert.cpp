#include "platform/gdi/scan_convert.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Coordinates beyond this are cut: no device or region is that large, and it
// keeps a wild coordinate from making millions of empty rows.
constexpr double kLimit = 1 << 24;

void AddRun(TRuns& out, int y, int x0, int x1)
{
    if (x1 <= x0)
        return;
    if (!out.empty()) {
        QRect& last = out.back();
        // Runs of one shape come in order; one appended after another
        // shape's run of the same row only joins it when it follows on.
        if (last.top() == y && x0 >= last.left() && x0 <= last.right() + 1) {
            last.setRight(std::max(last.right(), x1 - 1));
            return;
        }
    }
    out.emplace_back(x0, y, x1 - x0, 1);
}

}  // namespace

namespace {

// Bresenham's steps from a towards b, each pixel handed to `put`.
template <class Emit>
void StepLine(TPoint a, TPoint b, bool includeLast, Emit&& put)
{
    const int dx = std::abs(b.x - a.x);
    const int dy = std::abs(b.y - a.y);
    const int sx = b.x >= a.x ? 1 : -1;
    const int sy = b.y >= a.y ? 1 : -1;
    const int steps = std::max(dx, dy);
    const int count = includeLast ? steps + 1 : steps;
    int x = a.x;
    int y = a.y;
    if (dx >= dy) {
        int e = 2 * dy - dx;
        for (int i = 0; i < count; ++i) {
            put(x, y);
            if (e > 0) {
                y += sy;
                e -= 2 * dx;
            }
            e += 2 * dy;
            x += sx;
        }
    } else {
        int e = 2 * dx - dy;
        for (int i = 0; i < count; ++i) {
            put(x, y);
            if (e > 0) {
                x += sx;
                e -= 2 * dy;
            }
            e += 2 * dx;
            y += sy;
        }
    }
}

}  // namespace

void LinePixels(TPoint a, TPoint b, bool includeLast, std::vector<TPoint>& out)
{
    const int steps = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
    out.reserve(out.size() + static_cast<std::size_t>(std::max(includeLast ? steps + 1 : steps, 0)));
    StepLine(a, b, includeLast, [&](int x, int y) { out.emplace_back(x, y); });
}

void LinePixels(TPoint a, TPoint b, bool includeLast, std::vector<TPoint>& out, const QRect& keep)
{
    const long long left = keep.x(), top = keep.y();
    const long long right = left + keep.width(), bottom = top + keep.height();
    StepLine(a, b, includeLast, [&](int x, int y) {
        if (x >= left && x < right && y >= top && y < bottom)
            out.emplace_back(x, y);
    });
}

void EllipseRuns(const TRect& box, TRuns& out, int rowMin, int rowMax)
{
    const TRect r = box.Normalized();
    if (r.IsEmpty())
        return;
    const double a = r.Width() / 2.0;
    const double b = r.Height() / 2.0;
    const double cx = r.left + a;
    const double cy = r.top + b;
    // Each row of the lower half is the mirror image of one in the upper
    // half, and each right end the mirror of the left one, so the shape is
    // symmetric whatever the rounding.
    const int half = (r.Height() + 1) / 2;
    const int first = std::max(r.top, rowMin);
    const int last = std::min(r.bottom, rowMax);
    for (int y = first; y < last; ++y) {
        const int j = y - r.top < half ? y - r.top : r.bottom - 1 - y;
        const double d = (r.top + j + 0.5 - cy) / b;
        const double hw = a * std::sqrt(std::max(0.0, 1.0 - d * d));
        const int xl = static_cast<int>(std::ceil(cx - hw - 0.5 - 1e-9));
        const int xr = r.left + r.right - 1 - xl;
        AddRun(out, y, xl, xr + 1);
    }
}

void PolygonRuns(const QPointF* points, int count, bool winding, TRuns& out, int rowMin, int rowMax)
{
    if (count < 3)
        return;
    double ymin = points[0].y();
    double ymax = ymin;
    for (int i = 1; i < count; ++i) {
        ymin = std::min(ymin, points[i].y());
        ymax = std::max(ymax, points[i].y());
    }
    ymin = std::max(ymin, -kLimit);
    ymax = std::min(ymax, kLimit);
    struct Crossing {
        double x;
        int dir;
    };
    std::vector<Crossing>& crossings = Scratch<Crossing, 0>();
    const int y0 = std::max(static_cast<int>(std::floor(ymin - 0.5)), rowMin);
    const int y1 = std::min(static_cast<int>(std::ceil(ymax)), rowMax - 1);
    for (int y = y0; y <= y1; ++y) {
        const double yc = y + 0.5;
        crossings.clear();
        // Each edge from the point before to this one (the last point
        // closes on the first).
        for (int i = 0, j = count - 1; i < count; j = i++) {
            const QPointF& p = points[j];
            const QPointF& q = points[i];
            if (p.y() == q.y())
                continue;
            const bool down = q.y() > p.y();
            const double lo = down ? p.y() : q.y();
            const double hi = down ? q.y() : p.y();
            if (yc < lo || yc >= hi)
                continue;
            const double x = p.x() + (yc - p.y()) * (q.x() - p.x()) / (q.y() - p.y());
            crossings.push_back({x, down ? 1 : -1});
        }
        if (crossings.size() < 2)
            continue;
        std::sort(crossings.begin(), crossings.end(), [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
        int wind = 0;
        for (std::size_t k = 0; k + 1 < crossings.size(); ++k) {
            wind += crossings[k].dir;
            const bool inside = winding ? wind != 0 : (k % 2) == 0;
            if (!inside)
                continue;
            const double xa = std::clamp(crossings[k].x, -kLimit, kLimit);
            const double xb = std::clamp(crossings[k + 1].x, -kLimit, kLimit);
            AddRun(out, y, static_cast<int>(std::ceil(xa - 0.5)), static_cast<int>(std::ceil(xb - 0.5)));
        }
    }
}

void PolygonRuns(const TPoint* points, int count, bool winding, TRuns& out, int rowMin, int rowMax)
{
    std::vector<QPointF> p;
    p.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        p.emplace_back(points[i].x, points[i].y);
    PolygonRuns(p.data(), count, winding, out, rowMin, rowMax);
}

QRegion RunsToRegion(const TRuns& runs)
{
    QRegion region;
    if (!runs.empty())
        region.setRects(runs.data(), static_cast<int>(runs.size()));
    return region;
}

QRegion EllipseRegion(const TRect& box, int rowMin, int rowMax)
{
    TRuns runs;
    EllipseRuns(box, runs, rowMin, rowMax);
    return RunsToRegion(runs);
}

void WideLineRuns(TPoint a, TPoint b, int width, TRuns& out, int rowMin, int rowMax)
{
    const int lo = width / 2;
    auto disc = [&](TPoint p) {
        EllipseRuns(TRect(p.x - lo, p.y - lo, p.x - lo + width, p.y - lo + width), out, rowMin, rowMax);
    };
    disc(a);
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double len = std::hypot(dx, dy);
    if (len > 0) {
        const double nx = -dy / len * width / 2.0;
        const double ny = dx / len * width / 2.0;
        const QPointF ca(a.x + 0.5, a.y + 0.5);
        const QPointF cb(b.x + 0.5, b.y + 0.5);
        const QPointF quad[4] = {ca + QPointF(nx, ny), cb + QPointF(nx, ny), cb - QPointF(nx, ny), ca - QPointF(nx, ny)};
        PolygonRuns(quad, 4, true, out, rowMin, rowMax);
        disc(b);
    }
}

void MergeRuns(TRuns& runs)
{
    std::sort(runs.begin(), runs.end(), [](const QRect& l, const QRect& r) {
        return l.top() != r.top() ? l.top() < r.top() : l.left() < r.left();
    });
    std::size_t kept = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const QRect& run = runs[i];
        if (kept > 0 && runs[kept - 1].top() == run.top() && run.left() <= runs[kept - 1].right() + 1) {
            QRect& last = runs[kept - 1];
            last.setRight(std::max(last.right(), run.right()));
            continue;
        }
        runs[kept++] = run;
    }
    runs.resize(kept);
}

QRegion WideLineRegion(TPoint a, TPoint b, int width, int rowMin, int rowMax)
{
    TRuns runs;
    WideLineRuns(a, b, width, runs, rowMin, rowMax);
    MergeRuns(runs);
    return RunsToRegion(runs);
}
