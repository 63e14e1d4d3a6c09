#pragma once
// The settings that the protocol services read, each through one accessor so
// that every reader sees the value in force now.

#include <cstdint>

namespace vnh {

// `KelmnetTransTimeOut`: how long an action waits for its answer (ms).
std::int32_t TransTimeOutMs();
// `KelmnetReconnTimeOut`: the pause before a connect attempt, and how long a
// connect request waits for the node's identity (ms).
std::int32_t ReconnTimeOutMs();
// `KelmnetSignedRegs`: 16-bit registers hold signed values.
bool SignedRegs();
// `KelmnetServerIntType`: the element type (2 to 5) the server gives integers.
std::uint8_t ServerIntType();
// `SetRemoteTimeEnable`: 1 this PC sets remote clocks, 2 remote nodes set this PC's.
std::int32_t RemoteTimeMode();

}  // namespace vnh
