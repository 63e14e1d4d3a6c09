#pragma once
// The PC's calendar clock: the local date and time as the library exchanges
// it (days since 1 January 1980 and milliseconds of the day), and setting the
// system clock when a remote node asks. Both go through one process-local
// interface, so tests run on a clock of their own and never touch the PC's.

#include <ctime>
#include <cstdint>
#include <optional>
#include <string>

namespace vnh {

struct LocalDate {
  std::uint32_t days;  // since 1 January 1980
  std::uint32_t ms;    // of the day
};

struct CivilTime {
  std::int64_t year;
  std::uint32_t month;  // 1 to 12
  std::uint32_t day;    // 1 to 31
  std::uint32_t hour;
  std::uint32_t minute;
  std::uint32_t second;
  std::uint32_t millisecond;
};

// Gregorian calendar both ways. A civil time that names no real moment
// (month 13, 30 February, hour 24, a year before 1980) gives nothing.
CivilTime CivilFromLocalDate(LocalDate date);
std::optional<LocalDate> LocalDateFromCivil(const CivilTime& civil);

class WallClock {
 public:
  virtual ~WallClock() = default;
  virtual LocalDate Now() = 0;
  // Sets the system clock to a local date. False, with the reason in `why`,
  // when it cannot (the process may not, or the date is beyond the system's).
  virtual bool Set(LocalDate local, std::string* why) = 0;
};

// Replaces the clock of this process; null restores the system's.
void SetWallClock(WallClock* clock);
WallClock& TheWallClock();

// The system's clock: local time through the time zone. Setting it needs the
// right to set the system time (CAP_SYS_TIME) among the process's permitted
// rights; it is taken up just for the setting and put down again, and a
// process without it is told so plainly.
class SystemWallClock : public WallClock {
 public:
  LocalDate Now() override;
  bool Set(LocalDate local, std::string* why) override;
  // The moment a local date names in this time zone; false beyond time_t.
  static bool ToSystemTime(LocalDate local, timespec* out);
  static bool MaySetClock();
};

constexpr std::uint32_t kLatestClockDay = 1'000'000'000;

// Sets the PC clock from a local date: refused (with the library's message on
// standard output) for more than 1,000,000,000 days or a millisecond count of
// a day or more; a clock that cannot be set is reported the same way. True
// when the clock was set.
bool SetPcClock(std::uint32_t days, std::uint32_t ms);

}  // namespace vnh
