// UDP between two library instances on loopback, beside plain UDP of the same
// sizes as the limit: round-trip latency (one message there and back) and
// messages per second (a window of messages kept in flight, each echoed).
// The echoing instance runs in a child process with a shared segment of its
// own, as a second PC would; both poll as fast as they can.

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/channels.h"
#include "varnht32/src/knsock.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/link_settings.h"
#include "varnht32/src/message_buffers.h"
#include "varnht32/src/message_routing.h"
#include "varnht32/src/node_data.h"
#include "varnht32/src/segment.h"
#include "varnht32/src/system_variables.h"

namespace {

constexpr std::uint32_t kHostA = 0x7F000002u;
constexpr std::uint32_t kHostB = 0x7F000003u;
constexpr std::uint8_t kEchoCode = 31;
constexpr int kWindow = 8;

int UdpSocket(std::uint32_t host, std::uint16_t port) {
  int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(host);
  if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

std::uint16_t PortOf(int fd) {
  sockaddr_in a{};
  socklen_t n = sizeof a;
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n);
  return ntohs(a.sin_port);
}

void SendTo(int fd, std::uint32_t host, std::uint16_t port, const std::uint8_t* data, std::size_t n) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(host);
  sendto(fd, data, n, 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
}

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

void PlainUdpRoundTrip(benchmark::State& state) {
  auto size = static_cast<std::size_t>(state.range(0));
  SocketPair p;
  auto [a, b, pa, pb] = std::tie(p.a, p.b, p.pa, p.pb);
  std::vector<std::uint8_t> buffer(size, 7);
  for (auto _ : state) {
    SendTo(a, kHostB, pb, buffer.data(), size);
    recv(b, buffer.data(), size, 0);
    SendTo(b, kHostA, pa, buffer.data(), size);
    recv(a, buffer.data(), size, 0);
  }
  state.SetItemsProcessed(state.iterations());
}

void PlainUdpThroughput(benchmark::State& state) {
  auto size = static_cast<std::size_t>(state.range(0));
  SocketPair p;
  auto [a, b, pa, pb] = std::tie(p.a, p.b, p.pa, p.pb);
  std::vector<std::uint8_t> buffer(size, 7);
  for (auto _ : state) {
    for (int i = 0; i < kWindow; ++i) SendTo(a, kHostB, pb, buffer.data(), size);
    for (int i = 0; i < kWindow; ++i) {
      recv(b, buffer.data(), size, 0);
      SendTo(b, kHostA, pa, buffer.data(), size);
    }
    for (int i = 0; i < kWindow; ++i) recv(a, buffer.data(), size, 0);
  }
  state.SetItemsProcessed(state.iterations() * kWindow);
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

std::uint32_t StartInstance(const std::string& segment, std::uint32_t own, std::uint16_t port,
                            std::uint32_t other, vnh::MessageHandler handler) {
  vnh::Segment::Remove(segment);
  setenv(vnh::kSegmentEnvironment, segment.c_str(), 1);
  setenv(vnh::kUdpAddressEnvironment, vnh::DottedAddress(own).c_str(), 1);
  setenv(vnh::kUdpPortEnvironment, std::to_string(port).c_str(), 1);
  setenv(vnh::kSettingsDirectoryEnvironment, "/nonexistent", 1);  // the defaults, and TCP/IP on
  if (InitVarnholtnet() != 1) return 0;
  VNHIdentifier name{18, "EnableKelmnetTCPIP"};
  VNHValue on{};
  on.type = 1;
  on.value.boolean = 1;
  std::int32_t assigned = 0;
  VNHAssignSystemVariable(&name, &on, &assigned);
  if (assigned != 1) return 0;
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
  Instances() {
    int probe = UdpSocket(kHostA, 0);
    port_ = PortOf(probe);
    close(probe);
    std::string tag = std::to_string(getpid());
    echo_ = fork();
    if (echo_ == 0) {
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (StartInstance("/vnhbench.b." + tag, kHostB, port_, kHostA, Echo) == 0) _exit(1);
      for (;;) VNHPollCommunication();
    }
    segment_ = "/vnhbench.a." + tag;
    element_ = StartInstance(segment_, kHostA, port_, kHostB, Count);
    // The first message may leave before the echoing process has its socket:
    // it then comes back only when it is sent again. None of that is measured.
    if (element_ != 0 && Send(Message(16))) {
      while (g_echoes == 0) VNHPollCommunication();
    }
  }
  ~Instances() {
    kill(echo_, SIGKILL);
    waitpid(echo_, nullptr, 0);
    DllMain(nullptr, 0, nullptr);
    vnh::Segment::Remove(segment_);
    vnh::Segment::Remove("/vnhbench.b." + std::to_string(getpid()));
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
  std::uint16_t port_ = 0;
  pid_t echo_ = -1;
  std::string segment_;
  std::uint32_t element_ = 0;
};

Instances& TheInstances() {
  static Instances instances;
  return instances;
}

void LibraryRoundTrip(benchmark::State& state) {
  Instances& instances = TheInstances();
  if (!instances.ok()) {
    state.SkipWithError("the library instances did not start");
    return;
  }
  std::vector<std::uint8_t> m = Message(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    int want = g_echoes + 1;
    while (!instances.Send(m)) VNHPollCommunication();
    while (g_echoes < want) VNHPollCommunication();
  }
  state.SetItemsProcessed(state.iterations());
}

void LibraryThroughput(benchmark::State& state) {
  Instances& instances = TheInstances();
  if (!instances.ok()) {
    state.SkipWithError("the library instances did not start");
    return;
  }
  std::vector<std::uint8_t> m = Message(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    int want = g_echoes + kWindow;
    int sent = 0;
    while (g_echoes < want) {
      if (sent < kWindow && instances.Send(m)) ++sent;
      VNHPollCommunication();
    }
  }
  state.SetItemsProcessed(state.iterations() * kWindow);
}

}  // namespace

BENCHMARK(PlainUdpRoundTrip)->Arg(16)->Arg(256)->Arg(1024)->UseRealTime();
BENCHMARK(LibraryRoundTrip)->Arg(16)->Arg(256)->Arg(1024)->UseRealTime();
BENCHMARK(PlainUdpThroughput)->Arg(16)->Arg(256)->Arg(1024)->UseRealTime();
BENCHMARK(LibraryThroughput)->Arg(16)->Arg(256)->Arg(1024)->UseRealTime();
