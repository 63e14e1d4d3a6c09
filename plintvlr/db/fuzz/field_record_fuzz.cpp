// Decodes arbitrary bytes as a typed and as a raw field record, reading every
// field in turn with varying output sizes. The bytes are copied into a buffer
// of exactly their size, so any read past the record is a read past memory.
#include "plintvlr/db/field_record.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// Room for a whole string read with output size 0 (at most 65535 bytes and its NUL).
std::uint8_t g_output[65536 + 16];

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

void WalkFields(FieldRecordCursor& c, const std::uint8_t* begin, std::size_t size)
{
    static const std::uint16_t kSizes[] = {1, 0, 4, 300, 2};
    static const std::uint16_t kCounts[] = {1, 3, 200};
    for (int k = 1;; ++k) {
        int bytes = FieldRecordGetBytes(c, k, g_output, kSizes[k % 5]);
        FieldRecordCursor ahead;
        if (FieldRecordCopyCursor(ahead, c) == 0) {
            FieldRecordSkipWords(ahead, k, kCounts[k % 3]);
            FieldRecordGetBytes(ahead, k + 1, g_output, 8);
            FieldRecordEnd(ahead);
        }
        int words = FieldRecordGetWords(c, k, reinterpret_cast<std::uint16_t*>(g_output), kCounts[k % 3]);
        if (bytes == FR_NO_MORE_DATA && words == FR_NO_MORE_DATA)
            break;
        Check(k <= 7 * static_cast<int>(size) + 8);  // every group costs a byte
    }
    const std::uint8_t* end = FieldRecordEnd(c);
    Check(end == nullptr || (end >= begin && end <= begin + size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> record(data, data + size);
    const std::uint8_t* begin = record.data();

    FieldRecordCursor c;
    FieldRecordBeginRead(c, begin, size, 0);
    WalkFields(c, begin, size);
    FieldRecordBeginReadRaw(c, begin, size);
    WalkFields(c, begin, size);

    for (const std::uint8_t* end : {FieldRecordSize(begin, size), FieldRecordSizeRaw(begin, size)})
        Check(end == nullptr || (end >= begin && end <= begin + size));
    return 0;
}
