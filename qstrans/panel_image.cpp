#include "qstrans/panel_image.h"

#include "platform/base/files.h"
#include "platform/base/little_endian.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kMarkOffset = 8;
constexpr std::uint8_t kMark = 'S';
constexpr std::size_t kFirstRecordTable = 32;
constexpr std::size_t kRecordHeaderSize = 14;
constexpr int kTables = 16;

}  // namespace

bool IsWholePanelImage(std::span<const std::uint8_t> bytes)
{
    const std::size_t size = bytes.size();
    if (size < kHeaderSize || GetLe32(bytes.data()) != size || bytes[kMarkOffset] != kMark)
        return false;
    // Every record as [start, end); a record met twice (a loop, or two
    // chains sharing it) overlaps itself and fails the fill below.
    std::vector<std::pair<std::size_t, std::size_t>> records;
    const std::size_t mostRecords = (size - kHeaderSize) / kRecordHeaderSize;
    for (int table = 0; table < kTables; ++table) {
        std::size_t at = GetLe32(&bytes[kFirstRecordTable + 4 * static_cast<std::size_t>(table)]);
        std::size_t previous = 0;
        while (at != 0) {
            if (records.size() >= mostRecords || at < kHeaderSize || at + kRecordHeaderSize > size)
                return false;
            const std::uint8_t* h = &bytes[at];
            const std::size_t end = at + kRecordHeaderSize + GetLe16(h + 12);
            if (h[0] != table || GetLe32(h + 3) != previous || end > size)
                return false;
            records.emplace_back(at, end);
            previous = at;
            at = GetLe32(h + 7);
        }
    }
    std::sort(records.begin(), records.end());
    std::size_t filled = kHeaderSize;
    for (const auto& [start, end] : records) {
        if (start != filled)
            return false;
        filled = end;
    }
    return filled == size;
}

bool IsWholePanelImageFile(std::string_view path)
{
    std::string contents;
    if (!ReadWholeFile(path, contents))
        return false;
    return IsWholePanelImage({reinterpret_cast<const std::uint8_t*>(contents.data()), contents.size()});
}
