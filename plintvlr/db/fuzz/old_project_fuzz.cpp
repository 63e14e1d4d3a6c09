// Builds an old project from arbitrary records and converts it. The input is
// a run of records, each: table (its value modulo 4 picks table 1, 2, 3 or
// 8), key (u16), length (u16) and that many data bytes (fewer when the input
// ends). Whatever the old tags, blocks and port settings hold, the conversion
// must answer, and every converted tag must read back through its class.
#include "plintvlr/db/atag.h"
#include "plintvlr/db/dtag.h"
#include "plintvlr/db/fuzz/scratch_folder.h"
#include "plintvlr/db/keyed_record_file.h"
#include "plintvlr/db/plc_address_tables.h"
#include "plintvlr/db/v3_file.h"

#include "platform/base/files.h"
#include "platform/base/little_endian.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <span>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kTables[4] = {1, 2, 3, 8};

const std::string& Folder()
{
    static const std::string folder = [] {
        // Protocol 4 has an address rule, so blocks go through the codec.
        LoadPlcAddressTablesFromText("PCL ->04:Test Link<-\n0x26, 0x29, 0\n");
        return MakeScratchFolder("plv-fuzz-old-project");
    }();
    return folder;
}

std::string TablePath(int table, const char* extension)
{
    char name[32];
    std::snprintf(name, sizeof name, "/dtb-%02x.%s", table, extension);
    return Folder() + name;
}

void ReadBack(int table)
{
    const int handle = DfOpenReadOnly(TablePath(table, "db3"));
    if (handle < 0)
        return;
    static std::vector<std::uint8_t> buffer(0xFFFF);
    std::uint16_t length = static_cast<std::uint16_t>(buffer.size());
    std::uint32_t key = 0, position = 0;
    for (int rc = DfFirstRecord(handle, buffer.data(), length, key, position); rc == DF_OK;
         rc = DfNextRecord(handle, buffer.data(), length, key, position)) {
        const std::span<const std::uint8_t> record(buffer.data(), length);
        // A converted tag is a whole record of its class.
        if (table == 1) {
            atag tag;
            Check(length <= kMaxTagRecord && tag.UnpackRecord(key, record) == TagUnpack::kComplete);
        } else if (table == 2) {
            dtag tag;
            Check(length <= kMaxTagRecord && tag.UnpackRecord(key, record) == TagUnpack::kComplete);
        }
        if (position == 0)
            break;
        length = static_cast<std::uint16_t>(buffer.size());
    }
    DfClose(handle);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::map<int, std::map<std::uint32_t, std::vector<std::uint8_t>>> tables;
    std::size_t at = 0;
    while (at + 5 <= size) {
        const int table = kTables[data[at] % 4];
        const std::uint16_t key = GetLe16(data + at + 1);
        std::size_t length = GetLe16(data + at + 3);
        at += 5;
        if (length > size - at)
            length = size - at;
        tables[table][key].assign(data + at, data + at + length);
        at += length;
    }

    // The last input's files go; their names are exactly as made, so no
    // look-up of other spellings is needed.
    for (int table : kTables) {
        ::unlink(TablePath(table, "dbs").c_str());
        ::unlink(TablePath(table, "db3").c_str());
    }
    for (const auto& [table, records] : tables) {
        const std::string path = TablePath(table, "dbs");
        Check(DfCreate(path) == DF_OK);
        const int handle = DfOpen(path);
        Check(handle >= 0);
        for (const auto& [key, bytes] : records)
            DfWriteRecord(handle, key, bytes.data(), static_cast<std::uint16_t>(bytes.size()));
        DfClose(handle);
    }

    const int result = ConvertOldDatabase(Folder(), Folder());
    Check(result == 0 || result == -1);
    if (result == 0) {
        ReadBack(1);
        ReadBack(2);
    } else {
        // A refused conversion leaves no new table behind.
        for (int table : kTables)
            Check(!FileExists(TablePath(table, "db3")));
    }
    return 0;
}
