#include "plintvlr/db/atag_registry.h"

#include "platform/base/little_endian.h"
#include "plintvlr/db/atag.h"

#include <algorithm>

namespace {

constexpr int kAnalogTable = 1;
constexpr std::uint8_t kWordFree = 0;
constexpr std::uint8_t kWordUsed = 85;

// Where table 1's records keep the first allocation, the input address
// length (the name follows the address).
constexpr std::size_t kSizeOffset = 7;
constexpr std::size_t kStartOffset = 8;
constexpr std::size_t kAddressLengthOffset = 18;

}  // namespace

Atag_registry::Atag_registry(std::uint32_t capacity)
    : tagregistry(capacity), allocations_(capacity), wordMap_(capacity, kWordFree)
{
}

bool Atag_registry::Add(std::string_view name, std::uint32_t& id)
{
    if (!tagregistry::Add(name, id))
        return false;
    Announce(kTagAddedNotice, *NameAt(id), id, 0);
    return true;
}

std::uint32_t Atag_registry::Remove(std::string_view name, int inWords)
{
    const std::string text(name);
    const std::uint32_t id = tagregistry::Remove(name, inWords);
    if (id != 0) {
        FreeInternal(id, inWords != 0);
        Announce(kTagRemovedNotice, text, id, 0);
    }
    return id;
}

std::unique_ptr<browseable> Atag_registry::CreateItem()
{
    return std::make_unique<atag>();
}

bool Atag_registry::Load()
{
    return LoadFrom(OpenProjectTableWalk(kAnalogTable));
}

bool Atag_registry::LoadFrom(const TableWalk& walk)
{
    // Loading again starts afresh: the names of the table would otherwise
    // meet themselves and all be marked as duplicates.
    Clear();
    std::fill(allocations_.begin(), allocations_.end(), Allocation{});
    std::fill(wordMap_.begin(), wordMap_.end(), kWordFree);
    const int taken = WalkTable(walk, [this](std::uint32_t key, std::span<const std::uint8_t> record) {
        if (record.size() >= kStartOffset + 4 && key < allocations_.size()) {
            const std::uint32_t size = record[kSizeOffset];
            const std::uint32_t start = GetLe32(record.data() + kStartOffset);
            allocations_[key] = {start, size};
            MarkWords(start, size, kWordUsed);
        }
        SetNameAt(TagRecordName(record, kAddressLengthOffset), key);
    });
    return taken > 0;
}

std::uint32_t Atag_registry::Words(std::uint32_t size, bool inWords)
{
    return inWords ? size : size / 2 + size % 2;
}

void Atag_registry::MarkWords(std::uint32_t start, std::uint32_t words, std::uint8_t mark)
{
    for (std::uint64_t w = start; w < std::uint64_t{start} + words && w < wordMap_.size(); ++w)
        wordMap_[static_cast<std::size_t>(w)] = mark;
}

std::int32_t Atag_registry::AllocateInternal(std::uint32_t id, std::uint32_t size, bool inWords)
{
    const std::uint32_t words = Words(size, inWords);
    if (words == 0 || id >= allocations_.size())
        return -1;
    std::uint32_t run = 0;
    for (std::uint32_t w = 1; w < wordMap_.size(); ++w) {
        run = wordMap_[w] == kWordFree ? run + 1 : 0;
        if (run == words) {
            const std::uint32_t start = w - words + 1;
            allocations_[id] = {start, size};
            MarkWords(start, words, kWordUsed);
            return static_cast<std::int32_t>(start);
        }
    }
    return -1;
}

void Atag_registry::FreeInternal(std::uint32_t id, bool inWords)
{
    if (id >= allocations_.size())
        return;
    const Allocation allocation = allocations_[id];
    if (allocation.start != 0)
        MarkWords(allocation.start, Words(allocation.size, inWords), kWordFree);
    allocations_[id] = {};
}

bool Atag_registry::GetInternal(std::uint32_t id, std::uint32_t& start, std::uint32_t& size) const
{
    start = size = 0;
    if (id >= allocations_.size() || allocations_[id].start == 0)
        return false;
    start = allocations_[id].start;
    size = allocations_[id].size;
    return true;
}

bool Atag_registry::IsWordUsed(std::uint32_t word) const
{
    return word < wordMap_.size() && wordMap_[word] == kWordUsed;
}
