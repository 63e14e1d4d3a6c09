#pragma once
// A device context: where drawing goes, the mapping from logical to device
// units, the selected pen, brush and font, colours, modes and clipping.
//
// Pixel rules (device pixels, whatever the map mode):
// - Rectangle, Ellipse, FillRect and regions leave out their right and
//   bottom edge: Rectangle(0, 0, 4, 3) covers columns 0..3 and rows 0..2.
// - Lines leave out their last point; a polyline draws each joint once.
// - A pen of width 0, or of a width that maps to one device pixel or less,
//   draws one pixel wide. PS_INSIDEFRAME keeps a wide pen inside the shape.
// - Rectangle with a null pen fills the whole rectangle.
// - SetROP2 applies to lines, outlines and the brush fills of shapes and
//   regions; colours are opaque and nothing is smoothed, so drawing a figure
//   twice with R2_XORPEN or R2_NOTXORPEN gives back every pixel.
// - Block transfers apply any ternary raster operation (SRCCOPY, SRCAND,
//   SRCPAINT, SRCINVERT, PATCOPY, 0xB8074A, ...) bit by bit. From a
//   monochrome bitmap to colour, 0 bits take the destination's text colour
//   and 1 bits its background colour; from colour to monochrome, pixels of
//   the source's background colour become 1 and all others 0.
//
// Where drawing goes:
// - An image (a memory context's bitmap, a window's backing image): every
//   rule above holds exactly and pixels can be read back.
// - A painter on a raster device (a widget in its paint event): the same
//   pixels, drawn through the painter's raster operations; pixels cannot be
//   read back, so such a context is no source for BitBlt.
// - A printer or PDF painter: shapes and text are drawn as vectors; raster
//   operations that depend on the destination are drawn as if it were white
//   paper (what would stay white is left alone), which is what printing a
//   mask through a brush (0xB8074A) or with SRCAND means on paper.

#include "platform/base/dib.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/font.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/region.h"
#include "platform/gdi/scan_convert.h"

#include <QRegion>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QFont;
class QImage;
class QPainter;
class QPaintDevice;
class TRasterFont;

class TDC {
public:
    // Over an image; it is converted to Format_RGB32 when it has another format.
    explicit TDC(QImage& image);
    // Over a painter active on its device; its state is saved here and put
    // back when the context ends.
    explicit TDC(QPainter& painter);
    // Over any paint device: an image as above, anything else through a
    // painter begun here (a widget only inside its paint event).
    explicit TDC(QPaintDevice& device);
    virtual ~TDC();

    TDC(const TDC&) = delete;
    TDC& operator=(const TDC&) = delete;

    bool IsOK() const { return image_ != nullptr || painter_ != nullptr || infoOnly_; }

    // --- Mapping -------------------------------------------------------
    // MM_TEXT, the fixed metric and English modes (y up) and MM_ANISOTROPIC;
    // the answer is the previous mode, 0 for a mode not offered. Changing to
    // MM_ANISOTROPIC keeps the extents of the mode before it.
    int SetMapMode(int mode);
    int GetMapMode() const { return state_.mapMode; }
    // Extents count only in MM_ANISOTROPIC (false elsewhere, or for a 0 extent).
    bool SetWindowExt(const TSize& extent, TSize* old = nullptr);
    bool SetViewportExt(const TSize& extent, TSize* old = nullptr);
    TSize GetWindowExt() const { return state_.winExt; }
    TSize GetViewportExt() const { return state_.vpExt; }
    bool SetWindowOrg(const TPoint& origin, TPoint* old = nullptr);
    bool SetViewportOrg(const TPoint& origin, TPoint* old = nullptr);
    bool OffsetWindowOrg(const TSize& delta, TPoint* old = nullptr);
    bool OffsetViewportOrg(const TSize& delta, TPoint* old = nullptr);
    TPoint GetWindowOrg() const { return state_.winOrg; }
    TPoint GetViewportOrg() const { return state_.vpOrg; }
    // Conversions, rounded to the nearest unit (halves away from zero).
    bool DPtoLP(TPoint* points, int count = 1) const;
    bool LPtoDP(TPoint* points, int count = 1) const;
    bool DPtoLP(TRect& rect) const;
    bool LPtoDP(TRect& rect) const;

    // --- Attributes ----------------------------------------------------
    int SetROP2(int mode);
    int GetROP2() const { return state_.rop2; }
    TColor SetTextColor(TColor color);
    TColor GetTextColor() const { return state_.textColor; }
    TColor SetBkColor(TColor color);
    TColor GetBkColor() const { return state_.bkColor; }
    int SetBkMode(int mode);
    int GetBkMode() const { return state_.bkMode; }
    UINT SetTextAlign(UINT flags);
    UINT GetTextAlign() const { return state_.textAlign; }
    int SetPolyFillMode(int mode);
    int GetPolyFillMode() const { return state_.polyFillMode; }
    int SetStretchBltMode(int mode);
    int GetStretchBltMode() const { return state_.stretchMode; }

    // --- Objects -------------------------------------------------------
    void SelectObject(const TPen& pen);
    void SelectObject(const TBrush& brush);
    void SelectObject(const TFont& font);
    // Pens, brushes and fonts by stock id; false for an unknown id.
    bool SelectStockObject(int id);
    void RestorePen();
    void RestoreBrush();
    void RestoreFont();
    virtual void RestoreObjects();
    const TPen& GetPen() const { return state_.pen; }
    const TBrush& GetBrush() const { return state_.brush; }
    const TFont& GetFont() const { return state_.font; }

    // The whole state (mapping, objects, colours, modes, clipping, position).
    // SaveDC answers a level; RestoreDC(-1) takes the last one back,
    // RestoreDC(level) the one SaveDC answered (and drops those after it).
    int SaveDC();
    bool RestoreDC(int level = -1);

    // --- Clipping (SelectClipRgn in device units, the rest logical) --------
    // The answer is the kind of the clipping region that results.
    int SelectClipRgn(const TRegion& region);
    int RemoveClipRgn();
    int IntersectClipRect(const TRect& rect);
    int ExcludeClipRect(const TRect& rect);
    int GetClipBox(TRect& rect) const;
    bool PtVisible(const TPoint& point) const;
    // Whether any pixel of the rectangle (logical units) can be drawn.
    bool RectVisible(const TRect& rect) const;

    // --- Lines and shapes (logical units) -----------------------------------
    bool MoveTo(int x, int y);
    bool MoveTo(const TPoint& point, TPoint* old = nullptr);
    TPoint GetCurrentPosition() const { return state_.position; }
    bool LineTo(int x, int y);
    bool LineTo(const TPoint& point) { return LineTo(point.x, point.y); }
    bool Polyline(const TPoint* points, int count);
    // Filled with the brush (SetPolyFillMode), outlined with the pen.
    bool Polygon(const TPoint* points, int count);
    bool Rectangle(int left, int top, int right, int bottom);
    bool Rectangle(const TRect& rect) { return Rectangle(rect.left, rect.top, rect.right, rect.bottom); }
    bool Ellipse(int left, int top, int right, int bottom);
    bool Ellipse(const TRect& rect) { return Ellipse(rect.left, rect.top, rect.right, rect.bottom); }
    // Filled or framed (one unit, at least one pixel) with a brush, whatever
    // the raster operation.
    bool FillRect(const TRect& rect, const TBrush& brush);
    bool FrameRect(const TRect& rect, const TBrush& brush);
    // The dotted focus frame, drawn by inverting: a second call takes it away.
    bool DrawFocusRect(const TRect& rect);
    // The selected brush with a raster operation that uses no source
    // (PATCOPY, PATINVERT, DSTINVERT, WHITENESS, BLACKNESS, ...).
    bool PatBlt(int x, int y, int width, int height, DWORD rop = PATCOPY);
    bool PatBlt(const TRect& rect, DWORD rop = PATCOPY)
    {
        return PatBlt(rect.left, rect.top, rect.Width(), rect.Height(), rop);
    }
    // A region in logical units, filled with a brush or the selected brush.
    bool FillRgn(const TRegion& region, const TBrush& brush);
    // Fills what FillRgn(TRegion(points, count, fillMode) & TRegion(within),
    // brush) fills, pixel for pixel, scanning only the rows of logical units
    // that land on device pixels that can be seen.
    bool FillPolygonRgn(const TPoint* points, int count, int fillMode, const TRect& within, const TBrush& brush);
    bool PaintRgn(const TRegion& region);

    // CLR_INVALID outside the device or the clipping, or when the context
    // cannot be read. SetPixel answers the colour it set.
    TColor GetPixel(int x, int y) const;
    TColor GetPixel(const TPoint& p) const { return GetPixel(p.x, p.y); }
    TColor SetPixel(int x, int y, TColor color);
    TColor SetPixel(const TPoint& p, TColor color) { return SetPixel(p.x, p.y, color); }

    // --- Text (Windows-1252 bytes; count -1: up to the terminating zero) ----
    bool GetTextMetrics(TEXTMETRIC& metrics) const;
    TSize GetTextExtent(const char* text, int count = -1) const;
    bool TextOut(int x, int y, const char* text, int count = -1);
    bool TextOut(const TPoint& p, const char* text, int count = -1) { return TextOut(p.x, p.y, text, count); }
    // Text in a rectangle: DT_LEFT, DT_CENTER, DT_RIGHT; DT_TOP, DT_VCENTER
    // and DT_BOTTOM (these two with DT_SINGLELINE); DT_SINGLELINE,
    // DT_WORDBREAK (lines break at blanks; a word longer than the line is not
    // split), DT_EXPANDTABS, DT_NOCLIP, DT_EXTERNALLEADING, DT_NOPREFIX
    // (without it "&x" underlines x and "&&" is "&") and DT_CALCRECT (the
    // rectangle is fitted to the text and nothing is drawn). The answer is the
    // text's height, or with DT_VCENTER or DT_BOTTOM the distance from the
    // rectangle's top to the text's bottom; 0 on failure.
    int DrawText(const char* text, int count, TRect& rect, UINT format);

    // --- Bitmaps ---------------------------------------------------------
    // The source is a context that can be read (a memory context, an image).
    bool BitBlt(int x, int y, int width, int height, const TDC& source, int sx, int sy, DWORD rop = SRCCOPY);
    bool BitBlt(const TRect& dest, const TDC& source, const TPoint& from, DWORD rop = SRCCOPY)
    {
        return BitBlt(dest.left, dest.top, dest.Width(), dest.Height(), source, from.x, from.y, rop);
    }
    // A negative extent on one side mirrors the picture on that axis.
    bool StretchBlt(int x, int y, int width, int height, const TDC& source, int sx, int sy, int sw, int sh,
                    DWORD rop = SRCCOPY);
    bool StretchBlt(const TRect& dest, const TDC& source, const TRect& from, DWORD rop = SRCCOPY)
    {
        return StretchBlt(dest.left, dest.top, dest.Width(), dest.Height(), source, from.left, from.top,
                          from.Width(), from.Height(), rop);
    }
    // A device-independent bitmap of any depth in its own colours. As with
    // the system call, the source's y counts rows from the bottom of the
    // picture; the whole picture is (0, 0, width, height) either way. The
    // answer is the number of rows drawn, 0 on failure.
    int StretchDIBits(int x, int y, int width, int height, int sx, int sy, int sw, int sh, const TDib& dib,
                      DWORD rop = SRCCOPY);
    int StretchDIBits(const TRect& dest, const TRect& from, const TDib& dib, DWORD rop = SRCCOPY)
    {
        return StretchDIBits(dest.left, dest.top, dest.Width(), dest.Height(), from.left, from.top, from.Width(),
                             from.Height(), dib, rop);
    }

    // --- The device --------------------------------------------------------
    // TECHNOLOGY, HORZSIZE, VERTSIZE, HORZRES, VERTRES, BITSPIXEL, PLANES,
    // NUMCOLORS, RASTERCAPS, ASPECTX, ASPECTY, LOGPIXELSX, LOGPIXELSY and the
    // PHYSICAL* values of printers; 0 for others.
    int GetDeviceCaps(int index) const;
    bool IsPrinter() const { return device_.printer; }
    bool IsMonochrome() const { return mono_; }
    // The image drawn on, for contexts over an image (null otherwise).
    const QImage* GetImage() const { return image_; }

    // What a device is: its size in pixels, resolution and, for printers, paper.
    struct DeviceInfo {
        int width = 0;
        int height = 0;
        int dpiX = 96;
        int dpiY = 96;
        bool printer = false;
        int physicalWidth = 0;
        int physicalHeight = 0;
        int offsetX = 0;
        int offsetY = 0;
        // What GetDeviceCaps(RASTERCAPS) answers; some printers cannot stretch bitmaps.
        int rasterCaps = RC_BITBLT | RC_SCALING | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    };

protected:
    TDC();  // nothing to draw on yet
    // Drawing goes to an image from now on (null: nowhere).
    void AttachImage(QImage* image, bool monochrome);
    // Drawing goes through a painter (not owned, already active).
    void AttachPainter(QPainter* painter, bool printer);
    // A context that answers questions about a device but draws nothing.
    void SetInformationOnly(const DeviceInfo& info);
    void SetDeviceInfo(const DeviceInfo& info);
    const DeviceInfo& Device() const { return device_; }
    // The area the system allows (a paint context's update area, a print
    // band), in device units; null: the whole device.
    void SetSystemClip(const QRegion* region);

private:
    struct State {
        int mapMode = MM_TEXT;
        TPoint winOrg;
        TPoint vpOrg;
        TSize winExt{1, 1};
        TSize vpExt{1, 1};
        TPen pen;
        TBrush brush;
        TFont font;
        TColor textColor = TColor::Black;
        TColor bkColor = TColor::White;
        int bkMode = OPAQUE;
        int rop2 = R2_COPYPEN;
        UINT textAlign = TA_LEFT | TA_TOP;
        int polyFillMode = ALTERNATE;
        int stretchMode = BLACKONWHITE;
        TPoint position;
        std::optional<QRegion> clip;  // device units
    };
    struct RealFont;
    enum class Target { None, Image, RasterPainter, VectorPainter };

    // Mapping helpers.
    TPoint ToDevice(TPoint p) const;
    TPoint ToLogical(TPoint p) const;
    TRect ToDeviceRect(int l, int t, int r, int b) const;  // normalised
    int ToDeviceWidth(int w) const;
    int ToDeviceHeight(int h) const;
    int ToLogicalWidth(int w) const;
    int ToLogicalHeight(int h) const;
    void SetFixedMapping(int unitsPerInch);

    // Colours as drawn on this device (system colours looked up, monochrome
    // devices reduced to black or white).
    unsigned Resolve(TColor color) const;
    int DevicePenWidth() const;
    // Rows first..second-1 of the device that drawing can reach.
    std::pair<int, int> VisibleRows() const;

    // The clipping that drawing obeys, device units.
    const QRegion& EffectiveClip() const;
    void ClipChanged();

    // Pixel sinks.
    void FillRects(const QRect* rects, std::size_t count, unsigned color, int rop2);
    void FillRuns(const TRuns& runs, unsigned color, int rop2) { FillRects(runs.data(), runs.size(), color, rop2); }
    void FillRegion(const QRegion& region, unsigned color, int rop2);
    void FillPixels(const std::vector<TPoint>& pixels, unsigned color, int rop2);
    void ApplyClipToPainter();

    // Shapes in device units.
    void StrokePolyline(const std::vector<TPoint>& points, bool closed);
    void StrokeDevicePixels(const std::vector<TPoint>& path, bool closed);

    // Text.
    const RealFont& Font() const;
    int TextWidthDevice(const std::string& text) const;
    void DrawTextRun(int x, int top, const std::string& text);

    // Block transfers.
    struct Source;
    bool Transfer(const TRect& dest, const Source& source, DWORD rop);
    bool PatternFill(const TRect& deviceRect, DWORD rop);

    Target target_ = Target::None;
    QImage* image_ = nullptr;
    QPainter* painter_ = nullptr;
    std::unique_ptr<QPainter> ownPainter_;
    bool painterSaved_ = false;
    bool mono_ = false;
    bool infoOnly_ = false;
    DeviceInfo device_;
    std::optional<QRegion> painterClip_;  // the clipping a painter came with
    std::optional<QRegion> systemClip_;
    State state_;
    State original_;  // what RestoreObjects goes back to
    std::vector<State> saved_;
    mutable std::optional<QRegion> effectiveClip_;
    bool painterClipValid_ = false;
    mutable std::unique_ptr<RealFont> font_;
};
