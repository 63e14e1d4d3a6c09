#pragma once
// The string item of variable-value containers (heap type 27), also the carrier
// of trace texts queued to the communication owner.

#include <cstdint>

namespace vnh {

struct StringItem {
  std::uint32_t length;
  char text[256];
};
static_assert(sizeof(StringItem) == 260);

}  // namespace vnh
