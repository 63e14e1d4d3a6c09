#include "plintvlr/db/ov_class.h"

#include "platform/base/little_endian.h"
#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/db_string_ids.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/tag_project.h"
#include "plintvlr/db/tag_registry.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kNameAt = 2;
constexpr std::size_t kMembersAt = kNameAt + ovClass::kNameSize;
constexpr std::uint16_t kDigitalMember = 0x8000;
constexpr std::uint16_t kDigitalNumberBits = 0x07FF;

}  // namespace

ovClass::ovClass(std::span<const std::uint8_t> record)
{
    std::array<std::uint8_t, kRecordSize> bytes{};
    std::copy_n(record.begin(), std::min(record.size(), kRecordSize), bytes.begin());
    number_ = GetLe16(bytes.data());
    std::memcpy(name_.data(), bytes.data() + kNameAt, kNameSize);
    name_.back() = 0;
    for (int i = 0; i < kMemberCount; ++i)
        members_[static_cast<std::size_t>(i)] = GetLe16(bytes.data() + kMembersAt + 2 * static_cast<std::size_t>(i));
}

void ovClass::SetName(std::string_view name)
{
    name_.fill(0);
    const std::size_t n = std::min(name.size(), kNameSize - 1);
    std::copy_n(name.begin(), n, name_.begin());
}

std::string ovClass::GetName() const
{
    return std::string(name_.data(), ::strnlen(name_.data(), kNameSize));
}

void ovClass::SetMember(int i, std::uint16_t value)
{
    if (i >= 0 && i < kMemberCount)
        members_[static_cast<std::size_t>(i)] = value;
}

std::uint16_t ovClass::GetMember(int i) const
{
    return i >= 0 && i < kMemberCount ? members_[static_cast<std::size_t>(i)] : 0;
}

void ovClass::CopyFrom(const ovClass& other)
{
    number_ = other.number_;
    name_ = other.name_;
    members_ = other.members_;
}

std::array<std::uint8_t, ovClass::kRecordSize> ovClass::GetRecord() const
{
    std::array<std::uint8_t, kRecordSize> record{};
    PutLe16(record.data(), number_);
    std::memcpy(record.data() + kNameAt, name_.data(), kNameSize);
    for (int i = 0; i < kMemberCount; ++i)
        PutLe16(record.data() + kMembersAt + 2 * static_cast<std::size_t>(i), members_[static_cast<std::size_t>(i)]);
    return record;
}

int ovClass::Save(adatabase& db) const
{
    const auto record = GetRecord();
    return db.PutOverviewGroup(number_, record.data(), static_cast<std::uint16_t>(record.size()));
}

int ovClass::Delete(adatabase& db) const
{
    return db.DeleteOverviewGroup(number_);
}

std::string ovClass::GetColumnTitle(int column) const
{
    if (column == 0)
        return DbText(kStrColNumber);
    if (column == 1)
        return DbText(kStrColOverviewGroupName);
    if (column >= 2 && column < kColumnCount)
        return DbText(kStrColTagName) + std::to_string(column - 1);
    return {};
}

std::string ovClass::GetColumnText(int column) const
{
    if (column == 0)
        return std::to_string(number_);
    if (column == 1)
        return GetName();
    if (column < 2 || column >= kColumnCount)
        return {};
    const std::uint16_t member = members_[static_cast<std::size_t>(column - 2)];
    const bool digital = (member & kDigitalMember) != 0;
    const std::uint32_t id = digital ? (member & kDigitalNumberBits) : member;
    std::string name;
    const tagregistry* registry = OpenTagRegistry(digital);
    if (id == 0 || !registry || !registry->GetName(id, name))
        return {};
    return name;
}

std::string ovClass::GetRowText() const
{
    std::string row;
    for (int column = 0; column < kColumnCount; ++column)
        row += GetColumnText(column) + "\t";
    row.back() = '\n';
    return row;
}

int OvList::Load(adatabase& db)
{
    LoadRecords(db, kTableOverviewGroups, ovClass::kRecordSize,
                [this](std::span<const std::uint8_t> record) { Add(ovClass(record)); });
    return 1;
}

bool OvList::Remove(adatabase& db, std::uint16_t number)
{
    auto it = FindIt(number);
    if (it == records_.end() || it->Delete(db) != DF_OK)
        return false;
    records_.erase(it);
    return true;
}

int OvList::Update(adatabase& db, const ovClass& group)
{
    if (ovClass* held = Find(group.GetNumber()))
        held->CopyFrom(group);
    else
        Add(group);
    return group.Save(db);
}

int OvList::NextFreeNumber(const adatabase& db) const
{
    return NextFreeNumber(qsGlobals::GetPanelLimit(db.GetPanelType(), 4));
}

const ovClass* OvList::GetNeighbour(bool forward, std::uint16_t number) const
{
    if (records_.empty())
        return nullptr;
    auto it = std::find_if(records_.begin(), records_.end(), [&](const ovClass& g) { return g.GetNumber() == number; });
    if (number == 0 || it == records_.end())
        return &records_.front();
    if (forward) {
        ++it;
        return it == records_.end() ? &records_.front() : &*it;
    }
    return it == records_.begin() ? &records_.back() : &*std::prev(it);
}

int OvList::NextFreeNumber(int limit) const
{
    int candidate = 1;
    for (const ovClass& group : records_) {
        if (group.GetNumber() > candidate)
            return candidate;
        ++candidate;
    }
    if (records_.empty())
        return 1;
    return candidate > limit ? 0 : candidate;
}

OvList& GetOvList()
{
    static OvList list;
    return list;
}
