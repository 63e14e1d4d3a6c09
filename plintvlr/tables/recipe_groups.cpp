#include "plintvlr/tables/recipe_groups.h"

#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/id_counter.h"
#include "plintvlr/db/keyed_record_file.h"
#include "plintvlr/db/tag_registry.h"
#include "platform/base/little_endian.h"

#include <algorithm>

TRecipeGroup::TRecipeGroup(std::uint16_t number, const std::uint8_t* record, std::size_t length) : number_(number)
{
    if (!record || length < 3)
        return;
    number_ = GetLe16(record);
    const std::size_t nameField = record[2];  // name length + 1
    std::size_t at = 3;
    if (nameField > 0) {
        std::size_t nameLength = std::min(nameField - 1, length - at);
        name_.assign(reinterpret_cast<const char*>(record + at), nameLength);
        // A NUL inside the stored name ends it.
        name_ = name_.c_str();
    }
    at += nameField;
    if (at + 2 > length)
        return;
    const std::size_t count = GetLe16(record + at);
    at += 2;
    for (std::size_t i = 0; i < count && at + 2 <= length; ++i, at += 2)
        AddTag(GetLe16(record + at));
}

int TRecipeGroup::AddTag(std::uint16_t tag)
{
    if (tags_.size() >= kMaxTags)
        return -1;
    tags_.push_back(tag);
    return 1;
}

std::vector<std::uint8_t> TRecipeGroup::Encode() const
{
    // The name's length byte holds length + 1, so a longer name is cut
    // rather than stored with a length that would misplace the tag list.
    const std::size_t nameLength = std::min<std::size_t>(name_.size(), 254);
    const std::size_t nameField = nameLength + 1;
    std::vector<std::uint8_t> record(5 + nameField + 2 * tags_.size(), 0);
    PutLe16(record.data(), number_);
    record[2] = static_cast<std::uint8_t>(nameField);
    std::copy_n(name_.begin(), nameLength, record.begin() + 3);
    std::size_t at = 3 + nameField;
    PutLe16(&record[at], static_cast<std::uint16_t>(tags_.size()));
    at += 2;
    for (std::uint16_t tag : tags_) {
        PutLe16(&record[at], tag);
        at += 2;
    }
    return record;
}

int TRecipeGroup::Write(adatabase& db) const
{
    const std::vector<std::uint8_t> record = Encode();
    return db.PutRecipe(number_, record.data(), static_cast<std::uint16_t>(record.size()));
}

int TRecipeGroup::Remove(adatabase& db) const
{
    return db.DeleteRecipe(number_);
}

void TRecipeArray::Insert(const TRecipeGroup& group)
{
    auto at = std::upper_bound(groups_.begin(), groups_.end(), group.GetNumber(),
                               [](std::uint16_t n, const TRecipeGroup& g) { return n < g.GetNumber(); });
    groups_.insert(at, group);
}

int TRecipeArray::Load(adatabase& db)
{
    groups_.clear();
    unreadable_.clear();
    const TableWalk table = TableWalkOf(db, kTableRecipes);
    int last = DF_OK;
    const TableWalk walk = [&](bool first, std::span<std::uint8_t> buffer, std::uint16_t& length,
                               std::uint32_t& key, std::uint32_t& position) {
        last = table(first, buffer, length, key, position);
        if (last == DF_BAD_CHECK)
            unreadable_.insert(key);
        return last;
    };
    const int read = WalkTable(walk, [this](std::uint32_t key, std::span<const std::uint8_t> record) {
        Insert(TRecipeGroup(static_cast<std::uint16_t>(key), record.data(), record.size()));
    });
    // A walk that followed the last link to its end answers "not found".
    return read > 0 && unreadable_.empty() && last == DF_NOT_FOUND ? 1 : 0;
}

void TRecipeArray::ApplyUseCounts(const TIdCounter& counter)
{
    // The counter holds every use the stored pages make; a group it does not
    // name is used by none of them.
    for (TRecipeGroup& group : groups_)
        group.SetUseCount(0);
    for (const TIdCount& pair : counter.Pairs())
        if (TRecipeGroup* group = FindByNumber(pair.id))
            group->SetUseCount(pair.count);
}

int TRecipeArray::Add(TRecipeGroup& group)
{
    if (groups_.size() >= kMaxGroups)
        return -1;
    std::uint16_t candidate = 1;
    while (FindByNumber(candidate) || unreadable_.count(candidate))
        ++candidate;
    group.SetNumber(candidate);
    Insert(group);
    return 1;
}

int TRecipeArray::Remove(adatabase& db, const std::string& name)
{
    auto at = std::find_if(groups_.begin(), groups_.end(), [&](const TRecipeGroup& g) { return g.GetName() == name; });
    if (at == groups_.end())
        return -1;
    at->Remove(db);
    groups_.erase(at);
    return 1;
}

TRecipeGroup* TRecipeArray::FindByName(const std::string& name)
{
    for (TRecipeGroup& g : groups_)
        if (g.GetName() == name)
            return &g;
    return nullptr;
}

TRecipeGroup* TRecipeArray::FindByNumber(std::uint16_t number)
{
    if (number == 0)
        return nullptr;
    for (TRecipeGroup& g : groups_)
        if (g.GetNumber() == number)
            return &g;
    return nullptr;
}

void TRecipeArray::GetNames(std::vector<std::string>& names) const
{
    for (const TRecipeGroup& g : groups_)
        names.push_back(g.GetName());
}

void ReloadRecipeGroups(TRecipeArray& recipes, adatabase& db)
{
    recipes.Load(db);
    TIdCounter counter;
    if (counter.LoadAll())
        recipes.ApplyUseCounts(counter);
}

namespace {
TRecipeArray* g_projectRecipes = nullptr;
}  // namespace

TRecipeArray* GetProjectRecipeList()
{
    return g_projectRecipes;
}

void SetProjectRecipeList(TRecipeArray* recipes)
{
    g_projectRecipes = recipes;
}
