#pragma once
// Counts of recipe-group uses, and the project's file of them, "rcpcount.wcf":
// a keyed record file in the project folder with one record per stored record
// whose key operations name recipe groups (a graphic page by its number, a
// system record of table 8 by 10000 + its key). Each record holds the
// (group, count) pairs of its stored record; loading sums the whole file.

#include <cstdint>
#include <string>
#include <vector>

struct TIdCount {
    std::uint16_t id = 0;
    std::uint16_t count = 1;
    friend bool operator<(const TIdCount& a, const TIdCount& b) { return a.id < b.id; }
};

class TIdCounter {
public:
    // Most pairs one record of the file holds (4 + 4 x 100 bytes).
    static constexpr std::size_t kMaxPairs = 100;
    static constexpr std::uint16_t kMaxRecordLength = 4 + 4 * kMaxPairs;

    // Id 0: nothing happens, -1. A present id: its count grows, its index.
    // Otherwise the pair goes in at its place by id, its index.
    int Add(const TIdCount& pair);
    int AddOne(std::uint16_t id) { return Add({id, 1}); }

    // Writes the counter as the record of the key (an empty counter deletes
    // it); true on success. The file is created when missing.
    bool Save(std::uint32_t key) const;
    // Deletes the key's record; true when it was there and is gone.
    bool RemovePage(std::uint32_t key) const;
    // Empties the counter and adds every pair of the file; true when the
    // whole file was read (a project without the file has no counts: false).
    bool LoadAll();

    const std::vector<TIdCount>& Pairs() const { return pairs_; }
    bool Empty() const { return pairs_.empty(); }
    void Clear() { pairs_.clear(); }

private:
    std::vector<TIdCount> pairs_;
};

// The counter file of the open project.
std::string RecipeCounterPath();
