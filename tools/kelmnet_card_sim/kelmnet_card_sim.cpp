// kelmnet_card_sim: adapter cards on one simulated Kelmnet bus, each behind a
// Unix-domain socket that the fieldbus library opens in place of the card's
// device file.
//
//   kelmnet_card_sim <folder> <cards>
//
// makes the sockets <folder>/kelmnet1 .. kelmnet<cards> and <folder>/control,
// prints "ready" once they listen, and runs until "quit" arrives on the
// control socket or its standard input closes (so it ends with whoever
// started it).
//
// Card socket: a client that connects gets one byte, 1 when the card is its
// own, 0 when another client holds the card (the connection then closes).
// Each request is the 4-byte little-endian request code followed by the
// 44-byte record; the answer is the 44-byte record.
//
// Control socket: one request a line, one answer a line:
//   busy <card> <n> [code]  the next n requests of the card (of that request
//                           code only, when given) are answered busy
//   reset <card>            the card restarts: it leaves the bus, loses its
//                           buffers and has a power-up mail as its answer
//   drop <card> <skip> <n>  of the frames the card puts next, <skip> travel,
//                           then <n> are lost on the bus
//   stats <card>            "started s node n put p delivered d lost l busy b
//                           commands c1 c2 ..."
//   quit

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/base/little_endian.h"
#include "tools/kelmnet_card_sim/card_bus.h"

namespace {

using kelmnet_sim::CardBus;

int Listen(const std::string& path) {
  sockaddr_un address{};
  if (path.size() >= sizeof address.sun_path) return -1;
  unlink(path.c_str());
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path.c_str());
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 8) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

bool WriteAll(int fd, const void* data, std::size_t n) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  while (n > 0) {
    ssize_t w = send(fd, p, n, MSG_NOSIGNAL);
    if (w < 0 && errno == EINTR) continue;
    if (w < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd pfd{fd, POLLOUT, 0};
      if (poll(&pfd, 1, 5000) <= 0) return false;
      continue;
    }
    if (w <= 0) return false;
    p += w;
    n -= static_cast<std::size_t>(w);
  }
  return true;
}

struct Connection {
  int fd = -1;
  int card = 0;  // 0: a control connection
  std::vector<std::uint8_t> input;
};

class Simulator {
 public:
  Simulator(const std::string& folder, int cards) : bus_(cards), folder_(folder) {}

  bool Listen() {
    for (int n = 1; n <= bus_.card_count(); ++n) {
      int fd = ::Listen(folder_ + "/kelmnet" + std::to_string(n));
      if (fd < 0) return false;
      listeners_.push_back({fd, n});
    }
    int control = ::Listen(folder_ + "/control");
    if (control < 0) return false;
    listeners_.push_back({control, 0});
    return true;
  }

  void Run() {
    while (!quit_) {
      std::vector<pollfd> fds;
      fds.push_back({STDIN_FILENO, POLLIN, 0});
      for (const auto& l : listeners_) fds.push_back({l.fd, POLLIN, 0});
      for (const auto& c : connections_) fds.push_back({c.fd, POLLIN, 0});
      if (poll(fds.data(), fds.size(), -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (fds[0].revents != 0) {
        char byte;
        if (read(STDIN_FILENO, &byte, 1) <= 0) return;
      }
      std::size_t at = 1;
      std::size_t listener_count = listeners_.size();
      for (std::size_t i = 0; i < listener_count; ++i, ++at) {
        if (fds[at].revents != 0) Accept(listeners_[i].fd, listeners_[i].card);
      }
      std::vector<int> ready;
      for (std::size_t i = at; i < fds.size(); ++i) {
        if (fds[i].revents != 0) ready.push_back(fds[i].fd);
      }
      for (int fd : ready) Serve(fd);
    }
  }

 private:
  struct Listener {
    int fd;
    int card;
  };

  // True while a live client holds the card. A client that has closed its
  // end lets the card go at once, even before its end of file is served, so
  // that the next owner of the device is not refused.
  bool CardHeld(int card) {
    for (std::size_t i = 0; i < connections_.size(); ++i) {
      if (connections_[i].card != card) continue;
      std::uint8_t byte = 0;
      if (recv(connections_[i].fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0) {
        close(connections_[i].fd);
        connections_.erase(connections_.begin() + static_cast<long>(i));
        return false;
      }
      return true;
    }
    return false;
  }

  void Accept(int listener, int card) {
    // Non-blocking: a connection is only read when it has something to say.
    int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) return;
    if (card != 0) {
      std::uint8_t granted = CardHeld(card) ? 0 : 1;
      if (!WriteAll(fd, &granted, 1) || granted == 0) {
        close(fd);
        return;
      }
    }
    connections_.push_back({fd, card, {}});
  }

  void Serve(int fd) {
    std::size_t i = 0;
    while (i < connections_.size() && connections_[i].fd != fd) ++i;
    if (i == connections_.size()) return;
    std::uint8_t chunk[4096];
    ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
    if (n <= 0) {
      close(fd);
      connections_.erase(connections_.begin() + static_cast<long>(i));
      return;
    }
    Connection& c = connections_[i];
    c.input.insert(c.input.end(), chunk, chunk + n);
    if (c.card != 0) {
      ServeCard(c);
    } else {
      ServeControl(c);
    }
  }

  void ServeCard(Connection& c) {
    constexpr std::size_t kRequestBytes = 4 + kelmnet_sim::kRecordBytes;
    std::size_t used = 0;
    while (c.input.size() - used >= kRequestBytes) {
      std::uint32_t code = GetLe32(c.input.data() + used);
      kelmnet_sim::Record record;
      std::memcpy(record, c.input.data() + used + 4, sizeof record);
      bus_.Handle(c.card, code, record);
      WriteAll(c.fd, record, sizeof record);
      used += kRequestBytes;
    }
    c.input.erase(c.input.begin(), c.input.begin() + static_cast<long>(used));
  }

  void ServeControl(Connection& c) {
    for (;;) {
      auto end = std::find(c.input.begin(), c.input.end(), '\n');
      if (end == c.input.end()) return;
      std::string line(c.input.begin(), end);
      c.input.erase(c.input.begin(), end + 1);
      std::string answer;
      if (line == "quit") {
        quit_ = true;
        answer = "ok";
      } else {
        answer = bus_.Control(line);
      }
      answer += '\n';
      WriteAll(c.fd, answer.data(), answer.size());
    }
  }

  CardBus bus_;
  std::string folder_;
  std::vector<Listener> listeners_;
  std::vector<Connection> connections_;
  bool quit_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: kelmnet_card_sim <folder> <cards>\n");
    return 2;
  }
  int cards = std::atoi(argv[2]);
  if (cards < 1 || cards > 16) {
    std::fprintf(stderr, "kelmnet_card_sim: 1 to 16 cards\n");
    return 2;
  }
  Simulator simulator(argv[1], cards);
  if (!simulator.Listen()) {
    std::fprintf(stderr, "kelmnet_card_sim: cannot make the sockets in %s\n", argv[1]);
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  simulator.Run();
  return 0;
}
