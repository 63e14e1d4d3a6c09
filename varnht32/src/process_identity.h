#pragma once
// Which process a client record belongs to, and whether that process still
// lives. A process id alone may be reused by a later process, so the start
// time of the process is kept beside it.

#include <cstdint>

namespace vnh {

struct ProcessIdentity {
  std::uint32_t pid;
  std::uint32_t start;  // low 32 bits of the process's start time in clock ticks
};

ProcessIdentity ThisProcess();
// Refreshes the identity of this process (after a fork).
void ForgetThisProcess();
// False for a process that has ended (a zombie counts as ended) or whose id now
// belongs to another process.
bool ProcessAlive(ProcessIdentity process);

}  // namespace vnh
