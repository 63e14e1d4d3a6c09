#include "plintvlr/db/conversion_record.h"

#include "platform/base/little_endian.h"
#include "platform/base/paths.h"
#include "plintvlr/db/frequency_codes.h"
#include "plintvlr/db/keyed_record_file.h"
#include "plintvlr/db/plc_address.h"

#include <cstdio>

namespace {

constexpr std::uint32_t kPortSettingsKey = 100;
constexpr std::size_t kPortSettingsRoom = 14;
// An old communications block: 0 u16 number, 8 u8 type, 14 the 36 bytes of
// its PLC address; read with room for 50 bytes.
constexpr std::size_t kBlockRoom = 50;
constexpr std::size_t kBlockTypeAt = 8;
constexpr std::size_t kBlockAddressAt = 14;
constexpr std::uint8_t kBlockTypeTag = 'T';

// The protocol of an old project: the 32-bit value at byte 10 of record
// 100. A record of 12 or 13 bytes has room for 16 bits there only, which
// are taken with their sign; a shorter or a longer record (or none) gives -1.
int ReadProtocol(std::string_view folder)
{
    const int handle = DfOpenReadOnly(RECORD::OldTablePath(folder, 8));
    if (handle < 0)
        return -1;
    std::uint8_t record[kPortSettingsRoom] = {};
    std::uint16_t length = sizeof record;
    const int code = DfReadRecord(handle, kPortSettingsKey, record, length);
    DfClose(handle);
    if (code != DF_OK || length < 12)
        return -1;
    if (length < kPortSettingsRoom)
        return static_cast<std::int16_t>(GetLe16(record + 10));
    return GetLeS32(record + 10);
}

std::uint16_t Word(std::span<const std::uint8_t> old, std::size_t offset)
{
    return GetLe16(old.data() + offset);
}

// The 4 bytes of an internal register or bit address.
std::array<std::uint8_t, 4> InternalAddress(std::uint16_t value)
{
    std::array<std::uint8_t, 4> bytes{};
    PutLe32(bytes.data(), value);
    return bytes;
}

}  // namespace

RECORD::RECORD(std::string_view sourceFolder, int table) : table_(table), protocol_(ReadProtocol(sourceFolder))
{
    // Without a protocol no block resolves, so the table is not needed.
    if ((table == 1 || table == 2) && protocol_ != -1)
        blockTable_ = DfOpenReadOnly(OldTablePath(sourceFolder, 3));
}

RECORD::~RECORD()
{
    if (blockTable_ >= 0)
        DfClose(blockTable_);
}

std::string RECORD::OldTablePath(std::string_view folder, int table)
{
    return JoinPath(folder, OldTableName(table));
}

std::string RECORD::OldTableName(int table)
{
    char name[16];
    std::snprintf(name, sizeof name, "dtb-%02x.dbs", table & 0xFF);
    return name;
}

std::string RECORD::OldText(std::span<const std::uint8_t> old, std::size_t offset, std::size_t width)
{
    std::size_t n = 0;
    while (n < width && offset + n < old.size() && old[offset + n] != 0)
        ++n;
    while (n > 0 && old[offset + n - 1] == ' ')
        --n;
    return std::string(reinterpret_cast<const char*>(old.data() + offset), n);
}

std::span<const std::uint8_t> RECORD::Convert(std::span<const std::uint8_t> old, std::uint32_t key,
                                              std::uint32_t internalAddress)
{
    length_ = 0;
    blockNumber_ = 0;
    addressCount_ = 1;
    bool built = true;
    if (table_ == 1)
        built = PutAnalogHead(old, key);
    else if (table_ == 2)
        built = PutDigitalHead(old, key, internalAddress);
    else {
        length_ = static_cast<std::uint16_t>(old.size() < 0xFFFF ? old.size() : 0xFFFF);
        return old.first(length_);
    }
    if (!built)
        return {};
    const std::size_t n = table_ == 1 ? analog_.PackRecord(buffer_) : digital_.PackRecord(buffer_);
    length_ = static_cast<std::uint16_t>(n);
    return std::span<const std::uint8_t>(buffer_.data(), n);
}

// The analog tag record is filled in the order of its fields:
//   head     number, flags, data type (1, or for a scaled tag 1 when its
//            internal upper or lower value is 32768 or more, else 0),
//            refresh "Continously", decimals (old byte 2), frequency
//            "Internal Freq" (0 when the scaling letter is a blank), and
//            twice the allocation of 1 register at the number's low 14 bits;
//   input    the internal register of old offset 21;
//   texts    name (old offset 31), units (old offset 23);
//   scaling  when the old letter is 'A' or blank: that letter as the mode
//            and the four old values;
//   alarm    when the old alarm letter is not blank: the letter and the two
//            old limits;
//   output   when the old block resolves: the block's PLC address.
bool RECORD::PutAnalogHead(std::span<const std::uint8_t> old, std::uint32_t key)
{
    if (old.size() < kOldAnalogLength)
        return false;
    analog_ = atag();
    atag& tag = analog_;
    const std::uint16_t number = Word(old, 0);
    const std::uint8_t scaling = old[3];
    const std::uint8_t alarm = old[16];
    tag.SetNumber(key);
    tag.SetRefresh(kRefreshContinuously);
    tag.SetDecimals(old[2]);
    tag.SetFrequency(scaling == ' ' ? 0 : kFrequencyInternal);
    tag.SetInternalAddress(number & 0x3FFF, 1);
    const auto input = InternalAddress(Word(old, 21));
    tag.SetAddress(0, input.data(), input.size(), kAddressRegister);
    tag.SetName(OldText(old, 31, 10));
    tag.SetUnits(OldText(old, 23, 8));

    std::uint8_t dataType = 1;
    if (scaling == 'A' || scaling == ' ') {
        tag.SetFlag(kAtagScaling);
        tag.SetScaling(scaling);
        const std::uint32_t internalUpper = Word(old, 8);
        const std::uint32_t internalLower = Word(old, 10);
        tag.SetScaleRange(std::uint32_t{Word(old, 4)}, std::uint32_t{Word(old, 6)}, internalUpper, internalLower);
        dataType = internalUpper >= 32768 || internalLower >= 32768 ? 1 : 0;
    }
    tag.SetDataType(dataType);
    if (alarm != ' ') {
        tag.SetFlag(kAtagAlarm);
        tag.SetAlarmType(alarm);
        tag.SetAlarmLimits(std::uint32_t{Word(old, 17)}, std::uint32_t{Word(old, 19)});
    }
    TakeOverBlock(tag, old, 66);
    return true;
}

// The digital tag record is filled in the order of its fields:
//   head     number, flags, refresh "Continously", both internal address
//            words (2 x key - 1), alarm code (old byte 42), frequency
//            "Internal Freq";
//   input 1  the internal bit of old offset 43;
//   texts    name (old offset 47), status texts 0 and 1 (old offsets 2, 12);
//   input 2  when old offset 45 is not 0: that internal bit and status
//            texts 2 and 3 (old offsets 22, 32);
//   output   when the old block resolves: the block's PLC address.
bool RECORD::PutDigitalHead(std::span<const std::uint8_t> old, std::uint32_t key, std::uint32_t internalAddress)
{
    if (old.size() < kOldDigitalLength)
        return false;
    digital_ = dtag();
    dtag& tag = digital_;
    tag.SetNumber(key);
    tag.SetRefresh(kRefreshContinuously);
    tag.SetInternalAddressA(internalAddress);
    tag.SetInternalAddressB(internalAddress);
    tag.SetAlarmCode(old[42]);
    tag.SetFrequency(kFrequencyInternal);
    const auto input1 = InternalAddress(Word(old, 43));
    tag.SetAddress(0, input1.data(), input1.size(), kAddressRegister);
    tag.SetName(OldText(old, 47, 10));
    tag.SetStatusText0(OldText(old, 2, 10));
    tag.SetStatusText1(OldText(old, 12, 10));
    if (const std::uint16_t second = Word(old, 45)) {
        tag.SetFlag(kDtagSecondInput);
        const auto input2 = InternalAddress(second);
        tag.SetAddress(1, input2.data(), input2.size(), kAddressRegister);
        tag.SetStatusText2(OldText(old, 22, 10));
        tag.SetStatusText3(OldText(old, 32, 10));
        addressCount_ = 2;
    }
    TakeOverBlock(tag, old, 82);
    return true;
}

void RECORD::TakeOverBlock(tagbase& tag, std::span<const std::uint8_t> old, std::size_t offset)
{
    const std::uint16_t block = Word(old, offset);
    if (block == 0)
        return;
    if (auto address = PutBlockAddress(block)) {
        tag.SetFlag(kTagFlagOutput);
        tag.SetReadAfterWrite(0);
        tag.SetAddress(kOutputAddress, address->data(), address->size(), kAddressPlc);
    }
}

std::optional<std::vector<std::uint8_t>> RECORD::PutBlockAddress(std::uint16_t block)
{
    if (blockTable_ < 0)
        return std::nullopt;
    // A block shorter than its fields reads as zeros past its end.
    std::array<std::uint8_t, kBlockRoom> record{};
    std::uint16_t length = record.size();
    const int code = DfReadRecord(blockTable_, block, record.data(), length);
    if (code != DF_OK || length <= kBlockTypeAt || record[kBlockTypeAt] != kBlockTypeTag)
        return std::nullopt;

    const std::span<const std::uint8_t> raw(record.data() + kBlockAddressAt, kMaxPlcAddressBytes);
    std::array<std::uint8_t, kMaxPlcAddressBytes> parsed{};
    const int n = ParsePlcAddress(FormatPlcAddress(raw, protocol_), parsed, protocol_);
    blockNumber_ = GetLe16(record.data());
    if (n >= 1)
        return std::vector<std::uint8_t>(parsed.begin(), parsed.begin() + n);
    return std::vector<std::uint8_t>(raw.begin(), raw.end());
}
