#include "varnht32/src/service_settings.h"

namespace vnh {

namespace {

constexpr std::int32_t kDefaultReconnTimeOutMs = 20000;
constexpr std::uint8_t kDefaultServerIntType = 5;

}  // namespace

std::int32_t ReconnTimeOutMs() { return kDefaultReconnTimeOutMs; }

bool SignedRegs() { return false; }

std::uint8_t ServerIntType() { return kDefaultServerIntType; }

}  // namespace vnh
