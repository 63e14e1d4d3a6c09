#pragma once
// The message-table registry: the names of the project's message tables by
// table number (1 to 1499), as their records in table 5 hold them. The
// message table editor, browser and import share one; the project database
// makes one at open for the byte total of table 5.

#include "plintvlr/db/tag_registry.h"

#include <cstdint>
#include <memory>

class adatabase;

class Menv_registry : public tagregistry {
public:
    static constexpr std::uint32_t kCapacity = 1500;

    explicit Menv_registry(std::uint32_t capacity = kCapacity) : tagregistry(capacity) {}

    // A new empty message table, and one for table `number`.
    std::unique_ptr<browseable> CreateItem() override;
    std::unique_ptr<browseable> CreateItemFor(std::int32_t number) override;
    // Table 5 of the open project.
    bool Load() override;
    // Sets the name of every readable table record at its number, however
    // high the number (the registry keeps those below its capacity); a
    // record that is no table is passed over. False when no name was set.
    bool LoadFrom(const TableWalk& walk);

    // The bytes the message tables of the open project count: each record's
    // length + 12, as every stored record counts.
    std::uint32_t GetTableSize() const;
    static std::uint32_t GetTableSize(const TableWalk& walk);
};

// Keeps only the texts that message tables use, numbered afresh in table
// order, in the project's record 118 (deleted when there is no table), and
// rewrites every table to the new numbers. A table that cannot be read
// leaves the project as it was.
void PackMessageTextPool(adatabase& db);
