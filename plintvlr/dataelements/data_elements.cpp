#include "plintvlr/dataelements/data_elements.h"

#include "plintvlr/db/field_record.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/elements/packed_point.h"
#include "plintvlr/elements/panel_queries.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kUnits = kUnitsPerPixel;
// Monochrome touch rows are 16 pixels high and start half a row down.
constexpr int kTouchRow = 16 * kUnits;
// Most bytes a push button's wrapped touch-region record is read with.
constexpr std::uint16_t kButtonTouchLimit = 3500;
// Bit 6 of a drive-out's code: both size multipliers are 1 and their byte is left out.
constexpr std::uint8_t kUnitSizeFlag = 0x40;
constexpr std::uint8_t kVerticalText = 0x20;

int SnapToTouchRow(int value)
{
    return value / kTouchRow * kTouchRow + kTouchRow / 2;
}

std::size_t Consumed(const RecordReader& from, const RecordReader& to)
{
    return to.Failed() ? 0 : static_cast<std::size_t>(to.Position() - from.Position());
}

bool PanelShowsBitmaps()
{
    return Quellstor(_QSglobals.GetDatabase().GetPanelType()).bitmapSupport != 0;
}

}  // namespace

// --- Touch regions and push buttons ----------------------------------------

TouchElem::TouchElem() = default;

TouchElem::TouchElem(const TRect& rect) : KeptRecordElem(rect.TopLeft(), rect.BottomRight()) {}

TSize TouchElem::GetMinSize() const
{
    const TSize cell = GetTouchCellSize();
    if (cell.cx <= 1 && cell.cy <= 1)
        return SizeRect::GetMinSize();
    return {cell.cx * kUnits, cell.cy * kUnits};
}

std::unique_ptr<SizeRect> TouchElem::Clone() const
{
    return std::make_unique<TouchElem>(*this);
}

std::string TouchElem::GetTypeName() const
{
    return "obj_tch";
}

bool TouchElem::MeasureTouch(RecordReader& in, std::size_t& operationOffset)
{
    const std::uint8_t* start = in.Position();
    // Code, flash style, colour, border width, two points.
    if (!in.Skip(2) || !kept_record::SkipColorSpec(in) || !in.Skip(2 + 3 + 3))
        return false;
    operationOffset = static_cast<std::size_t>(in.Position() - start);
    return kept_record::SkipOperation(in);
}

std::size_t TouchElem::MeasureRecord(RecordReader in) const
{
    const RecordReader start = in;
    std::size_t operation = 0;
    MeasureTouch(in, operation);
    return Consumed(start, in);
}

void TouchElem::TakeTouchRecord(const std::uint8_t* record, std::size_t length)
{
    RecordReader in(record, length);
    std::size_t operation = 0;
    if (!MeasureTouch(in, operation))
        return;
    SetRecipeGroup(kept_record::RecipeGroupAt(std::vector<std::uint8_t>(record, record + length),
                                              static_cast<int>(operation)));
    RecordReader points(record + operation - 6, 6);
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (!UnpackPoint(x1, y1, points) || !UnpackPoint(x2, y2, points))
        return;
    TRect r;
    if (IsColorPanel()) {
        const int h = GetScreenSize().cy;
        r.left = x1 * kUnits;
        r.bottom = (h - y1 + 1) * kUnits;
        r.right = r.left + (x2 - x1 + 1) * kUnits;
        r.top = r.bottom - (y2 - y1 + 1) * kUnits;
    } else {
        r.left = x1 * kUnits;
        r.bottom = SnapToTouchRow((y1 + 1) * kUnits);
        r.right = (x2 + 1) * kUnits;
        r.top = SnapToTouchRow(y2 * kUnits);
    }
    SetRect(r.Normalized());
}

void TouchElem::TakeFromRecord()
{
    TakeTouchRecord(GetKeptRecord().data(), GetKeptRecord().size());
}

std::unique_ptr<SizeRect> ButtonElem::Clone() const
{
    return std::make_unique<ButtonElem>(*this);
}

std::string ButtonElem::GetTypeName() const
{
    return "obj_btn";
}

std::size_t ButtonElem::MeasureRecord(RecordReader in) const
{
    return kept_record::FieldRecordLength(in);
}

void ButtonElem::TakeFromRecord()
{
    std::vector<std::uint8_t> touch(kButtonTouchLimit);
    FieldRecordCursor cursor;
    FieldRecordBeginRead(cursor, GetKeptRecord().data(), GetKeptRecord().size(), 0);
    FieldRecordGetBytes(cursor, 1, touch.data(), kButtonTouchLimit);
    FieldRecordEnd(cursor);
    TakeTouchRecord(touch.data(), touch.size());
}

// --- Function keys ----------------------------------------------------------

EFKeyElem::EFKeyElem(int keyNumber, bool keySet) : keySet_(keySet)
{
    SetKeyNumber(keyNumber);
}

TRect EFKeyElem::Select(bool)
{
    return {};
}

std::unique_ptr<SizeRect> EFKeyElem::Clone() const
{
    return std::make_unique<EFKeyElem>(*this);
}

void EFKeyElem::SetKeyNumber(int keyNumber)
{
    keyNumber_ = keyNumber;
    const int side = -(keyNumber + 1) * 100;
    SetRect({side, side, side, side});
}

std::size_t EFKeyElem::MeasureRecord(RecordReader in) const
{
    const RecordReader start = in;
    if (in.Skip(kOperationOffset))
        kept_record::SkipOperation(in);
    return Consumed(start, in);
}

void EFKeyElem::TakeFromRecord()
{
    const std::vector<std::uint8_t>& record = GetKeptRecord();
    const int labelLength = Quellstor(_QSglobals.GetDatabase().GetPanelType()).GetKeyLabelLength();
    std::string legend;
    for (int i = 0; i < std::min(kLegendLength, labelLength) && record[3 + i] != 0; ++i)
        legend += static_cast<char>(record[3 + i]);
    while (!legend.empty() && legend.back() == ' ')
        legend.pop_back();
    legend_ = legend;
    SetKeyNumber(record[2]);
    SetRecipeGroup(kept_record::RecipeGroupAt(record, kOperationOffset));
}

// --- Drive-outs -------------------------------------------------------------

DriveOutElem::DriveOutElem()
{
    SetNumber(0);
}

DriveOutElem::DriveOutElem(int number, const TPoint& a, const TPoint& b) : KeptRecordElem(a, b)
{
    SetNumber(number);
}

std::unique_ptr<SizeRect> DriveOutElem::Clone() const
{
    return std::make_unique<DriveOutElem>(*this);
}

std::string DriveOutElem::GetTypeName() const
{
    return "obj_drv";
}

void DriveOutElem::SetNumber(int number)
{
    number_ = static_cast<std::uint16_t>(number);
    char text[16];
    std::snprintf(text, sizeof text, "%.2i", number);
    text_ = text;
}

std::uint16_t DriveOutElem::GetTag() const
{
    const std::vector<std::uint8_t>& record = GetKeptRecord();
    if (record.size() < 2)
        return point_;
    return static_cast<std::uint16_t>(record[record.size() - 2] | record[record.size() - 1] << 8);
}

void DriveOutElem::SetTag(std::uint16_t tag)
{
    std::vector<std::uint8_t>& record = MutableRecord();
    if (record.size() < 2) {
        point_ = tag;
        return;
    }
    const int kind = tag >> 14;
    const std::uint16_t word = kind == 0 || kind == 2
                                   ? tag
                                   : static_cast<std::uint16_t>((GetTag() & 0xC000) | (tag & 0x3FFF));
    record[record.size() - 2] = static_cast<std::uint8_t>(word & 0xFF);
    record[record.size() - 1] = static_cast<std::uint8_t>(word >> 8);
}

std::size_t DriveOutElem::MeasureRecord(RecordReader in) const
{
    const RecordReader start = in;
    std::uint8_t code = 0;
    if (in.ReadByte(code) && ((code & kUnitSizeFlag) || in.Skip(1)) && in.Skip(1) &&
        kept_record::SkipColorSpec(in))
        in.Skip(3 + 2);
    return Consumed(start, in);
}

void DriveOutElem::TakeFromRecord()
{
    const std::vector<std::uint8_t>& record = GetKeptRecord();
    RecordReader in(record.data(), record.size());
    std::uint8_t code = 0;
    std::uint8_t multipliers = 0x11;
    std::uint8_t orientation = 0;
    int x = 0;
    int y = 0;
    if (!in.ReadByte(code) || (!(code & kUnitSizeFlag) && !in.ReadByte(multipliers)) || !in.ReadByte(orientation) ||
        !kept_record::SkipColorSpec(in) || !UnpackPoint(x, y, in))
        return;
    // The two digits in the panel's own font, enlarged by the multipliers.
    const TSize cell = GetFontSize(0);
    const int across = 2 * cell.cx * std::max(multipliers >> 4, 1) * kUnits;
    const int up = cell.cy * std::max(multipliers & 0x0F, 1) * kUnits;
    const int bottom = (GetScreenSize().cy - y) * kUnits;
    if (orientation & kVerticalText)
        SetRect({x * kUnits - up, bottom - across, x * kUnits, bottom});
    else
        SetRect({x * kUnits, bottom - up, x * kUnits + across, bottom});
}

// --- Trends -----------------------------------------------------------------

TrendElem::TrendElem() = default;

std::unique_ptr<SizeRect> TrendElem::Clone() const
{
    return std::make_unique<TrendElem>(*this);
}

bool TrendElem::IsAllowedOnPanel() const
{
    return PanelShowsBitmaps();
}

std::string TrendElem::GetTypeName() const
{
    return "obj_trn";
}

std::size_t TrendElem::MeasureRecord(RecordReader in) const
{
    const RecordReader start = in;
    // Code, 0x80, colour, place, size, tag, frequency; colour panels add the
    // frame: a line-figure entry with its colour, points and end byte.
    if (in.Skip(2) && kept_record::SkipColorSpec(in) && in.Skip(3 + 3 + 2 + 2) && IsColorPanel() && in.Skip(2) &&
        kept_record::SkipColorSpec(in))
        in.Skip(19 + 1);
    return Consumed(start, in);
}

void TrendElem::TakeFromRecord()
{
    const std::vector<std::uint8_t>& record = GetKeptRecord();
    RecordReader in(record.data(), record.size());
    int x = 0, y = 0, w = 0, h = 0;
    if (!in.Skip(2) || !kept_record::SkipColorSpec(in) || !UnpackPoint(x, y, in) || !UnpackXY(w, h, in))
        return;
    if (IsColorPanel())
        x -= w;
    const int bottom = (GetScreenSize().cy - (y - 1)) * kUnits;
    SetRect({x * kUnits, bottom - h * kUnits, (x + w) * kUnits, bottom});
}

// --- Field-record elements --------------------------------------------------

std::uint16_t FieldRecordElem::GetRecordType() const
{
    if (!HasKeptRecord())
        return 0;
    FieldRecordCursor cursor;
    const std::uint16_t type = FieldRecordBeginRead(cursor, GetKeptRecord().data(), GetKeptRecord().size(), 0);
    FieldRecordEnd(cursor);
    return type;
}

std::size_t FieldRecordElem::MeasureRecord(RecordReader in) const
{
    return kept_record::FieldRecordLength(in);
}

std::unique_ptr<SizeRect> MessageElem::Clone() const
{
    return std::make_unique<MessageElem>(*this);
}

std::unique_ptr<SizeRect> MeterElem::Clone() const
{
    return std::make_unique<MeterElem>(*this);
}

std::unique_ptr<SizeRect> TTrendRecord::Clone() const
{
    return std::make_unique<TTrendRecord>(*this);
}

bool TTrendRecord::IsAllowedOnPanel() const
{
    return PanelShowsBitmaps();
}

std::string TTrendRecord::GetTypeName() const
{
    return "tltrndr";
}

std::unique_ptr<SizeRect> UnknownFieldRecord::Clone() const
{
    return std::make_unique<UnknownFieldRecord>(*this);
}
