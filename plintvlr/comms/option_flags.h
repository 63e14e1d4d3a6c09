#pragma once
// The option-flags record, system record 126 of the project: u16 key copy,
// one flag byte, nine zero bytes. Flags: 0x01 "Ignore Function Keys",
// 0x02 "Latch Alarm Log Values", 0x04-0x80 the print options.

#include <cstdint>

constexpr std::uint16_t kOptionFlagsLength = 12;
constexpr std::uint8_t kOptionIgnoreFunctionKeys = 0x01;
constexpr std::uint8_t kOptionLatchAlarmLog = 0x02;

using OptionFlagsRecord = std::uint8_t[kOptionFlagsLength];

// Zero-fills the record, sets the key 126 and the flags 0x83.
void InitOptionFlagsRecord(OptionFlagsRecord& record);
void SetOptionFlag(OptionFlagsRecord& record, std::uint8_t bits, bool on);
bool TestOptionFlag(const OptionFlagsRecord& record, std::uint8_t bits);
// The open project's panel-type defaults: types 9, 11, 14 get 0xFC, type 14
// then also 0x01; other types keep their flags.
void SetOptionFlagDefaults(OptionFlagsRecord& record);
// Writes the record under its key into the project database of the global
// settings; the put's code.
int WriteOptionFlagsRecord(const OptionFlagsRecord& record);
// Reads at most 12 bytes under the record's key; the record code (0 found).
int ReadOptionFlagsRecord(OptionFlagsRecord& record);

// Registers the default option flags of new projects with the project
// database (at start-up).
void RegisterCommsCoreServices();
