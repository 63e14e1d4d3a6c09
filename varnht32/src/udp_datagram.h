#pragma once
// The datagrams of the TCP/IP channel: [0] type (bit 7 ignored): 'S' data,
// '!' control, '?' query; [1] the sender's time-out in seconds; [2] the
// sequence number of this datagram (0 to 253; 254 none; 255 reset); [3] the
// acknowledgement, the number the sender expects next (254 none, 255 reset);
// then the Kelmnet message of a data datagram, or up to three option bytes
// of a control datagram: time-out in seconds (0 none), mode (0 to 2), spare.

#include <cstddef>
#include <cstdint>

namespace vnh {

enum DatagramType : std::uint8_t {
  kDatagramData = 'S',
  kDatagramControl = '!',
  kDatagramQuery = '?',
};

constexpr std::uint8_t kSequenceNone = 254;
constexpr std::uint8_t kSequenceReset = 255;
constexpr std::uint32_t kSequenceModulo = 254;
constexpr std::size_t kDatagramHeaderBytes = 4;
constexpr std::size_t kDatagramMax = 1028;
constexpr std::size_t kControlOptionsMax = 3;

struct DatagramView {
  std::uint8_t type;
  std::uint8_t timeout;
  std::uint8_t sequence;
  std::uint8_t ack;
  const std::uint8_t* payload;
  std::size_t payload_length;
};

// False for a datagram shorter than the header, longer than 1028 bytes or of
// another type.
bool DecodeDatagram(const std::uint8_t* bytes, std::size_t length, DatagramView* view);
void EncodeDatagramHeader(std::uint8_t type, std::uint8_t timeout, std::uint8_t sequence,
                          std::uint8_t ack, std::uint8_t* header);
// The sequence number after `n`, counting 0 to 253 and round again.
constexpr std::uint8_t NextSequence(std::uint8_t n) {
  return static_cast<std::uint8_t>((n + 1u) % kSequenceModulo);
}
// How far `to` lies after `from` in sequence order (both 0 to 253).
constexpr std::uint32_t SequenceDistance(std::uint8_t from, std::uint8_t to) {
  return (to + kSequenceModulo - from) % kSequenceModulo;
}

}  // namespace vnh
