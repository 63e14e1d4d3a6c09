#include "plintvlr/elements/reg_fig_elem.h"

#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/dyn_fill_sheet.h"
#include "plintvlr/elements/element_page_templates.h"
#include "platform/base/little_endian.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/region.h"
#include "plintvlr/db/field_record.h"
#include "plintvlr/elements/clr_frame.h"
#include "plintvlr/elements/lines_elem.h"
#include "plintvlr/elements/palette.h"
#include "plintvlr/elements/shape_drawing.h"
#include "plintvlr/elements/shape_string_ids.h"
#include "plintvlr/shell/base/str.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kPixel = kUnitsPerPixel;
constexpr std::size_t kBodySize = 64;
// Figure codes of field 1.
constexpr std::uint8_t kUnfilledCircle = 1;
constexpr std::uint8_t kFilledCircle = 2;
constexpr std::uint8_t kUnfilledRectangle = 3;
constexpr std::uint8_t kFilledRectangle = 4;
// The marker before a circle's centre.
constexpr std::uint8_t kCentreMarker = 0x20;
// Field 5's byte for a frame that always blinks.
constexpr std::uint8_t kFrameAlwaysBlinks = 0x10;

bool FieldOk(int rc)
{
    return rc == FR_OK || rc == FR_ABSENT;
}

// Fields after the record's last group read as absent; a damaged record
// kills the cursor.
bool FieldOk(int rc, const FieldRecordCursor& cursor)
{
    return FieldOk(rc) || (rc == FR_NO_MORE_DATA && cursor.at != FR_NO_POSITION);
}

}  // namespace

TRegFigElem::TRegFigElem(int kind, const TPoint& a, const TPoint& b)
    : SizeRect(a, b), kind_(kind >= kRectangle && kind <= kFrame ? kind : kRectangle)
{
    GrowToSmallest();
    if (kind_ == kCircle)
        SetSquare(std::min(Width(), Height()));
    if (kind_ == kFrame && IsColorPanel())
        GetColors().SetColorIndex(0, kGray);
    UpdateNodes();
    SetAnimationStep(kRestingStep);
}

TRegFigElem::TRegFigElem(const TRegFigElem& other)
    : SizeRect(other),
      TLineStyle(other),
      kind_(other.kind_),
      filled_(other.filled_),
      width_(other.width_),
      nodes_(other.nodes_),
      showHide_(other.showHide_)
{
}

void TRegFigElem::GrowToSmallest()
{
    SetRect(Normalized());
    const int m = SmallestPixels();
    if (Width() / kPixel < m)
        right = left + m * kPixel;
    if (Height() / kPixel < m)
        top = bottom - m * kPixel;
}

void TRegFigElem::UpdateNodes()
{
    nodes_.Clear();
    if (kind_ == kCircle) {
        nodes_.Add({left + Width() / 2, top + Height() / 2, 0});
    } else if (kind_ == kRectangle) {
        nodes_.Add({left, bottom, 0});
        nodes_.Add({right, bottom, 0});
        nodes_.Add({right, top, 0});
        nodes_.Add({left, top, 0});
    }
}

void TRegFigElem::SetSquare(int side)
{
    right = left + side;
    top = bottom - side;
    KeepOnScreen();
}

TSize TRegFigElem::GetMinSize() const
{
    const TSize base = SizeRect::GetMinSize();
    // A frame keeps its side width as stored, which may be any 32-bit number.
    const int own = static_cast<int>(std::clamp<long long>((2LL * width_ + 1) * kPixel, 0, 1 << 24));
    return {std::max(base.cx, own), std::max(base.cy, own)};
}

void TRegFigElem::SetFilled(bool filled)
{
    filled_ = filled;
    if (filled && kind_ != kFrame)
        width_ = 1;
}

TRect TRegFigElem::SnapToGrid(int handle, const TSize& offset)
{
    if (std::abs(offset.cx) < kPixel && std::abs(offset.cy) < kPixel)
        return GetRepaintRect();
    const bool wasSaved = GetDynPosition().HasSavedRect();
    const TRect saved = GetDynPosition().GetSavedRect();
    SizeRect::SnapToGrid(handle, offset);
    if (kind_ == kCircle) {
        int side = std::min(Width(), Height());
        if (handle == 3 || handle == 5)
            side = std::min(Width(), GetScreenSize().cy * kPixel);
        else if (handle == 1 || handle == 7)
            side = Height();
        SetSquare(side);
    }
    const bool moved = handle == kDragMove || handle == kProgramMove;
    if (IsCanvasAnimating()) {
        if (moved && wasSaved)
            SetRect(saved.Offset(left - saved.left, bottom - saved.bottom));
    } else {
        SetAnimationStep(kRestingStep);
    }
    UpdateNodes();
    return GetRepaintRect();
}

TRect TRegFigElem::MoveBy(const TSize& offset)
{
    if (kind_ != kFrame)
        nodes_.Translate(offset);
    return SizeRect::MoveBy(offset);
}

// --- Drawing and animation --------------------------------------------------

void TRegFigElem::Draw(TDC& dc)
{
    if (kind_ == kFrame)
        DrawFrame(dc);
    else
        DrawFigure(dc);
}

bool TRegFigElem::DrawsInto(const TRect& area) const
{
    // A turning rectangle stands off its rectangle.
    if (IsCanvasAnimating())
        return true;
    // Everything lies inside the rectangle (the frame is drawn inside its
    // edge, the pen inside the figure); two pixels more for the rounding of
    // the mapping.
    const int reach = 2 * kPixel;
    if (!Normalized().Inflate(reach, reach).Touches(area.Normalized()))
        return false;
    // A frame paints its face and a filled figure its inside: only outlines
    // leave a hole.
    if (kind_ == kFrame || filled_)
        return true;
    const int band = static_cast<int>(std::min<long long>(static_cast<long long>(std::max(width_, 1)) * kPixel, 1 << 24));
    if (kind_ == kCircle)
        return EllipseBandReaches(*this, band, reach, area);
    const TRect hole = Normalized().Inflate(-(band + reach), -(band + reach));
    return hole.IsEmpty() || !hole.Contains(area.Normalized());
}

void TRegFigElem::DrawFrame(TDC& dc) const
{
    const int step = GetAnimationStep();
    const bool blink = GetDynBlink().IsBlinkPhase(step);
    if (!blink || step % 2 == 0) {
        const int count = std::max(GetColors().GetCount(), 1);
        const int state = (blink ? step / 2 : step) % count;
        int colour = GetColors().GetColorIndex(state);
        // White prints black, as every other element's colour does.
        if (dc.IsPrinter() && PaletteIndex(colour) == kWhite)
            colour = kBlack;
        TClrFrame(filled_ ? 1 : 0, true, width_, colour).Draw(dc, *this);
        return;
    }
    // The blink phase paints the frame over.
    const int paper = IsColorPanel() ? GetColors().GetBackground() : static_cast<int>(kWhite);
    dc.FillRect(*this, TBrush(PaletteColor(paper)));
}

void TRegFigElem::DrawFigure(TDC& dc) const
{
    const TColor color = ShapeColor(*this, dc);
    const bool turning = kind_ == kRectangle && IsCanvasAnimating() && GetDynRotation().IsActive() &&
                         nodes_.Count() >= 4;
    std::vector<TPoint> corners = nodes_.ShownPoints();
    corners.resize(std::min<std::size_t>(corners.size(), 4));
    dc.SaveDC();
    dc.SelectObject(TPen(color, filled_ ? 1 : width_ * kPixel, PS_INSIDEFRAME));
    dc.SelectObject(TBrush::Hollow());
    if (kind_ == kCircle) {
        dc.Ellipse(*this);
    } else if (turning) {
        std::vector<TPoint> outline = corners;
        outline.push_back(corners.front());
        dc.Polyline(outline.data(), static_cast<int>(outline.size()));
    } else {
        dc.Rectangle(*this);
    }
    if (filled_ && !IsEmpty()) {
        TRegion region = kind_ == kCircle ? TRegion(*this, TRegion::Ellipse)
                         : turning        ? TRegion(corners.data(), static_cast<int>(corners.size()), ALTERNATE)
                                          : TRegion(*this);
        region &= TRegion(GetDynFill().GetFillRect(*this, GetAnimationStep()));
        dc.FillRgn(region, TBrush(color));
    }
    dc.RestoreDC();
}

TRect TRegFigElem::AnimateStep()
{
    TRect repaint = SizeRect::AnimateStep();
    if (kind_ == kFrame || nodes_.Count() == 0)
        return repaint;
    AnimateNodes(nodes_, *this);
    const TRect before = *this;
    if (kind_ == kRectangle) {
        SetRect(nodes_.Bounds());
    } else {
        const Node& centre = nodes_[0];
        SetRect(Offset(centre.x - (left + Width() / 2), centre.y - (top + Height() / 2)));
    }
    if (GetRect() != before)
        repaint |= GetRepaintRect();
    return repaint;
}

TRect TRegFigElem::StopAnimation()
{
    const TRect repaint = SizeRect::StopAnimation();
    SetAnimationStep(kRestingStep);
    UpdateNodes();
    return repaint;
}

std::unique_ptr<SizeRect> TRegFigElem::Clone() const
{
    return std::make_unique<TRegFigElem>(*this);
}

std::uint16_t TRegFigElem::GetShowHideTag() const
{
    return showHide_.GetActiveTag();
}

void TRegFigElem::SetShowHideTag(std::uint16_t tag)
{
    if (showHide_.IsActive())
        showHide_.SetReference(tag);
}

std::string TRegFigElem::GetTypeName() const
{
    return kind_ == kCircle ? "tlcircle" : kind_ == kFrame ? "tlframe" : "tlrect";
}

// --- Records ----------------------------------------------------------------

std::uint8_t* TRegFigElem::WriteRecord(std::uint8_t* at) const
{
    return kind_ == kFrame ? WriteFrame(at) : WriteFigure(at);
}

std::uint8_t* TRegFigElem::WriteFigure(std::uint8_t* at) const
{
    const std::uint8_t code = kind_ == kCircle ? (filled_ ? kFilledCircle : kUnfilledCircle)
                                               : (filled_ ? kFilledRectangle : kUnfilledRectangle);
    // The figure as a lines-element body; the largest takes 48 bytes.
    std::uint8_t body[2 * kBodySize] = {};
    std::uint8_t* b = body;
    b = PackLineCode(filled_, width_, GetDynFill(), b);
    std::uint8_t* flags = b++;
    b = PackColorOrShowHide(GetColors(), showHide_, b);
    const int X = left / kPixel;
    const int Y = GetScreenSize().cy - bottom / kPixel;
    const int W = Width() / kPixel;
    const int H = Height() / kPixel;
    if (kind_ == kCircle) {
        b = PackPoint(X, Y + H / 2, b);
        b = PackDynamics(*this, b, *flags);
        *b++ = kCentreMarker;
        b = PackPoint(X + W / 2, Y + H / 2, b);
        *b++ = kNodeMarker;
        b = PackPoint(X, Y + H / 2, b);
    } else {
        b = PackPoint(X, Y, b);
        b = PackDynamics(*this, b, *flags);
        const int corners[4][2] = {{X, Y + H}, {X + W, Y + H}, {X + W, Y}, {X, Y}};
        for (const auto& c : corners) {
            *b++ = kNodeMarker;
            b = PackPoint(c[0], c[1], b);
        }
    }
    *b++ = 0;

    FieldRecordCursor cursor;
    if (FieldRecordBeginWrite(cursor, at, kFigureRecordType, FR_KEEP_ZEROS) != FR_OK ||
        FieldRecordPutBytes(cursor, 1, &code, 1) != FR_OK ||
        FieldRecordPutBytes(cursor, 2, body, static_cast<std::uint16_t>(std::min<std::size_t>(b - body, kBodySize))) !=
            FR_OK)
        return nullptr;
    return FieldRecordEnd(cursor);
}

std::uint8_t* TRegFigElem::WriteFrame(std::uint8_t* at) const
{
    const bool colour = IsColorPanel();
    std::uint8_t place[8];
    PutLe16(place, static_cast<std::uint16_t>(left / kPixel));
    PutLe16(place + 2, static_cast<std::uint16_t>(GetScreenSize().cy - bottom / kPixel + GetScreenYOrigin()));
    PutLe16(place + 4, static_cast<std::uint16_t>(Width() / kPixel));
    PutLe16(place + 6, static_cast<std::uint16_t>(Height() / kPixel));
    std::uint8_t side[4];
    PutLe32(side, static_cast<std::uint32_t>(width_));
    std::uint8_t style[10] = {};
    style[0] = filled_ ? 1 : 0;
    if (colour)
        GetColors().PackCompact(style + 1);
    else
        showHide_.PackCompact(style + 1);
    const std::uint16_t colourTag = colour ? GetColors().GetTag() : showHide_.GetActiveTag();
    const TDynBlink& blink = GetDynBlink();
    // An unconditional blink names no tag: the reader takes none for it.
    const std::uint8_t blinkByte = blink.IsUnconditional() ? kFrameAlwaysBlinks
                                   : blink.IsActive()      ? blink.GetMask()
                                                           : 0;
    const std::uint16_t blinkTag = blinkByte != 0 && blinkByte != kFrameAlwaysBlinks ? blink.GetReference() : 0;
    const TDynPosition& position = GetDynPosition();
    const TPoint offset = position.GetOffset();
    std::uint8_t offsets[4];
    PutLe16(offsets, static_cast<std::uint16_t>(static_cast<std::int16_t>(offset.x)));
    PutLe16(offsets + 2, static_cast<std::uint16_t>(static_cast<std::int16_t>(offset.y)));
    const std::uint16_t positionTags[2] = {position.GetFirstTag(), position.GetSecondTag()};

    FieldRecordCursor cursor;
    if (FieldRecordBeginWrite(cursor, at, kFrameRecordType, 0) != FR_OK ||
        FieldRecordPutBytes(cursor, 2, place, sizeof place) != FR_OK ||
        FieldRecordPutBytes(cursor, 3, side, sizeof side) != FR_OK ||
        FieldRecordPutBytes(cursor, 4, style, sizeof style) != FR_OK ||
        FieldRecordPutWords(cursor, 4, &colourTag, 1) != FR_OK ||
        FieldRecordPutBytes(cursor, 5, &blinkByte, 1) != FR_OK ||
        FieldRecordPutWords(cursor, 5, &blinkTag, 1) != FR_OK ||
        FieldRecordPutBytes(cursor, 6, offsets, sizeof offsets) != FR_OK ||
        FieldRecordPutWords(cursor, 6, positionTags, 2) != FR_OK)
        return nullptr;
    return FieldRecordEnd(cursor);
}

bool TRegFigElem::ReadRecord(RecordReader& in)
{
    if (in.Failed())
        return false;
    FieldRecordCursor cursor;
    const std::uint16_t type = FieldRecordBeginRead(cursor, in.Position(), in.Remaining(), 0);
    FieldRecordEnd(cursor);
    if (type == kFrameRecordType) {
        kind_ = kFrame;
        return ReadFrame(in);
    }
    if (type == kFigureRecordType)
        return ReadFigure(in);
    in.Fail();
    return false;
}

bool TRegFigElem::ReadFigure(RecordReader& in)
{
    FieldRecordCursor cursor;
    FieldRecordBeginRead(cursor, in.Position(), in.Remaining(), 0);
    std::uint8_t code = 0;
    std::uint8_t body[kBodySize] = {};
    const int rc1 = FieldRecordGetBytes(cursor, 1, &code, 1);
    const int rc2 = FieldRecordGetBytes(cursor, 2, body, sizeof body);
    const std::uint8_t* after = FieldRecordEnd(cursor);
    if (!FieldOk(rc1) || !FieldOk(rc2)) {
        in.Fail();
        return false;
    }
    if (!in.MoveTo(after))
        return false;

    RecordReader b(body, sizeof body);
    std::uint8_t lineCode = 0;
    int width = width_;
    if (!UnpackLineCode(b, lineCode, width)) {
        in.Fail();
        return false;
    }
    std::uint8_t flags = 0;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    if (!b.ReadByte(flags) || !UnpackColorOrShowHide(GetColors(), showHide_, b) || !UnpackPoint(x0, y0, b) ||
        !UnpackDynamics(*this, b, flags) || !b.Skip(1) || !UnpackPoint(x1, y1, b)) {
        in.Fail();
        return false;
    }
    const int screenHeight = GetScreenSize().cy;
    kind_ = code == kUnfilledCircle || code == kFilledCircle ? kCircle : kRectangle;
    filled_ = code != kUnfilledCircle && code != kUnfilledRectangle;
    width_ = width;
    TRect r;
    if (kind_ == kCircle) {
        const int radius = x1 - x0;
        r.left = x0 * kPixel;
        r.bottom = (screenHeight - (y0 - radius)) * kPixel;
        r.right = r.left + 2 * radius * kPixel;
        r.top = r.bottom - 2 * radius * kPixel;
    } else {
        int x2 = 0, y2 = 0;
        if (!b.Skip(1) || !UnpackPoint(x2, y2, b)) {
            in.Fail();
            return false;
        }
        r.left = x0 * kPixel;
        r.bottom = (screenHeight - y0) * kPixel;
        r.right = r.left + (x2 - x1) * kPixel;
        r.top = r.bottom - (y1 - y0) * kPixel;
    }
    SetRect(r);
    GrowToSmallest();
    // Points that disagree can place the figure off the screen, where its
    // points could not be stored again; it is brought back as the editor
    // would place it.
    KeepOnScreen();
    UpdateNodes();
    return true;
}

bool TRegFigElem::ReadFrame(RecordReader& in)
{
    FieldRecordCursor cursor;
    FieldRecordBeginRead(cursor, in.Position(), in.Remaining(), 0);
    std::uint8_t place[8] = {};
    std::uint8_t side[4] = {};
    std::uint8_t style[10] = {};
    std::uint16_t colourTag = 0;
    std::uint8_t blinkByte = 0;
    std::uint16_t blinkTag = 0;
    std::uint8_t offsets[4] = {};
    std::uint16_t positionTags[2] = {};
    const int rcs[] = {
        FieldRecordGetBytes(cursor, 2, place, sizeof place),   FieldRecordGetBytes(cursor, 3, side, sizeof side),
        FieldRecordGetBytes(cursor, 4, style, sizeof style),   FieldRecordGetWords(cursor, 4, &colourTag, 1),
        FieldRecordGetBytes(cursor, 5, &blinkByte, 1),         FieldRecordGetWords(cursor, 5, &blinkTag, 1),
        FieldRecordGetBytes(cursor, 6, offsets, sizeof offsets), FieldRecordGetWords(cursor, 6, positionTags, 2),
    };
    bool sound = true;
    for (int rc : rcs)
        sound = sound && FieldOk(rc, cursor);
    const std::uint8_t* after = FieldRecordEnd(cursor);
    if (!sound || !after) {
        in.Fail();
        return false;
    }
    if (!in.MoveTo(after))
        return false;

    RecordReader compact(style + 1, 3);
    if (IsColorPanel()) {
        if (!GetColors().UnpackCompact(compact)) {
            in.Fail();
            return false;
        }
        GetColors().SetTagReference(colourTag);
    } else {
        showHide_.SetReference(colourTag);
        if (!showHide_.UnpackCompact(compact)) {
            in.Fail();
            return false;
        }
    }
    const TSize screen = GetScreenSize();
    TRect r;
    r.left = GetLe16(place) * kPixel;
    r.bottom = (screen.cy - GetLe16(place + 2) + GetScreenYOrigin()) * kPixel;
    r.right = r.left + GetLe16(place + 4) * kPixel;
    r.top = r.bottom - GetLe16(place + 6) * kPixel;
    SetRect(r);
    // The side width is kept as stored; drawing bounds what it paints.
    width_ = static_cast<std::int32_t>(GetLe32(side));
    filled_ = style[0] != 0;
    if (blinkByte == kFrameAlwaysBlinks)
        GetDynBlink() = TDynBlink(0, TDynBlink::kAlways);
    else
        GetDynBlink() = TDynBlink::FromStored(blinkTag, blinkByte);
    GetDynPosition() = TDynPosition(positionTags[0], positionTags[1],
                                    {static_cast<std::int16_t>(GetLe16(offsets)),
                                     static_cast<std::int16_t>(GetLe16(offsets + 2))});
    UpdateNodes();
    return true;
}

// --- Report -----------------------------------------------------------------

void TRegFigElem::Describe(int number, ReportLines& lines, int subnumber) const
{
    static constexpr int kTypes[2][3] = {{kStrUnfilledRectangle, kStrUnfilledCircle, kStrRaisedFrame},
                                         {kStrFilledRectangle, kStrFilledCircle, kStrRecessedFrame}};
    AddDescriptionLine(*this, number, lines, subnumber, Str(kTypes[filled_ ? 1 : 0][kind_]));
    if (kind_ == kFrame || !filled_)
        lines.push_back(FormatText(Str(kStrWidthLine), width_));
    DescribeColorOrShowHide(GetColors(), showHide_, lines);
    SizeRect::Describe(number, lines, subnumber);
    lines.emplace_back();
}

void TRegFigElem::Edit(TWindow* parent)
{
    ActivePageEditor* editor = GetActivePageEditor();
    const int icon = kind_ == kRectangle ? kRectangleSheetIcon : kind_ == kCircle ? kCircleSheetIcon : kFrameSheetIcon;
    (new TEditRegFigDlg(SheetClient(parent, editor), *this, editor, icon))->Create();
}
