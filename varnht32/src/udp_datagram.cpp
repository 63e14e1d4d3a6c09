#include "varnht32/src/udp_datagram.h"

namespace vnh {

namespace {

constexpr std::uint8_t kTypeMask = 0x7F;

}  // namespace

bool DecodeDatagram(const std::uint8_t* bytes, std::size_t length, DatagramView* view) {
  if (bytes == nullptr || length < kDatagramHeaderBytes || length > kDatagramMax) return false;
  std::uint8_t type = bytes[0] & kTypeMask;
  if (type != kDatagramData && type != kDatagramControl && type != kDatagramQuery) return false;
  view->type = type;
  view->timeout = bytes[1];
  view->sequence = bytes[2];
  view->ack = bytes[3];
  view->payload = bytes + kDatagramHeaderBytes;
  view->payload_length = length - kDatagramHeaderBytes;
  return true;
}

void EncodeDatagramHeader(std::uint8_t type, std::uint8_t timeout, std::uint8_t sequence,
                          std::uint8_t ack, std::uint8_t* header) {
  header[0] = type;
  header[1] = timeout;
  header[2] = sequence;
  header[3] = ack;
}

}  // namespace vnh
