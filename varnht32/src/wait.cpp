#include "varnht32/src/wait.h"

#include <time.h>

#include "varnht32/src/clock.h"

namespace vnh {

namespace {

// Waits on the library's own clock rather than sleeping for the span, so a
// tick source that runs faster or slower than the system's is still obeyed.
void ClockWait(std::int32_t ms, void*) {
  TimeStamp start = Now();
  while (ElapsedMs(start, Now()) < ms) {
    timespec pause{0, 200'000};
    nanosleep(&pause, nullptr);
  }
}

WaitFunction g_wait = ClockWait;
void* g_wait_context = nullptr;

}  // namespace

void WaitMilliSeconds(std::int32_t ms) {
  if (ms > 0) g_wait(ms, g_wait_context);
}

void SetWaitFunction(WaitFunction wait, void* context) {
  g_wait = wait != nullptr ? wait : ClockWait;
  g_wait_context = wait != nullptr ? context : nullptr;
}

}  // namespace vnh
