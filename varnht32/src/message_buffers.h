#pragma once
// The message buffers of the link layers: 15 for receiving and 15 for sending,
// made once when the first client starts communication and recycled through
// two free lists for as long as the library lives. A buffer holds the 4 link
// bytes that go in front of a message on the wire (the UDP datagram header),
// the message itself, its length and the node-data element of the peer.

#include <cstdint>

namespace vnh {

constexpr std::uint32_t kMessageMax = 1024;
constexpr std::uint32_t kLinkHeaderBytes = 4;
constexpr int kReceiveBuffers = 15;
constexpr int kTransmitBuffers = 15;

// Lives in the shared heap (type 16).
struct MessageBuffer {
  std::uint8_t link[kLinkHeaderBytes];
  std::uint8_t message[kMessageMax];
  std::uint32_t length;   // message bytes from the function code on
  std::uint32_t element;  // destination when sending, origin when received
};
static_assert(sizeof(MessageBuffer) == 1036);

// Shared state of the buffers, inside SharedState.
struct MessageBufferPools {
  std::uint32_t receive[kReceiveBuffers];
  std::uint32_t transmit[kTransmitBuffers];
  std::uint32_t receive_free;  // list heads
  std::uint32_t transmit_free;
};

MessageBuffer* Buffer(std::uint32_t buffer);
// Makes the buffers unless they exist; false when the heap could not hold them.
bool SetUpMessageBuffers();
// A free buffer taken out of its list, or 0 when none is free.
std::uint32_t TakeTransmitBuffer();
std::uint32_t TakeReceiveBuffer();
// Back to the free list it belongs to, out of whatever list held it.
void FreeMessageBuffer(std::uint32_t buffer);
int FreeTransmitBuffers();
int FreeReceiveBuffers();

}  // namespace vnh
