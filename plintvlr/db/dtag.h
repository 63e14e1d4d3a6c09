#pragma once
// A digital tag: a named bit value read from one or two PLC inputs (up to
// four states, each with a status text and its own alarm) and possibly
// written to an output address. Stored in project table 2 under the tag
// number; one row of the tag browser.

#include "plintvlr/db/browseable.h"
#include "plintvlr/db/tag_base.h"
#include "plintvlr/db/tag_record.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Flag bits of a digital tag.
inline constexpr std::uint8_t kDtagSecondInput = 0x01;
inline constexpr std::uint8_t kDtagOutput = kTagFlagOutput;
inline constexpr std::uint8_t kDtagRecipe = 0x04;

inline constexpr std::size_t kMaxStatusText = 32;
inline constexpr int kDtagColumnCount = 21;
inline constexpr int kStatusCount = 4;

class dtag : public tagbase, public browseable {
public:
    dtag() = default;
    ~dtag() override = default;
    dtag(const dtag&) = default;
    dtag& operator=(const dtag&) = default;

    bool IsRecipeTag() const override { return (GetFlags() & kDtagRecipe) != 0; }
    void SetRecipeTag(bool on) override;

    // Status text i (0-3): at most n characters and a NUL.
    void GetStatusText(int i, char* buffer, std::size_t n) const;
    const std::string& GetStatusText(int i) const;
    // Keeps at most 32 characters; i outside 0-3 changes nothing.
    void SetStatusText(int i, std::string_view text);
    void GetStatusText0(char* buffer, std::size_t n) const { GetStatusText(0, buffer, n); }
    void GetStatusText1(char* buffer, std::size_t n) const { GetStatusText(1, buffer, n); }
    void GetStatusText2(char* buffer, std::size_t n) const { GetStatusText(2, buffer, n); }
    void GetStatusText3(char* buffer, std::size_t n) const { GetStatusText(3, buffer, n); }
    void SetStatusText0(std::string_view text) { SetStatusText(0, text); }
    void SetStatusText1(std::string_view text) { SetStatusText(1, text); }
    void SetStatusText2(std::string_view text) { SetStatusText(2, text); }
    void SetStatusText3(std::string_view text) { SetStatusText(3, text); }

    std::uint8_t GetAlarmCode() const { return alarmCode_; }
    void SetAlarmCode(std::uint8_t code) { alarmCode_ = code; }
    // The letter of the alarms that are on ('O' for an event tag), lower case
    // when the alarms are not printed. All four alarms together, like none,
    // give a space: no letter exists for them.
    void SetAlarmFlags(bool event, bool alarm0, bool alarm1, bool alarm2, bool alarm3, bool print);
    bool IsStatusAlarmOn(int status) const;
    bool IsEventTag() const;
    bool PrintsAlarms() const;

    std::uint32_t GetInternalAddressA() const { return internalA_; }
    void SetInternalAddressA(std::uint32_t word) { internalA_ = word; }
    std::uint32_t GetInternalAddressB() const { return internalB_; }
    void SetInternalAddressB(std::uint32_t word) { internalB_ = word; }
    // Both words become 2n - 1 for tag number n.
    void AssignInternalAddress(std::uint32_t n);

    bool IsSame(const dtag& other) const;

    // The record of the tag: bytes written, 0 when input 1 is missing, when
    // flag 0x01 is set and input 2 is missing, or when the record does not
    // fit the buffer.
    std::size_t PackRecord(std::span<std::uint8_t> buffer) const;
    // Fills the tag from a record stored under `number`. The fields the
    // record does not reach keep the values of a new tag.
    TagUnpack UnpackRecord(std::uint32_t number, std::span<const std::uint8_t> record);

    // Table 2 of the open project.
    bool Write(std::uint32_t number);
    bool Read(std::int32_t number) override;
    bool Delete() override;

    int GetColumnCount() const override { return kDtagColumnCount; }
    int GetColumnTitle(std::string& title, int column) const override;
    int GetColumnText(std::string& text, int column) override;
    bool GetIdRange(std::int32_t& first, std::int32_t& last) override;
    void Cut() override {}
    void Copy() override {}
    bool Paste(std::int32_t) override { return false; }
    void Rename(std::string_view) override {}

private:
    void Reset();

    std::uint32_t internalA_ = 0;
    std::uint32_t internalB_ = 0;
    std::array<std::string, kStatusCount> status_{};
    std::uint8_t alarmCode_ = 0;
};
