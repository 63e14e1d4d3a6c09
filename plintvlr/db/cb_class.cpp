#include "plintvlr/db/cb_class.h"

#include "platform/base/little_endian.h"
#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/db_string_ids.h"
#include "plintvlr/db/frequency_codes.h"
#include "plintvlr/db/plc_address.h"

#include <algorithm>
#include <cstring>

namespace {

struct BlockType {
    std::uint8_t code;
    int text;
};

constexpr std::array<BlockType, cbClass::kTypeCount> kBlockTypes = {{
    {0x00, kStrBlockInactive},
    {0x21, kStrBlockRead},
    {0x22, kStrBlockReadDisp},
    {0x23, kStrBlockReadDispPrint},
    {0x24, kStrBlockTextActivated},
    {0x25, kStrBlockWriteData},
    {0x34, kStrBlockOpWrite},
}};

constexpr std::uint8_t kCodeBits = 0x3F;
constexpr std::uint16_t kBitAddress = 0x8000;
constexpr std::uint8_t kOptionDefault = 'E';

}  // namespace

std::uint8_t CommsBlockTypeCode(int index)
{
    if (index < 0 || index >= cbClass::kTypeCount)
        return 0;
    return kBlockTypes[static_cast<std::size_t>(index)].code;
}

std::string CommsBlockTypeText(std::uint8_t typeByte)
{
    const std::uint8_t code = typeByte & kCodeBits;
    for (const BlockType& type : kBlockTypes)
        if (type.code == code)
            return DbText(type.text);
    return DbText(kStrBlockInactive);
}

std::string CommsBlockFrequencyText(std::uint8_t code)
{
    // Blocks show no text for the internal frequency, and "0s" for a code
    // that is none of the list's.
    if (code == kFrequencyInternal)
        return {};
    return FrequencyText(FrequencyPosition(code) < 0 ? 0 : code);
}

cbClass::cbClass(std::uint16_t number)
{
    Clear();
    number_ = number;
}

cbClass::cbClass(std::span<const std::uint8_t> record)
{
    Clear();
    if (!IsStoredRecord(record))
        return;
    const std::uint8_t* p = record.data();
    number_ = GetLe16(p);
    protocol_ = p[2];
    std::copy(p + 3, p + 8, options_.begin());
    type_ = p[8];
    frequency_ = p[9];
    points_ = GetLe16(p + 10);
    panelAddress_ = GetLe16(p + 12);
    SetRemoteAddress(record.subspan(kHeaderSize));
}

void cbClass::Clear()
{
    number_ = 0;
    protocol_ = 0;
    options_ = {0, kOptionDefault, kOptionDefault, kOptionDefault, kOptionDefault};
    type_ = 0;
    frequency_ = 0;
    points_ = 0;
    panelAddress_ = 0;
    remote_.fill(0);
    addressLength_ = 0;
}

void cbClass::SetPanelAddress(std::uint16_t number, bool isRegister)
{
    panelAddress_ = static_cast<std::uint16_t>((number & ~kBitAddress) | (isRegister ? 0 : kBitAddress));
}

void cbClass::SetRemoteAddress(std::span<const std::uint8_t> bytes)
{
    remote_.fill(0);
    const std::size_t n = std::min(bytes.size(), kMaxAddressBytes);
    std::copy_n(bytes.begin(), n, remote_.begin());
    addressLength_ = static_cast<int>(n);
}

bool cbClass::ParseRemoteAddress(std::string_view text, int protocol)
{
    addressLength_ = ParsePlcAddress(text, remote_, protocol);
    return addressLength_ >= 0;
}

void cbClass::SetTypeIndex(int index, int channelBits)
{
    type_ = static_cast<std::uint8_t>(((channelBits & 3) << 6) | CommsBlockTypeCode(index));
}

void cbClass::SetFrequencyIndex(int index)
{
    frequency_ = FrequencyCodeAt(index);
}

bool cbClass::IsTypeLetter(std::uint8_t type)
{
    return type == ' ' || type == 'T' || (type >= 'A' && type <= 'E');
}

bool cbClass::IsOnChannel(int channel) const
{
    if (IsTypeLetter(type_))
        return channel == 1;
    return (type_ >> 6) + 1 == channel;
}

void cbClass::SetChannel(int channel)
{
    const std::uint8_t code = IsTypeLetter(type_) ? static_cast<std::uint8_t>(type_ - 0x20) : (type_ & kCodeBits);
    type_ = static_cast<std::uint8_t>((((channel - 1) & 3) << 6) | (code & kCodeBits));
}

std::vector<std::uint8_t> cbClass::GetRecord() const
{
    // A length left negative by a text that did not parse stores no address
    // bytes rather than a record that is cut into its own header.
    const std::size_t n = static_cast<std::size_t>(std::clamp(addressLength_, 0, static_cast<int>(kMaxAddressBytes)));
    std::vector<std::uint8_t> record;
    record.reserve(kHeaderSize + n);
    AppendLe16(record, number_);
    record.push_back(protocol_);
    record.insert(record.end(), options_.begin(), options_.end());
    record.push_back(type_);
    record.push_back(frequency_);
    AppendLe16(record, points_);
    AppendLe16(record, panelAddress_);
    record.insert(record.end(), remote_.begin(), remote_.begin() + static_cast<std::ptrdiff_t>(n));
    return record;
}

int cbClass::Write(adatabase& db) const
{
    const std::vector<std::uint8_t> record = GetRecord();
    return db.PutCommsBlock(number_, record.data(), static_cast<std::uint16_t>(record.size()));
}

std::string cbClass::GetColumnTitle(int column) const
{
    static constexpr std::array<int, kColumnCount> kTitles = {
        kStrColNumber,        kStrColRemoteAddr,  kStrColInp1Channel, kStrColRegisterOrBit,
        kStrColQuellstorAddr, kStrColNumOfPoints, kStrColBlockType,   kStrColFrequency,
    };
    if (column < 0 || column >= kColumnCount)
        return {};
    return DbText(kTitles[static_cast<std::size_t>(column)]);
}

std::string cbClass::GetColumnText(int column) const
{
    switch (column) {
    case 0:
        return std::to_string(number_);
    case 1: {
        const std::size_t n = static_cast<std::size_t>(std::clamp(addressLength_, 0, static_cast<int>(kMaxAddressBytes)));
        return FormatPlcAddress(std::span<const std::uint8_t>(remote_.data(), n), protocol_);
    }
    case 2:
        if (IsTypeLetter(type_))
            return {};
        switch (type_ >> 6) {
        case 0:
            return DbText(kStrChannelA);
        case 1:
            return DbText(kStrChannelB);
        default:
            return {};
        }
    case 3:
        return std::string((panelAddress_ & kBitAddress) ? "B" : "R") + "\t" +
               std::to_string(panelAddress_ & ~kBitAddress);
    case 4:
        return std::to_string(points_);
    case 5:
        return CommsBlockTypeText(type_);
    case 6:
        return CommsBlockFrequencyText(frequency_);
    default:
        return {};
    }
}

std::string cbClass::GetRowText() const
{
    // Column 3 holds two report columns, so seven texts make eight fields.
    std::string row;
    for (int column = 0; column < kColumnCount - 1; ++column)
        row += GetColumnText(column) + "\t";
    row.back() = '\n';
    return row;
}

int CbList::Load(adatabase& db)
{
    LoadRecords(db, kTableCommsBlocks, cbClass::kMaxRecordSize, [this](std::span<const std::uint8_t> record) {
        if (cbClass::IsStoredRecord(record))
            Add(cbClass(record));
    });
    return 1;
}

bool CbList::Detach(std::uint16_t number)
{
    auto it = FindIt(number);
    if (it == records_.end())
        return false;
    records_.erase(it);
    return true;
}

CbList& GetCbList()
{
    static CbList list;
    return list;
}
