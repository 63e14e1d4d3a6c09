#include "varnht32/src/remote_time.h"

#include "varnht32/src/library_frame.h"
#include "varnht32/src/system_variables.h"
#include "varnht32/src/trace.h"

namespace vnh {

namespace {

std::uint8_t High(std::uint32_t v) { return static_cast<std::uint8_t>(v >> 8); }
std::uint8_t Low(std::uint32_t v) { return static_cast<std::uint8_t>(v); }

bool MaySetThisClock() { return SettingInteger(Setting::kSetRemoteTimeEnable) == kRemoteTimeSetsThisClock; }

}  // namespace

XTime EncodeXTime(LocalDate date) {
  CivilTime c = CivilFromLocalDate(date);
  auto year = static_cast<std::uint32_t>(c.year);
  XTime x{};
  x[0] = High(year);
  x[1] = Low(year);
  x[2] = static_cast<std::uint8_t>(c.month);
  x[3] = static_cast<std::uint8_t>(c.day);
  x[5] = static_cast<std::uint8_t>(c.hour);
  x[6] = static_cast<std::uint8_t>(c.minute);
  x[7] = static_cast<std::uint8_t>(c.second);
  x[8] = High(c.millisecond);
  x[9] = Low(c.millisecond);
  return x;
}

std::optional<LocalDate> DecodeXTime(std::span<const std::uint8_t> b) {
  if (b.size() != kXTimeBytes) return std::nullopt;
  CivilTime c{};
  c.year = (b[0] << 8) | b[1];
  c.month = b[2];
  c.day = b[3];
  c.hour = b[5];
  c.minute = b[6];
  c.second = b[7];
  c.millisecond = static_cast<std::uint32_t>((b[8] << 8) | b[9]);
  return LocalDateFromCivil(c);
}

std::int32_t RemoteTimeSendStatus() {
  return SettingInteger(Setting::kSetRemoteTimeEnable) == kRemoteTimeSetsRemoteClocks ? 1 : -18;
}

XTime CurrentXTime() { return EncodeXTime(TheWallClock().Now()); }

bool ReceiveRemoteTime(std::span<const std::uint8_t> xtime) {
  if (!MaySetThisClock()) return false;
  std::optional<LocalDate> date = DecodeXTime(xtime);
  if (!date) {
    Trace("SetTime : remote time is no valid date");
    return false;
  }
  RemoteTimeState& state = Shared().remote_time;
  state.has_date = 1;
  state.date = *date;
  state.arrived = Now();
  return true;
}

bool ReceiveTimeCorrection(std::int32_t correction_ms) {
  if (!MaySetThisClock()) return false;
  const RemoteTimeState& state = Shared().remote_time;
  // Without a remote date there is nothing to correct: setting the clock
  // from an empty date would put it back to 1980.
  if (state.has_date == 0) return false;
  std::int32_t passed = ElapsedMs(state.arrived, Now());
  if (passed == kElapsedLimit || passed < 0) return false;  // too old to trust
  std::int64_t total = static_cast<std::int64_t>(state.date.days) * kMsPerDay + state.date.ms +
                       passed + correction_ms;
  if (total < 0) return false;
  return SetPcClock(static_cast<std::uint32_t>(total / kMsPerDay),
                    static_cast<std::uint32_t>(total % kMsPerDay));
}

}  // namespace vnh
