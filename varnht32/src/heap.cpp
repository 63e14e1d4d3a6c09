#include "varnht32/src/heap.h"

#include <cstring>

namespace vnh {

namespace {

std::uint32_t AlignUp(std::uint32_t n) { return (n + kBlockAlign - 1) & ~(kBlockAlign - 1); }

}  // namespace

std::uint32_t Heap::BitmapBytes(std::uint32_t heap_bytes) {
  std::uint32_t bits = heap_bytes / kBlockAlign + 1;
  return (bits + 31) / 32 * 4;
}

void Heap::Format(HeapControl* control, std::uint32_t begin, std::uint32_t heap_bytes,
                  std::uint32_t bitmap) {
  control->begin = begin;
  control->end = begin + heap_bytes;
  control->top.store(begin, std::memory_order_relaxed);
  control->bitmap = bitmap;
  control->pool_allowed = 1;
}

std::uint32_t Heap::Allocate(std::uint32_t size, std::uint16_t type, bool list_element) {
  std::uint32_t top = ctl_->top.load(std::memory_order_relaxed);
  std::uint32_t left = ctl_->end - top;
  if (size > left || left - size < kBlockHeaderSize) return 0;
  std::uint32_t need = AlignUp(size + kBlockHeaderSize);
  if (need > left) need = left;  // the last block may take the odd bytes too
  std::uint32_t block = top;
  BlockHeader* h = Header(block);
  h->next = 0;
  h->prev = 0;
  h->zero = 0;
  std::uint16_t word = static_cast<std::uint16_t>(type & kTypeMask);
  if (list_element) word |= kFlagListElement;
  SetTypeWord(block, word);
  std::uint32_t bit = (block - ctl_->begin) / kBlockAlign;
  auto* words = reinterpret_cast<std::uint32_t*>(base_ + ctl_->bitmap);
  std::atomic_ref<std::uint32_t>(words[bit / 32])
      .fetch_or(1u << (bit % 32), std::memory_order_relaxed);
  // Publishing the new top after the header and bitmap lets the unlocked handle
  // checks trust every block below it.
  ctl_->top.store(block + need, std::memory_order_release);
  return block;
}

std::uint32_t Heap::AllocateTyped(std::uint16_t type) {
  return Allocate(RegisteredSize(type), type, true);
}

std::uint32_t Heap::NewListHead() {
  std::uint32_t head = Allocate(0, kTypeListHead, false);
  if (head == 0) return 0;
  SetTypeWord(head, static_cast<std::uint16_t>(TypeWord(head) | kFlagListHead));
  ActivateListHead(head);
  return head;
}

std::uint16_t Heap::TypeWord(std::uint32_t block) const {
  return std::atomic_ref<std::uint16_t>(Header(block)->type_word).load(std::memory_order_relaxed);
}

void Heap::SetTypeWord(std::uint32_t block, std::uint16_t word) {
  std::atomic_ref<std::uint16_t>(Header(block)->type_word).store(word, std::memory_order_relaxed);
}

std::uint16_t Heap::BlockType(std::uint32_t block) const {
  if (block == 0) return kTypeNull;
  return TypeWord(block) & kTypeMask;
}

bool Heap::IsBlock(std::uint32_t offset) const {
  std::uint32_t top = ctl_->top.load(std::memory_order_acquire);
  if (offset < ctl_->begin || offset >= top || top - offset < kBlockHeaderSize) return false;
  std::uint32_t rel = offset - ctl_->begin;
  if (rel % kBlockAlign != 0) return false;
  std::uint32_t bit = rel / kBlockAlign;
  auto* words = reinterpret_cast<std::uint32_t*>(base_ + ctl_->bitmap);
  std::uint32_t w = std::atomic_ref<std::uint32_t>(words[bit / 32]).load(std::memory_order_relaxed);
  return (w >> (bit % 32)) & 1u;
}

std::int32_t Heap::CheckHandle(std::uint32_t handle, std::uint16_t type) const {
  if (handle == 0) return -2;
  if (!IsBlock(handle)) return -3;
  std::uint16_t word = TypeWord(handle);
  if ((word & kFlagPooled) != 0 || (word & kTypeMask) != type) return -3;
  return 1;
}

void Heap::Link(std::uint32_t element, std::uint32_t prev, std::uint32_t next) {
  BlockHeader* e = Header(element);
  e->prev = prev;
  e->next = next;
  Header(prev)->next = element;
  Header(next)->prev = element;
}

void Heap::Into(std::uint32_t element, std::uint32_t head) {
  if (element == 0 || head == 0) return;
  Takeout(element);  // an element linked twice would cut both lists
  Link(element, Header(head)->prev, head);
}

void Heap::IntoAsFirst(std::uint32_t element, std::uint32_t head) { Follow(element, head); }

void Heap::Follow(std::uint32_t element, std::uint32_t after) {
  if (element == 0 || after == 0 || element == after) return;
  Takeout(element);
  Link(element, after, Header(after)->next);
}

void Heap::Takeout(std::uint32_t element) {
  if (element == 0) return;
  BlockHeader* e = Header(element);
  if (e->next == 0 || e->prev == 0) return;
  Header(e->prev)->next = e->next;
  Header(e->next)->prev = e->prev;
  e->next = 0;
  e->prev = 0;
}

std::uint32_t Heap::First(std::uint32_t head) const {
  if (head == 0) return 0;
  std::uint32_t n = Header(head)->next;
  return (n == head) ? 0 : n;
}

std::uint32_t Heap::SuccElem(std::uint32_t element) const {
  if (element == 0) return 0;
  std::uint32_t n = Header(element)->next;
  if (n == 0 || (TypeWord(n) & kFlagListHead) != 0) return 0;
  return n;
}

std::uint32_t Heap::Prev(std::uint32_t element) const {
  if (element == 0) return 0;
  std::uint32_t p = Header(element)->prev;
  if (p == 0 || (TypeWord(p) & kFlagListHead) != 0) return 0;
  return p;
}

bool Heap::Last(std::uint32_t head) const { return First(head) == 0; }

void Heap::Clear(std::uint32_t head) {
  if (head == 0) return;
  while (std::uint32_t e = First(head)) Takeout(e);
  Header(head)->next = 0;
  Header(head)->prev = 0;
}

void Heap::ActivateListHead(std::uint32_t head) {
  if (head == 0) return;
  Header(head)->next = head;
  Header(head)->prev = head;
}

void Heap::DeactivateListHead(std::uint32_t head) {
  if (head == 0 || !Last(head)) return;
  Header(head)->next = 0;
  Header(head)->prev = 0;
}

std::int64_t Heap::CountList(std::uint32_t head) const {
  if (head == 0 || !IsBlock(head)) return -1;
  std::int64_t count = 0;
  std::uint32_t prev = head;
  std::uint32_t cur = Header(head)->next;
  std::uint32_t limit = (ctl_->end - ctl_->begin) / kBlockHeaderSize + 1;
  while (cur != head) {
    if (!IsBlock(cur) || Header(cur)->prev != prev) return -1;
    if (++count > limit) return -1;
    prev = cur;
    cur = Header(cur)->next;
  }
  return Header(head)->prev == prev ? count : -1;
}

std::uint32_t Heap::Used() const {
  return ctl_->top.load(std::memory_order_relaxed) - ctl_->begin;
}

std::uint32_t Heap::Left() const { return ctl_->end - ctl_->top.load(std::memory_order_relaxed); }

}  // namespace vnh
