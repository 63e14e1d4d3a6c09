#include "plintvlr/db/atag.h"

#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/db_string_ids.h"
#include "plintvlr/db/frequency_codes.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/db/tag_project.h"
#include "plintvlr/db/tag_reference.h"
#include "plintvlr/db/tag_registry.h"

#include <array>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kAnalogTable = 1;
// The addresses whose channels the channel byte holds.
constexpr std::array<int, 2> kChannelAddresses = {0, kOutputAddress};
// Register 499, where the panel keeps its communications error.
constexpr std::array<std::uint8_t, 4> kCommsErrRegister = {0xF3, 0x01, 0x00, 0x00};

constexpr std::array<int, kAtagColumnCount> kColumnTitles = {
    kStrColTagName,     kStrColInput,        kStrColInp1Channel,    kStrColOutput,      kStrColOutputChannel,
    kStrColRefresh,     kStrColFrequency,    kStrColRdAfterWrt,     kStrColUnits,       kStrColDataType,
    kStrColRecipeTag,   kStrColDecimalPlaces, kStrColTxtDataLength, kStrColScaling,     kStrColLinearValueExt,
    kStrColExternalUpr, kStrColExternalLwr,  kStrColInternalUpr,    kStrColInternalLwr, kStrColAlarmsType,
    kStrColPrintAlarms, kStrColAlarmsUprLmt, kStrColAlarmsLwrLmt};

long double PowerOfTen(int decimals)
{
    return std::pow(10.0L, static_cast<long double>(decimals));
}

std::string Printf(const char* format, auto... values)
{
    const int n = std::snprintf(nullptr, 0, format, values...);
    if (n <= 0)
        return {};
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, values...);
    text.resize(static_cast<std::size_t>(n));
    return text;
}

std::string AlarmTypeText(std::uint8_t type)
{
    const int letter = std::toupper(type);
    if (letter >= 'A' && letter <= 'G')
        return DbText(kStrAlarmHighLow + (letter - 'A'));
    return DbText(kStrAlarmNone);
}

}  // namespace

std::string InsertDecimalPoint(std::string_view text, int decimals)
{
    if (decimals <= 0 || text.find('.') != std::string_view::npos)
        return std::string(text);
    std::string sign;
    if (!text.empty() && text.front() == '-') {
        sign = "-";
        text.remove_prefix(1);
    }
    std::string digits(text);
    const auto need = static_cast<std::size_t>(decimals) + 1;
    if (digits.size() < need)
        digits.insert(0, need - digits.size(), '0');
    digits.insert(digits.size() - static_cast<std::size_t>(decimals), 1, '.');
    return sign + digits;
}

atag::atag()
{
    SetAddressChannel(1, 0);
}

void atag::Reset()
{
    ResetCommon();
    SetAddressChannel(1, 0);
    dataType_ = decimals_ = size1_ = size2_ = scaling_ = alarmType_ = 0;
    start1_ = start2_ = 0;
    units_.clear();
    extUpper_ = extLower_ = intUpper_ = intLower_ = alarmUpper_ = alarmLower_ = 0;
}

void atag::SetRecipeTag(bool on)
{
    if (on)
        SetFlag(kAtagRecipe);
    else
        ClearFlag(kAtagRecipe);
}

void atag::SetDataType(std::uint8_t type)
{
    if (type <= kTypeText)
        dataType_ = type;
}

void atag::GetUnits(char* buffer, std::size_t n) const
{
    if (units_.empty()) {
        std::memset(buffer, 0, n);
        return;
    }
    CopyTagText(units_, buffer, n);
}

void atag::SetUnits(std::string_view units)
{
    units_.assign(TagText(units, kMaxUnits));
}

void atag::SetScaleRange(std::uint32_t extUpper, std::uint32_t extLower, std::uint32_t intUpper,
                         std::uint32_t intLower)
{
    extUpper_ = extUpper;
    extLower_ = extLower;
    intUpper_ = intUpper;
    intLower_ = intLower;
}

void atag::SetScaleRange(std::int32_t extUpper, std::int32_t extLower, std::int32_t intUpper, std::int32_t intLower)
{
    SetScaleRange(static_cast<std::uint32_t>(extUpper), static_cast<std::uint32_t>(extLower),
                  static_cast<std::uint32_t>(intUpper), static_cast<std::uint32_t>(intLower));
}

void atag::SetScaleRange(float extUpper, float extLower, float intUpper, float intLower)
{
    SetScaleRange(std::bit_cast<std::uint32_t>(extUpper), std::bit_cast<std::uint32_t>(extLower),
                  std::bit_cast<std::uint32_t>(intUpper), std::bit_cast<std::uint32_t>(intLower));
}

void atag::SetAlarmLimits(std::uint32_t upper, std::uint32_t lower)
{
    alarmUpper_ = upper;
    alarmLower_ = lower;
}

void atag::SetAlarmLimits(std::int32_t upper, std::int32_t lower)
{
    SetAlarmLimits(static_cast<std::uint32_t>(upper), static_cast<std::uint32_t>(lower));
}

void atag::SetAlarmLimits(float upper, float lower)
{
    SetAlarmLimits(std::bit_cast<std::uint32_t>(upper), std::bit_cast<std::uint32_t>(lower));
}

void atag::GetInternalAddress(std::uint32_t& start, std::uint8_t& size) const
{
    start = start1_;
    size = size1_;
}

void atag::SetInternalAddress(std::uint32_t start, std::uint8_t size)
{
    start1_ = start2_ = start;
    size1_ = size2_ = size;
}

bool atag::IsDword() const
{
    return dataType_ == kTypeUnsignedDword || dataType_ == kTypeSignedDword || dataType_ == kTypeFloat;
}

int atag::RegistersForType(int type, int count)
{
    switch (type) {
    case kTypeUnsignedWord:
    case kTypeSignedWord:
        return 1;
    case kTypeUnsignedDword:
    case kTypeSignedDword:
    case kTypeFloat:
        return 2;
    case kTypeText:
        return count == 0 ? 1 : count;
    default:
        return 1;
    }
}

std::string atag::FormatRaw(std::uint32_t raw) const
{
    switch (dataType_) {
    case kTypeUnsignedWord:
    case kTypeUnsignedDword:
        return Printf("%lu", static_cast<unsigned long>(raw));
    case kTypeSignedWord:
    case kTypeSignedDword:
        return Printf("%ld", static_cast<long>(static_cast<std::int32_t>(raw)));
    case kTypeFloat:
        return Printf("%f", static_cast<double>(std::bit_cast<float>(raw)));
    default:
        return Printf("%i", 0);
    }
}

void atag::FormatScaleRange(std::string& extUpper, std::string& extLower, std::string& intUpper,
                            std::string& intLower) const
{
    extUpper = FormatRaw(extUpper_);
    extLower = FormatRaw(extLower_);
    intUpper = FormatRaw(intUpper_);
    intLower = FormatRaw(intLower_);
}

void atag::FormatAlarmLimits(std::string& upper, std::string& lower) const
{
    upper = FormatRaw(alarmUpper_);
    lower = FormatRaw(alarmLower_);
}

long double atag::RawToReal(std::uint32_t raw) const
{
    switch (dataType_) {
    case kTypeUnsignedWord:
    case kTypeUnsignedDword:
        return static_cast<long double>(raw) / PowerOfTen(decimals_);
    case kTypeSignedWord:
    case kTypeSignedDword:
        return static_cast<long double>(static_cast<std::int32_t>(raw)) / PowerOfTen(decimals_);
    case kTypeFloat:
        return static_cast<long double>(std::bit_cast<float>(raw));
    default:
        return 0;
    }
}

bool atag::GetInternalRange(long double& lower, long double& upper) const
{
    lower = RawToReal(intLower_);
    upper = RawToReal(intUpper_);
    return lower < upper;
}

bool atag::GetAlarmRange(long double& lower, long double& upper) const
{
    lower = RawToReal(alarmLower_);
    upper = RawToReal(alarmUpper_);
    return lower < upper;
}

bool atag::GetDefaultRange(long double& lower, long double& upper) const
{
    switch (dataType_) {
    case kTypeUnsignedWord:
        lower = 0;
        upper = 65535;
        break;
    case kTypeSignedWord:
        lower = -32768;
        upper = 32767;
        break;
    case kTypeUnsignedDword:
        lower = 0;
        upper = 4294967295.0L;
        break;
    case kTypeSignedDword:
        lower = -2147483647;
        upper = 2147483647;
        break;
    default:
        return false;
    }
    lower /= PowerOfTen(decimals_);
    upper /= PowerOfTen(decimals_);
    return true;
}

bool atag::GetValidRange(long double& lower, long double& upper) const
{
    return GetInternalRange(lower, upper) || GetDefaultRange(lower, upper);
}

std::string atag::FormatReal(long double value) const
{
    return Printf("%.*Lf", static_cast<int>(decimals_), value);
}

bool atag::FormatInternalRange(std::string& lower, std::string& upper) const
{
    long double low = 0;
    long double high = 0;
    const bool ok = GetInternalRange(low, high);
    lower = FormatReal(low);
    upper = FormatReal(high);
    return ok;
}

bool atag::FormatAlarmRange(std::string& lower, std::string& upper) const
{
    long double low = 0;
    long double high = 0;
    const bool ok = GetAlarmRange(low, high);
    lower = FormatReal(low);
    upper = FormatReal(high);
    return ok;
}

bool atag::IsSame(const atag& other) const
{
    bool same = IsSameAs(other);
    same = same && dataType_ == other.dataType_ && decimals_ == other.decimals_ && size1_ == other.size1_ &&
           size2_ == other.size2_ && units_ == other.units_;
    if (GetFlags() & kAtagScaling)
        same = same && scaling_ == other.scaling_ && extUpper_ == other.extUpper_ &&
               extLower_ == other.extLower_ && intUpper_ == other.intUpper_ && intLower_ == other.intLower_;
    if (GetFlags() & kAtagAlarm)
        same = same && alarmType_ == other.alarmType_ && alarmUpper_ == other.alarmUpper_ &&
               alarmLower_ == other.alarmLower_;
    return same;
}

std::size_t atag::PackRecord(std::span<std::uint8_t> buffer) const
{
    TagRecordWriter out(buffer);
    out.Word(static_cast<std::uint16_t>(GetNumber()));
    out.Byte(GetFlags());
    out.Byte(dataType_);
    out.Byte(GetRefresh());
    out.Byte(decimals_);
    out.Byte(GetFrequency());
    out.Byte(size1_);
    out.Long(start1_);
    out.Byte(size2_);
    out.Long(start2_);
    if (!out.Address(*this, 0))
        return 0;
    out.Text(GetName(), kMaxTagName);
    out.Text(units_, kMaxUnits);
    if (GetFlags() & kAtagScaling) {
        out.Byte(scaling_);
        out.Long(extUpper_);
        out.Long(extLower_);
        out.Long(intUpper_);
        out.Long(intLower_);
    }
    if (GetFlags() & kAtagAlarm) {
        out.Byte(alarmType_);
        out.Long(alarmUpper_);
        out.Long(alarmLower_);
    }
    out.Output(*this);
    out.Channels(*this, kChannelAddresses);
    return out.Size();
}

TagUnpack atag::UnpackRecord(std::uint32_t number, std::span<const std::uint8_t> record)
{
    Reset();
    SetNumber(number);
    TagRecordReader in(record);
    std::uint16_t key = 0;
    std::uint8_t byte = 0;
    if (!in.Word(key))
        return in.Result();
    if (in.Byte(byte))
        SetFlags(byte);
    in.Byte(dataType_);
    if (in.Byte(byte))
        SetRefreshByte(byte);
    in.Byte(decimals_);
    if (in.Byte(byte))
        SetFrequency(byte);
    in.Byte(size1_);
    in.Long(start1_);
    in.Byte(size2_);
    in.Long(start2_);
    in.Address(*this, 0);
    std::string text;
    // The stored name may be one character longer than a name can be.
    if (in.Text(text, kMaxTagName + 1, kMaxTagName))
        SetName(text);
    if (in.Text(text, kMaxUnits, kMaxUnits))
        SetUnits(text);
    if (in.Failed())
        return in.Result();

    if (GetFlags() & kAtagScaling) {
        in.Byte(scaling_);
        in.Long(extUpper_);
        in.Long(extLower_);
        in.Long(intUpper_);
        in.Long(intLower_);
    }
    if (GetFlags() & kAtagAlarm) {
        in.Byte(alarmType_);
        in.Long(alarmUpper_);
        in.Long(alarmLower_);
    }
    in.Output(*this);
    in.Channels(*this, kChannelAddresses);
    return in.Result();
}

bool atag::Write(std::uint32_t number)
{
    return WriteTagRecord(*this, kAnalogTable, number);
}

bool atag::Read(std::int32_t number)
{
    return ReadTagRecord(*this, kAnalogTable, number);
}

bool atag::Delete()
{
    return DeleteTagTableRecord(kAnalogTable, GetNumber()) == 0;
}

int atag::GetColumnTitle(std::string& title, int column) const
{
    return ColumnTitle(kColumnTitles, title, column);
}

int atag::GetColumnText(std::string& text, int column)
{
    std::string extUpper, extLower, intUpper, intLower, alarmUpper, alarmLower;
    switch (column) {
    case 0: {
        std::string name;
        if (tagregistry* registry = OpenTagRegistry(false))
            registry->GetName(GetNumber(), name);
        return ColumnText(text, name);
    }
    case 1:
        return ColumnText(text, FormatTagAddress(*this, 0, 'R'));
    case 2:
        return ColumnText(text, ChannelText(GetAddressChannel(0)));
    case 3:
        return ColumnText(text, FormatTagAddress(*this, kOutputAddress, 'R'));
    case 4:
        return ColumnText(text, ChannelText(GetAddressChannel(kOutputAddress)));
    case 5:
        return ColumnText(text, RefreshText(GetRefresh()));
    case 6:
        return ColumnText(text, FrequencyText(GetFrequency()));
    case 7:
        return ColumnText(text, YesNoText(GetReadAfterWrite() != 0));
    case 8:
        return ColumnText(text, units_);
    case 9:
        return ColumnText(text, dataType_ <= kTypeText ? DbText(kStrTypeUnsignedWord + dataType_) : "");
    case 10:
        return ColumnText(text, YesNoText(IsRecipeTag()));
    case 11:
        return ColumnText(text, std::to_string(decimals_));
    case 12:
        return ColumnText(text, std::to_string(dataType_ == kTypeText ? size1_ : 0));
    case 13:
        return ColumnText(text, YesNoText(scaling_ != kScalingNone));
    case 14:
        return ColumnText(text, YesNoText(scaling_ == kScalingLinear));
    case 15:
    case 16:
    case 17:
    case 18:
        FormatScaleRange(extUpper, extLower, intUpper, intLower);
        if (column == 15)
            return ColumnText(text, extUpper);
        if (column == 16)
            return ColumnText(text, extLower);
        return ColumnText(text, InsertDecimalPoint(column == 17 ? intUpper : intLower, decimals_));
    case 19:
        return ColumnText(text, AlarmTypeText(alarmType_));
    case 20:
        return ColumnText(text, YesNoText(std::isupper(alarmType_) != 0));
    case 21:
    case 22:
        FormatAlarmLimits(alarmUpper, alarmLower);
        return ColumnText(text, InsertDecimalPoint(column == 21 ? alarmUpper : alarmLower, decimals_));
    default:
        return ColumnText(text, {});
    }
}

bool atag::GetIdRange(std::int32_t& first, std::int32_t& last)
{
    return RegistryIdRange(first, last);
}

void EnsureCommsErrTag(adatabase& db)
{
    std::array<std::uint8_t, kMaxTagRecord> record{};
    std::uint16_t length = static_cast<std::uint16_t>(record.size());
    const int code = db.GetAnalogTag(kCommsErrTag, record.data(), length);
    atag tag;
    if (Quellstor(db.GetPanelType()).IsTextPanel()) {
        // Only a missing tag is made: a damaged record is not overwritten.
        if (code != DF_NOT_FOUND)
            return;
        tag.SetName(DbText(kStrCommsErrTagName));
        tag.SetDataType(kTypeUnsignedWord);
        tag.SetAddress(0, kCommsErrRegister.data(), kCommsErrRegister.size(), kAddressRegister);
        tag.SetSystemTag(true);
    } else {
        if (code != DF_OK)
            return;
        tag.UnpackRecord(kCommsErrTag, std::span(record.data(), length));
        if (!tag.IsSystemTag())
            return;
        tag.SetSystemTag(false);
    }
    tag.SetNumber(kCommsErrTag);
    if (const std::size_t n = tag.PackRecord(record))
        db.PutAnalogTag(kCommsErrTag, record.data(), static_cast<std::uint16_t>(n));
}
