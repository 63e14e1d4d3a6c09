#include "varnht32/src/link_channel.h"

#include <cstring>

#include "varnht32/src/library_frame.h"
#include "varnht32/src/message_buffers.h"

namespace vnh {

namespace {

constexpr char kDefaultVersion[] = "1.3 89-04-01";
constexpr std::uint32_t kRequestWaitMs = 150;
constexpr std::uint32_t kPollCounterAtCreation = 32000;

}  // namespace

LinkChannel* Link(std::uint32_t channel) { return SharedHeap().Data<LinkChannel>(channel); }

std::uint32_t NewLinkChannel(ChannelKind kind, std::uint8_t number) {
  std::uint32_t c = NewChannel(kind, number);
  if (c == 0) return 0;
  LinkChannel* l = Link(c);
  std::memcpy(l->common.version, kDefaultVersion, sizeof l->common.version);
  l->alone = 1;
  l->request_pending = 0;
  l->partial_count = 0;
  l->restart_needed = 0;
  l->request_stamp = TimeStamp{0, 0};
  l->request_wait = kRequestWaitMs;
  l->poll_counter = kPollCounterAtCreation;
  l->tx_fragments = 0;
  l->tx_next = 0;
  l->tx_sequence = 0;
  l->tx_in_progress = 0;
  l->tx_message = 0;
  l->tx_index = kNoDriverIndex;
  std::memset(l->partial, 0, sizeof l->partial);
  std::memset(l->partial_minute, 0, sizeof l->partial_minute);
  l->network = 0;
  l->broadcast = 0;
  return c;
}

void ReleaseLinkBuffers(std::uint32_t channel) {
  LinkChannel* l = Link(channel);
  Heap heap = SharedHeap();
  while (std::uint32_t b = heap.First(l->common.send_list)) FreeMessageBuffer(b);
  if (l->tx_in_progress != 0) FreeMessageBuffer(l->tx_message);
  l->tx_in_progress = 0;
  l->tx_message = 0;
  for (std::uint32_t& b : l->partial) {
    FreeMessageBuffer(b);
    b = 0;
  }
  l->partial_count = 0;
}

}  // namespace vnh
