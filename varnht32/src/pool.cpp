#include "varnht32/src/pool.h"

namespace vnh {

namespace {

std::uint32_t MakeRecord(Heap& heap, Pool& pool) {
  std::uint32_t block = pool.head_pool ? heap.NewListHead() : heap.AllocateTyped(pool.type);
  if (block != 0) ++pool.made;
  return block;
}

void Retire(Heap& heap, Pool& pool, std::uint32_t block) {
  std::uint16_t word = heap.TypeWord(block);
  if (pool.head_pool) {
    heap.Clear(block);
    // While it waits, a head is an element of the free list.
    word = static_cast<std::uint16_t>((word & ~kFlagListHead) | kFlagListElement);
  } else {
    heap.Takeout(block);
  }
  heap.SetTypeWord(block, static_cast<std::uint16_t>(word | kFlagPooled));
  heap.Into(block, pool.free_list);
}

}  // namespace

bool PoolSetUp(Heap& heap, Pool& pool, std::uint32_t initial, std::uint32_t refill,
               std::uint16_t type, bool head_pool) {
  pool.free_list = heap.NewListHead();
  pool.made = 0;
  pool.refill = refill < 1 ? 1 : refill;
  pool.type = head_pool ? static_cast<std::uint16_t>(kTypeListHead) : type;
  pool.head_pool = head_pool ? 1 : 0;
  pool.reserved = 0;
  if (pool.free_list == 0) return false;
  if (heap.PoolAllowed()) {
    for (std::uint32_t i = 0; i < initial; ++i) {
      std::uint32_t block = MakeRecord(heap, pool);
      if (block == 0) break;
      Retire(heap, pool, block);
    }
  }
  return true;
}

std::uint32_t PoolGet(Heap& heap, Pool& pool) {
  if (!heap.PoolAllowed() || pool.free_list == 0) return MakeRecord(heap, pool);
  if (heap.Last(pool.free_list)) {
    for (std::uint32_t i = 0; i < pool.refill; ++i) {
      std::uint32_t block = MakeRecord(heap, pool);
      if (block == 0) break;
      Retire(heap, pool, block);
    }
  }
  std::uint32_t block = heap.First(pool.free_list);
  if (block == 0) return 0;
  heap.Takeout(block);
  std::uint16_t word = static_cast<std::uint16_t>(heap.TypeWord(block) & ~kFlagPooled);
  if (pool.head_pool) {
    word = static_cast<std::uint16_t>((word & ~kFlagListElement) | kFlagListHead);
    heap.SetTypeWord(block, word);
    heap.ActivateListHead(block);
  } else {
    heap.SetTypeWord(block, word);
  }
  return block;
}

void PoolPut(Heap& heap, Pool& pool, std::uint32_t* block) {
  if (block == nullptr || *block == 0) return;
  std::uint32_t b = *block;
  *block = 0;
  std::uint16_t word = heap.TypeWord(b);
  if ((word & kTypeMask) != pool.type || (word & kFlagPooled) != 0) return;
  if (!heap.PoolAllowed() || pool.free_list == 0) {
    // Without pooling the record is only dropped; it must still leave its list.
    if (pool.head_pool) heap.Clear(b); else heap.Takeout(b);
    return;
  }
  Retire(heap, pool, b);
}

std::int64_t PoolFreeCount(const Heap& heap, const Pool& pool) {
  return heap.CountList(pool.free_list);
}

}  // namespace vnh
