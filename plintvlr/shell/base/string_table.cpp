#include "plintvlr/shell/base/string_table.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace {

#define PLV_STRING(name, id, text) StringEntry{id, text},
constexpr StringEntry kEntries[] = {
#include "plv_string_tables.inc"
};
#undef PLV_STRING

// Sorted once, by the compiler, so a look-up is a binary search and the
// table costs nothing at start-up.
constexpr auto kSorted = [] {
    std::array<StringEntry, std::size(kEntries)> sorted{};
    std::copy(std::begin(kEntries), std::end(kEntries), sorted.begin());
    std::sort(sorted.begin(), sorted.end(),
              [](const StringEntry& a, const StringEntry& b) { return a.id < b.id; });
    return sorted;
}();

const TestStringTable* g_overlay = nullptr;

}  // namespace

const char* FindStringText(int id)
{
    if (g_overlay)
        if (const char* text = g_overlay->Find(id))
            return text;
    auto it = std::lower_bound(kSorted.begin(), kSorted.end(), id,
                               [](const StringEntry& e, int key) { return e.id < key; });
    return it != kSorted.end() && it->id == id ? it->text : nullptr;
}

std::span<const StringEntry> StringTableEntries()
{
    return kSorted;
}

TestStringTable::TestStringTable(std::initializer_list<std::pair<const int, std::string>> entries)
    : entries_(entries), previous_(g_overlay)
{
    g_overlay = this;
}

TestStringTable::~TestStringTable()
{
    g_overlay = previous_;
}

const char* TestStringTable::Find(int id) const
{
    auto it = entries_.find(id);
    if (it != entries_.end())
        return it->second.c_str();
    return previous_ ? previous_->Find(id) : nullptr;
}
