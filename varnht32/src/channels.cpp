#include "varnht32/src/channels.h"

#include "varnht32/src/block_types.h"
#include "varnht32/src/kelmnet_messages.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/message_buffers.h"
#include "varnht32/src/message_routing.h"
#include "varnht32/src/node_data.h"

namespace vnh {

static_assert(sizeof(ChannelRecord) <= RegisteredSize(kTypeChannel));

namespace {

const ChannelBackend* g_backends[kChannelKinds] = {};

const ChannelBackend* BackendOf(std::uint32_t channel) {
  std::uint32_t kind = Channel(channel)->kind;
  return kind < kChannelKinds ? g_backends[kind] : nullptr;
}

template <class Step>
void ForEachChannel(Step step) {
  Heap heap = SharedHeap();
  std::uint32_t c = heap.First(Shared().channel_list);
  while (c != 0) {
    std::uint32_t next = heap.SuccElem(c);
    step(c);
    c = next;
  }
}

}  // namespace

void RegisterChannelBackend(ChannelKind kind, const ChannelBackend* backend) {
  if (kind < kChannelKinds) g_backends[kind] = backend;
}

ChannelRecord* Channel(std::uint32_t channel) { return SharedHeap().Data<ChannelRecord>(channel); }

void SetUpChannelModule() { Shared().channel_list = SharedHeap().NewListHead(); }

std::uint32_t NewChannel(ChannelKind kind, std::uint8_t number) {
  Heap heap = SharedHeap();
  std::uint32_t c = heap.AllocateTyped(kTypeChannel);
  if (c == 0) return 0;
  ChannelRecord* r = Channel(c);
  r->state = kChannelDown;
  r->number = number;
  r->kind = kind;
  r->device = -1;
  r->node_list = heap.NewListHead();
  r->send_list = heap.NewListHead();
  heap.Into(c, Shared().channel_list);
  return c;
}

void OpenChannels() {
  if (!SetUpMessageBuffers()) return;
  if (!SharedHeap().Last(Shared().channel_list)) {
    // The channels outlive the communication that opened them: a later first
    // communicating client takes them up again rather than making twins.
    TakeOverChannels();
    return;
  }
  for (const ChannelBackend* backend : {g_backends[kChannelCard], g_backends[kChannelTcpIp],
                                        g_backends[kChannelSimulated]}) {
    if (backend != nullptr && backend->open != nullptr) backend->open();
  }
}

void PollChannels() {
  ForEachChannel([](std::uint32_t c) {
    const ChannelBackend* b = BackendOf(c);
    if (b == nullptr) return;
    if (b->transmit_poll != nullptr) b->transmit_poll(c);
    if (b->receive_poll != nullptr) b->receive_poll(c);
    if (b->housekeeping != nullptr) b->housekeeping(c);
  });
}

void PollChannelsTransmit() {
  ForEachChannel([](std::uint32_t c) {
    const ChannelBackend* b = BackendOf(c);
    if (b != nullptr && b->transmit_poll != nullptr) b->transmit_poll(c);
  });
}

void TakeOverChannels() {
  Heap heap = SharedHeap();
  ForEachChannel([&heap](std::uint32_t c) {
    const ChannelBackend* b = BackendOf(c);
    bool keep = Channel(c)->state == kChannelUp &&
                (b == nullptr || b->take_over == nullptr || b->take_over(c));
    if (keep) return;
    if (b != nullptr && b->forget != nullptr) b->forget(c);
    heap.Takeout(c);
  });
}

void LetGoOfChannels() {
  ForEachChannel([](std::uint32_t c) {
    const ChannelBackend* b = BackendOf(c);
    if (b != nullptr && b->let_go != nullptr) b->let_go(c);
  });
}

void ChannelPeerDefined(std::uint32_t element) {
  if (SharedHeap().CheckHandle(element, kTypeNodeData) != 1) return;
  const ChannelBackend* b = BackendOf(Node(element)->channel);
  if (b != nullptr && b->peer_defined != nullptr) b->peer_defined(element);
}

void ChannelPeerReleased(std::uint32_t element) {
  if (SharedHeap().CheckHandle(element, kTypeNodeData) != 1) return;
  const ChannelBackend* b = BackendOf(Node(element)->channel);
  if (b != nullptr && b->peer_released != nullptr) b->peer_released(element);
}

void AnnounceNodeIdentity() {
  // An identity message with result 20 to every node of every channel; a
  // channel without a free transmit buffer now misses this announcement.
  ForEachChannel([](std::uint32_t c) {
    std::uint32_t broadcast = FindNodeElement(c, kBroadcastNode);
    if (broadcast == 0) return;
    std::uint32_t buffer = TakeTransmitBuffer();
    if (buffer == 0) return;
    MessageBuffer* b = Buffer(buffer);
    b->message[0] = kCodeIdentity;
    b->message[1] = kResultNewIdentity;
    b->length = 2;
    SendMessage(broadcast, buffer);
  });
}

}  // namespace vnh
