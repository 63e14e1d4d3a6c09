// UDP between two library instances on loopback, beside plain UDP of the same
// sizes as the limit: round-trip latency (one message there and back) and
// messages per second (a window of messages kept in flight, each echoed).
// The echoing instance runs in a child process (see loopback_pair.h); both
// poll as fast as they can.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "varnht32/bench/loopback_pair.h"
#include "varnht32/bench/loopback_udp.h"
#include "varnht32/include/varnht32.h"
#include "varnht32/src/channels.h"
#include "varnht32/src/knsock.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/message_buffers.h"
#include "varnht32/src/message_routing.h"
#include "varnht32/src/node_data.h"

namespace {

constexpr std::uint8_t kEchoCode = 31;
constexpr int kWindow = 8;

using vnh_bench::kHostA;
using vnh_bench::kHostB;
using vnh_bench::PortOf;
using vnh_bench::SendTo;
using vnh_bench::UdpSocket;

// ---- plain UDP: the limit ----

// Two sockets on loopback, one on each address.
struct SocketPair {
  SocketPair() : a(UdpSocket(kHostA, 0)), b(UdpSocket(kHostB, 0)), pa(PortOf(a)), pb(PortOf(b)) {}
  ~SocketPair() {
    close(a);
    close(b);
  }
  int a;
  int b;
  std::uint16_t pa;
  std::uint16_t pb;
};

// `window` messages out, each echoed, all back: a window of 1 is one round trip.
void PlainUdp(benchmark::State& state, int window) {
  auto size = static_cast<std::size_t>(state.range(0));
  SocketPair p;
  auto [a, b, pa, pb] = std::tie(p.a, p.b, p.pa, p.pb);
  std::vector<std::uint8_t> buffer(size, 7);
  for (auto _ : state) {
    for (int i = 0; i < window; ++i) SendTo(a, kHostB, pb, buffer.data(), size);
    for (int i = 0; i < window; ++i) {
      recv(b, buffer.data(), size, 0);
      SendTo(b, kHostA, pa, buffer.data(), size);
    }
    for (int i = 0; i < window; ++i) recv(a, buffer.data(), size, 0);
  }
  state.SetItemsProcessed(state.iterations() * window);
}

// ---- two library instances ----

int g_echoes = 0;

// Instance B: every test message goes straight back to where it came from.
void Echo(std::uint32_t buffer) {
  const vnh::MessageBuffer* in = vnh::Buffer(buffer);
  if (in->length == 0 || in->message[0] != kEchoCode) return;
  std::uint32_t out = vnh::TakeTransmitBuffer();
  if (out == 0) return;
  vnh::MessageBuffer* b = vnh::Buffer(out);
  std::memcpy(b->message, in->message, in->length);
  b->length = in->length;
  vnh::SendMessage(in->element, out);
}

// Instance A: counts what comes back.
void Count(std::uint32_t buffer) {
  const vnh::MessageBuffer* in = vnh::Buffer(buffer);
  if (in->length > 0 && in->message[0] == kEchoCode) ++g_echoes;
}

// Starts communication on an attached instance with the handler and defines
// the other host as a peer; the other host's element, 0 when there is none.
std::uint32_t StartCommunication(std::uint32_t other, vnh::MessageHandler handler) {
  vnh::SetMessageHandler(handler);
  std::int32_t status = 0;
  VNHInitCommunication(&status);
  vnh::MutexLock lock;
  vnh::UdpSession* s = vnh::TheUdpSession();
  if (s == nullptr) return 0;
  std::uint32_t element = vnh::NodeElement(s->channel, other);
  vnh::ChannelPeerDefined(element);
  return element;
}

std::vector<std::uint8_t> Message(std::size_t size) {
  std::vector<std::uint8_t> m(size, 9);
  m[0] = kEchoCode;
  return m;
}

class Instances {
 public:
  Instances() : pair_("vnhbench", [] { return StartCommunication(kHostA, Echo) != 0; }) {
    if (pair_.attached()) element_ = StartCommunication(kHostB, Count);
    // The first message may leave before the echoing process has its socket:
    // it then comes back only when it is sent again. None of that is measured.
    if (element_ != 0 && Send(Message(16))) {
      while (g_echoes == 0) VNHPollCommunication();
    }
  }
  bool ok() const { return element_ != 0; }

  bool Send(const std::vector<std::uint8_t>& m) {
    vnh::MutexLock lock;
    std::uint32_t buffer = vnh::TakeTransmitBuffer();
    if (buffer == 0) return false;
    std::memcpy(vnh::Buffer(buffer)->message, m.data(), m.size());
    vnh::Buffer(buffer)->length = static_cast<std::uint32_t>(m.size());
    vnh::SendMessage(element_, buffer);
    return true;
  }

 private:
  vnh_bench::LoopbackPair pair_;
  std::uint32_t element_ = 0;
};

Instances& TheInstances() {
  static Instances instances;
  return instances;
}

// As PlainUdp, through the two instances.
void Library(benchmark::State& state, int window) {
  Instances& instances = TheInstances();
  if (!instances.ok()) {
    state.SkipWithError("the library instances did not start");
    return;
  }
  std::vector<std::uint8_t> m = Message(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    int want = g_echoes + window;
    int sent = 0;
    while (g_echoes < want) {
      if (sent < window && instances.Send(m)) ++sent;
      VNHPollCommunication();
    }
  }
  state.SetItemsProcessed(state.iterations() * window);
}

}  // namespace

BENCHMARK_CAPTURE(PlainUdp, round_trip, 1)->Arg(16)->Arg(256)->Arg(1024)->UseRealTime();
BENCHMARK_CAPTURE(Library, round_trip, 1)->Arg(16)->Arg(256)->Arg(1024)->UseRealTime();
BENCHMARK_CAPTURE(PlainUdp, window, kWindow)->Arg(16)->Arg(256)->Arg(1024)->UseRealTime();
BENCHMARK_CAPTURE(Library, window, kWindow)->Arg(16)->Arg(256)->Arg(1024)->UseRealTime();
