#pragma once
// Recipe groups: numbered, named lists of recipe tags that recipe operations
// load or transfer, stored one record per group in project table 11, and the
// project's set of them sorted by number with the use counts that keep
// groups in use from being changed.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

class adatabase;
class TIdCounter;

class TRecipeGroup {
public:
    static constexpr std::size_t kMaxTags = 100;

    TRecipeGroup() = default;
    explicit TRecipeGroup(std::string name) : name_(std::move(name)) {}
    // Decodes a table-11 record; the number in the record replaces `number`.
    TRecipeGroup(std::uint16_t number, const std::uint8_t* record, std::size_t length);

    std::uint16_t GetNumber() const { return number_; }
    void SetNumber(std::uint16_t number) { number_ = number; }
    const std::string& GetName() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    const std::vector<std::uint16_t>& GetTags() const { return tags_; }
    int GetUseCount() const { return useCount_; }
    void SetUseCount(int count) { useCount_ = count; }

    int AddUse() { return ++useCount_; }
    int ReleaseUse() { return --useCount_; }
    // 1 added, -1 without change when the group already holds 100 tags.
    int AddTag(std::uint16_t tag);

    // The table-11 record: u16 number, u8 name length + 1, the name and a
    // NUL, u16 tag count, the tag ids.
    std::vector<std::uint8_t> Encode() const;
    // Stores the record under the group's number; the put's code.
    int Write(adatabase& db) const;
    // Deletes the group's record from table 11.
    int Remove(adatabase& db) const;

private:
    std::uint16_t number_ = 1;
    std::string name_;
    std::vector<std::uint16_t> tags_;
    int useCount_ = 0;
};

class TRecipeArray {
public:
    static constexpr std::size_t kMaxGroups = 100;

    // Replaces the contents with the groups of table 11: 1 when every record
    // was read, 0 otherwise (an empty table included). A record whose check
    // fails is passed over and its number kept from Add, so that a new group
    // never overwrites what might still be mended by hand.
    int Load(adatabase& db);
    // Sets every group's use count to the counter's count for its number, 0
    // when the counter does not name it.
    void ApplyUseCounts(const TIdCounter& counter);
    // Gives the group the lowest number that neither a group nor an
    // unreadable record of the last Load holds, and inserts a copy: 1, or -1
    // (group unchanged) when the array holds 100 groups.
    int Add(TRecipeGroup& group);
    // Deletes the named group's record and takes it out: 1, or -1 when no
    // group has the name.
    int Remove(adatabase& db, const std::string& name);
    // The first group in number order whose name equals this one exactly
    // (letter case counts, whatever an import did), or whose number is this
    // one; null when none. No group has number 0.
    TRecipeGroup* FindByName(const std::string& name);
    TRecipeGroup* FindByNumber(std::uint16_t number);
    void GetNames(std::vector<std::string>& names) const;
    std::size_t GetCount() const { return groups_.size(); }
    const std::vector<TRecipeGroup>& Groups() const { return groups_; }

private:
    void Insert(const TRecipeGroup& group);
    std::vector<TRecipeGroup> groups_;
    std::set<std::uint32_t> unreadable_;
};

// Loads the groups from the project and applies the use counts of its
// recipe counter file when that can be read.
void ReloadRecipeGroups(TRecipeArray& recipes, adatabase& db);

// The program's recipe list: the main frame's while it exists (tests set
// their own), null otherwise. Not owned.
TRecipeArray* GetProjectRecipeList();
void SetProjectRecipeList(TRecipeArray* recipes);
