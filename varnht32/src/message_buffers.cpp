#include "varnht32/src/message_buffers.h"

#include "varnht32/src/block_types.h"
#include "varnht32/src/library_frame.h"

namespace vnh {

namespace {

MessageBufferPools& Pools() { return Shared().buffers; }

bool IsOneOf(const std::uint32_t (&set)[kReceiveBuffers], std::uint32_t buffer) {
  for (std::uint32_t b : set) {
    if (b == buffer) return true;
  }
  return false;
}

std::uint32_t TakeFrom(std::uint32_t head) {
  Heap heap = SharedHeap();
  std::uint32_t b = heap.First(head);
  if (b == 0) return 0;
  heap.Takeout(b);
  Buffer(b)->length = 0;
  Buffer(b)->element = 0;
  return b;
}

bool MakeSet(Heap& heap, std::uint32_t (&set)[kReceiveBuffers], std::uint32_t head) {
  for (std::uint32_t& b : set) {
    b = heap.AllocateTyped(kTypeMessageBuffer);
    if (b == 0) return false;
    heap.Into(b, head);
  }
  return true;
}

}  // namespace

static_assert(sizeof(MessageBuffer) <= RegisteredSize(kTypeMessageBuffer));
static_assert(kReceiveBuffers == kTransmitBuffers);

MessageBuffer* Buffer(std::uint32_t buffer) { return SharedHeap().Data<MessageBuffer>(buffer); }

bool SetUpMessageBuffers() {
  MessageBufferPools& p = Pools();
  if (p.receive_free != 0 && p.transmit_free != 0) return true;
  Heap heap = SharedHeap();
  p.receive_free = heap.NewListHead();
  p.transmit_free = heap.NewListHead();
  if (p.receive_free == 0 || p.transmit_free == 0) return false;
  return MakeSet(heap, p.receive, p.receive_free) && MakeSet(heap, p.transmit, p.transmit_free);
}

std::uint32_t TakeTransmitBuffer() { return TakeFrom(Pools().transmit_free); }

std::uint32_t TakeReceiveBuffer() { return TakeFrom(Pools().receive_free); }

void FreeMessageBuffer(std::uint32_t buffer) {
  if (buffer == 0) return;
  MessageBufferPools& p = Pools();
  Heap heap = SharedHeap();
  if (IsOneOf(p.receive, buffer)) {
    heap.Into(buffer, p.receive_free);
  } else if (IsOneOf(p.transmit, buffer)) {
    heap.Into(buffer, p.transmit_free);
  }
}

int FreeTransmitBuffers() {
  return static_cast<int>(SharedHeap().CountList(Pools().transmit_free));
}

int FreeReceiveBuffers() { return static_cast<int>(SharedHeap().CountList(Pools().receive_free)); }

}  // namespace vnh
