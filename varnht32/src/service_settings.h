#pragma once
// The settings that the protocol services read beyond those of the link
// layers (link_settings.h), each through one accessor so that every reader
// sees the value in force now.

#include <cstdint>

namespace vnh {

// `KelmnetReconnTimeOut`: the pause before a connect attempt, and how long a
// connect request waits for the node's identity (ms).
std::int32_t ReconnTimeOutMs();
// `KelmnetSignedRegs`: 16-bit registers hold signed values.
bool SignedRegs();
// `KelmnetServerIntType`: the element type (2 to 5) the server gives integers.
std::uint8_t ServerIntType();

}  // namespace vnh
