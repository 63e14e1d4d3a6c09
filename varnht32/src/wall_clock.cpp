#include "varnht32/src/wall_clock.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "varnht32/src/clock.h"

namespace vnh {

namespace {

constexpr std::uint32_t kMsPerSecond = 1000;
constexpr std::uint32_t kMsPerMinute = 60 * kMsPerSecond;
constexpr std::uint32_t kMsPerHour = 60 * kMsPerMinute;

// Proleptic Gregorian calendar, days counted from 1 January 1970 (eras of
// 400 years, each year starting on 1 March so that the leap day comes last).
constexpr std::int64_t DaysFromCivil(std::int64_t y, std::uint32_t m, std::uint32_t d) {
  y -= m <= 2;
  std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  auto yoe = static_cast<std::uint32_t>(y - era * 400);
  std::uint32_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  std::uint32_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t* y, std::uint32_t* m, std::uint32_t* d) {
  z += 719468;
  std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  auto doe = static_cast<std::uint32_t>(z - era * 146097);
  std::uint32_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  std::uint32_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  std::uint32_t mp = (5 * doy + 2) / 153;
  *d = doy - (153 * mp + 2) / 5 + 1;
  *m = mp < 10 ? mp + 3 : mp - 9;
  *y = static_cast<std::int64_t>(yoe) + era * 400 + (*m <= 2);
}

constexpr bool LeapYear(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

std::uint32_t DaysInMonth(std::int64_t y, std::uint32_t m) {
  static constexpr std::uint32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && LeapYear(y) ? 29 : kDays[m - 1];
}

constexpr std::int64_t kEpoch1980 = DaysFromCivil(1980, 1, 1);
static_assert(kEpoch1980 == 3652);  // 1 January 1980 is 3652 days after 1 January 1970

// Constant-initialised: the library may be called before dynamic initialisers run.
constinit SystemWallClock g_system_clock;
constinit WallClock* g_clock = &g_system_clock;

}  // namespace

CivilTime CivilFromLocalDate(LocalDate date) {
  CivilTime c{};
  CivilFromDays(kEpoch1980 + date.days, &c.year, &c.month, &c.day);
  std::uint32_t ms = date.ms % kMsPerDay;
  c.hour = ms / kMsPerHour;
  c.minute = ms / kMsPerMinute % 60;
  c.second = ms / kMsPerSecond % 60;
  c.millisecond = ms % kMsPerSecond;
  return c;
}

std::optional<LocalDate> LocalDateFromCivil(const CivilTime& c) {
  if (c.year < 1980 || c.year > 9'999'999 || c.month < 1 || c.month > 12 || c.day < 1 ||
      c.day > DaysInMonth(c.year, c.month) || c.hour > 23 || c.minute > 59 || c.second > 59 ||
      c.millisecond > 999) {
    return std::nullopt;
  }
  std::int64_t days = DaysFromCivil(c.year, c.month, c.day) - kEpoch1980;
  if (days > static_cast<std::int64_t>(UINT32_MAX)) return std::nullopt;
  return LocalDate{static_cast<std::uint32_t>(days),
                   c.hour * kMsPerHour + c.minute * kMsPerMinute + c.second * kMsPerSecond +
                       c.millisecond};
}

void SetWallClock(WallClock* clock) { g_clock = clock != nullptr ? clock : &g_system_clock; }

WallClock& TheWallClock() { return *g_clock; }

LocalDate SystemWallClock::Now() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local{};
  localtime_r(&ts.tv_sec, &local);
  std::int64_t days = DaysFromCivil(local.tm_year + 1900LL, static_cast<std::uint32_t>(local.tm_mon + 1),
                                    static_cast<std::uint32_t>(local.tm_mday)) -
                      kEpoch1980;
  // A leap second reads as the last second of the minute.
  auto second = static_cast<std::uint32_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
  return LocalDate{days < 0 ? 0u : static_cast<std::uint32_t>(days),
                   static_cast<std::uint32_t>(local.tm_hour) * kMsPerHour +
                       static_cast<std::uint32_t>(local.tm_min) * kMsPerMinute +
                       second * kMsPerSecond +
                       static_cast<std::uint32_t>(ts.tv_nsec / 1'000'000)};
}

bool SystemWallClock::ToSystemTime(LocalDate local, timespec* out) {
  CivilTime c = CivilFromLocalDate(local);
  if (c.year - 1900 > INT32_MAX) return false;
  tm t{};
  t.tm_year = static_cast<int>(c.year - 1900);
  t.tm_mon = static_cast<int>(c.month) - 1;
  t.tm_mday = static_cast<int>(c.day);
  t.tm_hour = static_cast<int>(c.hour);
  t.tm_min = static_cast<int>(c.minute);
  t.tm_sec = static_cast<int>(c.second);
  t.tm_isdst = -1;  // the time zone's rule for that date decides
  errno = 0;
  time_t seconds = mktime(&t);
  if (seconds == static_cast<time_t>(-1) && errno != 0) return false;
  out->tv_sec = seconds;
  out->tv_nsec = static_cast<long>(c.millisecond) * 1'000'000L;
  return true;
}

namespace {

// The calling thread's capability sets.
struct Capabilities {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};

  bool Read() { return syscall(SYS_capget, &header, data) == 0; }
  bool Write() { return syscall(SYS_capset, &header, data) == 0; }
  bool Permitted() const {
    return (data[CAP_TO_INDEX(CAP_SYS_TIME)].permitted & CAP_TO_MASK(CAP_SYS_TIME)) != 0;
  }
  bool Effective() const {
    return (data[CAP_TO_INDEX(CAP_SYS_TIME)].effective & CAP_TO_MASK(CAP_SYS_TIME)) != 0;
  }
  void SetEffective(bool on) {
    auto& word = data[CAP_TO_INDEX(CAP_SYS_TIME)].effective;
    word = on ? (word | CAP_TO_MASK(CAP_SYS_TIME)) : (word & ~CAP_TO_MASK(CAP_SYS_TIME));
  }
};

}  // namespace

bool SystemWallClock::MaySetClock() {
  Capabilities caps;
  return caps.Read() && caps.Permitted();
}

bool SystemWallClock::Set(LocalDate local, std::string* why) {
  Capabilities caps;
  if (!caps.Read() || !caps.Permitted()) {
    *why = "this process may not set the system clock (it needs CAP_SYS_TIME)";
    return false;
  }
  timespec ts{};
  if (!ToSystemTime(local, &ts)) {
    *why = "the date is beyond the system clock";
    return false;
  }
  // The right is held only while the clock is set, as little as it needs.
  bool raised = !caps.Effective();
  if (raised) {
    caps.SetEffective(true);
    if (!caps.Write()) {
      *why = std::string("unable to take up CAP_SYS_TIME: ") + std::strerror(errno);
      return false;
    }
  }
  int result = clock_settime(CLOCK_REALTIME, &ts);
  int error = errno;
  if (raised) {
    caps.SetEffective(false);
    caps.Write();
  }
  if (result != 0) {
    *why = std::strerror(error);
    return false;
  }
  return true;
}

bool SetPcClock(std::uint32_t days, std::uint32_t ms) {
  if (days > kLatestClockDay || ms >= kMsPerDay) {
    std::printf("SetTime called with unvalid time: Date=%12d Time=%12d\n", static_cast<int>(days),
                static_cast<int>(ms));
    std::fflush(stdout);
    return false;
  }
  std::string why;
  if (!TheWallClock().Set(LocalDate{days, ms}, &why)) {
    std::printf("SetTime : Unable to set system time\n");
    if (!why.empty()) std::printf("SetTime : %s\n", why.c_str());
    std::fflush(stdout);
    return false;
  }
  return true;
}

}  // namespace vnh
