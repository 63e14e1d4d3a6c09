#include "varnht32/src/service_settings.h"

#include "varnht32/src/system_variables.h"

namespace vnh {

namespace {

constexpr std::int32_t kFirstServerIntType = 2;
constexpr std::int32_t kLastServerIntType = 5;

}  // namespace

std::int32_t ReconnTimeOutMs() { return SettingInteger(Setting::kReconnTimeOut); }

bool SignedRegs() { return SettingOn(Setting::kSignedRegs); }

std::uint8_t ServerIntType() {
  std::int32_t type = SettingInteger(Setting::kServerIntType);
  // Only the integer element types may stand for an integer.
  if (type < kFirstServerIntType || type > kLastServerIntType) type = kLastServerIntType;
  return static_cast<std::uint8_t>(type);
}

}  // namespace vnh
