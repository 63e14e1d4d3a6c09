#include "plintvlr/db/download_image.h"

#include "platform/base/files.h"
#include "platform/base/little_endian.h"
#include "platform/base/paths.h"
#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/keyed_record_file.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// The option bytes of a comms block (offsets 3-7) as a new block has them.
constexpr std::uint8_t kDefaultOptions[5] = {0, 'E', 'E', 'E', 'E'};
constexpr std::size_t kOptionsAt = 3;
// The packed port record's protocol byte for "no protocol", and the project's
// protocol word for it (-1).
constexpr std::uint8_t kNoProtocolByte = 0xFF;
constexpr std::uint16_t kNoProtocol = 0xFFFF;
// The project's record 102 without its key copy: the panel type is its last
// byte. A file without it is taken for panel type 7.
constexpr std::size_t kProjectInfoImageLength = kProjectInfoLength - 2;
constexpr int kUnknownPanelType = 7;

bool IsSystemKeyRange(std::uint32_t key)
{
    return key >= 100 && key <= 200;
}

// Tables whose records lose their key copy in the file and get it back.
bool HasKeyCopyForm(int table)
{
    switch (table) {
    case kTableAnalogTags:
    case kTableDigitalTags:
    case kTablePages:
    case kTableOverviewGroups:
    case kTableRecipes:
    case kTableBitmaps:
        return true;
    default:
        return false;
    }
}

bool HasImageForm(int table)
{
    return HasKeyCopyForm(table) || table == kTableCommsBlocks || table == kTableMessages || table == kTableSystem;
}

// Three two-bit codes of a port in one byte: stop bits in bits 6-7, data bits
// in bits 4-5, parity in bits 2-3. A code that does not fit is cut to its two
// bits rather than spill into its neighbours.
std::uint8_t PackPortCodes(std::uint8_t dataBits, std::uint8_t stopBits, std::uint8_t parity)
{
    return static_cast<std::uint8_t>(((stopBits & 3) << 6) | ((dataBits & 3) << 4) | ((parity & 3) << 2));
}

void UnpackPortCodes(std::uint8_t packed, std::uint8_t* codes)
{
    codes[0] = (packed >> 4) & 3;  // data bits
    codes[1] = (packed >> 6) & 3;  // stop bits
    codes[2] = (packed >> 2) & 3;  // parity
}

int Append(int table, std::uint32_t key, const std::uint8_t* data, std::size_t length)
{
    return ImageAppendRecord(table, static_cast<std::uint16_t>(key), data, static_cast<std::uint16_t>(length));
}

int AppendWithoutKeyCopy(int table, std::uint32_t key, const std::uint8_t* data, std::uint16_t length)
{
    if (length < 2)
        return kImageDamaged;
    return Append(table, key, data + 2, length - 2u);
}

int AddCommsBlock(std::uint32_t key, const std::uint8_t* data, std::uint16_t length, int panelType)
{
    if (length < kCommsBlockHead || length > kCommsBlockMaxLength)
        return kImageDamaged;
    if (KeepsWholeCommsBlocks(panelType))
        return Append(kTableCommsBlocks, key, data, length);
    PackedCommsBlockBytes packed;
    const std::size_t n = PackCommsBlock({data, length}, packed);
    return Append(kTableCommsBlocks, key, packed.data(), n);
}

int AddSystemRecord(std::uint32_t key, const std::uint8_t* data, std::uint16_t length)
{
    if (key == kRecPortSettings) {
        PackedPortRecordBytes packed;
        const std::size_t n = PackPortRecord({data, length}, packed);
        return n ? Append(kTableSystem, key, packed.data(), n) : kImageDamaged;
    }
    if (key == kRecPasswords)
        return StorePasswordSlots({data, length}) ? DF_OK : kImageDamaged;
    return AppendWithoutKeyCopy(kTableSystem, key, data, length);
}

// One project table read whole and walked in key order in memory, by the
// keyed record file's rules: the chain stays inside the file, keys rise along
// it (so the walk ends), and each record's data matches its check. Reading
// the records one by one would cost the compile a read per record, many times
// the copying of the bytes; one read of the file costs about that copy.
class TableWalk {
public:
    // 0, or 4 when the file does not read as a keyed record file.
    int Open(const std::string& path)
    {
        if (!ReadWholeFile(path, file_) || file_.size() < DfFileHeader::kSize)
            return DF_READ_ERROR;
        const DfFileHeader header = DfFileHeader::Decode(Bytes());
        if (header.magic != DfFileHeader::kMagic)
            return DF_READ_ERROR;
        at_ = header.firstRecord;
        return DF_OK;
    }

    // The next record: 0 with its key and data, 5 after the last, else the
    // code of the damage: 4 (links), 6 (check) or 7 (larger than the limit).
    int Next(std::uint32_t& key, std::span<const std::uint8_t>& data, std::size_t limit)
    {
        if (at_ == 0)
            return DF_NOT_FOUND;
        const std::uint64_t size = file_.size();
        if (at_ < DfFileHeader::kSize || std::uint64_t{at_} + DfRecordHeader::kSize > size)
            return DF_READ_ERROR;
        const DfRecordHeader h = DfRecordHeader::Decode(Bytes() + at_);
        if (h.length > limit)
            return DF_BUFFER_SMALL;
        const std::uint64_t dataAt = std::uint64_t{at_} + DfRecordHeader::kSize;
        if (dataAt + h.length > size)
            return DF_READ_ERROR;
        if (h.next != 0 && (h.next < DfFileHeader::kSize || std::uint64_t{h.next} + 4 > size ||
                            GetLe32(Bytes() + h.next) <= h.key))
            return DF_READ_ERROR;
        data = {Bytes() + dataAt, h.length};
        if (DfChecksum(data.data(), h.length) != h.check)
            return DF_BAD_CHECK;
        key = h.key;
        at_ = h.next;
        return DF_OK;
    }

private:
    const std::uint8_t* Bytes() const { return reinterpret_cast<const std::uint8_t*>(file_.data()); }

    std::string file_;
    std::uint32_t at_ = 0;
};

// Compiles one project table, in key order: 0, the keyed record file's code
// of the damage that cut the table short, kImageFileError or kImageDamaged.
int CompileTable(int table, const std::string& path, std::uint32_t limit, int panelType)
{
    if (!FileExists(path))
        return DF_OK;
    TableWalk walk;
    int rc = walk.Open(path);
    std::uint32_t key = 0;
    std::span<const std::uint8_t> data;
    while (rc == DF_OK && (rc = walk.Next(key, data, kImageRecordLimit)) == DF_OK) {
        if (limit != 0 && key > limit)
            continue;
        rc = AddImageRecord(table, data.data(), key, static_cast<std::uint16_t>(data.size()), panelType);
        if (rc == DF_WRITE_ERROR)
            rc = kImageFileError;
    }
    return rc == DF_NOT_FOUND ? DF_OK : rc;
}

// Whether a record of the file has the form its table's restore needs.
bool FitsRestore(int table, std::uint16_t key, std::uint16_t length, int panelType)
{
    if (length > kImageRecordLimit)
        return false;
    if (table == kTableCommsBlocks) {
        if (KeepsWholeCommsBlocks(panelType))
            return length >= kCommsBlockHead && length <= kCommsBlockMaxLength;
        return length >= kPackedCommsBlockHead && length <= kPackedCommsBlockMaxLength;
    }
    if (table == kTableSystem && key == kRecPortSettings)
        return length >= kPackedPortRecordLength;
    return true;
}

// Every chain of the file stays inside it, ends, and holds records that its
// table can take back.
bool ImageTablesSound(int panelType)
{
    for (int table = 1; table < ImageHeader::kTables; ++table) {
        std::uint16_t key = 0;
        std::uint16_t length = 0;
        std::uint32_t next = 0;
        int rc = ImageFirstHeader(table, key, next, length);
        while (rc == DF_OK) {
            if (!FitsRestore(table, key, length, panelType))
                return false;
            rc = ImageNextHeader(key, next, length);
        }
        if (rc != DF_NOT_FOUND)
            return false;
    }
    return true;
}

// The panel type at the end of record 102.
int ImagePanelType()
{
    std::uint8_t record[kProjectInfoImageLength];
    std::uint16_t length = sizeof record;
    const int rc = ImageFindRecord(kTableSystem, record, kRecProjectInfo, length);
    if ((rc != DF_OK && rc != DF_BUFFER_SMALL) || length < sizeof record)
        return kUnknownPanelType;
    return record[kProjectInfoImageLength - 1];
}

int WriteWithKeyCopy(int handle, std::uint16_t key, const std::uint8_t* data, std::uint16_t length)
{
    std::vector<std::uint8_t> record(2u + length);
    PutLe16(record.data(), key);
    if (length)
        std::memcpy(record.data() + 2, data, length);
    return DfWriteRecord(handle, key, record.data(), static_cast<std::uint16_t>(record.size()));
}

int RestoreCommsBlockRecord(int handle, const std::uint8_t* data, std::uint16_t key, std::uint16_t length,
                            int panelType)
{
    CommsBlockBytes record{};
    std::size_t n = 0;
    if (KeepsWholeCommsBlocks(panelType)) {
        if (length <= record.size()) {
            std::memcpy(record.data(), data, length);
            n = RestoreExpandedCommsBlock(std::span<std::uint8_t>(record.data(), length));
        }
    } else {
        n = RestoreCommsBlock(key, record, {data, length});
    }
    if (n == 0)
        return kImageDamaged;
    return DfWriteRecord(handle, key, record.data(), static_cast<std::uint16_t>(n));
}

// Takes one table of the file into its table file: 5 when the file has no
// record of the table (and no table file is made), else 0 or the code that
// ended the table.
int ExtractTable(int table, const std::string& path, int panelType, std::vector<std::uint8_t>& buffer)
{
    const auto size = static_cast<std::uint16_t>(buffer.size());
    std::uint16_t length = size;
    std::uint16_t key = 0;
    std::uint32_t next = 0;
    int rc = ImageFirstRecord(table, buffer.data(), length, key, next);
    if (rc != DF_OK)
        return rc;
    if (int created = DfCreate(path))
        return created;
    const int handle = DfOpen(path);
    if (handle < 0)
        return kImageFileError;
    for (;;) {
        rc = RestoreImageRecord(handle, table, buffer.data(), key, length, panelType);
        if (rc != DF_OK || next == 0)
            break;
        length = size;
        rc = ImageNextRecord(buffer.data(), length, key, next);
        if (rc != DF_OK)
            break;
    }
    if (table == kTableSystem) {
        const int rebuilt = RestorePortAndPasswordRecords(handle);
        if (rc == DF_OK)
            rc = rebuilt;
    }
    DfClose(handle);
    return rc;
}

}  // namespace

bool KeepsWholeCommsBlocks(int panelType)
{
    return panelType == 5 || panelType == 8 || panelType == 10 || panelType == 13;
}

std::size_t PackCommsBlock(std::span<const std::uint8_t> record, PackedCommsBlockBytes& out)
{
    if (record.size() < kCommsBlockHead || record.size() > kCommsBlockMaxLength)
        return 0;
    out[0] = record[2];  // protocol
    out[1] = record[8];  // type byte
    out[2] = record[9];  // frequency code
    std::memcpy(&out[3], &record[10], 4);  // point count, panel address
    std::memcpy(&out[7], &record[kCommsBlockHead], record.size() - kCommsBlockHead);
    return record.size() - (kCommsBlockHead - kPackedCommsBlockHead);
}

std::size_t RestoreCommsBlock(std::uint16_t key, CommsBlockBytes& out, std::span<const std::uint8_t> packed)
{
    if (packed.size() < kPackedCommsBlockHead || packed.size() > kPackedCommsBlockMaxLength)
        return 0;
    PutLe16(&out[0], key);
    out[2] = packed[0];
    std::memcpy(&out[kOptionsAt], kDefaultOptions, sizeof kDefaultOptions);
    out[8] = packed[1];
    out[9] = packed[2];
    std::memcpy(&out[10], &packed[3], 4);
    std::memcpy(&out[kCommsBlockHead], &packed[kPackedCommsBlockHead], packed.size() - kPackedCommsBlockHead);
    return packed.size() + (kCommsBlockHead - kPackedCommsBlockHead);
}

std::size_t RestoreExpandedCommsBlock(std::span<std::uint8_t> record)
{
    if (record.size() < kCommsBlockHead)
        return 0;
    std::memcpy(&record[kOptionsAt], kDefaultOptions, sizeof kDefaultOptions);
    return record.size();
}

std::size_t PackPortRecord(std::span<const std::uint8_t> record, PackedPortRecordBytes& out)
{
    // Key, then per port: baud, data bits, stop bits and parity codes; then
    // the protocol word, of which only the low byte travels.
    constexpr std::size_t kProtocolAt = 10;
    if (record.size() <= kProtocolAt)
        return 0;
    out[0] = record[2];
    out[1] = PackPortCodes(record[3], record[4], record[5]);
    out[2] = record[6];
    out[3] = PackPortCodes(record[7], record[8], record[9]);
    out[4] = record[kProtocolAt];
    return kPackedPortRecordLength;
}

std::size_t UnpackPortRecord(std::uint16_t key, PortRecordBytes& out, std::span<const std::uint8_t> packed)
{
    if (packed.size() < kPackedPortRecordLength)
        return 0;
    PutLe16(&out[0], key);
    out[2] = packed[0];
    UnpackPortCodes(packed[1], &out[3]);
    out[6] = packed[2];
    UnpackPortCodes(packed[3], &out[7]);
    // Protocols are numbered below 200, so the byte 0xFF can only be the
    // "none" (-1) that was packed; read back as 255 it would pass for a
    // chosen protocol with every reader of the project's protocol.
    PutLe16(&out[10], packed[4] == kNoProtocolByte ? kNoProtocol : packed[4]);
    return kPortRecordLength;
}

bool StorePasswordSlots(std::span<const std::uint8_t> record)
{
    // Key, then four 10-byte passwords of which the panel keeps six bytes.
    constexpr std::size_t kFieldLength = 10;
    constexpr std::size_t kUsed = 2 + (ImageHeader::kPasswordSlots - 1) * kFieldLength + ImageHeader::kPasswordLength;
    if (record.size() < kUsed)
        return false;
    for (int slot = 0; slot < ImageHeader::kPasswordSlots; ++slot)
        ImageSetPassword(&record[2 + slot * kFieldLength], slot);
    return true;
}

int AddImageRecord(int table, const std::uint8_t* data, std::uint32_t key, std::uint16_t length, int panelType)
{
    if (HasKeyCopyForm(table))
        return AppendWithoutKeyCopy(table, key, data, length);
    switch (table) {
    case kTableCommsBlocks:
        return AddCommsBlock(key, data, length, panelType);
    case kTableMessages:
        return Append(table, key, data, length);
    case kTableSystem:
        return AddSystemRecord(key, data, length);
    default:
        return DF_OK;
    }
}

int BuildDownloadImage(std::string_view fileName, std::string_view projectFolder, int panelType,
                       std::span<const std::uint32_t> limits)
{
    const int created = ImageCreate(fileName);
    if (created == DF_NOT_CREATED)
        return kImageFileError;
    int result = created == DF_OK ? DF_OK : kImageFileError;
    for (int table = 1; table < ImageHeader::kTables && result == DF_OK; ++table) {
        if (!HasImageForm(table))
            continue;
        const auto entry = static_cast<std::size_t>(table - 1);
        const std::uint32_t limit = entry < limits.size() ? limits[entry] : 0;
        result = CompileTable(table, JoinPath(projectFolder, TableFileName(table)), limit, panelType);
    }
    if (result == DF_OK && ImageFinish() != DF_OK)
        result = kImageFileError;
    if (result != DF_OK) {
        // A file cut short must not reach the panel.
        ImageClose();
        FileDelete(fileName);
    }
    return result;
}

int RestoreImageRecord(int handle, int table, const std::uint8_t* data, std::uint16_t key, std::uint16_t length,
                       int panelType)
{
    if (HasKeyCopyForm(table))
        return WriteWithKeyCopy(handle, key, data, length);
    switch (table) {
    case kTableCommsBlocks:
        return RestoreCommsBlockRecord(handle, data, key, length, panelType);
    case kTableMessages:
        return DfWriteRecord(handle, key, data, length);
    case kTableSystem:
        return IsSystemKeyRange(key) ? WriteWithKeyCopy(handle, key, data, length) : DF_OK;
    default:
        return DF_OK;
    }
}

int RestorePortAndPasswordRecords(int handle)
{
    int result = DF_OK;
    std::uint8_t packed[kPackedPortRecordLength];
    std::uint16_t length = sizeof packed;
    const int found = ImageFindRecord(kTableSystem, packed, kRecPortSettings, length);
    if (found == DF_OK || found == DF_BUFFER_SMALL) {
        PortRecordBytes record;
        if (UnpackPortRecord(kRecPortSettings, record, {packed, length}))
            result = DfWriteRecord(handle, kRecPortSettings, record.data(), kPortRecordLength);
        else
            result = kImageDamaged;
    } else if (found != DF_NOT_FOUND) {
        result = found;
    }

    std::uint8_t passwords[kPasswordRecordLength] = {};
    PutLe16(passwords, kRecPasswords);
    for (int slot = 0; slot < ImageHeader::kPasswordSlots; ++slot)
        ImageGetPassword(passwords + 2 + 10 * slot, slot);
    const int written = DfWriteRecord(handle, kRecPasswords, passwords, sizeof passwords);
    return result != DF_OK ? result : written;
}

int ExtractDownloadImage(std::string_view projectFolder, std::string_view fileName, bool remove)
{
    if (ImageOpen(fileName) != DF_OK)
        return kImageSourceError;
    if (ImageGetVersion() < kOldestImageVersion) {
        ImageClose();
        return kImageTooOld;
    }
    const int panelType = ImagePanelType();
    if (!ImageTablesSound(panelType)) {
        ImageClose();
        return kImageDamaged;
    }
    std::vector<std::uint8_t> buffer(kImageRecordLimit);
    int result = DF_OK;
    for (int table = 1; table < ImageHeader::kTables; ++table) {
        const std::string path = JoinPath(projectFolder, TableFileName(table));
        int rc = DF_OK;
        if (remove && FileExists(path) && !FileDelete(path))
            rc = kImageFileError;
        const int extracted = ExtractTable(table, path, panelType, buffer);
        if (rc == DF_OK && extracted != DF_NOT_FOUND)
            rc = extracted;
        if (result == DF_OK)
            result = rc;
    }
    ImageClose();
    return result;
}
