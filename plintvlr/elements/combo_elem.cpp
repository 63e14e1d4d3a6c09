#include "plintvlr/elements/combo_elem.h"

#include "plintvlr/db/field_record.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/elements/combo_string_ids.h"
#include "plintvlr/elements/panel_queries.h"
#include "plintvlr/elements/point_elem.h"
#include "plintvlr/shell/base/str.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/pen.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

ComboElem::MemberReader& Reader()
{
    static ComboElem::MemberReader reader;
    return reader;
}

// How deep the group being read lies inside other groups.
int g_nesting = 0;

constexpr int kHeaderSize = 12;
// Room behind the members' records for the one that makes them too long: no
// element record passes the field-record limit.
constexpr std::size_t kRecordRoom = 65536;
// Reading takes the members' field with this much beyond the page size.
constexpr int kReadSlack = 502;

int MaxPageSize()
{
    return Quellstor(_QSglobals.GetDatabase().GetPanelType()).GetMaxPageSize();
}

void PutWord(std::uint8_t* at, int value)
{
    at[0] = static_cast<std::uint8_t>(value & 0xFF);
    at[1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

int WordAt(const std::uint8_t* at)
{
    return at[0] | at[1] << 8;
}

bool FieldRead(int rc)
{
    return rc == FR_OK || rc == FR_ABSENT;
}

bool Overlap(const TRect& a, const TRect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// A member that shows a tag's value is not edited on the panel once grouped.
void ClearPanelEditing(SizeRect& member)
{
    if (auto* display = dynamic_cast<PointElem*>(&member))
        display->SetEditable(false);
}

}  // namespace

void ComboElem::SetMemberReader(MemberReader reader)
{
    Reader() = std::move(reader);
}

ComboElem::ComboElem() = default;

ComboElem::ComboElem(const SizeRectArray& elements)
{
    SetMembers(elements);
}

ComboElem::ComboElem(const ComboElem& other) : SizeRect(other)
{
    SetMembers(other.members_);
}

void ComboElem::SetMembers(const SizeRectArray& elements)
{
    SizeRectArray copies;
    for (const auto& element : elements) {
        if (std::unique_ptr<SizeRect> copy = element->Clone()) {
            ClearPanelEditing(*copy);
            copies.Add(std::move(copy));
        }
    }
    members_ = std::move(copies);
    UniteMembers();
}

void ComboElem::UniteMembers()
{
    TRect united;
    for (const auto& member : members_)
        united |= member->GetRect();
    SetRect(united);
}

// --- Dragging and turning ---------------------------------------------------

TRect ComboElem::SnapToGrid(int handle, const TSize& offset)
{
    if (Width() == 0 || Height() == 0 ||
        (std::abs(offset.cx) < kUnitsPerPixel && std::abs(offset.cy) < kUnitsPerPixel))
        return GetRepaintRect();
    const TRect before = GetRect();
    SizeRect::SnapToGrid(handle, offset);
    const TRect after = GetRect();
    if (handle == kDragMove || handle == kProgramMove) {
        for (const auto& member : members_)
            member->SnapToGrid(handle, offset);
    } else {
        for (const auto& member : members_) {
            const TRect m = member->GetRect();
            const TSize memberOffset{
                static_cast<int>(static_cast<double>(offset.cx) * m.Width() / before.Width()),
                static_cast<int>(static_cast<double>(offset.cy) * m.Height() / before.Height())};
            const float fx = static_cast<float>(m.left - before.left) / static_cast<float>(before.Width());
            const float fy = static_cast<float>(m.top - before.top) / static_cast<float>(before.Height());
            member->SnapToGrid(handle, memberOffset);
            const TRect resized = member->GetRect();
            member->SnapToGrid(kProgramMove,
                               {static_cast<int>(after.Width() * fx + after.left - resized.left),
                                static_cast<int>(after.Height() * fy + after.top - resized.top)});
        }
    }
    UniteMembers();
    GetDynPosition().ResetAnimation();
    return GetRepaintRect();
}

bool ComboElem::CanToggleOrientation() const
{
    return std::all_of(members_.begin(), members_.end(), [](const auto& m) { return m->CanToggleOrientation(); });
}

TRect ComboElem::ToggleOrientation()
{
    const TRect turned = TurnElements(members_, *this);
    SizeRect::ToggleOrientation();
    return turned;
}

TRect TurnElements(SizeRectArray& elements, const SizeRect& reference)
{
    const int l = reference.left;
    const int t = reference.top;
    const int b = reference.bottom;
    TRect result;
    for (const auto& element : elements) {
        const int dx = element->left - l;
        const int dy = element->top - t;
        element->ToggleOrientation();
        element->SnapToGrid(kDragMove, {dy - (element->left - l), -dx - (element->bottom - b)});
        result |= element->GetRepaintRect();
    }
    return result;
}

// --- Drawing and animation --------------------------------------------------

void ComboElem::Draw(TDC& dc)
{
    for (const auto& member : members_)
        member->Draw(dc);
    TColor colour = IsColorPanel() ? GetColors().GetColor(0) : TColor::Black;
    if (colour == TColor::White && dc.IsPrinter())
        colour = TColor::Black;
    dc.SaveDC();
    dc.SelectObject(TPen(colour, 1));
    dc.SelectObject(TBrush::Hollow());
    dc.Rectangle(*this);
    dc.RestoreDC();
}

TRect ComboElem::AnimateStep()
{
    const TRect before = GetRect();
    TRect result = SizeRect::AnimateStep();
    const TSize moved{left - before.left, bottom - before.bottom};
    for (const auto& member : members_) {
        result |= member->MoveBy(moved);
        result |= member->AnimateStep();
    }
    return result;
}

TRect ComboElem::StopAnimation()
{
    TRect result = SizeRect::StopAnimation();
    for (const auto& member : members_)
        result |= member->StopAnimation();
    return result;
}

void ComboElem::StartAnimation()
{
    SizeRect::StartAnimation();
    for (const auto& member : members_)
        member->StartAnimation();
}

// --- Copies -----------------------------------------------------------------

std::unique_ptr<SizeRect> ComboElem::Clone() const
{
    return std::make_unique<ComboElem>(*this);
}

std::unique_ptr<SizeRect> ComboElem::Duplicate() const
{
    // The base gives the copy its new id; the group's rectangle stays as
    // cloned and each member is duplicated in its own right.
    std::unique_ptr<SizeRect> copy = SizeRect::Duplicate();
    if (!copy)
        return nullptr;
    auto* group = static_cast<ComboElem*>(copy.get());
    group->SetRect(GetRect());
    group->members_.Flush();
    for (const auto& member : members_) {
        if (std::unique_ptr<SizeRect> duplicate = member->Duplicate())
            group->members_.Add(std::move(duplicate));
    }
    return copy;
}

void ComboElem::ExpandInto(SizeRectArray& target) const
{
    for (const auto& member : members_) {
        if (member->IsTouchRegion())
            target.Add(member->Clone());
    }
}

bool ComboElem::CanTakeRect(const TRect& rect) const
{
    return std::any_of(members_.begin(), members_.end(),
                       [&](const auto& m) { return m->IsTouchRegion() && Overlap(m->GetRect(), rect); });
}

bool ComboElem::DragHandleChecked(const SizeRect& touch, int handle, const TSize& offset) const
{
    return CanTakeRect(touch.DragHandle(handle, offset));
}

bool ComboElem::CanDragHandle(const ComboElem& other, int handle, const TSize& offset) const
{
    if (&other == this)
        return false;
    return std::any_of(other.members_.begin(), other.members_.end(), [&](const auto& m) {
        return m->IsTouchRegion() && DragHandleChecked(*m, handle, offset);
    });
}

void ComboElem::CopyMembersTo(SizeRectArray& target) const
{
    for (int i = members_.Count() - 1; i >= 0; --i)
        target.Add(members_[i]->Clone());
}

// --- Record -----------------------------------------------------------------

std::vector<std::uint16_t> ComboElem::CollectTags() const
{
    std::vector<std::uint16_t> tags;
    auto note = [&](std::uint16_t tag) {
        if (tag != 0 && std::find(tags.begin(), tags.end(), tag) == tags.end())
            tags.push_back(tag);
    };
    const bool colour = IsColorPanel();
    for (const auto& m : members_) {
        note(m->GetTag());
        note(colour ? m->GetColorTag() : m->GetShowHideTag());
        note(m->GetExtraTag());
        note(m->GetDynPosition().GetFirstTag());
        note(m->GetDynPosition().GetSecondTag());
        note(m->GetDynRotation().GetFirstTag());
        std::uint16_t blink = 0;
        int dataType = 0;
        m->GetDynBlink().GetTag(blink, dataType);
        note(blink);
        note(m->GetDynFill().GetTag());
    }
    return tags;
}

TRect ComboElem::CollectExtent() const
{
    TRect extent;
    for (const auto& m : members_)
        extent |= m->GetPositionExtent() | m->GetRotationExtent();
    const TSize screen = GetScreenSize();
    return extent & TRect(0, 0, screen.cx, screen.cy);
}

std::uint8_t* ComboElem::WriteRecord(std::uint8_t* at) const
{
    const int limit = MaxPageSize();
    std::vector<std::uint8_t> work(static_cast<std::size_t>(limit) + kRecordRoom);
    std::uint8_t* end = work.data();
    for (const auto& member : members_) {
        end = member->WriteRecord(end);
        if (!end || end - work.data() >= limit)
            return nullptr;
    }
    const std::vector<std::uint16_t> tags = CollectTags();
    const TRect extent = CollectExtent();
    const int top = GetScreenYOrigin() + GetScreenSize().cy;
    std::uint8_t header[kHeaderSize];
    PutWord(header, members_.Count());
    PutWord(header + 2, static_cast<int>(tags.size()));
    PutWord(header + 4, extent.left);
    PutWord(header + 6, top - extent.bottom);
    PutWord(header + 8, extent.right);
    PutWord(header + 10, top - extent.top);

    FieldRecordCursor cursor;
    FieldRecordBeginWrite(cursor, at, kRecordType, FR_KEEP_ZEROS);
    FieldRecordPutBytes(cursor, 1, header, kHeaderSize);
    if (!tags.empty())
        FieldRecordPutWords(cursor, 1, tags.data(), static_cast<std::uint16_t>(tags.size()));
    FieldRecordPutBytes(cursor, 2, work.data(), static_cast<std::uint16_t>(end - work.data()));
    if (IsColorPanel()) {
        const std::uint8_t background = static_cast<std::uint8_t>(GetColors().GetBackground());
        FieldRecordPutBytes(cursor, 3, &background, 1);
    }
    const TDynPosition& position = GetDynPosition();
    if (position.GetFirstTag() != 0 || position.GetSecondTag() != 0) {
        const TPoint offset = position.GetOffset();
        std::uint8_t offsets[4];
        PutWord(offsets, offset.x);
        PutWord(offsets + 2, offset.y);
        const std::uint16_t positionTags[2] = {position.GetFirstTag(), position.GetSecondTag()};
        FieldRecordPutBytes(cursor, 4, offsets, 4);
        FieldRecordPutWords(cursor, 4, positionTags, 2);
    }
    return FieldRecordEnd(cursor);
}

bool ComboElem::ReadRecord(RecordReader& in)
{
    if (in.Failed() || g_nesting >= kMaxNesting || !Reader()) {
        in.Fail();
        return false;
    }
    FieldRecordCursor cursor;
    if (FieldRecordBeginRead(cursor, in.Position(), in.Remaining(), 0) != kRecordType) {
        FieldRecordEnd(cursor);
        in.Fail();
        return false;
    }
    std::uint8_t counts[4];
    std::vector<std::uint8_t> records(static_cast<std::size_t>(MaxPageSize()) + kReadSlack);
    std::uint8_t background = 0;
    std::uint8_t offsets[4];
    std::uint16_t positionTags[2];
    bool ok = FieldRead(FieldRecordGetBytes(cursor, 1, counts, sizeof counts));
    ok = FieldRead(FieldRecordGetBytes(cursor, 2, records.data(), static_cast<std::uint16_t>(records.size()))) && ok;
    if (IsColorPanel())
        ok = FieldRead(FieldRecordGetBytes(cursor, 3, &background, 1)) && ok;
    ok = FieldRead(FieldRecordGetBytes(cursor, 4, offsets, sizeof offsets)) && ok;
    ok = FieldRead(FieldRecordGetWords(cursor, 4, positionTags, 2)) && ok;
    const std::uint8_t* after = FieldRecordEnd(cursor);
    if (!ok || !after || !in.MoveTo(after)) {
        in.Fail();
        return false;
    }
    if (IsColorPanel())
        GetColors().SetBackground(background);
    TDynPosition& position = GetDynPosition();
    position.SetFirstTag(positionTags[0]);
    position.SetSecondTag(positionTags[1]);
    position.SetOffset({WordAt(offsets), WordAt(offsets + 2)});

    members_.Flush();
    RecordReader memberReader(records.data(), records.size());
    ++g_nesting;
    const bool membersRead = Reader()(members_, memberReader, WordAt(counts));
    --g_nesting;
    UniteMembers();
    if (!membersRead) {
        in.Fail();
        return false;
    }
    return true;
}

// --- The rest ---------------------------------------------------------------

void ComboElem::Edit(TWindow*) {}

void ComboElem::Describe(int number, ReportLines& lines, int subnumber) const
{
    AddDescriptionLine(*this, number, lines, subnumber, Str(kStrElementGroup));
    int k = 0;
    for (const auto& member : members_)
        member->Describe(number, lines, ++k);
}

bool ComboElem::IsAllowedOnPanel() const
{
    return std::all_of(members_.begin(), members_.end(), [](const auto& m) { return m->IsAllowedOnPanel(); });
}

std::string ComboElem::GetTypeName() const
{
    return "group";
}

void ComboElem::SetRecipeInUse(bool inUse)
{
    for (const auto& member : members_)
        member->SetRecipeInUse(inUse);
}

void ComboElem::CountRecipeUse(TIdCounter& counter) const
{
    for (const auto& member : members_)
        member->CountRecipeUse(counter);
}
