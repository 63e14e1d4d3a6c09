#include "varnht32/src/process_identity.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <signal.h>
#include <unistd.h>

namespace vnh {

namespace {

struct ProcStat {
  char state;
  std::uint32_t start;
};

// Reads the state letter and start time from /proc/<pid>/stat. The command name
// in parentheses may hold blanks, so parsing starts after its last ')'.
bool ReadProcStat(std::uint32_t pid, ProcStat* out) {
  char path[64];
  std::snprintf(path, sizeof path, "/proc/%u/stat", pid);
  std::FILE* f = std::fopen(path, "re");
  if (f == nullptr) return false;
  char buf[1024];
  std::size_t n = std::fread(buf, 1, sizeof buf - 1, f);
  std::fclose(f);
  buf[n] = '\0';
  char* p = std::strrchr(buf, ')');
  if (p == nullptr || p[1] != ' ') return false;
  p += 2;
  out->state = *p;
  // Fields after the state: ppid pgrp session tty_nr tpgid flags minflt cminflt
  // majflt cmajflt utime stime cutime cstime priority nice num_threads
  // itrealvalue starttime (the 19th after the state).
  for (int field = 0; field < 19; ++field) {
    p = std::strchr(p, ' ');
    if (p == nullptr) return false;
    ++p;
  }
  out->start = static_cast<std::uint32_t>(std::strtoull(p, nullptr, 10));
  return true;
}

// Pid and start time in one word, so that a thread never sees a pid with the
// start time of another (or none): a client stamped with start 0 would lose
// the check against a reused pid.
std::atomic<std::uint64_t> g_self{0};

}  // namespace

ProcessIdentity ThisProcess() {
  std::uint32_t pid = static_cast<std::uint32_t>(getpid());
  std::uint64_t word = g_self.load(std::memory_order_acquire);
  if (static_cast<std::uint32_t>(word >> 32) != pid) {
    ProcStat st{};
    std::uint32_t start = ReadProcStat(pid, &st) ? st.start : 0;
    word = (static_cast<std::uint64_t>(pid) << 32) | start;
    g_self.store(word, std::memory_order_release);
  }
  return ProcessIdentity{static_cast<std::uint32_t>(word >> 32), static_cast<std::uint32_t>(word)};
}

void ForgetThisProcess() { g_self.store(0, std::memory_order_release); }

bool ProcessAlive(ProcessIdentity process) {
  if (process.pid == 0) return false;
  if (kill(static_cast<pid_t>(process.pid), 0) != 0 && errno == ESRCH) return false;
  ProcStat st{};
  if (!ReadProcStat(process.pid, &st)) {
    // Without /proc only the signal probe can tell; never drop a live process.
    return kill(static_cast<pid_t>(process.pid), 0) == 0 || errno == EPERM;
  }
  if (st.state == 'Z' || st.state == 'X' || st.state == 'x') return false;
  return process.start == 0 || st.start == process.start;
}

}  // namespace vnh
