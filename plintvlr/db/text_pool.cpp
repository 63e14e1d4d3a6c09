#include "plintvlr/db/text_pool.h"

#include "platform/base/little_endian.h"
#include "plintvlr/db/db_string_ids.h"
#include "plintvlr/db/tag_project.h"

#include <algorithm>
#include <memory>
#include <span>

namespace {

constexpr int kSystemTable = 8;
constexpr int kRecordOk = 0;
constexpr std::size_t kLargestRecord = 65535;

}  // namespace

pile::pile(std::uint32_t capacity) : tagregistry(capacity), offsets_(capacity, 0) {}

bool pile::Add(std::string_view text, std::uint32_t& id)
{
    if (!tagregistry::Add(text, id))
        return false;
    const auto length = static_cast<std::uint32_t>(GetNameLength(id));
    if (id == 1)
        offsets_[0] = 0;
    offsets_[id] = offsets_[id - 1] + length + 1;
    return true;
}

std::unique_ptr<browseable> pile::CreateItem()
{
    return std::make_unique<pilestr>();
}

bool pile::Load()
{
    // Room for the longest record; only what the read put there is used.
    const auto room = std::make_unique_for_overwrite<std::uint8_t[]>(kLargestRecord);
    const std::span<std::uint8_t> record(room.get(), kLargestRecord);
    std::uint16_t length = 0;
    if (GetTagTableRecord(kSystemTable, kTextPoolRecord, record, length) != kRecordOk)
        return false;
    LoadFromRecord(std::span<const std::uint8_t>(record.data(), std::min<std::size_t>(length, record.size())));
    return true;
}

void pile::LoadFromRecord(std::span<const std::uint8_t> record)
{
    std::size_t at = 2;
    while (at < record.size()) {
        const auto* begin = reinterpret_cast<const char*>(record.data() + at);
        std::string_view rest(begin, record.size() - at);
        const std::size_t end = std::min(rest.find('\0'), rest.size());
        std::uint32_t id = 0;
        Add(rest.substr(0, end), id);
        at += end + 1;
    }
}

std::uint32_t pile::GetOffset(std::uint32_t n) const
{
    if (n == 0)
        return offsets_.size() > 1 ? offsets_[1] - 1 : 0;
    return n - 1 < offsets_.size() ? offsets_[n - 1] : 0;
}

std::uint32_t pile::IndexOfOffset(std::uint32_t offset) const
{
    const auto found = std::find(offsets_.begin(), offsets_.end(), offset);
    return found == offsets_.end() ? 0 : static_cast<std::uint32_t>(found - offsets_.begin()) + 1;
}

std::vector<std::uint8_t> pile::PackRecord() const
{
    std::vector<std::uint8_t> record;
    AppendLe16(record, static_cast<std::uint16_t>(kTextPoolRecord));
    for (std::uint32_t id = 1; id < Capacity(); ++id) {
        if (const std::string* text = NameAt(id)) {
            record.insert(record.end(), text->begin(), text->end());
            record.push_back(0);
        }
    }
    return record;
}

int pile::Store() const
{
    return PutTagTableRecord(kSystemTable, kTextPoolRecord, PackRecord());
}

int pilestr::GetColumnTitle(std::string& title, int column) const
{
    title = column == 0 ? DbText(kStrColTableName) : "";
    return static_cast<int>(title.size());
}

int pilestr::GetColumnText(std::string& text, int column)
{
    text = column == 0 ? DbText(kStrNotYetImplemented) : "";
    return static_cast<int>(text.size());
}

bool pilestr::GetIdRange(std::int32_t& first, std::int32_t& last)
{
    return RegistryIdRange(first, last);
}
