#include "plintvlr/db/tag_base.h"

#include "plintvlr/db/db_string_ids.h"
#include "plintvlr/db/frequency_codes.h"

#include <algorithm>
#include <cstring>

void tagbase::SetRefresh(std::uint8_t mode)
{
    refresh_ = static_cast<std::uint8_t>((refresh_ & 0xC0) | (mode & 0x3F));
}

void tagbase::SetSystemTag(bool on)
{
    if (on)
        refresh_ = static_cast<std::uint8_t>(refresh_ | kRefreshSystemTag);
    else
        refresh_ = static_cast<std::uint8_t>(refresh_ & 0x3F);
}

int tagbase::GetFrequencyIndex() const
{
    const int position = FrequencyPosition(frequency_);
    return position < 0 ? 0 : position;
}

void tagbase::SetFrequencyIndex(int position)
{
    frequency_ = (position >= 1 && position < kFrequencyCount) ? FrequencyCodeAt(position) : 0;
}

void tagbase::GetName(char* buffer, std::size_t n) const
{
    CopyTagText(name_, buffer, n);
}

void tagbase::SetName(std::string_view name)
{
    name_.assign(TagText(name, kMaxTagName));
}

int tagbase::GetAddress(int i, std::span<std::uint8_t> buffer, int& length) const
{
    length = 0;
    if (i < 0 || i >= kTagAddressCount)
        return kAddressInvalid;
    const remote_address& address = Address(i);
    const int kind = address.GetKind();
    if (kind == kAddressNone || kind == kAddressInvalid)
        return kind;
    if (!address.GetData())
        return kAddressNone;
    if (buffer.empty())
        return kind;
    const std::size_t count = std::min<std::size_t>(address.GetLength(), buffer.size() - 1);
    for (std::size_t b = 0; b < count; ++b)
        buffer[b] = address.ByteAt(b);
    buffer[count] = 0;
    length = static_cast<int>(count);
    return kind;
}

int tagbase::SetAddress(int i, const std::uint8_t* bytes, std::size_t n, int kind)
{
    if (i < 0 || i >= kTagAddressCount)
        return -1;
    remote_address& address = addresses_[static_cast<std::size_t>(i)];
    n = std::min(n, kMaxTagAddressBytes);
    address.SetKind(static_cast<std::int8_t>(kind));
    address.SetData(bytes, n);
    address.SetLength(static_cast<std::uint8_t>(n));
    return address.GetKind();
}

std::uint8_t tagbase::GetAddressChannel(int i) const
{
    if (i < 0 || i >= kTagAddressCount)
        return 0;
    return channels_[static_cast<std::size_t>(i)];
}

void tagbase::SetAddressChannel(int i, std::uint8_t channel)
{
    if (i >= 0 && i < kTagAddressCount)
        channels_[static_cast<std::size_t>(i)] = channel;
}

bool tagbase::HasAddressOnChannel(std::uint8_t channel) const
{
    TagAddressBuffer bytes{};
    for (int i = 0; i < kTagAddressCount; ++i) {
        int length = 0;
        if (GetAddress(i, bytes, length) == kAddressPlc && GetAddressChannel(i) == channel)
            return true;
    }
    return false;
}

bool tagbase::SameAddress(const tagbase& other, int i) const
{
    const remote_address& a = Address(i);
    const remote_address& b = other.Address(i);
    bool same = a.GetKind() == b.GetKind() && a.GetLength() == b.GetLength() &&
                GetAddressChannel(i) == other.GetAddressChannel(i);
    if (a.GetData() && b.GetData()) {
        for (std::size_t k = 0; k < a.GetLength(); ++k)
            same = same && a.ByteAt(k) == b.ByteAt(k);
    }
    return same;
}

bool tagbase::IsSameAs(const tagbase& other) const
{
    bool same = flags_ == other.flags_;
    same = same && (refresh_ == other.refresh_ ||
                    (other.refresh_ == kRefreshContinuously && other.frequency_ == kFrequencyInternal));
    same = same && frequency_ == other.frequency_ && name_ == other.name_;
    same = same && SameAddress(other, 0);
    if (flags_ & kTagFlagOutput)
        same = same && SameAddress(other, kOutputAddress) && readAfterWrite_ == other.readAfterWrite_;
    if (flags_ & kTagFlagSecondGroup)
        same = same && SameAddress(other, 1);
    return same;
}

void tagbase::ResetCommon()
{
    const std::uint32_t number = number_;
    *this = tagbase();
    number_ = number;
}

std::string_view TagText(std::string_view text, std::size_t most)
{
    return text.substr(0, std::min({text.find('\0'), text.size(), most}));
}

void CopyTagText(std::string_view text, char* buffer, std::size_t n)
{
    const std::size_t count = std::min(n, text.size());
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
}

std::string RefreshText(std::uint8_t refresh)
{
    return refresh <= kRefreshContinuously ? DbText(kStrRefreshIfDisplayed + refresh) : "";
}

std::string ChannelText(std::uint8_t channel)
{
    if (channel == kChannelA)
        return DbText(kStrChannelA);
    if (channel == kChannelB)
        return DbText(kStrChannelB);
    return {};
}

const char* YesNoText(bool yes)
{
    return DbText(yes ? kStrYes : kStrNo);
}

int ColumnText(std::string& text, std::string value)
{
    text = std::move(value);
    return static_cast<int>(text.size());
}

int ColumnTitle(std::span<const int> titles, std::string& title, int column)
{
    if (column < 0 || static_cast<std::size_t>(column) >= titles.size())
        return ColumnText(title, {});
    return ColumnText(title, DbText(titles[static_cast<std::size_t>(column)]));
}
