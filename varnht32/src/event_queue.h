#pragma once
// A client's event queue: an immediate list (events due at once, in arrival
// order) and a timed list ordered by due time. Events carry a heap record of
// the library; the record's type tells what kind of event it is.

#include <cstdint>

#include "varnht32/src/clock.h"
#include "varnht32/src/heap.h"
#include "varnht32/src/pool.h"

namespace vnh {

struct Event {
  std::uint32_t due_days;
  std::uint32_t due_ms;
  std::uint32_t object;
  std::uint16_t word;
  std::uint16_t reserved;
};
static_assert(sizeof(Event) == 16);

class EventQueue {
 public:
  EventQueue(Heap heap, Pool& pool, std::uint32_t immediate, std::uint32_t timed)
      : heap_(heap), pool_(pool), immediate_(immediate), timed_(timed) {}

  // False when the event pool is exhausted: the event is not queued.
  bool Queue(std::uint32_t object, std::uint16_t word = 0);
  // A delay above 0 puts the event into the timed list, behind every event due
  // at the same time; 0 or less appends it to the immediate list.
  bool QueueDelayed(TimeStamp now, std::int32_t delay_ms, std::uint32_t object,
                    std::uint16_t word = 0);
  // The head of the immediate list, else the head of the timed list once due;
  // its event record goes back to the pool.
  bool Next(TimeStamp now, std::uint32_t* object, std::uint16_t* word);
  // Gives every event back to the pool and calls `drop` for each object, so
  // that records owned by nothing but the queue are not lost.
  void Empty(void (*drop)(std::uint32_t object, void* context), void* context);

 private:
  std::uint32_t NewEvent(TimeStamp due, std::uint32_t object, std::uint16_t word);

  Heap heap_;
  Pool& pool_;
  std::uint32_t immediate_;
  std::uint32_t timed_;
};

}  // namespace vnh
