#pragma once
// Where the TCP/IP channel's datagrams enter and leave the process: a UDP
// socket bound to the channel's port, non-blocking and allowed to broadcast.
// Tests put a port of their own in its place, or lay a seeded pattern of
// loss, duplication and reordering over the real one.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "varnht32/src/link_settings.h"

namespace vnh {

class DatagramPort {
 public:
  virtual ~DatagramPort() = default;
  // Sends to the channel's port of `address` (host order). False when the
  // datagram could not be handed to the network.
  virtual bool Send(std::uint32_t address, const std::uint8_t* data, std::size_t length) = 0;
  // The next datagram waiting, with its sender: its length, or -1 when none
  // waits. A datagram longer than `capacity` is read and dropped.
  virtual long Receive(std::uint8_t* data, std::size_t capacity, std::uint32_t* from) = 0;
};

// Opens the UDP socket of the endpoint (failures traced); null when it
// cannot be had.
std::unique_ptr<DatagramPort> OpenUdpPort(const UdpEndpoint& endpoint);
using DatagramPortOpener = std::unique_ptr<DatagramPort> (*)(const UdpEndpoint& endpoint);
// Null restores the UDP socket.
void SetDatagramPortOpener(DatagramPortOpener opener);
std::unique_ptr<DatagramPort> OpenDatagramPort(const UdpEndpoint& endpoint);

// A seeded pattern of faults laid over the datagrams that the UDP socket of
// this process sends: each is dropped, doubled or held back behind the next
// one with the given chances (per thousand). The choice for a datagram
// depends on the seed, its bytes (not what it acknowledges) and how often
// the same bytes were sent before, so a run meets the same pattern whatever
// the timing of the processes. Only the first `faulty_sendings` sendings of
// a datagram may be dropped or held back, so that a pattern can promise that
// every datagram gets through in the end; below 0 every sending may.
struct DatagramFaultPlan {
  std::uint32_t seed = 1;
  int drop_per_mille = 0;
  int duplicate_per_mille = 0;
  int reorder_per_mille = 0;
  int faulty_sendings = -1;
};
struct DatagramFaultCounts {
  std::uint64_t sent = 0;
  std::uint64_t dropped = 0;
  std::uint64_t duplicated = 0;
  std::uint64_t reordered = 0;
};
// Null removes the faults.
void SetDatagramFaults(const DatagramFaultPlan* plan);
DatagramFaultCounts DatagramFaultTotals();

}  // namespace vnh
