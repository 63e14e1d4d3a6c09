#pragma once
// Typed pools over the static heap: records are recycled through a free list
// instead of being given back, since the heap never takes memory back.

#include <cstdint>

#include "varnht32/src/heap.h"

namespace vnh {

// Lives inside the shared memory.
struct Pool {
  std::uint32_t free_list;  // list head of the records waiting for reuse
  std::uint32_t made;       // records made for this pool so far
  std::uint32_t refill;     // records made at once when the free list is empty
  std::uint16_t type;
  std::uint8_t head_pool;   // the pool holds list heads
  std::uint8_t reserved;
};

// With pooling allowed the initial records are made at once. Returns false when
// the heap could not even hold the pool's free list.
bool PoolSetUp(Heap& heap, Pool& pool, std::uint32_t initial, std::uint32_t refill,
               std::uint16_t type, bool head_pool = false);
// A record of the pool's type (a head is empty and usable), or 0 when the heap is used up.
std::uint32_t PoolGet(Heap& heap, Pool& pool);
// Gives the record back (a head is emptied and retired first) and clears the
// caller's offset. A record of another type, or one that is already back, is
// left alone so that a double put cannot tie the free list in a loop.
void PoolPut(Heap& heap, Pool& pool, std::uint32_t* block);
// Records waiting in the free list.
std::int64_t PoolFreeCount(const Heap& heap, const Pool& pool);

}  // namespace vnh
