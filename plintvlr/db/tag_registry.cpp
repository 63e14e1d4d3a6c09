#include "plintvlr/db/tag_registry.h"

#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/tag_base.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int kRecordOk = 0;
constexpr int kRecordCheckSum = 6;
// A walk reads with room for any record, so that one oversized record does
// not end it.
constexpr std::size_t kLargestRecord = 65535;

std::size_t HashOf(std::string_view name)
{
    return std::hash<std::string_view>{}(name);
}

}  // namespace

tagregistry::tagregistry(std::uint32_t capacity) : names_(capacity)
{
    listeners_.reserve(6);
}

tagregistry::~tagregistry() = default;

const std::string* tagregistry::NameAt(std::uint32_t id) const
{
    if (id >= names_.size() || !names_[id])
        return nullptr;
    return &*names_[id];
}

void tagregistry::Store(std::uint32_t id, std::string name)
{
    Free(id);
    byHash_.emplace(HashOf(name), id);
    names_[id] = std::move(name);
    if (id == lowestMaybeFree_)
        lowestMaybeFree_ = id + 1;
}

void tagregistry::Free(std::uint32_t id)
{
    if (!names_[id])
        return;
    auto [at, end] = byHash_.equal_range(HashOf(*names_[id]));
    for (; at != end; ++at) {
        if (at->second == id) {
            byHash_.erase(at);
            break;
        }
    }
    names_[id].reset();
    if (id != 0 && id < lowestMaybeFree_)
        lowestMaybeFree_ = id;
}

bool tagregistry::Add(std::string_view name, std::uint32_t& id)
{
    id = Find(name);
    if (id != 0)
        return false;
    const std::int32_t free = FirstFreeId();
    if (free < 0)
        return false;
    id = static_cast<std::uint32_t>(free);
    Store(id, std::string(name));
    return true;
}

std::uint32_t tagregistry::Find(std::string_view name) const
{
    // The lowest of the ids that hold the name (a name stored at id 0 is
    // never found: 0 means none).
    std::uint32_t found = 0;
    auto [at, end] = byHash_.equal_range(HashOf(name));
    for (; at != end; ++at) {
        const std::uint32_t id = at->second;
        if (id != 0 && (found == 0 || id < found) && *names_[id] == name)
            found = id;
    }
    return found;
}

bool tagregistry::GetName(std::uint32_t id, std::string& name) const
{
    const std::string* stored = NameAt(id);
    if (!stored)
        return false;
    name = *stored;
    return true;
}

std::uint32_t tagregistry::Remove(std::string_view name, int)
{
    const std::uint32_t id = Find(name);
    if (id != 0)
        Free(id);
    return id;
}

bool tagregistry::Next(std::string& name, std::uint32_t& id, int direction)
{
    const auto count = static_cast<std::int64_t>(names_.size());
    if (direction == kWalkForward || direction == kWalkBackward) {
        const int step = direction == kWalkForward ? 1 : -1;
        for (std::int64_t i = std::int64_t{iterationPosition_} + step; i >= 0 && i < count; i += step) {
            if (names_[static_cast<std::size_t>(i)]) {
                iterationPosition_ = static_cast<std::int32_t>(i);
                id = static_cast<std::uint32_t>(i);
                name = *names_[static_cast<std::size_t>(i)];
                return true;
            }
        }
        iterationPosition_ = 0;
        return false;
    }
    if (iterationPosition_ < 0 || !GetName(static_cast<std::uint32_t>(iterationPosition_), name))
        return false;
    id = static_cast<std::uint32_t>(iterationPosition_);
    return true;
}

bool tagregistry::SetIteration(int kind, std::int32_t position)
{
    if (kind < 1 || kind > 4)
        return false;
    iterationKind_ = kind;
    iterationPosition_ = position;
    return true;
}

std::unique_ptr<browseable> tagregistry::CreateItemFor(std::int32_t)
{
    return nullptr;
}

bool tagregistry::Load()
{
    return false;
}

std::uint32_t tagregistry::Count() const
{
    return static_cast<std::uint32_t>(
        std::count_if(names_.begin(), names_.end(), [](const auto& name) { return name.has_value(); }));
}

std::uint32_t tagregistry::GetTotalNameLength() const
{
    std::uint32_t total = 0;
    for (const auto& name : names_) {
        if (name)
            total += static_cast<std::uint32_t>(name->size()) + 1;
    }
    return total;
}

std::int32_t tagregistry::FirstFreeId() const
{
    // The ids passed here hold names, so the next search starts behind them.
    for (; lowestMaybeFree_ < names_.size(); ++lowestMaybeFree_) {
        if (!names_[lowestMaybeFree_])
            return static_cast<std::int32_t>(lowestMaybeFree_);
    }
    return -1;
}

std::uint32_t tagregistry::GetNameLength(std::uint32_t id) const
{
    const std::string* name = id == 0 ? nullptr : NameAt(id);
    return name ? static_cast<std::uint32_t>(name->size()) : 0;
}

bool tagregistry::SetNameAt(std::string_view name, std::uint32_t id)
{
    // Id 0 means "none" to every caller of Find; a name there could not be found.
    if (id == 0 || id >= names_.size())
        return false;
    std::string stored(name);
    if (Find(name) != 0) {
        char marked[kMaxTagName + 1];
        std::snprintf(marked, sizeof marked, "*DUPL*%u*%s", static_cast<unsigned>(id), stored.c_str());
        stored = marked;
    }
    Store(id, std::move(stored));
    return true;
}

bool tagregistry::Rename(std::string_view oldName, std::string_view newName)
{
    if (Find(newName) != 0)
        return false;
    const std::uint32_t id = Find(oldName);
    if (id == 0)
        return false;
    Remove(oldName, 1);
    SetNameAt(newName, id);
    return true;
}

bool tagregistry::RenameId(std::uint32_t id, std::string_view newName)
{
    if (Find(newName) != 0)
        return false;
    if (id == 0 || id >= names_.size())
        return false;
    Store(id, std::string(newName));
    return true;
}

void tagregistry::Clear()
{
    for (auto& name : names_)
        name.reset();
    byHash_.clear();
    lowestMaybeFree_ = 1;
    iterationPosition_ = 0;
}

void tagregistry::AddListener(RegistryListener* listener)
{
    if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) {
        if (listeners_.size() == listeners_.capacity())
            listeners_.reserve(listeners_.size() + 5);
        listeners_.push_back(listener);
    }
}

void tagregistry::RemoveListener(RegistryListener* listener)
{
    std::erase(listeners_, listener);
}

void tagregistry::NotifyListeners(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A listener may take itself (or another) out while it is told; each one
    // still listening when its turn comes hears the notice once.
    const std::vector<RegistryListener*> snapshot = listeners_;
    for (RegistryListener* listener : snapshot) {
        if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end())
            listener->OnRegistryNotice(message, wParam, lParam);
    }
}

void tagregistry::Announce(UINT message, const std::string& name, std::uint32_t id, LPARAM bits)
{
    NotifyListeners(message, reinterpret_cast<WPARAM>(name.c_str()), static_cast<LPARAM>(id) | bits);
}

int WalkTable(const TableWalk& walk, const std::function<void(std::uint32_t, std::span<const std::uint8_t>)>& take)
{
    // Room for the longest record; only what a read put there is used, so
    // it needs no clearing.
    const auto room = std::make_unique_for_overwrite<std::uint8_t[]>(kLargestRecord);
    const std::span<std::uint8_t> buffer(room.get(), kLargestRecord);
    std::uint32_t position = 0;
    int taken = 0;
    for (bool first = true;; first = false) {
        std::uint16_t length = static_cast<std::uint16_t>(buffer.size());
        std::uint32_t key = 0;
        const std::uint32_t before = position;
        const int code = walk(first, buffer, length, key, position);
        // A bad record is skipped; a walk that cannot get past one ends.
        if (code == kRecordCheckSum && (first || position != before))
            continue;
        if (code != kRecordOk)
            break;
        take(key, std::span<const std::uint8_t>(buffer.data(), std::min<std::size_t>(length, buffer.size())));
        ++taken;
    }
    return taken;
}

TableWalk TableWalkOf(adatabase& db, int table)
{
    return [&db, table](bool first, std::span<std::uint8_t> buffer, std::uint16_t& length, std::uint32_t& key,
                        std::uint32_t& position) {
        length = static_cast<std::uint16_t>(std::min<std::size_t>(buffer.size(), kLargestRecord));
        return db.NextRecord(table, first, buffer.data(), length, key, position);
    };
}

TableWalk OpenProjectTableWalk(int table)
{
    return TableWalkOf(_QSglobals.GetDatabase(), table);
}

std::string TagRecordName(std::span<const std::uint8_t> record, std::size_t addressLengthOffset)
{
    if (record.size() <= addressLengthOffset)
        return {};
    const std::size_t at = addressLengthOffset + 1 + record[addressLengthOffset];
    if (at >= record.size())
        return {};
    const std::size_t length = std::min<std::size_t>(record[at], record.size() - at - 1);
    std::string_view name(reinterpret_cast<const char*>(record.data() + at + 1), length);
    return std::string(name.substr(0, std::min(name.find('\0'), name.size())));
}
