// Stream throughput between two library instances on loopback UDP, beside
// plain UDP of the same shape as the limit. A stream moves one block of up to
// 255 bytes per send step and waits for the receiver's data answer before the
// next, so the limit is a plain datagram of 259 bytes answered by one of 4,
// one at a time. The receiving instance runs in a child process with a shared
// segment of its own, as a second PC would; both poll as fast as they can.

#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "varnht32/bench/loopback_udp.h"
#include "varnht32/include/varnht32.h"
#include "varnht32/src/link_settings.h"
#include "varnht32/src/segment.h"
#include "varnht32/src/system_variables.h"

namespace {

constexpr std::uint32_t kHostA = 0x7F000002u;
constexpr std::uint32_t kHostB = 0x7F000003u;
constexpr std::uint32_t kBlock = 255;
constexpr std::size_t kDataMessage = kBlock + 4;
constexpr std::size_t kDataAnswer = 4;
constexpr std::uint32_t kSendUserValue = 1;

using vnh_bench::PortOf;
using vnh_bench::SendTo;
using vnh_bench::UdpSocket;

// The limit: a block there, its answer back, one at a time.
void PlainUdpStopAndWait(benchmark::State& state) {
  int a = UdpSocket(kHostA, 0);
  int b = UdpSocket(kHostB, 0);
  std::uint16_t pa = PortOf(a);
  std::uint16_t pb = PortOf(b);
  std::uint8_t buffer[kDataMessage] = {};
  for (auto _ : state) {
    SendTo(a, kHostB, pb, buffer, kDataMessage);
    recv(b, buffer, kDataMessage, 0);
    SendTo(b, kHostA, pa, buffer, kDataAnswer);
    recv(a, buffer, kDataMessage, 0);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kBlock);
  close(a);
  close(b);
}

// ---- two library instances ----

std::uint64_t g_received = 0;
int g_done = 0;
std::int32_t g_status = 0;

void VNH_CALL Accept(const VNHIdentifier*, VNHHandle*, std::uint32_t*, std::int32_t* status) {
  *status = 1;
}

void VNH_CALL Received(std::uint32_t*, std::uint32_t* length, std::uint8_t*, std::int32_t* status) {
  g_received += *length;
  *status = 1;
}

void VNH_CALL Fill(std::uint32_t*, std::uint32_t* length, std::uint8_t* buffer, std::int32_t* status) {
  std::memset(buffer, 0x5A, *length);
  *status = 1;
}

void VNH_CALL Done(std::uint32_t*, const VNHActionResult* result) {
  g_status = result->status;
  ++g_done;
}

bool StartInstance(const std::string& segment, std::uint32_t own, std::uint16_t port) {
  vnh::Segment::Remove(segment);
  setenv(vnh::kSegmentEnvironment, segment.c_str(), 1);
  setenv(vnh::kUdpAddressEnvironment, vnh::DottedAddress(own).c_str(), 1);
  setenv(vnh::kUdpPortEnvironment, std::to_string(port).c_str(), 1);
  setenv(vnh::kSettingsDirectoryEnvironment, "/nonexistent", 1);  // the defaults, and TCP/IP on
  if (InitVarnholtnet() != 1) return false;
  VNHIdentifier name{18, "EnableKelmnetTCPIP"};
  VNHValue on{};
  on.type = 1;
  on.value.boolean = 1;
  std::int32_t status = 0;
  VNHAssignSystemVariable(&name, &on, &status);
  if (status != 1) return false;
  VNHSetStreamCallBacks(Accept, Received, Fill, nullptr, &status);
  VNHSetAsyncActionCallBack(Done, &status);
  VNHInitCommunication(&status);
  return status == 1;
}

// Waits for the next completion; false when it failed.
bool Complete(int before) {
  while (g_done == before) VNHPollCommunication();
  return g_status == 1;
}

class StreamPair {
 public:
  StreamPair() {
    int probe = UdpSocket(kHostA, 0);
    std::uint16_t port = PortOf(probe);
    close(probe);
    std::string tag = std::to_string(getpid());
    receiver_ = fork();
    if (receiver_ == 0) {
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (!StartInstance("/vnhstream.b." + tag, kHostB, port)) _exit(1);
      for (;;) VNHPollCommunication();
    }
    segment_ = "/vnhstream.a." + tag;
    if (!StartInstance(segment_, kHostA, port)) return;
    VNHIdentifier channel{1, "5"};
    VNHIdentifier node{9, "127.0.0.3"};
    std::int32_t status = 0;
    VNHDefineConnection(&channel, &node, &connection_, &status);
    if (status != 1) return;
    while (VNHConnectionStatus(&connection_) == 0) VNHPollCommunication();
    if (VNHConnectionStatus(&connection_) != 1) return;
    VNHIdentifier name{5, "STREM"};
    std::uint32_t user = 0;
    VNHHandle action = kSendUserValue;
    int before = g_done;
    VNHStreamRequest(&connection_, &user, &name, &stream_, &action, &status);
    ok_ = status == 1 && Complete(before);
  }
  ~StreamPair() {
    kill(receiver_, SIGKILL);
    waitpid(receiver_, nullptr, 0);
    DllMain(nullptr, 0, nullptr);
    vnh::Segment::Remove(segment_);
    vnh::Segment::Remove("/vnhstream.b." + std::to_string(getpid()));
  }
  bool ok() const { return ok_; }

  // One send step: a block goes and its data answer comes back.
  bool Send() {
    VNHHandle action = kSendUserValue;
    std::int32_t status = 0;
    int before = g_done;
    VNHStreamSendData(&stream_, &action, &status);
    return status == 1 && Complete(before);
  }

 private:
  pid_t receiver_ = -1;
  std::string segment_;
  VNHHandle connection_ = 0;
  VNHHandle stream_ = 0;
  bool ok_ = false;
};

StreamPair& ThePair() {
  static StreamPair pair;
  return pair;
}

void LibraryStream(benchmark::State& state) {
  StreamPair& pair = ThePair();
  if (!pair.ok()) {
    state.SkipWithError("the stream between the instances did not open");
    return;
  }
  for (auto _ : state) {
    if (!pair.Send()) {
      state.SkipWithError("a send step failed");
      return;
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kBlock);
}

}  // namespace

BENCHMARK(PlainUdpStopAndWait)->UseRealTime();
BENCHMARK(LibraryStream)->UseRealTime();
