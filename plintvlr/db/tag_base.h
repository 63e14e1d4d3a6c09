#pragma once
// The part every tag shares, analog or digital: name, number, flags, refresh
// mode, frequency code, read-after-write and three PLC addresses, each with
// the channel on which it is read or written. Addresses 0 and 1 are inputs
// (an analog tag uses only 0), address 2 is the output.

#include "plintvlr/db/remote_address.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Tag names hold at most this many characters.
inline constexpr std::size_t kMaxTagName = 32;
inline constexpr int kTagAddressCount = 3;
inline constexpr int kOutputAddress = 2;

// Flag bits shared by both tag kinds; the others belong to the derived class.
inline constexpr std::uint8_t kTagFlagSecondGroup = 0x01;  // analog: scaling, digital: second input
inline constexpr std::uint8_t kTagFlagOutput = 0x02;       // output address and read-after-write
inline constexpr std::uint8_t kTagFlagChannels = 0x80;     // the record carries the channel byte

// Refresh modes (bits 0-5 of the refresh byte); bit 7 marks a system tag.
enum : std::uint8_t {
    kRefreshIfDisplayed = 0,
    kRefreshPageChange = 1,
    kRefreshContinuously = 2,
};
inline constexpr std::uint8_t kRefreshSystemTag = 0x80;

// Channels of an address.
inline constexpr std::uint8_t kChannelA = 1;
inline constexpr std::uint8_t kChannelB = 2;

// Enough for any address and the NUL behind it.
using TagAddressBuffer = std::array<std::uint8_t, kMaxTagAddressBytes + 1>;

class tagbase {
public:
    tagbase() = default;
    virtual ~tagbase() = default;
    tagbase(const tagbase&) = default;
    tagbase& operator=(const tagbase&) = default;

    // A tag is a tag and not a communications block, which shares the
    // frequency codes and address kinds.
    virtual bool IsTag() const { return true; }
    virtual bool IsCommsBlock() const { return false; }
    virtual bool IsRecipeTag() const { return false; }
    virtual void SetRecipeTag(bool) {}

    std::uint32_t GetNumber() const { return number_; }
    void SetNumber(std::uint32_t number) { number_ = number; }

    std::uint8_t GetFlags() const { return flags_; }
    void SetFlags(std::uint8_t flags) { flags_ = flags; }
    void SetFlag(std::uint8_t bits) { flags_ = static_cast<std::uint8_t>(flags_ | bits); }
    void ClearFlag(std::uint8_t bits) { flags_ = static_cast<std::uint8_t>(flags_ & ~bits); }

    std::uint8_t GetRefresh() const { return refresh_; }
    // Keeps bits 6 and 7 and puts the mode into bits 0-5.
    void SetRefresh(std::uint8_t mode);
    bool IsSystemTag() const { return (refresh_ & kRefreshSystemTag) != 0; }
    void SetSystemTag(bool on);

    std::uint8_t GetFrequency() const { return frequency_; }
    void SetFrequency(std::uint8_t code) { frequency_ = code; }
    // Position 1-16 of the code in the frequency table; 0 for code 0 and for
    // a code that is not in it.
    int GetFrequencyIndex() const;
    // Positions 1-16 store their code, any other position stores 0.
    void SetFrequencyIndex(int position);

    std::uint8_t GetReadAfterWrite() const { return readAfterWrite_; }
    void SetReadAfterWrite(std::uint8_t value) { readAfterWrite_ = value; }

    // Copies at most n characters of the name and a NUL (n + 1 bytes).
    void GetName(char* buffer, std::size_t n) const;
    const std::string& GetName() const { return name_; }
    // Keeps at most kMaxTagName characters.
    void SetName(std::string_view name);

    // The kind of address i with its bytes and a NUL copied into the buffer
    // (cut to fit) and its length; "no address" answers kAddressInvalid
    // (also for i outside 0-2) or kAddressNone, both with length 0.
    int GetAddress(int i, std::span<std::uint8_t> buffer, int& length) const;
    // Sets kind, a copy of the bytes and the length; -1 for i outside 0-2.
    int SetAddress(int i, const std::uint8_t* bytes, std::size_t n, int kind);
    // Direct view of an address (i 0-2), for the record writers and displays.
    const remote_address& Address(int i) const { return addresses_[static_cast<std::size_t>(i)]; }

    // Channel of address i (1 A, 2 B); 0 for i outside 0-2.
    std::uint8_t GetAddressChannel(int i) const;
    void SetAddressChannel(int i, std::uint8_t channel);
    // True when one of the addresses is a protocol address on the channel.
    bool HasAddressOnChannel(std::uint8_t channel) const;

    // The common part of the tag comparison of the tag editor: this tag's
    // flags decide which addresses count.
    bool IsSameAs(const tagbase& other) const;

protected:
    // Back to the state of a new tag, the number kept (record readers start here).
    void ResetCommon();
    // The record readers take the stored byte whole, so that a system tag
    // stays one (SetRefresh keeps this object's own bits 6 and 7).
    void SetRefreshByte(std::uint8_t refresh) { refresh_ = refresh; }

private:
    bool SameAddress(const tagbase& other, int i) const;

    std::uint8_t flags_ = 0;
    std::uint8_t refresh_ = 0;
    std::uint8_t frequency_ = 0;
    std::uint8_t readAfterWrite_ = 0;
    std::array<remote_address, kTagAddressCount> addresses_{};
    std::string name_;
    std::uint32_t number_ = 0;
    std::array<std::uint8_t, kTagAddressCount> channels_ = {1, 1, 1};
};

// The texts of a tag (name, units, status texts) end at their first NUL and
// keep at most `most` characters.
std::string_view TagText(std::string_view text, std::size_t most);
// Copies at most n characters of a text and a NUL (n + 1 bytes).
void CopyTagText(std::string_view text, char* buffer, std::size_t n);

// Browser texts both tag kinds show.
// The text of a refresh byte ("If Displayed"...), empty for other values.
std::string RefreshText(std::uint8_t refresh);
// "A" for channel 1, "B" for 2, else empty.
std::string ChannelText(std::uint8_t channel);
const char* YesNoText(bool yes);
// Sets a column's text and answers its length.
int ColumnText(std::string& text, std::string value);
// The title of a column from a table of string ids; 0 and empty outside it.
int ColumnTitle(std::span<const int> titles, std::string& title, int column);
