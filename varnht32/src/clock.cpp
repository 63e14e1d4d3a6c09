#include "varnht32/src/clock.h"

#include <sched.h>
#include <time.h>

namespace vnh {

namespace {

std::uint32_t SystemTicks(void*) {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  std::uint64_t ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                     static_cast<std::uint64_t>(ts.tv_nsec) / 1'000'000u;
  return static_cast<std::uint32_t>(ms);
}

TickFunction g_tick = SystemTicks;
WaitFunction g_wait = nullptr;
void* g_wait_context = nullptr;
void* g_tick_context = nullptr;
std::atomic<std::uint64_t> g_own_wrap_state{0};
std::atomic<std::uint64_t>* g_wrap_state = &g_own_wrap_state;

constexpr std::uint32_t kDaysPerWrap = 49;
// What one wrap of the tick count adds beyond 49 whole days.
constexpr std::uint32_t kMsPerWrap = 61'367'295;
constexpr std::uint32_t kLimitDays = 23;

}  // namespace

void SetTickSource(TickFunction tick, void* context) {
  g_tick = tick != nullptr ? tick : SystemTicks;
  g_tick_context = tick != nullptr ? context : nullptr;
}

std::uint32_t TickCount() { return g_tick(g_tick_context); }

void SetWrapState(std::atomic<std::uint64_t>* state) {
  g_wrap_state = state != nullptr ? state : &g_own_wrap_state;
}

TimeStamp StampFromTicks(std::uint32_t ticks, std::uint32_t wraps) {
  return TimeStamp{ticks / kMsPerDay + kDaysPerWrap * wraps, ticks % kMsPerDay + kMsPerWrap * wraps};
}

TimeStamp Now() {
  std::uint32_t ticks = TickCount();
  std::uint64_t seen = g_wrap_state->load(std::memory_order_acquire);
  std::uint64_t next;
  do {
    std::uint32_t wraps = static_cast<std::uint32_t>(seen >> 32);
    std::uint32_t last = static_cast<std::uint32_t>(seen);
    if (ticks < last) ++wraps;
    next = (static_cast<std::uint64_t>(wraps) << 32) | ticks;
    if (next == seen) break;
  } while (!g_wrap_state->compare_exchange_weak(seen, next, std::memory_order_acq_rel));
  return StampFromTicks(ticks, static_cast<std::uint32_t>(next >> 32));
}

std::uint64_t TotalMs(TimeStamp stamp) {
  return static_cast<std::uint64_t>(stamp.days) * kMsPerDay + stamp.ms;
}

TimeStamp AddMilliSeconds(TimeStamp stamp, std::int32_t ms) {
  // After tick wraps the millisecond part may exceed a day; every comparison
  // works on the total, so the sum is simply brought back to a normal stamp.
  std::int64_t total = static_cast<std::int64_t>(TotalMs(stamp)) + ms;
  if (total < 0) total = 0;
  auto t = static_cast<std::uint64_t>(total);
  return TimeStamp{static_cast<std::uint32_t>(t / kMsPerDay), static_cast<std::uint32_t>(t % kMsPerDay)};
}

std::int32_t DifferenceMs(TimeStamp a, TimeStamp b) {
  std::uint32_t day_gap = a.days > b.days ? a.days - b.days : b.days - a.days;
  if (day_gap >= kLimitDays) return kElapsedLimit;
  std::uint64_t ta = TotalMs(a);
  std::uint64_t tb = TotalMs(b);
  std::uint64_t diff = ta > tb ? ta - tb : tb - ta;
  return diff >= static_cast<std::uint64_t>(kElapsedLimit) ? kElapsedLimit
                                                          : static_cast<std::int32_t>(diff);
}

std::int32_t ElapsedMs(TimeStamp since, TimeStamp now) {
  if (now.days >= since.days && now.days - since.days >= kLimitDays) return kElapsedLimit;
  std::int64_t diff = static_cast<std::int64_t>(TotalMs(now)) - static_cast<std::int64_t>(TotalMs(since));
  if (diff >= kElapsedLimit) return kElapsedLimit;
  if (diff <= -static_cast<std::int64_t>(kElapsedLimit)) return -kElapsedLimit;
  return static_cast<std::int32_t>(diff);
}

bool IsDue(TimeStamp due, TimeStamp now) { return TotalMs(now) >= TotalMs(due); }

std::uint32_t MinuteOfHour(TimeStamp stamp) {
  constexpr std::uint64_t kMsPerHour = 3'600'000;
  return static_cast<std::uint32_t>(TotalMs(stamp) % kMsPerHour / 60'000);
}

void SetWaitFunction(WaitFunction wait, void* context) {
  g_wait = wait;
  g_wait_context = wait != nullptr ? context : nullptr;
}

void WaitMilliSeconds(std::int32_t ms) {
  if (g_wait != nullptr) {
    if (ms > 0) g_wait(ms, g_wait_context);
    return;
  }
  TimeStamp start = Now();
  while (ElapsedMs(start, Now()) < ms) sched_yield();
}

}  // namespace vnh
