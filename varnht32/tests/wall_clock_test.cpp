#include "varnht32/src/wall_clock.h"

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <string>
#include <vector>

#include "platform/tests/scoped_env.h"

namespace {

using vnh::CivilTime;
using vnh::LocalDate;

TEST(WallClockTest, LocalDatesAndCalendarDatesBothWays) {
  struct Case {
    CivilTime civil;
    LocalDate date;
  } cases[] = {
      {{1980, 1, 1, 0, 0, 0, 0}, {0, 0}},
      {{1980, 12, 31, 23, 59, 59, 999}, {365, 86'399'999}},  // 1980 is a leap year
      {{2000, 2, 29, 12, 0, 0, 250}, {7364, 43'200'250}},
      {{2000, 3, 1, 0, 0, 1, 0}, {7365, 1000}},
      {{2099, 12, 31, 0, 0, 0, 0}, {43'829, 0}},
      {{2100, 3, 1, 0, 0, 0, 0}, {43'889, 0}},  // 2100 has no 29 February
  };
  for (const Case& c : cases) {
    std::optional<LocalDate> date = vnh::LocalDateFromCivil(c.civil);
    ASSERT_TRUE(date.has_value()) << c.civil.year << "-" << c.civil.month << "-" << c.civil.day;
    EXPECT_EQ(date->days, c.date.days) << c.civil.year;
    EXPECT_EQ(date->ms, c.date.ms) << c.civil.year;
    CivilTime back = vnh::CivilFromLocalDate(c.date);
    EXPECT_EQ(back.year, c.civil.year);
    EXPECT_EQ(back.month, c.civil.month);
    EXPECT_EQ(back.day, c.civil.day);
    EXPECT_EQ(back.hour, c.civil.hour);
    EXPECT_EQ(back.minute, c.civil.minute);
    EXPECT_EQ(back.second, c.civil.second);
    EXPECT_EQ(back.millisecond, c.civil.millisecond);
  }
  const CivilTime impossible[] = {
      {1979, 12, 31, 0, 0, 0, 0}, {2000, 0, 1, 0, 0, 0, 0},  {2000, 13, 1, 0, 0, 0, 0},
      {2000, 1, 0, 0, 0, 0, 0},   {2001, 2, 29, 0, 0, 0, 0}, {2100, 2, 29, 0, 0, 0, 0},
      {2000, 4, 31, 0, 0, 0, 0},  {2000, 1, 1, 24, 0, 0, 0}, {2000, 1, 1, 0, 60, 0, 0},
      {2000, 1, 1, 0, 0, 60, 0},  {2000, 1, 1, 0, 0, 0, 1000},
  };
  for (const CivilTime& c : impossible) {
    EXPECT_FALSE(vnh::LocalDateFromCivil(c).has_value())
        << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":" << c.minute << ":"
        << c.second << "." << c.millisecond;
  }
}

// Notes what it was asked to set instead of touching the PC's clock.
class RecordingClock : public vnh::WallClock {
 public:
  LocalDate Now() override { return now; }
  bool Set(LocalDate local, std::string* why) override {
    set.push_back(local);
    if (!allowed) *why = "not allowed in this test";
    return allowed;
  }
  LocalDate now{0, 0};
  bool allowed = true;
  std::vector<LocalDate> set;
};

class ScopedWallClock {
 public:
  explicit ScopedWallClock(vnh::WallClock* clock) { vnh::SetWallClock(clock); }
  ~ScopedWallClock() { vnh::SetWallClock(nullptr); }
  ScopedWallClock(const ScopedWallClock&) = delete;
  ScopedWallClock& operator=(const ScopedWallClock&) = delete;
};

TEST(WallClockTest, SetPcClockRefusesImpossibleTimesAndReportsAClockItCannotSet) {
  RecordingClock clock;
  ScopedWallClock scoped(&clock);
  struct Case {
    std::uint32_t days;
    std::uint32_t ms;
    bool allowed;
    bool result;
    const char* output;
  } cases[] = {
      {7364, 43'200'250, true, true, ""},
      {1'000'000'000, 86'399'999, true, true, ""},
      {1'000'000'001, 0, true, false, "SetTime called with unvalid time: Date=  1000000001 Time=           0\n"},
      {5, 86'400'000, true, false, "SetTime called with unvalid time: Date=           5 Time=    86400000\n"},
      {7364, 0, false, false,
       "SetTime : Unable to set system time\nSetTime : not allowed in this test\n"},
  };
  for (const Case& c : cases) {
    clock.set.clear();
    clock.allowed = c.allowed;
    testing::internal::CaptureStdout();
    EXPECT_EQ(vnh::SetPcClock(c.days, c.ms), c.result) << c.days << " " << c.ms;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.output) << c.days << " " << c.ms;
    bool valid = c.days <= 1'000'000'000 && c.ms < 86'400'000;
    ASSERT_EQ(clock.set.size(), valid ? 1u : 0u) << "refused times never reach the clock";
    if (valid) {
      EXPECT_EQ(clock.set[0].days, c.days);
      EXPECT_EQ(clock.set[0].ms, c.ms);
    }
  }
}

TEST(WallClockTest, TheSystemClockWorksInTheLocalTimeZone) {
  ScopedEnv tz("TZ", "UTC");
  tzset();
  timespec ts{};
  ASSERT_TRUE(vnh::SystemWallClock::ToSystemTime(LocalDate{7364, 43'200'250}, &ts));
  EXPECT_EQ(ts.tv_sec, 951'825'600);  // 2000-02-29 12:00:00 UTC
  EXPECT_EQ(ts.tv_nsec, 250'000'000);

  // Read the way the clock reads (time() may lag behind by a coarse tick).
  auto seconds_now = [] {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return static_cast<std::int64_t>(t.tv_sec);
  };
  vnh::SystemWallClock system;
  std::int64_t before = seconds_now();
  LocalDate now = system.Now();
  std::int64_t after = seconds_now();
  std::int64_t seconds = (static_cast<std::int64_t>(now.days) + 3652) * 86'400 + now.ms / 1000;
  EXPECT_GE(seconds, before);
  EXPECT_LE(seconds, after);
}

// Gives up the right to set the clock, for the rest of the process.
bool DropClockRight() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
  if (syscall(SYS_capget, &header, data) != 0) return false;
  data[CAP_TO_INDEX(CAP_SYS_TIME)].effective &= ~CAP_TO_MASK(CAP_SYS_TIME);
  data[CAP_TO_INDEX(CAP_SYS_TIME)].permitted &= ~CAP_TO_MASK(CAP_SYS_TIME);
  return syscall(SYS_capset, &header, data) == 0;
}

TEST(WallClockTest, TheSystemClockSaysPlainlyWhenTheProcessMayNotSetIt) {
  // In a child of its own, so that a test run with the right never comes
  // near the PC's clock.
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (!DropClockRight() || vnh::SystemWallClock::MaySetClock()) _exit(2);
    vnh::SystemWallClock system;
    std::string why;
    bool set = system.Set(system.Now(), &why);
    _exit(!set && why.find("CAP_SYS_TIME") != std::string::npos ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "2: the right could not be given up";
}

}  // namespace
