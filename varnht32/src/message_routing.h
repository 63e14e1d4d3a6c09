#pragma once
// Messages between the link layers and the clients: a message to send goes to
// its channel's send list; a message that arrives goes, as an event, to the
// one client that must handle it, chosen by its function code.

#include <cstdint>

namespace vnh {

// Function codes whose requests the server client answers.
bool IsServerFunctionCode(std::uint8_t code);

// Who owns what the receiving side needs to know about; the connection and
// stream services fill these in. A null entry, or 0 from one, means none.
struct MessageOwnerLookup {
  // The client that owns stream number `stream`.
  std::uint32_t (*stream_owner)(std::uint8_t stream);
  // The owner of the first action in progress on the association of the node.
  std::uint32_t (*action_owner)(std::uint32_t element);
};
void SetMessageOwnerLookup(const MessageOwnerLookup* lookup);

// What the receiving client does with a message, on its own thread while the
// message's node is the current origin; the buffer goes back afterwards.
using MessageHandler = void (*)(std::uint32_t buffer);
void SetMessageHandler(MessageHandler handler);

// Hands a message to its channel: the buffer's destination is set and it waits
// in the channel's send list; on a card channel that is up but alone on its
// bus it goes straight back to the free list instead.
void SendMessage(std::uint32_t element, std::uint32_t buffer);
// The client that must handle a received message (its buffer's element is the
// origin); 0 when none.
std::uint32_t ReceivingClient(std::uint32_t buffer);
// Queues a received message to its client, or frees it when there is none.
void ReceiveMessage(std::uint32_t buffer);
// Event dispatch of a received message on the client's thread.
void DispatchMessage(std::uint32_t buffer);

// The hex trace of a message (with `KelmnetDBGWritelns2`): a head line with
// the caption, the channel, the node and the length, then twenty bytes a line.
void TraceMessage(const char* caption, std::uint32_t element, const std::uint8_t* bytes,
                  std::uint32_t length);

}  // namespace vnh
