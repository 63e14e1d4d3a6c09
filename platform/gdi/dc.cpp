#include "platform/gdi/dc.h"

#include "platform/gdi/dc_internal.h"
#include "platform/gdi/sys_colors.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

long long RoundDiv(long long n, long long d)
{
    if (d == 0)
        return 0;
    const bool negative = (n < 0) != (d < 0);
    const long long an = n < 0 ? -n : n;
    const long long ad = d < 0 ? -d : d;
    const long long q = (an + ad / 2) / ad;
    return negative ? -q : q;
}

int Clamp(long long v)
{
    return static_cast<int>(std::clamp<long long>(v, -(1LL << 30), 1LL << 30));
}

// The pixels of a rectangle; none for an empty or inverted one (a wide pen's
// inner box can come out inverted, and then nothing of it is inside).
QRegion RectRegion(const TRect& r)
{
    return r.IsEmpty() ? QRegion() : QRegion(r.left, r.top, r.Width(), r.Height());
}

// The pixels of `outer` less those of `inner`, which lies inside it (or is
// empty): the bands above and below it and the sides between them, with no
// region arithmetic. The answer is the number of rectangles.
int FrameRects(const TRect& outer, const TRect& inner, QRect (&out)[4])
{
    if (outer.IsEmpty())
        return 0;
    if (inner.IsEmpty()) {
        out[0] = QRect(outer.left, outer.top, outer.Width(), outer.Height());
        return 1;
    }
    int count = 0;
    auto add = [&](int l, int t, int r, int b) {
        if (r > l && b > t)
            out[count++] = QRect(l, t, r - l, b - t);
    };
    add(outer.left, outer.top, outer.right, inner.top);
    add(outer.left, inner.top, inner.left, inner.bottom);
    add(inner.right, inner.top, outer.right, inner.bottom);
    add(outer.left, inner.bottom, outer.right, outer.bottom);
    return count;
}

// The pixels of `from` less those of `less`; both are runs sorted by row and
// column that do not overlap, and so is the answer.
TRuns SubtractRuns(const TRuns& from, const TRuns& less)
{
    TRuns out;
    out.reserve(from.size() + 4);
    std::size_t k = 0;
    for (const QRect& run : from) {
        const int y = run.top();
        int x = run.left();
        const int end = run.left() + run.width();
        while (k < less.size() && (less[k].top() < y || (less[k].top() == y && less[k].left() + less[k].width() <= x)))
            ++k;
        for (std::size_t j = k; j < less.size() && less[j].top() == y && less[j].left() < end; ++j) {
            if (less[j].left() > x)
                out.emplace_back(x, y, less[j].left() - x, 1);
            x = std::max(x, less[j].left() + less[j].width());
        }
        if (end > x)
            out.emplace_back(x, y, end - x, 1);
    }
    return out;
}

// The units per inch of the fixed map modes; 0 for the others.
int UnitsPerInch(int mode)
{
    switch (mode) {
    case MM_LOMETRIC:
        return 254;
    case MM_HIMETRIC:
        return 2540;
    case MM_LOENGLISH:
        return 100;
    case MM_HIENGLISH:
        return 1000;
    case MM_TWIPS:
        return 1440;
    default:
        return 0;
    }
}

// The dash patterns of pens one pixel wide, in pixels: on, off, on, off...
const std::vector<int>& DashPattern(int style)
{
    static const std::vector<int> kDash{18, 6};
    static const std::vector<int> kDot{3, 3};
    static const std::vector<int> kDashDot{9, 6, 3, 6};
    static const std::vector<int> kDashDotDot{9, 3, 3, 3, 3, 3};
    static const std::vector<int> kSolid;
    switch (style) {
    case PS_DASH:
        return kDash;
    case PS_DOT:
        return kDot;
    case PS_DASHDOT:
        return kDashDot;
    case PS_DASHDOTDOT:
        return kDashDotDot;
    default:
        return kSolid;
    }
}

QPainter::CompositionMode CompositionFor(int rop2)
{
    switch (rop2) {
    case R2_NOTMERGEPEN:
        return QPainter::RasterOp_NotSourceAndNotDestination;
    case R2_MASKNOTPEN:
        return QPainter::RasterOp_NotSourceAndDestination;
    case R2_NOTCOPYPEN:
        return QPainter::RasterOp_NotSource;
    case R2_MASKPENNOT:
        return QPainter::RasterOp_SourceAndNotDestination;
    case R2_NOT:
        return QPainter::RasterOp_NotDestination;
    case R2_XORPEN:
        return QPainter::RasterOp_SourceXorDestination;
    case R2_NOTMASKPEN:
        return QPainter::RasterOp_NotSourceOrNotDestination;
    case R2_MASKPEN:
        return QPainter::RasterOp_SourceAndDestination;
    case R2_NOTXORPEN:
        return QPainter::RasterOp_NotSourceXorDestination;
    case R2_MERGENOTPEN:
        return QPainter::RasterOp_NotSourceOrDestination;
    case R2_MERGEPENNOT:
        return QPainter::RasterOp_SourceOrNotDestination;
    case R2_MERGEPEN:
        return QPainter::RasterOp_SourceOrDestination;
    default:
        return QPainter::CompositionMode_Source;
    }
}

// Printers and PDF writers: vector output, no raster operations.
bool IsPaper(QPaintDevice* device)
{
    if (!device)
        return false;
    if (device->devType() == QInternal::Printer)
        return true;
    // A widget is screen, and asking it for its engine outside Qt's own painting only warns.
    if (device->devType() == QInternal::Widget)
        return false;
    const QPaintEngine* engine = device->paintEngine();
    return engine && engine->type() == QPaintEngine::Pdf;
}

// Cuts the segment a-b to a rectangle (Liang-Barsky); false when nothing of
// it is inside.
bool ClipSegment(TPoint& a, TPoint& b, const QRect& r)
{
    const double x0 = a.x, y0 = a.y;
    const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - r.left(), r.right() - x0, y0 - r.top(), r.bottom() - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const TPoint from(static_cast<int>(std::lround(x0 + t0 * dx)), static_cast<int>(std::lround(y0 + t0 * dy)));
    b = TPoint(static_cast<int>(std::lround(x0 + t1 * dx)), static_cast<int>(std::lround(y0 + t1 * dy)));
    a = from;
    return true;
}

// Whether the box of the segment a-b, widened by `margin` on each side,
// meets the rectangle.
bool SegmentBoxTouches(const TPoint& a, const TPoint& b, int margin, const QRect& r)
{
    const long long m = margin;
    return std::min(a.x, b.x) - m <= r.right() && std::max(a.x, b.x) + m >= r.left() &&
           std::min(a.y, b.y) - m <= r.bottom() && std::max(a.y, b.y) + m >= r.top();
}

}  // namespace

// --- Construction ----------------------------------------------------------

TDC::TDC() = default;

TDC::TDC(QImage& image)
{
    AttachImage(&image, false);
}

TDC::TDC(QPainter& painter)
{
    painter.save();
    painterSaved_ = true;
    // The painter's own clipping (a paint event's area) bounds everything
    // drawn here, as the system's clipping does.
    if (painter.hasClipping())
        painterClip_ = painter.clipRegion();
    AttachPainter(&painter, IsPaper(painter.device()));
}

TDC::TDC(QPaintDevice& device)
{
    if (device.devType() == QInternal::Image) {
        AttachImage(static_cast<QImage*>(&device), false);
        return;
    }
    ownPainter_ = std::make_unique<QPainter>();
    if (!ownPainter_->begin(&device)) {
        ownPainter_.reset();
        return;
    }
    AttachPainter(ownPainter_.get(), IsPaper(&device));
}

TDC::~TDC()
{
    if (painter_ && painterSaved_)
        painter_->restore();
    if (ownPainter_)
        ownPainter_->end();
}

void TDC::AttachImage(QImage* image, bool monochrome)
{
    image_ = image;
    painter_ = nullptr;
    mono_ = monochrome;
    target_ = image ? Target::Image : Target::None;
    if (image && image->format() != QImage::Format_RGB32 && image->format() != QImage::Format_ARGB32 &&
        image->format() != QImage::Format_ARGB32_Premultiplied)
        *image = image->convertToFormat(QImage::Format_RGB32);
    device_.width = image ? image->width() : 0;
    device_.height = image ? image->height() : 0;
    device_.printer = false;
    ClipChanged();
}

void TDC::AttachPainter(QPainter* painter, bool printer)
{
    painter_ = painter;
    image_ = nullptr;
    mono_ = false;
    const QPaintDevice* device = painter->device();
    const bool rasterOps = painter->paintEngine() && painter->paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    target_ = (printer || !rasterOps) ? Target::VectorPainter : Target::RasterPainter;
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setRenderHint(QPainter::TextAntialiasing, false);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    device_.width = device ? device->width() : 0;
    device_.height = device ? device->height() : 0;
    if (device && device->devType() == QInternal::Picture) {
        // A recording has no size of its own: it is as large as what is drawn.
        device_.width = 1 << 20;
        device_.height = 1 << 20;
    }
    device_.printer = printer;
    if (printer && device) {
        device_.dpiX = device->logicalDpiX();
        device_.dpiY = device->logicalDpiY();
    }
    ClipChanged();
}

void TDC::SetInformationOnly(const DeviceInfo& info)
{
    infoOnly_ = true;
    target_ = Target::None;
    device_ = info;
    ClipChanged();
}

void TDC::SetDeviceInfo(const DeviceInfo& info)
{
    device_ = info;
    ClipChanged();
}

void TDC::SetSystemClip(const QRegion* region)
{
    if (region)
        systemClip_ = *region;
    else
        systemClip_.reset();
    ClipChanged();
}

// --- Mapping -----------------------------------------------------------------

TPoint TDC::ToDevice(TPoint p) const
{
    const State& s = state_;
    return TPoint(Clamp(RoundDiv(static_cast<long long>(p.x - s.winOrg.x) * s.vpExt.cx, s.winExt.cx) + s.vpOrg.x),
                  Clamp(RoundDiv(static_cast<long long>(p.y - s.winOrg.y) * s.vpExt.cy, s.winExt.cy) + s.vpOrg.y));
}

TPoint TDC::ToLogical(TPoint p) const
{
    const State& s = state_;
    return TPoint(Clamp(RoundDiv(static_cast<long long>(p.x - s.vpOrg.x) * s.winExt.cx, s.vpExt.cx) + s.winOrg.x),
                  Clamp(RoundDiv(static_cast<long long>(p.y - s.vpOrg.y) * s.winExt.cy, s.vpExt.cy) + s.winOrg.y));
}

TRect TDC::ToDeviceRect(int l, int t, int r, int b) const
{
    return TRect(ToDevice(TPoint(l, t)), ToDevice(TPoint(r, b))).Normalized();
}

int TDC::ToDeviceWidth(int w) const
{
    return Clamp(std::llabs(RoundDiv(static_cast<long long>(w) * state_.vpExt.cx, state_.winExt.cx)));
}

int TDC::ToDeviceHeight(int h) const
{
    return Clamp(std::llabs(RoundDiv(static_cast<long long>(h) * state_.vpExt.cy, state_.winExt.cy)));
}

int TDC::ToLogicalWidth(int w) const
{
    return Clamp(std::llabs(RoundDiv(static_cast<long long>(w) * state_.winExt.cx, state_.vpExt.cx)));
}

int TDC::ToLogicalHeight(int h) const
{
    return Clamp(std::llabs(RoundDiv(static_cast<long long>(h) * state_.winExt.cy, state_.vpExt.cy)));
}

void TDC::SetFixedMapping(int unitsPerInch)
{
    state_.winExt = TSize(unitsPerInch, unitsPerInch);
    state_.vpExt = TSize(device_.dpiX, -device_.dpiY);
}

int TDC::SetMapMode(int mode)
{
    const int old = state_.mapMode;
    if (mode == MM_TEXT) {
        state_.winExt = TSize(1, 1);
        state_.vpExt = TSize(1, 1);
    } else if (const int units = UnitsPerInch(mode)) {
        SetFixedMapping(units);
    } else if (mode != MM_ANISOTROPIC) {
        return 0;
    }
    state_.mapMode = mode;
    font_.reset();
    return old;
}

bool TDC::SetWindowExt(const TSize& extent, TSize* old)
{
    if (old)
        *old = state_.winExt;
    if (state_.mapMode != MM_ANISOTROPIC || extent.cx == 0 || extent.cy == 0)
        return false;
    state_.winExt = extent;
    font_.reset();
    return true;
}

bool TDC::SetViewportExt(const TSize& extent, TSize* old)
{
    if (old)
        *old = state_.vpExt;
    if (state_.mapMode != MM_ANISOTROPIC || extent.cx == 0 || extent.cy == 0)
        return false;
    state_.vpExt = extent;
    font_.reset();
    return true;
}

bool TDC::SetWindowOrg(const TPoint& origin, TPoint* old)
{
    if (old)
        *old = state_.winOrg;
    state_.winOrg = origin;
    return true;
}

bool TDC::SetViewportOrg(const TPoint& origin, TPoint* old)
{
    if (old)
        *old = state_.vpOrg;
    state_.vpOrg = origin;
    return true;
}

bool TDC::OffsetWindowOrg(const TSize& delta, TPoint* old)
{
    return SetWindowOrg(state_.winOrg + delta, old);
}

bool TDC::OffsetViewportOrg(const TSize& delta, TPoint* old)
{
    return SetViewportOrg(state_.vpOrg + delta, old);
}

bool TDC::DPtoLP(TPoint* points, int count) const
{
    if (!points || count < 0)
        return false;
    for (int i = 0; i < count; ++i)
        points[i] = ToLogical(points[i]);
    return true;
}

bool TDC::LPtoDP(TPoint* points, int count) const
{
    if (!points || count < 0)
        return false;
    for (int i = 0; i < count; ++i)
        points[i] = ToDevice(points[i]);
    return true;
}

bool TDC::DPtoLP(TRect& rect) const
{
    rect = TRect(ToLogical(rect.TopLeft()), ToLogical(rect.BottomRight()));
    return true;
}

bool TDC::LPtoDP(TRect& rect) const
{
    rect = TRect(ToDevice(rect.TopLeft()), ToDevice(rect.BottomRight()));
    return true;
}

// --- Attributes ----------------------------------------------------------------

int TDC::SetROP2(int mode)
{
    const int old = state_.rop2;
    if (mode < R2_BLACK || mode > R2_WHITE)
        return 0;
    state_.rop2 = mode;
    return old;
}

TColor TDC::SetTextColor(TColor color)
{
    const TColor old = state_.textColor;
    state_.textColor = color;
    return old;
}

TColor TDC::SetBkColor(TColor color)
{
    const TColor old = state_.bkColor;
    state_.bkColor = color;
    return old;
}

int TDC::SetBkMode(int mode)
{
    const int old = state_.bkMode;
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    state_.bkMode = mode;
    return old;
}

UINT TDC::SetTextAlign(UINT flags)
{
    const UINT old = state_.textAlign;
    state_.textAlign = flags;
    return old;
}

int TDC::SetPolyFillMode(int mode)
{
    const int old = state_.polyFillMode;
    if (mode != ALTERNATE && mode != WINDING)
        return 0;
    state_.polyFillMode = mode;
    return old;
}

int TDC::SetStretchBltMode(int mode)
{
    const int old = state_.stretchMode;
    if (mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    state_.stretchMode = mode;
    return old;
}

void TDC::SelectObject(const TPen& pen)
{
    state_.pen = pen;
}

void TDC::SelectObject(const TBrush& brush)
{
    state_.brush = brush;
}

void TDC::SelectObject(const TFont& font)
{
    if (!(state_.font == font))
        font_.reset();
    state_.font = font;
}

bool TDC::SelectStockObject(int id)
{
    switch (id) {
    case WHITE_PEN:
    case BLACK_PEN:
    case NULL_PEN:
        SelectObject(TPen::Stock(id));
        return true;
    case WHITE_BRUSH:
    case LTGRAY_BRUSH:
    case GRAY_BRUSH:
    case DKGRAY_BRUSH:
    case BLACK_BRUSH:
    case NULL_BRUSH:
        SelectObject(TBrush::Stock(id));
        return true;
    case ANSI_FIXED_FONT:
    case ANSI_VAR_FONT:
    case SYSTEM_FONT:
    case SYSTEM_FIXED_FONT:
    case DEFAULT_GUI_FONT:
        SelectObject(TFont::Stock(id));
        return true;
    default:
        return false;
    }
}

void TDC::RestorePen()
{
    state_.pen = original_.pen;
}

void TDC::RestoreBrush()
{
    state_.brush = original_.brush;
}

void TDC::RestoreFont()
{
    SelectObject(original_.font);
}

void TDC::RestoreObjects()
{
    RestorePen();
    RestoreBrush();
    RestoreFont();
}

int TDC::SaveDC()
{
    saved_.push_back(state_);
    return static_cast<int>(saved_.size());
}

bool TDC::RestoreDC(int level)
{
    const int count = static_cast<int>(saved_.size());
    const int index = level < 0 ? count + level : level - 1;
    if (index < 0 || index >= count)
        return false;
    // Working out the clipping again costs region arithmetic: only when the
    // state brought back clips differently (a saved copy shares its region).
    const bool sameClip = state_.clip == saved_[static_cast<std::size_t>(index)].clip;
    state_ = saved_[static_cast<std::size_t>(index)];
    saved_.resize(static_cast<std::size_t>(index));
    font_.reset();
    if (!sameClip)
        ClipChanged();
    return true;
}

unsigned TDC::Resolve(TColor color) const
{
    const COLORREF c = color.IsSysColor() ? GetSysColor(color.Index()) : color.GetValue();
    const int r = GetRValue(c);
    const int g = GetGValue(c);
    const int b = GetBValue(c);
    if (mono_)
        return r + g + b >= 383 ? 0xFFFFFFFFu : 0xFF000000u;
    return 0xFF000000u | (static_cast<unsigned>(r) << 16) | (static_cast<unsigned>(g) << 8) | static_cast<unsigned>(b);
}

int TDC::DevicePenWidth() const
{
    // Wider than any device here is as wide as it needs to be.
    return std::clamp(ToDeviceWidth(state_.pen.GetWidth()), 1, 1 << 14);
}

std::pair<int, int> TDC::VisibleRows() const
{
    const QRect b = EffectiveClip().boundingRect();
    return b.isEmpty() ? std::pair<int, int>(0, 0) : std::pair<int, int>(b.top(), b.bottom() + 1);
}

// --- Clipping ------------------------------------------------------------------

void TDC::ClipChanged()
{
    effectiveClip_.reset();
    painterClipValid_ = false;
}

const QRegion& TDC::EffectiveClip() const
{
    if (!effectiveClip_) {
        QRegion region(0, 0, std::max(0, device_.width), std::max(0, device_.height));
        if (painterClip_)
            region &= *painterClip_;
        if (systemClip_)
            region &= *systemClip_;
        if (state_.clip)
            region &= *state_.clip;
        effectiveClip_ = region;
    }
    return *effectiveClip_;
}

void TDC::ApplyClipToPainter()
{
    if (!painter_ || painterClipValid_)
        return;
    painter_->setClipRegion(EffectiveClip());
    painterClipValid_ = true;
}

int TDC::SelectClipRgn(const TRegion& region)
{
    state_.clip = region.GetQRegion();
    ClipChanged();
    return TRegion(EffectiveClip()).Kind();
}

int TDC::RemoveClipRgn()
{
    state_.clip.reset();
    ClipChanged();
    return TRegion(EffectiveClip()).Kind();
}

int TDC::IntersectClipRect(const TRect& rect)
{
    const QRegion r = RectRegion(ToDeviceRect(rect.left, rect.top, rect.right, rect.bottom));
    state_.clip = state_.clip ? (*state_.clip & r) : r;
    ClipChanged();
    return TRegion(EffectiveClip()).Kind();
}

int TDC::ExcludeClipRect(const TRect& rect)
{
    const QRegion r = RectRegion(ToDeviceRect(rect.left, rect.top, rect.right, rect.bottom));
    const QRegion base = state_.clip ? *state_.clip : QRegion(0, 0, device_.width, device_.height);
    state_.clip = base - r;
    ClipChanged();
    return TRegion(EffectiveClip()).Kind();
}

int TDC::GetClipBox(TRect& rect) const
{
    const TRegion clip(EffectiveClip());
    const TRect box = clip.GetRgnBox();
    rect = TRect(ToLogical(box.TopLeft()), ToLogical(box.BottomRight())).Normalized();
    return clip.Kind();
}

bool TDC::PtVisible(const TPoint& point) const
{
    const TPoint d = ToDevice(point);
    return EffectiveClip().contains(QPoint(d.x, d.y));
}

bool TDC::RectVisible(const TRect& rect) const
{
    const TRect d = ToDeviceRect(rect.left, rect.top, rect.right, rect.bottom);
    return !d.IsEmpty() && EffectiveClip().intersects(QRect(d.left, d.top, d.Width(), d.Height()));
}

// --- Pixel sinks -----------------------------------------------------------------

void TDC::FillRects(const QRect* rects, std::size_t count, unsigned color, int rop2)
{
    if (count == 0 || rop2 == R2_NOP || target_ == Target::None)
        return;
    const QRegion& clip = EffectiveClip();
    if (clip.isEmpty())
        return;
    if (target_ == Target::Image) {
        const int stride = static_cast<int>(image_->bytesPerLine() / 4);
        QRgb* base = reinterpret_cast<QRgb*>(image_->bits());
        // Most of a figure drawn into a small area lies outside it: one test
        // against the clipping's bounds before its pieces. (Each pixel still
        // gets the operation once per rectangle over it, in any order: the
        // same colour and operation each time give the same pixel.)
        // Edges as half-open integer ranges, compared inline: a figure
        // drawn into a small area hands over many small rectangles.
        struct Box {
            int left, top, right, bottom;
        };
        const auto box = [](const QRect& r) { return Box{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; };
        const Box bounds = box(clip.boundingRect());
        for (std::size_t i = 0; i < count; ++i) {
            const Box f = box(rects[i]);
            if (f.left >= bounds.right || f.right <= bounds.left || f.top >= bounds.bottom || f.bottom <= bounds.top)
                continue;
            for (const QRect& piece : clip) {
                const Box c = box(piece);
                const int left = std::max(f.left, c.left);
                const int right = std::min(f.right, c.right);
                const int top = std::max(f.top, c.top);
                const int bottom = std::min(f.bottom, c.bottom);
                if (left >= right || top >= bottom)
                    continue;
                for (int y = top; y < bottom; ++y) {
                    QRgb* row = base + static_cast<std::ptrdiff_t>(y) * stride;
                    ApplyRop2Span(row + left, right - left, color, rop2);
                }
            }
        }
        return;
    }
    std::vector<QRect> clipped;
    clipped.reserve(count);
    for (const QRect& c : clip) {
        for (std::size_t i = 0; i < count; ++i) {
            const QRect r = rects[i] & c;
            if (!r.isEmpty())
                clipped.push_back(r);
        }
    }
    if (clipped.empty())
        return;
    painter_->save();
    painter_->setClipping(false);
    painter_->setPen(Qt::NoPen);
    if (target_ == Target::RasterPainter) {
        QRgb c = color;
        if (rop2 == R2_BLACK)
            c = 0xFF000000u;
        else if (rop2 == R2_WHITE)
            c = 0xFFFFFFFFu;
        painter_->setCompositionMode(CompositionFor(rop2));
        painter_->setBrush(QColor::fromRgb(c));
    } else {
        // Paper knows no raster operations: the colour is laid down as it is.
        QRgb c = color;
        if (rop2 == R2_BLACK || rop2 == R2_NOT)
            c = 0xFF000000u;
        else if (rop2 == R2_WHITE)
            c = 0xFFFFFFFFu;
        painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter_->setBrush(QColor::fromRgb(c));
    }
    painter_->drawRects(clipped.data(), static_cast<int>(clipped.size()));
    painter_->restore();
    painterClipValid_ = false;
}

void TDC::FillRegion(const QRegion& region, unsigned color, int rop2)
{
    std::vector<QRect> rects(region.begin(), region.end());
    FillRects(rects.data(), rects.size(), color, rop2);
}

void TDC::FillPixels(const std::vector<TPoint>& pixels, unsigned color, int rop2)
{
    if (pixels.empty())
        return;
    const QRegion& clip = EffectiveClip();
    const QRect bounds = clip.boundingRect();
    if (target_ == Target::Image) {
        if (rop2 == R2_NOP)
            return;
        const bool single = clip.rectCount() == 1;
        const int stride = static_cast<int>(image_->bytesPerLine() / 4);
        QRgb* base = reinterpret_cast<QRgb*>(image_->bits());
        const auto inside = [](const QRect& r, const TPoint& p) {
            return p.x >= r.x() && p.x < r.x() + r.width() && p.y >= r.y() && p.y < r.y() + r.height();
        };
        for (const TPoint& p : pixels) {
            if (!inside(bounds, p))
                continue;
            if (single || std::any_of(clip.begin(), clip.end(), [&](const QRect& r) { return inside(r, p); }))
                ApplyRop2Span(base + static_cast<std::ptrdiff_t>(p.y) * stride + p.x, 1, color, rop2);
        }
        return;
    }
    std::vector<QRect> rects;
    rects.reserve(pixels.size());
    for (const TPoint& p : pixels) {
        if (bounds.contains(p.x, p.y))
            rects.emplace_back(p.x, p.y, 1, 1);
    }
    FillRects(rects.data(), rects.size(), color, rop2);
}

// --- Lines -----------------------------------------------------------------------

void TDC::StrokeDevicePixels(const std::vector<TPoint>& path, bool closed)
{
    std::vector<TPoint>& pixels = Scratch<TPoint, 1>();
    const std::size_t n = path.size();
    if (n < 2)
        return;
    const std::size_t segments = closed ? n : n - 1;
    const QRect visible = EffectiveClip().boundingRect().adjusted(-2, -2, 2, 2);
    const unsigned pen = Resolve(state_.pen.GetColor());
    const std::vector<int>& pattern = DashPattern(state_.pen.GetStyle());
    for (std::size_t i = 0; i < segments; ++i) {
        TPoint a = path[i];
        TPoint b = path[(i + 1) % n];
        // A solid line's segments out of sight set no pixel that shows (a
        // styled line's do count: they carry its pattern on).
        if (pattern.empty() && !SegmentBoxTouches(a, b, 0, visible))
            continue;
        // A line far longer than any device is first cut to what can be seen,
        // so it costs no more than the device is wide.
        if (std::max(std::abs(static_cast<long long>(b.x) - a.x), std::abs(static_cast<long long>(b.y) - a.y)) >
            (1 << 16)) {
            if (!ClipSegment(a, b, visible))
                continue;
            LinePixels(a, b, true, pixels);
            continue;
        }
        // A solid line's pixels out of sight are stepped over, not kept.
        if (pattern.empty())
            LinePixels(a, b, false, pixels, visible);
        else
            LinePixels(a, b, false, pixels);
    }
    if (pattern.empty()) {
        FillPixels(pixels, pen, state_.rop2);
        return;
    }
    std::vector<TPoint> on;
    std::vector<TPoint> off;
    std::size_t part = 0;
    int left = pattern[0];
    for (const TPoint& p : pixels) {
        (part % 2 == 0 ? on : off).push_back(p);
        if (--left == 0) {
            part = (part + 1) % pattern.size();
            left = pattern[part];
        }
    }
    FillPixels(on, pen, state_.rop2);
    // Gaps of a styled line show the background colour in opaque mode.
    if (state_.bkMode == OPAQUE)
        FillPixels(off, Resolve(state_.bkColor), state_.rop2);
}

void TDC::StrokePolyline(const std::vector<TPoint>& points, bool closed)
{
    if (state_.pen.IsNull() || points.size() < 2)
        return;
    const int width = DevicePenWidth();
    if (target_ == Target::VectorPainter) {
        QPen pen(QColor::fromRgb(Resolve(state_.pen.GetColor())), width);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        if (width == 1 && !DashPattern(state_.pen.GetStyle()).empty()) {
            QList<qreal> dashes;
            for (int v : DashPattern(state_.pen.GetStyle()))
                dashes.append(v);
            pen.setDashPattern(dashes);
            pen.setCapStyle(Qt::FlatCap);
        }
        QPolygonF poly;
        for (const TPoint& p : points)
            poly << QPointF(p.x + 0.5, p.y + 0.5);
        ApplyClipToPainter();
        painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter_->setPen(pen);
        painter_->setBrush(Qt::NoBrush);
        if (closed)
            painter_->drawPolygon(poly);
        else
            painter_->drawPolyline(poly);
        return;
    }
    if (width <= 1) {
        StrokeDevicePixels(points, closed);
        return;
    }
    TRuns& band = Scratch<QRect, 1>();
    const std::size_t n = points.size();
    const std::size_t segments = closed ? n : n - 1;
    const QRect visible = EffectiveClip().boundingRect();
    if (visible.isEmpty())
        return;
    // Every pixel of a segment's band lies within the pen's width of the
    // segment: only the rows of the part of it near what can be seen are
    // scanned (the margin covers the rounding of the cut).
    const int margin = width + 2;
    const QRect near = visible.adjusted(-margin, -margin, margin, margin);
    for (std::size_t i = 0; i < segments; ++i) {
        TPoint a = points[i];
        TPoint b = points[(i + 1) % n];
        if (!SegmentBoxTouches(a, b, 0, near))
            continue;
        TPoint ca = a;
        TPoint cb = b;
        if (!ClipSegment(ca, cb, near))
            continue;
        const int rowMin = std::max(visible.top(), std::min(ca.y, cb.y) - margin);
        const int rowMax = std::min(visible.bottom() + 1, std::max(ca.y, cb.y) + margin + 1);
        WideLineRuns(a, b, width, band, rowMin, rowMax);
    }
    // Joined, so that a pixel two segments share is drawn once.
    MergeRuns(band);
    FillRuns(band, Resolve(state_.pen.GetColor()), state_.rop2);
}

bool TDC::MoveTo(int x, int y)
{
    state_.position = TPoint(x, y);
    return true;
}

bool TDC::MoveTo(const TPoint& point, TPoint* old)
{
    if (old)
        *old = state_.position;
    return MoveTo(point.x, point.y);
}

bool TDC::LineTo(int x, int y)
{
    if (!IsOK())
        return false;
    std::vector<TPoint>& path = Scratch<TPoint, 0>();
    path.push_back(ToDevice(state_.position));
    path.push_back(ToDevice(TPoint(x, y)));
    state_.position = TPoint(x, y);
    StrokePolyline(path, false);
    return true;
}

bool TDC::Polyline(const TPoint* points, int count)
{
    if (!IsOK() || !points || count < 2)
        return false;
    std::vector<TPoint>& path = Scratch<TPoint, 0>();
    path.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        path.push_back(ToDevice(points[i]));
    StrokePolyline(path, false);
    return true;
}

bool TDC::Polygon(const TPoint* points, int count)
{
    if (!IsOK() || !points || count < 2)
        return false;
    std::vector<TPoint> path;
    path.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        path.push_back(ToDevice(points[i]));
    const bool winding = state_.polyFillMode == WINDING;
    if (!state_.brush.IsNull()) {
        if (target_ == Target::VectorPainter) {
            QPolygonF poly;
            for (const TPoint& p : path)
                poly << QPointF(p.x, p.y);
            QPainterPath shape;
            shape.addPolygon(poly);
            shape.closeSubpath();
            shape.setFillRule(winding ? Qt::WindingFill : Qt::OddEvenFill);
            ApplyClipToPainter();
            painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
            painter_->fillPath(shape, QColor::fromRgb(Resolve(state_.brush.GetColor())));
        } else {
            TRuns runs;
            PolygonRuns(path.data(), count, winding, runs, VisibleRows().first, VisibleRows().second);
            FillRuns(runs, Resolve(state_.brush.GetColor()), state_.rop2);
        }
    }
    StrokePolyline(path, true);
    return true;
}

// --- Rectangles and ellipses -------------------------------------------------------

namespace {

// The area a wide pen covers round a rectangle: inside it with
// PS_INSIDEFRAME, else centred on the outline.
TRect PenOuterBox(const TRect& box, int width, bool insideFrame)
{
    if (insideFrame || width <= 1)
        return box;
    const int lo = width / 2;
    const int hi = (width - 1) / 2;
    return TRect(box.left - lo, box.top - lo, box.right + hi, box.bottom + hi);
}

QRectF ToQRectF(const TRect& r)
{
    return QRectF(r.left, r.top, r.Width(), r.Height());
}

}  // namespace

bool TDC::Rectangle(int left, int top, int right, int bottom)
{
    if (!IsOK())
        return false;
    const TRect box = ToDeviceRect(left, top, right, bottom);
    const bool noPen = state_.pen.IsNull();
    const int width = noPen ? 0 : DevicePenWidth();
    const TRect outer = PenOuterBox(box, width, state_.pen.GetStyle() == PS_INSIDEFRAME);
    const TRect inner = noPen ? box : outer.Inflate(-width, -width);
    if (target_ == Target::VectorPainter) {
        ApplyClipToPainter();
        painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (!state_.brush.IsNull() && !inner.IsEmpty())
            painter_->fillRect(ToQRectF(inner), QColor::fromRgb(Resolve(state_.brush.GetColor())));
        if (!noPen) {
            const double half = width / 2.0;
            QPen pen(QColor::fromRgb(Resolve(state_.pen.GetColor())), width);
            pen.setJoinStyle(Qt::MiterJoin);
            painter_->setPen(pen);
            painter_->setBrush(Qt::NoBrush);
            painter_->drawRect(ToQRectF(outer).adjusted(half, half, -half, -half));
        }
        return true;
    }
    if (!state_.brush.IsNull() && !inner.IsEmpty()) {
        const QRect r(inner.left, inner.top, inner.Width(), inner.Height());
        FillRects(&r, 1, Resolve(state_.brush.GetColor()), state_.rop2);
    }
    if (noPen || outer.IsEmpty())
        return true;
    if (width == 1 && box.Width() > 2 && box.Height() > 2 && !DashPattern(state_.pen.GetStyle()).empty()) {
        // A styled outline runs round the rectangle as one closed line.
        const std::vector<TPoint> path{TPoint(box.left, box.top), TPoint(box.right - 1, box.top),
                                       TPoint(box.right - 1, box.bottom - 1), TPoint(box.left, box.bottom - 1)};
        StrokeDevicePixels(path, true);
        return true;
    }
    QRect frame[4];
    FillRects(frame, static_cast<std::size_t>(FrameRects(outer, inner, frame)), Resolve(state_.pen.GetColor()),
              state_.rop2);
    return true;
}

bool TDC::Ellipse(int left, int top, int right, int bottom)
{
    if (!IsOK())
        return false;
    const TRect box = ToDeviceRect(left, top, right, bottom);
    const bool noPen = state_.pen.IsNull();
    const int width = noPen ? 0 : DevicePenWidth();
    const TRect outer = PenOuterBox(box, width, state_.pen.GetStyle() == PS_INSIDEFRAME);
    const TRect inner = noPen ? box : outer.Inflate(-width, -width);
    if (target_ == Target::VectorPainter) {
        ApplyClipToPainter();
        painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter_->setPen(Qt::NoPen);
        if (!state_.brush.IsNull() && !inner.IsEmpty()) {
            painter_->setBrush(QColor::fromRgb(Resolve(state_.brush.GetColor())));
            painter_->drawEllipse(ToQRectF(inner));
        }
        if (!noPen) {
            const double half = width / 2.0;
            painter_->setPen(QPen(QColor::fromRgb(Resolve(state_.pen.GetColor())), width));
            painter_->setBrush(Qt::NoBrush);
            painter_->drawEllipse(ToQRectF(outer).adjusted(half, half, -half, -half));
        }
        return true;
    }
    const QRect visible = EffectiveClip().boundingRect();
    if (!visible.intersects(QRect(outer.left, outer.top, outer.Width(), outer.Height())))
        return true;
    const auto [rowMin, rowMax] = VisibleRows();
    TRuns fill;
    if (!inner.IsEmpty())
        EllipseRuns(inner, fill, rowMin, rowMax);
    if (!state_.brush.IsNull())
        FillRuns(fill, Resolve(state_.brush.GetColor()), state_.rop2);
    if (!noPen) {
        TRuns ring;
        EllipseRuns(outer, ring, rowMin, rowMax);
        FillRuns(SubtractRuns(ring, fill), Resolve(state_.pen.GetColor()), state_.rop2);
    }
    return true;
}

bool TDC::FillRect(const TRect& rect, const TBrush& brush)
{
    if (!IsOK())
        return false;
    if (brush.IsNull())
        return true;
    const TRect d = ToDeviceRect(rect.left, rect.top, rect.right, rect.bottom);
    if (d.IsEmpty())
        return true;
    const QRect r(d.left, d.top, d.Width(), d.Height());
    FillRects(&r, 1, Resolve(brush.GetColor()), R2_COPYPEN);
    return true;
}

bool TDC::FrameRect(const TRect& rect, const TBrush& brush)
{
    if (!IsOK())
        return false;
    if (rect.right <= rect.left || rect.bottom <= rect.top || brush.IsNull())
        return true;
    const TRect d = ToDeviceRect(rect.left, rect.top, rect.right, rect.bottom);
    const int bx = std::max(1, ToDeviceWidth(1));
    const int by = std::max(1, ToDeviceHeight(1));
    const TRect inner(d.left + bx, d.top + by, d.right - bx, d.bottom - by);
    QRect frame[4];
    FillRects(frame, static_cast<std::size_t>(FrameRects(d, inner, frame)), Resolve(brush.GetColor()), R2_COPYPEN);
    return true;
}

bool TDC::DrawFocusRect(const TRect& rect)
{
    if (!IsOK())
        return false;
    const TRect d = ToDeviceRect(rect.left, rect.top, rect.right, rect.bottom);
    if (d.IsEmpty())
        return true;
    // Every other pixel of the frame, on a checkerboard fixed to the device,
    // so the frame inverted twice is gone and frames next to each other match.
    std::vector<TPoint> pixels;
    auto add = [&](int x, int y) {
        if (((x + y) & 1) == 0)
            pixels.emplace_back(x, y);
    };
    for (int x = d.left; x < d.right; ++x) {
        add(x, d.top);
        if (d.bottom - 1 > d.top)
            add(x, d.bottom - 1);
    }
    for (int y = d.top + 1; y < d.bottom - 1; ++y) {
        add(d.left, y);
        if (d.right - 1 > d.left)
            add(d.right - 1, y);
    }
    FillPixels(pixels, 0xFFFFFFFFu, R2_NOT);
    return true;
}

bool TDC::PatBlt(int x, int y, int width, int height, DWORD rop)
{
    if (!IsOK())
        return false;
    const TRect d = ToDeviceRect(x, y, x + width, y + height);
    return PatternFill(d, rop);
}

bool TDC::PatternFill(const TRect& d, DWORD rop)
{
    const unsigned code = (rop >> 16) & 0xFF;
    if (d.IsEmpty())
        return true;
    const int rop2 = Rop2FromRop3(code);
    if (Rop3UsesPattern(code) && state_.brush.IsNull())
        return true;
    const QRect r(d.left, d.top, d.Width(), d.Height());
    FillRects(&r, 1, Resolve(state_.brush.GetColor()), rop2);
    return true;
}

namespace {

// The device pixels (from lo to hi - 1) whose centres lie between a and b.
void DeviceSpan(double a, double b, int& lo, int& hi)
{
    lo = static_cast<int>(std::ceil(std::min(a, b) - 0.5));
    hi = static_cast<int>(std::ceil(std::max(a, b) - 0.5));
}

}  // namespace

bool TDC::FillRgn(const TRegion& region, const TBrush& brush)
{
    if (!IsOK())
        return false;
    if (brush.IsNull())
        return true;
    const State& s = state_;
    const unsigned color = Resolve(brush.GetColor());
    if (s.winExt == s.vpExt && s.winOrg == s.vpOrg) {
        FillRegion(region.GetQRegion(), color, s.rop2);
        return true;
    }
    // Each rectangle covers the device pixels whose centres it holds, as a
    // shape drawn in device units would; so no pixel is covered twice.
    const double sx = static_cast<double>(s.vpExt.cx) / s.winExt.cx;
    const double sy = static_cast<double>(s.vpExt.cy) / s.winExt.cy;
    std::vector<QRect> rects;
    for (const QRect& r : region.GetQRegion()) {
        int x0, x1, y0, y1;
        DeviceSpan((r.left() - s.winOrg.x) * sx + s.vpOrg.x, (r.left() + r.width() - s.winOrg.x) * sx + s.vpOrg.x, x0, x1);
        DeviceSpan((r.top() - s.winOrg.y) * sy + s.vpOrg.y, (r.top() + r.height() - s.winOrg.y) * sy + s.vpOrg.y, y0, y1);
        if (x1 > x0 && y1 > y0)
            rects.emplace_back(x0, y0, x1 - x0, y1 - y0);
    }
    FillRects(rects.data(), rects.size(), color, s.rop2);
    return true;
}

bool TDC::FillPolygonRgn(const TPoint* points, int count, int fillMode, const TRect& within, const TBrush& brush)
{
    if (!IsOK())
        return false;
    const State& s = state_;
    if (brush.IsNull() || !points || count < 3 || s.winExt == s.vpExt) {
        if (!brush.IsNull() && points && count >= 3)
            return FillRgn(TRegion(points, count, fillMode) & TRegion(within), brush);
        return true;
    }
    const TRect box = within.Normalized();
    if (box.IsEmpty())
        return true;
    // A row of logical units lands on the device rows whose centres it holds
    // (as FillRgn maps it); rows that land on none, or on none that can be
    // seen, are not scanned. Each scanned row gives the same runs as the
    // whole region would, and runs of neighbouring rows tile the device rows
    // between them, so the pixels are the same.
    const double sx = static_cast<double>(s.vpExt.cx) / s.winExt.cx;
    const double sy = static_cast<double>(s.vpExt.cy) / s.winExt.cy;
    int top = points[0].y;
    int bottom = points[0].y;
    std::vector<QPointF>& path = Scratch<QPointF, 0>();
    path.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        top = std::min(top, points[i].y);
        bottom = std::max(bottom, points[i].y);
        path.emplace_back(points[i].x, points[i].y);
    }
    top = std::max(top - 1, box.top);
    bottom = std::min(bottom + 1, box.bottom);
    if (bottom <= top)
        return true;
    // The rows to scan: for each device row that can be seen, the logical
    // row whose span holds the device row's centre (found by mapping the
    // centre back; its neighbours too, against rounding). The rows between
    // them land on no device row that can be seen.
    auto [visibleTop, visibleBottom] = VisibleRows();
    int shapeTop, shapeBottom;
    DeviceSpan((top - s.winOrg.y) * sy + s.vpOrg.y, (bottom - s.winOrg.y) * sy + s.vpOrg.y, shapeTop, shapeBottom);
    visibleTop = std::max(visibleTop, shapeTop);
    visibleBottom = std::min(visibleBottom, shapeBottom);
    std::vector<int>& candidates = Scratch<int, 0>();
    for (int y = visibleTop; y < visibleBottom; ++y) {
        const double at = std::floor((y + 0.5 - s.vpOrg.y) / sy + s.winOrg.y);
        const int row = static_cast<int>(std::clamp(at, top - 2.0, bottom + 2.0));
        for (int r = std::max(row - 1, top); r <= std::min(row + 1, bottom - 1); ++r) {
            if (candidates.empty() || candidates.back() != r)
                candidates.push_back(r);
        }
    }
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    const bool winding = fillMode == WINDING;
    TRuns& runs = Scratch<QRect, 2>();
    std::vector<QRect>& rects = Scratch<QRect, 3>();
    for (const int row : candidates) {
        int y0, y1;
        DeviceSpan((row - s.winOrg.y) * sy + s.vpOrg.y, (row + 1 - s.winOrg.y) * sy + s.vpOrg.y, y0, y1);
        y0 = std::max(y0, visibleTop);
        y1 = std::min(y1, visibleBottom);
        if (y1 <= y0)
            continue;
        runs.clear();
        PolygonRuns(path.data(), count, winding, runs, row, row + 1);
        for (const QRect& run : runs) {
            const int left = std::max(run.left(), box.left);
            const int right = std::min(run.left() + run.width(), box.right);
            if (right <= left)
                continue;
            int x0, x1;
            DeviceSpan((left - s.winOrg.x) * sx + s.vpOrg.x, (right - s.winOrg.x) * sx + s.vpOrg.x, x0, x1);
            if (x1 > x0)
                rects.emplace_back(x0, y0, x1 - x0, y1 - y0);
        }
    }
    FillRects(rects.data(), rects.size(), Resolve(brush.GetColor()), s.rop2);
    return true;
}

bool TDC::PaintRgn(const TRegion& region)
{
    return FillRgn(region, state_.brush);
}

TColor TDC::GetPixel(int x, int y) const
{
    if (target_ != Target::Image)
        return CLR_INVALID;
    const TPoint d = ToDevice(TPoint(x, y));
    if (!EffectiveClip().contains(QPoint(d.x, d.y)))
        return CLR_INVALID;
    const QRgb p = reinterpret_cast<const QRgb*>(image_->constScanLine(d.y))[d.x];
    return TColor(qRed(p), qGreen(p), qBlue(p));
}

TColor TDC::SetPixel(int x, int y, TColor color)
{
    if (!IsOK())
        return CLR_INVALID;
    const TPoint d = ToDevice(TPoint(x, y));
    if (!EffectiveClip().contains(QPoint(d.x, d.y)))
        return CLR_INVALID;
    const unsigned c = Resolve(color);
    const QRect r(d.x, d.y, 1, 1);
    FillRects(&r, 1, c, R2_COPYPEN);
    return TColor(qRed(c), qGreen(c), qBlue(c));
}

int TDC::GetDeviceCaps(int index) const
{
    const DeviceInfo& d = device_;
    switch (index) {
    case TECHNOLOGY:
        return d.printer ? DT_RASPRINTER : DT_RASDISPLAY;
    case HORZSIZE:
        return d.dpiX > 0 ? static_cast<int>(std::lround(d.width * 25.4 / d.dpiX)) : 0;
    case VERTSIZE:
        return d.dpiY > 0 ? static_cast<int>(std::lround(d.height * 25.4 / d.dpiY)) : 0;
    case HORZRES:
        return d.width;
    case VERTRES:
        return d.height;
    case BITSPIXEL:
        return mono_ ? 1 : 24;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return mono_ ? 2 : -1;
    case RASTERCAPS:
        return d.rasterCaps;
    case ASPECTX:
    case ASPECTY:
        return 36;
    case LOGPIXELSX:
        return d.dpiX;
    case LOGPIXELSY:
        return d.dpiY;
    case PHYSICALWIDTH:
        return d.printer ? d.physicalWidth : 0;
    case PHYSICALHEIGHT:
        return d.printer ? d.physicalHeight : 0;
    case PHYSICALOFFSETX:
        return d.printer ? d.offsetX : 0;
    case PHYSICALOFFSETY:
        return d.printer ? d.offsetY : 0;
    default:
        return 0;
    }
}
