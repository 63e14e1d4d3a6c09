#pragma once
// Streams: named, flow-controlled byte channels between a client and a remote
// node, in sixteen slots for the machine. Data is pulled from the sending
// client by its data-to-send callback when a send step runs and pushed to the
// receiving client by its data-received callback; the peer's credit says how
// much it takes next. Runs under the library mutex.

#include <cstdint>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/kelmnet_messages.h"

namespace vnh {

enum StreamState : std::uint32_t {
  kStreamOpening = 0,
  kStreamOpen = 1,
  kStreamClosing = 2,
};
constexpr std::uint32_t kStreamOpenedByRemote = 1;
constexpr std::uint8_t kCreditOpen = 255;

// Lives in the shared heap (type 19, 28 bytes).
struct StreamRecord {
  std::uint32_t flags;
  std::uint8_t own_number;
  std::uint8_t remote_number;
  std::uint8_t reserved[2];
  std::uint32_t state;
  std::uint8_t own_credit;
  std::uint8_t peer_credit;
  std::uint8_t reserved2[2];
  std::uint32_t element;
  std::uint32_t user_value;
  std::uint32_t owner;
};
static_assert(sizeof(StreamRecord) == 28);

StreamRecord* StreamOf(std::uint32_t stream);
void SetUpStreams();

// VNHStreamRequest's record: opening, credit 255, owned by the caller, in the
// first free slot after the one taken last. 0 with status -4 when every slot
// is in use or no record is left.
std::uint32_t NewStream(std::uint32_t element, std::uint32_t user_value, std::int32_t* status);
void FreeStream(std::uint32_t stream);
// The client that owns stream number `number` (routing of stream messages).
std::uint32_t StreamOwner(std::uint8_t number);

// A stream step (action kind 7) started by its owner's poll.
std::int32_t StartStreamStep(std::uint32_t association, std::uint32_t action, bool* finished);
// The step ended with `status` (answer, error, time-out or abort): a failed
// open, a time-out and a lost connection free the stream.
void StreamActionEnded(std::uint32_t action, std::int32_t status);
// A received stream message (function code 22) from `element`.
void HandleStreamMessage(std::uint32_t element, const KelmnetMessage& m, std::int32_t decoded);

// The node is lost or restarted: its streams are closed (close callback, record
// freed). The callback runs on the owner's thread: a stream of another client
// is queued to it as an event.
void CloseStreamsOfNode(std::uint32_t element);
void DispatchStreamEvent(std::uint32_t stream);
// The client ends communication: its streams are closed towards their peers and freed.
void FreeClientStreams(std::uint32_t client);

}  // namespace vnh
