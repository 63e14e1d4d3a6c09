#pragma once
// Helpers of the link-layer tests: messages sent and collected through the
// library's own buffers, a datagram network inside the test process, and a
// UDP port on loopback that two library instances can share.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "varnht32/src/datagram_port.h"
#include "varnht32/tests/test_support.h"

namespace vnh_test {

// Assign a system variable of the library through its export (after
// InitVarnholtnet, before the channels open); false when it is refused.
bool SetBoolSetting(const char* name, bool on);
bool SetIntSetting(const char* name, std::int32_t value);
bool SetTextSetting(const char* name, const std::string& text);

// Hands a message to the channel of `element` (under the library mutex);
// false when no transmit buffer is free.
bool SendTestMessage(std::uint32_t element, const std::vector<std::uint8_t>& message);

// Every message that reaches a client of this process.
struct Received {
  std::uint32_t element;
  std::vector<std::uint8_t> message;
};
std::vector<Received>& ReceivedMessages();
// Collects the messages dispatched in this process into ReceivedMessages().
void CollectMessages();

// Trace texts of this process's client, collected.
std::vector<std::string>& Traces();
void CollectTraces();
bool Traced(const std::string& part);

// Node-status callbacks of this process: "node up" / "node down" texts.
std::vector<std::string>& NodeEvents();
void CollectNodeEvents();

// A datagram network inside the test process: what the library sends is
// kept with the virtual time it was sent at; what the test puts in arrives.
struct SentDatagram {
  std::uint32_t to;
  std::vector<std::uint8_t> bytes;
  std::uint32_t at;
};
struct FakeNetwork {
  std::vector<SentDatagram> sent;
  std::deque<std::pair<std::uint32_t, std::vector<std::uint8_t>>> incoming;
  const VirtualClock* clock = nullptr;  // for the stamps
};
// Puts the network in place of the UDP socket (null restores the socket).
void UseFakeNetwork(FakeNetwork* network);

// A UDP port that is free on both loopback addresses now.
std::uint16_t FreeUdpPort(std::uint32_t a, std::uint32_t b);

constexpr std::uint32_t Loopback(std::uint32_t host) { return 0x7F000000u | host; }

}  // namespace vnh_test
