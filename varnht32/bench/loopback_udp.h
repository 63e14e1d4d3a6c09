#pragma once
// Plain UDP sockets on loopback addresses, for the benchmarks' limits.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>

namespace vnh_bench {

// A socket bound to host:port (port 0: any free one); -1 when it cannot be.
inline int UdpSocket(std::uint32_t host, std::uint16_t port) {
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

inline std::uint16_t PortOf(int fd) {
  sockaddr_in a{};
  socklen_t n = sizeof a;
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n);
  return ntohs(a.sin_port);
}

inline void SendTo(int fd, std::uint32_t host, std::uint16_t port, const std::uint8_t* data,
                   std::size_t n) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(host);
  sendto(fd, data, n, 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
}

}  // namespace vnh_bench
