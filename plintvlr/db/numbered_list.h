#pragma once
// The open project's records of one table in ascending record number, as the
// comms block and overview group lists keep them. Records stay where they are
// while others come and go (a linked list), so an editor may hold on to one.

#include "plintvlr/db/tag_registry.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <list>
#include <span>

class adatabase;

template <class Record>
class NumberedList {
public:
    using Records = std::list<Record>;

    bool Contains(std::uint16_t number) const { return Find(number) != nullptr; }
    Record* Find(std::uint16_t number)
    {
        auto it = FindIt(number);
        return it == records_.end() ? nullptr : &*it;
    }
    const Record* Find(std::uint16_t number) const { return const_cast<NumberedList*>(this)->Find(number); }
    // Inserts a copy in number order (behind records of the same number) and
    // returns it.
    Record& Add(const Record& record)
    {
        auto it = std::find_if(records_.begin(), records_.end(),
                               [&](const Record& r) { return r.GetNumber() > record.GetNumber(); });
        return *records_.insert(it, record);
    }
    void Clear() { records_.clear(); }

    bool IsEmpty() const { return records_.empty(); }
    std::size_t Count() const { return records_.size(); }
    typename Records::iterator begin() { return records_.begin(); }
    typename Records::iterator end() { return records_.end(); }
    typename Records::const_iterator begin() const { return records_.begin(); }
    typename Records::const_iterator end() const { return records_.end(); }

protected:
    // Empties the list and walks a table of the project in key order,
    // handing each record to `take`. A record whose check fails is skipped;
    // one longer than `limit` does not fit the walk's buffer and ends it.
    template <class Take>
    void LoadRecords(adatabase& db, int table, std::size_t limit, Take take)
    {
        Clear();
        const TableWalk walk = TableWalkOf(db, table);
        WalkTable(
            [&](bool first, std::span<std::uint8_t> buffer, std::uint16_t& length, std::uint32_t& key,
                std::uint32_t& position) { return walk(first, buffer.first(limit), length, key, position); },
            [&](std::uint32_t, std::span<const std::uint8_t> record) { take(record); });
    }

    typename Records::iterator FindIt(std::uint16_t number)
    {
        return std::find_if(records_.begin(), records_.end(), [&](const Record& r) { return r.GetNumber() == number; });
    }

    Records records_;
};
