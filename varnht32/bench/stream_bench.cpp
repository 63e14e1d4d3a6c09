// Stream throughput between two library instances on loopback UDP, beside
// plain UDP of the same shape as the limit. A stream moves one block of up to
// 255 bytes per send step and waits for the receiver's data answer before the
// next, so the limit is a plain datagram of 259 bytes answered by one of 4,
// one at a time. The receiving instance runs in a child process (see
// loopback_pair.h); both poll as fast as they can.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>

#include "varnht32/bench/loopback_pair.h"
#include "varnht32/bench/loopback_udp.h"
#include "varnht32/include/varnht32.h"

namespace {

constexpr std::uint32_t kBlock = 255;
constexpr std::size_t kDataMessage = kBlock + 4;
constexpr std::size_t kDataAnswer = 4;
constexpr std::uint32_t kSendUserValue = 1;

using vnh_bench::kHostA;
using vnh_bench::kHostB;
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

// Takes streams on an attached instance and starts communication.
bool StartCommunication() {
  std::int32_t status = 0;
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
  StreamPair() : pair_("vnhstream", StartCommunication) {
    if (!pair_.attached() || !StartCommunication()) return;
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
  vnh_bench::LoopbackPair pair_;
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
