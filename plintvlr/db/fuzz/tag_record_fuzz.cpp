// Reads arbitrary bytes as the tag records of a project or of a panel
// database uploaded from a panel: as an analog and a digital tag record, as a
// record 118 of the message text pool, and as one record of each tag table
// loaded into the registries. Every reader must stay within the bytes; a tag
// that was read completely packs into a record that reads back whole and
// packs into the same bytes again.
#include "plintvlr/db/atag.h"
#include "plintvlr/db/atag_registry.h"
#include "plintvlr/db/dtag.h"
#include "plintvlr/db/dtag_registry.h"
#include "plintvlr/db/text_pool.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

// A tag read whole packs into bytes that read back to a tag packing alike.
template <class Tag>
void ReadAndRepack(std::span<const std::uint8_t> record)
{
    Tag tag;
    const TagUnpack result = tag.UnpackRecord(7, record);
    std::array<std::uint8_t, 4 * kMaxTagRecord> packed{};
    const std::size_t n = tag.PackRecord(packed);
    std::string text;
    for (int column = 0; column <= tag.GetColumnCount(); ++column)
        tag.GetColumnText(text, column);
    if (result != TagUnpack::kComplete || n == 0)
        return;
    Tag again;
    Check(again.UnpackRecord(7, std::span(packed.data(), n)) == TagUnpack::kComplete);
    std::array<std::uint8_t, 4 * kMaxTagRecord> repacked{};
    Check(again.PackRecord(repacked) == n && std::equal(packed.begin(), packed.begin() + n, repacked.begin()));
}

TableWalk OneRecord(std::span<const std::uint8_t> record)
{
    return [record](bool first, std::span<std::uint8_t> buffer, std::uint16_t& length, std::uint32_t& key,
                    std::uint32_t& position) {
        if (!first || record.size() > buffer.size())
            return 5;
        std::copy(record.begin(), record.end(), buffer.begin());
        length = static_cast<std::uint16_t>(record.size());
        key = 3;
        position = 14;
        return 0;
    };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Each input lives in a buffer of exactly its size, so that a read past
    // it is one the sanitizers see.
    const std::vector<std::uint8_t> bytes(data, data + size);
    const std::span<const std::uint8_t> record(bytes.data(), bytes.size());
    ReadAndRepack<atag>(record);
    ReadAndRepack<dtag>(record);

    pile pool(50);
    pool.LoadFromRecord(record);
    const std::vector<std::uint8_t> stored = pool.PackRecord();
    Check(stored.size() >= 2);

    if (size <= 65535) {
        Atag_registry analog(20);
        analog.LoadFrom(OneRecord(record));
        Dtag_registry digital(20);
        digital.LoadFrom(OneRecord(record));
        std::string name;
        Check(analog.GetName(3, name) && name.size() <= size);
        Check(digital.GetName(3, name) && name.size() <= size);
    }
    return 0;
}
