#pragma once
// The named POSIX shared-memory segment that holds the library's one state for
// the whole machine: the module-level items, the block-start bitmap and the
// static heap. The first process to map a new segment sets it up; the others
// wait until it is ready.

#include <cstddef>
#include <cstdint>
#include <string>

#include "varnht32/src/heap.h"
#include "varnht32/src/shared_state.h"

namespace vnh {

constexpr std::uint32_t kHeapBytes = 10'000'000;
// Tests give every run a segment of its own through this variable.
constexpr const char* kSegmentEnvironment = "VARNHT32_SEGMENT";
constexpr const char* kDefaultSegmentName = "/Varnholtnet21";

class Segment {
 public:
  // The name from the environment, or the default; a leading '/' is added.
  static std::string ConfiguredName();
  static std::size_t TotalSize();
  static bool Remove(const std::string& name);

  bool Open(const std::string& name);
  void Close();
  bool is_open() const { return base_ != nullptr; }

  std::uint8_t* base() const { return base_; }
  SharedState& state() const { return *reinterpret_cast<SharedState*>(base_); }
  Heap heap() const { return Heap(base_, &state().heap); }

 private:
  bool SetUp();

  std::uint8_t* base_ = nullptr;
};

}  // namespace vnh
