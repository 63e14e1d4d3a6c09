#include "varnht32/src/service_settings.h"

#include "varnht32/src/link_settings.h"

namespace vnh {

namespace {

constexpr std::int32_t kDefaultReconnTimeOutMs = 20000;
constexpr std::uint8_t kDefaultServerIntType = 5;

}  // namespace

std::int32_t TransTimeOutMs() { return Settings().trans_timeout_ms; }

std::int32_t ReconnTimeOutMs() { return kDefaultReconnTimeOutMs; }

bool SignedRegs() { return false; }

std::uint8_t ServerIntType() { return kDefaultServerIntType; }

std::int32_t RemoteTimeMode() { return Settings().set_remote_time_enable; }

}  // namespace vnh
