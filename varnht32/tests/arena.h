#pragma once
// A static heap in ordinary memory, for tests of the heap, pools and queues
// that need no shared segment.

#include <cstdint>
#include <new>
#include <vector>

#include "varnht32/src/heap.h"

namespace vnh_test {

class Arena {
 public:
  explicit Arena(std::uint32_t heap_bytes) {
    std::uint32_t bitmap = 64;
    std::uint32_t begin = (bitmap + vnh::Heap::BitmapBytes(heap_bytes) + 63u) & ~63u;
    bytes_.assign(begin + heap_bytes, 0);
    control_ = new (bytes_.data()) vnh::HeapControl{};
    vnh::Heap::Format(control_, begin, heap_bytes, bitmap);
  }
  vnh::Heap heap() { return vnh::Heap(bytes_.data(), control_); }

 private:
  std::vector<std::uint8_t> bytes_;
  vnh::HeapControl* control_;
};

}  // namespace vnh_test
