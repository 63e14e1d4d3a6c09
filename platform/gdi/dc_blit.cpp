// Block transfers of the device context: BitBlt, StretchBlt, StretchDIBits.

#include "platform/gdi/dc.h"
#include "platform/gdi/dc_internal.h"
#include "platform/gdi/scan_convert.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <utility>

// Where the source pixels of a transfer come from.
struct TDC::Source {
    enum Kind { Mono, Colour, Dib };
    const QImage* image = nullptr;  // Mono and Colour
    const TDib* dib = nullptr;      // Dib: read in place, only where the rectangle is
    QRect rect;  // in the picture, top-down, normalised; may reach past the picture
    bool mirrorX = false;
    bool mirrorY = false;
    Kind kind = Colour;
    unsigned background = 0;  // the source context's background colour
};

namespace {

constexpr std::uint32_t kNoPixel = 0;  // alpha 0: outside the source, left alone

// Source positions (in the source rectangle) for each destination column or
// row: one sample, or a block [lo, hi) merged by the stretch mode.
struct Axis {
    std::vector<int> lo;
    std::vector<int> hi;
};

// The source positions an axis reads: from its least lo to its greatest hi.
std::pair<int, int> SourceSpan(const Axis& axis)
{
    if (axis.lo.empty())
        return {0, 0};
    return {*std::min_element(axis.lo.begin(), axis.lo.end()), *std::max_element(axis.hi.begin(), axis.hi.end())};
}

// Positions i = first .. first + count - 1 of a destination `dest` long, held
// at i - first: only what can be seen is worked out.
Axis MapAxis(int dest, int source, bool merge, bool mirror, int first, int count)
{
    Axis a;
    a.lo.resize(static_cast<std::size_t>(count));
    a.hi.resize(static_cast<std::size_t>(count));
    for (int i = first; i < first + count; ++i) {
        long long lo;
        long long hi;
        if (merge && source > dest) {
            lo = static_cast<long long>(i) * source / dest;
            hi = static_cast<long long>(i + 1) * source / dest;
        } else {
            lo = (static_cast<long long>(2 * i + 1) * source) / (2LL * dest);
            hi = lo + 1;
        }
        if (mirror) {
            const long long l = source - hi;
            hi = source - lo;
            lo = l;
        }
        a.lo[static_cast<std::size_t>(i - first)] = static_cast<int>(lo);
        a.hi[static_cast<std::size_t>(i - first)] = static_cast<int>(hi);
    }
    return a;
}

}  // namespace

bool TDC::BitBlt(int x, int y, int width, int height, const TDC& source, int sx, int sy, DWORD rop)
{
    return StretchBlt(x, y, width, height, source, sx, sy, width, height, rop);
}

bool TDC::StretchBlt(int x, int y, int width, int height, const TDC& source, int sx, int sy, int sw, int sh,
                     DWORD rop)
{
    if (!IsOK())
        return false;
    const TPoint d0 = ToDevice(TPoint(x, y));
    const TPoint d1 = ToDevice(TPoint(x + width, y + height));
    const TRect dest = TRect(d0, d1).Normalized();
    const unsigned code = (rop >> 16) & 0xFF;
    if (!Rop3UsesSource(code))
        return PatternFill(dest, rop);
    if (source.target_ != Target::Image)
        return false;
    const TPoint s0 = source.ToDevice(TPoint(sx, sy));
    const TPoint s1 = source.ToDevice(TPoint(sx + sw, sy + sh));
    const TRect from = TRect(s0, s1).Normalized();
    Source src;
    src.image = source.image_;
    src.rect = QRect(from.left, from.top, from.Width(), from.Height());
    src.mirrorX = (d1.x < d0.x) != (s1.x < s0.x);
    src.mirrorY = (d1.y < d0.y) != (s1.y < s0.y);
    src.kind = source.mono_ ? Source::Mono : Source::Colour;
    src.background = source.Resolve(source.state_.bkColor);
    return Transfer(dest, src, rop);
}

int TDC::StretchDIBits(int x, int y, int width, int height, int sx, int sy, int sw, int sh, const TDib& dib,
                       DWORD rop)
{
    if (!IsOK() || !dib.IsOK() || sw == 0 || sh == 0)
        return 0;
    const TPoint d0 = ToDevice(TPoint(x, y));
    const TPoint d1 = ToDevice(TPoint(x + width, y + height));
    const TRect dest = TRect(d0, d1).Normalized();
    // The source's y counts rows up from the bottom of the picture.
    const int rows = std::abs(sh);
    const int bottomUp = sh > 0 ? sy : sy + sh;
    const int top = dib.Height() - bottomUp - rows;
    const int left = sw > 0 ? sx : sx + sw;
    Source src;
    src.dib = &dib;
    src.rect = QRect(left, top, std::abs(sw), rows);
    src.mirrorX = (d1.x < d0.x) != (sw < 0);
    src.mirrorY = (d1.y < d0.y) != (sh < 0);
    src.kind = Source::Dib;
    return Transfer(dest, src, rop) ? rows : 0;
}

bool TDC::Transfer(const TRect& dest, const Source& src, DWORD rop)
{
    const unsigned code = (rop >> 16) & 0xFF;
    if (dest.IsEmpty() || src.rect.isEmpty() || target_ == Target::None)
        return true;
    if (Rop3UsesPattern(code) && state_.brush.IsNull())
        return true;  // nothing to lay down through a hollow brush
    const std::uint32_t pattern = Resolve(state_.brush.GetColor());

    // The source in this device's colours, pixel for pixel.
    const int sw = src.rect.width();
    const int sh = src.rect.height();
    if (static_cast<std::int64_t>(sw) * sh > TDib::kMaxImageBytes / 4)
        return false;  // far beyond any bitmap there is
    std::vector<std::uint32_t>& pixels = Scratch<std::uint32_t, 0>();
    pixels.assign(static_cast<std::size_t>(sw) * static_cast<std::size_t>(sh), kNoPixel);
    const std::uint32_t text = Resolve(state_.textColor);
    const std::uint32_t back = Resolve(state_.bkColor);
    const int imageWidth = src.dib ? src.dib->Width() : src.image->width();
    const int imageHeight = src.dib ? src.dib->Height() : src.image->height();
    // Converts the source columns colFrom .. colTo - 1 of rows rowFrom ..
    // rowTo - 1; a blit cut by the clipping converts only what it shows.
    const auto convert = [&](int colFrom, int colTo, int rowFrom, int rowTo) {
        for (int y = rowFrom; y < rowTo; ++y) {
            const int iy = src.rect.top() + y;
            if (iy < 0 || iy >= imageHeight)
                continue;
            const QRgb* row = src.dib ? nullptr : reinterpret_cast<const QRgb*>(src.image->constScanLine(iy));
            for (int x = colFrom; x < colTo; ++x) {
                const int ix = src.rect.left() + x;
                if (ix < 0 || ix >= imageWidth)
                    continue;
                std::uint32_t p;
                if (row) {
                    p = row[ix] | 0xFF000000u;
                } else {
                    const DibColor c = src.dib->PixelColor(ix, iy);
                    p = qRgb(c.red, c.green, c.blue);
                }
                std::uint32_t v = p;
                if (src.kind == Source::Mono) {
                    // Monochrome into colour: 0 bits take the text colour, 1 bits
                    // the background colour; into monochrome the bits stay.
                    const bool one = (p & 0xFFFFFF) != 0;
                    v = mono_ ? p : (one ? back : text);
                } else if (mono_) {
                    if (src.kind == Source::Colour)
                        v = p == (src.background | 0xFF000000u) ? 0xFFFFFFFFu : 0xFF000000u;
                    else
                        v = qRed(p) + qGreen(p) + qBlue(p) >= 383 ? 0xFFFFFFFFu : 0xFF000000u;
                }
                pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(sw) + static_cast<std::size_t>(x)] = v;
            }
        }
    };
    auto at = [&](int x, int y) {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(sw) + static_cast<std::size_t>(x)];
    };

    if (target_ == Target::VectorPainter) {
        convert(0, sw, 0, sh);
        // At the source's resolution, scaled by the printer: what stays white
        // on paper is left out when the operation depends on the paper.
        const bool usesDest = Rop3UsesDest(code);
        QImage out(sw, sh, QImage::Format_ARGB32);
        for (int y = 0; y < sh; ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(out.scanLine(y));
            const int yy = src.mirrorY ? sh - 1 - y : y;
            for (int x = 0; x < sw; ++x) {
                const std::uint32_t s = at(src.mirrorX ? sw - 1 - x : x, yy);
                if (s == kNoPixel) {
                    row[x] = 0;
                    continue;
                }
                const std::uint32_t r = Rop3(code, pattern, s, 0xFFFFFFFFu);
                row[x] = (usesDest && r == 0xFFFFFFFFu) ? 0u : r;
            }
        }
        ApplyClipToPainter();
        painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter_->drawImage(QRectF(dest.left, dest.top, dest.Width(), dest.Height()), out);
        return true;
    }

    const int dw = dest.Width();
    const int dh = dest.Height();
    const int mode = state_.stretchMode;
    const bool merge = mode == BLACKONWHITE || mode == WHITEONBLACK;
    const QRegion area = EffectiveClip() & QRegion(dest.left, dest.top, dw, dh);
    if (area.isEmpty())
        return true;
    const QRect visible = area.boundingRect();
    const int colFirst = visible.left() - dest.left;
    const int rowFirst = visible.top() - dest.top;
    const Axis cols = MapAxis(dw, sw, merge, src.mirrorX, colFirst, visible.width());
    const Axis rows = MapAxis(dh, sh, merge, src.mirrorY, rowFirst, visible.height());
    const auto [colLo, colHi] = SourceSpan(cols);
    const auto [rowLo, rowHi] = SourceSpan(rows);
    convert(colLo, colHi, rowLo, rowHi);
    // (dx, dy) counted from the destination's top-left corner.
    auto sample = [&](int dx, int dy) -> std::uint32_t {
        const int x0 = cols.lo[static_cast<std::size_t>(dx - colFirst)];
        const int x1 = cols.hi[static_cast<std::size_t>(dx - colFirst)];
        const int y0 = rows.lo[static_cast<std::size_t>(dy - rowFirst)];
        const int y1 = rows.hi[static_cast<std::size_t>(dy - rowFirst)];
        std::uint32_t v = at(x0, y0);
        if (x1 - x0 == 1 && y1 - y0 == 1)
            return v;
        // A shrinking stretch merges the dropped pixels into the kept one:
        // AND keeps black, OR keeps white.
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const std::uint32_t p = at(x, y);
                if (p == kNoPixel)
                    continue;
                if (v == kNoPixel)
                    v = p;
                else
                    v = mode == BLACKONWHITE ? (v & p) : (v | p);
            }
        }
        return v;
    };

    if (target_ == Target::Image) {
        const int stride = static_cast<int>(image_->bytesPerLine() / 4);
        QRgb* base = reinterpret_cast<QRgb*>(image_->bits());
        const bool single = !(merge && (sw > dw || sh > dh));
        // One row of samples at a time, then the operation over the row; the
        // common operations get loops of their own.
            auto apply = [&](auto op) {
            for (const QRect& r : area) {
                for (int y = r.top(); y <= r.bottom(); ++y) {
                    const int dy = y - dest.top;
                    QRgb* row = base + static_cast<std::ptrdiff_t>(y) * stride;
                    if (single) {
                        const std::uint32_t* from =
                            pixels.data() + static_cast<std::size_t>(rows.lo[static_cast<std::size_t>(dy - rowFirst)]) *
                                                static_cast<std::size_t>(sw);
                        for (int x = r.left(); x <= r.right(); ++x) {
                            const std::uint32_t v = from[cols.lo[static_cast<std::size_t>(x - visible.left())]];
                            if (v != kNoPixel)
                                row[x] = op(v, row[x]);
                        }
                    } else {
                        for (int x = r.left(); x <= r.right(); ++x) {
                            const std::uint32_t v = sample(x - dest.left, dy);
                            if (v != kNoPixel)
                                row[x] = op(v, row[x]);
                        }
                    }
                }
            }
        };
        switch (code) {
        case 0xCC:
            apply([](std::uint32_t v, std::uint32_t) { return v; });
            break;
        case 0x88:
            apply([](std::uint32_t v, std::uint32_t d) { return v & d; });
            break;
        case 0xEE:
            apply([](std::uint32_t v, std::uint32_t d) { return v | d; });
            break;
        case 0x66:
            apply([](std::uint32_t v, std::uint32_t d) { return (v ^ d) | 0xFF000000u; });
            break;
        default:
            apply([&](std::uint32_t v, std::uint32_t d) { return Rop3(code, pattern, v, d); });
            break;
        }
        return true;
    }

    // Through a painter's raster operations, for any table: bit by bit the
    // result is R0 where D is 0 and R1 where D is 1, that is
    // R0 ^ (D & (R0 ^ R1)): an AND with (R0 ^ R1), then an XOR with R0.
    const int vw = visible.width();
    const int vh = visible.height();
    QImage mask(vw, vh, QImage::Format_RGB32);
    QImage base(vw, vh, QImage::Format_RGB32);
    for (int y = 0; y < vh; ++y) {
        QRgb* m = reinterpret_cast<QRgb*>(mask.scanLine(y));
        QRgb* b = reinterpret_cast<QRgb*>(base.scanLine(y));
        for (int x = 0; x < vw; ++x) {
            const std::uint32_t s = sample(colFirst + x, rowFirst + y);
            if (s == kNoPixel) {
                m[x] = 0xFFFFFFFFu;
                b[x] = 0xFF000000u;
                continue;
            }
            const std::uint32_t r0 = Rop3(code, pattern, s, 0xFF000000u);
            const std::uint32_t r1 = Rop3(code, pattern, s, 0xFFFFFFFFu);
            m[x] = (r0 ^ r1) | 0xFF000000u;
            b[x] = r0;
        }
    }
    painter_->save();
    painter_->setClipRegion(area);
    if (Rop3UsesDest(code)) {
        painter_->setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        painter_->drawImage(visible.topLeft(), mask);
        painter_->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    } else {
        painter_->setCompositionMode(QPainter::CompositionMode_Source);
    }
    painter_->drawImage(visible.topLeft(), base);
    painter_->restore();
    painterClipValid_ = false;
    return true;
}
