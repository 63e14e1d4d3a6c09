#include "plintvlr/db/v3_file.h"

#include "platform/base/files.h"
#include "platform/base/paths.h"
#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/keyed_record_file.h"

#include <memory>
#include <span>
#include <vector>

namespace {

constexpr int kLastOldTable = 15;

bool IsMarked(const BlockUsedArray& used, std::uint32_t block)
{
    return block < used.size() && used[block] != 0;
}

// Walks the old table in key order and converts each record: 0 or 5 when
// the table ended well, else the code that stopped it.
int ConvertTable(int source, V3FILE& target, std::string_view sourceFolder)
{
    // Room for the longest record a keyed record file holds; only what a
    // read put there is used, so it needs no clearing.
    const auto room = std::make_unique_for_overwrite<std::uint8_t[]>(0xFFFF);
    const std::span<std::uint8_t> buffer(room.get(), 0xFFFF);
    std::uint16_t length = static_cast<std::uint16_t>(buffer.size());
    std::uint32_t key = 0;
    std::uint32_t position = 0;
    int code = DfFirstRecord(source, buffer.data(), length, key, position);
    while (code == DF_OK) {
        code = target.ConvertRecord(sourceFolder, key, std::span<const std::uint8_t>(buffer.data(), length));
        if (code != DF_OK)
            break;
        if (position == 0)
            return DF_NOT_FOUND;
        length = static_cast<std::uint16_t>(buffer.size());
        code = DfNextRecord(source, buffer.data(), length, key, position);
    }
    return code;
}

}  // namespace

V3FILE::~V3FILE()
{
    DfClose(handle_);
}

int V3FILE::Create(std::string_view targetFolder, int table, BlockUsedArray* blockUsed)
{
    DfClose(handle_);
    table_ = table;
    blockUsed_ = blockUsed;
    record_.reset();
    fileName_ = JoinPath(targetFolder, TableFileName(table));
    handle_ = DfCreate(fileName_) == DF_OK ? DfOpen(fileName_) : -1;
    return handle_ < 0 ? kCannotOpen : 0;
}

int V3FILE::ConvertRecord(std::string_view sourceFolder, std::uint32_t key, std::span<const std::uint8_t> old)
{
    if (handle_ < 0)
        return DF_WRITE_ERROR;
    if (!record_)
        record_.emplace(sourceFolder, table_);
    RECORD& record = *record_;
    const std::span<const std::uint8_t> data = record.Convert(old, key, 2 * key - 1);
    if (data.empty())
        return -1;
    const std::uint16_t block = record.GetBlockNumber();
    if (blockUsed_ && block != 0 && block < blockUsed_->size())
        (*blockUsed_)[block] = 1;
    // A block whose address a tag now holds itself is left out.
    if (table_ == kTableCommsBlocks && blockUsed_ && IsMarked(*blockUsed_, key))
        return DF_OK;
    return DfWriteRecord(handle_, key, data.data(), record.GetLength());
}

int ConvertOldDatabase(std::string_view sourceFolder, std::string_view targetFolder)
{
    BlockUsedArray blockUsed{};
    std::vector<std::string> written;
    bool failed = false;
    // Most old tables are missing: the folder is read once, not once for
    // each name looked up without regard to case.
    const FolderNames oldFiles(sourceFolder);
    for (int table = 1; table <= kLastOldTable && !failed; ++table) {
        const std::string sourceName = oldFiles.Find(RECORD::OldTableName(table));
        if (sourceName.empty() || !FileExists(sourceName))
            continue;
        // A table that is there but cannot be read is not passed over: the
        // project would open without its records.
        const int source = DfOpenReadOnly(sourceName);
        if (source < 0) {
            failed = true;
            break;
        }
        V3FILE target;
        int code = target.Create(targetFolder, table, &blockUsed);
        if (!target.GetFileName().empty())
            written.push_back(target.GetFileName());
        if (code == 0)
            code = ConvertTable(source, target, sourceFolder);
        DfClose(source);
        failed = code != DF_OK && code != DF_NOT_FOUND;
    }
    if (!failed)
        return 0;
    for (const std::string& file : written)
        FileDelete(file);
    return -1;
}
