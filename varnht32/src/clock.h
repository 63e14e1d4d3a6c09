#pragma once
// The library's time: a 32-bit millisecond tick count turned into time stamps
// of {days, milliseconds of the day}. The tick source is process-local and can
// be replaced, so that tests run hours of protocol time in milliseconds; the
// count of tick wraps is shared by every process.

#include <atomic>
#include <cstdint>

namespace vnh {

struct TimeStamp {
  std::uint32_t days;
  std::uint32_t ms;
};

constexpr std::uint32_t kMsPerDay = 86'400'000;
constexpr std::int32_t kElapsedLimit = 0x7FFFFFFF;  // stamps 23 days or more apart

using TickFunction = std::uint32_t (*)(void* context);

// Replaces the tick source of this process; null restores the system's
// monotonic clock.
void SetTickSource(TickFunction tick, void* context);
std::uint32_t TickCount();

// The wrap state {wraps << 32 | last tick seen}: the shared segment's once the
// process is attached, else one of the process's own.
void SetWrapState(std::atomic<std::uint64_t>* state);

TimeStamp StampFromTicks(std::uint32_t ticks, std::uint32_t wraps);
TimeStamp Now();
std::uint64_t TotalMs(TimeStamp stamp);
TimeStamp AddMilliSeconds(TimeStamp stamp, std::int32_t ms);
// Absolute difference in ms; kElapsedLimit when 23 days or more apart.
std::int32_t DifferenceMs(TimeStamp a, TimeStamp b);
// `now` minus `since` in ms; kElapsedLimit when 23 days or more.
std::int32_t ElapsedMs(TimeStamp since, TimeStamp now);
bool IsDue(TimeStamp due, TimeStamp now);
// Minute of the hour (0 to 59) of a stamp, for the stamps of partial messages.
std::uint32_t MinuteOfHour(TimeStamp stamp);
// Spins until `ms` milliseconds have passed on the tick clock. The calling
// thread stays busy and keeps whatever it holds, the library mutex included:
// it is for the short pauses of a card's start-up and the driver's retries.
void WaitMilliSeconds(std::int32_t ms);
// Tests that run on a virtual clock replace the wait with one that moves
// their clock on; null restores the spin.
using WaitFunction = void (*)(std::int32_t ms, void* context);
void SetWaitFunction(WaitFunction wait, void* context);

}  // namespace vnh
