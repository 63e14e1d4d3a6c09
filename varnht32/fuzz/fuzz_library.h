#pragma once
// A library instance inside a fuzz process: a shared segment of the process's
// own (removed at exit), a clock that only the input moves, and a client that
// owns communication with the channels that the caller's settings enable.
//
// The instance is started once and lives across inputs, as a library does
// across the frames and datagrams it is sent, so an input meets what earlier
// ones left (partial messages, sessions, connections). A finding that does not
// reproduce from its file alone reproduces in one process with the inputs of
// the run before it, given as files in order:
//   <target> <scratch corpus>/* <finding>
// (scripts/fuzz keeps the run's corpus beside every finding.)

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
