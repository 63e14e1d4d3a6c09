#pragma once
// The library's own system variables and its settings file. The modules read a
// setting through its bound value block whenever they need it; clients read
// and assign them through the exports; the settings file "openfb.inf" beside
// the library keeps the values that differ from their defaults. Everything
// here runs under the library mutex.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "varnht32/src/variable_table.h"

namespace vnh {

enum class Setting : std::uint8_t {
  kTestBoolean,
  kTestInteger,
  kTestReal,
  kTestString,
  kPoolAllowed,
  kSoftwareRevision,
  kServerAppName,
  kHexOutput,
  kSignedRegs,
  kDbgWritelns9,
  kDbgWritelns2,
  kDbgWritelns5,
  kTransTimeOut,
  kReconnTimeOut,
  kServerIntType,
  kSimulate3,
  kEnableTcpIp,
  kTcpIpNode,
  kTcpIpChannel,
  kTcpIpNetwork,
  kEnableKelmnet1,
  kEnableKelmnet2,
  kEnableKelmnet3,
  kEnableKelmnet4,
  kKelmnet1MemoryAddr,
  kKelmnet2MemoryAddr,
  kKelmnet3MemoryAddr,
  kKelmnet4MemoryAddr,
  kKelmnet1NodeAddress,
  kKelmnet2NodeAddress,
  kKelmnet3NodeAddress,
  kKelmnet4NodeAddress,
  kSetRemoteTimeEnable,
  kCount,
};
constexpr std::size_t kSettingCount = static_cast<std::size_t>(Setting::kCount);

// The settings file's folder: this variable when it is set (tests), else the
// folder of the library's own file.
constexpr const char* kSettingsDirectoryEnvironment = "VARNHT32_SETTINGS_DIR";

// Values of `SetRemoteTimeEnable`.
enum RemoteTimeMode : std::int32_t {
  kRemoteTimeOff = 0,
  kRemoteTimeSetsRemoteClocks = 1,  // this PC sets the clocks of remote nodes
  kRemoteTimeSetsThisClock = 2,     // remote nodes set this PC's clock
};

// The current value of a library variable; its default when it could not be defined.
bool SettingOn(Setting setting);
std::int32_t SettingInteger(Setting setting);
float SettingReal(Setting setting);
std::string_view SettingText(Setting setting);
std::string_view SettingName(Setting setting);

// The shared table of every system variable.
VariableTable SystemVariables();

// The first InitVarnholtnet of the machine: the test variables, then the
// settings file, then `PoolAllowed`, which is applied at once.
void ReadSettingsFile();
// Module set-up: the library's other variables with their defaults.
void DefineLibraryVariables();
// Writes the settings file anew: 1, or -44 when it cannot be written (the old
// file then stays as it was).
std::int32_t WriteSettingsFile();
std::string SettingsFilePath();
// What a setting drives beyond its readers (the heap's pooling), after an
// assignment.
void ApplySettings();

}  // namespace vnh
