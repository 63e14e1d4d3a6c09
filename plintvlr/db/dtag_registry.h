#pragma once
// The digital tag registry of an open project: tag names by tag number. Its
// notices carry the number with kDigitalNoticeBit.

#include "plintvlr/db/tag_registry.h"

#include <cstdint>
#include <memory>

class Dtag_registry : public tagregistry {
public:
    // The capacity is the panel's digital tag limit.
    explicit Dtag_registry(std::uint32_t capacity) : tagregistry(capacity) {}

    bool Add(std::string_view name, std::uint32_t& id) override;
    std::uint32_t Remove(std::string_view name, int flag) override;
    std::unique_ptr<browseable> CreateItem() override;
    // Table 2 of the open project.
    bool Load() override;
    // The names of table 2's records, in place of what the registry held.
    bool LoadFrom(const TableWalk& walk);
};
