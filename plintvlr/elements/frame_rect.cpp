#include "plintvlr/elements/frame_rect.h"

#include "platform/base/little_endian.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "plintvlr/db/field_record.h"
#include "plintvlr/elements/palette.h"
#include "plintvlr/elements/panel_queries.h"

namespace {

constexpr int kPixel = kUnitsPerPixel;

void Band(TDC& dc, int left, int top, int width, int height, int color)
{
    dc.SelectObject(TBrush(PaletteColor(color)));
    dc.PatBlt(left, top, width, height, PATCOPY);
}

}  // namespace

void FrameRect::SetColor(int index)
{
    color_ = static_cast<std::uint8_t>(PaletteIndex(index));
}

int FrameRect::GetBorderWidth() const
{
    return IsColorPanel() && !deep_ ? kPixel : 2 * kPixel;
}

TRect FrameRect::GetOuterRect() const
{
    const int b = GetBorderWidth();
    return rect_.Inflate(b, b);
}

TRect FrameRect::GetInnerRect() const
{
    const int b = GetBorderWidth();
    return rect_.Inflate(-b, -b);
}

void FrameRect::Draw(TDC& dc) const
{
    const TRect& r = rect_;
    const int w = r.Width();
    const int h = r.Height();
    dc.SaveDC();
    if (!IsColorPanel()) {
        Band(dc, r.left, r.top, w, h, kWhite);
        // A recessed frame is dark at the top and left, a raised one at the bottom and right.
        const int near = raised_ ? kPixel : 2 * kPixel;
        const int far = raised_ ? 2 * kPixel : kPixel;
        Band(dc, r.left, r.top, w, near, kBlack);
        Band(dc, r.left, r.top, near, h, kBlack);
        Band(dc, r.right - far, r.top, far, h, kBlack);
        Band(dc, r.left, r.bottom - far, w, far, kBlack);
    } else {
        const int light = LighterColor(color_);
        const int dark = DarkerColor(color_);
        const int topLeft = raised_ ? light : dark;
        const int bottomRight = raised_ ? dark : light;
        Band(dc, r.left, r.top, w, kPixel, topLeft);
        Band(dc, r.left, r.top, kPixel, h, topLeft);
        if (deep_) {
            Band(dc, r.left, r.top + kPixel, w - kPixel, kPixel, topLeft);
            Band(dc, r.left + kPixel, r.top, kPixel, h - kPixel, topLeft);
        }
        Band(dc, r.left + kPixel, r.bottom - kPixel, w - kPixel, kPixel, bottomRight);
        Band(dc, r.right - kPixel, r.top + kPixel, kPixel, h - kPixel, bottomRight);
        if (deep_) {
            Band(dc, r.left + 2 * kPixel, r.bottom - 2 * kPixel, w - 2 * kPixel, kPixel, bottomRight);
            Band(dc, r.right - 2 * kPixel, r.top + 2 * kPixel, kPixel, h - 2 * kPixel, bottomRight);
        }
        const TRect face = GetInnerRect();
        Band(dc, face.left, face.top, face.Width(), face.Height(), color_);
    }
    dc.RestoreDC();
}

std::uint8_t* FrameRect::WriteRecord(std::uint8_t* at) const
{
    const bool colour = IsColorPanel();
    const TSize screen = GetScreenSize();
    const std::uint8_t style[2] = {static_cast<std::uint8_t>(raised_ ? 0 : 1),
                                   static_cast<std::uint8_t>(colour ? color_ : 0)};
    std::uint8_t place[8];
    PutLe16(place, static_cast<std::uint16_t>(rect_.left / kPixel));
    PutLe16(place + 2, static_cast<std::uint16_t>(screen.cy - rect_.bottom / kPixel + GetScreenYOrigin()));
    PutLe16(place + 4, static_cast<std::uint16_t>(rect_.Width() / kPixel));
    PutLe16(place + 6, static_cast<std::uint16_t>(rect_.Height() / kPixel));
    const std::uint8_t depth = deep_ ? 2 : 1;

    FieldRecordCursor cursor;
    if (FieldRecordBeginWrite(cursor, at, kRecordType, 0) != FR_OK ||
        FieldRecordPutBytes(cursor, 1, style, sizeof style) != FR_OK ||
        FieldRecordPutBytes(cursor, 2, place, sizeof place) != FR_OK ||
        FieldRecordPutBytes(cursor, 3, &depth, 1) != FR_OK)
        return nullptr;
    return FieldRecordEnd(cursor);
}

bool FrameRect::ReadRecord(RecordReader& in)
{
    if (in.Failed())
        return false;
    FieldRecordCursor cursor;
    if (FieldRecordBeginRead(cursor, in.Position(), in.Remaining(), 0) != kRecordType) {
        FieldRecordEnd(cursor);
        in.Fail();
        return false;
    }
    std::uint8_t style[2];
    std::uint8_t place[8];
    std::uint8_t depth = 0;
    const int rc1 = FieldRecordGetBytes(cursor, 1, style, sizeof style);
    const int rc2 = FieldRecordGetBytes(cursor, 2, place, sizeof place);
    const int rc3 = FieldRecordGetBytes(cursor, 3, &depth, 1);
    const std::uint8_t* after = FieldRecordEnd(cursor);
    // An absent field reads as zeros; any other code is a damaged record.
    for (int rc : {rc1, rc2, rc3})
        if (rc != FR_OK && rc != FR_ABSENT) {
            in.Fail();
            return false;
        }
    if (!in.MoveTo(after))
        return false;
    const TSize screen = GetScreenSize();
    raised_ = style[0] == 0;
    color_ = static_cast<std::uint8_t>(PaletteIndex(style[1]));
    rect_.left = GetLe16(place) * kPixel;
    rect_.bottom = (screen.cy - GetLe16(place + 2) + GetScreenYOrigin()) * kPixel;
    rect_.right = rect_.left + GetLe16(place + 4) * kPixel;
    rect_.top = rect_.bottom - GetLe16(place + 6) * kPixel;
    deep_ = depth != 1;
    return true;
}
