#include "plintvlr/db/id_counter.h"

#include "platform/base/files.h"
#include "platform/base/paths.h"
#include "plintvlr/db/keyed_record_file.h"
#include "platform/base/little_endian.h"
#include "plintvlr/db/qs_globals.h"

#include <algorithm>

std::string RecipeCounterPath()
{
    const std::string& folder = _QSglobals.GetProjectDirectory();
    return folder.empty() ? std::string() : JoinPath(folder, "rcpcount.wcf");
}

namespace {

// The open project's counter file, created first when asked; -1 when it
// cannot be had.
int OpenCounterFile(bool create)
{
    const std::string path = RecipeCounterPath();
    if (path.empty())
        return -1;
    if (create && !FileExists(path) && DfCreate(path) != DF_OK)
        return -1;
    return DfOpen(path);
}

}  // namespace

int TIdCounter::Add(const TIdCount& pair)
{
    if (pair.id == 0)
        return -1;
    auto at = std::lower_bound(pairs_.begin(), pairs_.end(), pair);
    if (at != pairs_.end() && at->id == pair.id)
        at->count = static_cast<std::uint16_t>(at->count + pair.count);
    else
        at = pairs_.insert(at, pair);
    return static_cast<int>(at - pairs_.begin());
}

bool TIdCounter::Save(std::uint32_t key) const
{
    // The loader reads no larger record, so a longer one would hide the
    // counts of every record after it.
    if (pairs_.size() > kMaxPairs)
        return false;
    int handle = OpenCounterFile(true);
    if (handle < 0)
        return false;
    bool ok;
    if (pairs_.empty()) {
        ok = DfDeleteRecord(handle, key) == DF_OK;
    } else {
        std::vector<std::uint8_t> record(4 + 4 * pairs_.size());
        PutLe16(record.data(), static_cast<std::uint16_t>(key));
        PutLe16(&record[2], static_cast<std::uint16_t>(pairs_.size()));
        for (std::size_t i = 0; i < pairs_.size(); ++i) {
            PutLe16(&record[4 + 4 * i], pairs_[i].id);
            PutLe16(&record[6 + 4 * i], pairs_[i].count);
        }
        // The write replaces the key's record and keeps the old one when it
        // fails, so the file never loses a page's counts halfway.
        ok = DfWriteRecord(handle, key, record.data(), static_cast<std::uint16_t>(record.size())) == DF_OK;
    }
    DfClose(handle);
    return ok;
}

bool TIdCounter::RemovePage(std::uint32_t key) const
{
    int handle = OpenCounterFile(false);
    if (handle < 0)
        return false;
    std::uint32_t position = 0;
    std::uint16_t length = 0;
    bool ok = DfRecordInfo(handle, key, position, length) == DF_OK && DfDeleteRecord(handle, key) == DF_OK;
    DfClose(handle);
    return ok;
}

bool TIdCounter::LoadAll()
{
    int handle = OpenCounterFile(false);
    if (handle < 0)
        return false;
    pairs_.clear();
    std::uint8_t buffer[kMaxRecordLength];
    std::uint16_t length = sizeof buffer;
    std::uint32_t key = 0;
    std::uint32_t position = 0;
    int code = DfFirstRecord(handle, buffer, length, key, position);
    bool ok = false;
    while (code == DF_OK && length >= 4) {
        const std::size_t n = GetLe16(&buffer[2]);
        if (4 + 4 * n > length)
            break;
        for (std::size_t i = 0; i < n; ++i)
            Add({GetLe16(&buffer[4 + 4 * i]), GetLe16(&buffer[6 + 4 * i])});
        if (position == 0) {
            ok = true;
            break;
        }
        length = sizeof buffer;
        code = DfNextRecord(handle, buffer, length, key, position);
    }
    DfClose(handle);
    return ok;
}
