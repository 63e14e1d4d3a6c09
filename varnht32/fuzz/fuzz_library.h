#pragma once
// A library instance inside a fuzz process: a shared segment of the process's
// own (removed at exit), a clock that only the input moves, and a client that
// owns communication with the channels that the caller's settings enable.

#include <cstdint>

namespace vnh_fuzz {

// Sets the library up once: `configure` runs after InitVarnholtnet and
// before the channels open, to make the settings.
bool StartLibrary(void (*configure)());
// Assigns a system variable of the library; false when it is refused.
bool SetSetting(const char* name, std::uint32_t type, std::int32_t value);
void AdvanceClock(std::uint32_t ms);
// Polls until `done` says so, at most `limit` times.
void PollUntil(bool (*done)(), int limit);

}  // namespace vnh_fuzz
