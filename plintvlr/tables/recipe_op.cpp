#include "plintvlr/tables/recipe_op.h"

#include "platform/base/little_endian.h"
#include "plintvlr/db/atag.h"
#include "plintvlr/db/db_string_ids.h"
#include "plintvlr/db/id_counter.h"
#include "plintvlr/db/tag_reference.h"
#include "plintvlr/tables/recipe_groups.h"
#include "plintvlr/tables/recipe_string_ids.h"

#include <algorithm>

TRecipeOp::TRecipeOp(TRecipeArray& recipes, TRecipeGroup* group)
    : recipes_(&recipes), groupNumber_(group ? group->GetNumber() : 0)
{
    TakeUse();
}

TRecipeOp::TRecipeOp(const TRecipeOp& other)
    : recipes_(other.recipes_),
      groupNumber_(other.groupNumber_),
      flags_(other.flags_),
      holdsUse_(other.holdsUse_),
      values_(other.values_),
      completionTag_(other.completionTag_),
      completionValue_(other.completionValue_)
{
    TakeUse();
}

TRecipeOp& TRecipeOp::operator=(const TRecipeOp& other)
{
    if (this == &other)
        return *this;
    // Each side's use is counted under its own flag, so that a group's count
    // stays the number of operations holding a use of it whichever flags meet.
    ReleaseUse();
    holdsUse_ = other.holdsUse_;
    flags_ = other.flags_;
    completionTag_ = other.completionTag_;
    completionValue_ = other.completionValue_;
    recipes_ = other.recipes_;
    groupNumber_ = other.groupNumber_;
    TakeUse();
    values_ = other.values_;
    return *this;
}

TRecipeOp::~TRecipeOp()
{
    ReleaseUse();
}

void TRecipeOp::SetLoad(bool on)
{
    flags_ = on ? flags_ | kLoad : flags_ & ~kLoad;
}

void TRecipeOp::SetTransfer(bool on)
{
    flags_ = on ? flags_ | kTransfer : flags_ & ~kTransfer;
}

TRecipeGroup* TRecipeOp::GetGroup() const
{
    return recipes_->FindByNumber(groupNumber_);
}

std::uint16_t TRecipeOp::GetGroupNumber() const
{
    const TRecipeGroup* group = GetGroup();
    return group ? group->GetNumber() : 0;
}

void TRecipeOp::SetGroup(TRecipeGroup* group)
{
    const std::uint16_t number = group ? group->GetNumber() : 0;
    if (number == groupNumber_)
        return;
    ReleaseUse();
    groupNumber_ = number;
    values_.clear();
    if (group) {
        TakeUse();
        values_.resize(group->GetTags().size());
    }
}

void TRecipeOp::SetHoldsUse(bool holds)
{
    if (holds == holdsUse_)
        return;
    ReleaseUse();
    holdsUse_ = holds;
    TakeUse();
}

void TRecipeOp::TakeUse() const
{
    if (TRecipeGroup* group = holdsUse_ ? GetGroup() : nullptr)
        group->AddUse();
}

void TRecipeOp::ReleaseUse() const
{
    if (TRecipeGroup* group = holdsUse_ ? GetGroup() : nullptr)
        group->ReleaseUse();
}

bool TRecipeOp::HasUnsetValue() const
{
    return std::any_of(values_.begin(), values_.end(), [](const TTagValue& v) { return v.IsEmpty(); });
}

void TRecipeOp::ClearValues()
{
    std::fill(values_.begin(), values_.end(), TTagValue());
}

void TRecipeOp::Encode(std::vector<std::uint8_t>& code) const
{
    const bool load = IsLoad();
    const bool transfer = IsTransfer();
    const TRecipeGroup* group = GetGroup();
    code.push_back(kCodeLead);
    code.push_back(load && transfer ? kCodeLoadTransfer : load ? kCodeLoad : kCodeTransfer);
    AppendLe16(code, group && (load || transfer) ? group->GetNumber() : 0);
    if (transfer) {
        AppendLe16(code, completionTag_);
        AppendLe32(code, completionValue_.GetRaw32());
    } else if (!load) {
        AppendLe16(code, 0);
        AppendLe32(code, 0);
    }
    if (load) {
        const std::size_t countAt = code.size();
        AppendLe16(code, 0);
        // Values belong to the group's tags; without the group there is
        // nothing to load them into. A group holds at most 100 tags, which
        // bounds the payloads.
        const std::size_t count = group ? std::min(values_.size(), TRecipeGroup::kMaxTags) : 0;
        for (std::size_t i = 0; i < count; ++i)
            values_[i].WritePayload(code);
        PutLe16(&code[countAt], static_cast<std::uint16_t>(code.size() - countAt - 2));
    }
}

std::unique_ptr<TRecipeOp> TRecipeOp::Decode(std::span<const std::uint8_t> code, TRecipeArray& recipes,
                                             std::size_t& used)
{
    if (code.size() < 4)
        return nullptr;
    // The group is set only once the whole code has been read: an operation
    // given up on the way must not give back a use that decoding never took.
    auto op = std::make_unique<TRecipeOp>(recipes);
    const std::uint8_t sub = code[1];
    op->flags_ = sub == kCodeLoad ? kLoad : sub == kCodeLoadTransfer ? kLoad | kTransfer : kTransfer;
    const TRecipeGroup* group = recipes.FindByNumber(GetLe16(&code[2]));
    std::size_t at = 4;

    if (op->IsTransfer()) {
        if (code.size() - at < 6)
            return nullptr;
        const std::uint16_t tag = GetLe16(&code[at]);
        const std::uint32_t word = GetLe32(&code[at + 2]);
        at += 6;
        if (!group) {
            op->SetTransfer(false);
        } else if (tag != 0) {
            op->completionTag_ = tag;
            op->completionValue_.SetRaw32(ValueTypeOfTag(tag), word);
        }
    }

    if (op->IsLoad()) {
        if (code.size() - at < 2)
            return nullptr;
        const std::size_t n = GetLe16(&code[at]);
        at += 2;
        if (code.size() - at < n)
            return nullptr;
        const std::span<const std::uint8_t> payloads = code.subspan(at, n);
        std::size_t consumed = 0;
        // Values are read while the count lasts; tags past it stay without
        // a value, and bytes past the tags are skipped.
        for (std::size_t i = 0; group && i < group->GetTags().size() && consumed < n; ++i) {
            TTagValue value;
            const auto size = value.ReadPayload(ValueTypeOfTag(group->GetTags()[i]), payloads.subspan(consumed));
            if (!size)
                return nullptr;
            consumed += *size;
            op->values_.push_back(value);
        }
        at += n;
    }

    op->groupNumber_ = group ? group->GetNumber() : 0;
    used = at;
    return op;
}

void TRecipeOp::PrintText(std::vector<std::string>& lines, const TagNameLookup& tagName) const
{
    const TRecipeGroup* group = GetGroup();
    if (!group || (flags_ & (kLoad | kTransfer)) == 0)
        return;
    const int prefix = IsLoad() ? (IsTransfer() ? kStrRecipeLoadTransfer : kStrRecipeLoad) : kStrRecipeTransfer;
    lines.push_back(DbText(prefix) + group->GetName());
    if (IsTransfer() && completionTag_ != 0) {
        std::string name;
        if (!tagName || !tagName(completionTag_, name))
            name = DbText(kStrRecipeNoTag);
        lines.push_back(DbText(kStrRecipeCompletionTag) + name);
    }
}

void TRecipeOp::CountRecipeUse(TIdCounter& counter) const
{
    if (const std::uint16_t number = GetGroupNumber())
        counter.AddOne(number);
}

std::uint32_t TRecipeOp::ValueTypeOfTag(std::uint16_t tag)
{
    if (tag & kTagRefDigital)
        return kValueByte;
    atag analog;
    if (!analog.Read(tag))
        return kValueUnsigned16;
    switch (analog.GetDataType()) {
    case kTypeUnsignedWord:
        return kValueUnsigned16;
    case kTypeSignedWord:
        return kValueSigned16;
    case kTypeUnsignedDword:
        return kValueUnsigned32;
    case kTypeSignedDword:
        return kValueSigned32;
    case kTypeFloat:
        return kValueFloat;
    case kTypeText:
        return kValueText;
    default:
        return kValueEmpty;
    }
}
