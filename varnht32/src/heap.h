#pragma once
// The static heap: every record of the library comes from one bump-allocated
// region of the shared segment and is never given back, only recycled through
// pools. Every block starts with a 12-byte header (next link, previous link, a
// zero word, the type word), so any record can sit in an intrusive list and any
// handle can be checked by its type. Links and handles are 32-bit offsets from
// the segment base, never pointers: each process maps the segment elsewhere.

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "varnht32/src/block_types.h"

namespace vnh {

struct BlockHeader {
  std::uint32_t next;
  std::uint32_t prev;
  std::uint16_t zero;
  std::uint16_t type_word;
};
static_assert(sizeof(BlockHeader) == 12);

constexpr std::uint32_t kBlockHeaderSize = sizeof(BlockHeader);
constexpr std::uint32_t kBlockAlign = 4;

// Lives inside the shared memory. `top` is read without the library mutex by
// the handle checks of the exports that take none, hence atomic.
struct HeapControl {
  std::uint32_t begin;   // offset of the first heap byte
  std::uint32_t end;     // offset one past the last heap byte
  std::atomic<std::uint32_t> top;
  std::uint32_t bitmap;  // block-start bitmap: one bit per kBlockAlign heap bytes
  std::uint8_t pool_allowed;
  std::uint8_t reserved[3];
};

class Heap {
 public:
  Heap(std::uint8_t* base, HeapControl* control) : base_(base), ctl_(control) {}

  // Bytes of bitmap that a heap of `heap_bytes` needs.
  static std::uint32_t BitmapBytes(std::uint32_t heap_bytes);
  // Prepares a fresh heap; the bitmap and heap bytes must be zero already.
  static void Format(HeapControl* control, std::uint32_t begin, std::uint32_t heap_bytes,
                     std::uint32_t bitmap);

  // The next block of the heap, or 0 when fewer than size + 12 bytes are left.
  std::uint32_t Allocate(std::uint32_t size, std::uint16_t type, bool list_element);
  // A block of the size registered for `type`, allowed as list element.
  std::uint32_t AllocateTyped(std::uint16_t type);
  // An empty list head.
  std::uint32_t NewListHead();

  // Type of a block; kTypeNull for 0.
  std::uint16_t BlockType(std::uint32_t block) const;
  // True when `offset` is the start of a block handed out by this heap.
  bool IsBlock(std::uint32_t offset) const;
  // Handle check of the exports: 1 for a live block of `type`, -2 for 0, -3 for
  // anything else (no block, another type, a record waiting in its pool).
  std::int32_t CheckHandle(std::uint32_t handle, std::uint16_t type) const;

  BlockHeader* Header(std::uint32_t block) const {
    return reinterpret_cast<BlockHeader*>(base_ + block);
  }
  template <class T>
  T* Data(std::uint32_t block) const {
    return reinterpret_cast<T*>(base_ + block + kBlockHeaderSize);
  }
  std::uint8_t* Bytes(std::uint32_t block) const { return base_ + block + kBlockHeaderSize; }
  // Offset of a block's data pointer back to the block.
  std::uint32_t BlockOf(const void* data) const {
    return static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(data) - base_) -
           kBlockHeaderSize;
  }

  // Lists. Elements are linked in insertion order through their own headers.
  void Into(std::uint32_t element, std::uint32_t head);
  void IntoAsFirst(std::uint32_t element, std::uint32_t head);
  void Follow(std::uint32_t element, std::uint32_t after);
  void Takeout(std::uint32_t element);
  std::uint32_t First(std::uint32_t head) const;
  std::uint32_t SuccElem(std::uint32_t element) const;
  std::uint32_t Prev(std::uint32_t element) const;  // 0 at the front
  bool Last(std::uint32_t head) const;  // true when the list holds no element
  void Clear(std::uint32_t head);
  void ActivateListHead(std::uint32_t head);
  void DeactivateListHead(std::uint32_t head);
  // Number of elements, or -1 when the links do not agree (consistency checks).
  std::int64_t CountList(std::uint32_t head) const;

  std::uint32_t Used() const;
  std::uint32_t Left() const;
  bool PoolAllowed() const { return ctl_->pool_allowed != 0; }
  void SetPoolAllowed(bool allowed) { ctl_->pool_allowed = allowed ? 1 : 0; }

  std::uint16_t TypeWord(std::uint32_t block) const;
  void SetTypeWord(std::uint32_t block, std::uint16_t word);

  std::uint8_t* base() const { return base_; }
  HeapControl* control() const { return ctl_; }

 private:
  void Link(std::uint32_t element, std::uint32_t prev, std::uint32_t next);

  std::uint8_t* base_;
  HeapControl* ctl_;
};

}  // namespace vnh
