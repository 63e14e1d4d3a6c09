#pragma once
// A static heap in ordinary memory, for tests of the heap, pools and queues
// that need no shared segment.

#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

#include "varnht32/src/heap.h"

namespace vnh_test {

class Arena {
 public:
  explicit Arena(std::uint32_t heap_bytes) : heap_bytes_(heap_bytes) {
    begin_ = (kBitmap + vnh::Heap::BitmapBytes(heap_bytes) + 63u) & ~63u;
    bytes_.assign(begin_ + heap_bytes, 0);
    control_ = new (bytes_.data()) vnh::HeapControl{};
    vnh::Heap::Format(control_, begin_, heap_bytes, kBitmap);
  }
  vnh::Heap heap() { return vnh::Heap(bytes_.data(), control_); }

  // Empty again; only what was used is cleared (heap bytes and the bitmap
  // words that cover them), so a fuzz target can reuse one large arena for
  // every input.
  void Reset() {
    std::uint32_t top = control_->top.load();
    std::uint32_t bitmap_used = vnh::Heap::BitmapBytes(top - begin_);
    std::fill(bytes_.begin() + kBitmap, bytes_.begin() + kBitmap + bitmap_used, std::uint8_t{0});
    std::fill(bytes_.begin() + begin_, bytes_.begin() + top, std::uint8_t{0});
    vnh::Heap::Format(control_, begin_, heap_bytes_, kBitmap);
  }

 private:
  static constexpr std::uint32_t kBitmap = 64;
  std::uint32_t heap_bytes_;
  std::uint32_t begin_ = 0;
  std::vector<std::uint8_t> bytes_;
  vnh::HeapControl* control_;
};

}  // namespace vnh_test
