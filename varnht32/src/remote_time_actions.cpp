#include "varnht32/src/remote_time_actions.h"

namespace vnh {

std::int32_t StartSetRemoteTime(std::uint32_t, std::uint32_t, bool* finished) {
  *finished = true;
  return -18;
}

void ReceiveNamedWrite(std::uint8_t, std::string_view, const std::uint8_t*, std::uint32_t) {}

}  // namespace vnh
