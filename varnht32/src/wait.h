#pragma once
// The library's busy wait: the driver retries and the card start-up pauses
// hold the caller (and the library mutex) for a few milliseconds. Tests that
// run on a virtual clock replace it with one that moves their clock on.

#include <cstdint>

namespace vnh {

using WaitFunction = void (*)(std::int32_t ms, void* context);

// Returns once `ms` milliseconds of the library's time have passed.
void WaitMilliSeconds(std::int32_t ms);
// Null restores the real wait.
void SetWaitFunction(WaitFunction wait, void* context);

}  // namespace vnh
