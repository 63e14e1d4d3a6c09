#include "varnht32/src/event_queue.h"

namespace vnh {

std::uint32_t EventQueue::NewEvent(TimeStamp due, std::uint32_t object, std::uint16_t word) {
  std::uint32_t block = PoolGet(heap_, pool_);
  if (block == 0) return 0;
  Event* e = heap_.Data<Event>(block);
  e->due_days = due.days;
  e->due_ms = due.ms;
  e->object = object;
  e->word = word;
  e->reserved = 0;
  return block;
}

bool EventQueue::Queue(std::uint32_t object, std::uint16_t word) {
  std::uint32_t block = NewEvent(TimeStamp{0, 0}, object, word);
  if (block == 0) return false;
  heap_.Into(block, immediate_);
  return true;
}

bool EventQueue::QueueDelayed(TimeStamp now, std::int32_t delay_ms, std::uint32_t object,
                              std::uint16_t word) {
  if (delay_ms <= 0) return Queue(object, word);
  TimeStamp due = AddMilliSeconds(now, delay_ms);
  std::uint32_t block = NewEvent(due, object, word);
  if (block == 0) return false;
  std::uint64_t due_total = TotalMs(due);
  for (std::uint32_t e = heap_.First(timed_); e != 0; e = heap_.SuccElem(e)) {
    const Event* q = heap_.Data<Event>(e);
    if (TotalMs(TimeStamp{q->due_days, q->due_ms}) > due_total) {
      heap_.Follow(block, heap_.Header(e)->prev);
      return true;
    }
  }
  heap_.Into(block, timed_);
  return true;
}

bool EventQueue::Next(TimeStamp now, std::uint32_t* object, std::uint16_t* word) {
  std::uint32_t block = heap_.First(immediate_);
  if (block == 0) {
    block = heap_.First(timed_);
    if (block == 0) return false;
    const Event* e = heap_.Data<Event>(block);
    if (!IsDue(TimeStamp{e->due_days, e->due_ms}, now)) return false;
  }
  const Event* e = heap_.Data<Event>(block);
  *object = e->object;
  *word = e->word;
  heap_.Takeout(block);
  PoolPut(heap_, pool_, &block);
  return true;
}

void EventQueue::Empty(void (*drop)(std::uint32_t object, void* context), void* context) {
  for (std::uint32_t head : {immediate_, timed_}) {
    while (std::uint32_t block = heap_.First(head)) {
      std::uint32_t object = heap_.Data<Event>(block)->object;
      heap_.Takeout(block);
      PoolPut(heap_, pool_, &block);
      if (drop != nullptr) drop(object, context);
    }
  }
}

}  // namespace vnh
