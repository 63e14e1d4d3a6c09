#pragma once
// Finds a name among many without walking them, for indexes whose names live
// elsewhere: the variable records in the shared heap, the entries a parse has
// kept. It holds only 32-bit values and their names' hashes in one array
// (open addressing), so adding a name allocates nothing but, now and then, a
// larger array, and the caller compares the names where they already are.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace vnh {

class NameSlots {
 public:
  static std::uint32_t Hash(std::string_view name) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>{}(name));
  }

  // Forgets every value. A table is often made again with as many names, so
  // the room they took is kept; more than that is given back rather than
  // cleared slot by slot.
  void Clear() {
    if (used_ == 0) return;
    const std::size_t room = RoomFor(used_);
    if (slots_.size() > room) {
      std::vector<Slot>(room).swap(slots_);
    } else {
      std::fill(slots_.begin(), slots_.end(), Slot{});
    }
    used_ = 0;
  }

  // Room for `count` values without growing.
  void Reserve(std::size_t count) {
    const std::size_t room = RoomFor(count);
    if (room > slots_.size()) Grow(room);
  }

  // The first value added under `hash` that `same(value)` accepts; 0 when none.
  template <class Same>
  std::uint32_t Find(std::uint32_t hash, Same same) const {
    if (slots_.empty()) return 0;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& s = slots_[i];
      if (s.value == 0) return 0;
      if (s.hash == hash && same(s.value)) return s.value;
    }
  }

  // Adds a value (not 0) under its name's hash; the caller adds a name once.
  void Add(std::uint32_t hash, std::uint32_t value) {
    // At most half full, so a search meets an empty slot soon.
    if ((used_ + 1) * 2 > slots_.size()) Grow(RoomFor(used_ + 1));
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    while (slots_[i].value != 0) i = (i + 1) & mask;
    slots_[i] = Slot{value, hash};
    ++used_;
  }

 private:
  struct Slot {
    std::uint32_t value = 0;
    std::uint32_t hash = 0;
  };

  // The slots for `count` values, at most half full.
  static std::size_t RoomFor(std::size_t count) {
    std::size_t size = 32;
    while (size < count * 2) size *= 2;
    return size;
  }

  // `size` is a power of two.
  void Grow(std::size_t size) {
    std::vector<Slot> old(size);
    old.swap(slots_);
    used_ = 0;
    for (const Slot& s : old) {
      if (s.value != 0) Add(s.hash, s.value);
    }
  }

  std::vector<Slot> slots_;
  std::size_t used_ = 0;
};

}  // namespace vnh
