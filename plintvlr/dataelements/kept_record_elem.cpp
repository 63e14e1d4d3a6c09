#include "plintvlr/dataelements/kept_record_elem.h"

#include "plintvlr/db/field_record.h"
#include "plintvlr/db/id_counter.h"
#include "plintvlr/elements/color_point.h"
#include "plintvlr/elements/panel_queries.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/pen.h"

#include <cstring>

namespace {

constexpr std::uint8_t kOperationLead = 0x1C;
// Recipe operation sub-codes: Load, Transfer, Load and Transfer.
constexpr std::uint8_t kRecipeLoad = 38;
constexpr std::uint8_t kRecipeTransfer = 39;
constexpr std::uint8_t kRecipeBoth = 40;
// The two bytes monochrome panels store in place of a colour spec.
constexpr std::size_t kMonoColorBytes = 2;

bool IsRecipeOperation(const std::uint8_t* at, std::size_t remaining)
{
    return remaining >= 2 && at[0] == kOperationLead &&
           (at[1] == kRecipeLoad || at[1] == kRecipeTransfer || at[1] == kRecipeBoth);
}

std::uint16_t WordAt(const std::uint8_t* at)
{
    return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

}  // namespace

namespace kept_record {

bool SkipOperation(RecordReader& in)
{
    const std::uint8_t* at = in.Position();
    const std::size_t remaining = in.Remaining();
    if (!IsRecipeOperation(at, remaining)) {
        const void* nul = remaining ? std::memchr(at, 0, remaining) : nullptr;
        if (!nul) {
            in.Fail();
            return false;
        }
        return in.Skip(static_cast<const std::uint8_t*>(nul) - at + 1);
    }
    // Load carries its payload count after the group (and after the
    // completion fields when it transfers too).
    std::size_t length = 10;
    std::size_t countAt = 0;
    if (at[1] == kRecipeLoad) {
        length = 6;
        countAt = 4;
    } else if (at[1] == kRecipeBoth) {
        length = 12;
        countAt = 10;
    }
    if (countAt) {
        if (remaining < length) {
            in.Fail();
            return false;
        }
        length += WordAt(at + countAt);
    }
    return in.Skip(length);
}

bool SkipColorSpec(RecordReader& in)
{
    if (!IsColorPanel())
        return in.Skip(kMonoColorBytes);
    ColorPoint scratch;
    return scratch.Unpack(in);
}

std::uint16_t RecipeGroupAt(const std::vector<std::uint8_t>& record, int offset)
{
    if (offset < 0 || static_cast<std::size_t>(offset) + 4 > record.size())
        return 0;
    const std::uint8_t* at = record.data() + offset;
    return IsRecipeOperation(at, 4) ? WordAt(at + 2) : 0;
}

std::size_t FieldRecordLength(const RecordReader& in)
{
    if (in.Failed() || in.Remaining() == 0)
        return 0;
    const std::uint8_t* end = FieldRecordSize(in.Position(), in.Remaining());
    return end ? static_cast<std::size_t>(end - in.Position()) : 0;
}

}  // namespace kept_record

KeptRecordElem::KeptRecordElem()
{
    PlaceOffPage();
}

TRect KeptRecordElem::SnapToGrid(int handle, const TSize& offset)
{
    return HasKeptRecord() ? TRect() : SizeRect::SnapToGrid(handle, offset);
}

bool KeptRecordElem::CanToggleOrientation() const
{
    return !HasKeptRecord() && SizeRect::CanToggleOrientation();
}

TRect KeptRecordElem::ToggleOrientation()
{
    return HasKeptRecord() ? TRect() : SizeRect::ToggleOrientation();
}

TRect KeptRecordElem::KeepOnScreen()
{
    return HasKeptRecord() ? TRect() : SizeRect::KeepOnScreen();
}

TRect KeptRecordElem::MoveBy(const TSize& offset)
{
    return HasKeptRecord() ? TRect() : SizeRect::MoveBy(offset);
}

void KeptRecordElem::Draw(TDC& dc)
{
    dc.SaveDC();
    dc.SelectObject(TPen(TColor::Black, 0, PS_DOT));
    dc.SelectObject(TBrush::Hollow());
    dc.SetBkMode(TRANSPARENT);
    dc.Rectangle(*this);
    dc.RestoreDC();
}

bool KeptRecordElem::ReadRecord(RecordReader& in)
{
    if (in.Failed())
        return false;
    const std::size_t length = MeasureRecord(in);
    if (length == 0 || length > in.Remaining()) {
        in.Fail();
        return false;
    }
    record_.assign(in.Position(), in.Position() + length);
    in.Skip(length);
    SetSelectable(false);
    TakeFromRecord();
    return true;
}

std::uint8_t* KeptRecordElem::WriteRecord(std::uint8_t* at) const
{
    if (!record_.empty())
        std::memcpy(at, record_.data(), record_.size());
    return at + record_.size();
}

std::unique_ptr<SizeRect> KeptRecordElem::Duplicate() const
{
    return HasKeptRecord() ? nullptr : SizeRect::Duplicate();
}

void KeptRecordElem::CountRecipeUse(TIdCounter& counter) const
{
    if (recipeGroup_ != 0)
        counter.AddOne(recipeGroup_);
}
