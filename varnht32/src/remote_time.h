#pragma once
// Remote time setting. A PC whose `SetRemoteTimeEnable` is 1 sets the clocks
// of remote nodes: it sends its local date as the 20-byte array "XTIME" and
// then a correction in milliseconds as the integer "XTERR", both as named
// writes. A PC whose setting is 2 lets remote nodes set its own clock from the
// same two writes. The message layer carries the writes; this module builds
// and takes their values. Runs under the library mutex.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "varnht32/src/clock.h"
#include "varnht32/src/wall_clock.h"

namespace vnh {

constexpr std::size_t kXTimeBytes = 20;
using XTime = std::array<std::uint8_t, kXTimeBytes>;
constexpr const char* kXTimeName = "XTIME";
constexpr const char* kXTErrName = "XTERR";
// The "XTERR" correction sent on an adapter-card channel.
constexpr std::int32_t kCardTimeCorrection = 1283;

// Lives in the shared memory: the last "XTIME" received and when it came.
struct RemoteTimeState {
  std::uint8_t has_date;
  std::uint8_t reserved[3];
  LocalDate date;
  TimeStamp arrived;  // on the tick clock, which no clock setting moves
};

// [0..1] year, high byte first; [2] month; [3] day; [4] 0; [5] hour;
// [6] minute; [7] second; [8..9] milliseconds, high byte first; [10..19] 0.
XTime EncodeXTime(LocalDate date);
// Nothing for a value of another length or one that names no real moment.
std::optional<LocalDate> DecodeXTime(std::span<const std::uint8_t> bytes);

// The gate of `VNHSetRemoteTime`: 1 while this PC sets remote clocks, else -18.
std::int32_t RemoteTimeSendStatus();
// The first phase's value: the PC's local date now.
XTime CurrentXTime();

// The receiving side, for named writes that reach the library. They change
// nothing unless remote nodes may set this PC's clock. "XTIME" stores the
// remote date; "XTERR" sets the clock to that date plus the time passed since
// it came plus the correction. True when the write was taken.
bool ReceiveRemoteTime(std::span<const std::uint8_t> xtime);
bool ReceiveTimeCorrection(std::int32_t correction_ms);

}  // namespace vnh
