#include "plintvlr/db/image_file.h"

#include "platform/base/files.h"
#include "platform/base/little_endian.h"
#include "plintvlr/db/keyed_record_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

void ImageHeader::Encode(std::uint8_t* out) const
{
    std::memset(out, 0, kSize);
    PutLe32(out, end);
    out[8] = kMark;
    for (int t = 0; t < kTables; ++t)
        PutLe32(out + 32 + 4 * t, firstRecord[t]);
    for (int slot = 0; slot < kPasswordSlots; ++slot)
        std::memcpy(out + 96 + kPasswordLength * slot, passwords[slot].data(), kPasswordLength);
}

ImageHeader ImageHeader::Decode(const std::uint8_t* in)
{
    ImageHeader h;
    h.end = GetLe32(in);
    for (int t = 0; t < kTables; ++t)
        h.firstRecord[t] = GetLe32(in + 32 + 4 * t);
    for (int slot = 0; slot < kPasswordSlots; ++slot)
        std::memcpy(h.passwords[slot].data(), in + 96 + kPasswordLength * slot, kPasswordLength);
    return h;
}

void ImageRecordHeader::Encode(std::uint8_t* out) const
{
    out[0] = table;
    PutLe16(out + 1, key);
    PutLe32(out + 3, previous);
    PutLe32(out + 7, next);
    out[11] = 0;
    PutLe16(out + 12, length);
}

ImageRecordHeader ImageRecordHeader::Decode(const std::uint8_t* in)
{
    ImageRecordHeader h;
    h.table = in[0];
    h.key = GetLe16(in + 1);
    h.previous = GetLe32(in + 3);
    h.next = GetLe32(in + 7);
    h.length = GetLe16(in + 12);
    return h;
}

namespace {

constexpr std::uint32_t kHeaderSize = ImageHeader::kSize;
constexpr std::uint32_t kRecordHeaderSize = ImageRecordHeader::kSize;
constexpr std::uint32_t kNextAt = 7;  // the next offset within a record header
constexpr std::size_t kFlushSize = 64 * 1024;
constexpr std::uint64_t kLargestOffset = 0xFFFFFFFFu;

// The one open file.
struct OpenImage {
    int handle = -1;
    bool writing = false;
    ImageHeader header;

    // Writing. Each table's last record, so that an append links in without
    // walking the chain; the bytes from `pendingAt` on that are not written yet.
    std::array<std::uint32_t, ImageHeader::kTables> lastRecord{};
    std::vector<std::uint8_t> pending;
    std::uint32_t pendingAt = kHeaderSize;
    bool failed = false;

    // Reading. The file's length on disk, and the steps of the current walk.
    std::uint64_t length = 0;
    std::uint64_t steps = 0;
};

OpenImage g_image;

void CloseImage()
{
    if (g_image.handle >= 0)
        FileClose(g_image.handle);
    g_image = OpenImage{};
}

bool WriteAt(const void* bytes, std::size_t count, std::uint64_t offset)
{
    return FileWriteAt(g_image.handle, bytes, count, static_cast<std::int64_t>(offset)) ==
           static_cast<long>(count);
}

bool Flush()
{
    if (!g_image.failed && !g_image.pending.empty()) {
        if (WriteAt(g_image.pending.data(), g_image.pending.size(), g_image.pendingAt)) {
            g_image.pendingAt += static_cast<std::uint32_t>(g_image.pending.size());
            g_image.pending.clear();
        } else {
            g_image.failed = true;
        }
    }
    return !g_image.failed;
}

// Points the record at `at` to the record that follows it in its table.
bool LinkNext(std::uint32_t at, std::uint32_t next)
{
    if (at >= g_image.pendingAt) {
        PutLe32(g_image.pending.data() + (at - g_image.pendingAt) + kNextAt, next);
        return true;
    }
    std::uint8_t bytes[4];
    PutLe32(bytes, next);
    if (!WriteAt(bytes, sizeof bytes, std::uint64_t{at} + kNextAt))
        g_image.failed = true;
    return !g_image.failed;
}

bool Reading()
{
    return g_image.handle >= 0 && !g_image.writing;
}

// Reads the header of the record at the offset, which must lie, data and
// all, inside the file: 0 or 4.
int ReadRecordHeader(std::uint32_t offset, ImageRecordHeader& h)
{
    if (!Reading() || offset < kHeaderSize || std::uint64_t{offset} + kRecordHeaderSize > g_image.length)
        return DF_READ_ERROR;
    std::uint8_t bytes[kRecordHeaderSize];
    if (FileReadAt(g_image.handle, bytes, sizeof bytes, offset) != static_cast<long>(sizeof bytes))
        return DF_READ_ERROR;
    h = ImageRecordHeader::Decode(bytes);
    if (std::uint64_t{offset} + kRecordHeaderSize + h.length > g_image.length)
        return DF_READ_ERROR;
    return DF_OK;
}

// One step of a walk. A chain that visits no record twice has at most as many
// records as the file has room for; a longer walk is going round in a loop.
int StepTo(std::uint32_t offset, ImageRecordHeader& h, std::uint64_t& steps)
{
    const std::uint64_t room = g_image.length / kRecordHeaderSize;
    if (++steps > room)
        return DF_READ_ERROR;
    return ReadRecordHeader(offset, h);
}

// The data of the record at the offset, as much as the buffer holds: 0, 4 or 7.
int ReadData(std::uint32_t offset, const ImageRecordHeader& h, void* buffer, std::uint16_t& length)
{
    const std::uint16_t count = std::min(length, h.length);
    if (count && FileReadAt(g_image.handle, buffer, count, std::int64_t{offset} + kRecordHeaderSize) !=
                     static_cast<long>(count))
        return DF_READ_ERROR;
    length = count;
    return count < h.length ? DF_BUFFER_SMALL : DF_OK;
}

std::uint32_t FirstOf(int table)
{
    if (table < 0 || table >= ImageHeader::kTables)
        return 0;
    return g_image.header.firstRecord[table];
}

// The first step of a walk: the table's first record and its header. 0, 4 or 5.
int StartWalk(int table, std::uint32_t& at, ImageRecordHeader& h)
{
    g_image.steps = 0;
    if (!Reading())
        return DF_READ_ERROR;
    at = FirstOf(table);
    if (at == 0)
        return DF_NOT_FOUND;
    return StepTo(at, h, g_image.steps);
}

// A further step, to the record at the offset. 0, 4 or 5 (offset 0).
int ContinueWalk(std::uint32_t at, ImageRecordHeader& h)
{
    if (at == 0)
        return DF_NOT_FOUND;
    return StepTo(at, h, g_image.steps);
}

}  // namespace

int ImageCreate(std::string_view name)
{
    CloseImage();
    g_image.handle = FileCreate(name);
    if (g_image.handle < 0)
        return DF_NOT_CREATED;
    g_image.writing = true;
    std::uint8_t bytes[kHeaderSize];
    g_image.header.Encode(bytes);
    if (!WriteAt(bytes, sizeof bytes, 0)) {
        CloseImage();
        return DF_WRITE_ERROR;
    }
    return DF_OK;
}

int ImageAppendRecord(int table, std::uint16_t key, const void* data, std::uint16_t length)
{
    if (g_image.handle < 0 || !g_image.writing || g_image.failed || table < 0 || table >= ImageHeader::kTables)
        return DF_WRITE_ERROR;
    const std::uint32_t at = g_image.header.end;
    const std::uint64_t after = std::uint64_t{at} + kRecordHeaderSize + length;
    if (after > kLargestOffset)
        return DF_WRITE_ERROR;

    ImageRecordHeader h;
    h.table = static_cast<std::uint8_t>(table);
    h.key = key;
    h.previous = g_image.lastRecord[table];
    h.length = length;
    if (h.previous == 0)
        g_image.header.firstRecord[table] = at;
    else if (!LinkNext(h.previous, at))
        return DF_WRITE_ERROR;

    const std::size_t start = g_image.pending.size();
    g_image.pending.resize(start + kRecordHeaderSize + length);
    h.Encode(g_image.pending.data() + start);
    if (length)
        std::memcpy(g_image.pending.data() + start + kRecordHeaderSize, data, length);
    g_image.lastRecord[table] = at;
    g_image.header.end = static_cast<std::uint32_t>(after);
    if (g_image.pending.size() >= kFlushSize && !Flush())
        return DF_WRITE_ERROR;
    return DF_OK;
}

void ImageSetPassword(const std::uint8_t* bytes, int slot)
{
    if (slot >= 0 && slot < ImageHeader::kPasswordSlots)
        std::memcpy(g_image.header.passwords[slot].data(), bytes, ImageHeader::kPasswordLength);
}

void ImageGetPassword(std::uint8_t* out, int slot)
{
    if (slot >= 0 && slot < ImageHeader::kPasswordSlots)
        std::memcpy(out, g_image.header.passwords[slot].data(), ImageHeader::kPasswordLength);
    else
        std::memset(out, 0, ImageHeader::kPasswordLength);
}

int ImageFinish()
{
    if (g_image.handle < 0 || !g_image.writing)
        return DF_WRITE_ERROR;
    bool ok = Flush();
    if (ok) {
        std::uint8_t bytes[kHeaderSize];
        g_image.header.Encode(bytes);
        ok = WriteAt(bytes, sizeof bytes, 0);
    }
    CloseImage();
    return ok ? DF_OK : DF_WRITE_ERROR;
}

int ImageOpen(std::string_view name)
{
    CloseImage();
    g_image.handle = FileOpen(name, FileMode::ReadOnly);
    if (g_image.handle < 0)
        return DF_READ_ERROR;
    const std::int64_t length = FileLength(g_image.handle);
    std::uint8_t bytes[kHeaderSize];
    if (length < static_cast<std::int64_t>(kHeaderSize) ||
        FileReadAt(g_image.handle, bytes, sizeof bytes, 0) != static_cast<long>(sizeof bytes)) {
        CloseImage();
        return DF_READ_ERROR;
    }
    g_image.header = ImageHeader::Decode(bytes);
    g_image.length = static_cast<std::uint64_t>(length);
    return DF_OK;
}

int ImageFirstHeader(int table, std::uint16_t& key, std::uint32_t& next, std::uint16_t& length)
{
    std::uint32_t at = 0;
    ImageRecordHeader h;
    if (int rc = StartWalk(table, at, h))
        return rc;
    key = h.key;
    next = h.next;
    length = h.length;
    return DF_OK;
}

int ImageNextHeader(std::uint16_t& key, std::uint32_t& offset, std::uint16_t& length)
{
    ImageRecordHeader h;
    if (int rc = ContinueWalk(offset, h))
        return rc;
    key = h.key;
    offset = h.next;
    length = h.length;
    return DF_OK;
}

int ImageFirstRecord(int table, void* buffer, std::uint16_t& length, std::uint16_t& key, std::uint32_t& next)
{
    std::uint32_t at = 0;
    ImageRecordHeader h;
    if (int rc = StartWalk(table, at, h))
        return rc;
    key = h.key;
    next = h.next;
    return ReadData(at, h, buffer, length);
}

int ImageNextRecord(void* buffer, std::uint16_t& length, std::uint16_t& key, std::uint32_t& offset)
{
    const std::uint32_t at = offset;
    ImageRecordHeader h;
    if (int rc = ContinueWalk(at, h))
        return rc;
    key = h.key;
    offset = h.next;
    return ReadData(at, h, buffer, length);
}

int ImageFindRecord(int table, void* buffer, std::uint16_t key, std::uint16_t& length)
{
    if (!Reading())
        return DF_READ_ERROR;
    std::uint64_t steps = 0;  // its own count: a walk may be going on
    for (std::uint32_t at = FirstOf(table); at != 0;) {
        ImageRecordHeader h;
        if (int rc = StepTo(at, h, steps))
            return rc;
        if (h.key == key)
            return ReadData(at, h, buffer, length);
        at = h.next;
    }
    return DF_NOT_FOUND;
}

int ImageGetVersion()
{
    // Record 102 without its key copy: name 16, project version 10, program
    // version 10, protocol name 32, panel type 1.
    constexpr std::size_t kProgramVersionAt = 26;
    constexpr std::size_t kProgramVersionSize = 10;
    std::uint8_t record[69];
    std::uint16_t length = sizeof record;
    int rc = ImageFindRecord(8, record, 102, length);
    if ((rc != DF_OK && rc != DF_BUFFER_SMALL) || length < kProgramVersionAt + kProgramVersionSize)
        return 0;
    return ProgramVersionNumber(reinterpret_cast<const char*>(record + kProgramVersionAt), kProgramVersionSize);
}

void ImageClose()
{
    CloseImage();
}

int ProgramVersionNumber(const char* text, std::size_t size)
{
    const std::size_t n = ::strnlen(text, std::min<std::size_t>(size, 10));
    const char* dot = static_cast<const char*>(std::memchr(text, '.', n));
    if (!dot)
        return 0;
    const std::size_t at = static_cast<std::size_t>(dot - text);
    if (at == 0 || at + 3 >= n)
        return 0;
    const char digits[3] = {text[at - 1], text[at + 1], text[at + 3]};
    int number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        number = number * 10 + (c - '0');
    }
    return number;
}
