#pragma once
// The analog tag registry of an open project: tag names by tag number, and
// the panel's internal memory of analog tags, one word map entry per word,
// given out first fit from word 1.

#include "plintvlr/db/tag_registry.h"

#include <cstdint>
#include <memory>
#include <vector>

class Atag_registry : public tagregistry {
public:
    // The capacity is the panel's analog tag limit.
    explicit Atag_registry(std::uint32_t capacity);

    // As the base; a new name is announced (kTagAddedNotice, the number).
    bool Add(std::string_view name, std::uint32_t& id) override;
    // As the base; the tag's internal memory is freed (its size counted in
    // words when inWords is set, else in bytes) and the removal announced.
    std::uint32_t Remove(std::string_view name, int inWords) override;
    std::unique_ptr<browseable> CreateItem() override;
    // Table 1 of the open project.
    bool Load() override;
    // The names and internal allocations of table 1's records, in place of
    // what the registry held; true when at least one record was read.
    bool LoadFrom(const TableWalk& walk);

    // First fit for a run of words (size itself in words, else bytes rounded
    // up to words): the start word, recorded for the id with the size as
    // given; -1 when no run fits or the run would be empty.
    std::int32_t AllocateInternal(std::uint32_t id, std::uint32_t size, bool inWords);
    void FreeInternal(std::uint32_t id, bool inWords);
    // The id's allocation; false with 0, 0 when it has none.
    bool GetInternal(std::uint32_t id, std::uint32_t& start, std::uint32_t& size) const;
    bool IsWordUsed(std::uint32_t word) const;

private:
    struct Allocation {
        std::uint32_t start = 0;
        std::uint32_t size = 0;
    };
    static std::uint32_t Words(std::uint32_t size, bool inWords);
    void MarkWords(std::uint32_t start, std::uint32_t words, std::uint8_t mark);

    std::vector<Allocation> allocations_;
    std::vector<std::uint8_t> wordMap_;
};
