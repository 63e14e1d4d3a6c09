// The message text pool, record 118 of a project's table 8, on its own: any
// bytes read as texts, the pool packs into a record that reads back as the
// same texts at the same offsets, and every offset finds its text.
#include "plintvlr/db/fuzz/fuzz_check.h"
#include "plintvlr/db/text_pool.h"

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> bytes(data, data + size);
    pile pool;
    pool.LoadFromRecord(std::span<const std::uint8_t>(bytes.data(), bytes.size()));
    // A text given twice is kept once, so the first packing may differ from
    // the bytes; from then on a record reads and packs the same.
    const std::vector<std::uint8_t> packed = pool.PackRecord();
    Check(packed.size() >= 2);
    pile again;
    again.LoadFromRecord(packed);
    Check(again.PackRecord() == packed);
    Check(again.Count() == pool.Count());
    std::string text;
    std::string other;
    for (std::uint32_t n = 1; n < pool.Capacity() && n <= 64; ++n) {
        const bool has = pool.GetName(n, text);
        Check(again.GetName(n, other) == has && (!has || text == other));
        Check(again.GetOffset(n) == pool.GetOffset(n));
    }
    (void)pool.IndexOfOffset(static_cast<std::uint32_t>(size));
    (void)pool.IndexOfOffset(pool.GetOffset(1));
    (void)pool.GetOffset(0);
    return 0;
}
