#include "varnht32/src/clock.h"

#include <gtest/gtest.h>

#include <atomic>

#include "varnht32/include/varnht32.h"

namespace {

using vnh::TimeStamp;

TEST(ClockTest, StampsFromTicksCountWraps) {
  struct Case {
    std::uint32_t ticks;
    std::uint32_t wraps;
    TimeStamp expect;
  } cases[] = {
      {0, 0, {0, 0}},
      {86'399'999, 0, {0, 86'399'999}},
      {86'400'000, 0, {1, 0}},
      {0xFFFFFFFFu, 0, {49, 61'367'295}},
      {5, 1, {49, 61'367'300}},
      {86'400'001, 2, {99, 122'734'591}},
  };
  for (const auto& c : cases) {
    TimeStamp s = vnh::StampFromTicks(c.ticks, c.wraps);
    EXPECT_EQ(s.days, c.expect.days) << c.ticks << " " << c.wraps;
    EXPECT_EQ(s.ms, c.expect.ms) << c.ticks << " " << c.wraps;
  }
}

std::atomic<std::uint32_t> g_ticks{0};
std::uint32_t Ticks(void*) { return g_ticks.load(); }

TEST(ClockTest, TickSourceIsInjectableAndAWrapIsSeen) {
  std::atomic<std::uint64_t> wraps{0};
  vnh::SetWrapState(&wraps);
  vnh::SetTickSource(Ticks, nullptr);
  g_ticks = 0xFFFFFF00u;
  TimeStamp before = vnh::Now();
  g_ticks = 0x100;  // the tick count wrapped
  TimeStamp after = vnh::Now();
  EXPECT_EQ(vnh::ElapsedMs(before, after), 0x200 - 1);
  EXPECT_EQ(wraps.load() >> 32, 1u);
  vnh::SetTickSource(nullptr, nullptr);
  vnh::SetWrapState(nullptr);
}

TEST(ClockTest, DifferencesAndTheTwentyThreeDayLimit) {
  constexpr std::int32_t kLimit = 0x7FFFFFFF;
  struct Case {
    const char* what;
    TimeStamp a;
    TimeStamp b;
    std::int32_t difference;
  } cases[] = {
      {"same day", {5, 1000}, {5, 4000}, 3000},
      {"either order", {5, 4000}, {5, 1000}, 3000},
      {"across midnight", {5, 86'399'000}, {6, 500}, 1500},
      {"earlier stamp a day later in order", {6, 0}, {5, 0}, 86'400'000},
      {"22 days apart", {0, 0}, {22, 0}, 22 * 86'400'000},
      {"23 days apart", {0, 0}, {23, 0}, kLimit},
      {"23 days apart, other order", {23, 0}, {0, 0}, kLimit},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vnh::DifferenceMs(c.a, c.b), c.difference) << c.what;
    EXPECT_EQ(DifferenceMilliSeconds(c.a.days, c.a.ms, c.b.days, c.b.ms), c.difference) << c.what;
  }
  EXPECT_EQ(vnh::ElapsedMs(TimeStamp{0, 0}, TimeStamp{23, 0}), kLimit);
  EXPECT_EQ(vnh::ElapsedMs(TimeStamp{1, 0}, TimeStamp{23, 5}), 22 * 86'400'000 + 5);
}

TEST(ClockTest, ElapsedAndDurationExportsUseTheInjectedClock) {
  std::atomic<std::uint64_t> wraps{0};
  vnh::SetWrapState(&wraps);
  vnh::SetTickSource(Ticks, nullptr);
  g_ticks = 3 * 86'400'000u + 250;
  VNHTimeStamp now{};
  GetDuration(&now);
  EXPECT_EQ(now.days, 3u);
  EXPECT_EQ(now.milliseconds, 250u);
  g_ticks += 23 * 86'400'000u / 2;
  EXPECT_EQ(ElapsedMilliSeconds(3, 250), 23 * 86'400'000 / 2);
  EXPECT_EQ(ElapsedMilliSeconds(0, 0), 3 * 86'400'000 + 250 + 23 * 86'400'000 / 2);
  vnh::SetTickSource(nullptr, nullptr);
  vnh::SetWrapState(nullptr);
}

TEST(ClockTest, AStampTwentyThreeDaysOldHasTheLargestElapsedTime) {
  std::atomic<std::uint64_t> wraps{0};
  vnh::SetWrapState(&wraps);
  vnh::SetTickSource(Ticks, nullptr);
  g_ticks = 500;
  VNHTimeStamp stamp{};
  GetDuration(&stamp);
  g_ticks += 22u * 86'400'000u;
  EXPECT_EQ(ElapsedMilliSeconds(stamp.days, stamp.milliseconds), 22 * 86'400'000);
  // The limit goes by the days of the stamps: 23 days of milliseconds still
  // fit in 31 bits, but are not counted.
  g_ticks += 86'400'000u;
  EXPECT_EQ(ElapsedMilliSeconds(stamp.days, stamp.milliseconds), 2147483647);
  vnh::SetTickSource(nullptr, nullptr);
  vnh::SetWrapState(nullptr);
}

TEST(ClockTest, MinuteOfTheHourAndWaitingOnTheTickClock) {
  EXPECT_EQ(vnh::MinuteOfHour(TimeStamp{0, 0}), 0u);
  EXPECT_EQ(vnh::MinuteOfHour(TimeStamp{3, 3'599'999}), 59u);
  EXPECT_EQ(vnh::MinuteOfHour(TimeStamp{1, 7'260'000}), 1u);  // 02:01:00
  // After a tick wrap the milliseconds exceed a day; the minute comes from the total.
  EXPECT_EQ(vnh::MinuteOfHour(vnh::StampFromTicks(5, 1)), (49ull * 86'400'000 + 61'367'300) % 3'600'000 / 60'000);

  std::atomic<std::uint64_t> wraps{0};
  vnh::SetWrapState(&wraps);
  // A clock that moves 7 ms at every reading: the wait ends on the first
  // reading at or past its time.
  static std::atomic<std::uint32_t> moving{1000};
  vnh::SetTickSource([](void*) { return moving.fetch_add(7); }, nullptr);
  vnh::WaitMilliSeconds(500);
  EXPECT_EQ(moving.load(), 1000u + 7u * 73u);  // readings at +0 .. +504
  vnh::SetTickSource(nullptr, nullptr);
  vnh::SetWrapState(nullptr);
}

TEST(ClockTest, AddingMillisecondsCarriesAndBorrowsDays) {
  TimeStamp s = vnh::AddMilliSeconds(TimeStamp{2, 86'399'000}, 1500);
  EXPECT_EQ(s.days, 3u);
  EXPECT_EQ(s.ms, 500u);
  s = vnh::AddMilliSeconds(TimeStamp{3, 500}, -1000);
  EXPECT_EQ(s.days, 2u);
  EXPECT_EQ(s.ms, 86'399'500u);
}

}  // namespace
