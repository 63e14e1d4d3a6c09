// The simulated channel that stands in for every other channel when
// `VarnholtnetSimulate3` is set: one channel, number 1, own node 2, up at
// once, on which every message sent comes back as if its destination had sent
// it. Registered as the channel backend of kind 0.

#include <cstring>

#include "varnht32/src/library_frame.h"
#include "varnht32/src/link_channel.h"
#include "varnht32/src/link_settings.h"
#include "varnht32/src/message_buffers.h"
#include "varnht32/src/message_routing.h"
#include "varnht32/src/node_data.h"

namespace vnh {

namespace {

constexpr std::uint8_t kSimulatedChannel = 1;
constexpr std::uint32_t kSimulatedOwnNode = 2;

void OpenSimulatedChannel() {
  if (!SimulatedChannelOnly()) return;
  std::uint32_t c = NewLinkChannel(kChannelSimulated, kSimulatedChannel);
  if (c == 0) return;
  LinkChannel* l = Link(c);
  l->common.own_address = kSimulatedOwnNode;
  l->common.state = kChannelUp;
  l->alone = 0;
  GiveChannelNodeElements(c);
}

void SimulatedTransmitPoll(std::uint32_t channel) {
  Heap heap = SharedHeap();
  std::uint32_t list = Channel(channel)->send_list;
  while (std::uint32_t m = heap.First(list)) {
    // A message waits for a free receive buffer rather than being lost.
    std::uint32_t rx = TakeReceiveBuffer();
    if (rx == 0) return;
    const MessageBuffer* from = Buffer(m);
    MessageBuffer* to = Buffer(rx);
    std::uint32_t n = from->length <= kMessageMax ? from->length : kMessageMax;
    std::memcpy(to->message, from->message, n);
    to->length = n;
    to->element = from->element;
    FreeMessageBuffer(m);
    ReceiveMessage(rx);
  }
}

const ChannelBackend kSimulatedBackend = {
    .open = OpenSimulatedChannel,
    .transmit_poll = SimulatedTransmitPoll,
    .receive_poll = nullptr,
    .housekeeping = nullptr,
    .take_over = nullptr,
    .let_go = nullptr,
    .peer_defined = nullptr,
    .peer_released = nullptr,
    .forget = ReleaseLinkBuffers,
};

[[maybe_unused]] const bool g_registered =
    (RegisterChannelBackend(kChannelSimulated, &kSimulatedBackend), true);

}  // namespace

}  // namespace vnh
