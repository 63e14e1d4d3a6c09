#pragma once
// An analog tag: a named numeric or text value that the panel reads from a
// PLC address into its internal memory and may write back to an output
// address, with its data type, decimals, units, optional linear scaling and
// optional alarm. Stored in project table 1 under the tag number; one row of
// the tag browser.

#include "plintvlr/db/browseable.h"
#include "plintvlr/db/tag_base.h"
#include "plintvlr/db/tag_record.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Analog data types.
enum : std::uint8_t {
    kTypeUnsignedWord = 0,
    kTypeSignedWord = 1,
    kTypeUnsignedDword = 2,
    kTypeSignedDword = 3,
    kTypeFloat = 4,
    kTypeText = 5,
};

// Flag bits of an analog tag.
inline constexpr std::uint8_t kAtagScaling = 0x01;
inline constexpr std::uint8_t kAtagOutput = kTagFlagOutput;
inline constexpr std::uint8_t kAtagAlarm = 0x04;
inline constexpr std::uint8_t kAtagRecipe = 0x08;

inline constexpr std::uint8_t kScalingNone = 0;
inline constexpr std::uint8_t kScalingLinear = 'L';
inline constexpr std::size_t kMaxUnits = 10;
inline constexpr int kAtagColumnCount = 23;

class atag : public tagbase, public browseable {
public:
    atag();
    ~atag() override = default;
    atag(const atag&) = default;
    atag& operator=(const atag&) = default;

    bool IsRecipeTag() const override { return (GetFlags() & kAtagRecipe) != 0; }
    void SetRecipeTag(bool on) override;

    std::uint8_t GetDataType() const { return dataType_; }
    // Types 0-5; larger values are ignored.
    void SetDataType(std::uint8_t type);
    std::uint8_t GetDecimals() const { return decimals_; }
    void SetDecimals(std::uint8_t decimals) { decimals_ = decimals; }
    // Copies at most n characters and a NUL; an empty units text clears n bytes.
    void GetUnits(char* buffer, std::size_t n) const;
    void SetUnits(std::string_view units);
    const std::string& UnitsString() const { return units_; }
    std::uint8_t GetScaling() const { return scaling_; }
    void SetScaling(std::uint8_t mode) { scaling_ = mode; }
    // The raw 32 bits alike for unsigned, signed and float values.
    void SetScaleRange(std::uint32_t extUpper, std::uint32_t extLower, std::uint32_t intUpper, std::uint32_t intLower);
    void SetScaleRange(std::int32_t extUpper, std::int32_t extLower, std::int32_t intUpper, std::int32_t intLower);
    void SetScaleRange(float extUpper, float extLower, float intUpper, float intLower);
    std::uint8_t GetAlarmType() const { return alarmType_; }
    void SetAlarmType(std::uint8_t type) { alarmType_ = type; }
    void SetAlarmLimits(std::uint32_t upper, std::uint32_t lower);
    void SetAlarmLimits(std::int32_t upper, std::int32_t lower);
    void SetAlarmLimits(float upper, float lower);
    void GetInternalAddress(std::uint32_t& start, std::uint8_t& size) const;
    // Sets both copies.
    void SetInternalAddress(std::uint32_t start, std::uint8_t size);

    // The raw values as stored.
    std::uint32_t GetExternalUpper() const { return extUpper_; }
    std::uint32_t GetExternalLower() const { return extLower_; }
    std::uint32_t GetInternalUpper() const { return intUpper_; }
    std::uint32_t GetInternalLower() const { return intLower_; }
    std::uint32_t GetAlarmUpper() const { return alarmUpper_; }
    std::uint32_t GetAlarmLower() const { return alarmLower_; }

    bool IsDword() const;
    static int RegistersForType(int type, int count);

    // The raw values as texts by data type.
    void FormatScaleRange(std::string& extUpper, std::string& extLower, std::string& intUpper,
                          std::string& intLower) const;
    void FormatAlarmLimits(std::string& upper, std::string& lower) const;
    std::string FormatRaw(std::uint32_t raw) const;

    long double RawToReal(std::uint32_t raw) const;
    bool GetInternalRange(long double& lower, long double& upper) const;
    bool GetAlarmRange(long double& lower, long double& upper) const;
    bool GetDefaultRange(long double& lower, long double& upper) const;
    bool GetValidRange(long double& lower, long double& upper) const;
    std::string FormatReal(long double value) const;
    bool FormatInternalRange(std::string& lower, std::string& upper) const;
    bool FormatAlarmRange(std::string& lower, std::string& upper) const;

    bool IsSame(const atag& other) const;

    // The record of the tag: bytes written, 0 when the tag has no input
    // address or the record does not fit the buffer.
    std::size_t PackRecord(std::span<std::uint8_t> buffer) const;
    // Fills the tag from a record stored under `number`. The fields the
    // record does not reach keep the values of a new tag.
    TagUnpack UnpackRecord(std::uint32_t number, std::span<const std::uint8_t> record);

    // Table 1 of the open project.
    bool Write(std::uint32_t number);
    bool Read(std::int32_t number) override;
    bool Delete() override;

    int GetColumnCount() const override { return kAtagColumnCount; }
    int GetColumnTitle(std::string& title, int column) const override;
    int GetColumnText(std::string& text, int column) override;
    bool GetIdRange(std::int32_t& first, std::int32_t& last) override;
    void Cut() override {}
    void Copy() override {}
    bool Paste(std::int32_t) override { return false; }
    void Rename(std::string_view) override {}

private:
    void Reset();

    std::uint8_t dataType_ = 0;
    std::uint8_t decimals_ = 0;
    std::uint8_t size1_ = 0;
    std::uint32_t start1_ = 0;
    std::uint8_t size2_ = 0;
    std::uint32_t start2_ = 0;
    std::string units_;
    std::uint8_t scaling_ = 0;
    std::uint8_t alarmType_ = 0;
    std::uint32_t extUpper_ = 0;
    std::uint32_t extLower_ = 0;
    std::uint32_t intUpper_ = 0;
    std::uint32_t intLower_ = 0;
    std::uint32_t alarmUpper_ = 0;
    std::uint32_t alarmLower_ = 0;
};

class adatabase;

// The analog tag the program keeps on text panels for the communications
// error: tag 99 "COMMS_ERR", Unsigned Word, on register 499, a system tag. A
// text-panel project gets it when it has no tag 99; on the other panel types
// a stored tag 99 stops being a system tag.
inline constexpr std::uint32_t kCommsErrTag = 99;
void EnsureCommsErrTag(adatabase& db);

// Inserts the decimal point into a number's text: nothing when it holds one
// already or decimals is 0; else the digits, padded on the left with '0' to
// decimals + 1, get a '.' before their last `decimals` (a leading '-' stays).
std::string InsertDecimalPoint(std::string_view text, int decimals);
