// Opens arbitrary bytes as a keyed record file and works on it: walk, read,
// find, write, rewrite and delete. Whatever the links say, every operation
// must answer and every walk must end.
#include "plintvlr/db/keyed_record_file.h"
#include "plintvlr/db/fuzz/scratch_folder.h"

#include "platform/base/files.h"
#include "platform/base/little_endian.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

std::uint8_t g_buffer[65535];

// Walks the file in key order and gives the last key seen.
std::uint32_t Walk(int handle)
{
    const std::int64_t size = FileLength(handle);
    std::uint16_t length = sizeof g_buffer;
    std::uint32_t key = 0, position = 0, lastKey = 0;
    int rc = DfFirstRecord(handle, g_buffer, length, key, position);
    for (std::int64_t steps = 0; rc == DF_OK || rc == DF_BAD_CHECK; ++steps) {
        // Keys rise along a walk, so no block comes twice.
        Check(steps <= size);
        lastKey = key;
        if (position == 0)
            break;
        length = sizeof g_buffer;
        rc = DfNextRecord(handle, g_buffer, length, key, position);
    }
    return lastKey;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = MakeScratchFolder("plv-fuzz-df") + "/table.db3";
    if (!WriteWholeFile(path, std::string_view(reinterpret_cast<const char*>(data), size)))
        return 0;
    int handle = DfOpen(path);
    if (handle < 0) {
        FileDelete(path);
        return 0;
    }

    // Keys and a record to write come from the file's own bytes.
    std::uint32_t key = size >= 18 ? GetLe32(data + 14) : 1;
    std::uint32_t other = Walk(handle);
    static std::uint8_t payload[320];
    for (std::size_t i = 0; i < sizeof payload; ++i)
        payload[i] = size ? data[(size - 1 - i % size)] : 0;
    std::uint16_t length = static_cast<std::uint16_t>(size % 300);

    std::uint16_t bufferSize = sizeof g_buffer;
    DfReadRecord(handle, key, g_buffer, bufferSize);
    std::uint32_t position = 0, previous = 0, next = 0;
    std::uint16_t recordLength = 0;
    DfRecordInfo(handle, other, position, recordLength);
    DfFindRecord(handle, key + 1);
    DfFindRecordLinks(handle, key, previous, next);

    DfWriteRecord(handle, key, payload, length);
    Walk(handle);
    DfWriteRecord(handle, key, payload, static_cast<std::uint16_t>(length / 2));
    DfWriteRecord(handle, key ^ 0x55, payload, static_cast<std::uint16_t>(length + 7));
    DfDeleteRecord(handle, other);
    DfTakeFreeBlock(handle, 1);
    Walk(handle);
    bufferSize = sizeof g_buffer;
    DfReadRecord(handle, key, g_buffer, bufferSize);
    DfClose(handle);
    FileDelete(path);
    return 0;
}
