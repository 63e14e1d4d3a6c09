#include "plintvlr/db/keyed_record_file.h"

#include "platform/base/files.h"
#include "platform/base/little_endian.h"

#include <cstring>
#include <vector>

void DfFileHeader::Encode(std::uint8_t* out) const
{
    PutLe16(out, magic);
    PutLe32(out + 2, firstRecord);
    PutLe32(out + 6, firstFree);
    PutLe32(out + 10, reserved);
}

DfFileHeader DfFileHeader::Decode(const std::uint8_t* in)
{
    DfFileHeader h;
    h.magic = GetLe16(in);
    h.firstRecord = GetLe32(in + 2);
    h.firstFree = GetLe32(in + 6);
    h.reserved = GetLe32(in + 10);
    return h;
}

void DfRecordHeader::Encode(std::uint8_t* out) const
{
    PutLe32(out, key);
    PutLe32(out + 4, next);
    PutLe32(out + 8, previous);
    PutLe16(out + 12, length);
    PutLe16(out + 14, check);
}

DfRecordHeader DfRecordHeader::Decode(const std::uint8_t* in)
{
    DfRecordHeader h;
    h.key = GetLe32(in);
    h.next = GetLe32(in + 4);
    h.previous = GetLe32(in + 8);
    h.length = GetLe16(in + 12);
    h.check = GetLe16(in + 14);
    return h;
}

namespace {

constexpr std::uint32_t kFileHeaderSize = DfFileHeader::kSize;
constexpr std::uint32_t kBlockHeaderSize = DfRecordHeader::kSize;
constexpr std::uint64_t kLargestOffset = 0xFFFFFFFFu;
// The link fields (next, previous) of a record header, and the chain heads
// (first record, first free) of the file header: each 8 bytes in a row.
constexpr std::uint32_t kLinksAt = 4;
constexpr std::uint32_t kHeadsAt = 2;

bool WriteAll(int handle, const void* bytes, std::size_t count, std::uint64_t offset)
{
    return FileWriteAt(handle, bytes, count, static_cast<std::int64_t>(offset)) == static_cast<long>(count);
}

bool ReadAll(int handle, void* bytes, std::size_t count, std::uint64_t offset)
{
    return FileReadAt(handle, bytes, count, static_cast<std::int64_t>(offset)) == static_cast<long>(count);
}

std::vector<std::uint8_t> BlockBytes(const DfRecordHeader& header, const void* data)
{
    std::vector<std::uint8_t> bytes(kBlockHeaderSize + header.length);
    header.Encode(bytes.data());
    if (header.length)
        std::memcpy(bytes.data() + kBlockHeaderSize, data, header.length);
    return bytes;
}

// One operation on the file's chains. Link changes are collected here as the
// operation goes and reach the file only in Commit, which writes each changed
// header once and puts every byte back when a write fails: a failed write must
// not cost the record that was there before. Nothing outlives the operation.
class DfEdit {
public:
    // Where a key stands in the live chain. `previous` is the block the walk
    // came from, which in a sound file is also the stored back link.
    struct Place {
        bool found = false;
        std::uint32_t at = 0;  // the key's record when found
        DfRecordHeader header;
        std::uint32_t previous = 0;
        std::uint32_t next = 0;
    };

    explicit DfEdit(int handle) : handle_(handle) {}

    // Reads the file header and notes the file's size: 0 or 4.
    int Begin()
    {
        size_ = FileLength(handle_);
        std::uint8_t bytes[kFileHeaderSize];
        if (size_ < kFileHeaderSize || !ReadAll(handle_, bytes, sizeof bytes, 0))
            return DF_READ_ERROR;
        DfFileHeader h = DfFileHeader::Decode(bytes);
        first_ = firstOnDisk_ = h.firstRecord;
        free_ = freeOnDisk_ = h.firstFree;
        // A sound chain visits each block once, and a block takes at least
        // a record header; more hops than that mean the chain loops.
        maxHops_ = static_cast<std::uint64_t>(size_) / kBlockHeaderSize;
        return DF_OK;
    }

    std::uint32_t FirstRecord() const { return first_; }

    // The live chain from its head, up to the key's record (stopAtLarger: or
    // to the first larger key, where a new record of the key belongs).
    int Walk(std::uint32_t key, bool stopAtLarger, Place& place)
    {
        place = Place{};
        DfRecordHeader before;
        std::uint64_t hops = 0;
        for (std::uint32_t at = first_; at != 0;) {
            DfRecordHeader h;
            if (++hops > maxHops_ || Read(at, h) != DF_OK)
                return DF_READ_ERROR;
            if (h.key == key || (stopAtLarger && h.key > key)) {
                if (place.previous)
                    Track(place.previous, before);
                Track(at, h);
                place.found = h.key == key;
                place.at = place.found ? at : 0;
                place.header = h;
                place.next = place.found ? h.next : at;
                return DF_OK;
            }
            place.previous = at;
            before = h;
            at = h.next;
        }
        if (place.previous)
            Track(place.previous, before);
        return DF_OK;
    }

    // Every header of the live chain from its head while `visit` answers
    // true, with the hop limit of Walk.
    int WalkHeaders(const std::function<bool(std::uint32_t, std::uint32_t, std::uint16_t)>& visit)
    {
        std::uint64_t hops = 0;
        for (std::uint32_t at = first_; at != 0;) {
            DfRecordHeader h;
            if (++hops > maxHops_ || Read(at, h) != DF_OK)
                return DF_READ_ERROR;
            if (!visit(h.key, at, h.length))
                return DF_OK;
            at = h.next;
        }
        return DF_OK;
    }

    // previous side: the position, or the next offset when the position is 0;
    // next side: the position, or the previous offset.
    int Relink(std::uint32_t position, std::uint32_t previous, std::uint32_t next, int chain)
    {
        if (previous) {
            int i = Load(previous);
            if (i < 0)
                return DF_READ_ERROR;
            known_[i].now.next = position ? position : next;
        } else if (chain == DF_LIVE_CHAIN) {
            first_ = position ? position : next;
        } else {
            free_ = position ? position : next;
        }
        if (next) {
            int i = Load(next);
            if (i < 0)
                return DF_READ_ERROR;
            known_[i].now.previous = position ? position : previous;
        }
        return DF_OK;
    }

    // Takes a found record out of the live chain and makes it the head of the
    // free chain; its key, length and check stay.
    int Unlink(const Place& place)
    {
        if (int rc = Relink(0, place.previous, place.header.next, DF_LIVE_CHAIN))
            return rc;
        std::uint32_t oldFree = free_;
        if (int rc = Relink(place.at, 0, oldFree, DF_FREE_CHAIN))
            return rc;
        int i = Load(place.at);
        if (i < 0)
            return DF_READ_ERROR;
        known_[i].now.next = oldFree;
        known_[i].now.previous = 0;
        return DF_OK;
    }

    // Unlinks the first free block, newest first, whose stored length is at
    // least the length: its offset, or 0 when there is none.
    int TakeFreeBlock(std::uint16_t length, std::uint32_t& taken)
    {
        taken = 0;
        std::uint32_t previous = 0;
        DfRecordHeader before;
        std::uint64_t hops = 0;
        for (std::uint32_t at = free_; at != 0;) {
            DfRecordHeader h;
            if (++hops > maxHops_ || Read(at, h) != DF_OK)
                return DF_READ_ERROR;
            if (h.length >= length) {
                // The block once held h.length bytes, so they lie in the file.
                if (static_cast<std::uint64_t>(at) + kBlockHeaderSize + h.length > static_cast<std::uint64_t>(size_))
                    return DF_READ_ERROR;
                if (previous)
                    Track(previous, before);
                Track(at, h);
                taken = at;
                return Relink(0, previous, h.next, DF_FREE_CHAIN);
            }
            previous = at;
            before = h;
            at = h.next;
        }
        return DF_OK;
    }

    // Puts the record into the block at `at` (a free block just taken), or at
    // the end of the file when `at` is 0; `at` becomes the block's offset.
    // The bytes it covers are kept so that a failed commit can restore them.
    int PlaceBlock(std::uint32_t& at, const DfRecordHeader& header, const void* data)
    {
        block_ = BlockBytes(header, data);
        if (at == 0) {
            if (static_cast<std::uint64_t>(size_) + block_.size() > kLargestOffset)
                return DF_WRITE_ERROR;
            at = static_cast<std::uint32_t>(size_);
            blockAppended_ = true;
        } else {
            int i = Load(at);
            if (i < 0)
                return DF_READ_ERROR;
            blockUndo_.resize(block_.size());
            known_[i].disk.Encode(blockUndo_.data());
            if (header.length && !ReadAll(handle_, blockUndo_.data() + kBlockHeaderSize, header.length,
                                          static_cast<std::uint64_t>(at) + kBlockHeaderSize))
                return DF_READ_ERROR;
            // The block write replaces the whole header, links included.
            known_[i].base = known_[i].now = header;
        }
        blockAt_ = at;
        return DF_OK;
    }

    // Writes the new block, then every changed header's links, then the chain
    // heads. A failed write undoes all that was written, newest first: 0 or 3.
    int Commit()
    {
        if (!block_.empty() && !WriteAll(handle_, block_.data(), block_.size(), blockAt_)) {
            UndoBlock();
            return DF_WRITE_ERROR;
        }
        struct Patch {
            std::uint64_t offset;
            std::uint8_t now[8];
            std::uint8_t before[8];
        };
        std::vector<Patch> patches;
        for (const Known& k : known_) {
            if (k.now.next == k.base.next && k.now.previous == k.base.previous)
                continue;
            Patch p{static_cast<std::uint64_t>(k.offset) + kLinksAt, {}, {}};
            PutLe32(p.now, k.now.next);
            PutLe32(p.now + 4, k.now.previous);
            PutLe32(p.before, k.base.next);
            PutLe32(p.before + 4, k.base.previous);
            patches.push_back(p);
        }
        if (first_ != firstOnDisk_ || free_ != freeOnDisk_) {
            Patch p{kHeadsAt, {}, {}};
            PutLe32(p.now, first_);
            PutLe32(p.now + 4, free_);
            PutLe32(p.before, firstOnDisk_);
            PutLe32(p.before + 4, freeOnDisk_);
            patches.push_back(p);
        }
        for (std::size_t i = 0; i < patches.size(); ++i) {
            if (WriteAll(handle_, patches[i].now, 8, patches[i].offset))
                continue;
            for (std::size_t j = i + 1; j-- > 0;)
                WriteAll(handle_, patches[j].before, 8, patches[j].offset);
            UndoBlock();
            return DF_WRITE_ERROR;
        }
        return DF_OK;
    }

    // The header at the offset as this operation sees it: 0 or 4.
    int Read(std::uint32_t offset, DfRecordHeader& out)
    {
        if (offset < kFileHeaderSize ||
            static_cast<std::uint64_t>(offset) + kBlockHeaderSize > static_cast<std::uint64_t>(size_))
            return DF_READ_ERROR;
        for (const Known& k : known_) {
            if (k.offset == offset) {
                out = k.now;
                return DF_OK;
            }
        }
        if (offset < windowAt_ || offset + kBlockHeaderSize > windowAt_ + windowLength_) {
            // One larger read serves many hops of a chain walk. The window
            // lives only as long as this operation, which writes nothing
            // before its last read, so it never holds stale bytes.
            // A file of ordinary size is read whole: a chain written in
            // random key order hops all over it.
            std::uint32_t from = static_cast<std::uint64_t>(size_) <= kWholeFileRead ? 0 : offset;
            window_.resize(from == 0 ? static_cast<std::size_t>(size_) : kReadWindow);
            long got = FileReadAt(handle_, window_.data(), window_.size(), from);
            if (got < static_cast<long>(offset - from + kBlockHeaderSize)) {
                windowLength_ = 0;
                return DF_READ_ERROR;
            }
            windowAt_ = from;
            windowLength_ = static_cast<std::uint32_t>(got);
        }
        out = DfRecordHeader::Decode(window_.data() + (offset - windowAt_));
        return DF_OK;
    }

private:
    struct Known {
        std::uint32_t offset;
        DfRecordHeader disk;  // as read from the file
        DfRecordHeader base;  // as on disk once the new block is written
        DfRecordHeader now;   // as this operation leaves it
    };

    // Remembers a header just given by Read (the file's own bytes unless
    // this operation already knew it).
    int Track(std::uint32_t offset, const DfRecordHeader& header)
    {
        for (std::size_t i = 0; i < known_.size(); ++i)
            if (known_[i].offset == offset)
                return static_cast<int>(i);
        known_.push_back(Known{offset, header, header, header});
        return static_cast<int>(known_.size() - 1);
    }

    int Load(std::uint32_t offset)
    {
        DfRecordHeader h;
        if (Read(offset, h) != DF_OK)
            return -1;
        return Track(offset, h);
    }

    void UndoBlock()
    {
        if (block_.empty())
            return;
        if (blockAppended_)
            FileTruncate(handle_, size_);
        else
            WriteAll(handle_, blockUndo_.data(), blockUndo_.size(), blockAt_);
    }

    int handle_;
    std::int64_t size_ = 0;
    std::uint64_t maxHops_ = 0;
    std::uint32_t first_ = 0, firstOnDisk_ = 0;
    std::uint32_t free_ = 0, freeOnDisk_ = 0;
    std::vector<Known> known_;
    static constexpr std::size_t kReadWindow = 65536;
    static constexpr std::uint64_t kWholeFileRead = 8u << 20;
    std::vector<std::uint8_t> window_;
    std::uint32_t windowAt_ = 0;
    std::uint32_t windowLength_ = 0;
    std::vector<std::uint8_t> block_;
    std::vector<std::uint8_t> blockUndo_;
    std::uint32_t blockAt_ = 0;
    bool blockAppended_ = false;
};

int OpenChecked(std::string_view name, FileMode mode)
{
    int handle = FileOpen(name, mode);
    if (handle < 0)
        return -1;
    std::uint8_t bytes[kFileHeaderSize];
    if (!ReadAll(handle, bytes, sizeof bytes, 0) || DfFileHeader::Decode(bytes).magic != DfFileHeader::kMagic) {
        FileClose(handle);
        return -1;
    }
    return handle;
}

// Reads the block at the position for a table walk: 0, 4, 6 or 7.
int ReadWalkRecord(int handle, std::uint32_t position, void* buffer, std::uint16_t& length,
                   std::uint32_t& key, std::uint32_t& next)
{
    if (position < kFileHeaderSize)
        return DF_READ_ERROR;
    // One read brings the header, a short record's data and, in a file written
    // in key order, the next record's key as well.
    std::uint8_t window[512];
    long got = FileReadAt(handle, window, sizeof window, position);
    if (got < static_cast<long>(kBlockHeaderSize))
        return DF_READ_ERROR;
    DfRecordHeader h = DfRecordHeader::Decode(window);
    if (length < h.length)
        return DF_BUFFER_SMALL;
    std::size_t have = static_cast<std::size_t>(got) - kBlockHeaderSize;
    if (h.length <= have) {
        if (h.length)
            std::memcpy(buffer, window + kBlockHeaderSize, h.length);
    } else if (!ReadAll(handle, buffer, h.length, static_cast<std::uint64_t>(position) + kBlockHeaderSize)) {
        return DF_READ_ERROR;
    }
    // Keys rise along the live chain. A link that breaks this would let a
    // walk go round for ever, so the walk ends here with an error instead.
    if (h.next) {
        std::uint32_t nextKey = 0;
        std::uint64_t within = static_cast<std::uint64_t>(h.next) - position;
        if (h.next > position && within + 4 <= static_cast<std::uint64_t>(got)) {
            nextKey = GetLe32(window + within);
        } else {
            std::uint8_t bytes[4];
            if (h.next < kFileHeaderSize || !ReadAll(handle, bytes, sizeof bytes, h.next))
                return DF_READ_ERROR;
            nextKey = GetLe32(bytes);
        }
        if (nextKey <= h.key)
            return DF_READ_ERROR;
    }
    key = h.key;
    next = h.next;
    length = h.length;
    if (DfChecksum(buffer, h.length) != h.check)
        return DF_BAD_CHECK;
    return DF_OK;
}

}  // namespace

int DfCreate(std::string_view name)
{
    int handle = FileCreate(name);
    if (handle < 0)
        return DF_NOT_CREATED;
    std::uint8_t bytes[kFileHeaderSize];
    DfFileHeader{}.Encode(bytes);
    bool ok = WriteAll(handle, bytes, sizeof bytes, 0);
    FileClose(handle);
    return ok ? DF_OK : DF_WRITE_ERROR;
}

int DfOpen(std::string_view name)
{
    return OpenChecked(name, FileMode::ReadWrite);
}

int DfOpenReadOnly(std::string_view name)
{
    return OpenChecked(name, FileMode::ReadOnly);
}

void DfClose(int handle)
{
    FileClose(handle);
}

int DfWriteRecord(int handle, std::uint32_t key, const void* data, std::uint16_t length)
{
    DfEdit edit(handle);
    DfEdit::Place place;
    if (int rc = edit.Begin())
        return rc;
    if (int rc = edit.Walk(key, true, place))
        return rc;
    if (place.found) {
        if (int rc = edit.Unlink(place))
            return rc;
    }
    if (length == 0)
        return edit.Commit();
    // The freed block heads the free chain, so a record rewritten with the
    // same or a smaller length goes back into its own block. A reused block
    // is not split: its stored length becomes the new length.
    std::uint32_t at = 0;
    if (int rc = edit.TakeFreeBlock(length, at))
        return rc;
    DfRecordHeader header{key, place.next, place.previous, length, DfChecksum(data, length)};
    if (int rc = edit.PlaceBlock(at, header, data))
        return rc;
    if (int rc = edit.Relink(at, place.previous, place.next, DF_LIVE_CHAIN))
        return rc;
    return edit.Commit();
}

int DfReadRecord(int handle, std::uint32_t key, void* buffer, std::uint16_t& length)
{
    DfEdit edit(handle);
    DfEdit::Place place;
    if (int rc = edit.Begin())
        return rc;
    if (int rc = edit.Walk(key, false, place))
        return rc;
    if (!place.found)
        return DF_NOT_FOUND;
    const DfRecordHeader& h = place.header;
    if (length < h.length)
        return DF_BUFFER_SMALL;
    if (h.length && !ReadAll(handle, buffer, h.length, static_cast<std::uint64_t>(place.at) + kBlockHeaderSize))
        return DF_READ_ERROR;
    if (DfChecksum(buffer, h.length) != h.check)
        return DF_BAD_CHECK;
    length = h.length;
    return DF_OK;
}

int DfDeleteRecord(int handle, std::uint32_t key)
{
    DfEdit edit(handle);
    DfEdit::Place place;
    if (int rc = edit.Begin())
        return rc;
    if (int rc = edit.Walk(key, false, place))
        return rc;
    if (!place.found)
        return DF_OK;
    if (int rc = edit.Unlink(place))
        return rc;
    return edit.Commit();
}

int DfFirstRecord(int handle, void* buffer, std::uint16_t& length, std::uint32_t& key, std::uint32_t& next)
{
    DfEdit edit(handle);
    if (int rc = edit.Begin()) {
        next = 0;
        return rc;
    }
    if (edit.FirstRecord() == 0) {
        next = 0;
        return DF_NOT_FOUND;
    }
    int rc = ReadWalkRecord(handle, edit.FirstRecord(), buffer, length, key, next);
    if (rc == DF_READ_ERROR)
        next = 0;
    return rc;
}

int DfNextRecord(int handle, void* buffer, std::uint16_t& length, std::uint32_t& key, std::uint32_t& position)
{
    int rc = ReadWalkRecord(handle, position, buffer, length, key, position);
    if (rc == DF_READ_ERROR)
        position = 0;
    return rc;
}

int DfRecordInfo(int handle, std::uint32_t key, std::uint32_t& position, std::uint16_t& length)
{
    DfEdit edit(handle);
    DfEdit::Place place;
    if (int rc = edit.Begin())
        return rc;
    if (int rc = edit.Walk(key, false, place))
        return rc;
    if (!place.found)
        return DF_NOT_FOUND;
    position = place.at;
    length = place.header.length;
    return DF_OK;
}

int DfWalkHeaders(int handle,
                  const std::function<bool(std::uint32_t key, std::uint32_t position, std::uint16_t length)>& visit)
{
    DfEdit edit(handle);
    if (int rc = edit.Begin())
        return rc;
    return edit.WalkHeaders(visit);
}

std::uint16_t DfChecksum(const void* data, std::uint16_t length)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::uint16_t sum = 0;
    for (std::uint16_t i = 0; i < length; ++i)
        sum = static_cast<std::uint16_t>(sum + bytes[i]);
    return static_cast<std::uint16_t>(~sum + 1);
}

std::uint32_t DfFindRecord(int handle, std::uint32_t key)
{
    DfEdit edit(handle);
    DfEdit::Place place;
    if (edit.Begin() != DF_OK || edit.Walk(key, false, place) != DF_OK)
        return 0;
    return place.at;
}

int DfFindRecordLinks(int handle, std::uint32_t key, std::uint32_t& previous, std::uint32_t& next)
{
    DfEdit edit(handle);
    DfEdit::Place place;
    previous = next = 0;
    if (edit.Begin() != DF_OK || edit.Walk(key, true, place) != DF_OK)
        return 0;
    previous = place.previous;
    next = place.next;
    return place.found ? 1 : 0;
}

std::uint32_t DfTakeFreeBlock(int handle, std::uint16_t length)
{
    DfEdit edit(handle);
    std::uint32_t taken = 0;
    if (edit.Begin() != DF_OK || edit.TakeFreeBlock(length, taken) != DF_OK || taken == 0)
        return 0;
    return edit.Commit() == DF_OK ? taken : 0;
}

int DfRelink(int handle, std::uint32_t position, std::uint32_t previous, std::uint32_t next, int chain)
{
    DfEdit edit(handle);
    if (int rc = edit.Begin())
        return rc;
    if (int rc = edit.Relink(position, previous, next, chain))
        return rc;
    return edit.Commit();
}

int DfCreateOpen(std::string_view name)
{
    int handle = FileCreate(name);
    if (handle < 0)
        return -1;
    std::uint8_t bytes[kFileHeaderSize];
    DfFileHeader header;
    header.firstRecord = kFileHeaderSize;
    header.Encode(bytes);
    if (!WriteAll(handle, bytes, sizeof bytes, 0)) {
        FileClose(handle);
        return -1;
    }
    return handle;
}

int DfAppendRecord(int handle, std::uint32_t key, const void* data, std::uint16_t length,
                   std::uint32_t& previous, bool last)
{
    std::int64_t end = FileLength(handle);
    if (end < 0)
        return DF_WRITE_ERROR;
    std::uint64_t after = static_cast<std::uint64_t>(end) + kBlockHeaderSize + length;
    if (after > kLargestOffset)
        return DF_WRITE_ERROR;
    DfRecordHeader header{key, last ? 0 : static_cast<std::uint32_t>(after), previous, length,
                          DfChecksum(data, length)};
    std::vector<std::uint8_t> bytes = BlockBytes(header, data);
    if (!WriteAll(handle, bytes.data(), bytes.size(), static_cast<std::uint64_t>(end)))
        return DF_WRITE_ERROR;
    previous = static_cast<std::uint32_t>(end);
    return DF_OK;
}
