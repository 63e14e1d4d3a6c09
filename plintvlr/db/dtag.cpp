#include "plintvlr/db/dtag.h"

#include "plintvlr/db/db_string_ids.h"
#include "plintvlr/db/frequency_codes.h"
#include "plintvlr/db/tag_project.h"
#include "plintvlr/db/tag_reference.h"
#include "plintvlr/db/tag_registry.h"

#include <cctype>

namespace {

constexpr int kDigitalTable = 2;
// The addresses whose channels the channel byte holds.
constexpr std::array<int, 3> kChannelAddresses = {0, 1, kOutputAddress};

// Index s0 + 2 s1 + 4 s2 + 8 s3 of the status alarms that are on.
constexpr std::string_view kAlarmLetters = " ABECFHKDGINJLM ";
constexpr std::uint8_t kEventLetter = 'O';
// The letters under which each status's alarm is on.
constexpr std::array<std::string_view, kStatusCount> kStatusAlarmLetters = {"AEFGKLN", "BEHIKMN", "CFHJKLM",
                                                                           "DGIJLMN"};
// Status texts 1 to 3 are cut to this many characters in the browser.
constexpr std::size_t kShortStatusColumn = 11;

constexpr std::array<int, kDtagColumnCount> kColumnTitles = {
    kStrColTagName,    kStrColInput1,     kStrColInp1Channel, kStrColInput2,     kStrColInp2Channel,
    kStrColOutput,     kStrColOutputChannel, kStrColRecipeTag, kStrColRefresh,   kStrColFrequency,
    kStrColRdAfterWrt, kStrColStatus0,    kStrColStatAlm0On,  kStrColStatus1,    kStrColStatAlm1On,
    kStrColStatus2,    kStrColStatAlm2On, kStrColStatus3,     kStrColStatAlm3On, kStrColEventOn,
    kStrColPrintAlarms};

}  // namespace

void dtag::Reset()
{
    ResetCommon();
    internalA_ = internalB_ = 0;
    for (std::string& text : status_)
        text.clear();
    alarmCode_ = 0;
}

void dtag::SetRecipeTag(bool on)
{
    if (on)
        SetFlag(kDtagRecipe);
    else
        ClearFlag(kDtagRecipe);
}

void dtag::GetStatusText(int i, char* buffer, std::size_t n) const
{
    CopyTagText(GetStatusText(i), buffer, n);
}

const std::string& dtag::GetStatusText(int i) const
{
    static const std::string none;
    return (i >= 0 && i < kStatusCount) ? status_[static_cast<std::size_t>(i)] : none;
}

void dtag::SetStatusText(int i, std::string_view text)
{
    if (i < 0 || i >= kStatusCount)
        return;
    status_[static_cast<std::size_t>(i)].assign(TagText(text, kMaxStatusText));
}

void dtag::SetAlarmFlags(bool event, bool alarm0, bool alarm1, bool alarm2, bool alarm3, bool print)
{
    const int index = (alarm0 ? 1 : 0) + (alarm1 ? 2 : 0) + (alarm2 ? 4 : 0) + (alarm3 ? 8 : 0);
    const char letter = event ? static_cast<char>(kEventLetter) : kAlarmLetters[static_cast<std::size_t>(index)];
    alarmCode_ = static_cast<std::uint8_t>(print ? letter : std::tolower(letter));
}

bool dtag::IsStatusAlarmOn(int status) const
{
    if (status < 0 || status >= kStatusCount || alarmCode_ == 0)
        return false;
    const char letter = static_cast<char>(std::toupper(alarmCode_));
    return kStatusAlarmLetters[static_cast<std::size_t>(status)].find(letter) != std::string_view::npos;
}

bool dtag::IsEventTag() const
{
    return std::toupper(alarmCode_) == kEventLetter;
}

bool dtag::PrintsAlarms() const
{
    return alarmCode_ != ' ' && alarmCode_ != 0 && !std::islower(alarmCode_);
}

void dtag::AssignInternalAddress(std::uint32_t n)
{
    internalA_ = internalB_ = 2 * n - 1;
}

bool dtag::IsSame(const dtag& other) const
{
    if (!IsSameAs(other))
        return false;
    bool same = alarmCode_ == other.alarmCode_ && status_[0] == other.status_[0] && status_[1] == other.status_[1];
    if (GetFlags() & kDtagSecondInput)
        same = same && status_[2] == other.status_[2] && status_[3] == other.status_[3];
    return same;
}

std::size_t dtag::PackRecord(std::span<std::uint8_t> buffer) const
{
    TagRecordWriter out(buffer);
    out.Word(static_cast<std::uint16_t>(GetNumber()));
    out.Byte(GetFlags());
    out.Byte(GetRefresh());
    out.Long(internalA_);
    out.Long(internalB_);
    out.Byte(alarmCode_);
    out.Byte(GetFrequency());
    if (!out.Address(*this, 0))
        return 0;
    out.Text(GetName(), kMaxTagName);
    out.Text(status_[0], kMaxStatusText);
    out.Text(status_[1], kMaxStatusText);
    if (GetFlags() & kDtagSecondInput) {
        if (!out.Address(*this, 1))
            return 0;
        out.Text(status_[2], kMaxStatusText);
        out.Text(status_[3], kMaxStatusText);
    }
    out.Output(*this);
    out.Channels(*this, kChannelAddresses);
    return out.Size();
}

TagUnpack dtag::UnpackRecord(std::uint32_t number, std::span<const std::uint8_t> record)
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
    if (in.Byte(byte))
        SetRefreshByte(byte);
    in.Long(internalA_);
    in.Long(internalB_);
    in.Byte(alarmCode_);
    if (in.Byte(byte))
        SetFrequency(byte);
    in.Address(*this, 0);
    std::string text;
    // The stored name may be one character longer than a name can be.
    if (in.Text(text, kMaxTagName + 1, kMaxTagName))
        SetName(text);
    in.Text(status_[0], kMaxStatusText, kMaxStatusText);
    in.Text(status_[1], kMaxStatusText, kMaxStatusText);
    if (GetFlags() & kDtagSecondInput) {
        in.Address(*this, 1);
        in.Text(status_[2], kMaxStatusText, kMaxStatusText);
        in.Text(status_[3], kMaxStatusText, kMaxStatusText);
    } else {
        const std::uint8_t zero = 0;
        SetAddress(1, &zero, 1, kAddressNone);
    }
    if (in.Failed())
        return in.Result();

    in.Output(*this);
    in.Channels(*this, kChannelAddresses);
    return in.Result();
}

bool dtag::Write(std::uint32_t number)
{
    return WriteTagRecord(*this, kDigitalTable, number);
}

bool dtag::Read(std::int32_t number)
{
    return ReadTagRecord(*this, kDigitalTable, number);
}

bool dtag::Delete()
{
    return DeleteTagTableRecord(kDigitalTable, GetNumber()) == 0;
}

int dtag::GetColumnTitle(std::string& title, int column) const
{
    return ColumnTitle(kColumnTitles, title, column);
}

int dtag::GetColumnText(std::string& text, int column)
{
    switch (column) {
    case 0: {
        std::string name;
        if (tagregistry* registry = OpenTagRegistry(true))
            registry->GetName(GetNumber(), name);
        return ColumnText(text, name);
    }
    case 1:
    case 3:
    case 5:
        return ColumnText(text, FormatTagAddress(*this, (column - 1) / 2, 'B'));
    case 2:
    case 4:
    case 6:
        return ColumnText(text, ChannelText(GetAddressChannel((column - 2) / 2)));
    case 7:
        return ColumnText(text, YesNoText(IsRecipeTag()));
    case 8:
        return ColumnText(text, RefreshText(GetRefresh()));
    case 9:
        return ColumnText(text, FrequencyText(GetFrequency()));
    case 10:
        return ColumnText(text, YesNoText(GetReadAfterWrite() != 0));
    case 11:
        return ColumnText(text, status_[0]);
    case 13:
    case 15:
    case 17:
        return ColumnText(text, status_[static_cast<std::size_t>((column - 11) / 2)].substr(0, kShortStatusColumn));
    case 12:
    case 14:
    case 16:
    case 18:
        return ColumnText(text, YesNoText(IsStatusAlarmOn((column - 12) / 2)));
    case 19:
        return ColumnText(text, YesNoText(IsEventTag()));
    case 20:
        return ColumnText(text, YesNoText(PrintsAlarms()));
    default:
        return ColumnText(text, {});
    }
}

bool dtag::GetIdRange(std::int32_t& first, std::int32_t& last)
{
    return RegistryIdRange(first, last);
}
