#pragma once
// Handles that a client keeps for records the library frees and reuses on its
// own (connections, actions, streams). A record can go back to its pool while
// the client still holds its handle: the lists of a lost connection are
// aborted, a stream is freed when its peer closes it. A handle therefore names
// the record together with its generation, the count of its returns to the
// pool, and a handle of an earlier life is refused like a handle of another
// type, never taken for the record's next user.
//
// Layout: bits 0..21 the block offset divided by 4 (offsets stay below 16 MiB),
// bits 22..31 the low ten bits of the generation. 0 is never a handle.

#include <cstdint>

#include "varnht32/src/heap.h"

namespace vnh {

constexpr std::uint32_t kHandleOffsetBits = 22;
constexpr std::uint32_t kHandleOffsetMask = (1u << kHandleOffsetBits) - 1;
constexpr std::uint32_t kHandleGenerationMask = 0x3FF;

std::uint32_t MakeHandle(const Heap& heap, std::uint32_t block);
// 1 with the record's block, -2 for 0, -3 for anything that is not a live
// record of `type` in the generation that the handle names.
std::int32_t ResolveHandle(const Heap& heap, std::uint32_t handle, std::uint16_t type,
                           std::uint32_t* block);

}  // namespace vnh
