// Datagrams from anyone on the network: each input is a series of records,
// [sender host][length, 2 bytes little-endian][bytes], fed to the TCP/IP
// channel as if they arrived from 127.0.0.<host>; a record from host 255
// moves the clock on by its length in milliseconds instead. What the library
// sends back goes nowhere.
// One library instance serves every input (see fuzz_library.h for how to
// reproduce a finding that needs the inputs before it).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

#include "varnht32/fuzz/fuzz_library.h"
#include "varnht32/include/varnht32.h"
#include "varnht32/src/datagram_port.h"
#include "varnht32/src/link_settings.h"

namespace {

std::deque<std::pair<std::uint32_t, std::vector<std::uint8_t>>> g_incoming;

class FuzzPort : public vnh::DatagramPort {
 public:
  bool Send(std::uint32_t, const std::uint8_t*, std::size_t) override { return true; }
  long Receive(std::uint8_t* data, std::size_t capacity, std::uint32_t* from) override {
    while (!g_incoming.empty()) {
      auto [address, bytes] = std::move(g_incoming.front());
      g_incoming.pop_front();
      if (bytes.size() > capacity) continue;
      if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
      *from = address;
      return static_cast<long>(bytes.size());
    }
    return -1;
  }
};

std::unique_ptr<vnh::DatagramPort> OpenFuzzPort(const vnh::UdpEndpoint&) {
  return std::make_unique<FuzzPort>();
}

void Configure() {
  setenv(vnh::kUdpAddressEnvironment, "127.0.0.2", 1);
  vnh::SetDatagramPortOpener(OpenFuzzPort);
  vnh_fuzz::SetSetting("EnableKelmnetTCPIP", 1, 1);
}

bool Drained() { return g_incoming.empty(); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool started = vnh_fuzz::StartLibrary(Configure);
  if (!started) std::abort();
  std::size_t at = 0;
  while (at + 3 <= size) {
    std::uint8_t host = data[at];
    std::size_t length = data[at + 1] | (data[at + 2] << 8);
    at += 3;
    if (host == 255) {
      vnh_fuzz::AdvanceClock(static_cast<std::uint32_t>(length));
      vnh_fuzz::PollUntil(Drained, 1);
      continue;
    }
    if (length > size - at) length = size - at;
    g_incoming.push_back({0x7F000000u | host, std::vector<std::uint8_t>(data + at, data + at + length)});
    at += length;
  }
  vnh_fuzz::PollUntil(Drained, 10000);
  vnh_fuzz::AdvanceClock(1);
  VNHPollCommunication();
  return 0;
}
