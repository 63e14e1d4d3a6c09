#include "varnht32/src/datagram_port.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "varnht32/src/trace.h"
#include "varnht32/src/udp_datagram.h"

namespace vnh {

namespace {

// The faults of this process: the plan, what is held back, and per datagram
// how often it was sent.
struct Faults {
  bool active = false;
  DatagramFaultPlan plan;
  DatagramFaultCounts counts;
  bool holding = false;
  std::uint32_t held_to = 0;
  std::vector<std::uint8_t> held;
  std::unordered_map<std::uint64_t, int> sendings;
};

Faults& TheFaults() {
  static Faults faults;
  return faults;
}

std::uint64_t Mix(std::uint64_t h) {
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDULL;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ULL;
  h ^= h >> 33;
  return h;
}

bool Chance(const Faults& f, std::uint64_t key, int sending, char what, int per_mille) {
  if (per_mille <= 0) return false;
  std::uint64_t h = Mix(key ^ Mix((static_cast<std::uint64_t>(f.plan.seed) << 32) ^
                                  (static_cast<std::uint64_t>(sending) << 8) ^
                                  static_cast<std::uint8_t>(what)));
  return h % 1000 < static_cast<std::uint64_t>(per_mille);
}

// Tells a datagram from its own resendings: a data datagram with a number is
// the same datagram whatever it acknowledges.
std::uint64_t DatagramKey(std::uint32_t to, const std::uint8_t* data, std::size_t n) {
  std::uint64_t h = 1469598103934665603ULL ^ to;
  bool numbered_data = n >= kDatagramHeaderBytes && (data[0] & 0x7F) == kDatagramData &&
                       data[2] < kSequenceNone;
  for (std::size_t i = 0; i < n; ++i) {
    if (numbered_data && i == 3) continue;
    h = (h ^ data[i]) * 1099511628211ULL;
  }
  return h;
}

class UdpPort : public DatagramPort {
 public:
  UdpPort(int fd, std::uint16_t port) : fd_(fd), port_(port) {}
  ~UdpPort() override { close(fd_); }

  bool Send(std::uint32_t address, const std::uint8_t* data, std::size_t length) override {
    Faults& f = TheFaults();
    if (!f.active) return RawSend(address, data, length);
    ++f.counts.sent;
    std::uint64_t key = DatagramKey(address, data, length);
    int sending = f.sendings[key]++;
    bool may_fault = f.plan.faulty_sendings < 0 || sending < f.plan.faulty_sendings;
    if (may_fault && Chance(f, key, sending, 'd', f.plan.drop_per_mille)) {
      ++f.counts.dropped;
      return true;
    }
    if (may_fault && !f.holding && Chance(f, key, sending, 'r', f.plan.reorder_per_mille)) {
      // Goes out behind the next datagram.
      ++f.counts.reordered;
      f.holding = true;
      f.held_to = address;
      f.held.assign(data, data + length);
      return true;
    }
    bool ok = RawSend(address, data, length);
    if (Chance(f, key, sending, 'u', f.plan.duplicate_per_mille)) {
      ++f.counts.duplicated;
      RawSend(address, data, length);
    }
    FlushHeld();
    return ok;
  }

  long Receive(std::uint8_t* data, std::size_t capacity, std::uint32_t* from) override {
    FlushHeld();
    for (;;) {
      sockaddr_in peer{};
      socklen_t size = sizeof peer;
      ssize_t n = recvfrom(fd_, data, capacity, MSG_TRUNC, reinterpret_cast<sockaddr*>(&peer), &size);
      if (n < 0) return -1;
      if (static_cast<std::size_t>(n) > capacity) continue;  // too long for any datagram of ours
      *from = ntohl(peer.sin_addr.s_addr);
      return static_cast<long>(n);
    }
  }

 private:
  void FlushHeld() {
    Faults& f = TheFaults();
    if (!f.holding) return;
    f.holding = false;
    RawSend(f.held_to, f.held.data(), f.held.size());
  }

  bool RawSend(std::uint32_t address, const std::uint8_t* data, std::size_t length) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port_);
    to.sin_addr.s_addr = htonl(address);
    if (sendto(fd_, data, length, 0, reinterpret_cast<sockaddr*>(&to), sizeof to) < 0) {
      Trace("SendToKNSock: sendto failed, errno=%d", errno);
      return false;
    }
    return true;
  }

  int fd_;
  std::uint16_t port_;
};

DatagramPortOpener g_opener = OpenUdpPort;

}  // namespace

std::unique_ptr<DatagramPort> OpenUdpPort(const UdpEndpoint& endpoint) {
  int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    Trace("InitKNSock: socket failed, errno=%d", errno);
    return nullptr;
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(endpoint.port);
  address.sin_addr.s_addr = htonl(endpoint.bind_address);
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    Trace("InitKNSock: bind failed, errno=%d", errno);
    close(fd);
    return nullptr;
  }
  int on = 1;
  if (setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
    // Broadcasts are then refused; the socket still serves every peer.
    Trace("InitKNSock: setsockopt failed, errno=%d", errno);
  }
  return std::make_unique<UdpPort>(fd, endpoint.port);
}

void SetDatagramPortOpener(DatagramPortOpener opener) {
  g_opener = opener != nullptr ? opener : OpenUdpPort;
}

std::unique_ptr<DatagramPort> OpenDatagramPort(const UdpEndpoint& endpoint) {
  return g_opener(endpoint);
}

void SetDatagramFaults(const DatagramFaultPlan* plan) {
  Faults& f = TheFaults();
  f = Faults{};
  if (plan == nullptr) return;
  f.active = true;
  f.plan = *plan;
}

DatagramFaultCounts DatagramFaultTotals() { return TheFaults().counts; }

}  // namespace vnh
