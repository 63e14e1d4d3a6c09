#include "qstrans/panel_file.h"

#include "platform/base/files.h"
#include "platform/base/little_endian.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kFirstRecordTable = 32;  // u32 per table from here
constexpr std::size_t kRecordHeaderSize = 14;
constexpr int kTables = 16;

// Record 102 (without its key copy): the builder's version text and the panel type.
constexpr std::size_t kProjectInfoLength = 69;
constexpr std::size_t kVersionOffset = 26;
constexpr std::size_t kVersionSize = 10;
constexpr std::size_t kPanelTypeOffset = 68;

// Record 122 (without its key copy): per channel a protocol word and a port byte.
constexpr std::size_t kChannelTableLength = 72;
constexpr std::size_t kChannel1Protocol = 0;
constexpr std::size_t kChannel1Port = 2;
constexpr std::size_t kChannel2Protocol = 36;
constexpr std::size_t kChannel2Port = 38;
constexpr std::size_t kChannelTableNeeded = kChannel2Port + 1;

// Record 100 in its packed form: the protocol's low byte at 4.
constexpr std::size_t kPortRecordLength = 5;
constexpr std::size_t kPortProtocol = 4;

// Port codes of the channel table, and the value of a port not taken.
constexpr std::uint8_t kPortCom1 = 0;
constexpr std::uint8_t kPortCom2 = 1;
constexpr std::uint8_t kPortPc104 = 32;
constexpr std::uint8_t kPortUnset = 192;

std::uint16_t NormaliseProtocol(std::uint16_t protocol)
{
    return protocol == 0xFFFF ? CPanelFile::kNoProtocol : protocol;
}

}  // namespace

CPanelFile::CPanelFile(std::string path) : path_(std::move(path)) {}

CPanelFile::~CPanelFile()
{
    Close();
}

void CPanelFile::Close()
{
    FileClose(handle_);
    handle_ = -1;
    fileLength_ = 0;
    stepsLeft_ = 0;
}

bool CPanelFile::ReadAt(std::uint32_t offset, void* buffer, std::size_t count)
{
    if (handle_ < 0 || offset + static_cast<std::uint64_t>(count) > fileLength_)
        return false;
    return FileReadAt(handle_, buffer, count, offset) == static_cast<long>(count);
}

bool CPanelFile::ReadRecordHeader(std::uint32_t offset, std::uint16_t& key, std::uint32_t& next,
                                  std::uint16_t& length)
{
    if (offset < kHeaderSize)
        return false;
    std::array<std::uint8_t, kRecordHeaderSize> h{};
    if (!ReadAt(offset, h.data(), h.size()))
        return false;
    length = GetLe16(&h[12]);
    if (offset + kRecordHeaderSize + static_cast<std::uint64_t>(length) > fileLength_)
        return false;
    key = GetLe16(&h[1]);
    next = GetLe32(&h[7]);
    return true;
}

std::uint32_t CPanelFile::LocateRecord(int table, std::uint16_t& key, std::uint32_t& next)
{
    Close();
    if (table < 0 || table >= kTables)
        return 0;
    handle_ = FileOpen(path_, FileMode::ReadOnly);
    if (handle_ < 0)
        return 0;
    const std::int64_t length = FileLength(handle_);
    fileLength_ = length > 0 ? static_cast<std::uint64_t>(length) : 0;
    std::array<std::uint8_t, kHeaderSize> header{};
    if (!ReadAt(0, header.data(), header.size())) {
        Close();
        return 0;
    }
    // No chain can have more records than fit behind the header.
    stepsLeft_ = (fileLength_ - kHeaderSize) / kRecordHeaderSize;
    const std::uint32_t first = GetLe32(&header[kFirstRecordTable + 4 * static_cast<std::size_t>(table)]);
    next = first;
    const std::uint32_t data = first ? NextRecord(key, next) : 0;
    if (!data)
        Close();
    return data;
}

std::uint32_t CPanelFile::NextRecord(std::uint16_t& key, std::uint32_t& next)
{
    if (handle_ < 0 || next == 0 || stepsLeft_ == 0)
        return 0;
    --stepsLeft_;
    const std::uint32_t at = next;
    std::uint16_t recordKey = 0;
    std::uint32_t recordNext = 0;
    std::uint16_t length = 0;
    if (!ReadRecordHeader(at, recordKey, recordNext, length))
        return 0;
    key = recordKey;
    next = recordNext;
    lastLength_ = length;
    return at + static_cast<std::uint32_t>(kRecordHeaderSize);
}

bool CPanelFile::ReadRecord(void* buffer, int table, std::uint16_t key, std::size_t length, std::size_t* read)
{
    std::memset(buffer, 0, length);
    if (read)
        *read = 0;
    std::uint16_t current = 0;
    std::uint32_t next = 0;
    std::uint32_t data = LocateRecord(table, current, next);
    while (data && current < key && next != 0)
        data = NextRecord(current, next);
    bool found = false;
    if (data && current == key) {
        const std::size_t count = std::min<std::size_t>(length, lastLength_);
        found = ReadAt(data, buffer, count);
        if (!found)
            std::memset(buffer, 0, length);
        else if (read)
            *read = count;
    }
    Close();
    return found;
}

int CPanelFile::ReadPanelType()
{
    std::array<std::uint8_t, kProjectInfoLength> record{};
    std::size_t read = 0;
    if (!ReadRecord(record.data(), kSystemTable, kProjectInfoKey, record.size(), &read) || read < record.size())
        return -1;
    return record[kPanelTypeOffset];
}

void CPanelFile::ReadVersion(unsigned& major, unsigned& minor, unsigned& revision)
{
    major = minor = revision = 0;
    std::array<std::uint8_t, kProjectInfoLength> record{};
    std::size_t read = 0;
    if (!ReadRecord(record.data(), kSystemTable, kProjectInfoKey, record.size(), &read) || read <= kVersionOffset)
        return;
    const std::size_t size = std::min(kVersionSize, read - kVersionOffset);
    ParseVersionField(reinterpret_cast<const char*>(&record[kVersionOffset]), size, major, minor, revision);
}

bool CPanelFile::IsVersionAtLeast33()
{
    unsigned major = 0;
    unsigned minor = 0;
    unsigned revision = 0;
    ReadVersion(major, minor, revision);
    return major > 3 || (major == 3 && minor >= 3);
}

void CPanelFile::ReadChannelProtocols(std::uint16_t& comm1, std::uint16_t& comm2)
{
    comm1 = comm2 = kNoProtocol;
    std::array<std::uint8_t, kChannelTableLength> channels{};
    std::size_t read = 0;
    if (ReadRecord(channels.data(), kSystemTable, kChannelTableKey, channels.size(), &read) &&
        read >= kChannelTableNeeded) {
        const std::uint16_t protocol1 = NormaliseProtocol(GetLe16(&channels[kChannel1Protocol]));
        const std::uint16_t protocol2 = NormaliseProtocol(GetLe16(&channels[kChannel2Protocol]));
        // A channel's port counts only when the channel has a protocol.
        const std::uint8_t port1 = protocol1 != kNoProtocol ? channels[kChannel1Port] : kPortUnset;
        const std::uint8_t port2 = protocol2 != kNoProtocol ? channels[kChannel2Port] : kPortUnset;
        enum class Order { None, Stored, Swapped } order = Order::None;
        if (port1 == kPortCom1)
            order = Order::Stored;
        else if (port2 == kPortCom1 || port1 == kPortCom2)
            order = Order::Swapped;
        else if (port2 == kPortCom2)
            order = Order::Stored;
        else if (port1 == kPortPc104)
            order = Order::Stored;
        else if (port2 == kPortPc104)
            order = Order::Swapped;
        if (order == Order::Stored) {
            comm1 = protocol1;
            comm2 = protocol2;
            return;
        }
        if (order == Order::Swapped) {
            comm1 = protocol2;
            comm2 = protocol1;
            return;
        }
    }
    std::array<std::uint8_t, kPortRecordLength> ports{};
    if (ReadRecord(ports.data(), kSystemTable, kPortRecordKey, ports.size(), &read) && read == ports.size())
        comm1 = ports[kPortProtocol];
}

void ParseVersionField(const char* field, std::size_t size, unsigned& major, unsigned& minor, unsigned& revision)
{
    major = minor = revision = 0;
    const char* p = field;
    const char* end = field + size;
    unsigned* numbers[] = {&major, &minor, &revision};
    for (std::size_t i = 0; i < 3; ++i) {
        if (i > 0) {
            if (p == end || *p != '.')
                return;
            ++p;
        }
        while (p != end && (*p == ' ' || *p == '\t'))
            ++p;
        if (p == end || *p < '0' || *p > '9')
            return;
        unsigned value = 0;
        for (; p != end && *p >= '0' && *p <= '9'; ++p) {
            const unsigned digit = static_cast<unsigned>(*p - '0');
            value = value > (std::numeric_limits<unsigned>::max() - digit) / 10 ? std::numeric_limits<unsigned>::max()
                                                                               : value * 10 + digit;
        }
        *numbers[i] = value;
    }
}
