#include "plintvlr/db/menv_registry.h"

#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/menv.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/db/text_pool.h"

#include <vector>

namespace {

// Counted beyond its length for each stored record, as the database counts.
constexpr std::uint32_t kRecordOverhead = 12;
constexpr std::size_t kLargestRecord = 65535;

}  // namespace

std::unique_ptr<browseable> Menv_registry::CreateItem()
{
    return std::make_unique<menv>();
}

std::unique_ptr<browseable> Menv_registry::CreateItemFor(std::int32_t number)
{
    return std::make_unique<menv>(number);
}

bool Menv_registry::Load()
{
    return LoadFrom(OpenProjectTableWalk(kTableMessages));
}

bool Menv_registry::LoadFrom(const TableWalk& walk)
{
    bool named = false;
    WalkTable(walk, [&](std::uint32_t key, std::span<const std::uint8_t> record) {
        if (std::optional<std::string> name = menv::RecordName(record))
            named |= SetNameAt(*name, key);
    });
    return named;
}

std::uint32_t Menv_registry::GetTableSize() const
{
    return GetTableSize(OpenProjectTableWalk(kTableMessages));
}

std::uint32_t Menv_registry::GetTableSize(const TableWalk& walk)
{
    std::uint32_t total = 0;
    WalkTable(walk, [&](std::uint32_t, std::span<const std::uint8_t> record) {
        total += static_cast<std::uint32_t>(record.size()) + kRecordOverhead;
    });
    return total;
}

void PackMessageTextPool(adatabase& db)
{
    const bool largeMemory = Quellstor(db.GetPanelType()).largeMemory != 0;
    pile old(kTextPoolCapacity);
    std::vector<std::uint8_t> buffer(kLargestRecord);
    std::uint16_t length = static_cast<std::uint16_t>(buffer.size());
    if (db.GetSystemRecord(kTextPoolRecord, buffer.data(), length) == DF_OK)
        old.LoadFromRecord(std::span<const std::uint8_t>(buffer.data(), length));

    // Every table is read and rewritten in memory before anything is
    // stored: a table left behind would keep offsets into a pool that is gone.
    std::vector<menv> tables;
    std::vector<std::vector<std::uint8_t>> stored;  // each table's record as it was
    std::uint32_t key = 0;
    std::uint32_t position = 0;
    for (bool first = true;; first = false) {
        length = static_cast<std::uint16_t>(buffer.size());
        const int code = db.NextMessage(first, buffer.data(), length, key, position);
        if (code == DF_NOT_FOUND && first)
            break;
        if (code != DF_OK)
            return;
        menv table(&old, static_cast<std::int32_t>(key));
        // A record that is no table refers to no text.
        if (table.DecodeRecord(std::span<const std::uint8_t>(buffer.data(), length), largeMemory)) {
            tables.push_back(std::move(table));
            stored.emplace_back(buffer.begin(), buffer.begin() + length);
        }
        if (position == 0)
            break;
    }

    pile fresh(kTextPoolCapacity);
    std::vector<std::vector<std::uint8_t>> records;
    for (menv& table : tables) {
        for (int i = 0; i < table.GetEntryCount(); ++i) {
            std::string text;
            std::uint32_t id = 0;
            if (old.GetName(static_cast<std::uint32_t>(table.GetEntryTextNumber(i)), text))
                fresh.Add(text, id);
            table.SetEntryTextNumber(i, static_cast<std::int32_t>(id));
        }
        table.SetPile(&fresh);
        std::optional<std::vector<std::uint8_t>> record = table.EncodeRecord(largeMemory);
        if (!record)
            return;
        records.push_back(std::move(*record));
    }

    if (tables.empty()) {
        db.DeleteSystemRecord(kTextPoolRecord);
        return;
    }
    // The tables go first and the pool last. When a write fails, the tables
    // already written get their old records back and the old pool stays, so
    // no table is left with text numbers of a pool that was not stored.
    auto put = [&](std::size_t i, const std::vector<std::uint8_t>& record) {
        return db.PutMessage(static_cast<std::uint32_t>(tables[i].GetNumber()), record.data(),
                             static_cast<std::uint16_t>(record.size())) == DF_OK;
    };
    std::size_t written = 0;
    while (written < tables.size() && put(written, records[written]))
        ++written;
    const std::vector<std::uint8_t> pool = fresh.PackRecord();
    if (written == tables.size() &&
        db.PutSystemRecord(kTextPoolRecord, pool.data(), static_cast<std::uint16_t>(pool.size())) == DF_OK)
        return;
    for (std::size_t i = 0; i < written; ++i)
        put(i, stored[i]);
}
