#include "varnht32/src/handles.h"

#include <atomic>

#include "varnht32/src/segment.h"

namespace vnh {

// The shared state, the block-start bitmap (a bit per 4 heap bytes) and the
// heap must all lie within the offsets a handle can name.
static_assert(std::uint64_t{kHeapBytes} + kHeapBytes / 32 + 65536 <=
              std::uint64_t{kHandleOffsetMask + 1} * kBlockAlign);

namespace {

std::uint16_t Generation(const Heap& heap, std::uint32_t block) {
  // Read without the library mutex by the exports that take none.
  return std::atomic_ref<std::uint16_t>(heap.Header(block)->generation)
      .load(std::memory_order_relaxed);
}

}  // namespace

std::uint32_t MakeHandle(const Heap& heap, std::uint32_t block) {
  if (block == 0) return 0;
  std::uint32_t generation = Generation(heap, block) & kHandleGenerationMask;
  return (block / kBlockAlign) | (generation << kHandleOffsetBits);
}

std::int32_t ResolveHandle(const Heap& heap, std::uint32_t handle, std::uint16_t type,
                           std::uint32_t* block) {
  if (block != nullptr) *block = 0;
  if (handle == 0) return -2;
  std::uint32_t offset = (handle & kHandleOffsetMask) * kBlockAlign;
  std::int32_t check = heap.CheckHandle(offset, type);
  if (check != 1) return -3;
  if ((Generation(heap, offset) & kHandleGenerationMask) != (handle >> kHandleOffsetBits)) return -3;
  if (block != nullptr) *block = offset;
  return 1;
}

}  // namespace vnh
