#include "plintvlr/elements/format_text.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/gdi/memory_dc.h"
#include "platform/ui/ui_handle.h"
#include "plintvlr/db/field_record.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/panel_text.h"
#include "plintvlr/elements/shape_drawing.h"
#include "plintvlr/elements/text_string_ids.h"
#include "plintvlr/elements/text_sheets.h"
#include "plintvlr/elements/text_support.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/base/shell_string_ids.h"
#include "plintvlr/shell/base/str.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

constexpr int kPixel = kUnitsPerPixel;
// The widest layout measured: a damaged record's rectangle must not ask for
// an absurd box.
constexpr int kMaxColumns = 4096;

// Text records' field record: font, extents and justification, the caller's byte.
constexpr int kFontField = 1;
constexpr int kExtentField = 2;
constexpr int kExtraField = 3;

int TextLimitOf(int panelType)
{
    if (panelType >= 15 && panelType <= 18)
        return 20;
    if (panelType == 19 || panelType == 20 || panelType == 22 || panelType == 23)
        return 16;
    return -1;
}

// Products of cells, multipliers and page units, held within the int range.
int Units(long long cells, long long cell, long long size)
{
    return static_cast<int>(std::clamp<long long>(cells * cell * size * kPixel, 0, INT_MAX / 4));
}

TSize CellOf(int fontNumber)
{
    const TSize cell = GetFontSize(fontNumber);
    return {std::max(cell.cx, 1), std::max(cell.cy, 1)};
}

bool FieldOk(int rc)
{
    return rc == FR_OK || rc == FR_ABSENT;
}

}  // namespace

TFormatText::TFormatText(const TPoint& a, const TPoint& b) : SizeRect(a, b)
{
    SetFontNumber(GetDefaultFontNumber());
    Relayout();
}

TFormatText::TFormatText(const TRect& rect, const char* text, bool horizontal)
    : SizeRect(rect.TopLeft(), rect.BottomRight()), text_(text ? text : ""), horizontal_(horizontal)
{
    SetFontNumber(GetDefaultFontNumber());
}

TFormatText::TFormatText(const TFormatText& other)
    : SizeRect(other),
      TTextStyle(other),
      text_(other.text_),
      horizontal_(other.horizontal_),
      justify_(other.justify_),
      sizeX_(other.sizeX_),
      sizeY_(other.sizeY_),
      columns_(other.columns_),
      rows_(other.rows_),
      showHide_(other.showHide_)
{
}

std::unique_ptr<SizeRect> TFormatText::Clone() const
{
    return std::make_unique<TFormatText>(*this);
}

// --- Layout -----------------------------------------------------------------

void TFormatText::Measure()
{
    const TSize cell = CellOf(GetFontNumber());
    if (IsTextPanelOpen()) {
        columns_ = std::max<int>(static_cast<int>(std::min<std::size_t>(text_.size(), INT_MAX / 4)), 1);
        rows_ = 1;
        return;
    }
    const int along = horizontal_ ? Width() : Height();
    columns_ = std::clamp(((along / kPixel) / std::max(sizeX_, 1)) / cell.cx, 1, kMaxColumns);
    TMemoryDC memory;
    memory.SelectObject(TFont(GetFontName(GetFontNumber()).c_str(), cell.cy, cell.cx, 0, 0, FW_NORMAL));
    TRect box(0, 0, columns_ * cell.cx, cell.cy);
    memory.DrawText(text_.c_str(), -1, box, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    const TSize screen = GetScreenSize();
    const int across = horizontal_ ? screen.cy : screen.cx;
    columns_ = std::max(box.Width() / cell.cx, 1);
    rows_ = std::max(std::min(box.Height(), across) / cell.cy, 1);
}

TSize TFormatText::GetBlockSize() const
{
    const TSize cell = CellOf(GetFontNumber());
    return {Units(columns_, cell.cx, sizeX_), Units(rows_, cell.cy, sizeY_)};
}

TRect TFormatText::Relayout()
{
    Measure();
    const TSize block = GetBlockSize();
    if (IsTextPanelOpen()) {
        right = left + block.cx;
        bottom = top + block.cy;
    } else if (horizontal_) {
        right = std::max(right, left + block.cx);
        bottom = std::max(bottom, top + block.cy);
    } else {
        top = std::min(top, bottom - block.cx);
        right = std::max(right, left + block.cy);
    }
    return KeepOnScreen();
}

bool TFormatText::IsLineTooLong() const
{
    const TSize cell = CellOf(GetFontNumber());
    const TSize screen = GetScreenSize();
    const int along = horizontal_ ? screen.cx : screen.cy;
    return along / (cell.cx * std::max(sizeX_, 1)) < columns_;
}

// --- Slots ------------------------------------------------------------------

unsigned TFormatText::GetHandleStyle() const
{
    unsigned style = TUIHandle::Framed | TUIHandle::HatchRect | TUIHandle::MoveCursor;
    if (!IsTextPanelOpen())
        style |= TUIHandle::HatchBorder;
    return style;
}

TRect TFormatText::SnapToGrid(int handle, const TSize& offset)
{
    const bool move = handle == kDragMove || handle == kProgramMove;
    if (IsTextPanelOpen() && !move)
        return {};
    SizeRect::SnapToGrid(handle, offset);
    return Relayout();
}

TSize TFormatText::GetMinSize() const
{
    const TSize cell = CellOf(GetFontNumber());
    return horizontal_ ? TSize(cell.cx * kPixel, cell.cy * kPixel) : TSize(cell.cy * kPixel, cell.cx * kPixel);
}

TRect TFormatText::ToggleOrientation()
{
    const TRect before = GetRepaintRect();
    SizeRect::ToggleOrientation();
    horizontal_ = !horizontal_;
    return before | Relayout();
}

TRect TFormatText::SetHorizontal(bool horizontal)
{
    if (IsTextPanelOpen() || horizontal == horizontal_)
        return {};
    return ToggleOrientation();
}

TRect TFormatText::SetTextSize(int x, int y)
{
    if (x <= 0 || y <= 0 || (x == sizeX_ && y == sizeY_))
        return {};
    const TRect before = GetRepaintRect();
    if (x != sizeX_ && sizeX_ != 0) {
        if (horizontal_)
            right = left + (Width() / sizeX_) * x;
        else
            top = bottom - (Height() / sizeX_) * x;
        KeepOnScreen();
    }
    sizeX_ = x;
    sizeY_ = y;
    return before | Relayout();
}

TRect TFormatText::SetJustify(int justify)
{
    justify_ = justify;
    return GetRepaintRect();
}

bool TFormatText::SetFont(int fontNumber)
{
    SetFontNumber(fontNumber);
    Relayout();
    return true;
}

TRect TFormatText::SetText(const std::string& text)
{
    const int limit = TextLimitOf(GetOpenPanelType());
    if ((limit >= 0 && static_cast<int>(text.size()) > limit) || text == text_)
        return {};
    const TRect before = GetRepaintRect();
    text_ = text;
    return before | Relayout();
}

std::uint16_t TFormatText::GetShowHideTag() const
{
    return showHide_.GetActiveTag();
}

void TFormatText::SetShowHideTag(std::uint16_t tag)
{
    if (showHide_.IsActive())
        showHide_.SetReference(tag);
}

std::string TFormatText::GetPositionText() const
{
    return text_.substr(0, text_.find_first_of("\r\n"));
}

std::string TFormatText::GetTypeName() const
{
    return "obj_txt";
}

// --- Drawing ----------------------------------------------------------------

TRect TFormatText::TextBlock() const
{
    const TSize block = GetBlockSize();
    const int length = block.cx;
    const int thickness = block.cy;
    TRect b = *this;
    if (horizontal_) {
        b.bottom = b.top + thickness;
        if (justify_ == 2) {
            b.left = b.right - length;
        } else {
            if (justify_ == 1)
                b.left = b.left + (Width() - length) / 2;
            b.right = b.left + length;
        }
    } else {
        b.right = b.left + thickness;
        if (justify_ == 2) {
            b.bottom = b.top + length;
        } else {
            if (justify_ == 1)
                b.bottom = b.bottom - (Height() - length) / 2;
            b.top = b.bottom - length;
        }
    }
    return b;
}

bool TFormatText::DrawsInto(const TRect& area) const
{
    // The text is drawn in its block (cut at the element's edges, which
    // touch the area); a pixel more for the rounding of the mapping.
    return TextBlock().Normalized().Inflate(kPixel, kPixel).Touches(area.Normalized());
}

void TFormatText::Draw(TDC& dc)
{
    const TRect b = TextBlock();
    // Text that does not fit is cut at the element's edges.
    const bool fits = b.left >= left && b.right <= right && b.top >= top && b.bottom <= bottom;
    if (!fits) {
        dc.SaveDC();
        dc.IntersectClipRect(*this);
    }
    DrawPanelText(dc, b, text_, ShapeColor(*this, dc), horizontal_, columns_, rows_, justify_, GetFontNumber(),
                  &picture_);
    if (!fits)
        dc.RestoreDC();
}

// --- Records ----------------------------------------------------------------

std::uint8_t* TFormatText::PackTextPoint(std::uint8_t* at) const
{
    const int x = horizontal_ ? left / kPixel : (right + kPixel / 2) / kPixel;
    return PackPoint(x, GetScreenSize().cy - bottom / kPixel, at);
}

bool TFormatText::UnpackTextPoint(RecordReader& in)
{
    int x = 0;
    int y = 0;
    if (!UnpackPoint(x, y, in))
        return false;
    left = x * kPixel;
    bottom = (GetScreenSize().cy - y) * kPixel;
    return true;
}

bool TFormatText::HasTail(int defaultJustify, std::uint8_t extra) const
{
    if (GetFontNumber() != 0 || extra != 0)
        return true;
    return ExtentsWritten(defaultJustify);
}

bool TFormatText::ExtentsWritten(int defaultJustify) const
{
    const TSize block = GetBlockSize();
    const int along = horizontal_ ? Width() : Height();
    const int across = horizontal_ ? Height() : Width();
    return rows_ != 1 || justify_ != defaultJustify || along >= block.cx + kPixel || across >= block.cy + kPixel;
}

std::uint8_t* TFormatText::WriteTail(std::uint8_t* at, int defaultJustify, std::uint8_t extra) const
{
    const int along = horizontal_ ? Width() : Height();
    const int across = horizontal_ ? Height() : Width();
    const bool extents = ExtentsWritten(defaultJustify);
    FieldRecordCursor cursor;
    // Field 2 is stored whole, zeros and all: its presence is what counts.
    FieldRecordInit(cursor, at, FR_KEEP_ZEROS);
    const std::uint8_t font = static_cast<std::uint8_t>(GetFontNumber());
    if (font != 0 && FieldRecordPutBytes(cursor, kFontField, &font, 1) != FR_OK)
        return nullptr;
    if (extents) {
        std::uint8_t field[5];
        field[0] = static_cast<std::uint8_t>((along / kPixel) & 0xFF);
        field[1] = static_cast<std::uint8_t>((along / kPixel) >> 8 & 0xFF);
        field[2] = static_cast<std::uint8_t>((across / kPixel) & 0xFF);
        field[3] = static_cast<std::uint8_t>((across / kPixel) >> 8 & 0xFF);
        field[4] = static_cast<std::uint8_t>(justify_);
        if (FieldRecordPutBytes(cursor, kExtentField, field, sizeof field) != FR_OK)
            return nullptr;
    }
    if (extra != 0 && FieldRecordPutBytes(cursor, kExtraField, &extra, 1) != FR_OK)
        return nullptr;
    return FieldRecordEnd(cursor);
}

bool TFormatText::ReadTail(RecordReader& in, std::uint8_t flags, int defaultJustify, std::uint8_t& extra)
{
    std::uint8_t font = 0;
    std::uint8_t field[5] = {};
    bool extents = false;
    extra = 0;
    if (flags & kTextTailFlag) {
        FieldRecordCursor cursor;
        FieldRecordBeginReadRaw(cursor, in.Position(), in.Remaining());
        const int rcFont = FieldRecordGetBytes(cursor, kFontField, &font, 1);
        const int rcExtents = FieldRecordGetBytes(cursor, kExtentField, field, sizeof field);
        const int rcExtra = FieldRecordGetBytes(cursor, kExtraField, &extra, 1);
        const std::uint8_t* after = FieldRecordEnd(cursor);
        if (!FieldOk(rcFont) || !FieldOk(rcExtents) || !FieldOk(rcExtra) || !after) {
            in.Fail();
            return false;
        }
        if (!in.MoveTo(after))
            return false;
        extents = rcExtents == FR_OK;
    }
    // A number beyond the ten fonts stays as stored; the fonts' fallback
    // draws it in font 0.
    SetFontNumber(font);
    // The stored point: the left edge, or the right edge when vertical.
    const int anchor = left;
    if (extents) {
        const int along = (field[0] | field[1] << 8) * kPixel;
        const int across = (field[2] | field[3] << 8) * kPixel;
        justify_ = field[4];
        if (horizontal_) {
            right = left + along;
            top = bottom - across;
        } else {
            right = left + across;
            top = bottom - along;
            SetRect(Offset(-Width(), 0));
        }
        Measure();
        // Extents no larger than one row of the text (an empty rectangle
        // too) are left out by the save, and the next read would lay the
        // element out from its text: lay it out so now, so that the page
        // reads the same on every load.
        if (ExtentsWritten(defaultJustify))
            return true;
        left = anchor;
    }
    const TSize cell = CellOf(GetFontNumber());
    const TSize screen = GetScreenSize();
    const int screenAlong = horizontal_ ? screen.cx : screen.cy;
    columns_ = static_cast<int>(std::min<std::size_t>(text_.size(), INT_MAX / 4));
    if (screenAlong / (cell.cx * std::max(sizeX_, 1)) < columns_ && !text_.empty() && text_.back() == ' ')
        --columns_;
    rows_ = 1;
    justify_ = defaultJustify;
    const TSize block = GetBlockSize();
    if (horizontal_) {
        right = left + block.cx;
        top = bottom - block.cy;
    } else {
        right = left + block.cy;
        top = bottom - block.cx;
        SetRect(Offset(-Width(), 0));
    }
    return true;
}

bool TFormatText::ReadRecordHead(RecordReader& in, std::uint8_t& code, std::uint8_t& flags)
{
    int sizeX = 1;
    int sizeY = 1;
    if (!in.ReadByte(code) || !UnpackTextSize(code, sizeX, sizeY, in) || !in.ReadByte(flags))
        return false;
    SetStoredStyle(!(flags & kTextVerticalFlag), sizeX, sizeY);
    return true;
}

bool TFormatText::ReadRecord(RecordReader& in)
{
    std::uint8_t code = 0;
    std::uint8_t flags = 0;
    if (!ReadRecordHead(in, code, flags))
        return false;
    std::uint8_t extra = 0;
    return UnpackColorOrShowHide(GetColors(), showHide_, in) && UnpackTextPoint(in) &&
           UnpackDynamics(*this, in, flags) && UnpackText(in, text_) && ReadTail(in, flags, 0, extra);
}

void TFormatText::WarnIfLineTooLong() const
{
    if (IsLineTooLong())
        TApp::MessageBox(nullptr, GetMainWindowHandle(), Str(kStrTextLineTooLong), Str(kStrApplicationMessage), MB_OK);
}

std::uint8_t* TFormatText::WriteRecord(std::uint8_t* at) const
{
    WarnIfLineTooLong();
    at = PackTextSize(kCode, sizeX_, sizeY_, at);
    std::uint8_t* flags = at++;
    *flags = horizontal_ ? 0 : kTextVerticalFlag;
    at = PackColorOrShowHide(GetColors(), showHide_, at);
    at = PackTextPoint(at);
    at = PackDynamics(*this, at, *flags);
    at = CopyBytes(at, text_.c_str(), text_.size() + 1);
    if (!HasTail(0, 0))
        return at;
    *flags |= kTextTailFlag;
    return WriteTail(at, 0, 0);
}

// --- Report and editing -----------------------------------------------------

void TFormatText::AddTextPieces(const std::string& text, ReportLines& lines)
{
    constexpr std::size_t kSoftEnd = 100;
    constexpr std::size_t kHardEnd = 120;
    std::size_t p = 0;
    while (p < text.size()) {
        std::size_t end = text.find_first_of(" \r\n", p + kSoftEnd);
        if (end == std::string::npos || end - p > kHardEnd)
            end = p + kHardEnd;
        end = std::min(end, text.size());
        lines.push_back(text.substr(p, end - p));
        p = end;
    }
}

void TFormatText::DescribeStyle(ReportLines& lines) const
{
    static constexpr int kJustify[] = {kStrJustifyLeft, kStrJustifyCenter, kStrJustifyRight};
    const int justify = justify_ >= 0 && justify_ <= 2 ? justify_ : 0;
    lines.push_back(FormatText(Str(kStrTextStyleLine), Str(horizontal_ ? kStrHorizontal : kStrVertical),
                               Str(kJustify[justify]), sizeX_, sizeY_));
}

void TFormatText::Describe(int number, ReportLines& lines, int subnumber) const
{
    AddDescriptionLine(*this, number, lines, subnumber, Str(kStrFormattedTextType));
    DescribeStyle(lines);
    DescribeColorOrShowHide(GetColors(), showHide_, lines);
    GetDynBlink().Describe(lines);
    GetDynPosition().Describe(lines);
    lines.push_back(Str(kStrTextStringTitle));
    AddTextPieces(text_, lines);
    lines.emplace_back();
}

bool TFormatText::ConvertOldKinds(TWindow* parent)
{
    constexpr std::uint16_t kKindMask = 0xC000;
    constexpr std::uint16_t kRegisterKind = 0x4000;
    bool old = false;
    if (!IsColorPanel()) {
        old = showHide_.IsActive() && (showHide_.GetReference() & kKindMask) == kRegisterKind;
    } else {
        const int kind = GetColors().GetKind();
        const int bitThreshold = Quellstor(GetOpenPanelType()).GetInternalRegisterCount();
        old = kind == 1 || (kind == 3 && GetColors().GetNumber() < bitThreshold);
    }
    if (!old)
        return true;
    if (!AskConvertOldKind(parent))
        return false;
    if (!IsColorPanel())
        showHide_.SetReference(0x8001);
    else
        GetColors().SetTagReference(static_cast<std::uint16_t>((GetColors().GetKind() - 1) << 14 | 1));
    return true;
}

void TFormatText::Edit(TWindow* parent)
{
    if (!ConvertOldKinds(parent))
        return;
    ActivePageEditor* editor = GetActivePageEditor();
    if (TMDIClient* client = SheetClient(parent, editor))
        (new TFormatTextDlg(client, *this, editor))->Create();
}
